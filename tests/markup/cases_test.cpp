// Runs the conversion examples of tests/markup/cases/*.txt. Each example is
//
//   ~~~ example            (or "~~~ example support" for a support page)
//   page text              ("→" stands for a tab)
//   .
//   expected HTML          (each line ends in CR LF in the real output;
//                           "¶" marks output that ends without one)
//   .                      (optional)
//   expected report        (messages, broken links, "listed: " files)
//   ~~~
//
// and everything outside the fences is commentary.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "helpers/fixture.h"
#include "markup_site.h"

namespace mt {
namespace {

struct Example {
  int line = 0;
  bool support = false;
  std::string input, html, report;
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
  int number = 0;
  Example* current = nullptr;
  int section = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!current) {
      if (line.rfind("~~~ example", 0) == 0) {
        examples.push_back(Example{number, line.find("support") != std::string::npos, {}, {}, {}});
        current = &examples.back();
        section = 0;
      }
      continue;
    }
    if (line == "~~~") {
      current = nullptr;
    } else if (line == ".") {
      ++section;
    } else {
      std::string& target = section == 0 ? current->input : section == 1 ? current->html : current->report;
      target += line + "\n";
    }
  }
  return examples;
}

/// CR LF shown as a plain line end; a lone CR as "␍"; a missing final line
/// end as "¶".
std::string readable(const std::string& html) {
  std::string text = replace_all(replace_all(html, "\r\n", "\n"), "\r", "␍");
  if (!text.empty() && text.back() != '\n') text += "¶\n";
  return text;
}

std::filesystem::path cases_folder() {
  if (const char* root = std::getenv("MT_SOURCE_DIR")) return std::filesystem::path(root) / "tests/markup/cases";
  return std::filesystem::path(__FILE__).parent_path() / "cases";
}

TEST(ConversionExamples, AllCaseFiles) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(cases_folder())) {
    if (entry.path().extension() != ".txt") continue;
    ++files;
    for (const Example& example : read_examples(entry.path())) {
      SCOPED_TRACE(entry.path().filename().string() + ":" + std::to_string(example.line));
      test::TempDir dir;
      test::MarkupSite site(example.support);
      ASSERT_TRUE(site.convert(replace_all(example.input, "→", "\t")));
      EXPECT_EQ(example.html, readable(site.html.text));
      EXPECT_EQ(example.report, site.report());
    }
  }
  EXPECT_GE(files, 1);
}

}  // namespace
}  // namespace mt
