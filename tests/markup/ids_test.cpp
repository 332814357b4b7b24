#include "markup/ids.h"

#include <gtest/gtest.h>

namespace mt {
namespace {

TEST(HeadingId, Examples) {
  EXPECT_EQ("installing_the_language_pack", heading_id(" Installing the Language Pack "));
  EXPECT_EQ("whats_new", heading_id(" What's New "));
  EXPECT_EQ("notes", heading_id("<i>Notes</i>"));
  EXPECT_EQ("", heading_id(" <i>Notes</i>"));  // the "<i>" is skipped only at the start
  EXPECT_EQ("a_b", heading_id("A / B"));
  EXPECT_EQ("a_", heading_id("a__"));  // only one trailing '_' goes
  EXPECT_EQ("name", heading_id("Name|Value"));
  EXPECT_EQ("c_sharp_1", heading_id("C#Sharp\\1"));  // '#' and '\' are plain punctuation here
  EXPECT_EQ(std::string(300, 'w'), heading_id(std::string(300, 'W')));  // no length limit
}

TEST(IdRegistry, RepeatsIgnoreCaseAndCountNothing) {
  StringSink out;
  Diagnostics diag{&out};
  IdRegistry ids;
  EXPECT_TRUE(ids.add("notes", diag));
  EXPECT_FALSE(ids.add("NOTES", diag));
  EXPECT_TRUE(ids.add("a-b", diag));
  EXPECT_TRUE(ids.add("a_b", diag));
  EXPECT_EQ("id NOTES already exists\n", out.text);
  EXPECT_EQ(0, diag.errors + diag.warnings);
}

}  // namespace
}  // namespace mt
