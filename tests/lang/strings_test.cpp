#include "site/strings.h"

#include <gtest/gtest.h>

#include "platform/text.h"

using namespace mt;

TEST(StringsTest, IndexById) {
  EXPECT_EQ(-1, string_index_by_id("HOMES"));
  EXPECT_EQ(-1, string_index_by_id("HOM"));
  EXPECT_EQ(-1, string_index_by_id(""));
  EXPECT_EQ(-1, string_index_by_id(std::string(5000, 'A')));
  // Without case; the first, a last and a long id.
  EXPECT_EQ(HOME, string_index_by_id("home"));
  EXPECT_EQ(TITLE_FORMAT, string_index_by_id("Title_Format"));
  EXPECT_EQ(DOWNLOAD_WENDREL_OFFLINE_HELP, string_index_by_id("DOWNLOAD_WENDREL_OFFLINE_HELP"));
  EXPECT_EQ(DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE_HEADER,
            string_index_by_id("download_wendrel_command_line_interface_header"));
}

TEST(StringsTest, ReplaceWithoutCaseAndPageTitle) {
  EXPECT_EQ("a x b x", replace_no_case("a {{T}} b {{t}}", "{{T}}", "x"));
  // The replacement is not scanned again; matches never overlap.
  EXPECT_EQ("{{T}}{{T}}", replace_no_case("{{T}}", "{{t}}", "{{T}}{{T}}"));
  EXPECT_EQ("ba", replace_no_case("aaa", "aa", "b"));
  EXPECT_EQ("\xC3\x89", replace_no_case("\xC3\x89", "\xC3\xA9", "e"));  // only ASCII folds

  Language lang;
  EXPECT_EQ("tarnwick", page_title(lang, nullptr));
  lang.values[TITLE_FORMAT] = "Seite {{Title}} | {{TITLE}}";
  EXPECT_EQ("tarnwick", page_title(lang, nullptr));  // the home page keeps its own title
  EXPECT_EQ("Seite FAQ | FAQ", page_title(lang, "FAQ"));
  lang.values[TITLE_FORMAT] = "Fixed";
  EXPECT_EQ("Fixed", page_title(lang, "FAQ"));
}

TEST(TextTest, CutExtensionAndScheme) {
  // Only the last path component loses its extension.
  EXPECT_EQ("http://example.com/faq", cut_extension("http://example.com/faq"));
  EXPECT_EQ("http://example.com/faq", cut_extension("http://example.com/faq.txt"));
  EXPECT_EQ("a.b/c", cut_extension("a.b/c"));
  EXPECT_EQ("archive.tar", cut_extension("archive.tar.gz"));
  EXPECT_EQ("", cut_extension(".txt"));

  EXPECT_TRUE(has_scheme("mailto:someone@example.com"));
  EXPECT_FALSE(has_scheme("/de-de/faq"));
  EXPECT_FALSE(has_scheme("support/a:b"));
}
