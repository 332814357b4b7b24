// Placeholder until the real implementation lands.
#include "markup/toc.h"

namespace mt {
void write_toc(Build&, LangBuild&, Page&, const std::string&) {}
}  // namespace mt
