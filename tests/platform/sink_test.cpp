#include "platform/sink.h"

#include <gtest/gtest.h>

#include <climits>

using namespace mt;

TEST(SinkTest, FormatsLikePrintf) {
  // The fast path for "%s", "%d", "%llu" and "%%" must write exactly what the
  // C library would; anything else goes to the C library itself.
  StringSink s;
  s.printf("<td rowspan=\"%d\">%s</td>", -12, "a<b");
  s.printf("|%d|%d|%llu|%%|", INT_MIN, INT_MAX, 18446744073709551615ull);
  s.printf("%s", "");
  s.printf("no conversions");
  s.printf("[%5d|%-3s|%x]", 42, "a", 255u);
  EXPECT_EQ("<td rowspan=\"-12\">a<b</td>|-2147483648|2147483647|18446744073709551615|%|no conversions[   42|a  |ff]",
            s.text);

  const std::string long_text(5000, 'x');  // longer than any fixed buffer
  StringSink big;
  big.printf("<p>%s</p>", long_text.c_str());
  big.printf("%3s", long_text.c_str());
  EXPECT_EQ("<p>" + long_text + "</p>" + long_text, big.text);
}
