// Runs the pathological inputs of pathological.table (the benchmark times
// the same cases): each built into a one-language sub-site in memory and
// checked for the shape of what comes out, never for time.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "driver/build.h"
#include "helpers/fixture.h"
#include "lang/languages.h"

namespace mt::test {

std::string unescape(std::string_view text);  // runs_test.cpp

namespace {

struct Case {
  int line;
  std::string name, kind = {}, argument = {};
  long size = 0;
  std::vector<std::tuple<std::string, size_t, std::string>> expects = {};  // where, count, text
};

std::vector<Case> read_cases() {
  std::ifstream in(source_path("tests/driver/pathological.table"));
  std::vector<Case> cases;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::istringstream fields(line);
    std::string key, first, rest;
    fields >> key >> first;
    std::getline(fields >> std::ws, rest);
    if (key == "case") cases.push_back(Case{number, first + " " + rest});
    if (key == "input") {
      const size_t space = rest.find(' ');
      cases.back().size = std::stol(first), cases.back().kind = rest.substr(0, space);
      cases.back().argument = space == std::string::npos ? "" : unescape(rest.substr(space + 1));
    }
    if (key == "expect") {
      const size_t space = rest.find(' ');
      const size_t times = std::stoul(rest.substr(0, space));
      cases.back().expects.emplace_back(first, times,
                                        space == std::string::npos ? "" : unescape(rest.substr(space + 1)));
    }
  }
  return cases;
}

using Files = std::map<std::string, std::string>;

/// The case's files, on top of the base site. `support` gets the path slug
/// of the support page whose shape is checked.
Files make_files(const Case& c, std::string& support) {
  const long n = c.size;
  Files files;
  std::string& home = files["en-us/home.txt"];
  support = "page";
  if (c.kind == "line") {
    home = repeat(c.argument, n / c.argument.size()) + "\n";
    files["en-us/support/Page.txt"] = "=Page=\n" + home;
  } else if (c.kind == "lines") {
    const size_t space = c.argument.find(' ');
    home = repeat(c.argument.substr(0, space) + "\n", n);
    if (space != std::string::npos) home += repeat(c.argument.substr(space + 1) + "\n", n);
  } else if (c.kind == "toc") {
    home = "__TOC__\n" + repeat(c.argument + "\n", n);
  } else if (c.kind == "links") {
    const char* kinds[] = {"[[faq|FAQ]]", "[[support/Page#Top|top]]", "[[https://example.org/a#B C|ext]]",
                           "[[License.txt]]"};
    for (long i = 0; i < n; ++i) {
      home += (i > 0 ? " " : "") + (i % 5 < 4 ? kinds[i % 5] : "[[faq#missing_" + std::to_string(i) + "|broken]]");
    }
    home += "\n";
  } else if (c.kind == "tree") {
    std::string folder = "en-us/support";
    support = "";
    for (long i = 1; i <= n; ++i) {
      files[folder + "/L" + std::to_string(i) + ".txt"] = "=Level " + std::to_string(i) + "=\nText.\n";
      folder += "/L" + std::to_string(i);
      support += (i > 1 ? "/l" : "l") + std::to_string(i);
    }
  } else if (c.kind == "folder") {
    home = "<ul>\n";
    for (long i = 0; i < n; ++i) {
      const std::string name = "Page " + std::to_string(i), number = std::to_string(100000 + i).substr(1) + " ";
      files["en-us/support/" + (i % 2 ? number + name : name) + ".txt"] = "=" + name + "=\nText.\n";
      if (i % 10 == 0) home += "* [[support/page_" + std::to_string(i) + "]]\n";
    }
    home += "</ul>\n";
  } else if (c.kind == "keys") {
    std::string& text = files["en-us.txt"] = "_LANGUAGE_NAME = \"English (US)\"\n";
    for (long i = 0; i < n; ++i) {
      const std::string key = i % 1000 == 999 ? "UNKNOWN_" + std::to_string(i) : kStringTable[i % kStringCount].id;
      text += key + " = \"value " + std::to_string(i) + "\"\n";
    }
  } else if (c.kind == "csv") {
    files["donations.csv"] =
        "date,name,comment,amount\n2016-01-01,Ann,\"" + repeat("word, \\\"quoted\\\" \\\\ ", n / 20) + "\",10.00\n";
    home = "{{DONATE_HISTORY}}\n";
  } else {
    ADD_FAILURE() << "unknown input " << c.kind;
  }
  if (home.empty()) files.erase("en-us/home.txt");
  return files;
}

/// The text between the first `begin` and the last `end`: a page's content.
std::string between(const std::string& page, std::string_view begin, std::string_view end) {
  const size_t from = page.find(begin), to = page.rfind(end);
  if (from == std::string::npos || to == std::string::npos || to < from + begin.size()) return "<no content>";
  return page.substr(from + begin.size(), to - from - begin.size());
}

TEST(PathologicalInputs, Table) {
#ifdef _WIN32
  GTEST_SKIP() << "the table spells paths with '/', and 20,000 pages in one folder take too long under wine";
#endif
  const std::vector<Case> cases = read_cases();
  EXPECT_GE(cases.size(), 20u);
  for (const Case& c : cases) {
    SCOPED_TRACE("pathological.table:" + std::to_string(c.line) + ": " + c.name);
    TempDir dir(true);  // tens of thousands of files and megabytes: on a disk they would test the disk
    std::string support_slug;
    Files files = make_files(c, support_slug);
    files.insert({{"en-us/home.txt", "== Home ==\nHello.\n"},
                  {"en-us/faq.txt", "== Questions ==\nAsk.\n"},
                  {"en-us/License.txt", "free\n"},
                  {"en-us/support/Page.txt", "=Page=\n== Top ==\nText.\n"}});
    for (const auto& [path, text] : files) write_file(path, text);
    SiteRecords site("en-us");
    if (files.contains("en-us.txt")) site.language() = load_language_file(site.sources, "en-us.txt", site.build.diag);
    std::filesystem::create_directory("out");
    build_language(site.build, site.language(), "en-us");
    site.build.links.final_check(site.build.diag);

    std::map<std::string, std::string> seen = {
        {"homefile", read_file("out/en-us/index.html")},
        {"supportfile", read_file("out/en-us/support/" + support_slug + "/index.html")},
        {"log", site.messages.text}};
    seen["home"] = between(seen["homefile"], "<div class=\"contentpadding\">\r\n",
                           "</div>\r\n</div>\r\n</div>\r\n<div class=\"bot\">");
    seen["support"] = between(seen["supportfile"], "<div class=\"wikicontent\">\r\n",
                              "<br/>\r\n</div>\r\n<div style=\"clear:both\">");
    for (int i = 0; i < kStringCount; ++i) {
      seen["strings"] += std::string(kStringTable[i].id) + " = " + site.language().value(i) + "\n";
    }
    size_t pages = 0;
    std::error_code none;  // a language file may name another support folder
    for (const auto& entry : std::filesystem::recursive_directory_iterator("out/en-us/support", none)) {
      pages += entry.path().filename() == "index.html";
    }
    if (c.kind == "line") {
      EXPECT_EQ("<h1 id=\"page\">Page</h1>\r\n" + seen["home"], seen["support"]);
    }
    for (const auto& [where, times, text] : c.expects) {
      EXPECT_EQ(times, where == "pages" ? pages : count(seen.at(where), text)) << where << " " << text;
    }
  }
}

}  // namespace
}  // namespace mt::test
