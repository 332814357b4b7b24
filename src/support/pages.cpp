// Placeholder until the real implementation lands.
#include "support/pages.h"

namespace mt {
void write_support_pages(Build&, LangBuild&, const std::string&) {}
}  // namespace mt
