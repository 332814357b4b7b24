#pragma once
// Linguistic comparison of support page titles: case ignored, accents not.

#include <string_view>

struct UCollator;

namespace mt {

/// ICU collator at secondary strength in the user's default locale (the root
/// collation when that is C or POSIX).
class Collator {
 public:
  Collator();
  ~Collator();
  Collator(const Collator&) = delete;
  Collator& operator=(const Collator&) = delete;

  /// <0, 0 or >0, comparing two UTF-8 texts.
  int compare(std::string_view a, std::string_view b) const;

 private:
  UCollator* collator_ = nullptr;
};

}  // namespace mt
