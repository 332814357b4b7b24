#include <gtest/gtest.h>

#include <string>

#include "chrome/frame.h"
#include "chrome/stylesheet.h"
#include "helpers/fixture.h"

namespace mt {
namespace {

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
