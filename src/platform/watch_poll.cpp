// The watch for systems without a change notification of their own (and for
// Linux when inotify cannot start): a snapshot of every entry's modification
// time and size, taken again at most twice a second; the paths that differ
// between two snapshots are the changes. A site holds hundreds to a few
// thousand files, so a scan costs little.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/watch.h"

namespace fs = std::filesystem;

namespace mt {

namespace {

constexpr std::chrono::milliseconds kScanInterval(500);

fs::path to_path(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

struct EntryState {
  std::string path;  // relative to the watched folder, '/' between parts
  fs::file_time_type modified;
  std::uintmax_t size = 0;
  bool operator==(const EntryState&) const = default;
};

bool path_less(const EntryState& a, const EntryState& b) { return a.path < b.path; }

// The paths of entries that appeared, vanished or changed between two
// sorted listings.
void differences(const std::vector<EntryState>& before, const std::vector<EntryState>& after,
                 std::vector<std::string>& paths) {
  auto a = before.begin();
  auto b = after.begin();
  while (a != before.end() || b != after.end()) {
    if (b == after.end() || (a != before.end() && a->path < b->path)) {
      paths.push_back((a++)->path);
    } else if (a == before.end() || b->path < a->path) {
      paths.push_back((b++)->path);
    } else {
      if (!(*a == *b)) paths.push_back(a->path);
      ++a;
      ++b;
    }
  }
}

class PollWatch : public FolderWatch {
 public:
  PollWatch(const std::string& folder, const std::string& excluded) : folder_(to_path(folder)) {
    std::error_code error;
    excluded_ = fs::weakly_canonical(to_path(excluded), error);
    last_ = scan();
    scanned_ = std::chrono::steady_clock::now();
  }

  bool wait(int timeout_ms) override {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      const auto next = scanned_ + kScanInterval;
      if (next > deadline) {
        std::this_thread::sleep_until(deadline);
        return false;
      }
      std::this_thread::sleep_until(next);
      std::vector<EntryState> now = scan();
      scanned_ = std::chrono::steady_clock::now();
      if (now != last_) {
        differences(last_, now, changes_.paths);
        last_ = std::move(now);
        return true;
      }
    }
  }

 private:
  std::vector<EntryState> scan() {
    std::vector<EntryState> states;
    std::error_code error;
    fs::recursive_directory_iterator it(folder_, fs::directory_options::skip_permission_denied, error);
    // An entry that vanishes during the scan ends it early; the next scan
    // then differs, which is the change it is.
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      const fs::directory_entry& entry = *it;
      std::error_code ignored;
      if (entry.is_directory(ignored) && !excluded_.empty() && fs::equivalent(entry.path(), excluded_, ignored)) {
        it.disable_recursion_pending();
        continue;
      }
      EntryState state;
      const std::u8string relative = entry.path().lexically_relative(folder_).generic_u8string();
      state.path.assign(relative.begin(), relative.end());
      state.modified = entry.last_write_time(ignored);
      if (entry.is_regular_file(ignored)) state.size = entry.file_size(ignored);
      // A link lets one source be edited under another name (see watch.h).
      if (entry.is_symlink(ignored) || (entry.is_regular_file(ignored) && entry.hard_link_count(ignored) > 1)) {
        links_seen_ = true;
      }
      states.push_back(std::move(state));
    }
    std::sort(states.begin(), states.end(), path_less);
    return states;
  }

  fs::path folder_;
  fs::path excluded_;
  std::vector<EntryState> last_;
  std::chrono::steady_clock::time_point scanned_;
};

}  // namespace

std::unique_ptr<FolderWatch> poll_folder(const std::string& folder, const std::string& excluded) {
  return std::make_unique<PollWatch>(folder, excluded);
}

#ifndef __linux__
std::unique_ptr<FolderWatch> watch_folder(const std::string& folder, const std::string& excluded) {
  return poll_folder(folder, excluded);
}
#endif

}  // namespace mt
