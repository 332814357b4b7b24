// File-system and clock operations over the Windows API, with UTF-16 paths.
// Windows file systems ignore letter case themselves, so source paths need
// no resolving; reparse points play the part of symbolic links and are
// followed where the POSIX side follows links.

#include "platform/fs.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "platform/args.h"
#include "platform/names.h"
#include "platform/wide_win32.h"

namespace mt {

namespace {

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

 private:
  HANDLE handle_;
};

// Opens an existing entry, following reparse points. Others may read, write
// or delete it meanwhile, as on POSIX. With FILE_FLAG_BACKUP_SEMANTICS a
// folder opens too.
HANDLE open_existing(const std::string& path, DWORD access, DWORD flags) {
  return CreateFileW(to_wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, flags, nullptr);
}

// What an open entry is; false when it cannot be told.
bool info_of(const Handle& handle, BY_HANDLE_FILE_INFORMATION* info) {
  return handle.valid() && GetFileInformationByHandle(handle.get(), info) != 0;
}

bool is_folder(const BY_HANDLE_FILE_INFORMATION& info) {
  return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The same file: the same volume and file index, Windows' device and inode.
bool same_file(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

uint64_t size_of(const BY_HANDLE_FILE_INFORMATION& info) {
  return (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

void set_error(int* error, DWORD code) {
  if (error) *error = static_cast<int>(code);
}

bool is_dot_entry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Whether a listed entry is a folder, following reparse points: a link to a
// folder counts, a dangling one does not, as with POSIX stat.
bool listed_folder(const std::string& folder, const WIN32_FIND_DATAW& data, const std::string& name) {
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  BY_HANDLE_FILE_INFORMATION info;
  Handle target(open_existing(join_path(folder, name), 0, FILE_FLAG_BACKUP_SEMANTICS));
  return info_of(target, &info) && is_folder(info);
}

// Calls `visit(name, is_folder)` for every entry of `folder` but "." and "..".
template <typename Visit>
void for_each_entry(const std::string& folder, Visit visit) {
  // Everything is listed and filtered by long name: the pattern "*.txt"
  // would also match "a.txt2" through its 8.3 short name.
  const std::string listed = folder.empty() ? "." : folder;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(to_wide(join_path(listed, "*")).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (is_dot_entry(data.cFileName)) continue;
    std::string name = wide_to_utf8(data.cFileName);
    bool folder_entry = listed_folder(listed, data, name);
    visit(std::move(name), folder_entry);
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

}  // namespace

std::string resolve_source_path(const std::string& path) { return path; }

std::vector<DirEntry> list_txt_files(const std::string& folder) {
  std::vector<DirEntry> entries;
  for_each_entry(folder, [&](std::string name, bool folder_entry) {
    if (has_txt_extension(name)) entries.push_back(DirEntry{std::move(name), folder_entry});
  });
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return name_less(a.name, b.name); });
  return entries;
}

std::vector<std::string> list_sub_folders(const std::string& folder) {
  std::vector<std::string> names;
  for_each_entry(folder, [&](std::string name, bool folder_entry) {
    if (folder_entry) names.push_back(std::move(name));
  });
  std::sort(names.begin(), names.end(), name_less);
  return names;
}

bool source_exists(const std::string& path) {
  // A reparse point's own attributes: a dangling link exists, and then
  // fails to open where it is read, which reports it.
  return GetFileAttributesW(to_wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool read_source_file(const std::string& path, std::string* contents) {
  // Without backup semantics a folder does not open; consoles and pipes
  // open but are no source files.
  Handle file(open_existing(path, GENERIC_READ, FILE_ATTRIBUTE_NORMAL));
  BY_HANDLE_FILE_INFORMATION info;
  if (!info_of(file, &info) || is_folder(info) || GetFileType(file.get()) != FILE_TYPE_DISK) return false;
  contents->clear();
  // The first read asks for the whole file; the file may grow meanwhile, so
  // reading goes on until the end.
  uint64_t expected = size_of(info);
  DWORD want = static_cast<DWORD>(std::clamp<uint64_t>(expected + 1, 1 << 16, 1u << 30));
  for (;;) {
    size_t had = contents->size();
    contents->resize(had + want);
    DWORD got = 0;
    if (!ReadFile(file.get(), contents->data() + had, want, &got, nullptr)) {
      contents->resize(had);
      return false;
    }
    contents->resize(had + got);
    if (got == 0) return true;
    want = 1 << 16;
  }
}

bool make_folder(const std::string& path, int* error) {
  std::wstring wide = to_wide(path);
  if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
  DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS) {
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  }
  set_error(error, code);
  return false;
}

bool copy_source_file(const std::string& source, const std::string& destination, int* error) {
  BY_HANDLE_FILE_INFORMATION from;
  {
    Handle file(open_existing(source, GENERIC_READ, FILE_ATTRIBUTE_NORMAL));
    if (!info_of(file, &from)) {
      set_error(error, GetLastError());
      return false;
    }
    if (is_folder(from)) {
      set_error(error, ERROR_DIRECTORY);
      return false;
    }
    // When the destination is the source itself (an output folder inside
    // the source tree), it already holds exactly the source's bytes.
    BY_HANDLE_FILE_INFORMATION to;
    Handle existing(open_existing(destination, 0, FILE_FLAG_BACKUP_SEMANTICS));
    if (info_of(existing, &to) && same_file(from, to)) return true;
  }
  std::wstring wide = to_wide(destination);
  if (!CopyFileW(to_wide(source).c_str(), wide.c_str(), FALSE)) {
    set_error(error, GetLastError());
    return false;
  }
  // The copy takes the source's attributes; a read-only copy would make the
  // next build fail to replace it.
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(wide.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  return true;
}

TouchResult touch_folder(const std::string& path, int* error) {
  Handle folder(open_existing(path, GENERIC_READ | FILE_WRITE_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS));
  if (!folder.valid()) {
    set_error(error, GetLastError());
    return TouchResult::kCannotOpen;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!info_of(folder, &info) || !is_folder(info)) {
    set_error(error, ERROR_DIRECTORY);
    return TouchResult::kCannotOpen;
  }
  // Last-write time to now; creation and access times stay as they are.
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  if (!SetFileTime(folder.get(), nullptr, nullptr, &now)) {
    set_error(error, GetLastError());
    return TouchResult::kCannotSet;
  }
  return TouchResult::kDone;
}

bool file_size(const std::string& path, uint64_t* size) {
  Handle file(open_existing(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS));
  BY_HANDLE_FILE_INFORMATION info;
  if (!info_of(file, &info) || is_folder(info)) return false;
  *size = size_of(info);
  return true;
}

int local_year() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wYear;
}

}  // namespace mt
