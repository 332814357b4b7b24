#pragma once
// What the preview keeps of one build so that the next may build again only
// the languages an edit touched: the other language builds' part of the
// run's shared results (link check, written list, --pedantic's say-once
// places) is taken from what they gave last time.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "chrome/page_file.h"
#include "links/registry.h"
#include "platform/stamps.h"
#include "platform/watch.h"
#include "site/records.h"

namespace mt {

/// Which languages the next build must build again.
struct RebuildScope {
  bool all = true;
  std::set<std::string> codes;  // language codes, lower case
  // The changed paths, ASCII-lowered: a language built again renders only
  // the pages whose sources they name. None known: every page.
  std::set<std::string> paths;
  // A table, the shared page text or a release file changed: every
  // language is built again, each rendering the pages that read it (and
  // those `paths` name).
  bool every_language = false;
  bool release = false;  // the release folder changed: it is copied again
};

/// The languages whose sources `changes` names: a language file or anything
/// below a language's folder names that language (the build checks that it
/// is one); a table or the shared page text names every language, each for
/// the pages that read it. Anything else (the configuration, the release
/// folder, a name it cannot place) and a lost list ask for everything.
RebuildScope scope_of(const WatchChanges& changes);

struct KeptBuild {
  /// One language build, the root build or the release copy: its part of
  /// the run's shared results.
  struct Unit {
    LinkRegistry links;                 // what it declared and recorded
    std::vector<std::string> written;   // its part of BuildTally::written
    std::vector<int> counts;            // its messages by id, which --prune asks of
    std::vector<PedanticPlace> places;  // the --pedantic places it met, in order: its messages' gates
    PagePartList pages;                 // its pages' parts, when it was built (not taken) by the preview
    PageInputs page_inputs;             // what its pages read besides their sources
    // For the build record (--incremental) besides:
    std::vector<HeldMessage> held;              // its messages, printed again when it is taken
    std::vector<FileStamp> stamps;              // of `written`, as it left them; empty until stamped
    std::map<std::string, int64_t> sizes_read;  // output files whose sizes its pages show; -1: none there
    bool reusable = true;           // false after a message about the output folder, which a later build may not give
    std::string_view links_record;  // `links` as the build record held it (in `record`); "" when built
    // Read from the build record, not built in this process (a registry in
    // the record's form is never empty).
    bool from_record() const { return !links_record.empty(); }
  };
  RebuildScope next;  // set by the caller before each build
  // A build of the command line from the build record: the messages of a
  // language taken instead of built are printed again, and every message
  // before the languages too, as a whole build prints them.
  bool replay = false;
  std::string record;  // the build record read, which the units' `links_record` point into
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
/// build; a build from the record has copied it before reading the record).
/// True for a build of some languages only.
bool start_languages(Build& build, KeptBuild& kept, const StringSink& opening, Sink& out);

/// Takes `unit`'s part of the run's results instead of building it; with
/// `replay`, prints its messages again as a build of it would (a --pedantic
/// place an earlier language warned of is not warned of again).
void reuse_unit(Build& build, KeptBuild::Unit& unit, bool replay);

/// Prints what a language build held (`held`, gated by `places`), in its
/// place in the run: a --pedantic place warned of already is not again.
void replay_held(Build& build, const std::vector<PedanticPlace>& places, const std::vector<HeldMessage>& held);

/// The messages by id that `diag` counted since it counted `before`.
std::vector<int> counts_since(const Diagnostics& diag, const std::vector<int>& before);

}  // namespace mt
