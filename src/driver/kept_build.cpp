#include "driver/kept_build.h"

#include <algorithm>
#include <utility>

#include "driver/across_languages.h"
#include "driver/release_files.h"
#include "lang/languages.h"
#include "macros/expander.h"
#include "platform/names.h"
#include "platform/text.h"

namespace mt {

namespace {

// What a language's pages read of the run beyond their own sources: the
// language list (the languages macro), the default language (the root
// build) and the year in the foot.
std::string shared_facts(const Build& build) {
  std::string facts = std::to_string(build.year ? build.year() : 0);
  facts += '\n';
  facts += std::to_string(build.setup.root_language);
  for (const Language& language : build.setup.languages) {
    facts += '\n';
    facts += language.code;
    facts += '\t';
    facts += language.display_name;
    facts += language.rtl ? "\tr" : "\tl";
  }
  return facts;
}

// Whether `code`, which names no language, is the first part of the
// release folder, and every changed path below it lies in that folder:
// the folder is copied again and every language renders the pages that
// show the sizes of the files that changed. In ASCII only, so that the
// watch's names and the pages' agree whatever the file system does with
// case.
bool release_change(const RebuildScope& scope, const std::string& release, const std::string& code) {
  if (release.empty() || !all_ascii(release) || release.substr(0, release.find('/')) != code) return false;
  for (const std::string& path : scope.paths) {
    if (path.substr(0, path.find('/')) != code) continue;
    if (!path.starts_with(release + '/') || !all_ascii(path)) return false;
  }
  return true;
}

bool partial_build_possible(KeptBuild& kept, const Build& build) {
  std::string facts = shared_facts(build);
  const bool same = facts == kept.shared;
  kept.shared = std::move(facts);
  // Linked languages read each other's page lists, which any edit may change.
  if (!kept.whole || kept.next.all || !same || languages_linked(build.setup.site)) return false;
  const std::string release = ascii_lower(generic_path(build.setup.site.release_folder));
  for (const std::string& code : kept.next.codes) {
    if (language_by_code(build.setup.languages, code)) continue;
    if (!release_change(kept.next, release, code)) return false;  // not a language: some other source
    kept.next.release = kept.next.every_language = true;
  }
  // A build from the record keeps no pages: every language built again is
  // a whole build.
  if (kept.replay && kept.next.every_language) return false;
  // A release folder inside a language's folder: its copy is not redone.
  return release.empty() || kept.next.release || !kept.next.codes.contains(release.substr(0, release.find('/')));
}

}  // namespace

RebuildScope scope_of(const WatchChanges& changes) {
  RebuildScope scope;
  if (changes.all || changes.paths.empty()) return scope;
  for (const std::string& path : changes.paths) {
    const size_t slash = path.find('/');
    const std::string top = ascii_lower(path.substr(0, slash));
    // The tables and the shared page text: some pages of every language.
    if (slash == std::string::npos && std::ranges::find(kSharedPageSources, top) != std::end(kSharedPageSources)) {
      scope.every_language = true;
      scope.paths.insert(top);
      continue;
    }
    // A file of the working folder is a language file when it ends in .txt
    // (its code is its name up to the first '.') and is no "{{...}}" text;
    // every other one is read by all languages, or by none.
    if (slash == std::string::npos && (!has_txt_extension(top) || top.starts_with("{{"))) return scope;
    const std::string code = slash == std::string::npos ? top.substr(0, top.find('.')) : top;
    if (code.empty()) return scope;
    scope.codes.insert(code);
    scope.paths.insert(ascii_lower(path));
  }
  scope.all = false;
  return scope;
}

std::vector<int> counts_since(const Diagnostics& diag, const std::vector<int>& before) {
  std::vector<int> counts = diag.counts;
  for (size_t i = 0; i < before.size() && i < counts.size(); ++i) counts[i] -= before[i];
  return counts;
}

void replay_held(Build& build, const std::vector<PedanticPlace>& places, const std::vector<HeldMessage>& held) {
  std::vector<bool> due;
  for (const PedanticPlace& place : places) due.push_back(build.tally.pedantic_places.insert(place).second);
  for (const HeldMessage& message : held) {
    if (message.gate < 0 || due[static_cast<size_t>(message.gate)]) build.diag.replay(message);
  }
}

void reuse_unit(Build& build, KeptBuild::Unit& unit, bool replay) {
  if (replay) {
    const std::vector<int> counts_before = build.diag.counts;
    replay_held(build, unit.places, unit.held);
    unit.counts = counts_since(build.diag, counts_before);
  } else {
    build.tally.pedantic_places.insert(unit.places.begin(), unit.places.end());
    std::vector<int>& counts = build.diag.counts;
    if (counts.size() < unit.counts.size()) counts.resize(unit.counts.size());
    for (size_t i = 0; i < unit.counts.size(); ++i) counts[i] += unit.counts[i];
  }
  build.links.absorb(std::as_const(unit.links));
  // The run's list serves --prune alone.
  if (build.setup.prune)
    build.tally.written.insert(build.tally.written.end(), unit.written.begin(), unit.written.end());
}

bool start_languages(Build& build, KeptBuild& kept, const StringSink& opening, Sink& out) {
  const bool partial = partial_build_possible(kept, build);
  // The same messages again would only bury the rebuilt languages' own.
  if (partial && !kept.replay && opening.text == kept.opening) {
    build.diag.errors = 0;
    build.diag.warnings = 0;
  } else {
    out.write(opening.text);
  }
  kept.opening = opening.text;
  build.diag.out = &out;
  if (kept.replay) return partial;  // the release files are copied already
  if (partial && kept.next.every_language && !kept.next.release) {
    reuse_unit(build, kept.release, false);
    return true;
  }
  if (partial && !kept.next.release) {
    std::string codes;
    for (const std::string& code : kept.next.codes) {
      if (!codes.empty()) codes += ", ";
      codes += code;
    }
    build.diag.report({}, Msg::rebuilding_only, codes);
    reuse_unit(build, kept.release, false);
    return true;
  }
  // Before any page: the download sections read the copies' sizes.
  const size_t written_before = build.tally.written.size();
  const std::vector<int> counts_before = build.diag.counts;
  copy_release_files(build);
  kept.release = KeptBuild::Unit();
  kept.release.written.assign(build.tally.written.begin() + static_cast<std::ptrdiff_t>(written_before),
                              build.tally.written.end());
  kept.release.counts = counts_since(build.diag, counts_before);
  return partial;
}

}  // namespace mt
