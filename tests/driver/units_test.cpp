// Language builds run side by side must write and say exactly what a run of
// one language after the other does: the same files, the same messages in
// the same order (--pedantic's say-it-once places included).

#include <gtest/gtest.h>

#include <filesystem>

#include "driver/build.h"
#include "driver/kept_build.h"
#include "helpers/fixture.h"

namespace fs = std::filesystem;

namespace mt::test {
namespace {

int year() { return 2026; }

// A run's messages and its output tree; the output folder is left empty.
std::pair<std::string, std::map<std::string, std::string>> run(BuildConfig config, int threads) {
  config.threads = threads;
  StringSink out;
  build_site(config, out, year);
  auto files = file_tree("out");
  fs::remove_all("out");
  return {out.text, files};
}

// Three languages (two files of one code among them) sharing a page text
// with an unknown macro, open emphasis and a broken link, a table, pages of
// one language only, a root language twice.
void make_site(bool linked) {
  for (const char* code : {"en-us", "de-de", "fr-fr", "de-DE"}) {
    write_file(std::string(code) + ".txt", full_language_file(code));
  }
  const std::pair<const char*, const char*> made[] = {
      {"en-us/home.txt", "=Home=\n{{PREVIOUS_VERSIONS}}\n[[/nowhere|x]]\n"},
      {"en-us/faq.txt", "=FAQ=\n'''open\n* item\n{{DOWNLOAD_WENDREL}}\n"},
      {"en-us/support/01-A.txt", "=A=\n[[/de-de/support/b|b]]\n"},
      {"de-de/home.txt", "=Heim=\n{{PREVIOUS_VERSIONS}}\n{{SUPPORTED_LANGUAGES}}\n"},
      {"de-de/support/01-B.txt", "=B=\n[[/en-us/support/a|a]]\n"},
      {"fr-fr/home.txt", "=Accueil=\n{{PREVIOUS_VERSIONS}}\n"},
      {"{{PREVIOUS_VERSIONS}}.txt", "=Old=\n{{NO_SUCH_MACRO}}\n''italic\n[[/gone|g]]\n"},
      {"supported_languages.csv", "a,b\n1\n"},
  };
  for (const auto& [path, text] : made) write_file(path, text);
  if (linked) write_file("maketarnwick.conf", "ALTERNATE_LINKS = \"on\"\nLANGUAGE_SWITCH = \"on\"\n");
}

TEST(Units, ParallelAsSequential) {
  struct Row {
    const char* what;
    bool example;  // the example site, else the site above
    bool pedantic, prune, linked;
  };
  const Row rows[] = {
      {"example site", true, false, false, false},
      {"example site, --pedantic --prune", true, true, true, false},
      {"made site", false, false, false, false},
      {"made site, --pedantic", false, true, false, false},
      {"made site, --pedantic --prune, languages linked", false, true, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    if (row.example) {
      fs::copy(source_path("examples/site"), ".", fs::copy_options::recursive);
    } else {
      make_site(row.linked);
    }
    BuildConfig config;
    config.output_root = "out";
    config.url_root = "http://x";
    config.pedantic = row.pedantic;
    config.prune = row.prune;
    const auto sequential = run(config, 1);
    EXPECT_TRUE(contains(sequential.first, "error(s)"));
    EXPECT_GT(sequential.second.size(), 10u);
    // The shared text is converted by every language; its places are named once.
    if (!row.example) {
      EXPECT_EQ(row.pedantic ? 1u : 0u, count(sequential.first, "NO_SUCH_MACRO")) << sequential.first;
    }
    for (int threads : {2, 3, 8}) {
      const auto parallel = run(config, threads);
      EXPECT_EQ(sequential.first, parallel.first) << threads;
      EXPECT_TRUE(sequential.second == parallel.second) << threads;
    }
  }
}

// The preview redoes the default language and the root side by side. Where
// the root writes into the language's folder (a file of the language's
// folder named like its code), the root's file must still win, as in a
// build of one after the other; a link to a language kept from the last
// build leads somewhere.
TEST(Units, DefaultLanguageBesideRoot) {
  struct Row {
    const char* what;
    const char* home;
  };
  const Row rows[] = {
      {"root writes outside the language folder", "=Home=\n[[x.png]]\n[[/de-de/support/b|b]]\n"},
      {"root writes into the language folder", "=Home=\n[[x.png]] [[en-us/x.png]]\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    for (const char* code : {"en-us", "de-de"}) write_file(std::string(code) + ".txt", full_language_file(code));
    write_file("de-de/home.txt", "=Heim=\n");
    write_file("de-de/support/01-B.txt", "=B=\n");
    write_file("en-us/x.png", "outer");
    write_file("en-us/en-us/x.png", "inner");
    write_file("en-us/home.txt", row.home);
    BuildConfig config;
    config.output_root = "out";
    KeptBuild kept;
    StringSink out;
    build_site(config, out, year, nullptr, &kept);
    write_file("en-us/home.txt", std::string(row.home) + "edited\n");
    kept.next = {false, {"en-us"}, {}};
    build_site(config, out, year, nullptr, &kept);
    EXPECT_TRUE(contains(out.text, "building only en-us")) << out.text;
    EXPECT_FALSE(contains(out.text, "broken url")) << out.text;
    const auto partial = file_tree("out");
    fs::remove_all("out");
    EXPECT_EQ(partial, run(config, 1).second);
  }
}

// The lines of `messages` that hold `part`.
std::string lines_with(const std::string& messages, std::string_view part) {
  std::string lines;
  for (size_t at = 0, end; at < messages.size(); at = end + 1) {
    end = std::min(messages.find('\n', at), messages.size());
    if (contains(messages.substr(at, end - at), part)) lines += messages.substr(at, end - at + 1);
  }
  return lines;
}

// A preview build that redoes one language takes the others' part from the
// last build: the same files (--prune removes none of theirs), the same
// broken links, and a place a kept language warned of first is not warned
// of again.
TEST(Units, PartialBuildAsWhole) {
  for (const char* code : {"fr-fr", "en-us", "de-de"}) {
    SCOPED_TRACE(code);
    TempDir dir;
    make_site(false);
    BuildConfig config;
    config.output_root = "out";
    config.pedantic = config.prune = true;
    KeptBuild kept;
    StringSink first, out;
    build_site(config, first, year, nullptr, &kept);
    write_file(std::string(code) + "/home.txt", "=Edited=\n{{PREVIOUS_VERSIONS}}\n[[/de-de/support/bb|y]]\n");
    kept.next = {false, {code}, {}};
    build_site(config, out, year, nullptr, &kept);
    EXPECT_TRUE(contains(out.text, std::string("building only ") + code)) << out.text;
    EXPECT_EQ(code == std::string("de-de") ? 1u : 0u, count(out.text, "NO_SUCH_MACRO")) << out.text;
    const auto partial = file_tree("out");
    fs::remove_all("out");
    const auto whole = run(config, 1);
    EXPECT_EQ(lines_with(whole.first, "broken url"), lines_with(out.text, "broken url"));
    EXPECT_EQ(partial, whole.second);
  }
}

// A preview build of a language built again before renders only the pages
// whose sources the edit names or that read a string, table or release file
// it changed, and only while the support tree and templates there are as
// they were; it writes and says what a whole build does, a --pedantic place
// first met by a page taken included.
TEST(Units, PagesTakenAsRendered) {
  struct Row {
    const char* what;
    const char* path;  // written, then named as the edit
    const char* text;
    size_t taken;  // of de-de's 9 pages (the two that write one file never), en-us's and the root's home
  };
  static const std::string kTwoKilobytes(2048, 'z');
  const Row rows[] = {
      {"a support page's body", "de-de/support/02-B/01-C.txt", "=C=\nnew [[/de-de/nowhere|n]]\n", 6},
      {"a support page's title", "de-de/support/02-B/01-C.txt", "=Sea=\n", 0},
      {"a template", "de-de/faq.txt", "=FAQ=\n{{NO_SUCH}}\n", 6},
      {"the page that warned first no longer does", "de-de/support/01-A.txt", "=A=\n", 6},
      {"one of two pages that write one file", "de-de/support/04-E.txt", "=E=\nfirst\n", 7},
      {"a string every page shows", "de-de.txt", "FAQ = \"Fragen\"\r\n", 0},
      {"a string one page shows", "de-de.txt", "DONATE_FORM_DONATE = \"Spenden\"\r\n", 6},
      {"a title only its page shows", "de-de.txt", "DONATED = \"Danke\"\r\n", 0},
      {"the language file, its strings the same", "de-de.txt", "// note\n", 7},
      {"a linked file", "de-de/x.png", "png", 7},
      {"a text of no page", "de-de/notes.txt", "=N=\n", 0},
      {"the support tree", "de-de/support/03-D.txt", "=D=\n", 0},
      {"a table: every language's pages that show it", "donations.csv", "date,name,comment,amount\n", 8},
      {"a release file: the pages that show its size", "release/Wendrel-SDK.zip", kTwoKilobytes.c_str(), 8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    for (const char* code : {"en-us", "de-de"}) write_file(std::string(code) + ".txt", full_language_file(code));
    const std::pair<const char*, const char*> made[] = {
        {"de-de/home.txt", "=Heim=\n[[x.png]]\n"},
        {"de-de/faq.txt", "=FAQ=\n{{DONATE_FORM}}\n"},
        {"de-de/donated.txt", "=Thanks=\n{{DONATE_HISTORY}}\n"},
        {"donations.csv", "date,name,comment,amount\n2026-01-01,A,,5\n"},
        {"de-de/downloads.txt", "=DL=\n{{DOWNLOAD_WENDREL_SDK}}\n"},
        {"maketarnwick.conf", "RELEASE_FOLDER = \"release\"\n"},
        {"release/Wendrel-SDK.zip", "zip"},
        {"de-de/support/01-A.txt", "=A=\n{{PREVIOUS_VERSIONS}}\n"},
        {"de-de/support/02-B.txt", "=B=\n{{PREVIOUS_VERSIONS}}\n[[/de-de/support/b/c#c|c]]\n"},
        {"de-de/support/02-B/01-C.txt", "=C=\n"},
        {"de-de/support/04-E.txt", "=E=\n"},
        {"de-de/support/05-E.txt", "=E=\nlast\n"},
        {"de-de/x.png", "gif"},
        {"en-us/home.txt", "=Home=\n"},
        {"{{PREVIOUS_VERSIONS}}.txt", "=Old=\n{{NO_SUCH_MACRO}}\n"},
    };
    for (const auto& [path, text] : made) write_file(path, text);
    BuildConfig config;
    config.output_root = "out";
    config.pedantic = config.prune = true;
    KeptBuild kept;
    StringSink first, out;
    build_site(config, first, year, nullptr, &kept);
    // A whole build keeps no pages; the first build of the language again does.
    const std::string path = row.path;
    kept.next = scope_of(WatchChanges{false, {path}});
    build_site(config, first, year, nullptr, &kept);
    if (path == "de-de.txt") {
      // A line "KEY = ..." in the row takes the place of the key's line;
      // another line is added.
      std::string text = full_language_file("de-de");
      const std::string line = row.text;
      const size_t at = text.find("\n" + line.substr(0, line.find(" = ") + 3));
      if (at == std::string::npos) text += line;
      else text.replace(at + 1, text.find('\n', at + 1) - at, line);
      write_file(path, text);
    } else {
      write_file(path, row.text);
    }
    kept.next = scope_of(WatchChanges{false, {path}});
    RunReport report;
    build_site(config, out, year, &report, &kept);
    EXPECT_EQ(row.taken, report.pages_taken) << out.text;
    const auto partial = file_tree("out");
    fs::remove_all("out");
    const auto whole = run(config, 1);
    for (const char* part : {"de-de/", "{{PREVIOUS_VERSIONS}}", "broken url"}) {
      EXPECT_EQ(lines_with(whole.first, part), lines_with(out.text, part)) << part;
    }
    EXPECT_EQ(partial, whole.second);
  }
}

}  // namespace
}  // namespace mt::test
