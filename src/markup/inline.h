#pragma once
// Inline text: bold and italic, passing tags, images, links and escaping of a
// page line; the string-link renderer for localised strings and CSV fields.
// URLs come from links/urls.h.

#include <string>
#include <string_view>

#include "site/records.h"

namespace mt {

struct LineSource;

/// Writes the block of the macro line naming `name` into the page. The
/// macros sit a layer above the converter (one converts a page text of its
/// own), so whoever starts a conversion hands them in.
using MacroExpander = void (*)(Build& build, LangBuild& lang, Page& page, std::string_view name,
                               const LineSource& where);

/// What differs between template pages and support pages.
struct ConvertOptions {
  bool support = false;            // no "__TOC__"/"__RTL_*__" markers, no "<img"
                                   // pass-through, "#" targets point at the current page
  bool direction_markers = false;  // support pages too honour "__RTL_BEGIN__"/"__RTL_END__"
  MacroExpander macros = nullptr;  // none: a macro line writes nothing
};

/// Emphasis state of the line being rendered.
struct InlineState {
  bool bold = false;
  bool italic = false;
};

/// Where rendered links come from, for recording them; with `effects` false
/// nothing is recorded and no file is listed (used to compute ids only).
struct LineSource {
  std::string_view path;  // source path as printed in messages
  int line = 0;
  bool effects = true;
};

/// Renders one page line, appending the HTML to `out`.
void render_page_line(Build& build, LangBuild& lang, const Page& page, std::string_view line,
                      const ConvertOptions& options, const LineSource& source, InlineState& state, std::string& out);

/// The first `c` in `line` at or after `from` that lies outside the
/// constructs rendering turns into elements ("[[...]]" links and images,
/// "<br...>" and, on template pages, "<img...>"); the line size without one.
size_t find_outside_markup(std::string_view line, size_t from, char c, bool support);

/// Appends `text` with '<', '>' and '&' written as entities.
void append_html_escaped(std::string& out, std::string_view text);

/// Renders the [[target|text]] links of a string; every other byte is
/// copied. Links are recorded under "expand_url", line 0.
std::string render_string_links(Build& build, LangBuild& lang, std::string_view text);

}  // namespace mt
