#pragma once
// Test helpers: a temporary working folder and small file utilities.

#include <string>

namespace mt::test {

/// A fresh temporary folder that becomes the working folder for the test's
/// lifetime; removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

/// Writes `contents` to `path` (relative to the working folder), creating
/// parent folders.
void write_file(const std::string& path, const std::string& contents);
/// The contents of `path`, or "<missing>" when it cannot be read.
std::string read_file(const std::string& path);
bool exists(const std::string& path);
/// A language file that defines `_LANGUAGE_NAME` and every string with its
/// built-in default, so loading it prints nothing; `extra` lines follow.
std::string full_language_file(const std::string& name, const std::string& extra = "");

/// The year that tests pin the copyright line to.
int fixed_year();

}  // namespace mt::test
