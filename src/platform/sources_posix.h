#pragma once
// What the POSIX source reading gives the POSIX output writing: copies open
// their source as every other read does.

#include <sys/stat.h>

#include <string>

#include "platform/fs.h"

namespace mt {

/// Opens a regular source file of `root` for reading, confined to it.
/// Folders and other special files are refused; -1 with errno set, EXDEV
/// when the file lies outside the root.
int open_regular_source(const SourceRoot& root, const std::string& path, struct stat* st);

}  // namespace mt
