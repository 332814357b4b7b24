// Support order through ICU, on every platform but Windows.

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

}  // namespace

struct Collator::State {
  UCollator* collator;
};

Collator::Collator() {
  const char* locale = uloc_getDefault();
  UCollator* collator = open_collator(is_posix_locale(locale) ? "" : locale);
  if (!collator) collator = open_collator("");
  if (collator) {
    // Secondary strength: accents count, letter case does not.
    ucol_setStrength(collator, UCOL_SECONDARY);
    state_ = new State{collator};
  }
}

Collator::~Collator() {
  if (state_) ucol_close(state_->collator);
  delete state_;
}

// Without ICU's collator, bytes with ASCII case folded keep the order total.
int Collator::compare(std::string_view a, std::string_view b) const {
  if (!state_ || a.size() > INT32_MAX || b.size() > INT32_MAX) return compare_folded(a, b);
  UErrorCode status = U_ZERO_ERROR;
  UCollationResult result = ucol_strcollUTF8(state_->collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                             static_cast<int32_t>(b.size()), &status);
  if (U_FAILURE(status)) return compare_folded(a, b);
  return result == UCOL_LESS ? -1 : result == UCOL_EQUAL ? 0 : 1;
}

}  // namespace mt
