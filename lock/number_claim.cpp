#include "lock/number_claim.h"

#include <array>
#include <cerrno>

#include "lock/drawing_key.h"
#include "lock/lock_file.h"
#include "platform/env.h"
#include "platform/sysinfo.h"
#include "store/number_choice.h"
#include "vexafol/file.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/store_layout.h"

namespace vexa::lock {
namespace {

std::string ErrorText(int error) {
  return platform::SystemErrorText(static_cast<unsigned long>(error));
}

// Why no drawing lock of folder's application can be taken at all, or "" when
// a refused lock means that somebody holds it.
std::string LockUnusable(const CEnvironObj& env, const std::string& folder) {
  const std::string path = DrawingLockPath(env, folder);
  if (SlotOfDrawing(env, folder) < 0) return "図面をロックできません。\n" + path;
  File file;
  if (!OpenLockFile(file, path, kDrawingLockFileLength))
    return "図面をロックできません。\n" + path + "\n" + ErrorText(file.LastError());
  CloseAndRemoveLockFile(file);
  return "";
}

}  // namespace

std::string ClaimDrawingNumber(const CEnvironObj& env, const std::string& appFolder,
                               const PlaceDrawing& place, std::string& error) {
  if (appFolder.empty() || !env.CreateDir(appFolder, 1)) {
    error = "専用フォルダを作成できません。\n" + ErrorText(platform::LastSystemError());
    return "";
  }
  auto folderOf = [&](int number) {
    std::string folder = appFolder;
    CreateDrawingFolderPath(env, folder, number);
    return folder;
  };
  VexaFolderLock lock(&env);
  DrawingNumberBits passed;  // held by somebody, or taken while placing
  bool lockUsable = false;
  // Every round but the last passes over one more number.
  for (int round = 0; round <= kLastDrawingNo; ++round) {
    // Each folder is looked at once per round: the walk sees one state of the
    // folder even while others make drawings in it.
    std::array<signed char, kLastDrawingNo + 1> exists{};
    const int number = store::ChooseDrawingNumber([&](int n) {
      if (passed[n]) return true;
      if (exists[n] == 0) exists[n] = env.IsExist(folderOf(n)) >= 0 ? 1 : -1;
      return exists[n] > 0;
    });
    if (number == 0) break;
    const std::string folder = folderOf(number);
    if (!lock.LockZmn(folder.c_str())) {
      if (!lockUsable) {
        error = LockUnusable(env, folder);
        if (!error.empty()) return "";
      }
      lockUsable = true;
      passed.set(number);  // being made or brought back by somebody right now
      continue;
    }
    lockUsable = true;
    std::string placeError;
    const int placed = place(folder, placeError);
    lock.UnLockZmn(folder.c_str());
    if (placed == 0) return folder;
    if (placed != -EEXIST) {
      error = !placeError.empty() ? placeError
                                  : "図面を置けません。\n" + folder + "\n" + ErrorText(-placed);
      return "";
    }
    passed.set(number);
  }
  error = "空いている図面番号がありません。\n" + appFolder;
  return "";
}

}  // namespace vexa::lock
