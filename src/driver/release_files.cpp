#include "driver/release_files.h"

#include <set>
#include <utility>

#include "driver/pages.h"
#include "platform/fs.h"

namespace mt {

namespace {

struct ReleaseCopy {
  Build& build;
  std::string source_root;  // the release folder as resolved
  FileId output;            // the output root, never copied into itself
  // Folders entered so far: a link back to a folder above is not a loop.
  std::set<std::pair<uint64_t, uint64_t>> entered;
};

// Copies the files of `relative` (a folder below the release folder, "" for
// itself) and recurses into its sub-folders.
void copy_folder(ReleaseCopy& copy, const std::string& relative) {
  const std::string source = join_path(copy.source_root, relative);
  FileId id;
  if (!copy.build.sources.id(source, &id) || id == copy.output || !copy.entered.insert({id.device, id.number}).second)
    return;
  FsError error;
  const std::string folder = join_path(copy.build.setup.output_root, relative);
  if (!relative.empty() && !make_folder(folder, &error)) {
    copy.build.diag.report({copy.source_root}, Msg::create_failed, PathArg{folder}, error_text(error));
    return;
  }
  for (const DirEntry& entry : copy.build.sources.list_entries(source)) {
    const std::string path = relative.empty() ? entry.name : join_path(relative, entry.name);
    if (entry.is_dir) copy_folder(copy, path);
    else copy_to_output(copy.build, copy.source_root, path, copy.build.setup.output_root);
  }
}

}  // namespace

void copy_release_files(Build& build) {
  if (build.setup.site.release_folder.empty()) return;
  ReleaseCopy copy{build, build.sources.resolve(build.setup.site.release_folder), {}, {}};
  FileId id;
  if (!build.sources.id(copy.source_root, &id)) {
    build.diag.report({}, Msg::release_folder_missing, PathArg{build.setup.site.release_folder});
    return;
  }
  if (build.sources.outside_site(copy.source_root)) {
    build.diag.report({copy.source_root}, Msg::source_outside_site, PathArg{copy.source_root});
    return;
  }
  file_id(build.setup.output_root, &copy.output);
  copy_folder(copy, "");
}

}  // namespace mt
