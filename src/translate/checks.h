#pragma once
// The checks that translation platforms run, made on a translation against
// its source: placeholders and macros, link targets, HTML tags, emphasis
// left open, blanks at either end, and a length limit for short texts.

#include <cstddef>
#include <string_view>

#include "diag/diagnostics.h"

namespace mt {

/// The most characters a translation of string `id` may have (menu items
/// and buttons), 0 when there is no limit.
size_t length_limit(std::string_view id);

/// Reports, at `where`, each way `translation` of `item` differs from
/// `source` as a check would see it.
void check_translation(Diagnostics& diag, Where where, std::string_view item, std::string_view source,
                       std::string_view translation);

}  // namespace mt
