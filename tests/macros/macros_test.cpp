// What the page cases cannot show: CSV fields alone, big sizes, macros by language.

#include <gtest/gtest.h>

#include <filesystem>

#include "macros/csv.h"
#include "macros/downloads.h"
#include "macros/expander.h"
#include "markup/markup_site.h"

namespace mt {
namespace {

using test::contains;

TEST(CsvFieldReader, Quirks) {
  // Fields joined with '|'. In quotes an unknown escape drops both bytes; outside, '\' is
  // text. Quoted and unquoted pieces join; "" closes and reopens; a lone CR ends the fields.
  // clang-format off
  const std::pair<const char*, const char*> rows[] = {
      {"\"a,b\",c", "a,b|c"}, {"\"say \\\"hi\\\"\"", "say \"hi\""}, {"\"x\\\\y\"", "x\\y"}, {"\"a\\tb\"", "ab"},
      {"C:\\dir,x", "C:\\dir|x"}, {"\"a\\", "a"}, {"ab\"c,d\"e,f", "abc,de|f"}, {"\"a\"\"b\"", "ab"},
      {" a , b", " a | b"}, {"\"abc,def\r\n", "abc,def|"}, {"a,b\r\n", "a|b|"}, {"a,b\rc,d\n", "a|b||"},
      {",,x", "||x"}};
  // clang-format on
  for (const auto& [line, expected] : rows) {
    std::string joined, field;
    for (size_t n = 0, pos = 0; n <= test::count(expected, "|"); ++n) {
      pos = read_csv_field(line, pos, field);
      joined += (n ? "|" : "") + field;
    }
    EXPECT_EQ(expected, joined) << line;
  }
}

void write_sized(const std::string& path, long long size) {
  test::write_file(path, "");
  std::filesystem::resize_file(path, static_cast<uintmax_t>(size));  // sparse: takes no space
}

TEST(Downloads, SizesAndAllDownloads) {
#ifdef _WIN32
  GTEST_SKIP() << "the 5 GiB file would not be sparse on Windows";
#else
  test::MarkupSite site;
  // Whole kilobytes rounded up; 5 GiB + 1: the low 32 bits alone would say 1 KB.
  const std::pair<long long, uint64_t> sizes[] = {{0, 0}, {1, 1}, {1024, 1}, {1025, 2}, {5368709121LL, 5242881}};
  for (const auto& [bytes, kb] : sizes) {
    write_sized("out/f" + std::to_string(bytes), bytes);
    EXPECT_EQ(kb, download_size_kb(site.build, std::string("f").append(std::to_string(bytes)))) << bytes;
  }
  write_sized("out/Wendrel-1.3.4.686.x64.Multilingual.zip", 2048);
  EXPECT_EQ(2u, download_size_kb(site.build, "wendrel-1.3.4.686.X64.multilingual.zip"));  // found without case
  EXPECT_EQ("", site.messages.text);
  test::write_file("out/folder.zip/inner", "");
  EXPECT_EQ(0u, download_size_kb(site.build, "folder.zip"));
  EXPECT_EQ("error: couldn't get filesize for: folder.zip\n", std::exchange(site.messages.text, {}));

  // Every row's shape is in the configured site's golden page; here the sizes and the missing files.
  site.setup.languages[0].values[MULTILINGUAL] = "Multi";
  write_download_all(site.build, site.lang, site.html);
  const std::string html = std::exchange(site.html.text, {});
  EXPECT_TRUE(html.ends_with("<td>x64</td><td>Multi</td><td>2 KB</td></tr>\r\n</table>\r\n<br/>\r\n"));
  EXPECT_EQ(20u, test::count(html, "<tr>"));
  EXPECT_EQ(20, site.build.diag.errors);  // the other 19 files are missing
#endif
}

std::string expand(test::MarkupSite& site, std::string_view name) {
  expand_macro(site.build, site.lang, site.page, name, LineSource{"de-de/page.txt", 4});
  return std::exchange(site.html.text, {});
}

TEST(Macros, ByLanguage) {
  test::MarkupSite site;
  // The Spanish sub-site has its own screenshot, listed once however often it is shown.
  site.use_code("ES-es");
  EXPECT_TRUE(contains(expand(site, "Screenshot_Begin"), "src=\"http://x/es-es/sssmall2.gif\""));
  EXPECT_TRUE(contains(expand(site, "SCREENSHOT_BEGIN"), "src=\"http://x/es-es/sssmall2.gif\""));
  EXPECT_EQ(std::vector<std::string>{"sssmall2.gif"}, site.lang.files.paths());
  // The donation form's currency and return address.
  const std::string_view variants[][3] = {
      {"EN-au", "AUD", "EN-au/"}, {"en-UK", "GBP", "en-UK/"}, {"en-us", "USD", "en-us/"}, {"", "USD", ""}};
  for (const auto& [code, currency, path] : variants) {
    site.use_code(std::string(code));
    const std::string form = expand(site, "donate_form"),
                      back = std::string("example/").append(path).append("donated\"");
    EXPECT_TRUE(contains(form, std::string("\"").append(currency).append("\"")) && contains(form, back)) << code;
  }
  // Raw values go out unescaped; only the last extension of the page is cut.
  site.setup.languages[0].values[DONATE_FORM_NAME] = "<b>Name</b>";
  site.setup.languages[0].values[DONATED_TEMPLATE] = "thanks.v2.txt";
  const std::string form = expand(site, "DONATE_FORM");
  EXPECT_TRUE(contains(form, "value=\"Name\"><b>Name</b><br/>"));
  EXPECT_TRUE(contains(form, "value=\"https://www.tarnwick.example/thanks.v2\""));
  site.setup.languages.resize(3);
  const char* names[][2] = {{"de-de", "Deutsch"}, {"en-us", "English"}, {"fr-fr", "Français"}};
  for (size_t i = 0; i < 3; ++i) {
    site.setup.languages[i].code = names[i][0];
    site.setup.languages[i].display_name = names[i][1];
  }
  site.use_code("");
  EXPECT_EQ(
      "<ul>\r\n<li><p><a href=\"http://x/de-de\">Deutsch</a></p></li>\r\n"
      "<li><p><a href=\"http://x/en-us\">English</a></p></li>\r\n"
      "<li><p><a href=\"http://x/fr-fr\">Français</a></p></li>\r\n</ul>\r\n",
      expand(site, "languages"));
}

}  // namespace
}  // namespace mt
