#include "platform/sink.h"

#include <charconv>
#include <cstring>
#include <new>
#include <vector>

namespace mt {

namespace {
constexpr size_t kFlushAt = 1 << 16;
}

void Sink::printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprintf(format, args);
  va_end(args);
}

namespace {

/// Whether `format` uses only the conversions the page writers use: "%s",
/// "%d", "%llu" and "%%".
bool is_simple_format(const char* format) {
  for (const char* p = std::strchr(format, '%'); p; p = std::strchr(p, '%')) {
    ++p;
    if (*p == 's' || *p == 'd' || *p == '%') {
      ++p;
    } else if (p[0] == 'l' && p[1] == 'l' && p[2] == 'u') {
      p += 3;
    } else {
      return false;
    }
  }
  return true;
}

// A formatted text gathered on the stack, so that it reaches the sink in one
// write rather than one per piece.
class Gathered {
 public:
  explicit Gathered(Sink& sink) : sink_(sink) {}
  ~Gathered() { flush(); }
  Gathered(const Gathered&) = delete;
  Gathered& operator=(const Gathered&) = delete;
  void add(const char* data, size_t size) {
    if (size > sizeof text_ - used_) {
      flush();
      if (size > sizeof text_) return sink_.write(data, size);
    }
    std::memcpy(text_ + used_, data, size);
    used_ += size;
  }
  void flush() {
    if (used_) sink_.write(text_, used_);
    used_ = 0;
  }

 private:
  Sink& sink_;
  size_t used_ = 0;
  char text_[1024];
};

}  // namespace

void Sink::vprintf(const char* format, va_list args) {
  // Pages are written almost entirely through formats like these; handling
  // them here skips the C library's general formatter, which costs more than
  // everything else a page needs.
  if (is_simple_format(format)) {
    Gathered out(*this);
    const char* p = format;
    while (*p) {
      const char* percent = std::strchr(p, '%');
      if (!percent) {
        out.add(p, std::strlen(p));
        break;
      }
      if (percent > p) out.add(p, static_cast<size_t>(percent - p));
      char number[24];
      switch (percent[1]) {
        case 's': {
          const char* text = va_arg(args, const char*);
          out.add(text, std::strlen(text));
          p = percent + 2;
          break;
        }
        case 'd': {
          auto end = std::to_chars(number, number + sizeof number, va_arg(args, int)).ptr;
          out.add(number, static_cast<size_t>(end - number));
          p = percent + 2;
          break;
        }
        case '%':
          out.add("%", 1);
          p = percent + 2;
          break;
        default: {  // "llu"
          auto end = std::to_chars(number, number + sizeof number, va_arg(args, unsigned long long)).ptr;
          out.add(number, static_cast<size_t>(end - number));
          p = percent + 4;
          break;
        }
      }
    }
    return;
  }
  char small[1024];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    write(small, static_cast<size_t>(n));
    return;
  }
  // Long values (any length is allowed) are formatted a second time in full.
  std::vector<char> big(static_cast<size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), format, args);
  write(big.data(), static_cast<size_t>(n));
}

FileSink::~FileSink() {
  if (stream_) flush();
}

bool FileSink::open(const std::string& path, bool new_folder) {
  close();
  failed_ = false;
  error_ = {};
  buffer_.clear();
  // Room for a whole page at once: growing it step by step copied each
  // page several times over.
  buffer_.reserve(kFlushAt);
  if (file_.open(path, &error_, new_folder)) return true;
  failed_ = true;
  return false;
}

void FileSink::flush() {
  if (stream_) {
    if (std::fflush(stream_) != 0) failed_ = true;
    return;
  }
  if (!file_.is_open()) return;
  // After a failed write nothing more is written; the file is abandoned.
  if (!buffer_.empty() && !failed_ && !file_.write(buffer_.data(), buffer_.size(), &error_)) failed_ = true;
  buffer_.clear();
}

bool FileSink::close() {
  if (stream_) {
    flush();
    return !failed_;
  }
  if (!file_.is_open()) return !failed_;
  flush();
  if (failed_) {
    file_.abandon();
    return false;
  }
  if (!file_.commit(&error_)) failed_ = true;
  return !failed_;
}

void FileSink::write(const char* data, size_t size) {
  // A borrowed stream (standard output) has its own buffer; writing through
  // keeps messages in order with anything printed at exit.
  if (stream_) {
    if (std::fwrite(data, 1, size, stream_) != size) failed_ = true;
    return;
  }
  if (!file_.is_open()) return;
  buffer_.append(data, size);
  if (buffer_.size() >= kFlushAt) flush();
}

}  // namespace mt
