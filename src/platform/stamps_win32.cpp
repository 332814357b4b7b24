// File stamps over Windows: a folder's entries with their sizes and times
// come from one listing, with no open per file. Windows keeps no status
// change time in a listing, so `changed` stays 0 there.

#include "platform/stamps.h"

#include <algorithm>

#include "platform/handle_win32.h"

namespace mt {

namespace {

uint64_t ns_of(const FILETIME& t) {
  // 100 ns ticks since 1601.
  const uint64_t ticks = (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return ticks * 100;
}

FileStamp stamp_of(const WIN32_FIND_DATAW& data) {
  const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return {folder ? 0 : size, ns_of(data.ftLastWriteTime), 0, 0, folder};
}

// Deeper than any site's folders go: a tree deeper still is not followed
// (and so tells no change).
constexpr int kMaxDepth = 256;

struct Walk {
  const std::vector<std::string>& excluded;
  std::vector<TreeEntry>& entries;
  bool unknown = false;  // a link, or a folder that could not be read: changes there go unseen
};

void walk(Walk& state, const std::string& root, const std::string& prefix, int depth) {
  WIN32_FIND_DATAW data;
  const std::string folder = prefix.empty() ? root : join_path(root, prefix);
  HANDLE find = depth > kMaxDepth
                    ? INVALID_HANDLE_VALUE
                    : FindFirstFileExW((to_wide(folder.empty() ? "." : folder) + L"\\*").c_str(), FindExInfoBasic,
                                       &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    state.unknown = true;
    return;
  }
  std::vector<std::string> folders;
  do {
    const std::string name = wide_to_utf8(data.cFileName);
    if (name == "." || name == "..") continue;
    if (prefix.empty() && name.front() == '.') continue;
    std::string path = prefix.empty() ? name : prefix + '/' + name;
    if (std::find(state.excluded.begin(), state.excluded.end(), path) != state.excluded.end()) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) state.unknown = true;
    const FileStamp stamp = stamp_of(data);
    if (stamp.folder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) folders.push_back(path);
    state.entries.push_back({std::move(path), stamp});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  for (const std::string& child : folders) walk(state, root, child, depth + 1);
}

}  // namespace

bool stamp_tree(const SourceRoot& sources, const std::vector<std::string>& excluded, std::vector<TreeEntry>* entries) {
  entries->clear();
  Walk state{excluded, *entries};
  walk(state, sources.path(), "", 0);
  std::sort(entries->begin(), entries->end(), [](const TreeEntry& a, const TreeEntry& b) { return a.path < b.path; });
  return !state.unknown;
}

bool stamp_path(const std::string& path, FileStamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(to_wide(path).c_str(), GetFileExInfoStandard, &data)) return false;
  const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  *stamp = {folder ? 0 : size, ns_of(data.ftLastWriteTime), 0, 0, folder};
  // A link (or junction) is never what the build left there.
  if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) stamp->modified = 0;
  return true;
}

std::string executable_identity() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (size == 0) return {};
    if (size < path.size()) {
      path.resize(size);
      break;
    }
    path.resize(path.size() * 2);
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return {};
  const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return std::to_string(size) + ' ' + std::to_string(ns_of(data.ftLastWriteTime));
}

uint64_t wall_clock_ns() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return ns_of(now);
}

std::string path_below_root(const SourceRoot& sources, const std::string& path) {
  auto full = [](const std::string& p) {
    const std::wstring wide = to_wide(p.empty() ? "." : p);
    std::wstring out(MAX_PATH, L'\0');
    DWORD size = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(out.size()), out.data(), nullptr);
    if (size >= out.size()) {
      out.resize(size);
      size = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(out.size()), out.data(), nullptr);
    }
    out.resize(size);
    return generic_path(wide_to_utf8(out));
  };
  const std::string root = full(sources.path()), found = full(path);
  if (found.size() <= root.size() + 1 || found[root.size()] != '/' ||
      CompareStringOrdinal(utf8_to_wide(found.substr(0, root.size())).c_str(), -1, utf8_to_wide(root).c_str(), -1,
                           TRUE) != CSTR_EQUAL) {
    return {};
  }
  return found.substr(root.size() + 1);
}

}  // namespace mt
