#pragma once
// Linguistic comparison of support page titles: case ignored, accents not.
// One interface, one implementation per platform: ICU (collate_icu.cpp) or
// the Windows locale functions (collate_win32.cpp).

#include <string_view>

namespace mt {

/// The user's default locale at secondary strength (on ICU the root
/// collation when that locale is C or POSIX).
class Collator {
 public:
  Collator();
  ~Collator();
  Collator(const Collator&) = delete;
  Collator& operator=(const Collator&) = delete;

  /// <0, 0 or >0, comparing two UTF-8 texts.
  int compare(std::string_view a, std::string_view b) const;

 private:
  struct State;  // what the platform's collator keeps open, if anything
  State* state_ = nullptr;
};

}  // namespace mt
