// The rows of a drawing grid, without the widget: the load of the folder list
// the grid shows, the member keys of its records in display order (sorted,
// then filtered by the search conditions), and what is known of each
// drawing's backup folders. It knows no Qt, so its rules are tested without a
// window; FileSelSheet shows it.
#pragma once

#include <cstdint>
#include <vector>

#include "vexafol/findcriteria.h"

namespace vexa {

class CEnvironObj;
struct FolMember;
class VexaFolderList;

class DrawingRows {
 public:
  explicit DrawingRows(const FindCriteria& criteria) : criteria_(criteria) {}

  // Takes a load of list (a first one, or list after a reload): no record
  // shown, nothing known of backups, and Generation counts one more load.
  void Bind(VexaFolderList* list);
  // The number of member keys of the bound load (0 to count - 1), and so of
  // the backup answers kept.
  void SetMemberCount(int count);

  VexaFolderList* List() const { return list_; }
  const CEnvironObj* Env() const { return env_; }
  int MemberCount() const { return memberCount_; }
  // Loads bound so far: what was built from an earlier load is stale.
  int Generation() const { return generation_; }

  // The records: every member key in order, or the given keys.
  void ShowAll();
  void Show(std::vector<int> keys);
  int Count() const { return static_cast<int>(keys_.size()); }
  // The member key of record row; -1 outside the records.
  int KeyAt(int row) const;

  // The search conditions and whether the records are filtered by them.
  const FindCriteria& Criteria() const { return criteria_; }
  void SetCriteria(const FindCriteria& criteria) { criteria_ = criteria; }
  bool Searching() const { return searching_; }
  void SetSearching(bool searching) { searching_ = searching; }
  // Whether member (null: a free number, which never matches) meets the
  // search conditions.
  bool Matches(const FolMember* member) const;

  // Backup folders ("BKUP.*" in the drawing's folder) of the member with
  // index (0 to MemberCount - 1): read at most once per load.
  enum class Backups : std::uint8_t { kUnknown, kNone, kSome };
  Backups KnownBackups(int index) const;
  // The answer for index, listing the member's folder only when it is not
  // known yet; false outside the member indexes.
  bool ReadBackups(int index, const FolMember& member);

 private:
  VexaFolderList* list_ = nullptr;
  const CEnvironObj* env_ = nullptr;
  int memberCount_ = 0;
  int generation_ = 0;
  std::vector<int> keys_;
  FindCriteria criteria_;
  bool searching_ = false;
  std::vector<Backups> backups_;
};

}  // namespace vexa
