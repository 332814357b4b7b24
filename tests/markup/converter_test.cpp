// Reading page texts: line ends, byte order marks, 65,535-byte pieces.

#include <gtest/gtest.h>

#include "markup_site.h"

namespace mt {
namespace {

using test::MarkupSite;

TEST(Converter, LinesAndPieces) {
  const std::string link = "[[nowhere]]\n";
  const std::string link_html = "<p><a href=\"http://x/de-de/nowhere\">http://x/de-de/nowhere</a></p>\r\n";
  struct Case {
    const char* name;
    std::string text, html, report;
  } cases[] = {
      {"CR LF and LF end lines, a lone CR is text, a BOM is skipped at the start of any line only",
       "a\r\n\xEF\xBB\xBF" "b\r\nc\rd\nx\xEF\xBB\xBFy\n\xEF\xBB\xBF'''e",
       "<p>a</p>\r\n<p>b</p>\r\n<p>c\rd</p>\r\n<p>x\xEF\xBB\xBFy</p>\r\n<p><b>e</p>\r\n", ""},
      {"65,535 bytes with the line end are one piece", std::string(65534, 'a') + "\n" + link,
       "<p>" + std::string(65534, 'a') + "</p>\r\n" + link_html, "page.txt:2: warning: broken url /de-de/nowhere\n"},
      {"one byte more and the line end is a line of its own", std::string(65535, 'a') + "\n" + link,
       "<p>" + std::string(65535, 'a') + "</p>\r\n<br/>\r\n" + link_html,
       "page.txt:3: warning: broken url /de-de/nowhere\n"},
      {"each piece starts plain", "'''" + std::string(65600, 'a') + "\n" + link,
       "<p><b>" + std::string(65532, 'a') + "</p>\r\n<p>" + std::string(68, 'a') + "</p>\r\n" + link_html,
       "page.txt:1: warning: still bold\npage.txt:3: warning: broken url /de-de/nowhere\n"},
      {"a heading beyond any fixed buffer is written whole", "== " + std::string(60000, 'W') + " ==\n",
       "<h2 id=\"" + std::string(60000, 'w') + "\"> " + std::string(60000, 'W') + " </h2>\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MarkupSite site;
    ASSERT_TRUE(site.convert(c.text));
    EXPECT_EQ(c.html, site.html.text);
    EXPECT_EQ(c.report, site.report());
  }
}

}  // namespace
}  // namespace mt
