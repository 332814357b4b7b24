#include "markup/toc.h"

namespace mt {

void write_toc(Sink& out, const std::vector<TocEntry>& entries) {
  out.printf("<div class=\"toc\">\r\n");
  out.printf("<ul>\r\n");
  for (const TocEntry& entry : entries) {
    const std::string shown(entry.shown);
    out.printf("<li class=\"%s\"><p><a href=\"#%s\">%s</a></p></li>\r\n", entry.level2 ? "toclvl2" : "toclvl1",
               entry.id.c_str(), shown.c_str());
  }
  out.printf("</ul>\r\n");
  out.printf("</div>\r\n");
}

}  // namespace mt
