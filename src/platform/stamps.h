#pragma once
// What files looked like when a build read or wrote them, so that the next
// build can tell, without reading them, which sources changed and whether
// the files it wrote are still as it left them.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fs.h"

namespace mt {

/// A change to a file's bytes changes at least one of these: its size, its
/// modification time, or (where the system keeps one) its status change
/// time, which no tool can set back. A file replaced by another has a new
/// number.
struct FileStamp {
  uint64_t size = 0;
  uint64_t modified = 0;  // ns since the epoch
  uint64_t changed = 0;   // ns since the epoch; 0 where the system keeps none
  uint64_t number = 0;    // the file's number in its file system; 0 where unknown
  bool folder = false;
  bool operator==(const FileStamp&) const = default;
};

struct TreeEntry {
  std::string path;  // relative to the source root, '/' between parts
  FileStamp stamp;
  // For a file stamped so soon after a change that a later change might
  // leave the stamp as it is: a hash of its bytes then; 0 for the others.
  uint64_t bytes_hash = 0;
};

/// Every file and folder below the source root, sorted by path (bytes),
/// except the top-level names starting with '.' (no source is named so:
/// version control keeps its files there) and the entries whose relative
/// paths `excluded` lists (the output folder and the change list, when they
/// lie inside). False when the tree holds a link, symbolic or hard (a link
/// lets a file be edited under the name of another, so no path tells which
/// sources changed), or a folder that could not be read or lies deeper than
/// 256 folders.
bool stamp_tree(const SourceRoot& sources, const std::vector<std::string>& excluded, std::vector<TreeEntry>* entries);

/// The stamp of what stands at `path` (a link not followed); false when
/// nothing does.
bool stamp_path(const std::string& path, FileStamp* stamp);

/// What tells this program's file from another build of it (size, time,
/// number): a build record that another program wrote is not trusted.
std::string executable_identity();

/// The time now, ns since the epoch, on the clock file times are taken from.
uint64_t wall_clock_ns();

/// `path` (an output folder or file, as the command line gives it) relative
/// to the source root, '/' between parts, when it lies inside it; "" when it
/// does not, is not there (yet), or is the root itself (which a build
/// refuses).
std::string path_below_root(const SourceRoot& sources, const std::string& path);

}  // namespace mt
