#pragma once
// Heading ids; site/ids.h keeps the registry that notices one used twice.

#include <string>
#include <string_view>

#include "site/ids.h"

namespace mt {

/// The id rule: skip a leading "<i>", take the text up to the first '<' or
/// '|', lower it (C3 8D -> C3 AD too) and apply the slug rule with the
/// hash-seen flag set.
std::string heading_id(std::string_view text);

}  // namespace mt
