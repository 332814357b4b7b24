// File-system and clock operations over POSIX (Linux, macOS). Sources were
// written for a file system that ignores letter case, so a source path that
// does not exist as written is looked up again component by component
// without ASCII case.

#if !defined(_WIN32) && !defined(_FILE_OFFSET_BITS)
#define _FILE_OFFSET_BITS 64  // file sizes beyond 4 GiB on 32-bit systems
#endif

#include "platform/fs.h"
#include "platform/names.h"

#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <optional>

namespace mt {

namespace {

bool entry_exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool is_dot_entry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The entry of `folder` whose name equals `name` without ASCII case, the first
// in listing order when there are several; none when there is no such entry.
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

void set_error(int* error, int value) {
  if (error) *error = value;
}

// Writes all of `size` bytes, resuming after short writes and signals.
bool write_all(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Opens a regular file for reading. Folders and other special files are
// refused; O_NONBLOCK keeps a FIFO from blocking the open.
int open_regular(const std::string& path, struct stat* st) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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

}  // namespace

std::string resolve_source_path(const std::string& path) {
  if (path.empty() || entry_exists(path)) return path;

  std::string resolved;
  size_t pos = 0;
  if (path[0] == kSep) {
    resolved.push_back(kSep);
    pos = 1;
  }
  while (pos <= path.size()) {
    size_t end = path.find(kSep, pos);
    if (end == std::string::npos) end = path.size();
    std::string_view component(path.data() + pos, end - pos);
    // Empty components ("a//b", a trailing separator) and "." / ".." are kept
    // as written: they name no entry to match.
    bool plain = !component.empty() && component != "." && component != "..";
    std::string exact = resolved;
    exact.append(component);
    if (plain && !entry_exists(exact)) {
      // The parent is `resolved` without its trailing separator.
      std::string parent = resolved;
      if (parent.size() > 1 && parent.back() == kSep) parent.pop_back();
      std::optional<std::string> match = find_entry_no_case(parent, component);
      if (!match) return path;
      resolved.append(*match);
    } else {
      resolved = std::move(exact);
    }
    if (end == path.size()) break;
    resolved.push_back(kSep);
    pos = end + 1;
  }
  return resolved;
}

std::vector<DirEntry> list_txt_files(const std::string& folder) {
  std::vector<DirEntry> entries;
  std::string resolved = resolve_source_path(folder);
  DIR* dir = ::opendir(resolved.empty() ? "." : resolved.c_str());
  if (!dir) return entries;
  while (const dirent* entry = ::readdir(dir)) {
    if (is_dot_entry(entry->d_name) || !has_txt_extension(entry->d_name)) continue;
    DirEntry e;
    e.name = entry->d_name;
    e.is_dir = is_folder(resolved, *entry);
    entries.push_back(std::move(e));
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return name_less(a.name, b.name); });
  return entries;
}

std::vector<std::string> list_sub_folders(const std::string& folder) {
  std::vector<std::string> names;
  std::string resolved = resolve_source_path(folder);
  DIR* dir = ::opendir(resolved.empty() ? "." : resolved.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    if (is_dot_entry(entry->d_name)) continue;
    if (is_folder(resolved, *entry)) names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(), name_less);
  return names;
}

bool source_exists(const std::string& path) {
  // The entry itself counts, as when its attributes can be read: a dangling
  // link exists and then fails to open, so the failure is reported there.
  // Resolution returns another path only when every component was found.
  return entry_exists(path) || resolve_source_path(path) != path;
}

bool read_source_file(const std::string& path, std::string* contents) {
  struct stat st;
  // The path as written nearly always exists; resolving costs a look-up of
  // its own, so it is tried only when the open fails.
  int fd = open_regular(path, &st);
  if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
    std::string resolved = resolve_source_path(path);
    if (resolved != path) fd = open_regular(resolved, &st);
  }
  if (fd < 0) return false;
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
  }
  ::close(fd);
  return ok;
}

bool make_folder(const std::string& path, int* error) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  int saved = errno;
  struct stat st;
  if (saved == EEXIST && stat_path(path, &st) && S_ISDIR(st.st_mode)) return true;
  set_error(error, saved);
  return false;
}

bool copy_source_file(const std::string& source, const std::string& destination, int* error) {
  struct stat from;
  int in = open_regular(resolve_source_path(source), &from);
  if (in < 0) {
    set_error(error, errno);
    return false;
  }
  // Not truncated on opening: when the destination is the source itself (an
  // output folder inside the source tree), truncating would destroy it.
  int out = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (out < 0) {
    set_error(error, errno);
    ::close(in);
    return false;
  }
  struct stat to;
  bool ok = ::fstat(out, &to) == 0;
  if (ok && to.st_dev == from.st_dev && to.st_ino == from.st_ino) {
    // The file already holds exactly the source's bytes.
    ::close(out);
    ::close(in);
    return true;
  }
  ok = ok && ::ftruncate(out, 0) == 0;
  char buffer[65536];
  while (ok) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
    } else if (n == 0) {
      break;
    } else {
      ok = write_all(out, buffer, static_cast<size_t>(n));
    }
  }
  int saved = errno;
  if (::close(out) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  ::close(in);
  if (!ok) set_error(error, saved);
  return ok;
}

TouchResult touch_folder(const std::string& path, int* error) {
  struct stat st;
  if (!stat_path(path, &st)) {
    set_error(error, errno);
    return TouchResult::kCannotOpen;
  }
  if (!S_ISDIR(st.st_mode)) {
    set_error(error, ENOTDIR);
    return TouchResult::kCannotOpen;
  }
  // Last-write time to now; the access time stays as it is.
  const struct timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    set_error(error, errno);
    return TouchResult::kCannotSet;
  }
  return TouchResult::kDone;
}

bool file_size(const std::string& path, uint64_t* size) {
  struct stat st;
  if (!stat_path(path, &st) && !stat_path(resolve_source_path(path), &st)) return false;
  if (!S_ISREG(st.st_mode)) return false;
  *size = static_cast<uint64_t>(st.st_size);
  return true;
}

int local_year() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!::localtime_r(&now, &local)) return 1970;
  return local.tm_year + 1900;
}

}  // namespace mt

#endif  // POSIX
