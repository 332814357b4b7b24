#pragma once
// The frame of every page: document head with the inline stylesheet, top
// bar, menu bar, search box, content area, bottom bars.

#include "site/records.h"
#include "site/site_map.h"

namespace mt {

enum class Layout { kPlain, kWiki };

/// Writes everything from the document type to the opening of the content
/// area. `page_name` null means the home page; `menu_index` is the item marked.
/// `key` and `source` name the page for the links between languages.
void page_header(Build& build, LangBuild& lang, Sink& out, const char* page_name, MenuItem menu_index, Layout layout,
                 bool nav_scrolls, PageKey key = {}, const std::string& source = {});

/// Closes the content area and writes the bottom bars and document end.
void page_footer(Build& build, LangBuild& lang, Sink& out, PageKey key = {}, const std::string& source = {});

}  // namespace mt
