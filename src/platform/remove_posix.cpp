// Removal over POSIX calls that never follow a link. The folders on the way
// to a file are opened one below the other with O_NOFOLLOW and the file is
// unlinked relative to its open folder, so a link put anywhere on the path,
// even while the run goes on, cannot lead the removal out of the folder.

#include "platform/remove.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace mt {

namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

EntryKind kind_of(const struct stat& st) {
  if (S_ISLNK(st.st_mode)) return EntryKind::kLink;
  if (S_ISREG(st.st_mode)) return EntryKind::kFile;
  if (S_ISDIR(st.st_mode)) return EntryKind::kFolder;
  return EntryKind::kOther;
}

// Why `name` in the open folder `folder` is not what removal needs.
Removal refusal_at(int folder, const std::string& name) {
  struct stat st;
  if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? Removal::kMissing : Removal::kFailed;
  }
  return S_ISLNK(st.st_mode) ? Removal::kThroughLink : Removal::kChanged;
}

// The digest of an open regular file, read to its end.
bool digest_of(int fd, FileDigest* digest) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t got = read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    digest->add(buffer.data(), static_cast<size_t>(got));
  }
}

// Opens a regular file of `folder` for reading: no link, and O_NONBLOCK so
// a pipe put there cannot stop the run.
int open_regular(int folder, const char* name) {
  int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  struct stat st;
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

EntryKind entry_kind(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? kind_of(st) : EntryKind::kNone;
}

bool remove_link(const std::string& path) { return unlink(path.c_str()) == 0; }

bool folder_is_empty(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return false;
  bool empty = true;
  while (struct dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") empty = false;
  }
  closedir(dir);
  return empty;
}

bool file_digest(const std::string& path, FileDigest* digest) {
  Fd file(open_regular(AT_FDCWD, path.c_str()));
  *digest = FileDigest();
  return file.get() >= 0 && digest_of(file.get(), digest);
}

Removal remove_output_file(const std::string& root, std::string_view relative, const FileDigest& expected) {
  std::vector<std::string> parts;
  for (size_t start = 0; start <= relative.size();) {
    size_t end = std::min(relative.find('/', start), relative.size());
    parts.emplace_back(relative.substr(start, end - start));
    // Only plain names lead downward; anything else is not the tool's.
    if (parts.back().empty() || parts.back() == "." || parts.back() == "..") return Removal::kChanged;
    start = end + 1;
  }
  // The root is the folder the owner named, links and all.
  int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? Removal::kMissing : Removal::kFailed;
  std::vector<Fd> folders;
  folders.emplace_back(fd);
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    int parent = folders.back().get();
    folders.emplace_back(openat(parent, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folders.back().get() < 0) return refusal_at(parent, parts[i]);
  }

  const int folder = folders.back().get();
  const char* name = parts.back().c_str();
  struct stat st;
  if (fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
    return refusal_at(folder, parts.back());
  }
  if (static_cast<uint64_t>(st.st_size) != expected.size) return Removal::kChanged;
  Fd file(open_regular(folder, name));
  FileDigest found;
  if (file.get() < 0 || !digest_of(file.get(), &found)) return Removal::kFailed;
  if (found != expected) return Removal::kChanged;
  if (unlinkat(folder, name, 0) != 0) return Removal::kFailed;

  // Folders left empty go, innermost first; a folder that holds anything
  // refuses, and so ends the walk.
  for (size_t i = folders.size() - 1; i > 0; --i) {
    folders.pop_back();
    if (unlinkat(folders.back().get(), parts[i - 1].c_str(), AT_REMOVEDIR) != 0) break;
  }
  return Removal::kRemoved;
}

}  // namespace mt
