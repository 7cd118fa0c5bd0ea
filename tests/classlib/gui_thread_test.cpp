#include "classlib/gui_thread.h"

#include <windows.h>
#include <process.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using classlib::Synchronize;

// Runs work on a thread of its own; the handle, to wait for and close.
HANDLE StartWorker(std::function<void()> work) {
  auto* owned = new std::function<void()>(std::move(work));
  const uintptr_t handle = _beginthreadex(
      nullptr, 0,
      [](void* p) -> unsigned {
        std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(p));
        (*work)();
        return 0;
      },
      owned, 0, nullptr);
  return reinterpret_cast<HANDLE>(handle);
}

void WaitAndClose(HANDLE worker) {
  classlib::WaitRunningSynchronizedCalls(worker);
  CloseHandle(worker);
}

class GuiThread : public testing::Test {
 protected:
  void SetUp() override { classlib::InitGuiThread(); }
  void TearDown() override {
    classlib::SetGuiExceptionHook(nullptr);
    classlib::DispatchPendingMessages();
  }
};

TEST_F(GuiThread, SynchronizeRunsOnTheGuiThreadOnceItPumpsAndWaits) {
  const DWORD gui = GetCurrentThreadId();
  DWORD ranOn = 0;
  bool synchronized = false;
  bool seenByWorker = false;
  HANDLE worker = StartWorker([&] {
    synchronized = Synchronize([&] { ranOn = GetCurrentThreadId(); });
    seenByWorker = ranOn != 0;
  });
  // Nothing runs while the GUI thread does not pump.
  Sleep(100);
  EXPECT_EQ(ranOn, 0u);
  WaitAndClose(worker);
  EXPECT_TRUE(synchronized);
  EXPECT_EQ(ranOn, gui);
  EXPECT_TRUE(seenByWorker);
}

TEST_F(GuiThread, SynchronizeOnTheGuiThreadRunsAtOnce) {
  bool ran = false;
  EXPECT_TRUE(Synchronize([&] { ran = true; }));
  EXPECT_TRUE(ran);
}

TEST_F(GuiThread, QueuedCallsRunInOrderWhenMessagesAreDispatched) {
  std::vector<std::string> calls;
  HANDLE worker = StartWorker([&] {
    for (const char* name : {"a", "b", "c"}) classlib::Queue([&calls, name] { calls.push_back(name); });
  });
  // Waiting runs synchronised calls only.
  WaitAndClose(worker);
  EXPECT_TRUE(calls.empty());
  classlib::Queue([&] { calls.push_back("from the GUI thread"); });
  EXPECT_EQ(calls.size(), 0u);
  classlib::DispatchPendingMessages();
  EXPECT_EQ(calls, (std::vector<std::string>{"a", "b", "c", "from the GUI thread"}));
}

TEST_F(GuiThread, ExceptionsStopAtTheBoundaryAndReachTheHook) {
  std::vector<std::string> caught;
  DWORD hookThread = 0;
  classlib::SetGuiExceptionHook([&](std::exception_ptr error) {
    hookThread = GetCurrentThreadId();
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      caught.push_back(e.what());
    }
  });
  bool synchronized = false;
  HANDLE worker = StartWorker([&] {
    synchronized = Synchronize([] { throw std::runtime_error("synchronised"); });
    classlib::Queue([] { throw std::runtime_error("queued"); });
  });
  WaitAndClose(worker);
  classlib::DispatchPendingMessages();
  EXPECT_TRUE(synchronized);
  EXPECT_EQ(caught, (std::vector<std::string>{"synchronised", "queued"}));
  EXPECT_EQ(hookThread, GetCurrentThreadId());

  // The default hook drops what it gets, and so does a hook that throws itself.
  classlib::SetGuiExceptionHook(nullptr);
  EXPECT_TRUE(Synchronize([] { throw 42; }));
  classlib::SetGuiExceptionHook([](std::exception_ptr) { throw std::logic_error("hook"); });
  EXPECT_TRUE(Synchronize([] { throw std::runtime_error("again"); }));
}

TEST_F(GuiThread, PumpingStopsAtQuitAndLeavesItForTheMainLoop) {
  PostQuitMessage(3);
  EXPECT_FALSE(classlib::PumpMessagesUntil([] { return false; }));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

// A pump that spins burns the processor for the whole wait.
TEST_F(GuiThread, PumpingSleepsWhileNothingHappens) {
  bool done = false;
  HANDLE worker = StartWorker([&] {
    Sleep(400);
    classlib::Queue([&] { done = true; });
  });
  FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelBefore, &userBefore);
  EXPECT_TRUE(classlib::PumpMessagesUntil([&] { return done; }));
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelAfter, &userAfter);
  WaitAndClose(worker);
  const auto ticks = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  const ULONGLONG busy = ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore);
  EXPECT_LT(busy, 1000000u) << "100 ns units of processor time while waiting 400 ms";
}

}  // namespace
