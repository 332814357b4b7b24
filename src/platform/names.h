#pragma once
// ASCII case folding and name comparisons: the one rule for comparing
// names and keys without case (bytes from 0x80 up compare as they are).

#include <string_view>

namespace mt {

constexpr char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool equal_no_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

/// Bytes compared with ASCII letters folded to lower case: <0, 0 or >0.
inline int compare_folded(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(fold(a[i]));
    auto y = static_cast<unsigned char>(fold(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// Listing order: names compared byte by byte with ASCII letters folded to
// lower case; names equal that way are ordered by their raw bytes, so the
// order is total and the same on every machine.
inline bool name_less(std::string_view a, std::string_view b) {
  int folded = compare_folded(a, b);
  return folded != 0 ? folded < 0 : a < b;
}

inline bool has_txt_extension(std::string_view name) {
  return name.size() >= 4 && equal_no_case(name.substr(name.size() - 4), ".txt");
}

}  // namespace mt
