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

/// Writes one link and lists it and the file it names.
void write_link(const LangBuild& lang, std::string_view target, std::optional<std::string_view> label,
                RenderedLine& out) {
  UrlTarget resolved = resolve_target(lang, target);
  out.html += "<a href=\"";
  out.html += resolved.url;
  out.html += "\">";
  out.html += label ? *label : std::string_view(resolved.url);
  out.html += "</a>";
  if (!resolved.file.empty()) out.refs.files.push_back(std::move(resolved.file));
  out.refs.links.push_back(std::move(resolved.url));
}

/// The rendering of one page line: the line, the position and what is
/// written so far.
class LineRenderer {
 public:
  LineRenderer(const LangBuild& lang, const Page& page, const ConvertOptions& options, InlineState& state,
               std::string_view line)
      : lang_(lang), page_(page), options_(options), state_(state), line_(line) {}

  RenderedLine run(std::optional<char> stop) {
    size_t i = 0;
    while (i < line_.size()) {
      size_t run = i;
      while (run < line_.size() && !is_special(line_[run]) && line_[run] != stop) ++run;
      out_.html.append(line_.substr(i, run - i));
      i = run;
      if (i == line_.size() || line_[i] == stop) break;
      i = special(i);
    }
    out_.end = i;
    return std::move(out_);
  }

 private:
  /// Handles the byte at `i` that can start markup; returns the position
  /// after what it consumed.
  size_t special(size_t i) {
    switch (line_[i]) {
      case '<': return angle(i);
      case '>':
      case '&': append_html_escaped(out_.html, line_.substr(i, 1)); return i + 1;
      case '\'': return quotes(i);
      default:  // '['
        if (at(line_, i, "[[File:")) return image(i);
        if (at(line_, i, "[[")) return link(i);
        out_.html += '[';
        return i + 1;
    }
  }

  size_t angle(size_t i) {
    for (std::string_view tag : {"<ul>", "</ul>", "<code>", "</code>"}) {
      if (at(line_, i, tag)) {
        out_.html += tag;
        return i + tag.size();
      }
    }
    if (at(line_, i, "<br")) {
      // Any tag that begins with "<br" becomes a plain line break.
      out_.html += "<br/>";
      size_t gt = line_.find('>', i + 3);
      return gt == std::string_view::npos ? line_.size() : gt + 1;
    }
    if (!options_.support && at(line_, i, "<img")) {
      out_.html += "<img";
      size_t gt = line_.find('>', i + 4);
      size_t end = gt == std::string_view::npos ? line_.size() : gt;
      out_.html.append(line_.substr(i + 4, end - (i + 4)));
      out_.html += '>';
      return gt == std::string_view::npos ? line_.size() : gt + 1;
    }
    append_html_escaped(out_.html, line_.substr(i, 1));
    return i + 1;
  }

  /// The emphasis toggles, longest first.
  size_t quotes(size_t i) {
    std::string& html = out_.html;
    if (at(line_, i, "'''''")) {
      state_.bold = !state_.bold;
      state_.italic = !state_.italic;
      html += state_.bold ? "<b><i>" : "</i></b>";
      return i + 5;
    }
    if (at(line_, i, "'''")) {
      state_.bold = !state_.bold;
      html += state_.bold ? "<b>" : "</b>";
      return i + 3;
    }
    if (at(line_, i, "''")) {
      state_.italic = !state_.italic;
      html += state_.italic ? "<i>" : "</i>";
      return i + 2;
    }
    html += '\'';
    return i + 1;
  }

  /// "[[File:target|alt=text]]": an image, never listed as a link.
  size_t image(size_t i) {
    size_t next = 0;
    std::string_view body = bracket_body(line_, i + 7, &next);
    // Every "|alt=" ends what came before it, so the target runs to the first
    // one and the alt text follows the last one.
    size_t first_alt = body.find("|alt=");
    UrlTarget resolved = resolve_target(lang_, body.substr(0, first_alt));
    out_.html += "<img src=\"";
    out_.html += resolved.url;
    out_.html += '"';
    if (first_alt != std::string_view::npos) {
      out_.html += " alt=\"";
      out_.html += body.substr(body.rfind("|alt=") + 5);
      out_.html += '"';
    }
    out_.html += " />";
    if (!resolved.file.empty()) out_.refs.files.push_back(std::move(resolved.file));
    return next;
  }

  /// "[[target|...|label]]": the label follows the last '|'.
  size_t link(size_t i) {
    size_t next = 0;
    std::string_view body = bracket_body(line_, i + 2, &next);
    size_t bar = body.find('|');
    std::string_view target = body.substr(0, bar);
    std::optional<std::string_view> label =
        bar == std::string_view::npos ? implicit_label(target) : body.substr(body.rfind('|') + 1);
    if (options_.support && !target.empty() && target[0] == '#') {
      // An anchor alone points into the support page being written.
      write_link(lang_, page_.url + std::string(target), label, out_);
    } else {
      write_link(lang_, target, label, out_);
    }
    return next;
  }

  const LangBuild& lang_;
  const Page& page_;
  const ConvertOptions& options_;
  InlineState& state_;
  std::string_view line_;
  RenderedLine out_;
};

}  // namespace

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

RenderedLine render_page_line(const LangBuild& lang, const Page& page, std::string_view line,
                              const ConvertOptions& options, InlineState& state, std::optional<char> stop) {
  return LineRenderer(lang, page, options, state, line).run(stop);
}

void record_references(Build& build, LangBuild& lang, const References& refs, const LineSource& source) {
  for (const std::string& file : refs.files) lang.files.add(file);
  for (const std::string& url : refs.links) build.links.record(source.path, source.line, url);
}

RenderedLine render_links(const LangBuild& lang, std::string_view text) {
  RenderedLine out;
  out.html.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t open = text.find("[[", i);
    if (open == std::string_view::npos) break;
    out.html.append(text.substr(i, open - i));
    std::string_view body = bracket_body(text, open + 2, &i);
    // Unlike a page line, the label is everything after the first '|'.
    size_t bar = body.find('|');
    std::string_view target = body.substr(0, bar);
    std::optional<std::string_view> label =
        bar == std::string_view::npos ? implicit_label(target) : body.substr(bar + 1);
    write_link(lang, target, label, out);
  }
  if (i < text.size()) out.html.append(text.substr(i));
  out.end = text.size();
  return out;
}

std::string render_string_links(Build& build, LangBuild& lang, std::string_view text) {
  RenderedLine rendered = render_links(lang, text);
  record_references(build, lang, rendered.refs, LineSource{"expand_url", 0});
  return std::move(rendered.html);
}

}  // namespace mt
