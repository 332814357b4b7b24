// Placeholder until the real implementation lands.
#include "macros/csv.h"

namespace mt {
size_t read_csv_field(std::string_view line, size_t, std::string& field) { field.clear(); return line.size(); }
void write_donate_history(Build&, LangBuild&, Sink&) {}
void write_supported_languages(Build&, LangBuild&, Sink&) {}
void write_previous_stable_releases(Build&, LangBuild&, Sink&) {}
}  // namespace mt
