#include "platform/codec.h"

#include <cstring>

namespace mt {

namespace {

uint64_t mix(uint64_t h, uint64_t word) {
  h = (h ^ word) * 1099511628211u;
  return h ^ (h >> 29);
}

}  // namespace

void ByteHash::add(std::string_view bytes) {
  if (!carry_.empty()) {
    const size_t take = std::min(bytes.size(), 8 - carry_.size());
    carry_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (carry_.size() < 8) return;
    uint64_t word = 0;
    std::memcpy(&word, carry_.data(), 8);
    h_ = mix(h_, word);
    carry_.clear();
  }
  for (; bytes.size() >= 8; bytes.remove_prefix(8)) {
    uint64_t word = 0;
    std::memcpy(&word, bytes.data(), 8);
    h_ = mix(h_, word);
  }
  carry_.assign(bytes);
}

uint64_t ByteHash::value() const {
  uint64_t h = h_;
  for (char c : carry_) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211u;
  return h;
}

void ComparedFile::start_writing() {
  writing_ = true;
  if (file_.open(path_)) file_.write(old_.data(), matched_);
}

void ComparedFile::write(std::string_view bytes) {
  if (!writing_) {
    if (old_.substr(matched_, bytes.size()) == bytes) {
      matched_ += bytes.size();
      return;
    }
    start_writing();
  }
  file_.write(bytes.data(), bytes.size());
}

bool ComparedFile::finish() {
  if (!writing_ && matched_ == old_.size()) return true;  // the same bytes
  if (!writing_) start_writing();                         // fewer bytes: the old ones' beginning
  return file_.close();
}

}  // namespace mt
