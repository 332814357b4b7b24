#pragma once
// Every text file the tool reads is cut into lines here, the way a line
// reader with a fixed buffer reads them: in pieces that end after a '\n' or
// when the buffer is full, each piece then taken as a line of its own. The
// byte order mark, NUL bytes and line ends are handled here once; what a line
// means stays with its format.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace mt {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

/// What a format asks of its line reader.
struct LineRules {
  size_t piece = SIZE_MAX;      // longest line; a longer one is read as several
  bool bom_every_piece = true;  // else only at the start of the text
  // A NUL ends the text of its line, as it ends a line read into a C buffer:
  // the shown text, ids, links and classification all see the same bytes.
  bool nul_ends_line = true;
};

/// One line as its format sees it.
struct TextLine {
  std::string_view text;   // without byte order mark, line end, or what follows a NUL
  std::string_view end;    // the "\n" or "\r\n" removed after it (empty after a NUL)
  bool ends_line = false;  // the piece ended its line: the next piece starts a new one
};

class TextLines {
 public:
  TextLines(std::string_view text, LineRules rules) : text_(text), rules_(rules) {}

  /// The next line; false at the end of the text.
  bool next(TextLine* line) {
    if (pos_ >= text_.size()) return false;
    size_t limit = text_.size() - pos_ < rules_.piece ? text_.size() - pos_ : rules_.piece;
    // Bounded search, so a huge text without line ends stays linear.
    const void* nl = std::memchr(text_.data() + pos_, '\n', limit);
    size_t length = nl ? static_cast<size_t>(static_cast<const char*>(nl) - (text_.data() + pos_)) + 1 : limit;
    std::string_view piece = text_.substr(pos_, length);
    if ((rules_.bom_every_piece || pos_ == 0) && piece.starts_with(kByteOrderMark)) {
      piece.remove_prefix(kByteOrderMark.size());
    }
    pos_ += length;
    *line = TextLine{piece, {}, piece.ends_with('\n')};
    if (line->ends_line) {
      size_t cut = piece.size() - (piece.ends_with("\r\n") ? 2 : 1);
      line->text = piece.substr(0, cut);
      line->end = piece.substr(cut);
    }
    size_t nul = rules_.nul_ends_line ? line->text.find('\0') : std::string_view::npos;
    if (nul != std::string_view::npos) {
      line->text = line->text.substr(0, nul);
      line->end = {};
    }
    return true;
  }

 private:
  std::string_view text_;
  LineRules rules_;
  size_t pos_ = 0;
};

/// A `KEY = "value"` line: white space (space, tab, CR) around the parts, the
/// value up to the next double quote.
struct KeyLine {
  std::string_view key;
  std::string_view value;
  bool closed = false;  // the value's closing quote was found
};

/// Parses `line` into `*parsed`; false for any other shape. Strict: the key
/// is not empty, the closing quote is there and only white space follows it.
/// Lenient: the value of an unclosed quote runs to the line end, and what
/// follows a closing quote is ignored.
bool parse_key_line(std::string_view line, bool strict, KeyLine* parsed);

}  // namespace mt
