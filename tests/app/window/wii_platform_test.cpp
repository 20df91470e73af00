// The Qt event loop as the remote's main loop: what the HID layer counts on from it.

#include "app/window/wii_platform.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TPipe {
  TUniqueFd Read, Write;
  TPipe() {
    int Fds[2] = {-1, -1};
    EXPECT_EQ(::pipe2(Fds, O_CLOEXEC | O_NONBLOCK), 0);
    Read.Reset(Fds[0]);
    Write.Reset(Fds[1]);
  }
  void Send(const std::string& Text) {
    ASSERT_EQ(::write(Write.Get(), Text.data(), Text.size()), ssize_t(Text.size()));
  }
};

void Turn(int Times) {
  for (int I = 0; I < Times; ++I) QCoreApplication::processEvents();
}

TEST(QtMainLoop, PostedTasksRunLaterInTheirOrder) {
  TQtMainLoop Loop;
  std::vector<int> Ran;
  Loop.Post([&] { Ran.push_back(1); });
  Loop.Post([&] { Ran.push_back(2); });
  EXPECT_TRUE(Ran.empty()) << "never inside the call";
  ASSERT_TRUE(QTest::qWaitFor([&] { return Ran.size() == 2; }, 10000));
  EXPECT_EQ(Ran, (std::vector<int>{1, 2}));
}

// A call that turns the event loop itself (a modal dialog) is not entered again, and a watch may go inside
// its own call.
TEST(QtMainLoop, AWatchCallsOneAtATimeUntilItGoes) {
  TQtMainLoop Loop;
  TPipe Pipe;
  std::string Got;
  int Depth = 0, Deepest = 0;
  std::unique_ptr<IFdWatch> Watch = Loop.Watch(Pipe.Read.Get(), [&] {
    Deepest = std::max(Deepest, ++Depth);
    char C = 0;
    if (::read(Pipe.Read.Get(), &C, 1) == 1) Got += C;
    Turn(3);
    if (C == '!') Watch.reset();
    --Depth;
  });
  Pipe.Send("ab!");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Watch == nullptr; }, 10000));
  EXPECT_EQ(Got, "ab!");
  EXPECT_EQ(Deepest, 1);
  Pipe.Send("c");
  Turn(5);
  EXPECT_EQ(Got, "ab!") << "a watch that went calls no more";
}

// Qt calls a notifier for good while its descriptor has hung up: a watcher that does not read it then is
// not called again.
TEST(QtMainLoop, AHungUpDescriptorLeftUnreadIsNotCalledForGood) {
  TQtMainLoop Loop;
  TPipe Pipe;
  int Calls = 0;
  std::unique_ptr<IFdWatch> Watch = Loop.Watch(Pipe.Read.Get(), [&] { ++Calls; });
  Pipe.Write.Reset();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Calls > 0; }, 10000));
  Turn(5);
  EXPECT_EQ(Calls, 1);
}

}  // namespace
