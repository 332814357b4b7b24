// --pedantic over a site holding every loss a plain run keeps silent
// (tests/driver/pedantic/broken) and over the same site with its sources
// fixed (tests/driver/pedantic/fixed). The whole standard output is compared
// with tests/driver/pedantic/<golden>.out (MT_UPDATE_GOLDEN=1 rewrites them).

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "driver/build.h"
#include "helpers/fixture.h"

namespace fs = std::filesystem;

namespace mt::test {
namespace {

struct PedanticCase {
  const char* what;
  const char* site;
  std::vector<std::string> options;
  const char* golden;
  int status;
};

const PedanticCase kPedanticCases[] = {
    {"each loss named once, at its place", "broken", {"--strict", "--pedantic"}, "broken_pedantic", 2},
    {"a plain run stays silent about them", "broken", {}, "broken_plain", 0},
    {"the fixed sources run clean", "fixed", {"--strict", "--pedantic"}, "fixed_pedantic", 0},
};

TEST(Pedantic, FixtureSites) {
#ifdef _WIN32
  GTEST_SKIP() << "expected messages spell paths with '/'";
#endif
  const char* root = std::getenv("MT_SOURCE_DIR");
  const std::string fixtures = std::string(root ? root : ".") + "/tests/driver/pedantic/";
  for (const PedanticCase& c : kPedanticCases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    fs::copy(fixtures + c.site, "site", fs::copy_options::recursive);
    ASSERT_EQ(0, chdir("site"));
    // The feed and the logo are expected in the output folder, as release
    // files are; the broken site lacks them.
    if (std::string(c.site) == "fixed") {
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
