#pragma once
// Known targets (URLs the build produces) and written links (URLs pages link
// to), and the final check that reports written links that lead nowhere.

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.h"
#include "links/alternates.h"
#include "links/target_set.h"

namespace mt {

/// The declarations and links one page gave a registry, in order (URLs
/// without the URL root, links that can never be checked left out), so
/// that they can be given again without rendering the page: the preview
/// takes a page its edit did not touch from the last build.
class RegistryLog {
 public:
  enum class Op : uint8_t { kDeclare, kDeclareAnchor, kRecord, kFrame, kHead };
  void add(Op op, int line, bool twin, std::string_view a, std::string_view b = {}, std::string_view c = {});
  /// Gives back the room kept for more entries: a log is kept long.
  void shrink() {
    entries_.shrink_to_fit();
    texts_.shrink_to_fit();
  }
  /// Calls `give(op, line, twin, a, b, c)` for each entry in order.
  template <class Give>
  void each(Give give) const {
    for (const Entry& e : entries_) {
      give(e.op, e.line, e.twin, text(e.text[0]), text(e.text[1]), text(e.text[2]));
    }
  }

 private:
  struct Span {
    uint32_t at = 0;
    uint32_t size = 0;
  };
  struct Entry {
    Op op;
    bool twin;
    int line;
    Span text[3];
  };
  std::string_view text(Span span) const { return std::string_view(texts_).substr(span.at, span.size); }
  Span keep(std::string_view text);

  std::vector<Entry> entries_;
  std::string texts_;                            // every entry's texts back to back
  std::array<int, 5> last_{-1, -1, -1, -1, -1};  // the last entry of each kind, -1 for none
};

class LinkRegistry {
 public:
  explicit LinkRegistry(std::string url_root = {}) : url_root_(std::move(url_root)) {}

  /// Declares `url` (URL root removed from its front), followed by "#" and
  /// `anchor` when one is given. With `twin`, the same with a "/" after the
  /// URL is declared first.
  void declare(std::string_view url, std::optional<std::string_view> anchor, bool twin);

  /// Records a link written by `source` (a path or "expand_url") at `line`.
  /// Links with a scheme or a '.' are not recorded.
  void record(std::string_view source, int line, std::string_view url);

  /// Records a link that the page frame of `source` writes, once per source
  /// and URL (every page repeats the frame). With `output_file`, the link is
  /// to that file, which the final check looks for on disk instead; such a
  /// link is recorded once, under the first source.
  void record_frame(const std::string& source, std::string_view url, const std::string& output_file = {});

  /// Records a link that a page's head or a generated file writes (no
  /// line): reported as a frame link is, under `source`.
  void record_head(std::string_view source, std::string_view url);

  /// Notes every declaration and link from now on in `log` as well (none
  /// with null).
  void log_to(RegistryLog* log) { log_ = log; }
  /// Declares and records again, in order, what `log` noted.
  void replay(const RegistryLog& log);

  /// The alternate-language sets pages declared, checked by final_check.
  AlternateSets& alternate_sets() { return alternate_sets_; }

  /// Whether a root-relative URL has been declared.
  bool known(std::string_view root_relative) const;

  /// Forgets the recorded links whose targets are known by now; the final
  /// check reports the same links in the same order either way. Keeps memory
  /// bounded on large sites.
  void settle();

  /// Takes over what `part` (a registry that one language build filled on
  /// its own) declared and recorded, as if it had been declared and recorded
  /// here, then settles: merged in language order, the final check reports
  /// what a build of one language after the other would.
  void absorb(LinkRegistry&& part);
  /// The same, leaving `part` as it was: the preview absorbs a language
  /// build's part again in each later build that does not redo it. The
  /// targets are looked up in `part` rather than copied (copying a large
  /// site's took most of a preview rebuild), so `part` must stay where it is
  /// until this registry is done with.
  void absorb(const LinkRegistry& part);

  /// Writes what was declared and recorded, for the build record; false,
  /// nothing written, for a registry holding alternate sets, which the
  /// record does not keep (languages that link each other are always built
  /// whole).
  bool encode(ByteWriter& out) const;
  bool encodable() const { return alternate_sets_.empty() && borrowed_.empty(); }
  /// Reads what `encode` wrote into a registry that holds nothing yet; its
  /// targets point into the bytes read, which must outlive it. False when
  /// the bytes are not such a record.
  bool decode(ByteReader& in);

  /// Prints "broken url" for every recorded link that names no known target,
  /// in recording order, then what the alternate-language sets lack. With
  /// `pedantic`, a page's link is named with the page's whole path (language
  /// folder included), and gets the nearest known target as a hint when one
  /// is near.
  void final_check(Diagnostics& diag, bool pedantic = false);

 private:
  struct Pending {
    std::string source;  // as recorded; a plain message shows its file name only
    int line;
    std::string url;          // root-relative
    std::string output_file;  // a frame link to a file: where it must be
    bool frame = false;       // named without a line
    std::string frame_key;    // a frame link's key in frame_links_, "" for other links
  };
  std::string_view strip_root(std::string_view url) const;
  // What record and record_head do once the URL root is off the URL.
  void record_relative(std::string_view source, int line, std::string_view relative);
  void record_head_relative(std::string_view source, std::string_view relative);
  // Copies the borrowed targets here: a hint weighs every target against
  // the others, so they must be in one set.
  void take_borrowed();

  std::string url_root_;
  RegistryLog* log_ = nullptr;
  TargetSet targets_;
  std::vector<const TargetSet*> borrowed_;  // other registries' targets, known here too
  std::vector<Pending> pending_;
  std::set<std::string> frame_links_;
  AlternateSets alternate_sets_;  // source and URL (a file: URL alone) of each frame link recorded
};

}  // namespace mt
