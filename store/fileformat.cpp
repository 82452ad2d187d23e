// The drawing header: text accessors, reader and writer.
#include <algorithm>

#include "store/text_field.h"
#include "vexafol/fileformat.h"

namespace vexa {

using store::FieldToUtf8;
using store::Utf8ToField;

std::string VexaFileHeader::Title() const {
  return FieldToUtf8(title, sizeof title);
}
std::string VexaFileHeader::Memo() const {
  return FieldToUtf8(memo, sizeof memo);
}
std::string VexaFileHeader::Creator() const {
  return FieldToUtf8(creator, sizeof creator);
}
std::string VexaFileHeader::Updater() const {
  return FieldToUtf8(updater, sizeof updater);
}
bool VexaFileHeader::SetTitle(const std::string& utf8) {
  return Utf8ToField(utf8, title, sizeof title);
}
bool VexaFileHeader::SetMemo(const std::string& utf8) {
  return Utf8ToField(utf8, memo, sizeof memo);
}
bool VexaFileHeader::SetCreator(const std::string& utf8) {
  return Utf8ToField(utf8, creator, sizeof creator);
}
bool VexaFileHeader::SetUpdater(const std::string& utf8) {
  return Utf8ToField(utf8, updater, sizeof updater);
}

int ReadHeadFile(File& file, VexaFileHeader& header) {
  uint64_t length = 0;
  if (!file.GetLength(length)) {
    throw FileException(file.LastError(), file.GetFilePath(), "cannot get the file length");
  }
  const size_t count = static_cast<size_t>(std::min<uint64_t>(length, sizeof header));
  size_t got = 0;
  if (!file.TryRead(&header, count, got))
    throw FileException(file.LastError(), file.GetFilePath(), "read");
  return got == count ? 1 : 0;
}

int WriteHeadFile(File& file, const VexaFileHeader& header) {
  return file.TryWrite(&header, sizeof header) ? 1 : 0;
}

}  // namespace vexa
