// The watch on Linux: inotify, one watch per folder of the tree, since
// inotify does not watch below a folder by itself. Folders created later
// are added as their creation is seen. Events name the entry that changed.

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

// A link (symbolic, or a file of several names) lets one source be edited
// under another name: the watch then answers "everything" from then on.
bool is_link(const struct stat& st) { return S_ISLNK(st.st_mode) || (S_ISREG(st.st_mode) && st.st_nlink > 1); }

class InotifyWatch : public FolderWatch {
 public:
  InotifyWatch(int fd, const std::string& root, const std::string& excluded)
      : fd_(fd), root_(root), excluded_(real_path(excluded)) {}
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
      if (lstat(child.c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) subfolders.push_back(child);
      if (is_link(st)) links_seen_ = true;
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
      take(*event);
    }
    return true;
  }

 private:
  void take(const inotify_event& event) {
    if ((event.mask & IN_Q_OVERFLOW) != 0) changes_.all = true;
    if ((event.mask & IN_IGNORED) != 0) {
      folders_.erase(event.wd);
      return;
    }
    auto folder = folders_.find(event.wd);
    if (folder == folders_.end() || event.len == 0) return;
    const std::string path = folder->second + "/" + event.name;
    const bool is_dir = (event.mask & IN_ISDIR) != 0;
    // A moved folder's watches below it still carry its old path.
    if (is_dir && (event.mask & (IN_MOVED_FROM | IN_MOVED_TO)) != 0) changes_.all = true;
    if (is_dir && (event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) add_tree(path);
    struct stat st;
    if (!is_dir && (event.mask & (IN_CREATE | IN_MOVED_TO)) != 0 && lstat(path.c_str(), &st) == 0 && is_link(st)) {
      links_seen_ = true;
    }
    changes_.paths.push_back(relative(path));
  }

  std::string relative(const std::string& path) const {
    return path.size() > root_.size() && path.starts_with(root_) && path[root_.size()] == '/'
               ? path.substr(root_.size() + 1)
               : path;
  }

  int fd_;
  std::string root_;
  std::string excluded_;
  std::unordered_map<int, std::string> folders_;  // watch descriptor -> folder path
};

}  // namespace

std::unique_ptr<FolderWatch> watch_folder(const std::string& folder, const std::string& excluded) {
  int fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (fd >= 0) {
    auto watch = std::make_unique<InotifyWatch>(fd, folder, excluded);
    if (watch->add_tree(folder)) return watch;
  }
  // No inotify (or no watch left): the poll still works, only slower.
  return poll_folder(folder, excluded);
}

}  // namespace mt

#endif
