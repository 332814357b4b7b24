#pragma once
// What the preview keeps of one build so that the next may build again only
// the languages an edit touched: the other languages' part of the run's
// shared results (link check, written list) is taken from what they gave.

#include <set>
#include <string>
#include <vector>

#include "links/registry.h"
#include "site/records.h"

namespace mt {

/// Which languages the next build must build again.
struct RebuildScope {
  bool all = true;
  std::set<std::string> codes;  // language codes, lower case
};

struct KeptBuild {
  /// One language build, the root build or the release copy: what it gave
  /// the run's shared results.
  struct Unit {
    LinkJournal links;
    std::vector<std::string> written;  // its part of Build::written
    std::vector<int> counts;           // its messages by id, which --prune asks of
  };
  RebuildScope next;  // set by the caller before each build
  bool whole = false;  // `units` hold a completed build
  // What every language reads of the others and of the run (codes, names,
  // directions, order, the default, the year): languages are built again
  // alone only while it stays the same.
  std::string shared;
  std::string opening;  // the messages before the first language, last time
  Unit release;
  std::vector<Unit> units;  // each language in load order, then the root
};

/// Once the languages are loaded: decides whether the build may redo only
/// `kept.next`'s languages (`fallback` is the default language), prints the
/// messages so far (`opening`) unless it may and they are those of the last
/// build, points the messages at `out` again and copies the release folder
/// (or takes its part from the last build). True for a partial build.
bool start_languages(Build& build, const Language* fallback, KeptBuild& kept, const StringSink& opening, Sink& out);

/// Builds every language and then the root (the default language again), or
/// with `partial` only those `kept->next` names, taking the others' parts
/// from the last build. With `kept`, records every part there.
void build_languages(Build& build, const Language* fallback, KeptBuild* kept, bool partial);

}  // namespace mt
