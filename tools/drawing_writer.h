// Writes complete drawings into a store: the way a host application saves one.
#pragma once

#include <string>
#include <vector>

#include "vexafol/environ.h"
#include "vexafol/types.h"

namespace vexa::tool {

struct PageSpec {
  std::string name;     // page name (UTF-8)
  std::string caption;  // page caption (UTF-8)
  int previewSeed = 0;  // varies the preview picture
};

struct DrawingSpec {
  std::string title, memo, creator, updater;  // UTF-8
  FILETIME created{}, updated{};              // UTC
  std::vector<PageSpec> pages;
};

// Writes INDEX.VXF, the page files with their page information and the preview
// bitmaps into folder (created if missing). False with *error set on failure.
bool WriteDrawingFolder(const CEnvironObj& env, const std::string& folder, const DrawingSpec& spec,
                        std::string* error);

// A new drawing of spec under a free number of appFolder (CreateNewDrawing
// writes it with WriteDrawingFolder): its folder, or "" with error set.
std::string CreateDrawing(const CEnvironObj& env, const std::string& appFolder,
                          const DrawingSpec& spec, std::string& error);

// A small 24-bit BMP picture (a framed sketch that differs by seed).
std::string MakePreviewBitmap(int width, int height, int seed);

}  // namespace vexa::tool
