#include "site/strings.h"

#include <gtest/gtest.h>

#include "helpers/fixture.h"
#include "markup/localised.h"
#include "platform/text.h"

namespace mt {
namespace {

TEST(Strings, IndexByIdAndText) {
  // clang-format off
  const std::pair<std::string, int> ids[] = {
      {"HOMES", -1}, {"HOM", -1}, {"", -1}, {std::string(5000, 'A'), -1},
      // Without case; the first, a last and a long id.
      {"home", HOME}, {"Title_Format", TITLE_FORMAT}, {"DOWNLOAD_WENDREL_OFFLINE_HELP", DOWNLOAD_WENDREL_OFFLINE_HELP},
      {"download_wendrel_command_line_interface_header", DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE_HEADER},
  };
  // clang-format on
  for (const auto& [id, index] : ids) EXPECT_EQ(index, string_index_by_id(id)) << id;

  // The replacement is not scanned again; matches never overlap; only ASCII folds.
  EXPECT_EQ("a x b x", replace_no_case("a {{T}} b {{t}}", "{{T}}", "x"));
  EXPECT_EQ("{{T}}{{T}}", replace_no_case("{{T}}", "{{t}}", "{{T}}{{T}}"));
  EXPECT_EQ("ba", replace_no_case("aaa", "aa", "b"));
  EXPECT_EQ("\xC3\x89", replace_no_case("\xC3\x89", "\xC3\xA9", "e"));

  // Only the last path component loses its extension.
  // clang-format off
  const std::pair<const char*, const char*> cuts[] = {
      {"http://example.com/faq", "http://example.com/faq"}, {"http://example.com/faq.txt", "http://example.com/faq"},
      {"a.b/c", "a.b/c"}, {"archive.tar.gz", "archive.tar"}, {".txt", ""}};
  // clang-format on
  for (const auto& [path, cut] : cuts) EXPECT_EQ(cut, cut_extension(path)) << path;
  EXPECT_TRUE(has_scheme("mailto:someone@example.com"));
  EXPECT_FALSE(has_scheme("/de-de/faq"));
  EXPECT_FALSE(has_scheme("support/a:b"));
}

TEST(Strings, PageTitle) {
  Language lang;
  EXPECT_EQ("tarnwick", page_title(lang, nullptr));
  lang.values[TITLE_FORMAT] = "Seite {{Title}} | {{TITLE}}";
  EXPECT_EQ("tarnwick", page_title(lang, nullptr));  // the home page keeps its own title
  EXPECT_EQ("Seite FAQ | FAQ", page_title(lang, "FAQ"));
  lang.values[TITLE_FORMAT] = "Fixed";
  EXPECT_EQ("Fixed", page_title(lang, "FAQ"));
}

TEST(Strings, MenuUrlsAndLocalisedText) {
  // Items 0-6 as the menu shows them are covered by the page frame tests.
  test::SiteRecords site;
  // A language's own page names move the menu targets with them.
  site.language().values[FAQ_TEMPLATE] = "fragen.txt";
  EXPECT_EQ("http://x/de-de/fragen", menu_url(site.build, site.lang, 2));
  site.language().values[FORUMS_URL] = "x{{forums_url}}y{{FORUMS_URL}}";
  EXPECT_EQ("x/forumy/forum", menu_url(site.build, site.lang, 4));
  test::SiteRecords root("");
  EXPECT_EQ("http://x/support/wendrel", menu_url(root.build, root.lang, 3));

  EXPECT_EQ("Download Wendrel 1.4.1.877",
            localised_text(site.build, site.lang, DOWNLOAD_WENDREL_HEADER, "{{version}}", "1.4.1.877"));
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
