// Name pieces, date text, ordering keys and the newest-first exchange of the library.
#include "core/library_name.h"

#include <algorithm>
#include <utility>

#include "core/text.h"

namespace mv {

SnapshotNamePieces::SnapshotNamePieces(std::string_view name) {
  std::size_t start = 0;
  while (count_ + 1 < kMaxNamePieces) {
    const std::size_t dot = name.find('.', start);
    if (dot == std::string_view::npos) break;
    pieces_[count_++] = name.substr(start, dot - start);
    start = dot + 1;
  }
  pieces_[count_++] = name.substr(start);
}

std::string_view SnapshotNamePieces::Piece(int number) const {
  if (number < 1 || static_cast<std::size_t>(number) > count_) return {};
  return pieces_[static_cast<std::size_t>(number) - 1];
}

std::string SnapshotDateText(const SnapshotNamePieces& pieces) {
  std::string text;
  text.append(pieces.Piece(kPieceDay)).append(".");
  text.append(pieces.Piece(kPieceMonth)).append(".");
  text.append(pieces.Piece(kPieceYear)).append(" ");
  text.append(pieces.Piece(kPieceHour)).append(":");
  text.append(pieces.Piece(kPieceMinute)).append(":");
  text.append(pieces.Piece(kPieceSecond));
  return text;
}

SnapshotAge AgeOfSnapshot(const SnapshotNamePieces& pieces) {
  auto value = [&pieces](int number) -> std::int64_t {
    return ParseIntLikeAtoi(pieces.Piece(number));
  };
  SnapshotAge age;
  age.dateKey = value(kPieceDay) + 32 * value(kPieceMonth) + 400 * value(kPieceYear);
  age.timeKey = 3600 * value(kPieceHour) + 60 * value(kPieceMinute) + value(kPieceSecond);
  return age;
}

bool IsNewer(const SnapshotAge& a, const SnapshotAge& b) {
  return a.dateKey > b.dateKey || (a.dateKey == b.dateKey && a.timeKey > b.timeKey);
}

namespace {

// Replaces each age by its rank among the distinct ages (0 = oldest), so that the exchange
// compares one small integer instead of two keys; "newer" and "equal" are unchanged.
std::vector<std::uint32_t> RankAges(const std::vector<SnapshotAge>& ages) {
  auto less = [](const SnapshotAge& a, const SnapshotAge& b) { return IsNewer(b, a); };
  std::vector<SnapshotAge> distinct = ages;
  std::sort(distinct.begin(), distinct.end(), less);
  distinct.erase(std::unique(distinct.begin(), distinct.end(),
                             [](const SnapshotAge& a, const SnapshotAge& b) {
                               return a.dateKey == b.dateKey && a.timeKey == b.timeKey;
                             }),
                 distinct.end());
  std::vector<std::uint32_t> ranks;
  ranks.reserve(ages.size());
  for (const SnapshotAge& age : ages) {
    const auto at = std::lower_bound(distinct.begin(), distinct.end(), age, less);
    ranks.push_back(static_cast<std::uint32_t>(at - distinct.begin()));
  }
  return ranks;
}

}  // namespace

void OrderNewestFirst(std::vector<std::string>& names, std::size_t settle) {
  const std::size_t n = names.size();
  std::vector<SnapshotAge> ages;
  ages.reserve(n);
  for (const std::string& name : names) ages.push_back(AgeOfSnapshot(SnapshotNamePieces(name)));
  const std::vector<std::uint32_t> ranks = RankAges(ages);

  // Each slot carries its rank in the high half and the name's index in the low half, so one
  // move exchanges both; comparisons look at the rank only.
  std::vector<std::uint64_t> slots(n);
  for (std::size_t k = 0; k < n; ++k) {
    slots[k] = (static_cast<std::uint64_t>(ranks[k]) << 32) | static_cast<std::uint32_t>(k);
  }
  const std::size_t passes = std::min(settle, n);
  for (std::size_t i = 0; i < passes; ++i) {
    std::uint64_t current = slots[i];
    for (std::size_t j = i + 1; j < n; ++j) {
      if ((slots[j] >> 32) > (current >> 32)) std::swap(slots[j], current);
    }
    slots[i] = current;
  }

  std::vector<std::string> ordered;
  ordered.reserve(n);
  for (std::uint64_t slot : slots)
    ordered.push_back(std::move(names[static_cast<std::size_t>(slot & 0xFFFFFFFFu)]));
  names = std::move(ordered);
}

}  // namespace mv
