// Named pathological inputs, each built into a one-language sub-site and
// checked for the shape of what comes out, never for time: a quadratic
// regression shows as a table that does not finish. Inputs and sizes follow
// bench/pathological.py at its largest size. The inline renderer's own
// pathological lines and 200,000 nested "<ul>" lines are in
// tests/markup/pathological_test.cpp.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "driver/build.h"
#include "helpers/fixture.h"
#include "lang/languages.h"

namespace mt::test {
namespace {

using Files = std::map<std::string, std::string>;

/// The text between the first `begin` and the last `end`: a page's content
/// without its frame.
std::string between(const std::string& page, std::string_view begin, std::string_view end) {
  size_t from = page.find(begin);
  size_t to = page.rfind(end);
  if (from == std::string::npos || to == std::string::npos || to < from + begin.size()) return "<no content>";
  return page.substr(from + begin.size(), to - from - begin.size());
}

/// What the converter wrote into the home page and into a support page, and
/// the messages of the language build and the final link check.
struct Outcome {
  std::string messages;
  int errors = 0;
  int warnings = 0;

  std::string home() const {
    return between(read_file("out/en-us/index.html"), "<div class=\"contentpadding\">\r\n",
                   "</div>\r\n</div>\r\n</div>\r\n<div class=\"bot\">");
  }
  std::string support(const std::string& path_slug = "page") const {
    return between(read_file("out/en-us/support/" + path_slug + "/index.html"), "<div class=\"wikicontent\">\r\n",
                   "<br/>\r\n</div>\r\n<div style=\"clear:both\">");
  }
};

using Check = std::function<void(const Outcome&)>;

struct Case {
  const char* name;
  std::function<Files()> make;
  Check check;
};

/// Builds the "en-us" sub-site of a base site (a home page, a page for links
/// to land on, a file to link, one support page with a heading) with the
/// case's files added or replaced, then checks it while the output exists.
void build_and_check(const Case& c) {
  SCOPED_TRACE(c.name);
  TempDir dir(true);  // tens of thousands of files and megabytes: on a disk they would test the disk
  Files files = c.make();
  files.insert({{"en-us/home.txt", "== Home ==\nHello.\n"},
                {"en-us/faq.txt", "== Questions ==\nAsk.\n"},
                {"en-us/License.txt", "free\n"},
                {"en-us/support/Page.txt", "=Page=\n== Top ==\nText.\n"}});
  for (const auto& [path, text] : files) write_file(path, text);
  SiteRecords site("en-us");
  std::filesystem::create_directory("out");
  build_language(site.build, site.language(), "/en-us", "/en-us", "en-us");
  site.build.links.final_check(site.build.diag);
  c.check(Outcome{site.messages.text, site.build.diag.errors, site.build.diag.warnings});
}

constexpr size_t kPiece = 65535;  // and 16 full pieces make a megabyte less 16 bytes

/// A line of a megabyte made of `marker` in the home page and in the support
/// page after its title; it reaches the converter in 65,535-byte pieces, each
/// a line of its own. Both pages get the same content.
Case megabyte_of(std::string_view marker, Check check) {
  const std::string text = repeat(marker, (1 << 20) / marker.size()) + "\n";
  return {marker.data(),
          [text] { return Files{{"en-us/home.txt", text}, {"en-us/support/Page.txt", "=Page=\n" + text}}; },
          [check](const Outcome& o) {
            check(o);
            EXPECT_EQ("<h1 id=\"page\">Page</h1>\r\n" + o.home(), o.support());
          }};
}

/// `messages` for each line of the 16 full pieces of both pages.
std::string per_piece(std::initializer_list<std::string_view> messages) {
  std::string text;
  for (const auto& [path, first] : {std::pair{"en-us/home.txt:", 1}, std::pair{"en-us/support/Page.txt:", 2}}) {
    for (int line = first; line < first + 16; ++line) {
      for (std::string_view message : messages) text += path + std::to_string(line) + std::string(message);
    }
  }
  return text;
}

TEST(PathologicalInputs, MegabyteLinesOfOneMarker) {
#ifdef _WIN32
  GTEST_SKIP() << "expected messages spell paths with '/'";
#else
  // A full piece of quotes is 13,107 bold-and-italic toggles, so each leaves
  // both open and starts the next plain.
  const std::string toggles = "<p>" + repeat("<b><i></i></b>", 6553) + "<b><i></p>\r\n";
  const std::string quotes = per_piece({": warning: still bold\n", ": warning: still italic\n"});
  const std::string stars = std::string(kPiece - 1, '*');
  const std::string repeated_ids = repeat("id  already exists\n", 32);
  const struct {
    const char* marker;
    std::string home;
    std::string messages;
  } exact[] = {
      {"'''", repeat(toggles, 16) + "<p><b><i></i></b><b><i></p>\r\n", quotes},
      {"''", repeat(toggles, 16) + "<p><b><i></i></b><b><i>'</p>\r\n", quotes},
      {"<", repeat("<p>" + repeat("&lt;", kPiece) + "</p>\r\n", 16) + "<p>" + repeat("&lt;", 16) + "</p>\r\n", ""},
      {"{{", "", ""},  // macro calls of names no macro has
      {"=", repeat("<h2 id=\"\"></h2>\r\n", 17), repeated_ids},
      {"|", "", ""},
      {";",
       repeat("<dt id=\"\"><p>" + std::string(kPiece - 1, ';') + "</p></dt>\r\n", 16) + "<dt id=\"\"><p>" +
           std::string(15, ';') + "</p></dt>\r\n",
       repeated_ids},
      {"*",
       "<li><p>" + stars + "</p>" + repeat("</li>\r\n<li><p>" + stars + "</p>", 15) + "</li>\r\n<li><p>" +
           std::string(15, '*') + "</p>",
       ""},
  };
  for (const auto& c : exact) {
    build_and_check(megabyte_of(c.marker, [&](const Outcome& o) {
      EXPECT_EQ(c.home, o.home());
      EXPECT_EQ(c.messages, o.messages);
    }));
  }
  build_and_check(megabyte_of("[[", [](const Outcome& o) {
    // Each piece is one link to its end; none leads anywhere.
    const std::string link = "http://x/en-us/" + std::string(kPiece - 2, '[');
    EXPECT_EQ(repeat("<p><a href=\"" + link + "\">" + link + "</a></p>\r\n", 16) +
                  "<p><a href=\"http://x/en-us/[[[[[[[[[[[[[[\">http://x/en-us/[[[[[[[[[[[[[[</a></p>\r\n",
              o.home());
    EXPECT_EQ(34u, count(o.messages, ": warning: broken url /en-us/[[[["));
    EXPECT_EQ(34, o.warnings);
  }));
  build_and_check(megabyte_of("[[File:", [](const Outcome& o) {
    // Each piece is one image to its end, its target holding a ':' (so
    // never a listed file); the last piece is "File:[[File:".
    std::string home = o.home();
    EXPECT_EQ(17u, count(home, "<img src=\""));
    EXPECT_EQ(0u, count(home, "<a href"));
    EXPECT_EQ(1048859u, home.size());
    EXPECT_TRUE(home.ends_with("<p>File:<img src=\"http://x/en-us/\" /></p>\r\n"));
    EXPECT_EQ("", o.messages);
  }));
#endif
}

std::function<Files()> home_page(std::string text) {
  return [text] { return Files{{"en-us/home.txt", text}}; };
}

/// bench/pathological.py's line of links, five kinds in turn: a page, a
/// support heading, an external link, a file and a broken anchor.
std::string links_on_one_line(int n) {
  const std::string kinds[] = {"[[faq|FAQ]]", "[[support/Page#Top|top]]", "[[https://example.org/a#B C|ext]]",
                               "[[License.txt]]"};
  std::string line;
  for (int i = 0; i < n; ++i) {
    line += i > 0 ? " " : "";
    line += i % 5 < 4 ? kinds[i % 5] : "[[faq#missing_" + std::to_string(i) + "|broken]]";
  }
  return line + "\n";
}

TEST(PathologicalInputs, ManyBlocksAndLinks) {
  const Case cases[] = {
      {"100,000 nested <dl> lines, then closed", home_page(repeat("<dl>\n", 100000) + repeat("</dl>\n", 100000)),
       [](const Outcome& o) {
         // One description flag serves every depth.
         EXPECT_EQ(
             "<dl>\r\n<dd><dl>\r\n" + repeat("<dl>\r\n", 99998) + "</dd>\r\n</dl>\r\n" + repeat("</dl>\r\n", 99999),
             o.home());
       }},
      {"100,000 unclosed <pre> lines", home_page(repeat("<pre>\n", 100000)),
       [](const Outcome& o) { EXPECT_EQ("<pre>&lt;pre&gt;" + repeat("<br/>&lt;pre&gt;", 99998), o.home()); }},
      {"100,000 unclosed tables", home_page(repeat("{|\n", 100000)),
       [](const Outcome& o) { EXPECT_EQ(repeat("<table>\r\n<tr>", 100000), o.home()); }},
      {"50,000 headings with one title", home_page("__TOC__\n" + repeat("== Same title ==\n", 50000)),
       [](const Outcome& o) {
         EXPECT_EQ("<div class=\"toc\">\r\n<ul>\r\n" +
                       repeat("<li class=\"toclvl2\"><p><a href=\"#same_title\"> Same title </a></p></li>\r\n", 50000) +
                       "</ul>\r\n</div>\r\n" + repeat("<h2 id=\"same_title\"> Same title </h2>\r\n", 50000),
                   o.home());
         // Each repeat is printed once, and counts nothing.
         EXPECT_EQ(repeat("id same_title already exists\n", 49999), o.messages);
       }},
      {"10,000 links on one line", home_page(links_on_one_line(10000)),
       [](const Outcome& o) {
         // The 229,778-byte line is four pieces. Each cut falls inside a
         // link, whose start still makes a link: "[[faq" (known),
         // "[[Lice" (broken) and "[[https://example.org/a#B" (external);
         // the rest of each cut link is text.
         std::string home = o.home();
         EXPECT_EQ(10000u, count(home, "<a href="));
         EXPECT_EQ(2000u, count(home, "<a href=\"http://x/en-us/support/page#top\">top</a>"));
         EXPECT_EQ(1999u, count(home, ">broken</a>"));
         EXPECT_EQ(4u, count(home, "<p>"));
         EXPECT_EQ(2000, o.warnings);
         EXPECT_EQ(0, o.errors);
         EXPECT_EQ(1999u, count(o.messages, ": warning: broken url /en-us/faq#missing_"));
         EXPECT_EQ(1u, count(o.messages, "home.txt:2: warning: broken url /en-us/Lice\n"));
         EXPECT_EQ("free\n", read_file("out/en-us/License.txt"));
       }},
  };
  for (const Case& c : cases) build_and_check(c);
}

/// `n` pages in one folder, every other one with an ordering number, and a
/// home page that links every tenth of them.
Files wide_support_folder(int n) {
  Files files;
  std::string links = "<ul>\n";
  for (int i = 0; i < n; ++i) {
    std::string name = "Page " + std::to_string(i);
    char number[16];
    std::snprintf(number, sizeof number, "%05d ", i);
    files["en-us/support/" + (i % 2 ? number + name : name) + ".txt"] = "=" + name + "=\nText.\n";
    if (i % 10 == 0) links += "* [[support/page_" + std::to_string(i) + "]]\n";
  }
  files["en-us/home.txt"] = links + "</ul>\n";
  return files;
}

size_t page_files_below(const std::string& folder) {
  size_t n = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    n += entry.path().filename() == "index.html";
  }
  return n;
}

TEST(PathologicalInputs, SupportTreesAndTables) {
#ifdef _WIN32
  GTEST_SKIP() << "the test's own file helpers stop at MAX_PATH, and 20,000 pages in one folder take too long under wine";
#else
  std::string deepest = "l1";
  for (int i = 2; i <= 200; ++i) deepest += "/l" + std::to_string(i);
  const Case cases[] = {
      {"a support tree 200 folders deep",
       [] {
         Files files;
         std::string folder = "en-us/support";
         for (int i = 1; i <= 200; ++i) {
           files[folder + "/L" + std::to_string(i) + ".txt"] = "=Level " + std::to_string(i) + "=\nText.\n";
           folder += "/L" + std::to_string(i);
         }
         return files;
       },
       [&](const Outcome& o) {
         EXPECT_EQ(201u, page_files_below("out/en-us/support"));
         EXPECT_EQ("<h1 id=\"level_200\">Level 200</h1>\r\n<p>Text.</p>\r\n", o.support(deepest));
         // Its navigation shows the whole chain, itself last and deepest.
         std::string page = read_file("out/en-us/support/" + deepest + "/index.html");
         EXPECT_EQ(200u, count(page, "<li class=\"wikinavindent"));
         EXPECT_EQ(1u, count(page, "<li class=\"wikinavindent200\"><p><a href=\"http://x/en-us/support/" + deepest +
                                       "\"><b>Level 200</b></a></p></li>"));
         EXPECT_EQ("", o.messages);
       }},
      {"a support folder of 20,000 pages", [] { return wide_support_folder(20000); },
       [](const Outcome& o) {
         EXPECT_EQ(20001u, page_files_below("out/en-us/support"));
         // " Page 1" keeps the blank after its ordering number; its slug
         // does not.
         EXPECT_TRUE(exists("out/en-us/support/page_1/index.html"));
         EXPECT_EQ(2000u, count(o.home(), "<a href=\"http://x/en-us/support/page_"));
         // A top-level page shows only itself.
         EXPECT_EQ(1u, count(read_file("out/en-us/support/page_19999/index.html"), "<li class=\"wikinavindent"));
         EXPECT_EQ("", o.messages);
       }},
      {"a CSV line of a megabyte inside quotes",
       [] {
         const std::string field = repeat("word, \\\"quoted\\\" \\\\ ", (1 << 20) / 20);
         return Files{{"donations.csv", "date,name,comment,amount\n2016-01-01,Ann,\"" + field + "\",10.00\n"},
                      {"en-us/home.txt", "{{DONATE_HISTORY}}\n"}};
       },
       [](const Outcome& o) {
         // The line reaches the reader in 65,535-byte pieces: the first has
         // no amount, and every later one starts inside the quoted field,
         // whose escaped quotes never close it, so no piece has the four
         // fields a row needs: the table stays empty.
         EXPECT_TRUE(o.home().ends_with("Amount</th></tr>\r\n</table>\r\n"));
         EXPECT_EQ("", o.messages);
       }},
  };
  for (const Case& c : cases) build_and_check(c);
#endif
}

TEST(PathologicalInputs, LanguageFileOfAMillionKeys) {
  // bench/pathological.py's file: the string ids in turn, every thousandth
  // key unknown.
  TempDir dir(true);
  std::string text = "_LANGUAGE_NAME = \"English (US)\"\n";
  for (int i = 0; i < 1000000; ++i) {
    text += i % 1000 == 999 ? "UNKNOWN_" + std::to_string(i) + " = \"x\"\n"
                            : std::string(kStringTable[i % kStringCount].id) + " = \"value " + std::to_string(i) + "\"\n";
  }
  write_file("en-us.txt", text);
  StringSink out;
  Diagnostics diag{&out};
  Language language = load_language_file("en-us.txt", diag);
  EXPECT_EQ(1000, diag.warnings);
  EXPECT_EQ(0, diag.errors);
  EXPECT_TRUE(out.text.starts_with("en-us.txt: warning: unknown string defined UNKNOWN_999\n"
                                   "en-us.txt: warning: unknown string defined UNKNOWN_1999\n"));
  EXPECT_TRUE(out.text.ends_with("en-us.txt: warning: unknown string defined UNKNOWN_999999\n"));
  // The last line for each id wins.
  EXPECT_EQ("value 999962", language.value(HOME));
  EXPECT_EQ("value 999961", language.value(DOWNLOAD_WENDREL_OFFLINE_HELP));
  EXPECT_EQ("English (US)", language.display_name);
}

}  // namespace
}  // namespace mt::test
