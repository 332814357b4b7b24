#pragma once
// Removing and replacing output files, for pruning what earlier runs wrote
// and for writing a new site into a folder that must be empty.

#include <string>

namespace mt {

enum class EntryKind { kNone, kFile, kFolder, kOther };
/// What `path` itself is, not following a final link ("kOther": a link or a
/// special file).
EntryKind entry_kind(const std::string& path);

/// Whether a folder has no entries; false when it cannot be listed.
bool folder_is_empty(const std::string& path);

/// Removes one file or link (never a folder); false when it cannot.
bool remove_file(const std::string& path);

/// Removes a folder only when it is empty; false otherwise.
bool remove_empty_folder(const std::string& path);

/// Renames `from` over `to`, replacing it; false when it cannot.
bool replace_file(const std::string& from, const std::string& to);

}  // namespace mt
