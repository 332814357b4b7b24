#pragma once
// Change notification for the preview: it tells that something under a
// folder changed and, where it can, which paths, so that the next build may
// redo only what they feed.

#include <memory>
#include <string>
#include <vector>

namespace mt {

/// What changed since it was last taken: paths relative to the watched
/// folder ('/' between parts), or `all` when no list of names can be trusted.
struct WatchChanges {
  bool all = false;
  std::vector<std::string> paths;
};

class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  /// Waits up to `timeout_ms` for a change; true when one came.
  virtual bool wait(int timeout_ms) = 0;
  /// What the waits saw since the last call. `all` after the system dropped
  /// events, after a folder moved (its watches would name the old path) and
  /// whenever the tree holds a symbolic or hard link: a link lets one file be
  /// edited under the name of another, so no name tells what it feeds.
  WatchChanges take_changes() {
    WatchChanges taken = std::move(changes_);
    changes_ = {};
    if (links_seen_) taken = {true, {}};
    return taken;
  }

 protected:
  WatchChanges changes_;
  bool links_seen_ = false;  // once seen, kept: the link may still be there
};

/// Watches `folder` and everything below it except the folder `excluded`
/// (the output, which every build rewrites). Uses the system's change
/// notification where there is one, otherwise `poll_folder`.
std::unique_ptr<FolderWatch> watch_folder(const std::string& folder, const std::string& excluded);

/// The portable watch: compares the listing (paths, modification times,
/// sizes) of every entry twice a second.
std::unique_ptr<FolderWatch> poll_folder(const std::string& folder, const std::string& excluded);

}  // namespace mt
