// Placeholder until the real implementation lands.
#include "lang/languages.h"

namespace mt {
Language load_language_file(const std::string&, Diagnostics&) { return Language(); }
const Language* language_by_code(const std::vector<Language>&, std::string_view) { return nullptr; }
std::vector<Language> load_languages(Diagnostics&) { return {}; }
}  // namespace mt
