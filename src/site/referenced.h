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
  /// Notes every path added from now on in `log` as well, listed or not
  /// (none with null): what one page links to.
  void log_to(std::vector<std::string>* log) { log_ = log; }

 private:
  std::vector<std::string> paths_;        // first-seen order
  std::unordered_set<std::string> seen_;  // ASCII-lowered
  std::vector<std::string>* log_ = nullptr;
};

}  // namespace mt
