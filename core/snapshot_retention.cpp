// Retention rules over capture times: each rule walks one computer's snapshots newest first
// and keeps the first one it meets of each new day, week or month, as long as it has counts
// left; the first of a period met newest first is that period's newest.
#include "core/snapshot_retention.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "core/civil_date.h"
#include "core/library_name.h"
#include "core/snapshot_name.h"
#include "core/text.h"

namespace mv {
namespace {

std::int64_t SecondsOf(const LocalTime& t) {
  return CivilSecondsOf(t);
}

std::int64_t DayKey(const LocalTime& t) {
  return DaysFromCivil(t.year, t.month, t.day);
}

std::int64_t MonthKey(const LocalTime& t) {
  return std::int64_t{t.year} * 12 + t.month;
}

// The ISO week: weeks begin on Monday, and a week belongs to the year of its Thursday.
std::int64_t IsoWeekKey(const LocalTime& t) {
  const std::int64_t days = DayKey(t);
  const std::int64_t weekday = WeekdayOfDay(days);
  // Mondays are 4 days after 1 January 1970 modulo 7, so the division is exact.
  return (days - weekday - 4) / 7;
}

// The seconds of the earliest time still within span of newest.
std::int64_t StartOfSpan(const LocalTime& newest, const RetentionSpan& span) {
  std::int64_t months = std::int64_t{newest.year} * 12 + (newest.month - 1) -
                        (std::int64_t{span.years} * 12 + span.months);
  const std::int64_t year = months >= 0 ? months / 12 : (months - 11) / 12;
  const int month = static_cast<int>(months - year * 12) + 1;
  const int day = std::min(newest.day, DaysInMonth(static_cast<int>(year), month));
  const std::int64_t start = DaysFromCivil(year, month, day) * 86400 + newest.hour * 3600 +
                             newest.minute * 60 + newest.second;
  return start - (std::int64_t{span.weeks} * 7 + span.days) * 86400 -
         std::int64_t{span.hours} * 3600;
}

// Digits only, at most four of them: the value, else -1.
int ReadNumberPiece(std::string_view piece, std::size_t maxDigits) {
  if (piece.empty() || piece.size() > maxDigits) return -1;
  int value = 0;
  for (const char c : piece) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

bool RetentionPolicy::HasRule() const {
  return keepLast > 0 || keepDaily > 0 || keepWeekly > 0 || keepMonthly > 0 ||
         keepWithin.has_value();
}

bool ParseRetentionSpan(std::string_view text, RetentionSpan& span) {
  RetentionSpan parsed;
  if (text.empty()) return false;
  std::size_t at = 0;
  while (at < text.size()) {
    std::int64_t number = 0;
    const std::size_t digitsFrom = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
      number = number * 10 + (text[at++] - '0');
      if (number > kMaxRetentionNumber) return false;
    }
    if (at == digitsFrom || at == text.size()) return false;
    constexpr std::string_view kUnits = "ymwdh";
    int* const fields[] = {&parsed.years, &parsed.months, &parsed.weeks, &parsed.days,
                           &parsed.hours};
    const std::size_t unit = kUnits.find(text[at++]);
    if (unit == std::string_view::npos) return false;
    int* const field = fields[unit];
    if (*field + number > kMaxRetentionNumber) return false;
    *field += static_cast<int>(number);
  }
  span = parsed;
  return true;
}

std::string RetentionSpanText(const RetentionSpan& span) {
  std::string text;
  const std::pair<int, char> parts[] = {{span.years, 'y'},
                                        {span.months, 'm'},
                                        {span.weeks, 'w'},
                                        {span.days, 'd'},
                                        {span.hours, 'h'}};
  for (const auto& [number, unit] : parts) {
    if (number > 0) text += std::to_string(number) + unit;
  }
  return text.empty() ? "0h" : text;
}

std::optional<LocalTime> CaptureTimeOfName(std::string_view fileName) {
  return CaptureTimeOfPieces(SnapshotNamePieces(fileName));
}

std::optional<LocalTime> CaptureTimeOfPieces(const SnapshotNamePieces& pieces) {
  LocalTime t;
  t.day = ReadNumberPiece(pieces.Piece(kPieceDay), 2);
  t.month = ReadNumberPiece(pieces.Piece(kPieceMonth), 2);
  t.year = ReadNumberPiece(pieces.Piece(kPieceYear), 4);
  t.hour = ReadNumberPiece(pieces.Piece(kPieceHour), 2);
  t.minute = ReadNumberPiece(pieces.Piece(kPieceMinute), 2);
  t.second = ReadNumberPiece(pieces.Piece(kPieceSecond), 2);
  if (t.year < 0 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59) {
    return std::nullopt;
  }
  return t;
}

namespace {

// One snapshot as the rules see it.
struct Dated {
  std::uint32_t computer = 0;
  std::uint32_t position = 0;  // in the caller's list
  std::int64_t seconds = 0;
  LocalTime time;
};

// Newest first; among equal times the earlier position counts as the newer.
constexpr auto NewerFirst = [](const Dated& a, const Dated& b) {
  if (a.computer != b.computer) return a.computer < b.computer;
  if (a.seconds != b.seconds) return a.seconds > b.seconds;
  return a.position < b.position;
};

template <typename Key>
void KeepFirstOfEachPeriod(const Dated* newestFirst, std::size_t count, int periods, Key key,
                           std::vector<bool>& kept) {
  bool any = false;
  std::int64_t last = 0;
  for (std::size_t k = 0; k < count && periods > 0; ++k) {
    const std::int64_t period = key(newestFirst[k].time);
    if (any && period == last) continue;
    any = true;
    last = period;
    kept[k] = true;
    --periods;
  }
}

// The rules over one computer's snapshots, newest first: kept[k] for newestFirst[k].
void KeepByPolicy(const Dated* newestFirst, std::size_t count, const RetentionPolicy& policy,
                  std::vector<bool>& kept) {
  kept.assign(count, false);
  if (count == 0) return;
  kept[0] = true;
  const std::size_t last = static_cast<std::size_t>(std::max(0, policy.keepLast));
  for (std::size_t k = 0; k < count && k < last; ++k) kept[k] = true;
  KeepFirstOfEachPeriod(newestFirst, count, policy.keepDaily, DayKey, kept);
  KeepFirstOfEachPeriod(newestFirst, count, policy.keepWeekly, IsoWeekKey, kept);
  KeepFirstOfEachPeriod(newestFirst, count, policy.keepMonthly, MonthKey, kept);
  if (policy.keepWithin) {
    const std::int64_t start = StartOfSpan(newestFirst[0].time, *policy.keepWithin);
    for (std::size_t k = 0; k < count && newestFirst[k].seconds >= start; ++k) kept[k] = true;
  }
}

void LowerInto(std::string& out, std::string_view text) {
  for (const char c : text) out += AsciiLower(c);
}

}  // namespace

std::vector<bool> KeptByPolicy(const std::vector<LocalTime>& times, const RetentionPolicy& policy) {
  std::vector<Dated> dated(times.size());
  for (std::size_t i = 0; i < times.size(); ++i) {
    dated[i] = {0, static_cast<std::uint32_t>(i), SecondsOf(times[i]), times[i]};
  }
  std::sort(dated.begin(), dated.end(), NewerFirst);
  std::vector<bool> keptInOrder;
  KeepByPolicy(dated.data(), dated.size(), policy, keptInOrder);
  std::vector<bool> kept(times.size(), false);
  for (std::size_t k = 0; k < dated.size(); ++k) kept[dated[k].position] = keptInOrder[k];
  return kept;
}

std::vector<std::size_t> SnapshotsToPrune(const std::vector<std::string>& fileNames,
                                          const RetentionPolicy& policy,
                                          const PruneChoice& choice) {
  // Computers are numbered in the order of their keys, so that the sort by number orders
  // them by key.
  std::vector<std::string> keys;
  std::unordered_map<std::string, std::uint32_t> computerOfKey;
  std::vector<Dated> dated;
  dated.reserve(fileNames.size());
  std::string key;
  for (std::size_t n = 0; n < fileNames.size(); ++n) {
    const SnapshotNamePieces pieces(fileNames[n]);
    const std::string_view group = pieces.Piece(kPieceGroup);
    const std::string_view computer = pieces.Piece(kPieceComputer);
    if (!choice.group.empty() && !EqualsIgnoreCase(choice.group, NameOfFileNamePiece(group))) {
      continue;
    }
    if (!choice.computer.empty() &&
        !EqualsIgnoreCase(choice.computer, NameOfFileNamePiece(computer))) {
      continue;
    }
    const std::optional<LocalTime> time = CaptureTimeOfPieces(pieces);
    if (!time) continue;
    // Group and computer as the tree tells them apart: each piece ignoring case.
    key.clear();
    LowerInto(key, group);
    key += '.';
    LowerInto(key, computer);
    const auto [at, added] =
        computerOfKey.try_emplace(key, static_cast<std::uint32_t>(keys.size()));
    if (added) keys.push_back(key);
    dated.push_back({at->second, static_cast<std::uint32_t>(n), SecondsOf(*time), *time});
  }
  std::vector<std::uint32_t> byKey(keys.size());
  std::iota(byKey.begin(), byKey.end(), std::uint32_t{0});
  std::sort(byKey.begin(), byKey.end(),
            [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
  std::vector<std::uint32_t> rank(keys.size());
  for (std::uint32_t r = 0; r < byKey.size(); ++r) rank[byKey[r]] = r;
  for (Dated& d : dated) d.computer = rank[d.computer];
  std::sort(dated.begin(), dated.end(), NewerFirst);

  std::vector<std::size_t> removed;
  std::vector<bool> kept;
  for (std::size_t from = 0; from < dated.size();) {
    std::size_t to = from;
    while (to < dated.size() && dated[to].computer == dated[from].computer) ++to;
    KeepByPolicy(dated.data() + from, to - from, policy, kept);
    // Oldest first; among equal times the later position, the one counted older, first.
    for (std::size_t k = to - from; k-- > 0;) {
      if (!kept[k]) removed.push_back(dated[from + k].position);
    }
    from = to;
  }
  return removed;
}

}  // namespace mv
