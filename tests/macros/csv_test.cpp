#include "macros/csv.h"

#include <gtest/gtest.h>

#include <vector>

#include "macro_site.h"

namespace mt {
namespace {

using test::MacroSite;
using test::write_file;

std::vector<std::string> fields(std::string_view line, int count) {
  std::vector<std::string> out(static_cast<size_t>(count));
  size_t pos = 0;
  for (std::string& field : out) pos = read_csv_field(line, pos, field);
  return out;
}

using Fields = std::vector<std::string>;

TEST(CsvFieldReader, Quirks) {
  EXPECT_EQ((Fields{"a,b", "c"}), fields("\"a,b\",c", 2));
  EXPECT_EQ((Fields{"say \"hi\""}), fields("\"say \\\"hi\\\"\"", 1));
  EXPECT_EQ((Fields{"x\\y"}), fields("\"x\\\\y\"", 1));
  // Inside quotes an unknown escape drops both bytes; outside, '\' is text.
  EXPECT_EQ((Fields{"ab"}), fields("\"a\\tb\"", 1));
  EXPECT_EQ((Fields{"C:\\dir", "x"}), fields("C:\\dir,x", 2));
  EXPECT_EQ((Fields{"a"}), fields("\"a\\", 1));
  // Quoted and unquoted pieces join; "" is a close and a reopen.
  EXPECT_EQ((Fields{"abc,de", "f"}), fields("ab\"c,d\"e,f", 2));
  EXPECT_EQ((Fields{"ab"}), fields("\"a\"\"b\"", 1));
  EXPECT_EQ((Fields{" a ", " b"}), fields(" a , b", 2));
  EXPECT_EQ((Fields{"abc,def", ""}), fields("\"abc,def\r\n", 2));
  // Missing fields are empty; a lone CR ends the line's fields.
  EXPECT_EQ((Fields{"a", "b", ""}), fields("a,b\r\n", 3));
  EXPECT_EQ((Fields{"a", "b", "", ""}), fields("a,b\rc,d\n", 4));
  EXPECT_EQ((Fields{"", "", "x"}), fields(",,x", 3));
}

TEST(CsvTables, ByteOrderMarksAreSkipped) {
  // The tables themselves are examples of the markup cases.
  MacroSite site;
  write_file("donations.csv", "\xEF\xBB\xBF" "date,name,comment,amount\n\xEF\xBB\xBF" "2016-02-03,Bo,,5\n");
  write_donate_history(site.build, site.lang, site.page_out);
  EXPECT_TRUE(test::contains(site.take(), "<tr><td width=\"20%\" >2016-02-03</td><td width=\"20%\" >Bo</td>"));
}

TEST(CsvTables, LongLinesArriveInPieces) {
  MacroSite site;
  const std::string piece(65535, 'A');
  write_file("supported_languages.csv", std::string(65535, 'h') + "H,h,h\n" + piece + "t,u,v\n");
  write_supported_languages(site.build, site.lang, site.page_out);
  // The header's second piece is a row; so is each piece of a long row.
  EXPECT_EQ("<td class=\"wikinowrap\">H</td><td>h</td><td>h</td>\r\n</tr>\r\n<tr>\r\n"
            "<td class=\"wikinowrap\">" + piece + "</td><td></td><td></td>\r\n</tr>\r\n<tr>\r\n"
            "<td class=\"wikinowrap\">t</td><td>u</td><td>v</td>\r\n",
            site.take());
}

}  // namespace
}  // namespace mt
