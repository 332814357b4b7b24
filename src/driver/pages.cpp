// Placeholder until the real implementation lands.
#include "driver/pages.h"

namespace mt {
void page_from_template(Build&, LangBuild&, const char*, int, const char*, int) {}
void write_contact_script(const Build&, const LangBuild&) {}
void copy_referenced_file(Build&, const LangBuild&, const std::string&) {}
}  // namespace mt
