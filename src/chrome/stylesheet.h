#pragma once
// The inline stylesheet: base rules, wiki rules (wiki layout only) and
// table-of-contents rules, all on one line.

#include <string>

#include "chrome/frame.h"

namespace mt {

/// The stylesheet text for the current language's widths, direction and the
/// URL root.
std::string make_stylesheet(const Build& build, const LangBuild& lang, Layout layout, bool nav_scrolls);

/// The same text, made once per language build and kept in `lang`.
const std::string& stylesheet(const Build& build, LangBuild& lang, Layout layout, bool nav_scrolls);

}  // namespace mt
