// Which snapshots a retention policy keeps, as the backup tools count them: the newest N, the
// newest of each of the last N days, ISO weeks and calendar months that have snapshots, and
// every snapshot within a span of the newest. Dates are the capture times in the file names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace mv {

class SnapshotNamePieces;

// The largest count or span number a policy takes; more is refused, not cut.
inline constexpr int kMaxRetentionNumber = 1000000;

// A span back in time from a snapshot: years and months by the calendar, then weeks, days
// and hours.
struct RetentionSpan {
  int years = 0;
  int months = 0;
  int weeks = 0;
  int days = 0;
  int hours = 0;
};

struct RetentionPolicy {
  int keepLast = 0;
  int keepDaily = 0;
  int keepWeekly = 0;
  int keepMonthly = 0;
  std::optional<RetentionSpan> keepWithin;
  // Without any rule a policy keeps nothing; prune refuses such a policy.
  bool HasRule() const;
};

// "30d", "2w", "6m", "1y", "12h" and sums of them ("1y6m"); false for anything else.
bool ParseRetentionSpan(std::string_view text, RetentionSpan& span);
std::string RetentionSpanText(const RetentionSpan& span);

// The capture time in a snapshot file name (pieces 3 to 8: dd.MM.yyyy.HH.mm.ss, digits only,
// a real date and time of day), or none.
std::optional<LocalTime> CaptureTimeOfName(std::string_view fileName);
std::optional<LocalTime> CaptureTimeOfPieces(const SnapshotNamePieces& pieces);

// One computer's capture times, in any order: which the policy keeps. The newest always
// stays; among equal times the earlier position counts as the newer.
std::vector<bool> KeptByPolicy(const std::vector<LocalTime>& times, const RetentionPolicy& policy);

// What prune looks at: the computer's group and name (as the file names give them, ignoring
// case); an empty one takes every group or computer.
struct PruneChoice {
  std::string group;
  std::string computer;
};

// The positions in fileNames of the snapshots that the policy removes, applied per computer
// (its group and name, ignoring case): ordered by computer, then oldest first. A name without
// a capture time is never removed.
std::vector<std::size_t> SnapshotsToPrune(const std::vector<std::string>& fileNames,
                                          const RetentionPolicy& policy, const PruneChoice& choice);

}  // namespace mv
