#pragma once
// Text crossing between the tool's UTF-8 and the UTF-16 of Windows calls.
// Included only by the Windows implementation files of this folder.

#include <string>
#include <string_view>

namespace mt {

/// UTF-16 of a UTF-8 text; ill-formed bytes become U+FFFD.
std::wstring utf8_to_wide(std::string_view text);

/// UTF-8 of a UTF-16 text; unpaired surrogates become U+FFFD.
std::string wide_to_utf8(std::wstring_view text);

}  // namespace mt
