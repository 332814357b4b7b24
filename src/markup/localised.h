#pragma once
// Texts built from the current strings with the link rules: localised texts
// and the targets of the menu items.

#include <string>
#include <string_view>

#include "links/urls.h"
#include "site/records.h"
#include "site/site_map.h"

namespace mt {

/// The current value of `index`, with `token` (when not empty) replaced
/// without case by `replacement`, and its wiki links rendered (recorded under
/// "expand_url").
std::string localised_text(Build& build, LangBuild& lang, int index, std::string_view token = {},
                           std::string_view replacement = {});

/// The target of a menu item (site/site_map.h). The support item may name a
/// file to copy, which the caller records.
UrlTarget menu_target(const LangBuild& lang, MenuItem item);

}  // namespace mt
