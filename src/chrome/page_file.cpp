#include "chrome/page_file.h"

#include <algorithm>

#include "platform/fs.h"

namespace mt {

bool write_framed_page(Build& build, LangBuild& lang, const std::string& path, const PageFrame& frame,
                       const std::function<void(Sink& out)>& body) {
  record_output(build, path, true);
  FileSink file;
  if (!file.open(path)) {
    build.diag.report({lang.source_folder}, Msg::create_failed, path, error_text(file.error()));
    return false;
  }
  page_header(build, lang, file, frame.title, frame.menu_mark, frame.layout, frame.nav_scrolls, frame.key,
              frame.source);
  body(file);
  page_footer(build, lang, file, frame.key, frame.source);
  close_output(build.diag, lang, file, path);
  return true;
}

void record_output(Build& build, const std::string& path, bool page) {
  if (page) progress_page(build.progress);
  if (!build.prune) return;
  // Every output path starts with the root as given; a root given with a
  // trailing separator doubles the one after it.
  std::string relative = path.substr(std::min(path.size(), build.output_root.size()));
  for (char& c : relative) {
    if (c == kSep) c = '/';
  }
  relative.erase(0, relative.find_first_not_of('/'));
  build.written.push_back(std::move(relative));
}

void close_output(Diagnostics& diag, const LangBuild& lang, FileSink& file, const std::string& path) {
  if (!file.close()) {
    diag.report({lang.source_folder}, Msg::write_failed, path, error_text(file.error()));
  }
}

}  // namespace mt
