#pragma once
// Removing output files that earlier runs wrote, never through a link, and
// the queries that removal and a new site folder need. Every check on a path
// that may be removed is made here, with the system's own calls: a library's
// file-type query can take a Windows junction for a plain folder.

#include <cstdint>
#include <string>
#include <string_view>

namespace mt {

enum class EntryKind { kNone, kFile, kFolder, kLink, kOther };
/// What `path` itself is. A symbolic link, a junction or any other reparse
/// point is `kLink` and is not followed; `kOther`: a device, pipe or socket.
EntryKind entry_kind(const std::string& path);

/// Removes the link at `path` itself (a junction too), never what it leads to.
bool remove_link(const std::string& path);

enum class OutputFolder {
  kMade,      // there, or made; a failure shows when a file is created in it
  kNew,       // made by this call: nothing of an earlier run is in it
  kReplaced,  // a link stood there: removed, a real folder made in its place
  kLinkKept,  // a link stands there that cannot be removed: write nothing below it
};
/// Makes one folder level of the output, never through a link. With
/// `parent_new` (its parent was made by this run, so it cannot be there
/// yet) the folder is made first and looked at only when that fails.
OutputFolder make_output_folder(const std::string& path, bool parent_new = false);

/// Whether a folder on the way from `root` down to the file `relative` is a link.
bool link_on_the_way(const std::string& root, std::string_view relative);

/// Whether a folder has no entries; false when it cannot be listed.
bool folder_is_empty(const std::string& path);

/// What a file the tool wrote is recorded by: its size and the 64-bit FNV-1a
/// hash of its bytes. Small and well known; it tells an edited file from the
/// one written, and is not meant to withstand a forged match (whoever can
/// forge one can delete the file as well).
struct FileDigest {
  uint64_t size = 0;
  uint64_t hash = 0xcbf29ce484222325ull;

  void add(const char* data, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      hash ^= static_cast<unsigned char>(data[i]);
      hash *= 0x100000001b3ull;
    }
    size += count;
  }
  bool operator==(const FileDigest&) const = default;
};

/// The digest of the regular file at `path`, a final link not followed;
/// false when there is none there or it cannot be read.
bool file_digest(const std::string& path, FileDigest* digest);

enum class Removal {
  kRemoved,      // gone, with the folders this left empty
  kMissing,      // nothing there: nothing to do
  kThroughLink,  // the file, or a folder on the way, is a link: kept
  kChanged,      // not a regular file, or other bytes than recorded: kept
  kFailed,       // the system refused
};

/// Removes the regular file at `relative` ('/' between plain components)
/// below the folder `root` when its bytes still have `expected`, then the
/// folders on the way that this leaves empty, innermost first. Nothing is
/// removed through a link: each folder on the way and the file itself are
/// checked without following one, and a file whose real location is not
/// below `root` is kept.
Removal remove_output_file(const std::string& root, std::string_view relative, const FileDigest& expected);

}  // namespace mt
