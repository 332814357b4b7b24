#pragma once
// The one table of the tool's messages. The manual page's DIAGNOSTICS list
// is checked against it (tests/diag/messages_test.cpp), both ways.

#include <cstddef>

namespace mt {

enum class MessageKind {
  error,    // "where: error: text", counts one error
  warning,  // "where: warning: text", counts one warning
  note,     // "where: text", counts nothing
  plain,    // "text" as it is (may span lines), counts nothing
};

/// Where a message points: nothing, a file (or language code), or a file and line.
enum class MessageAt { nothing, file, line };

enum class Msg {
  // Loading the language files.
  unknown_string,
  undefined_string,
  language_name_unset,
  unsafe_path,
  unsafe_character,
  unsafe_code,
  source_outside_site,
  no_language_file,
  // Building the pages.
  create_failed,
  write_failed,
  write_over_source,
  folder_visited,
  link_replaced,
  link_kept,
  cant_open,
  copy_failed,
  copy_outside_site,
  release_folder_missing,
  no_filesize,
  previous_versions_loop,
  still_bold,
  still_italic,
  broken_url,
  // Links between languages (keys of the configuration file).
  language_no_tag,
  language_tag_twice,
  page_in_one_language,
  stale_page,
  canonical_nowhere,
  alternates_no_default,
  alternates_no_self,
  alternate_nowhere,
  alternate_not_reciprocal,
  sitemaps_relative,
  sitemap_index_kept,
  robots_kept,
  // Only under --pedantic.
  unknown_string_hint,
  malformed_line,
  defined_again,
  duplicate_code,
  missing_template,
  broken_frame_url,
  unknown_macro,
  unknown_macro_hint,
  broken_url_hint,
  missing_page_text,
  missing_table,
  unclosed_quote,
  row_fields,
  still_bold_at_end,
  still_italic_at_end,
  item_outside_list,
  slug_collision,
  folder_case,
  // Configuration, init and prune.
  config_syntax,
  config_unknown_key,
  config_unsafe_value,
  init_create_failed,
  init_not_empty,
  init_write_failed,
  write_file_failed,
  remove_failed,
  prune_skipped,
  prune_kept_changed,
  prune_kept_unrecorded,
  prune_kept_link,
  // Counting nothing.
  duplicate_id,
  set_file_time_failed,
  serve_unavailable,
  serve_port_taken,
  serving,
  rebuilt,
  rebuilt_unchanged,
  rebuilding_only,
  stopped,
  // Translators: --status, --accept, PO files and their checks.
  status_language,
  status_item,
  status_written,
  unknown_language,
  unknown_item,
  accepted,
  po_written,
  po_unparsable,
  po_no_language,
  po_imported,
  po_unusable,
  check_placeholder_missing,
  check_placeholder_added,
  check_link_changed,
  check_tags,
  check_emphasis,
  check_blanks,
  check_length,
  // The run itself.
  help,
  version,
  unknown_option,
  bad_port,
  init_needs_folder,
  option_needs,
  changes_needs_file,
  init_done,
  banner,
  usage,
  serve_usage,
  output_folder_failed,
  unsafe_url_root,
  output_is_source,
  changes_over_source,
  out_of_memory,
  summary,
};

struct MessageDef {
  Msg id;
  MessageKind kind;
  MessageAt at;
  // Each "%s" takes the next argument, shown with control bytes escaped;
  // "%%" is a '%'. No final newline: the writer ends every message.
  const char* text;
};

extern const MessageDef kMessages[];
extern const size_t kMessageCount;

const MessageDef& message(Msg id);

/// Whether `id` is about the output folder rather than the sources (a
/// failed write, a link found there): a later build over the same sources
/// need not give it again, so what gave it is built again, not taken.
bool about_output(Msg id);

}  // namespace mt
