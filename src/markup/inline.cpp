#include "markup/inline.h"

#include <array>
#include <optional>

#include "links/registry.h"
#include "links/urls.h"
#include "platform/fs.h"
#include "platform/text.h"

namespace mt {

namespace {

using ByteTable = std::array<bool, 256>;

constexpr ByteTable make_table(std::string_view bytes) {
  ByteTable table{};
  for (char c : bytes) table[static_cast<unsigned char>(c)] = true;
  return table;
}

// Bytes that can start markup in a page line; runs of all other bytes are
// copied at once.
constexpr ByteTable kPageSpecial = make_table("<>&'[");

bool is_special(char c) { return kPageSpecial[static_cast<unsigned char>(c)]; }

bool at(std::string_view text, size_t pos, std::string_view literal) {
  return text.compare(pos, literal.size(), literal) == 0;
}

/// The inside of a "[[...]]" construct whose text starts at `start`: up to
/// the first "]]" or the end of the text. `*next` is set past the closing
/// brackets. Each construct scans only its own bytes, so a line full of
/// "[[" stays linear.
std::string_view bracket_body(std::string_view text, size_t start, size_t* next) {
  size_t close = text.find("]]", start);
  if (close == std::string_view::npos) {
    *next = text.size();
    return text.substr(start);
  }
  *next = close + 2;
  return text.substr(start, close - start);
}

/// The label of a link written without '|': the part of the target after
/// its last '/' that has at least one byte after it (so "a/b/" shows "b/").
/// None for a target with a scheme or without such a '/'.
std::optional<std::string_view> implicit_label(std::string_view target) {
  if (target.size() < 2 || has_scheme(target)) return std::nullopt;
  size_t slash = target.rfind('/', target.size() - 2);
  if (slash == std::string_view::npos) return std::nullopt;
  return target.substr(slash + 1);
}

/// Writes one link and records it (unless the rendering must leave no
/// trace, as when only an id is wanted).
void write_link(Build& build, LangBuild& lang, std::string_view target, std::optional<std::string_view> label,
                const LineSource& source, std::string& out) {
  std::string url = expand_url(lang, target, source.effects);
  out += "<a href=\"";
  out += url;
  out += "\">";
  out += label ? *label : std::string_view(url);
  out += "</a>";
  if (source.effects) build.links->record(source.path, source.line, url);
}

/// Handles a '<' at `i`; returns the position after what it consumed.
size_t render_angle(std::string_view line, size_t i, const ConvertOptions& options, std::string& out) {
  for (std::string_view tag : {"<ul>", "</ul>", "<code>", "</code>"}) {
    if (at(line, i, tag)) {
      out += tag;
      return i + tag.size();
    }
  }
  if (at(line, i, "<br")) {
    // Any tag that begins with "<br" becomes a plain line break.
    out += "<br/>";
    size_t gt = line.find('>', i + 3);
    return gt == std::string_view::npos ? line.size() : gt + 1;
  }
  if (!options.support && at(line, i, "<img")) {
    out += "<img";
    size_t gt = line.find('>', i + 4);
    size_t end = gt == std::string_view::npos ? line.size() : gt;
    out.append(line.substr(i + 4, end - (i + 4)));
    out += '>';
    return gt == std::string_view::npos ? line.size() : gt + 1;
  }
  append_html_escaped(out, line.substr(i, 1));
  return i + 1;
}

/// Handles a '\'' at `i`: the emphasis toggles, longest first.
size_t render_quotes(std::string_view line, size_t i, InlineState& state, std::string& out) {
  if (at(line, i, "'''''")) {
    state.bold = !state.bold;
    state.italic = !state.italic;
    out += state.bold ? "<b><i>" : "</i></b>";
    return i + 5;
  }
  if (at(line, i, "'''")) {
    state.bold = !state.bold;
    out += state.bold ? "<b>" : "</b>";
    return i + 3;
  }
  if (at(line, i, "''")) {
    state.italic = !state.italic;
    out += state.italic ? "<i>" : "</i>";
    return i + 2;
  }
  out += '\'';
  return i + 1;
}

/// "[[File:target|alt=text]]": an image, never recorded as a link.
size_t render_image(LangBuild& lang, std::string_view line, size_t i, const LineSource& source, std::string& out) {
  size_t next = 0;
  std::string_view body = bracket_body(line, i + 7, &next);
  // Every "|alt=" ends what came before it, so the target runs to the first
  // one and the alt text follows the last one.
  size_t first_alt = body.find("|alt=");
  std::string_view target = body.substr(0, first_alt);
  out += "<img src=\"";
  out += expand_url(lang, target, source.effects);
  out += '"';
  if (first_alt != std::string_view::npos) {
    out += " alt=\"";
    out += body.substr(body.rfind("|alt=") + 5);
    out += '"';
  }
  out += " />";
  return next;
}

/// "[[target|...|label]]": the label follows the last '|'.
size_t render_link(Build& build, LangBuild& lang, const Page& page, std::string_view line, size_t i,
                   const ConvertOptions& options, const LineSource& source, std::string& out) {
  size_t next = 0;
  std::string_view body = bracket_body(line, i + 2, &next);
  size_t bar = body.find('|');
  std::string_view target = body.substr(0, bar);
  std::optional<std::string_view> label =
      bar == std::string_view::npos ? implicit_label(target) : body.substr(body.rfind('|') + 1);
  if (options.support && !target.empty() && target[0] == '#') {
    // An anchor alone points into the support page being written.
    std::string on_page = page.url;
    on_page += target;
    write_link(build, lang, on_page, label, source, out);
  } else {
    write_link(build, lang, target, label, source, out);
  }
  return next;
}

}  // namespace

size_t find_outside_markup(std::string_view line, size_t from, char c, bool support) {
  size_t i = from;
  while (i < line.size()) {
    if (line[i] == c) return i;
    size_t end = std::string_view::npos;
    if (at(line, i, "[[")) {
      end = line.find("]]", i + 2);
      end = end == std::string_view::npos ? line.size() : end + 2;
    } else if (at(line, i, "<br") || (!support && at(line, i, "<img"))) {
      end = line.find('>', i + 3);
      end = end == std::string_view::npos ? line.size() : end + 1;
    }
    i = end == std::string_view::npos ? i + 1 : end;
  }
  return line.size();
}

void append_html_escaped(std::string& out, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* entity = nullptr;
    switch (text[i]) {
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      case '&': entity = "&amp;"; break;
      default: continue;
    }
    out.append(text.substr(start, i - start));
    out += entity;
    start = i + 1;
  }
  out.append(text.substr(start));
}

void render_page_line(Build& build, LangBuild& lang, const Page& page, std::string_view line,
                      const ConvertOptions& options, const LineSource& source, InlineState& state, std::string& out) {
  size_t i = 0;
  while (i < line.size()) {
    size_t run = i;
    while (run < line.size() && !is_special(line[run])) ++run;
    out.append(line.substr(i, run - i));
    i = run;
    if (i == line.size()) break;
    switch (line[i]) {
      case '<': i = render_angle(line, i, options, out); break;
      case '>':
      case '&':
        append_html_escaped(out, line.substr(i, 1));
        ++i;
        break;
      case '\'': i = render_quotes(line, i, state, out); break;
      default:  // '['
        if (at(line, i, "[[File:")) {
          i = render_image(lang, line, i, source, out);
        } else if (at(line, i, "[[")) {
          i = render_link(build, lang, page, line, i, options, source, out);
        } else {
          out += '[';
          ++i;
        }
        break;
    }
  }
}

std::string render_string_links(Build& build, LangBuild& lang, std::string_view text) {
  const LineSource source{"expand_url", 0, true};
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t open = text.find("[[", i);
    if (open == std::string_view::npos) break;
    out.append(text.substr(i, open - i));
    std::string_view body = bracket_body(text, open + 2, &i);
    // Unlike a page line, the label is everything after the first '|'.
    size_t bar = body.find('|');
    std::string_view target = body.substr(0, bar);
    std::optional<std::string_view> label =
        bar == std::string_view::npos ? implicit_label(target) : body.substr(bar + 1);
    write_link(build, lang, target, label, source, out);
  }
  if (i < text.size()) out.append(text.substr(i));
  return out;
}

}  // namespace mt
