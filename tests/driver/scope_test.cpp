#include "driver/kept_build.h"

#include <gtest/gtest.h>

namespace mt {
namespace {

// Which languages a set of changed paths builds again; "*" is everything.
TEST(ScopeOf, PathsToLanguages) {
  struct Row {
    std::vector<std::string> paths;
    std::string languages;
  };
  const Row rows[] = {
      {{"de-de/faq.txt"}, "de-de"},
      {{"de-de.txt"}, "de-de"},
      {{"DE-de/Support/Page.txt", "en-us.old.txt"}, "de-de en-us"},  // folder and file names without case
      {{"de-de/support/a/b.txt", "de-de/.b.txt.swp"}, "de-de"},
      {{"de-de/faq.txt", "donations.csv"}, "de-de +"},  // a table: the pages of every language that read it
      {{"maketarnwick.conf"}, "*"},
      {{"{{PREVIOUS_VERSIONS}}.txt"}, "+"},  // the shared page text: the same
      {{"{{PREVIOUS_VERSIONS}}.TXT"}, "+"},
      {{"{{OTHER}}.txt"}, "*"},
      {{".txt"}, "*"},                     // a language file without a code
      {{"release/setup.exe"}, "release"},  // a folder of no language: the build finds it is none
      {{"notes"}, "*"},
      {{}, "*"},  // a wake without a name
  };
  for (const Row& row : rows) {
    const RebuildScope scope = scope_of(WatchChanges{false, row.paths});
    std::string languages;
    for (const std::string& code : scope.codes) {
      if (!languages.empty()) languages += ' ';
      languages += code;
    }
    if (scope.every_language) languages += languages.empty() ? "+" : " +";
    EXPECT_EQ(row.languages, scope.all ? "*" : languages) << row.paths.size() << " paths from " << row.languages;
  }
  EXPECT_TRUE(scope_of(WatchChanges{true, {"de-de/faq.txt"}}).all) << "names lost";
}

}  // namespace
}  // namespace mt
