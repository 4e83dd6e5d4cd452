// Retention rules over capture times: each rule walks one computer's snapshots newest first
// and keeps the first one it meets of each new day, week or month, as long as it has counts
// left; the first of a period met newest first is that period's newest.
#include "core/snapshot_retention.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "core/library_name.h"
#include "core/snapshot_name.h"
#include "core/text.h"

namespace mv {
namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1 January 1970 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::int64_t SecondsOf(const LocalTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
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
  // 1 January 1970 was a Thursday: weekday 0 is Monday.
  const std::int64_t weekday = ((days + 3) % 7 + 7) % 7;
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

template <typename Key>
void KeepFirstOfEachPeriod(const std::vector<LocalTime>& times,
                           const std::vector<std::size_t>& newestFirst, int count, Key key,
                           std::vector<bool>& kept) {
  bool any = false;
  std::int64_t last = 0;
  for (const std::size_t i : newestFirst) {
    if (count <= 0) return;
    const std::int64_t period = key(times[i]);
    if (any && period == last) continue;
    any = true;
    last = period;
    kept[i] = true;
    --count;
  }
}

std::string Lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
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
    int* field = nullptr;
    switch (text[at++]) {
      case 'y':
        field = &parsed.years;
        break;
      case 'm':
        field = &parsed.months;
        break;
      case 'w':
        field = &parsed.weeks;
        break;
      case 'd':
        field = &parsed.days;
        break;
      case 'h':
        field = &parsed.hours;
        break;
      default:
        return false;
    }
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
  const SnapshotNamePieces pieces(fileName);
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

std::vector<bool> KeptByPolicy(const std::vector<LocalTime>& times, const RetentionPolicy& policy) {
  std::vector<bool> kept(times.size(), false);
  if (times.empty()) return kept;
  std::vector<std::int64_t> seconds(times.size());
  for (std::size_t i = 0; i < times.size(); ++i) seconds[i] = SecondsOf(times[i]);
  std::vector<std::size_t> newestFirst(times.size());
  std::iota(newestFirst.begin(), newestFirst.end(), std::size_t{0});
  std::stable_sort(newestFirst.begin(), newestFirst.end(),
                   [&](std::size_t a, std::size_t b) { return seconds[a] > seconds[b]; });

  kept[newestFirst[0]] = true;
  const std::size_t last = static_cast<std::size_t>(std::max(0, policy.keepLast));
  for (std::size_t k = 0; k < newestFirst.size() && k < last; ++k) kept[newestFirst[k]] = true;
  KeepFirstOfEachPeriod(times, newestFirst, policy.keepDaily, DayKey, kept);
  KeepFirstOfEachPeriod(times, newestFirst, policy.keepWeekly, IsoWeekKey, kept);
  KeepFirstOfEachPeriod(times, newestFirst, policy.keepMonthly, MonthKey, kept);
  if (policy.keepWithin) {
    const std::int64_t start = StartOfSpan(times[newestFirst[0]], *policy.keepWithin);
    for (std::size_t i = 0; i < times.size(); ++i) {
      if (seconds[i] >= start) kept[i] = true;
    }
  }
  return kept;
}

std::vector<std::string> SnapshotsToPrune(const std::vector<std::string>& fileNames,
                                          const RetentionPolicy& policy,
                                          const PruneChoice& choice) {
  struct Computer {
    std::string key;
    std::vector<std::size_t> names;
    std::vector<LocalTime> times;
  };
  std::vector<Computer> computers;
  std::unordered_map<std::string, std::size_t> computerOfKey;
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
    const std::optional<LocalTime> time = CaptureTimeOfName(fileNames[n]);
    if (!time) continue;
    // Group and computer as the tree tells them apart: each piece ignoring case.
    key = Lowered(group);
    key += '.';
    key += Lowered(computer);
    const auto [at, added] = computerOfKey.try_emplace(key, computers.size());
    if (added) computers.push_back({key, {}, {}});
    computers[at->second].names.push_back(n);
    computers[at->second].times.push_back(*time);
  }
  std::sort(computers.begin(), computers.end(),
            [](const Computer& a, const Computer& b) { return a.key < b.key; });

  std::vector<std::string> removed;
  for (const Computer& computer : computers) {
    const std::vector<bool> kept = KeptByPolicy(computer.times, policy);
    std::vector<std::size_t> going;
    for (std::size_t i = 0; i < kept.size(); ++i) {
      if (!kept[i]) going.push_back(i);
    }
    std::stable_sort(going.begin(), going.end(), [&](std::size_t a, std::size_t b) {
      return SecondsOf(computer.times[a]) < SecondsOf(computer.times[b]);
    });
    for (const std::size_t i : going) removed.push_back(fileNames[computer.names[i]]);
  }
  return removed;
}

}  // namespace mv
