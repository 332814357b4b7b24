#pragma once
// The lines of a page text as the converter and the table of contents see
// them.

#include <cstring>
#include <string_view>

namespace mt {

/// Splits a page text into pieces of at most 65,535 bytes, each ending after
/// a '\n' or at that size; every piece is a line of its own. A byte order
/// mark at the start of any piece is skipped, and the piece is cut at its
/// "\r\n" or "\n" (a lone "\r" stays).
class SourceLines {
 public:
  static constexpr size_t kPiece = 65535;

  explicit SourceLines(std::string_view text) : text_(text) {}

  /// The next line; false at the end of the text.
  bool next(std::string_view* line) {
    if (pos_ >= text_.size()) return false;
    size_t limit = text_.size() - pos_ < kPiece ? text_.size() - pos_ : kPiece;
    // Bounded search, so a huge text without line ends stays linear.
    const void* nl = std::memchr(text_.data() + pos_, '\n', limit);
    size_t size = nl ? static_cast<size_t>(static_cast<const char*>(nl) - (text_.data() + pos_)) + 1 : limit;
    std::string_view piece = text_.substr(pos_, size);
    pos_ += size;
    if (piece.substr(0, 3) == "\xEF\xBB\xBF") piece.remove_prefix(3);
    if (!piece.empty() && piece.back() == '\n') {
      piece.remove_suffix(1);
      if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    }
    *line = piece;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace mt
