#include "chrome/page_file.h"

#include <algorithm>

#include "platform/fs.h"
#include "platform/names.h"
#include "platform/remove.h"
#include "platform/text.h"

namespace mt {

namespace {

bool fenced(Build& build, const std::string& path) {
  const std::string& fence = build.tally.fence;
  if (fence.empty()) return false;
  const std::string relative = relative_output(build.setup.output_root, path);
  // Compared as a file system that ignores case would.
  const bool behind = relative.size() >= fence.size() && equal_no_case(relative.substr(0, fence.size()), fence) &&
                      (relative.size() == fence.size() || relative[fence.size()] == '/');
  if (behind) build.tally.fence_met = true;
  return behind;
}

bool write_page(Build& build, LangBuild& lang, const std::string& path, const PageFrame& frame, const PageBody& body) {
  if (!record_output(build, path, true)) return false;
  FileSink file;
  if (!file.open(path, frame.new_folder)) {
    build.diag.report({lang.source_folder()}, Msg::create_failed, PathArg{path}, error_text(file.error()));
    return false;
  }
  page_header(build, lang, file, frame.title, frame.menu_mark, frame.layout, frame.nav_scrolls, frame.key,
              frame.source);
  body(build, file);
  page_footer(build, lang, file, frame.key, frame.source);
  return close_output(build, lang, file, path);
}

// Whether `path` (ASCII-lowered) lies below `folder` ("" for any) and is
// all ASCII: an edit's paths then name its source the same way, whatever
// the file system makes of letter case, and only such a page is written by
// its language build alone. (Template names are refused with "." or ".."
// parts, and support names come from listings.)
bool plain_below(std::string_view path, std::string_view folder) {
  if (!folder.empty() && !(path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/')) {
    return false;
  }
  return all_ascii(path);
}

// Whether the page may be taken instead of rendered next time: it wrote
// into its own language's folder (the root build: into no language's
// folder) and said nothing about the output folder.
bool reusable(const Build& build, const LangBuild& lang, const PagePart& part) {
  if (!plain_below(part.source, lang.source_folder())) return false;
  if (!plain_below(part.output, ascii_lower(lang.folder_code))) return false;
  if (lang.folder_code.empty()) {
    const std::string_view top = std::string_view(part.output).substr(0, part.output.find('/'));
    for (const Language& language : build.setup.languages) {
      if (equal_no_case(top, language.code)) return false;
    }
  }
  return std::none_of(part.held.begin(), part.held.end(), [](const HeldMessage& m) { return about_output(m.id); });
}

// Gives `build` what rendering the page gave: its messages (a --pedantic
// place warned of already by an earlier page is not warned of again), and,
// for a page taken rather than rendered, its declarations, links and files.
void merge_part(Build& build, LangBuild& lang, const PagePart& part, bool taken) {
  std::vector<int> gates;
  for (const PedanticPlace& place : part.places) {
    const bool due = build.tally.pedantic_places.insert(place).second;
    if (due) build.tally.pedantic_gates.push_back(place);
    gates.push_back(due ? static_cast<int>(build.tally.pedantic_gates.size()) - 1 : -2);
  }
  for (const HeldMessage& message : part.held) {
    HeldMessage held = message;
    if (message.gate >= 0) held.gate = gates[static_cast<size_t>(message.gate)];
    if (held.gate == -2) continue;
    if (build.diag.hold) {
      build.diag.held.push_back(std::move(held));
    } else {
      build.diag.replay(held);
    }
  }
  if (taken) {
    build.links.replay(part.links);
    for (const std::string& file : part.files) lang.files.add(file);
  }
  build.tally.written.insert(build.tally.written.end(), part.written.begin(), part.written.end());
  for (int i = 0; i < part.pages; ++i) progress_page(build.tally.progress);
}

// Renders the page on its own: its messages, --pedantic places and files
// written gathered apart, its declarations and links noted as they go to
// the language's registry, then given to the language build.
bool render_part(Build& build, LangBuild& lang, const std::string& path, const PageFrame& frame, const PageBody& body,
                 std::shared_ptr<PagePart> part) {
  Diagnostics diag{.hold = true};
  BuildTally tally;
  tally.fence = build.tally.fence;
  Build own{build.setup, diag, build.links, build.sources, build.collator, build.year, tally};
  build.links.log_to(&part->links);
  lang.files.log_to(&part->files);
  std::bitset<kStringCount>* outside = lang.strings_read;
  lang.strings_read = &part->strings;
  const bool written = write_page(own, lang, path, frame, body);
  lang.strings_read = outside;
  build.links.log_to(nullptr);
  lang.files.log_to(nullptr);
  part->links.shrink();
  part->held = std::move(diag.held);
  part->places = std::move(tally.pedantic_gates);
  part->written = std::move(tally.written);
  part->pages = tally.progress.done;
  part->shared_read.assign(tally.shared_read.begin(), tally.shared_read.end());
  part->reusable = reusable(build, lang, *part);
  // A language build that met its fence is built again and its pages
  // dropped, so none of them is ever taken. The release sizes serve the
  // build record alone, which keeps no pages.
  if (tally.fence_met) build.tally.fence_met = true;
  build.tally.sizes_read.merge(tally.sizes_read);
  build.tally.shared_read.merge(tally.shared_read);
  build.tally.changes.merge(tally.changes);
  merge_part(build, lang, *part, false);
  lang.parts->parts.push_back(std::move(part));
  return written;
}

}  // namespace

std::shared_ptr<const PagePart> PageParts::find(const std::string& output, const std::string& source) {
  if (!last) return nullptr;
  if (!indexed_) {
    indexed_ = true;
    // Two pages that wrote one file (a slug or template name twice): the
    // later wins, so neither may be taken while the other is rendered.
    std::unordered_map<std::string_view, int> writers;
    for (const auto& part : *last) ++writers[part->output];
    for (size_t i = 0; i < last->size(); ++i) {
      const PagePart& part = *(*last)[i];
      if (writers[part.output] == 1) index_.emplace(part.output + '\n' + part.source, i);
    }
  }
  const auto found = index_.find(output + '\n' + source);
  return found == index_.end() ? nullptr : (*last)[found->second];
}

bool write_framed_page(Build& build, LangBuild& lang, const std::string& path, const PageFrame& frame,
                       const PageBody& body) {
  PageParts* parts = lang.parts;
  if (!parts) return write_page(build, lang, path, frame, body);
  auto part = std::make_shared<PagePart>();
  part->output = ascii_lower(relative_output(build.setup.output_root, path));
  part->source = ascii_lower(build.sources.resolve(frame.source));
  std::shared_ptr<const PagePart> last = parts->find(part->output, part->source);
  const auto changed = [parts](const std::string& read) { return parts->changed->contains(read); };
  FileId there;  // a page file removed by hand is written again
  if (last && last->reusable && !frame.new_folder && (last->strings & parts->changed_strings).none() &&
      parts->changed && !changed(part->source) &&
      std::none_of(last->shared_read.begin(), last->shared_read.end(), changed) && file_id(path, &there)) {
    merge_part(build, lang, *last, true);
    parts->parts.push_back(std::move(last));
    ++parts->taken;
    return false;
  }
  return render_part(build, lang, path, frame, body, std::move(part));
}

PageFolder make_page_folder(Build& build, const LangBuild& lang, const std::string& folder, bool parent_new) {
  if (fenced(build, folder)) return PageFolder::kRefused;
  // A folder that cannot be made shows when its page cannot be created.
  const OutputFolder made = make_output_folder(folder, parent_new);
  if (made == OutputFolder::kReplaced) build.diag.report({lang.source_folder()}, Msg::link_replaced, PathArg{folder});
  if (made == OutputFolder::kLinkKept) build.diag.report({lang.source_folder()}, Msg::link_kept, PathArg{folder});
  if (made == OutputFolder::kLinkKept) return PageFolder::kRefused;
  return made == OutputFolder::kNew ? PageFolder::kNew : PageFolder::kThere;
}

bool record_output(Build& build, const std::string& path, bool page) {
  if (fenced(build, path)) return false;
  if (page) progress_page(build.tally.progress);
  if (build.setup.keep_written) build.tally.written.push_back(relative_output(build.setup.output_root, path));
  return true;
}

void note_change(Build& build, const std::string& path, WriteOutcome outcome) {
  if (build.setup.list_changes) build.tally.changes.note(relative_output(build.setup.output_root, path), outcome);
}

bool close_output(Build& build, const LangBuild& lang, FileSink& file, const std::string& path) {
  if (!file.close()) {
    // Creating the file waits for its first changed byte, so a folder
    // where it cannot be created shows here too.
    const Msg id = file.failed_to_create() ? Msg::create_failed : Msg::write_failed;
    build.diag.report({lang.source_folder()}, id, PathArg{path}, error_text(file.error()));
    return false;
  }
  note_change(build, path, file.outcome());
  return file.outcome() != WriteOutcome::kUnchanged;
}

}  // namespace mt
