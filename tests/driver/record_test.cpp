// A build with --incremental takes each language whose sources and output
// files are as the last build left them from its record, and must then
// write and say exactly what a build without the record does.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "driver/build.h"
#include "helpers/fixture.h"

namespace fs = std::filesystem;

namespace mt::test {
namespace {

int year() { return 2026; }

// Three languages, the default one built again at the root; a page text
// with an unknown macro and a broken link (messages each language gives),
// a page showing a release file's size, a link to a file not there.
void make_site(const std::string& root) {
  for (const char* code : {"en-us", "de-de", "fr-fr"}) {
    write_file(root + "/" + code + ".txt", full_language_file(code));
    write_file(root + "/" + code + "/home.txt", "=Home=\n{{PREVIOUS_VERSIONS}}\n[[/nowhere|x]]\n");
    write_file(root + "/" + code + "/support/01-A.txt", "=A=\n[[/de-de/support/a|a]]\n");
  }
  write_file(root + "/en-us/downloads.txt", "=Get=\n{{DOWNLOAD_WENDREL_SDK}}\n");
  write_file(root + "/de-de/faq.txt", "=FAQ=\n[[pic.png|a picture not there]]\n");
  write_file(root + "/{{PREVIOUS_VERSIONS}}.txt", "=Old=\n{{NO_SUCH_MACRO}}\n''italic\n");
}

struct Row {
  const char* what;
  std::function<void(const std::string& site, const std::string& out)> change;
  size_t taken;           // of 4: en-us, de-de, fr-fr, the root
  bool pedantic = false;  // the second build's options differ
};

// The paths whose entries differ between two output trees, the record aside.
std::vector<std::string> differing(const std::string& a, const std::string& b) {
  auto ta = file_tree(a), tb = file_tree(b);
  ta.erase(".maketarnwick-record");
  tb.erase(".maketarnwick-record");
  std::vector<std::string> paths;
  for (const auto& [path, bytes] : ta) {
    if (!tb.contains(path) || tb[path] != bytes) paths.push_back(path);
  }
  for (const auto& [path, bytes] : tb) {
    if (!ta.contains(path)) paths.push_back(path);
  }
  return paths;
}

void flip_last_byte(const std::string& path) {
  std::string bytes = read_file(path);
  bytes.back() ^= 1;
  write_file(path, bytes);
}

TEST(Record, TakesWhatIsUnchanged) {
  const Row rows[] = {
      {"nothing changed", [](auto&, auto&) {}, 4},
      {"a page of one language", [](auto& s, auto&) { write_file(s + "/fr-fr/home.txt", "=Neu=\n"); }, 3},
      {"a language file", [](auto& s, auto&) { write_file(s + "/de-de.txt", full_language_file("de-de", "// x\n")); },
       3},
      {"a page of the default language", [](auto& s, auto&) { write_file(s + "/en-us/home.txt", "=New=\n"); }, 2},
      {"a support page added", [](auto& s, auto&) { write_file(s + "/fr-fr/support/02-B.txt", "=B=\n"); }, 3},
      {"the linked file put in place", [](auto& s, auto&) { write_file(s + "/de-de/pic.png", "png"); }, 3},
      {"an output page edited by hand", [](auto&, auto& o) { write_file(o + "/de-de/index.html", "x"); }, 3},
      {"an output page removed", [](auto&, auto& o) { fs::remove(o + "/fr-fr/index.html"); }, 3},
      {"a release file put in place", [](auto&, auto& o) { write_file(o + "/Wendrel-SDK.zip", "zip"); }, 2},
      {"the shared page text", [](auto& s, auto&) { write_file(s + "/{{PREVIOUS_VERSIONS}}.txt", "=Old=\n"); }, 0},
      {"a table added", [](auto& s, auto&) { write_file(s + "/donations.csv", "a,b\n"); }, 0},
      {"the record damaged", [](auto&, auto& o) { flip_last_byte(o + "/.maketarnwick-record"); }, 0},
      {"the record cut short", [](auto&, auto& o) { fs::resize_file(o + "/.maketarnwick-record", 100); }, 0},
      {"the record cut within its first line", [](auto&, auto& o) { fs::resize_file(o + "/.maketarnwick-record", 10); },
       0},
      {"other options", [](auto&, auto&) {}, 0, true},
#ifndef _WIN32
      {"a link among the sources", [](auto& s, auto&) { fs::create_symlink("home.txt", s + "/fr-fr/faq.txt"); }, 0},
#endif
  };
  TempDir dir;
  const size_t count = sizeof rows / sizeof rows[0];
  for (size_t i = 0; i < count; ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.what);
    const std::string site = "site" + std::to_string(i), out = "out" + std::to_string(i),
                      ref = "ref" + std::to_string(i);
    make_site(site);
    BuildConfig config;
    config.source_folder = site;
    config.output_root = out;
    config.incremental = config.prune = true;      // the manifest's records of taken files too
    config.changes_file = site + "/changes.list";  // among the sources, yet none of them
    StringSink first;
    build_site(config, first, year);
    row.change(site, out);
    fs::copy(out, ref, fs::copy_options::recursive);
    config.pedantic = row.pedantic;
    StringSink again, whole;
    RunReport report;
    build_site(config, again, year, &report);
    EXPECT_EQ(row.taken, report.languages_taken);
    config.output_root = ref;
    config.incremental = false;
    config.changes_file.clear();
    build_site(config, whole, year, &report);
    EXPECT_EQ(whole.text, again.text);
    EXPECT_EQ(std::vector<std::string>{}, differing(ref, out));
  }
}

}  // namespace
}  // namespace mt::test
