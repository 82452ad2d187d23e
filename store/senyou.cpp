// The constant table of specialised applications and its lookups.
#include "vexafol/senyou.h"

#include <iterator>
#include <string_view>

#include "platform/collate.h"
#include "store/store_names.h"
#include "vexafol/environ_kinds.h"
#include "vexafol/senyou_ids.h"

namespace vexa {

namespace {

struct SenyouRow {
  int id;
  COLORREF colour;
  unsigned long pathKind;  // 0: no folder
  const char* subFolder;   // nullptr: none
  unsigned createMask;     // bits of the host kinds that may create drawings
  const char* module;      // nullptr: none
  const char* title;
  const char* longTitle;  // 10 bytes in CP932
  int hostRestriction;    // -1: every host kind
};

constexpr SenyouRow kRows[] = {
    {kAppGeneral, 0xFFFFFF, kPathAppGeneral, nullptr, 0x1B, "APPK.DLL", "汎用", " 汎    用 ", -1},
    {kAppLand, 0xE0FFE0, kPathAppLand, nullptr, 0x1B, "APPJ.DLL", "用地", " 用    地 ", -1},
    {kAppRoute, 0xFFE0E0, kPathAppRoute, nullptr, 0x1B, "APPI.DLL", "路線", " 路    線 ", -1},
    {kAppCalculation, 0xE0E0FF, kPathAppCalculation, nullptr, 0x0, "APPH.DLL", "計算", " 計    算 ",
     -1},
    {kAppControlPoint, 0xE0E0FF, kPathAppControlPoint, nullptr, 0x0, "APPG.DLL", "基準点",
     " 基 準 点 ", -1},
    {kAppProfile, 0xE0FFE0, kPathAppSection, "JDN", 0x1B, "APPF.DLL", "縦断", " 縦    断 ", -1},
    {kAppCrossSection, 0xE0FFE0, kPathAppSection, "ODN", 0x1B, "APPE.DLL", "横断", " 横    断 ",
     -1},
    {kAppBuilding, 0xE0E0FF, kPathAppBuilding, nullptr, 0xB, "APPD.DLL", "建物", " 建    物 ", -1},
    {kAppCadastre, 0xE0FFFF, kPathAppCadastre, nullptr, 0xB, "APPC.DLL", "地籍", " 地    籍 ", -1},
    {kAppCivil, 0xFFE0E0, kPathAppCivil, nullptr, 0x4, "APPB.DLL", "土木", " 土    木 ", -1},
    {kAppDevelopment, 0xFFE0E0, kPathAppCivil, "TNK", 0x1B, "APPA.DLL", "展開図", " 展 開 図 ", -1},
    {kAppAll, 0xFFFFFF, 0, nullptr, 0x0, nullptr, "全て", " 全    て ", -1},
};

constexpr int kRowCount = static_cast<int>(std::size(kRows));

// The answer when a path cannot be placed.
constexpr int kUndecidedId = kAppLand;

const SenyouRow* FindRow(int id) {
  for (const SenyouRow& row : kRows) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

unsigned HostKindBit(unsigned long kind) {
  switch (kind) {
    case 0:
    case 5:
      return 0x1;
    case 1:
      return 0x2;
    case 2:
      return 0x4;
    case 3:
      return 0x8;
    case 4:
      return 0x10;
    default:
      return 0;
  }
}

// Id of the first row whose application folder ends in the component name.
int IdOfFolderComponent(const CEnvironObj& env, const std::string& name) {
  for (const SenyouRow& row : kRows) {
    std::string component = env.GetFileNameFromRelativePath(GetSenyouPath(env, row.id));
    if (!component.empty() && platform::CollateNoCase(component, name) == 0) return row.id;
  }
  return 0;
}

// The text between the third "[" ... "]" pair of path; false when there is none.
bool ThirdBracketToken(std::string_view path, std::string& token) {
  for (int pass = 0; pass < 3; ++pass) {
    size_t open = path.find('[');
    size_t close = path.find(']');
    if (open == std::string_view::npos || close == std::string_view::npos) return false;
    if (pass == 2) {
      token = close > open ? std::string(path.substr(open + 1, close - open - 1)) : std::string();
      return true;
    }
    path.remove_prefix(close + 1);
  }
  return false;
}

}  // namespace

int GetSenyouCnt() {
  return kRowCount;
}

int GetSenyouId(int row) {
  return (row >= 0 && row < kRowCount) ? kRows[row].id : 0;
}

std::string GetSenyouDLL(int id) {
  const SenyouRow* row = FindRow(id);
  return (row && row->module) ? row->module : "";
}

int GetSenyouDLLId(const std::string& module) {
  for (const SenyouRow& row : kRows) {
    if (row.module && row.hostRestriction == -1 &&
        platform::CollateNoCase(row.module, module) == 0) {
      return row.id;
    }
  }
  return kAppGeneral;
}

COLORREF GetSenyouColor(int id) {
  const SenyouRow* row = FindRow(id);
  return row ? row->colour : 0xFFFFFF;
}

std::string GetSenyouTitle(const CEnvironObj& env, int id, int longForm) {
  const SenyouRow* row = FindRow(id);
  if (!row) return "";
  const bool civilHost = env.GetAppType() == kHostKindCivil;
  if (id == kAppLand && civilHost) return longForm ? "土木測量" : "測量";
  if (longForm) {
    if (!row->longTitle) return "";
    if (id == kAppCivil && !civilHost) return "ＣＡＤ製図変換";
    return row->longTitle;
  }
  if (id == kAppCivil && !civilHost) return "製図変換";
  return row->title;
}

std::string GetSenyouPath(const CEnvironObj& env, int id) {
  const SenyouRow* row = FindRow(id);
  if (!row || !row->module || row->pathKind == 0) return "";
  std::string path = env.GetPath(row->pathKind);
  if (path.empty()) return path;
  if (row->subFolder) env.AddFileName(path, row->subFolder);
  return path;
}

int GetSenyouAllowCreate(const CEnvironObj& env, int id) {
  const unsigned long kind = env.GetAppType();
  const unsigned bit = HostKindBit(kind);
  for (const SenyouRow& row : kRows) {
    if (row.id != id || (row.createMask & bit) == 0) continue;
    if (row.hostRestriction == -1 || static_cast<unsigned long>(row.hostRestriction) == kind) {
      return 1;
    }
  }
  return 0;
}

int GetPathToSenyouId(const CEnvironObj& env, const std::string& path) {
  // Walk up to the drawing folder ("Fol.NNN").
  std::string folder = path;
  while (!folder.empty()) {
    std::string name = env.GetFileNameFromRelativePath(folder);
    if (platform::CollateNoCase(env.GetBaseNameFromFileName(name), "FOL") == 0) break;
    std::string parent = env.GetDirNameFromRelativePath(folder);
    // A host whose top has itself as parent must not loop.
    folder = parent == folder ? std::string() : parent;
  }
  if (folder.empty()) return kUndecidedId;

  const std::string holder =
      env.GetFileNameFromRelativePath(env.GetDirNameFromRelativePath(folder));
  if (!holder.empty()) {
    if (int id = IdOfFolderComponent(env, holder)) return id;
  }
  // A recycle entry carries the application's folder name in its third bracket.
  std::string token;
  if (path.find('[') == std::string::npos || !ThirdBracketToken(path, token)) return kUndecidedId;
  if (int id = IdOfFolderComponent(env, token)) return id;
  return kUndecidedId;
}

}  // namespace vexa
