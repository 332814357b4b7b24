#pragma once
// The fixed table of localisable strings (one row each in site/strings.def)
// and the language record.

#include <array>
#include <bitset>
#include <string>
#include <string_view>

namespace mt {

enum StringIndex : int {
#define MT_STRING(id, value, comment, where) id,
#include "site/strings.def"
#undef MT_STRING
  kStringCount
};

struct StringDef {
  const char* id;
  const char* value;    // the built-in English default
  const char* comment;  // what --init writes above it
};
extern const StringDef kStringTable[kStringCount];

/// Index of the first id equal to `id` without ASCII case, or -1.
int string_index_by_id(std::string_view id);

/// One loaded language: its code, display name, direction and values.
struct Language {
  std::string code;          // from the file name: lower case, no extension
  std::string display_name;  // `_LANGUAGE_NAME`, or "Unknown"
  bool rtl = false;
  std::array<std::string, kStringCount> values;  // defaults until defined
  std::bitset<kStringCount> defined;             // set when the file gave a value

  Language();  // all values the built-in defaults
  const std::string& value(int index) const { return values[static_cast<size_t>(index)]; }
};

}  // namespace mt
