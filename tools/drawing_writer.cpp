#include "tools/drawing_writer.h"

#include <cstdint>
#include <cstdlib>

#include "vexafol/file.h"
#include "vexafol/fileformat.h"
#include "vexafol/folmember.h"
#include "vexafol/new_drawing.h"

namespace vexa::tool {
namespace {

void Put16(std::string& out, uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

void Put32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

bool WriteWhole(const std::string& path, const void* data, size_t size, std::string* error) {
  File file;
  if (!file.Open(path, File::Mode::CreateTruncate)) {
    *error = path + ": cannot create the file (errno " + std::to_string(file.LastError()) + ")";
    return false;
  }
  try {
    file.Write(data, size);
  } catch (const FileException& e) {
    *error = e.what();
    return false;
  }
  return true;
}

bool SetText(bool ok, const char* what, std::string* error) {
  if (!ok) *error = std::string("the ") + what + " has characters that CP932 cannot hold";
  return ok;
}

}  // namespace

std::string MakePreviewBitmap(int width, int height, int seed) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::string bmp;
  bmp += "BM";
  Put32(bmp, 54 + pixelBytes);
  Put32(bmp, 0);
  Put32(bmp, 54);
  Put32(bmp, 40);
  Put32(bmp, static_cast<uint32_t>(width));
  Put32(bmp, static_cast<uint32_t>(height));
  Put16(bmp, 1);
  Put16(bmp, 24);
  Put32(bmp, 0);
  Put32(bmp, pixelBytes);
  Put32(bmp, 2835);
  Put32(bmp, 2835);
  Put32(bmp, 0);
  Put32(bmp, 0);
  // A white sheet with a frame, a survey line and a few stations.
  const int slope = seed % 7 - 3;
  for (int y = 0; y < height; ++y) {  // bottom-up rows
    std::string row(rowBytes, '\0');
    for (int x = 0; x < width; ++x) {
      uint8_t b = 255, g = 255, r = 255;
      const bool frame = x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
      const int lineY = height / 2 + slope * (x - width / 2) / 8 + (seed % 5) * 2 - 4;
      const bool line = std::abs(y - lineY) <= 0;
      const bool station = (x % (12 + seed % 6)) == 5 && std::abs(y - lineY) <= 3;
      if (frame) b = g = r = 0;
      if (line) b = 200, g = 60, r = 30;
      if (station) b = 40, g = 40, r = 220;
      row[static_cast<size_t>(x) * 3] = static_cast<char>(b);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<char>(g);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<char>(r);
    }
    bmp += row;
  }
  return bmp;
}

bool WriteDrawingFolder(const CEnvironObj& env, const std::string& folder, const DrawingSpec& spec,
                        std::string* error) {
  if (!env.CreateDir(folder, 1)) {
    *error = folder + ": cannot create the folder";
    return false;
  }
  FolMember drawing;
  drawing.path = folder;
  VexaFileHeader& header = drawing.header;
  if (!SetText(header.SetTitle(spec.title), "title", error) ||
      !SetText(header.SetMemo(spec.memo), "memo", error) ||
      !SetText(header.SetCreator(spec.creator), "creator", error) ||
      !SetText(header.SetUpdater(spec.updater), "updater", error))
    return false;
  header.pageCount = static_cast<int32_t>(spec.pages.size());
  header.createTime = spec.created;
  header.updateTime = spec.updated;

  for (size_t page = 0; page < spec.pages.size(); ++page) {
    const PageSpec& pageSpec = spec.pages[page];
    VexaFilePageInfo info;
    info.version = 100;
    if (!SetText(info.SetName(pageSpec.name), "page name", error) ||
        !SetText(info.SetCaption(pageSpec.caption), "page caption", error))
      return false;
    for (size_t i = 0; i < sizeof info.block4; ++i) info.block4[i] = static_cast<unsigned char>(i);
    const std::string pagePath = drawing.GetPageFile(env, 0, static_cast<int>(page));
    File file;
    if (!file.Open(pagePath, File::Mode::CreateTruncate)) {
      *error = pagePath + ": cannot create the page file";
      return false;
    }
    if (!WritePageFileInfo(file, info)) {
      *error = pagePath + ": cannot write the page information";
      return false;
    }
    const std::string bmp = MakePreviewBitmap(96, 72, pageSpec.previewSeed);
    if (!WriteWhole(drawing.GetPageBmpFile(env, 0, static_cast<int>(page)), bmp.data(), bmp.size(),
                    error))
      return false;
  }
  // The index file last: a drawing whose index file exists is complete.
  File index;
  const std::string indexPath = drawing.GetIndexFile(env, 0);
  if (!index.Open(indexPath, File::Mode::CreateTruncate) || !WriteHeadFile(index, header)) {
    *error = indexPath + ": cannot write the index file";
    return false;
  }
  return true;
}

std::string CreateDrawing(const CEnvironObj& env, const std::string& appFolder,
                          const DrawingSpec& spec, std::string& error) {
  return CreateNewDrawing(
      env, appFolder,
      [&](const std::string& folder, std::string& fillError) {
        return WriteDrawingFolder(env, folder, spec, &fillError);
      },
      error);
}

}  // namespace vexa::tool
