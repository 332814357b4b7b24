#include "lang/strings.h"

#include <gtest/gtest.h>

#include "lang/text.h"

using namespace mt;

TEST(StringsTest, IndexById) {
  EXPECT_EQ(0, string_index_by_id("home"));
  EXPECT_EQ(0, string_index_by_id("Home"));
  EXPECT_EQ(30, string_index_by_id("support_folder"));
  EXPECT_EQ(73, string_index_by_id("DOWNLOAD_WENDREL_OFFLINE_HELP"));
  EXPECT_EQ(-1, string_index_by_id("HOMES"));
  EXPECT_EQ(-1, string_index_by_id("HOM"));
  EXPECT_EQ(-1, string_index_by_id(""));
  EXPECT_EQ(-1, string_index_by_id(std::string(5000, 'A')));
  // Every id finds its own index, whatever its case.
  for (int i = 0; i < kStringCount; ++i) EXPECT_EQ(i, string_index_by_id(ascii_lower(kStringTable[i].id)));
}

TEST(StringsTest, ReplaceWithoutCase) {
  EXPECT_EQ("FAQ - tarnwick", replace_no_case("{{TITLE}} - tarnwick", "{{title}}", "FAQ"));
  EXPECT_EQ("a x b x", replace_no_case("a {{T}} b {{t}}", "{{T}}", "x"));
  // The replacement is not scanned again; matches never overlap.
  EXPECT_EQ("{{T}}{{T}}", replace_no_case("{{T}}", "{{t}}", "{{T}}{{T}}"));
  EXPECT_EQ("ba", replace_no_case("aaa", "aa", "b"));
  EXPECT_EQ("no token", replace_no_case("no token", "{{TITLE}}", "x"));
  EXPECT_EQ("\xC3\x89", replace_no_case("\xC3\x89", "\xC3\xA9", "e"));  // only ASCII folds
}

TEST(StringsTest, PageTitle) {
  Language lang;
  EXPECT_EQ("tarnwick", page_title(lang, nullptr));
  EXPECT_EQ("FAQ - tarnwick", page_title(lang, "FAQ"));
  lang.values[TITLE_FORMAT] = "Seite {{Title}} | {{TITLE}}";
  EXPECT_EQ("tarnwick", page_title(lang, nullptr));
  EXPECT_EQ("Seite FAQ | FAQ", page_title(lang, "FAQ"));
  lang.values[TITLE_FORMAT] = "Fixed";
  EXPECT_EQ("Fixed", page_title(lang, "FAQ"));
}

TEST(TextTest, CutExtensionAndScheme) {
  EXPECT_EQ("http://example.com/faq", cut_extension("http://example.com/faq"));
  EXPECT_EQ("http://example.com/faq", cut_extension("http://example.com/faq.txt"));
  EXPECT_EQ("a.b/c", cut_extension("a.b/c"));
  EXPECT_EQ("archive.tar", cut_extension("archive.tar.gz"));
  EXPECT_EQ("", cut_extension(".txt"));

  EXPECT_TRUE(has_scheme("http://example.com"));
  EXPECT_TRUE(has_scheme("mailto:someone@example.com"));
  EXPECT_FALSE(has_scheme("/de-de/faq"));
  EXPECT_FALSE(has_scheme("support/a:b"));
  EXPECT_FALSE(has_scheme("faq"));
}
