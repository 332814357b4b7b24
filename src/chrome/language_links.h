#pragma once
// What a page says about its versions in the other languages: the "lang"
// value, alternate and canonical links in the head.

#include <string>

#include "site/records.h"

namespace mt {

/// Whether the page head names alternates and the canonical address.
bool alternate_links_on(const Build& build, const LangBuild& lang);

/// The address of a root-relative `path` in head links and sitemaps:
/// SITE_HOME_URL in front with ABSOLUTE_ADDRESSES on, else the URL root.
std::string public_address(const Build& build, const std::string& path);

/// The "lang" value of a page: the language's tag with ALTERNATE_LINKS on,
/// else the code up to its first '-' ("en" at the root).
std::string html_lang(const Build& build, const LangBuild& lang);

/// Writes the canonical link and the alternate links of `key`'s page, and
/// records them for the link check under `source`.
void write_language_links(Build& build, const LangBuild& lang, Sink& out, PageKey key, const std::string& source);

/// Writes the language switch: a link per language to `key`'s page there,
/// or to that language's home page (class "switchhome") where it has none,
/// each with the language's name, tag and direction; records the links.
void write_language_switch(Build& build, const LangBuild& lang, Sink& out, PageKey key, const std::string& source);

}  // namespace mt
