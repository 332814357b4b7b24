#include "site/referenced.h"

#include "platform/text.h"

namespace mt {

void ReferencedFiles::add(std::string_view path) {
  if (seen_.insert(ascii_lower(path)).second) paths_.emplace_back(path);
}

}  // namespace mt
