#include "platform/sink.h"

#include "platform/args.h"

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

void Sink::vprintf(const char* format, va_list args) {
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
  return file_ != nullptr;
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
