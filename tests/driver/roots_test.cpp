// The sources are read through the build's source root, never through the
// working folder: two sites build in one process, each confined to its own
// folder, and a site built from a root gives what it gives built in place.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "driver/build.h"
#include "helpers/fixture.h"

namespace fs = std::filesystem;

namespace mt::test {
namespace {

int year() { return 2026; }

// Builds the site of `sources` ("" for the working folder) into `output`;
// its messages.
std::string build(const std::string& sources, const std::string& output) {
  BuildConfig config;
  config.source_folder = sources;
  config.output_root = output;
  config.url_root = "http://x";
  config.pedantic = true;
  StringSink out;
  EXPECT_EQ(0, build_site(config, out, year));
  return out.text;
}

TEST(Roots, TwoSitesInOneProcess) {
  TempDir dir;
  fs::copy(source_path("examples/site"), "a", fs::copy_options::recursive);
  write_file("b/en-us.txt", full_language_file("B"));
  write_file("b/en-us/home.txt", "=B=\n{{PREVIOUS_VERSIONS}}\n");
  write_file("b/{{PREVIOUS_VERSIONS}}.txt", "older\n");
#ifndef _WIN32
  // Inside the working folder but outside b: refused, as a link out of a
  // site built in place is.
  fs::create_directory_symlink("../../a/en-us", "b/en-us/support");
#endif
  const std::string working = fs::current_path().string();
  const std::string a_said = build("a", "out-a");
  const std::string b_said = build(dir.path() + "/b", "out-b");
  EXPECT_EQ(working, fs::current_path().string());

  // Built in place, each site writes and says the same.
  fs::current_path("a");
  EXPECT_EQ(a_said, build("", "../in-place-a"));
  fs::current_path("../b");
  EXPECT_EQ(b_said, build("", "../in-place-b"));
  fs::current_path("..");
  EXPECT_EQ(file_tree("in-place-a"), file_tree("out-a"));
  EXPECT_EQ(file_tree("in-place-b"), file_tree("out-b"));
  EXPECT_TRUE(contains(read_file("out-b/index.html"), "older"));
  EXPECT_FALSE(exists("out-b/de-de"));
#ifndef _WIN32
  EXPECT_TRUE(contains(b_said, "refusing source outside the site en-us/support")) << b_said;
#endif
}

}  // namespace
}  // namespace mt::test
