// File-system and clock operations over std::filesystem, for Windows (whose
// file systems ignore letter case already, so paths need no resolving).
// Build with MT_PORTABLE_FS defined to try this implementation elsewhere.

#include "platform/fs.h"
#include "platform/names.h"

#if defined(_WIN32) || defined(MT_PORTABLE_FS)

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace mt {

namespace {

// Paths are UTF-8 everywhere in the tool; std::filesystem converts them to
// the platform's wide form when told they are UTF-8.
fs::path to_path(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string from_path(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

void set_error(int* error, const std::error_code& code) {
  if (error) *error = code ? code.value() : EIO;
}

bool is_regular(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool is_folder(const fs::directory_entry& entry) {
  std::error_code ec;
  return entry.is_directory(ec);  // follows links; a dangling one is not a folder
}

template <typename Keep>
std::vector<std::string> list(const std::string& folder, Keep keep) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(to_path(folder.empty() ? "." : folder), ec), end; !ec && it != end;
       it.increment(ec)) {
    if (keep(*it)) names.push_back(from_path(it->path().filename()));
  }
  std::sort(names.begin(), names.end(), name_less);
  return names;
}

}  // namespace

std::string resolve_source_path(const std::string& path) { return path; }

std::vector<DirEntry> list_txt_files(const std::string& folder) {
  std::vector<DirEntry> entries;
  for (std::string& name : list(folder, [](const fs::directory_entry& e) {
         return has_txt_extension(from_path(e.path().filename()));
       })) {
    DirEntry entry;
    entry.is_dir = fs::is_directory(to_path(join_path(folder, name)));
    entry.name = std::move(name);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<std::string> list_sub_folders(const std::string& folder) { return list(folder, is_folder); }

bool source_exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(to_path(path), ec));
}

bool read_source_file(const std::string& path, std::string* contents) {
  fs::path p = to_path(path);
  if (!is_regular(p)) return false;
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  contents->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool make_folder(const std::string& path, int* error) {
  std::error_code ec;
  fs::path p = to_path(path);
  if (fs::create_directory(p, ec) || (!ec && fs::is_directory(p))) return true;
  if (!ec) ec = std::make_error_code(std::errc::file_exists);
  set_error(error, ec);
  return false;
}

bool copy_source_file(const std::string& source, const std::string& destination, int* error) {
  std::error_code ec;
  fs::path from = to_path(source);
  if (!is_regular(from)) {
    set_error(error, std::make_error_code(std::errc::no_such_file_or_directory));
    return false;
  }
  fs::path to = to_path(destination);
  // Copying a file onto itself (an output folder inside the sources) keeps it.
  if (fs::equivalent(from, to, ec)) return true;
  if (fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec)) return true;
  set_error(error, ec);
  return false;
}

TouchResult touch_folder(const std::string& path, int* error) {
  std::error_code ec;
  fs::path p = to_path(path);
  if (!fs::is_directory(p, ec)) {
    set_error(error, ec ? ec : std::make_error_code(std::errc::not_a_directory));
    return TouchResult::kCannotOpen;
  }
  fs::last_write_time(p, fs::file_time_type::clock::now(), ec);
  if (ec) {
    set_error(error, ec);
    return TouchResult::kCannotSet;
  }
  return TouchResult::kDone;
}

bool file_size(const std::string& path, uint64_t* size) {
  std::error_code ec;
  fs::path p = to_path(path);
  if (!is_regular(p)) return false;
  uintmax_t bytes = fs::file_size(p, ec);
  if (ec) return false;
  *size = static_cast<uint64_t>(bytes);
  return true;
}

int local_year() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &now) != 0) return 1970;
#else
  if (!localtime_r(&now, &local)) return 1970;
#endif
  return local.tm_year + 1900;
}

}  // namespace mt

#endif  // portable
