#pragma once
// Ctrl-C and termination requests: the preview catches them to stop
// cleanly; a plain run ends at once but takes its temporary files along.

#include <string>

namespace mt {

/// From now on Ctrl-C (and a termination request) only marks the process as
/// interrupted, so the caller can stop its work and exit cleanly. A write to
/// a closed connection no longer ends the process either.
void catch_interrupts();

/// Whether Ctrl-C came since `catch_interrupts`.
bool interrupted();

/// From now on (until `catch_interrupts`) Ctrl-C, a hang-up or a termination
/// request first removes the temporary files noted below, then ends the
/// process as it would have ended it; a signal ignored before stays ignored.
void remove_temp_files_on_interrupt();

/// Notes the temporary file at `path` for removal by an interrupt, until
/// `forget_temp_file(path)`; `path` must stay unchanged while noted.
void note_temp_file(const std::string* path);
void forget_temp_file(const std::string* path);

}  // namespace mt
