// Reading the file already at an output path, to compare new bytes with it
// (platform/output_file.h), over the Windows API.

#include <windows.h>

#include <algorithm>

#include "platform/fs.h"
#include "platform/handle_win32.h"

namespace mt {

OldKind OldOutput::open(const std::string& path) {
  close();
  // The entry itself: a reparse point standing there is replaced, never
  // compared through. Others may still write or replace it meanwhile.
  Handle file(open_existing(path, GENERIC_READ, FILE_FLAG_OPEN_REPARSE_POINT));
  if (!file.valid()) {
    const DWORD code = GetLastError();
    return code == ERROR_FILE_NOT_FOUND ? OldKind::kMissing : OldKind::kOther;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!info_of(file, &info) || is_folder(info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      GetFileType(file.get()) != FILE_TYPE_DISK) {
    return OldKind::kOther;
  }
  size_ = size_of(info);
  handle_ = reinterpret_cast<intptr_t>(file.release());
  return OldKind::kRegular;
}

bool OldOutput::read_at(uint64_t offset, char* data, size_t size) {
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), data, chunk, &got, &at) || got == 0) return false;
    data += got;
    size -= got;
    offset += got;
  }
  return true;
}

void OldOutput::close() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
}

}  // namespace mt
