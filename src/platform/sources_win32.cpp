// Reading sources over the Windows API, with UTF-16 paths: opening them
// confined to their root, listing folders, file identities and
// sizes. Windows file systems mostly ignore letter case themselves; a path
// that does not exist as written (a folder marked case-sensitive, a share
// from another system) is looked up again component by component without
// ASCII case, as on POSIX. Reparse points play the part of symbolic links and
// are followed where the POSIX side follows links.

#include "platform/fs.h"
#include "platform/fs_native.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <vector>

#include "platform/handle_win32.h"
#include "platform/names.h"
#include "platform/wide_win32.h"

namespace mt {

using native::entry_exists;
using native::find_entry_no_case;

namespace {

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

// Whether the open entry lies inside the root's folder. Windows names
// ignore case, so the prefix is compared as the file system compares names.
bool handle_inside(const SourceRoot& sources, HANDLE handle) {
  Handle root(open_existing(sources.path().empty() ? "." : sources.path(), 0, FILE_FLAG_BACKUP_SEMANTICS));
  Location base = root.valid() ? location_of(root.get()) : Location();
  if (base.path.empty()) return false;
  Location real = location_of(handle);
  // A place that cannot be told is not known to be inside.
  if (real.path.empty() || real.volume != base.volume) return false;
  if (base.path.back() != L'\\') base.path.push_back(L'\\');
  if (real.path.size() + 1 == base.path.size()) real.path.push_back(L'\\');  // the root itself
  if (real.path.size() < base.path.size() || base.path.size() > INT_MAX) return false;
  int n = static_cast<int>(base.path.size());
  return CompareStringOrdinal(real.path.data(), n, base.path.data(), n, TRUE) == CSTR_EQUAL;
}

}  // namespace

HANDLE open_source(const SourceRoot& root, const std::string& path, BY_HANDLE_FILE_INFORMATION* info, FsError* error) {
  HANDLE handle = open_existing(root.path_of(path), GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    // Resolving costs a listing, so it is tried only when the path as
    // written fails to open.
    std::string resolved = native::resolve_no_case(root, path);
    if (resolved != path) handle = open_existing(root.path_of(resolved), GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
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
  if (!handle_inside(root, handle)) {
    if (error) *error = {FsError::Kind::kOutsideSite, 0};
    return INVALID_HANDLE_VALUE;
  }
  file.release();
  return handle;
}

namespace native {

FsError::Kind error_kind(int code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return FsError::Kind::kNotFound;
    case ERROR_DIRECTORY: return FsError::Kind::kIsFolder;
    case ERROR_ACCESS_DENIED: return FsError::Kind::kDenied;
    default: return FsError::Kind::kOther;
  }
}

}  // namespace native

FsError source_error(const std::string& path, DWORD code) {
  FsError error{native::error_kind(static_cast<int>(code)), static_cast<int>(code)};
  if (error == FsError::Kind::kDenied) {
    DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error.kind = FsError::Kind::kIsFolder;
    }
  }
  return error;
}

namespace {

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

// Windows confines by comparing final paths: the root needs no handle.
SourceRoot::SourceRoot(std::string path) : path_(std::move(path)) {}

SourceRoot::~SourceRoot() = default;

const SourceRoot::Listing& SourceRoot::listing(const std::string& folder) {
  auto [it, added] = listings_.try_emplace(folder);
  if (!added) return it->second;
  Listing& names = it->second;
  for_each_entry(path_of(folder), [&names](const std::string&, std::string name, const WIN32_FIND_DATAW&) {
    add(names, std::move(name));
  });
  return names;
}

namespace {

std::vector<DirEntry> list_named(const SourceRoot& root, const std::string& folder, bool txt_only) {
  std::vector<DirEntry> entries;
  for_each_entry(root.path_of(native::resolve_no_case(root, folder)),
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

std::vector<DirEntry> SourceRoot::list_txt_files(const std::string& folder) const {
  return list_named(*this, folder, true);
}

std::vector<DirEntry> SourceRoot::list_entries(const std::string& folder) const {
  return list_named(*this, folder, false);
}

FolderOpen SourceRoot::list_folder(const std::string& folder, FolderListing* listing) const {
  // One open tells whether the folder leaves the site and what it is; the
  // entries come from a listing by name.
  const std::string resolved = native::resolve_no_case(*this, folder);
  const std::string path = path_of(resolved);
  Handle entry(open_existing(path.empty() ? "." : path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS));
  BY_HANDLE_FILE_INFORMATION info;
  if (!info_of(entry, &info)) return FolderOpen::kMissing;
  if (!handle_inside(*this, entry.get())) return FolderOpen::kOutsideSite;
  if (!is_folder(info)) return FolderOpen::kMissing;
  listing->id.device = info.dwVolumeSerialNumber;
  listing->id.number = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  listing->entries = list_entries(resolved);
  return FolderOpen::kListed;
}

ReadResult SourceRoot::read(const std::string& path, std::string* contents) const {
  BY_HANDLE_FILE_INFORMATION info;
  FsError error;
  Handle file(open_source(*this, path, &info, &error));
  if (!file.valid()) return error == FsError::Kind::kOutsideSite ? ReadResult::kOutsideSite : ReadResult::kCannotOpen;
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

bool SourceRoot::outside_site(const std::string& path) const {
  // Attributes only: a folder opens too with backup semantics.
  Handle entry(
      open_existing(path_of(native::resolve_no_case(*this, path)), FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS));
  return entry.valid() && !handle_inside(*this, entry.get());
}

bool SourceRoot::id(const std::string& rel, FileId* out) const {
  return file_id(path_of(rel.empty() ? "." : rel), out);
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

bool file_size(const std::string& path, uint64_t* size) {
  Handle file(open_existing(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS));
  BY_HANDLE_FILE_INFORMATION info;
  if (!info_of(file, &info)) {
    Handle resolved(
        open_existing(native::resolve_no_case(SourceRoot(), path), FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS));
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
