#pragma once
// Tables read from the CSV files of the source root.

#include <cstddef>
#include <string>
#include <string_view>

#include "site/records.h"

namespace mt {

/// How reading a field ended.
struct CsvStop {
  bool separator = false;  // at a ',': another field follows
  bool unclosed = false;   // its last quoted run had no closing quote
};

/// Reads one field of `line` from `pos` into `field` (replacing it) and
/// returns where the next field starts.
size_t read_csv_field(std::string_view line, size_t pos, std::string& field, CsvStop* stop = nullptr);

void write_donate_history(Build& build, LangBuild& lang, Sink& out);
void write_supported_languages(Build& build, LangBuild& lang, Sink& out);
void write_previous_stable_releases(Build& build, LangBuild& lang, Sink& out);

}  // namespace mt
