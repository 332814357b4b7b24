#pragma once
// --prune: removing the output files that an earlier --prune run wrote and
// this run did not, using a manifest that only --prune runs write.

#include <string>
#include <vector>

#include "diag/diagnostics.h"

namespace mt {

/// The manifest's name in the output root.
inline constexpr const char* kManifestName = ".maketarnwick-manifest";

/// Removes every file that the previous manifest lists and `written` does
/// not, then the folders that this leaves empty, then replaces the manifest
/// with `written`. Paths are relative to `output_root`, with '/' or the native
/// separator. Manifest lines that are absolute or leave the folder are
/// ignored, and nothing is removed through a linked folder.
void prune_output(const std::string& output_root, const std::vector<std::string>& written, Diagnostics& diag);

}  // namespace mt
