#pragma once
// Every message of the tool goes through here: looked up in the one table
// (diag/messages.h), given its prefix, its arguments escaped, counted, and
// written to standard output.

#include <array>
#include <charconv>
#include <concepts>
#include <string>
#include <string_view>
#include <vector>

#include "diag/messages.h"
#include "platform/sink.h"

namespace mt {

/// Where a message points; which parts show is the message's own choice.
/// The file is shown as a path (see `PathArg`).
struct Where {
  std::string_view file;
  int line = 0;
};

/// A message argument that names a file or folder. Paths travel with '/'
/// between their parts; the message shows them as the platform writes paths
/// (with '\\' on Windows). URLs, page and item names are no paths: they keep
/// their '/' everywhere.
struct PathArg {
  std::string_view path;
};

/// One argument of a message: text, a path, or a number shown in decimal.
class MessageArg {
 public:
  MessageArg(std::string_view text) : text_(text) {}
  MessageArg(const char* text) : text_(text) {}
  MessageArg(PathArg path) : text_(path.path), path_(true) {}
  template <std::integral Number>
  MessageArg(Number number) : size_(std::to_chars(digits_, digits_ + sizeof digits_, number).ptr - digits_) {}
  std::string_view text() const { return size_ ? std::string_view(digits_, size_) : text_; }
  bool is_path() const { return path_; }

 private:
  std::string_view text_;
  char digits_[24] = {};
  size_t size_ = 0;
  bool path_ = false;
};

/// A message kept by a language build run beside others, written later in
/// language order.
struct HeldMessage {
  std::string line;  // as written, line end included
  Msg id;
  int gate;  // the --pedantic place it depends on (see PedanticGate), or -1
};

struct Diagnostics {
  Sink* out = nullptr;
  // Whether messages are kept in `held` (neither written nor counted)
  // rather than written to `out`.
  bool hold = false;
  std::vector<HeldMessage> held = {};
  int errors = 0;
  int warnings = 0;
  // How often each message was reported, by its Msg index: lets a step ask
  // what kind of errors the run had, not only how many.
  std::vector<int> counts = {};

  template <class... Args>
  void report(Where where, Msg id, const Args&... args) {
    const std::array<MessageArg, sizeof...(Args)> list{MessageArg(args)...};
    write(where, id, list.data(), list.size());
  }

  /// Writes one message; `gate` travels with a held message.
  void write(Where where, Msg id, const MessageArg* args, size_t count, int gate = -1);

  /// Writes and counts a message that another Diagnostics held.
  void replay(const HeldMessage& message);

  /// How often `id` was reported so far.
  int count(Msg id) const {
    const auto index = static_cast<size_t>(id);
    return index < counts.size() ? counts[index] : 0;
  }
};

/// Where the warnings of one --pedantic place go, which is nowhere (false)
/// when the place was warned of already. A language build run beside others
/// cannot know whether an earlier language warned there too: its gate
/// number goes with the messages, and the merge in language order drops
/// them when it did.
class PedanticGate {
 public:
  PedanticGate() = default;  // not due
  PedanticGate(Diagnostics& diag, int gate) : diag_(&diag), gate_(gate) {}
  explicit operator bool() const { return diag_ != nullptr; }

  template <class... Args>
  void report(Where where, Msg id, const Args&... args) const {
    const std::array<MessageArg, sizeof...(Args)> list{MessageArg(args)...};
    diag_->write(where, id, list.data(), list.size(), gate_);
  }

 private:
  Diagnostics* diag_ = nullptr;
  int gate_ = -1;
};

/// Writes the out-of-memory message straight to standard output and ends
/// the run with status 1; allocates nothing, as memory is gone.
[[noreturn]] void out_of_memory();

}  // namespace mt
