#include "diag/diagnostics.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/fs.h"

namespace mt {

namespace {
// The counters are 32-bit; a run with more messages than that stops counting
// rather than wrapping into a negative total.
void bump(int& counter) {
  if (counter < INT_MAX) ++counter;
}

// Names and values in messages come from untrusted sources; a line break or
// an escape sequence in one must not forge further message lines or the
// summary, so control bytes are written escaped and every message stays one
// line. The table's own texts are written as they are.
void write_escaped(Sink& out, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != 0x7F) continue;
    out.write(text.data() + start, i - start);
    start = i + 1;
    constexpr const char* kHex = "0123456789abcdef";
    char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    if (c == '\n') out.write("\\n", 2);
    else if (c == '\r') out.write("\\r", 2);
    else if (c == '\t') out.write("\\t", 2);
    else out.write(escaped, 4);
  }
  out.write(text.data() + start, text.size() - start);
}

void write_prefix(Sink& out, const MessageDef& def, Where where) {
  if (def.at != MessageAt::nothing) {
    write_escaped(out, display_path(where.file));
    if (def.at == MessageAt::line) {
      out.write(":", 1);
      MessageArg line(where.line);
      out.write(line.text());
    }
    out.write(": ", 2);
  }
  if (def.kind == MessageKind::error) out.write("error: ");
  if (def.kind == MessageKind::warning) out.write("warning: ");
}
}  // namespace

void Diagnostics::write(Where where, Msg id, const MessageArg* args, size_t count, int gate) {
  StringSink line;
  const MessageDef& def = message(id);
  write_prefix(line, def, where);
  size_t next = 0;
  std::string_view text = def.text;
  size_t start = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '%') continue;
    line.write(text.substr(start, i - start));
    if (text[i + 1] == 's' && next < count) {
      const MessageArg& arg = args[next++];
      if (arg.is_path()) write_escaped(line, display_path(arg.text()));
      else write_escaped(line, arg.text());
    } else if (text[i + 1] == '%') line.write("%", 1);
    start = ++i + 1;
  }
  line.write(text.substr(start));
  line.write("\n", 1);
  if (hold) {
    held.push_back({std::move(line.text), id, gate});
    return;
  }
  replay({std::move(line.text), id, gate});
}

void Diagnostics::replay(const HeldMessage& kept) {
  out->write(kept.line);
  const MessageDef& def = message(kept.id);
  const auto index = static_cast<size_t>(kept.id);
  if (counts.size() <= index) counts.resize(index + 1);
  bump(counts[index]);
  if (def.kind == MessageKind::error) bump(errors);
  if (def.kind == MessageKind::warning) bump(warnings);
}

void out_of_memory() {
  std::fflush(stdout);
  std::fputs(message(Msg::out_of_memory).text, stdout);
  std::fputs("\n", stdout);
  std::fflush(stdout);
  std::_Exit(1);
}

}  // namespace mt
