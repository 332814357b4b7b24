// Placeholder until the real implementation lands.
#include "markup/inline.h"

namespace mt {
void render_page_line(Build&, LangBuild&, const Page&, std::string_view line, const ConvertOptions&, const LineSource&, InlineState&, std::string& out) { out.append(line); }
std::string render_string_links(Build&, LangBuild&, std::string_view text) { return std::string(text); }
std::string expand_url(LangBuild&, const Build&, std::string_view target, bool) { return std::string(target); }
std::string template_page_url(const LangBuild& lang, int) { return lang.base_url; }
}  // namespace mt
