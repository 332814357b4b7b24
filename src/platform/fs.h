#pragma once
// The only place that touches the file system and the clock. Paths are UTF-8
// strings with '/' between their parts, on every platform: the calls below
// turn them into the system's form (Windows also reads a '\\' that a path
// typed on the command line holds). Sources are named relative to their
// `SourceRoot`; other paths (outputs, files named on the command line) are
// as the command line gives them.

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

struct DirEntry {
  std::string name;
  bool is_dir = false;
};

/// A source folder as a scan enters it: its identity and every entry, sorted
/// as `SourceRoot::list_txt_files` sorts.
struct FolderListing;
enum class FolderOpen { kListed, kMissing, kOutsideSite };
enum class ReadResult { kRead, kCannotOpen, kOutsideSite };
struct FileId;

/// The site's source folder: every source is read, listed, resolved and
/// confined through it, by a path relative to it ('/' between parts).
/// Nothing below `main` relies on the process's working folder for sources,
/// so two sites can be built in one process.
/// "Outside the site" means outside this folder, links followed. Language
/// builds on several threads share one; it keeps the listings that
/// case-insensitive look-ups make, behind a mutex.
class SourceRoot {
 public:
  /// The sources below `path`; "" for the working folder (the default).
  /// The folder is opened here once where the platform confines through a
  /// folder handle.
  explicit SourceRoot(std::string path = {});
  ~SourceRoot();
  SourceRoot(const SourceRoot&) = delete;
  SourceRoot& operator=(const SourceRoot&) = delete;

  /// The folder as given: "" for the working folder.
  const std::string& path() const { return path_; }
  /// The path of the source `rel` for calls that take a path (output
  /// writers, watches): `rel` itself when the root is the working folder or
  /// `rel` is absolute. Never for messages, which show `rel`.
  std::string path_of(std::string_view rel) const;

  /// A source path as the file system knows it: `rel` itself when it exists
  /// exactly, otherwise resolved component by component without regard to
  /// ASCII case (as a Windows file system would), otherwise `rel` unchanged.
  /// Each folder is listed at most once per root for this; sources do not
  /// change during a build.
  std::string resolve(const std::string& rel);
  /// Whether `rel` names an entry (a dangling link too), resolved as
  /// `resolve` does.
  bool exists(const std::string& rel);

  /// The entries of a source folder whose names end in ".txt" (any case),
  /// sorted by name ignoring ASCII case (ties by bytes), so listings are the
  /// same on every machine. A missing folder gives no entries.
  std::vector<DirEntry> list_txt_files(const std::string& folder) const;
  /// Every entry of a source folder, sorted as `list_txt_files` sorts.
  std::vector<DirEntry> list_entries(const std::string& folder) const;
  /// Lists a source folder in one look (resolved as `list_entries` does);
  /// `kOutsideSite` when its real location, links followed, lies outside the
  /// root, `kMissing` when it is no folder that can be listed.
  FolderOpen list_folder(const std::string& folder, FolderListing* listing) const;

  /// Reads a whole source file as raw bytes, telling a source refused for
  /// its real location (links followed) lying outside the root from one
  /// that cannot be opened.
  ReadResult read(const std::string& rel, std::string* contents) const;
  /// As `read`; false for either failure.
  bool read_file(const std::string& rel, std::string* contents) const {
    return read(rel, contents) == ReadResult::kRead;
  }
  /// Whether the source `rel` exists and its real location, every link
  /// followed, lies outside the root. Links that stay inside are fine
  /// wherever they point.
  bool outside_site(const std::string& rel) const;
  /// The identity of the source `rel` (links followed, resolved without
  /// case); false when there is none.
  bool id(const std::string& rel, FileId* out) const;

  /// The folder's handle: on POSIX a descriptor (O_PATH where there is one),
  /// beneath which Linux confines opens; -1 for the working folder, which
  /// needs none, and on Windows, which compares final paths instead.
  intptr_t handle() const { return handle_; }

  /// Lower-cased name -> the name listed first among those equal to it.
  using Listing = std::unordered_map<std::string, std::string>;

 private:
  const Listing& listing(const std::string& folder);
  /// Adds a listed name; of names equal without case, the first in listing
  /// order stays, whatever order the folder gives them in.
  static void add(Listing& names, std::string name);
  /// The entry of `parent` equal to `name` without case, or null.
  const std::string* find(const std::string& parent, std::string_view name);

  std::string path_;
  intptr_t handle_ = -1;
  std::unordered_map<std::string, Listing> listings_;
  std::mutex mutex_;  // language builds on several threads share the listings
};

/// Reads a whole regular file named on the command line, wherever it lies
/// (a PO file a translator hands in); false when it cannot be read.
bool read_named_file(const std::string& path, std::string* contents);

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
    kOutsideSite,       // a source whose real location lies outside its root
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
  /// Creates `path` itself, which must not exist yet (a file in a folder
  /// this run made): written in place, no temporary name, no rename. Until
  /// committed it is removed again on abandon or an interrupt, so it is
  /// never left half written. False, nothing created, when anything stands
  /// there or the create fails.
  bool create_in_place(const std::string& path);
  /// Appends all of `size` bytes; false with `*error` set.
  bool write(const char* data, size_t size, FsError* error);
  /// Closes the file and renames it over the final path; on failure false
  /// with `*error` set, the temporary file removed, the final path untouched.
  bool commit(FsError* error);
  /// Closes and removes the temporary file.
  void abandon();
  bool is_open() const { return handle_ >= 0; }

 private:
  intptr_t handle_ = -1;   // the platform's file handle or descriptor
  std::string temp_path_;  // the file being written: `path_` itself when in place
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
/// Creates one folder level; true only when this call made it, otherwise
/// (there already too) false with `*error` set.
bool make_new_folder(const std::string& path, FsError* error);

/// Copies the source `source` of `root` over `destination` through an
/// `OutputFile` (left alone when it holds the same bytes); parent folders are
/// not created. False with `*error` set on failure (`kOutsideSite`,
/// `kSameFile`), `destination` then untouched; `*outcome` tells what happened
/// to it.
bool copy_source_file(const SourceRoot& root, const std::string& source, const std::string& destination, FsError* error,
                      WriteOutcome* outcome);

enum class TouchResult { kDone, kCannotOpen, kCannotSet };
/// Sets a folder's last-write time to now, leaving other times alone.
TouchResult touch_folder(const std::string& path, FsError* error);

/// Size in bytes of a file (not a folder); false when there is none.
bool file_size(const std::string& path, uint64_t* size);

/// The local calendar year now.
int local_year();

}  // namespace mt
