#pragma once
// Which languages a set of changed sources asks the preview to build again.

#include "driver/kept_build.h"
#include "platform/watch.h"

namespace mt {

/// The languages whose sources `changes` names: a language file or anything
/// below a language's folder names that language (the build checks that it
/// is one). Anything else (the configuration, the tables, the shared page
/// text, the release folder, a name it cannot place) and a lost list ask
/// for everything.
RebuildScope scope_of(const WatchChanges& changes);

}  // namespace mt
