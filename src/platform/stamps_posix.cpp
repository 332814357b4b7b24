// File stamps over POSIX: one fstatat per entry, folders walked by handle.

#if !defined(_WIN32) && !defined(_FILE_OFFSET_BITS)
#define _FILE_OFFSET_BITS 64
#endif

#include "platform/stamps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

namespace mt {

namespace {

uint64_t ns_of(const timespec& t) {
  return static_cast<uint64_t>(t.tv_sec) * 1000000000u + static_cast<uint64_t>(t.tv_nsec);
}

FileStamp stamp_of(const struct stat& st) {
#if defined(__APPLE__)
  const timespec modified = st.st_mtimespec, changed = st.st_ctimespec;
#else
  const timespec modified = st.st_mtim, changed = st.st_ctim;
#endif
  return {static_cast<uint64_t>(st.st_size), ns_of(modified), ns_of(changed), static_cast<uint64_t>(st.st_ino),
          S_ISDIR(st.st_mode)};
}

// Deeper than any site's folders go: a tree deeper still is not followed
// (and so tells no change).
constexpr int kMaxDepth = 256;

struct Walk {
  const std::vector<std::string>& excluded;
  std::vector<TreeEntry>& entries;
  bool unknown = false;  // a link, or a folder that could not be read: changes there go unseen
};

// Walks the folder open as `fd` (closed here), whose path is `prefix`.
void walk(Walk& walk_state, int fd, const std::string& prefix, int depth) {
  DIR* dir = ::fdopendir(fd);
  if (!dir || depth > kMaxDepth) {
    walk_state.unknown = true;
    if (dir) ::closedir(dir);
    if (!dir) ::close(fd);
    return;
  }
  std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (prefix.empty() && name.front() == '.') continue;
    std::string path = prefix.empty() ? std::string(name) : prefix + '/' + std::string(name);
    if (std::find(walk_state.excluded.begin(), walk_state.excluded.end(), path) != walk_state.excluded.end()) continue;
    struct stat st;
    if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
      walk_state.unknown = true;  // gone meanwhile, or not to be looked at
      continue;
    }
    if (S_ISLNK(st.st_mode) || (!S_ISDIR(st.st_mode) && st.st_nlink > 1)) walk_state.unknown = true;
    walk_state.entries.push_back({path, stamp_of(st)});
    if (S_ISDIR(st.st_mode)) {
      const int child = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child >= 0) {
        walk(walk_state, child, path, depth + 1);
      } else {
        walk_state.unknown = true;
      }
    }
  }
}

}  // namespace

bool stamp_tree(const SourceRoot& sources, const std::vector<std::string>& excluded, std::vector<TreeEntry>* entries) {
  entries->clear();
  const std::string root = sources.path().empty() ? "." : sources.path();
  const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  Walk state{excluded, *entries};
  walk(state, fd, "", 0);
  std::sort(entries->begin(), entries->end(), [](const TreeEntry& a, const TreeEntry& b) { return a.path < b.path; });
  return !state.unknown;
}

bool stamp_path(const std::string& path, FileStamp* stamp) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  *stamp = stamp_of(st);
  if (S_ISLNK(st.st_mode)) stamp->number = 0;  // never equal to a file's stamp
  return true;
}

std::string executable_identity() {
#if defined(__linux__)
  struct stat st;
  if (::stat("/proc/self/exe", &st) == 0) {
    const FileStamp stamp = stamp_of(st);
    return std::to_string(stamp.size) + ' ' + std::to_string(stamp.modified) + ' ' + std::to_string(stamp.number);
  }
#endif
  // Elsewhere this file's compile time: it tells released versions apart,
  // which is what users run.
  return __DATE__ " " __TIME__;
}

uint64_t wall_clock_ns() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return ns_of(now);
}

std::string path_below_root(const SourceRoot& sources, const std::string& path) {
  const std::string root_path = sources.path().empty() ? "." : sources.path();
  std::unique_ptr<char, void (*)(void*)> root(::realpath(root_path.c_str(), nullptr), std::free);
  // A file not there yet (the first change list) is in no listing either.
  std::unique_ptr<char, void (*)(void*)> full(::realpath(path.c_str(), nullptr), std::free);
  if (!root || !full) return {};
  const std::string_view r(root.get()), f(full.get());
  if (r == "/") return f.size() > 1 ? std::string(f.substr(1)) : std::string();
  if (f.size() <= r.size() + 1 || f.substr(0, r.size()) != r || f[r.size()] != '/') return {};
  return std::string(f.substr(r.size() + 1));
}

}  // namespace mt
