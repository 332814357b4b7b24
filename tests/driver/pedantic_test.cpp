// --pedantic over a site holding every loss a plain run keeps silent
// (tests/driver/pedantic/broken) and over the same site with its sources
// fixed (the files of tests/driver/pedantic/fixed laid over it). The whole
// standard output is compared with tests/driver/pedantic/<golden>.out
// (MT_UPDATE_GOLDEN=1 rewrites them).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "driver/build.h"
#include "helpers/fixture.h"

namespace fs = std::filesystem;

namespace mt::test {
namespace {

/// The complete language file with `edits`: each replaces the line that
/// starts with its key, or is added at the end.
std::string language_file(const std::vector<std::pair<std::string, std::string>>& edits) {
  std::string text = full_language_file("English");
  for (const auto& [key, line] : edits) {
    const size_t at = text.find("\n" + key + " = ");
    if (at == std::string::npos) {
      text += line + "\r\n";
    } else {
      text.replace(at + 1, text.find('\r', at) - at - 1, line);
    }
  }
  return text;
}

TEST(Pedantic, FixtureSites) {
#ifdef _WIN32
  GTEST_SKIP() << "expected messages spell paths with '/'";
#endif
  const char* root = std::getenv("MT_SOURCE_DIR");
  const std::string fixtures = std::string(root ? root : ".") + "/tests/driver/pedantic/";
  const struct {
    const char* what;
    bool fixed;
    std::vector<std::string> options;
    const char* golden;
    int status;
  } cases[] = {
      {"each loss named once, at its place", false, {"--strict", "--pedantic"}, "broken_pedantic", 2},
      {"a plain run stays silent about them", false, {}, "broken_plain", 0},
      {"the fixed sources run clean", true, {"--strict", "--pedantic"}, "fixed_pedantic", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    fs::copy(fixtures + "broken", "site", fs::copy_options::recursive);
    fs::current_path("site");
    write_file("en-us.old.txt", full_language_file("English"));  // a second file for the same language
    write_file("en-us.txt", language_file({{"DOWNLOADS", "DOWNLOADS = Downloads"},
                                           {"FAQ", "FAQ \"FAQ\""},
                                           {"ABOUT", "ABOUT = \"About tarnwick"},
                                           {"", "CONTACT = \"Contact us\""},
                                           {"", "DOWNLAODS = \"Downloads\""},
                                           {"", "COLOUR = \"blue\""}}));
    if (c.fixed) {
      fs::copy(fixtures + "fixed", ".", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
      fs::remove("en-us.old.txt");
      fs::remove("en-us/support/2-Install.txt");
      write_file("en-us.txt", full_language_file("English"));
      // The feed and the logo are expected in the output folder, as release
      // files are; the broken site lacks them.
      write_file("../out/rss.xml", "feed");
      write_file("../out/tarnwick9.png", "logo");
    }
    StringSink out;
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"../out", "http://x"});
    EXPECT_EQ(c.status, run(args, out, fixed_year));
    const std::string golden = fixtures + c.golden + ".out";
    if (std::getenv("MT_UPDATE_GOLDEN")) {
      std::ofstream(golden, std::ios::binary) << out.text;
    } else {
      EXPECT_EQ(read_file(golden), out.text);
    }
  }
}

}  // namespace
}  // namespace mt::test
