#pragma once
// The manifest of an output folder: the files a --prune run wrote there, each
// with its size and hash, so that a later run can tell its own files from
// files the owner changed or put there. Plain text that diffs well, one file
// a line, sorted by path:
//
//   # maketarnwick manifest: size, FNV-1a 64 hash, path of each file written
//   1532 8c3f2a1b9d0e4f57 en-us/index.html
//
// Paths are relative to the output folder with '/' between parts; a control
// byte or '\' in one is written "\xHH". A line that holds a path alone (the
// manifest of an earlier version, or one edited by hand) names a file
// without a record of what was written.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/remove.h"

namespace mt {

/// The manifest's name in the output folder.
inline constexpr const char* kManifestName = ".maketarnwick-manifest";

/// Path -> what was written there; no record: only the path is known.
using Manifest = std::map<std::string, std::optional<FileDigest>>;

/// The entries of a manifest's text. Anyone may have edited it: a line that
/// is no plain relative path inside the folder (absolute, a drive, "..",
/// "." or empty parts, a NUL byte, the manifest itself) is left out.
Manifest parse_manifest(std::string_view text);

/// The text of a manifest; entries without a record are left out.
std::string format_manifest(const Manifest& manifest);

/// The manifest in `output_root`; empty when there is none. A manifest whose
/// real location lies outside the folder is not read.
Manifest read_manifest(const std::string& output_root);

/// Replaces the manifest in `output_root` as a whole; false when it could
/// not be written (the old one is then kept).
bool write_manifest(const std::string& output_root, const Manifest& manifest);

/// A path as manifest and change list write it: a control byte or '\' as
/// "\xHH", so that every path stays one line.
std::string escape_path(std::string_view path);

}  // namespace mt
