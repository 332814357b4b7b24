#include "translate/blocks.h"

#include "markup/blocks.h"
#include "platform/lines.h"

namespace mt {

namespace {

char kind_of(Block block) {
  switch (block) {
    case Block::Paragraph: return 'p';
    case Block::Heading: return 'h';
    case Block::Item: return 'i';
    case Block::Term: return 't';
    case Block::Cell:
    case Block::HeaderCell: return 'c';
    default: return 0;  // markers, macros, preformatted and structure lines
  }
}

// Where a heading's text ends: the first '=' outside a "[[...]]" link or
// image and outside a tag, as the renderer ends it; the rest of the line
// (the closing '=' run) is kept as it is.
size_t heading_text_end(std::string_view line, size_t from) {
  for (size_t i = from; i < line.size(); ++i) {
    const char* close = line.compare(i, 2, "[[") == 0 ? "]]" : line[i] == '<' ? ">" : nullptr;
    if (close) {
      const size_t end = line.find(close, i + 1);
      if (end == std::string_view::npos) return line.size();
      i = end;
    } else if (line[i] == '=') {
      return i;
    }
  }
  return line.size();
}

bool blank(std::string_view s) { return s.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

std::vector<TextBlock> text_blocks(std::string_view text, bool support) {
  std::vector<TextBlock> blocks;
  // Whole lines, NUL bytes kept: a line holding one is left untranslated.
  TextLines lines(text, LineRules{SIZE_MAX, false, false});
  TextLine piece;
  bool preformatted = false;
  for (int number = 1; lines.next(&piece); ++number) {
    const std::string_view line = piece.text;
    const size_t start = static_cast<size_t>(line.data() - text.data());
    if (preformatted) {
      preformatted = !line.starts_with("</pre>");
      continue;
    }
    size_t content = 0;
    const Block block = classify(line, support, &content);
    preformatted = block == Block::PreOpen;
    const char kind = kind_of(block);
    if (!kind || line.find('\0') != std::string_view::npos) continue;
    size_t stop = line.size();
    if (block == Block::Heading) stop = heading_text_end(line, content);
    if (stop < content || blank(line.substr(content, stop - content))) continue;
    blocks.push_back({start + content, start + stop, number, kind});
  }
  return blocks;
}

bool same_shape(const std::vector<TextBlock>& a, const std::vector<TextBlock>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind) return false;
  }
  return true;
}

}  // namespace mt
