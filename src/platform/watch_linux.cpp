// The watch on Linux: inotify, one watch per folder of the tree, since
// inotify does not watch below a folder by itself. Folders created later
// are added as their creation is seen.

#ifdef __linux__

#include <dirent.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <unordered_map>
#include <vector>

#include "platform/watch.h"

namespace mt {

namespace {

constexpr uint32_t kEvents = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                             IN_MOVED_TO | IN_DELETE_SELF | IN_DONT_FOLLOW | IN_ONLYDIR;

std::string real_path(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return {};
  std::string out(resolved);
  free(resolved);
  return out;
}

class InotifyWatch : public FolderWatch {
 public:
  InotifyWatch(int fd, const std::string& excluded) : fd_(fd), excluded_(real_path(excluded)) {}
  ~InotifyWatch() override { close(fd_); }
  InotifyWatch(const InotifyWatch&) = delete;
  InotifyWatch& operator=(const InotifyWatch&) = delete;

  /// Watches `path` and the folders below it; false when `path` itself
  /// cannot be watched.
  bool add_tree(const std::string& path) {
    if (!excluded_.empty() && real_path(path) == excluded_) return true;
    int wd = inotify_add_watch(fd_, path.c_str(), kEvents);
    if (wd < 0) return false;
    folders_[wd] = path;
    DIR* dir = opendir(path.c_str());
    if (!dir) return true;
    std::vector<std::string> subfolders;
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::string child = path + "/" + name;
      struct stat st;
      // Links are not followed: a link to a folder outside would watch the
      // world, and a link to the tree itself would loop.
      if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) subfolders.push_back(child);
    }
    closedir(dir);
    for (const std::string& child : subfolders) add_tree(child);
    return true;
  }

  bool wait(int timeout_ms) override {
    pollfd ready = {fd_, POLLIN, 0};
    if (poll(&ready, 1, timeout_ms) <= 0) return false;
    std::vector<char> events(64 * (sizeof(inotify_event) + NAME_MAX + 1));
    ssize_t size = read(fd_, events.data(), events.size());
    if (size <= 0) return false;
    for (ssize_t at = 0; at < size;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events.data() + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if ((event->mask & IN_IGNORED) != 0) {
        folders_.erase(event->wd);
      } else if ((event->mask & IN_ISDIR) != 0 && (event->mask & (IN_CREATE | IN_MOVED_TO)) != 0 && event->len > 0) {
        auto folder = folders_.find(event->wd);
        if (folder != folders_.end()) add_tree(folder->second + "/" + event->name);
      }
    }
    return true;
  }

 private:
  int fd_;
  std::string excluded_;
  std::unordered_map<int, std::string> folders_;  // watch descriptor -> folder path
};

}  // namespace

std::unique_ptr<FolderWatch> watch_folder(const std::string& folder, const std::string& excluded) {
  int fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (fd >= 0) {
    auto watch = std::make_unique<InotifyWatch>(fd, excluded);
    if (watch->add_tree(folder)) return watch;
  }
  // No inotify (or no watch left): the poll still works, only slower.
  return poll_folder(folder, excluded);
}

}  // namespace mt

#endif
