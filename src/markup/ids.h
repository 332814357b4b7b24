#pragma once
// Heading ids and the per-page registry that notices an id used twice.

#include <string>
#include <string_view>
#include <unordered_set>

#include "diag/diagnostics.h"

namespace mt {

/// The id rule: skip a leading "<i>", take the text up to the first '<' or
/// '|', lower it (C3 8D -> C3 AD too) and apply the slug rule with the
/// hash-seen flag set.
std::string heading_id(std::string_view text);

/// Ids written on the page being built, compared without ASCII case.
class IdRegistry {
 public:
  /// Adds `id`; a repeat prints "id %s already exists\n" (counting nothing)
  /// and returns false.
  bool add(std::string_view id, Diagnostics& diag);

 private:
  std::unordered_set<std::string> ids_;  // ASCII-lowered
};

}  // namespace mt
