// VexaFolderLock: marks a drawing, or one page of a drawing, as being edited,
// and tests such marks, across processes and computers sharing the store.
//
// A drawing is named by the path of its drawing folder ("…/Fol.012"). The
// drawing lock is byte n (the folder number) of "CADAPP.LOC" beside the drawing
// folders of its application; page p is byte p of the drawing's "FOL%03d.LOC"
// there. A lock is exclusive, never waited for, and lives as long as this
// service keeps the lock file open (until UnLockZmn of the drawing for its
// pages, UnLockAll or destruction); the end of a process releases its locks.
// Another holder is any other handle: another process or another
// VexaFolderLock object (copies are not others: they share one lock table).
//
// Nothing here throws or shows a message. A lock operation that cannot be
// carried out answers 0, a test that cannot find its answer answers 1
// (locked), an unlock that cannot be carried out does nothing. Until a service
// made without an environment is given one with SetEnvObj, every operation
// answers in that way. Not synchronised: use one service from one thread.
#pragma once

#include <memory>

#include "vexafol/environ.h"
#include "vexafol/export.h"

namespace vexa {

class VexaFolderLockInfo;
namespace lock {
class LockSurvey;
}

class VEXA_CORE_API VexaFolderLock {
 public:
  // Makes the lock table; no lock file is opened until an operation needs it.
  explicit VexaFolderLock(const CEnvironObj* env = nullptr);
  // The copy refers to the same lock table (same open files, same locks).
  VexaFolderLock(const VexaFolderLock& other);
  VexaFolderLock& operator=(const VexaFolderLock& other);
  // The last object that refers to the table closes and removes its lock files.
  virtual ~VexaFolderLock();

  const CEnvironObj* GetEnvObj() const;
  // Replaces the table's environment (shared by copies); slots take it over at
  // their next use.
  void SetEnvObj(const CEnvironObj& env);

  // 1: the drawing lock is now held by this service; 0: it is not (held by
  // anybody, this service included, or another holder has one of pages 0 to
  // 499 of the drawing locked, or a failure).
  int LockZmn(const char* path);
  // Releases the drawing lock and, when this service held it, all of this
  // service's page locks of the drawing.
  void UnLockZmn(const char* path);
  // 0: nobody holds the drawing lock and nobody else holds one of pages 0 to
  // 499; 1: otherwise (also when this service holds the drawing lock).
  int IsLockZmn(const char* path);
  // 1: page lock now held by this service; 0: held by anybody, or a failure.
  // The drawing lock is not consulted.
  int LockPage(const char* path, int page);
  // Releases the page lock if this service holds it.
  void UnLockPage(const char* path, int page);
  // 0: nobody holds the page lock; 1: somebody (this service included) does.
  int IsLockPage(const char* path, int page);
  // 1: somebody else holds one of pages 0 to 499 of the drawing (or its page
  // lock file exists but cannot be read); 0: not, or no page lock file.
  int IsExistLockPage(const char* path);
  // Releases every lock of this service; its lock files are closed and removed
  // unless another holder has them open.
  void UnLockAll();

 private:
  friend class lock::LockSurvey;  // answers many tests at once from the same table
  std::shared_ptr<VexaFolderLockInfo> table_;
};

}  // namespace vexa
