#pragma once
// What the preview keeps of one build so that the next may build again only
// the languages an edit touched: the other language builds' part of the
// run's shared results (link check, written list, --pedantic's say-once
// places) is taken from what they gave last time.

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
  /// One language build, the root build or the release copy: its part of
  /// the run's shared results.
  struct Unit {
    LinkRegistry links;                 // what it declared and recorded
    std::vector<std::string> written;   // its part of BuildTally::written
    std::vector<int> counts;            // its messages by id, which --prune asks of
    std::vector<PedanticPlace> places;  // the --pedantic places it met
  };
  RebuildScope next;   // set by the caller before each build
  bool whole = false;  // `units` hold a completed build
  // What every language reads of the others and of the run (codes, names,
  // directions, order, the default, the year): languages are built again
  // alone only while it stays the same.
  std::string shared;
  std::string opening;  // the messages before the first language, last time
  Unit release;
  std::vector<Unit> units;  // each language in load order, then the root
};

/// Once the build record is whole: decides whether the build may redo only
/// `kept.next`'s languages, prints the messages so far (`opening`) unless it
/// may and they are those of the last build, points the messages at `out`
/// again and copies the release folder (or takes that part from the last
/// build). True for a build of some languages only.
bool start_languages(Build& build, KeptBuild& kept, const StringSink& opening, Sink& out);

/// Takes `unit`'s part of the run's results instead of building it.
void reuse_unit(Build& build, const KeptBuild::Unit& unit);

/// The messages by id that `diag` counted since it counted `before`.
std::vector<int> counts_since(const Diagnostics& diag, const std::vector<int>& before);

}  // namespace mt
