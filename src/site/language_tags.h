#pragma once
// Language codes (file names such as "pt-br") as BCP 47 tags ("pt-BR"),
// which alternate links, sitemaps and "lang" attributes need.

#include <string>
#include <string_view>

namespace mt {

/// The tag of `code` in its usual letter case: a language subtag of 2 or 3
/// letters, then optionally a script (4 letters), a region (2 letters
/// or 3 digits) and variants (5-8 letters or digits, or a digit and 3), each
/// after a '-'. "" when `code` is not of that form.
std::string language_tag(std::string_view code);

/// The tag that `overrides` ("code=tag" pairs separated by blanks, the
/// LANGUAGE_TAGS key) gives `code`, brought into the same form, else the
/// rule's. "" when neither gives a valid tag.
std::string language_tag(std::string_view code, std::string_view overrides);

}  // namespace mt
