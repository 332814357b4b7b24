#include "driver/build_record.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "diag/messages.h"
#include "platform/codec.h"
#include "platform/fs.h"
#include "platform/sink.h"

namespace mt {

namespace {

// The first line names the format; a record of another version is not read.
constexpr std::string_view kMagic = "maketarnwick build record 1\n";

// A source changed within this long before the stamps were taken may change
// again without its stamp changing (file systems keep times in steps of up
// to two seconds): its bytes are hashed too, and compared next time.
constexpr uint64_t kRacyNs = 2'000'000'000;

// Records are written in pieces of about this size.
constexpr size_t kPiece = 1 << 20;

uint64_t hash_of(std::string_view bytes) {
  ByteHash hash;
  hash.add(bytes);
  return hash.value();
}

// What else a record must have been made with: the same program and the
// same options.
std::string record_key(const BuildConfig& config) {
  std::string key = executable_identity();
  for (const std::string* part : {&config.source_folder, &config.output_root, &config.url_root}) {
    key += '\n';
    key += *part;
  }
  key += config.pedantic ? "\npedantic" : "\n";
  key += config.prune ? "\nprune" : "\n";
  return key;
}

// The hash of a source's bytes; never 0, which marks no hash. A source
// that cannot be read hashes as empty, so one that can again differs.
uint64_t bytes_hash(const SourceRoot& sources, const std::string& path) {
  std::string bytes;
  if (!sources.read_file(path, &bytes)) bytes.clear();
  return hash_of(bytes) | 1;
}

// Each unit's language code, in the order the build runs them: every
// language, then the root build.
std::vector<std::string> unit_codes(const BuildSetup& setup) {
  std::vector<std::string> codes;
  for (const Language& language : setup.languages) codes.push_back(language.code);
  if (setup.root_language >= 0) codes.push_back(setup.languages[static_cast<size_t>(setup.root_language)].code);
  return codes;
}

void write_stamp(ByteWriter& out, const FileStamp& stamp) {
  out.number(stamp.size);
  out.number(stamp.modified);
  out.number(stamp.changed);
  out.number(stamp.number);
  out.number(stamp.folder ? 1 : 0);
}

FileStamp read_stamp(ByteReader& in) {
  FileStamp stamp;
  stamp.size = in.number();
  stamp.modified = in.number();
  stamp.changed = in.number();
  stamp.number = in.number();
  stamp.folder = in.number() != 0;
  return stamp;
}

// A message line as the writer makes them: no control byte but line ends
// and tabs, so a damaged record cannot send the terminal anything else.
bool plain_line(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\r' || c == '\t';
  });
}

void write_unit(ByteWriter& out, const KeptBuild::Unit& unit, std::string_view links) {
  out.number(unit.written.size());
  for (size_t i = 0; i < unit.written.size(); ++i) {
    out.text(unit.written[i]);
    write_stamp(out, unit.stamps[i]);
  }
  out.number(unit.held.size());
  for (const HeldMessage& message : unit.held) {
    out.text(message.line);
    out.number(static_cast<uint64_t>(message.id));
    out.number(static_cast<uint64_t>(message.gate + 1));
  }
  out.number(unit.places.size());
  for (const PedanticPlace& place : unit.places) {
    out.number(static_cast<uint64_t>(place.check));
    out.text(place.path);
    out.number(static_cast<uint64_t>(place.line));
  }
  out.number(unit.sizes_read.size());
  for (const auto& [name, size] : unit.sizes_read) {
    out.text(name);
    out.number(static_cast<uint64_t>(size + 1));
  }
  out.number(unit.reusable ? 1 : 0);
  out.text(links);
}

bool read_messages(ByteReader& in, KeptBuild::Unit& unit) {
  for (uint64_t n = in.count(); n > 0 && !in.failed(); --n) {
    HeldMessage message;
    message.line = in.text();
    const uint64_t id = in.number();
    const uint64_t gate = in.number();
    if (id >= kMessageCount || gate > INT32_MAX || !plain_line(message.line)) return false;
    message.id = static_cast<Msg>(id);
    message.gate = static_cast<int>(gate) - 1;
    unit.held.push_back(std::move(message));
  }
  return !in.failed();
}

bool read_unit(ByteReader& in, KeptBuild::Unit& unit) {
  for (uint64_t n = in.count(); n > 0 && !in.failed(); --n) {
    unit.written.emplace_back(in.text());
    unit.stamps.push_back(read_stamp(in));
  }
  if (!read_messages(in, unit)) return false;
  for (uint64_t n = in.count(); n > 0 && !in.failed(); --n) {
    const uint64_t check = in.number();
    PedanticPlace place{static_cast<PedanticPlace::Check>(check), std::string(in.text()), 0};
    const uint64_t line = in.number();
    if (check > static_cast<uint64_t>(PedanticPlace::Check::kSupportTree) || line > INT32_MAX) return false;
    place.line = static_cast<int>(line);
    unit.places.push_back(std::move(place));
  }
  for (const HeldMessage& message : unit.held) {
    if (message.gate >= static_cast<int>(unit.places.size())) return false;
  }
  for (uint64_t n = in.count(); n > 0 && !in.failed(); --n) {
    std::string name(in.text());
    unit.sizes_read.emplace(std::move(name), static_cast<int64_t>(in.number() - 1));  // 0 stands for -1
  }
  unit.reusable = in.number() == 1;
  unit.links_record = in.text();
  ByteReader links(unit.links_record);
  return !in.failed() && unit.links.decode(links) && links.at_end();
}

// Whether a file listed in both listings changed: its stamp, or for one
// stamped too soon after a change, its bytes. A folder's own stamp tells
// only that entries came or went, which the listings show themselves.
bool entry_changed(const SourceRoot& sources, const TreeEntry& before, const TreeEntry& now) {
  if (before.stamp.folder && now.stamp.folder) return false;
  if (!(before.stamp == now.stamp)) return true;
  if (before.bytes_hash == 0) return false;
  return (now.bytes_hash != 0 ? now.bytes_hash : bytes_hash(sources, now.path)) != before.bytes_hash;
}

// The paths that differ between two sorted listings (added, removed or
// changed).
std::vector<std::string> changed_paths(const SourceRoot& sources, const std::vector<TreeEntry>& before,
                                       const std::vector<TreeEntry>& now) {
  std::vector<std::string> paths;
  size_t i = 0, j = 0;
  while (i < before.size() || j < now.size()) {
    if (j == now.size() || (i < before.size() && before[i].path < now[j].path)) {
      paths.push_back(before[i++].path);
    } else if (i == before.size() || now[j].path < before[i].path) {
      paths.push_back(now[j++].path);
    } else {
      if (entry_changed(sources, before[i], now[j])) paths.push_back(now[j].path);
      ++i, ++j;
    }
  }
  return paths;
}

// Whether the files `unit` wrote, the folders they are in and the release
// files whose sizes its pages show are as the record says.
bool outputs_as_left(const std::string& root, const KeptBuild::Unit& unit) {
  if (!unit.reusable || unit.stamps.size() != unit.written.size()) return false;
  std::set<std::string_view> folders;
  for (size_t i = 0; i < unit.written.size(); ++i) {
    // A file the build meant to write but could not (a copy whose source is
    // missing) has no stamp: it must still be missing.
    FileStamp stamp;
    if (!stamp_path(join_path(root, unit.written[i]), &stamp)) stamp = {};
    if (!(stamp == unit.stamps[i])) return false;
    if (stamp == FileStamp{}) continue;
    const std::string_view path = unit.written[i];
    for (size_t slash = path.rfind('/'); slash != std::string_view::npos && slash > 0;
         slash = path.rfind('/', slash - 1)) {
      if (!folders.insert(path.substr(0, slash)).second) break;  // and the folders above it
    }
  }
  for (std::string_view folder : folders) {
    FileStamp stamp;
    if (!stamp_path(join_path(root, folder), &stamp) || !stamp.folder) return false;  // a link now, or gone
  }
  for (const auto& [name, size] : unit.sizes_read) {
    uint64_t now = 0;
    if ((file_size(join_path(root, name), &now) ? static_cast<int64_t>(now) : -1) != size) return false;
  }
  return true;
}

// Reads the record's units into `kept`, and its source stamps; false when
// it is not a record of this program and these options.
bool read_record(std::string_view bytes, const std::string& key, size_t units, KeptBuild& kept,
                 std::vector<TreeEntry>* sources) {
  if (bytes.size() < kMagic.size() + 8 || bytes.substr(0, kMagic.size()) != kMagic) return false;
  const std::string_view body = bytes.substr(0, bytes.size() - 8);
  uint64_t stored = 0;
  for (size_t i = 0; i < 8; ++i) {
    stored |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[body.size() + i])) << (8 * i);
  }
  return stored == hash_of(body) && parse_record_body(body.substr(kMagic.size()), key, units, kept, sources);
}

}  // namespace

bool parse_record_body(std::string_view body, const std::string& key, size_t units, KeptBuild& kept,
                       std::vector<TreeEntry>* sources) {
  ByteReader in(body);
  if (in.text() != key) return false;
  kept.shared = in.text();
  for (uint64_t n = in.count(); n > 0 && !in.failed(); --n) {
    std::string path(in.text());
    const FileStamp stamp = read_stamp(in);
    sources->push_back({std::move(path), stamp, in.number()});
  }
  if (in.count() != units) return false;
  kept.units.resize(units);
  for (KeptBuild::Unit& unit : kept.units) {
    if (!read_unit(in, unit)) return false;
  }
  return !in.failed() && in.at_end();
}

SourceStamps stamp_sources(const SourceRoot& sources, const BuildConfig& config) {
  SourceStamps stamps;
  std::vector<std::string> excluded;
  for (const std::string* path : {&config.output_root, &config.changes_file}) {
    if (std::string below = path->empty() ? "" : path_below_root(sources, *path); !below.empty()) {
      excluded.push_back(std::move(below));
    }
  }
  stamps.taken_at = wall_clock_ns();
  stamps.known = stamp_tree(sources, excluded, &stamps.entries);
  for (TreeEntry& entry : stamps.entries) {
    const FileStamp& s = entry.stamp;
    if (!s.folder && std::max(s.modified, s.changed) + kRacyNs >= stamps.taken_at) {
      entry.bytes_hash = bytes_hash(sources, entry.path);
    }
  }
  return stamps;
}

void load_build_record(const SourceRoot& sources, const BuildSetup& setup, const BuildConfig& config,
                       const SourceStamps& stamps, KeptBuild& kept) {
  kept.whole = false;
  std::vector<TreeEntry> before;
  const std::vector<std::string> codes = unit_codes(setup);
  if (!stamps.known || !read_named_file(join_path(config.output_root, kRecordName), &kept.record) ||
      !read_record(kept.record, record_key(config), codes.size(), kept, &before)) {
    kept.units.clear();
    std::string().swap(kept.record);  // of no use but to be compared with: the new one differs
    return;
  }
  kept.whole = true;
  std::vector<std::string> changed = changed_paths(sources, before, stamps.entries);
  // No source changed: every language may be taken (to the watch, an empty
  // list means one that was lost).
  kept.next = changed.empty() ? RebuildScope{false, {}, {}} : scope_of(WatchChanges{false, std::move(changed)});
  for (size_t i = 0; i < codes.size() && !kept.next.all; ++i) {
    if (kept.next.codes.contains(codes[i])) continue;
    if (!outputs_as_left(config.output_root, kept.units[i])) kept.next.codes.insert(codes[i]);
  }
}

void save_build_record(Build& build, const BuildConfig& config, const SourceStamps& sources, KeptBuild& kept) {
  const std::string path = join_path(config.output_root, kRecordName);
  // Checked, hashed and written a piece at a time: a large site's record
  // would otherwise be held twice over, the old and the new.
  ComparedFile file(path, kept.record);
  ByteHash hash;
  ByteWriter out;
  auto flush = [&](size_t at_least) {
    if (out.bytes().size() < at_least) return;
    hash.add(out.bytes());
    file.write(out.bytes());
    out.bytes().clear();
  };
  out.bytes() = kMagic;
  // A record that cannot say what changed is one no build takes anything
  // from: another program's key.
  bool usable = sources.known;
  for (const KeptBuild::Unit& unit : kept.units) usable = usable && (unit.from_record() || unit.links.encodable());
  out.text(usable ? record_key(config) : std::string());
  out.text(kept.shared);
  out.number(sources.entries.size());
  for (const TreeEntry& entry : sources.entries) {
    out.text(entry.path);
    write_stamp(out, entry.stamp);
    out.number(entry.bytes_hash);
    flush(kPiece);
  }
  out.number(kept.units.size());
  for (KeptBuild::Unit& unit : kept.units) {
    if (unit.stamps.size() != unit.written.size()) {
      unit.stamps.assign(unit.written.size(), FileStamp{});
      for (size_t i = 0; i < unit.written.size(); ++i) {
        stamp_path(join_path(config.output_root, unit.written[i]), &unit.stamps[i]);
      }
    }
    unit.reusable = std::none_of(unit.held.begin(), unit.held.end(),
                                 [](const HeldMessage& message) { return about_output(message.id); });
    ByteWriter links;
    if (!unit.from_record() && usable) unit.links.encode(links);
    write_unit(out, unit, unit.from_record() ? unit.links_record : std::string_view(links.bytes()));
    flush(kPiece);
  }
  flush(0);
  const uint64_t sum = hash.value();
  for (size_t i = 0; i < 8; ++i) out.bytes() += static_cast<char>((sum >> (8 * i)) & 0xff);
  file.write(out.bytes());
  if (!file.finish()) build.diag.report({}, Msg::write_file_failed, PathArg{path});
}

}  // namespace mt
