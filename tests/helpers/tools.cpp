// Apart from fixture.cpp, which the fuzz targets link without GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "helpers/fixture.h"

namespace mt::test {

bool tool_present(const std::string& probe) {
  if (std::system((probe + " >/dev/null 2>&1").c_str()) == 0) return true;
#ifndef _WIN32  // the Windows tests run under wine, without the Linux tools
  const char* ci = std::getenv("CI");
  if (ci && std::string_view(ci) == "true") ADD_FAILURE() << "missing under CI: " << probe;
#endif
  return false;
}

}  // namespace mt::test
