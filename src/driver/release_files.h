#pragma once
// The release files a site keeps in a folder of its own (RELEASE_FOLDER),
// copied into the output root before any page reads their sizes.

#include "site/records.h"

namespace mt {

/// Copies every file below the configured release folder into the output
/// root, keeping the sub-folders; nothing when no folder is configured.
void copy_release_files(Build& build);

}  // namespace mt
