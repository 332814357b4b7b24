#include "markup/ids.h"

#include "links/urls.h"

namespace mt {

std::string heading_id(std::string_view text) {
  // Only an italic heading's own opening tag is skipped; a blank before it
  // leaves the '<' to end the id at once.
  if (text.substr(0, 3) == "<i>") text.remove_prefix(3);
  text = text.substr(0, text.find_first_of("<|"));
  // The slug rule lowers the same bytes (ASCII and C3 8D) on its own; with
  // the hash-seen flag set, '#', '/' and '\' all become '_'.
  return slug(text, true);
}

}  // namespace mt
