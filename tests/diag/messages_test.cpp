// The manual page lists every message of the tool; this keeps that list and
// the message table in step, both ways.

#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "diag/messages.h"
#include "helpers/fixture.h"

namespace mt {
namespace {

// A message as the manual shows it: arguments (italic there) become "%s".
std::string from_roff(const std::string& line) {
  const size_t space = line.find(' ');
  const std::string fonts = line.substr(1, space - 1);  // "B", "IB", "BI", ...
  // Quoted or bare arguments; roff's backslash escapes are kept for below.
  std::vector<std::string> args;
  std::istringstream in(line.substr(space + 1));
  for (std::string arg; in >> std::quoted(arg, '"', '\x01');) args.push_back(arg);
  std::string text;
  for (size_t i = 0; i < args.size(); ++i) {
    bool italic = fonts.size() == 1 ? fonts[0] == 'I' : fonts[i % 2] == 'I';
    if (fonts.size() == 1 && i > 0) text += ' ';
    text += italic ? std::string("%s") : args[i];
  }
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 4, "\\(dq") == 0) plain += '"', i += 3;
    else if (text.compare(i, 2, "\\e") == 0) plain += '\\', ++i;
    else if (text.compare(i, 2, "\\-") == 0) plain += '-', ++i;
    else if (text.compare(i, 2, "\\f") == 0) i += 2;
    else plain += text[i];
  }
  return plain;
}

// A message of the table as the manual shows it; a text of several lines is
// listed by its first line that is not empty.
std::string from_table(const MessageDef& def) {
  std::string text = def.at == MessageAt::file ? "%s: " : def.at == MessageAt::line ? "%s:%s: " : "";
  if (def.kind == MessageKind::error) text += "error: ";
  if (def.kind == MessageKind::warning) text += "warning: ";
  std::string body = def.text;
  size_t start = body.find_first_not_of('\n');
  body = body.substr(start, body.find('\n', start) - start);
  return text + body;
}

TEST(Messages, ManualAndTableAgree) {
  std::ifstream manual(test::source_path("docs/maketarnwick.1"));
  ASSERT_TRUE(manual);
  std::set<std::string> listed;
  std::string line;
  bool in_section = false, entry_next = false;
  while (std::getline(manual, line)) {
    if (line.starts_with(".SH")) in_section = line == ".SH DIAGNOSTICS";
    if (!in_section) continue;
    if (entry_next && (line.starts_with(".B") || (line.starts_with(".I") && line != ".IP"))) {
      listed.insert(from_roff(line));
    }
    entry_next = line == ".TP" || line == ".TQ" || line == ".IP";
  }
  std::set<std::string> table;
  for (size_t i = 0; i < kMessageCount; ++i) {
    EXPECT_EQ(static_cast<size_t>(kMessages[i].id), i) << "the table is out of the order of Msg at " << i;
    table.insert(from_table(kMessages[i]));
  }
  for (const std::string& text : table) EXPECT_TRUE(listed.count(text)) << "not in the manual: " << text;
  for (const std::string& text : listed) EXPECT_TRUE(table.count(text)) << "not in the table: " << text;
}

}  // namespace
}  // namespace mt
