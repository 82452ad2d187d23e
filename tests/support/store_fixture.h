// A folder-backed drawing store in a temporary directory, for the folder-list
// tests: application folders of the folder-backed host and drawings written
// with chosen headers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tests/support/temp_dir.h"
#include "vexafol/filetime.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folmember.h"
#include "vexafol/senyou.h"

namespace vexa::test {

struct DrawingSpec {
  std::string title = "図面";
  std::string creator = "山田";
  std::string updater = "田中";
  std::string memo;
  int64_t created = 1700000000;  // seconds since 1970, UTC
  int64_t updated = 1700000000;
  int32_t pages = 1;
};

inline VexaFileHeader MakeHeader(const DrawingSpec& spec) {
  VexaFileHeader header;
  header.version = 2;
  header.SetTitle(spec.title);
  header.SetCreator(spec.creator);
  header.SetUpdater(spec.updater);
  header.SetMemo(spec.memo);
  header.pageCount = spec.pages;
  header.createTime = UnixToFileTime(spec.created);
  header.updateTime = UnixToFileTime(spec.updated);
  return header;
}

inline std::string HeaderBytes(const VexaFileHeader& header) {
  return std::string(reinterpret_cast<const char*>(&header), sizeof header);
}

class StoreFixture {
 public:
  StoreFixture() {
    FolderEnvironOptions options;
    options.dataPath = dir_ / "DATA";
    options.userDataFile = dir_ / "user.ini";
    env_ = std::make_unique<FolderEnvironObj>(dir_.path(), options);
  }

  const FolderEnvironObj& env() const { return *env_; }
  const TempDir& dir() const { return dir_; }
  std::string AppFolder(int appId) const { return GetSenyouPath(*env_, appId); }
  std::string Recycle() const { return CreateRecycleCadHomePath(*env_); }

  // folder/INDEX.VXF holding the header of spec; returns folder.
  static std::string WriteDrawing(const std::string& folder, const DrawingSpec& spec = {}) {
    WriteFileBytes(folder + "/INDEX.VXF", HeaderBytes(MakeHeader(spec)));
    return folder;
  }
  // Drawing number n ("Fol.%03d") of the application.
  std::string WriteAppDrawing(int appId, int number, const DrawingSpec& spec = {}) const {
    char name[32];
    std::snprintf(name, sizeof name, "/Fol.%03d", number);
    return WriteDrawing(AppFolder(appId) + name, spec);
  }

 private:
  TempDir dir_;
  std::unique_ptr<FolderEnvironObj> env_;
};

}  // namespace vexa::test
