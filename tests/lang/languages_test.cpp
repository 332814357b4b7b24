#include "lang/languages.h"

#include <gtest/gtest.h>

#include <tuple>

#include "helpers/fixture.h"
#include "markup/localised.h"
#include "platform/text.h"
#include "site/strings.h"

namespace mt {
namespace {

using test::full_language_file;
using test::write_file;

struct Loader {
  test::TempDir dir;
  StringSink sink;
  Diagnostics diag{&sink};
  SourceRoot sources;
  Language load(const std::string& name, const std::string& contents) {
    write_file(name, contents);
    return load_language_file(sources, name, diag);
  }
};

// The messages and their counts.
std::string summary(const Loader& l) {
  return l.sink.text + std::to_string(l.diag.errors) + " error(s), " + std::to_string(l.diag.warnings) + " warning(s)";
}

// The values of `ids`, "|" between them.
std::string values(const Language& lang, std::initializer_list<int> ids) {
  std::string text;
  for (int id : ids) text += (text.empty() ? "" : "|") + lang.value(id);
  return text;
}

TEST(Languages, LineSyntax) {
  Loader l;
  const std::string lines =
      "\xEF\xBB\xBF"
      "FAQ = \"Fragen\"\n"
      "// HOME = \"x\"\n/ HOME = \"x\"\n  \t/HOME = \"x\"\n"  // comments
      "HOME=\"Start\"\nDOWNLOADS  =  \"Herunterladen\" trailing\r\n"
      "SUPPORT = Hilfe\nPRIVACY\ncontact\t=\t\"Kontakt\nforums = \"a\rb\"\r\n"
      "_language_name = \"x\"\n= \"empty key\"\nDONATE = \"first\"\nDONATE = \"second\"\n"
      "_LANGUAGE_TRANSLATOR_LINK = \"x\"\n_LANGUAGE_ENGLISH_NAME = \"German\"\n"
      "_LANGUAGE_NAME_NATIVE = \"Deutsch!\"\n"
      // Refused paths keep their defaults; values that merely look like paths, or name none, are kept.
      "SUPPORT_FOLDER = \"a\\..\"\nERROR404_TEMPLATE = \"..\"\nLICENSE_TEMPLATE = \"C:License.txt\"\n"
      "FAQ_TEMPLATE = \"faq..txt\"\nDONATE_TEMPLATE = \"sub/donate.txt\"\nHOME_TITLE = \"../not a path\"\n"
      // The first 4,095 bytes end inside the PRIVACY value; the rest is a line of its own.
      "PRIVACY = \"" +
      std::string(4095 - 11, 'a') + "WENDREL_HELP = \"Domande\"\nNOT_A_STRING = \"x\"";
  Language lang = l.load("de-de.txt", "\xEF\xBB\xBF" + full_language_file("Deutsch", lines));
  EXPECT_EQ(
      "de-de.txt: warning: unknown string defined _language_name\n"
      "de-de.txt: warning: unknown string defined \n"
      "de-de.txt: error: unsafe path in SUPPORT_FOLDER: a\\..\n"
      "de-de.txt: error: unsafe path in ERROR404_TEMPLATE: ..\n"
      "de-de.txt: warning: unknown string defined NOT_A_STRING\n"
      "2 error(s), 3 warning(s)",
      summary(l));
  EXPECT_EQ(
      "support|error404.txt|C:License.txt|faq..txt|sub/donate.txt|../not a path",
      values(lang, {SUPPORT_FOLDER, ERROR404_TEMPLATE, LICENSE_TEMPLATE, FAQ_TEMPLATE, DONATE_TEMPLATE, HOME_TITLE}));
  EXPECT_EQ(std::string(4084, 'a') + "|Domande", values(lang, {PRIVACY, WENDREL_HELP}));
  EXPECT_EQ("Deutsch!", lang.display_name);  // special keys match by prefix
  EXPECT_EQ("Fragen|Start|Herunterladen|Support|Kontakt|a\rb|second|About tarnwick",
            values(lang, {FAQ, HOME, DOWNLOADS, SUPPORT, CONTACT, FORUMS, DONATE, ABOUT}));
  EXPECT_TRUE(lang.defined.test(ABOUT));  // the English text still counts as defined
}

TEST(Languages, NameDirectionAndUndefinedStrings) {
  const std::tuple<const char*, std::string, const char*, bool, std::string> rows[] = {
      {"ar-sa.txt", "_LANGUAGE_NAME = \"\"\n_LANGUAGE_TEXT_DIRECTION = \"rtl\"\n", "", true,
       "0 error(s), " + std::to_string(kStringCount) + " warning(s)"},
      // Another value leaves the flag set.
      {"he-il.txt", full_language_file("x", "_LANGUAGE_TEXT_DIRECTION = \"RTL\"\n_LANGUAGE_TEXT_DIRECTION = \"LTR\"\n"),
       "x", true, "0 error(s), 0 warning(s)"},
      {"en-gb.txt", full_language_file("x", "_LANGUAGE_TEXT_DIRECTION = \"LTR\"\n"), "x", false,
       "0 error(s), 0 warning(s)"},
      {"fr-fr.txt", "HOME = \"Accueil\"\n", "Unknown", false,
       "fr-fr.txt: error: _LANGUAGE_NAME not set\n1 error(s), " + std::to_string(kStringCount - 1) + " warning(s)"},
  };
  for (const auto& [name, contents, display_name, rtl, end] : rows) {
    Loader l;
    Language lang = l.load(name, contents);
    EXPECT_EQ(display_name, lang.display_name) << name;
    EXPECT_EQ(rtl, lang.rtl) << name;
    EXPECT_TRUE(summary(l).ends_with(end)) << summary(l);
  }
  Loader l;  // a file that cannot be read still gives a record
  EXPECT_EQ("gone", load_language_file(l.sources, "gone.txt", l.diag).code);
  EXPECT_TRUE(summary(l).starts_with("gone.txt: warning: undefined string HOME\n"));
  EXPECT_TRUE(summary(l).ends_with("1 error(s), " + std::to_string(kStringCount) + " warning(s)"));
}

TEST(Languages, LoadsTheWorkingFolderInListingOrder) {
  Loader l;
  for (const char* name : {"pt-br.old.txt", "DE-DE.txt", "En-us.txt", "fr-fr.TXT"}) {
    write_file(name, full_language_file(std::string(name).substr(0, 2) + "\xC3\xA7"));
  }
  for (const char* name : {"{{PREVIOUS_VERSIONS}}.txt", "x.txt/inner.txt", "notes.md", "notes.txt.bak"}) {
    write_file(name, "== Older ==\n");
  }
  std::vector<Language> langs = load_languages(l.sources, l.diag);
  ASSERT_EQ(4u, langs.size());
  EXPECT_EQ("de-de|en-us|fr-fr|pt-br", langs[0].code + "|" + langs[1].code + "|" + langs[2].code + "|" + langs[3].code);
  EXPECT_EQ("pt\xC3\xA7", langs[3].display_name);
  EXPECT_EQ("", l.sink.text);
  EXPECT_EQ(&langs[1], language_by_code(langs, "EN-US"));
  EXPECT_EQ(nullptr, language_by_code(langs, "it-it"));
}

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
  EXPECT_TRUE(has_scheme("mailto:someone@example.com") && !has_scheme("/de-de/faq") && !has_scheme("support/a:b"));
}

TEST(Strings, MenuUrls) {
  // A language's own page names move the menu targets with them.
  test::SiteRecords site;
  site.language().values[FAQ_TEMPLATE] = "fragen.txt";
  EXPECT_EQ("http://x/de-de/fragen", menu_target(site.lang, kMenuFaq).url);
  site.language().values[FORUMS_URL] = "x{{forums_url}}y{{FORUMS_URL}}";
  EXPECT_EQ("x/forumy/forum", menu_target(site.lang, kMenuForums).url);
  test::SiteRecords root("");
  EXPECT_EQ("http://x/support/wendrel", menu_target(root.lang, kMenuSupport).url);
}

}  // namespace
}  // namespace mt
