#include "site/manifest.h"

#include <algorithm>
#include <charconv>

#include "platform/fs.h"
#include "platform/lines.h"
#include "platform/served_files.h"
#include "platform/sink.h"
#include "platform/text.h"

namespace mt {

namespace {

constexpr std::string_view kHeader = "# maketarnwick manifest: size, FNV-1a 64 hash, path of each file written\n";
constexpr const char* kHex = "0123456789abcdef";

bool plain_relative(std::string_view path) {
  if (path.empty() || path == kManifestName || leaves_folder(path)) return false;
  // Where '\' and ':' separate or name drives and streams, the tool never
  // writes them into a name.
  if (path.find('\0') != std::string_view::npos || has_reserved_name_byte(path)) {
    return false;
  }
  for (size_t start = 0; start <= path.size();) {
    size_t end = std::min(path.find('/', start), path.size());
    std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == ".") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::string escape_path(std::string_view path) {
  std::string out;
  for (char c : path) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F && c != '\\') {
      out += c;
    } else {
      out += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return out;
}

namespace {

std::string unescaped(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned byte = 0;
    const char* digits = text.data() + i + 2;
    if (text.substr(i, 2) == "\\x" && i + 4 <= text.size() &&
        std::from_chars(digits, digits + 2, byte, 16).ptr == digits + 2) {
      out += static_cast<char>(byte);
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

// "SIZE HASH PATH": the record and the path; false for a line of another
// shape, which is a path alone.
bool split_record(std::string_view line, FileDigest* record, std::string_view* path) {
  const char* end = line.data() + line.size();
  auto [after_size, size_error] = std::from_chars(line.data(), end, record->size);
  if (size_error != std::errc() || end - after_size < 19 || *after_size != ' ' || after_size[17] != ' ') return false;
  std::string_view hash(after_size + 1, 16);
  if (hash.find_first_not_of(kHex) != hash.npos) return false;
  std::from_chars(hash.data(), hash.data() + hash.size(), record->hash, 16);
  *path = std::string_view(after_size + 18, static_cast<size_t>(end - after_size - 18));
  return true;
}

}  // namespace

Manifest parse_manifest(std::string_view text) {
  Manifest manifest;
  // One line per '\n', however long; a NUL stays, so that line names nothing.
  TextLines lines(text, LineRules{SIZE_MAX, false, false});
  TextLine piece;
  while (lines.next(&piece)) {
    std::string_view line = piece.text;
    if (line.starts_with('#')) continue;
    FileDigest record;
    std::string_view path;
    if (split_record(line, &record, &path)) {
      std::string name = unescaped(path);
      if (plain_relative(name)) manifest[name] = record;
    } else if (plain_relative(line)) {
      manifest.try_emplace(std::string(line));
    }
  }
  return manifest;
}

std::string format_manifest(const Manifest& manifest) {
  std::string text(kHeader);
  for (const auto& [path, record] : manifest) {
    if (!record) continue;
    std::string hash(16, '0');
    for (size_t i = 0; i < 16; ++i) hash[i] = kHex[(record->hash >> (60 - 4 * i)) & 15];
    text += std::to_string(record->size) + ' ' + hash + ' ' + escape_path(path) + '\n';
  }
  return text;
}

Manifest read_manifest(const std::string& output_root) {
  // The output folder is seldom inside the working folder, where source
  // reads are confined: the manifest is read as a file of the output folder.
  const std::string root = canonical_folder(output_root);
  std::string text, name;
  if (root.empty() || !read_served_file(root, kManifestName, &text, &name)) return {};
  return parse_manifest(text);
}

bool write_manifest(const std::string& output_root, const Manifest& manifest) {
  FileSink out;
  out.open(join_path(output_root, kManifestName));  // a failure shows at close
  out.write(format_manifest(manifest));
  return out.close();
}

}  // namespace mt
