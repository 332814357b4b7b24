#include "translate/report.h"

#include <cstdio>

#include "markup/inline.h"

namespace mt {

namespace {

std::string place(const StatusItem& item) {
  return item.line > 0 ? item.file + ":" + std::to_string(item.line) : item.file;
}

void report_tally(Diagnostics& diag, const std::string& name, const Tally& t) {
  diag.report({}, Msg::status_language, name, t.percent(), t.done(), t.total, t.missing, t.untranslated, t.stale,
              t.orphan);
}

// JSON strings: quotes, backslashes and control bytes escaped; other bytes
// as read (names and values are UTF-8 text).
void append_json(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  out += '"';
}

void append_tally_json(std::string& out, const Tally& t) {
  char buf[200];
  std::snprintf(buf, sizeof buf,
                "\"complete\": %d, \"done\": %d, \"total\": %d, \"missing\": %d, \"untranslated\": %d, "
                "\"stale\": %d, \"orphan\": %d",
                t.percent(), t.done(), t.total, t.missing, t.untranslated, t.stale, t.orphan);
  out += buf;
}

void append_item_json(std::string& out, const StatusItem& item) {
  out += "{\"state\": \"";
  out += state_name(item.state);
  out += "\", \"kind\": \"";
  out += item.kind == ItemKind::support ? "support" : kind_name(item.kind);
  out += "\", \"item\": ";
  append_json(out, item.item);
  out += ", \"file\": ";
  append_json(out, item.file);
  out += ", \"line\": " + std::to_string(item.line) + "}";
}

}  // namespace

void report_status_text(const Status& status, Diagnostics& diag) {
  for (const LangStatus& lang : status.langs) {
    report_tally(diag, lang.code, lang.tally);
    for (const StatusItem& item : lang.items) {
      diag.report({}, Msg::status_item, PathArg{place(item)}, state_name(item.state), kind_name(item.kind), item.item);
    }
  }
  report_tally(diag, "all languages", status.totals);
}

void write_status_json(const Status& status, Sink& out) {
  std::string text = "{\"default\": ";
  append_json(text, status.default_code);
  text += ",\n \"languages\": [";
  for (size_t l = 0; l < status.langs.size(); ++l) {
    const LangStatus& lang = status.langs[l];
    text += l ? ",\n  {\"code\": " : "\n  {\"code\": ";
    append_json(text, lang.code);
    text += ", ";
    append_tally_json(text, lang.tally);
    text += ",\n   \"items\": [";
    for (size_t i = 0; i < lang.items.size(); ++i) {
      text += i ? ",\n    " : "\n    ";
      append_item_json(text, lang.items[i]);
    }
    text += "]}";
    out.write(text);
    text.clear();
  }
  text += "],\n \"totals\": {";
  append_tally_json(text, status.totals);
  text += "}}\n";
  out.write(text);
}

}  // namespace mt
