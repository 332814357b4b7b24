#pragma once
// Byte-level text helpers. Text is UTF-8 and never decoded: comparisons that
// ignore case fold ASCII letters only; bytes from 0x80 up compare as they are.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/names.h"  // fold, equal_no_case: the one ASCII case rule

namespace mt {

std::string ascii_lower(std::string_view text);
/// Whether every byte of `text` is below 0x80.
bool all_ascii(std::string_view text);
bool starts_with_no_case(std::string_view text, std::string_view prefix);

/// Every non-overlapping occurrence of `token` (matched without case, left to
/// right) replaced by `replacement`; the replacement is not scanned again.
std::string replace_no_case(std::string_view text, std::string_view token, std::string_view replacement);

/// One named slot of a template: "{{name}}" in the template text.
struct Slot {
  std::string_view name;
  std::string_view value;
};

/// `text` with every "{{name}}" of `slots` replaced by its value, in one pass
/// (a value is never searched for slots) and every '\n' of the template text
/// written as "\r\n". Any other "{{" stays as written.
std::string fill_slots(std::string_view text, std::initializer_list<Slot> slots);

/// `text` less the part from the last '.' of its last path component on
/// (components end at '/' or the native separator); unchanged without one.
std::string cut_extension(std::string_view text);

/// Whether a relative path would lead out of its folder: absolute, with a
/// drive, or with a ".." component (either separator counts).
bool leaves_folder(std::string_view path);

/// Whether byte `c` can stand inside a PHP double-quoted string as it is:
/// not '"', '$', '\\' nor a control byte (below 0x20, or 0x7F).
bool script_safe_byte(char c);

/// Whether every byte of `value` is script-safe.
bool safe_in_script(std::string_view value);

/// Whether a URL or target has a ':' before its first '/' (a scheme).
bool has_scheme(std::string_view text);

/// The edit distance of `a` and `b` (insertions, deletions, substitutions and
/// swaps of two neighbours), ASCII case ignored; `limit` + 1 as soon as it is
/// certain to exceed `limit`, so long inputs cost little.
int edit_distance_no_case(std::string_view a, std::string_view b, int limit);

/// The name of `names` closest to `name` within two edits (the earlier one on
/// a tie), or "" when none is that close: for "did you mean" hints.
template <typename Names, typename NameOf>
std::string closest_name(std::string_view name, const Names& names, NameOf name_of) {
  constexpr int kHintDistance = 2;
  std::string best;
  int best_distance = kHintDistance + 1;
  for (const auto& entry : names) {
    std::string_view candidate = name_of(entry);
    int distance = edit_distance_no_case(name, candidate, kHintDistance);
    if (distance < best_distance) {
      best_distance = distance;
      best = candidate;
    }
  }
  return best;
}

}  // namespace mt
