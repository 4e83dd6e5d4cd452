// Snapshot file names: the name scheme, and reading names back into pieces, date text,
// ordering keys and the newest-first order (the date texts of odd names are checked in the
// library's tree).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/library_name.h"
#include "core/snapshot_name.h"
#include "platform/memory/fixed_clock.h"

namespace mv {
namespace {

TEST(SnapshotName, GroupComputerDateTimeAndExtension) {
  EXPECT_EQ(BuildSnapshotPath("C:\\Snaps", "WORKGROUP", "PC7", "05.12.2026", "09.04.05"),
            "C:\\Snaps\\WORKGROUP.PC7.05.12.2026.09.04.05.mirvaul");
  EXPECT_EQ(BuildSnapshotSearchPattern("C:\\Snaps"), "C:\\Snaps\\*.mirvaul*");
  // One clock reading gives two-digit fields and a dotted time.
  FixedClock clock{LocalTime{2026, 1, 2, 3, 4, 5}};
  EXPECT_EQ(BuildSnapshotPathAt("D:\\s", "WG", "PC", clock.Now(), clock),
            "D:\\s\\WG.PC.02.01.2026.03.04.05.mirvaul");
}

// Dots in group and computer names stand as '~' in the file name only, and '~', '%' and what
// no file name holds as %XX, so that two computers never share a name and the pieces read
// back right; a name never leaves the folder; names written before read as ever. Unfinished files
// of one pair are told from the other's.
TEST(SnapshotName, DottedAndHostileNamesKeepTheirPiecesAndTheFolder) {
  const struct {
    const char *group, *computer, *fileName, *readGroup, *readComputer;
  } cases[] = {
      {"WORKGROUP", "PC7", "WORKGROUP.PC7", "WORKGROUP", "PC7"},
      {"A.B", "C", "A~B.C", "A.B", "C"},
      {"A", "B.C", "A.B~C", "A", "B.C"},
      {"\\..\\..\\tmp\\x", "P/C:1\n", "%5C~~%5C~~%5Ctmp%5Cx.P%2FC%3A1%0A", "\\..\\..\\tmp\\x",
       "P/C:1\n"},
      // The stand-in and the escape are escaped themselves, so "PC~1" is not "PC.1".
      {"W%", "PC~1", "W%25.PC%7E1", "W%", "PC~1"},
      // Written before: pieces shifted, '_' for what no file name holds, '%' as itself.
      {nullptr, nullptr, "WG.PC.LAN", "WG", "PC"},
      {nullptr, nullptr, "W_G%41%.P~C%7e", "W_G%41%", "P.C%7e"},
  };
  for (const auto& c : cases) {
    const std::string name = std::string(c.fileName) + ".05.12.2026.09.04.05.mirvaul";
    if (c.group != nullptr) {
      EXPECT_EQ(BuildSnapshotFileName(c.group, c.computer, "05.12.2026", "09.04.05"), name);
    }
    const SnapshotNamePieces pieces(name);
    EXPECT_EQ(NameOfFileNamePiece(pieces.Piece(kPieceGroup)), c.readGroup) << name;
    EXPECT_EQ(NameOfFileNamePiece(pieces.Piece(kPieceComputer)), c.readComputer) << name;
  }
  const std::string part = TemporarySnapshotPath("A~B.C.05.12.2026.09.04.05.mirvaul", 3);
  EXPECT_EQ(part, "A~B.C.05.12.2026.09.04.05-3.mvpart");
  EXPECT_TRUE(IsTemporaryNameOf(part, "A.B", "C"));
  EXPECT_FALSE(IsTemporaryNameOf(part, "A", "B.C"));
}

TEST(LibraryName, PiecesOfSchemeShortAndManyDottedNames) {
  const SnapshotNamePieces scheme("WORKGROUP.PC7.05.12.2026.09.04.05.mirvaul");
  EXPECT_EQ(scheme.count(), 9u);
  EXPECT_EQ(scheme.Piece(kPieceGroup), "WORKGROUP");
  EXPECT_EQ(scheme.Piece(kPieceComputer), "PC7");
  EXPECT_EQ(scheme.Piece(9), "mirvaul");
  EXPECT_EQ(SnapshotDateText(scheme), "05.12.2026 09:04:05");

  const SnapshotNamePieces shortName("WG.mirvaul");
  EXPECT_EQ(shortName.Piece(kPieceComputer), "mirvaul");
  EXPECT_EQ(shortName.Piece(kPieceDay), "");
  EXPECT_EQ(shortName.Piece(0), "");

  // At most 16 pieces: dots after the fifteenth stay in the last piece.
  const SnapshotNamePieces dotted("a.b.c.d.e.f.g.h.i.j.k.l.m.n.o.p.q.r");
  EXPECT_EQ(dotted.count(), kMaxNamePieces);
  EXPECT_EQ(dotted.Piece(15), "o");
  EXPECT_EQ(dotted.Piece(16), "p.q.r");
  EXPECT_EQ(dotted.Piece(17), "");
}

TEST(LibraryName, KeysReadPiecesTheWayAtoiDoes) {
  const SnapshotAge age = AgeOfSnapshot(SnapshotNamePieces("WG.PC.05.12.2026.09.04.05.mirvaul"));
  // Each moment is newer than the last second before it, across days, months and years.
  const char* const steps[][2] = {{"31.01.2026.23.59.59", "01.02.2026.00.00.00"},
                                  {"31.12.2025.23.59.59", "01.01.2026.00.00.00"},
                                  {"05.12.2026.09.59.59", "05.12.2026.10.00.00"},
                                  {"05.12.2026.09.04.59", "05.12.2026.09.05.00"}};
  for (const auto& [before, after] : steps) {
    const auto at = [](std::string when) {
      return AgeOfSnapshot(SnapshotNamePieces("WG.PC." + when + ".mirvaul"));
    };
    EXPECT_TRUE(IsNewer(at(after), at(before))) << after;
  }

  // Values far beyond the clock's stay ordered instead of wrapping around.
  const SnapshotAge huge = AgeOfSnapshot(SnapshotNamePieces("G.C.99.99.99999999999.0.0.0.x"));
  EXPECT_TRUE(IsNewer(huge, age));
  EXPECT_FALSE(IsNewer(age, huge));
  EXPECT_FALSE(IsNewer(age, age));
}

// The exchange as written out, comparing the names themselves at every step.
void ExchangeByName(std::vector<std::string>& names) {
  auto age = [](const std::string& name) { return AgeOfSnapshot(SnapshotNamePieces(name)); };
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (std::size_t j = i + 1; j < names.size(); ++j) {
      if (IsNewer(age(names[j]), age(names[i]))) std::swap(names[i], names[j]);
    }
  }
}

TEST(LibraryName, OrderMatchesTheNameByNameExchangeWithManyTies) {
  std::mt19937 random(20261205);
  for (int round = 0; round < 40; ++round) {
    std::vector<std::string> names;
    const int count = 1 + static_cast<int>(random() % (round < 30 ? 60 : 400));
    for (int k = 0; k < count; ++k) {
      // Few distinct ages, so that most names tie with others; some malformed names.
      const unsigned pick = random() % 4;
      std::string name = "G" + std::to_string(k) + ".PC.";
      if (pick == 3) {
        name += "junk";
      } else {
        name += "0" + std::to_string(1 + pick) + ".12.2026.0" + std::to_string(random() % 3) +
                ".00.00.mirvaul";
      }
      names.push_back(name);
    }
    std::vector<std::string> expected = names;
    ExchangeByName(expected);
    std::vector<std::string> ordered = names;
    OrderNewestFirst(ordered);
    ASSERT_EQ(ordered, expected) << "round " << round;
  }
}

}  // namespace
}  // namespace mv
