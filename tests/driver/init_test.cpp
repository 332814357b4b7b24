// --init: the site it writes builds without a single message.

#include <gtest/gtest.h>
#include <unistd.h>

#include "driver/init.h"
#include "helpers/fixture.h"

namespace mt::test {
namespace {

TEST(Init, NewSiteBuildsClean) {
  TempDir dir;
  StringSink messages;
  Diagnostics diag;
  diag.out = &messages;
  ASSERT_EQ(0, init_site("site", diag));
  EXPECT_EQ("", messages.text);

  ASSERT_EQ(0, chdir("site"));
  RunResult r = run_tool({"out", "http://x"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("maketarnwick: builds the tarnwick web site\n0 error(s), 0 warning(s)\n", r.out);
  EXPECT_TRUE(exists("out/en-us/support/wendrel/previous_versions/index.html"));
  EXPECT_TRUE(exists("out/en-us/paypal.donate.png"));
}

TEST(Init, RefusesAFolderThatHoldsAnything) {
  TempDir dir;
  write_file("site/.hidden", "");
  StringSink messages;
  Diagnostics diag;
  diag.out = &messages;
  EXPECT_EQ(1, init_site("site", diag));
  EXPECT_EQ("error: site is not empty\n", messages.text);
  EXPECT_EQ(1, diag.errors);
  EXPECT_FALSE(exists("site/en-us.txt"));
}

}  // namespace
}  // namespace mt::test
