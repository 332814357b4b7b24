#include "translate/record.h"

#include <gtest/gtest.h>

namespace mt {
namespace {

// Anyone may edit the record in a pull request: lines that are not
// "code hash item" are left out rather than read as some other hash.
TEST(AcceptRecord, ReadsOnlyWellFormedLines) {
  const AcceptRecord record = parse_record(
      "# comment\n"
      "de-de 0123456789abcdef support/01 A b.txt\r\n"
      "de-de 0123456789ABCDEF HOME\n"  // upper-case digits are not written
      "de-de 0123456789abcdeg FAQ\n"
      "de-de 0123456789abcde ABOUT\n"
      "de-de 0123456789abcdef\n"
      "fr-fr ffffffffffffffff page:faq\n");
  EXPECT_EQ(
      "# maketarnwick translations: language, hash of the default-language text accepted, item\n"
      "de-de 0123456789abcdef support/01 A b.txt\n"
      "fr-fr ffffffffffffffff page:faq\n",
      format_record(record));
}

}  // namespace
}  // namespace mt
