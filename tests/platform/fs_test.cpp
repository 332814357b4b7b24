#include "platform/fs.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "helpers/fixture.h"

using namespace mt;
using mt::test::read_file;
using mt::test::TempDir;
using mt::test::write_file;

TEST(FsTest, ResolvesPathsWithoutCase) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows file systems (and wine) find names without case themselves, so paths come "
                  "back as written; tools/windows.sh builds sources named in other case under wine";
#else
  TempDir dir;
  write_file("de-de/support/X.TXT", "upper");
  EXPECT_EQ("de-de/support/X.TXT", resolve_source_path("De-DE/Support/x.txt"));
  EXPECT_EQ("de-de/support/X.TXT", resolve_source_path("de-de/support/x.txt"));
  EXPECT_EQ("De-DE/nope.txt", resolve_source_path("De-DE/nope.txt"));
  EXPECT_EQ("de-de/support/", resolve_source_path("DE-DE/SUPPORT/"));
  EXPECT_TRUE(source_exists("DE-DE/support/x.txt"));
  EXPECT_FALSE(source_exists("de-de/support/y.txt"));
  std::string text;
  ASSERT_TRUE(read_source_file("De-De/Support/x.txt", &text));
  EXPECT_EQ("upper", text);
  EXPECT_FALSE(read_source_file("de-de/support", &text));  // a folder
  ASSERT_EQ(0, symlink("nowhere", "de-de/Dangling.txt"));
  EXPECT_TRUE(source_exists("de-de/dangling.txt"));  // exists, then fails to open
  EXPECT_FALSE(read_source_file("de-de/dangling.txt", &text));

  // An exact match wins over a case-insensitive one.
  write_file("de-de/support/x.txt", "lower");
  EXPECT_EQ("de-de/support/x.txt", resolve_source_path("de-de/support/x.txt"));
  // Among several case variants the first in listing order is taken.
  EXPECT_EQ("de-de/support/X.TXT", resolve_source_path("de-de/support/X.txt"));

  // Absolute paths keep their root.
  std::string absolute = dir.path() + "/DE-DE/support/X.txt";
  EXPECT_EQ(dir.path() + "/de-de/support/X.TXT", resolve_source_path(absolute));
#endif
}

TEST(FsTest, Copies) {
  // Folder creation and failed copies are seen in the build runs.
  TempDir dir;
  int error = 0;
  write_file("src/Page.txt", "new contents");
  write_file("out/page.txt", "old contents that were longer");
  EXPECT_TRUE(copy_source_file("SRC/page.txt", "out/page.txt", &error));
  EXPECT_EQ("new contents", read_file("out/page.txt"));
  EXPECT_FALSE(copy_source_file("src", "out/folder", &error));

  // Copying a file onto itself (output inside the sources) is refused and
  // keeps its bytes; no temporary file is left behind.
  EXPECT_FALSE(copy_source_file("src/Page.txt", "./src/Page.txt", &error));
  EXPECT_EQ(kErrorSameFile, error);
  EXPECT_EQ("new contents", read_file("src/Page.txt"));
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator("out"), std::filesystem::directory_iterator()));
}
