// File-system and clock operations over POSIX (Linux, macOS). Sources were
// written for a file system that ignores letter case, so a source path that
// does not exist as written is looked up again component by component
// without ASCII case.

#if !defined(_WIN32) && !defined(_FILE_OFFSET_BITS)
#define _FILE_OFFSET_BITS 64  // file sizes beyond 4 GiB on 32-bit systems
#endif

#include "platform/fs.h"
#include "platform/fs_native.h"
#include "platform/names.h"
#include "platform/output_file.h"
#include "platform/signals.h"

#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
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

// The real location of `path`, links followed; empty when it has none.
std::string real_location(const char* path) {
  char* real = ::realpath(path, nullptr);
  if (!real) return {};
  std::string result(real);
  std::free(real);
  return result;
}

// Whether `path` resolves to a place inside the working folder; a path that
// does not resolve counts as inside, so opening it fails as missing.
bool resolves_inside(const char* path) {
  std::string real = real_location(path);
  if (real.empty()) return true;
  std::string root = real_location(".");
  if (root.empty()) return false;
  if (root == "/") return true;
  return real == root || (real.starts_with(root) && real[root.size()] == '/');
}

// Opens `path` with `flags`, refused with EXDEV when its resolution leaves
// the working folder. Where the kernel can, it checks this during the open
// itself at no extra cost; absolute links and ".." it refuses outright are
// judged by their real location, so links that stay inside keep working.
int open_inside(const char* path, int flags) {
#if defined(__linux__) && defined(SYS_openat2)
  struct open_how how;
  std::memset(&how, 0, sizeof how);
  how.flags = static_cast<uint64_t>(flags);
  how.resolve = RESOLVE_BENEATH;
  long fd = ::syscall(SYS_openat2, AT_FDCWD, path, &how, sizeof how);
  if (fd >= 0) return static_cast<int>(fd);
  if (errno != EXDEV && errno != ENOSYS && errno != EPERM && errno != E2BIG && errno != EINVAL) return -1;
#endif
  if (!resolves_inside(path)) {
    errno = EXDEV;
    return -1;
  }
  return ::open(path, flags);
}

// Opens a regular file for reading. Folders and other special files are
// refused; O_NONBLOCK keeps a FIFO from blocking the open. EXDEV: the file
// lies outside the working folder.
int open_regular(const std::string& path, struct stat* st) {
  int fd = open_inside(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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

// Removes the file at `path` when it is a temporary file that no run is
// writing: a regular file no one holds a lock on (a writer locks its own
// from creation until it is renamed), such as a killed run leaves.
bool remove_stale_temp(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  bool removed = stale && ::unlink(path.c_str()) == 0;
  ::close(fd);
  return removed;
}

// Creates the temporary file `path` and locks it; a stale one of that name
// is removed first. -1 with errno set when the name is taken or fails.
int create_temp(const std::string& path) {
  const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
  int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0 && errno == EEXIST) {
    if (remove_stale_temp(path)) fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) errno = EEXIST;
  }
  if (fd >= 0) ::flock(fd, LOCK_EX | LOCK_NB);
  return fd;
}

}  // namespace

const SourceResolver::Listing& SourceResolver::listing(const std::string& folder) {
  auto [it, added] = listings_.try_emplace(folder);
  if (!added) return it->second;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return it->second;
  while (const dirent* entry = ::readdir(dir)) {
    if (is_dot_entry(entry->d_name)) continue;
    add(it->second, entry->d_name);
  }
  ::closedir(dir);
  return it->second;
}

namespace {

std::vector<DirEntry> list_folder(const std::string& folder, bool txt_only) {
  std::vector<DirEntry> entries;
  std::string resolved = resolve_source_path(folder);
  DIR* dir = ::opendir(resolved.empty() ? "." : resolved.c_str());
  if (!dir) return entries;
  while (const dirent* entry = ::readdir(dir)) {
    if (is_dot_entry(entry->d_name) || (txt_only && !has_txt_extension(entry->d_name))) continue;
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

}  // namespace

std::vector<DirEntry> list_txt_files(const std::string& folder) { return list_folder(folder, true); }

std::vector<DirEntry> list_entries(const std::string& folder) { return list_folder(folder, false); }

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
  }
  ::close(fd);
  return ok;
}

}  // namespace

ReadResult read_source(const std::string& path, std::string* contents) {
  struct stat st;
  // The path as written nearly always exists; resolving costs a look-up of
  // its own, so it is tried only when the open fails.
  int fd = open_regular(path, &st);
  if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
    std::string resolved = resolve_source_path(path);
    if (resolved != path) fd = open_regular(resolved, &st);
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

bool source_outside_site(const std::string& path) {
  std::string resolved = resolve_source_path(path);
#ifdef O_PATH
  int fd = open_inside(resolved.c_str(), O_PATH | O_CLOEXEC);
#else
  int fd = open_inside(resolved.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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

std::string error_text(int error) {
  if (error == kErrorOutsideSite) return "outside the site";
  if (error == kErrorSameFile) return "it is the source itself";
  if (error == kErrorChangedMeanwhile) return "it changed while being written";
  if (error == kErrorThroughLink) return "a folder on its way is a link";
  return std::strerror(error);
}

ReplacementFile::~ReplacementFile() { abandon(); }

bool ReplacementFile::open(const std::string& path, int* error) {
  abandon();
  path_ = path;
  size_t sep = path.rfind(kSep);
  std::string folder = sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
  std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
  // Hidden and in the same folder, so the rename never crosses devices.
  // O_EXCL keeps concurrent runs apart: a name another run is writing is
  // skipped, one left by a killed run is taken over. Created with the mode a
  // plain create gives (the web server reads the pages), which mkstemp's
  // private files lack. An interrupt removes it (platform/signals.h).
  const std::string stem = folder + "." + name + ".tmp";
  for (int attempt = 0;; ++attempt) {
    temp_path_ = attempt == 0 ? stem : stem + "-" + std::to_string(attempt);
    int fd = create_temp(temp_path_);
    if (fd >= 0) {
      handle_ = fd;
      note_temp_file(&temp_path_);
      return true;
    }
    if (errno != EEXIST || attempt == 100) break;
  }
  set_error(error, errno);
  temp_path_.clear();
  return false;
}

bool ReplacementFile::write(const char* data, size_t size, int* error) {
  if (handle_ < 0) return false;
  if (write_all(static_cast<int>(handle_), data, size)) return true;
  set_error(error, errno);
  return false;
}

bool ReplacementFile::commit(int* error) {
  if (handle_ < 0) return false;
  int fd = static_cast<int>(handle_);
  handle_ = -1;
  if (::close(fd) != 0 || ::rename(temp_path_.c_str(), path_.c_str()) != 0) {
    set_error(error, errno);
    ::unlink(temp_path_.c_str());
    forget_temp_file(&temp_path_);
    temp_path_.clear();
    return false;
  }
  forget_temp_file(&temp_path_);
  temp_path_.clear();
  return true;
}

void ReplacementFile::abandon() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
  forget_temp_file(&temp_path_);
  temp_path_.clear();
}

bool make_folder(const std::string& path, int* error) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  int saved = errno;
  struct stat st;
  if (saved == EEXIST && stat_path(path, &st) && S_ISDIR(st.st_mode)) return true;
  set_error(error, saved);
  return false;
}

bool copy_source_file(const std::string& source, const std::string& destination, int* error, WriteOutcome* outcome) {
  struct stat from;
  int in = open_regular(resolve_source_path(source), &from);
  if (in < 0) {
    set_error(error, errno == EXDEV ? kErrorOutsideSite : errno);
    return false;
  }
  // The destination being the source itself (reached through a link or an
  // output folder among the sources) is refused: replacing it would lose it.
  struct stat to;
  if (stat_path(destination, &to) && to.st_dev == from.st_dev && to.st_ino == from.st_ino) {
    ::close(in);
    set_error(error, kErrorSameFile);
    return false;
  }
  OutputFile out;
  bool ok = out.open(destination, error);
  std::string buffer(1 << 16, '\0');
  while (ok) {
    ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      set_error(error, errno);
      ok = false;
    } else if (n == 0) {
      break;
    } else {
      ok = out.write(buffer.data(), static_cast<size_t>(n), error);
    }
  }
  ::close(in);
  ok = ok && out.commit(error);
  *outcome = out.outcome();
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
