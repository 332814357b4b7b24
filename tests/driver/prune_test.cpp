// --prune: what the previous manifest listed and this run did not write goes,
// and nothing else.

#include <gtest/gtest.h>

#include <filesystem>

#include "driver/prune.h"
#include "helpers/fixture.h"

namespace mt::test {
namespace {

using Paths = std::vector<std::string>;

TEST(Prune, RemovesOnlyStaleFilesTheToolWrote) {
  const struct {
    const char* name;
    const char* manifest;  // null: no previous manifest
    Paths on_disk, written, gone, kept;
  } rows[] = {
      {"a folder that still holds a file of someone else's stays",
       "dl/page.html\r\n",
       {"out/dl/page.html", "out/dl/Wendrel.chm.zip"},
       {},
       {"out/dl/page.html"},
       {"out/dl/Wendrel.chm.zip"}},
      {"manifest lines that leave the output folder are ignored",
       "../outside.txt\n/abs\nsub/../../outside.txt\n./index.html\nsub//x\n.maketarnwick-manifest\n\n",
       {"outside.txt", "out/index.html", "out/sub/x"},
       {},
       {},
       {"outside.txt", "out/index.html", "out/sub/x"}},
      {"a page renamed only in case is kept (the same file where case is ignored)",
       "en-us/Faq/index.html\n",
       {"out/en-us/Faq/index.html"},
       {"en-us/faq/index.html"},
       {},
       {"out/en-us/Faq/index.html"}},
      {"no previous manifest: nothing is removed", nullptr, {"out/old.html"}, {"new.html"}, {}, {"out/old.html"}},
#ifndef _WIN32
      {"never through a linked folder", "linked/page.html\n", {"elsewhere/page.html"}, {}, {}, {"elsewhere/page.html"}},
#endif
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    for (const std::string& path : row.on_disk) write_file(path, "x");
    if (row.manifest) write_file("out/.maketarnwick-manifest", row.manifest);
    if (exists("elsewhere")) std::filesystem::create_directory_symlink("../elsewhere", "out/linked");
    StringSink out;
    Diagnostics diag;
    diag.out = &out;
    prune_output("out", row.written, diag);
    EXPECT_EQ("", out.text);
    for (const std::string& path : row.gone) EXPECT_FALSE(exists(path)) << path;
    for (const std::string& path : row.kept) EXPECT_TRUE(exists(path)) << path;
    std::string expected;
    for (const std::string& path : row.written) expected += path + "\n";
    EXPECT_EQ(expected, read_file("out/.maketarnwick-manifest"));
    EXPECT_FALSE(exists("out/.maketarnwick-manifest.tmp"));
  }
}

}  // namespace
}  // namespace mt::test
