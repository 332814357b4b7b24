#include "platform/collate.h"

#include "platform/names.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <climits>
#include <cstdint>
#include <string>

namespace mt {

namespace {

bool is_posix_locale(const char* locale) {
  // ICU reports the C locale as "en_US_POSIX"; its collation is a code-point
  // order that would not ignore case, so the root collation stands in.
  std::string name(locale ? locale : "");
  for (char& c : name) c = fold(c);
  const std::string_view suffix = "_posix";
  return name.empty() || name == "c" || name == "posix" ||
         (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0);
}

UCollator* open_collator(const char* locale) {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open(locale, &status);
  if (U_FAILURE(status)) {
    if (collator) ucol_close(collator);
    return nullptr;
  }
  return collator;
}

// Byte order with ASCII letters folded: used only when ICU has no collator.
int compare_folded(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(fold(a[i]));
    auto y = static_cast<unsigned char>(fold(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace

Collator::Collator() {
  const char* locale = uloc_getDefault();
  collator_ = open_collator(is_posix_locale(locale) ? "" : locale);
  if (!collator_) collator_ = open_collator("");
  if (collator_) {
    // Secondary strength: accents count, letter case does not.
    ucol_setStrength(collator_, UCOL_SECONDARY);
  }
}

Collator::~Collator() {
  if (collator_) ucol_close(collator_);
}

int Collator::compare(std::string_view a, std::string_view b) const {
  if (!collator_ || a.size() > INT32_MAX || b.size() > INT32_MAX) return compare_folded(a, b);
  UErrorCode status = U_ZERO_ERROR;
  UCollationResult result = ucol_strcollUTF8(collator_, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                             static_cast<int32_t>(b.size()), &status);
  if (U_FAILURE(status)) return compare_folded(a, b);
  return result == UCOL_LESS ? -1 : result == UCOL_EQUAL ? 0 : 1;
}

}  // namespace mt
