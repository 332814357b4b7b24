// The link rules outside page lines: localised strings, URL expansion on
// its own, and the URLs of template pages.

#include <gtest/gtest.h>

#include "markup_site.h"

namespace mt {
namespace {

TEST(StringLinks, Rendering) {
  test::TempDir dir;
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
  EXPECT_EQ("expand_url:0: warning: broken url /de-de/a\nexpand_url:0: warning: broken url /de-de/b\n"
            "listed: License.txt\n",
            site.report());
}

TEST(ExpandUrl, AnchorsAndFiles) {
  test::TempDir dir;
  test::MarkupSite site;
  auto expand = [&](const char* target, bool effects) { return expand_url(site.lang, site.build, target, effects); };
  EXPECT_EQ("http://x/de-de/faq#q_as", expand("faq#Q&A's", true));
  EXPECT_EQ("http://x/de-de/faq#__a", expand("faq#__a__", true));  // '_' is copied, trailing ones go
  EXPECT_EQ("http://x/de-de/faq#b_c", expand("faq#b#c", true));
  EXPECT_EQ("http://x/de-de/faq#\xC3\x84x", expand("faq#\xC3\x84X", true));
  EXPECT_EQ("/files/setup.zip", expand("/files/setup.zip", true));
  EXPECT_EQ("http://x/de-de/img/a.png", expand("img/a.png", false));  // lists nothing
  EXPECT_EQ("", site.report());
  EXPECT_EQ("http://x/de-de/IMG/A.PNG", expand("IMG/A.PNG", true));
  EXPECT_EQ("http://x/de-de/img/a.png", expand("img/a.png", true));
  EXPECT_EQ("listed: IMG/A.PNG\n", site.report());
}

TEST(TemplatePageUrl, CutsOnlyTheFileExtension) {
  Language language;
  LangBuild lang;
  lang.lang = &language;
  lang.base_url = "http://example.com";
  EXPECT_EQ("http://example.com/faq", template_page_url(lang, FAQ_TEMPLATE));
  language.values[FAQ_TEMPLATE] = "faq";
  EXPECT_EQ("http://example.com/faq", template_page_url(lang, FAQ_TEMPLATE));
  language.values[FAQ_TEMPLATE] = "faq.old.txt";
  EXPECT_EQ("http://example.com/faq.old", template_page_url(lang, FAQ_TEMPLATE));
}

}  // namespace
}  // namespace mt
