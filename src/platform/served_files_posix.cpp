// Served files over POSIX descriptors: pread, so one open file can be read
// at any offset by whichever thread answers.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/served_files.h"

namespace mt {

std::unique_ptr<ServedFile> ServedFile::open(const std::string& path) {
  // O_NONBLOCK: a FIFO put where the file was must not block the open.
  // O_NOFOLLOW: the path was resolved and checked; a link put there since
  // could lead out of the folder.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<ServedFile>(new ServedFile(fd, static_cast<uint64_t>(info.st_size)));
}

ServedFile::~ServedFile() { ::close(static_cast<int>(handle_)); }

std::ptrdiff_t ServedFile::read_at(uint64_t offset, char* buffer, size_t count) const {
  for (;;) {
    const ssize_t got = pread(static_cast<int>(handle_), buffer, count, static_cast<off_t>(offset));
    if (got >= 0 || errno != EINTR) return got;
  }
}

}  // namespace mt
