// Language codes to BCP 47 tags: letter case per subtag, and the codes
// that are no tag, which must be left out rather than written wrong.

#include "site/language_tags.h"

#include <gtest/gtest.h>

namespace mt {
namespace {

TEST(LanguageTags, Codes) {
  const struct {
    const char* code;
    const char* overrides;
    const char* tag;
  } rows[] = {
      {"en-us", "", "en-US"},
      {"ar-sa", "", "ar-SA"},
      {"DE", "", "de"},
      {"zh-hant-tw", "", "zh-Hant-TW"},
      {"es-419", "", "es-419"},
      {"sl-rozaj-biske", "", "sl-rozaj-biske"},
      {"de-ch-1901", "", "de-CH-1901"},
      {"ca-es-valencia", "", "ca-ES-valencia"},  // the longest variant
      {"yue-hk", "", "yue-HK"},                  // the longest language
      {"english", "", ""},                       // a name, not a language subtag
      {"en_us", "", ""},                         // '_' is no separator
      {"en-us-", "", ""},                        // empty subtag
      {"en-toolongvariant", "", ""},
      {"x-klingon", "", ""},   // private use is no language
      {"en-us-us", "", ""},    // a second region
      {"en-4x9", "", ""},      // a three-character region is digits only
      {"de-de-abcd", "", ""},  // a four-character variant starts with a digit
      {"", "", ""},
      {"english", "chinese=zh-Hans english=en-gb", "en-GB"},
      {"ENGLISH", "english=en", "en"},
      {"english", "english=nonsense-tag-xx", ""},  // an override must be a tag too
      {"en-us", "english=fr", "en-US"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.tag, language_tag(row.code, row.overrides)) << row.code << " with " << row.overrides;
  }
}

}  // namespace
}  // namespace mt
