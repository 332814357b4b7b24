#include <gtest/gtest.h>

#include "driver/build.h"

TEST(Smoke, Links) { mt::StringSink out; EXPECT_EQ(0, mt::run({}, out)); }
