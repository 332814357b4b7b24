// Reading page texts: line ends, byte order marks, the 65,535-byte pieces,
// contents beyond any fixed buffer, and nested conversions.

#include "markup/converter.h"

#include <gtest/gtest.h>

#include <string>

#include "helpers/fixture.h"
#include "markup_site.h"

namespace mt {
namespace {

using test::MarkupSite;
using test::TempDir;

TEST(Converter, LineEnds) {
  TempDir dir;
  MarkupSite site;
  // CR LF and LF end lines; a lone CR is text; a byte order mark is skipped
  // at the start of every line and only there; the last line needs no end.
  ASSERT_TRUE(site.convert("a\r\n\xEF\xBB\xBF" "b\r\nc\rd\nx\xEF\xBB\xBFy\n\xEF\xBB\xBF'''e"));
  EXPECT_EQ(
      "<p>a</p>\r\n<p>b</p>\r\n<p>c\rd</p>\r\n<p>x\xEF\xBB\xBFy</p>\r\n"
      "<p><b>e</p>\r\n",
      site.html.text);
  EXPECT_EQ("", site.report());  // bold left open by the last line is not reported
}

TEST(Converter, OverlongLinesAreReadInPieces) {
  const std::string link = "[[nowhere]]\n";
  const std::string link_html = "<p><a href=\"http://x/de-de/nowhere\">http://x/de-de/nowhere</a></p>\r\n";
  {
    SCOPED_TRACE("65,535 bytes with the line end fit one piece");
    TempDir dir;
    MarkupSite site;
    ASSERT_TRUE(site.convert(std::string(65534, 'a') + "\n" + link));
    EXPECT_EQ("<p>" + std::string(65534, 'a') + "</p>\r\n" + link_html, site.html.text);
    EXPECT_EQ("page.txt:2: warning: broken url /de-de/nowhere\n", site.report());
  }
  {
    SCOPED_TRACE("one byte more and the line end is a line of its own");
    TempDir dir;
    MarkupSite site;
    ASSERT_TRUE(site.convert(std::string(65535, 'a') + "\n" + link));
    EXPECT_EQ("<p>" + std::string(65535, 'a') + "</p>\r\n<br/>\r\n" + link_html, site.html.text);
    EXPECT_EQ("page.txt:3: warning: broken url /de-de/nowhere\n", site.report());
  }
  {
    SCOPED_TRACE("each piece starts plain and counts as a line");
    TempDir dir;
    MarkupSite site;
    ASSERT_TRUE(site.convert("'''" + std::string(65600, 'a') + "\n" + link));
    EXPECT_EQ("<p><b>" + std::string(65532, 'a') + "</p>\r\n<p>" + std::string(68, 'a') + "</p>\r\n" + link_html,
              site.html.text);
    EXPECT_EQ("page.txt:1: warning: still bold\npage.txt:3: warning: broken url /de-de/nowhere\n", site.report());
  }
}

TEST(Converter, ContentsBeyondFixedBuffersAreWrittenWhole) {
  TempDir dir;
  MarkupSite site;
  const std::string angles(65534, '<');
  const std::string heading = "== " + std::string(60000, 'W') + " ==";
  const std::string target(60000, 'p');
  ASSERT_TRUE(site.convert(angles + "\n" + heading + "\n[[" + target + "]]\n"));

  std::string escaped;
  for (int i = 0; i < 65534; ++i) escaped += "&lt;";
  EXPECT_EQ("<p>" + escaped + "</p>\r\n" +
                "<h2 id=\"" + std::string(60000, 'w') + "\"> " + std::string(60000, 'W') + " </h2>\r\n" +
                "<p><a href=\"http://x/de-de/" + target + "\">http://x/de-de/" + target + "</a></p>\r\n",
            site.html.text);
  EXPECT_EQ("page.txt:3: warning: broken url /de-de/" + target + "\n", site.report());
}

TEST(Converter, SourcesAndNesting) {
  {
    SCOPED_TRACE("a missing text writes and reports nothing");
    TempDir dir;
    MarkupSite site;
    EXPECT_FALSE(convert_page(site.build, site.lang, site.page, "missing.txt", site.options));
    EXPECT_EQ("", site.html.text);
    EXPECT_EQ("", site.report());
  }
  {
    SCOPED_TRACE("messages name the source path as given");
    TempDir dir;
    MarkupSite site(true);
    ASSERT_TRUE(site.convert("''x\n[[nowhere]]\n", "de-de/support/01-Wendrel/02-FAQ.txt"));
    EXPECT_EQ(
        "de-de/support/01-Wendrel/02-FAQ.txt:1: warning: still italic\n"
        "02-FAQ.txt:2: warning: broken url /de-de/nowhere\n",
        site.report());
  }
  {
    SCOPED_TRACE("a nested conversion has its own state and may not include itself");
    TempDir dir;
    MarkupSite site;
    test::write_file("{{PREVIOUS_VERSIONS}}.txt", "'''inner\n{{PREVIOUS_VERSIONS}}\n");
    ASSERT_TRUE(site.convert("<ul>\n{{PREVIOUS_VERSIONS}} ignored\n'''outer\n"));
    EXPECT_EQ("<ul>\r\n<li><p><b>inner</p>\r\n<p><b>outer</p>\r\n", site.html.text);
    EXPECT_EQ(
        "{{PREVIOUS_VERSIONS}}.txt:1: warning: still bold\n"
        "{{PREVIOUS_VERSIONS}}.txt:2: error: PREVIOUS_VERSIONS includes itself\n",
        site.report());
    EXPECT_TRUE(site.page.converting.empty());
  }
}

}  // namespace
}  // namespace mt
