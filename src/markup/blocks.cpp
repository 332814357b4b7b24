#include "markup/blocks.h"

namespace mt {

namespace {

/// Lines that open or close a block, or stand for generated content.
bool marker(std::string_view line, bool support, Block* kind, size_t* content) {
  struct Marker {
    std::string_view text;
    Block kind;
    bool templates_only;
  };
  static constexpr Marker kMarkers[] = {
      {"{{", Block::Macro, false},          {"__TOC__", Block::Toc, true},    {"__RTL_BEGIN__", Block::RtlBegin, true},
      {"__RTL_END__", Block::RtlEnd, true}, {"<pre>", Block::PreOpen, false}, {"<beta>", Block::Beta, false},
      {"<dl>", Block::DlOpen, false},       {"</dl>", Block::DlClose, false}, {"<ul>", Block::UlOpen, false},
      {"</ul>", Block::UlClose, false},
  };
  for (const Marker& m : kMarkers) {
    if ((!m.templates_only || !support) && line.starts_with(m.text)) {
      *kind = m.kind;
      // Only a macro has inline text; a list end outside its list is a
      // paragraph of the whole line.
      *content = m.kind == Block::Macro ? m.text.size() : 0;
      return true;
    }
  }
  return false;
}

/// A line starting with '|': a row end, the table end, a cell or a cell
/// spanning rows; any other is dropped.
Block table_line(std::string_view line, size_t* content) {
  if (line.starts_with("|rowspan=\"")) {
    *content = 10;
    return Block::RowspanCell;
  }
  *content = 1;
  if (line.starts_with("|-")) return Block::RowEnd;
  if (line.starts_with("|}")) return Block::TableClose;
  if (line.starts_with("| ")) {
    *content = 2;
    return Block::Cell;
  }
  return Block::Dropped;
}

}  // namespace

Block classify(std::string_view line, bool support, size_t* content) {
  Block kind = Block::Paragraph;
  *content = 0;
  if (marker(line, support, &kind, content)) return kind;
  switch (line.empty() ? '\0' : line[0]) {
    case '{': *content = 1; return Block::TableOpen;
    case '|': return table_line(line, content);
    case '!': *content = line.starts_with("! ") ? 2 : 1; return *content == 2 ? Block::HeaderCell : Block::Dropped;
    case ';': *content = 1; return Block::Term;
    case '=':
      // "==..." is level 2 whatever the number of '='; a single '=' level 1.
      *content = line.starts_with("==") ? line.find_first_not_of('=') : 1;
      if (*content == std::string_view::npos) *content = line.size();
      return Block::Heading;
    case '*': *content = 1; return Block::Item;
    case '_':
      if (line.starts_with("__")) return Block::Dropped;  // an unknown or flavour-less marker
      return Block::Paragraph;
    default: return Block::Paragraph;
  }
}

}  // namespace mt
