// End-to-end runs of the tool over small fixture sites in a temporary folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <new>

#include "driver/build.h"
#include "helpers/fixture.h"

namespace mt::test {
namespace {

const std::string kBanner = "maketarnwick: builds the tarnwick web site\n";

TEST(BuildRun, UsageAndOutputRoot) {
#ifdef _WIN32
  GTEST_SKIP() << "uses POSIX mkdir";
#else
  TempDir dir;
  const std::string usage =
      "\nusage:\nmaketarnwick.exe <output folder> <url root>\n\nexample:\n"
      "maketarnwick.exe c:\\dev\\wendrel\\tarnwick file://c:/dev/wendrel/tarnwick\n";
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"out"}, {"out", "http://x", "more"}}) {
    RunResult r = run_tool(args);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(kBanner + usage, r.out);
    EXPECT_FALSE(exists("out"));
  }

  write_file("taken", "a file, not a folder");
  for (const char* root : {"taken", "no/such/parent"}) {
    RunResult r = run_tool({root, "http://x"});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(kBanner + "Unable to created output folder\n", r.out);
  }

  // No language files: nothing is built, the summary is still printed.
  ASSERT_EQ(0, mkdir("out", 0777));
  RunResult empty = run_tool({"out", "http://x"});
  EXPECT_EQ(0, empty.status);
  EXPECT_EQ(kBanner + "0 error(s), 0 warning(s)\n", empty.out);
  EXPECT_FALSE(exists("out/index.html"));
#endif
}

TEST(BuildRun, SubSitesInLoadOrderThenDefaultAtRoot) {
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("de-de.txt", full_language_file("Deutsch"));
  write_file("de-de/home.txt", "Hallo [[nope-de]]\n");
  write_file("en-us/home.txt", "Hello [[nope-en]] [[faq]]\n");
  write_file("en-us/faq.txt", "Questions\n");

  RunResult r = run_tool({"out", "http://x"});
  EXPECT_EQ(0, r.status);
  // Warnings come in recording order: de-de, en-us, then the root build,
  // whose URLs start right after the URL root.
  EXPECT_EQ(kBanner +
                "home.txt:1: warning: broken url /de-de/nope-de\n"
                "home.txt:1: warning: broken url /en-us/nope-en\n"
                "home.txt:1: warning: broken url /nope-en\n"
                "0 error(s), 3 warning(s)\n",
            r.out);
  EXPECT_TRUE(contains(read_file("out/de-de/index.html"), "Hallo"));
  EXPECT_TRUE(contains(read_file("out/en-us/index.html"), "Hello"));
  EXPECT_TRUE(contains(read_file("out/index.html"), "Hello"));
  EXPECT_TRUE(contains(read_file("out/faq/index.html"), "Questions"));
  EXPECT_TRUE(contains(read_file("out/en-us/faq/index.html"), "Questions"));
  EXPECT_FALSE(exists("out/de-de/faq"));  // no template, no page, no message
  // Each build has its own contact script.
  EXPECT_TRUE(contains(read_file("out/sendemail.php"), "header( \"Location: http://x/contactok\" );"));
  EXPECT_TRUE(exists("out/en-us/sendemail.php"));
  EXPECT_TRUE(contains(read_file("out/de-de/sendemail.php"), "header( \"Location: http://x/de-de/contactok\" );"));

  // A second run over the same output replaces the pages.
  write_file("en-us/home.txt", "Again\n");
  EXPECT_EQ(0, run_tool({"out", "http://x"}).status);
  EXPECT_TRUE(contains(read_file("out/index.html"), "Again"));
  EXPECT_FALSE(contains(read_file("out/index.html"), "Hello"));
}

TEST(BuildRun, HomePageIsKnownWhereItIsWritten) {
  // Regression: the home page was declared under its template name
  // (".../home"), which leads nowhere, while links to the real home page
  // were reported as broken.
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("en-us/home.txt", "= Intro =\n");
  write_file("en-us/faq.txt", "[[/en-us/]] [[/en-us#intro]] [[/en-us/#intro]] [[/]] [[home]]\n");
  RunResult r = run_tool({"out", "http://x"});
  EXPECT_EQ(kBanner +
                "faq.txt:1: warning: broken url /en-us/home\n"
                "faq.txt:1: warning: broken url /home\n"
                "0 error(s), 2 warning(s)\n",
            r.out);
}

TEST(BuildRun, FirstLanguageIsTheDefaultWithoutEnUs) {
  TempDir dir;
  write_file("fr-fr.txt", full_language_file("Francais"));
  write_file("DE-DE.txt", full_language_file("Deutsch"));
  write_file("de-de/home.txt", "Hallo\n");
  write_file("fr-fr/home.txt", "Bonjour\n");
  RunResult r = run_tool({"out", "http://x"});
  EXPECT_EQ(kBanner + "0 error(s), 0 warning(s)\n", r.out);
  EXPECT_TRUE(contains(read_file("out/index.html"), "Hallo"));
  EXPECT_TRUE(exists("out/de-de/index.html"));
  EXPECT_TRUE(exists("out/fr-fr/index.html"));
}

TEST(BuildRun, PageWidthsAndSupportTitles) {
  // ru-ru pages are wider in both layouts; a support page carries its own
  // name as title and marks the support menu item.
  TempDir dir;
  for (const std::string code : {"de-de", "ru-ru"}) {
    write_file(code + ".txt", full_language_file(code));
    write_file(code + "/home.txt", "Home\n");
    write_file(code + "/support/01-Getting Started.txt", "Text\n");
  }
  EXPECT_EQ(kBanner + "0 error(s), 0 warning(s)\n", run_tool({"out", "http://x"}).out);
  const struct {
    const char* file;
    const char* part;
    size_t times;
  } rows[] = {
      {"de-de/index.html", "content=\"width=720\">", 1},
      {"de-de/index.html", "width:720px;", 6},  // body and five centred columns
      {"ru-ru/index.html", "content=\"width=800\">", 1},
      {"ru-ru/index.html", "width:800px;", 6},
      {"ru-ru/index.html", "720", 0},
      {"de-de/support/getting_started/index.html", "content=\"width=920\">", 1},
      {"de-de/support/getting_started/index.html", "width:224px;", 1},
      {"ru-ru/support/getting_started/index.html", "content=\"width=1000\">", 1},
      {"ru-ru/support/getting_started/index.html", "width:1000px;", 2},
      {"ru-ru/support/getting_started/index.html", "width:304px;", 1},
      {"ru-ru/support/getting_started/index.html", "<title>Getting Started - tarnwick</title>", 1},
      {"ru-ru/support/getting_started/index.html", "<div class=\"curmenuitem\"><a href=\"http://x/ru-ru/support/", 1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.times, count(read_file(std::string("out/") + row.file), row.part)) << row.file << ": " << row.part;
  }
}

TEST(PageFiles, ReferencedFilesCopied) {
#ifdef _WIN32
  GTEST_SKIP() << "expected messages spell paths with '/' and POSIX error numbers";
#else
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("en-us/home.txt", "[[License.txt]] [[images/a.png]] [[license.TXT]]\n");
  write_file("en-us/License.txt", "terms");
  write_file("en-us/images/a.png", "png");
  RunResult r = run_tool({"out", "http://x"});
  // The images folder does not exist in the output, so that copy fails, in
  // each build (en-us and the root).
  EXPECT_EQ(kBanner +
                "en-us: error: unable to copy file images/a.png: 2\n"
                "en-us: error: unable to copy file images/a.png: 2\n"
                "2 error(s), 0 warning(s)\n",
            r.out);
  EXPECT_EQ("terms", read_file("out/en-us/License.txt"));
  EXPECT_EQ("terms", read_file("out/License.txt"));
#endif
}

TEST(PageFiles, ExtensionCutOnlyInLastComponent) {
  // Regression: cutting at the last '.' of the whole URL made the page
  // "http://example" and every link to it broken.
  TempDir dir;
  write_file("en-us.txt", full_language_file("English", "FAQ_TEMPLATE = \"faq\"\r\n"));
  write_file("en-us/home.txt", "[[faq]]\n");
  write_file("en-us/faq", "Questions\n");
  RunResult r = run_tool({"out", "http://example.com"});
  EXPECT_EQ(kBanner + "0 error(s), 0 warning(s)\n", r.out);
  EXPECT_TRUE(contains(read_file("out/en-us/faq/index.html"), "Questions"));
}

TEST(PageFiles, UncreatablePageIsReportedAndSkipped) {
#ifdef _WIN32
  GTEST_SKIP() << "expected messages spell paths with '/'";
#else
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("en-us/home.txt", "Home\n");
  write_file("en-us/faq.txt", "Questions\n");
  write_file("out/en-us/faq", "a file where the page folder belongs");
  RunResult r = run_tool({"out", "http://x"});
  EXPECT_EQ(kBanner + "en-us: error: failed to create out/en-us/faq/index.html: Not a directory\n1 error(s), 0 warning(s)\n", r.out);
  EXPECT_TRUE(exists("out/en-us/index.html"));
  EXPECT_TRUE(exists("out/faq/index.html"));
#endif
}

TEST(PageFiles, PageFolderTimeRefreshed) {
#ifdef _WIN32
  GTEST_SKIP() << "uses POSIX mkdir, utime and stat";
#else
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("en-us/faq.txt", "Questions\n");
  ASSERT_EQ(0, mkdir("out", 0777));
  ASSERT_EQ(0, mkdir("out/faq", 0777));
  write_file("out/faq/index.html", "old");
  struct utimbuf old_times = {1000000000, 1000000000};
  ASSERT_EQ(0, utime("out/faq", &old_times));  // the file write alone would not touch the folder
  run_tool({"out", "http://x"});
  struct stat st {};
  ASSERT_EQ(0, stat("out/faq", &st));
  EXPECT_GT(st.st_mtime, std::time(nullptr) - 600);
#endif
}

TEST(OutOfMemory, EndsTheRunWithStatusOne) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator reports huge allocations itself";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the sanitizer's allocator reports huge allocations itself";
#endif
#endif
  EXPECT_EXIT(
      {
        std::set_new_handler(out_of_memory);
        volatile size_t huge = static_cast<size_t>(1) << 62;
        char* p = new char[huge];
        p[0] = 1;
      },
      testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace mt::test
