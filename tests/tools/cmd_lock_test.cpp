// Two users of one store played by separate `vexafol` processes: a holder
// started with `vexafol lock` keeps its locks while its standard input (a pipe
// of this test) stays open; `status`, `who` and a second `lock` look on. Also
// the tool's answers to bad command lines and where it puts the sample store.
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"
#include "vexafol/folder_environ.h"
#include "vexafol/folmember.h"
#include "vexafol/senyou.h"

namespace vexa::test {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

class LockToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunTool({"demo", store_}).exit, 0);
    const FolderEnvironObj env(store_);
    folder_ = GetSenyouPath(env, 1);
    drawing_ = folder_ + "/Fol.001";
    ASSERT_TRUE(Exists(drawing_));
  }

  std::vector<std::string> On(const std::string& command, std::vector<std::string> more = {}) {
    std::vector<std::string> words = {command, drawing_, "--store", store_};
    words.insert(words.end(), more.begin(), more.end());
    return words;
  }
  std::string Status(std::vector<std::string> more = {}) {
    const ToolRun result = RunTool(On("status", more));
    EXPECT_EQ(result.exit, 0);
    return result.out;
  }
  bool LockFilesGone() const {
    return !Exists(folder_ + "/CADAPP.LOC") && !Exists(folder_ + "/FOL001.LOC");
  }

  TempDir dir_;
  std::string store_ = dir_ / "store";
  std::string folder_;
  std::string drawing_;
};

TEST_F(LockToolTest, DrawingLockHolderIsSeenByOthersAndReleasedWhenInputEnds) {
  Tool holder(On("lock"));
  ASSERT_THAT(holder.ReadUntil("holding"), HasSubstr("LockZmn        granted"));

  EXPECT_THAT(Status(), AllOf(HasSubstr("IsLockZmn        1"), HasSubstr("IsExistLockPage  0"),
                              HasSubstr("IsLockPage 0     0")));
  const ToolRun who = RunTool(On("who"));
  EXPECT_EQ(who.exit, 0);
  EXPECT_THAT(who.out,
              AllOf(HasSubstr(std::to_string(holder.pid()) + " "),
                    HasSubstr("CADAPP.LOC  byte 1 (drawing lock)"), HasSubstr("vexafol lock")));

  const ToolRun second = RunTool(On("lock"));
  EXPECT_EQ(second.exit, 1);
  EXPECT_THAT(second.out, HasSubstr("LockZmn        refused"));
  EXPECT_THAT(second.out, Not(HasSubstr("holding")));  // nothing got: it ends at once

  // A page lock is granted although the drawing is locked as a whole.
  const ToolRun page = RunTool(On("lock", {"--page", "2"}));
  EXPECT_EQ(page.exit, 0);
  EXPECT_THAT(page.out, HasSubstr("LockPage 2     granted"));

  holder.CloseInput();
  const ToolRun released = holder.Finish();
  EXPECT_THAT(released.out, HasSubstr("released"));
  EXPECT_EQ(released.exit, 0);
  EXPECT_TRUE(LockFilesGone());
  EXPECT_THAT(Status(), HasSubstr("IsLockZmn        0"));
  EXPECT_TRUE(LockFilesGone());  // the looker removes what it opened
  EXPECT_THAT(RunTool(On("who")).out, HasSubstr("No process on this computer has them open."));
}

TEST_F(LockToolTest, PageLocksBelow500BlockTheDrawingLockOfOthersAndAbove499DoNot) {
  Tool pages(On("lock", {"--page", "3", "--page", "4", "--page", "600"}));
  ASSERT_THAT(pages.ReadUntil("holding"), HasSubstr("LockPage 600   granted"));

  EXPECT_THAT(Status({"--page", "3", "--page", "5", "--page", "600"}),
              AllOf(HasSubstr("IsLockZmn        1"), HasSubstr("IsExistLockPage  1"),
                    HasSubstr("IsLockPage 3     1"), HasSubstr("IsLockPage 5     0"),
                    HasSubstr("IsLockPage 600   1")));
  // Adjacent pages held through one handle are one range to the kernel.
  EXPECT_THAT(RunTool(On("who")).out, AllOf(HasSubstr(std::to_string(pages.pid()) + " "),
                                            HasSubstr("FOL001.LOC  pages 3-4, 600")));
  const ToolRun drawing = RunTool(On("lock"));
  EXPECT_EQ(drawing.exit, 1);
  EXPECT_THAT(drawing.out, AllOf(HasSubstr("refused"), HasSubstr("one of its pages")));
  EXPECT_EQ(RunTool(On("lock", {"--page", "600"})).exit, 1);

  pages.CloseInput();
  EXPECT_EQ(pages.Finish().exit, 0);

  // Page 600 alone is invisible to the page scan: the drawing lock is granted.
  Tool high(On("lock", {"--page", "600"}));
  ASSERT_THAT(high.ReadUntil("holding"), HasSubstr("granted"));
  EXPECT_THAT(Status(), HasSubstr("IsExistLockPage  0"));
  Tool whole(On("lock"));
  EXPECT_THAT(whole.ReadUntil("holding"), HasSubstr("LockZmn        granted"));
  // An interrupt releases the locks, and the last user removes the lock files.
  for (Tool* holder : {&high, &whole}) {
    kill(holder->pid(), SIGTERM);
    const ToolRun ended = holder->Finish();
    EXPECT_THAT(ended.out, HasSubstr("released"));
    EXPECT_EQ(ended.exit, 0);
  }
  EXPECT_TRUE(LockFilesGone());
}

// A lock held from somewhere no process of this computer shows (another
// computer, a Windows client's server) is played by a lock whose open file
// description lives only in a message in flight on a socket: no process has
// it among its descriptors, yet the kernel holds its lock.
class InFlightLock {
 public:
  InFlightLock(const std::string& path, long byte) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_start = byte;
    lock.l_len = 1;
    held_ = fd >= 0 && fcntl(fd, F_OFD_SETLK, &lock) == 0 &&
            socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, sockets_) == 0 && Send(fd);
    if (fd >= 0) close(fd);
  }
  ~InFlightLock() {
    for (const int socket : sockets_)
      if (socket >= 0) close(socket);
  }
  bool held() const { return held_; }

 private:
  bool Send(int fd) {
    char byte = 0;
    iovec data{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof fd)] = {};
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof fd);
    std::memcpy(CMSG_DATA(header), &fd, sizeof fd);
    return sendmsg(sockets_[0], &message, 0) == 1;
  }

  int sockets_[2] = {-1, -1};
  bool held_ = false;
};

// Clients that hold no in-use mark (a Windows client through its server, a
// plain fcntl user): every command sees their locks, `who` names them as
// another client, and no command takes their lock files away.
TEST_F(LockToolTest, LocksOfClientsWithoutTheInUseMarkCountAndTheirFilesStay) {
  const std::string recycle = CreateRecycleCadHomePath(FolderEnvironObj(store_));
  ASSERT_EQ(mkdir(recycle.c_str(), 0777), 0);
  const std::vector<std::string> lockFiles = {folder_ + "/CADAPP.LOC", folder_ + "/FOL001.LOC",
                                              recycle + "/LOCK.TMP"};
  {
    InFlightLock drawing(lockFiles[0], 1);
    InFlightLock page(lockFiles[1], 4);
    InFlightLock recycleLock(lockFiles[2], 0);
    ASSERT_TRUE(drawing.held() && page.held() && recycleLock.held());
    EXPECT_THAT(Status(), AllOf(HasSubstr("IsLockZmn        1"), HasSubstr("IsExistLockPage  1")));
    EXPECT_THAT(RunTool(On("who")).out, AllOf(HasSubstr("CADAPP.LOC  byte 1 (drawing lock)"),
                                              HasSubstr("FOL001.LOC  page 4"),
                                              HasSubstr("another client (no process here)")));
    EXPECT_EQ(RunTool(On("lock")).exit, 1);
    EXPECT_EQ(RunTool(On("lock", {"--page", "4"})).exit, 1);
    const ToolRun deleted = RunTool({"delete", drawing_, "--store", store_, "--yes"});
    EXPECT_EQ(deleted.exit, 1);
    EXPECT_TRUE(Exists(drawing_));
    // Every other command that opens lock files, each as the last user it sees.
    const std::vector<std::vector<std::string>> lookers = {
        {"list", "--store", store_},
        {"list", "--store", store_, "--recycled"},
        {"info", drawing_, "--store", store_},
        {"recycle", store_},
        {"check", store_, "--fix"},
        {"new", "--store", store_},
    };
    for (const auto& words : lookers) {
      RunTool(words);
      for (const std::string& file : lockFiles)
        EXPECT_TRUE(Exists(file)) << words[0] << ": " << file;
    }
    EXPECT_THAT(RunTool({"list", "--store", store_, "--no", "1-1"}).out, HasSubstr("使用中"));
  }
  Tool holder(On("lock"));
  EXPECT_THAT(holder.ReadUntil("holding"), HasSubstr("LockZmn        granted"));
}

// Usage errors exit with 2, failures of the work with 1; either way one line on
// stderr and nothing on stdout.
TEST_F(LockToolTest, BadCommandLinesGetOneErrorLineAndTheirExitStatus) {
  struct Case {
    std::vector<std::string> words;
    int exit;
    std::string error;  // part of the one line on stderr; "" for none at all
  };
  const std::string missing = dir_ / "missing";
  const std::vector<Case> cases = {
      {{"list", "--store=" + store_, "--sort", "7", "--dir", "-1", "--no-locks"}, 0, ""},
      {{"list", "--store", store_, "--", "--bogus"}, 2, "unexpected argument '--bogus'"},
      {{"list", "--store", store_, "--bogus"}, 2, "list: unknown option --bogus"},
      {{"list", "--store", store_, "--json=yes"}, 2, "option --json takes no value"},
      {{"list", "--store", store_, "--sort", "9"}, 2, "--sort wants a type 0 to 8"},
      {{"list", "--store", store_, "--created", "yesterday"}, 2, "--created wants"},
      {{"new", "--store", store_, "--pages", "many"}, 2, "'many' is not a number"},
      {{"info", "--store", store_}, 2, "info needs one drawing folder"},
      {On("lock", {"--page"}), 2, "lock: option --page needs a value"},
      {On("status", {"--page", "two"}), 2, "'two' is not a page number"},
      {{"demo", "a", "b"}, 2, "demo: unexpected argument 'b'"},
      {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
      {{"status", "--store", store_, missing}, 1, missing + ": no such drawing folder"},
      {{"new", "--store", store_, "--app", "0x40000"}, 1, "has no folder in this store"},
      {{"demo", folder_}, 1, "is not a sample store"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.words));
    const ToolRun result = RunTool(c.words);
    EXPECT_EQ(result.exit, c.exit) << result.err;
    if (c.exit == 0) {
      EXPECT_EQ(result.err, "");
      continue;
    }
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, HasSubstr(c.error));
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
}

// Without a store, select and demo use the sample store in the user's data
// folder and say where it is; nothing lands in the working folder.
TEST_F(LockToolTest, SampleStoreGoesToTheUserDataFolder) {
  const std::string work = dir_ / "work", data = dir_ / "data", home = dir_ / "home";
  ASSERT_EQ(mkdir(work.c_str(), 0755), 0);
  const std::string sample = data + "/vexafol/sample-store";
  const ToolSetup xdg{.environment = {{"XDG_DATA_HOME", data}}, .folder = work};
  const ToolRun made = RunTool({"select", "--screenshot", dir_ / "made.png"}, xdg);
  if (made.exit == 2 && made.err.find("unknown command") != std::string::npos)
    GTEST_SKIP() << "the tool is built without the selection dialog";
  EXPECT_EQ(made.exit, 0) << made.err;
  EXPECT_THAT(made.err, HasSubstr("Made a sample store of 30 drawings in " + sample));
  EXPECT_TRUE(Exists(sample + "/.vexafol-demo"));
  EXPECT_TRUE(Exists(dir_ / "made.png"));

  const ToolRun reused = RunTool({"select", "--screenshot", dir_ / "reused.png"}, xdg);
  EXPECT_EQ(reused.exit, 0) << reused.err;
  EXPECT_THAT(reused.err, HasSubstr("Showing the sample store in " + sample));

  // A relative XDG_DATA_HOME does not count: ~/.local/share instead.
  const ToolSetup homeOnly{.environment = {{"XDG_DATA_HOME", "relative"}, {"HOME", home}},
                           .folder = work};
  const ToolRun demo = RunTool({"demo"}, homeOnly);
  EXPECT_EQ(demo.exit, 0) << demo.err;
  EXPECT_THAT(demo.out, HasSubstr("in " + home + "/.local/share/vexafol/sample-store"));
  EXPECT_TRUE(std::filesystem::is_empty(work));

  const ToolSetup nowhere{.environment = {{"XDG_DATA_HOME", ""}, {"HOME", ""}}, .folder = work};
  EXPECT_EQ(RunTool({"demo"}, nowhere).exit, 1);
}

}  // namespace
}  // namespace vexa::test
