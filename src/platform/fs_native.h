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
#else
inline constexpr const char* kSeparators = "/";
inline constexpr char kShownSeparator = '/';
inline constexpr const char* kReservedNameBytes = "";
inline bool is_drive(std::string_view) { return false; }
#endif

}  // namespace mt::native
