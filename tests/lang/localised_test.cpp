#include "markup/localised.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/fixture.h"

namespace mt {
namespace {

using test::SiteRecords;

TEST(MenuUrl, ItemsAndForums) {
  // Items 0-6 as the menu shows them are covered by the page frame tests.
  SiteRecords site;
  EXPECT_EQ("", menu_url(site.build, site.lang, 7));
  EXPECT_EQ("", menu_url(site.build, site.lang, -1));
  // A language's own page names move the menu targets with them.
  site.language().values[FAQ_TEMPLATE] = "fragen.txt";
  EXPECT_EQ("http://x/de-de/fragen", menu_url(site.build, site.lang, 2));
  site.language().values[FORUMS_URL] = "x{{forums_url}}y{{FORUMS_URL}}";
  EXPECT_EQ("x/forumy/forum", menu_url(site.build, site.lang, 4));

  SiteRecords root("");
  EXPECT_EQ("http://x/", menu_url(root.build, root.lang, 0));
  EXPECT_EQ("http://x/downloads", menu_url(root.build, root.lang, 1));
  EXPECT_EQ("http://x/support/wendrel", menu_url(root.build, root.lang, 3));
}

TEST(LocalisedText, PlaceholderThenLinks) {
  SiteRecords site;
  EXPECT_EQ("Download Wendrel 1.4.1.877",
            localised_text(site.build, site.lang, DOWNLOAD_WENDREL_HEADER, "{{version}}", "1.4.1.877"));
  EXPECT_EQ("Download Wendrel {{VERSION}}", localised_text(site.build, site.lang, DOWNLOAD_WENDREL_HEADER));
  EXPECT_EQ("Home", localised_text(site.build, site.lang, HOME, "{{VERSION}}", "1"));

  // The placeholder is replaced before the links are rendered, so it may
  // stand in a link target; the links are recorded under "expand_url".
  EXPECT_EQ("<a href=\"/notes/14\">Changes</a>",
            localised_text(site.build, site.lang, WENDREL_CHANGES, "{{CHANGES}}", "/notes/14"));
  EXPECT_EQ("<a href=\"http://x/de-de/License.txt\">License</a>",
            localised_text(site.build, site.lang, WENDREL_LICENSE));
  EXPECT_EQ(std::vector<std::string>{"License.txt"}, site.lang.files.paths());
  site.build.links->final_check(site.build.diag);
  EXPECT_EQ("expand_url:0: warning: broken url /notes/14\n", site.messages.text);
}

}  // namespace
}  // namespace mt
