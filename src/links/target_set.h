#pragma once
// The set of known targets, kept compact: a large site declares millions of
// them (every page and heading, each with its trailing-slash twin).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codec.h"

namespace mt {

/// Texts stored back to back in large blocks, indexed by an open-addressing
/// hash table. A declaration with its twin is one entry with a flag, since
/// the twin differs only by a '/' before the anchor or at the end.
class TargetSet {
 public:
  /// Adds `url` followed by "#" and `anchor` when one is given; with `twin`,
  /// also the form with a '/' after `url`.
  void add(std::string_view url, const std::string_view* anchor, bool twin);
  bool contains(std::string_view target) const;
  /// Adds everything `other` holds.
  void merge(const TargetSet& other);
  /// The same, taking `other`'s texts over instead of copying them.
  void merge(TargetSet&& other);
  /// The declared text closest to `target` within `limit` edits (case
  /// ignored; the smallest text on a tie), or "": a text with an anchor only
  /// for a target with one, so a page is suggested for a page.
  std::string nearest(std::string_view target, int limit) const;

  /// Writes every text with its flags, for the build record.
  void encode(ByteWriter& out) const;
  /// Adds the texts `encode` wrote, pointing into the bytes being read
  /// rather than copying them (a large site's record holds megabytes of
  /// them): those bytes must outlive the set. False when they hold none.
  bool decode(ByteReader& in);

 private:
  enum Flags : uint8_t {
    kSelf = 1,              // the text itself was declared
    kTwinAtEnd = 2,         // and the text followed by '/'
    kTwinBeforeAnchor = 4,  // and the text with '/' before its last '#'
  };
  // Sixteen bytes: a large site's table holds millions of slots.
  struct Slot {
    const char* text = nullptr;  // null: empty slot
    uint32_t hash = 0;
    uint32_t size : 29 = 0;  // page texts are read in pieces far shorter
    uint32_t flags : 3 = 0;
  };
  static_assert(sizeof(Slot) == 16 || sizeof(void*) == 4);
  static constexpr size_t kMaxText = (size_t{1} << 29) - 1;

  /// Adds `text`; a copy of it is kept unless `kept` already holds it.
  void insert(std::string_view text, uint8_t flags, const char* kept = nullptr);
  /// The same into a table with room for it.
  void place(std::string_view text, uint8_t flags, const char* kept);
  /// The index of the slot holding `text`, or of the empty slot where it goes.
  size_t slot_of(std::string_view text, uint32_t hash) const;
  /// Where `text` is, or the empty slot where it goes.
  Slot& find(std::string_view text, uint32_t hash);
  /// Grows until `count` texts fit.
  void reserve(size_t count);
  uint8_t flags_of(std::string_view text) const;
  const char* store(std::string_view text);
  void grow();

  std::vector<Slot> slots_;
  size_t used_ = 0;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t block_left_ = 0;
  char* block_next_ = nullptr;
  mutable std::string scratch_;  // a twin's base text being looked up, or a text being added
  // The texts ordered by (holds '#', size, bytes), made by the first hint
  // after a change: a hint then compares only texts of about its size.
  mutable std::vector<std::string_view> by_size_;
};

}  // namespace mt
