// The scans of a folder-list load: which folders become records, and how one
// record is made from a drawing folder (its header and its lock state).
#pragma once

#include <string>
#include <vector>

#include "vexafol/environ.h"
#include "vexafol/fileformat.h"
#include "vexafol/folmember.h"

namespace vexa {

class VexaFolderLock;

namespace folder_list {

class RecordMaker;

enum class HeaderRead { Read, Failed, Missing };
// Reads the header of the index file at path over the caller's preset:
// min(file length, 824) bytes. Read when exactly that many came; Missing when
// there is no entry of that exact name (the caller may look for it in another
// case); Failed when it is a link, folder, FIFO or socket, cannot be opened or
// read, or fewer bytes came. Costs one open, positional read and close (and an
// fstat for files shorter than 824 bytes). Uses the platform only, so any
// thread may call it.
HeaderRead ReadHeaderAt(const std::string& path, VexaFileHeader& header);

// The header of the index file of the drawing folder when its name is spelt in
// another case (the folder is listed once). False when there is none or it
// cannot be read in full.
bool ReadIndexHeaderInAnyCase(const CEnvironObj& env, const std::string& folder,
                              VexaFileHeader& header);

// Reads the header of the index file of the drawing folder folder, its name in
// any case (a store copied from Windows). False when there is none or it cannot
// be read in full.
bool ReadIndexHeader(const CEnvironObj& env, const std::string& folder, VexaFileHeader& header);

// The application folder that a recycle container's name leads back to: the
// parent of the recycle folder, then the tokens of the first three bracket
// pairs ("[a][b][TNK]..." -> a, b, CAD, CVL, TNK; "JDN" and "ODN" go under
// CAD/JDN). A pair is the first "[" and the first "]" of what is left of the
// name; where one of them is missing nothing is added for that pair.
std::string RecycleEntryHome(const CEnvironObj& env, const std::string& recycleFolder,
                             std::string entryName);

// The drawing folders ("FOL.???") of an application folder; lock: the load's
// lock service, or null when records get no lock state.
void ScanAppFolder(const CEnvironObj& env, const std::string& appFolder, int appId,
                   VexaFolderLock* lock, RecordMaker& maker);
// The drawings of the recycle folder whose containers lead back to the
// application's folder.
void ScanRecycle(const CEnvironObj& env, int appId, RecordMaker& maker);
// The backup folders ("BKUP.*") of loadPath.
void ScanBackups(const CEnvironObj& env, const std::string& loadPath, int appId,
                 RecordMaker& maker);

// The folders of the application folder that hold an index file; with
// stopAtFirst, 0 or 1.
int CountDrawingFolders(const CEnvironObj& env, const std::string& appFolder, bool stopAtFirst);

}  // namespace folder_list
}  // namespace vexa
