// Reading sources over POSIX (Linux, macOS): opening them confined to their
// root, listing folders, file identities and sizes. Sources were
// written for a file system that ignores letter case, so a source path that
// does not exist as written is looked up again component by component
// without ASCII case.

#if !defined(_WIN32) && !defined(_FILE_OFFSET_BITS)
#define _FILE_OFFSET_BITS 64  // file sizes beyond 4 GiB on 32-bit systems
#endif

#include "platform/sources_posix.h"
#include "platform/fs.h"
#include "platform/fs_native.h"
#include "platform/names.h"

#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#if defined(__linux__)
#include <linux/openat2.h>
#include <sys/syscall.h>
#endif

namespace mt {

using native::entry_exists;
using native::find_entry_no_case;

namespace {

bool is_dot_entry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

namespace native {

bool entry_exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::optional<std::string> find_entry_no_case(const std::string& folder, std::string_view name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(dir)) {
    if (is_dot_entry(entry->d_name)) continue;
    std::string_view candidate(entry->d_name);
    if (!equal_no_case(candidate, name)) continue;
    if (!best || name_less(candidate, *best)) best = std::string(candidate);
  }
  ::closedir(dir);
  return best;
}

}  // namespace native

namespace {

bool stat_path(const std::string& path, struct stat* st) { return ::stat(path.c_str(), st) == 0; }

// Whether a listed entry is a folder, following links (a dangling link
// counts as a file). The listing's own type saves a stat per entry where the
// file system provides it.
bool is_folder(const std::string& folder, const dirent& entry) {
#ifdef _DIRENT_HAVE_D_TYPE
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return false;
#endif
  struct stat st;
  return stat_path(join_path(folder, entry.d_name), &st) && S_ISDIR(st.st_mode);
}

// The real location of `path`, links followed; empty when it has none.
std::string real_location(const char* path) {
  char* real = ::realpath(path, nullptr);
  if (!real) return {};
  std::string result(real);
  std::free(real);
  return result;
}

// Whether `path` resolves to a place inside the folder `root`; a path that
// does not resolve counts as inside, so opening it fails as missing.
bool resolves_inside(const char* path, const char* root_folder) {
  std::string real = real_location(path);
  if (real.empty()) return true;
  std::string root = real_location(root_folder);
  if (root.empty()) return false;
  if (root == "/") return true;
  return real == root || (real.starts_with(root) && real[root.size()] == '/');
}

// Opens the source `rel` with `flags`, refused with EXDEV when its
// resolution leaves the root. Where the kernel can, it checks this during
// the open itself, beneath the root's handle, at no extra cost; absolute
// links and ".." it refuses outright, and kernels without the call, are
// judged by the real location, so links that stay inside keep working.
int open_inside(const SourceRoot& root, const std::string& rel, int flags) {
  const char* named = rel.empty() ? "." : rel.c_str();
#if defined(__linux__) && defined(SYS_openat2)
  const long folder = root.path().empty() ? AT_FDCWD : static_cast<long>(root.handle());
  if (folder != -1) {
    struct open_how how;
    std::memset(&how, 0, sizeof how);
    how.flags = static_cast<uint64_t>(flags);
    how.resolve = RESOLVE_BENEATH;
    long fd = ::syscall(SYS_openat2, folder, named, &how, sizeof how);
    if (fd >= 0) return static_cast<int>(fd);
    if (errno != EXDEV && errno != ENOSYS && errno != EPERM && errno != E2BIG && errno != EINVAL) return -1;
  }
#endif
  const std::string path = root.path_of(named);
  if (!resolves_inside(path.c_str(), root.path().empty() ? "." : root.path().c_str())) {
    errno = EXDEV;
    return -1;
  }
  return ::open(path.c_str(), flags);
}

}  // namespace

// O_NONBLOCK keeps a FIFO from blocking the open.
int open_regular_source(const SourceRoot& root, const std::string& path, struct stat* st) {
  int fd = open_inside(root, path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  bool stated = ::fstat(fd, st) == 0;
  if (!stated || !S_ISREG(st->st_mode)) {
    int saved = !stated ? errno : S_ISDIR(st->st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

SourceRoot::SourceRoot(std::string path) : path_(std::move(path)) {
  // The working folder needs no handle: the calls take it by default.
  if (path_.empty()) return;
#ifdef O_PATH
  handle_ = ::open(path_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
  handle_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

SourceRoot::~SourceRoot() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

const SourceRoot::Listing& SourceRoot::listing(const std::string& folder) {
  auto [it, added] = listings_.try_emplace(folder);
  if (!added) return it->second;
  const std::string path = path_of(folder);
  DIR* dir = ::opendir(path.empty() ? "." : path.c_str());
  if (!dir) return it->second;
  while (const dirent* entry = ::readdir(dir)) {
    if (is_dot_entry(entry->d_name)) continue;
    add(it->second, entry->d_name);
  }
  ::closedir(dir);
  return it->second;
}

namespace {

// The entries of the open folder `dir`, sorted; closes it. `folder` is its
// path, for the entries whose type the listing does not tell.
std::vector<DirEntry> list_open_folder(DIR* dir, const std::string& folder, bool txt_only) {
  std::vector<DirEntry> entries;
  while (const dirent* entry = ::readdir(dir)) {
    if (is_dot_entry(entry->d_name) || (txt_only && !has_txt_extension(entry->d_name))) continue;
    DirEntry e;
    e.name = entry->d_name;
    e.is_dir = is_folder(folder, *entry);
    entries.push_back(std::move(e));
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return name_less(a.name, b.name); });
  return entries;
}

std::vector<DirEntry> list_named(const SourceRoot& root, const std::string& folder, bool txt_only) {
  const std::string path = root.path_of(native::resolve_no_case(root, folder));
  DIR* dir = ::opendir(path.empty() ? "." : path.c_str());
  return dir ? list_open_folder(dir, path, txt_only) : std::vector<DirEntry>();
}

}  // namespace

std::vector<DirEntry> SourceRoot::list_txt_files(const std::string& folder) const {
  return list_named(*this, folder, true);
}

std::vector<DirEntry> SourceRoot::list_entries(const std::string& folder) const {
  return list_named(*this, folder, false);
}

FolderOpen SourceRoot::list_folder(const std::string& folder, FolderListing* listing) const {
  // One open tells whether the folder leaves the site, what it is and what
  // it holds; the name as written nearly always exists.
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  std::string opened = folder.empty() ? "." : folder;
  int fd = open_inside(*this, opened, flags);
  if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
    std::string resolved = native::resolve_no_case(*this, folder);
    if (resolved != folder) {
      opened = std::move(resolved);
      fd = open_inside(*this, opened, flags);
    }
  }
  if (fd < 0) return errno == EXDEV ? FolderOpen::kOutsideSite : FolderOpen::kMissing;
  struct stat st;
  DIR* dir = ::fstat(fd, &st) == 0 ? ::fdopendir(fd) : nullptr;
  if (!dir) {
    ::close(fd);
    return FolderOpen::kMissing;
  }
  listing->id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  listing->entries = list_open_folder(dir, path_of(opened), false);
  return FolderOpen::kListed;
}

namespace {

// Reads `fd` to its end and closes it.
bool read_and_close(int fd, const struct stat& st, std::string* contents) {
  contents->clear();
  if (st.st_size > 0) contents->reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    contents->append(buffer, static_cast<size_t>(n));
    // A regular file that gives less than asked for has ended: this saves
    // the read that would only find the end.
    if (static_cast<size_t>(n) < sizeof buffer && contents->size() >= static_cast<size_t>(st.st_size)) break;
  }
  ::close(fd);
  return ok;
}

}  // namespace

ReadResult SourceRoot::read(const std::string& path, std::string* contents) const {
  struct stat st;
  // The path as written nearly always exists; resolving costs a look-up of
  // its own, so it is tried only when the open fails.
  int fd = open_regular_source(*this, path, &st);
  if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
    std::string resolved = native::resolve_no_case(*this, path);
    if (resolved != path) fd = open_regular_source(*this, resolved, &st);
  }
  if (fd < 0) return errno == EXDEV ? ReadResult::kOutsideSite : ReadResult::kCannotOpen;
  return read_and_close(fd, st, contents) ? ReadResult::kRead : ReadResult::kCannotOpen;
}

bool read_named_file(const std::string& path, std::string* contents) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  return read_and_close(fd, st, contents);
}

bool SourceRoot::outside_site(const std::string& path) const {
  std::string resolved = native::resolve_no_case(*this, path);
#ifdef O_PATH
  int fd = open_inside(*this, resolved, O_PATH | O_CLOEXEC);
#else
  int fd = open_inside(*this, resolved, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
#endif
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return errno == EXDEV;
}

bool file_id(const std::string& path, FileId* id) {
  struct stat st;
  if (!stat_path(path, &st)) return false;
  id->device = static_cast<uint64_t>(st.st_dev);
  id->number = static_cast<uint64_t>(st.st_ino);
  return true;
}

bool SourceRoot::id(const std::string& rel, FileId* out) const {
  return file_id(path_of(rel.empty() ? "." : rel), out);
}

bool file_size(const std::string& path, uint64_t* size) {
  struct stat st;
  if (!stat_path(path, &st) && !stat_path(native::resolve_no_case(SourceRoot(), path), &st)) return false;
  if (!S_ISREG(st.st_mode)) return false;
  *size = static_cast<uint64_t>(st.st_size);
  return true;
}
}  // namespace mt

#endif  // POSIX
