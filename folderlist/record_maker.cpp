#include "folderlist/record_maker.h"

#include <new>
#include <optional>

#include "folderlist/folderlist_scan.h"
#include "folderlist/overlapped.h"
#include "lock/lock_survey.h"
#include "lock/page_probe.h"
#include "platform/collate.h"
#include "vexafol/senyou.h"

namespace vexa::folder_list {

RecordMaker::RecordMaker(const CEnvironObj& env, std::vector<FolMember>& out)
    : env_(env), out_(out) {}

RecordMaker::~RecordMaker() = default;

void RecordMaker::Add(const std::vector<std::string>& folders, int appId,
                      std::unique_ptr<lock::LockSurvey> survey) {
  // The paths are made here: the host environment is used only from this
  // thread; the reads and probes may overlap on other threads.
  for (const std::string& folder : folders) {
    Queued item;
    item.folder = folder;
    item.index = folder;
    CreateIndexFileName(env_, item.index);
    if (survey) item.pageLock = survey->PageLockToProbe(folder);
    item.appId = appId;
    item.survey = survey.get();
    queued_.push_back(std::move(item));
  }
  if (survey) surveys_.push_back(std::move(survey));
}

bool RecordMaker::Finish(const std::function<bool(int read, int queued)>& progress) {
  const size_t count = queued_.size();
  if (progress && !progress(0, static_cast<int>(count))) return false;
  std::vector<FolMember> members(count);
  std::vector<HeaderRead> reads(count);
  std::vector<std::optional<lock::PageProbe>> probes(count);
  out_.reserve(out_.size() + count);
  // The records are made in the order queued while later index files are
  // still being read, so the lock tests overlap the reads.
  return RunOverlapped(
      count,
      [&](size_t i) {
        reads[i] = ReadHeaderAt(queued_[i].index, members[i].header);
        if (reads[i] == HeaderRead::Read && !queued_[i].pageLock.empty())
          probes[i] = lock::ProbePageLockFile(queued_[i].pageLock);
      },
      [&](size_t i) {
        const Queued& item = queued_[i];
        FolMember& member = members[i];
        try {
          const bool read = reads[i] == HeaderRead::Read ||
                            (reads[i] == HeaderRead::Missing &&
                             ReadIndexHeaderInAnyCase(env_, item.folder, member.header));
          if (read) {
            member.path = item.folder;
            member.appId = item.appId;
            member.lockState =
                item.survey ? item.survey->StateOf(item.folder, SlotIdOf(item.folder), probes[i])
                            : 0;
            out_.push_back(std::move(member));  // within the capacity reserved above
          }
        } catch (const std::bad_alloc&) {
          // Out of memory for this record: dropped, as a record that cannot be read.
        }
        return !progress || progress(static_cast<int>(i + 1), static_cast<int>(count));
      });
}

int RecordMaker::SlotIdOf(const std::string& folder) {
  // For a drawing folder named "FOL.*" without brackets the application follows
  // from its directory alone: work it out once per directory.
  const std::string name = env_.GetFileNameFromRelativePath(folder);
  if (name.find_first_of("[]") != std::string::npos ||
      platform::CollateNoCase(env_.GetBaseNameFromFileName(name), "FOL") != 0)
    return GetPathToSenyouId(env_, folder);
  const std::string directory = env_.GetDirNameFromRelativePath(folder);
  auto known = idByDirectory_.find(directory);
  if (known == idByDirectory_.end())
    known = idByDirectory_.emplace(directory, GetPathToSenyouId(env_, folder)).first;
  return known->second;
}

}  // namespace vexa::folder_list
