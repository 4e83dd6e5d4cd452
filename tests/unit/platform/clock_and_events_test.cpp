// The clock's texts and the manual-reset events of the backend of this build.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/clock.h"
#include "platform/threading.h"

namespace mv {
namespace {

TEST(PlatformClock, FormatsThePicturesDigitForDigit) {
  Clock& clock = PlatformClock();
  const LocalTime morning{2026, 12, 5, 9, 4, 5};
  EXPECT_EQ(clock.FormatDate(morning, kDatePicture), "05.12.2026");
  EXPECT_EQ(clock.FormatTime(morning, kTimePicture), "09:04:05");
  EXPECT_EQ(clock.FormatTime(morning, kFileTimePicture), "09.04.05");
  const LocalTime evening{1999, 1, 31, 23, 59, 58};
  EXPECT_EQ(clock.FormatDate(evening, kDatePicture), "31.01.1999");
  EXPECT_EQ(clock.FormatTime(evening, kTimePicture), "23:59:58");

  const LocalTime now = clock.Now();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
}

TEST(ManualResetEvent, SetReleasesEveryWaiterAndStaysSetUntilReset) {
  ManualResetEvent go;
  ManualResetEvent allDone;
  constexpr int kWaiters = 4;
  std::atomic<int> released{0};
  for (int i = 0; i < kWaiters; ++i) {
    ASSERT_TRUE(StartDetachedThread([&] {
      go.Wait();
      if (++released == kWaiters) allDone.Set();
    }));
  }
  SleepMilliseconds(20);
  EXPECT_EQ(released.load(), 0);
  go.Set();
  ASSERT_TRUE(allDone.WaitFor(10000));
  EXPECT_EQ(released.load(), kWaiters);

  EXPECT_TRUE(go.WaitFor(0));  // still set: a manual-reset event
  go.Reset();
  EXPECT_FALSE(go.WaitFor(10));
  ManualResetEvent initially(true);
  EXPECT_TRUE(initially.WaitFor(0));
}

}  // namespace
}  // namespace mv
