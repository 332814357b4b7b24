#pragma once
// The progress line on a terminal's standard error: language, pages written,
// pages to write. Standard output (the build's report) never sees it.

#include <atomic>
#include <chrono>
#include <string>

namespace mt {

struct Progress {
  bool shown = false;  // standard error is a terminal
  std::string language;
  // Counted by a language build on a thread of its own and shown by the
  // thread that waits for it: atomic.
  std::atomic<int> done = 0;
  std::atomic<int> total = 0;
  std::chrono::steady_clock::time_point last_drawn{};
  size_t width = 0;  // length of the line on screen, to blank it
};

/// A language build starts with `total` pages to write.
void progress_language(Progress& progress, const std::string& language, int total);

/// One more page written; redrawn at most ten times a second.
void progress_page(Progress& progress);

/// Shows the count of `build` (a language build's own, not shown) on the
/// line of `line` as that of `language`; redrawn at most ten times a second.
void progress_follow(Progress& line, const std::string& language, const Progress& build);

/// Blanks the line, so the terminal shows only the build's own report.
void progress_clear(Progress& progress);

}  // namespace mt
