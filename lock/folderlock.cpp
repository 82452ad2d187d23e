#include "vexafol/folderlock.h"

#include "lock/drawing_key.h"
#include "lock/lock_file.h"
#include "lock/lock_records.h"
#include "lock/owner_note.h"

namespace vexa {
namespace {

// A drawing as the operations see it: its slot record and folder number.
struct Drawing {
  const CEnvironObj* env = nullptr;  // null: no slot (or no environment yet)
  const std::string& path;
  VexaFolderLockInfo* table = nullptr;
  VexaAppLock* slot = nullptr;
  int folderNo = -1;

  bool HasSlot() const { return slot != nullptr; }
  bool NumberInRange() const { return folderNo >= kFirstDrawingNo && folderNo <= kLastDrawingNo; }
  VexaPageLock& Pages() const { return slot->Page(folderNo); }
  // Opens the slot's drawing lock file (placed by this path on first use).
  bool OpenSlot() const { return slot->EnsureOpen(*env, path); }
  bool OpenPages() const {
    return Pages().EnsureOpen(table->SlotPaths().PagePath(*env, slot->DrawingPath(), folderNo));
  }
  // The folder of the slot's lock files, where their owner notes lie.
  const std::string& LockFolder() const {
    return table->SlotPaths().Dir(*env, slot->DrawingPath());
  }
  // The page scan through the slot's drawing path.
  bool SlotHasForeignPageLock() const {
    return Pages().HasForeignPageLock(*env, slot->DrawingPath(), folderNo, table->SlotPaths());
  }
};

Drawing Locate(VexaFolderLockInfo& table, const char* path) {
  // One text per thread for the path: its buffer is reused by every call.
  thread_local std::string text;
  text.assign(path ? path : "");
  Drawing drawing{nullptr, text, &table};
  if (!table.Env()) return drawing;
  const int slot = lock::SlotOfDrawing(*table.Env(), drawing.path);
  if (slot < 0) return drawing;
  drawing.env = table.Env();
  drawing.slot = &table.Slot(slot);
  drawing.folderNo = DrawingNumberOf(*drawing.env, drawing.path);
  return drawing;
}

}  // namespace

VexaFolderLock::VexaFolderLock(const CEnvironObj* env)
    : table_(std::make_shared<VexaFolderLockInfo>(env)) {}
VexaFolderLock::VexaFolderLock(const VexaFolderLock& other) = default;
VexaFolderLock& VexaFolderLock::operator=(const VexaFolderLock& other) = default;
VexaFolderLock::~VexaFolderLock() = default;

const CEnvironObj* VexaFolderLock::GetEnvObj() const {
  return table_->Env();
}
void VexaFolderLock::SetEnvObj(const CEnvironObj& env) {
  table_->SetEnv(&env);
}

int VexaFolderLock::LockZmn(const char* path) {
  const Drawing drawing = Locate(*table_, path);
  if (!drawing.HasSlot() || !drawing.OpenSlot() || !drawing.NumberInRange()) return 0;
  if (!drawing.slot->LockByte(drawing.folderNo)) return 0;
  // A drawing being edited page by page by somebody else cannot be taken whole.
  if (drawing.SlotHasForeignPageLock()) {
    drawing.slot->UnlockByte(drawing.folderNo);
    return 0;
  }
  drawing.table->Notes().Write(drawing.LockFolder(), lock::DrawingNoteName(drawing.folderNo));
  return 1;
}

void VexaFolderLock::UnLockZmn(const char* path) {
  const Drawing drawing = Locate(*table_, path);
  if (!drawing.HasSlot() || !drawing.slot->IsOpen() || !drawing.NumberInRange()) return;
  // Notes go before their locks; only this service's own notes are dropped.
  lock::OwnerNotes& notes = drawing.table->Notes();
  notes.Drop(drawing.LockFolder(), lock::DrawingNoteName(drawing.folderNo));
  if (!drawing.slot->UnlockByte(drawing.folderNo)) return;  // not ours: leave the pages alone
  notes.DropStartingWith(drawing.LockFolder(), lock::PageNotePrefix(drawing.folderNo));
  drawing.Pages().CloseAndRemove();
}

int VexaFolderLock::IsLockZmn(const char* path) {
  const Drawing drawing = Locate(*table_, path);
  if (!drawing.HasSlot() || !drawing.OpenSlot() || !drawing.NumberInRange()) return 1;
  if (drawing.slot->ProbeByte(drawing.folderNo)) return 1;
  return drawing.SlotHasForeignPageLock() ? 1 : 0;
}

int VexaFolderLock::IsExistLockPage(const char* path) {
  const Drawing drawing = Locate(*table_, path);
  if (!drawing.HasSlot() || !drawing.NumberInRange()) return 1;
  return drawing.Pages().HasForeignPageLock(*drawing.env, drawing.path, drawing.folderNo,
                                            drawing.table->ScanPaths())
             ? 1
             : 0;
}

int VexaFolderLock::LockPage(const char* path, int page) {
  const Drawing drawing = Locate(*table_, path);
  if (!drawing.HasSlot() || !drawing.OpenSlot() || !drawing.NumberInRange()) return 0;
  if (!drawing.OpenPages() || !drawing.Pages().LockByte(page)) return 0;
  drawing.table->Notes().Write(drawing.LockFolder(), lock::PageNoteName(drawing.folderNo, page));
  return 1;
}

void VexaFolderLock::UnLockPage(const char* path, int page) {
  const Drawing drawing = Locate(*table_, path);
  if (!drawing.HasSlot() || !drawing.OpenSlot() || !drawing.NumberInRange()) return;
  drawing.table->Notes().Drop(drawing.LockFolder(), lock::PageNoteName(drawing.folderNo, page));
  drawing.Pages().UnlockByte(page);  // fails quietly when not held or not open
}

int VexaFolderLock::IsLockPage(const char* path, int page) {
  const Drawing drawing = Locate(*table_, path);
  if (!drawing.HasSlot() || !drawing.OpenSlot() || !drawing.NumberInRange()) return 1;
  if (!drawing.OpenPages()) return 1;
  return drawing.Pages().ProbeByte(page) ? 1 : 0;
}

void VexaFolderLock::UnLockAll() {
  table_->CloseAll();
}

}  // namespace vexa
