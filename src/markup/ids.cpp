// Placeholder until the real implementation lands.
#include "markup/ids.h"

namespace mt {
std::string heading_id(std::string_view text) { return std::string(text); }
bool IdRegistry::add(std::string_view id, Diagnostics&) { return ids_.insert(std::string(id)).second; }
}  // namespace mt
