#include "platform/sink.h"

#include "platform/args.h"

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

}  // namespace

void Sink::vprintf(const char* format, va_list args) {
  // Pages are written almost entirely through formats like these; handling
  // them here skips the C library's general formatter, which costs more than
  // everything else a page needs.
  if (is_simple_format(format)) {
    const char* p = format;
    while (*p) {
      const char* percent = std::strchr(p, '%');
      if (!percent) {
        write(p, std::strlen(p));
        break;
      }
      if (percent > p) write(p, static_cast<size_t>(percent - p));
      char number[24];
      switch (percent[1]) {
        case 's': {
          const char* text = va_arg(args, const char*);
          write(text, std::strlen(text));
          p = percent + 2;
          break;
        }
        case 'd': {
          auto end = std::to_chars(number, number + sizeof number, va_arg(args, int)).ptr;
          write(number, static_cast<size_t>(end - number));
          p = percent + 2;
          break;
        }
        case '%':
          write("%", 1);
          p = percent + 2;
          break;
        default: {  // "llu"
          auto end = std::to_chars(number, number + sizeof number, va_arg(args, unsigned long long)).ptr;
          write(number, static_cast<size_t>(end - number));
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

FileSink::~FileSink() { close(); }

bool FileSink::open(const std::string& path) {
  close();
#ifdef _WIN32
  file_ = _wfopen(to_wide(path).c_str(), L"wb");
#else
  file_ = std::fopen(path.c_str(), "wb");
#endif
  owned_ = true;
  failed_ = false;
  if (!file_) return false;
  // The sink buffers on its own; without a second buffer in the C library a
  // page goes out in one system call, with no look at the file first.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  return true;
}

void FileSink::flush() {
  if (!file_) return;
  if (!buffer_.empty()) {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
  }
  if (!owned_) std::fflush(file_);
}

bool FileSink::close() {
  if (!file_) return true;
  flush();
  if (owned_ && std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

void FileSink::write(const char* data, size_t size) {
  if (!file_) return;
  // A borrowed stream (standard output) has its own buffer; writing through
  // keeps messages in order with anything printed at exit.
  if (!owned_) {
    if (std::fwrite(data, 1, size, file_) != size) failed_ = true;
    return;
  }
  buffer_.append(data, size);
  if (buffer_.size() >= kFlushAt) flush();
}

}  // namespace mt
