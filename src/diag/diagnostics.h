#pragma once
// Every message of the tool goes through here: formatted with the message's
// own literal, counted, and written to standard output.

#include <climits>
#include <cstdint>

#include "platform/sink.h"

namespace mt {

struct Diagnostics {
  Sink* out = nullptr;
  int errors = 0;
  int warnings = 0;

  /// A message whose literal says "error:"; counts one error.
  void error(const char* format, ...) MT_PRINTF(2, 3);
  /// A message whose literal says "warning:"; counts one warning.
  void warning(const char* format, ...) MT_PRINTF(2, 3);
  /// A message that counts nothing ("id ... already exists").
  void note(const char* format, ...) MT_PRINTF(2, 3);
};

}  // namespace mt
