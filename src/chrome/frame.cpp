// Placeholder until the real implementation lands.
#include "chrome/frame.h"

namespace mt {
void page_header(Build&, LangBuild&, Sink& out, const char*, int, Layout, bool) { out.write("<html>\r\n"); }
void page_footer(Build&, LangBuild&, Sink& out) { out.write("</html>\r\n"); }
}  // namespace mt
