#include "vexafol/new_drawing.h"

#include <cerrno>
#include <new>

#include "lock/number_claim.h"
#include "platform/store_fs.h"
#include "platform/sysinfo.h"

namespace vexa {

std::string CreateNewDrawing(const CEnvironObj& env, const std::string& appFolder,
                             const FillDrawing& fill, std::string& error) try {
  platform::StoreDir application;  // opened once the claim has made it
  auto place = [&](const std::string& folder, std::string& placeError) {
    if (!application.IsOpen()) {
      if (const int opened = platform::StoreDir::OpenBelow(appFolder, appFolder, application))
        return opened;
    }
    const std::string name = env.GetFileNameFromRelativePath(folder);
    if (const int made = application.MakeDir(name)) return made;
    try {
      if (fill(folder, placeError)) return 0;
    } catch (...) {
      application.RemoveTree(name);  // no half-made drawing stays
      throw;
    }
    application.RemoveTree(name);
    if (placeError.empty()) placeError = "図面を書き込めません。\n" + folder;
    return -EIO;
  };
  return lock::ClaimDrawingNumber(env, appFolder, place, error);
} catch (const std::bad_alloc&) {
  error = "図面を作成できません。\n" + platform::SystemErrorText(ENOMEM);
  return "";
}

}  // namespace vexa
