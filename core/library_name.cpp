// Name pieces, date text, ordering keys and the newest-first exchange of the library.
#include "core/library_name.h"

#include <algorithm>
#include <utility>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {

SnapshotNamePieces::SnapshotNamePieces(std::string_view name) {
  std::size_t start = 0;
  while (count_ + 1 < kMaxNamePieces) {
    const std::size_t dot = name.find(kNamePieceSeparator, start);
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

constexpr std::uint64_t kIndexMask = 0xFFFFFFFFu;

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

// One step of a pass: when the name in slot is newer than the pass's current name, the two
// change places. Without a branch, since the outcome is close to random.
inline void ExchangeIfNewer(std::uint64_t& current, std::uint64_t& slot) {
  const std::uint64_t value = slot;
  const std::uint64_t newer = 0 - static_cast<std::uint64_t>(value > (current | kIndexMask));
  const std::uint64_t change = (value ^ current) & newer;
  slot = value ^ change;
  current ^= change;
}

}  // namespace

void OrderNewestFirst(std::vector<std::string>& names, std::size_t settle) {
  const std::size_t n = names.size();
  std::vector<SnapshotAge> ages;
  ages.reserve(n);
  for (const std::string& name : names) ages.push_back(AgeOfSnapshot(SnapshotNamePieces(name)));
  const std::vector<std::uint32_t> ranks = RankAges(ages);

  // Each slot holds a rank in its high half and a name's index in its low half, so that one
  // exchange moves both while "newer" looks at the rank alone.
  std::vector<std::uint64_t> s(n);
  for (std::size_t k = 0; k < n; ++k) {
    s[k] = (static_cast<std::uint64_t>(ranks[k]) << 32) | static_cast<std::uint32_t>(k);
  }
  // Four passes run side by side: at each position the passes act in their order, and a pass
  // never looks behind its own position, so the result is that of one pass after the other.
  const std::size_t passes = std::min(settle, n);
  std::size_t i = 0;
  for (; i + 4 <= passes; i += 4) {
    std::uint64_t c0 = s[i];
    ExchangeIfNewer(c0, s[i + 1]);
    std::uint64_t c1 = s[i + 1];
    ExchangeIfNewer(c0, s[i + 2]);
    ExchangeIfNewer(c1, s[i + 2]);
    std::uint64_t c2 = s[i + 2];
    ExchangeIfNewer(c0, s[i + 3]);
    ExchangeIfNewer(c1, s[i + 3]);
    ExchangeIfNewer(c2, s[i + 3]);
    std::uint64_t c3 = s[i + 3];
    for (std::size_t j = i + 4; j < n; ++j) {
      ExchangeIfNewer(c0, s[j]);
      ExchangeIfNewer(c1, s[j]);
      ExchangeIfNewer(c2, s[j]);
      ExchangeIfNewer(c3, s[j]);
    }
    s[i] = c0;
    s[i + 1] = c1;
    s[i + 2] = c2;
    s[i + 3] = c3;
  }
  for (; i < passes; ++i) {
    std::uint64_t current = s[i];
    for (std::size_t j = i + 1; j < n; ++j) ExchangeIfNewer(current, s[j]);
    s[i] = current;
  }

  std::vector<std::string> ordered;
  ordered.reserve(n);
  for (std::uint64_t slot : s) {
    ordered.push_back(std::move(names[static_cast<std::size_t>(slot & kIndexMask)]));
  }
  names = std::move(ordered);
}

}  // namespace mv
