#pragma once
// The per-page registry that notices a heading id used twice.

#include <string>
#include <string_view>
#include <unordered_set>

#include "diag/diagnostics.h"

namespace mt {

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
