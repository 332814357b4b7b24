#pragma once
// Change notification for the preview: it tells that something under a
// folder changed, not what, since any change means one more full build.

#include <memory>
#include <string>

namespace mt {

class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  /// Waits up to `timeout_ms` for a change; true when one came.
  virtual bool wait(int timeout_ms) = 0;
};

/// Watches `folder` and everything below it except the folder `excluded`
/// (the output, which every build rewrites). Uses the system's change
/// notification where there is one, otherwise `poll_folder`.
std::unique_ptr<FolderWatch> watch_folder(const std::string& folder, const std::string& excluded);

/// The portable watch: compares the modification times and sizes of every
/// entry twice a second.
std::unique_ptr<FolderWatch> poll_folder(const std::string& folder, const std::string& excluded);

}  // namespace mt
