#pragma once
// What is left to translate in each language against the default language:
// computed from the sources and the acceptance record, then shown as text
// (messages), JSON or a page.

#include <string>
#include <vector>

#include "translate/record.h"
#include "translate/sources.h"

namespace mt {

enum class ItemState { missing, untranslated, stale, orphan };
enum class ItemKind { string, page, support };

/// One item that needs a translator. `file` is the language's file where it
/// has one, else the language code; `line` 0 when there is none.
struct StatusItem {
  ItemState state;
  ItemKind kind;
  std::string item;  // as --accept names it (orphans: the page's own "support/..." path)
  std::string file;
  int line = 0;
};

struct Tally {
  int total = 0;  // items of the default language
  int missing = 0, untranslated = 0, stale = 0, orphan = 0;
  int done() const { return total - missing - untranslated - stale; }
  int percent() const;  // rounded down, so 100 means nothing is left
  void add(const Tally& other);
};

struct LangStatus {
  std::string code;
  Tally tally;
  std::vector<StatusItem> items;  // strings, pages, support pages, each in their order
};

struct Status {
  std::string default_code;
  std::vector<LangStatus> langs;  // every language but the default, load order
  Tally totals;
};

const char* state_name(ItemState state);
const char* kind_name(ItemKind kind);

/// Strings that name files or addresses rather than text a reader sees:
/// never untranslated.
bool names_no_text(int string_index);

/// The status of every language. A language without a line in `record`
/// has nothing stale.
Status compute_status(const Sources& sources, const AcceptRecord& record);

/// The current hash of every item of the default language, by item name.
std::map<std::string, uint64_t, std::less<>> default_hashes(const Sources& sources);

}  // namespace mt
