// --prune: what the previous manifest recorded, this run did not write and
// is still the file written goes; nothing else, and never through a link.

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "driver/prune.h"
#include "helpers/fixture.h"

namespace mt::test {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

// Sets up "path" holding "x", "path -> target" a symbolic link, "path =>
// other" a hard link, "path |" a pipe, "path !" a file that resists removal.
void make(const std::string& entry) {
  const size_t arrow = entry.find(" -> "), hard = entry.find(" => ");
  const std::string path = entry.substr(0, std::min({arrow, hard, entry.find(" |"), entry.find(" !")}));
  if (arrow != std::string::npos) fs::create_symlink(entry.substr(arrow + 4), path);
  if (hard != std::string::npos) fs::create_hard_link(entry.substr(hard + 4), path);
#ifndef _WIN32
  if (entry.ends_with(" |")) mkfifo(path.c_str(), 0600);
#endif
  if (arrow == hard && !entry.ends_with(" |")) write_file(path, "x");
}

// Makes a file resist removal (`on`) or not: immutable for root, who may
// remove anything else, a read-only folder for others. False when it cannot.
bool lock([[maybe_unused]] const std::string& path, [[maybe_unused]] bool on) {
#ifdef __linux__
  if (geteuid() != 0) return chmod(fs::path(path).parent_path().c_str(), on ? 0555 : 0755) == 0;
  int fd = open(path.c_str(), O_RDONLY), flags = 0;
  bool ok = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
  ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  if (fd >= 0) close(fd);
  return ok;
#else
  return false;
#endif
}

TEST(Prune, RemovesOnlyStaleFilesTheToolWroteAsItWroteThem) {
  const struct {
    const char* name;
    const char* manifest;                // null: none; "1 af63f54c86021707 " records a file holding "x"; "␀" a NUL
    Paths on_disk, written, gone, kept;  // written: "path !" when its write failed
    const char* said;                    // the messages, '/' for the native separator
    const char* after;                   // the new manifest below its first line; null: none
  } rows[] = {
      {"an unchanged stale file goes with the folders it leaves empty; someone else's file stays",
       "1 af63f54c86021707 dl/page.html\r\n1 af63f54c86021707 a/b/c.html\n1 af63f54c86021707 z\n",
       {"out/dl/page.html", "out/dl/Wendrel.chm.zip", "out/a/b/c.html", "out/new.html", "out/z"},
       {"new.html"},
       {"out/dl/page.html", "out/a", "out/z"},
       {"out/dl/Wendrel.chm.zip", "out/new.html"},
       "",
       "1 af63f54c86021707 new.html\n"},
      {"lines that leave the folder, name it oddly or hold a NUL byte are ignored; a byte order mark is a name's",
       "1 af63f54c86021707 ../outside.txt\n1 af63f54c86021707 /abs\n1 af63f54c86021707 sub/../../outside.txt\n"
       "1 af63f54c86021707 sub\\x2f..\\x2f..\\x2foutside.txt\n1 af63f54c86021707 ./index.html\n"
       "1 af63f54c86021707 sub//x\n1 af63f54c86021707 index.html\\x00.txt\n.maketarnwick-manifest\n\n"
       "1 af63f54c86021707 sub/\n1 af63f54c86021707 index.html␀.txt\n\xEF\xBB\xBFindex.html\n",
       {"outside.txt", "out/index.html", "out/sub/x"},
       {},
       {},
       {"outside.txt", "out/index.html", "out/sub/x"},
       "",
       ""},
      {"a path alone (an older manifest) and a record the file no longer matches: kept and named",
       "old.html\n3 af63f54c86021707 edited.html\n1 0000000000000000 forged.html\n"
       " af63f54c86021707 lead.html\n1_af63f54c86021707 sep.html\n1 af63f54c8602170g hex.html\n",
       {"out/old.html", "out/edited.html", "out/forged.html", "out/lead.html", "out/sep.html", "out/hex.html",
        "out/1 af63f54c8602170g hex.html"},
       {},
       {},
       {"out/old.html", "out/edited.html", "out/forged.html", "out/lead.html", "out/sep.html", "out/hex.html"},
       "--prune kept out/1 af63f54c8602170g hex.html: the manifest holds no size and hash for it\n"
       "--prune kept out/edited.html: it changed since this tool wrote it\n"
       "--prune kept out/forged.html: it changed since this tool wrote it\n"
       "--prune kept out/old.html: the manifest holds no size and hash for it\n",
       ""},
      {"a manifest that cannot be replaced is an error",
       nullptr,
       {"out/.maketarnwick-manifest/x"},
       {},
       {},
       {"out/.maketarnwick-manifest/x"},
       "error: unable to write out/.maketarnwick-manifest\n",
       nullptr},
      {"no previous manifest: nothing is removed",
       nullptr,
       {"out/old.html"},
       {"new.html"},
       {},
       {"out/old.html"},
       "",
       ""},
      {"after a failed write, only files that still match their old record are recorded",
       "1 af63f54c86021707 same.html\n1 0000000000000000 other.html\n",
       {"out/same.html", "out/other.html", "out/new.html"},
       {"same.html", "other.html", "new.html", "failed.html !"},
       {},
       {"out/same.html", "out/other.html", "out/new.html"},
       "failed.html: error: failed to create failed.html: disk full\n",
       "1 af63f54c86021707 same.html\n"},
#ifdef __linux__
      {"a file that cannot be removed is an error and stays listed",
       "1 af63f54c86021707 ro/page.html\n",
       {"out/ro/page.html !"},
       {},
       {},
       {"out/ro/page.html"},
       "error: unable to remove out/ro/page.html\n",
       "1 af63f54c86021707 ro/page.html\n"},
#endif
#ifndef _WIN32
      {"a copy renamed only in letter case goes where the file system tells case",
       "1 af63f54c86021707 Manual.pdf\n",
       {"out/Manual.pdf", "out/manual.pdf"},
       {"manual.pdf"},
       {"out/Manual.pdf"},
       {"out/manual.pdf"},
       "",
       "1 af63f54c86021707 manual.pdf\n"},
      {"an old name that is the very file this run wrote (where case is ignored) stays",
       "1 af63f54c86021707 Faq.html\n",
       {"out/faq.html", "out/Faq.html => out/faq.html"},
       {"faq.html"},
       {},
       {"out/Faq.html", "out/faq.html"},
       "",
       "1 af63f54c86021707 faq.html\n"},
      {"never through a linked folder, nor a link itself, nor a pipe",
       "1 af63f54c86021707 linked/page.html\n1 af63f54c86021707 link.html\n1 af63f54c86021707 pipe.html\n",
       {"elsewhere/page.html", "out/linked -> ../elsewhere", "out/link.html -> ../elsewhere/page.html",
        "out/pipe.html |"},
       {},
       {},
       {"elsewhere/page.html", "out/link.html", "out/pipe.html"},
       "--prune kept out/link.html: it is a link or lies below one\n"
       "--prune kept out/linked/page.html: it is a link or lies below one\n"
       "--prune kept out/pipe.html: it changed since this tool wrote it\n",
       ""},
      {"names with a control byte or '\\' are written escaped and read back; a blank is kept as it is",
       "1 af63f54c86021707 old \\x5cname\\x09.html\n1 af63f54c86021707 tail\\x09\n",
       {"out/old \\name\t.html", "out/new \\name\t.html", "out/tail\t"},
       {"new \\name\t.html"},
       {"out/old \\name\t.html", "out/tail\t"},
       {"out/new \\name\t.html"},
       "",
       "1 af63f54c86021707 new \\x5cname\\x09.html\n"},
#endif
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    fs::create_directory("out");
    std::string locked;
    for (const std::string& entry : row.on_disk) {
      make(entry);
      if (entry.ends_with(" !")) locked = entry.substr(0, entry.size() - 2);
    }
    if (!locked.empty() && !lock(locked, true)) {
      std::cout << "skipped: no file can be made to resist removal here\n";
      continue;
    }
    if (row.manifest) write_file("out/.maketarnwick-manifest", with_nul(row.manifest));
    StringSink out;
    Diagnostics diag{&out};
    Paths written;
    for (std::string path : row.written) {
      const bool failed = path.ends_with(" !");
      if (failed) path.resize(path.size() - 2);
      if (failed) diag.report({path}, Msg::create_failed, path, "disk full");
      written.push_back(path);
    }
    prune_output("out", written, diag);
    if (!locked.empty()) lock(locked, false);
    std::string said = row.said;
#ifdef _WIN32
    for (char& c : said) c = c == '/' ? '\\' : c;  // messages show Windows paths
#endif
    EXPECT_EQ(said, out.text);
    for (const std::string& path : row.gone) EXPECT_FALSE(exists(path)) << path;
    for (const std::string& path : row.kept) EXPECT_TRUE(exists(path)) << path;
    if (!row.after) continue;
    EXPECT_EQ(std::string("# maketarnwick manifest: size, FNV-1a 64 hash, path of each file written\n") + row.after,
              read_file("out/.maketarnwick-manifest"));
  }
}

}  // namespace
}  // namespace mt::test
