#include "diag/diagnostics.h"

namespace mt {

namespace {
// The counters are 32-bit; a run with more messages than that stops counting
// rather than wrapping into a negative total.
void bump(int& counter) {
  if (counter < INT_MAX) ++counter;
}

// Names and values in messages come from untrusted sources; a line break or
// an escape sequence in one must not forge further message lines or the
// summary, so control bytes are written escaped and every message stays one
// line (its own final newline kept).
void write_one_line(Sink& out, const char* format, va_list args) {
  StringSink message;
  message.vprintf(format, args);
  std::string_view text = message.text;
  bool ends_line = !text.empty() && text.back() == '\n';
  if (ends_line) text.remove_suffix(1);
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != 0x7F) continue;
    out.write(text.data() + start, i - start);
    start = i + 1;
    constexpr const char* kHex = "0123456789abcdef";
    char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    if (c == '\n') out.write("\\n", 2);
    else if (c == '\r') out.write("\\r", 2);
    else if (c == '\t') out.write("\\t", 2);
    else out.write(escaped, 4);
  }
  out.write(text.data() + start, text.size() - start);
  if (ends_line) out.write("\n", 1);
}
}  // namespace

void Diagnostics::error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  write_one_line(*out, format, args);
  va_end(args);
  bump(errors);
}

void Diagnostics::warning(const char* format, ...) {
  va_list args;
  va_start(args, format);
  write_one_line(*out, format, args);
  va_end(args);
  bump(warnings);
}

void Diagnostics::note(const char* format, ...) {
  va_list args;
  va_start(args, format);
  write_one_line(*out, format, args);
  va_end(args);
}

}  // namespace mt
