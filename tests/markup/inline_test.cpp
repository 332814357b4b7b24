// The link rules outside page lines: localised strings, URL expansion on
// its own, and the URLs of template pages.

#include "markup/inline.h"

#include <gtest/gtest.h>

#include <string>

#include "helpers/fixture.h"
#include "markup_site.h"

namespace mt {
namespace {

using test::MarkupSite;
using test::TempDir;

TEST(StringLinks, Rendering) {
  TempDir dir;
  MarkupSite site;
  // Nothing outside links is escaped, and a label runs to "]]" whatever
  // '|' it holds.
  EXPECT_EQ("See <a href=\"http://x/de-de/a\">x|y</a> & <b>",
            render_string_links(site.build, site.lang, "See [[a|x|y]] & <b>"));
  EXPECT_EQ(
      "<a href=\"http://x/de-de/support/wendrel/faq\">faq</a> "
      "<a href=\"http://x/de-de/License.txt\">http://x/de-de/License.txt</a> "
      "<a href=\"http://x/de-de/b\">c</a>",
      render_string_links(site.build, site.lang, "[[support/wendrel/faq]] [[License.txt]] [[b|c"));
  EXPECT_EQ("plain [ text ]] | '''", render_string_links(site.build, site.lang, "plain [ text ]] | '''"));
  // No 260-byte limit on the result.
  const std::string label(300, 'q');
  EXPECT_EQ("<a href=\"http://x/de-de/faq\">" + label + "</a>!",
            render_string_links(site.build, site.lang, "[[faq|" + label + "]]!"));
  EXPECT_EQ(
      "expand_url:0: warning: broken url /de-de/a\n"
      "expand_url:0: warning: broken url /de-de/b\n"
      "listed: License.txt\n",
      site.report());
}

TEST(ExpandUrl, AnchorsAndFiles) {
  TempDir dir;
  MarkupSite site;
  EXPECT_EQ("http://x/de-de/faq#q_as", expand_url(site.lang, site.build, "faq#Q&A's"));
  EXPECT_EQ("http://x/de-de/faq#__a", expand_url(site.lang, site.build, "faq#__a__"));
  EXPECT_EQ("http://x/de-de/faq#b_c", expand_url(site.lang, site.build, "faq#b#c"));
  EXPECT_EQ("http://x/de-de/faq#", expand_url(site.lang, site.build, "faq#!!"));
  EXPECT_EQ("http://x/de-de/faq#\xC3\x84x", expand_url(site.lang, site.build, "faq#\xC3\x84X"));
  EXPECT_EQ("mailto:a@b.c", expand_url(site.lang, site.build, "mailto:a@b.c"));

  // Only expansions with effects list files.
  EXPECT_EQ("http://x/de-de/img/a.png", expand_url(site.lang, site.build, "img/a.png", false));
  EXPECT_TRUE(site.lang.files.paths().empty());
  EXPECT_EQ("http://x/de-de/img/a.png", expand_url(site.lang, site.build, "img/a.png"));
  EXPECT_EQ("http://x/de-de/IMG/A.PNG", expand_url(site.lang, site.build, "IMG/A.PNG"));
  EXPECT_EQ("/files/setup.zip", expand_url(site.lang, site.build, "/files/setup.zip"));
  EXPECT_EQ("listed: img/a.png\n", site.report());
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
