#include "helpers/fixture.h"

#include "lang/strings.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace mt::test {

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "mt-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  path_ = made ? made : "";
  previous_ = fs::current_path().string();
  fs::current_path(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
  fs::remove_all(path_, ignored);
}

void write_file(const std::string& path, const std::string& contents) {
  fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << contents;
}

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return "<missing>";
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

bool exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

std::string full_language_file(const std::string& name, const std::string& extra) {
  std::string text = "_LANGUAGE_NAME = \"" + name + "\"\r\n";
  for (const StringDef& def : kStringTable) text += std::string(def.id) + " = \"" + def.value + "\"\r\n";
  return text + extra;
}

int fixed_year() { return 2026; }

}  // namespace mt::test
