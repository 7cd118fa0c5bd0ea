#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/exceptions.h"
#include "controls/panels/vis_timer_pool.h"
#include "tests/support/window_test.h"

using namespace controls;

namespace {

class TimerPool : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::InitWindows(); }
  void TearDown() override { EXPECT_TRUE(testing_support::TakeBoundaryErrors().empty()); }

  // One base tick, as the system's timer gives it (no message loop runs meanwhile).
  static void Tick(TVisTimerPool& pool, int times = 1) {
    for (int i = 0; i < times; ++i) SendMessageW(pool.WindowHandle(), WM_TIMER, 1, 0);
  }
};

class RefusingPool : public TVisTimerPool {
 public:
  using TVisTimerPool::TVisTimerPool;
  bool refuse = true;

 protected:
  UINT_PTR SetSystemTimer(HWND window, UINT period) override {
    return refuse ? 0 : TVisTimerPool::SetSystemTimer(window, period);
  }
};

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST_F(TimerPool, ItemsFireOnTheSharedGrid) {
  const struct {
    TVisTimerInterval minInterval, interval;
    std::int32_t repeatCount;
    int ticks, fires;
  } cases[] = {
      {50, 50, -1, 10, 10},  {50, 100, -1, 10, 5},   {50, 150, -1, 10, 3}, {50, 50, 3, 10, 3},
      {50, 200, 2, 20, 2},   {1000, 1000, -1, 4, 4}, {50, 500, -1, 9, 0},  {100, 300, 1, 7, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.minInterval << "/" << c.interval << "/" << c.repeatCount);
    TVisTimerPool pool(nullptr, c.minInterval);
    int fires = 0;
    pool.AddItem(7, c.interval, [&](TObject* sender) {
      EXPECT_EQ(sender, &pool);
      ++fires;
    });
    pool.FindItem(7)->SetRepeatCount(c.repeatCount);
    Tick(pool, c.ticks);
    EXPECT_EQ(fires, c.fires);
    EXPECT_EQ(pool.TickCounter(), 1 + c.ticks);
  }
}

TEST_F(TimerPool, PoolEventGetsIdentAndCallNumber) {
  TVisTimerPool pool(nullptr, 50);
  std::vector<std::pair<int, int>> calls;
  pool.OnTimer = [&](TObject*, std::uint16_t ident, std::int32_t counter) { calls.push_back({ident, counter}); };
  pool.AddItem(3, 50, nullptr);
  pool.FindItem(3)->SetRepeatCount(3);
  Tick(pool, 5);
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{3, 1}, {3, 2}, {3, 3}}));

  // Enabled again, it counts from the start.
  pool.FindItem(3)->SetEnabled(true);
  EXPECT_EQ(pool.FindItem(3)->Counter(), 0);
  Tick(pool, 1);
  EXPECT_EQ(calls.back(), std::make_pair(3, 1));
  pool.FindItem(3)->SetRepeatCount(0);
  pool.FindItem(3)->SetEnabled(false);
  pool.FindItem(3)->SetEnabled(true);
  EXPECT_FALSE(pool.FindItem(3)->Enabled()) << "a repeat count of 0 cannot be enabled";
}

TEST_F(TimerPool, IntervalRules) {
  TVisTimerPool pool(nullptr, 50);
  EXPECT_EQ(MessageOf([&] { pool.AddItem(1, 75, nullptr); }), "Interval not compatible with MinInterval property!");
  EXPECT_EQ(MessageOf([&] { pool.AddItem(1, 0, nullptr); }), "Interval not compatible with MinInterval property!");
  EXPECT_EQ(pool.Count(), 0);
  EXPECT_EQ(pool.AddItem(1, 100, nullptr), 0);
  TVisTimerItem* item = pool.FindItem(1);
  EXPECT_EQ(item->Ratio(), 2);
  EXPECT_EQ(MessageOf([&] { pool.AddItem(1, 100, nullptr); }), "Listenindex überschreitet das Maximum (%d)");

  item->SetInterval(75);
  EXPECT_EQ(item->Interval(), 100);
  item->SetInterval(0);
  EXPECT_EQ(item->Interval(), 50);
  EXPECT_EQ(item->Ratio(), 1);

  pool.SetMinInterval(100);
  EXPECT_EQ(pool.MinInterval(), 50) << "fixed at run time";
  TVisTimerPool loaded(nullptr);
  EXPECT_EQ(loaded.MinInterval(), 1000);
  loaded.BeginLoading();
  loaded.SetMinInterval(250);
  loaded.EndLoading();
  EXPECT_EQ(loaded.MinInterval(), 250);
}

TEST_F(TimerPool, LastItemStopsTheTimerAndTheNextRestartsTheGrid) {
  TVisTimerPool pool(nullptr, 50);
  pool.AddItem(1, 50, nullptr);
  pool.AddItem(2, 50, nullptr);
  Tick(pool, 3);
  pool.RemoveItem(1);
  EXPECT_TRUE(pool.Active());
  pool.RemoveItem(2);
  pool.RemoveItem(2);  // absent: nothing
  EXPECT_FALSE(pool.Active());
  pool.AddItem(5, 50, nullptr);
  EXPECT_TRUE(pool.Active());
  EXPECT_EQ(pool.TickCounter(), 1);

  pool.FindItem(5)->SetEnabled(false);
  EXPECT_TRUE(pool.Active()) << "disabling alone leaves the timer running";
  pool.Start(true);
  EXPECT_FALSE(pool.Active());
  EXPECT_EQ(pool.ActiveCount(), 0);
}

TEST_F(TimerPool, ThrowingHandlerReachesTheApplicationAndTickingGoesOn) {
  TVisTimerPool pool(nullptr, 50);
  int later = 0;
  pool.AddItem(1, 50, [](TObject*) { throw std::runtime_error("Fehler im Takt"); });
  pool.AddItem(2, 100, [&](TObject*) { ++later; });
  Tick(pool, 4);
  EXPECT_EQ(testing_support::TakeBoundaryErrors(), std::vector<std::string>(4, "Fehler im Takt"));
  EXPECT_EQ(later, 2);
  EXPECT_EQ(pool.TickCounter(), 5);
}

TEST_F(TimerPool, HandlersMayRemoveTheirOwnItemAndAddOthers) {
  TVisTimerPool pool(nullptr, 50);
  std::vector<int> fired;
  pool.AddItem(1, 50, [&](TObject*) {
    fired.push_back(1);
    pool.RemoveItem(1);
    pool.AddItem(3, 50, [&](TObject*) { fired.push_back(3); });
  });
  pool.AddItem(2, 50, [&](TObject*) { fired.push_back(2); });
  Tick(pool);
  EXPECT_EQ(fired, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(pool.IndexOfIdent(1), -1);
  Tick(pool);
  EXPECT_EQ(fired, (std::vector<int>{1, 2, 3, 2, 3}));
}

TEST_F(TimerPool, TickArrivingInsideATickIsDropped) {
  TVisTimerPool pool(nullptr, 50);
  int fires = 0;
  pool.AddItem(1, 50, [&](TObject*) {
    ++fires;
    Tick(pool);
  });
  Tick(pool);
  EXPECT_EQ(fires, 1);
}

TEST_F(TimerPool, RefusedSystemTimerTakesTheNewItemOutAgain) {
  RefusingPool pool(nullptr, 50);
  try {
    pool.AddItem(9, 50, nullptr);
    FAIL() << "no exception";
  } catch (const classlib::EOutOfResources& e) {
    EXPECT_STREQ(e.what(), "Nicht genügend Timer verfügbar");
  }
  EXPECT_EQ(pool.Count(), 0);
  EXPECT_FALSE(pool.Active());
  pool.refuse = false;
  EXPECT_EQ(pool.AddItem(9, 50, nullptr), 0) << "the identifier is free again";
  EXPECT_TRUE(pool.Active());
}
