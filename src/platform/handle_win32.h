#pragma once
// What the Windows file layers share: a handle closed by scope, opening an
// existing entry, what an open entry is, and the source opening that copies
// use as every other read does.

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/args.h"
#include "platform/fs.h"
#include "platform/fs_native.h"
#include "platform/wide_win32.h"

namespace mt {

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  HANDLE release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }

 private:
  HANDLE handle_;
};

// Opens an existing entry, following reparse points. Others may read, write
// or delete it meanwhile, as on POSIX. With FILE_FLAG_BACKUP_SEMANTICS a
// folder opens too.
inline HANDLE open_existing(const std::string& path, DWORD access, DWORD flags) {
  return CreateFileW(to_wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, flags, nullptr);
}

// What an open entry is; false when it cannot be told.
inline bool info_of(const Handle& handle, BY_HANDLE_FILE_INFORMATION* info) {
  return handle.valid() && GetFileInformationByHandle(handle.get(), info) != 0;
}

inline bool is_folder(const BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The same file: the same volume and file index, Windows' device and inode.
inline bool same_file(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

inline uint64_t size_of(const BY_HANDLE_FILE_INFORMATION& info) {
  return (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

inline void set_error(FsError* error, DWORD code) {
  if (error) *error = {native::error_kind(static_cast<int>(code)), static_cast<int>(code)};
}

/// Opens an existing source of `root` for reading, refused with
/// kOutsideSite when its final location leaves the root. Folders, consoles
/// and pipes are no source files. `*error` tells why it failed.
HANDLE open_source(const SourceRoot& root, const std::string& path, BY_HANDLE_FILE_INFORMATION* info, FsError* error);

/// The error of a source that cannot be opened with `code`: a folder
/// refuses to open as a file with ERROR_ACCESS_DENIED.
FsError source_error(const std::string& path, DWORD code);

}  // namespace mt
