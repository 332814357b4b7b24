#include "chrome/stylesheet.h"

namespace mt {

namespace {

// Picks the literal for the text direction at the few places where the
// right-to-left sheet differs.
struct Direction {
  bool rtl;
  const char* operator()(const char* ltr, const char* rtl_text) const { return rtl ? rtl_text : ltr; }
};

// Rules for every page. Each rule's literals stand one per line, as they are
// written; the widths and the URL root fill their "%d" and "%s". The sheet
// is laid out by hand, rule by rule, so the formatter leaves it alone.
// clang-format off
void write_base_rules(Sink& out, const char* root, int width, Direction dir) {
  out.printf("* {margin:0;padding:0;} ");
  out.printf("body {" "min-width:%dpx;" "font-family:Arial,sans-serif;" "font-size:13px;"
             "color:#000;" "%s" "background-color:#F8F8F8;" "padding:0px;" "margin:0px;" "}",
             width, dir("text-align:left;", "text-align:right;"));
  out.printf(".top {" "background-color:#000000;" "height:110px;"
             "border-bottom:1px solid #bbbbbb;" "text-align:center;" "}");
  out.printf(".topcenter {" "background-color:#000000; margin:0 auto; width:%dpx;" "%s" "}",
             width, dir("text-align:left;", "text-align:right;"));
  out.printf("h1 {" "font-size:2em;" "font-weight:normal;" "margin-bottom:12px;" "}");
  out.printf("h2 { " "font-weight:normal;" "font-size:1.4em;" "margin-top:32px;"
             "margin-bottom:12px;" "} ");
  out.printf("img {" "border:0;vertical-align:bottom;" "}");
  out.printf("a {" "text-decoration:none;" "}");
  out.printf("a:hover {" "text-decoration:underline;" "}");
  out.printf("p {" "margin-bottom:4px;" "}");
  out.printf("pre {" "overflow:auto;" "margin-bottom:4px;" "}");
  out.printf(".menu {" "background-color:#F8F8F8;" "border-bottom:1px solid #bbbbbb;"
             "text-align:center;" "}");
  out.printf(".menucenter {" "background-color:#F8F8F8; margin:0 auto; width:%dpx;"
             "text-align:left;" "}",
             width);
  out.printf(".menuitem {" "%s" "border-left:1px solid #f8f8f8;" "border-right:1px solid #f8f8f8;"
             "}",
             dir("float:left;", "float:right;"));
  out.printf(".curmenuitem {" "%s" "background-color:#ffffff;" "border-bottom:1px solid #ffffff;"
             "border-left:1px solid #bbbbbb;" "border-right:1px solid #bbbbbb;"
             "margin-bottom:-1px;" "position:relative;" "}",
             dir("float:left;", "float:right;"));
  out.printf(".menuitem a {" "color:#000;" "display:block;" "padding:8px 8px;" "}");
  // The search box keeps left-to-right text in a right-to-left page.
  out.printf(".search {" "%s" "}", dir("float:right;", "direction:ltr;" "float:left;"));
  out.printf(".search form {" "color:#000; display:block; padding-left:8px; padding-right:8px;"
             "}");
  out.printf(".searchedit {" "background-color:#ffffff;"
             "color:#000; display:block; margin-top:5px; padding-top:2px; padding-bottom:2px; "
             "padding-left:4px; padding-right:16px;"
             "border:1px solid #bbbbbb;" "background-image:url(%s/searchicon.png);"
             "background-repeat:no-repeat;" "background-position:right center;" "}",
             root);
  out.printf(".curmenuitem a {" "color:#000;  display:block; padding:8px 8px" "}");
  out.printf(".endmenuitem {" "clear:both;" "}");
  out.printf(".content {" "background-color:#ffffff;" "text-align:center;" "}");
  out.printf(".contentcenter {" "background-color:#ffffff; margin:0 auto; width:%dpx;"
             "text-align:left;" "}",
             width);
  out.printf(".contentpadding {" "padding-top:32px;" "padding-bottom:32px;" "padding-left:8px;"
             "padding-right:8px;" "%s" "}",
             dir("", "direction:ltr;"));
  out.printf(".contentpadding ul { " "%s" "padding-left:16px; " "} ",
             dir("", "padding-right:16px; "));
  out.printf(".bot {" "background-color:#f8f8f8;" "border-top:1px solid #C0C0C0;"
             "text-align:center;" "}");
  out.printf(".botcenter {" "margin:0 auto; width:%dpx;" "background-color:#f8f8f8;"
             "text-align:center;" "height:48px;" "margin-top:16px;" "}",
             width);
  out.printf(".botcenter a {" "margin-left:16px;" "margin-right:16px;" "}");
  out.printf(".botpadding {" "padding:6px 8px;" "text-align:center;" "}");
  out.printf(".bot2 {" "background-color:#f8f8f8;" "height:64px;" "text-align:center;" "}");
  out.printf(".botcenter2 {" "margin:0 auto; width:%dpx;" "background-color:#f8f8f8;"
             "text-align:center;" "font-size:11px;" "}",
             width);
  out.printf(".botcenter2 a {" "}");
  out.printf(".button {" "font-size:15px;" "text-align:center;" "%s" "display:block;"
             "background-color:#f8f8f8;" "border:1px solid #bbbbbb;" "padding:12px;"
             "margin-bottom:12px;" "%s" "color:#000000;" "}",
             dir("float:left;", "float:right;"), dir("margin-right:12px;", "margin-left:12px;"));
  out.printf(".screenshot {" "%s" "}",
             dir("float: left;" "margin-right:32px", "float: right;" "margin-left:32px"));
  // Download entry icons.
  out.printf(".cli {" "background:url(%s/cli.png) no-repeat;" "background-position:left center;"
             "padding-left:20px;" "}",
             root);
  out.printf(".de {" "background:url(%s/e2.png) no-repeat;" "background-position:left center;"
             "padding-left:20px;" "}",
             root);
  out.printf(".de134 {" "background:url(%s/e2-1.3.png) no-repeat;"
             "background-position:left center;" "padding-left:20px;" "}",
             root);
  out.printf(".di {" "background:url(%s/h.png) no-repeat;" "background-position:left center;"
             "padding-left:20px;" "}",
             root);
  out.printf(".ds {" "background:url(%s/c.png) no-repeat;" "background-position:left center;"
             "padding-left:20px;" "}",
             root);
  out.printf(".dc {" "background:url(%s/cl.png) no-repeat;" "background-position:left center;"
             "padding-left:20px;" "}",
             root);
  out.printf(".dltable {" "border-collapse:collapse;" "}");
  out.printf(".dltable p {" "margin:6px;" "}");
  out.printf(".dltable td {" "padding-right:24px;" "padding-top:4px;" "padding-bottom:4px;"
             "border-top:1px solid #C0C0C0;" "}");
  out.printf(".leftdot {" "background:url(%s/dot.png) no-repeat;"
             "background-position:center center;" "width:16px;" "%s" "}",
             root, dir("padding-left:16px;", "padding-right:16px;"));
  out.printf("code {" "white-space:nowrap;" "}");
  out.printf(".donatehistorytable {" "border-collapse: collapse;" "}");
  out.printf(".donatehistorytable th {" "border-bottom:1px solid #bbbbbb;" "padding:8px;" "}");
  out.printf(".donatehistorytable td {" "border-bottom:1px solid #dddddd;" "padding:8px;" "}");
}

// Rules of the support pages. The navigation column floats left and the
// content column right in both directions; the content column keeps its
// width in every language.
void write_wiki_rules(Sink& out, int wiki_width, int nav_width, bool nav_scrolls, Direction dir) {
  out.printf("body {" "min-width:%dpx;" "}", wiki_width);
  out.printf(".wiki {" "background-color:#ffffff;" "text-align:center;" "}");
  out.printf(".wikicenter {" "background-color:#ffffff; margin:0 auto; width:%dpx;"
             "text-align:left;" "}",
             wiki_width);
  out.printf(".wikipadding {" "padding-top:32px;" "padding-bottom:32px;" "padding-left:12px;"
             "padding-right:12px;" "%s" "}",
             dir("", "direction:ltr;"));
  out.printf(".wikinav li {" "list-style-type:none;" "}");
  out.printf(".wikinav {" "float:left;" "min-height:50px;" "width:%dpx;" "%s" "}", nav_width,
             nav_scrolls ? "overflow:auto;" : "overflow:hidden;");
  out.printf(".wikinavindent2 {" "margin-left:12px;" "white-space:nowrap;" "}");
  out.printf(".wikinavindent3 {" "margin-left:24px;" "white-space:nowrap;" "}");
  out.printf(".wikicontent {" "width:666px;" "float:right;" "min-height:50px;" "}");
  out.printf(".wikicontent ul { " "padding-left:16px; " "} ");
  out.printf(".wikicontent table {" "border-collapse:collapse;" "margin-bottom:6px;" "}");
  out.printf(".wikicontent td, .wikicontent th {" "padding-right:24px;" "padding-top:8px;"
             "padding-bottom:8px;" "padding-left:8px;" "vertical-align:top;" "text-align:left;"
             "}");
  out.printf(".wikicontent td {" "border-bottom:1px solid #CCCCCC;"
             "border-top:1px solid #CCCCCC;" "}");
  out.printf(".wikicontent dl {" "padding-bottom:12px;" "}");
  out.printf(".wikicontent dt {" "margin-bottom:3px;" "}");
  out.printf(".wikicontent dd {" "margin-left:24px;" "padding-bottom:12px;" "}");
  out.printf(".wikicontent pre {" "border:1px solid #CCCCCC;" "padding:12px;" "}");
  out.printf(".wikinowrap {" "white-space:nowrap;" "}");
}

void write_toc_rules(Sink& out) {
  out.printf(".toc { " "border:1px solid #CCCCCC;" "padding:6px; " "} ");
  out.printf(".toc ul { " "list-style-type:none" "} ");
  out.printf(".toclvl1 { " "white-space:nowrap;" "} ");
  out.printf(".toclvl2 { " "margin-left:32px; " "white-space:nowrap;" "} ");
  out.printf(".faqcontent ul {" "padding-left:16px; " "}");
}

// With RTL_CONTENT on, a right-to-left language's content, table of
// contents and support navigation read right to left without markers: the
// rules above keep them left to right, so these come after and override.
void write_rtl_content_rules(Sink& out) {
  out.printf(".contentpadding, .wikipadding {" "direction:rtl;" "text-align:right;" "}");
  out.printf(".contentpadding ul, .wikicontent ul, .faqcontent ul {" "padding-left:0;"
             "padding-right:16px;" "}");
  out.printf(".toclvl2 {" "margin-left:0;" "margin-right:32px;" "}");
  out.printf(".wikinavindent2 {" "margin-left:0;" "margin-right:12px;" "}");
  out.printf(".wikinavindent3 {" "margin-left:0;" "margin-right:24px;" "}");
  out.printf(".wikicontent td, .wikicontent th {" "text-align:right;" "}");
  out.printf(".wikicontent dd {" "margin-left:0;" "margin-right:24px;" "}");
}

// clang-format on

}  // namespace

std::string make_stylesheet(const Build& build, const LangBuild& lang, Layout layout, bool nav_scrolls) {
  StringSink out;
  const Direction dir{lang.rtl};
  write_base_rules(out, build.url_root.c_str(), lang.plain_width, dir);
  if (layout == Layout::kWiki) write_wiki_rules(out, lang.wiki_width, lang.nav_width, nav_scrolls, dir);
  write_toc_rules(out);
  if (lang.rtl && build.site.rtl_content == "on") write_rtl_content_rules(out);
  return std::move(out.text);
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
