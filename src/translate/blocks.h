#pragma once
// The pieces of a page that are offered for translation one by one: the
// text of each paragraph, heading, list item, table cell and definition
// term line, found by the converter's own line classes. Macro lines, "__"
// markers, preformatted blocks and structure lines (table and list
// markers) are kept as they are.

#include <string_view>
#include <vector>

namespace mt {

struct TextBlock {
  size_t begin = 0, end = 0;  // byte offsets of the translatable text in the page
  int line = 0;               // 1-based
  char kind = 'p';            // 'p' paragraph, 'h' heading, 'i' item, 't' term, 'c' cell
};

/// The blocks of a page text in order. A blank or blank-only line is none.
std::vector<TextBlock> text_blocks(std::string_view text, bool support);

/// Whether two pages have blocks of the same kinds in the same order, so
/// the n-th block of one translates the n-th of the other.
bool same_shape(const std::vector<TextBlock>& a, const std::vector<TextBlock>& b);

}  // namespace mt
