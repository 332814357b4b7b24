#pragma once
// Output sinks: every writer appends bytes to a Sink, either a page file or,
// in tests, a string. Formatted writes take the page markup's own literals.

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/output_file.h"

#if defined(__GNUC__) || defined(__clang__)
#define MT_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))
#else
#define MT_PRINTF(fmt_index, first_arg)
#endif

namespace mt {

/// Where generated text goes. Writes never fail visibly: a `FileSink` keeps
/// its first failure, and a page is reported once, when its file cannot be
/// opened or when closing it shows a write failed.
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
/// translation). Also serves standard output. A file opened by path is an
/// `OutputFile`: left alone when unchanged, replaced only when whole.
class FileSink : public Sink {
 public:
  FileSink() = default;
  explicit FileSink(std::FILE* stream) : stream_(stream) {}
  ~FileSink() override;  // drops a file not closed: it may be unfinished
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  /// Starts the file that will replace `path`; false with `error()` set.
  /// `new_folder`: its folder was made by this run (see `OutputFile::open`).
  bool open(const std::string& path, bool new_folder = false);
  /// Flushes and puts the file in place; false when a write, the close or
  /// the rename failed (`error()` tells why; the old file is then kept).
  /// `outcome()` then tells whether the file was added, changed or kept.
  bool close();
  void flush();
  void write(const char* data, size_t size) override;
  using Sink::write;
  /// Whether every write so far succeeded (for standard output).
  bool ok() const { return !failed_; }
  const FsError& error() const { return error_; }
  /// Whether the failure was creating the file rather than writing it.
  bool failed_to_create() const { return file_.failed_to_create(); }
  WriteOutcome outcome() const { return file_.outcome(); }

 private:
  std::FILE* stream_ = nullptr;  // borrowed: standard output
  OutputFile file_;
  bool failed_ = false;
  FsError error_;
  std::string buffer_;
};

}  // namespace mt
