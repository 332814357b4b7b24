#include "macros/expander.h"

#include <gtest/gtest.h>

#include "macro_site.h"

namespace mt {
namespace {

using test::MacroSite;

std::string expand(MacroSite& site, std::string_view name) {
  expand_macro(site.build, site.lang, site.page, name, LineSource{"de-de/page.txt", 4});
  return site.take();
}

TEST(Macros, SpanishScreenshot) {
  // The Spanish sub-site has its own copy, listed once however often it is
  // shown; the others are examples of the markup cases.
  MacroSite site;
  site.use_code("ES-es");
  const std::string spanish =
      "<div class=\"screenshot\">\r\n<a href=\"http://x/ES-es/support/wendrel\"><img alt=\"Wendrel\" "
      "height=215 src=\"http://x/es-es/sssmall2.gif\" width=277 /></a>\r\n</div>\r\n<div>\r\n";
  EXPECT_EQ(spanish, expand(site, "Screenshot_Begin"));
  EXPECT_EQ(spanish, expand(site, "SCREENSHOT_BEGIN"));
  EXPECT_EQ(std::vector<std::string>{"sssmall2.gif"}, site.lang.files.paths());
}

TEST(Macros, DonateFormByLanguage) {
  // The form itself is an example of the markup cases.
  MacroSite site;
  const struct {
    const char* code;
    const char* currency;
    const char* return_address;
  } variants[] = {{"EN-au", "\"AUD\"", "\"https://www.tarnwick.example/EN-au/donated\""},
                  {"en-UK", "\"GBP\"", "\"https://www.tarnwick.example/en-UK/donated\""},
                  {"en-us", "\"USD\"", "\"https://www.tarnwick.example/en-us/donated\""},
                  {"", "\"USD\"", "\"https://www.tarnwick.example/donated\""}};
  for (const auto& v : variants) {
    site.use_code(v.code);
    std::string form = expand(site, "donate_form");
    EXPECT_TRUE(test::contains(form, std::string("name=\"currency_code\" value=") + v.currency)) << v.code;
    EXPECT_TRUE(test::contains(form, std::string("name=\"return\" value=") + v.return_address)) << v.code;
  }
  // Raw values go out unescaped; only the last extension of the page is cut.
  site.build.languages[0].values[DONATE_FORM_NAME] = "<b>Name</b>";
  site.build.languages[0].values[DONATED_TEMPLATE] = "thanks.v2.txt";
  std::string form = expand(site, "DONATE_FORM");
  EXPECT_TRUE(test::contains(form, "value=\"Name\"><b>Name</b><br/>"));
  EXPECT_TRUE(test::contains(form, "value=\"https://www.tarnwick.example/thanks.v2\""));
}

TEST(Macros, Languages) {
  MacroSite site;
  site.build.languages.resize(3);
  site.build.languages[0].display_name = "Deutsch";
  site.build.languages[1].code = "en-us";
  site.build.languages[1].display_name = "English";
  site.build.languages[2].code = "fr-fr";
  site.build.languages[2].display_name = "Fran\xC3\xA7" "ais";
  site.lang.language = &site.build.languages[0];
  site.use_code("");
  EXPECT_EQ("<ul>\r\n<li><p><a href=\"http://x/de-de\">Deutsch</a></p></li>\r\n"
            "<li><p><a href=\"http://x/en-us\">English</a></p></li>\r\n"
            "<li><p><a href=\"http://x/fr-fr\">Fran\xC3\xA7" "ais</a></p></li>\r\n</ul>\r\n",
            expand(site, "languages"));
}

}  // namespace
}  // namespace mt
