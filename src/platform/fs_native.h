#pragma once
// What each platform's file layer gives the code shared between them
// (fs.cpp): the case-insensitive resolution is one algorithm over these.

#include <optional>
#include <string>
#include <string_view>

namespace mt::native {

/// Whether `path` names an entry, a dangling link included.
bool entry_exists(const std::string& path);

/// The entry of `folder` whose name equals `name` without ASCII case, the
/// first in listing order when there are several.
std::optional<std::string> find_entry_no_case(const std::string& folder, std::string_view name);

#ifdef _WIN32
inline constexpr const char* kSeparators = "\\/";
/// A drive ("c:") names no entry of a folder.
inline bool is_drive(std::string_view name) { return name.ends_with(':'); }
#else
inline constexpr const char* kSeparators = "/";
inline bool is_drive(std::string_view) { return false; }
#endif

}  // namespace mt::native
