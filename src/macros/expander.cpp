// Placeholder until the real implementation lands.
#include "macros/expander.h"

namespace mt {
void expand_macro(Build&, LangBuild&, Page&, std::string_view, const LineSource&) {}
}  // namespace mt
