// The link rules outside page lines: localised strings and URL expansion on
// its own.

#include <gtest/gtest.h>

#include "markup_site.h"

namespace mt {
namespace {

TEST(StringLinks, Rendering) {
  test::MarkupSite site;
  auto render = [&](const std::string& text) { return render_string_links(site.build, site.lang, text); };
  // Nothing outside links is escaped; a label runs to "]]" whatever '|' it
  // holds; no 260-byte limit.
  EXPECT_EQ("See <a href=\"http://x/de-de/a\">x|y</a> & <b>", render("See [[a|x|y]] & <b>"));
  EXPECT_EQ("<a href=\"http://x/de-de/support/wendrel/faq\">faq</a> "
            "<a href=\"http://x/de-de/License.txt\">http://x/de-de/License.txt</a> <a href=\"http://x/de-de/b\">c</a>",
            render("[[support/wendrel/faq]] [[License.txt]] [[b|c"));
  EXPECT_EQ("plain [ text ]] | '''", render("plain [ text ]] | '''"));
  EXPECT_EQ("<a href=\"http://x/de-de/faq\">" + std::string(300, 'q') + "</a>!",
            render("[[faq|" + std::string(300, 'q') + "]]!"));
  // Without effects a file target is expanded but not listed.
  EXPECT_EQ("http://x/de-de/img/a.png", expand_url(site.lang, "img/a.png", false));
  EXPECT_EQ("expand_url:0: warning: broken url /de-de/a\nexpand_url:0: warning: broken url /de-de/b\n"
            "listed: License.txt\n",
            site.report());
}

}  // namespace
}  // namespace mt
