// Reading the file already at an output path, to compare new bytes with it
// (platform/output_file.h), over POSIX.

#if !defined(_WIN32) && !defined(_FILE_OFFSET_BITS)
#define _FILE_OFFSET_BITS 64  // old files past 2 GiB on 32-bit systems
#endif

#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fs.h"

namespace mt {

OldKind OldOutput::open(const std::string& path) {
  close();
  // O_NOFOLLOW: a link standing there is replaced, never compared through;
  // O_NONBLOCK: a pipe put there cannot hold the run.
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? OldKind::kMissing : OldKind::kOther;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return OldKind::kOther;
  }
  handle_ = fd;
  size_ = static_cast<uint64_t>(st.st_size);
  return OldKind::kRegular;
}

bool OldOutput::read_at(uint64_t offset, char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::pread(static_cast<int>(handle_), data, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

void OldOutput::close() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
}

}  // namespace mt

#endif  // POSIX
