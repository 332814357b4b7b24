#include "platform/output_file.h"

#include <algorithm>
#include <cstring>

namespace mt {

bool OutputFile::open(const std::string& path, FsError* error, bool new_folder) {
  abandon();
  path_ = path;
  matched_ = 0;
  failed_to_create_ = false;
  // Nothing to compare with, to take over or to rename over: a full build
  // saves a look-up, a lock and a rename per page. Whatever stands there
  // after all, or a failure, takes the way below, which reports it.
  if (new_folder && file_.create_in_place(path)) {
    outcome_ = WriteOutcome::kAdded;
    open_ = true;
    return true;
  }
  const OldKind old = old_.open(path);
  outcome_ = old == OldKind::kMissing ? WriteOutcome::kAdded : WriteOutcome::kChanged;
  open_ = old == OldKind::kRegular || start_replacement(error);
  return open_;
}

bool OutputFile::start_replacement(FsError* error) {
  if (file_.open(path_, error)) return true;
  failed_to_create_ = true;
  return false;
}

bool OutputFile::diverge(FsError* error) {
  const uint64_t matched = matched_;
  bool ok = start_replacement(error);
  std::string copy(static_cast<size_t>(std::min<uint64_t>(matched, 1 << 16)), '\0');
  for (uint64_t done = 0; ok && done < matched; done += copy.size()) {
    copy.resize(static_cast<size_t>(std::min<uint64_t>(copy.size(), matched - done)));
    // The old file changing meanwhile (someone else writing it) fails the
    // copy, which keeps it rather than writing a mix of both.
    if (!old_.read_at(done, copy.data(), copy.size())) {
      if (error) *error = {FsError::Kind::kChangedMeanwhile, 0};
      ok = false;
    }
    ok = ok && file_.write(copy.data(), copy.size(), error);
  }
  old_.close();
  return ok;
}

bool OutputFile::matches_old(const char* data, size_t size) {
  // In pieces on the stack: zero filling a buffer the size of the page cost
  // more than comparing it. A page arrives in pieces of about this size.
  char old[1 << 16];
  for (size_t done = 0; done < size;) {
    const size_t piece = std::min(sizeof old, size - done);
    if (!old_.read_at(matched_ + done, old, piece) || std::memcmp(old, data + done, piece) != 0) return false;
    done += piece;
  }
  return true;
}

bool OutputFile::write(const char* data, size_t size, FsError* error) {
  if (!open_) return false;
  if (old_.is_open()) {
    if (matched_ + size <= old_.size() && matches_old(data, size)) {
      matched_ += size;
      return true;
    }
    if (!diverge(error)) return false;
  }
  return file_.write(data, size, error);
}

bool OutputFile::commit(FsError* error) {
  if (!open_) return false;
  open_ = false;
  if (old_.is_open()) {
    if (matched_ == old_.size()) {
      old_.close();
      outcome_ = WriteOutcome::kUnchanged;
      return true;
    }
    // Shorter than the old file: the bytes so far are the whole new file.
    if (!diverge(error)) {
      file_.abandon();
      return false;
    }
  }
  return file_.commit(error);
}

void OutputFile::abandon() {
  open_ = false;
  old_.close();
  file_.abandon();
}

}  // namespace mt
