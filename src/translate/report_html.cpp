// The --status page: readable by someone who is not a developer, with
// nothing loaded from elsewhere (no scripts, styles or images of its own).

#include "markup/inline.h"
#include "translate/report.h"

namespace mt {

namespace {

constexpr const char* kHead =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<title>Translation status</title>\n<style>\n"
    "body{font-family:sans-serif;margin:2em;max-width:60em}\n"
    "table{border-collapse:collapse;width:100%}td,th{padding:.3em .6em;text-align:left;"
    "border-bottom:1px solid #ccc}\n"
    ".bar{background:#eee;width:12em;height:1em}.bar div{background:#3a7;height:1em}\n"
    "details{margin:.5em 0}li{font-family:monospace}\n"
    "</style>\n</head>\n<body>\n";

std::string escaped(std::string_view text) {
  std::string out;
  append_html_escaped(out, text);
  return out;
}

// One row; a language's name leads to its lists below.
void row(std::string& out, const std::string& name, const Tally& t, bool link) {
  const int p = t.percent();
  const std::string shown = link ? "<a href=\"#" + escaped(name) + "\">" + escaped(name) + "</a>" : escaped(name);
  out += "<tr><th>" + shown + "</th><td><div class=\"bar\" role=\"img\" aria-label=\"" + std::to_string(p) +
         "% complete\"><div style=\"width:" + std::to_string(p) + "%\"></div></div></td><td>" + std::to_string(p) +
         "%</td><td>" + std::to_string(t.done()) + " of " + std::to_string(t.total) + "</td><td>" +
         std::to_string(t.missing) + "</td><td>" + std::to_string(t.untranslated) + "</td><td>" +
         std::to_string(t.stale) + "</td><td>" + std::to_string(t.orphan) + "</td></tr>\n";
}

void lists(std::string& out, const LangStatus& lang) {
  out += "<h2 id=\"" + escaped(lang.code) + "\">" + escaped(lang.code) + "</h2>\n";
  if (lang.items.empty()) out += "<p>Nothing left to do.</p>\n";
  for (ItemState state : {ItemState::missing, ItemState::untranslated, ItemState::stale, ItemState::orphan}) {
    std::string items;
    int count = 0;
    for (const StatusItem& item : lang.items) {
      if (item.state != state) continue;
      ++count;
      std::string where = item.line > 0 ? item.file + ":" + std::to_string(item.line) : item.file;
      items += "<li>" + escaped(where) + ": " + kind_name(item.kind) + " " + escaped(item.item) + "</li>\n";
    }
    if (count == 0) continue;
    out += "<details><summary>" + std::to_string(count) + " " + state_name(state) + "</summary>\n<ul>\n";
    out += items + "</ul>\n</details>\n";
  }
}

}  // namespace

void write_status_html(const Status& status, Sink& sink) {
  std::string out = kHead;
  out += "<h1>Translation status</h1>\n<p>Every language against " + escaped(status.default_code) +
         ", the default language. <em>Missing</em>: not translated yet; <em>untranslated</em>: the same text as " +
         escaped(status.default_code) + "; <em>stale</em>: " + escaped(status.default_code) +
         " changed since the translation was accepted; <em>orphan</em>: a page with no " +
         escaped(status.default_code) + " counterpart.</p>\n";
  out +=
      "<table>\n<tr><th>Language</th><th>Complete</th><th></th><th>Items</th><th>Missing</th>"
      "<th>Untranslated</th><th>Stale</th><th>Orphan</th></tr>\n";
  for (const LangStatus& lang : status.langs) row(out, lang.code, lang.tally, true);
  row(out, "All languages", status.totals, false);
  out += "</table>\n";
  sink.write(out);
  for (const LangStatus& lang : status.langs) {
    out.clear();
    lists(out, lang);
    sink.write(out);
  }
  sink.write("</body>\n</html>\n");
}

}  // namespace mt
