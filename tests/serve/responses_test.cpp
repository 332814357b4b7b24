#include "serve/responses.h"

#include <gtest/gtest.h>

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

TEST(ReloadScript, GoesBeforeTheLastBodyEnd) {
  // The page split where the script goes.
  const std::pair<const char*, const char*> rows[] = {
      {"<body>x", "</body>\n</html>\n"}, {"<BODY>x", "</BODY></HTML>"}, {"no body", ""},
      // A "</body>" quoted in the page's text comes before the real one.
      {"<pre>&lt;/body&gt; </body></pre>", "</body>"},
  };
  for (const auto& [before, after] : rows) {
    const std::string out = mt::with_reload_script(std::string(before) + after, 7);
    const size_t at = out.find("<script>(function(){var b='7';"), end = out.find("</script>\n", at);
    ASSERT_NE(end, std::string::npos) << before;
    EXPECT_EQ(out.substr(0, at), before);
    EXPECT_EQ(out.substr(end + 10), after);
    EXPECT_NE(out.find(std::string(mt::kEventsPath)), std::string::npos);
  }
}

}  // namespace
