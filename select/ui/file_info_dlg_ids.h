// The info panel's control ids (its template id is kTemplateInfoPanel of
// vexafol/ui/resource_ids.h), for the panel, the selection dialog that makes it
// and their tests.
#pragma once

namespace vexa {

enum FileInfoControl : int {
  kIdPreviewFrame = 29022,  // where the preview is drawn
  kIdInfoNumber = 29023,    // 29023 to 29030: the one-line fields, in this order
  kIdInfoName = 29024,
  kIdInfoPages = 29025,
  kIdInfoApp = 29026,
  kIdInfoCreator = 29027,
  kIdInfoUpdater = 29028,
  kIdInfoCreated = 29029,
  kIdInfoUpdated = 29030,
  kIdInfoMemo = 29031,
};

}  // namespace vexa
