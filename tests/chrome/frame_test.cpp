#include <gtest/gtest.h>

#include <string>

#include "chrome/frame.h"
#include "chrome/stylesheet.h"
#include "config.h"
#include "helpers/fixture.h"

namespace mt {
namespace {

// The complete stylesheet of a plain left-to-right page with the default
// widths under the URL root "http://x", one rule per line.
const char kPlainSheet[] =
    "* {margin:0;padding:0;} "
    "body {min-width:720px;font-family:Arial,sans-serif;font-size:13px;color:#000;"
        "text-align:left;background-color:#F8F8F8;padding:0px;margin:0px;}"
    ".top {background-color:#000000;height:110px;border-bottom:1px solid #bbbbbb;"
        "text-align:center;}"
    ".topcenter {background-color:#000000; margin:0 auto; width:720px;text-align:left;}"
    "h1 {font-size:2em;font-weight:normal;margin-bottom:12px;}"
    "h2 { font-weight:normal;font-size:1.4em;margin-top:32px;margin-bottom:12px;} "
    "img {border:0;vertical-align:bottom;}"
    "a {text-decoration:none;}"
    "a:hover {text-decoration:underline;}"
    "p {margin-bottom:4px;}"
    "pre {overflow:auto;margin-bottom:4px;}"
    ".menu {background-color:#F8F8F8;border-bottom:1px solid #bbbbbb;text-align:center;}"
    ".menucenter {background-color:#F8F8F8; margin:0 auto; width:720px;text-align:left;}"
    ".menuitem {float:left;border-left:1px solid #f8f8f8;border-right:1px solid #f8f8f8;}"
    ".curmenuitem {float:left;background-color:#ffffff;border-bottom:1px solid #ffffff;"
        "border-left:1px solid #bbbbbb;border-right:1px solid #bbbbbb;margin-bottom:-1px;"
        "position:relative;}"
    ".menuitem a {color:#000;display:block;padding:8px 8px;}"
    ".search {float:right;}"
    ".search form {color:#000; display:block; padding-left:8px; padding-right:8px;}"
    ".searchedit {background-color:#ffffff;color:#000; display:block; margin-top:5px;"
        " padding-top:2px; padding-bottom:2px; padding-left:4px; padding-right:16px;"
        "border:1px solid #bbbbbb;background-image:url(http://x/searchicon.png);"
        "background-repeat:no-repeat;background-position:right center;}"
    ".curmenuitem a {color:#000;  display:block; padding:8px 8px}"
    ".endmenuitem {clear:both;}"
    ".content {background-color:#ffffff;text-align:center;}"
    ".contentcenter {background-color:#ffffff; margin:0 auto; width:720px;text-align:left;}"
    ".contentpadding {padding-top:32px;padding-bottom:32px;padding-left:8px;padding-right:8px;}"
    ".contentpadding ul { padding-left:16px; } "
    ".bot {background-color:#f8f8f8;border-top:1px solid #C0C0C0;text-align:center;}"
    ".botcenter {margin:0 auto; width:720px;background-color:#f8f8f8;text-align:center;"
        "height:48px;margin-top:16px;}"
    ".botcenter a {margin-left:16px;margin-right:16px;}"
    ".botpadding {padding:6px 8px;text-align:center;}"
    ".bot2 {background-color:#f8f8f8;height:64px;text-align:center;}"
    ".botcenter2 {margin:0 auto; width:720px;background-color:#f8f8f8;text-align:center;"
        "font-size:11px;}"
    ".botcenter2 a {}"
    ".button {font-size:15px;text-align:center;float:left;display:block;background-color:#f8f8f8;"
        "border:1px solid #bbbbbb;padding:12px;margin-bottom:12px;margin-right:12px;color:#000000;}"
    ".screenshot {float: left;margin-right:32px}"
    ".cli {background:url(http://x/cli.png) no-repeat;background-position:left center;"
        "padding-left:20px;}"
    ".de {background:url(http://x/e2.png) no-repeat;background-position:left center;"
        "padding-left:20px;}"
    ".de134 {background:url(http://x/e2-1.3.png) no-repeat;background-position:left center;"
        "padding-left:20px;}"
    ".di {background:url(http://x/h.png) no-repeat;background-position:left center;"
        "padding-left:20px;}"
    ".ds {background:url(http://x/c.png) no-repeat;background-position:left center;"
        "padding-left:20px;}"
    ".dc {background:url(http://x/cl.png) no-repeat;background-position:left center;"
        "padding-left:20px;}"
    ".dltable {border-collapse:collapse;}"
    ".dltable p {margin:6px;}"
    ".dltable td {padding-right:24px;padding-top:4px;padding-bottom:4px;"
        "border-top:1px solid #C0C0C0;}"
    ".leftdot {background:url(http://x/dot.png) no-repeat;background-position:center center;"
        "width:16px;padding-left:16px;}"
    "code {white-space:nowrap;}"
    ".donatehistorytable {border-collapse: collapse;}"
    ".donatehistorytable th {border-bottom:1px solid #bbbbbb;padding:8px;}"
    ".donatehistorytable td {border-bottom:1px solid #dddddd;padding:8px;}"
    ".toc { border:1px solid #CCCCCC;padding:6px; } "
    ".toc ul { list-style-type:none} "
    ".toclvl1 { white-space:nowrap;} "
    ".toclvl2 { margin-left:32px; white-space:nowrap;} "
    ".faqcontent ul {padding-left:16px; }";

struct Site : test::SiteRecords {
  using SiteRecords::SiteRecords;

  std::string header(const char* name, int menu, Layout layout = Layout::kPlain, bool scrolls = false) {
    StringSink out;
    page_header(build, lang, out, name, menu, layout, scrolls);
    return out.text;
  }
  std::string footer() {
    StringSink out;
    page_footer(build, lang, out);
    return out.text;
  }
};

/// Each of `parts` is in `text`.
void expect_parts(const std::string& text, std::initializer_list<const char*> parts) {
  for (const char* part : parts) EXPECT_TRUE(test::contains(text, part)) << part;
}

TEST(PageFrame, PlainPageWholeText) {
  Site site;
  const std::string expected =
      std::string("<!DOCTYPE html>\n"
                  "<html lang=\"de\">\n"
                  "<head>\n"
                  "<title>FAQ - tarnwick</title>\r\n"
                  "<meta name=\"viewport\" content=\"width=720\">\r\n"
                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />\r\n"
                  "<link rel=\"alternate\" type=\"application/rss+xml\" title=\"tarnwick RSS Feed\" "
                  "href=\"http://x/rss.xml\" />\r\n"
                  "<style type=\"text/css\">") +
      kPlainSheet +
      "</style>\r\n"
      "</head>\r\n"
      "<body>\r\n"
      "<div class=\"top\">\r\n"
      "<div class=\"topcenter\">\r\n"
      "<a href=\"http://x/de-de/\"><img alt=\"tarnwick\" src=\"http://x/tarnwick9.png\" /></a>\r\n"
      "</div>\r\n"
      "</div>\r\n"
      "<div class=\"menu\">\r\n"
      "<div class=\"menucenter\">\r\n"
      "<div class=\"menuitem\"><a href=\"http://x/de-de/\">Home</a></div>\r\n"
      "<div class=\"menuitem\"><a href=\"http://x/de-de/downloads\">Downloads</a></div>\r\n"
      "<div class=\"curmenuitem\"><a href=\"http://x/de-de/faq\">FAQ</a></div>\r\n"
      "<div class=\"menuitem\"><a href=\"http://x/de-de/support/wendrel\">Support</a></div>\r\n"
      "<div class=\"menuitem\"><a href=\"/forum\">Forums</a></div>\r\n"
      "<div class=\"menuitem\"><a href=\"http://x/de-de/donate\">Donate</a></div>\r\n"
      "<div class=\"menuitem\"><a href=\"http://x/de-de/contact\">Contact</a></div>\r\n"
      "<div class=\"search\"><form method=\"get\" action=\"" +
      config::kSearchEndpoint +
      "\"><div><input class=\"searchedit\" type=\"text\" name=\"q\" size=\"15\" "
      "maxlength=\"255\" value=\"\" /><input type=\"hidden\" name=\"sitesearch\" value=\"" +
      config::kSiteDomain +
      "\" /></div></form></div>\r\n"
      "<div class=\"endmenuitem\"></div>\r\n"
      "</div>\r\n"
      "</div>\r\n"
      "<div class=\"content\">\r\n"
      "<div class=\"contentcenter\">\r\n"
      "<div class=\"contentpadding\">\r\n"
      "</div>\r\n"
      "</div>\r\n"
      "</div>\r\n"
      "<div class=\"bot\">\r\n"
      "<div class=\"botcenter\">\r\n"
      "<div class=\"botpadding\">\r\n"
      "<a href=\"http://x/de-de/about\">About tarnwick</a>\r\n"
      "<a href=\"http://x/de-de/language\">Language</a>\r\n"
      "</div>\r\n"
      "</div>\r\n"
      "</div>\r\n"
      "<div class=\"bot2\">\r\n"
      "<div class=\"botcenter2\">\r\n"
      "&copy; 2026 - <a href=\"http://x/de-de/privacy\">Privacy</a>\r\n"
      "</div>\r\n"
      "</div>\r\n"
      "</body>\r\n"
      "</html>\r\n";
  EXPECT_EQ(expected, site.header("FAQ", 2) + site.footer());
  // The frame records no links of its own.
  site.build.links.final_check(site.build.diag);
  EXPECT_EQ("", site.messages.text);
}

TEST(PageFrame, WikiLayout) {
  Site site;
  const std::string plain = site.header("Intro", 3);
  const std::string hidden = site.header("Intro", 3, Layout::kWiki, false);
  const std::string scrolling = site.header("Intro", 3, Layout::kWiki, true);
  EXPECT_FALSE(test::contains(plain, ".wiki"));
  for (const std::string* page : {&hidden, &scrolling}) {
    SCOPED_TRACE(page == &hidden ? "hidden" : "scrolling");
    EXPECT_FALSE(test::contains(*page, "class=\"content"));
    // Wiki rules stand between the base rules and the table-of-contents rules.
    expect_parts(*page, {"<meta name=\"viewport\" content=\"width=920\">\r\n",
                         "padding:8px;}body {min-width:920px;}.wiki {background-color:#ffffff;"
                         "text-align:center;}.wikicenter {background-color:#ffffff; margin:0 auto; "
                         "width:920px;text-align:left;}.wikipadding {padding-top:32px;"
                         "padding-bottom:32px;padding-left:12px;padding-right:12px;}",
                         ".wikicontent {width:666px;float:right;min-height:50px;}",
                         ".wikinowrap {white-space:nowrap;}.toc { ",
                         "<div class=\"wiki\">\r\n<div class=\"wikicenter\">\r\n<div class=\"wikipadding\">\r\n",
                         "<div class=\"curmenuitem\"><a href=\"http://x/de-de/support/wendrel\">"});
  }
  expect_parts(hidden, {".wikinav {float:left;min-height:50px;width:224px;overflow:hidden;}"});
  expect_parts(scrolling, {".wikinav {float:left;min-height:50px;width:224px;overflow:auto;}"});
  // Each combination keeps its own sheet once made.
  EXPECT_EQ(plain, site.header("Intro", 3));
  EXPECT_EQ(hidden, site.header("Intro", 3, Layout::kWiki, false));
  EXPECT_EQ(scrolling, site.header("Intro", 3, Layout::kWiki, true));
}

TEST(PageFrame, RightToLeft) {
  Site site("ar-sa");
  site.lang.rtl = true;
  expect_parts(site.header("x", -1),
               {"<!DOCTYPE html>\n<html lang=\"ar\" dir=\"rtl\">\n<head>\n",
                "color:#000;text-align:right;background-color:#F8F8F8;",
                ".topcenter {background-color:#000000; margin:0 auto; width:720px;text-align:right;}",
                ".menuitem {float:right;border-left", ".curmenuitem {float:right;background-color",
                ".search {direction:ltr;float:left;}",
                ".contentpadding {padding-top:32px;padding-bottom:32px;padding-left:8px;padding-right:8px;"
                "direction:ltr;}",
                ".contentpadding ul { padding-right:16px; padding-left:16px; } ",
                "text-align:center;float:right;display:block;", "margin-bottom:12px;margin-left:12px;color:#000000;}",
                ".screenshot {float: right;margin-left:32px}", "width:16px;padding-right:16px;}",
                // The menu centre stays left-aligned in both directions.
                "width:720px;text-align:left;}.menuitem"});
  expect_parts(site.header("x", 3, Layout::kWiki, false),
               {"padding-right:12px;direction:ltr;}", ".wikinav {float:left;", ".wikicontent {width:666px;float:right;"});
}

TEST(PageFrame, LanguageAndPageVariants) {
  {
    SCOPED_TRACE("ru-ru widths");
    Site site("ru-ru");
    site.lang.plain_width = 800;
    site.lang.wiki_width = 1000;
    site.lang.nav_width = 304;
    const std::string plain = site.header("x", 0);
    expect_parts(plain, {"<html lang=\"ru\">\n", "content=\"width=800\">"});
    EXPECT_EQ(6u, test::count(plain, "width:800px;"));  // body and five centred columns
    expect_parts(site.header("x", 3, Layout::kWiki, true),
                 {"content=\"width=1000\">", "body {min-width:1000px;}",
                  "margin:0 auto; width:1000px;text-align:left;}.wikipadding", "width:304px;overflow:auto;}",
                  ".wikicontent {width:666px;"});
  }
  {
    SCOPED_TRACE("root build");
    Site site("");
    expect_parts(site.header(nullptr, 0),
                 {"<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<title>tarnwick</title>\r\n",
                  "<a href=\"http://x/\"><img alt=\"tarnwick\" src=\"http://x/tarnwick9.png\"",
                  "<div class=\"curmenuitem\"><a href=\"http://x/\">Home</a></div>\r\n"});
  }
  {
    SCOPED_TRACE("no current item, copyright read on every footer");
    Site site;
    const std::string page = site.header("Privacy", -1);
    EXPECT_EQ(0u, test::count(page, "class=\"curmenuitem\""));
    EXPECT_EQ(7u, test::count(page, "<div class=\"menuitem\">"));
    expect_parts(site.footer(), {"&copy; 2026 - <a"});
    site.build.year = [] { return 2027; };
    site.language().values[COPYRIGHT] = "(c) Owner {{YEAR}} ";
    expect_parts(site.footer(), {"<div class=\"botcenter2\">\r\n(c) Owner 2027 <a href="});
  }
  {
    SCOPED_TRACE("empty URL root");
    Site site("de-de", "");
    expect_parts(site.header("x", 1), {"url(/searchicon.png)", "url(/dot.png)", "href=\"/rss.xml\"",
                                       "<a href=\"/de-de/downloads\">Downloads</a>"});
  }
}

}  // namespace
}  // namespace mt
