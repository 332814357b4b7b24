#include "markup/converter.h"

#include <optional>
#include <vector>

#include "links/registry.h"
#include "markup/blocks.h"
#include "markup/ids.h"
#include "markup/toc.h"
#include "platform/fs.h"
#include "platform/lines.h"
#include "platform/numbers.h"

namespace mt {

namespace {

// Lines longer than a piece are split, each piece a line of its own.
constexpr LineRules kPageLines{65535, true, true};

/// A heading line, rendered once when the lines are classified: the table of
/// contents lists its id before the heading itself is written.
struct RenderedHeading {
  size_t text_end = 0;  // where the heading rule ends the text
  std::string html;     // the text up to there
  std::string id;
  References refs;       // of the whole line: the dropped rest too is checked
  InlineState emphasis;  // after the whole line
};

/// One raw line and, for a heading, its rendering.
struct Line : BlockLine {
  std::optional<RenderedHeading> heading;
};

/// The state of one conversion; a nested conversion has its own.
class Converter {
 public:
  Converter(Build& build, LangBuild& lang, Page& page, const std::string& path, const ConvertOptions& options)
      : build_(build), lang_(lang), page_(page), path_(path), options_(options), out_(*page.out) {}

  void run(std::string_view text) {
    classify_lines(text);
    for (const Line& line : lines_) {
      report_open_emphasis();
      emphasis_ = InlineState{};  // emphasis never carries over to the next line
      line_number_ = line.number;
      convert_line(line);
    }
    // Nothing is closed at the end: blocks and emphasis that the text
    // leaves open stay as the text has them. Only --pedantic names the
    // emphasis, which runs on over the rest of the page.
    report_emphasis_at_end();
  }

 private:
  /// Every line is classified once, before anything is written, so the
  /// table of contents can list headings that follow it.
  void classify_lines(std::string_view text) {
    TextLines lines(text, kPageLines);
    TextLine piece;
    bool preformatted = false;
    while (lines.next(&piece)) {
      std::string_view raw = piece.text;
      Line line;
      line.text = raw;
      line.number = static_cast<int>(lines_.size()) + 1;
      if (preformatted) {
        // Inside "<pre>" only its end is markup.
        line.kind = raw.starts_with("</pre>") ? Block::PreClose : Block::Preformatted;
        preformatted = line.kind == Block::Preformatted;
      } else {
        line.kind = classify(raw, options_.support, &line.content);
        // A site may ask for right-to-left blocks on support pages, which
        // otherwise drop the two markers.
        if (options_.direction_markers && line.kind == Block::Dropped) {
          if (raw.starts_with("__RTL_BEGIN__")) line.kind = Block::RtlBegin;
          if (raw.starts_with("__RTL_END__")) line.kind = Block::RtlEnd;
        }
        preformatted = line.kind == Block::PreOpen;
      }
      // Only headings after the first "__" line are listed.
      if (toc_from_ == kNone && raw.starts_with("__")) toc_from_ = lines_.size() + 1;
      if (line.kind == Block::Heading) line.heading = render_heading(line);
      lines_.push_back(std::move(line));
    }
  }

  /// The heading's text runs to its first '=' outside the constructs the
  /// renderer turns into elements; the rest of the line is rendered for its
  /// links and emphasis and dropped. Emphasis starts afresh on every line, so
  /// the rendering does not depend on the lines before.
  RenderedHeading render_heading(const BlockLine& line) const {
    RenderedHeading heading;
    std::string_view content = line.text.substr(line.content);
    RenderedLine text = render_page_line(lang_, page_, content, options_, heading.emphasis, '=');
    RenderedLine rest = render_page_line(lang_, page_, content.substr(text.end), options_, heading.emphasis);
    heading.text_end = line.content + text.end;
    heading.id = heading_id(text.html);
    heading.html = std::move(text.html);
    heading.refs = std::move(text.refs);
    for (std::string& url : rest.refs.links) heading.refs.links.push_back(std::move(url));
    for (std::string& file : rest.refs.files) heading.refs.files.push_back(std::move(file));
    return heading;
  }

  void report_open_emphasis() {
    if (emphasis_.bold) build_.diag.report({path_, line_number_}, Msg::still_bold);
    if (emphasis_.italic) build_.diag.report({path_, line_number_}, Msg::still_italic);
  }

  void report_emphasis_at_end() {
    if (!emphasis_.bold && !emphasis_.italic) return;
    const PedanticGate due = build_.pedantic_due({PedanticPlace::Check::kEmphasisAtEnd, path_, line_number_});
    if (due && emphasis_.bold) due.report({path_, line_number_}, Msg::still_bold_at_end);
    if (due && emphasis_.italic) due.report({path_, line_number_}, Msg::still_italic_at_end);
  }

  /// An item with no "<ul>" line before it is written as a list item of no
  /// list; --pedantic names it.
  void report_item_outside_list() {
    if (PedanticGate due = build_.pedantic_due({PedanticPlace::Check::kItemOutsideList, path_, line_number_})) {
      due.report({path_, line_number_}, Msg::item_outside_list);
    }
  }

  void convert_line(const Line& line) {
    if (line.kind == Block::Preformatted || line.kind == Block::PreClose) {
      preformatted_line(line);
      return;
    }
    pre_continued_ = false;
    if (definition_depth_ > 0 && definition_list_line(line.kind)) return;
    if (list_depth_ > 0 && bullet_list_line(line.kind)) return;
    if (marker_line(line)) return;
    write_block(line);
  }

  void preformatted_line(const BlockLine& line) {
    if (line.kind == Block::PreClose) {
      out_.printf("</pre>\r\n");
      return;
    }
    if (pre_continued_) out_.printf("<br/>");
    std::string escaped;
    append_html_escaped(escaped, line.text);
    out_.write(escaped);
    pre_continued_ = true;
  }

  /// Closes the definition list on "</dl>" (true: line done) or opens a
  /// description for any line but a term.
  bool definition_list_line(Block kind) {
    if (kind == Block::DlClose) {
      if (definition_open_) {
        out_.printf("</dd>\r\n");
        definition_open_ = false;
      }
      --definition_depth_;
      out_.printf("</dl>\r\n");
      return true;
    }
    if (kind != Block::Term && !definition_open_) {
      out_.printf("<dd>");
      definition_open_ = true;
    }
    return false;
  }

  /// Closes the bullet list on "</ul>" (true: line done) or opens an item
  /// for any line but an item, so a nested list always sits inside one.
  bool bullet_list_line(Block kind) {
    if (kind == Block::UlClose) {
      if (in_li_[list_depth_]) {
        out_.printf("</li>\r\n");
        in_li_[list_depth_] = false;
      }
      --list_depth_;
      out_.printf("</ul>\r\n");
      return true;
    }
    if (kind != Block::Item && !in_li_[list_depth_]) {
      out_.printf("<li>");
      in_li_[list_depth_] = true;
    }
    return false;
  }

  /// The lines that open blocks or stand for generated content; true when
  /// the line was one.
  bool marker_line(const BlockLine& line) {
    switch (line.kind) {
      case Block::Macro: {
        std::string_view rest = line.text.substr(line.content);
        if (options_.macros) options_.macros(build_, lang_, page_, rest.substr(0, rest.find("}}")), source());
        return true;
      }
      case Block::Toc: write_toc(out_, toc_entries()); return true;
      case Block::RtlBegin: out_.printf("<div style=\"direction:rtl;text-align:right;\">\r\n"); return true;
      case Block::RtlEnd: out_.printf("</div>\r\n"); return true;
      case Block::PreOpen: out_.printf("<pre>"); return true;
      case Block::Beta: return true;
      case Block::DlOpen:
        ++definition_depth_;
        out_.printf("<dl>\r\n");
        return true;
      case Block::UlOpen:
        // The open-item flags grow with the nesting: any depth works.
        ++list_depth_;
        if (in_li_.size() <= list_depth_) in_li_.resize(list_depth_ + 1, false);
        out_.printf("<ul>\r\n");
        return true;
      default: return false;
    }
  }

  LineSource source() const { return LineSource{path_, line_number_}; }

  /// Renders `text`, recording its links and files.
  std::string render(std::string_view text) {
    RenderedLine rendered = render_page_line(lang_, page_, text, options_, emphasis_);
    record_references(build_, lang_, rendered.refs, source());
    return std::move(rendered.html);
  }

  /// Writes a line that is not a marker. Every such line is rendered, even
  /// when nothing of it is written, so its links are checked and its
  /// emphasis is reported the same way.
  void write_block(const Line& line) {
    if (line.heading) {
      heading(line, *line.heading);
      return;
    }
    const std::string r = render(line.text.substr(line.content));
    const char* text = r.c_str();
    switch (line.kind) {
      case Block::TableOpen:
        out_.printf("<table>\r\n<tr>");
        first_cell_ = true;
        return;
      case Block::RowEnd:
        out_.printf("</tr>\r\n<tr>");
        first_cell_ = true;
        return;
      case Block::TableClose: out_.printf("</tr>\r\n</table>\r\n"); return;
      case Block::Cell:
        out_.printf(first_cell_ ? "<td class=\"wikinowrap\">%s</td>" : "<td>%s</td>", text);
        first_cell_ = false;
        return;
      case Block::RowspanCell: rowspan_cell(r); return;
      case Block::HeaderCell: out_.printf("<th class=\"wikinowrap\">%s</th>", text); return;
      case Block::Term: definition_term(r); return;
      case Block::Item:
        if (list_depth_ == 0) report_item_outside_list();
        list_item(text);
        return;
      case Block::Dropped: return;
      default:  // a paragraph, or a list end outside any list
        paragraph(r);
        return;
    }
  }

  /// The cell text follows the first '|' of the rendered text after the
  /// number, so a '|' inside a link or image does not count.
  void rowspan_cell(const std::string& r) {
    size_t bar = r.find('|');
    if (bar == std::string::npos) return;
    out_.printf("<td rowspan=\"%d\">%s</td>", leading_int(r), r.c_str() + bar + 1);
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

  void heading(const BlockLine& line, const RenderedHeading& heading) {
    record_references(build_, lang_, heading.refs, source());
    emphasis_ = heading.emphasis;
    page_.ids.add(heading.id, build_.diag);
    out_.printf(line.content > 1 ? "<h2 id=\"%s\">%s</h2>\r\n" : "<h1 id=\"%s\">%s</h1>\r\n", heading.id.c_str(),
                heading.html.c_str());
    build_.links.declare(page_.url, heading.id, true);
  }

  /// The headings listed by a table of contents, each with the id its
  /// heading will get.
  std::vector<TocEntry> toc_entries() const {
    std::vector<TocEntry> entries;
    for (size_t i = toc_from_; i < lines_.size(); ++i) {
      const Line& line = lines_[i];
      if (!line.heading) continue;
      std::string_view text = line.text.substr(line.content, line.heading->text_end - line.content);
      entries.push_back(TocEntry{line.content > 1, text, line.heading->id});
    }
    return entries;
  }

  void list_item(const char* text) {
    if (in_li_[list_depth_]) out_.printf("</li>\r\n");
    out_.printf("<li>");
    in_li_[list_depth_] = true;
    out_.printf("<p>%s</p>", text);
  }

  void paragraph(const std::string& r) {
    size_t start = r.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
      out_.printf("<br/>\r\n");
    } else {
      out_.printf("<p>%s</p>\r\n", r.c_str() + start);
    }
  }

  static constexpr size_t kNone = static_cast<size_t>(-1);

  Build& build_;
  LangBuild& lang_;
  Page& page_;
  const std::string path_;  // a copy: callers may pass an element of page.converting
  const ConvertOptions& options_;
  Sink& out_;

  std::vector<Line> lines_;
  size_t toc_from_ = kNone;  // index of the first line listed by a table of contents
  int line_number_ = 0;
  bool pre_continued_ = false;  // a content line of the open block was written
  int definition_depth_ = 0;
  bool definition_open_ = false;  // one flag for all depths
  size_t list_depth_ = 0;
  std::vector<bool> in_li_ = std::vector<bool>(1, false);  // index 0: items outside any list
  bool first_cell_ = true;
  InlineState emphasis_;
};

}  // namespace

bool convert_page(Build& build, LangBuild& lang, Page& page, const std::string& source_path,
                  const ConvertOptions& options) {
  std::string text;
  if (!build.sources.read_file(source_path, &text)) return false;
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
