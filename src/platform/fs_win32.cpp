// File-system and clock operations over the Windows API, with UTF-16 paths.
// Windows file systems mostly ignore letter case themselves; a path that does
// not exist as written (a folder marked case-sensitive, a share from another
// system) is looked up again component by component without ASCII case, as
// on POSIX. Reparse points play the part of symbolic links and are followed
// where the POSIX side follows links.

#include "platform/fs.h"
#include "platform/fs_native.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <vector>

#include "platform/args.h"
#include "platform/names.h"
#include "platform/output_file.h"
#include "platform/signals.h"
#include "platform/wide_win32.h"

namespace mt {

using native::entry_exists;
using native::find_entry_no_case;

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
HANDLE open_existing(const std::string& path, DWORD access, DWORD flags) {
  return CreateFileW(to_wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, flags, nullptr);
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

}  // namespace

namespace native {

bool entry_exists(const std::string& path) {
  return GetFileAttributesW(to_wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace native

namespace {

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

// Calls `visit(name, data)` for every entry of `folder` but "." and "..".
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
    visit(listed, wide_to_utf8(data.cFileName), data);
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

}  // namespace

namespace native {

std::optional<std::string> find_entry_no_case(const std::string& folder, std::string_view name) {
  std::optional<std::string> best;
  for_each_entry(folder, [&](const std::string&, std::string listed, const WIN32_FIND_DATAW&) {
    if (equal_no_case(listed, name) && (!best || name_less(listed, *best))) best = std::move(listed);
  });
  return best;
}

}  // namespace native

namespace {

// Where an open entry really is, reparse points followed: its volume and its
// final path on that volume, without the drive (a volume may be reached
// through several). Empty when the system cannot tell.
struct Location {
  DWORD volume = 0;
  std::wstring path;
};

Location location_of(HANDLE handle) {
  Location where;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return where;
  where.volume = info.dwVolumeSerialNumber;
  const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_NONE;
  DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
  if (size != 0) {
    where.path.assign(size, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, where.path.data(), size, flags);
    where.path.resize(length < size ? length : 0);
    if (!where.path.empty()) return where;
  }
  // Some implementations (wine) cannot tell a final path past MAX_PATH; the
  // file's name on its volume is the same path.
  std::vector<char> buffer(sizeof(FILE_NAME_INFO) + 1024);
  for (;;) {
    if (GetFileInformationByHandleEx(handle, FileNameInfo, buffer.data(), static_cast<DWORD>(buffer.size()))) {
      const auto* name = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
      where.path.assign(name->FileName, name->FileNameLength / sizeof(wchar_t));
      return where;
    }
    if (GetLastError() != ERROR_MORE_DATA || buffer.size() > (1u << 20)) return where;
    buffer.resize(buffer.size() * 2);
  }
}

// Whether the open entry lies inside the working folder. Windows names
// ignore case, so the prefix is compared as the file system compares names.
bool handle_inside(HANDLE handle) {
  Handle root(open_existing(".", 0, FILE_FLAG_BACKUP_SEMANTICS));
  Location base = root.valid() ? location_of(root.get()) : Location();
  if (base.path.empty()) return false;
  Location real = location_of(handle);
  // A place that cannot be told is not known to be inside.
  if (real.path.empty() || real.volume != base.volume) return false;
  if (base.path.back() != L'\\') base.path.push_back(L'\\');
  if (real.path.size() + 1 == base.path.size()) real.path.push_back(L'\\');  // the working folder itself
  if (real.path.size() < base.path.size() || base.path.size() > INT_MAX) return false;
  int n = static_cast<int>(base.path.size());
  return CompareStringOrdinal(real.path.data(), n, base.path.data(), n, TRUE) == CSTR_EQUAL;
}

// Opens an existing source for reading, refused with kErrorOutsideSite when
// its final location leaves the working folder. Folders, consoles and pipes
// are no source files. `*error` tells why it failed.
HANDLE open_source(const std::string& path, BY_HANDLE_FILE_INFORMATION* info, int* error) {
  HANDLE handle = open_existing(path, GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    // Resolving costs a listing, so it is tried only when the path as
    // written fails to open.
    std::string resolved = resolve_source_path(path);
    if (resolved != path) handle = open_existing(resolved, GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
    if (handle == INVALID_HANDLE_VALUE) {
      set_error(error, code);
      return handle;
    }
  }
  Handle file(handle);
  if (!info_of(file, info) || is_folder(*info) || GetFileType(handle) != FILE_TYPE_DISK) {
    set_error(error, info_of(file, info) && is_folder(*info) ? ERROR_DIRECTORY : ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if (!handle_inside(handle)) {
    if (error) *error = kErrorOutsideSite;
    return INVALID_HANDLE_VALUE;
  }
  file.release();
  return handle;
}

// The POSIX code of a source that cannot be read: the caller tells these
// from write failures, and the message then shows the same number on every
// platform.
int source_error(const std::string& path, int code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return ENOENT;
    case ERROR_DIRECTORY: return EISDIR;
    case ERROR_ACCESS_DENIED: {
      // A folder refuses to open as a file with this code.
      DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
      bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
      return folder ? EISDIR : EACCES;
    }
    default: return code;
  }
}

// Reads from `file` until its end, appending to `contents`.
bool read_all(HANDLE file, uint64_t expected, std::string* contents) {
  // The first read asks for the whole file; the file may grow meanwhile, so
  // reading goes on until the end.
  DWORD want = static_cast<DWORD>(std::clamp<uint64_t>(expected + 1, 1 << 16, 1u << 30));
  for (;;) {
    size_t had = contents->size();
    contents->resize(had + want);
    DWORD got = 0;
    if (!ReadFile(file, contents->data() + had, want, &got, nullptr)) {
      contents->resize(had);
      return false;
    }
    contents->resize(had + got);
    if (got == 0) return true;
    want = 1 << 16;
  }
}

}  // namespace

const SourceResolver::Listing& SourceResolver::listing(const std::string& folder) {
  auto [it, added] = listings_.try_emplace(folder);
  if (!added) return it->second;
  Listing& names = it->second;
  for_each_entry(
      folder, [&names](const std::string&, std::string name, const WIN32_FIND_DATAW&) { add(names, std::move(name)); });
  return names;
}

namespace {

std::vector<DirEntry> list_folder(const std::string& folder, bool txt_only) {
  std::vector<DirEntry> entries;
  for_each_entry(resolve_source_path(folder),
                 [&](const std::string& listed, std::string name, const WIN32_FIND_DATAW& data) {
                   if (txt_only && !has_txt_extension(name)) return;
                   bool folder_entry = listed_folder(listed, data, name);
                   entries.push_back(DirEntry{std::move(name), folder_entry});
                 });
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return name_less(a.name, b.name); });
  return entries;
}

}  // namespace

std::vector<DirEntry> list_txt_files(const std::string& folder) { return list_folder(folder, true); }

std::vector<DirEntry> list_entries(const std::string& folder) { return list_folder(folder, false); }

std::vector<std::string> list_sub_folders(const std::string& folder) {
  std::vector<std::string> names;
  for_each_entry(resolve_source_path(folder),
                 [&](const std::string& listed, std::string name, const WIN32_FIND_DATAW& data) {
                   if (listed_folder(listed, data, name)) names.push_back(std::move(name));
                 });
  std::sort(names.begin(), names.end(), name_less);
  return names;
}

ReadResult read_source(const std::string& path, std::string* contents) {
  BY_HANDLE_FILE_INFORMATION info;
  int error = 0;
  Handle file(open_source(path, &info, &error));
  if (!file.valid()) return error == kErrorOutsideSite ? ReadResult::kOutsideSite : ReadResult::kCannotOpen;
  contents->clear();
  return read_all(file.get(), size_of(info), contents) ? ReadResult::kRead : ReadResult::kCannotOpen;
}

bool read_named_file(const std::string& path, std::string* contents) {
  Handle file(open_existing(path, GENERIC_READ, 0));
  BY_HANDLE_FILE_INFORMATION info;
  if (!info_of(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  contents->clear();
  return read_all(file.get(), size_of(info), contents);
}

bool source_outside_site(const std::string& path) {
  // Attributes only: a folder opens too with backup semantics.
  Handle entry(open_existing(resolve_source_path(path), FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS));
  return entry.valid() && !handle_inside(entry.get());
}

bool file_id(const std::string& path, FileId* id) {
  Handle entry(open_existing(path, 0, FILE_FLAG_BACKUP_SEMANTICS));
  BY_HANDLE_FILE_INFORMATION info;
  if (!info_of(entry, &info)) return false;
  // The volume and the file index are Windows' device and inode.
  id->device = info.dwVolumeSerialNumber;
  id->number = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

std::string error_text(int error) {
  if (error == kErrorOutsideSite) return "outside the site";
  if (error == kErrorSameFile) return "it is the source itself";
  if (error == kErrorChangedMeanwhile) return "it changed while being written";
  if (error == kErrorThroughLink) return "a folder on its way is a link";
  wchar_t* text = nullptr;
  DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = length ? wide_to_utf8(std::wstring_view(text, length)) : std::string();
  if (text) LocalFree(text);
  // The system's text ends its sentence and its line; the message goes on
  // after it, as after strerror's text.
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' ' || result.back() == '.')) {
    result.pop_back();
  }
  return result.empty() ? "error " + std::to_string(error) : result;
}

namespace {

// Removes the file at `path` when it is a temporary file that no run is
// writing, such as a killed run leaves: opened without sharing, it opens
// only when no process holds it open, and goes when this handle closes.
bool remove_stale_temp(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))) {
    return false;
  }
  HANDLE file = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// Creates the temporary file `path`; a stale one of that name is removed
// first. Delete sharing lets an interrupt remove it while it is open.
HANDLE create_temp(const std::wstring& path) {
  auto create = [&path] {
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE file = create();
  DWORD code = GetLastError();
  if (file == INVALID_HANDLE_VALUE && (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)) {
    if (remove_stale_temp(path)) file = create();
    if (file == INVALID_HANDLE_VALUE) SetLastError(code);
  }
  return file;
}

}  // namespace

ReplacementFile::~ReplacementFile() { abandon(); }

bool ReplacementFile::open(const std::string& path, int* error) {
  abandon();
  path_ = path;
  size_t sep = path.find_last_of("\\/");
  std::string folder = sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
  std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
  // In the same folder, so the rename stays on one volume. CREATE_NEW keeps
  // concurrent runs apart: a name another run is writing is skipped, one
  // left by a killed run is taken over. An interrupt removes it.
  const std::string stem = folder + "." + name + ".tmp";
  DWORD code = 0;
  for (int attempt = 0;; ++attempt) {
    temp_path_ = attempt == 0 ? stem : stem + "-" + std::to_string(attempt);
    HANDLE file = create_temp(to_wide(temp_path_));
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<intptr_t>(file);
      note_temp_file(&temp_path_);
      return true;
    }
    code = GetLastError();
    if ((code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) || attempt == 100) break;
  }
  set_error(error, code);
  temp_path_.clear();
  return false;
}

bool ReplacementFile::write(const char* data, size_t size, int* error) {
  if (handle_ < 0) return false;
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  while (size > 0) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr)) {
      set_error(error, GetLastError());
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

bool ReplacementFile::commit(int* error) {
  if (handle_ < 0) return false;
  HANDLE file = reinterpret_cast<HANDLE>(handle_);
  handle_ = -1;
  std::wstring temp = to_wide(temp_path_);
  std::wstring final_name = to_wide(path_);
  bool ok = CloseHandle(file) != 0;
  // Renaming replaces a reparse point at the final path itself, never what
  // it points to.
  if (ok && !MoveFileExW(temp.c_str(), final_name.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DWORD code = GetLastError();
    // A read-only old file (copied from a read-only source by an earlier
    // version) is replaced as POSIX rename would replace it.
    DWORD attributes = GetFileAttributesW(final_name.c_str());
    ok = code == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         SetFileAttributesW(final_name.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) &&
         MoveFileExW(temp.c_str(), final_name.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!ok) SetLastError(code);
  }
  if (!ok) {
    set_error(error, GetLastError());
    DeleteFileW(temp.c_str());
  }
  forget_temp_file(&temp_path_);
  temp_path_.clear();
  return ok;
}

void ReplacementFile::abandon() {
  if (handle_ >= 0) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  if (!temp_path_.empty()) DeleteFileW(to_wide(temp_path_).c_str());
  forget_temp_file(&temp_path_);
  temp_path_.clear();
}

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

bool copy_source_file(const std::string& source, const std::string& destination, int* error, WriteOutcome* outcome) {
  BY_HANDLE_FILE_INFORMATION from;
  int code = 0;
  Handle in(open_source(source, &from, &code));
  if (!in.valid()) {
    set_error(error, static_cast<DWORD>(code == kErrorOutsideSite ? code : source_error(source, code)));
    return false;
  }
  // The destination being the source itself (reached through a link or an
  // output folder among the sources) is refused: replacing it would lose it.
  // The old file's handle is closed at once: an open file cannot be
  // replaced.
  BY_HANDLE_FILE_INFORMATION to;
  bool same = false;
  {
    Handle existing(open_existing(destination, 0, FILE_FLAG_BACKUP_SEMANTICS));
    same = info_of(existing, &to) && same_file(from, to);
  }
  if (same) {
    if (error) *error = kErrorSameFile;
    return false;
  }
  OutputFile out;
  if (!out.open(destination, error)) return false;
  std::string buffer(1 << 16, '\0');
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      set_error(error, GetLastError());
      return false;
    }
    if (got == 0) break;
    if (!out.write(buffer.data(), got, error)) return false;
  }
  const bool ok = out.commit(error);
  *outcome = out.outcome();
  return ok;
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
  if (!info_of(file, &info)) {
    Handle resolved(open_existing(resolve_source_path(path), FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS));
    if (!info_of(resolved, &info)) return false;
  }
  if (is_folder(info)) return false;
  *size = size_of(info);
  return true;
}

int local_year() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wYear;
}

}  // namespace mt
