// The progress of a load reaches the hook of the loading thread, in order, and
// a hook that answers 0 stops the load with an empty list.
#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/store_fixture.h"
#include "vexafol/folderlist.h"
#include "vexafol/hooks.h"

namespace vexa {
namespace {

using test::StoreFixture;

struct Seen {
  std::vector<std::pair<int, int>> calls;  // (read, listed)
  int stopAt = -1;                         // answer 0 once read reaches it
};

int Note(void* context, int read, int listed) {
  Seen& seen = *static_cast<Seen*>(context);
  seen.calls.emplace_back(read, listed);
  return read == seen.stopAt ? 0 : 1;
}

int cursorCalls = 0;
void CountCursor(bool) {
  ++cursorCalls;
}

TEST(LoadProgress, EveryFolderInOrderWithoutAWaitCursorAndAStopLeavesTheListEmpty) {
  StoreFixture store;
  for (int n = 1; n <= 30; ++n) store.WriteAppDrawing(n % 2 ? 0x1 : 0x4, n);
  StoreFixture::WriteDrawing(store.AppFolder(0x1) + "/Fol.x12");
  std::filesystem::remove(store.AppFolder(0x4) + "/Fol.004/INDEX.VXF");  // listed, no record
  const WaitCursorHook previousCursor = SetWaitCursorHook(CountCursor);

  Seen seen;
  SetLoadProgressHook(Note, &seen);
  VexaFolderList list(store.env());
  list.Load(0x1 | 0x4, 0);
  EXPECT_EQ(list.GetFolderNum(), 30);
  ASSERT_EQ(seen.calls.size(), 32u);
  for (int i = 0; i <= 31; ++i) EXPECT_EQ(seen.calls[i], std::make_pair(i, 31)) << i;
  EXPECT_EQ(cursorCalls, 0);

  // Stopped at once, from the first call on.
  for (int stopAt : {0, 12}) {
    seen = Seen{{}, stopAt};
    list.Load(0x1 | 0x4, 0);
    EXPECT_EQ(list.GetFolderNum(), 0) << stopAt;
    EXPECT_EQ(seen.calls.size(), static_cast<size_t>(stopAt + 1));
  }

  // The hook belongs to its thread: a load elsewhere neither calls it nor
  // leaves out the wait cursor.
  seen = Seen{};
  std::thread([&] {
    VexaFolderList other(store.env());
    other.Load(0x1 | 0x4, 0);
    EXPECT_EQ(other.GetFolderNum(), 30);
  }).join();
  EXPECT_TRUE(seen.calls.empty());
  EXPECT_EQ(cursorCalls, 2);

  SetLoadProgressHook(nullptr, nullptr);
  list.Load(0x1 | 0x4, 0);
  EXPECT_EQ(list.GetFolderNum(), 30);
  EXPECT_TRUE(seen.calls.empty());
  SetWaitCursorHook(previousCursor);
}

}  // namespace
}  // namespace vexa
