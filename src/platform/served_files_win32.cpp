// Served files over Windows handles. Other processes may still write,
// replace or delete the file while it is open, so a rebuild is not stopped
// by a page being sent.

#include <windows.h>

#include "platform/args.h"
#include "platform/served_files.h"

namespace mt {

std::unique_ptr<ServedFile> ServedFile::open(const std::string& path) {
  // FILE_FLAG_OPEN_REPARSE_POINT: the path was resolved and checked; a
  // reparse point put there since is opened as itself and refused below.
  HANDLE file = CreateFileW(to_wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  BY_HANDLE_FILE_INFORMATION info;
  const DWORD not_plain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & not_plain) != 0) {
    CloseHandle(file);
    return nullptr;
  }
  const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return std::unique_ptr<ServedFile>(new ServedFile(reinterpret_cast<std::intptr_t>(file), size));
}

ServedFile::~ServedFile() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

std::ptrdiff_t ServedFile::read_at(uint64_t offset, char* buffer, size_t count) const {
  // The offset goes in the OVERLAPPED record, so threads sharing the
  // handle never race on its file pointer.
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  const DWORD want = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
  DWORD got = 0;
  if (ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, want, &got, &at)) return static_cast<std::ptrdiff_t>(got);
  return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

}  // namespace mt
