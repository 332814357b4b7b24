#include "serve/responses.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct PathRow {
  const char* path;  // decoded, as the server sees it
  const char* relative;  // nullptr: refused
};

// Paths that could lead out of the served folder on any platform are
// refused; everything else maps onto a path below it.
constexpr PathRow kPaths[] = {
    {"/", ""},
    {"/faq", "faq"},
    {"/faq/", "faq"},
    {"/de-de//support/./x.png", "de-de/support/x.png"},
    {"//etc/passwd", "etc/passwd"},
    {"/a/../b", nullptr},
    {"/..", nullptr},
    {"/../", nullptr},
    {"/faq/..", nullptr},
    {"/c:/windows", nullptr},
    {"/c:", nullptr},
    {"/a\\..\\..\\b", nullptr},
    {"/a\\b", nullptr},
    {"/..\\b", nullptr},
    {"faq", nullptr},
    {"", nullptr},
    {"/...", "..."},
    {"/a..b/c", "a..b/c"},
};

TEST(ServedPathTest, ConfinesToTheFolder) {
  for (const PathRow& row : kPaths) {
    const std::optional<std::string> got = mt::served_relative_path(row.path);
    if (row.relative) {
      EXPECT_EQ(got, std::optional<std::string>(row.relative)) << row.path;
    } else {
      EXPECT_EQ(got, std::nullopt) << row.path;
    }
  }
  EXPECT_EQ(mt::served_relative_path(std::string("/a\0b", 4)), std::nullopt);
}

TEST(ReloadScriptTest, GoesBeforeTheLastBodyEnd) {
  const std::string script_start = "<script>(function(){var b='7';";
  struct Row {
    const char* html;
    const char* before;  // what precedes the script
    const char* after;   // what follows it
  } rows[] = {
      {"<body>x</body>\n</html>\n", "<body>x", "</body>\n</html>\n"},
      {"<BODY>x</BODY></HTML>", "<BODY>x", "</BODY></HTML>"},
      // A "</body>" quoted in the page's text comes before the real one.
      {"<pre>&lt;/body&gt; </body></pre></body>", "<pre>&lt;/body&gt; </body></pre>", "</body>"},
      {"no body", "no body", ""},
  };
  for (const Row& row : rows) {
    const std::string out = mt::with_reload_script(row.html, 7);
    const size_t at = out.find(script_start);
    ASSERT_NE(at, std::string::npos) << row.html;
    EXPECT_EQ(out.substr(0, at), row.before) << row.html;
    const size_t end = out.find("</script>\n", at);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(out.substr(end + 10), row.after) << row.html;
    EXPECT_NE(out.find(std::string(mt::kEventsPath)), std::string::npos);
  }
}

}  // namespace
