#include "chrome/page_file.h"

#include "platform/fs.h"
#include "platform/names.h"
#include "platform/remove.h"

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

}  // namespace

bool write_framed_page(Build& build, LangBuild& lang, const std::string& path, const PageFrame& frame,
                       const std::function<void(Sink& out)>& body) {
  if (!record_output(build, path, true)) return false;
  FileSink file;
  if (!file.open(path, frame.new_folder)) {
    build.diag.report({lang.source_folder()}, Msg::create_failed, PathArg{path}, error_text(file.error()));
    return false;
  }
  page_header(build, lang, file, frame.title, frame.menu_mark, frame.layout, frame.nav_scrolls, frame.key,
              frame.source);
  body(file);
  page_footer(build, lang, file, frame.key, frame.source);
  return close_output(build, lang, file, path);
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
