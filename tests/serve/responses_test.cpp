#include "serve/responses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

// Paths (decoded, as the server sees them) that could lead out of the served
// folder on any platform are refused (nullptr); everything else maps onto a
// path below it.
TEST(ServedPath, ConfinesToTheFolder) {
  const std::pair<std::string, const char*> rows[] = {
      {"/", ""}, {"/faq", "faq"}, {"/faq/", "faq"}, {"/de-de//support/./x.png", "de-de/support/x.png"},
      {"//etc/passwd", "etc/passwd"}, {"/...", "..."}, {"/a..b/c", "a..b/c"},
      {"/a/../b", nullptr}, {"/..", nullptr}, {"/../", nullptr}, {"/faq/..", nullptr}, {"/c:/windows", nullptr},
      {"/c:", nullptr}, {"/a\\..\\..\\b", nullptr}, {"/a\\b", nullptr}, {"/..\\b", nullptr}, {"faq", nullptr},
      {"", nullptr}, {std::string("/a\0b", 4), nullptr},
  };
  for (const auto& [path, relative] : rows) {
    const std::optional<std::string> got = mt::served_relative_path(path);
    EXPECT_EQ(got, relative ? std::optional<std::string>(relative) : std::nullopt) << path;
  }
}

// Only this machine's own names with the preview's port are answered: any
// other name reaches it through DNS rebinding, from a page elsewhere.
TEST(Host, OnlyThisMachineWithThePort) {
  const std::pair<const char*, bool> rows[] = {
      {"127.0.0.1:8080", true}, {"localhost:8080", true}, {"LocalHost:8080", true}, {"[::1]:8080", true},
      {"attacker.example:8080", false}, {"attacker.example", false}, {"127.0.0.1", false},
      {"localhost:80", false}, {"127.0.0.1:80800", false}, {"127.0.0.1:08080", false},
      {"x.127.0.0.1:8080", false}, {"localhost.:8080", false}, {"127.0.0.1:8080:8080", false},
      {"127.0.0.2:8080", false}, {"", false}, {":8080", false},
  };
  for (const auto& [host, allowed] : rows) EXPECT_EQ(mt::host_allowed(host, 8080), allowed) << host;
  // Browsers leave out port 80.
  EXPECT_TRUE(mt::host_allowed("localhost", 80));
  EXPECT_TRUE(mt::host_allowed("127.0.0.1:80", 80));
  EXPECT_FALSE(mt::host_allowed("localhost:8080", 80));
}

// One range is answered, cut to the end of a 1000-byte reply; a list of
// ranges, however they overlap, gets the whole reply once.
TEST(Range, OneRangeAtMostTheWholeReply) {
  // The answer as "FIRST+LENGTH", "whole" or "416".
  const std::pair<const char*, const char*> rows[] = {
      {"", "whole"}, {"bytes=0-99", "0+100"}, {"Bytes=10-10", "10+1"}, {" bytes=10-10 ", "10+1"},
      {"bytes=990-", "990+10"}, {"bytes=900-5000", "900+100"}, {"bytes=-10", "990+10"}, {"bytes=-5000", "0+1000"},
      {"bytes=999-999", "999+1"}, {"bytes=0-99999999999999999999999", "0+1000"}, {"bytes=1000-", "416"},
      {"bytes=99999999999999999999999-", "416"}, {"bytes=-0", "416"},
      {"bytes=0-,0-", "whole"}, {"bytes=0-9,20-29", "whole"}, {"bytes=5-4", "whole"}, {"bytes=-", "whole"},
      {"bytes=a-b", "whole"}, {"bytes=+1-2", "whole"}, {"items=0-9", "whole"},
  };
  for (const auto& [header, want] : rows) {
    const mt::RangeAnswer got = mt::requested_range(header, 1000);
    const std::string text = got.kind == got.whole ? "whole" : got.kind == got.unsatisfiable ? "416"
                             : std::to_string(got.first) + "+" + std::to_string(got.length);
    EXPECT_EQ(text, want) << header;
  }
  EXPECT_EQ(mt::requested_range("bytes=0-", 0).kind, mt::RangeAnswer::unsatisfiable) << "an empty file has no byte";
}

TEST(ReloadScript, GoesBeforeTheLastBodyEnd) {
  // The page split where the script goes.
  const std::pair<std::string, std::string> rows[] = {
      {"<body>x", "</body>\n</html>\n"}, {"<BODY>x", "</BODY></HTML>"}, {"no body", ""}, {"", ""},
      // A "</body>" quoted in the page's text comes before the real one.
      {"<pre>&lt;/body&gt; </body></pre>", "</body>"},
      // Far from the end, past several pieces, and cut by every piece border.
      {"<body>" + std::string(100, 'x'), "</Body>" + std::string(100, 'y')},
      {"a", "</body>" + std::string(100, 'x')},
  };
  for (const auto& [before, after] : rows) {
    const std::string page = before + after;
    for (size_t piece : {14, 15, 16, 17, 18, 19, 20, 64}) {
      const mt::ReadAt read = [&page](uint64_t offset, char* buffer, size_t count) {
        // Short reads, as a file may give.
        const size_t n = std::min<size_t>({count, 5, page.size() - offset});
        page.copy(buffer, n, offset);
        return static_cast<std::ptrdiff_t>(n);
      };
      EXPECT_EQ(mt::reload_script_offset(read, page.size(), piece), before.size()) << page << " in " << piece;
    }
  }
  EXPECT_NE(mt::reload_script(7).find("var b='7'"), std::string::npos);
  EXPECT_NE(mt::reload_script(7).find(std::string(mt::kEventsPath)), std::string::npos);
}

}  // namespace
