// The options around a build, end to end: exit status, --prune, the
// configuration file, and nothing on a standard error that is no terminal.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "helpers/fixture.h"

namespace mt::test {
namespace {

namespace fs = std::filesystem;

TEST(Options, ExitStatus) {
  struct Row {
    const char* name;
    const char* home;  // en-us/home.txt; null: none
    std::vector<std::string> args;
    int status;
  };
  const Row rows[] = {
      {"clean, --strict", "=Home=\n", {"--strict", "out", "http://x"}, 0},
      {"warnings only", "[[nowhere]]\n", {"out", "http://x"}, 0},
      {"warnings only, --strict", "[[nowhere]]\n", {"--strict", "out", "http://x"}, 2},
      {"errors, --strict", "{{DOWNLOAD_WENDREL_SDK}}\n", {"--strict", "--", "out", "http://x"}, 2},
      {"errors", "{{DOWNLOAD_WENDREL_SDK}}\n", {"out", "http://x"}, 0},
      {"--help", nullptr, {"--help"}, 0},
      {"--version", nullptr, {"--version"}, 0},
      {"unknown option", nullptr, {"--fast", "out", "http://x"}, 1},
      {"--port without --serve's number", nullptr, {"--port", "x", "out", "http://x"}, 1},
      {"one argument", nullptr, {"--strict", "out"}, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    write_file("en-us.txt", full_language_file("English"));
    if (row.home) write_file("en-us/home.txt", row.home);
    testing::internal::CaptureStderr();
    RunResult r = run_tool(row.args);
    // Progress goes to a terminal only: here standard error is a file.
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ(row.status, r.status) << r.out;
  }
}

TEST(Options, PruneRemovesARenamedSupportPageOnly) {
  TempDir dir;
  write_file("site/en-us.txt", full_language_file("English"));
  write_file("site/en-us/support/01 Old Name.txt", "text\n");
  write_file("out/Wendrel-SDK.zip", "placed by hand");
  fs::current_path("site");
  // The output folder outside the working folder, as on a real site.
  EXPECT_EQ(0, run_tool({"--prune", "../out", "http://x"}).status);
  EXPECT_TRUE(exists("../out/en-us/support/old_name/index.html"));
  fs::rename("en-us/support/01 Old Name.txt", "en-us/support/02 New Name.txt");
  EXPECT_EQ(0, run_tool({"--prune", "../out", "http://x"}).status);
  fs::current_path("..");
  EXPECT_FALSE(exists("out/en-us/support/old_name"));
  EXPECT_FALSE(exists("out/support/old_name"));
  EXPECT_TRUE(exists("out/en-us/support/new_name/index.html"));
  EXPECT_EQ("placed by hand", read_file("out/Wendrel-SDK.zip"));
}

// A configuration file that changes every key: the golden pages show each
// value where it belongs, and nothing of the defaults.
TEST(Options, ConfigurationFileGolden) {
  const char* root = std::getenv("MT_SOURCE_DIR");
  ASSERT_NE(nullptr, root);
  const fs::path golden = fs::path(root) / "tests/golden/config_site";
  TempDir dir;
  fs::copy(golden / "site", ".", fs::copy_options::recursive);
  fs::copy(golden / "release", "out", fs::copy_options::recursive);
  write_file("en-us.txt", full_language_file("English"));
  RunResult r = run_tool({"out", "http://x"});
  EXPECT_EQ(0, r.status);
  auto expected = [&](const char* name) { return read_file((golden / "expected" / name).string()); };
  EXPECT_EQ(expected("messages.txt"), r.out);
  EXPECT_EQ(expected("index.html"), read_file("out/en-us/index.html"));
  EXPECT_EQ(expected("sendemail.php"), read_file("out/en-us/sendemail.php"));
  EXPECT_EQ(expected("support.html"), read_file("out/en-us/support/page/index.html"));
}

}  // namespace
}  // namespace mt::test
