#pragma once
// The language builds of a run as units of their own: each renders on a
// thread into its own messages, links, written files and changes, and the
// units are merged in language order, so a run on many cores says and
// writes what a run of one language after the other would.

#include "site/records.h"

namespace mt {

/// Builds every language into its own folder, then the root language again
/// at the root, on `threads` threads (0: one per core), merging each unit
/// into `build` in that order.
void build_language_units(Build& build, int threads);

}  // namespace mt
