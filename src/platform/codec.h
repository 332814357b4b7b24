#pragma once
// A compact byte form for what one build keeps for the next (the build
// record): numbers as variable-length integers, texts with their length.
// The reader is bounded: a cut or altered record fails, it never reads past
// its end or allocates more than the record holds. A record of a large site
// runs to tens of megabytes, so it is hashed and written piece by piece.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sink.h"

namespace mt {

class ByteWriter {
 public:
  void number(uint64_t value) {
    while (value >= 0x80) {
      bytes_ += static_cast<char>((value & 0x7f) | 0x80);
      value >>= 7;
    }
    bytes_ += static_cast<char>(value);
  }
  void text(std::string_view value) {
    number(value.size());
    bytes_ += value;
  }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : rest_(bytes) {}

  /// The next number; 0 and failed once the bytes run out or hold no number.
  uint64_t number() {
    uint64_t value = 0;
    for (int shift = 0; shift < 64 && !failed_; shift += 7) {
      if (rest_.empty()) break;
      const auto byte = static_cast<unsigned char>(rest_.front());
      rest_.remove_prefix(1);
      value |= static_cast<uint64_t>(byte & 0x7f) << shift;
      if (byte < 0x80) return value;
    }
    failed_ = true;
    return 0;
  }
  /// A number that counts items still to come, each at least `each` bytes
  /// long: a count larger than the bytes left allow fails rather than
  /// reserving memory.
  uint64_t count(size_t each = 1) {
    const uint64_t value = number();
    if (value > rest_.size() / each) failed_ = true;
    return failed_ ? 0 : value;
  }
  std::string_view text() {
    const uint64_t size = number();
    if (failed_ || size > rest_.size()) {
      failed_ = true;
      return {};
    }
    std::string_view value = rest_.substr(0, size);
    rest_.remove_prefix(size);
    return value;
  }
  bool failed() const { return failed_; }
  bool at_end() const { return rest_.empty(); }

 private:
  std::string_view rest_;
  bool failed_ = false;
};

/// A check sum of bytes given in pieces, eight bytes a step: the same
/// however the bytes are cut into pieces.
class ByteHash {
 public:
  void add(std::string_view bytes);
  uint64_t value() const;

 private:
  uint64_t h_ = 14695981039346656037u;
  std::string carry_;  // the bytes of a step not yet whole
};

/// The file at `path` written in pieces over `old`, the bytes it held when
/// read: compared as it goes, and written (through `FileSink`, so whole or
/// not at all) only from the first difference on. A file whose bytes come
/// out the same is not even opened.
class ComparedFile {
 public:
  ComparedFile(std::string path, std::string_view old) : path_(std::move(path)), old_(old) {}
  void write(std::string_view bytes);
  /// False when the file had to be written and could not be.
  bool finish();

 private:
  void start_writing();

  std::string path_;
  std::string_view old_;
  size_t matched_ = 0;  // bytes equal to `old_` so far, while none differed
  bool writing_ = false;
  FileSink file_;
};

}  // namespace mt
