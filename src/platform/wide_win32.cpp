// UTF-8 <-> UTF-16 conversions and the path form of Windows file calls.

#include "platform/wide_win32.h"

#include <windows.h>

#include <climits>

#include "platform/args.h"

namespace mt {

namespace {

// Without the \\?\ form a Windows call refuses a path whose full form
// reaches MAX_PATH, and a folder path must leave room for an 8.3 file name
// inside it: CreateDirectoryW stops at MAX_PATH - 12.
constexpr size_t kShortPath = MAX_PATH - 12;

bool is_absolute(std::wstring_view path) {
  return (path.size() >= 2 && path[1] == L':') || (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
}

// The full path in the \\?\ form, which lifts the MAX_PATH limit; the full
// path also turns '/' into '\' and resolves "." and "..", which that form
// no longer does. Unchanged when it cannot be made.
std::wstring extended_path(const std::wstring& path) {
  if (path.starts_with(L"\\\\?\\")) return path;
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);  // \\server\share
  return L"\\\\?\\" + full;
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

std::wstring to_wide(const std::string& path) {
  std::wstring wide = utf8_to_wide(path);
  if (wide.size() < kShortPath) {
    if (is_absolute(wide)) return wide;
    // A relative path is as long as the working folder makes it.
    DWORD folder = GetCurrentDirectoryW(0, nullptr);
    if (folder != 0 && folder + wide.size() < kShortPath) return wide;
  }
  return extended_path(wide);
}

}  // namespace mt
