#include "site/strings.h"

#include <array>
#include <cstdint>

#include "platform/text.h"

namespace mt {

constexpr StringDef kStringTable[kStringCount] = {
    {"HOME", "Home"},
    {"DOWNLOADS", "Downloads"},
    {"FAQ", "FAQ"},
    {"SUPPORT", "Support"},
    {"FORUMS", "Forums"},
    {"DONATE", "Donate"},
    {"CONTACT", "Contact"},
    {"PRIVACY", "Privacy"},
    {"ERROR404", "ERROR 404"},
    {"ABOUT", "About tarnwick"},
    {"LANGUAGE", "Language"},
    {"DONATED", "Donated"},
    {"CONTACTOK", "CONTACT Successful"},
    {"CONTACTERROR", "CONTACT Error"},
    {"UPDATE", "Update"},
    {"MAINTENANCE", "Maintenance"},
    {"HOME_TEMPLATE", "home.txt"},
    {"DOWNLOADS_TEMPLATE", "downloads.txt"},
    {"FAQ_TEMPLATE", "faq.txt"},
    {"DONATE_TEMPLATE", "donate.txt"},
    {"ERROR404_TEMPLATE", "error404.txt"},
    {"CONTACT_TEMPLATE", "contact.txt"},
    {"PRIVACY_TEMPLATE", "privacy.txt"},
    {"ABOUT_TEMPLATE", "about.txt"},
    {"LANGUAGE_TEMPLATE", "language.txt"},
    {"DONATED_TEMPLATE", "donated.txt"},
    {"CONTACTOK_TEMPLATE", "contactok.txt"},
    {"CONTACTERROR_TEMPLATE", "contacterror.txt"},
    {"UPDATE_TEMPLATE", "update.txt"},
    {"MAINTENANCE_TEMPLATE", "maintenance.txt"},
    {"SUPPORT_FOLDER", "support"},
    {"LICENSE_TEMPLATE", "License.txt"},
    {"SUPPORT_URL", "support/wendrel"},
    {"FORUMS_URL", "/forum"},
    {"HOME_TITLE", "tarnwick"},
    {"TITLE_FORMAT", "{{TITLE}} - tarnwick"},
    {"DOWNLOAD_WENDREL_HEADER", "Download Wendrel {{VERSION}}"},
    {"WENDREL_CHANGES", "[[{{CHANGES}}|Changes]]"},
    {"WENDREL_OLDER_VERSIONS", "[[support/wendrel/previous_versions/|Older Versions]]"},
    {"WENDREL_LICENSE", "[[License.txt|License]]"},
    {"WENDREL_MD5", "[[{{MD5}}|MD5]]"},
    {"WENDREL_SHA256", "[[{{SHA256}}|SHA256]]"},
    {"WENDREL_SUPPORTED_LANGUAGES", "[[support/wendrel/supported_languages/|Supported Languages]]"},
    {"WENDREL_HELP", "[[support/wendrel/installing_wendrel/|Help]]"},
    {"DOWNLOAD_WENDREL_BETA_HEADER", "Download Wendrel {{VERSION}} Beta"},
    {"WENDREL_BETA_WHATS_NEW", "[[support/wendrel/whats_new|What's New]]"},
    {"DOWNLOAD_INSTALLER", "Download Installer"},
    {"DOWNLOAD_INSTALLER_X64", "Download Installer 64-bit"},
    {"DOWNLOAD_PORTABLE_ZIP", "Download Portable Zip"},
    {"DOWNLOAD_PORTABLE_ZIP_X64", "Download Portable Zip 64-bit"},
    {"ALL_WENDREL_DOWNLOADS_HEADER", "All Wendrel Downloads"},
    {"INSTALLER", "Installer"},
    {"PORTABLE", "Portable"},
    {"MULTILINGUAL", "[[support/wendrel/supported_languages|Multilingual]]"},
    {"KB", "KB"},
    {"DOWNLOAD_WENDREL_LANGUAGE_PACK_HEADER", "Download Wendrel Language Pack"},
    {"WENDREL_LANGUAGE_PACK_HELP", "[[support/wendrel/supported_languages/#installing_the_language_pack|Help]]"},
    {"DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE_HEADER", "Download Wendrel Command-line Interface"},
    {"WENDREL_COMMAND_LINE_INTERFACE_HELP", "[[support/wendrel/command_line_interface|Help]]"},
    {"DOWNLOAD_WENDREL_SDK_HEADER", "Download Wendrel SDK"},
    {"WENDREL_SDK_HELP", "[[support/wendrel/SDK|Help]]"},
    {"COPYRIGHT", "&copy; {{YEAR}} - "},
    {"DONATE_FORM_NAME", "Name (optional, name will be published below, leave blank for an anonymous donation):"},
    {"DONATE_FORM_COMMENT", "Comment (optional, 200 characters max):"},
    {"DONATE_FORM_BUTTON_IMAGE", "paypal.donate.png"},
    {"DONATE_FORM_DONATE", "Donate"},
    {"DONATE_HISTORY", "Donation History"},
    {"DONATE_HISTORY_NAME", "Name"},
    {"DONATE_HISTORY_COMMENT", "Comment"},
    {"DONATE_HISTORY_AMOUNT", "Amount"},
    {"CONTACT_FORM_MESSAGE", "Message:"},
    {"CONTACT_FORM_EMAIL", "Email (optional):"},
    {"CONTACT_FORM_SEND", "Send"},
    {"DOWNLOAD_WENDREL_OFFLINE_HELP", "Download Wendrel Offline Help"},
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

std::string page_title(const Language& lang, const char* page_name) {
  if (!page_name) return lang.value(HOME_TITLE);
  return replace_no_case(lang.value(TITLE_FORMAT), "{{TITLE}}", page_name);
}

}  // namespace mt
