#include "chrome/stylesheet.h"

#include <string>
#include <string_view>

#include "platform/text.h"

namespace mt {

namespace {

// The sheet as one template per part, one rule per line, with named slots
// for the widths, the URL root and what differs between the directions
// (kDirectionSlots). Laid out by hand, so the formatter leaves it alone.
// clang-format off
constexpr std::string_view kBaseRules =
    "* {margin:0;padding:0;} "
    "body {min-width:{{WIDTH}}px;font-family:Arial,sans-serif;font-size:13px;color:#000;{{TEXT_ALIGN}}background-color:#F8F8F8;padding:0px;margin:0px;}"
    ".top {background-color:#000000;height:110px;border-bottom:1px solid #bbbbbb;text-align:center;}"
    ".topcenter {background-color:#000000; margin:0 auto; width:{{WIDTH}}px;{{TEXT_ALIGN}}}"
    "h1 {font-size:2em;font-weight:normal;margin-bottom:12px;}"
    "h2 { font-weight:normal;font-size:1.4em;margin-top:32px;margin-bottom:12px;} "
    "img {border:0;vertical-align:bottom;}"
    "a {text-decoration:none;}"
    "a:hover {text-decoration:underline;}"
    "p {margin-bottom:4px;}"
    "pre {overflow:auto;margin-bottom:4px;}"
    ".menu {background-color:#F8F8F8;border-bottom:1px solid #bbbbbb;text-align:center;}"
    ".menucenter {background-color:#F8F8F8; margin:0 auto; width:{{WIDTH}}px;text-align:left;}"
    ".menuitem {{{FLOAT}}border-left:1px solid #f8f8f8;border-right:1px solid #f8f8f8;}"
    ".curmenuitem {{{FLOAT}}background-color:#ffffff;border-bottom:1px solid #ffffff;border-left:1px solid #bbbbbb;border-right:1px solid #bbbbbb;margin-bottom:-1px;position:relative;}"
    ".menuitem a {color:#000;display:block;padding:8px 8px;}"
    ".search {{{SEARCH_FLOAT}}}"
    ".search form {color:#000; display:block; padding-left:8px; padding-right:8px;}"
    ".searchedit {background-color:#ffffff;color:#000; display:block; margin-top:5px; padding-top:2px; padding-bottom:2px; padding-left:4px; padding-right:16px;border:1px solid #bbbbbb;background-image:url({{ROOT}}/searchicon.png);background-repeat:no-repeat;background-position:right center;}"
    ".curmenuitem a {color:#000;  display:block; padding:8px 8px}"
    ".endmenuitem {clear:both;}"
    ".content {background-color:#ffffff;text-align:center;}"
    ".contentcenter {background-color:#ffffff; margin:0 auto; width:{{WIDTH}}px;text-align:left;}"
    ".contentpadding {padding-top:32px;padding-bottom:32px;padding-left:8px;padding-right:8px;{{LTR}}}"
    ".contentpadding ul { {{UL_PADDING}}padding-left:16px; } "
    ".bot {background-color:#f8f8f8;border-top:1px solid #C0C0C0;text-align:center;}"
    ".botcenter {margin:0 auto; width:{{WIDTH}}px;background-color:#f8f8f8;text-align:center;height:48px;margin-top:16px;}"
    ".botcenter a {margin-left:16px;margin-right:16px;}"
    ".botpadding {padding:6px 8px;text-align:center;}"
    ".bot2 {background-color:#f8f8f8;height:64px;text-align:center;}"
    ".botcenter2 {margin:0 auto; width:{{WIDTH}}px;background-color:#f8f8f8;text-align:center;font-size:11px;}"
    ".botcenter2 a {}"
    ".button {font-size:15px;text-align:center;{{FLOAT}}display:block;background-color:#f8f8f8;border:1px solid #bbbbbb;padding:12px;margin-bottom:12px;{{BUTTON_MARGIN}}color:#000000;}"
    ".screenshot {{{SCREENSHOT}}}"
    ".cli {background:url({{ROOT}}/cli.png) no-repeat;background-position:left center;padding-left:20px;}"
    ".de {background:url({{ROOT}}/e2.png) no-repeat;background-position:left center;padding-left:20px;}"
    ".de134 {background:url({{ROOT}}/e2-1.3.png) no-repeat;background-position:left center;padding-left:20px;}"
    ".di {background:url({{ROOT}}/h.png) no-repeat;background-position:left center;padding-left:20px;}"
    ".ds {background:url({{ROOT}}/c.png) no-repeat;background-position:left center;padding-left:20px;}"
    ".dc {background:url({{ROOT}}/cl.png) no-repeat;background-position:left center;padding-left:20px;}"
    ".dltable {border-collapse:collapse;}"
    ".dltable p {margin:6px;}"
    ".dltable td {padding-right:24px;padding-top:4px;padding-bottom:4px;border-top:1px solid #C0C0C0;}"
    ".leftdot {background:url({{ROOT}}/dot.png) no-repeat;background-position:center center;width:16px;{{DOT_PADDING}}}"
    "code {white-space:nowrap;}"
    ".donatehistorytable {border-collapse: collapse;}"
    ".donatehistorytable th {border-bottom:1px solid #bbbbbb;padding:8px;}"
    ".donatehistorytable td {border-bottom:1px solid #dddddd;padding:8px;}";

// Rules of the support pages. The navigation column floats left and the
// content column right in both directions; the content column keeps its
// width in every language.
constexpr std::string_view kWikiRules =
    "body {min-width:{{WIKI_WIDTH}}px;}"
    ".wiki {background-color:#ffffff;text-align:center;}"
    ".wikicenter {background-color:#ffffff; margin:0 auto; width:{{WIKI_WIDTH}}px;text-align:left;}"
    ".wikipadding {padding-top:32px;padding-bottom:32px;padding-left:12px;padding-right:12px;{{LTR}}}"
    ".wikinav li {list-style-type:none;}"
    ".wikinav {float:left;min-height:50px;width:{{NAV_WIDTH}}px;{{NAV_OVERFLOW}}}"
    ".wikinavindent2 {margin-left:12px;white-space:nowrap;}"
    ".wikinavindent3 {margin-left:24px;white-space:nowrap;}"
    ".wikicontent {width:666px;float:right;min-height:50px;}"
    ".wikicontent ul { padding-left:16px; } "
    ".wikicontent table {border-collapse:collapse;margin-bottom:6px;}"
    ".wikicontent td, .wikicontent th {padding-right:24px;padding-top:8px;padding-bottom:8px;padding-left:8px;vertical-align:top;text-align:left;}"
    ".wikicontent td {border-bottom:1px solid #CCCCCC;border-top:1px solid #CCCCCC;}"
    ".wikicontent dl {padding-bottom:12px;}"
    ".wikicontent dt {margin-bottom:3px;}"
    ".wikicontent dd {margin-left:24px;padding-bottom:12px;}"
    ".wikicontent pre {border:1px solid #CCCCCC;padding:12px;}"
    ".wikinowrap {white-space:nowrap;}";

constexpr std::string_view kTocRules =
    ".toc { border:1px solid #CCCCCC;padding:6px; } "
    ".toc ul { list-style-type:none} "
    ".toclvl1 { white-space:nowrap;} "
    ".toclvl2 { margin-left:32px; white-space:nowrap;} "
    ".faqcontent ul {padding-left:16px; }";

// What differs in a right-to-left sheet: the slot, its left-to-right value
// and its right-to-left one. The search box keeps left-to-right text in a
// right-to-left page.
struct DirectionSlot {
  std::string_view name;
  std::string_view ltr;
  std::string_view rtl;
};
constexpr DirectionSlot kDirectionSlots[] = {
    {"TEXT_ALIGN", "text-align:left;", "text-align:right;"},
    {"FLOAT", "float:left;", "float:right;"},
    {"SEARCH_FLOAT", "float:right;", "direction:ltr;float:left;"},
    {"LTR", "", "direction:ltr;"},
    {"UL_PADDING", "", "padding-right:16px; "},
    {"BUTTON_MARGIN", "margin-right:12px;", "margin-left:12px;"},
    {"SCREENSHOT", "float: left;margin-right:32px", "float: right;margin-left:32px"},
    {"DOT_PADDING", "padding-left:16px;", "padding-right:16px;"},
};
// With RTL_CONTENT on, a right-to-left language's content, table of
// contents and support navigation read right to left without markers: the
// rules above keep them left to right, so these come after and override.
constexpr std::string_view kRtlContentRules =
    ".contentpadding, .wikipadding {direction:rtl;text-align:right;}"
    ".contentpadding ul, .wikicontent ul, .faqcontent ul {padding-left:0;padding-right:16px;}"
    ".toclvl2 {margin-left:0;margin-right:32px;}"
    ".wikinavindent2 {margin-left:0;margin-right:12px;}"
    ".wikinavindent3 {margin-left:0;margin-right:24px;}"
    ".wikicontent td, .wikicontent th {text-align:right;}"
    ".wikicontent dd {margin-left:0;margin-right:24px;}";
// clang-format on

std::string_view direction(const LangBuild& lang, std::string_view name) {
  for (const DirectionSlot& slot : kDirectionSlots) {
    if (slot.name == name) return lang.rtl ? slot.rtl : slot.ltr;
  }
  return {};
}

}  // namespace

std::string make_stylesheet(const Build& build, const LangBuild& lang, Layout layout, bool nav_scrolls) {
  auto dir = [&lang](std::string_view name) { return direction(lang, name); };
  const std::string width = std::to_string(lang.plain_width);
  std::string sheet = fill_slots(kBaseRules, {{"WIDTH", width},
                                              {"ROOT", build.setup.url_root},
                                              {"TEXT_ALIGN", dir("TEXT_ALIGN")},
                                              {"FLOAT", dir("FLOAT")},
                                              {"SEARCH_FLOAT", dir("SEARCH_FLOAT")},
                                              {"LTR", dir("LTR")},
                                              {"UL_PADDING", dir("UL_PADDING")},
                                              {"BUTTON_MARGIN", dir("BUTTON_MARGIN")},
                                              {"SCREENSHOT", dir("SCREENSHOT")},
                                              {"DOT_PADDING", dir("DOT_PADDING")}});
  if (layout == Layout::kWiki) {
    sheet += fill_slots(kWikiRules, {{"WIKI_WIDTH", std::to_string(lang.wiki_width)},
                                     {"NAV_WIDTH", std::to_string(lang.nav_width)},
                                     {"NAV_OVERFLOW", nav_scrolls ? "overflow:auto;" : "overflow:hidden;"},
                                     {"LTR", dir("LTR")}});
  }
  sheet += kTocRules;
  if (lang.rtl && build.setup.site.rtl_content == "on") sheet += kRtlContentRules;
  return sheet;
}

const std::string& stylesheet(const Build& build, LangBuild& lang, Layout layout, bool nav_scrolls) {
  // Every input but the layout and the overflow flag is fixed for the whole
  // language build, so each combination is formatted once, not per page.
  const size_t slot = layout == Layout::kPlain ? 0 : (nav_scrolls ? 2 : 1);
  std::string& cached = lang.stylesheets[slot];
  if (cached.empty()) cached = make_stylesheet(build, lang, layout, nav_scrolls);
  return cached;
}

}  // namespace mt
