#include "driver/init.h"

#include <array>
#include <string_view>

#include "driver/config_file.h"
#include "platform/fs.h"
#include "platform/remove.h"
#include "platform/sink.h"
#include "site/strings.h"

namespace mt {

namespace {

std::string language_file() {
  std::string text =
      "// English (US): the site's default language, also built at the root of the output folder.\n"
      "// Another language is another file like this one (its name gives the code, e.g. de-de.txt)\n"
      "// with a folder of the same name beside it holding its page texts.\n"
      "\n"
      "// Name shown on the language page\n"
      "_LANGUAGE_NAME = \"English (US)\"\n"
      "_LANGUAGE_ENGLISH_NAME = \"English (US)\"\n"
      "// \"RTL\" for a right-to-left language\n"
      "_LANGUAGE_TEXT_DIRECTION = \"LTR\"\n";
  for (int i = 0; i < kStringCount; ++i) {
    text += "\n// ";
    text += kStringTable[i].comment;
    text += "\n";
    text += kStringTable[i].id;
    text += " = \"";
    text += kStringTable[i].value;
    text += "\"\n";
  }
  return text;
}

struct SiteFile {
  const char* path;  // '/'-separated, relative to the new site's folder
  std::string_view text;
};

// The smallest image, a 1x1 transparent PNG: donation button and logo.
constexpr std::string_view kTinyImage(
    "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89"
    "\0\0\0\rIDATx\x9c\x63\0\x01\0\0\x05\0\x01\x0d\x0a\x2d\xb4\0\0\0\0IEND\xae\x42\x60\x82",
    67);

// Page texts: each page uses the macros that belong on it, and links only
// to pages that exist, so the first build reports nothing.
const SiteFile kPages[] = {
    {"en-us/home.txt",
     "=Welcome=\n"
     "This site was made by '''maketarnwick --init'''. Edit the texts in the folder ''en-us'' and build again.\n"
     "<ul>\n"
     "* [[downloads|Downloads]]: the current release\n"
     "* [[support/wendrel|Help]]: the support pages\n"
     "* [[faq|FAQ]] and [[contact|Contact]]\n"
     "</ul>\n"
     "== Release files ==\n"
     "Every build copies the folder ''release'' (RELEASE_FOLDER in ''maketarnwick.conf'') into the "
     "output folder first: put the release files there. It holds the feed rss.xml and the logo "
     "tarnwick9.png that every page links to; replace them with your own. "
     "Release file names come from VERSION in ''maketarnwick.conf''. "
     "The download sections that show file sizes (all downloads, language pack, SDK, "
     "command-line interface, offline help) read them from the output folder; "
     "a missing one is reported. "
     "The downloads page also links to the changes and checksum files at the site root "
     "(CHANGES_FILE and CHECKSUM_FILE): put those into ''release'' too.\n"},
    {"en-us/downloads.txt",
     "=Downloads=\n"
     "{{DOWNLOAD_WENDREL}}\n"
     "{{DOWNLOAD_WENDREL_BETA}}\n"
     "All downloads come under the [[License.txt|License]].\n"},
    {"en-us/faq.txt",
     "=FAQ=\n"
     "== How do I install it? ==\n"
     "Read [[support/wendrel/installing_wendrel|Installing]].\n"},
    {"en-us/contact.txt",
     "=Contact=\n"
     "Questions are welcome; the [[faq|FAQ]] may already answer yours.\n"
     "{{CONTACT_FORM}}\n"},
    {"en-us/about.txt", "=About=\nWho makes the product, and why.\n"},
    {"en-us/donate.txt",
     "=Donate=\n"
     "The name and comment you enter are published in the list below.\n"
     "{{DONATE_FORM}}\n"
     "{{DONATE_HISTORY}}\n"},
    {"en-us/error404.txt",
     "=Page not found=\nThe page does not exist. Try the [[downloads|downloads]] or the [[support/wendrel|help "
     "pages]].\n"},
    {"en-us/language.txt", "=Choose Your Language=\n{{LANGUAGES}}\n"},
    {"en-us/donated.txt", "=Thank you=\nYour donation has arrived.\n"},
    {"en-us/contactok.txt", "=Message sent=\nThank you for your message.\n"},
    {"en-us/contacterror.txt", "=Message not sent=\nPlease try the [[contact|contact form]] again.\n"},
    {"en-us/update.txt", "=Update=\nThe current release is on the [[downloads|downloads page]].\n"},
    {"en-us/privacy.txt", "=Privacy=\nThe contact form sends your message and, if you give it, your address.\n"},
    {"en-us/maintenance.txt", "=Maintenance=\nThe site is being updated; please come back soon.\n"},
    {"en-us/License.txt", "License\n\nThe terms under which the product may be used.\n"},
    {"en-us/paypal.donate.png", kTinyImage},
    // What the frame of every page links to at the site root.
    {"release/tarnwick9.png", kTinyImage},
    {"release/rss.xml",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>News</title>"
     "<link>https://www.example.com/</link><description>Releases</description></channel></rss>\n"},
    // Page names give the URLs the built-in strings link to; the number in
    // front orders the pages and does not show.
    {"en-us/support/01 Wendrel.txt",
     "=Help=\n"
     "<ul>\n"
     "* [[support/wendrel/installing_wendrel|Installing]]\n"
     "* [[support/wendrel/supported_languages|Supported languages]]\n"
     "* [[support/wendrel/previous_versions|Previous versions]]\n"
     "</ul>\n"},
    {"en-us/support/01 Wendrel/01 Installing Wendrel.txt",
     "=Installing=\nRun the installer from the [[downloads|downloads page]], or unzip the portable zip.\n"},
    {"en-us/support/01 Wendrel/02 Supported Languages.txt",
     "=Supported Languages=\n"
     "{|\n! Language\n! Translator\n! Version\n|-\n{{SUPPORTED_LANGUAGES}}\n|}\n"},
    {"en-us/support/01 Wendrel/03 Previous Versions.txt",
     "=Previous Versions=\n"
     "{{PREVIOUS_VERSIONS}}\n"
     "{|\n! Download\n! Type\n! Platform\n! Language\n! Size\n|-\n{{PREVIOUS_STABLE_RELEASES}}\n|}\n"},
    {"en-us/support/01 Wendrel/04 What's New.txt", "=What's New=\nThe changes of the current release.\n"},
    {"{{PREVIOUS_VERSIONS}}.txt", "== Version History ==\nOne line per release, newest first.\n"},
    {"donations.csv", "date,name,comment,amount\n"},
    {"previous_stable_releases.csv", "link,type,machine_target,language,size\n"},
    {"supported_languages.csv", "Language,Translator,Version\n"},
};

// Creates the folders on the way to `path`, then the file.
bool write_site_file(const std::string& root, std::string_view path, std::string_view text) {
  FsError error;
  for (size_t slash = path.find('/'); slash != std::string_view::npos; slash = path.find('/', slash + 1)) {
    if (!make_folder(join_path(root, path.substr(0, slash)), &error)) return false;
  }
  FileSink out;
  if (!out.open(join_path(root, path))) return false;
  out.write(text);
  return out.close();
}

}  // namespace

int init_site(const std::string& folder, Diagnostics& diag) {
  FsError error;
  if (!make_folder(folder, &error)) {
    diag.report({}, Msg::init_create_failed, PathArg{folder});
    return 1;
  }
  // Never mixed into someone's files: a half-merged site would be worse than none.
  if (!folder_is_empty(folder)) {
    diag.report({}, Msg::init_not_empty, PathArg{folder});
    return 1;
  }
  const std::string language = language_file();
  // The starter site keeps its feed, logo and release files in a folder
  // that every build copies: the one key set in its configuration.
  std::string config = default_config_text();
  const std::string_view release_key = "// RELEASE_FOLDER = \"\"";
  config.replace(config.find(release_key), release_key.size(), "RELEASE_FOLDER = \"release\"");
  if (!write_site_file(folder, "en-us.txt", language) || !write_site_file(folder, kConfigFileName, config)) {
    diag.report({}, Msg::init_write_failed, PathArg{folder});
    return 1;
  }
  for (const SiteFile& file : kPages) {
    if (!write_site_file(folder, file.path, file.text)) {
      diag.report({}, Msg::write_file_failed, PathArg{join_path(folder, file.path)});
      return 1;
    }
  }
  return 0;
}

}  // namespace mt
