// UTF-8 <-> UTF-16 conversions and the path form of Windows file calls.

#include "platform/wide_win32.h"

#include <windows.h>

#include <algorithm>
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

std::wstring extended(const std::wstring& path);

// The working folder in the \\?\ form.
std::wstring working_folder() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(size, L'\0');
  DWORD length = size == 0 ? 0 : GetCurrentDirectoryW(size, folder.data());
  folder.resize(length < size ? length : 0);
  return folder.empty() ? folder : extended(folder);
}

// `path` in the \\?\ form: full, with '\\' only.
std::wstring extended(const std::wstring& path) {
  if (path.empty() || path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) return path;
  auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  std::wstring full;
  size_t rest = 0;
  if (path.size() >= 2 && separator(path[0]) && separator(path[1])) {
    // \\server\share\...: the server and share are the root.
    size_t server_end = path.find_first_of(L"\\/", 2);
    size_t share_end = server_end == std::wstring::npos ? server_end : path.find_first_of(L"\\/", server_end + 1);
    rest = share_end == std::wstring::npos ? path.size() : share_end;
    full = L"\\\\?\\UNC\\" + path.substr(2, rest - 2);
    for (wchar_t& c : full) c = c == L'/' ? L'\\' : c;
    full.push_back(L'\\');
  } else if (path.size() >= 2 && path[1] == L':') {
    if (path.size() == 2 || !separator(path[2])) return full_path_of_drive_relative(path);
    full = L"\\\\?\\" + path.substr(0, 2) + L"\\";
    rest = 3;
  } else {
    full = working_folder();
    if (full.empty()) return path;
    // "\\x" starts at the root of the working folder's drive.
    if (separator(path[0])) {
      size_t cut = 6;  // \\?\C:
      if (full.starts_with(L"\\\\?\\UNC\\")) {
        size_t server = full.find(L'\\', 8);
        cut = server == std::wstring::npos ? full.size() : std::min(full.size(), full.find(L'\\', server + 1));
      }
      full.resize(cut);
    }
    if (full.back() != L'\\') full.push_back(L'\\');
  }
  // The root keeps its separator; components follow it.
  const size_t root = full.size();
  append_components(full, std::wstring_view(path).substr(rest));
  if (full.size() > root && full.back() == L'\\') full.pop_back();
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
