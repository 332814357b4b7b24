#include "chrome/page_file.h"

#include "platform/fs.h"

namespace mt {

bool write_framed_page(Build& build, LangBuild& lang, const std::string& path, const PageFrame& frame,
                       const std::function<void(Sink& out)>& body) {
  FileSink file;
  if (!file.open(path)) {
    build.diag.report({lang.source_folder}, Msg::create_failed, path, error_text(file.error()));
    return false;
  }
  page_header(build, lang, file, frame.title, frame.menu_mark, frame.layout, frame.nav_scrolls);
  body(file);
  page_footer(build, lang, file);
  close_output(build.diag, lang, file, path);
  return true;
}

void close_output(Diagnostics& diag, const LangBuild& lang, FileSink& file, const std::string& path) {
  if (!file.close()) {
    diag.report({lang.source_folder}, Msg::write_failed, path, error_text(file.error()));
  }
}

}  // namespace mt
