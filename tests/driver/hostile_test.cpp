// Runs over sites that fight back: odd files where texts belong, links and
// values that try to leave the site, names that are not plain ASCII.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "driver/build.h"
#include "helpers/fixture.h"

namespace fs = std::filesystem;

namespace mt::test {
namespace {

/// Every file below `root`, by its path below `root`, with its bytes.
std::map<std::string, std::string> snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files[entry.path().string().substr(root.size())] = read_file(entry.path().string());
  }
  return files;
}

/// One hostile source or argument, with the fault it guards against. The
/// whole standard output of the run is compared with the golden file
/// tests/driver/hostile/<golden>.out (MT_UPDATE_GOLDEN=1 rewrites them).
/// Every row runs in "site/" below a folder that holds "secret.key", the
/// file that must never be published.
struct HostileCase {
  const char* fault;
  const char* golden;
  std::function<void()> arrange;
  std::function<void()> check = [] {};
  std::vector<std::string> args = {"out", "http://x"};
  int status = 0;
};

void site_with(const std::string& extra = "") {
  write_file("en-us.txt", full_language_file("English", extra));
  write_file("en-us/home.txt", "= Home =\n");
  write_file("en-us/faq.txt", "= FAQ =\n");
  write_file("en-us/about.txt", "= About =\n");
  write_file("en-us/support/Page.txt", "=Page=\n");
}

bool php_available() { return std::system("php -v >/dev/null 2>&1") == 0; }

// Every contact script written must parse: a value that breaks out of its
// PHP string either runs code or kills the contact form.
void expect_scripts_parse() {
  if (!exists("out") || !php_available()) return;
  for (const auto& entry : fs::recursive_directory_iterator("out")) {
    if (entry.path().filename() != "sendemail.php") continue;
    std::string command = "php -l '" + entry.path().string() + "' >/dev/null 2>&1";
    EXPECT_EQ(0, std::system(command.c_str())) << entry.path();
  }
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

std::string golden_path(const std::string& name) {
  const char* root = std::getenv("MT_SOURCE_DIR");
  return std::string(root ? root : ".") + "/tests/driver/hostile/" + name + ".out";
}

const HostileCase kHostileCases[] = {
    // 1. PHP code injection through the contact script.
    {"contact-ok page name runs PHP code", "script_ok_name",
     [] { site_with("CONTACTOK_TEMPLATE = \"ok{${system($_GET[0])}}.txt\"\r\n"); },
     [] { EXPECT_FALSE(contains(read_file("out/en-us/sendemail.php"), "system")); }},
    {"contact-error page name breaks the script", "script_error_name",
     [] { site_with("CONTACTERROR_TEMPLATE = \"err\\.txt\"\r\nCONTACTOK_TEMPLATE = \"o\x01k.txt\"\r\n"); },
     [] { EXPECT_TRUE(contains(read_file("out/sendemail.php"), "http://x/contacterror")); }},
    {"language file name with a quote breaks the script", "script_code",
     [] {
       site_with();
       write_file("y\"z.txt", full_language_file("Y"));
       write_file(".txt", full_language_file("Empty"));
     },
     [] { EXPECT_FALSE(exists("out/y\"z")); }},
    {"URL root with a quote", "url_quote", [] { site_with(); }, [] { EXPECT_FALSE(exists("out")); },
     {"out", "http://x/a\"b"}, 1},
    {"URL root with a PHP variable", "url_dollar", [] { site_with(); }, [] { EXPECT_FALSE(exists("out")); },
     {"out", "http://x/$HOME"}, 1},
    {"URL root with a line break", "url_newline", [] { site_with(); }, [] { EXPECT_FALSE(exists("out")); },
     {"out", "http://x/\n<b>"}, 1},
    // 2. A link standing in the output folder is replaced, not written through.
    {"page written through a link in the output", "output_link",
     [] {
       site_with();
       fs::create_directories("out/en-us/faq");
       fs::create_symlink("../../../../secret.key", "out/en-us/faq/index.html");
     },
     [] {
       EXPECT_EQ("secret", read_file("../secret.key"));
       EXPECT_FALSE(fs::is_symlink("out/en-us/faq/index.html"));
       EXPECT_TRUE(contains(read_file("out/en-us/faq/index.html"), "FAQ"));
     }},
    // 3. Link loops in the support tree.
    {"support link loop never ends", "support_loop",
     [] {
       site_with();
       write_file("en-us/support/A.txt", "=A=\n");
       write_file("en-us/support/B.txt", "=B=\n");
       fs::create_directory_symlink(".", "en-us/support/A");
       fs::create_directory_symlink(".", "en-us/support/B");
     },
     [] {
       EXPECT_TRUE(exists("out/en-us/support/a/index.html"));
       EXPECT_FALSE(exists("out/en-us/support/a/a"));
     }},
    // 4. Links publishing files from outside the site; links inside keep working.
    {"links publish files from outside the site", "outside_links",
     [] {
       site_with();
       write_file("en-us/home.txt", "[[File:logo.png]] [[File:inner.png]]\n{{SUPPORTED_LANGUAGES}}\n");
       write_file("shared/about.txt", "= Shared about =\n");
       write_file("shared/inner.png", "inner");
       fs::remove("en-us/faq.txt");
       fs::remove("en-us/about.txt");
       fs::create_symlink("../../secret.key", "en-us/logo.png");
       fs::create_symlink(fs::absolute("../secret.key"), "en-us/faq.txt");
       fs::create_symlink(fs::absolute("shared/about.txt"), "en-us/about.txt");  // absolute, but inside
       fs::create_symlink("../shared/inner.png", "en-us/inner.png");
       fs::create_symlink("../../../secret.key", "en-us/support/Secret.txt");
       fs::create_directory_symlink("../../..", "en-us/support/Page");
       fs::create_symlink("../secret.key", "supported_languages.csv");
       fs::create_symlink("../secret.key", "de-de.txt");
     },
     [] {
       std::string written;
       for (const auto& entry : fs::recursive_directory_iterator("out")) {
         if (entry.is_regular_file()) written += read_file(entry.path().string());
       }
       EXPECT_FALSE(contains(written, "secret")) << "a secret was published";
       EXPECT_TRUE(contains(read_file("out/en-us/about/index.html"), "Shared about"));
       EXPECT_EQ("inner", read_file("out/en-us/inner.png"));
     }},
    // 5. Path values that pass the check but overwrite pages.
    {"page names that land on the home page", "empty_paths",
     [] {
       site_with("ABOUT_TEMPLATE = \".\"\r\nFAQ_TEMPLATE = \"\"\r\nDONATE_TEMPLATE = \".txt\"\r\n"
                 "SUPPORT_FOLDER = \"./\"\r\nLICENSE_TEMPLATE = \"../License.txt\"\r\n");
       write_file("en-us/.txt", "= Dot =\n");
     },
     [] { EXPECT_TRUE(contains(read_file("out/en-us/index.html"), "Home")); }},
    {"output folder is the working folder", "output_is_working", [] { site_with(); },
     [] { EXPECT_FALSE(exists("index.html")); }, {".", "http://x"}, 1},
    {"output folder is a language folder", "output_is_language", [] { site_with(); },
     [] { EXPECT_FALSE(exists("en-us/index.html")); }, {"en-us/", "http://x"}, 1},
    {"page written over its own template", "page_over_template",
     [] {
       site_with();
       fs::create_directories("out/en-us/faq");
       write_file("out/en-us/faq/index.html", "= Hand-written =\n");
       fs::remove("en-us/faq.txt");
       fs::create_hard_link("out/en-us/faq/index.html", "en-us/faq.txt");
     },
     [] { EXPECT_EQ("= Hand-written =\n", read_file("en-us/faq.txt")); }},
    // 8. Forged diagnostics.
    {"file names forge message lines", "forged_messages",
     [] {
       site_with();
       fs::create_symlink("nowhere", "en-us/support/a.txt:1: warning: fake\n0 error(s), 0 warning(s)\x1b[2J.txt");
     }},
};

TEST(Hostile, CasesTable) {
#ifdef _WIN32
  GTEST_SKIP() << "golden messages spell paths with '/' and most rows make POSIX symbolic links; "
                  "tools/windows.sh runs the rows that apply to Windows under wine";
#endif
  for (const HostileCase& c : kHostileCases) {
    SCOPED_TRACE(c.fault);
    TempDir dir;
    write_file("secret.key", "secret");
    fs::create_directory("site");
    ASSERT_EQ(0, chdir("site"));
    c.arrange();
    RunResult r = run_tool(c.args);
    EXPECT_EQ(c.status, r.status);
    // Each message is one line: a line holding a summary is a summary.
    EXPECT_EQ(c.status ? 0 : 1, summary_lines(r.out)) << r.out;
    const std::string golden = golden_path(c.golden);
    if (std::getenv("MT_UPDATE_GOLDEN")) {
      std::ofstream(golden, std::ios::binary) << r.out;
    } else {
      EXPECT_EQ(read_file(golden), r.out);
    }
    c.check();
    expect_scripts_parse();
    // No temporary file is left anywhere.
    if (exists("out")) {
      for (const auto& entry : fs::recursive_directory_iterator("out")) {
        EXPECT_FALSE(contains(entry.path().filename().string(), ".tmp")) << entry.path();
      }
    }
  }
}

TEST(Hostile, ContactScriptOnUnusualFormInput) {
  if (std::system("php-cgi -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "php-cgi is not installed";
  TempDir dir;
  site_with();
  run_tool({"out", "http://x"});
  const std::string script = fs::absolute("out/sendemail.php").string();
  struct Row {
    const char* query;
    const char* location;
  };
  // A mail system that fails reads as an error, so only the form checks
  // decide between the two pages with sendmail stubbed to succeed.
  for (const Row& row : {Row{"email[]=x&message=m", "contacterror"}, Row{"email=a%00b&message=m", "contacterror"},
                         Row{"email=a@b.c&message[]=x", "contacterror"}, Row{"email=a@b.c&message=a%00b", "contacterror"},
                         Row{"email=a@b.c&message=hi", "contactok"}}) {
    SCOPED_TRACE(row.query);
    std::string command = "REDIRECT_STATUS=1 REQUEST_METHOD=GET SCRIPT_FILENAME='" + script + "' QUERY_STRING='" +
                          row.query + "' php-cgi -d display_errors=1 -d error_reporting=-1 -d sendmail_path=/bin/true > response";
    ASSERT_EQ(0, std::system(command.c_str()));
    std::string response = read_file("response");
    EXPECT_TRUE(contains(response, std::string("Location: http://x/") + row.location + "\r\n")) << response;
    // Nothing but the headers: no PHP message, no path of the script.
    EXPECT_TRUE(response.ends_with("\r\n\r\n")) << response;
    EXPECT_FALSE(contains(response, "Warning") || contains(response, "Fatal")) << response;
  }
}

TEST(Hostile, BrokenFilesWhereTextsBelong) {
#ifdef _WIN32
  GTEST_SKIP() << "makes POSIX symbolic links";
#else
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("en-us/home.txt", "[[gone.png]]\n");
  fs::create_symlink("nowhere.txt", "en-us/faq.txt");              // dangling template
  fs::create_directories("en-us/about.txt");                       // a folder where a template belongs
  write_file("en-us/support/Real.txt", "=Real=\n");
  fs::create_symlink("nowhere.txt", "en-us/support/Dangling.txt");  // dangling support page
  fs::create_symlink("nowhere.png", "en-us/gone.png");              // dangling referenced file
  std::string out = run_tool({"out", "http://x"}).out;
  // Each build (en-us, then the root) reports each of them and goes on.
  for (const char* message : {"en-us: error: cant open en-us/faq.txt\n", "en-us: error: cant open en-us/about.txt\n",
                              "en-us: error: cant open en-us/support/Dangling.txt\n",
                              "en-us: error: unable to copy file gone.png: 2\n"}) {
    size_t first = out.find(message);
    ASSERT_NE(std::string::npos, first) << message << " in\n" << out;
    EXPECT_NE(std::string::npos, out.find(message, first + 1)) << message;
  }
  EXPECT_TRUE(contains(out, "8 error(s), 0 warning(s)\n")) << out;
  EXPECT_TRUE(fs::exists("out/support/real/index.html"));
  EXPECT_TRUE(fs::exists("out/support/dangling/index.html"));  // written with an empty content column
#endif
}

TEST(Hostile, EmptyAndByteOrderMarkOnlyTexts) {
  for (const std::string& text : {std::string(), std::string("\xEF\xBB\xBF")}) {
    TempDir dir;
    write_file("en-us.txt", full_language_file("English"));
    write_file("xx-xx.txt", text);
    for (const char* name : {"home.txt", "faq.txt", "support/Page.txt", "support/Page/Child.txt"}) {
      write_file(std::string("en-us/") + name, text);
    }
    write_file("en-us/downloads.txt", "{{DONATE_HISTORY}}\n{{SUPPORTED_LANGUAGES}}\n{{PREVIOUS_VERSIONS}}\n");
    for (const char* name : {"donations.csv", "supported_languages.csv", "previous_stable_releases.csv",
                             "{{PREVIOUS_VERSIONS}}.txt"}) {
      write_file(name, text);
    }
    std::string out = run_tool({"out", "http://x"}).out;
    EXPECT_TRUE(contains(out, "xx-xx.txt: error: _LANGUAGE_NAME not set\n")) << out;
    EXPECT_TRUE(contains(out, "1 error(s), 74 warning(s)\n")) << out;
    EXPECT_TRUE(fs::exists("out/support/page/child/index.html"));
    EXPECT_TRUE(contains(read_file("out/support/page/index.html"), "<li class=\"wikinavindent1\"><p><a href=\"http://x/support/page\"><b>Page</b></a></p></li>"));
  }
}

TEST(Hostile, UnusualFileNames) {
#ifdef _WIN32
  GTEST_SKIP() << "needs file names Windows does not allow: '\"' and bytes that are not UTF-8";
#else
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("en-us/home.txt", "[[support/tips_quotes]] [[File:caf\xC3\xA9 \xFF.png]]\n");
  write_file("en-us/caf\xC3\xA9 \xFF.png", "img");
  write_file("en-us/support/01 Tips & \"Quotes\".txt", "text\n");
  write_file("en-us/support/02 \xFF\xFE broken.txt", "text\n");
  std::string out = run_tool({"out", "http://x"}).out;
  EXPECT_EQ("maketarnwick: builds the tarnwick web site\n0 error(s), 0 warning(s)\n", out);
  EXPECT_TRUE(fs::exists("out/support/tips_quotes/index.html"));
  EXPECT_TRUE(fs::exists("out/support/\xFF\xFE_broken/index.html"));
  EXPECT_EQ("img", read_file("out/en-us/caf\xC3\xA9 \xFF.png"));
#endif
}

TEST(Hostile, SupportNamesThatPointAtTheirOwnFolder) {
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  // ".txt", "..txt" and "...txt" name "", "." and "..": scanning their
  // sub-folders would re-enter the folder itself or leave it.
  write_file("en-us/support/.txt", "=Empty=\n");
  write_file("en-us/support/..txt", "=Dot=\n");
  write_file("en-us/support/...txt", "=Dots=\n");
  write_file("en-us/support/Plain.txt", "=Plain=\n");
  std::string out = run_tool({"out", "http://x"}).out;
  EXPECT_TRUE(contains(out, "0 error(s), 0 warning(s)\n")) << out;
  EXPECT_TRUE(fs::exists("out/support/plain/index.html"));
}

TEST(Confinement, NothingLeavesTheSite) {
#ifdef _WIN32
  GTEST_SKIP() << "expected messages spell paths with '/' and uses POSIX chdir";
#else
  TempDir dir;
  fs::create_directories("site");
  write_file("outside.txt", "outside");
  write_file("secret.png", "secret");
  ASSERT_EQ(0, chdir("site"));
  write_file("en-us.txt", full_language_file("English",
                                             "FAQ_TEMPLATE = \"../../outside.txt\"\r\n"
                                             "ABOUT_TEMPLATE = \"/etc/hostname\"\r\n"
                                             "SUPPORT_FOLDER = \"..\"\r\n"));
  write_file("en-us/home.txt", "[[../../outside.txt]] [[File:../secret.png]] [[..\\secret.png]]\n{{SUPPORTED_LANGUAGES}}\n");
  write_file("supported_languages.csv", "Language,Translator,Version\nx,[[../../outside.txt|t]],1\n");
  std::string out = run_tool({"../out", "http://x"}).out;
  ASSERT_EQ(0, chdir(".."));
  for (const char* message : {"en-us.txt: error: unsafe path in FAQ_TEMPLATE: ../../outside.txt\n",
                              "en-us.txt: error: unsafe path in ABOUT_TEMPLATE: /etc/hostname\n",
                              "en-us.txt: error: unsafe path in SUPPORT_FOLDER: ..\n",
                              "en-us: error: refusing to copy file outside the site ../../outside.txt\n",
                              "en-us: error: refusing to copy file outside the site ../secret.png\n",
                              "en-us: error: refusing to copy file outside the site ..\\secret.png\n"}) {
    EXPECT_TRUE(contains(out, message)) << message << " in\n" << out;
  }
  // Outside the sources and the output everything is as it was.
  std::set<std::string> top;
  for (const auto& entry : fs::directory_iterator(".")) top.insert(entry.path().filename().string());
  EXPECT_EQ((std::set<std::string>{"out", "outside.txt", "secret.png", "site"}), top);
  EXPECT_EQ("outside", read_file("outside.txt"));
  EXPECT_EQ("secret", read_file("secret.png"));
  EXPECT_FALSE(fs::exists("site/en-us.txt.out"));
  for (const auto& entry : fs::recursive_directory_iterator("site")) {
    EXPECT_FALSE(entry.path().filename() == "index.html") << entry.path();
  }
#endif
}

TEST(Determinism, SameSourcesGiveTheSameTree) {
  TempDir dir;
  write_file("en-us.txt", full_language_file("English"));
  write_file("de-de.txt", full_language_file("Deutsch"));
  for (const char* code : {"en-us", "de-de"}) {
    write_file(std::string(code) + "/home.txt", "= Home =\n__TOC__\n== A ==\n[[support/wendrel]]\n");
    write_file(std::string(code) + "/support/01 Wendrel.txt", "=Wendrel=\n* x\n");
    write_file(std::string(code) + "/support/01 Wendrel/b.txt", "=B=\n");
    write_file(std::string(code) + "/support/01 Wendrel/A.txt", "=A=\n");
  }
  run_tool({"one", "http://x"});
  run_tool({"two", "http://x"});
  const std::map<std::string, std::string> one = snapshot("one");
  EXPECT_FALSE(one.empty());
  EXPECT_EQ(one, snapshot("two"));
}

}  // namespace
}  // namespace mt::test
