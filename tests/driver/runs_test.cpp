// Whole runs of the tool over small sites, most of them sites that fight
// back: the cases of runs.table, whose outputs are compared with
// tests/golden/<golden>.out (MT_UPDATE_GOLDEN=1 rewrites them); then the
// contact script under PHP, and running out of memory.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "driver/build.h"
#include "helpers/fixture.h"
#include "translate/status.h"

namespace fs = std::filesystem;

namespace mt::test {

/// `text` with \n, \r, \xHH and \C (for C) replaced; both tables of this folder use it.
std::string unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i] == '\\' && i + 1 < text.size() ? text[++i] : 0;
    if (c == 'x') out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)), i += 2;
    if (c != 'x') out += c == 'n' ? '\n' : c == 'r' ? '\r' : c ? c : text[i];
  }
  return out;
}

namespace {

const std::string kBanner = "maketarnwick: builds the tarnwick web site\n";
const char* const kClean = "0 error(s), 0 warning(s)\n";
const char* const kSecret = "s3cr3t-bytes";

/// Every file below `root` (or only its entries, not `deep`), by path, with its bytes.
std::map<std::string, std::string> snapshot(const std::string& root, bool deep = true) {
  std::map<std::string, std::string> files;
  std::error_code none;  // no such folder: no files
  for (fs::recursive_directory_iterator it(root, none), end; it != end; ++it) {
    if (!deep) it.disable_recursion_pending();
    files[it->path().string().substr(root.size())] = it->is_regular_file() ? read_file(it->path().string()) : "";
  }
  return files;
}

long summary_lines(const std::string& out) {
  static const std::regex summary("(^|\n)[0-9]+ error\\(s\\), ");
  return std::distance(std::sregex_iterator(out.begin(), out.end(), summary), std::sregex_iterator());
}

/// A run of the tool, with the checks every run must pass; its output.
std::string tool_run(const std::string& step) {
  std::istringstream words(step);
  int status;
  std::string golden, word;
  std::vector<std::string> args;
  words >> status >> golden;
  while (words >> word) args.push_back(unescape(word));
  auto outside = snapshot("..", false);
  outside.erase("/out");
  testing::internal::CaptureStderr();
  RunResult r = run_tool(args);
  // Progress goes to a terminal only: here standard error is a file.
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
  EXPECT_EQ(status, r.status) << r.out;
  // Each message is one line: a line holding a summary is a summary.
  EXPECT_LE(summary_lines(r.out), 1) << r.out;
  // A golden file holds what follows the banner that every checked run prints first.
  const std::string path = source_path("tests/golden/" + golden + ".out");
  if (golden.size() > 1 && std::getenv("MT_UPDATE_GOLDEN")) {
    std::ofstream(path, std::ios::binary) << r.out.substr(r.out.starts_with(kBanner) ? kBanner.size() : 0);
  }
  EXPECT_EQ(golden == "-" ? r.out : kBanner + (golden == "=" ? kClean : read_file(path)), r.out);
  // Nothing beside the site changes but the output folder.
  auto now = snapshot("..", false);
  now.erase("/out");
  EXPECT_EQ(outside, now);
  for (const std::string out : {"out", "../out"}) {
    for (const auto& [name, bytes] : snapshot(out)) {
      EXPECT_FALSE(contains(bytes, kSecret) || contains(name, ".tmp")) << name;
      // A contact script must parse: a value that breaks out of its PHP
      // string either runs code or kills the contact form.
      if (!name.ends_with("/sendemail.php") || !tool_present("php -v")) continue;
      EXPECT_EQ(0, std::system(("php -l '" + out + name + "' >/dev/null 2>&1").c_str())) << name;
    }
  }
  return r.out;
}

/// `out`: the output of the last run.
void do_step(const std::string& verb, const std::string& rest, std::string& out) {
  size_t eq = rest.find(" = ");
  if (eq == std::string::npos && rest.ends_with(" =")) eq = rest.size() - 2;
  const std::string path = unescape(rest.substr(0, eq));
  const std::string text = eq + 3 <= rest.size() ? unescape(rest.substr(eq + 3)) : "";
  const auto when = [](const std::string& file) { return fs::last_write_time(file); };
  if (verb == "tool") out = tool_run(rest);
  if (verb == "pages") {
    for (const std::string page : {"home", "faq", "about", "support/Page"})
      write_file("en-us/" + page + ".txt", "=" + page + "=\n");
  }
  if (verb == "language") write_file(path, full_language_file(text));
  if (verb == "translated") {  // every text string "xx " + its default; names of files and addresses kept
    std::string file = "_LANGUAGE_NAME = \"" + text + "\"\n";
    for (int i = 0; i < kStringCount; ++i)
      file +=
          std::string(kStringTable[i].id) + " = \"" + (names_no_text(i) ? "" : "xx ") + kStringTable[i].value + "\"\n";
    write_file(path, file);
  }
  if (verb == "write") write_file(path, text);
  if (verb == "append") write_file(path, read_file(path) + text);
  if (verb == "dir") fs::create_directories(path);
  if (verb == "remove") fs::remove_all(path);
  if (verb == "rename") fs::rename(path, text);
  if (verb == "edit") {
    std::string bytes = read_file(path);
    const size_t arrow = text.find(" -> "), at = bytes.find(text.substr(0, arrow));
    write_file(path, at == std::string::npos ? "" : bytes.replace(at, arrow, text.substr(arrow + 4)));
  }
  if (verb == "link" || verb == "abslink" || verb == "hardlink") {
    if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path());
    if (verb == "hardlink") fs::create_hard_link(text, path);
    if (verb != "hardlink") fs::create_symlink(verb == "link" ? fs::path(text) : fs::absolute(text), path);
  }
  if (verb == "age") fs::last_write_time(path, when(path) - std::chrono::hours(24 * 365));
  bool ok = std::string(
                " tool pages language translated write append dir remove rename link abslink hardlink age newer "
                "exists absent same nowhere expect edit log golden ")
                .find(" " + verb + " ") != std::string::npos;
  if (verb == "newer") ok = when(path) >= when(text);
  if (verb == "exists" || verb == "absent") ok = (verb == "exists") == exists(path);
  if (verb == "same") ok = snapshot(path) == snapshot(text);
  if (verb == "log") {
    std::string said = out;
#ifdef _WIN32
    // Paths in messages show '\\' here; the table spells them with '/' (the
    // Windows form itself is checked by tools/windows-messages.sh).
    for (char& c : said) c = c == '\\' ? '/' : c;
#endif
    ok = count(said, text) == std::stoul(path);
  }
  if (verb == "nowhere")
    for (const auto& [name, _] : snapshot(".")) ok = ok && !contains(name, path);
  if (verb == "golden") {
    // The page, or excerpts of it in order, each followed by a "…" line (excerpts are kept by hand).
    const std::string golden = source_path("tests/golden/" + text), page = read_file(path);
    if (std::getenv("MT_UPDATE_GOLDEN") && !contains(read_file(golden), "…")) write_file(golden, page);
    const std::string want = read_file(golden);
    size_t at = 0, from = 0;
    for (size_t end; ok && (end = want.find("…\r\n", from)) != std::string::npos; from = end + 5) {
      ok = (at = page.find(want.substr(from, end - from), at)) != std::string::npos;
    }
    ok = ok && (from > 0 || want == page);
  }
  if (verb == "expect") {
    const size_t seen = count(read_file(path.substr(path.find(' ') + 1)), text);
    ok = path[0] == '+' ? seen > 0 : seen == std::stoul(path);
  }
  EXPECT_TRUE(ok);
}

// The cases of runs.table, each in a fresh folder.
TEST(Runs, Table) {
  std::ifstream in(source_path("tests/driver/runs.table"));
  std::vector<std::pair<std::string, std::vector<std::string>>> cases;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("case ")) cases.push_back({line.substr(5), {}});
    if (!line.empty() && line[0] != '#' && !line.starts_with("case ")) cases.back().second.push_back(line);
  }
  EXPECT_GE(cases.size(), 20u);
  for (const auto& [name, steps] : cases) {
    SCOPED_TRACE(name);
#ifdef _WIN32
    if (name.starts_with("(posix)")) continue;
#endif
    TempDir dir;
    write_file("secret.key", kSecret);
    fs::create_directory("site");
    fs::current_path("site");
    write_file("en-us.txt", full_language_file("English"));
    std::string out;
    for (const std::string& step : steps) {
      SCOPED_TRACE(step);
      const size_t space = step.find(' ');
      do_step(step.substr(0, space), space == std::string::npos ? "" : step.substr(space + 1), out);
    }
  }
}

// The contact script under PHP's CGI with form input no browser sends. A
// mail system that fails reads as an error, so with sendmail stubbed to
// succeed only the form checks decide between the two pages. The stub reads
// the whole mail: one that exits at once (/bin/true) races PHP's write, which
// then fails with a broken pipe on a loaded machine.
TEST(Runs, ContactScriptOnUnusualFormInput) {
  if (!tool_present("php-cgi -v")) GTEST_SKIP() << "php-cgi is not installed";
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  run_tool({"out", "http://x"});
  const std::string script = fs::absolute("out/sendemail.php").string();
  for (const auto& [query, location] : {std::pair{"email[]=x&message=m", "contacterror"},
                                        {"email=a%00b&message=m", "contacterror"},
                                        {"email=a@b.c&message[]=x", "contacterror"},
                                        {"email=a@b.c&message=a%00b", "contacterror"},
                                        {"email=a@b.c&message=hi", "contactok"}}) {
    SCOPED_TRACE(query);
    std::string command =
        "REDIRECT_STATUS=1 REQUEST_METHOD=GET SCRIPT_FILENAME='" + script + "' QUERY_STRING='" + query +
        "' php-cgi -n -d display_errors=1 -d error_reporting=-1 -d \"sendmail_path=cat >/dev/null\" > r";
    ASSERT_EQ(0, std::system(command.c_str()));
    std::string response = read_file("r");
    EXPECT_TRUE(contains(response, std::string("Location: http://x/") + location + "\r\n")) << response;
    // Nothing but the headers: no PHP message, no path of the script.
    EXPECT_TRUE(response.ends_with("\r\n\r\n") && !contains(response, "Warning") && !contains(response, "Fatal"))
        << response;
  }
}

// The handler the tool gives to `new`: called directly, as a failed
// allocation would (a sanitizer's allocator would report a huge one itself).
TEST(Runs, OutOfMemoryEndsTheRunWithStatusOne) { EXPECT_EXIT(out_of_memory(), testing::ExitedWithCode(1), ""); }

}  // namespace
}  // namespace mt::test
