#pragma once
// A one-language build in a temporary working folder, as the macros see it
// on the "de-de" sub-site.

#include <string>
#include <utility>

#include "helpers/fixture.h"

namespace mt::test {

struct MacroSite : SiteRecords {
  TempDir dir;
  StringSink page_out;
  Page page;

  MacroSite() { page.out = &page_out; }

  /// What the page got so far, emptying it.
  std::string take() { return std::exchange(page_out.text, {}); }
};

}  // namespace mt::test
