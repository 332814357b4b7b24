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
/// names and takes the others' parts from `kept`, and of the languages it
/// builds, the pages the changed paths do not touch.
struct UnitsTaken {
  size_t languages = 0;  // units taken whole
  size_t pages = 0;      // pages of the units built, taken rather than rendered
};
UnitsTaken build_language_units(Build& build, int threads, KeptBuild* kept = nullptr, bool partial = false);

}  // namespace mt
