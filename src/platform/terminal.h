#pragma once
// Standard error as a terminal: where the progress line goes.

#include <string_view>

namespace mt {

/// Whether standard error is a terminal (a person watching), not a file or
/// a pipe that a log or a CI job reads.
bool stderr_is_terminal();

/// Writes `text` to standard error at once (no buffering: the line is
/// redrawn in place while the build goes on).
void write_stderr(std::string_view text);

}  // namespace mt
