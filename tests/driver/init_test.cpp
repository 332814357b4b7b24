// --init: the site it writes builds without a single message, and it never
// writes into a folder that holds anything.

#include <gtest/gtest.h>

#include <filesystem>

#include "driver/init.h"
#include "helpers/fixture.h"

namespace mt::test {
namespace {

TEST(Init, NewSiteBuildsCleanAndNothingIsWrittenOverAFolderThatHoldsAnything) {
  TempDir dir;
  write_file("taken/.hidden", "");
  StringSink messages;
  Diagnostics diag;
  diag.out = &messages;
  EXPECT_EQ(1, init_site("taken", diag));
  EXPECT_EQ(0, init_site("site", diag));
  EXPECT_EQ("error: taken is not empty\n", messages.text);
  EXPECT_EQ(1, diag.errors);
  EXPECT_FALSE(exists("taken/en-us.txt"));

  std::filesystem::current_path("site");
  RunResult r = run_tool({"out", "http://x"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("maketarnwick: builds the tarnwick web site\n0 error(s), 0 warning(s)\n", r.out);
  EXPECT_TRUE(exists("out/en-us/support/wendrel/previous_versions/index.html"));
  EXPECT_TRUE(exists("out/en-us/paypal.donate.png"));
}

}  // namespace
}  // namespace mt::test
