#include "diag/progress.h"

#include "platform/terminal.h"

namespace mt {

namespace {

void draw(Progress& progress) {
  progress.last_drawn = std::chrono::steady_clock::now();
  std::string line =
      progress.language + ": " + std::to_string(progress.done) + "/" + std::to_string(progress.total) + " pages";
  // Padded over the previous line, which may have been longer.
  size_t shown = line.size();
  if (shown < progress.width) line.append(progress.width - shown, ' ');
  progress.width = shown;
  line.insert(line.begin(), '\r');
  write_stderr(line);
}

}  // namespace

void progress_language(Progress& progress, const std::string& language, int total) {
  progress.language = language.empty() ? "(root)" : language;
  progress.done = 0;
  progress.total = total;
  if (progress.shown) draw(progress);
}

void progress_page(Progress& progress) {
  ++progress.done;
  if (!progress.shown) return;
  // Redrawing on every page would cost more than writing small pages.
  if (std::chrono::steady_clock::now() - progress.last_drawn >= std::chrono::milliseconds(100)) draw(progress);
}

void progress_follow(Progress& line, const std::string& language, const Progress& build) {
  if (!line.shown) return;
  const std::string shown = language.empty() ? "(root)" : language;
  const int done = build.done, total = build.total;
  if (shown == line.language && done == line.done && total == line.total) return;
  if (shown == line.language && std::chrono::steady_clock::now() - line.last_drawn < std::chrono::milliseconds(100)) {
    return;
  }
  line.language = shown;
  line.done = done;
  line.total = total;
  draw(line);
}

void progress_clear(Progress& progress) {
  if (!progress.shown || progress.width == 0) return;
  // Built in place: GCC 12 warns (-Wrestrict) on the concatenation here.
  std::string blank(progress.width + 2, ' ');
  blank.front() = '\r';
  blank.back() = '\r';
  write_stderr(blank);
  progress.width = 0;
}

}  // namespace mt
