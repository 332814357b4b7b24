#include "platform/watch.h"

#include <gtest/gtest.h>

#include <memory>

#include "helpers/fixture.h"

namespace {

using mt::test::write_file;

// Both watches: a change anywhere in the sources wakes the loop, a change in
// the output folder (which every build rewrites) never does, or each build
// would start the next.
TEST(WatchTest, SeesSourcesButNotTheOutput) {
  using Open = std::unique_ptr<mt::FolderWatch> (*)(const std::string&, const std::string&);
  for (Open open : {Open(&mt::watch_folder), Open(&mt::poll_folder)}) {
    mt::test::TempDir dir;
    write_file("site/en-us/faq.txt", "a\n");
    write_file("site/out/index.html", "a\n");
    std::unique_ptr<mt::FolderWatch> watch = open("site", "site/out");
    EXPECT_FALSE(watch->wait(700));

    write_file("site/out/faq/index.html", "b\n");
    write_file("site/out/index.html", "bb\n");
    EXPECT_FALSE(watch->wait(700)) << "a write to the output";

    write_file("site/en-us/faq.txt", "changed\n");
    EXPECT_TRUE(watch->wait(1500)) << "an edited page text";
    while (watch->wait(700)) {
    }
    // A folder made after the watch started is watched as well.
    write_file("site/en-us/support/new/page.txt", "x\n");
    while (watch->wait(700)) {
    }
    write_file("site/en-us/support/new/page.txt", "longer\n");
    EXPECT_TRUE(watch->wait(1500)) << "a page in a new folder";
  }
}

}  // namespace
