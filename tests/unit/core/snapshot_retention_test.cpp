// Retention rules against a plain model over random capture times, and the reading of spans
// and capture times from names.
#include "core/snapshot_retention.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>
#include <set>

namespace mv {
namespace {

using namespace std::chrono;

sys_days DayOf(const LocalTime& t) {
  return sys_days{year{t.year} / month{static_cast<unsigned>(t.month)} /
                  day{static_cast<unsigned>(t.day)}};
}

sys_seconds SecondsOf(const LocalTime& t) {
  return DayOf(t) + hours{t.hour} + minutes{t.minute} + seconds{t.second};
}

// The rules as the documentation words them: for each of the last N periods that have
// snapshots, that period's newest; kept by any rule stays; the newest stays.
std::vector<bool> Model(const std::vector<LocalTime>& times, const RetentionPolicy& policy) {
  const std::size_t n = times.size();
  auto newer = [&](std::size_t a, std::size_t b) {
    return SecondsOf(times[a]) > SecondsOf(times[b]) ||
           (SecondsOf(times[a]) == SecondsOf(times[b]) && a < b);
  };
  std::vector<bool> kept(n, false);
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  std::sort(order.begin(), order.end(), newer);
  kept[order[0]] = true;
  for (std::size_t k = 0; k < n && k < static_cast<std::size_t>(policy.keepLast); ++k) {
    kept[order[k]] = true;
  }
  auto periods = [&](int count, auto period) {
    std::map<long long, std::size_t, std::greater<>> newestOf;
    for (std::size_t i = 0; i < n; ++i) {
      const long long p = period(times[i]);
      const auto at = newestOf.find(p);
      if (at == newestOf.end() || newer(i, at->second)) newestOf[p] = i;
    }
    for (const auto& [p, i] : newestOf) {
      if (count-- <= 0) break;
      kept[i] = true;
    }
  };
  periods(policy.keepDaily, [](const LocalTime& t) { return DayOf(t).time_since_epoch().count(); });
  periods(policy.keepWeekly, [](const LocalTime& t) {
    const sys_days d = DayOf(t);
    const sys_days monday = d - (weekday{d} - Monday);
    return monday.time_since_epoch().count();
  });
  periods(policy.keepMonthly, [](const LocalTime& t) { return t.year * 100LL + t.month; });
  if (policy.keepWithin) {
    const LocalTime& newest = times[order[0]];
    const year_month ym = year{newest.year} / month{static_cast<unsigned>(newest.month)} -
                          months{policy.keepWithin->years * 12 + policy.keepWithin->months};
    const unsigned lastDay = static_cast<unsigned>((ym / last).day());
    const sys_days startDay{ym / day{std::min(static_cast<unsigned>(newest.day), lastDay)}};
    const sys_seconds start = startDay + hours{newest.hour} + minutes{newest.minute} +
                              seconds{newest.second} -
                              days{policy.keepWithin->weeks * 7 + policy.keepWithin->days} -
                              hours{policy.keepWithin->hours};
    for (std::size_t i = 0; i < n; ++i) {
      if (SecondsOf(times[i]) >= start) kept[i] = true;
    }
  }
  return kept;
}

TEST(SnapshotRetention, KeepsWhatTheModelKeepsOverRandomDates) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    // Dates over a few years around New Year (ISO weeks that straddle two years), some
    // crowded into few days so that days and times repeat.
    const int spread = std::uniform_int_distribution<int>(1, 1200)(random);
    const int count = std::uniform_int_distribution<int>(1, 40)(random);
    const sys_days base = sys_days{2024y / December / 20};
    std::vector<LocalTime> times;
    for (int i = 0; i < count; ++i) {
      const year_month_day d{base + days{std::uniform_int_distribution<int>(0, spread)(random)}};
      LocalTime t{static_cast<int>(d.year()),
                  static_cast<int>(static_cast<unsigned>(d.month())),
                  static_cast<int>(static_cast<unsigned>(d.day())),
                  std::uniform_int_distribution<int>(0, 23)(random),
                  std::uniform_int_distribution<int>(0, 1)(random) * 30,
                  0};
      times.push_back(t);
    }
    auto pick = [&](int most) { return std::uniform_int_distribution<int>(0, most)(random); };
    RetentionPolicy policy;
    policy.keepLast = pick(3) == 0 ? pick(10) : 0;
    policy.keepDaily = pick(1) == 0 ? pick(15) : 0;
    policy.keepWeekly = pick(1) == 0 ? pick(10) : 0;
    policy.keepMonthly = pick(1) == 0 ? pick(14) : 0;
    if (pick(2) == 0) {
      policy.keepWithin = RetentionSpan{pick(1), pick(13), pick(3), pick(40), pick(30)};
    }
    ASSERT_EQ(KeptByPolicy(times, policy), Model(times, policy)) << "round " << round;
  }
}

TEST(SnapshotRetention, SpansCaptureTimesAndPruneByComputer) {
  RetentionSpan span;
  ASSERT_TRUE(ParseRetentionSpan("1y6m2w3d12h", span));
  EXPECT_EQ(RetentionSpanText(span), "1y6m2w3d12h");
  for (const char* bad : {"", "30", "d", "30x", "3d4", "-3d", "99999999999d"}) {
    EXPECT_FALSE(ParseRetentionSpan(bad, span)) << bad;
  }
  EXPECT_TRUE(CaptureTimeOfName("WG.PC.29.02.2024.23.59.59.mirvaul").has_value());
  for (const char* bad : {"WG.PC.29.02.2026.00.00.00.mirvaul", "WG.PC.01.13.2026.00.00.00.mirvaul",
                          "WG.PC.01.01.2026.24.00.00.mirvaul", "WG.PC.1x.01.2026.00.00.00.mirvaul",
                          "WG.PC.01.01.2026.mirvaul"}) {
    EXPECT_FALSE(CaptureTimeOfName(bad).has_value()) << bad;
  }

  // Computers are group and name ignoring case; a name without a capture time never goes;
  // removals come oldest first.
  const std::vector<std::string> names = {
      "WG.PC.03.01.2026.00.00.00.mirvaul", "wg.pc.01.01.2026.00.00.00.mirvaul",
      "WG.PC.02.01.2026.00.00.00.mirvaul", "OTHER.PC.01.01.2026.00.00.00.mirvaul",
      "WG.PC.00.01.2026.00.00.00.mirvaul"};
  RetentionPolicy last;
  last.keepLast = 1;
  EXPECT_EQ(SnapshotsToPrune(names, last, {}), (std::vector<std::size_t>{1, 2}));
  EXPECT_TRUE(SnapshotsToPrune(names, last, {"other", ""}).empty());
  EXPECT_EQ(SnapshotsToPrune(names, last, {"", "PC"}).size(), 2u);
}

}  // namespace
}  // namespace mv
