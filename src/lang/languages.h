#pragma once
// Loading the language files of the source folder.

#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.h"
#include "platform/fs.h"
#include "site/strings.h"

namespace mt {

/// Loads one language file of `sources` (UTF-8 text, lines read in pieces of at most
/// 4,095 bytes) into a new record, printing its warnings and errors.
/// `file_name` is the name as listed; it names the file in messages and gives
/// the code.
Language load_language_file(const SourceRoot& sources, const std::string& file_name, Diagnostics& diag);
/// The same into `*record`; false when the file is not loaded at all: its
/// code is empty or holds a byte the contact script cannot embed, or it lies
/// outside the source root (each reported).
/// `pedantic` (--pedantic) adds warnings for malformed lines, keys given
/// twice and "did you mean" hints for unknown keys.
bool load_language_file(const SourceRoot& sources, const std::string& file_name, Diagnostics& diag, Language* record,
                        bool pedantic = false);

/// One `KEY = "value"` line of a language file, as it stands in its text.
struct KeyLineAt {
  int index = -1;          // string index, -1 for a key that is none of the 74
  int line = 0;            // 1-based, as the loader counts
  size_t value_begin = 0;  // byte offsets of the value in the text
  size_t value_end = 0;
  bool same = false;  // "// same" follows the value: meant to read the same in every language
};

/// Every key line of a language file's text, in order, read as the loader
/// reads it (so the last line of a key is the one that counts).
std::vector<KeyLineAt> key_lines(std::string_view contents);

/// The first record whose code equals `code` without ASCII case, or null.
const Language* language_by_code(const std::vector<Language>& languages, std::string_view code);

/// Every "*.txt" file of the source root that is not a folder and whose
/// name does not start with "{{", in listing order; `pedantic` also warns of
/// a language code that two files give.
std::vector<Language> load_languages(const SourceRoot& sources, Diagnostics& diag, bool pedantic = false);

}  // namespace mt
