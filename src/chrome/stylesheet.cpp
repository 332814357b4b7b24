// Placeholder until the real implementation lands.
#include "chrome/stylesheet.h"

namespace mt {
std::string make_stylesheet(const Build&, const LangBuild&, Layout, bool) { return {}; }
const std::string& stylesheet(const Build&, LangBuild& lang, Layout, bool) { return lang.stylesheets[0]; }
}  // namespace mt
