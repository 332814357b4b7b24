#include "driver/language_units.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "chrome/page_file.h"
#include "driver/build.h"
#include "driver/kept_build.h"
#include "links/registry.h"
#include "platform/names.h"

namespace mt {

namespace {

/// One language build and what it gathered, kept until it is merged.
struct Unit {
  Unit(const Language& built, std::string code, const std::string& url_root)
      : language(built), folder_code(std::move(code)), links(url_root) {}
  const Language& language;
  std::string folder_code;
  // The last unit that writes where this one does: it must be done before
  // this one starts. -1 when none.
  int follows = -1;
  Diagnostics diag{.hold = true};
  LinkRegistry links;
  BuildTally tally;
  // The preview's part of the last build, taken instead of building.
  KeptBuild::Unit* reuse = nullptr;
  // The preview's pages of this build and the last, when it keeps them.
  std::unique_ptr<PageParts> parts;
};

using Units = std::vector<std::unique_ptr<Unit>>;

Units plan_units(const BuildSetup& setup) {
  Units units;
  for (const Language& language : setup.languages) {
    auto unit = std::make_unique<Unit>(language, language.code, setup.url_root);
    // Two files of one code build into one folder, the later over the
    // earlier.
    for (size_t i = 0; i < units.size(); ++i) {
      if (equal_no_case(units[i]->folder_code, language.code)) unit->follows = static_cast<int>(i);
    }
    units.push_back(std::move(unit));
  }
  if (setup.root_language >= 0) {
    const Language& root = setup.languages[static_cast<size_t>(setup.root_language)];
    auto unit = std::make_unique<Unit>(root, "", setup.url_root);
    // The root holds every language's folder and the release files whose
    // sizes the download pages read: it is written last.
    unit->follows = static_cast<int>(units.size()) - 1;
    units.push_back(std::move(unit));
  }
  return units;
}

void run_unit(const Build& build, Unit& unit, const Collator& collator) {
  Build own{build.setup, unit.diag, unit.links, build.sources, collator, build.year, unit.tally};
  build_language(own, unit.language, unit.folder_code, unit.parts.get());
}

// The preview keeps each page's part of a language build it builds again
// after an edit (a whole build keeps none: a large site's pages would hold
// a hundred megabytes for languages nobody edits), and takes the last
// build's pages from `last` for those neither the changed paths nor the
// changed strings touch. Not
// where two builds write one folder (a second language file of a code: the
// later would keep a page the earlier rendered anew).
void keep_pages(const Units& units, size_t i, const KeptBuild& kept, KeptBuild::Unit& last) {
  if (kept.replay) return;
  Unit& unit = *units[i];
  const bool root = unit.folder_code.empty();
  for (size_t j = 0; !root && j < units.size(); ++j) {
    if (j != i && !units[j]->folder_code.empty() && equal_no_case(units[j]->folder_code, unit.folder_code)) return;
  }
  unit.parts = std::make_unique<PageParts>();
  if (kept.next.paths.empty()) return;
  unit.parts->last = &last.pages;
  unit.parts->last_inputs = &last.page_inputs;
  unit.parts->changed = &kept.next.paths;
}

// What the unit gathered, as if it had been gathered in `build` itself: a
// pedantic place an earlier unit warned of is not warned of again. With
// `keep`, what the next build needs to take this unit's part instead of
// building it goes there.
void merge_unit(Build& build, Unit& unit, KeptBuild::Unit* keep) {
  std::vector<std::string>& written = build.tally.written;
  if (keep) {
    keep->places = unit.tally.pedantic_gates;
    // The run's list serves --prune alone; the kept one the next build.
    if (build.setup.prune) written.insert(written.end(), unit.tally.written.begin(), unit.tally.written.end());
    keep->written = std::move(unit.tally.written);
    keep->held = unit.diag.held;
    keep->sizes_read = unit.tally.sizes_read;
    if (unit.parts) {
      keep->pages = std::move(unit.parts->parts);
      keep->page_inputs = std::move(unit.parts->inputs);
    }
  }
  const std::vector<int> counts_before = build.diag.counts;
  replay_held(build, unit.tally.pedantic_gates, unit.diag.held);
  if (keep) {
    // Absorbed where it is kept: the build looks its targets up there.
    keep->links = std::move(unit.links);
    build.links.absorb(std::as_const(keep->links));
    keep->counts = counts_since(build.diag, counts_before);
  } else {
    build.links.absorb(std::move(unit.links));
  }
  if (!keep) {
    written.insert(written.end(), std::make_move_iterator(unit.tally.written.begin()),
                   std::make_move_iterator(unit.tally.written.end()));
  }
  build.tally.changes.merge(unit.tally.changes);
}

/// Which unit runs next and which are done, shared by the threads that run
/// units and the one that merges them.
class Schedule {
 public:
  Schedule(const Units& units, size_t window) : units_(units), done_(units.size()), runs_before_(1), window_(window) {
    for (size_t i = 0; i < units.size(); ++i) {
      done_[i] = units[i]->reuse != nullptr;  // nothing to run
      runs_before_.push_back(runs_before_.back() + (done_[i] ? 0 : 1));
    }
  }

  /// The next unit to run, once the units it follows are done and it is
  /// near enough to the merge; none when every unit is taken.
  std::optional<size_t> take() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] {
      while (next_ < units_.size() && done_[next_]) ++next_;
      return next_ == units_.size() || ready(next_);
    });
    if (next_ == units_.size()) return std::nullopt;
    return next_++;
  }
  void finish(size_t unit) {
    update([&] { done_[unit] = true; });
  }
  void merged(size_t count) {
    update([&] { merged_ = count; });
  }
  /// Whether `unit` is done, after waiting a tenth of a second at most.
  bool wait_done(size_t unit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(100), [&] { return done_[unit]; });
  }

 private:
  // Units wait to be merged while holding what they gathered: only so many
  // run ahead of the merge, which bounds the memory.
  bool ready(size_t unit) const {
    // A unit taken from the last build holds nothing while it waits.
    if (runs_before_[unit] >= runs_before_[merged_] + window_) return false;
    for (int i = 0; i <= units_[unit]->follows; ++i) {
      if (!done_[static_cast<size_t>(i)]) return false;
    }
    return true;
  }
  template <class Change>
  void update(Change change) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      change();
    }
    changed_.notify_all();
  }

  const Units& units_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<bool> done_;
  std::vector<size_t> runs_before_;  // units to run before each one, and in all
  size_t next_ = 0;
  size_t merged_ = 0;
  size_t window_;
};

// A partial build that redoes the default language only builds it under its
// code and at the root at once: the root writes outside the language's
// folder unless a page name of its own leads into it. It writes nothing
// there then, and is built again once the language is done (merge_built).
void fence_root(Units& units) {
  Unit& root = *units.back();
  if (!root.folder_code.empty() || root.reuse) return;
  const Unit* only = nullptr;
  for (size_t i = 0; i + 1 < units.size(); ++i) {
    if (units[i]->reuse) continue;
    if (only || !equal_no_case(units[i]->folder_code, root.language.code)) return;
    only = units[i].get();
  }
  if (!only) return;
  root.follows = -1;
  root.tally.fence = only->folder_code;
}

// A unit built this time. The root is built again behind the language if
// its fence held it back; the changes it made the first time still count.
void merge_built(Build& build, std::unique_ptr<Unit>& root, KeptBuild::Unit* keep) {
  if (root->tally.fence_met) {
    auto again = std::make_unique<Unit>(root->language, "", build.setup.url_root);
    if (root->parts) {
      again->parts = std::make_unique<PageParts>();
      again->parts->last = root->parts->last;
      again->parts->last_inputs = root->parts->last_inputs;
      again->parts->changed = root->parts->changed;
    }
    run_unit(build, *again, build.collator);
    ChangeList changes = std::move(root->tally.changes);
    changes.merge(again->tally.changes);
    again->tally.changes = std::move(changes);
    root = std::move(again);
  }
  merge_unit(build, *root, keep);
}

void work(const Build& build, const Units& units, Schedule& schedule) {
  // One collator per thread: the platform's need not be shared safely.
  const Collator collator;
  while (std::optional<size_t> next = schedule.take()) {
    run_unit(build, *units[*next], collator);
    schedule.finish(*next);
  }
}

}  // namespace

UnitsTaken build_language_units(Build& build, int threads, KeptBuild* kept, bool partial) {
  Units units = plan_units(build.setup);
  if (units.empty()) return {};
  UnitsTaken taken;
  std::vector<KeptBuild::Unit> next_kept(kept ? units.size() : 0);
  for (size_t i = 0; partial && i < units.size(); ++i) {
    const bool built = kept->next.every_language || kept->next.codes.contains(units[i]->language.code);
    if (!built) units[i]->reuse = &kept->units[i];
  }
  for (size_t i = 0; partial && i < units.size(); ++i) {
    if (!units[i]->reuse) keep_pages(units, i, *kept, kept->units[i]);
  }
  if (partial) fence_root(units);
  size_t count = threads > 0 ? static_cast<size_t>(threads) : std::max(1u, std::thread::hardware_concurrency());
  count = std::min(count, units.size());
  Schedule schedule(units, 2 * count);
  std::vector<std::thread> workers;
  for (size_t i = 0; i < count; ++i) {
    try {
      workers.emplace_back([&] { work(build, units, schedule); });
    } catch (const std::system_error&) {
      break;  // the threads started do the work; with none, this one does
    }
  }
  for (size_t i = 0; i < units.size(); ++i) {
    if (units[i]->reuse) {
      // Taken from where it is kept from now on: the build looks its
      // targets up there.
      next_kept[i] = std::move(*units[i]->reuse);
      reuse_unit(build, next_kept[i], kept->replay);
      ++taken.languages;
    } else {
      if (workers.empty()) run_unit(build, *units[i], build.collator);
      while (!workers.empty() && !schedule.wait_done(i)) {
        progress_follow(build.tally.progress, units[i]->folder_code, units[i]->tally.progress);
      }
      if (units[i]->parts) taken.pages += units[i]->parts->taken;
      merge_built(build, units[i], kept ? &next_kept[i] : nullptr);
    }
    units[i].reset();
    schedule.merged(i + 1);
  }
  for (std::thread& worker : workers) worker.join();
  // A vector's move keeps its elements where they are.
  if (kept) kept->units = std::move(next_kept);
  return taken;
}

}  // namespace mt
