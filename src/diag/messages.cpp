#include "diag/messages.h"

namespace mt {

// In the order of Msg, so a message is found by its index.
const MessageDef kMessages[] = {
    {Msg::unknown_string, MessageKind::warning, MessageAt::file, "unknown string defined %s"},
    {Msg::undefined_string, MessageKind::warning, MessageAt::file, "undefined string %s"},
    {Msg::language_name_unset, MessageKind::error, MessageAt::file, "_LANGUAGE_NAME not set"},
    {Msg::unsafe_path, MessageKind::error, MessageAt::file, "unsafe path in %s: %s"},
    {Msg::unsafe_character, MessageKind::error, MessageAt::file, "unsafe character in %s: %s"},
    {Msg::unsafe_code, MessageKind::error, MessageAt::file, "unsafe language code, file not loaded"},
    {Msg::source_outside_site, MessageKind::error, MessageAt::file, "refusing source outside the site %s"},
    {Msg::no_language_file, MessageKind::error, MessageAt::nothing,
     "no language file in %s: expected one <code>.txt per language, such as en-us.txt"},
    {Msg::create_failed, MessageKind::error, MessageAt::file, "failed to create %s: %s"},
    {Msg::write_failed, MessageKind::error, MessageAt::file, "cannot write %s: %s"},
    {Msg::write_over_source, MessageKind::error, MessageAt::file, "refusing to write %s over its source"},
    {Msg::folder_visited, MessageKind::warning, MessageAt::file,
     "support folder %s already visited, not entered again"},
    {Msg::link_replaced, MessageKind::note, MessageAt::file, "replaced the link %s by a folder"},
    {Msg::link_kept, MessageKind::error, MessageAt::file,
     "cannot replace the link %s by a folder, nothing written below it"},
    {Msg::cant_open, MessageKind::error, MessageAt::file, "cant open %s"},
    {Msg::copy_failed, MessageKind::error, MessageAt::file, "unable to copy file %s: %s"},
    {Msg::copy_outside_site, MessageKind::error, MessageAt::file, "refusing to copy file outside the site %s"},
    {Msg::release_folder_missing, MessageKind::error, MessageAt::nothing, "release folder %s not found"},
    {Msg::no_filesize, MessageKind::error, MessageAt::nothing, "couldn't get filesize for: %s"},
    {Msg::previous_versions_loop, MessageKind::error, MessageAt::line, "PREVIOUS_VERSIONS includes itself"},
    {Msg::still_bold, MessageKind::warning, MessageAt::line, "still bold"},
    {Msg::still_italic, MessageKind::warning, MessageAt::line, "still italic"},
    {Msg::broken_url, MessageKind::warning, MessageAt::line, "broken url %s"},
    {Msg::language_no_tag, MessageKind::warning, MessageAt::file,
     "language code %s has no BCP 47 tag, left out of alternates and sitemaps: add %s=TAG to LANGUAGE_TAGS "
     "or name the file like pt-br.txt"},
    {Msg::language_tag_twice, MessageKind::warning, MessageAt::file,
     "language tag %s is that of %s already, left out of alternates and sitemaps: give it another in "
     "LANGUAGE_TAGS"},
    {Msg::page_in_one_language, MessageKind::warning, MessageAt::file,
     "support page %s exists in this language only: it has no alternates"},
    {Msg::stale_page, MessageKind::warning, MessageAt::file,
     "%s is left from an earlier build, no page of this one: remove it or build with --prune"},
    {Msg::canonical_nowhere, MessageKind::warning, MessageAt::file, "canonical address %s of page %s leads nowhere"},
    {Msg::alternates_no_default, MessageKind::warning, MessageAt::file, "alternate links of page %s name no x-default"},
    {Msg::alternates_no_self, MessageKind::warning, MessageAt::file, "alternate links of page %s leave the page out"},
    {Msg::alternate_nowhere, MessageKind::warning, MessageAt::file, "alternate %s %s of page %s leads nowhere"},
    {Msg::alternate_not_reciprocal, MessageKind::warning, MessageAt::file,
     "alternate %s %s of page %s does not link back"},
    {Msg::sitemaps_relative, MessageKind::warning, MessageAt::nothing,
     "sitemap addresses must be absolute: give an absolute URL root, or set ABSOLUTE_ADDRESSES = \"on\" and "
     "SITE_HOME_URL"},
    {Msg::sitemap_index_kept, MessageKind::warning, MessageAt::nothing,
     "kept the sitemap.xml of %s, which this tool did not write: no sitemap index written"},
    {Msg::robots_kept, MessageKind::note, MessageAt::nothing,
     "kept the robots.txt of %s, which this tool did not write: add the line Sitemap: %s to it"},
    {Msg::unknown_string_hint, MessageKind::warning, MessageAt::file, "unknown string defined %s, did you mean %s"},
    {Msg::malformed_line, MessageKind::warning, MessageAt::line, "malformed line, expected KEY = \"value\""},
    {Msg::defined_again, MessageKind::warning, MessageAt::line, "%s defined again, first at line %s"},
    {Msg::duplicate_code, MessageKind::warning, MessageAt::file, "language code %s given by %s too"},
    {Msg::missing_template, MessageKind::warning, MessageAt::file, "missing template %s, linked from the %s"},
    {Msg::broken_frame_url, MessageKind::warning, MessageAt::file, "broken url %s"},
    {Msg::unknown_macro, MessageKind::warning, MessageAt::line, "unknown macro %s"},
    {Msg::unknown_macro_hint, MessageKind::warning, MessageAt::line, "unknown macro %s, did you mean %s"},
    {Msg::broken_url_hint, MessageKind::warning, MessageAt::line, "broken url %s, did you mean %s"},
    {Msg::missing_page_text, MessageKind::warning, MessageAt::line, "missing page text %s"},
    {Msg::missing_table, MessageKind::warning, MessageAt::file, "missing table, read by the %s macro"},
    {Msg::unclosed_quote, MessageKind::warning, MessageAt::line, "unclosed quote"},
    {Msg::row_fields, MessageKind::warning, MessageAt::line, "row has %s field(s), the header %s"},
    {Msg::still_bold_at_end, MessageKind::warning, MessageAt::line, "still bold at the end of the text"},
    {Msg::still_italic_at_end, MessageKind::warning, MessageAt::line, "still italic at the end of the text"},
    {Msg::item_outside_list, MessageKind::warning, MessageAt::line, "list item outside a list"},
    {Msg::slug_collision, MessageKind::warning, MessageAt::file, "support page %s has the address of %s"},
    {Msg::folder_case, MessageKind::warning, MessageAt::file, "support folder %s differs from %s only by letter case"},
    {Msg::config_syntax, MessageKind::warning, MessageAt::line, "expected KEY = \"value\""},
    {Msg::config_unknown_key, MessageKind::warning, MessageAt::line, "unknown key %s"},
    {Msg::config_unsafe_value, MessageKind::error, MessageAt::line, "unsafe value for %s: %s"},
    {Msg::init_create_failed, MessageKind::error, MessageAt::nothing, "unable to create %s"},
    {Msg::init_not_empty, MessageKind::error, MessageAt::nothing, "%s is not empty"},
    {Msg::init_write_failed, MessageKind::error, MessageAt::nothing, "unable to write into %s"},
    {Msg::write_file_failed, MessageKind::error, MessageAt::nothing, "unable to write %s"},
    {Msg::remove_failed, MessageKind::error, MessageAt::nothing, "unable to remove %s"},
    {Msg::prune_skipped, MessageKind::note, MessageAt::nothing,
     "--prune removed nothing: the run reported %s error(s) reading its sources"},
    {Msg::prune_kept_changed, MessageKind::note, MessageAt::nothing,
     "--prune kept %s: it changed since this tool wrote it"},
    {Msg::prune_kept_unrecorded, MessageKind::note, MessageAt::nothing,
     "--prune kept %s: the manifest holds no size and hash for it"},
    {Msg::prune_kept_link, MessageKind::note, MessageAt::nothing, "--prune kept %s: it is a link or lies below one"},
    {Msg::duplicate_id, MessageKind::note, MessageAt::nothing, "id %s already exists"},
    {Msg::set_file_time_failed, MessageKind::note, MessageAt::nothing, "SetFileTime failed: get last error %s"},
    {Msg::serve_unavailable, MessageKind::note, MessageAt::nothing,
     "maketarnwick: --serve is not available in this build"},
    {Msg::serve_port_taken, MessageKind::note, MessageAt::nothing,
     "maketarnwick: cannot listen on 127.0.0.1:%s: the port is in use or not allowed"},
    {Msg::serving, MessageKind::note, MessageAt::nothing, "serving %s/ (Ctrl-C stops)"},
    {Msg::rebuilt, MessageKind::note, MessageAt::nothing, "rebuilt in %s s; open pages reload"},
    {Msg::rebuilt_unchanged, MessageKind::note, MessageAt::nothing, "rebuilt in %s s; no file changed"},
    {Msg::rebuilding_only, MessageKind::note, MessageAt::nothing,
     "building only %s; the other languages are as the last build left them"},
    {Msg::stopped, MessageKind::note, MessageAt::nothing, "stopped"},
    {Msg::status_language, MessageKind::note, MessageAt::nothing,
     "%s: %s per cent complete (%s of %s items): %s missing, %s untranslated, %s stale, %s orphan"},
    {Msg::status_item, MessageKind::note, MessageAt::nothing, "%s: %s %s %s"},
    {Msg::status_written, MessageKind::note, MessageAt::nothing, "wrote %s"},
    {Msg::unknown_language, MessageKind::error, MessageAt::nothing, "unknown language %s: no language file %s.txt"},
    {Msg::unknown_item, MessageKind::error, MessageAt::nothing,
     "unknown item %s: no such string, page or support page"},
    {Msg::accepted, MessageKind::note, MessageAt::nothing, "accepted %s item(s) of %s in %s"},
    {Msg::po_written, MessageKind::note, MessageAt::nothing, "wrote %s: %s entries for %s"},
    {Msg::po_unparsable, MessageKind::error, MessageAt::line, "cannot read the PO file: %s; nothing imported"},
    {Msg::po_no_language, MessageKind::error, MessageAt::file,
     "the header's Language: names no language of the site (%s); nothing imported"},
    {Msg::po_imported, MessageKind::note, MessageAt::nothing, "imported %s translation(s) into %s file(s) of %s"},
    {Msg::po_unusable, MessageKind::warning, MessageAt::line, "translation of %s not imported: %s"},
    {Msg::check_placeholder_missing, MessageKind::warning, MessageAt::line, "translation of %s lacks %s of the source"},
    {Msg::check_placeholder_added, MessageKind::warning, MessageAt::line,
     "translation of %s adds %s, which the source lacks"},
    {Msg::check_link_changed, MessageKind::warning, MessageAt::line, "translation of %s links to %s, the source to %s"},
    {Msg::check_tags, MessageKind::warning, MessageAt::line, "translation of %s has HTML tags %s, the source %s"},
    {Msg::check_emphasis, MessageKind::warning, MessageAt::line, "translation of %s leaves %s open"},
    {Msg::check_blanks, MessageKind::warning, MessageAt::line,
     "translation of %s has other leading or trailing blanks than the source"},
    {Msg::check_length, MessageKind::warning, MessageAt::line,
     "translation of %s is %s characters long, more than the %s allowed"},
    {Msg::help, MessageKind::plain, MessageAt::nothing,
     "usage:\n"
     "maketarnwick [options] <output folder> <url root>\n"
     "maketarnwick --serve [--port N] [options] <output folder>\n"
     "maketarnwick --init <folder>\n"
     "\n"
     "Builds the site whose language files (*.txt) are in the working folder;\n"
     "maketarnwick.conf there, when present, sets the release data, addresses\n"
     "and endpoints.\n"
     "\n"
     "options:\n"
     "  --help           print this text and exit\n"
     "  --version        print the name and version and exit\n"
     "  --strict         exit with status 2 when the run reported any error or warning\n"
     "  --prune          after the build, remove the files that the previous --prune\n"
     "                   run wrote, this one did not and nobody changed since\n"
     "                   (manifest: .maketarnwick-manifest)\n"
     "  --pedantic       warn of what a plain run keeps silent\n"
     "  --changes <file> write the output files this run added (+), changed (*)\n"
     "                   and removed with --prune (-) into <file>, for a deploy\n"
     "  --incremental    build again only the languages whose sources or output\n"
     "                   files changed since the last --incremental run\n"
     "                   (record: .maketarnwick-record)\n"
     "  --init <folder>  write a minimal working site into a new or empty folder\n"
     "  --serve          build, serve on http://127.0.0.1:PORT and rebuild on changes\n"
     "  --port <N>       the port of --serve (default 8080)\n"
     "  --status [--json] [--html FILE]\n"
     "                   report what each language lacks; --strict: exit 2 when\n"
     "                   anything is missing or stale\n"
     "  --accept <code> [item...]\n"
     "                   record that the translations match the default language\n"
     "  --export-po <code> <file>, --import-po <file>\n"
     "                   a language's translations as a gettext PO file, and back\n"
     "  --               end of the options\n"
     "\n"
     "exit status: 0 when the run completed (even with errors or warnings, unless\n"
     "--strict), 1 when it could not run, 2 with --strict after errors or warnings."},
    {Msg::version, MessageKind::plain, MessageAt::nothing, "maketarnwick 1.0"},
    {Msg::unknown_option, MessageKind::error, MessageAt::nothing, "unknown option %s"},
    {Msg::bad_port, MessageKind::error, MessageAt::nothing, "--port needs a port number from 1 to 65535"},
    {Msg::init_needs_folder, MessageKind::error, MessageAt::nothing, "--init needs a folder"},
    {Msg::option_needs, MessageKind::error, MessageAt::nothing, "%s needs %s"},
    {Msg::changes_needs_file, MessageKind::error, MessageAt::nothing, "--changes needs a file"},
    {Msg::init_done, MessageKind::note, MessageAt::nothing,
     "wrote a new site into %s: build it there with maketarnwick <output folder> <url root>"},
    {Msg::banner, MessageKind::plain, MessageAt::nothing, "maketarnwick: builds the tarnwick web site"},
    {Msg::usage, MessageKind::plain, MessageAt::nothing,
     "\nusage:\nmaketarnwick.exe <output folder> <url root>\n\nexample:\n"
     "maketarnwick.exe c:\\dev\\wendrel\\tarnwick file://c:/dev/wendrel/tarnwick"},
    {Msg::serve_usage, MessageKind::plain, MessageAt::nothing,
     "usage: maketarnwick --serve [--port N] [options] <output folder>"},
    {Msg::output_folder_failed, MessageKind::plain, MessageAt::nothing, "Unable to created output folder"},
    {Msg::unsafe_url_root, MessageKind::error, MessageAt::nothing, "unsafe character '%s' in url root"},
    {Msg::output_is_source, MessageKind::error, MessageAt::nothing, "output folder %s is the source folder %s"},
    {Msg::changes_over_source, MessageKind::error, MessageAt::nothing, "--changes file %s could replace a source"},
    {Msg::out_of_memory, MessageKind::plain, MessageAt::nothing, "out of memory"},
    {Msg::summary, MessageKind::plain, MessageAt::nothing, "%s error(s), %s warning(s)"},
};

const size_t kMessageCount = sizeof kMessages / sizeof kMessages[0];

const MessageDef& message(Msg id) { return kMessages[static_cast<size_t>(id)]; }

bool about_output(Msg id) {
  // A copy that failed names a source that could not be read, which is the
  // sources' part.
  switch (id) {
    case Msg::create_failed:
    case Msg::write_failed:
    case Msg::write_over_source:
    case Msg::link_replaced:
    case Msg::link_kept:
    case Msg::set_file_time_failed:
    case Msg::remove_failed:
    case Msg::write_file_failed: return true;
    default: return false;
  }
}

}  // namespace mt
