#include "lock/drawing_key.h"

#include <climits>
#include <cstdlib>
#include <iterator>

#include "vexafol/senyou.h"
#include "vexafol/senyou_ids.h"

namespace vexa::lock {

int SlotOfApplication(int applicationId) {
  constexpr int kSlotIds[] = {kAppGeneral,  kAppControlPoint, kAppLand,       kAppRoute,
                              kAppProfile,  kAppCrossSection, kAppBuilding,   kAppCalculation,
                              kAppCadastre, kAppCivil,        kAppDevelopment};
  for (int slot = 0; slot < static_cast<int>(std::size(kSlotIds)); ++slot)
    if (kSlotIds[slot] == applicationId) return slot;
  return -1;
}

int SlotOfDrawing(const CEnvironObj& env, const std::string& drawingPath) {
  return SlotOfApplication(GetPathToSenyouId(env, drawingPath));
}

int FolderNumberOf(const CEnvironObj& env, const std::string& drawingPath) {
  std::string ext = env.GetExtNameFromFileName(env.GetFileNameFromRelativePath(drawingPath));
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  // atoi without its undefined overflow: strtol saturates, then clamp to int.
  const long number = std::strtol(ext.c_str(), nullptr, 10);
  return number > INT_MAX ? INT_MAX : number < INT_MIN ? INT_MIN : static_cast<int>(number);
}

}  // namespace vexa::lock
