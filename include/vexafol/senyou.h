// The table of specialised applications ("専用"): ids, colours, titles, folders
// and modules. Ids are single bits (an application mask is their union); -1
// stands for all applications. Titles are UTF-8.
#pragma once

#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/types.h"

namespace vexa {

// Number of rows of the table (12).
VEXA_CORE_API int GetSenyouCnt();
// Id of a row; 0 when row is negative or not below GetSenyouCnt().
VEXA_CORE_API int GetSenyouId(int row);
// Module file name of the application; empty when no row has the id or the row
// has no module.
VEXA_CORE_API std::string GetSenyouDLL(int id);
// Id of the first row whose module equals module ignoring ASCII case; 1 (the
// general application) when none does.
VEXA_CORE_API int GetSenyouDLLId(const std::string& module);
// Display colour (0x00BBGGRR); white when no row has the id.
VEXA_CORE_API COLORREF GetSenyouColor(int id);
// Short title, or with longForm non-zero the title padded to exactly 10 bytes of
// CP932. Some titles depend on the host kind (env.GetAppType()). Empty when no
// row has the id.
VEXA_CORE_API std::string GetSenyouTitle(const CEnvironObj& env, int id, int longForm);
// The application folder: the host folder of the row's path kind, plus the
// row's sub folder. Empty when the id is unknown, has no module or no folder, or
// the host has no folder of that kind.
VEXA_CORE_API std::string GetSenyouPath(const CEnvironObj& env, int id);
// 1 when the running host kind may create drawings for the application, else 0.
VEXA_CORE_API int GetSenyouAllowCreate(const CEnvironObj& env, int id);
// Id of the application that a drawing path (or a path inside a drawing
// folder, or a recycle entry) belongs to; 4 when it cannot be decided.
VEXA_CORE_API int GetPathToSenyouId(const CEnvironObj& env, const std::string& path);

}  // namespace vexa
