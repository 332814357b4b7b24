// Parts of the page frame by layout, direction and build; tests/golden/faq.html has a whole one.

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
    page_header(build, lang, out, name, static_cast<MenuItem>(menu), layout, scrolls);
    return out.text;
  }
};

/// Each of `parts` is in `text`, but those written "!part", which are not.
void expect_parts(const std::string& text, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    EXPECT_EQ(part[0] != '!', test::contains(text, part[0] == '!' ? part.substr(1) : part)) << part;
  }
}

TEST(PageFrame, NavigationThatScrolls) {
  // The plain and the wiki layout are in tests/golden (faq.html, wiki_page.html); this is the third.
  Site site;
  expect_parts(site.header("Intro", 3, Layout::kWiki, true),
               {"!class=\"content", ".wikinav {float:left;min-height:50px;width:224px;overflow:auto;}"});
}

TEST(PageFrame, Variants) {
  // Language, URL root, menu item, layout, parts of the header.
  const std::tuple<const char*, const char*, int, Layout, std::vector<std::string>> rows[] = {
      {"ar-sa",
       "http://x",
       -1,
       Layout::kPlain,
       {"<!DOCTYPE html>\n<html lang=\"ar\" dir=\"rtl\">\n<head>\n", "color:#000;text-align:right;background-color:",
        ".topcenter {background-color:#000000; margin:0 auto; width:720px;text-align:right;}",
        ".menuitem {float:right;border-left", ".curmenuitem {float:right;background-color",
        ".search {direction:ltr;float:left;}", "padding-left:8px;padding-right:8px;direction:ltr;}",
        ".contentpadding ul { padding-right:16px; padding-left:16px; } ",
        "text-align:center;float:right;display:block;", "margin-bottom:12px;margin-left:12px;color:#000000;}",
        ".screenshot {float: right;margin-left:32px}", "width:16px;padding-right:16px;}",
        "width:720px;text-align:left;}.menuitem"}},  // the menu centre stays left-aligned in both directions
      {"ar-sa",
       "http://x",
       3,
       Layout::kWiki,
       {"padding-right:12px;direction:ltr;}", ".wikinav {float:left;", ".wikicontent {width:666px;float:right;"}},
      {"",
       "http://x",
       0,
       Layout::kPlain,
       {"<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<title>tarnwick</title>\r\n",
        "<a href=\"http://x/\"><img alt=\"tarnwick\" src=\"http://x/tarnwick9.png\"",
        "<div class=\"curmenuitem\"><a href=\"http://x/\">Home</a></div>\r\n"}},
      {"de-de", "http://x", -1, Layout::kPlain, {"!class=\"curmenuitem\""}},
      {"de-de",
       "",
       1,
       Layout::kPlain,
       {"url(/searchicon.png)", "url(/dot.png)", "href=\"/rss.xml\"", "<a href=\"/de-de/downloads\">Downloads</a>"}},
  };
  for (const auto& [code, url_root, menu, layout, parts] : rows) {
    SCOPED_TRACE(std::string(code) + " " + url_root);
    Site site(code, url_root);
    site.lang.rtl = std::string(code) == "ar-sa";
    expect_parts(site.header(code[0] ? "x" : nullptr, menu, layout), parts);
  }
}

TEST(PageFrame, CopyrightReadOnEveryFooter) {
  Site site;
  StringSink first, second;
  page_footer(site.build, site.lang, first);
  site.build.year = [] { return 2027; };
  site.language().values[COPYRIGHT] = "(c) Owner {{YEAR}} ";
  page_footer(site.build, site.lang, second);
  expect_parts(second.text, {"<div class=\"botcenter2\">\r\n(c) Owner 2027 <a href="});
}

}  // namespace
}  // namespace mt
