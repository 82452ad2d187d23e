// VexaFolderList: the drawings of one or more specialised applications (or the
// recycled drawings, or the backups of one drawing) as FolMember records in
// creation-time order, with a second, user-chosen sort order on top.
//
// A load lists the application folders through the host (CSelFileList), reads
// the header of every drawing folder's index file and, unless told not to,
// records whether another holder has the drawing or one of its pages locked.
// Folders without a readable index file are skipped silently; a load never
// fails as a whole. Records returned by pointer stay valid until the next
// Load or Reload or the destruction of the list.
#pragma once

#include <memory>
#include <string>

#include "vexafol/environ.h"
#include "vexafol/export.h"
#include "vexafol/folmember.h"

namespace vexa {

class VexaFolderLock;

class VEXA_CORE_API VexaFolderList {
 public:
  // Load flags.
  enum : int {
    kLoadNoLocks = 1,   // no lock service, every record's lock state 0
    kLoadRecycled = 2,  // the drawings in the recycle folder
    kLoadBackups = 4,   // the backup folders "BKUP.*" in the load path
  };

  // Keeps a pointer to env (not owned). Empty list, mask and flags 0, no load
  // path, sort type and direction 0, no lock service.
  explicit VexaFolderList(const CEnvironObj& env);
  // Deletes the records and the lock service.
  virtual ~VexaFolderList();
  VexaFolderList(const VexaFolderList&) = delete;
  VexaFolderList& operator=(const VexaFolderList&) = delete;

  // The folder a load scans for the application: GetSenyouPath. Stores it in
  // *folder when folder is not null; 1 when it is not empty, else 0. A host may
  // override it to point loads and counts at other folders.
  virtual int GetAppFolder(int appId, std::string* folder) const;

  // Stores mask and flags, then reloads.
  void Load(int mask, int flags);
  // Rescans with the stored mask and flags under the wait cursor: the
  // application folders (flags 0 or 1), the recycle folder (bit 1), the backup
  // folders of the load path (bit 2), once per application of the mask in table
  // order. A lock service is made only when none of bits 0 to 2 is set. The
  // records end up ordered by creation time (ties keep the scan order), then
  // the sort order is rebuilt.
  void Reload();
  // The folder whose "BKUP.*" entries the backup scan loads; no rescan.
  void SetLoadPath(const std::string& path);

  int GetAppType() const;    // the stored application mask
  int GetLoadFlags() const;  // the stored load flags
  int GetFolderNum() const;  // number of records

  // Record i in creation-time order; null when i is out of range.
  const FolMember* GetFolderMember(int i) const;
  // Record at position i of the sort order; null when i is out of range.
  const FolMember* GetSortedFolderMember(int i) const;
  // Member index at position i of the sort order (i itself with sort type 0);
  // -1 when i is out of range.
  int ToSortedIndex(int i) const;

  // Sort types (SortType below): 0 creation-time order, 1 application id,
  // 2 creator, 3 updater, 4 creation time, 5 update time, 6 drawing number,
  // 7 title, 8 page count (other types keep the creation-time order).
  // Direction > 0 ascending, < 0 descending, 0 ascending except that the two
  // times keep the creation-time order. The order is rebuilt only when type or
  // direction change: SetSortType(type) leaves it alone when type is current
  // and the direction is already 0, else sets type and direction 0;
  // SetSortType(type, direction) leaves it alone when both are current.
  void SetSortType(int type);
  void SetSortType(int type, int direction);
  int GetSortType() const;
  int GetSortDir() const;

  // Appends "BKUP" to the path of record i (creation-time order), so that it
  // stands for the drawing's backup folder; out-of-range i does nothing.
  void SetBackupPath(int i);

  // 1 when the application folder holds a folder with an index file, else 0.
  int IsExistCadFile(int appId) const;
  // Number of folders in the application folder that hold an index file.
  int CountCadFile(int appId) const;

  // State of a file: 1 when it does not exist as a file or its attributes
  // cannot be read, 2 when it is read-only (no write permission bit at all),
  // else 0.
  static int GetLockType(const CEnvironObj& env, const std::string& path);

  // The lock service of the last load, or null (flags bits 0 to 2, or no load).
  VexaFolderLock* GetFolderLock();
  // Asks the lock states again as the last load asked them (no records are
  // added, removed or reordered; drawings the load found stay listed) and
  // stores them in the records. The number of records whose state changed;
  // 0 without a lock service.
  int RefreshLockStates();
  const CEnvironObj& GetEnvObj() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Sort types of VexaFolderList::SetSortType. The enum is an int, so the int
// interface takes these names and plain numbers alike.
enum SortType : int {
  kSortCreationOrder = 0,  // the order of the records (creation time)
  kSortAppId = 1,
  kSortCreator = 2,
  kSortUpdater = 3,
  kSortCreateTime = 4,
  kSortUpdateTime = 5,
  kSortFolderNo = 6,  // the drawing number
  kSortTitle = 7,
  kSortPageCount = 8,
};

// The order a drawing list is shown in without stored settings: the newest
// change first.
inline constexpr int kDefaultSortType = kSortUpdateTime;
inline constexpr int kDefaultSortDir = -1;

// One drawing without loading a list, for a host or tool that names a drawing
// by its path. The record of the drawing folder `folder`: its path, the
// application the path belongs to (GetPathToSenyouId), the header of its index
// file (named in any ASCII case, never read through a link), file state 0, 1
// (index file missing or unreadable) or 2 (read-only), and with lock given
// lock state 1 (IsLockZmn answers 1), else 2 (IsExistLockPage answers 1),
// else 0. Returns 0 when the header was read (a short index file gives what
// it holds); the errno value when the index file cannot be opened; -1 when a
// read fails.
VEXA_CORE_API int ReadFolderMember(const CEnvironObj& env, const std::string& folder,
                                   VexaFolderLock* lock, FolMember& record);

// The path a load of its application gives the drawing folder that folder
// names, by whatever path (links, ASCII case): the application's folder as the
// store spells it plus the entry's name. "" when folder is no drawing folder
// "Fol.NNN" (1 to 999) directly in its application's folder: a recycled or
// backup folder, one outside the store, or no folder at all.
VEXA_CORE_API std::string ListedDrawingFolder(const CEnvironObj& env, const std::string& folder);

}  // namespace vexa
