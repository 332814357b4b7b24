#include "support/pages.h"

#include <algorithm>
#include <vector>

#include "chrome/page_file.h"
#include "links/registry.h"
#include "macros/expander.h"
#include "markup/converter.h"
#include "platform/fs.h"

namespace mt {

namespace {

void write_navigation(const LangBuild& lang, Sink& out, int current, const std::vector<int>& shown) {
  const std::vector<SupportNode>& nodes = lang.support.nodes();
  std::vector<bool> refused(nodes.size());
  const std::string& folder = lang.str(SUPPORT_FOLDER);
  out.write("<div class=\"wikinav\">\r\n");
  out.write("<ul>\r\n");
  for (int q : shown) {
    const SupportNode& node = nodes[static_cast<size_t>(q)];
    const bool self = q == current;
    out.printf("<li class=\"wikinavindent%d\"><p><a href=\"%s/%s/%s\">%s%s%s</a></p></li>\r\n", node.depth + 1,
               lang.base_url.c_str(), folder.c_str(), node.path_slug.c_str(), self ? "<b>" : "", node.title.c_str(),
               self ? "</b>" : "");
  }
  out.write("</ul>\r\n");
  out.write("</div>\r\n");
}

}  // namespace

void write_support_pages(Build& build, LangBuild& lang, const std::string& support_source_folder) {
  const std::string& folder_name = lang.str(SUPPORT_FOLDER);
  const std::string support_output = join_path(lang.output_folder, folder_name);
  const PageFolder support_folder = make_page_folder(build, lang, support_output, lang.new_folder);
  if (support_folder == PageFolder::kRefused) return;

  ConvertOptions options;
  options.support = true;
  options.direction_markers = build.setup.site.support_direction_markers == "on";
  options.macros = expand_macro;
  const std::vector<SupportNode>& nodes = lang.support.nodes();
  std::vector<PageFolder> folders(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    const SupportNode& node = nodes[i];
    const int current = static_cast<int>(i);

    const std::string& relative = node.path_slug;
    const std::string page_folder = relative.empty() ? support_output : join_path(support_output, relative);
    const PageFolder parent = node.parent >= 0 ? folders[static_cast<size_t>(node.parent)] : support_folder;
    // Below a link that stays, nothing is written: not the page, nor its children.
    folders[i] = parent == PageFolder::kRefused ? PageFolder::kRefused
                 : relative.empty()             ? support_folder
                                    : make_page_folder(build, lang, page_folder, parent == PageFolder::kNew);
    if (folders[i] == PageFolder::kRefused) continue;

    Page page;
    page.url = lang.base_url + "/" + folder_name + "/" + node.path_slug;
    build.links.declare(page.url, std::nullopt, true);

    const std::string page_path = join_path(page_folder, "index.html");
    // Computed once: the header's overflow flag and the column read the same list.
    const std::vector<int> shown = lang.support.shown_in_navigation(current);
    const std::string text_path = join_path(support_source_folder, node.source_path + ".txt");
    const PageFrame frame{node.name.c_str(),
                          kMenuSupport,
                          Layout::kWiki,
                          lang.support.navigation_scrolls(shown),
                          {-1, current},
                          text_path,
                          folders[i] == PageFolder::kNew};
    write_framed_page(build, lang, page_path, frame, [&](Build& writing, Sink& file) {
      page.out = &file;
      write_navigation(lang, file, current, shown);
      file.write("<div class=\"wikicontent\">\r\n");
      if (std::optional<std::string> text = lang.support.take_text(current)) {
        convert_text(writing, lang, page, text_path, *text, options);
      } else {
        writing.diag.report({lang.source_folder()}, Msg::cant_open, PathArg{text_path});
      }
      file.write("<br/>\r\n");
      file.write("</div>\r\n");
      file.write("<div style=\"clear:both\">\r\n");
      file.write("</div>\r\n");
    });
  }
}

}  // namespace mt
