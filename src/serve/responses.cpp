#include "serve/responses.h"

#include "markup/inline.h"
#include "platform/text.h"

namespace mt {

namespace {

struct TypeRow {
  const char* extension;
  const char* type;
};

// The types a site of this tool holds: its pages and stylesheet, the images
// and files its pages link to, the release files and the update file.
constexpr TypeRow kTypes[] = {
    {"html", "text/html; charset=utf-8"},
    {"htm", "text/html; charset=utf-8"},
    {"css", "text/css; charset=utf-8"},
    {"js", "text/javascript; charset=utf-8"},
    {"txt", "text/plain; charset=utf-8"},
    {"ini", "text/plain; charset=utf-8"},
    {"xml", "application/xml"},
    {"rss", "application/rss+xml"},
    {"json", "application/json"},
    {"png", "image/png"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"gif", "image/gif"},
    {"svg", "image/svg+xml"},
    {"ico", "image/x-icon"},
    {"webp", "image/webp"},
    {"pdf", "application/pdf"},
    {"zip", "application/zip"},
    {"woff", "font/woff"},
    {"woff2", "font/woff2"},
};

}  // namespace

std::optional<std::string> served_relative_path(std::string_view path) {
  if (path.empty() || path.front() != '/') return std::nullopt;
  std::string relative;
  size_t at = 1;
  while (at <= path.size()) {
    size_t end = path.find('/', at);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(at, end - at);
    at = end + 1;
    if (part.empty() || part == ".") continue;
    // ".." leaves the folder; on Windows a backslash separates components
    // and a colon names a drive or a stream, so a component carrying either
    // could too. NUL would cut the name short in a system call.
    if (part == ".." || part.find_first_of(std::string_view("\\:\0", 3)) != std::string_view::npos) {
      return std::nullopt;
    }
    if (!relative.empty()) relative += '/';
    relative += part;
  }
  return relative;
}

std::string_view content_type_for(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    const std::string_view extension = name.substr(dot + 1);
    for (const TypeRow& row : kTypes) {
      if (equal_no_case(extension, row.extension)) return row.type;
    }
  }
  return "application/octet-stream";
}

std::string with_reload_script(std::string html, unsigned build) {
  std::string script = "<script>(function(){var b='";
  script += std::to_string(build);
  script += "';var s=new EventSource('";
  script += kEventsPath;
  script += "');s.onmessage=function(e){if(e.data!==b){s.close();location.reload();}};})();</script>\n";
  const size_t body_end = ascii_lower(html).rfind("</body>");
  html.insert(body_end == std::string::npos ? html.size() : body_end, script);
  return html;
}

std::string build_event(unsigned build) { return "data: " + std::to_string(build) + "\n\n"; }

std::string php_needed_page(int port, std::string_view folder) {
  std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>The contact script needs PHP</title>"
      "</head>\n<body>\n<h1>The contact script needs PHP</h1>\n"
      "<p>This preview serves the built files as they are; it cannot run <code>sendemail.php</code>.</p>\n"
      "<p>To test the contact form, stop the preview (Ctrl-C) and serve the same folder with PHP's "
      "built-in server on the same port:</p>\n<pre>php -S 127.0.0.1:";
  page += std::to_string(port);
  page += " -t ";
  append_html_escaped(page, folder);
  page += "</pre>\n</body></html>\n";
  return page;
}

}  // namespace mt
