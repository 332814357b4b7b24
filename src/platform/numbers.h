#pragma once
// Numbers in text, read the way the C library reads them, since the site's
// files were written against that reading.

#include <climits>
#include <string_view>

namespace mt {

inline bool is_c_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

/// The leading decimal integer of `text` as C's atoi reads it (leading
/// white space, an optional sign, digits; 0 without digits), held to the
/// int range instead of overflowing.
inline int leading_int(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && is_c_space(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value <= INT_MAX) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace mt
