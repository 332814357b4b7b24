#include "site/ids.h"

#include "platform/text.h"

namespace mt {

bool IdRegistry::add(std::string_view id, Diagnostics& diag) {
  if (ids_.insert(ascii_lower(id)).second) return true;
  diag.report({}, Msg::duplicate_id, id);
  return false;
}

}  // namespace mt
