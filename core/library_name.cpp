// Name pieces, date text, ordering keys and the newest-first exchange of the library.
#include "core/library_name.h"

#include <algorithm>
#include <utility>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {

SnapshotNamePieces::SnapshotNamePieces(std::string_view name) {
  // One pass over the name: its pieces are short, so a search call per piece costs more
  // than looking at each character.
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size() && count_ + 1 < kMaxNamePieces; ++i) {
    if (name[i] != kNamePieceSeparator) continue;
    pieces_[count_++] = name.substr(start, i - start);
    start = i + 1;
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

// Replaces each age by its rank among the distinct ages (0 = oldest), so that "newer" and
// "equal" become integer comparisons. Also gives the number of distinct ages.
std::vector<std::uint32_t> RankAges(const std::vector<SnapshotAge>& ages,
                                    std::uint32_t& distinctCount) {
  auto less = [](const SnapshotAge& a, const SnapshotAge& b) { return IsNewer(b, a); };
  std::vector<SnapshotAge> distinct = ages;
  std::sort(distinct.begin(), distinct.end(), less);
  distinct.erase(std::unique(distinct.begin(), distinct.end(),
                             [](const SnapshotAge& a, const SnapshotAge& b) {
                               return a.dateKey == b.dateKey && a.timeKey == b.timeKey;
                             }),
                 distinct.end());
  distinctCount = static_cast<std::uint32_t>(distinct.size());
  std::vector<std::uint32_t> ranks;
  ranks.reserve(ages.size());
  for (const SnapshotAge& age : ages) {
    const auto at = std::lower_bound(distinct.begin(), distinct.end(), age, less);
    ranks.push_back(static_cast<std::uint32_t>(at - distinct.begin()));
  }
  return ranks;
}

// Counts of marked positions, with prefix sums in logarithmic time.
class PositionCounts {
 public:
  explicit PositionCounts(std::size_t size) : tree_(size + 1, 0) {}
  void Mark(std::size_t position) {
    for (std::size_t i = position + 1; i < tree_.size(); i += i & (0 - i)) ++tree_[i];
  }
  // Marked positions below position.
  std::uint32_t Below(std::size_t position) const {
    std::uint32_t sum = 0;
    for (std::size_t i = position; i > 0; i -= i & (0 - i)) sum += tree_[i];
    return sum;
  }

 private:
  std::vector<std::uint32_t> tree_;
};

// A queue of positions that turns by whole steps (the front goes to the back) in constant
// time: the queue is ring_[head_..] followed by ring_[..head_).
class TurningQueue {
 public:
  void Clear() {
    ring_.clear();
    head_ = 0;
  }
  void Turn(std::size_t steps) {
    if (!ring_.empty()) head_ = (head_ + steps) % ring_.size();
  }
  void PushBack(std::uint32_t position) {
    if (head_ == 0) {
      ring_.push_back(position);
    } else {
      ring_.insert(ring_.begin() + static_cast<std::ptrdiff_t>(head_++), position);
    }
  }
  template <typename Emit>
  void ForEach(Emit emit) const {
    for (std::size_t k = head_; k < ring_.size(); ++k) emit(ring_[k]);
    for (std::size_t k = 0; k < head_; ++k) emit(ring_[k]);
  }

 private:
  std::vector<std::uint32_t> ring_;
  std::size_t head_ = 0;
};

}  // namespace

// The exchange leaves the ages in descending order; only the order within one age needs
// working out. Take the names of age a and the newer ones, in list order, and look at what
// a pass does to the names of age a: a pass starting at a name of age a carries that name
// to the place of the first newer name after it, and a pass starting at a newer name moves
// no name of age a. Newer names among themselves move the same way whatever the older
// names do. So, with Q the names of age a met so far in list order, each newer name met
// turns Q by one (its front goes to the back), and once every newer name has been met Q
// is the order in which the names of age a come out. The exchange takes quadratic time;
// this takes n log n plus the turning of each age's queue.
std::vector<std::uint32_t> NewestFirstPositions(const std::vector<std::string>& names,
                                                std::vector<std::size_t>* ageEnds) {
  const std::size_t n = names.size();
  std::vector<SnapshotAge> ages;
  ages.reserve(n);
  for (const std::string& name : names) ages.push_back(AgeOfSnapshot(SnapshotNamePieces(name)));
  std::uint32_t distinct = 0;
  const std::vector<std::uint32_t> ranks = RankAges(ages, distinct);

  // The positions of each age, in list order: a counting sort by rank.
  std::vector<std::uint32_t> firstOfRank(static_cast<std::size_t>(distinct) + 1, 0);
  for (const std::uint32_t rank : ranks) ++firstOfRank[rank + 1];
  for (std::size_t r = 1; r < firstOfRank.size(); ++r) firstOfRank[r] += firstOfRank[r - 1];
  std::vector<std::uint32_t> byRank(n);
  {
    std::vector<std::uint32_t> next(firstOfRank.begin(), firstOfRank.end() - 1);
    for (std::size_t k = 0; k < n; ++k) byRank[next[ranks[k]]++] = static_cast<std::uint32_t>(k);
  }

  std::vector<std::uint32_t> ordered;
  ordered.reserve(n);
  PositionCounts newer(n);
  std::uint32_t newerCount = 0;
  TurningQueue queue;
  for (std::uint32_t rank = distinct; rank-- > 0;) {
    const std::uint32_t from = firstOfRank[rank];
    const std::uint32_t to = firstOfRank[rank + 1];
    queue.Clear();
    std::uint32_t newerMet = 0;
    for (std::uint32_t k = from; k < to; ++k) {
      const std::uint32_t before = newer.Below(byRank[k]);
      queue.Turn(before - newerMet);
      newerMet = before;
      queue.PushBack(byRank[k]);
    }
    queue.Turn(newerCount - newerMet);
    queue.ForEach([&](std::uint32_t position) { ordered.push_back(position); });
    if (ageEnds != nullptr) ageEnds->push_back(ordered.size());
    for (std::uint32_t k = from; k < to; ++k) newer.Mark(byRank[k]);
    newerCount += to - from;
  }
  return ordered;
}

void OrderNewestFirst(std::vector<std::string>& names) {
  std::vector<std::string> ordered;
  ordered.reserve(names.size());
  for (const std::uint32_t position : NewestFirstPositions(names)) {
    ordered.push_back(std::move(names[position]));
  }
  names = std::move(ordered);
}

}  // namespace mv
