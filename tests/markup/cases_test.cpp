// Runs the examples of tests/markup/cases/*.txt: "~~~ example" (or "~~~ example support") to "~~~"
// holds the page text, ".", the HTML (CR LF as line ends, "¶" for a missing last one), and maybe
// "." and the report (messages, broken links, "listed: " files). Or a page line and the HTML written
// once it is read stand side by side, "TEXT ⇒ HTML", and "⇒ HTML" continues that HTML; then "."
// and the report follow. "~~~ file NAME" fences before it hold files it reads. "→" tab,
// "␍" CR, "␀" NUL, "‹BOM›", "‹N×x›" N copies of x. Then rules checked alone, among them single
// lines that take quadratic time or overflow fixed buffers (whole pages: driver/pathological.table).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "markup/ids.h"
#include "markup_site.h"

namespace mt {
namespace {

struct Example {
  int line;
  bool support;
  std::vector<std::pair<std::string, std::string>> files;  // name and contents, written first
  std::string parts[3];                                    // page text, HTML, report
};

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

/// Expands "‹BOM›" and "‹N×x›".
std::string expand(std::string text) {
  static const std::regex mark("‹(?:BOM|(\\d+)×(.+?))›");
  std::string out;
  for (std::smatch m; std::regex_search(text, m, mark); text = m.suffix().str()) {
    const std::string bytes = m[1].matched ? test::repeat(m[2].str(), std::stoul(m[1].str())) : "\xEF\xBB\xBF";
    out += m.prefix().str() + bytes;
  }
  return out + text;
}

std::vector<Example> read_examples(const std::filesystem::path& file) {
  std::vector<Example> examples;
  std::vector<std::pair<std::string, std::string>> files;  // for the next example
  std::ifstream in(file);
  std::string line, *into = nullptr;  // the file or part being read, if any
  int part = -1;                      // of the example being read, if any
  for (int number = 1; std::getline(in, line); ++number) {
    if (!into && line.starts_with("~~~ file ")) {
      into = &files.emplace_back(line.substr(9), "").second;
    } else if (!into && line.starts_with("~~~ example")) {
      examples.push_back(Example{number, line.ends_with("support"), std::exchange(files, {}), {}});
      into = &examples.back().parts[part = 0];
    } else if (into && line == "~~~") {
      into = nullptr;
      part = -1;
    } else if (part >= 0 && line == ".") {
      Example& example = examples.back();
      into = &example.parts[part = part == 0 && !example.parts[1].empty() ? 2 : part + 1];
    } else if (const size_t beside = line.find("⇒ "); part == 0 && beside != std::string::npos) {
      if (beside > 0) examples.back().parts[0] += line.substr(0, beside - 1) + "\n";
      examples.back().parts[1] += line.substr(beside + std::string_view("⇒ ").size()) + "\n";
    } else if (into) {
      *into += line + "\n";
    }
  }
  return examples;
}

/// Input as typed in a case file.
std::string typed(const std::string& text) {
  return replace_all(replace_all(replace_all(expand(text), "→", "\t"), "␍", "\r"), "␀", std::string(1, '\0'));
}

/// Output as a case file shows it: the reverse of `typed` (but for the
/// "‹›" forms), CR LF as a line end, and "¶" where the output ends without one.
std::string readable(const std::string& html) {
  std::string text = replace_all(replace_all(replace_all(html, "\r\n", "\n"), "\r", "␍"), "\t", "→");
  text = replace_all(text, std::string(1, '\0'), "␀");
  return text.empty() || text.back() == '\n' ? text : text + "¶\n";
}

TEST(ConversionExamples, AllCaseFiles) {
#ifdef _WIN32
  GTEST_SKIP() << "the case files spell listed paths with '/'";
#endif
  for (const auto& entry : std::filesystem::directory_iterator(test::source_path("tests/markup/cases"))) {
    const std::vector<Example> examples = read_examples(entry.path());
    EXPECT_FALSE(examples.empty()) << entry.path();
    for (const Example& example : examples) {
      SCOPED_TRACE(entry.path().filename().string() + ":" + std::to_string(example.line));
      test::MarkupSite site(example.support);
      for (const auto& [name, contents] : example.files) test::write_file(name, typed(contents));
      ASSERT_TRUE(site.convert(typed(example.parts[0])));
      EXPECT_EQ(expand(example.parts[1]), readable(site.html.text));
      EXPECT_EQ(example.parts[2], site.report());
    }
  }
}

TEST(HeadingId, Examples) {
  const std::pair<std::string, std::string> rows[] = {
      {" Installing the Language Pack ", "installing_the_language_pack"}, {" What's New ", "whats_new"},
      {"<i>Notes</i>", "notes"}, {" <i>Notes</i>", ""},  // the "<i>" is skipped only at the start
      {"A / B", "a_b"}, {"a__", "a_"}, {"Name|Value", "name"}, {"C#Sharp\\1", "c_sharp_1"}};
  for (const auto& [heading, id] : rows) EXPECT_EQ(id, heading_id(heading)) << heading;
}

TEST(StringLinks, Rendering) {
  test::MarkupSite site;
  // Nothing outside links is escaped; a label runs to "]]" whatever '|' it holds; no 260-byte limit.
  const std::pair<std::string, std::string> rows[] = {
      {"See [[a|x|y]] & <b>", "See <a href=\"http://x/de-de/a\">x|y</a> & <b>"},
      {"[[support/wendrel/faq]] [[License.txt]] [[b|c",
       "<a href=\"http://x/de-de/support/wendrel/faq\">faq</a> <a href=\"http://x/de-de/License.txt\">"
       "http://x/de-de/License.txt</a> <a href=\"http://x/de-de/b\">c</a>"},
      {"plain [ text ]] | '''", "plain [ text ]] | '''"},
      {"[[faq|" + std::string(300, 'q') + "]]!", "<a href=\"http://x/de-de/faq\">" + std::string(300, 'q') + "</a>!"}};
  for (const auto& [text, html] : rows) EXPECT_EQ(html, render_string_links(site.build, site.lang, text));
  // Resolving a file target only names the file; nothing is listed.
  UrlTarget image = resolve_target(site.lang, "img/a.png");
  EXPECT_EQ("http://x/de-de/img/a.png img/a.png", image.url + " " + image.file);
  const std::string broken = "expand_url:0: warning: broken url /de-de/";
  EXPECT_EQ(broken + "a\n" + broken + "b\nlisted: License.txt\n", site.report());
}

TEST(Pathological, PageLines) {
  // A line, the size of its rendering and the rendering's last bytes.
  const std::tuple<std::string, size_t, std::string> rows[] = {
      {test::repeat("'''x", 300000), 1350000, "<b>x</b>x"},
      {test::repeat("'''''", 200000), 1400000, "<b><i></i></b>"},
      {test::repeat("[[]]", 250000), 11250000, "<a href=\"http://x/de-de/\">http://x/de-de/</a>"},
      {std::string(1000000, '<'), 4000000, "&lt;&lt;"},
      {test::repeat("[[File:", 142857), 1000006, "[[File:\" />"},
      {"[[File:x" + test::repeat("|alt=", 200000) + "]]", 37, "<img src=\"http://x/de-de/x\" alt=\"\" />"},
      {test::repeat("<br", 333333), 5, "<br/>"},
      {test::repeat("<img", 250000), 1000001, "<img<img>"},
      {"[[#" + std::string(1000000, '!') + "]]", 47, "\">http://x/de-de/#</a>"},
      {"[[support/" + test::repeat("a/", 300000) + "]]", 600040, "a/a/\">a/</a>"},
      {"[[a" + std::string(1000000, '|') + "b]]", 32, "<a href=\"http://x/de-de/a\">b</a>"},
  };
  test::MarkupSite site;
  for (const auto& [line, size, ending] : rows) {
    InlineState state;
    const std::string out = render_page_line(site.lang, site.page, line, {}, state).html;
    EXPECT_TRUE(out.size() == size && out.ends_with(ending)) << line.substr(0, 10) << ": " << out.size();
  }
  EXPECT_EQ(2000041u, render_string_links(site.build, site.lang, test::repeat("[[", 500000)).size());
}

}  // namespace
}  // namespace mt
