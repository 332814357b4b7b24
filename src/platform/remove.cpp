// Over std::filesystem, which works alike on POSIX and Windows; paths are
// UTF-8 and go in as char8_t so Windows does not read them in its code page.

#include "platform/remove.h"

#include <filesystem>
#include <system_error>

namespace mt {

namespace {

std::filesystem::path fs_path(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

}  // namespace

EntryKind entry_kind(const std::string& path) {
  std::error_code ec;
  std::filesystem::file_status st = std::filesystem::symlink_status(fs_path(path), ec);
  if (ec || st.type() == std::filesystem::file_type::not_found) return EntryKind::kNone;
  if (st.type() == std::filesystem::file_type::regular) return EntryKind::kFile;
  if (st.type() == std::filesystem::file_type::directory) return EntryKind::kFolder;
  return EntryKind::kOther;
}

bool folder_is_empty(const std::string& path) {
  std::error_code ec;
  std::filesystem::directory_iterator it(fs_path(path), ec);
  return !ec && it == std::filesystem::directory_iterator();
}

bool remove_file(const std::string& path) {
  EntryKind kind = entry_kind(path);
  if (kind == EntryKind::kNone || kind == EntryKind::kFolder) return false;
  std::error_code ec;
  return std::filesystem::remove(fs_path(path), ec) && !ec;
}

bool remove_empty_folder(const std::string& path) {
  if (entry_kind(path) != EntryKind::kFolder || !folder_is_empty(path)) return false;
  std::error_code ec;
  return std::filesystem::remove(fs_path(path), ec) && !ec;
}

bool replace_file(const std::string& from, const std::string& to) {
  std::error_code ec;
  std::filesystem::rename(fs_path(from), fs_path(to), ec);
  return !ec;
}

}  // namespace mt
