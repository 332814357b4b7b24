// Writing output files over the Windows API: the replacement file and its
// temporary name, folders, copies of sources, folder times, error texts.

#include "platform/fs.h"
#include "platform/fs_native.h"

#include <windows.h>

#include <algorithm>

#include "platform/handle_win32.h"
#include "platform/output_file.h"
#include "platform/signals.h"
#include "platform/wide_win32.h"

namespace mt {

std::string error_text(const FsError& error) {
  if (const char* own = native::own_error_text(error.kind)) return own;
  wchar_t* text = nullptr;
  DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(error.code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = length ? wide_to_utf8(std::wstring_view(text, length)) : std::string();
  if (text) LocalFree(text);
  // The system's text ends its sentence and its line; the message goes on
  // after it, as after strerror's text.
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' ' || result.back() == '.')) {
    result.pop_back();
  }
  return result.empty() ? "error " + std::to_string(error.code) : result;
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

bool ReplacementFile::open(const std::string& path, FsError* error) {
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

bool ReplacementFile::write(const char* data, size_t size, FsError* error) {
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

bool ReplacementFile::commit(FsError* error) {
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

bool make_folder(const std::string& path, FsError* error) {
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

bool copy_source_file(const SourceRoot& root, const std::string& source, const std::string& destination, FsError* error,
                      WriteOutcome* outcome) {
  BY_HANDLE_FILE_INFORMATION from;
  FsError opened;
  Handle in(open_source(root, source, &from, &opened));
  if (!in.valid()) {
    if (error)
      *error = opened == FsError::Kind::kOutsideSite ? opened : source_error(root.path_of(source), opened.code);
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
    if (error) *error = {FsError::Kind::kSameFile, 0};
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

TouchResult touch_folder(const std::string& path, FsError* error) {
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

}  // namespace mt
