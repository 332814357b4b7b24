#pragma once
// Text files are read the way a line reader with a fixed buffer reads them:
// in pieces that end after a '\n' or when the buffer is full, each piece
// then taken as a line of its own. Every format that is read so shares this
// one reader; what a piece means stays with the format.

#include <cstring>
#include <string_view>

namespace mt {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

class Pieces {
 public:
  /// Pieces of `text` of at most `size` bytes (size > 0).
  Pieces(std::string_view text, size_t size) : text_(text), size_(size) {}

  /// The next piece, its '\n' included; false at the end of the text.
  bool next(std::string_view* piece) {
    if (pos_ >= text_.size()) return false;
    size_t limit = text_.size() - pos_ < size_ ? text_.size() - pos_ : size_;
    // Bounded search, so a huge text without line ends stays linear.
    const void* nl = std::memchr(text_.data() + pos_, '\n', limit);
    size_t length = nl ? static_cast<size_t>(static_cast<const char*>(nl) - (text_.data() + pos_)) + 1 : limit;
    *piece = text_.substr(pos_, length);
    pos_ += length;
    return true;
  }

 private:
  std::string_view text_;
  size_t size_;
  size_t pos_ = 0;
};

/// `piece` up to its first NUL byte. A NUL ends the text of its line in
/// every file read in pieces, as it ends a line read into a C buffer: the
/// shown text, ids, links and classification all see the same bytes.
inline std::string_view up_to_nul(std::string_view piece) { return piece.substr(0, piece.find('\0')); }

/// `piece` less a leading byte order mark.
inline std::string_view without_bom(std::string_view piece) {
  if (piece.substr(0, kByteOrderMark.size()) == kByteOrderMark) piece.remove_prefix(kByteOrderMark.size());
  return piece;
}

}  // namespace mt
