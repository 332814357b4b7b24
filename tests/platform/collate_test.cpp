#include "platform/collate.h"

#include <gtest/gtest.h>

using mt::Collator;

TEST(CollateTest, IgnoresCaseButNotAccents) {
  Collator collator;
  EXPECT_EQ(0, collator.compare("abc", "ABC"));
  EXPECT_EQ(0, collator.compare("Éclair", "éCLAIR"));
  EXPECT_LT(collator.compare("e", "\xC3\xA9"), 0);  // "e" before "é"
  EXPECT_LT(collator.compare("\xC3\xA9t\xC3\xA9", "f"), 0);
  EXPECT_LT(collator.compare("9 Tips", "A Guide"), 0);
  EXPECT_LT(collator.compare("apple", "Banana"), 0);
  EXPECT_GT(collator.compare("Zebra", "apple"), 0);
  EXPECT_EQ(0, collator.compare("", ""));
}
