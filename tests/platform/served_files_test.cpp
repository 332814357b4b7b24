#include "platform/served_files.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <string>

#include "helpers/fixture.h"

namespace {

// The preview sends a file in pieces read at increasing offsets, from any
// thread: every piece is the file's bytes at that offset, also past the
// first piece, and the end reads as 0. A folder gives its index.html; a
// path that leads out of the folder gives nothing.
TEST(ServedFile, ReadsAtAnyOffsetInsideTheFolderOnly) {
  mt::test::TempDir dir;
  std::string text;
  for (int i = 0; text.size() < 200000; ++i) text += std::to_string(i) + ' ';
  mt::test::write_file("site/faq/index.html", text);
  mt::test::write_file("outside.txt", "not served");
  const std::string root = mt::canonical_folder("site");
  ASSERT_FALSE(root.empty());
  std::string name;
  const std::unique_ptr<mt::ServedFile> file = mt::open_served_file(root, "faq", &name);
  ASSERT_TRUE(file);
  EXPECT_EQ(name, "index.html");
  EXPECT_EQ(file->size(), text.size());
  std::string piece(20, '\0');
  for (uint64_t offset : {0, 65530, 65536, 131071, 199990}) {
    const std::ptrdiff_t got = file->read_at(offset, piece.data(), piece.size());
    ASSERT_GT(got, 0) << offset;
    EXPECT_EQ(piece.substr(0, static_cast<size_t>(got)), text.substr(offset, static_cast<size_t>(got))) << offset;
  }
  EXPECT_EQ(file->read_at(text.size(), piece.data(), piece.size()), 0);
  EXPECT_FALSE(mt::open_served_file(root, "../outside.txt", &name));
  EXPECT_FALSE(mt::open_served_file(root, "missing.html", &name));
#ifndef _WIN32
  // Something put in the file's place after the checks: a FIFO is not waited on, a link not followed.
  ASSERT_EQ(mkfifo("site/pipe", 0600), 0);
  EXPECT_FALSE(mt::ServedFile::open(root + "/pipe"));
  ASSERT_EQ(symlink("../outside.txt", "site/link"), 0);
  EXPECT_FALSE(mt::ServedFile::open(root + "/link"));
#endif
}

}  // namespace
