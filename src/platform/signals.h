#pragma once
// Ctrl-C for a program that runs until the user stops it (the preview).

namespace mt {

/// From now on Ctrl-C (and a termination request) only marks the process as
/// interrupted, so the caller can stop its work and exit cleanly. A write to
/// a closed connection no longer ends the process either.
void catch_interrupts();

/// Whether Ctrl-C came since `catch_interrupts`.
bool interrupted();

}  // namespace mt
