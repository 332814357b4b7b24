#pragma once
// What a raw page line is, decided once from its own bytes before anything
// is rendered: the converter acts on it and the table of contents lists the
// headings it finds.

#include <string_view>

namespace mt {

enum class Block : unsigned char {
  Paragraph,     // rendered text (a blank line is a break)
  Preformatted,  // a line inside "<pre>", written escaped
  PreClose,      // "</pre>" inside "<pre>"
  PreOpen,       // "<pre>"
  Macro,         // "{{name}}"
  Toc,           // "__TOC__" (template pages)
  RtlBegin,      // "__RTL_BEGIN__" (template pages)
  RtlEnd,        // "__RTL_END__" (template pages)
  Beta,          // "<beta>": dropped
  DlOpen,        // "<dl>"
  DlClose,       // "</dl>": closes an open list, else a paragraph
  UlOpen,        // "<ul>"
  UlClose,       // "</ul>": closes an open list, else a paragraph
  TableOpen,     // '{'
  RowEnd,        // "|-"
  TableClose,    // "|}"
  Cell,          // "| "
  RowspanCell,   // "|rowspan=\""
  HeaderCell,    // "! "
  Term,          // ';'
  Heading,       // '=' (level 2 from "==" on)
  Item,          // '*'
  Dropped,       // "__" markers and other table lines: rendered, not written
};

/// One raw line as the converter sees it.
struct BlockLine {
  std::string_view text;
  Block kind = Block::Paragraph;
  size_t content = 0;  // where the inline text starts (after the marker bytes)
  int number = 0;      // 1-based line number
};

/// Classifies a line outside "<pre>". Marker bytes are never markup bytes,
/// so rendering the content alone gives what follows the marker. Where a
/// heading's text ends is the renderer's to find (inline.h).
Block classify(std::string_view line, bool support, size_t* content);

}  // namespace mt
