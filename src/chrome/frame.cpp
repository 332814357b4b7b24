#include "chrome/frame.h"

#include <string>

#include "chrome/language_links.h"
#include "chrome/stylesheet.h"
#include "links/registry.h"
#include "links/urls.h"
#include "markup/localised.h"
#include "platform/fs.h"

namespace mt {

namespace {

// Under --pedantic the frame's links go to the final link check too, once
// per language build: the root build writes the same frame again.
void check_frame_link(Build& build, const LangBuild& lang, const std::string& url) {
  if (build.setup.pedantic && !lang.folder_code.empty()) build.links.record_frame(lang.folder_code + ": frame", url);
}

// The same for a file the frame links to at the site root: it must be in the
// output folder at the end (the tool does not write it).
void check_frame_file(Build& build, const LangBuild& lang, const char* file) {
  if (build.setup.pedantic && !lang.folder_code.empty()) {
    build.links.record_frame(lang.folder_code + ": frame", build.setup.url_root + "/" + file,
                             join_path(build.setup.output_root, file));
  }
}

void write_head(Build& build, LangBuild& lang, Sink& out, const char* page_name, Layout layout, bool nav_scrolls,
                PageKey key, const std::string& source) {
  out.write("<!DOCTYPE html>\n");
  const std::string language = html_lang(build, lang);
  if (lang.rtl) out.printf("<html lang=\"%s\" dir=\"rtl\">\n", language.c_str());
  else out.printf("<html lang=\"%s\">\n", language.c_str());
  out.write("<head>\n");
  out.printf("<title>%s</title>\r\n", page_title(lang, page_name).c_str());
  out.printf("<meta name=\"viewport\" content=\"width=%d\">\r\n",
             layout == Layout::kWiki ? lang.wiki_width : lang.plain_width);
  out.write("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />\r\n");
  out.printf(
      "<link rel=\"alternate\" type=\"application/rss+xml\" title=\"%s RSS Feed\" "
      "href=\"%s/rss.xml\" />\r\n",
      build.setup.site.site_name.c_str(), build.setup.url_root.c_str());
  check_frame_file(build, lang, "rss.xml");
  if (alternate_links_on(build, lang) && (key.template_index >= 0 || key.support_node >= 0)) {
    write_language_links(build, lang, out, key, source);
  }
  out.write("<style type=\"text/css\">");
  out.write(stylesheet(build, lang, layout, nav_scrolls));
  out.write("</style>\r\n");
  out.write("</head>\r\n");
  out.write("<body>\r\n");
}

void write_top_bar(Build& build, const LangBuild& lang, Sink& out) {
  check_frame_link(build, lang, lang.base_url + "/");
  check_frame_file(build, lang, "tarnwick9.png");
  out.write("<div class=\"top\">\r\n");
  out.write("<div class=\"topcenter\">\r\n");
  out.printf("<a href=\"%s/\"><img alt=\"%s\" src=\"%s/tarnwick9.png\" /></a>\r\n", lang.base_url.c_str(),
             build.setup.site.site_name.c_str(), build.setup.url_root.c_str());
  out.write("</div>\r\n");
  out.write("</div>\r\n");
}

void write_menu_bar(Build& build, LangBuild& lang, Sink& out, MenuItem menu_index) {
  out.write("<div class=\"menu\">\r\n");
  out.write("<div class=\"menucenter\">\r\n");
  for (int i = 0; i < kMenuItems; ++i) {
    UrlTarget menu = menu_target(lang, static_cast<MenuItem>(i));
    if (!menu.file.empty()) lang.files.add(menu.file);
    const std::string& target = menu.url;
    const char* label = lang.str(kMenu[i].label).c_str();
    check_frame_link(build, lang, target);
    if (i == menu_index)
      out.printf("<div class=\"curmenuitem\"><a href=\"%s\">%s</a></div>\r\n", target.c_str(), label);
    else out.printf("<div class=\"menuitem\"><a href=\"%s\">%s</a></div>\r\n", target.c_str(), label);
  }
  out.printf(
      "<div class=\"search\"><form method=\"get\" action=\"%s\"><div><input class=\"searchedit\" "
      "type=\"text\" name=\"q\" size=\"15\" maxlength=\"255\" value=\"\" /><input type=\"hidden\" "
      "name=\"sitesearch\" value=\"%s\" /></div></form></div>\r\n",
      build.setup.site.search_endpoint.c_str(), build.setup.site.site_domain.c_str());
  out.write("<div class=\"endmenuitem\"></div>\r\n");
  out.write("</div>\r\n");
  out.write("</div>\r\n");
}

void write_content_open(Sink& out, Layout layout) {
  if (layout == Layout::kWiki) {
    out.write("<div class=\"wiki\">\r\n");
    out.write("<div class=\"wikicenter\">\r\n");
    out.write("<div class=\"wikipadding\">\r\n");
  } else {
    out.write("<div class=\"content\">\r\n");
    out.write("<div class=\"contentcenter\">\r\n");
    out.write("<div class=\"contentpadding\">\r\n");
  }
}

void write_footer_link(Build& build, const LangBuild& lang, Sink& out, const FooterEntry& link) {
  const std::string url = template_page_url(lang, link.template_index);
  check_frame_link(build, lang, url);
  out.printf("<a href=\"%s\">%s</a>\r\n", url.c_str(), lang.str(link.label).c_str());
}

}  // namespace

void page_header(Build& build, LangBuild& lang, Sink& out, const char* page_name, MenuItem menu_index, Layout layout,
                 bool nav_scrolls, PageKey key, const std::string& source) {
  write_head(build, lang, out, page_name, layout, nav_scrolls, key, source);
  write_top_bar(build, lang, out);
  write_menu_bar(build, lang, out, menu_index);
  write_content_open(out, layout);
}

void page_footer(Build& build, LangBuild& lang, Sink& out, PageKey key, const std::string& source) {
  for (int i = 0; i < 3; ++i) out.write("</div>\r\n");
  out.write("<div class=\"bot\">\r\n");
  out.write("<div class=\"botcenter\">\r\n");
  out.write("<div class=\"botpadding\">\r\n");
  for (const FooterEntry& link : kFooter) {
    if (!link.after_copyright) write_footer_link(build, lang, out, link);
  }
  for (int i = 0; i < 3; ++i) out.write("</div>\r\n");
  out.write("<div class=\"bot2\">\r\n");
  out.write("<div class=\"botcenter2\">\r\n");
  // Read on every footer: a build that runs over New Year writes both years.
  const int year = build.year ? build.year() : local_year();
  const std::string copyright = localised_text(build, lang, COPYRIGHT, "{{YEAR}}", std::to_string(year));
  out.write(copyright);  // no line end: the privacy link follows the dash directly
  for (const FooterEntry& link : kFooter) {
    if (link.after_copyright) write_footer_link(build, lang, out, link);
  }
  out.write("</div>\r\n");
  out.write("</div>\r\n");
  if (build.setup.site.language_switch == "on" && lang.indexed >= 0)
    write_language_switch(build, lang, out, key, source);
  out.write("</body>\r\n");
  out.write("</html>\r\n");
}

}  // namespace mt
