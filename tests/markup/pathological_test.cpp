// Inputs that would take quadratic time (or overflow fixed buffers) in a
// careless renderer. Each is checked for the shape of its output; a
// quadratic regression shows up as a test that never finishes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/fixture.h"
#include "markup/inline.h"
#include "markup_site.h"

namespace mt {
namespace {

std::string repeat(const std::string& text, size_t times) {
  std::string out;
  out.reserve(text.size() * times);
  for (size_t i = 0; i < times; ++i) out += text;
  return out;
}

struct Pathological {
  const char* name;
  std::string line;
  size_t size;         // of the rendered line
  std::string ending;  // its last bytes
};

TEST(Pathological, PageLines) {
  const std::vector<Pathological> cases = {
      {"bold toggles", repeat("'''x", 300000), 1350000, "<b>x</b>x"},
      {"bold and italic toggles", repeat("'''''", 200000), 1400000, "<b><i></i></b>"},
      {"open brackets", repeat("[[", 500000), 2000041, "[[[[</a>"},
      {"empty links", repeat("[[]]", 250000), 11250000, "<a href=\"http://x/de-de/\">http://x/de-de/</a>"},
      {"angles", repeat("<", 1000000), 4000000, "&lt;&lt;"},
      {"unclosed images", repeat("[[File:", 142857), 1000006, "[[File:\" />"},
      {"many alt texts", "[[File:x" + repeat("|alt=", 200000) + "]]", 37,
       "<img src=\"http://x/de-de/x\" alt=\"\" />"},
      {"unclosed line breaks", repeat("<br", 333333), 5, "<br/>"},
      {"unclosed img tags", repeat("<img", 250000), 1000001, "<img<img>"},
      {"anchor punctuation", "[[#" + std::string(1000000, '!') + "]]", 47,
       "<a href=\"http://x/de-de/#\">http://x/de-de/#</a>"},
      {"support segments", "[[support/" + repeat("a/", 300000) + "]]", 600040, "a/a/\">a/</a>"},
      {"labels with bars", "[[a" + repeat("|", 1000000) + "b]]", 32, "<a href=\"http://x/de-de/a\">b</a>"},
  };
  test::TempDir dir;
  test::MarkupSite site;
  for (const Pathological& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out;
    InlineState state;
    render_page_line(site.build, site.lang, site.page, c.line, ConvertOptions{}, LineSource{"p.txt", 1, false},
                     state, out);
    EXPECT_EQ(c.size, out.size());
    ASSERT_GE(out.size(), c.ending.size());
    EXPECT_EQ(c.ending, out.substr(out.size() - c.ending.size()));
  }
  // The string-link renderer shares the link scanning.
  std::string links = render_string_links(site.build, site.lang, repeat("[[", 500000));
  EXPECT_EQ(2000041u, links.size());
}

TEST(Pathological, DeepAndLongPages) {
  {
    SCOPED_TRACE("200,000 nested lists");
    test::TempDir dir;
    test::MarkupSite site;
    ASSERT_TRUE(site.convert(repeat("<ul>\n", 200000)));
    EXPECT_EQ("<ul>\r\n" + repeat("<li><ul>\r\n", 199999), site.html.text);
  }
  {
    SCOPED_TRACE("200,000 items");
    test::TempDir dir;
    test::MarkupSite site;
    ASSERT_TRUE(site.convert(repeat("* a\n", 200000)));
    EXPECT_EQ(3999993u, site.html.text.size());
  }
}

}  // namespace
}  // namespace mt
