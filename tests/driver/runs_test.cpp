// Whole runs of the tool over small sites, many of them sites that fight back:
// odd files where texts belong, links and values that try to leave the site,
// names that are not plain ASCII. Each row's standard output is compared with
// tests/golden/runs/<golden>.out (MT_UPDATE_GOLDEN=1 rewrites them).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>

#include "driver/build.h"
#include "helpers/fixture.h"

namespace fs = std::filesystem;

namespace mt::test {
namespace {

using Files = std::vector<std::pair<std::string, std::string>>;
constexpr size_t kAny = SIZE_MAX;
const char* const kClean = "maketarnwick: builds the tarnwick web site\n0 error(s), 0 warning(s)\n";
const char* const kSecret = "s3cr3t-bytes";

/// `part` occurs `times` times in `path` (kAny: at least once); an empty
/// `part` checks that `path` exists (times 1) or not (times 0).
struct Check {
  std::string path, part;
  size_t times = kAny;
};

/// One run in "site/", below a folder holding "secret.key" whose bytes must
/// never be published.
struct RunRow {
  const char* golden = nullptr;  // null: the clean output; "": not compared
  const char* english = "";      // extra lines of en-us.txt; null: no en-us.txt
  bool pages = false;            // the home, FAQ, about and one support page
  const char* home = nullptr;    // en-us/home.txt
  Files files = {};              // text; "->T": a link to T; "/": a folder
  std::function<void()> arrange = [] {};
  std::vector<std::string> args = {"out", "http://x"};
  int status = 0;
  std::vector<Check> checks = {};
  std::function<void()> after = [] {};
  bool posix = true;  // golden paths spelt with '/', POSIX links or names
};

std::map<std::string, std::string> snapshot(const std::string& root, bool deep = true) {
  std::map<std::string, std::string> files;
  std::error_code none;  // no such folder: no files
  for (fs::recursive_directory_iterator it(root, none), end; it != end; ++it) {
    if (!deep) it.disable_recursion_pending();
    files[it->path().string().substr(root.size())] = it->is_regular_file() ? read_file(it->path().string()) : "";
  }
  return files;
}

size_t summary_lines(const std::string& out) {
  size_t n = 0;
  for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string_view line(out.data() + start, end - start);
    size_t digits = line.find_first_not_of("0123456789");
    if (digits > 0 && digits != std::string_view::npos && line.substr(digits).starts_with(" error(s), ")) ++n;
  }
  return n;
}

std::string source_path(const std::string& below) {
  const char* root = std::getenv("MT_SOURCE_DIR");
  return std::string(root ? root : ".") + "/" + below;
}

// Every text of the site empty, or nothing but a byte order mark.
Files empty_texts(const std::string& text) {
  Files files = {{"en-us/downloads.txt", "{{DONATE_HISTORY}}\n{{SUPPORTED_LANGUAGES}}\n{{PREVIOUS_VERSIONS}}\n"}};
  for (const char* name :
       {"xx-xx.txt", "en-us/home.txt", "en-us/faq.txt", "en-us/support/Page.txt", "en-us/support/Page/Child.txt",
        "donations.csv", "supported_languages.csv", "previous_stable_releases.csv", "{{PREVIOUS_VERSIONS}}.txt"}) {
    files.emplace_back(name, text);
  }
  return files;
}
const std::vector<Check> kEmptyTextsBuilt = {
    {"out/support/page/child/index.html", "", 1},
    {"out/support/page/index.html",
     "<li class=\"wikinavindent1\"><p><a href=\"http://x/support/page\"><b>Page</b></a></p></li>"}};

const Files kPages = {{"en-us/home.txt", "= Home =\n"},
                      {"en-us/faq.txt", "= FAQ =\n"},
                      {"en-us/about.txt", "= About =\n"},
                      {"en-us/support/Page.txt", "=Page=\n"}};

const char *const kDe = "out/de-de/index.html", *const kRu = "out/ru-ru/index.html",
                  *const kDeSupport = "out/de-de/support/getting_started/index.html",
                  *const kRuSupport = "out/ru-ru/support/getting_started/index.html";

// One row per run, laid out by hand.
// clang-format off
const RunRow kRuns[] = {
    // Arguments and the output folder; without language files the summary
    // is still printed.
    {.golden = "usage", .args = {}, .status = 1, .checks = {{"out", "", 0}}, .posix = false},
    {.golden = "usage", .args = {"out"}, .status = 1, .checks = {{"out", "", 0}}, .posix = false},
    {.golden = "usage", .args = {"out", "http://x", "more"}, .status = 1, .posix = false},
    {.golden = "no_output_folder", .files = {{"taken", "a file"}}, .args = {"taken", "http://x"}, .status = 1},
    {.golden = "no_output_folder", .args = {"no/such/parent", "http://x"}, .status = 1},
    {.english = nullptr, .files = {{"out", "/"}}, .checks = {{"out/index.html", "", 0}}, .posix = false},
    // Options and the exit status.
    {.home = "=Home=\n", .args = {"--strict", "out", "http://x"}, .posix = false},
    {.golden = "broken_url", .home = "[[nowhere]]\n", .posix = false},
    {.golden = "broken_url", .home = "[[nowhere]]\n", .args = {"--strict", "out", "http://x"}, .status = 2,
     .posix = false},
    {.golden = "macro_error", .home = "{{DOWNLOAD_WENDREL_SDK}}\n", .args = {"--strict", "--", "out", "http://x"},
     .status = 2, .posix = false},
    {.golden = "macro_error", .home = "{{DOWNLOAD_WENDREL_SDK}}\n", .posix = false},
    {.golden = "", .args = {"--help"}, .posix = false},
    {.golden = "version", .args = {"--version"}, .posix = false},
    {.golden = "unknown_option", .args = {"--fast", "out", "http://x"}, .status = 1, .posix = false},
    {.golden = "no_port", .args = {"--port", "x", "out", "http://x"}, .status = 1, .posix = false},
    {.golden = "usage", .args = {"--strict", "out"}, .status = 1, .posix = false},
    // Sub-sites in load order, then the default language again at the root,
    // each with its own contact script; a second run replaces the pages.
    {.golden = "sub_sites", .home = "Hello [[nope-en]] [[faq]]\n",
     .files = {{"de-de.txt", full_language_file("Deutsch")}, {"de-de/home.txt", "Hallo [[nope-de]]\n"},
               {"en-us/faq.txt", "Questions\n"}},
     .checks = {{"out/de-de/index.html", "Hallo"}, {"out/en-us/index.html", "Hello"}, {"out/de-de/faq", "", 0},
                {"out/faq/index.html", "Questions"}, {"out/en-us/faq/index.html", "Questions"},
                {"out/en-us/sendemail.php", "", 1},
                {"out/sendemail.php", "header( \"Location: http://x/contactok\" );"},
                {"out/de-de/sendemail.php", "header( \"Location: http://x/de-de/contactok\" );"}},
     .after = [] {
       write_file("en-us/home.txt", "Again\n");
       EXPECT_EQ(0, run_tool({"out", "http://x"}).status);
       EXPECT_TRUE(contains(read_file("out/index.html"), "Again") && !contains(read_file("out/index.html"), "Hello"));
     }, .posix = false},
    // The home page is known where it is written, not under its template name.
    {.golden = "home_page_known", .home = "= Intro =\n",
     .files = {{"en-us/faq.txt", "[[/en-us/]] [[/en-us#intro]] [[/en-us/#intro]] [[/]] [[home]]\n"}}, .posix = false},
    // Without en-us the first language loaded is the default.
    {.english = nullptr,
     .files = {{"fr-fr.txt", full_language_file("Francais")}, {"DE-DE.txt", full_language_file("Deutsch")},
               {"de-de/home.txt", "Hallo\n"}, {"fr-fr/home.txt", "Bonjour\n"}},
     .checks = {{"out/index.html", "Hallo"}, {"out/fr-fr/index.html", "", 1}}, .posix = false},
    // ru-ru pages are wider in both layouts; a support page carries its own
    // name as title and marks the support menu item.
    {.english = nullptr,
     .files = {{"de-de.txt", full_language_file("de-de")}, {"de-de/home.txt", "Home\n"},
               {"de-de/support/01-Getting Started.txt", "Text\n"}, {"ru-ru.txt", full_language_file("ru-ru")},
               {"ru-ru/home.txt", "Home\n"}, {"ru-ru/support/01-Getting Started.txt", "Text\n"}},
     .checks = {{kDe, "content=\"width=720\">", 1}, {kDe, "width:720px;", 6},  // body and five centred columns
                {kRu, "content=\"width=800\">", 1}, {kRu, "width:800px;", 6}, {kRu, "720", 0},
                {kDeSupport, "content=\"width=920\">", 1}, {kDeSupport, "width:224px;", 1},
                {kRuSupport, "content=\"width=1000\">", 1}, {kRuSupport, "width:1000px;", 2},
                {kRuSupport, "width:304px;", 1}, {kRuSupport, "<title>Getting Started - tarnwick</title>", 1},
                {kRuSupport, "<div class=\"curmenuitem\"><a href=\"http://x/ru-ru/support/", 1}}, .posix = false},
    // Referenced files are copied; one in a folder the output lacks fails in
    // each build.
    {.golden = "referenced_files", .home = "[[License.txt]] [[images/a.png]] [[license.TXT]]\n",
     .files = {{"en-us/License.txt", "terms"}, {"en-us/images/a.png", "png"}},
     .checks = {{"out/en-us/License.txt", "terms", 1}, {"out/License.txt", "terms", 1}}},
    // The extension is cut in the last component only, not in the URL root.
    {.english = "FAQ_TEMPLATE = \"faq\"\r\n", .home = "[[faq]]\n", .files = {{"en-us/faq", "Questions\n"}},
     .args = {"out", "http://example.com"}, .checks = {{"out/en-us/faq/index.html", "Questions"}}, .posix = false},
    {.golden = "uncreatable_page", .home = "Home\n",
     .files = {{"en-us/faq.txt", "Questions\n"}, {"out/en-us/faq", "a file"}},
     .checks = {{"out/en-us/index.html", "", 1}, {"out/faq/index.html", "", 1}}},
    // A page's folder gets a fresh time even when only the file in it changes.
    {.files = {{"en-us/faq.txt", "Questions\n"}, {"out/faq/index.html", "old"}},
     .arrange = [] { fs::last_write_time("out/faq", fs::file_time_type::clock::now() - std::chrono::hours(9000)); },
     .after = [] { EXPECT_GE(fs::last_write_time("out/faq"), fs::last_write_time("en-us/faq.txt")); },
     .posix = false},
    // Same sources, same tree.
    {.home = "= Home =\n__TOC__\n== A ==\n[[support/wendrel]]\n",
     .files = {{"de-de.txt", full_language_file("Deutsch")}, {"en-us/support/01 Wendrel.txt", "=Wendrel=\n* x\n"},
               {"en-us/support/01 Wendrel/b.txt", "=B=\n"}, {"en-us/support/01 Wendrel/A.txt", "=A=\n"},
               {"de-de", "->en-us"}},
     .after = [] {
       run_tool({"two", "http://x"});
       EXPECT_EQ(snapshot("out"), snapshot("two"));
     }},
    // PHP code injection through the contact script.
    {.golden = "script_ok_name", .english = "CONTACTOK_TEMPLATE = \"ok{${system($_GET[0])}}.txt\"\r\n", .pages = true,
     .checks = {{"out/en-us/sendemail.php", "system", 0}}},
    {.golden = "script_error_name",
     .english = "CONTACTERROR_TEMPLATE = \"err\\.txt\"\r\nCONTACTOK_TEMPLATE = \"o\x01k.txt\"\r\n", .pages = true,
     .checks = {{"out/sendemail.php", "http://x/contacterror"}}},
    {.golden = "script_code", .pages = true,
     .files = {{"y\"z.txt", full_language_file("Y")}, {".txt", full_language_file("Empty")}},
     .checks = {{"out/y\"z", "", 0}}},
    {.golden = "url_quote", .pages = true, .args = {"out", "http://x/a\"b"}, .status = 1, .checks = {{"out", "", 0}}},
    {.golden = "url_dollar", .pages = true, .args = {"out", "http://x/$HOME"}, .status = 1, .checks = {{"out", "", 0}}},
    {.golden = "url_newline", .pages = true, .args = {"out", "http://x/\n<b>"}, .status = 1,
     .checks = {{"out", "", 0}}},
    // A link standing in the output folder is replaced, not written through.
    {.golden = "output_link", .pages = true, .files = {{"out/en-us/faq/index.html", "->../../../../secret.key"}},
     .checks = {{"../secret.key", kSecret, 1}, {"out/en-us/faq/index.html", "FAQ"}},
     .after = [] { EXPECT_FALSE(fs::is_symlink("out/en-us/faq/index.html")); }},
    // Link loops in the support tree.
    {.golden = "support_loop", .pages = true,
     .files = {{"en-us/support/A.txt", "=A=\n"}, {"en-us/support/B.txt", "=B=\n"}, {"en-us/support/A", "->."},
               {"en-us/support/B", "->."}},
     .checks = {{"out/en-us/support/a/index.html", "", 1}, {"out/en-us/support/a/a", "", 0}}},
    // Links publishing files from outside the site; links inside keep working.
    {.golden = "outside_links", .pages = true,
     .files = {{"en-us/home.txt", "[[File:logo.png]] [[File:inner.png]]\n{{SUPPORTED_LANGUAGES}}\n"},
               {"shared/about.txt", "= Shared about =\n"}, {"shared/inner.png", "inner"},
               {"en-us/logo.png", "->../../secret.key"}, {"en-us/inner.png", "->../shared/inner.png"},
               {"en-us/support/Secret.txt", "->../../../secret.key"}, {"en-us/support/Page", "->../../.."},
               {"supported_languages.csv", "->../secret.key"}, {"de-de.txt", "->../secret.key"}},
     .arrange = [] {
       fs::remove("en-us/faq.txt");
       fs::remove("en-us/about.txt");
       fs::create_symlink(fs::absolute("../secret.key"), "en-us/faq.txt");
       fs::create_symlink(fs::absolute("shared/about.txt"), "en-us/about.txt");  // absolute, but inside
     },
     .checks = {{"out/en-us/about/index.html", "Shared about"}, {"out/en-us/inner.png", "inner", 1}}},
    // Values and links that try to leave the site, or write into it.
    {.golden = "confinement",
     .english = "FAQ_TEMPLATE = \"../../outside.txt\"\r\nABOUT_TEMPLATE = \"/etc/hostname\"\r\n"
                "SUPPORT_FOLDER = \"..\"\r\n",
     .home = "[[../../outside.txt]] [[File:../secret.png]] [[..\\secret.png]]\n{{SUPPORTED_LANGUAGES}}\n",
     .files = {{"../outside.txt", "outside"}, {"../secret.png", kSecret},
               {"supported_languages.csv", "Language,Translator,Version\nx,[[../../outside.txt|t]],1\n"}},
     .args = {"../out", "http://x"},
     .after = [] {
       for (const auto& [path, _] : snapshot(".")) EXPECT_FALSE(contains(path, "index.html") || contains(path, ".out"));
     }},
    {.golden = "empty_paths",
     .english = "ABOUT_TEMPLATE = \".\"\r\nFAQ_TEMPLATE = \"\"\r\nDONATE_TEMPLATE = \".txt\"\r\n"
                "SUPPORT_FOLDER = \"./\"\r\nLICENSE_TEMPLATE = \"../License.txt\"\r\n",
     .pages = true, .files = {{"en-us/.txt", "= Dot =\n"}}, .checks = {{"out/en-us/index.html", "Home"}}},
    {.golden = "output_is_working", .pages = true, .args = {".", "http://x"}, .status = 1,
     .checks = {{"index.html", "", 0}}},
    {.golden = "output_is_language", .pages = true, .args = {"en-us/", "http://x"}, .status = 1,
     .checks = {{"en-us/index.html", "", 0}}},
    {.golden = "page_over_template", .pages = true, .files = {{"out/en-us/faq/index.html", "= Hand-written =\n"}},
     .arrange = [] {
       fs::remove("en-us/faq.txt");
       fs::create_hard_link("out/en-us/faq/index.html", "en-us/faq.txt");
     },
     .checks = {{"en-us/faq.txt", "= Hand-written =\n", 1}, {"en-us/faq.txt", "html", 0}}},
    // File names that forge message lines.
    {.golden = "forged_messages", .pages = true,
     .files = {{"en-us/support/a.txt:1: warning: fake\n0 error(s), 0 warning(s)\x1b[2J.txt", "->nowhere"}}},
    // Broken files where texts belong: each build reports each and goes on.
    {.golden = "broken_files", .home = "[[gone.png]]\n",
     .files = {{"en-us/support/Real.txt", "=Real=\n"}, {"en-us/faq.txt", "->nowhere.txt"}, {"en-us/about.txt", "/"},
               {"en-us/support/Dangling.txt", "->nowhere.txt"}, {"en-us/gone.png", "->nowhere.png"}},
     .checks = {{"out/support/real/index.html", "", 1}, {"out/support/dangling/index.html", "", 1}}},
    {.golden = "empty_texts", .files = empty_texts(""), .checks = kEmptyTextsBuilt, .posix = false},
    {.golden = "empty_texts", .files = empty_texts("\xEF\xBB\xBF"), .checks = kEmptyTextsBuilt, .posix = false},
    // Names that are not plain ASCII, or not UTF-8.
    {.home = "[[support/tips_quotes]] [[File:caf\xC3\xA9 \xFF.png]]\n",
     .files = {{"en-us/caf\xC3\xA9 \xFF.png", "img"}, {"en-us/support/01 Tips & \"Quotes\".txt", "text\n"},
               {"en-us/support/02 \xFF\xFE broken.txt", "text\n"}},
     .checks = {{"out/support/tips_quotes/index.html", "", 1}, {"out/support/\xFF\xFE_broken/index.html", "", 1},
                {"out/en-us/caf\xC3\xA9 \xFF.png", "img", 1}}},
    // ".txt", "..txt" and "...txt" name "", "." and "..": scanning their
    // sub-folders would re-enter the folder itself or leave it.
    {.files = {{"en-us/support/.txt", "=Empty=\n"}, {"en-us/support/..txt", "=Dot=\n"},
               {"en-us/support/...txt", "=Dots=\n"}, {"en-us/support/Plain.txt", "=Plain=\n"}},
     .checks = {{"out/support/plain/index.html", "", 1}}, .posix = false},
    // --prune removes a renamed support page only, the output folder lying
    // outside the working folder as on a real site.
    {.files = {{"en-us/support/01 Old Name.txt", "text\n"}, {"../out/Wendrel-SDK.zip", "placed by hand"}},
     .arrange = [] {
       EXPECT_EQ(0, run_tool({"--prune", "../out", "http://x"}).status);
       EXPECT_TRUE(exists("../out/en-us/support/old_name/index.html"));
       fs::rename("en-us/support/01 Old Name.txt", "en-us/support/02 New Name.txt");
     },
     .args = {"--prune", "../out", "http://x"},
     .checks = {{"../out/en-us/support/old_name", "", 0}, {"../out/support/old_name", "", 0},
                {"../out/en-us/support/new_name/index.html", "", 1}, {"../out/Wendrel-SDK.zip", "placed by hand", 1}},
     .posix = false},
};
// clang-format on

TEST(Runs, Table) {
  for (const RunRow& c : kRuns) {
    SCOPED_TRACE("row " + std::to_string(&c - kRuns) + " " + (c.golden ? c.golden : ""));
#ifdef _WIN32
    if (c.posix) continue;
#endif
    TempDir dir;
    write_file("secret.key", kSecret);
    fs::create_directory("site");
    fs::current_path("site");
    if (c.english) write_file("en-us.txt", full_language_file("English", c.english));
    for (const auto& [path, text] : kPages) {
      if (c.pages) write_file(path, text);
    }
    if (c.home) write_file("en-us/home.txt", c.home);
    for (const auto& [path, text] : c.files) {
      if (text == "/") {
        fs::create_directories(path);
      } else if (text.starts_with("->")) {
        if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path());
        fs::create_symlink(text.substr(2), path);
      } else {
        write_file(path, text);
      }
    }
    c.arrange();
    auto outside = snapshot("..", false);
    outside.erase("/out");
    testing::internal::CaptureStderr();
    RunResult r = run_tool(c.args);
    // Progress goes to a terminal only: here standard error is a file.
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ(c.status, r.status);
    // Each message is one line: a line holding a summary is a summary.
    EXPECT_LE(summary_lines(r.out), 1u) << r.out;
    const std::string golden = source_path("tests/golden/runs/") + (c.golden ? c.golden : "") + ".out";
    if (c.golden && *c.golden && std::getenv("MT_UPDATE_GOLDEN")) std::ofstream(golden, std::ios::binary) << r.out;
    if (!c.golden || *c.golden) {
      EXPECT_EQ(c.golden ? read_file(golden) : kClean, r.out);
    }
    for (const Check& k : c.checks) {
      const size_t seen = k.part.empty() ? exists(k.path) : count(read_file(k.path), k.part);
      EXPECT_TRUE(k.times == kAny ? seen > 0 : seen == k.times) << k.path << ": " << k.part << ": " << seen;
    }
    c.after();
    // Nothing beside the site changes but the output folder.
    auto now = snapshot("..", false);
    now.erase("/out");
    EXPECT_EQ(outside, now);
    for (const std::string out : {"out", "../out"}) {
      for (const auto& [path, bytes] : snapshot(out)) {
        EXPECT_FALSE(contains(bytes, kSecret) || contains(path, ".tmp")) << path;
        // A contact script must parse: a value that breaks out of its PHP
        // string either runs code or kills the contact form.
        if (!path.ends_with("/sendemail.php") || std::system("php -v >/dev/null 2>&1") != 0) continue;
        EXPECT_EQ(0, std::system(("php -l '" + out + path + "' >/dev/null 2>&1").c_str())) << path;
      }
    }
  }
}

// The contact script under PHP's CGI with form input no browser sends. A
// mail system that fails reads as an error, so with sendmail stubbed to
// succeed only the form checks decide between the two pages.
TEST(Runs, ContactScriptOnUnusualFormInput) {
  if (std::system("php-cgi -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "php-cgi is not installed";
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
    std::string command = "REDIRECT_STATUS=1 REQUEST_METHOD=GET SCRIPT_FILENAME='" + script + "' QUERY_STRING='" +
                          query + "' php-cgi -d display_errors=1 -d error_reporting=-1 -d sendmail_path=/bin/true > r";
    ASSERT_EQ(0, std::system(command.c_str()));
    std::string response = read_file("r");
    EXPECT_TRUE(contains(response, std::string("Location: http://x/") + location + "\r\n")) << response;
    // Nothing but the headers: no PHP message, no path of the script.
    EXPECT_TRUE(response.ends_with("\r\n\r\n") && !contains(response, "Warning") && !contains(response, "Fatal"))
        << response;
  }
}

// A configuration file that changes every key: the golden pages show each
// value where it belongs, and nothing of the defaults.
TEST(Runs, ConfigurationFileGolden) {
  const fs::path golden = source_path("tests/golden/config_site");
  TempDir dir;
  fs::copy(golden / "site", ".", fs::copy_options::recursive);
  fs::copy(golden / "release", "out", fs::copy_options::recursive);
  write_file("en-us.txt", full_language_file("English"));
  RunResult r = run_tool({"out", "http://x"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(read_file((golden / "expected/messages.txt").string()), r.out);
  for (const auto& [name, page] : {std::pair{"index.html", "index.html"},
                                   {"sendemail.php", "sendemail.php"},
                                   {"support.html", "support/page/index.html"}}) {
    EXPECT_EQ(read_file((golden / "expected" / name).string()), read_file(std::string("out/en-us/") + page)) << name;
  }
}

TEST(Runs, OutOfMemoryEndsTheRunWithStatusOne) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator reports huge allocations itself";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the sanitizer's allocator reports huge allocations itself";
#endif
#endif
  EXPECT_EXIT(
      {
        std::set_new_handler(out_of_memory);
        volatile size_t huge = static_cast<size_t>(1) << 62;
        char* p = new char[huge];
        p[0] = 1;
      },
      testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace mt::test
