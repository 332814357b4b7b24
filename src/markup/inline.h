#pragma once
// Inline text: bold and italic, passing tags, images, links and escaping of a
// page line; the string-link renderer for localised strings and CSV fields.
// URLs come from links/urls.h.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

/// Where the line being converted comes from, for messages and for
/// recording its links.
struct LineSource {
  std::string_view path;  // source path as printed in messages
  int line = 0;
};

/// What rendered text refers to, in the order written: the converter records
/// them (rendering itself touches nothing).
struct References {
  std::vector<std::string> links;  // URLs written as links
  std::vector<std::string> files;  // files of the language source folder to copy ('/' between parts)
};

/// A rendered page line, or its part before a stop byte.
struct RenderedLine {
  std::string html;
  References refs;
  size_t end = 0;  // where rendering stopped: at the stop byte, else the line size
};

/// Renders one page line. With `stop`, rendering ends at the first such
/// byte outside the constructs rendering turns into elements ("[[...]]"
/// links and images, "<br...>" and, on template pages, "<img...>"): the
/// heading rule, so a link in a heading stays whole.
RenderedLine render_page_line(const LangBuild& lang, const Page& page, std::string_view line,
                              const ConvertOptions& options, InlineState& state, std::optional<char> stop = {});

/// Records `refs` as written by `source`: the links for the final check, the
/// files for copying.
void record_references(Build& build, LangBuild& lang, const References& refs, const LineSource& source);

/// Appends `text` with '<', '>' and '&' written as entities.
void append_html_escaped(std::string& out, std::string_view text);

/// Renders the [[target|text]] links of a string; every other byte is
/// copied.
RenderedLine render_links(const LangBuild& lang, std::string_view text);

/// The same, its references recorded under "expand_url", line 0.
std::string render_string_links(Build& build, LangBuild& lang, std::string_view text);

}  // namespace mt
