#pragma once
// The language builds of a run as units of their own: each renders on a
// thread into its own messages, links, written files and changes, and the
// units are merged in language order, so a run on many cores says and
// writes what a run of one language after the other would.

#include <cstddef>

#include "site/records.h"

namespace mt {

struct KeptBuild;  // driver/kept_build.h

/// Builds every language into its own folder, then the root language again
/// at the root, on `threads` threads (0: one per core), merging each unit
/// into `build` in that order. With `kept` (the preview), keeps each unit's
/// part there; with `partial` too, builds only the languages `kept->next`
/// names and takes the others' parts from `kept`. Returns how many units it
/// took.
size_t build_language_units(Build& build, int threads, KeptBuild* kept = nullptr, bool partial = false);

}  // namespace mt
