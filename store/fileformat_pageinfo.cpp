// The page information at the head of every page file: fixed layouts for
// versions below 100, the tagged chunk layout from version 100 on.
#include <cstring>
#include <limits>
#include <vector>

#include "store/text_field.h"
#include "vexafol/fileformat.h"
#include "vexafol/text.h"

namespace vexa {

namespace {

constexpr int32_t kTaggedVersion = 100;
constexpr uint32_t kOpenTag = 0x10000000;
constexpr uint32_t kCloseTag = 0x20000000;
constexpr uint32_t kCloseMark = 0x2000;  // high 16 bits of every closing header

enum ChunkId : uint32_t { kCaption = 1, kName = 2, kSubName = 3, kBlock4 = 4, kBlock5 = 5 };

constexpr size_t kShortNameSize = 128;  // the name of versions below 2
constexpr size_t kFixedCaptionSize = 80;

// Payloads larger than their field but within this size are read through one
// buffer shared by the whole library (the reader is single-threaded).
constexpr size_t kScratchSize = 1024;
unsigned char scratch[kScratchSize];

struct ChunkHeader {
  uint32_t tag = 0;
  uint32_t elementSize = 0;
  uint32_t elementCount = 0;
};

bool ReadExact(File& file, void* buffer, size_t count) {
  return file.Read(buffer, count) == count;
}

bool ReadHeader(File& file, ChunkHeader& header) {
  uint32_t words[3];
  if (!ReadExact(file, words, sizeof words)) return false;
  header = {words[0], words[1], words[2]};
  return true;
}

uint64_t BytesLeft(File& file) {
  uint64_t length = 0;
  if (!file.GetLength(length)) {
    throw FileException(file.LastError(), file.GetFilePath(), "cannot get the file length");
  }
  const uint64_t position = file.Seek(0, File::current);
  return length > position ? length - position : 0;
}

// Moves forward over count bytes; false when that would leave the file.
bool Skip(File& file, uint64_t count) {
  if (count == 0) return true;
  if (count > BytesLeft(file)) return false;
  file.Seek(static_cast<int64_t>(count), File::current);
  return true;
}

uint64_t PayloadSize(const ChunkHeader& header) {
  if (header.elementSize == 0 || header.elementCount == 0) return 0;
  return uint64_t{header.elementSize} * header.elementCount;
}

// Reads a payload of size bytes and keeps its first capacity bytes in field.
bool ReadPayload(File& file, uint32_t size, void* field, size_t capacity) {
  if (size <= capacity) return ReadExact(file, field, size);
  if (size > BytesLeft(file)) return false;  // a short read; allocate nothing
  if (size <= kScratchSize) {
    if (!ReadExact(file, scratch, size)) return false;
    std::memcpy(field, scratch, capacity);
    return true;
  }
  std::vector<unsigned char> buffer(size);
  if (!ReadExact(file, buffer.data(), size)) return false;
  std::memcpy(field, buffer.data(), capacity);
  return true;
}

bool ReadCaption(File& file, uint32_t size, std::string& caption) {
  if (size > BytesLeft(file)) return false;
  std::string payload(size, '\0');
  if (!ReadExact(file, payload.data(), size)) return false;
  caption.assign(payload.c_str());
  return true;
}

bool ReadKnownChunk(File& file, uint32_t id, uint32_t size, VexaFilePageInfo& info) {
  switch (id) {
    case kCaption:
      return ReadCaption(file, size, info.caption);
    case kName:
      if (!ReadPayload(file, size, info.name, sizeof info.name)) return false;
      info.name[sizeof info.name - 1] = '\0';
      return true;
    case kSubName:
      if (!ReadPayload(file, size, info.subName, sizeof info.subName)) return false;
      info.subName[sizeof info.subName - 1] = '\0';
      return true;
    case kBlock4:
      return ReadPayload(file, size, info.block4, sizeof info.block4);
    case kBlock5:
      return ReadPayload(file, size, info.block5, sizeof info.block5);
  }
  return false;
}

// Skips an unknown chunk whose header was read, with every chunk nested in it.
// Iterative, so that any depth of nesting costs no stack.
bool SkipUnknownChunk(File& file, const ChunkHeader& opening) {
  if (!Skip(file, PayloadSize(opening))) return false;
  uint64_t depth = 1;
  ChunkHeader header;
  while (depth > 0) {
    if (!ReadHeader(file, header)) return false;
    if ((header.tag >> 16) == kCloseMark) {
      --depth;
    } else {
      ++depth;
      if (!Skip(file, PayloadSize(header))) return false;
    }
  }
  return true;
}

int ReadTagged(File& file, VexaFilePageInfo& info) {
  ChunkHeader header;
  if (!ReadHeader(file, header)) return 0;
  if (header.tag != kOpenTag || header.elementSize != 0 || header.elementCount != 0) return 0;
  for (;;) {
    if (!ReadHeader(file, header)) return 0;  // the record must end with its closing header
    if (header.tag == kCloseTag) return 1;
    if (header.tag >= (kOpenTag | kCaption) && header.tag <= (kOpenTag | kBlock5)) {
      const uint32_t id = header.tag & 0xFFFF;
      if (!ReadKnownChunk(file, id, header.elementSize, info)) return 0;
      ChunkHeader closing;
      if (!ReadHeader(file, closing)) return 0;
      if ((closing.tag >> 16) != kCloseMark || (closing.tag & 0xFFFF) != id) return 0;
    } else if (!SkipUnknownChunk(file, header)) {
      return 0;
    }
  }
}

int ReadFixed(File& file, VexaFilePageInfo& info) {
  if (info.version >= 2) {
    if (!ReadExact(file, info.name, sizeof info.name)) return 0;
    if (!ReadExact(file, info.subName, sizeof info.subName)) return 0;
  } else {
    char shortName[kShortNameSize];
    if (!ReadExact(file, shortName, sizeof shortName)) return 0;
    const size_t length = FieldLength(shortName, sizeof shortName);
    std::memcpy(info.name, shortName, length);
    info.name[length] = '\0';
    info.subName[0] = '\0';
  }
  if (info.version > 0 && !ReadExact(file, info.block4, sizeof info.block4)) return 0;
  if (info.version >= 3 && !ReadExact(file, info.block5, sizeof info.block5)) return 0;
  if (info.version >= 4) {
    char caption[kFixedCaptionSize];
    if (!ReadExact(file, caption, sizeof caption)) return 0;
    info.caption.assign(caption, FieldLength(caption, sizeof caption));
  }
  return 1;
}

void AppendWords(std::string& out, uint32_t a, uint32_t b, uint32_t c) {
  const uint32_t words[3] = {a, b, c};
  out.append(reinterpret_cast<const char*>(words), sizeof words);
}

void AppendChunk(std::string& out, uint32_t id, const void* payload, size_t size) {
  AppendWords(out, kOpenTag | id, static_cast<uint32_t>(size), 1);
  out.append(static_cast<const char*>(payload), size);
  AppendWords(out, kCloseTag | id, 0, 0);
}

// A text payload: the text up to its NUL, then one NUL.
void AppendTextChunk(std::string& out, uint32_t id, const char* text, size_t capacity) {
  std::string payload(text, FieldLength(text, capacity));
  AppendChunk(out, id, payload.c_str(), payload.size() + 1);
}

}  // namespace

std::string VexaFilePageInfo::Name() const {
  return store::FieldToUtf8(name, sizeof name);
}
std::string VexaFilePageInfo::SubName() const {
  return store::FieldToUtf8(subName, sizeof subName);
}
std::string VexaFilePageInfo::Caption() const {
  return Cp932ToUtf8(caption.c_str());
}
bool VexaFilePageInfo::SetName(const std::string& utf8) {
  return store::Utf8ToField(utf8, name, sizeof name);
}
bool VexaFilePageInfo::SetSubName(const std::string& utf8) {
  return store::Utf8ToField(utf8, subName, sizeof subName);
}
bool VexaFilePageInfo::SetCaption(const std::string& utf8) {
  std::string cp932;
  if (!Utf8ToCp932(utf8, cp932)) return false;
  caption = std::move(cp932);
  return true;
}

int ReadPageFileInfo(File& file, VexaFilePageInfo& info) {
  int32_t version;
  if (!ReadExact(file, &version, sizeof version)) return 0;
  info.version = version;
  return version >= kTaggedVersion ? ReadTagged(file, info) : ReadFixed(file, info);
}

int WritePageFileInfo(File& file, const VexaFilePageInfo& info) {
  const std::string caption = info.caption.c_str();  // the text up to its NUL
  if (caption.size() >= std::numeric_limits<uint32_t>::max()) return 0;

  std::string record;
  const int32_t version = kTaggedVersion;
  record.append(reinterpret_cast<const char*>(&version), sizeof version);
  AppendWords(record, kOpenTag, 0, 0);
  AppendChunk(record, kCaption, caption.c_str(), caption.size() + 1);
  AppendTextChunk(record, kName, info.name, sizeof info.name);
  if (info.subName[0] != '\0') AppendTextChunk(record, kSubName, info.subName, sizeof info.subName);
  AppendChunk(record, kBlock4, info.block4, sizeof info.block4);
  AppendChunk(record, kBlock5, info.block5, sizeof info.block5);
  AppendWords(record, kCloseTag, 0, 0);
  try {
    file.Write(record.data(), record.size());
    return 1;
  } catch (const FileException&) {
    return 0;
  }
}

}  // namespace vexa
