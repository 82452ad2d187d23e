#include "lock/drawing_key.h"

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

}  // namespace vexa::lock
