#pragma once
// Reading the files the preview serves, confined to the served folder. A
// served file is read in pieces from an open handle, so serving it takes the
// same memory however large it is.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace mt {

/// The served folder as the file system names it after following every
/// link; "" when it does not exist.
std::string canonical_folder(const std::string& folder);

/// A regular file, open for reading at any offset.
class ServedFile {
 public:
  ~ServedFile();
  ServedFile(const ServedFile&) = delete;
  ServedFile& operator=(const ServedFile&) = delete;

  /// Opens the regular file at `path`, which names no link; null for
  /// anything else (a FIFO or a device put there meanwhile is not waited on).
  static std::unique_ptr<ServedFile> open(const std::string& path);
  /// Its size when it was opened.
  uint64_t size() const { return size_; }
  /// Reads up to `count` bytes at `offset` into `buffer`: the number read,
  /// 0 at the end of the file, -1 after an error.
  std::ptrdiff_t read_at(uint64_t offset, char* buffer, size_t count) const;

 private:
  ServedFile(std::intptr_t handle, uint64_t size) : handle_(handle), size_(size) {}
  std::intptr_t handle_;  // a file descriptor, or a Windows HANDLE
  uint64_t size_;
};

/// Opens the file at `relative` (components separated by '/') under `root`,
/// a `canonical_folder`; a folder gives its "index.html". Null when there
/// is no such regular file (a FIFO or a device is never opened) or when the
/// file, after following links, lies outside `root`. `*name` receives the
/// name of the file opened.
std::unique_ptr<ServedFile> open_served_file(const std::string& root, const std::string& relative, std::string* name);

/// The whole of such a file, for files the tool wrote itself and keeps
/// small; false where `open_served_file` gives null or reading fails.
bool read_served_file(const std::string& root, const std::string& relative, std::string* contents, std::string* name);

}  // namespace mt
