#include "links/registry.h"

#include <algorithm>

#include "platform/fs.h"
#include "platform/text.h"

namespace mt {

std::string_view LinkRegistry::strip_root(std::string_view url) const {
  if (!url_root_.empty() && url.substr(0, url_root_.size()) == url_root_) url.remove_prefix(url_root_.size());
  return url;
}

void LinkJournal::add(Kind kind, bool twin, int number, std::string_view a, std::string_view b, std::string_view c) {
  calls_.push_back(Call{kind, twin, number, {uint32_t(a.size()), uint32_t(b.size()), uint32_t(c.size())}});
  text_.append(a).append(b).append(c);
}

void LinkRegistry::replay(const LinkJournal& journal) {
  LinkJournal* const keep = journal_;
  journal_ = nullptr;
  std::string_view text = journal.text_;
  using Kind = LinkJournal::Kind;
  for (const LinkJournal::Call& call : journal.calls_) {
    const std::string_view a = text.substr(0, call.sizes[0]);
    const std::string_view b = text.substr(call.sizes[0], call.sizes[1]);
    const std::string_view c = text.substr(call.sizes[0] + call.sizes[1], call.sizes[2]);
    text.remove_prefix(call.sizes[0] + call.sizes[1] + call.sizes[2]);
    switch (call.kind) {
      case Kind::kDeclare: declare(a, std::nullopt, call.twin); break;
      case Kind::kDeclareAnchor: declare(a, b, call.twin); break;
      case Kind::kRecord: record(a, call.number, b); break;
      case Kind::kFrame: record_frame(std::string(a), b, std::string(c)); break;
      case Kind::kHead: record_head(a, b); break;
      case Kind::kAlternates:
        add_alternates(a, std::string(b), std::string(c), journal.sets_[static_cast<size_t>(call.number)]);
        break;
    }
  }
  journal_ = keep;
}

void LinkRegistry::add_alternates(std::string_view source, const std::string& path, const std::string& canonical,
                                  const std::vector<Alternate>& set) {
  if (journal_) {
    journal_->sets_.push_back(set);
    journal_->add(LinkJournal::Kind::kAlternates, false, static_cast<int>(journal_->sets_.size() - 1), source, path,
                  canonical);
  }
  alternate_sets_.add(source, path, canonical, set);
}

void LinkRegistry::declare(std::string_view url, std::optional<std::string_view> anchor, bool twin) {
  if (journal_) {
    journal_->add(anchor ? LinkJournal::Kind::kDeclareAnchor : LinkJournal::Kind::kDeclare, twin, 0, url,
                  anchor.value_or(std::string_view()));
  }
  // The twin, "/" after the URL, is part of the same entry.
  targets_.add(strip_root(url), anchor ? &*anchor : nullptr, twin);
}

void LinkRegistry::record(std::string_view source, int line, std::string_view url) {
  std::string_view relative = strip_root(url);
  if (has_scheme(relative)) return;
  if (relative.find('.') != std::string_view::npos) return;
  if (journal_) journal_->add(LinkJournal::Kind::kRecord, false, line, source, url);
  // A link whose target is known already can never be reported, since
  // targets are never withdrawn; only the others need keeping.
  if (known(relative)) return;
  pending_.push_back(Pending{std::string(source), line, std::string(relative), {}, false});
}

void LinkRegistry::record_frame(const std::string& source, std::string_view url, const std::string& output_file) {
  if (journal_) journal_->add(LinkJournal::Kind::kFrame, false, 0, source, url, output_file);
  // A file at the site root is the same for every language: named once.
  if (!frame_links_.insert((output_file.empty() ? source + '\n' : std::string()) + std::string(url)).second) return;
  std::string_view relative = strip_root(url);
  if (has_scheme(relative)) return;
  if (!output_file.empty()) {
    pending_.push_back(Pending{source, 0, std::string(relative), output_file, true});
    return;
  }
  if (relative.find('.') != std::string_view::npos || known(relative)) return;
  pending_.push_back(Pending{source, 0, std::string(relative), {}, true});
}

void LinkRegistry::record_head(std::string_view source, std::string_view url) {
  if (journal_) journal_->add(LinkJournal::Kind::kHead, false, 0, source, url);
  std::string_view relative = strip_root(url);
  if (has_scheme(relative) || known(relative)) return;
  pending_.push_back(Pending{std::string(source), 0, std::string(relative), {}, true});
}

bool LinkRegistry::known(std::string_view root_relative) const { return targets_.contains(root_relative); }

void LinkRegistry::settle() {
  pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                [this](const Pending& p) { return p.output_file.empty() && known(p.url); }),
                 pending_.end());
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
      const std::string hint = pedantic ? targets_.nearest(p.url, kHintEdits) : std::string();
      if (hint.empty()) diag.report(place, Msg::broken_url, p.url);
      else diag.report(place, Msg::broken_url_hint, p.url, hint);
    }
  }
  alternate_sets_.check(diag, [this](const std::string& path) { return known(path); });
}

}  // namespace mt
