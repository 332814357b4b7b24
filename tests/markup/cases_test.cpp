// Runs the examples of tests/markup/cases/*.txt. An example is fenced by
// "~~~ example" (or "~~~ example support") and "~~~" and holds the page text,
// a "." line, the HTML (line ends are CR LF in the output;
// "¶" marks output that ends without one), and optionally a "." line and the
// report (messages, broken links, "listed: " files); "→" is a tab. The rest
// is commentary.

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
  std::string parts[3];  // page text, HTML, report
};

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::vector<Example> read_examples(const std::filesystem::path& file) {
  std::vector<Example> examples;
  std::ifstream in(file);
  std::string line;
  int part = -1;  // -1 outside an example
  for (int number = 1; std::getline(in, line); ++number) {
    if (part < 0 && line.rfind("~~~ example", 0) == 0) {
      examples.push_back(Example{number, line.find("support") != std::string::npos, {}});
      part = 0;
    } else if (part >= 0 && line == "~~~") {
      part = -1;
    } else if (part >= 0 && line == ".") {
      ++part;
    } else if (part >= 0) {
      examples.back().parts[part] += line + "\n";
    }
  }
  return examples;
}

std::string readable(const std::string& html) {
  std::string text = replace_all(replace_all(html, "\r\n", "\n"), "\r", "␍");
  return text.empty() || text.back() == '\n' ? text : text + "¶\n";
}

TEST(ConversionExamples, AllCaseFiles) {
  const char* root = std::getenv("MT_SOURCE_DIR");
  std::filesystem::path folder = root ? std::filesystem::path(root) / "tests/markup/cases"
                                      : std::filesystem::path(__FILE__).parent_path() / "cases";
  int examples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    for (const Example& example : read_examples(entry.path())) {
      SCOPED_TRACE(entry.path().filename().string() + ":" + std::to_string(example.line));
      ++examples;
      test::MarkupSite site(example.support);
      ASSERT_TRUE(site.convert(replace_all(example.parts[0], "→", "\t")));
      EXPECT_EQ(replace_all(example.parts[1], "→", "\t"), readable(site.html.text));
      EXPECT_EQ(example.parts[2], site.report());
    }
  }
  EXPECT_GE(examples, 10);
}

}  // namespace
}  // namespace mt
