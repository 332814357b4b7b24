// Removal over the Windows API, where reparse points (symbolic links,
// junctions) stand for links and are asked about by their attribute. Each
// folder on the way to a file is opened without following a reparse point
// and held open, not shared for deletion, so it cannot be renamed or swapped
// for a link until the file is gone; the file is opened the same way and
// deleted through its handle. Its final path must also lie below the root's,
// which catches a link that the system shows as a plain folder (wine shows
// POSIX links so).

#include "platform/remove.h"

#include <windows.h>

#include <climits>
#include <vector>

#include "platform/args.h"
#include "platform/fs.h"

namespace mt {

namespace {

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Opens an entry itself, a reparse point included, or a folder.
HANDLE open_entry(const std::string& path, DWORD access, DWORD share) {
  return CreateFileW(to_wide(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

DWORD attributes_of(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileInformationByHandle(handle, &info) ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

// Whether the entry at `path`, open with `attributes`, is a reparse point.
// The path is asked too: some implementations (wine) show a link's target
// through the handle, yet mark the path. Held open, the entry cannot have
// been swapped in between.
bool is_link(const std::string& path, DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || entry_kind(path) == EntryKind::kLink;
}

// Why the entry at `path` is not what removal needs.
Removal refusal_at(const std::string& path) {
  switch (entry_kind(path)) {
    case EntryKind::kNone: return Removal::kMissing;
    case EntryKind::kLink: return Removal::kThroughLink;
    case EntryKind::kFile: return Removal::kFailed;  // there, but it would not open
    default: return Removal::kChanged;
  }
}

// The volume and the final path on it of an open entry, every reparse point
// followed; an empty path when the system cannot tell.
std::wstring location_of(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_NONE;
  DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
  if (size == 0 || !GetFileInformationByHandle(handle, &info)) return {};
  std::wstring path(size, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle, path.data(), size, flags);
  path.resize(length < size ? length : 0);
  return path.empty() ? path : std::to_wstring(info.dwVolumeSerialNumber) + L":" + path;
}

// Whether `inner` lies below `outer`, compared as the file system compares
// names (without case).
bool below(const std::wstring& inner, std::wstring outer) {
  if (outer.empty() || inner.empty()) return false;
  if (outer.back() != L'\\') outer.push_back(L'\\');
  if (inner.size() <= outer.size() || outer.size() > INT_MAX) return false;
  int n = static_cast<int>(outer.size());
  return CompareStringOrdinal(inner.data(), n, outer.data(), n, TRUE) == CSTR_EQUAL;
}

// The digest of an open file, read to its end.
bool digest_of(HANDLE file, FileDigest* digest) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
    if (got == 0) return true;
    digest->add(buffer.data(), got);
  }
}

// Whether an open entry is a regular file on a disk: no folder, reparse
// point, console or pipe.
bool regular_file(HANDLE handle) {
  DWORD attributes = attributes_of(handle);
  return attributes != INVALID_FILE_ATTRIBUTES && GetFileType(handle) == FILE_TYPE_DISK &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

}  // namespace

EntryKind entry_kind(const std::string& path) {
  DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return EntryKind::kNone;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::kLink;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::kFolder;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return EntryKind::kOther;
  return EntryKind::kFile;
}

bool remove_link(const std::string& path) {
  // Only a handle that shows the reparse point itself may be deleted: one
  // that shows the target (as wine gives) would delete the target.
  Handle link(open_entry(path, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
  DWORD attributes = link.valid() ? attributes_of(link.get()) : INVALID_FILE_ATTRIBUTES;
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  FILE_DISPOSITION_INFO dispose{TRUE};
  return SetFileInformationByHandle(link.get(), FileDispositionInfo, &dispose, sizeof dispose) != 0;
}

bool folder_is_empty(const std::string& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(to_wide(join_path(path, "*")).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    std::wstring_view name = data.cFileName;
    if (name != L"." && name != L"..") empty = false;
  } while (empty && FindNextFileW(find, &data));
  FindClose(find);
  return empty;
}

bool file_digest(const std::string& path, FileDigest* digest) {
  Handle file(open_entry(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
  *digest = FileDigest();
  return file.valid() && regular_file(file.get()) && digest_of(file.get(), digest);
}

Removal remove_output_file(const std::string& root, std::string_view relative, const FileDigest& expected) {
  Handle base(CreateFileW(to_wide(root).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const std::wstring base_location = base.valid() ? location_of(base.get()) : std::wstring();
  if (base_location.empty()) return Removal::kFailed;
  std::vector<Handle> held;
  std::vector<std::string> folders;
  std::string path = root;
  for (size_t start = 0;;) {
    size_t slash = relative.find('/', start);
    std::string_view part = relative.substr(start, slash == std::string_view::npos ? slash : slash - start);
    // Only plain names lead downward; anything else is not the tool's.
    if (part.empty() || part == "." || part == ".." || part.find_first_of("\\:") != part.npos) {
      return Removal::kChanged;
    }
    path = join_path(path, part);
    if (slash == std::string_view::npos) break;
    held.emplace_back(open_entry(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE));
    if (!held.back().valid()) return refusal_at(path);
    DWORD attributes = attributes_of(held.back().get());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Removal::kFailed;
    if (is_link(path, attributes)) return Removal::kThroughLink;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Removal::kChanged;
    folders.push_back(path);
    start = slash + 1;
  }

  {
    Handle file(open_entry(path, GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE));
    if (!file.valid()) return refusal_at(path);
    if (is_link(path, attributes_of(file.get()))) return Removal::kThroughLink;
    if (!regular_file(file.get())) return Removal::kChanged;
    if (!below(location_of(file.get()), base_location)) return Removal::kThroughLink;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return Removal::kFailed;
    if (static_cast<uint64_t>(size.QuadPart) != expected.size) return Removal::kChanged;
    FileDigest found;
    if (!digest_of(file.get(), &found)) return Removal::kFailed;
    if (found != expected) return Removal::kChanged;
    FILE_DISPOSITION_INFO dispose{TRUE};
    if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose)) {
      return Removal::kFailed;
    }
  }  // the file goes when its handle closes

  // Folders left empty go, innermost first; one that holds anything refuses.
  while (!folders.empty()) {
    held.pop_back();
    if (!RemoveDirectoryW(to_wide(folders.back()).c_str())) break;
    folders.pop_back();
  }
  return Removal::kRemoved;
}

}  // namespace mt
