#pragma once
// Output sinks: every writer appends bytes to a Sink, either a page file or,
// in tests, a string. Formatted writes take the page markup's own literals.

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#if defined(__GNUC__) || defined(__clang__)
#define MT_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define MT_PRINTF(fmt_index, first_arg)
#endif

namespace mt {

/// Where generated text goes. Writes never fail visibly: a page whose file
/// could not be written is reported once, where it was opened.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void write(const char* data, size_t size) = 0;
  void write(std::string_view text) { write(text.data(), text.size()); }
  void printf(const char* format, ...) MT_PRINTF(2, 3);
  void vprintf(const char* format, va_list args) MT_PRINTF(2, 0);
};

/// Collects everything in memory; used by tests and for cached fragments.
class StringSink : public Sink {
 public:
  void write(const char* data, size_t size) override { text.append(data, size); }
  using Sink::write;
  std::string text;
};

/// Writes to a file through a large buffer, as raw bytes (no newline
/// translation). Also serves standard output.
class FileSink : public Sink {
 public:
  FileSink() = default;
  explicit FileSink(std::FILE* stream) : file_(stream), owned_(false) {}
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  /// Creates or truncates `path`; false with errno set when it cannot.
  bool open(const std::string& path);
  /// Flushes and closes; false when a write failed.
  bool close();
  void flush();
  void write(const char* data, size_t size) override;
  using Sink::write;

 private:
  std::FILE* file_ = nullptr;
  bool owned_ = true;
  bool failed_ = false;
  std::string buffer_;
};

}  // namespace mt
