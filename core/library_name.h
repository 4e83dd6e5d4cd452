// What the snapshot library reads from a snapshot file name alone: the name pieces, the
// date text shown for the item, the ordering keys, and the newest-first order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// A name is cut at its first 15 dots; later dots stay inside the last piece.
inline constexpr std::size_t kMaxNamePieces = 16;

// Piece numbers as the name scheme counts them, from 1.
inline constexpr int kPieceGroup = 1;
inline constexpr int kPieceComputer = 2;
inline constexpr int kPieceDay = 3;
inline constexpr int kPieceMonth = 4;
inline constexpr int kPieceYear = 5;
inline constexpr int kPieceHour = 6;
inline constexpr int kPieceMinute = 7;
inline constexpr int kPieceSecond = 8;

// Views into the name that was cut; they live as long as that text.
class SnapshotNamePieces {
 public:
  explicit SnapshotNamePieces(std::string_view name);
  // Piece `number` (1 = group, ...); a piece the name lacks is empty text.
  std::string_view Piece(int number) const;
  std::size_t count() const { return count_; }

 private:
  std::array<std::string_view, kMaxNamePieces> pieces_{};
  std::size_t count_ = 0;
};

// "%s.%s.%s %s:%s:%s" from pieces 3 to 8 as they stand: "05.12.2026 09:04:05".
std::string SnapshotDateText(const SnapshotNamePieces& pieces);

// The ordering keys, each piece read the way atoi reads it. 64-bit, so that no piece value
// can overflow them.
struct SnapshotAge {
  std::int64_t dateKey = 0;  // day + 32 * month + 400 * year
  std::int64_t timeKey = 0;  // 3600 * hour + 60 * minute + second
};

SnapshotAge AgeOfSnapshot(const SnapshotNamePieces& pieces);

// True when a is newer than b: a later date, or the same date and a later time.
bool IsNewer(const SnapshotAge& a, const SnapshotAge& b);

// Orders names newest first by exchange: for each position i and each later position j,
// the names at i and j change places when the one at j is newer. Names of equal age are
// never exchanged with each other directly, so where they end up follows from the
// exchanges with the others; this order is what the tree shows, and is kept exactly
// (computed without doing the exchanges one by one).
void OrderNewestFirst(std::vector<std::string>& names);

// The same order as positions into names: the k-th name newest first is names[result[k]].
// With ageEnds, also where each run of names of one age ends in the result (one past its
// last position), in order.
std::vector<std::uint32_t> NewestFirstPositions(const std::vector<std::string>& names,
                                                std::vector<std::size_t>* ageEnds = nullptr);

}  // namespace mv
