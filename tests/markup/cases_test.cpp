// Runs the examples of tests/markup/cases/*.txt. An example is fenced by
// "~~~ example" (or "~~~ example support") and "~~~" and holds the page text,
// a "." line, the HTML (line ends are CR LF in the output; "¶" marks output
// that ends without one), and optionally a "." line and the report
// (messages, broken links, "listed: " files). Fences "~~~ file NAME" before
// an example hold files it reads. "→" is a tab, "␍" a lone carriage
// return and "␀" a NUL byte in input and output; "‹BOM›" is a byte order
// mark and "‹N×x›" N copies of "x" anywhere. The rest is commentary.
//
// Also runs the golden files of tests/golden/: whole output files of one
// fixture build, byte for byte. MT_UPDATE_GOLDEN=1 rewrites them from the
// real output (then review the diff before committing).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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
  const std::string open = "‹", close = "›", times = "×";
  for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
    const size_t end = text.find(close, at), mid = text.find(times, at);
    const std::string inner = text.substr(at + open.size(), end - at - open.size());
    const std::string bytes =
        inner == "BOM" ? "\xEF\xBB\xBF"
                       : test::repeat(text.substr(mid + times.size(), end - mid - times.size()), std::stoul(inner));
    text.replace(at, end + close.size() - at, bytes);
    at += bytes.size();
  }
  return text;
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
      into = &examples.back().parts[++part];
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

/// The folder `relative` of the source tree.
std::filesystem::path source(const char* relative) {
  const char* root = std::getenv("MT_SOURCE_DIR");
  return (root ? std::filesystem::path(root) : std::filesystem::path(__FILE__).parent_path() / "../..") / relative;
}

TEST(ConversionExamples, AllCaseFiles) {
#ifdef _WIN32
  GTEST_SKIP() << "the case files spell listed paths with '/'";
#endif
  for (const auto& entry : std::filesystem::directory_iterator(source("tests/markup/cases"))) {
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

TEST(GoldenFiles, WholeOutputs) {
  test::TempDir dir;
  test::write_file("de-de.txt", test::full_language_file("Deutsch"));
  test::write_file("de-de/faq.txt", "Questions\n");
  EXPECT_EQ("maketarnwick: builds the tarnwick web site\n0 error(s), 0 warning(s)\n",
            test::run_tool({"out", "http://x"}).out);
  for (const auto& [output, name] : {std::pair{"faq/index.html", "faq.html"}, {"sendemail.php", "sendemail.php"}}) {
    SCOPED_TRACE(name);
    std::string actual = test::read_file(std::string("out/de-de/") + output);
    // One stylesheet rule a line: the sheet is a single line in the page.
    const size_t from = actual.find("<style"), to = actual.find("</style>");
    if (from != std::string::npos && to != std::string::npos) {
      actual.replace(from, to - from, replace_all(actual.substr(from, to - from), "}", "}\n"));
    }
    const std::filesystem::path golden = source("tests/golden") / name;
    if (std::getenv("MT_UPDATE_GOLDEN")) std::ofstream(golden, std::ios::binary) << actual;
    EXPECT_EQ(test::read_file(golden.string()), actual);
  }
}

}  // namespace
}  // namespace mt
