#pragma once
// The files that one language build's pages link to, copied into the
// language output folder at the end of the build.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace mt {

class ReferencedFiles {
 public:
  /// Adds a path relative to the language source folder ('/' between
  /// parts, as `generic_path` gives it) unless it is listed already,
  /// ignoring ASCII case.
  void add(std::string_view path);
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  std::vector<std::string> paths_;        // first-seen order
  std::unordered_set<std::string> seen_;  // ASCII-lowered
};

}  // namespace mt
