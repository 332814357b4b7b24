#pragma once
// The fixed table of 74 localisable strings and the language record.

#include <array>
#include <bitset>
#include <string>
#include <string_view>

namespace mt {

// Laid out by hand, several to a line.
// clang-format off
enum StringIndex : int {
  HOME = 0, DOWNLOADS, FAQ, SUPPORT, FORUMS, DONATE, CONTACT, PRIVACY, ERROR404, ABOUT,
  LANGUAGE, DONATED, CONTACTOK, CONTACTERROR, UPDATE, MAINTENANCE,
  HOME_TEMPLATE, DOWNLOADS_TEMPLATE, FAQ_TEMPLATE, DONATE_TEMPLATE, ERROR404_TEMPLATE,
  CONTACT_TEMPLATE, PRIVACY_TEMPLATE, ABOUT_TEMPLATE, LANGUAGE_TEMPLATE, DONATED_TEMPLATE,
  CONTACTOK_TEMPLATE, CONTACTERROR_TEMPLATE, UPDATE_TEMPLATE, MAINTENANCE_TEMPLATE,
  SUPPORT_FOLDER, LICENSE_TEMPLATE, SUPPORT_URL, FORUMS_URL, HOME_TITLE, TITLE_FORMAT,
  DOWNLOAD_WENDREL_HEADER, WENDREL_CHANGES, WENDREL_OLDER_VERSIONS, WENDREL_LICENSE,
  WENDREL_MD5, WENDREL_SHA256, WENDREL_SUPPORTED_LANGUAGES, WENDREL_HELP,
  DOWNLOAD_WENDREL_BETA_HEADER, WENDREL_BETA_WHATS_NEW, DOWNLOAD_INSTALLER,
  DOWNLOAD_INSTALLER_X64, DOWNLOAD_PORTABLE_ZIP, DOWNLOAD_PORTABLE_ZIP_X64,
  ALL_WENDREL_DOWNLOADS_HEADER, INSTALLER, PORTABLE, MULTILINGUAL, KB,
  DOWNLOAD_WENDREL_LANGUAGE_PACK_HEADER, WENDREL_LANGUAGE_PACK_HELP,
  DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE_HEADER, WENDREL_COMMAND_LINE_INTERFACE_HELP,
  DOWNLOAD_WENDREL_SDK_HEADER, WENDREL_SDK_HELP, COPYRIGHT, DONATE_FORM_NAME,
  DONATE_FORM_COMMENT, DONATE_FORM_BUTTON_IMAGE, DONATE_FORM_DONATE, DONATE_HISTORY,
  DONATE_HISTORY_NAME, DONATE_HISTORY_COMMENT, DONATE_HISTORY_AMOUNT, CONTACT_FORM_MESSAGE,
  CONTACT_FORM_EMAIL, CONTACT_FORM_SEND, DOWNLOAD_WENDREL_OFFLINE_HELP,
  kStringCount
};
// clang-format on
static_assert(kStringCount == 74);

struct StringDef {
  const char* id;
  const char* value;  // the built-in English default
};
extern const StringDef kStringTable[kStringCount];

/// Index of the first id equal to `id` without ASCII case, or -1.
int string_index_by_id(std::string_view id);

/// One loaded language: its code, display name, direction and 74 values.
struct Language {
  std::string code;          // from the file name: lower case, no extension
  std::string display_name;  // `_LANGUAGE_NAME`, or "Unknown"
  bool rtl = false;
  std::array<std::string, kStringCount> values;  // defaults until defined
  std::bitset<kStringCount> defined;             // set when the file gave a value

  Language();  // all values the built-in defaults
  const std::string& value(int index) const { return values[static_cast<size_t>(index)]; }
};

/// The page title: `TITLE_FORMAT` with "{{TITLE}}" replaced without case by
/// `page_name`, or `HOME_TITLE` when there is no page name.
std::string page_title(const Language& lang, const char* page_name);

}  // namespace mt
