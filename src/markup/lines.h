#pragma once
// The lines of a page text as the converter sees them.

#include <string_view>

#include "platform/pieces.h"

namespace mt {

/// Splits a page text into pieces of at most 65,535 bytes, each ending after
/// a '\n' or at that size; every piece is a line of its own. A byte order
/// mark at the start of any piece is skipped, and the piece is cut at its
/// "\r\n" or "\n" (a lone "\r" stays) and at its first NUL byte.
class SourceLines {
 public:
  static constexpr size_t kPiece = 65535;

  explicit SourceLines(std::string_view text) : pieces_(text, kPiece) {}

  /// The next line; false at the end of the text.
  bool next(std::string_view* line) {
    std::string_view piece;
    if (!pieces_.next(&piece)) return false;
    piece = without_bom(piece);
    if (!piece.empty() && piece.back() == '\n') {
      piece.remove_suffix(1);
      if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    }
    *line = up_to_nul(piece);
    return true;
  }

 private:
  Pieces pieces_;
};

}  // namespace mt
