#include "markup/toc.h"

#include "markup/ids.h"
#include "markup/inline.h"
#include "markup/lines.h"
#include "platform/fs.h"

namespace mt {

namespace {

/// The text of a heading line: after its leading '=' signs (all of them at
/// level 2, one at level 1) up to the next '='.
std::string_view heading_text(std::string_view line) {
  size_t start = line.substr(0, 2) == "==" ? line.find_first_not_of('=') : 1;
  if (start == std::string_view::npos) start = line.size();
  size_t end = line.find('=', start);
  if (end == std::string_view::npos) end = line.size();
  return line.substr(start, end - start);
}

}  // namespace

void write_toc(Build& build, LangBuild& lang, Page& page, const std::string& source_path) {
  Sink& out = *page.out;
  out.printf("<div class=\"toc\">\r\n");
  out.printf("<ul>\r\n");
  std::string text;
  if (read_source_file(source_path, &text)) {
    SourceLines lines(text);
    std::string_view line;
    std::string rendered;
    bool listing = false;
    int line_number = 0;
    while (lines.next(&line)) {
      ++line_number;
      if (!listing) {
        // Only headings after the first "__" marker line are listed.
        listing = line.substr(0, 2) == "__";
        continue;
      }
      if (line.empty() || line[0] != '=') continue;
      // The link must reach the id the heading really gets, which is made
      // from its rendered text ("Q&A" is "Q&amp;A" there). Rendering here
      // leaves no trace: nothing recorded, no file listed.
      rendered.clear();
      InlineState emphasis;
      render_page_line(build, lang, page, line, ConvertOptions{}, LineSource{source_path, line_number, false},
                       emphasis, rendered);
      std::string id = heading_id(heading_text(rendered));
      std::string entry(heading_text(line));
      if (line.substr(0, 2) == "==") {
        out.printf("<li class=\"toclvl2\"><p><a href=\"#%s\">%s</a></p></li>\r\n", id.c_str(), entry.c_str());
      } else {
        out.printf("<li class=\"toclvl1\"><p><a href=\"#%s\">%s</a></p></li>\r\n", id.c_str(), entry.c_str());
      }
    }
  }
  out.printf("</ul>\r\n");
  out.printf("</div>\r\n");
}

}  // namespace mt
