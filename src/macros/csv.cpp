#include "macros/csv.h"

#include <array>
#include <string>
#include <vector>

#include "markup/inline.h"
#include "platform/fs.h"
#include "platform/lines.h"
#include "site/strings.h"

namespace mt {

namespace {

// Over-long lines are read in pieces of this size, each piece a line of its
// own, so a file with a runaway line still yields the rows around it.
constexpr LineRules kCsvLines{65535, true, true};

/// Copies a quoted run starting just after its opening quote into `field`;
/// returns the position after the run. `*closed` tells whether its closing
/// quote was found.
size_t read_quoted_run(std::string_view line, size_t pos, std::string& field, bool* closed) {
  *closed = false;
  while (pos < line.size()) {
    char c = line[pos];
    if (c == '\\') {
      ++pos;
      if (pos >= line.size()) break;
      // Only \" and \\ mean something; any other escaped byte is dropped.
      char escaped = line[pos];
      if (escaped == '"' || escaped == '\\') field.push_back(escaped);
      ++pos;
    } else if (c == '"') {
      *closed = true;
      return pos + 1;
    } else if (c == '\r' || c == '\n') {
      return pos;
    } else {
      field.push_back(c);
      ++pos;
    }
  }
  return pos;
}

/// Calls `on_line` with every line after the header of the CSV source `path`, BOM
/// skipped; false when the file cannot be read.
template <typename OnLine>
bool for_each_csv_line(const SourceRoot& sources, const std::string& path, OnLine on_line) {
  std::string contents;
  if (!sources.read_file(path, &contents)) return false;
  TextLines lines(contents, kCsvLines);
  TextLine line;
  bool header = true;
  while (lines.next(&line)) {
    if (header) {
      header = false;  // the column order is fixed, whatever the header says
      continue;
    }
    on_line(line.text);
  }
  return true;
}

/// Reads the first N fields of `line`; missing fields are empty.
template <size_t N>
std::array<std::string, N> read_fields(std::string_view line) {
  std::array<std::string, N> fields;
  size_t pos = 0;
  for (std::string& field : fields) pos = read_csv_field(line, pos, field);
  return fields;
}

/// The number of fields of a line as the reader splits it; `*unclosed` tells
/// whether a quoted run is still open at its end.
int count_csv_fields(std::string_view line, bool* unclosed) {
  std::string field;
  CsvStop stop;
  int fields = 1;
  for (size_t pos = read_csv_field(line, 0, field, &stop); stop.separator;
       pos = read_csv_field(line, pos, field, &stop)) {
    ++fields;
  }
  *unclosed = stop.unclosed;
  return fields;
}

/// Under --pedantic, once per run for each table: a missing table and the
/// rows the reader takes otherwise than the author meant, which a plain run
/// renders or drops without a word.
void check_table(Build& build, const std::string& path, const char* macro) {
  const PedanticGate due = build.pedantic_due({PedanticPlace::Check::kTable, path});
  if (!due) return;
  std::string contents;
  ReadResult read = build.sources.read(path, &contents);
  if (read == ReadResult::kOutsideSite) return;  // refused with an error already
  if (read != ReadResult::kRead) {
    due.report({path}, Msg::missing_table, macro);
    return;
  }
  TextLines lines(contents, kCsvLines);
  TextLine piece;
  int number = 0;
  int header_fields = 0;
  bool line_start = true;  // an over-long line's later pieces keep its number
  while (lines.next(&piece)) {
    if (line_start) ++number;
    line_start = piece.ends_line;
    std::string_view line = piece.text;
    bool unclosed = false;
    int fields = count_csv_fields(line, &unclosed);
    if (number == 1) {
      header_fields = fields;
      continue;
    }
    if (line.find_first_not_of("\r\n") == std::string_view::npos) continue;  // a blank line is no row
    if (unclosed) {
      due.report({path, number}, Msg::unclosed_quote);
    } else if (fields != header_fields) {
      due.report({path, number}, Msg::row_fields, fields, header_fields);
    }
  }
}

}  // namespace

size_t read_csv_field(std::string_view line, size_t pos, std::string& field, CsvStop* stop) {
  field.clear();
  CsvStop ignored;
  if (!stop) stop = &ignored;
  *stop = CsvStop{};
  while (pos < line.size()) {
    char c = line[pos];
    if (c == '\r' || c == '\n') break;
    if (c == ',') {
      stop->separator = true;
      return pos + 1;
    }
    if (c == '"') {
      // The field goes on after the closing quote: quoted and unquoted
      // pieces join into one field.
      bool closed = false;
      pos = read_quoted_run(line, pos + 1, field, &closed);
      stop->unclosed = !closed;
    } else {
      field.push_back(c);
      ++pos;
    }
  }
  return pos;
}

void write_donate_history(Build& build, LangBuild& lang, Sink& out) {
  build.tally.shared_read.insert("donations.csv");
  check_table(build, "donations.csv", "DONATE_HISTORY");
  out.printf("<table class=\"donatehistorytable\" width=\"100%%\">\r\n");
  out.printf(
      "<tr><th width=\"20%%\" >%s</th><th width=\"20%%\" >%s</th><th width=\"20%%\" >%s</th><th "
      "width=\"20%%\" align=\"right\" >%s</th></tr>\r\n",
      lang.str(DONATE_HISTORY).c_str(), lang.str(DONATE_HISTORY_NAME).c_str(), lang.str(DONATE_HISTORY_COMMENT).c_str(),
      lang.str(DONATE_HISTORY_AMOUNT).c_str());
  for_each_csv_line(build.sources, "donations.csv", [&](std::string_view line) {
    auto [date, name, comment, amount] = read_fields<4>(line);
    if (date.empty() || amount.empty()) return;
    out.printf(
        "<tr><td width=\"20%%\" >%s</td><td width=\"20%%\" >%s</td><td width=\"40%%\" >%s</td><td "
        "width=\"20%%\" align=\"right\">%s</td></tr>\r\n",
        date.c_str(), name.empty() ? "Anonymous" : name.c_str(), comment.c_str(), amount.c_str());
  });
  out.printf("</table>\r\n");
}

void write_supported_languages(Build& build, LangBuild& lang, Sink& out) {
  build.tally.shared_read.insert("supported_languages.csv");
  check_table(build, "supported_languages.csv", "SUPPORTED_LANGUAGES");
  bool row_written = false;  // the page text opened the first row already
  for_each_csv_line(build.sources, "supported_languages.csv", [&](std::string_view line) {
    auto [language, translator, version] = read_fields<3>(line);
    if (language.empty()) return;
    if (row_written) out.printf("</tr>\r\n<tr>\r\n");
    row_written = true;
    std::string rendered = render_string_links(build, lang, translator);
    out.printf("<td class=\"wikinowrap\">%s</td><td>%s</td><td>%s</td>\r\n", language.c_str(), rendered.c_str(),
               version.c_str());
  });
}

void write_previous_stable_releases(Build& build, LangBuild& lang, Sink& out) {
  build.tally.shared_read.insert("previous_stable_releases.csv");
  check_table(build, "previous_stable_releases.csv", "PREVIOUS_STABLE_RELEASES");
  bool row_written = false;  // the page text opened the first row already
  for_each_csv_line(build.sources, "previous_stable_releases.csv", [&](std::string_view line) {
    auto [link, type, machine_target, language, size] = read_fields<5>(line);
    if (link.empty()) return;
    if (row_written) out.printf("</tr>\r\n<tr>\r\n");
    row_written = true;
    std::string rendered = render_string_links(build, lang, link);
    out.printf("<td class=\"wikinowrap\">%s</td><td>%s</td><td>%s</td><td>%s</td><td>%s</td>\r\n", rendered.c_str(),
               type.c_str(), machine_target.c_str(), language.c_str(), size.c_str());
  });
}

}  // namespace mt
