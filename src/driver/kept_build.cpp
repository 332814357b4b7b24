#include "driver/kept_build.h"

#include "driver/across_languages.h"
#include "driver/build.h"
#include "driver/release_files.h"
#include "lang/languages.h"
#include "platform/names.h"
#include "platform/text.h"

namespace mt {

namespace {

// What a language's pages read of the run beyond their own sources: the
// language list (the languages macro), the default language (the root
// build) and the year in the foot.
std::string shared_facts(const Build& build, const Language* fallback) {
  std::string facts = std::to_string(build.year ? build.year() : 0) + '\n';
  facts += fallback ? fallback->code : std::string("-");
  for (const Language& language : build.languages) {
    facts += '\n' + language.code + '\t' + language.display_name + (language.rtl ? "\tr" : "\tl");
  }
  return facts;
}

bool in_scope(const RebuildScope& scope, const std::string& code) { return scope.codes.contains(ascii_lower(code)); }

bool partial_build_possible(KeptBuild& kept, const Build& build, const Language* fallback) {
  std::string facts = shared_facts(build, fallback);
  const bool same = facts == kept.shared;
  kept.shared = std::move(facts);
  // Linked languages read each other's page lists, which any edit may change.
  if (!kept.whole || kept.next.all || !same || languages_linked(build.site)) return false;
  for (const std::string& code : kept.next.codes) {
    if (!language_by_code(build.languages, code)) return false;  // not a language: some other source
  }
  // A release folder inside a language folder: its copy is not redone.
  const std::string release = ascii_lower(build.site.release_folder);
  const std::string release_top = release.substr(0, release.find_first_of("/\\"));
  return release.empty() || !kept.next.codes.contains(release_top);
}

// Runs `step` as `unit`: its declarations and links go to the unit's
// journal too, its written files and message counts to the unit.
template <class Step>
void capture_unit(Build& build, KeptBuild::Unit& unit, Step step) {
  const size_t written_before = build.written.size();
  const std::vector<int> counts_before = build.diag.counts;
  unit = {};
  build.links->keep_journal(&unit.links);
  step();
  build.links->keep_journal(nullptr);
  unit.written.assign(build.written.begin() + static_cast<std::ptrdiff_t>(written_before), build.written.end());
  unit.counts = build.diag.counts;
  for (size_t i = 0; i < counts_before.size(); ++i) unit.counts[i] -= counts_before[i];
}

// Takes `unit`'s part of the run's results instead of building it.

void reuse_unit(Build& build, const KeptBuild::Unit& unit) {
  build.links->replay(unit.links);
  build.links->settle();
  build.written.insert(build.written.end(), unit.written.begin(), unit.written.end());
  if (build.diag.counts.size() < unit.counts.size()) build.diag.counts.resize(unit.counts.size());
  for (size_t i = 0; i < unit.counts.size(); ++i) build.diag.counts[i] += unit.counts[i];
}

}  // namespace

bool start_languages(Build& build, const Language* fallback, KeptBuild& kept, const StringSink& opening, Sink& out) {
  const bool partial = partial_build_possible(kept, build, fallback);
  // The same messages again would only bury the rebuilt languages' own.
  if (partial && opening.text == kept.opening) {
    build.diag.errors = 0;
    build.diag.warnings = 0;
  } else {
    out.write(opening.text);
  }
  kept.opening = opening.text;
  build.diag.out = &out;
  if (partial) {
    std::string codes;
    for (const std::string& code : kept.next.codes) {
      if (!codes.empty()) codes += ", ";
      codes += code;
    }
    build.diag.report({}, Msg::rebuilding_only, codes);
  }
  if (partial) reuse_unit(build, kept.release);
  else capture_unit(build, kept.release, [&] { copy_release_files(build); });
  return partial;
}

void build_languages(Build& build, const Language* fallback, KeptBuild* kept, bool partial) {
  std::vector<KeptBuild::Unit> units;
  auto one = [&](const Language& language, const std::string& code) {
    if (!kept) {
      build_language(build, language, code);
      return;
    }
    const size_t at = units.size();
    units.emplace_back();
    if (partial && !in_scope(kept->next, language.code)) {
      reuse_unit(build, kept->units[at]);
      units.back() = std::move(kept->units[at]);
    } else {
      capture_unit(build, units.back(), [&] { build_language(build, language, code); });
    }
  };
  for (const Language& language : build.languages) one(language, language.code);
  if (fallback) one(*fallback, "");
  if (kept) kept->units = std::move(units);
}

}  // namespace mt
