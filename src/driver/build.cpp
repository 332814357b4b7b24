#include "driver/build.h"

#include <cstdio>
#include <cstdlib>
#include <set>

#include "chrome/page_file.h"
#include "driver/across_languages.h"
#include "driver/build_record.h"
#include "driver/config_file.h"
#include "driver/init.h"
#include "driver/kept_build.h"
#include "driver/language_units.h"
#include "driver/pages.h"
#include "driver/prune.h"
#include "driver/release_files.h"
#include "driver/sitemaps.h"
#include "lang/languages.h"
#include "links/registry.h"
#include "markup/inline.h"
#include "platform/fs.h"
#include "platform/names.h"
#include "platform/terminal.h"
#include "platform/text.h"
#include "site/site_map.h"
#include "support/pages.h"
#include "support/tree.h"
#include "translate/pedantic.h"
#include "translate/tasks.h"

namespace mt {

namespace {

// The position of the first byte of `text` that a PHP double-quoted string
// cannot hold as it is, or npos.
size_t unsafe_byte(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!script_safe_byte(text[i])) return i;
  }
  return std::string::npos;
}

// The source folder (the root, or a language's folder named by a language
// file) that `output` is, or "" when it is none of them.
std::string source_folder_at(SourceRoot& sources, const std::string& output) {
  FileId out;
  if (!file_id(output, &out)) return {};  // not there yet: no source
  FileId id;
  if (sources.id("", &id) && id == out) return ".";
  for (const DirEntry& entry : sources.list_txt_files("")) {
    if (entry.is_dir || entry.name.starts_with("{{")) continue;
    std::string code = ascii_lower(entry.name.substr(0, entry.name.find('.')));
    if (!code.empty() && sources.id(sources.resolve(code), &id) && id == out) return code;
  }
  return {};
}

// Whether the change list at `path` could replace a source: a file of a
// language folder, or a language file, table or configuration of the
// root (a "changes.txt" there would be read as a language next).
bool change_list_over_source(SourceRoot& sources, const std::string& path) {
  const std::string_view name_part = file_name_of(path);
  const std::string folder = name_part.size() == path.size() ? "." : path.substr(0, path.size() - name_part.size());
  const std::string source = source_folder_at(sources, folder);
  if (source.empty()) return false;
  const std::string name = ascii_lower(name_part);
  return source != "." || name.ends_with(".txt") || name.ends_with(".csv") || name.ends_with(".conf");
}

// The tables and the shared page text are read by macros, which treat a
// source they cannot read as missing; a link taking one out of the site is
// named here once.
void refuse_outside_shared_sources(const SourceRoot& sources, Diagnostics& diag) {
  for (const char* name :
       {"donations.csv", "supported_languages.csv", "previous_stable_releases.csv", "{{PREVIOUS_VERSIONS}}.txt"}) {
    if (sources.outside_site(name)) diag.report({name}, Msg::source_outside_site, PathArg{name});
  }
}

// What a translators' option needs after it, or null for other options.
const char* option_value_name(const std::string& option) {
  if (option == "--html" || option == "--import-po") return "a file";
  if (option == "--accept") return "a language";
  if (option == "--export-po") return "a language and a file";
  return nullptr;
}

bool translator_task(const Options& o) { return o.status || o.import_po || !o.accept.empty() || !o.export_po.empty(); }

// The task of the translators' options, or the option that lacks its
// companion ("" when none).
std::string translator_task_of(const Options& o, TranslateTask* task) {
  using Kind = TranslateTask::Kind;
  task->kind = o.status            ? Kind::status
               : !o.accept.empty() ? Kind::accept
               : o.import_po       ? Kind::import_po
                                   : Kind::export_po;
  task->json = o.json;
  task->html_file = o.html_file;
  task->strict = o.strict;
  task->lang = !o.accept.empty() ? o.accept : o.export_po;
  task->items = o.operands;
  task->po_file = o.po_file;
  task->source_folder = o.source_folder;
  if (task->kind != Kind::status && (o.json || !o.html_file.empty())) return o.json ? "--json" : "--html";
  if (task->kind != Kind::accept && !o.operands.empty()) return task->kind == Kind::status ? "--status" : "--export-po";
  return {};
}

// The list goes through the same writer as every output file: a deploy
// script watching its time sees it change only when the list does.
void write_change_list(Build& build, const std::string& path) {
  FileSink out;
  if (out.open(path)) out.write(build.tally.changes.format());
  if (!out.close()) build.diag.report({}, Msg::write_file_failed, PathArg{path});
}

// The files of the language builds taken from the build record: as the
// last run left them.
std::set<std::string> files_as_left(const KeptBuild& record) {
  std::set<std::string> files;
  for (const KeptBuild::Unit& unit : record.units) {
    if (unit.from_record()) files.insert(unit.written.begin(), unit.written.end());
  }
  return files;
}

// The shape of what every page of a language reads besides its own source
// and the strings: the support tree (names, titles, order, which texts
// could be read) and which templates are there. Pages are taken from the
// last build only while it stays the same.
std::string page_shape(const LangBuild& lang, const std::vector<bool>& templates) {
  std::string shape;
  for (const bool there : templates) shape += there ? '1' : '0';
  for (size_t i = 0; i < lang.support.nodes().size(); ++i) {
    const SupportNode& node = lang.support.nodes()[i];
    for (const std::string* text :
         {&node.name, &node.slug, &node.path_slug, &node.source_path, &node.title, &node.counterpart}) {
      shape += *text;
      shape += '\0';
    }
    shape += std::to_string(node.parent) + ' ' + std::to_string(node.depth) + (node.hidden ? 'h' : '-') +
             (lang.support.has_text(static_cast<int>(i)) ? 't' : '-');
  }
  return shape;
}

// Whether the last build's pages may be taken (each then by the strings it
// read and its source): the support tree and templates are as they were,
// no string the language build read outside its pages changed (a title, a
// template's name: they reach pages without the pages reading them), and
// every page text the edit touched in the language's folder is the source
// of a page (one named otherwise than the build spells it renders all).
bool pages_may_be_taken(PageParts& parts, const std::string& folder) {
  const PageInputs* last = parts.last_inputs;
  if (!parts.last || !last || last->shape != parts.inputs.shape) return false;
  for (size_t i = 0; i < kStringCount; ++i) parts.changed_strings[i] = last->strings[i] != parts.inputs.strings[i];
  if ((parts.changed_strings & last->outside).any()) return false;
  std::set<std::string_view> sources;
  for (const auto& part : *parts.last) sources.insert(part->source);
  const std::string prefix = folder + '/';
  for (const std::string& path : *parts.changed) {
    if (path.starts_with(prefix) && has_txt_extension(path) && !sources.contains(path)) return false;
  }
  return true;
}

}  // namespace

void build_language(Build& build, const Language& language, const std::string& folder_code, PageParts* parts) {
  LangBuild lang = make_lang_build(build.setup, language, folder_code);
  if (parts) lang.strings_read = &parts->inputs.outside;
  // The output folder itself may well be a link (a deploy switched by
  // one); only the folders below it must not be.
  FsError ignored;
  if (folder_code.empty()) make_folder(lang.output_folder, &ignored);
  if (!folder_code.empty()) {
    const PageFolder folder = make_page_folder(build, lang, lang.output_folder);
    if (folder == PageFolder::kRefused) return;
    lang.new_folder = folder == PageFolder::kNew;
  }

  const std::string support_source = join_path(lang.source_folder(), lang.str(SUPPORT_FOLDER));
  // The root build, and a second file of the same code, scan a tree again;
  // its pedantic warnings were given by the first scan.
  const PedanticGate pedantic =
      folder_code.empty() ? PedanticGate{} : build.pedantic_due({PedanticPlace::Check::kSupportTree, support_source});
  build_support_tree(lang.support, build.sources, build.sources.resolve(support_source), build.collator, build.diag,
                     lang.source_folder(), pedantic);
  // Counted whether shown or not: a language build beside others is shown
  // by the thread that waits for it.
  int total = static_cast<int>(lang.support.nodes().size());
  std::vector<bool> templates;
  for (const PageEntry& row : kPages) {
    templates.push_back(build.sources.exists(join_path(lang.source_folder(), lang.str(row.template_index))));
    total += templates.back() ? 1 : 0;
  }
  progress_language(build.tally.progress, folder_code, total);
  if (parts) {
    parts->inputs.shape = page_shape(lang, templates);
    parts->inputs.strings = language.values;
    if (!pages_may_be_taken(*parts, ascii_lower(lang.source_folder()))) parts->last = nullptr;
    lang.parts = parts;
  }

  for (const PageEntry& row : kPages) {
    const char* fixed_name = row.template_index == HOME_TEMPLATE ? "index.html" : nullptr;
    const char* title = row.title_index < 0 ? nullptr : lang.str(row.title_index).c_str();
    page_from_template(build, lang, fixed_name, row.template_index, title, row.menu_mark);
  }
  write_support_pages(build, lang, support_source);
  write_contact_script(build, lang);
  for (const std::string& path : lang.files.paths()) copy_referenced_file(build, lang, path);
  build.links.settle();
}

int run(const std::vector<std::string>& args, Sink& out, int (*year)(), RunReport* result) {
  return run(parse_options(args), out, year, result);
}

int run(const Options& options, Sink& out, int (*year)(), RunReport* result) {
  Diagnostics diag{&out};
  if (options.bad.empty() && options.help) {
    diag.report({}, Msg::help);
    return 0;
  }
  if (options.bad.empty() && options.version) {
    diag.report({}, Msg::version);
    return 0;
  }
  // JSON on standard output is for programs: nothing else goes there.
  if (!(options.status && options.json)) diag.report({}, Msg::banner);
  if (options.bad.empty() && translator_task(options)) {
    TranslateTask task;
    if (std::string lone = translator_task_of(options, &task); !lone.empty()) {
      diag.report({}, Msg::option_needs, lone, lone == "--json" || lone == "--html" ? "--status" : "no other argument");
      return 1;
    }
    return run_translate_task(task, out, diag);
  }
  if (!options.bad.empty()) {
    if (options.bad == "--port") {
      diag.report({}, Msg::bad_port);
    } else if (const char* what = option_value_name(options.bad)) {
      diag.report({}, Msg::option_needs, options.bad, what);
    } else if (options.bad == "--changes") {
      diag.report({}, Msg::changes_needs_file);
    } else if (options.bad == "--init") {
      diag.report({}, Msg::init_needs_folder);
    } else {
      diag.report({}, Msg::unknown_option, options.bad);
    }
    diag.report({}, Msg::usage);
    return 1;
  }
  if (options.init && options.operands.empty()) {
    const int status = init_site(options.init_folder, diag);
    if (status == 0) diag.report({}, Msg::init_done, PathArg{options.init_folder});
    return status;
  }
  if (options.operands.size() != 2 || options.init) {
    diag.report({}, Msg::usage);
    return 1;
  }
  return build_site(build_config(options), out, year, result);
}

namespace {

// Refused before anything is written: the URL root is embedded in every
// contact script's PHP strings, and an output folder that is a source folder
// would overwrite the sources it is built from. False once reported.
bool ready_to_write(const BuildConfig& config, SourceRoot& sources, Diagnostics& diag) {
  if (size_t bad = unsafe_byte(config.url_root); bad != std::string::npos) {
    diag.report({}, Msg::unsafe_url_root, config.url_root.substr(bad, 1));
    return false;
  }
  if (std::string source = source_folder_at(sources, config.output_root); !source.empty()) {
    diag.report({}, Msg::output_is_source, PathArg{config.output_root}, PathArg{source});
    return false;
  }
  if (!config.changes_file.empty() && change_list_over_source(sources, config.changes_file)) {
    diag.report({}, Msg::changes_over_source, PathArg{config.changes_file});
    return false;
  }
  FsError error;
  if (!make_folder(config.output_root, &error)) {
    diag.report({}, Msg::output_folder_failed);
    return false;
  }
  return true;
}

// Every language, then the default language again at the root, then what
// only the whole site shows.
void build_languages(Build& build, int threads, RunReport* result, KeptBuild* kept, bool partial) {
  const UnitsTaken taken = build_language_units(build, threads, kept, partial);
  if (result) {
    result->languages_taken = taken.languages;
    result->pages_taken = taken.pages;
  }
  if (build.setup.root_language < 0) return;
  const Language& root = build.setup.languages[static_cast<size_t>(build.setup.root_language)];
  if (result) result->error_page = cut_extension(root.value(ERROR404_TEMPLATE));
  if (build.setup.site.sitemaps == "on") write_sitemaps(build);
}

}  // namespace

int build_site(const BuildConfig& config, Sink& out, int (*year)(), RunReport* result, KeptBuild* kept) {
  // A build of the command line with --incremental keeps its record as the
  // preview keeps its last build, but prints every message.
  KeptBuild record;
  if (config.incremental && !kept) {
    record.replay = true;
    kept = &record;
  }
  // A preview prints these messages again only when they changed.
  StringSink opening;
  Diagnostics diag{kept ? &opening : &out};
  // Every source of this build is read through it, never by the working
  // folder: two builds in one process may have different roots.
  SourceRoot sources(config.source_folder);
  if (!ready_to_write(config, sources, diag)) {
    out.write(opening.text);
    if (kept) kept->whole = false;
    return 1;
  }
  // Taken before any source is read: one edited while the build runs
  // counts as changed next time.
  const SourceStamps stamps = record.replay ? stamp_sources(sources, config) : SourceStamps{};
  refuse_outside_shared_sources(sources, diag);

  LinkRegistry links(config.url_root);
  SiteConfig site = load_site_config(sources, diag);
  links.declare(site.version_ini, std::nullopt, false);
  links.declare("/forum", std::nullopt, true);
  std::vector<Language> languages = load_languages(sources, diag, config.pedantic);
  Collator collator;
  if (config.pedantic) check_all_translations(sources, collator, diag);
  // The preview reloads open pages only when some file changed.
  BuildSetup setup = make_build_setup(config, std::move(site), std::move(languages), result != nullptr);
  BuildTally tally;
  tally.progress.shown = stderr_is_terminal();
  Build build{setup, diag, links, sources, collator, year ? year : local_year, tally};
  // Before any page: the download sections read the copies' sizes (and
  // the record is checked against them).
  if (!kept || record.replay) copy_release_files(build);
  if (record.replay) load_build_record(sources, setup, config, stamps, record);
  const bool partial = kept && start_languages(build, *kept, opening, out);
  if (setup.root_language >= 0 && languages_linked(setup.site)) {
    setup.index = index_languages(build);
    check_page_sets(build);
  }
  build_languages(build, config.threads, result, kept, partial);

  links.final_check(diag, setup.pedantic);
  progress_clear(tally.progress);
  if (setup.prune) prune_output(setup.output_root, tally.written, diag, &tally.changes, files_as_left(record));
  if (!config.changes_file.empty()) write_change_list(build, config.changes_file);
  if (record.replay) save_build_record(build, config, stamps, record);
  if (result) result->changed_files = tally.changes.size();
  if (kept) kept->whole = true;
  diag.report({}, Msg::summary, diag.errors, diag.warnings);
  // For a CI job: a run with problems must be able to fail the pipeline.
  return config.strict && (diag.errors > 0 || diag.warnings > 0) ? 2 : 0;
}

}  // namespace mt
