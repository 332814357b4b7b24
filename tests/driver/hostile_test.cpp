// Runs over sites that fight back: odd files where texts belong, links and
// values that try to leave the site, names that are not plain ASCII.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "driver/build.h"
#include "helpers/fixture.h"

namespace fs = std::filesystem;

namespace mt::test {
namespace {

/// Every file below `root`, by its path below `root`, with its bytes.
std::map<std::string, std::string> snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files[entry.path().string().substr(root.size())] = read_file(entry.path().string());
  }
  return files;
}

TEST(Hostile, BrokenFilesWhereTextsBelong) {
#ifdef _WIN32
  GTEST_SKIP() << "makes POSIX symbolic links";
#else
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("en-us/home.txt", "[[gone.png]]\n");
  fs::create_symlink("nowhere.txt", "en-us/faq.txt");              // dangling template
  fs::create_directories("en-us/about.txt");                       // a folder where a template belongs
  write_file("en-us/support/Real.txt", "=Real=\n");
  fs::create_symlink("nowhere.txt", "en-us/support/Dangling.txt");  // dangling support page
  fs::create_symlink("nowhere.png", "en-us/gone.png");              // dangling referenced file
  std::string out = run_tool({"out", "http://x"}).out;
  // Each build (en-us, then the root) reports each of them and goes on.
  for (const char* message : {"en-us: error: cant open en-us/faq.txt\n", "en-us: error: cant open en-us/about.txt\n",
                              "en-us: error: cant open en-us/support/Dangling.txt\n",
                              "en-us: error: unable to copy file gone.png: 2\n"}) {
    size_t first = out.find(message);
    ASSERT_NE(std::string::npos, first) << message << " in\n" << out;
    EXPECT_NE(std::string::npos, out.find(message, first + 1)) << message;
  }
  EXPECT_TRUE(contains(out, "8 error(s), 0 warning(s)\n")) << out;
  EXPECT_TRUE(fs::exists("out/support/real/index.html"));
  EXPECT_TRUE(fs::exists("out/support/dangling/index.html"));  // written with an empty content column
#endif
}

TEST(Hostile, EmptyAndByteOrderMarkOnlyTexts) {
  for (const std::string& text : {std::string(), std::string("\xEF\xBB\xBF")}) {
    TempDir dir;
    write_file("en-us.txt", full_language_file("English"));
    write_file("xx-xx.txt", text);
    for (const char* name : {"home.txt", "faq.txt", "support/Page.txt", "support/Page/Child.txt"}) {
      write_file(std::string("en-us/") + name, text);
    }
    write_file("en-us/downloads.txt", "{{DONATE_HISTORY}}\n{{SUPPORTED_LANGUAGES}}\n{{PREVIOUS_VERSIONS}}\n");
    for (const char* name : {"donations.csv", "supported_languages.csv", "previous_stable_releases.csv",
                             "{{PREVIOUS_VERSIONS}}.txt"}) {
      write_file(name, text);
    }
    std::string out = run_tool({"out", "http://x"}).out;
    EXPECT_TRUE(contains(out, "xx-xx.txt: error: _LANGUAGE_NAME not set\n")) << out;
    EXPECT_TRUE(contains(out, "1 error(s), 74 warning(s)\n")) << out;
    EXPECT_TRUE(fs::exists("out/support/page/child/index.html"));
    EXPECT_TRUE(contains(read_file("out/support/page/index.html"), "<li class=\"wikinavindent1\"><p><a href=\"http://x/support/page\"><b>Page</b></a></p></li>"));
  }
}

TEST(Hostile, UnusualFileNames) {
#ifdef _WIN32
  GTEST_SKIP() << "needs file names Windows does not allow: '\"' and bytes that are not UTF-8";
#else
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("en-us/home.txt", "[[support/tips_quotes]] [[File:caf\xC3\xA9 \xFF.png]]\n");
  write_file("en-us/caf\xC3\xA9 \xFF.png", "img");
  write_file("en-us/support/01 Tips & \"Quotes\".txt", "text\n");
  write_file("en-us/support/02 \xFF\xFE broken.txt", "text\n");
  std::string out = run_tool({"out", "http://x"}).out;
  EXPECT_EQ("maketarnwick: builds the tarnwick web site\n0 error(s), 0 warning(s)\n", out);
  EXPECT_TRUE(fs::exists("out/support/tips_quotes/index.html"));
  EXPECT_TRUE(fs::exists("out/support/\xFF\xFE_broken/index.html"));
  EXPECT_EQ("img", read_file("out/en-us/caf\xC3\xA9 \xFF.png"));
#endif
}

TEST(Hostile, SupportNamesThatPointAtTheirOwnFolder) {
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  // ".txt", "..txt" and "...txt" name "", "." and "..": scanning their
  // sub-folders would re-enter the folder itself or leave it.
  write_file("en-us/support/.txt", "=Empty=\n");
  write_file("en-us/support/..txt", "=Dot=\n");
  write_file("en-us/support/...txt", "=Dots=\n");
  write_file("en-us/support/Plain.txt", "=Plain=\n");
  std::string out = run_tool({"out", "http://x"}).out;
  EXPECT_TRUE(contains(out, "0 error(s), 0 warning(s)\n")) << out;
  EXPECT_TRUE(fs::exists("out/support/plain/index.html"));
}

TEST(Confinement, NothingLeavesTheSite) {
#ifdef _WIN32
  GTEST_SKIP() << "expected messages spell paths with '/' and uses POSIX chdir";
#else
  TempDir dir;
  fs::create_directories("site");
  write_file("outside.txt", "outside");
  write_file("secret.png", "secret");
  ASSERT_EQ(0, chdir("site"));
  write_file("en-us.txt", full_language_file("English",
                                             "FAQ_TEMPLATE = \"../../outside.txt\"\r\n"
                                             "ABOUT_TEMPLATE = \"/etc/hostname\"\r\n"
                                             "SUPPORT_FOLDER = \"..\"\r\n"));
  write_file("en-us/home.txt", "[[../../outside.txt]] [[File:../secret.png]] [[..\\secret.png]]\n{{SUPPORTED_LANGUAGES}}\n");
  write_file("supported_languages.csv", "Language,Translator,Version\nx,[[../../outside.txt|t]],1\n");
  std::string out = run_tool({"../out", "http://x"}).out;
  ASSERT_EQ(0, chdir(".."));
  for (const char* message : {"en-us.txt: error: unsafe path in FAQ_TEMPLATE: ../../outside.txt\n",
                              "en-us.txt: error: unsafe path in ABOUT_TEMPLATE: /etc/hostname\n",
                              "en-us.txt: error: unsafe path in SUPPORT_FOLDER: ..\n",
                              "en-us: error: refusing to copy file outside the site ../../outside.txt\n",
                              "en-us: error: refusing to copy file outside the site ../secret.png\n",
                              "en-us: error: refusing to copy file outside the site ..\\secret.png\n"}) {
    EXPECT_TRUE(contains(out, message)) << message << " in\n" << out;
  }
  // Outside the sources and the output everything is as it was.
  std::set<std::string> top;
  for (const auto& entry : fs::directory_iterator(".")) top.insert(entry.path().filename().string());
  EXPECT_EQ((std::set<std::string>{"out", "outside.txt", "secret.png", "site"}), top);
  EXPECT_EQ("outside", read_file("outside.txt"));
  EXPECT_EQ("secret", read_file("secret.png"));
  EXPECT_FALSE(fs::exists("site/en-us.txt.out"));
  for (const auto& entry : fs::recursive_directory_iterator("site")) {
    EXPECT_FALSE(entry.path().filename() == "index.html") << entry.path();
  }
#endif
}

TEST(Determinism, SameSourcesGiveTheSameTree) {
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("de-de.txt", full_language_file("Deutsch"));
  for (const char* code : {"en-us", "de-de"}) {
    write_file(std::string(code) + "/home.txt", "= Home =\n__TOC__\n== A ==\n[[support/wendrel]]\n");
    write_file(std::string(code) + "/support/01 Wendrel.txt", "=Wendrel=\n* x\n");
    write_file(std::string(code) + "/support/01 Wendrel/b.txt", "=B=\n");
    write_file(std::string(code) + "/support/01 Wendrel/A.txt", "=A=\n");
  }
  run_tool({"one", "http://x"});
  run_tool({"two", "http://x"});
  const std::map<std::string, std::string> one = snapshot("one");
  EXPECT_FALSE(one.empty());
  EXPECT_EQ(one, snapshot("two"));
}

}  // namespace
}  // namespace mt::test
