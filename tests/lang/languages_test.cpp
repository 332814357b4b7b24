#include "lang/languages.h"

#include <gtest/gtest.h>

#include "helpers/fixture.h"

using namespace mt;
using mt::test::full_language_file;
using mt::test::TempDir;
using mt::test::write_file;

namespace {

struct Loader {
  StringSink sink;
  Diagnostics diag{&sink};
  Language load(const std::string& name) { return load_language_file(name, diag); }
};

}  // namespace

TEST(LanguagesTest, LineSyntax) {
  TempDir dir;
  Loader l;
  write_file("de-de.txt", "\xEF\xBB\xBF" + full_language_file("Deutsch",
                                                               "\xEF\xBB\xBF" "FAQ = \"Fragen\"\n"
                                                               "// HOME = \"x\"\n"
                                                               "/ HOME = \"x\"\n"
                                                               "  \t/HOME = \"x\"\n"
                                                               "HOME=\"Start\"\n"
                                                               "DOWNLOADS  =  \"Herunterladen\" trailing\r\n"
                                                               "SUPPORT = Hilfe\n"
                                                               "PRIVACY\n"
                                                               "contact\t=\t\"Kontakt\n"
                                                               "forums = \"a\rb\"\r\n"
                                                               "_language_name = \"x\"\n"
                                                               "= \"empty key\"\n"
                                                               "DONATE = \"first\"\nDONATE = \"second\"\n"
                                                               "_LANGUAGE_TRANSLATOR_LINK = \"x\"\n"
                                                               "_LANGUAGE_ENGLISH_NAME = \"German\"\n"
                                                               "_LANGUAGE_NAME_NATIVE = \"Deutsch!\"\n"
                                                               "NOT_A_STRING = \"x\""));
  Language lang = l.load("de-de.txt");
  EXPECT_EQ("de-de.txt: warning: unknown string defined _language_name\n"
            "de-de.txt: warning: unknown string defined \n"
            "de-de.txt: warning: unknown string defined NOT_A_STRING\n",
            l.sink.text);
  EXPECT_EQ(3, l.diag.warnings);
  EXPECT_EQ(0, l.diag.errors);
  EXPECT_EQ("Deutsch!", lang.display_name);  // special keys match by prefix
  EXPECT_EQ("Fragen", lang.value(FAQ));
  EXPECT_EQ("Start", lang.value(HOME));
  EXPECT_EQ("Herunterladen", lang.value(DOWNLOADS));
  EXPECT_EQ("Support", lang.value(SUPPORT));
  EXPECT_EQ("Kontakt", lang.value(CONTACT));
  EXPECT_EQ("a\rb", lang.value(FORUMS));
  EXPECT_EQ("second", lang.value(DONATE));
  EXPECT_EQ("About tarnwick", lang.value(ABOUT));
  EXPECT_TRUE(lang.defined.test(ABOUT));  // the English text still counts as defined
}

TEST(LanguagesTest, NameDirectionAndUndefinedStrings) {
  TempDir dir;
  {
    Loader l;
    write_file("ar-sa.txt", "_LANGUAGE_NAME = \"\"\n_LANGUAGE_TEXT_DIRECTION = \"rtl\"\n");
    Language lang = l.load("ar-sa.txt");
    EXPECT_EQ("", lang.display_name);
    EXPECT_TRUE(lang.rtl);
    EXPECT_EQ(74, l.diag.warnings);  // one per string
    EXPECT_EQ(0, l.diag.errors);
    EXPECT_TRUE(l.sink.text.starts_with("ar-sa.txt: warning: undefined string HOME\n"));
  }
  {
    Loader l;
    write_file("he-il.txt", full_language_file("x", "_LANGUAGE_TEXT_DIRECTION = \"RTL\"\n"
                                                    "_LANGUAGE_TEXT_DIRECTION = \"LTR\"\n"));
    EXPECT_TRUE(l.load("he-il.txt").rtl);  // another value leaves the flag set
    write_file("en-gb.txt", full_language_file("x", "_LANGUAGE_TEXT_DIRECTION = \"LTR\"\n"));
    EXPECT_FALSE(l.load("en-gb.txt").rtl);
    EXPECT_EQ("", l.sink.text);
  }
  {
    Loader l;
    write_file("fr-fr.txt", "HOME = \"Accueil\"\n");
    Language lang = l.load("fr-fr.txt");
    EXPECT_EQ("Unknown", lang.display_name);
    EXPECT_EQ(73, l.diag.warnings);
    EXPECT_EQ(1, l.diag.errors);
    EXPECT_TRUE(l.sink.text.ends_with("string DOWNLOAD_WENDREL_OFFLINE_HELP\nfr-fr.txt: error: _LANGUAGE_NAME not set\n"));
  }
  {
    Loader l;  // a file that cannot be read still gives a record
    Language lang = l.load("gone.txt");
    EXPECT_EQ("gone", lang.code);
    EXPECT_EQ(74, l.diag.warnings);
    EXPECT_EQ(1, l.diag.errors);
  }
}

TEST(LanguagesTest, LongLinesArriveInPieces) {
  TempDir dir;
  Loader l;
  // The first 4,095 bytes end inside the HOME value; the rest of the line is
  // a line of its own that sets FAQ.
  std::string head = "HOME = \"" + std::string(4095 - 8, 'a');
  write_file("it-it.txt", full_language_file("Italiano", head + "FAQ = \"Domande\"\n"));
  Language lang = l.load("it-it.txt");
  EXPECT_EQ(std::string(4087, 'a'), lang.value(HOME));
  EXPECT_EQ("Domande", lang.value(FAQ));
  EXPECT_EQ("", l.sink.text);
}

TEST(LanguagesTest, UnsafePathValuesAreRefused) {
  TempDir dir;
  Loader l;
  write_file("xx.txt",
             "_LANGUAGE_NAME = \"X\"\n"
             "HOME_TEMPLATE = \"/etc/passwd\"\n"
             "SUPPORT_FOLDER = \"a\\..\"\n"
             "LICENSE_TEMPLATE = \"C:License.txt\"\n"
             "ERROR404_TEMPLATE = \"..\"\n"
             "FAQ_TEMPLATE = \"faq..txt\"\n"
             "DONATE_TEMPLATE = \"sub/donate.txt\"\n"
             "HOME = \"../not a path\"\n");
  Language lang = l.load("xx.txt");
  EXPECT_TRUE(l.sink.text.starts_with("xx.txt: error: unsafe path in HOME_TEMPLATE: /etc/passwd\n"
                                 "xx.txt: error: unsafe path in SUPPORT_FOLDER: a\\..\n"
                                 "xx.txt: error: unsafe path in ERROR404_TEMPLATE: ..\n"
                                 "xx.txt: warning: undefined string DOWNLOADS\n"));
  EXPECT_TRUE(test::contains(l.sink.text, "xx.txt: warning: undefined string HOME_TEMPLATE\n"));
  EXPECT_EQ(3, l.diag.errors);
  EXPECT_EQ(70, l.diag.warnings);
  EXPECT_EQ("home.txt", lang.value(HOME_TEMPLATE));
  EXPECT_EQ("support", lang.value(SUPPORT_FOLDER));
  EXPECT_EQ("C:License.txt", lang.value(LICENSE_TEMPLATE));  // no path: never checked
  EXPECT_EQ("error404.txt", lang.value(ERROR404_TEMPLATE));
  EXPECT_EQ("faq..txt", lang.value(FAQ_TEMPLATE));
  EXPECT_EQ("sub/donate.txt", lang.value(DONATE_TEMPLATE));
  EXPECT_EQ("../not a path", lang.value(HOME));
}

TEST(LanguagesTest, LoadsTheWorkingFolderInListingOrder) {
  TempDir dir;
  Loader l;
  write_file("pt-br.old.txt", full_language_file("Português"));
  write_file("DE-DE.txt", full_language_file("Deutsch"));
  write_file("En-us.txt", full_language_file("English"));
  write_file("{{PREVIOUS_VERSIONS}}.txt", "== Older ==\n");
  write_file("fr-fr.TXT", full_language_file("Français"));
  write_file("x.txt/inner.txt", "");
  write_file("notes.md", "");
  write_file("notes.txt.bak", "");
  std::vector<Language> langs = load_languages(l.diag);
  ASSERT_EQ(4u, langs.size());
  EXPECT_EQ("de-de", langs[0].code);
  EXPECT_EQ("en-us", langs[1].code);
  EXPECT_EQ("fr-fr", langs[2].code);
  EXPECT_EQ("pt-br", langs[3].code);
  EXPECT_EQ("Português", langs[3].display_name);
  EXPECT_EQ("", l.sink.text);
  EXPECT_EQ(&langs[1], language_by_code(langs, "EN-US"));
  EXPECT_EQ(nullptr, language_by_code(langs, "it-it"));
}
