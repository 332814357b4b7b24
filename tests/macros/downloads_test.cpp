#include "macros/downloads.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "macro_site.h"

namespace mt {
namespace {

using test::MacroSite;
using test::write_file;

void write_sized(const std::string& path, long long size) {
  write_file(path, "");
  int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(0, ::ftruncate(fd, static_cast<off_t>(size)));  // sparse: takes no space
  ::close(fd);
}

TEST(DownloadSize, RoundsUpToWholeKilobytes) {
#ifdef _WIN32
  GTEST_SKIP() << "the sized files are made with POSIX ftruncate (32-bit offsets on Windows)";
#else
  MacroSite site;
  const struct {
    const char* name;
    long long bytes;
    uint64_t kb;
  } cases[] = {{"zero", 0, 0}, {"one", 1, 1}, {"k", 1024, 1}, {"k1", 1025, 2}, {"m", 1048576, 1024},
               // 5 GiB + 1: the low 32 bits alone would say 1 KB
               {"huge", 5368709121LL, 5242881}};
  for (const auto& c : cases) {
    write_sized("out/" + std::string(c.name), c.bytes);
    EXPECT_EQ(c.kb, download_size_kb(site.build, c.name)) << c.name;
  }
  write_sized("out/Upper.ZIP", 2048);
  EXPECT_EQ(2u, download_size_kb(site.build, "upper.zip"));  // found without case
  EXPECT_EQ("", site.messages.text);

  write_file("out/folder.zip/inner", "");
  EXPECT_EQ(0u, download_size_kb(site.build, "gone.zip"));
  EXPECT_EQ(0u, download_size_kb(site.build, "folder.zip"));
  EXPECT_EQ("error: couldn't get filesize for: gone.zip\nerror: couldn't get filesize for: folder.zip\n",
            site.messages.text);
  EXPECT_EQ(2, site.build.diag.errors);
#endif
}

TEST(DownloadSections, AllDownloads) {
#ifdef _WIN32
  GTEST_SKIP() << "the sized files are made with POSIX ftruncate (32-bit offsets on Windows)";
#else
  MacroSite site;
  // The other sections are examples of the markup cases; this one has rows
  // of every shape (sizes beyond 32 bits: DownloadSize).
  site.build.languages[0].values[MULTILINGUAL] = "Multi";
  write_sized("out/Wendrel-1.3.4.686.x64.Multilingual.zip", 2048);
  write_download_all(site.build, site.lang, site.page_out);
  std::string html = site.take();
  // One row of each shape: language cell, icon class, type, architecture.
  EXPECT_TRUE(html.starts_with(
      "<h2 id=\"all\">All Wendrel Downloads</h2><table class=\"dltable\">\r\n"
      "<tr><td><p class=\"de\"><a href=\"http://x/Wendrel-1.4.1.877.x86.en-US-Setup.exe\">Wendrel-1.4.1.877.x86."
      "en-US-Setup.exe</a></p></td><td>Installer</td><td>x86</td><td>English (US)</td><td>0 KB</td></tr>\r\n"
      "<tr><td><p class=\"de\"><a href=\"http://x/Wendrel-1.4.1.877.x64.en-US-Setup.exe\">"));
  for (const char* row :
       {"<tr><td><p class=\"de\"><a href=\"http://x/Wendrel-1.4.1.877.ARM.zip\">Wendrel-1.4.1.877.ARM.zip</a>"
        "</p></td><td>Portable</td><td>ARM</td><td>Multi</td><td>0 KB</td></tr>\r\n",
        "<tr><td><p class=\"de134\"><a href=\"http://x/Wendrel-1.3.4.686.x86-Setup.exe\">Wendrel-1.3.4.686.x86-"
        "Setup.exe</a></p></td><td>Installer</td><td>x86</td><td>English (US)</td><td>0 KB</td></tr>\r\n"}) {
    EXPECT_NE(std::string::npos, html.find(row)) << row;
  }
  EXPECT_TRUE(html.ends_with(
      "<tr><td><p class=\"de134\"><a href=\"http://x/Wendrel-1.3.4.686.x64.Multilingual.zip\">Wendrel-1.3.4.686."
      "x64.Multilingual.zip</a></p></td><td>Portable</td><td>x64</td><td>Multi</td><td>2 KB</td></tr>\r\n"
      "</table>\r\n<br/>\r\n"));
  EXPECT_EQ(20u, test::count(html, "<tr>"));

  // The other 19 files are missing: one error each, in row order.
  EXPECT_EQ(19, site.build.diag.errors);
  EXPECT_TRUE(site.messages.text.starts_with(
      "error: couldn't get filesize for: Wendrel-1.4.1.877.x86.en-US-Setup.exe\n"
      "error: couldn't get filesize for: Wendrel-1.4.1.877.x64.en-US-Setup.exe\n"));
  EXPECT_TRUE(site.messages.text.ends_with("error: couldn't get filesize for: Wendrel-1.3.4.686.x86.Multilingual.zip\n"));
#endif
}

}  // namespace
}  // namespace mt
