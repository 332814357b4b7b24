// Placeholder until the real implementation lands.
#include "markup/converter.h"

namespace mt {
bool convert_page(Build&, LangBuild&, Page&, const std::string&, const ConvertOptions&) { return false; }
}  // namespace mt
