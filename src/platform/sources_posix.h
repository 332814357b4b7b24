#pragma once
// What the POSIX source reading gives the POSIX output writing: copies open
// their source as every other read does.

#include <sys/stat.h>

#include <string>

namespace mt {

/// Opens a regular source file for reading, confined to the working folder.
/// Folders and other special files are refused; -1 with errno set, EXDEV
/// when the file lies outside the working folder.
int open_regular_source(const std::string& path, struct stat* st);

}  // namespace mt
