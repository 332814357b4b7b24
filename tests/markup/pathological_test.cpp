// Lines that take quadratic time or overflow fixed buffers in a careless
// inline renderer, checked for the shape of their output. Whole pages and
// sites are the cases of tests/driver/pathological.table.

#include <gtest/gtest.h>

#include "markup_site.h"

namespace mt {
namespace {

using test::repeat;

TEST(Pathological, PageLines) {
  struct Case {
    const char* name;
    std::string line;
    size_t size;         // of the rendered line
    std::string ending;  // its last bytes
  } cases[] = {
      {"bold toggles", repeat("'''x", 300000), 1350000, "<b>x</b>x"},
      {"bold and italic toggles", repeat("'''''", 200000), 1400000, "<b><i></i></b>"},
      {"empty links", repeat("[[]]", 250000), 11250000, "<a href=\"http://x/de-de/\">http://x/de-de/</a>"},
      {"angles", std::string(1000000, '<'), 4000000, "&lt;&lt;"},
      {"unclosed images", repeat("[[File:", 142857), 1000006, "[[File:\" />"},
      {"many alt texts", "[[File:x" + repeat("|alt=", 200000) + "]]", 37, "<img src=\"http://x/de-de/x\" alt=\"\" />"},
      {"unclosed line breaks", repeat("<br", 333333), 5, "<br/>"},
      {"unclosed img tags", repeat("<img", 250000), 1000001, "<img<img>"},
      {"anchor punctuation", "[[#" + std::string(1000000, '!') + "]]", 47, "\">http://x/de-de/#</a>"},
      {"support segments", "[[support/" + repeat("a/", 300000) + "]]", 600040, "a/a/\">a/</a>"},
      {"labels with bars", "[[a" + std::string(1000000, '|') + "b]]", 32, "<a href=\"http://x/de-de/a\">b</a>"},
  };
  test::MarkupSite site;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out;
    InlineState state;
    render_page_line(site.build, site.lang, site.page, c.line, ConvertOptions{}, LineSource{"p.txt", 1, false},
                     state, out);
    EXPECT_EQ(c.size, out.size());
    EXPECT_TRUE(out.ends_with(c.ending));
  }
  EXPECT_EQ(2000041u, render_string_links(site.build, site.lang, repeat("[[", 500000)).size());
}

}  // namespace
}  // namespace mt
