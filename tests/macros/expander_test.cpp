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

TEST(Macros, Screenshot) {
  MacroSite site;
  EXPECT_EQ("<div class=\"screenshot\">\r\n<a href=\"http://x/de-de/support/wendrel\"><img alt=\"Wendrel\" "
            "height=215 src=\"http://x/sssmall2.gif\" width=277 /></a>\r\n</div>\r\n<div>\r\n",
            expand(site, "SCREENSHOT_BEGIN"));
  EXPECT_TRUE(site.lang.files.paths().empty());
  EXPECT_EQ("</div>\r\n<div style=\"clear:both\">\r\n</div>\r\n", expand(site, "screenshot_end"));

  // The Spanish sub-site has its own copy, listed once however often it is shown.
  site.use_code("ES-es");
  const std::string spanish =
      "<div class=\"screenshot\">\r\n<a href=\"http://x/ES-es/support/wendrel\"><img alt=\"Wendrel\" "
      "height=215 src=\"http://x/es-es/sssmall2.gif\" width=277 /></a>\r\n</div>\r\n<div>\r\n";
  EXPECT_EQ(spanish, expand(site, "Screenshot_Begin"));
  EXPECT_EQ(spanish, expand(site, "SCREENSHOT_BEGIN"));
  EXPECT_EQ(std::vector<std::string>{"sssmall2.gif"}, site.lang.files.paths());
}

TEST(Macros, NamesAreWholeAndCaseBlind) {
  MacroSite site;
  const std::string contact =
      "<form action=\"http://x/de-de/sendemail.php\" method=\"post\"><p>Message:<br/><textarea name=\"message\" "
      "cols=\"40\" rows=\"7\" style=\"width:100%;\"></textarea></p><p><br/>Email (optional):<br/><input "
      "type=\"text\" name=\"email\" size=\"25\" maxlength=\"100\" style=\"width:40%;\" /></p><p><br/><input "
      "type=\"submit\" value=\"Send\" style=\"width:80px;\" /></p></form>";
  EXPECT_EQ(contact, expand(site, "CONTACT_FORM"));
  EXPECT_EQ(contact, expand(site, "Contact_Form"));
  // Near names write nothing, and so does a shared text that is missing.
  for (const char* silent : {"CONTACT_FORM ", " CONTACT_FORM", "CONTACT", "", "DOWNLOAD_WENDREL_BETA",
                             "PREVIOUS_VERSIONS"}) {
    EXPECT_EQ("", expand(site, silent)) << silent;
  }
  // Each download macro reaches its own section.
  const struct {
    const char* name;
    const char* start;
  } sections[] = {{"download_wendrel", "<h2 id=\"dl\">"},
                  {"DOWNLOAD_ALL_WENDREL", "<h2 id=\"all\">"},
                  {"DOWNLOAD_WENDREL_LANGUAGE_PACK", "<h2 id=\"language\">"},
                  {"DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE", "<h2 id=\"cli\">"},
                  {"DOWNLOAD_WENDREL_SDK", "<h2 id=\"sdk\">"},
                  {"DOWNLOAD_WENDREL_OFFLINE_HELP", "<h2 id=\"chm\">"},
                  {"donate_history", "<table class=\"donatehistorytable\""}};
  for (const auto& s : sections) EXPECT_TRUE(expand(site, s.name).starts_with(s.start)) << s.name;
  // Whichever page calls them, the sections are anchors of the downloads page.
  for (const char* id : {"dl", "all", "language", "sdk", "chm", "cli"}) {
    EXPECT_TRUE(site.build.links.known(std::string("/de-de/downloads#") + id)) << id;
    EXPECT_TRUE(site.build.links.known(std::string("/de-de/downloads/#") + id)) << id;
    EXPECT_FALSE(site.build.links.known(std::string("/downloads#") + id)) << id;
  }
}

TEST(Macros, DonateForm) {
  MacroSite site;
  EXPECT_EQ(
      "<form name=\"_donations\" action=\"https://www.paypal.com/us/cgi-bin/webscr\" method=\"post\"><input "
      "type=\"hidden\" name=\"cmd\" value=\"_donations\"><input type=\"hidden\" name=\"business\" "
      "value=\"donations@tarnwick.example\"><input type=\"hidden\" name=\"currency_code\" value=\"USD\"><input "
      "type=\"hidden\" name=\"item_name\" value=\"Wendrel\"><input type=\"hidden\" name=\"no_shipping\" "
      "value=\"1\"><input type=\"hidden\" name=\"return\" value=\"https://www.tarnwick.example/de-de/donated\">"
      "<p><input type=\"hidden\" name=\"on0\" value=\"Name\">Name (optional, name will be published below, leave "
      "blank for an anonymous donation):<br/><input type=\"text\" name=\"os0\"></p><br/><p><input "
      "type=\"hidden\" name=\"on1\" value=\"Comment\" maxlength=\"200\">Comment (optional, 200 characters "
      "max):<br/><textarea maxlength=\"200\" cols=\"40\" rows=\"7\" style=\"width:100%;\" "
      "name=\"os1\"></textarea></p><br/><input type=\"image\" src=\"http://x/de-de/paypal.donate.png\" "
      "border=\"0\" name=\"submit\" alt=\"Donate\"></form>",
      expand(site, "DONATE_FORM"));
  EXPECT_EQ(std::vector<std::string>{"paypal.donate.png"}, site.lang.files.paths());

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
    EXPECT_NE(std::string::npos, form.find(std::string("name=\"currency_code\" value=") + v.currency)) << v.code;
    EXPECT_NE(std::string::npos, form.find(std::string("name=\"return\" value=") + v.return_address)) << v.code;
  }
  // Raw values go out unescaped; only the last extension of the page is cut.
  site.build.languages[0].values[DONATE_FORM_NAME] = "<b>Name</b>";
  site.build.languages[0].values[DONATED_TEMPLATE] = "thanks.v2.txt";
  std::string form = expand(site, "DONATE_FORM");
  EXPECT_NE(std::string::npos, form.find("value=\"Name\"><b>Name</b><br/>"));
  EXPECT_NE(std::string::npos, form.find("value=\"https://www.tarnwick.example/thanks.v2\""));
}

TEST(Macros, LanguagesAndFixedExample) {
  MacroSite site;
  site.build.languages.resize(3);
  site.build.languages[0].display_name = "Deutsch";
  site.build.languages[1].code = "en-us";
  site.build.languages[1].display_name = "English";
  site.build.languages[2].code = "fr-fr";
  site.build.languages[2].display_name = "Fran\xC3\xA7" "ais";
  site.lang.lang = &site.build.languages[0];
  site.use_code("");
  EXPECT_EQ("<ul>\r\n<li><p><a href=\"http://x/de-de\">Deutsch</a></p></li>\r\n"
            "<li><p><a href=\"http://x/en-us\">English</a></p></li>\r\n"
            "<li><p><a href=\"http://x/fr-fr\">Fran\xC3\xA7" "ais</a></p></li>\r\n</ul>\r\n",
            expand(site, "languages"));

  EXPECT_EQ("<pre>\r\n&lt;pre&gt;\r\nint i;\r\nfor(i=0;i&lt;10;i++)\r\n{\r\n\tprintf(\"hello %d\\n\",i);\r\n"
            "}\r\n&lt;/pre&gt;\r\n</pre>\r\n",
            expand(site, "PRE_EXAMPLE"));
}

}  // namespace
}  // namespace mt
