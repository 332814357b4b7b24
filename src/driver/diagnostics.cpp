#include "driver/diagnostics.h"

namespace mt {

namespace {
// The counters are 32-bit; a run with more messages than that stops counting
// rather than wrapping into a negative total.
void bump(int& counter) {
  if (counter < INT_MAX) ++counter;
}
}  // namespace

void Diagnostics::error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  out->vprintf(format, args);
  va_end(args);
  bump(errors);
}

void Diagnostics::warning(const char* format, ...) {
  va_list args;
  va_start(args, format);
  out->vprintf(format, args);
  va_end(args);
  bump(warnings);
}

void Diagnostics::note(const char* format, ...) {
  va_list args;
  va_start(args, format);
  out->vprintf(format, args);
  va_end(args);
}

}  // namespace mt
