// Rules checked on their own rather than through whole pages: heading ids,
// links in localised strings, and lines that take quadratic time or
// overflow fixed buffers in a careless renderer (checked for the shape of
// their output; whole pages are the cases of tests/driver/pathological.table).

#include <gtest/gtest.h>

#include "markup/ids.h"
#include "markup_site.h"

namespace mt {
namespace {

using test::repeat;

TEST(HeadingId, Examples) {
  // clang-format off
  const std::pair<std::string, std::string> rows[] = {
      {" Installing the Language Pack ", "installing_the_language_pack"}, {" What's New ", "whats_new"},
      {"<i>Notes</i>", "notes"}, {" <i>Notes</i>", ""},  // the "<i>" is skipped only at the start
      {"A / B", "a_b"}, {"a__", "a_"}, {"Name|Value", "name"},
      {"C#Sharp\\1", "c_sharp_1"}};
  // clang-format on
  for (const auto& [heading, id] : rows) EXPECT_EQ(id, heading_id(heading)) << heading;
}

TEST(StringLinks, Rendering) {
  test::MarkupSite site;
  // Nothing outside links is escaped; a label runs to "]]" whatever '|' it
  // holds; no 260-byte limit.
  const std::pair<std::string, std::string> rows[] = {
      {"See [[a|x|y]] & <b>", "See <a href=\"http://x/de-de/a\">x|y</a> & <b>"},
      {"[[support/wendrel/faq]] [[License.txt]] [[b|c",
       "<a href=\"http://x/de-de/support/wendrel/faq\">faq</a> <a href=\"http://x/de-de/License.txt\">"
       "http://x/de-de/License.txt</a> <a href=\"http://x/de-de/b\">c</a>"},
      {"plain [ text ]] | '''", "plain [ text ]] | '''"},
      {"[[faq|" + std::string(300, 'q') + "]]!", "<a href=\"http://x/de-de/faq\">" + std::string(300, 'q') + "</a>!"}};
  for (const auto& [text, html] : rows) EXPECT_EQ(html, render_string_links(site.build, site.lang, text));
  // Without effects a file target is expanded but not listed.
  EXPECT_EQ("http://x/de-de/img/a.png", expand_url(site.lang, "img/a.png", false));
  const std::string broken = "expand_url:0: warning: broken url /de-de/";
  EXPECT_EQ(broken + "a\n" + broken + "b\nlisted: License.txt\n", site.report());
}

TEST(Pathological, PageLines) {
  // A line, the size of its rendering and the rendering's last bytes.
  const std::tuple<std::string, size_t, std::string> rows[] = {
      {repeat("'''x", 300000), 1350000, "<b>x</b>x"},
      {repeat("'''''", 200000), 1400000, "<b><i></i></b>"},
      {repeat("[[]]", 250000), 11250000, "<a href=\"http://x/de-de/\">http://x/de-de/</a>"},
      {std::string(1000000, '<'), 4000000, "&lt;&lt;"},
      {repeat("[[File:", 142857), 1000006, "[[File:\" />"},
      {"[[File:x" + repeat("|alt=", 200000) + "]]", 37, "<img src=\"http://x/de-de/x\" alt=\"\" />"},
      {repeat("<br", 333333), 5, "<br/>"},
      {repeat("<img", 250000), 1000001, "<img<img>"},
      {"[[#" + std::string(1000000, '!') + "]]", 47, "\">http://x/de-de/#</a>"},
      {"[[support/" + repeat("a/", 300000) + "]]", 600040, "a/a/\">a/</a>"},
      {"[[a" + std::string(1000000, '|') + "b]]", 32, "<a href=\"http://x/de-de/a\">b</a>"},
  };
  test::MarkupSite site;
  for (const auto& [line, size, ending] : rows) {
    SCOPED_TRACE(line.substr(0, 10));
    std::string out;
    InlineState state;
    const LineSource source{"p.txt", 1, false};
    render_page_line(site.build, site.lang, site.page, line, ConvertOptions{}, source, state, out);
    EXPECT_EQ(size, out.size());
    EXPECT_TRUE(out.ends_with(ending));
  }
  EXPECT_EQ(2000041u, render_string_links(site.build, site.lang, repeat("[[", 500000)).size());
}

}  // namespace
}  // namespace mt
