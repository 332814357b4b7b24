#include "links/registry.h"

#include <algorithm>
#include <cstdint>

#include "platform/fs.h"
#include "platform/text.h"

namespace mt {

std::string_view LinkRegistry::strip_root(std::string_view url) const {
  if (!url_root_.empty() && url.substr(0, url_root_.size()) == url_root_) url.remove_prefix(url_root_.size());
  return url;
}

RegistryLog::Span RegistryLog::keep(std::string_view text) {
  if (text.size() > UINT32_MAX || texts_.size() > UINT32_MAX - text.size()) out_of_memory();
  const Span span{static_cast<uint32_t>(texts_.size()), static_cast<uint32_t>(text.size())};
  texts_ += text;
  return span;
}

void RegistryLog::add(Op op, int line, bool twin, std::string_view a, std::string_view b, std::string_view c) {
  // A page's links mostly repeat its source, its headings its URL: a text
  // the last entry of the same kind held in the same place is kept once.
  Entry entry{op, twin, line, {}};
  const std::string_view texts[] = {a, b, c};
  int& last = last_[static_cast<size_t>(op)];
  for (size_t i = 0; i < 3; ++i) {
    const Span* before = last < 0 ? nullptr : &entries_[static_cast<size_t>(last)].text[i];
    entry.text[i] = before && text(*before) == texts[i] ? *before : keep(texts[i]);
  }
  last = static_cast<int>(entries_.size());
  entries_.push_back(entry);
}

void LinkRegistry::replay(const RegistryLog& log) {
  using Op = RegistryLog::Op;
  log.each([this](Op op, int line, bool twin, std::string_view a, std::string_view b, std::string_view c) {
    switch (op) {
      case Op::kDeclare: targets_.add(a, nullptr, twin); return;
      case Op::kDeclareAnchor: targets_.add(a, &b, twin); return;
      case Op::kRecord: record_relative(a, line, b); return;
      case Op::kFrame: record_frame(std::string(a), b, std::string(c)); return;
      case Op::kHead: record_head_relative(a, b); return;
    }
  });
}

void LinkRegistry::declare(std::string_view url, std::optional<std::string_view> anchor, bool twin) {
  const std::string_view relative = strip_root(url);
  if (log_) {
    log_->add(anchor ? RegistryLog::Op::kDeclareAnchor : RegistryLog::Op::kDeclare, 0, twin, relative,
              anchor.value_or(""));
  }
  // The twin, "/" after the URL, is part of the same entry.
  targets_.add(relative, anchor ? &*anchor : nullptr, twin);
}

void LinkRegistry::record(std::string_view source, int line, std::string_view url) {
  std::string_view relative = strip_root(url);
  if (has_scheme(relative)) return;
  if (relative.find('.') != std::string_view::npos) return;
  if (log_) log_->add(RegistryLog::Op::kRecord, line, false, source, relative);
  record_relative(source, line, relative);
}

void LinkRegistry::record_relative(std::string_view source, int line, std::string_view relative) {
  // A link whose target is known already can never be reported, since
  // targets are never withdrawn; only the others need keeping.
  if (known(relative)) return;
  pending_.push_back(Pending{std::string(source), line, std::string(relative), {}, false, {}});
}

void LinkRegistry::record_frame(const std::string& source, std::string_view url, const std::string& output_file) {
  if (log_) log_->add(RegistryLog::Op::kFrame, 0, false, source, url, output_file);
  // A file at the site root is the same for every language: named once.
  std::string key = (output_file.empty() ? source + '\n' : std::string()) + std::string(url);
  if (!frame_links_.insert(key).second) return;
  std::string_view relative = strip_root(url);
  if (has_scheme(relative)) return;
  if (!output_file.empty()) {
    pending_.push_back(Pending{source, 0, std::string(relative), output_file, true, std::move(key)});
    return;
  }
  if (relative.find('.') != std::string_view::npos || known(relative)) return;
  pending_.push_back(Pending{source, 0, std::string(relative), {}, true, std::move(key)});
}

void LinkRegistry::record_head(std::string_view source, std::string_view url) {
  const std::string_view relative = strip_root(url);
  if (log_) log_->add(RegistryLog::Op::kHead, 0, false, source, relative);
  record_head_relative(source, relative);
}

void LinkRegistry::record_head_relative(std::string_view source, std::string_view relative) {
  if (has_scheme(relative) || known(relative)) return;
  pending_.push_back(Pending{std::string(source), 0, std::string(relative), {}, true, {}});
}

bool LinkRegistry::known(std::string_view root_relative) const {
  if (targets_.contains(root_relative)) return true;
  return std::any_of(borrowed_.begin(), borrowed_.end(),
                     [&](const TargetSet* targets) { return targets->contains(root_relative); });
}

void LinkRegistry::settle() {
  pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                [this](const Pending& p) { return p.output_file.empty() && known(p.url); }),
                 pending_.end());
}

void LinkRegistry::absorb(LinkRegistry&& part) {
  targets_.merge(std::move(part.targets_));
  borrowed_.insert(borrowed_.end(), part.borrowed_.begin(), part.borrowed_.end());
  // A frame link an earlier part recorded already was never recorded here.
  for (Pending& p : part.pending_) {
    if (p.frame_key.empty() || !frame_links_.contains(p.frame_key)) pending_.push_back(std::move(p));
  }
  frame_links_.merge(part.frame_links_);
  alternate_sets_.absorb(part.alternate_sets_);
  settle();
}

void LinkRegistry::absorb(const LinkRegistry& part) {
  borrowed_.push_back(&part.targets_);
  borrowed_.insert(borrowed_.end(), part.borrowed_.begin(), part.borrowed_.end());
  for (const Pending& p : part.pending_) {
    if (p.frame_key.empty() || !frame_links_.contains(p.frame_key)) pending_.push_back(p);
  }
  frame_links_.insert(part.frame_links_.begin(), part.frame_links_.end());
  alternate_sets_.absorb(part.alternate_sets_);
  settle();
}

bool LinkRegistry::encode(ByteWriter& out) const {
  if (!encodable()) return false;
  targets_.encode(out);
  out.number(pending_.size());
  for (const Pending& p : pending_) {
    out.text(p.source);
    out.number(static_cast<uint64_t>(p.line));
    out.text(p.url);
    out.text(p.output_file);
    out.number(p.frame ? 1 : 0);
    out.text(p.frame_key);
  }
  out.number(frame_links_.size());
  for (const std::string& key : frame_links_) out.text(key);
  return true;
}

bool LinkRegistry::decode(ByteReader& in) {
  if (!targets_.decode(in)) return false;
  for (uint64_t n = in.count(); n > 0 && !in.failed(); --n) {
    Pending p;
    p.source = in.text();
    const uint64_t line = in.number();
    p.url = in.text();
    p.output_file = in.text();
    p.frame = in.number() != 0;
    p.frame_key = in.text();
    if (line > INT32_MAX) return false;
    p.line = static_cast<int>(line);
    pending_.push_back(std::move(p));
  }
  for (uint64_t n = in.count(); n > 0 && !in.failed(); --n) frame_links_.emplace_hint(frame_links_.end(), in.text());
  return !in.failed();
}

void LinkRegistry::take_borrowed() {
  for (const TargetSet* targets : borrowed_) targets_.merge(*targets);
  borrowed_.clear();
}

void LinkRegistry::final_check(Diagnostics& diag, bool pedantic) {
  // Two edits catch a typo, a doubled or a missing letter, a '/' too many.
  constexpr int kHintEdits = 2;
  for (const Pending& p : pending_) {
    if (!p.output_file.empty()) {
      FileId id;
      if (!file_id(p.output_file, &id)) diag.report({p.source}, Msg::broken_frame_url, p.url);
    } else if (p.frame && !known(p.url)) {
      diag.report({p.source}, Msg::broken_frame_url, p.url);
    } else if (!known(p.url)) {
      const Where place{pedantic ? std::string_view(p.source) : file_name_of(p.source), p.line};
      if (pedantic) take_borrowed();
      const std::string hint = pedantic ? targets_.nearest(p.url, kHintEdits) : std::string();
      if (hint.empty()) diag.report(place, Msg::broken_url, p.url);
      else diag.report(place, Msg::broken_url_hint, p.url, hint);
    }
  }
  alternate_sets_.check(diag, [this](const std::string& path) { return known(path); });
}

}  // namespace mt
