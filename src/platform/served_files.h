#pragma once
// Reading the files the preview serves, confined to the served folder.

#include <string>

namespace mt {

/// The served folder as the file system names it after following every
/// link; "" when it does not exist.
std::string canonical_folder(const std::string& folder);

/// Reads the file at `relative` (components separated by '/') under `root`,
/// a `canonical_folder`; a folder gives its "index.html". False when there
/// is no such file or when the file, after following links, lies outside
/// `root`. `*name` receives the name of the file read.
bool read_served_file(const std::string& root, const std::string& relative, std::string* contents, std::string* name);

}  // namespace mt
