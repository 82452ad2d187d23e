// vexafol status: the answers of the lock service's tests for one drawing, as
// any other user of the store gets them.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tools/command.h"
#include "tools/holder_text.h"
#include "tools/lock_file_check.h"
#include "tools/lock_target.h"
#include "tools/output_text.h"
#include "tools/store_env.h"
#include "vexafol/filetime.h"
#include "vexafol/folderlist.h"
#include "vexafol/folderlock.h"
#include "vexafol/folmember.h"
#include "vexafol/lock_holder.h"
#include "vexafol/store_layout.h"

namespace vexa::tool {
namespace {

// Page count from the drawing's index header; -1 when it cannot be read.
int HeaderPageCount(const LockTarget& target) {
  FolMember drawing;
  if (ReadFolderMember(target.env(), target.path(), nullptr, drawing) != 0) return -1;
  const int count = drawing.header.pageCount;
  return count < 0 ? 0 : count > kMaxPageCount ? kMaxPageCount : count;
}

// The lock files whose open fails, with the reason; only asked when some
// answer was 1, which such a file makes without anybody holding anything.
std::vector<std::string> UnusableLockFiles(const LockTarget& target, bool pagesAsked) {
  std::vector<std::string> problems;
  for (const std::string& problem :
       {LockFileProblem(target.drawingLockFile(), Missing::Create),
        LockFileProblem(target.pageLockFile(), pagesAsked ? Missing::Create : Missing::Skip)}) {
    if (!problem.empty()) problems.push_back(problem);
  }
  return problems;
}

struct Answers {
  int drawing = 0;                         // IsLockZmn
  int anyPage = 0;                         // IsExistLockPage
  std::vector<std::pair<int, int>> pages;  // page, IsLockPage
  std::vector<std::string> unusable;
  LockHolder holder;                    // why IsLockZmn answers 1, by the owner notes
  std::vector<LockHolder> pageHolders;  // one per page asked
  int64_t now = 0;
};

void PrintJson(const LockTarget& target, const Answers& answers, bool pagesGiven, int pageCount) {
  std::printf(
      "{\"path\": %s, \"appId\": %d, \"slot\": %d, \"folderNo\": %d, \"lockable\": %s,\n"
      " \"drawingLockFile\": %s, \"pageLockFile\": %s,\n"
      " \"isLockZmn\": %d, \"isExistLockPage\": %d, \"pageCount\": %s,\n \"pages\": [",
      JsonString(target.path()).c_str(), target.appId(), target.slot(), target.folderNo(),
      target.Lockable() ? "true" : "false", JsonString(target.drawingLockFile()).c_str(),
      JsonString(target.pageLockFile()).c_str(), answers.drawing, answers.anyPage,
      pagesGiven ? "null" : std::to_string(pageCount).c_str());
  for (size_t i = 0; i < answers.pages.size(); ++i)
    std::printf("%s{\"page\": %d, \"isLockPage\": %d}", i ? ", " : "", answers.pages[i].first,
                answers.pages[i].second);
  std::printf("],\n \"unusable\": [");
  for (size_t i = 0; i < answers.unusable.size(); ++i)
    std::printf("%s%s", i ? ", " : "", JsonString(answers.unusable[i]).c_str());
  std::printf("],\n \"holder\": %s,\n \"pageHolders\": [",
              HolderJson(answers.holder, answers.now).c_str());
  const char* separator = "";
  for (size_t i = 0; i < answers.pages.size(); ++i) {
    if (!answers.pageHolders[i].held) continue;
    std::printf("%s\n  {\"page\": %d, \"holder\": %s}", separator, answers.pages[i].first,
                HolderJson(answers.pageHolders[i], answers.now).c_str());
    separator = ",";
  }
  std::printf("%s]}\n", *separator ? "\n " : "");
}

void PrintText(const LockTarget& target, const Answers& answers, bool pagesGiven, int pageCount) {
  std::printf("Drawing          %s\n", Printable(target.path()).c_str());
  std::printf("Application      %s, lock slot %d, folder number %d\n",
              HexId(target.appId()).c_str(), target.slot(), target.folderNo());
  std::printf("Lock files       %s (byte %d), %s\n", Printable(target.drawingLockFile()).c_str(),
              target.folderNo(), Printable(FileNameOf(target.pageLockFile())).c_str());
  if (!target.Lockable())
    std::printf("                 (no slot or no folder number %d to %d: every test answers 1)\n",
                kFirstDrawingNo, kLastDrawingNo);
  std::printf(
      "IsLockZmn        %d  %s\n", answers.drawing,
      answers.drawing ? "in use: somebody holds the drawing, or one of its pages 0-499" : "free");
  if (answers.holder.held)
    std::printf("Held by          %s%s\n", HolderLine(answers.holder, answers.now).c_str(),
                answers.holder.page >= 0
                    ? (" (page " + std::to_string(answers.holder.page) + ")").c_str()
                    : "");
  std::printf("IsExistLockPage  %d  %s\n", answers.anyPage,
              answers.anyPage ? "somebody holds one of its pages 0-499" : "no page 0-499 is held");
  std::printf(
      "                 (both see pages 0 to %d only; a lock on page %d or above shows\n"
      "                 only in IsLockPage: ask for it with --page)\n",
      kScannedPages - 1, kScannedPages);
  if (!pagesGiven) {
    if (pageCount < 0)
      std::printf("IsLockPage       (the header cannot be read: give pages with --page)\n");
    else if (pageCount == 0)
      std::printf("IsLockPage       (the drawing has no pages: give pages with --page)\n");
    else
      std::printf("IsLockPage       pages 0 to %d (the drawing has %d page%s)\n", pageCount - 1,
                  pageCount, pageCount == 1 ? "" : "s");
  }
  for (size_t i = 0; i < answers.pages.size(); ++i) {
    const auto& [page, held] = answers.pages[i];
    const LockHolder& holder = answers.pageHolders[i];
    std::printf("IsLockPage %-5d %d  %s%s\n", page, held, held ? "in use" : "free",
                holder.held ? (": " + HolderLine(holder, answers.now)).c_str() : "");
  }
  for (const std::string& problem : answers.unusable)
    std::printf("Unusable         %s (tests that need it answer 1)\n", Printable(problem).c_str());
}

}  // namespace

int RunStatus(Args& args) {
  LockTarget target;
  if (const int status = target.Load(args, "status")) return status;
  std::vector<int> pages;
  std::string error;
  if (!PageOptions(args, pages, error)) return UsageError(error);
  const bool pagesGiven = !pages.empty();
  const int pageCount = pagesGiven ? 0 : HeaderPageCount(target);
  for (int page = 0; page < pageCount; ++page) pages.push_back(page);

  // A service of its own: this process is "another user" to every holder.
  VexaFolderLock locks(&target.env());
  Answers answers;
  answers.drawing = locks.IsLockZmn(target.c_path());
  answers.anyPage = locks.IsExistLockPage(target.c_path());
  bool anyHeld = answers.drawing || answers.anyPage;
  answers.now = FileTimeToUnix(CurrentFileTime());
  if (answers.drawing) answers.holder = GetInUseHolder(target.env(), target.path());
  for (const int page : pages) {
    const int held = locks.IsLockPage(target.c_path(), page);
    anyHeld = anyHeld || held;
    answers.pages.emplace_back(page, held);
    answers.pageHolders.push_back(held ? GetPageLockHolder(target.env(), target.path(), page)
                                       : LockHolder{});
  }
  if (anyHeld && target.Lockable()) answers.unusable = UnusableLockFiles(target, !pages.empty());
  if (args.Has("json"))
    PrintJson(target, answers, pagesGiven, pageCount);
  else
    PrintText(target, answers, pagesGiven, pageCount);
  return 0;
}

}  // namespace vexa::tool
