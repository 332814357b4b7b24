#pragma once
// The change list of --changes: the output files a run added, changed and
// (with --prune) removed, so that a deploy uploads and deletes just those.
// One file a line, sorted by path, after a one-character mark:
//
//   + en-us/new-page/index.html      added: nothing stood there before
//   * en-us/index.html               changed: the old file was replaced
//   - en-us/old-page/index.html      removed by --prune
//
// Paths are relative to the output folder with '/' between parts; a control
// byte or '\' in one is written "\xHH", as in the manifest.

#include <map>
#include <string>
#include <string_view>

#include "platform/fs.h"

namespace mt {

class ChangeList {
 public:
  /// Notes what writing `relative` did; an unchanged file is no change. A
  /// path written twice in one run keeps its first change (added stays added).
  void note(const std::string& relative, WriteOutcome outcome);
  /// Notes a file --prune removed.
  void note_removed(const std::string& relative);
  /// Takes over the changes of `later`, as if noted here after these.
  void merge(const ChangeList& later);
  size_t size() const { return marks_.size(); }
  /// The list's text; empty when nothing changed.
  std::string format() const;

 private:
  std::map<std::string, char> marks_;
};

/// `path` (below `output_root`) relative to it, with one '/' between parts.
std::string relative_output(std::string_view output_root, std::string_view path);

}  // namespace mt
