// Support order through the Windows locale functions, which need no library
// beside the system.

#include "platform/collate.h"

#include <windows.h>

#include <climits>
#include <string>

#include "platform/names.h"
#include "platform/wide_win32.h"

namespace mt {

// The user's default locale is looked up by each call: no state is kept.
Collator::Collator() = default;

Collator::~Collator() = default;

int Collator::compare(std::string_view a, std::string_view b) const {
  std::wstring x = utf8_to_wide(a);
  std::wstring y = utf8_to_wide(b);
  if (x.size() <= INT_MAX && y.size() <= INT_MAX) {
    // Locale 0: the user's default. Case is ignored, accents are not.
    int result =
        CompareStringW(0, NORM_IGNORECASE, x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()));
    if (result != 0) return result - CSTR_EQUAL;
  }
  // The call fails only on bad arguments; bytes with ASCII case folded keep
  // the order total.
  return compare_folded(a, b);
}

}  // namespace mt
