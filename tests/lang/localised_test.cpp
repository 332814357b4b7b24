#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/localised.h"

namespace mt {
namespace {

struct LangSite {
  StringSink diag_out;
  Build build;
  Language language;
  LangBuild lang;

  explicit LangSite(bool root = false) {
    build.url_root = "http://x";
    build.links = LinkRegistry(build.url_root);
    build.diag.out = &diag_out;
    build.year = [] { return 2026; };
    lang.lang = &language;
    if (!root) {
      lang.code = "de-de";
      lang.base_code = "de";
      lang.url_part = "/de-de";
    }
    lang.base_url = build.url_root + lang.url_part;
  }
};

TEST(MenuUrl, Items) {
  // Items 0-6 as the menu shows them are covered by the page frame tests.
  LangSite site;
  EXPECT_EQ("", menu_url(site.build, site.lang, 7));
  EXPECT_EQ("", menu_url(site.build, site.lang, -1));

  // A language's own page names move the menu targets with them.
  site.language.values[FAQ_TEMPLATE] = "fragen.txt";
  EXPECT_EQ("http://x/de-de/fragen", menu_url(site.build, site.lang, 2));

  LangSite root(true);
  EXPECT_EQ("http://x/", menu_url(root.build, root.lang, 0));
  EXPECT_EQ("http://x/downloads", menu_url(root.build, root.lang, 1));
  EXPECT_EQ("http://x/support/wendrel", menu_url(root.build, root.lang, 3));
}

TEST(MenuUrl, Forums) {
  LangSite site;
  site.language.values[FORUMS_URL] = "x{{forums_url}}y{{FORUMS_URL}}";
  EXPECT_EQ("x/forumy/forum", menu_url(site.build, site.lang, 4));
  site.language.values[FORUMS_URL] = "https://forum.example/de";
  EXPECT_EQ("https://forum.example/de", menu_url(site.build, site.lang, 4));
}

TEST(LocalisedText, PlaceholderThenLinks) {
  LangSite site;
  EXPECT_EQ("Download Wendrel 1.4.1.877",
            localised_text(site.build, site.lang, DOWNLOAD_WENDREL_HEADER, "{{VERSION}}", "1.4.1.877"));
  EXPECT_EQ("Download Wendrel 1.4.1.877",
            localised_text(site.build, site.lang, DOWNLOAD_WENDREL_HEADER, "{{version}}", "1.4.1.877"));
  EXPECT_EQ("Download Wendrel {{VERSION}}", localised_text(site.build, site.lang, DOWNLOAD_WENDREL_HEADER));
  EXPECT_EQ("Home", localised_text(site.build, site.lang, HOME, "{{VERSION}}", "1"));

  // The placeholder is replaced before the links are rendered, so it may
  // stand in a link target.
  EXPECT_EQ("<a href=\"/notes/1.4\">Changes</a>",
            localised_text(site.build, site.lang, WENDREL_CHANGES, "{{CHANGES}}", "/notes/1.4"));

  EXPECT_EQ("<a href=\"http://x/de-de/License.txt\">License</a>",
            localised_text(site.build, site.lang, WENDREL_LICENSE));
  EXPECT_EQ(std::vector<std::string>{"License.txt"}, site.lang.files.paths());
}

TEST(LocalisedText, LinksRecordedUnderExpandUrl) {
  LangSite site;
  site.language.values[COPYRIGHT] = "&copy; {{YEAR}} [[/nope|Owner]] [[/ok|Fine]] - ";
  EXPECT_EQ("&copy; 2026 <a href=\"/nope\">Owner</a> <a href=\"/ok\">Fine</a> - ",
            localised_text(site.build, site.lang, COPYRIGHT, "{{YEAR}}", "2026"));
  site.build.links.declare("/ok", std::nullopt, false);
  site.build.links.final_check(site.build.diag);
  EXPECT_EQ("expand_url:0: warning: broken url /nope\n", site.diag_out.text);
  EXPECT_EQ(1, site.build.diag.warnings);
}

}  // namespace
}  // namespace mt
