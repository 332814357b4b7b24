#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <memory>

#include "helpers/fixture.h"
#include "platform/collate.h"
#include "platform/fs.h"
#include "platform/output_file.h"
#include "platform/remove.h"
#include "platform/signals.h"
#include "platform/sink.h"
#include "platform/watch.h"

namespace mt {
namespace {

using test::read_file;
using test::write_file;

TEST(Fs, ResolvesPathsWithoutCase) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows file systems (and wine) find names without case themselves, so paths come "
                  "back as written; tools/windows.sh builds sources named in other case under wine";
#else
  test::TempDir dir;
  write_file("de-de/support/X.TXT", "upper");
  write_file("de-de/support/x.txt", "lower");
  // Case variants in several folders, so that some folder lists the one
  // sorting later first.
  for (char c = 'a'; c <= 'h'; ++c) {
    for (const char* name : {"/B.txt", "/b.txt", "/b.TXT"}) write_file(std::string("v/") + c + name, "");
  }
  ASSERT_EQ(0, symlink("nowhere", "de-de/Dangling.txt"));
  ASSERT_EQ(0, mkfifo("de-de/fifo.txt", 0600));
  // clang-format off
  const std::pair<std::string, std::string> rows[] = {
      {"De-DE/Support/X.txt", "de-de/support/X.TXT"},  // of several variants, the first in listing order
      {"de-de/support/x.txt", "de-de/support/x.txt"},  // the exact name first
      {"De-DE/nope.txt", "De-DE/nope.txt"},
      {"DE-DE/SUPPORT/", "de-de/support/"},
      {dir.path() + "/DE-DE/support/x.TXT", dir.path() + "/de-de/support/X.TXT"},  // the root is kept
  };
  // clang-format on
  SourceRoot sources;
  for (const auto& [path, resolved] : rows) {
    EXPECT_EQ(resolved, SourceRoot().resolve(path));
    EXPECT_EQ(resolved, sources.resolve(path));
  }
  for (char c = 'a'; c <= 'h'; ++c) {
    EXPECT_EQ(std::string("v/") + c + "/B.txt", sources.resolve(std::string("v/") + c + "/B.Txt"));
  }
  EXPECT_TRUE(sources.exists("DE-DE/support/X.txt"));
  EXPECT_FALSE(sources.exists("DE-DE/support/y.txt"));
  std::string text;
  ASSERT_TRUE(sources.read_file("De-De/Support/X.Txt", &text));
  EXPECT_EQ("upper", text);
  // A folder, a dangling link (it exists, then fails to open) and a FIFO are no page texts.
  EXPECT_TRUE(sources.exists("de-de/dangling.txt"));
  for (const char* path : {"de-de/support", "de-de/dangling.txt", "de-de/fifo.txt"}) {
    EXPECT_FALSE(sources.read_file(path, &text)) << path;
  }
#endif
}

TEST(Fs, Copies) {
  // Folder creation and failed copies are seen in the build runs.
  test::TempDir dir;
  FsError error;
  WriteOutcome outcome{};
  write_file("src/Page.txt", "new contents");
  write_file("out/page.txt", "old contents that were longer");
  const SourceRoot sources;
  EXPECT_TRUE(copy_source_file(sources, "SRC/page.txt", "out/page.txt", &error, &outcome));
  EXPECT_EQ("new contents", read_file("out/page.txt"));
  EXPECT_TRUE(copy_source_file(sources, "SRC/page.txt", "out/page.txt", &error, &outcome));
  EXPECT_EQ(WriteOutcome::kUnchanged, outcome);
  EXPECT_FALSE(copy_source_file(sources, "src", "out/folder", &error, &outcome));
  // Copying a file onto itself (output inside the sources) is refused and
  // keeps its bytes; no temporary file is left behind.
  EXPECT_FALSE(copy_source_file(sources, "src/Page.txt", "./src/Page.txt", &error, &outcome));
  EXPECT_EQ(FsError::Kind::kSameFile, error.kind);
  EXPECT_EQ("new contents", read_file("src/Page.txt"));
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator("out"), std::filesystem::directory_iterator()));
}

// A source that cannot be copied is told by its kind and shows the same
// number on every platform (Windows' own codes differ).
TEST(Fs, FailedCopiesTellTheirKind) {
  test::TempDir dir;
  write_file("src/page.txt", "x");
  std::filesystem::create_directory("out");
  // clang-format off
  const struct { const char* source; FsError::Kind kind; int number; } rows[] = {
      {"src/missing.txt",  FsError::Kind::kNotFound, 2},
      {"src",              FsError::Kind::kIsFolder, 21},
#ifndef _WIN32
      {"src/page.txt/x",   FsError::Kind::kNotFolder, 20},
#endif
  };
  // clang-format on
  for (const auto& row : rows) {
    FsError error;
    WriteOutcome outcome{};
    EXPECT_FALSE(copy_source_file(SourceRoot(), row.source, "out/copy", &error, &outcome)) << row.source;
    EXPECT_EQ(row.kind, error.kind) << row.source;
    EXPECT_EQ(row.number, error_number(error)) << row.source;
  }
}

// A scan enters a folder with one call: its entries, its identity, or why not.
TEST(Fs, ListsSourceFoldersInOneLook) {
  test::TempDir dir;
  write_file("site/tree/b.txt", "");
  write_file("site/tree/A/page.txt", "");
  FolderListing listing;
  const SourceRoot here;
  ASSERT_EQ(FolderOpen::kListed, here.list_folder("site/TREE", &listing));
  ASSERT_EQ(2u, listing.entries.size());
  EXPECT_EQ("A", listing.entries[0].name);
  EXPECT_TRUE(listing.entries[0].is_dir);
  EXPECT_EQ("b.txt", listing.entries[1].name);
  EXPECT_FALSE(listing.entries[1].is_dir);
  FileId id;
  ASSERT_TRUE(file_id("site/tree", &id));
  EXPECT_EQ(id, listing.id);
  EXPECT_EQ(FolderOpen::kMissing, here.list_folder("site/none", &listing));
  EXPECT_EQ(FolderOpen::kMissing, here.list_folder("site/tree/b.txt", &listing));
#ifndef _WIN32
  // "Outside" is outside the root, not the working folder.
  write_file("outside/x.txt", "");
  ASSERT_EQ(0, symlink("../../outside", "site/tree/out"));
  const SourceRoot site("site");
  EXPECT_EQ(FolderOpen::kOutsideSite, site.list_folder("tree/out", &listing));
  EXPECT_EQ(FolderOpen::kListed, here.list_folder("site/tree/out", &listing));
  EXPECT_EQ(FolderOpen::kListed, site.list_folder("TREE", &listing));
#endif
}

// An output file is compared with the old one as it is written and replaced
// only when some byte differs; what was written in pieces is whole.
TEST(Fs, OutputFilesKeepUnchangedFiles) {
  struct Row {
    const char* old;  // nullptr: no file; "->": a link to a file of the new bytes
    std::vector<std::string> pieces;
    WriteOutcome outcome;
  };
  const Row rows[] = {
      {nullptr, {"abc"}, WriteOutcome::kAdded},
      {"abc", {"ab", "c"}, WriteOutcome::kUnchanged},
      {"", {}, WriteOutcome::kUnchanged},
      {"abcd", {"abc"}, WriteOutcome::kChanged},
      {"abc", {"ab", "cd"}, WriteOutcome::kChanged},
      {"abX", {"ab", "c"}, WriteOutcome::kChanged},
      {"xbc", {"abc"}, WriteOutcome::kChanged},
      {"abc", {}, WriteOutcome::kChanged},
      {"->", {"abc"}, WriteOutcome::kChanged},
  };
  for (const Row& row : rows) {
    test::TempDir dir;
    std::string expected;
    for (const std::string& piece : row.pieces) expected += piece;
    const bool link = row.old && std::string(row.old) == "->";
    if (link) {
#ifdef _WIN32
      continue;  // links need privileges there; tools/windows.sh replaces one
#endif
      write_file("target", expected);
      std::filesystem::create_symlink("target", "out");
    } else if (row.old) {
      write_file("out", row.old);
    }
    FileId before, after;
    file_id("out", &before);
    OutputFile file;
    FsError error;
    ASSERT_TRUE(file.open("out", &error));
    for (const std::string& piece : row.pieces) EXPECT_TRUE(file.write(piece.data(), piece.size(), &error));
    EXPECT_TRUE(file.commit(&error));
    EXPECT_EQ(row.outcome, file.outcome()) << expected;
    EXPECT_EQ(expected, read_file("out"));
    ASSERT_TRUE(file_id("out", &after));
    EXPECT_FALSE(std::filesystem::is_symlink("out"));
    EXPECT_EQ(row.outcome == WriteOutcome::kUnchanged, before == after) << expected;
    // Nothing left beside it; a link's target is never written through.
    EXPECT_EQ(link ? 2 : 1,
              std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()));
  }
  // A file given up half-written (an error, an exception) leaves the old one.
  test::TempDir dir;
  write_file("out", "old");
  {
    FileSink sink;
    ASSERT_TRUE(sink.open("out"));
    sink.write("half");
    sink.flush();
  }
  EXPECT_EQ("old", read_file("out"));
  EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()));
}
#ifndef _WIN32
// With every temporary name taken, the first changed byte has
// nowhere to go: reported as a file that could not be created, old one kept.
TEST(Fs, OutputFileWithNoTemporaryNameLeftFailsToCreate) {
  test::TempDir dir;
  write_file("out", "abc");
  std::filesystem::create_directory(".out.tmp");
  for (int i = 1; i <= 100; ++i) std::filesystem::create_directory(".out.tmp-" + std::to_string(i));
  OutputFile file;
  FsError error;
  ASSERT_TRUE(file.open("out", &error));
  EXPECT_TRUE(file.write("ab", 2, &error));
  EXPECT_FALSE(file.write("X", 1, &error));
  EXPECT_TRUE(file.failed_to_create());
  EXPECT_EQ("abc", read_file("out"));
}
// A run stopped mid-page (Ctrl-C, kill) must not leave a partial page to be
// deployed. (A file that a run killed outright left: the build runs.)
TEST(Fs, InterruptedWriteLeavesNoTemporaryFile) {
  test::TempDir dir;
  const auto stopped_mid_page = [] {
    remove_temp_files_on_interrupt();
    ReplacementFile page;
    FsError error;
    if (page.open("page.html", &error) && test::exists(".page.html.tmp")) std::raise(SIGTERM);
  };
  EXPECT_EXIT(stopped_mid_page(), testing::KilledBySignal(SIGTERM), "");
  EXPECT_FALSE(test::exists(".page.html.tmp"));
}
#endif

// What prune asks before it removes anything: a link is a link, whatever it leads to.
TEST(Fs, TellsLinksWithoutFollowingThem) {
  test::TempDir dir;
  write_file("folder/file", "x");
#ifndef _WIN32
  std::filesystem::create_directory_symlink("folder", "to-folder");
  std::filesystem::create_symlink("nowhere", "dangling");
  mkfifo("pipe", 0600);
  EXPECT_EQ(EntryKind::kLink, entry_kind("to-folder"));
  EXPECT_EQ(EntryKind::kLink, entry_kind("dangling"));
  EXPECT_EQ(EntryKind::kOther, entry_kind("pipe"));
#endif
  EXPECT_EQ(EntryKind::kFile, entry_kind("folder/file"));
  EXPECT_EQ(EntryKind::kFolder, entry_kind("folder"));
  EXPECT_EQ(EntryKind::kNone, entry_kind("missing"));
}

// Removal takes plain names only, whatever its caller checked before.
TEST(Fs, RemovesNothingOutsideItsRoot) {
  test::TempDir dir;
  write_file("outside.txt", "x");
  write_file("out/sub/x", "x");
  FileDigest x;
  x.add("x", 1);
  for (const char* path : {"../outside.txt", "sub/../../outside.txt", "sub/./x", "sub//x"}) {
    EXPECT_EQ(Removal::kChanged, remove_output_file("out", path, x)) << path;
  }
  EXPECT_TRUE(test::exists("outside.txt") && test::exists("out/sub/x"));
}

TEST(Collate, IgnoresCaseButNotAccents) {
  Collator collator;
  // clang-format off
  const std::tuple<const char*, const char*, int> rows[] = {
      {"abc", "ABC", 0},  {"\xC3\x89" "clair", "\xC3\xA9" "CLAIR", 0}, {"e", "\xC3\xA9", -1},  // "e" before "é"
      {"\xC3\xA9t\xC3\xA9", "f", -1}, {"9 Tips", "A Guide", -1}, {"apple", "Banana", -1}, {"Zebra", "apple", 1},
  };
  // clang-format on
  for (const auto& [a, b, sign] : rows) EXPECT_EQ(sign, std::clamp(collator.compare(a, b), -1, 1)) << a << " " << b;
}

TEST(Sink, FormatsLikePrintf) {
  // The fast path for "%s", "%d", "%llu" and "%%" must write exactly what the
  // C library would; anything else goes to the C library itself.
  StringSink s;
  s.printf("<td rowspan=\"%d\">%s</td>", -12, "a<b");
  s.printf("|%d|%d|%llu|%%|", INT_MIN, INT_MAX, 18446744073709551615ull);
  s.printf("%s", "");
  s.printf("no conversions");
  s.printf("[%5d|%-3s|%x]", 42, "a", 255u);
  const std::string long_text(5000, 'x');  // longer than any fixed buffer
  s.printf("<p>%s</p>", long_text.c_str());
  s.printf("%3s", long_text.c_str());
  EXPECT_EQ(
      "<td rowspan=\"-12\">a<b</td>|-2147483648|2147483647|18446744073709551615|%|no conversions[   42|a  |ff]<p>" +
          long_text + "</p>" + long_text,
      s.text);
}

// Both watches: a change anywhere in the sources wakes the loop and is
// named, a change in the output folder (which every build rewrites) never
// does, or each build would start the next; a link makes every answer "all".
TEST(Watch, NamesSourcesButNotTheOutput) {
  using Open = std::unique_ptr<FolderWatch> (*)(const std::string&, const std::string&);
  auto named = [](FolderWatch& watch, const std::string& path) {
    const WatchChanges changes = watch.take_changes();
    return !changes.all && std::find(changes.paths.begin(), changes.paths.end(), path) != changes.paths.end();
  };
  for (Open open : {Open(&watch_folder), Open(&poll_folder)}) {
    test::TempDir dir;
    write_file("site/en-us/faq.txt", "a\n");
    write_file("site/out/index.html", "a\n");
    std::unique_ptr<FolderWatch> watch = open("site", "site/out");
    EXPECT_FALSE(watch->wait(700));

    write_file("site/out/faq/index.html", "b\n");
    write_file("site/out/index.html", "bb\n");
    EXPECT_FALSE(watch->wait(700)) << "a write to the output";

    write_file("site/en-us/faq.txt", "changed\n");
    EXPECT_TRUE(watch->wait(1500)) << "an edited page text";
    while (watch->wait(700)) continue;
    EXPECT_TRUE(named(*watch, "en-us/faq.txt"));
    // A folder made after the watch started is watched as well.
    write_file("site/en-us/support/new/page.txt", "x\n");
    while (watch->wait(700)) continue;
    watch->take_changes();
    write_file("site/en-us/support/new/page.txt", "longer\n");
    EXPECT_TRUE(watch->wait(1500)) << "a page in a new folder";
    while (watch->wait(700)) continue;
    EXPECT_TRUE(named(*watch, "en-us/support/new/page.txt"));
#ifndef _WIN32
    ASSERT_EQ(0, symlink("faq.txt", "site/en-us/other.txt"));
    while (watch->wait(700)) continue;
    EXPECT_TRUE(watch->take_changes().all) << "a link appeared";
#endif
  }
}

}  // namespace
}  // namespace mt
