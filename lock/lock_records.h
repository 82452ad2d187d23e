// The lock table of one lock service: the open handles of its drawing lock
// files ("CADAPP.LOC", one per application slot) and page lock files
// ("FOL%03d.LOC", one per drawing). A lock lives exactly as long as the handle
// through which it was taken; the records keep no list of locks. No operation
// raises an error: every failure is folded into its true/false result.
#pragma once

#include <string>

#include "lock/lock_file.h"
#include "lock/owner_notes.h"
#include "vexafol/environ.h"
#include "vexafol/file.h"

namespace vexa {

// The page lock file of one drawing; byte p stands for page p.
class VexaPageLock {
 public:
  VexaPageLock() = default;
  virtual ~VexaPageLock();  // CloseAndRemove
  VexaPageLock(const VexaPageLock&) = delete;
  VexaPageLock& operator=(const VexaPageLock&) = delete;

  // Opens the page lock file at path unless a valid handle is open; false
  // (with the file closed, and removed if unused) when it cannot be opened.
  bool EnsureOpen(const std::string& path);
  // Closes the handle, dropping its locks, and deletes the file unless another
  // handle has it open. Nothing happens while closed.
  void CloseAndRemove();
  bool LockByte(int n);
  bool UnlockByte(int n);
  bool ProbeByte(int n);
  // True when another handle holds a lock on one of pages 0 to 499 of the
  // drawing folderNo at drawingPath, or when its page lock file exists but
  // cannot be opened or read. No data directory or no page lock file: false,
  // and nothing is created. The record stays open afterwards.
  bool HasForeignPageLock(const CEnvironObj& env, const std::string& drawingPath, int folderNo);
  // The same, with the directory and page lock file path taken from paths.
  bool HasForeignPageLock(const CEnvironObj& env, const std::string& drawingPath, int folderNo,
                          lock::LockPaths& paths);

  bool IsOpen() const { return file_.IsOpen(); }

 private:
  File file_;
};

// The drawing lock file of one application slot (byte n: the drawing with
// folder number n) and the page lock records of its drawings 0 to 999.
class VexaAppLock {
 public:
  static constexpr int kPageRecords = kLastDrawingNo + 1;

  VexaAppLock() = default;
  virtual ~VexaAppLock();  // CloseAndRemove on its file (the page records remove theirs)
  VexaAppLock(const VexaAppLock&) = delete;
  VexaAppLock& operator=(const VexaAppLock&) = delete;

  // Opens "CADAPP.LOC" beside the drawing folder drawingPath unless a valid
  // handle is open (the slot then keeps the drawing path it was opened with).
  // The folders on the way are created. False when it cannot be opened.
  bool EnsureOpen(const CEnvironObj& env, const std::string& drawingPath);
  void CloseAndRemove();
  bool LockByte(int n);
  bool UnlockByte(int n);
  bool ProbeByte(int n);
  // ForeignLockedBytes of the open drawing lock file.
  bool ForeignLockedBytes(DrawingNumberBits& locked);

  bool IsOpen() const { return file_.IsOpen(); }
  // The drawing path of the last open; the page lock files of this slot lie
  // in its directory.
  const std::string& DrawingPath() const { return drawingPath_; }
  // Page record of folder number folderNo (0 to 999).
  VexaPageLock& Page(int folderNo) { return pages_[folderNo]; }

 private:
  std::string drawingPath_;
  File file_;
  VexaPageLock pages_[kPageRecords];
};

// The whole table of one lock service: 11 application slots.
class VexaFolderLockInfo {
 public:
  static constexpr int kSlots = 11;

  explicit VexaFolderLockInfo(const CEnvironObj* env) : env_(env) {}
  virtual ~VexaFolderLockInfo();  // CloseAll
  VexaFolderLockInfo(const VexaFolderLockInfo&) = delete;
  VexaFolderLockInfo& operator=(const VexaFolderLockInfo&) = delete;

  const CEnvironObj* Env() const { return env_; }
  void SetEnv(const CEnvironObj* env) { env_ = env; }
  VexaAppLock& Slot(int slot) { return slots_[slot]; }
  // Paths built from the slots' drawing paths, and from the drawing paths
  // that page scans are given directly; kept between calls.
  lock::LockPaths& SlotPaths() { return slotPaths_; }
  lock::LockPaths& ScanPaths() { return scanPaths_; }
  // The owner notes of the locks this table holds.
  lock::OwnerNotes& Notes() { return notes_; }
  // Drops every owner note, then CloseAndRemove on every drawing lock file
  // and every page lock file.
  void CloseAll();

 private:
  const CEnvironObj* env_;
  lock::LockPaths slotPaths_;
  lock::LockPaths scanPaths_;
  lock::OwnerNotes notes_;
  VexaAppLock slots_[kSlots];
};

}  // namespace vexa
