#include "site/strings.h"

#include <array>
#include <cstdint>

#include "platform/text.h"

namespace mt {

constexpr StringDef kStringTable[kStringCount] = {
#define MT_STRING(id, value, comment, where) {#id, value, comment},
#include "site/strings.def"
#undef MT_STRING
};

namespace {

// Every key line of a language file is looked up here, so the ids are kept
// in an open-addressing hash table built at compile time: one hash of the key
// and, nearly always, one comparison.
constexpr size_t kIdSlots = 256;  // a power of two, well above kStringCount

constexpr uint32_t id_hash(std::string_view id) {
  uint32_t h = 2166136261u;  // FNV-1a over the case-folded bytes
  for (char c : id) {
    h ^= static_cast<unsigned char>(fold(c));
    h *= 16777619u;
  }
  return h;
}

struct IdIndex {
  std::array<int8_t, kIdSlots> slot{};
  size_t longest = 0;
};

constexpr IdIndex build_id_index() {
  IdIndex index;
  for (auto& s : index.slot) s = -1;
  for (int i = 0; i < kStringCount; ++i) {
    std::string_view id = kStringTable[i].id;
    if (id.size() > index.longest) index.longest = id.size();
    size_t h = id_hash(id) & (kIdSlots - 1);
    while (index.slot[h] != -1) h = (h + 1) & (kIdSlots - 1);
    index.slot[h] = static_cast<int8_t>(i);
  }
  return index;
}

constexpr IdIndex kIdIndex = build_id_index();

}  // namespace

int string_index_by_id(std::string_view id) {
  if (id.size() > kIdIndex.longest) return -1;
  for (size_t h = id_hash(id) & (kIdSlots - 1); kIdIndex.slot[h] != -1; h = (h + 1) & (kIdSlots - 1)) {
    int i = kIdIndex.slot[h];
    if (equal_no_case(kStringTable[i].id, id)) return i;
  }
  return -1;
}

Language::Language() {
  for (int i = 0; i < kStringCount; ++i) values[static_cast<size_t>(i)] = kStringTable[i].value;
}

}  // namespace mt
