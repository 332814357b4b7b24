#include "platform/output_file.h"

#include <algorithm>
#include <cstring>

namespace mt {

bool OutputFile::open(const std::string& path, FsError* error) {
  abandon();
  path_ = path;
  matched_ = 0;
  failed_to_create_ = false;
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

bool OutputFile::write(const char* data, size_t size, FsError* error) {
  if (!open_) return false;
  if (old_.is_open()) {
    if (matched_ + size <= old_.size()) {
      scratch_.resize(size);
      if (old_.read_at(matched_, scratch_.data(), size) && std::memcmp(scratch_.data(), data, size) == 0) {
        matched_ += size;
        return true;
      }
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
