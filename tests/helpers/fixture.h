#pragma once
// Test helpers: a temporary working folder, file and text utilities, a language build's records, tool runs.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "links/registry.h"
#include "site/records.h"

namespace mt::test {

/// A fresh temporary folder, the working folder for its lifetime. `in_memory`: below /dev/shm where
/// the machine has it, for runs that write tens of megabytes and would otherwise measure the disk.
class TempDir {
 public:
  explicit TempDir(bool in_memory = false);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_, previous_;
};

/// Writes `contents` to `path`, creating parent folders.
void write_file(const std::string& path, const std::string& contents);
/// The contents of `path`, or "<missing>" when it cannot be read.
std::string read_file(const std::string& path);
bool exists(const std::string& path);
/// Every file and folder below `root` by its path below it ('/' between parts), a file with its
/// bytes, a folder as "<folder>".
std::map<std::string, std::string> file_tree(const std::string& root);
/// `below` in the source tree, which ctest names in MT_SOURCE_DIR.
std::string source_path(const std::string& below);
/// A language file that defines `_LANGUAGE_NAME` and every string with its
/// built-in default, so loading it prints nothing; `extra` lines follow.
std::string full_language_file(const std::string& name, const std::string& extra = "");
bool contains(std::string_view text, std::string_view part);
/// Occurrences of `part` in `text` that do not overlap.
size_t count(std::string_view text, std::string_view part);
std::string repeat(std::string_view text, size_t times);
/// `text` with each "␀" a NUL byte, which a C string cannot hold.
std::string with_nul(std::string text);

/// Whether the shell command `probe` succeeds (a tool a test needs is there). Under CI
/// (CI=true) a missing tool fails the test instead of letting it skip.
bool tool_present(const std::string& probe);

/// A whole run of the tool with the year pinned.
struct RunResult {
  int status;
  std::string out;
};
RunResult run_tool(const std::vector<std::string>& args);

/// The records of the language build of `code` ("" for the root build) under `url_root`, with the
/// output root "out" and messages kept in `messages`.
struct SiteRecords {
  explicit SiteRecords(const std::string& code = "de-de", const std::string& url_root = "http://x");
  SiteRecords(const SiteRecords&) = delete;
  SiteRecords& operator=(const SiteRecords&) = delete;
  /// Switches to the language build of `code`, or to the root build for "".
  void use_code(const std::string& code);
  /// Declares, as a build of de-de under "http://x" would, the forum, the FAQ and `lang.support`.
  void declare_known_pages();
  Language& language() { return setup.languages[0]; }

  StringSink messages;
  Diagnostics diag{&messages};
  LinkRegistry links;  // the build's
  SourceRoot sources;
  Collator collator;
  BuildTally tally;
  BuildSetup setup;
  Build build;
  LangBuild lang;
};

}  // namespace mt::test
