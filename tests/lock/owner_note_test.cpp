// Owner notes: their text as untrusted input, and who is named while real
// processes (other users too, as root) hold, release, crash and plant.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "lock/owner_note.h"
#include "platform/folder_mode.h"
#include "tests/lock/lock_store.h"
#include "tests/support/child_process.h"
#include "tests/support/fault_env.h"
#include "tests/support/hostile_files.h"
#include "vexafol/folderlock.h"
#include "vexafol/lock_holder.h"

namespace vexa {
namespace {

using test::HoldingChild;
using test::LockStore;

constexpr int kFolderNo = 12;

// --- the note text -------------------------------------------------------

TEST(NoteText, WhatIsWrittenIsReadBack) {
  LockHolder written;
  written.login = "yamada";
  written.fullName = "山田太郎";
  written.computer = "PC-12";
  written.program = "cadapp";
  written.pid = 4711;
  written.since = 1796518980;  // 2026-12-06T01:03:00Z
  const std::string text = lock::FormatNote(written);
  EXPECT_NE(text.find("since=2026-12-06T01:03:00Z\n"), std::string::npos) << text;
  LockHolder read;
  ASSERT_TRUE(lock::ParseNote(text, read));
  EXPECT_TRUE(read.named);
  EXPECT_EQ(read.login, "yamada");
  EXPECT_EQ(read.fullName, "山田太郎");
  EXPECT_EQ(read.computer, "PC-12");
  EXPECT_EQ(read.program, "cadapp");
  EXPECT_EQ(read.pid, 4711);
  EXPECT_EQ(read.since, written.since);
}

TEST(NoteText, PlantedTextIsEscapedAndBounded) {
  std::string longName;
  for (int i = 0; i < 200; ++i) longName += "あ";
  const std::string text = std::string(lock::kNoteHeader) +
                           "\nlogin=a\x1b[31mb\\c\xff\xfe\r\nname=" + longName +
                           "\ncomputer=\xe3\x81\nunknown=x\nsince=yesterday\npid=12abc\n";
  LockHolder read;
  ASSERT_TRUE(lock::ParseNote(text, read));
  EXPECT_EQ(read.login, "a\\x1B[31mb\\x5Cc\\xFF\\xFE\\x0D");
  EXPECT_LE(read.fullName.size(), lock::kMaxNoteValue);
  EXPECT_EQ(read.fullName.size() % 3, 0u) << "cut inside a character";
  EXPECT_EQ(read.computer, "\\xE3\\x81");  // a character cut short is no character
  EXPECT_EQ(read.since, 0);
  EXPECT_EQ(read.pid, 12);
}

TEST(NoteText, WhatIsNoNoteOfThisVersionIsRefused) {
  LockHolder read;
  EXPECT_FALSE(lock::ParseNote("VEXAFOL-LOCK-NOTE 2\nlogin=x\n", read));
  EXPECT_FALSE(lock::ParseNote("VEXAFOL-LOCK-NOTE 1", read));
  EXPECT_FALSE(lock::ParseNote(std::string("\0\x01\x02\n", 4), read));
  EXPECT_FALSE(lock::ParseNote(
      std::string(lock::kNoteHeader) + "\n" + std::string(lock::kMaxNoteSize, 'x'), read));
  EXPECT_FALSE(read.named);
}

TEST(NoteText, OnlyTheNamesNotesGetAreNoteNames) {
  EXPECT_TRUE(lock::IsNoteName(lock::DrawingNoteName(7)));
  EXPECT_TRUE(lock::IsNoteName(lock::PageNoteName(7, 3)));
  EXPECT_TRUE(lock::IsNoteName(lock::PageNoteName(999, 500)));
  for (const char* name : {"D7.NOTE", "d007.note", "D007.NOTE.x", "P007-03.NOTE", "P007-.NOTE",
                           "D007.NOTEx", ".vexafol-new.1.2.D007.NOTE", "CADAPP.LOC"})
    EXPECT_FALSE(lock::IsNoteName(name)) << name;
}

// --- holders in real processes --------------------------------------------

// A lock held the way a Windows client or an older version holds it: a byte
// lock and no note.
bool HoldByteWithoutNote(const std::string& lockFile, int byte) {
  const int fd = open(lockFile.c_str(), O_RDWR | O_CREAT, 0666);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  return fd >= 0 && fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// What a writer does to make its note believed: lock its live byte.
bool HoldLiveByte(const std::string& note) {
  const int fd = open(note.c_str(), O_RDWR);
  struct flock live {};
  live.l_type = F_WRLCK;
  live.l_whence = SEEK_SET;
  live.l_start = static_cast<off_t>(lock::kNoteLiveByte);
  live.l_len = 1;
  return fd >= 0 && fcntl(fd, F_OFD_SETLK, &live) == 0;
}

std::string NoteFolder(const LockStore& store) {
  return store.AppFolder() + "/" + lock::kNoteFolder;
}

int EntriesIn(const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  if (platform::CurrentEnv().ListDir(folder, entries) != 0) return -1;
  return static_cast<int>(entries.size());
}

TEST(OwnerNotes, NameTheHolderOfADrawingAndOfAPageUntilRelease) {
  LockStore store;
  const std::string drawing = store.Drawing(kFolderNo);
  const int64_t before = std::time(nullptr);
  VexaFolderLock* service = nullptr;  // the child's, released before it leaves
  HoldingChild child(
      [&] {
        service = new VexaFolderLock(&store.env());
        return service->LockZmn(drawing.c_str()) == 1 && service->LockPage(drawing.c_str(), 7) == 1;
      },
      [&] {
        delete service;
        return 0;
      });
  ASSERT_TRUE(child.holding());
  const LockHolder whole = GetDrawingLockHolder(store.env(), drawing);
  EXPECT_TRUE(whole.held);
  ASSERT_TRUE(whole.named);
  EXPECT_EQ(whole.pid, child.pid());
  EXPECT_EQ(whole.login, platform::CurrentEnv().UserName());
  EXPECT_GE(whole.since, before);
  EXPECT_EQ(whole.page, -1);
  const LockHolder page = GetPageLockHolder(store.env(), drawing, 7);
  EXPECT_TRUE(page.named);
  EXPECT_EQ(page.pid, child.pid());
  EXPECT_EQ(page.page, 7);
  EXPECT_FALSE(GetPageLockHolder(store.env(), drawing, 8).held);
  EXPECT_EQ(EntriesIn(NoteFolder(store)), 2);

  EXPECT_EQ(child.Release(), 0);
  EXPECT_FALSE(GetDrawingLockHolder(store.env(), drawing).held);
  EXPECT_FALSE(GetInUseHolder(store.env(), drawing).held);
  EXPECT_EQ(EntriesIn(NoteFolder(store)), 0) << "a released lock leaves no note";
}

// Notes are read by every member of the store's group: whatever the writer's
// umask, a note in a group store gets the store's file mode (the mode is set
// again only when the umask narrows it).
TEST(OwnerNotes, NotesTakeTheStoreModeWhateverTheUmask) {
  for (const mode_t umask : {mode_t{077}, mode_t{002}}) {
    SCOPED_TRACE(umask);
    LockStore store;
    std::filesystem::create_directories(store.AppFolder());
    ASSERT_EQ(chmod(store.AppFolder().c_str(), 02770), 0);
    const mode_t before = ::umask(umask);
    EXPECT_EQ(platform::CurrentUmask(), umask);
    {
      VexaFolderLock service(&store.env());
      const std::string drawing = store.Drawing(kFolderNo);
      ASSERT_EQ(service.LockZmn(drawing.c_str()), 1);
      struct stat note {};
      ASSERT_EQ(stat((NoteFolder(store) + "/D012.NOTE").c_str(), &note), 0);
      EXPECT_EQ(note.st_mode & 07777, 0660u);
      EXPECT_TRUE(GetDrawingLockHolder(store.env(), drawing).named);
    }
    ::umask(before);
  }
}

TEST(OwnerNotes, ADrawingInUseThroughAPageNamesThePageHolder) {
  LockStore store;
  const std::string drawing = store.Drawing(kFolderNo);
  VexaFolderLock other(&store.env());
  ASSERT_EQ(other.LockPage(drawing.c_str(), 42), 1);
  const LockHolder inUse = GetInUseHolder(store.env(), drawing);
  EXPECT_TRUE(inUse.named);
  EXPECT_EQ(inUse.page, 42);
  EXPECT_EQ(inUse.pid, static_cast<long>(getpid()));
  other.UnLockPage(drawing.c_str(), 42);
  EXPECT_FALSE(GetInUseHolder(store.env(), drawing).held);
  EXPECT_EQ(EntriesIn(NoteFolder(store)), 0);
}

TEST(OwnerNotes, ACrashedHoldersNoteIsNeverShown) {
  LockStore store;
  const std::string drawing = store.Drawing(kFolderNo);
  HoldingChild crashing([&] {
    static VexaFolderLock* service = new VexaFolderLock(&store.env());
    return service->LockZmn(drawing.c_str()) == 1;
  });
  ASSERT_TRUE(crashing.holding());
  crashing.Kill();
  const std::string note = NoteFolder(store) + "/" + lock::DrawingNoteName(kFolderNo);
  ASSERT_TRUE(LockStore::Exists(note)) << "a crash leaves its note behind";
  EXPECT_FALSE(GetDrawingLockHolder(store.env(), drawing).held);

  // Another client without notes takes the byte: the crashed note stays silent.
  HoldingChild noteless([&] { return HoldByteWithoutNote(store.DrawingLockFile(), kFolderNo); });
  ASSERT_TRUE(noteless.holding());
  const LockHolder unnamed = GetDrawingLockHolder(store.env(), drawing);
  EXPECT_TRUE(unnamed.held);
  EXPECT_FALSE(unnamed.named);
  EXPECT_EQ(LockHolderText(unnamed, std::time(nullptr)), "名前のわからないクライアント");
  noteless.Release();

  // The next holder of this library replaces the leftover.
  VexaFolderLock next(&store.env());
  ASSERT_EQ(next.LockZmn(drawing.c_str()), 1);
  EXPECT_EQ(GetDrawingLockHolder(store.env(), drawing).pid, static_cast<long>(getpid()));
  next.UnLockAll();
  EXPECT_FALSE(LockStore::Exists(note));
}

TEST(OwnerNotes, AHolderOfAnotherUserIsNamed) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hold a lock as an unused uid";
  LockStore store;
  const std::string drawing = store.Drawing(kFolderNo);
  uid_t uid = 47100;
  while (getpwuid(uid)) ++uid;
  // The users share the store folder as members of its group would.
  store.env().CreateDir(store.DrawingLockFile(), 0);
  for (std::string folder = store.AppFolder(); folder.find("/vexafol-test-") != std::string::npos;
       folder = folder.substr(0, folder.rfind('/')))
    chmod(folder.c_str(), 0777);
  VexaFolderLock* service = nullptr;
  HoldingChild other(
      [&] {
        service = new VexaFolderLock(&store.env());
        return setgid(uid) == 0 && setuid(uid) == 0 && service->LockZmn(drawing.c_str()) == 1;
      },
      [&] {
        delete service;
        return 0;
      });
  ASSERT_TRUE(other.holding());
  const LockHolder holder = GetDrawingLockHolder(store.env(), drawing);
  ASSERT_TRUE(holder.named);
  EXPECT_EQ(holder.pid, other.pid());
  EXPECT_EQ(holder.login, "") << "an uid without an account has no login";
  struct stat st;
  ASSERT_EQ(stat((NoteFolder(store) + "/" + lock::DrawingNoteName(kFolderNo)).c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, uid);
  EXPECT_EQ(st.st_mode & 0777, 0666u) << "a note takes the modes of the store's folder";
  EXPECT_EQ(other.Release(), 0);
  EXPECT_FALSE(GetDrawingLockHolder(store.env(), drawing).held);
  EXPECT_EQ(EntriesIn(NoteFolder(store)), 0);
}

// --- notes that cannot be written, and notes somebody planted --------------

TEST(OwnerNotes, ANoteThatCannotBeWrittenNeverFailsTheLock) {
  // Under the note folder's name: a link to a folder outside, and what else a
  // member can plant (a real folder there is simply the note folder).
  for (int plant = -1; plant < static_cast<int>(std::size(test::kHostiles)); ++plant) {
    if (plant >= 0 && test::kHostiles[plant] == test::Hostile::Folder) continue;
    SCOPED_TRACE(plant < 0 ? "link to a folder outside" : test::NameOf(test::kHostiles[plant]));
    LockStore store;
    const std::string drawing = store.Drawing(kFolderNo);
    store.env().CreateDir(store.DrawingLockFile(), 0);
    test::TempDir outside;
    test::Victims victims(store.AppFolder() + "/victim.txt");
    if (plant < 0)
      ASSERT_EQ(symlink(outside.path().c_str(), NoteFolder(store).c_str()), 0);
    else
      victims.Plant(test::kHostiles[plant], NoteFolder(store));
    VexaFolderLock service(&store.env());
    EXPECT_EQ(service.LockZmn(drawing.c_str()), 1);
    EXPECT_EQ(service.LockPage(drawing.c_str(), 3), 1);
    const LockHolder holder = GetDrawingLockHolder(store.env(), drawing);
    EXPECT_TRUE(holder.held);
    EXPECT_FALSE(holder.named);
    EXPECT_EQ(EntriesIn(outside.path()), 0) << "nothing written through a planted link";
    EXPECT_TRUE(victims.Untouched());
    service.UnLockAll();
  }
  // The live byte cannot be locked: the lock stands, the note is taken away.
  LockStore store;
  const std::string drawing = store.Drawing(kFolderNo);
  platform::FaultEnv faults;
  faults.Fail(platform::Op::Lock, ENOLCK, ".NOTE");
  platform::ScopedEnv scoped(faults);
  VexaFolderLock service(&store.env());
  EXPECT_EQ(service.LockZmn(drawing.c_str()), 1);
  EXPECT_TRUE(GetDrawingLockHolder(store.env(), drawing).held);
  EXPECT_FALSE(GetDrawingLockHolder(store.env(), drawing).named);
  EXPECT_EQ(EntriesIn(NoteFolder(store)), 0);
}

// A planted note under the drawing's note name, while a client without notes
// holds the drawing: never believed unless its writer holds it, never read
// through a link, never blocking, never read beyond its bound.
TEST(OwnerNotes, APlantedNoteIsUntrustedText) {
  LockStore store;
  const std::string drawing = store.Drawing(kFolderNo);
  store.env().CreateDir(store.DrawingLockFile(), 0);
  mkdir(NoteFolder(store).c_str(), 0777);
  const std::string note = NoteFolder(store) + "/" + lock::DrawingNoteName(kFolderNo);
  const std::string lure = store.AppFolder() + "/lure";
  std::ofstream(lure) << lock::kNoteHeader << "\nlogin=boss\n";
  HoldingChild liveLure([&] { return HoldLiveByte(lure); });
  ASSERT_TRUE(liveLure.holding());
  HoldingChild noteless([&] { return HoldByteWithoutNote(store.DrawingLockFile(), kFolderNo); });
  ASSERT_TRUE(noteless.holding());

  const std::function<void()> plants[] = {
      [&] { symlink(lure.c_str(), note.c_str()); },
      [&] { mkfifo(note.c_str(), 0666); },
      [&] {
        std::ofstream huge(note);
        huge << lock::kNoteHeader << "\n" << std::string(10 << 20, 'x');
      },
      [&] {
        std::ofstream(note) << std::string(
            "\x7f"
            "ELF\0\x01\xff",
            7);
      },
      [&] { std::ofstream(note) << lock::kNoteHeader << "\nlogin=nobody-holds-me\n"; },
  };
  for (const auto& plant : plants) {
    unlink(note.c_str());
    plant();
    const LockHolder holder = GetDrawingLockHolder(store.env(), drawing);
    EXPECT_TRUE(holder.held);
    EXPECT_FALSE(holder.named) << holder.login;
  }

  // A planted note whose planter holds it is shown, as escaped text.
  unlink(note.c_str());
  std::ofstream(note) << lock::kNoteHeader
                      << "\nlogin=\x1b]0;owned\x07\nname=" << std::string(5000, 'n') << "\n";
  HoldingChild planter([&] { return HoldLiveByte(note); });
  ASSERT_TRUE(planter.holding());
  const LockHolder shown = GetDrawingLockHolder(store.env(), drawing);
  EXPECT_FALSE(shown.named) << "a note larger than the bound is no note";
  planter.Release();
  std::ofstream(note, std::ios::trunc) << lock::kNoteHeader << "\nlogin=\x1b]0;owned\x07\n";
  HoldingChild planter2([&] { return HoldLiveByte(note); });
  ASSERT_TRUE(planter2.holding());
  const LockHolder escaped = GetDrawingLockHolder(store.env(), drawing);
  ASSERT_TRUE(escaped.named);
  EXPECT_EQ(escaped.login, "\\x1B]0;owned\\x07");

  // Taking the lock replaces the planted entry; a link is removed, never its target.
  planter2.Release();
  noteless.Release();
  unlink(note.c_str());
  symlink(lure.c_str(), note.c_str());
  VexaFolderLock service(&store.env());
  ASSERT_EQ(service.LockZmn(drawing.c_str()), 1);
  EXPECT_EQ(GetDrawingLockHolder(store.env(), drawing).pid, static_cast<long>(getpid()));
  std::ifstream kept(lure);
  std::string first;
  std::getline(kept, first);
  EXPECT_EQ(first, lock::kNoteHeader);
}

}  // namespace
}  // namespace vexa
