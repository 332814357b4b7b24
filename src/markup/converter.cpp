#include "markup/converter.h"

#include <climits>
#include <vector>

#include "macros/expander.h"
#include "markup/lines.h"
#include "markup/toc.h"
#include "platform/fs.h"

namespace mt {

namespace {

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool is_c_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

/// The leading decimal integer of `text` as C's atoi reads it (leading
/// white space, an optional sign, digits; 0 without digits), held to the
/// int range instead of overflowing.
int leading_int(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && is_c_space(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value <= INT_MAX) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

/// The state of one conversion; a nested conversion has its own.
class Converter {
 public:
  Converter(Build& build, LangBuild& lang, Page& page, const std::string& path, const ConvertOptions& options)
      : build_(build), lang_(lang), page_(page), path_(path), options_(options), out_(*page.out) {}

  void run(std::string_view text) {
    SourceLines lines(text);
    std::string_view line;
    while (lines.next(&line)) {
      report_open_emphasis();
      ++line_number_;
      convert_line(line);
    }
    // Nothing is closed or reported at the end: blocks and emphasis that
    // the text leaves open stay as the text has them.
  }

 private:
  void report_open_emphasis() {
    if (emphasis_.bold) build_.diag.warning("%s:%d: warning: still bold\n", path_.c_str(), line_number_);
    if (emphasis_.italic) build_.diag.warning("%s:%d: warning: still italic\n", path_.c_str(), line_number_);
    emphasis_ = InlineState{};
  }

  void convert_line(std::string_view line) {
    if (preformatted_) {
      preformatted_line(line);
      return;
    }
    pre_continued_ = false;
    if (definition_depth_ > 0 && definition_list_line(line)) return;
    if (list_depth_ > 0 && bullet_list_line(line)) return;
    if (marker_line(line)) return;
    rendered_.clear();
    render_page_line(build_, lang_, page_, line, options_, LineSource{path_, line_number_, true}, emphasis_, rendered_);
    write_rendered();
  }

  void preformatted_line(std::string_view line) {
    if (starts_with(line, "</pre>")) {
      preformatted_ = false;
      out_.printf("</pre>\r\n");
      return;
    }
    if (pre_continued_) out_.printf("<br/>");
    rendered_.clear();
    append_html_escaped(rendered_, line);
    out_.write(rendered_);
    pre_continued_ = true;
  }

  /// Closes the definition list on "</dl>" (true: line done) or opens a
  /// description for any line but a term.
  bool definition_list_line(std::string_view line) {
    if (starts_with(line, "</dl>")) {
      if (definition_open_) {
        out_.printf("</dd>\r\n");
        definition_open_ = false;
      }
      --definition_depth_;
      out_.printf("</dl>\r\n");
      return true;
    }
    if (!starts_with(line, ";") && !definition_open_) {
      out_.printf("<dd>");
      definition_open_ = true;
    }
    return false;
  }

  /// Closes the bullet list on "</ul>" (true: line done) or opens an item
  /// for any line but an item, so a nested list always sits inside one.
  bool bullet_list_line(std::string_view line) {
    if (starts_with(line, "</ul>")) {
      if (in_li_[list_depth_]) {
        out_.printf("</li>\r\n");
        in_li_[list_depth_] = false;
      }
      --list_depth_;
      out_.printf("</ul>\r\n");
      return true;
    }
    if (!starts_with(line, "*") && !in_li_[list_depth_]) {
      out_.printf("<li>");
      in_li_[list_depth_] = true;
    }
    return false;
  }

  /// The markers tested before rendering; true when the line was one.
  bool marker_line(std::string_view line) {
    if (starts_with(line, "{{")) {
      size_t end = line.find("}}", 2);
      std::string_view name = line.substr(2, end == std::string_view::npos ? std::string_view::npos : end - 2);
      expand_macro(build_, lang_, page_, name, LineSource{path_, line_number_, true});
      return true;
    }
    if (!options_.support) {
      if (starts_with(line, "__TOC__")) {
        write_toc(build_, lang_, page_, path_);
        return true;
      }
      if (starts_with(line, "__RTL_BEGIN__")) {
        out_.printf("<div style=\"direction:rtl;text-align:right;\">\r\n");
        return true;
      }
      if (starts_with(line, "__RTL_END__")) {
        out_.printf("</div>\r\n");
        return true;
      }
    }
    if (starts_with(line, "<pre>")) {
      preformatted_ = true;
      out_.printf("<pre>");
      return true;
    }
    if (starts_with(line, "<beta>")) return true;
    if (starts_with(line, "<dl>")) {
      ++definition_depth_;
      out_.printf("<dl>\r\n");
      return true;
    }
    if (starts_with(line, "<ul>")) {
      // The open-item flags grow with the nesting: any depth works.
      ++list_depth_;
      if (in_li_.size() <= list_depth_) in_li_.resize(list_depth_ + 1, false);
      out_.printf("<ul>\r\n");
      return true;
    }
    return false;
  }

  /// Classifies the rendered line by its first bytes and writes it.
  void write_rendered() {
    std::string_view r = rendered_;
    const char* text = rendered_.c_str();
    switch (r.empty() ? '\0' : r[0]) {
      case '{':
        out_.printf("<table>\r\n<tr>");
        first_cell_ = true;
        return;
      case '|':
        table_line(1);
        return;
      case '!':
        if (r.size() > 1 && r[1] == ' ') out_.printf("<th class=\"wikinowrap\">%s</th>", text + 2);
        return;
      case ';':
        definition_term(r.substr(1));
        return;
      case '=':
        heading(r);
        return;
      case '*':
        list_item(text + 1);
        return;
      case '_':
        if (starts_with(r, "__")) return;  // an unknown or flavour-less marker
        break;
      default:
        break;
    }
    paragraph(r);
  }

  /// A rendered line starting with '|', whose markup starts at `pos`.
  void table_line(size_t pos) {
    std::string_view r = rendered_;
    const char* text = rendered_.c_str();
    if (starts_with(r.substr(pos), "rowspan=\"")) {
      size_t number = pos + 9;
      size_t bar = r.find('|', number);
      if (bar == std::string_view::npos) return;
      out_.printf("<td rowspan=\"%d\">%s</td>", leading_int(r.substr(number)), text + bar + 1);
      return;
    }
    char kind = pos < r.size() ? r[pos] : '\0';
    if (kind == '-') {
      out_.printf("</tr>\r\n<tr>");
      first_cell_ = true;
    } else if (kind == '}') {
      out_.printf("</tr>\r\n</table>\r\n");
    } else if (kind == ' ') {
      if (first_cell_) {
        out_.printf("<td class=\"wikinowrap\">%s</td>", text + pos + 1);
        first_cell_ = false;
      } else {
        out_.printf("<td>%s</td>", text + pos + 1);
      }
    }
  }

  void definition_term(std::string_view term) {
    std::string id = heading_id(term);
    if (definition_open_) {
      out_.printf("</dd>\r\n");
      definition_open_ = false;
    }
    page_.ids.add(id, build_.diag);
    size_t bar = term.find('|');
    std::string shown(bar == std::string_view::npos ? term : term.substr(bar + 1));
    out_.printf("<dt id=\"%s\"><p>%s</p></dt>\r\n", id.c_str(), shown.c_str());
    build_.links.declare(page_.url, id, true);
  }

  /// "==..." gives level 2 whatever the number of '='; a single '=' level 1.
  /// The text runs to the next '='; the rest of the line is dropped.
  void heading(std::string_view r) {
    bool level2 = starts_with(r, "==");
    size_t start = level2 ? r.find_first_not_of('=') : 1;
    if (start == std::string_view::npos) start = r.size();
    size_t end = heading_end(r, start);
    std::string text(r.substr(start, end - start));
    std::string id = heading_id(text);
    page_.ids.add(id, build_.diag);
    if (level2) {
      out_.printf("<h2 id=\"%s\">%s</h2>\r\n", id.c_str(), text.c_str());
    } else {
      out_.printf("<h1 id=\"%s\">%s</h1>\r\n", id.c_str(), text.c_str());
    }
    build_.links.declare(page_.url, id, true);
  }

  /// Where the heading text that starts at `start` ends: at the next '='
  /// outside the tags that rendering wrote. A '<' in the rendered text always
  /// opens such a tag (typed ones are escaped), and cutting inside one, at
  /// the '=' of a link's "href=", would leave a broken element behind.
  static size_t heading_end(std::string_view r, size_t start) {
    bool in_tag = false;
    for (size_t i = start; i < r.size(); ++i) {
      if (r[i] == '<') {
        in_tag = true;
      } else if (r[i] == '>') {
        in_tag = false;
      } else if (r[i] == '=' && !in_tag) {
        return i;
      }
    }
    return r.size();
  }

  void list_item(const char* text) {
    if (in_li_[list_depth_]) out_.printf("</li>\r\n");
    out_.printf("<li>");
    in_li_[list_depth_] = true;
    out_.printf("<p>%s</p>", text);
  }

  void paragraph(std::string_view r) {
    size_t start = r.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
      out_.printf("<br/>\r\n");
    } else {
      out_.printf("<p>%s</p>\r\n", rendered_.c_str() + start);
    }
  }

  Build& build_;
  LangBuild& lang_;
  Page& page_;
  const std::string path_;  // a copy: callers may pass an element of page.converting
  const ConvertOptions& options_;
  Sink& out_;

  int line_number_ = 0;
  bool preformatted_ = false;
  bool pre_continued_ = false;  // a content line of the open block was written
  int definition_depth_ = 0;
  bool definition_open_ = false;  // one flag for all depths
  size_t list_depth_ = 0;
  std::vector<bool> in_li_ = std::vector<bool>(1, false);  // index 0: items outside any list
  bool first_cell_ = true;
  InlineState emphasis_;
  std::string rendered_;  // reused for every line
};

}  // namespace

bool convert_page(Build& build, LangBuild& lang, Page& page, const std::string& source_path,
                  const ConvertOptions& options) {
  std::string text;
  if (!read_source_file(source_path, &text)) return false;
  convert_text(build, lang, page, source_path, text, options);
  return true;
}

void convert_text(Build& build, LangBuild& lang, Page& page, const std::string& source_path, std::string_view text,
                  const ConvertOptions& options) {
  // The macro expander looks at this stack to refuse a text that includes
  // itself.
  page.converting.push_back(source_path);
  Converter(build, lang, page, source_path, options).run(text);
  page.converting.pop_back();
}

}  // namespace mt
