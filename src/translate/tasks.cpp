#include "translate/tasks.h"

#include <set>

#include "platform/collate.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "translate/po_tasks.h"
#include "translate/record.h"
#include "translate/report.h"
#include "translate/status.h"

namespace mt {

namespace {

int status_task(const TranslateTask& task, const Sources& sources, Sink& out, Diagnostics& diag) {
  const Status status = compute_status(sources, read_record(sources.root));
  if (task.json) {
    write_status_json(status, out);
  } else {
    report_status_text(status, diag);
  }
  if (!task.html_file.empty()) {
    if (is_site_source(sources, task.html_file)) {
      diag.report({task.html_file}, Msg::write_over_source, PathArg{task.html_file});
      return 1;
    }
    FileSink page;
    if (page.open(task.html_file)) write_status_html(status, page);
    if (!page.close()) {
      diag.report({task.html_file}, Msg::write_failed, PathArg{task.html_file}, error_text(page.error()));
      return 1;
    }
    if (!task.json) diag.report({}, Msg::status_written, PathArg{task.html_file});
  }
  const bool left = status.totals.missing > 0 || status.totals.stale > 0;
  return task.strict && left ? 2 : 0;
}

// Records the default language's current text of the items for a language:
// those named, or every item the language has (missing ones have nothing to
// be accepted yet).
int accept_task(const TranslateTask& task, const Sources& sources, Diagnostics& diag) {
  const int index = lang_index(sources, task.lang);
  const LangSources* lang = index < 0 ? nullptr : &sources.langs[static_cast<size_t>(index)];
  if (!lang) {
    diag.report({}, Msg::unknown_language, task.lang, task.lang);
    return 1;
  }
  const auto hashes = default_hashes(sources);
  for (const std::string& item : task.items) {
    if (!hashes.contains(item)) {
      diag.report({}, Msg::unknown_item, item);
      return 1;
    }
  }
  AcceptRecord record = read_record(sources.root);
  auto& accepted = record[lang->code];
  int count = 0;
  if (task.items.empty()) {
    const Status status = compute_status(sources, {});
    std::set<std::string, std::less<>> missing;
    for (const LangStatus& l : status.langs) {
      if (l.code != lang->code) continue;
      for (const StatusItem& item : l.items) {
        if (item.state == ItemState::missing) missing.insert(item.item);
      }
    }
    for (const auto& [item, hash] : hashes) {
      if (missing.contains(item)) continue;
      accepted[item] = hash;
      ++count;
    }
  } else {
    for (const std::string& item : task.items) accepted[item] = hashes.at(item);
    count = static_cast<int>(task.items.size());
  }
  if (!write_record(sources.root, record, diag)) return 1;
  diag.report({}, Msg::accepted, count, lang->code, PathArg{kRecordName});
  return 0;
}

}  // namespace

int run_translate_task(const TranslateTask& task, Sink& out, Diagnostics& diag) {
  Collator collator;
  SourceRoot root(task.source_folder);
  Sources sources(root);
  if (!read_sources(&sources, collator, diag)) return 1;
  switch (task.kind) {
    case TranslateTask::Kind::status: return status_task(task, sources, out, diag);
    case TranslateTask::Kind::accept: return accept_task(task, sources, diag);
    case TranslateTask::Kind::export_po: return export_po_task(task, sources, diag);
    case TranslateTask::Kind::import_po: return import_po_task(task, sources, diag);
  }
  return 1;
}

}  // namespace mt
