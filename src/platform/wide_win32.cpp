// UTF-8 <-> UTF-16 conversions and the path form of Windows file calls.

#include "platform/wide_win32.h"

#include <windows.h>

#include <climits>

#include "platform/args.h"

namespace mt {

namespace {

// The full path in the \\?\ form, from Windows' own resolution: only for
// a drive-relative path ("c:x"), which names the working folder of that
// drive. Unchanged when it cannot be made.
std::wstring full_path_of_drive_relative(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full.size() >= 3 && full[1] == L':' ? L"\\\\?\\" + full : path;
}

// Appends the components of `path` to `full`, which ends in its root: '/'
// is read as '\\', "." and empty components are dropped, ".." takes the one
// before it away (never the root). That is what Windows does to a path
// outside the \\?\ form, which does nothing more to it.
void append_components(std::wstring& full, std::wstring_view path) {
  const size_t root = full.size();
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = path.find_first_of(L"\\/", pos);
    if (end == std::wstring_view::npos) end = path.size();
    std::wstring_view part = path.substr(pos, end - pos);
    if (part == L"..") {
      size_t cut = full.size() > root ? full.rfind(L'\\', full.size() - 1) : std::wstring::npos;
      full.resize(cut == std::wstring::npos || cut < root ? root : cut);
    } else if (!part.empty() && part != L".") {
      if (full.size() > root) full.push_back(L'\\');
      full.append(part);
    }
    pos = end + 1;
  }
}

// The working folder as Windows gives it, without a \\?\ in front.
std::wstring working_folder() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(size, L'\0');
  DWORD length = size == 0 ? 0 : GetCurrentDirectoryW(size, folder.data());
  folder.resize(length < size ? length : 0);
  if (folder.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + folder.substr(8);
  if (folder.starts_with(L"\\\\?\\")) return folder.substr(4);
  return folder;
}

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The drive ("c:") or share ("\\\\server\\share") that an absolute path starts with.
std::wstring root_of(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
  size_t server = path.find_first_of(L"\\/", 2);
  size_t share = server == std::wstring::npos ? server : path.find_first_of(L"\\/", server + 1);
  return path.substr(0, share);
}

// `path` in the \\?\ form: full, with '\\' only.
std::wstring extended(const std::wstring& path) {
  if (path.empty() || path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) return path;
  const bool unc = path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]);
  const bool drive = path.size() >= 2 && path[1] == L':';
  if (drive && (path.size() == 2 || !is_separator(path[2]))) return full_path_of_drive_relative(path);
  if (!unc && !drive) {
    // Relative to the working folder, or ("\\x") to the root of its drive.
    std::wstring folder = working_folder();
    if (folder.size() < 2 || !((folder[1] == L':') || (is_separator(folder[0]) && is_separator(folder[1])))) {
      return path;
    }
    if (is_separator(path[0])) return extended(root_of(folder) + path);
    return extended(folder + L"\\" + path);
  }
  const std::wstring root = root_of(path);
  std::wstring full = unc ? L"\\\\?\\UNC\\" + root.substr(2) : L"\\\\?\\" + root;
  for (wchar_t& c : full) c = c == L'/' ? L'\\' : c;
  full.push_back(L'\\');
  append_components(full, std::wstring_view(path).substr(root.size()));
  return full;
}

}  // namespace

std::wstring utf8_to_wide(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string wide_to_utf8(std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring to_wide(const std::string& path) { return extended(utf8_to_wide(path)); }

}  // namespace mt
