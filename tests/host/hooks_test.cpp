#include "vexafol/hooks.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

std::string calls;

TEST(WaitCursor, NestedCursorsShowOnceAndEndAtTheOutermost) {
  calls.clear();
  WaitCursorHook previous = SetWaitCursorHook([](bool show) { calls += show ? "+" : "-"; });
  {
    WaitCursor outer;
    {
      WaitCursor inner;
      EXPECT_EQ(calls, "+");
    }
    EXPECT_EQ(calls, "+");
    // A hook installed meanwhile does not receive the end of a cursor it never began.
    SetWaitCursorHook([](bool show) { calls += show ? "B" : "E"; });
  }
  EXPECT_EQ(calls, "+-");
  { WaitCursor again; }
  EXPECT_EQ(calls, "+-BE");
  SetWaitCursorHook(nullptr);
  {
    WaitCursor silent;  // no hook: nothing happens
  }
  EXPECT_EQ(calls, "+-BE");
  SetWaitCursorHook(previous);
}

}  // namespace
}  // namespace vexa
