#pragma once
// The only place that touches the file system and the clock. Paths are UTF-8
// strings with the native separator; relative paths are relative to the
// working folder, which is the site's source folder.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mt {

#ifdef _WIN32
inline constexpr char kSep = '\\';
#else
inline constexpr char kSep = '/';
#endif

/// `folder` + separator + `name`; just `name` when `folder` is empty.
std::string join_path(std::string_view folder, std::string_view name);

/// The part of `path` after its last separator (the whole path without one).
std::string_view file_name_of(std::string_view path);

/// A source path as the file system knows it: `path` itself when it exists
/// exactly, otherwise resolved component by component without regard to ASCII
/// case (as a Windows file system would), otherwise `path` unchanged.
std::string resolve_source_path(const std::string& path);

struct DirEntry {
  std::string name;
  bool is_dir = false;
};

/// The entries of a source folder whose names end in ".txt" (any case),
/// sorted by name ignoring ASCII case (ties by bytes), so listings are the
/// same on every machine. A missing folder gives no entries.
std::vector<DirEntry> list_txt_files(const std::string& folder);

/// The names of the sub-folders of a source folder, resolved and sorted as
/// `list_txt_files` does; lets a scan find many sub-folders with one listing.
std::vector<std::string> list_sub_folders(const std::string& folder);

/// Whether a source path names an entry: a file, a folder or a link (even a
/// dangling one, which then fails to open).
bool source_exists(const std::string& path);

/// Reads a whole source file as raw bytes; false when it cannot be opened.
bool read_source_file(const std::string& path, std::string* contents);

/// Creates one folder level. True when it was created or already exists;
/// otherwise false with `*error` set to errno.
bool make_folder(const std::string& path, int* error);

/// Copies a source file over `destination`, overwriting it; parent folders
/// are not created. False with `*error` set to errno on failure.
bool copy_source_file(const std::string& source, const std::string& destination, int* error);

enum class TouchResult { kDone, kCannotOpen, kCannotSet };
/// Sets a folder's last-write time to now, leaving other times alone.
TouchResult touch_folder(const std::string& path, int* error);

/// Size in bytes of a file (not a folder); false when there is none.
bool file_size(const std::string& path, uint64_t* size);

/// The local calendar year now.
int local_year();

}  // namespace mt
