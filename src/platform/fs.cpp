// Placeholder until the real implementation lands.
#include "platform/fs.h"

namespace mt {
std::string join_path(std::string_view folder, std::string_view name) { if (folder.empty()) return std::string(name); std::string p(folder); p.push_back(kSep); p.append(name); return p; }
std::string_view file_name_of(std::string_view path) { size_t s = path.rfind(kSep); return s == std::string_view::npos ? path : path.substr(s + 1); }
std::string resolve_source_path(const std::string& path) { return path; }
std::vector<DirEntry> list_txt_files(const std::string&) { return {}; }
bool source_exists(const std::string&) { return false; }
bool read_source_file(const std::string&, std::string*) { return false; }
bool make_folder(const std::string&, int*) { return false; }
bool copy_source_file(const std::string&, const std::string&, int*) { return false; }
TouchResult touch_folder(const std::string&, int*) { return TouchResult::kCannotOpen; }
bool file_size(const std::string&, uint64_t*) { return false; }
int local_year() { return 2026; }
}  // namespace mt
