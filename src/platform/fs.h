#pragma once
// The only place that touches the file system and the clock. Paths are UTF-8
// strings with '/' between their parts, on every platform: the calls below
// turn them into the system's form (Windows also reads a '\\' that a path
// typed on the command line holds). Relative paths are relative to the
// working folder, which is the site's source folder.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mt {

/// `folder` + '/' + `name`; just `name` when `folder` is empty.
std::string join_path(std::string_view folder, std::string_view name);

/// The part of `path` after its last separator (the whole path without one).
std::string_view file_name_of(std::string_view path);

/// `path` with '/' between its parts: on Windows a '\\' (typed on the command
/// line, say) becomes '/'; elsewhere '\\' is a byte of a name and stays.
std::string generic_path(std::string_view path);

/// `path` as messages show it to the user: on Windows with '\\' between its
/// parts, as the system writes paths; elsewhere as it is.
std::string display_path(std::string_view path);

/// Whether `path` holds a byte that this platform reads as more than a byte
/// of a name, '/' aside: '\\' and ':' on Windows, none elsewhere. A name the
/// tool writes never holds one.
bool has_reserved_name_byte(std::string_view path);

/// A source path as the file system knows it: `path` itself when it exists
/// exactly, otherwise resolved component by component without regard to ASCII
/// case (as a Windows file system would), otherwise `path` unchanged.
std::string resolve_source_path(const std::string& path);

/// Remembers the listings that case-insensitive look-ups make, so a run
/// lists each folder at most once for them however many paths it resolves
/// there. Held by the build record; sources do not change during a run.
class SourceResolver {
 public:
  /// As `resolve_source_path`.
  std::string resolve(const std::string& path);
  /// As `source_exists`.
  bool exists(const std::string& path);

 private:
  /// Lower-cased name -> the name listed first among those equal to it.
  using Listing = std::unordered_map<std::string, std::string>;
  const Listing& listing(const std::string& folder);
  /// Adds a listed name; of names equal without case, the first in listing
  /// order stays, whatever order the folder gives them in.
  static void add(Listing& names, std::string name);
  /// The entry of `parent` equal to `name` without case, or null.
  const std::string* find(const std::string& parent, std::string_view name);
  std::unordered_map<std::string, Listing> listings_;
  std::mutex mutex_;  // language builds on several threads share the listings
};

struct DirEntry {
  std::string name;
  bool is_dir = false;
};

/// The entries of a source folder whose names end in ".txt" (any case),
/// sorted by name ignoring ASCII case (ties by bytes), so listings are the
/// same on every machine. A missing folder gives no entries.
std::vector<DirEntry> list_txt_files(const std::string& folder);

/// Every entry of a source folder, sorted as `list_txt_files` sorts.
std::vector<DirEntry> list_entries(const std::string& folder);

/// A source folder as a scan enters it: its identity and every entry, sorted
/// as `list_txt_files` sorts.
struct FolderListing;
enum class FolderOpen { kListed, kMissing, kOutsideSite };
/// Lists a source folder in one look (resolved as `list_entries` does);
/// `kOutsideSite` when its real location, links followed, lies outside the
/// working folder, `kMissing` when it is no folder that can be listed.
FolderOpen list_source_folder(const std::string& folder, FolderListing* listing);

/// Whether a source path names an entry: a file, a folder or a link (even a
/// dangling one, which then fails to open).
bool source_exists(const std::string& path);

/// Reads a whole source file as raw bytes; false when it cannot be opened
/// or lies outside the working folder.
bool read_source_file(const std::string& path, std::string* contents);

enum class ReadResult { kRead, kCannotOpen, kOutsideSite };
/// As `read_source_file`, telling a source refused for its real location
/// (links followed) lying outside the working folder from one that cannot
/// be opened.
ReadResult read_source(const std::string& path, std::string* contents);

/// Reads a whole regular file named on the command line, wherever it lies
/// (a PO file a translator hands in); false when it cannot be read.
bool read_named_file(const std::string& path, std::string* contents);

/// Whether the source `path` exists and its real location, every link
/// followed, lies outside the working folder. Links that stay inside the
/// working folder are fine wherever they point.
bool source_outside_site(const std::string& path);

/// The identity of a file or folder; two paths with equal identities name
/// the same file (hard links, links, a folder reached two ways).
struct FileId {
  uint64_t device = 0;
  uint64_t number = 0;
  bool operator==(const FileId&) const = default;
};
struct FolderListing {
  FileId id;
  std::vector<DirEntry> entries;
};
/// The identity of what `path` names, links followed; false when nothing.
bool file_id(const std::string& path, FileId* id);

/// Why a file operation failed. The logic branches on the kind alone, so a
/// failure is told apart alike on every platform; the native code (errno,
/// or Windows' GetLastError) is kept only for the system's text.
struct FsError {
  enum class Kind : unsigned char {
    kNone,
    kNotFound,          // nothing of that name, or a folder on its way missing
    kNotFolder,         // a file where a folder on the way should be
    kIsFolder,          // a folder where a file should be
    kDenied,            // the system refused access
    kOutsideSite,       // a source whose real location lies outside the working folder
    kSameFile,          // a copy's destination is its source
    kChangedMeanwhile,  // an old output file changed while being compared
    kThroughLink,       // a folder on a write's way is a link
    kOther,             // anything else: only its text tells
  };
  Kind kind = Kind::kNone;
  int code = 0;  // the native code; 0 for the kinds the tool itself finds

  bool operator==(Kind other) const { return kind == other; }
};

/// The text a message shows for `error`: the system's for a native code,
/// the tool's own for the kinds it finds itself.
std::string error_text(const FsError& error);

/// The number that a source failing with `error` shows in its message: that
/// of POSIX for the kind (2, 20, 21, 13), the same on every platform.
int error_number(const FsError& error);

/// An output file written under a temporary name in its final folder and
/// renamed over the final path only when every byte was written and the
/// file closed: a failed write leaves the previous file whole, and a link
/// standing at the final path is replaced rather than written through.
class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile();  // abandons a file not yet committed
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  /// Creates the temporary file beside `path`; false with `*error` set.
  bool open(const std::string& path, FsError* error);
  /// Appends all of `size` bytes; false with `*error` set.
  bool write(const char* data, size_t size, FsError* error);
  /// Closes the file and renames it over the final path; on failure false
  /// with `*error` set, the temporary file removed, the final path untouched.
  bool commit(FsError* error);
  /// Closes and removes the temporary file.
  void abandon();
  bool is_open() const { return handle_ >= 0; }

 private:
  intptr_t handle_ = -1;  // the platform's file handle or descriptor
  std::string temp_path_;
  std::string path_;
};

/// What writing an output file did: nothing was there, the old file was
/// replaced, or it held the same bytes and was left untouched.
enum class WriteOutcome { kAdded, kChanged, kUnchanged };

/// What stands at an output path before a run writes it.
enum class OldKind { kMissing, kRegular, kOther };

/// The file already at an output path, opened to compare new bytes with; a
/// link, a folder or a device there is never opened (it gets replaced).
class OldOutput {
 public:
  OldOutput() = default;
  ~OldOutput() { close(); }
  OldOutput(const OldOutput&) = delete;
  OldOutput& operator=(const OldOutput&) = delete;

  /// Opens the regular file at `path` itself, a final link not followed.
  OldKind open(const std::string& path);
  uint64_t size() const { return size_; }
  /// Reads exactly `size` bytes at `offset`; false when it cannot.
  bool read_at(uint64_t offset, char* data, size_t size);
  void close();
  bool is_open() const { return handle_ != -1; }

 private:
  intptr_t handle_ = -1;  // the platform's file handle or descriptor
  uint64_t size_ = 0;
};

/// Creates one folder level. True when it was created or already exists;
/// otherwise false with `*error` set.
bool make_folder(const std::string& path, FsError* error);

/// Copies a source file over `destination` through an `OutputFile` (left
/// alone when it holds the same bytes); parent folders are not created.
/// False with `*error` set on failure (`kOutsideSite`, `kSameFile`),
/// `destination` then untouched; `*outcome` tells what happened to it.
bool copy_source_file(const std::string& source, const std::string& destination, FsError* error, WriteOutcome* outcome);

enum class TouchResult { kDone, kCannotOpen, kCannotSet };
/// Sets a folder's last-write time to now, leaving other times alone.
TouchResult touch_folder(const std::string& path, FsError* error);

/// Size in bytes of a file (not a folder); false when there is none.
bool file_size(const std::string& path, uint64_t* size);

/// The local calendar year now.
int local_year();

}  // namespace mt
