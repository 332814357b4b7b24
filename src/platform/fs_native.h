#pragma once
// What each platform's file layer gives the code shared between them
// (fs.cpp): the case-insensitive resolution is one algorithm over these.

#include <optional>
#include <string>
#include <string_view>

#include "platform/fs.h"

namespace mt::native {

/// Whether `path` names an entry, a dangling link included.
bool entry_exists(const std::string& path);

/// The entry of `folder` whose name equals `name` without ASCII case, the
/// first in listing order when there are several.
std::optional<std::string> find_entry_no_case(const std::string& folder, std::string_view name);

/// `path` below `root` resolved without case as `SourceRoot::resolve` does,
/// but listing afresh: for reads, which must see files written meanwhile.
std::string resolve_no_case(const SourceRoot& root, const std::string& path);

/// The native code's kind, for the codes the logic tells apart.
FsError::Kind error_kind(int code);

/// The text of the kinds the tool finds itself; null for a native code.
inline const char* own_error_text(FsError::Kind kind) {
  switch (kind) {
    case FsError::Kind::kOutsideSite: return "outside the site";
    case FsError::Kind::kSameFile: return "it is the source itself";
    case FsError::Kind::kChangedMeanwhile: return "it changed while being written";
    case FsError::Kind::kThroughLink: return "a folder on its way is a link";
    default: return nullptr;
  }
}

#ifdef _WIN32
/// The bytes the system reads as separators in a path.
inline constexpr const char* kSeparators = "\\/";
/// The separator messages show.
inline constexpr char kShownSeparator = '\\';
/// Bytes besides '/' that no name holds (separator, drive, stream).
inline constexpr const char* kReservedNameBytes = "\\:";
/// A drive ("c:") names no entry of a folder.
inline bool is_drive(std::string_view name) { return name.ends_with(':'); }
/// A path that no folder is put before: from a root, a drive or a share.
inline bool is_absolute(std::string_view path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() > 1 && path[1] == ':');
}
#else
inline constexpr const char* kSeparators = "/";
inline constexpr char kShownSeparator = '/';
inline constexpr const char* kReservedNameBytes = "";
inline bool is_drive(std::string_view) { return false; }
inline bool is_absolute(std::string_view path) { return !path.empty() && path[0] == '/'; }
#endif

}  // namespace mt::native
