#pragma once
// The one way an output file is written: compared with the file already
// there while the new bytes arrive, and replaced (through a temporary file
// and a rename) only from the first byte that differs. An unchanged file
// keeps its inode and time, so a deploy by rsync or a mirror sends nothing
// and caches see nothing new.

#include <cstdint>
#include <string>

#include "platform/fs.h"

namespace mt {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { abandon(); }  // never puts an unfinished file in place
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  /// Starts writing `path`; false with `*error` set when nothing stands
  /// there to compare with and the temporary file cannot be created. In a
  /// folder this run made (`new_folder`), where no old file can be, the file
  /// is written in place when nothing stands there after all.
  bool open(const std::string& path, FsError* error, bool new_folder = false);
  /// Appends `size` bytes; false with `*error` set.
  bool write(const char* data, size_t size, FsError* error);
  /// Puts the file in place unless it is unchanged; false with `*error` set
  /// when that failed (the old file is then kept).
  bool commit(FsError* error);
  /// Drops whatever was written; the old file stays.
  void abandon();
  bool is_open() const { return open_; }
  /// Whether a failure so far was the creation of the temporary file.
  bool failed_to_create() const { return failed_to_create_; }
  /// What `commit` did.
  WriteOutcome outcome() const { return outcome_; }

 private:
  /// The bytes matched so far become the start of the replacement.
  bool diverge(FsError* error);
  bool start_replacement(FsError* error);
  /// Whether the old file's next `size` bytes are `data`.
  bool matches_old(const char* data, size_t size);

  std::string path_;
  OldOutput old_;         // open while every byte so far matched it
  uint64_t matched_ = 0;  // bytes equal to the old file's first bytes
  ReplacementFile file_;  // open once a byte differed
  bool open_ = false;
  bool failed_to_create_ = false;
  WriteOutcome outcome_ = WriteOutcome::kAdded;
};

}  // namespace mt
