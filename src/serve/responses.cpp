#include "serve/responses.h"

#include <algorithm>

#include "markup/inline.h"
#include "platform/names.h"
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

std::string_view trim_spaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A decimal number, held at the largest value when it is larger; none when
// `text` is empty or holds anything but digits.
std::optional<uint64_t> digits(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
  }
  return value;
}

}  // namespace

bool host_allowed(std::string_view host, int port) {
  // Built by append: GCC 12 at -O3 warns (falsely) on ":" + to_string().
  std::string with_port(1, ':');
  with_port += std::to_string(port);
  if (host.ends_with(with_port)) {
    host.remove_suffix(with_port.size());
  } else if (port != 80) {
    return false;
  }
  return equal_no_case(host, "127.0.0.1") || equal_no_case(host, "localhost") || host == "[::1]";
}

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

RangeAnswer requested_range(std::string_view header, uint64_t size) {
  // Answering each range of a list would let one short header ask for the
  // file many times over; HTTP lets a server send the whole file instead.
  constexpr std::string_view kUnit = "bytes=";
  const std::string_view value = trim_spaces(header);
  if (!starts_with_no_case(value, kUnit) || value.find(',') != std::string_view::npos) return {};
  const std::string_view range = trim_spaces(value.substr(kUnit.size()));
  const size_t dash = range.find('-');
  if (dash == std::string_view::npos) return {};
  const std::string_view first_text = range.substr(0, dash), last_text = range.substr(dash + 1);
  const std::optional<uint64_t> first = digits(first_text), last = digits(last_text);
  if ((!first && !first_text.empty()) || (!last && !last_text.empty())) return {};
  if (!first) {  // "-N": the last N bytes
    if (!last) return {};
    if (*last == 0 || size == 0) return {RangeAnswer::unsatisfiable};
    const uint64_t length = std::min(*last, size);
    return {RangeAnswer::part, size - length, length};
  }
  if (last && *last < *first) return {};
  if (*first >= size) return {RangeAnswer::unsatisfiable};
  const uint64_t end = last ? std::min(*last, size - 1) : size - 1;
  return {RangeAnswer::part, *first, end - *first + 1};
}

std::string reload_script(unsigned build) {
  // A page that finds Web Locks and BroadcastChannel takes one lock per
  // origin and, while it holds it, the event stream; it passes each build
  // number to the other pages. When it closes, another page takes the lock
  // and a stream, which starts with the latest build, so none is missed.
  // Older browsers open one stream per page.
  std::string script = "<script>(function(){var b='";
  script += std::to_string(build);
  script += "',u='";
  script += kEventsPath;
  script +=
      "',r=0,c=window.BroadcastChannel&&new BroadcastChannel(u);"
      "function seen(n){if(n!==b&&!r){r=1;location.reload();}}"
      "function listen(){new EventSource(u).onmessage=function(e){if(c)c.postMessage(e.data);seen(e.data);};}"
      "if(c)c.onmessage=function(e){seen(e.data);};"
      "if(c&&navigator.locks)navigator.locks.request(u,function(){listen();return new Promise(function(){});});"
      "else listen();})();</script>\n";
  return script;
}

uint64_t reload_script_offset(const ReadAt& read, uint64_t size, size_t piece) {
  constexpr std::string_view kBodyEnd = "</body>";
  // Pieces overlap by one byte less than the tag, so one cut in two is
  // still found; a piece must be longer than the overlap to move on.
  piece = std::max(piece, 2 * kBodyEnd.size());
  std::string text;
  uint64_t end = size;
  while (end > 0) {
    const uint64_t start = end > piece ? end - piece : 0;
    text.resize(static_cast<size_t>(end - start));
    for (size_t done = 0; done < text.size();) {
      const std::ptrdiff_t got = read(start + done, text.data() + done, text.size() - done);
      // A page cut short meanwhile gets the script at its end.
      if (got <= 0) return size;
      done += static_cast<size_t>(got);
    }
    const size_t at = ascii_lower(text).rfind(kBodyEnd);
    if (at != std::string::npos) return start + at;
    if (start == 0) break;
    end = start + kBodyEnd.size() - 1;
  }
  return size;
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
