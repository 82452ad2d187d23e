// The page information at the head of every page file: fixed layouts for
// versions below 100, the tagged chunk layout from version 100 on.
#include <algorithm>
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
// Records are read in pieces of this size: what a record claims costs no
// memory beyond the text it really holds.
constexpr size_t kReadPiece = 16384;
constexpr size_t kCaptionPiece = 4096;
// Unknown chunks nested deeper than this make the record malformed: without
// the limit a file of zeros would be walked 12 bytes at a time to its end.
constexpr uint64_t kMostNestedChunks = uint64_t{1} << 20;

struct ChunkHeader {
  uint32_t tag = 0;
  uint32_t elementSize = 0;
  uint32_t elementCount = 0;
};

// Reads a record through the file's non-throwing calls, in pieces of
// kReadPiece bytes kept in a buffer of its own, so that many small headers
// cost few system calls. A short record is a false answer; a read error also
// remembers its errno. Finish leaves the file positioned after what was read.
class RecordReader {
 public:
  explicit RecordReader(File& file) : file_(file) {
    uint64_t position = 0;
    if (!file_.GetLength(length_) || !file_.TrySeek(0, File::current, position)) Failed();
    position_ = bufferStart_ = position;
  }
  int error() const { return error_; }

  bool Exact(void* target, size_t count) {
    char* out = static_cast<char*>(target);
    while (count > 0) {
      if (error_ != 0) return false;
      const uint64_t end = bufferStart_ + buffer_.size();
      if (position_ < bufferStart_ || position_ >= end) {
        if (!Fill()) return false;
        continue;
      }
      const size_t available = static_cast<size_t>(end - position_);
      const size_t taken = std::min(available, count);
      std::memcpy(out, buffer_.data() + (position_ - bufferStart_), taken);
      out += taken;
      count -= taken;
      position_ += taken;
    }
    return true;
  }

  bool Header(ChunkHeader& header) {
    uint32_t words[3];
    if (!Exact(words, sizeof words)) return false;
    header = {words[0], words[1], words[2]};
    return true;
  }

  // Bytes between the position and the end of the file as it was when the
  // reading began.
  uint64_t BytesLeft() const { return length_ > position_ ? length_ - position_ : 0; }

  // Moves forward over count bytes; false when that would leave the file.
  bool Skip(uint64_t count) {
    if (error_ != 0 || count > BytesLeft()) return false;
    position_ += count;
    return true;
  }

  void Finish() {
    uint64_t position = 0;
    if (!file_.TrySeek(static_cast<int64_t>(position_), File::begin, position)) Failed();
  }

 private:
  bool Fill() {
    uint64_t position = 0;
    if (!file_.TrySeek(static_cast<int64_t>(position_), File::begin, position)) return Failed();
    buffer_.resize(kReadPiece);
    size_t got = 0;
    if (!file_.TryRead(buffer_.data(), buffer_.size(), got)) return Failed();
    buffer_.resize(got);
    bufferStart_ = position_;
    return got > 0;
  }
  bool Failed() {
    if (error_ == 0) error_ = file_.LastError();
    return false;
  }

  File& file_;
  int error_ = 0;
  uint64_t length_ = 0;
  uint64_t position_ = 0;
  uint64_t bufferStart_ = 0;
  std::vector<char> buffer_;
};

uint64_t PayloadSize(const ChunkHeader& header) {
  if (header.elementSize == 0 || header.elementCount == 0) return 0;
  return uint64_t{header.elementSize} * header.elementCount;
}

// Reads a payload of size bytes, keeps its first capacity bytes in field and
// skips the rest.
bool ReadPayload(RecordReader& reader, uint32_t size, void* field, size_t capacity) {
  if (size <= capacity) return reader.Exact(field, size);
  return reader.Exact(field, capacity) && reader.Skip(size - capacity);
}

// Keeps the payload up to its first NUL and skips the rest; the caption is
// changed only when the whole payload lies in the file.
bool ReadCaption(RecordReader& reader, uint32_t size, std::string& caption) {
  if (size > reader.BytesLeft()) return false;
  std::string kept;
  char piece[kCaptionPiece];
  uint32_t remaining = size;
  while (remaining > 0) {
    const size_t count = std::min<size_t>(remaining, sizeof piece);
    if (!reader.Exact(piece, count)) return false;
    remaining -= static_cast<uint32_t>(count);
    const void* nul = std::memchr(piece, '\0', count);
    if (nul) {
      kept.append(piece, static_cast<size_t>(static_cast<const char*>(nul) - piece));
      if (!reader.Skip(remaining)) return false;
      break;
    }
    kept.append(piece, count);
  }
  caption = std::move(kept);
  return true;
}

// A text field keeps at most its capacity less one byte: the last is NUL,
// also after a short read that filled the field in part.
bool ReadTextPayload(RecordReader& reader, uint32_t size, char* field, size_t capacity) {
  const bool read = ReadPayload(reader, size, field, capacity);
  field[capacity - 1] = '\0';
  return read;
}

// The fixed layout's 260-byte text field, ending with NUL as in the tagged one.
bool ReadFixedText(RecordReader& reader, char* field, size_t capacity) {
  const bool read = reader.Exact(field, capacity);
  field[capacity - 1] = '\0';
  return read;
}

bool ReadKnownChunk(RecordReader& reader, uint32_t id, uint32_t size, VexaFilePageInfo& info) {
  switch (id) {
    case kCaption:
      return ReadCaption(reader, size, info.caption);
    case kName:
      return ReadTextPayload(reader, size, info.name, sizeof info.name);
    case kSubName:
      return ReadTextPayload(reader, size, info.subName, sizeof info.subName);
    case kBlock4:
      return ReadPayload(reader, size, info.block4, sizeof info.block4);
    case kBlock5:
      return ReadPayload(reader, size, info.block5, sizeof info.block5);
  }
  return false;
}

// Skips an unknown chunk whose header was read, with every chunk nested in it.
// Iterative, so that any depth of nesting costs no stack.
bool SkipUnknownChunk(RecordReader& reader, const ChunkHeader& opening) {
  if (!reader.Skip(PayloadSize(opening))) return false;
  uint64_t depth = 1;
  ChunkHeader header;
  while (depth > 0) {
    if (!reader.Header(header)) return false;
    if ((header.tag >> 16) == kCloseMark) {
      --depth;
    } else {
      if (++depth > kMostNestedChunks) return false;
      if (!reader.Skip(PayloadSize(header))) return false;
    }
  }
  return true;
}

int ReadTagged(RecordReader& reader, VexaFilePageInfo& info) {
  ChunkHeader header;
  if (!reader.Header(header)) return 0;
  if (header.tag != kOpenTag || header.elementSize != 0 || header.elementCount != 0) return 0;
  for (;;) {
    if (!reader.Header(header)) return 0;  // the record must end with its closing header
    if (header.tag == kCloseTag) return 1;
    if (header.tag >= (kOpenTag | kCaption) && header.tag <= (kOpenTag | kBlock5)) {
      const uint32_t id = header.tag & 0xFFFF;
      if (!ReadKnownChunk(reader, id, header.elementSize, info)) return 0;
      ChunkHeader closing;
      if (!reader.Header(closing)) return 0;
      if ((closing.tag >> 16) != kCloseMark || (closing.tag & 0xFFFF) != id) return 0;
    } else if (!SkipUnknownChunk(reader, header)) {
      return 0;
    }
  }
}

int ReadFixed(RecordReader& reader, VexaFilePageInfo& info) {
  if (info.version >= 2) {
    if (!ReadFixedText(reader, info.name, sizeof info.name)) return 0;
    if (!ReadFixedText(reader, info.subName, sizeof info.subName)) return 0;
  } else {
    char shortName[kShortNameSize];
    if (!reader.Exact(shortName, sizeof shortName)) return 0;
    const size_t length = FieldLength(shortName, sizeof shortName);
    std::memcpy(info.name, shortName, length);
    info.name[length] = '\0';
    info.subName[0] = '\0';
  }
  if (info.version > 0 && !reader.Exact(info.block4, sizeof info.block4)) return 0;
  if (info.version >= 3 && !reader.Exact(info.block5, sizeof info.block5)) return 0;
  if (info.version >= 4) {
    char caption[kFixedCaptionSize];
    if (!reader.Exact(caption, sizeof caption)) return 0;
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
  RecordReader reader(file);
  int32_t version = 0;
  int read = 0;
  if (reader.Exact(&version, sizeof version)) {
    info.version = version;
    read = version >= kTaggedVersion ? ReadTagged(reader, info) : ReadFixed(reader, info);
  }
  reader.Finish();
  // Read errors leave as the exception the callers of this reader expect.
  if (reader.error() != 0) throw FileException(reader.error(), file.GetFilePath(), "read");
  return read;
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
  return file.TryWrite(record.data(), record.size()) ? 1 : 0;
}

}  // namespace vexa
