// INI files kept as raw CP932 lines: only the lines a write touches change, so
// bytes that are not valid CP932 elsewhere in the file survive a rewrite.
#include "platform/ini.h"

#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/folder_mode.h"
#include "platform/regular_file.h"
#include "vexafol/text.h"

namespace vexa::platform {
namespace {

// Larger files are treated as unreadable rather than loaded into memory.
constexpr size_t kMaxIniBytes = 16 << 20;

bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal ignoring ASCII case; the trail byte of a double-byte character may look
// like a letter and is compared exactly.
bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(a[i]))) {
      if (a[i] != b[i] || (i + 1 < a.size() && a[i + 1] != b[i + 1])) return false;
      ++i;
    } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

// Position of an ASCII character outside double-byte characters, or npos.
size_t FindAscii(std::string_view text, char wanted) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
      ++i;
    } else if (text[i] == wanted) {
      return i;
    }
  }
  return std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// "[name]" gives the trimmed name; any other line gives nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view text = Trim(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const std::string_view inner = text.substr(1);
  return Trim(inner.substr(0, FindAscii(inner, ']')));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

// "key = value" gives both trimmed; a line without '=' is no entry.
std::optional<Entry> EntryOf(std::string_view line) {
  const size_t equals = FindAscii(line, '=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Entry{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

using Lines = std::vector<std::string>;

Lines SplitLines(std::string_view bytes) {
  Lines lines;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

std::string JoinLines(const Lines& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return bytes;
}

// [first, end) of a section's lines, header included.
struct SectionRange {
  size_t first;
  size_t end;
};

// The first section of that name at or after line from.
std::optional<SectionRange> FindSection(const Lines& lines, std::string_view name,
                                        size_t from = 0) {
  for (size_t i = from; i < lines.size(); ++i) {
    const auto found = SectionName(lines[i]);
    if (!found || !EqualNoCase(*found, name)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end])) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const Lines& lines, const SectionRange& section,
                              std::string_view key) {
  for (size_t i = section.first + 1; i < section.end; ++i) {
    const auto entry = EntryOf(lines[i]);
    if (entry && EqualNoCase(entry->key, key)) return i;
  }
  return std::nullopt;
}

struct FileText {
  bool exists = false;
  mode_t mode = 0;
  std::string bytes;
};

// The whole file; a missing file is an empty one. Nothing on a read error.
std::optional<FileText> ReadFile(const std::string& path) {
  Env& env = CurrentEnv();
  FileText file;
  // Settings are the user's own: a link to them is followed for reading (a
  // write replaces the link, never its target); a FIFO cannot block the read.
  const int fd = OpenRegularFile(path, O_RDONLY, 0, LinkPolicy::Follow);
  if (fd == -ENOENT) return file;
  if (fd < 0) return std::nullopt;
  bool ok = false;
  struct stat st {};
  if (env.Fstat(fd, st) == 0) {
    file.exists = true;
    file.mode = st.st_mode & 07777;
    char buffer[65536];
    ssize_t count;
    while ((count = env.Read(fd, buffer, sizeof buffer)) > 0 &&
           file.bytes.size() + static_cast<size_t>(count) <= kMaxIniBytes) {
      file.bytes.append(buffer, static_cast<size_t>(count));
    }
    ok = count == 0;
  }
  env.Close(fd);
  if (!ok) return std::nullopt;
  return file;
}

bool WriteAll(Env& env, int fd, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = env.Write(fd, bytes.data() + written, bytes.size() - written);
    if (count <= 0) return false;
    written += static_cast<size_t>(count);
  }
  return true;
}

// Replaces the file's content through a synced temporary file and a rename.
bool ReplaceFile(const std::string& path, const std::string& bytes, const FileText& old) {
  Env& env = CurrentEnv();
  const std::string temporary = path + ".tmp" + std::to_string(getpid());
  // Made afresh: whatever lies under the name (a leftover of a crashed process
  // with the same pid, or a link planted there) is removed, never written through.
  int fd = OpenRegularFile(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666, LinkPolicy::Refuse);
  if (fd == -EEXIST && env.Unlink(temporary) == 0)
    fd = OpenRegularFile(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666, LinkPolicy::Refuse);
  if (fd < 0) return false;
  bool ok = WriteAll(env, fd, bytes) && env.Sync(fd) == 0;
  if (ok && old.exists) ok = env.Fchmod(fd, old.mode) == 0;
  if (ok && !old.exists) GiveNewFileMode(fd, path);  // best effort, as for any new file
  ok = env.Close(fd) == 0 && ok;
  if (ok) ok = env.Rename(temporary, path) == 0;
  if (!ok) env.Unlink(temporary);
  return ok;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != text.npos;
}

// The CP932 form of a value that can be written and read back.
std::optional<std::string> Encodable(const char* text) {
  std::string cp932;
  if (!Utf8ToCp932(text, cp932) || HasLineBreak(cp932)) return std::nullopt;
  return cp932;
}

// The CP932 form of a section or key name that reads back as itself: the
// reader trims names, ends a section name at ']', a key at '=', and takes a
// line starting with '[' for a section header.
std::optional<std::string> EncodableName(const char* text, char forbidden) {
  auto cp932 = Encodable(text);
  if (!cp932 || Trim(*cp932) != *cp932) return std::nullopt;
  if (FindAscii(*cp932, forbidden) != std::string::npos) return std::nullopt;
  if (forbidden == '=' && !cp932->empty() && cp932->front() == '[') return std::nullopt;
  return cp932;
}

// Applies one write to the lines; false when nothing changes.
bool Apply(Lines& lines, const std::string& section, const std::optional<std::string>& key,
           const std::optional<std::string>& value) {
  const auto range = FindSection(lines, section);
  if (!key) {
    // Every section of the name goes: reads take the first, so a later one
    // left behind would bring a removed setting back.
    bool removed = false;
    for (auto found = range; found; found = FindSection(lines, section, found->first)) {
      lines.erase(lines.begin() + static_cast<ptrdiff_t>(found->first),
                  lines.begin() + static_cast<ptrdiff_t>(found->end));
      removed = true;
    }
    return removed;
  }
  std::optional<size_t> keyLine;
  if (range) keyLine = FindKey(lines, *range, *key);
  if (!value) {
    if (!keyLine) return false;
    lines.erase(lines.begin() + static_cast<ptrdiff_t>(*keyLine));
    return true;
  }
  std::string entry = *key + "=" + *value;
  if (keyLine) {
    if (lines[*keyLine] == entry) return false;
    lines[*keyLine] = std::move(entry);
  } else if (range) {
    size_t after = range->end;  // after the section's last non-blank line
    while (after > range->first + 1 && Trim(lines[after - 1]).empty()) --after;
    lines.insert(lines.begin() + static_cast<ptrdiff_t>(after), std::move(entry));
  } else {
    lines.push_back("[" + section + "]");
    lines.push_back(std::move(entry));
  }
  return true;
}

}  // namespace

std::string GetProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& def) {
  std::string sectionCp932;
  std::string keyCp932;
  if (!Utf8ToCp932(section, sectionCp932) || !Utf8ToCp932(key, keyCp932)) return def;
  const auto text = ReadFile(file);
  if (!text || !text->exists) return def;
  const Lines lines = SplitLines(text->bytes);
  const auto range = FindSection(lines, sectionCp932);
  if (!range) return def;
  const auto keyLine = FindKey(lines, *range, keyCp932);
  if (!keyLine) return def;
  return Cp932ToUtf8(Unquote(EntryOf(lines[*keyLine])->value));
}

bool WriteProfileString(const char* section, const char* key, const char* value,
                        const std::string& file) {
  if (!section) return true;
  const auto sectionCp932 = EncodableName(section, ']');
  if (!sectionCp932) return false;
  std::optional<std::string> keyCp932;
  std::optional<std::string> valueCp932;
  if (key) {
    keyCp932 = EncodableName(key, '=');
    if (!keyCp932) return false;
    if (value) {
      valueCp932 = Encodable(value);
      if (!valueCp932) return false;
    }
  }
  const auto text = ReadFile(file);
  if (!text) return false;
  if (text->exists && !(text->mode & S_IWUSR)) return false;
  Lines lines = SplitLines(text->bytes);
  if (!Apply(lines, *sectionCp932, keyCp932, valueCp932)) return true;
  return ReplaceFile(file, JoinLines(lines), *text);
}

}  // namespace vexa::platform
