#include "links/target_set.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/names.h"
#include "platform/text.h"

namespace mt {

namespace {

constexpr size_t kBlockSize = 1 << 20;

uint32_t hash_of(std::string_view text) {
  // FNV-1a: cheap, and good enough for URL-like texts.
  uint32_t h = 2166136261u;
  for (char c : text) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

/// Byte counts of a text, case folded: a cheap lower bound of the edit
/// distance, so most candidates of a hint are passed over without one.
using ByteCounts = std::array<int16_t, 256>;

ByteCounts byte_counts(std::string_view text) {
  ByteCounts counts{};
  for (char c : text) ++counts[static_cast<unsigned char>(fold(c))];
  return counts;
}

// Whether the bytes of `text` and of the target counted in `counts` differ
// in no more than `limit` places: an edit changes at most one byte of each.
bool anchored(std::string_view text) { return text.find('#') != std::string_view::npos; }

bool size_order(std::string_view a, std::string_view b) {
  if (anchored(a) != anchored(b)) return !anchored(a);
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

bool counts_within(ByteCounts counts, size_t target_size, std::string_view text, int limit) {
  size_t surplus = 0;  // bytes of `text` the target lacks
  for (char c : text) {
    if (--counts[static_cast<unsigned char>(fold(c))] < 0) ++surplus;
  }
  const size_t lacking = target_size - (text.size() - surplus);
  return std::max(surplus, lacking) <= static_cast<size_t>(limit);
}

}  // namespace

const char* TargetSet::store(std::string_view text) {
  // Even an empty text needs a place: a null text marks an empty slot.
  if (text.size() > block_left_ || !block_next_) {
    size_t size = text.size() > kBlockSize ? text.size() : kBlockSize;
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));  // no zero fill
    block_next_ = blocks_.back().get();
    block_left_ = size;
  }
  char* at = block_next_;
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  block_next_ += text.size();
  block_left_ -= text.size();
  return at;
}

void TargetSet::reserve(size_t count) {
  while (count * 2 > slots_.size()) grow();
}

void TargetSet::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 1024 : old.size() * 2, Slot{});
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (!slot.text) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].text) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

size_t TargetSet::slot_of(std::string_view text, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (!slot.text) return i;
    // An empty view may have no data at all, which memcmp may not be given.
    if (slot.hash == hash && slot.size == text.size() &&
        (text.empty() || std::memcmp(slot.text, text.data(), text.size()) == 0)) {
      return i;
    }
  }
}

TargetSet::Slot& TargetSet::find(std::string_view text, uint32_t hash) { return slots_[slot_of(text, hash)]; }

void TargetSet::insert(std::string_view text, uint8_t flags, const char* kept) {
  by_size_.clear();
  if ((used_ + 1) * 2 > slots_.size()) grow();
  place(text, flags, kept);
}

void TargetSet::place(std::string_view text, uint8_t flags, const char* kept) {
  // Never declared by a page (its lines are read in pieces of 64 KB): a
  // link to it is reported as leading nowhere.
  if (text.size() > kMaxText) return;
  const uint32_t hash = hash_of(text);
  Slot& slot = find(text, hash);
  if (slot.text) {
    slot.flags |= flags;
    return;
  }
  slot = Slot{kept ? kept : store(text), hash, static_cast<uint32_t>(text.size()), flags};
  ++used_;
}

void TargetSet::merge(const TargetSet& other) {
  for (const Slot& slot : other.slots_) {
    if (slot.text) insert(std::string_view(slot.text, slot.size), slot.flags);
  }
}

void TargetSet::encode(ByteWriter& out) const {
  out.number(used_);
  for (const Slot& slot : slots_) {
    if (!slot.text) continue;
    out.text(std::string_view(slot.text, slot.size));
    out.number(slot.flags);
  }
}

bool TargetSet::decode(ByteReader& in) {
  const uint64_t count = in.count(2);  // a text's length and its flags at least
  by_size_.clear();
  if (used_ == 0) {
    // Known in full and only looked up from now on: a table up to three
    // quarters full, half the size of one kept for inserts.
    size_t size = 1024;
    while (size * 3 < (count + 1) * 4) size *= 2;
    slots_.assign(size, Slot{});
  } else {
    reserve(used_ + count);
  }
  for (uint64_t i = 0; i < count && !in.failed(); ++i) {
    const std::string_view text = in.text();
    const uint64_t flags = in.number();
    if (flags > (kSelf | kTwinAtEnd | kTwinBeforeAnchor)) return false;
    place(text, static_cast<uint8_t>(flags), text.data());
  }
  return !in.failed();
}

void TargetSet::merge(TargetSet&& other) {
  // The run's set takes each language build's in turn: the first whole,
  // the others by their slots, their texts staying where they are.
  if (used_ == 0) {
    *this = std::move(other);
    by_size_.clear();
    return;
  }
  by_size_.clear();
  reserve(used_ + other.used_);
  for (const Slot& theirs : other.slots_) {
    if (!theirs.text) continue;
    Slot& slot = find(std::string_view(theirs.text, theirs.size), theirs.hash);
    if (slot.text) {
      slot.flags |= theirs.flags;
    } else {
      slot = theirs;
      ++used_;
    }
  }
  for (std::unique_ptr<char[]>& block : other.blocks_) blocks_.push_back(std::move(block));
  other = TargetSet();
}

uint8_t TargetSet::flags_of(std::string_view text) const {
  if (slots_.empty()) return 0;
  // An empty slot's flags are 0: the text is not there.
  return slots_[slot_of(text, hash_of(text))].flags;
}

void TargetSet::add(std::string_view url, const std::string_view* anchor, bool twin) {
  std::string_view text = url;
  if (anchor) {
    scratch_.assign(url);
    scratch_ += '#';
    scratch_ += *anchor;
    text = scratch_;
  }
  uint8_t flags = kSelf;
  if (twin && !anchor) {
    flags |= kTwinAtEnd;
  } else if (twin && anchor->find('#') == std::string_view::npos) {
    flags |= kTwinBeforeAnchor;
  } else if (twin) {
    // An anchor holding '#' would hide where the twin's '/' goes: store the
    // twin as a text of its own.
    std::string twin_text(url);
    twin_text += "/#";
    twin_text += *anchor;
    insert(twin_text, kSelf);
  }
  insert(text, flags);
}

std::string TargetSet::nearest(std::string_view target, int limit) const {
  if (by_size_.empty()) {
    for (const Slot& slot : slots_) {
      if (slot.text) by_size_.emplace_back(slot.text, slot.size);
    }
    std::sort(by_size_.begin(), by_size_.end(), size_order);
  }
  const ByteCounts counts = byte_counts(target);
  // From the first text of the target's kind that is `limit` bytes shorter:
  // the smallest bytes of that size, ending in '#' for a target with one.
  std::string shortest(target.size() - std::min(target.size(), static_cast<size_t>(limit)), '\0');
  if (anchored(target) && shortest.empty()) shortest.push_back('#');
  if (anchored(target)) shortest.back() = '#';
  std::string_view best;
  int best_distance = limit + 1;
  for (auto it = std::lower_bound(by_size_.begin(), by_size_.end(), shortest, size_order); it != by_size_.end(); ++it) {
    const std::string_view text = *it;
    if (anchored(text) != anchored(target) || text.size() > target.size() + limit) break;
    if (!counts_within(counts, target.size(), text, limit)) continue;
    const int distance = edit_distance_no_case(target, text, limit);
    if (distance < best_distance) {  // texts come in byte order: the smallest wins a tie
      best_distance = distance;
      best = text;
    }
  }
  return std::string(best);
}

bool TargetSet::contains(std::string_view target) const {
  if (flags_of(target) & kSelf) return true;
  // A twin: "/" at the end of an anchorless text ...
  if (!target.empty() && target.back() == '/' && (flags_of(target.substr(0, target.size() - 1)) & kTwinAtEnd)) {
    return true;
  }
  // ... or right before the anchor, which holds no '#' of its own.
  size_t hash = target.rfind('#');
  if (hash == std::string_view::npos || hash == 0 || target[hash - 1] != '/') return false;
  scratch_.assign(target.substr(0, hash - 1));
  scratch_.append(target.substr(hash));
  return (flags_of(scratch_) & kTwinBeforeAnchor) != 0;
}

}  // namespace mt
