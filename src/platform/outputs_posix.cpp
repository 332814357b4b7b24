// Writing output files over POSIX: the replacement file and its temporary
// name, folders, copies of sources, folder times, error texts.

#if !defined(_WIN32) && !defined(_FILE_OFFSET_BITS)
#define _FILE_OFFSET_BITS 64  // copies beyond 4 GiB on 32-bit systems
#endif

#include "platform/fs.h"
#include "platform/fs_native.h"
#include "platform/output_file.h"
#include "platform/signals.h"
#include "platform/sources_posix.h"

#ifndef _WIN32

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace mt {

namespace {

bool stat_path(const std::string& path, struct stat* st) { return ::stat(path.c_str(), st) == 0; }

void set_error(FsError* error, int code) {
  if (error) *error = {native::error_kind(code), code};
}

void set_error(FsError* error, FsError::Kind kind) {
  if (error) *error = {kind, 0};
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

namespace native {

FsError::Kind error_kind(int code) {
  switch (code) {
    case ENOENT: return FsError::Kind::kNotFound;
    case ENOTDIR: return FsError::Kind::kNotFolder;
    case EISDIR: return FsError::Kind::kIsFolder;
    case EACCES: return FsError::Kind::kDenied;
    default: return FsError::Kind::kOther;
  }
}

}  // namespace native

std::string error_text(const FsError& error) {
  if (const char* own = native::own_error_text(error.kind)) return own;
  return std::strerror(error.code);
}

ReplacementFile::~ReplacementFile() { abandon(); }

bool ReplacementFile::open(const std::string& path, FsError* error) {
  abandon();
  path_ = path;
  size_t sep = path.rfind('/');
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

bool ReplacementFile::create_in_place(const std::string& path) {
  abandon();
  // O_EXCL: never a file or link someone else put there meanwhile.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  handle_ = fd;
  path_ = path;
  temp_path_ = path;
  note_temp_file(&temp_path_);
  return true;
}

bool ReplacementFile::write(const char* data, size_t size, FsError* error) {
  if (handle_ < 0) return false;
  if (write_all(static_cast<int>(handle_), data, size)) return true;
  set_error(error, errno);
  return false;
}

bool ReplacementFile::commit(FsError* error) {
  if (handle_ < 0) return false;
  int fd = static_cast<int>(handle_);
  handle_ = -1;
  const bool in_place = temp_path_ == path_;
  if (::close(fd) != 0 || (!in_place && ::rename(temp_path_.c_str(), path_.c_str()) != 0)) {
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

bool make_new_folder(const std::string& path, FsError* error) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  set_error(error, errno);
  return false;
}

bool make_folder(const std::string& path, FsError* error) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  int saved = errno;
  struct stat st;
  if (saved == EEXIST && stat_path(path, &st) && S_ISDIR(st.st_mode)) return true;
  set_error(error, saved);
  return false;
}

bool copy_source_file(const SourceRoot& root, const std::string& source, const std::string& destination, FsError* error,
                      WriteOutcome* outcome) {
  struct stat from;
  int in = open_regular_source(root, native::resolve_no_case(root, source), &from);
  if (in < 0) {
    if (errno == EXDEV) {
      set_error(error, FsError::Kind::kOutsideSite);
    } else {
      set_error(error, errno);
    }
    return false;
  }
  // The destination being the source itself (reached through a link or an
  // output folder among the sources) is refused: replacing it would lose it.
  struct stat to;
  if (stat_path(destination, &to) && to.st_dev == from.st_dev && to.st_ino == from.st_ino) {
    ::close(in);
    set_error(error, FsError::Kind::kSameFile);
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

TouchResult touch_folder(const std::string& path, FsError* error) {
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

int local_year() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!::localtime_r(&now, &local)) return 1970;
  return local.tm_year + 1900;
}

}  // namespace mt

#endif  // POSIX
