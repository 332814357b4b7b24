#include "macros/downloads.h"

#include "links/registry.h"
#include "markup/localised.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "site/strings.h"

namespace mt {

namespace {

// The release files are named by the site configuration's prefixes, with
// these fixed endings.
struct DownloadRow {
  bool current;        // the current release (else the previous one)
  const char* suffix;  // after the release's file prefix
  const char* icon_class;
  int type;  // string index of the type cell
  const char* arch;
  bool multilingual;  // language cell: the multilingual label, else "English (US)"
};

constexpr DownloadRow kAllDownloads[] = {
    {true, ".x86.en-US-Setup.exe", "de", INSTALLER, "x86", false},
    {true, ".x64.en-US-Setup.exe", "de", INSTALLER, "x64", false},
    {true, ".x86-Setup.exe", "de", INSTALLER, "x86", true},
    {true, ".x64-Setup.exe", "de", INSTALLER, "x64", true},
    {true, ".x86.msi", "de", INSTALLER, "x86", true},
    {true, ".x64.msi", "de", INSTALLER, "x64", true},
    {true, ".x86.en-US.zip", "de", PORTABLE, "x86", false},
    {true, ".x64.en-US.zip", "de", PORTABLE, "x64", false},
    {true, ".ARM.en-US.zip", "de", PORTABLE, "ARM", false},
    {true, ".x86.zip", "de", PORTABLE, "x86", true},
    {true, ".x64.zip", "de", PORTABLE, "x64", true},
    {true, ".ARM.zip", "de", PORTABLE, "ARM", true},
    {false, ".x86-Setup.exe", "de134", INSTALLER, "x86", false},
    {false, ".x64-Setup.exe", "de134", INSTALLER, "x64", false},
    {false, ".x86.Multilingual-Setup.exe", "de134", INSTALLER, "x86", true},
    {false, ".x64.Multilingual-Setup.exe", "de134", INSTALLER, "x64", true},
    {false, ".x86.zip", "de134", PORTABLE, "x86", false},
    {false, ".x64.zip", "de134", PORTABLE, "x64", false},
    {false, ".x86.Multilingual.zip", "de134", PORTABLE, "x86", true},
    {false, ".x64.Multilingual.zip", "de134", PORTABLE, "x64", true},
};

/// Declares the section's anchor on the downloads page, whichever page calls
/// it, so links to "downloads#<id>" resolve.
void declare_section(Build& build, LangBuild& lang, const char* id) {
  build.links.declare(menu_target(lang, kMenuDownloads).url, std::string_view(id), true);
}

/// The row of help links under a section's file, across both columns.
void open_help_row(Sink& out) {
  out.printf("<tr>");
  out.printf("<td colspan=\"2\">");
  out.printf("<p>");
}

void close_help_row(Sink& out) { out.printf("</p></td></tr>\r\n"); }

unsigned long long size_kb(Build& build, const std::string& file) {
  return static_cast<unsigned long long>(download_size_kb(build, file));
}

}  // namespace

uint64_t download_size_kb(Build& build, const std::string& file_name) {
  uint64_t size = 0;
  const bool found = file_size(join_path(build.setup.output_root, file_name), &size);
  build.tally.sizes_read.emplace(file_name, found ? static_cast<int64_t>(size) : -1);
  // The release folder's copy of it: the preview renders the page again
  // when that changes.
  if (const std::string& release = build.setup.site.release_folder; !release.empty()) {
    build.tally.shared_read.insert(ascii_lower(generic_path(join_path(release, file_name))));
  }
  if (!found) {
    build.diag.report({}, Msg::no_filesize, PathArg{file_name});
    return 0;
  }
  // Every started KB counts; all 64 bits, so large archives show their size.
  return size / 1024 + (size % 1024 != 0 ? 1 : 0);
}

void write_download_current(Build& build, LangBuild& lang, Sink& out) {
  declare_section(build, lang, "dl");
  out.printf(
      "<h2 id=\"dl\">%s</h2>",
      localised_text(build, lang, DOWNLOAD_WENDREL_HEADER, "{{VERSION}}", build.setup.site.version.c_str()).c_str());

  struct Button {
    int label;
    const char* suffix;
  };
  constexpr Button kButtons[2][2] = {
      {{DOWNLOAD_INSTALLER, ".x86-Setup.exe"}, {DOWNLOAD_INSTALLER_X64, ".x64-Setup.exe"}},
      {{DOWNLOAD_PORTABLE_ZIP, ".x86.zip"}, {DOWNLOAD_PORTABLE_ZIP_X64, ".x64.zip"}},
  };
  for (const auto& pair : kButtons) {
    for (const Button& button : pair) {
      out.printf("<a style=\"width:256px;\" class=\"button\" href=\"%s/%s%s\">%s</a>\r\n", build.setup.url_root.c_str(),
                 build.setup.site.current_prefix.c_str(), button.suffix,
                 localised_text(build, lang, button.label).c_str());
    }
    out.printf("<div style=\"clear:both\"></div>\r\n");
  }

  struct Link {
    int index;
    const char* token;
    const char* replacement;
  };
  const Link kLinks[] = {
      {WENDREL_CHANGES, "{{CHANGES}}", build.setup.site.changes_file.c_str()},
      {WENDREL_BETA_WHATS_NEW, "", ""},
      {WENDREL_OLDER_VERSIONS, "", ""},
      {WENDREL_LICENSE, "", ""},
      {WENDREL_SHA256, "{{SHA256}}", build.setup.site.checksum_file.c_str()},
      {WENDREL_SUPPORTED_LANGUAGES, "", ""},
      {WENDREL_HELP, "", ""},
  };
  out.printf("<p>");
  bool first = true;
  for (const Link& link : kLinks) {
    if (!first) out.printf("<span class=\"leftdot\"></span>");
    first = false;
    out.printf("%s", localised_text(build, lang, link.index, link.token, link.replacement).c_str());
  }
  out.printf("</p>\r\n");
  for (int i = 0; i < 3; ++i) out.printf("<br/>\r\n");
}

void write_download_all(Build& build, LangBuild& lang, Sink& out) {
  // Fetched once: rendering it records its link, once per section.
  std::string multilingual = localised_text(build, lang, MULTILINGUAL);
  declare_section(build, lang, "all");
  out.printf("<h2 id=\"all\">%s</h2>", localised_text(build, lang, ALL_WENDREL_DOWNLOADS_HEADER).c_str());
  out.printf("<table class=\"dltable\">\r\n");
  for (const DownloadRow& row : kAllDownloads) {
    const std::string file =
        (row.current ? build.setup.site.current_prefix : build.setup.site.previous_prefix) + row.suffix;
    unsigned long long kb = size_kb(build, file);
    out.printf("<tr><td><p class=\"");
    out.write(row.icon_class);
    out.printf("\"><a href=\"%s/%s\">%s</a></p></td><td>%s</td><td>", build.setup.url_root.c_str(), file.c_str(),
               file.c_str(), lang.str(row.type).c_str());
    out.write(row.arch);
    out.printf("</td><td>");
    if (row.multilingual) {
      out.printf("%s", multilingual.c_str());
    } else {
      out.printf("English (US)");
    }
    out.printf("</td><td>%llu %s</td></tr>\r\n", kb, lang.str(KB).c_str());
  }
  out.printf("</table>\r\n");
  out.printf("<br/>\r\n");
}

namespace {

/// A section that offers one release file; the four differ only in these.
struct SingleFileSection {
  const char* id;
  int header;
  std::string SiteConfig::*file;
  const char* css_class;
  const char* after_link;  // written between the link and "</p>"
  int help[2];             // help strings joined by a dot; -1 for none
};

// clang-format off
constexpr SingleFileSection kLanguagePack{"language", DOWNLOAD_WENDREL_LANGUAGE_PACK_HEADER,
                                          &SiteConfig::language_pack_file, "dc", "",
                                          {WENDREL_SUPPORTED_LANGUAGES, WENDREL_LANGUAGE_PACK_HELP}};
constexpr SingleFileSection kSdk{"sdk", DOWNLOAD_WENDREL_SDK_HEADER, &SiteConfig::sdk_file, "di", " ",
                                 {WENDREL_SDK_HELP, -1}};
constexpr SingleFileSection kOfflineHelp{"chm", DOWNLOAD_WENDREL_OFFLINE_HELP, &SiteConfig::offline_help_file,
                                         "dc", "", {-1, -1}};
constexpr SingleFileSection kCli{"cli", DOWNLOAD_WENDREL_COMMAND_LINE_INTERFACE_HEADER, &SiteConfig::cli_file,
                                 "cli", " ", {WENDREL_COMMAND_LINE_INTERFACE_HELP, -1}};
// clang-format on

void write_single_file_section(Build& build, LangBuild& lang, Sink& out, const SingleFileSection& section) {
  declare_section(build, lang, section.id);
  out.printf("<h2 id=\"%s\">%s</h2>", section.id, localised_text(build, lang, section.header).c_str());
  out.printf("<table class=\"dltable\">\r\n");
  const std::string& file = build.setup.site.*section.file;
  unsigned long long kb = size_kb(build, file);
  out.printf("<tr><td><p class=\"%s\"><a href=\"%s/%s\">%s</a>%s</p></td><td>%llu %s</td></tr>\r\n", section.css_class,
             build.setup.url_root.c_str(), file.c_str(), file.c_str(), section.after_link, kb, lang.str(KB).c_str());
  if (section.help[0] >= 0) {
    open_help_row(out);
    out.printf("%s", localised_text(build, lang, section.help[0]).c_str());
    if (section.help[1] >= 0) {
      out.printf("<span class=\"leftdot\"></span>");
      out.printf("%s", localised_text(build, lang, section.help[1]).c_str());
    }
    close_help_row(out);
  }
  out.printf("</table>\r\n");
}

}  // namespace

void write_download_language_pack(Build& build, LangBuild& lang, Sink& out) {
  write_single_file_section(build, lang, out, kLanguagePack);
}

void write_download_sdk(Build& build, LangBuild& lang, Sink& out) { write_single_file_section(build, lang, out, kSdk); }

void write_download_offline_help(Build& build, LangBuild& lang, Sink& out) {
  write_single_file_section(build, lang, out, kOfflineHelp);
}

void write_download_cli(Build& build, LangBuild& lang, Sink& out) { write_single_file_section(build, lang, out, kCli); }

}  // namespace mt
