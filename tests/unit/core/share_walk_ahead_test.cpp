// The walk that lists ahead writes the sequential walk's bytes over random trees, whatever
// order a slow file system answers in, however tight its limits; a stop or a full disk at
// any moment leaves no file.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "capture/activity_state.h"
#include "core/share_walk_ahead.h"
#include "core/snapshot_writer.h"
#include "faulty_file_system.h"
#include "platform/memory/fixed_clock.h"
#include "platform/memory/latency_file_system.h"
#include "platform/memory/memory_file_system.h"
#include "query/name_pattern.h"

namespace mv {
namespace {

using std::chrono::microseconds;

struct Shape {
  const char* name;
  int depth, maxSubdirectories, maxFiles;
  int unlistablePercent;
  bool oddNames;
};

// A random tree below \\PC\S: names from a few ASCII letters, or from any byte but NUL and
// the backslash; directory links back to the root and across to a sibling now and then.
void Grow(MemoryFileSystem& fs, std::mt19937& random, const Shape& shape, const std::string& dir,
          int depth) {
  auto name = [&](int index) {
    std::string text = "n" + std::to_string(index);
    for (int i = 0; shape.oddNames && i < 4; ++i) {
      const char c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random));
      if (c != '\\') text += c;
    }
    return text;
  };
  auto roll = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const int files = roll(0, shape.maxFiles);
  const int subdirectories =
      depth > 0 ? roll(shape.maxSubdirectories / 2, shape.maxSubdirectories) : 0;
  for (int f = 0; f < files; ++f)
    fs.AddFile(dir + "\\" + name(f) + "f", f * 977ULL, {2009, 1 + f % 12, 1 + f % 28});
  std::string first;
  for (int d = 0; d < subdirectories; ++d) {
    const std::string child = dir + "\\" + name(d) + "d";
    if (d == 0) first = child;
    fs.AddDirectory(child, {2010, 1 + d % 12, 1});
    if (roll(0, 99) < shape.unlistablePercent) fs.MakeUnlistable(child);
    Grow(fs, random, shape, child, depth - 1);
  }
  if (roll(0, 9) == 0) fs.AddLink(dir + "\\up", "\\\\PC\\S");
  if (roll(0, 9) == 0 && !first.empty()) fs.AddLink(dir + "\\across", first);
}

struct Walked {
  std::string bytes;
  int unlisted = 0, altered = 0, links = 0;
  bool operator==(const Walked&) const = default;
};

// walkFn(walk) over fs, into a file of its own.
template <typename WalkFn>
Walked Walk(FileSystem& fs, WalkFn walkFn) {
  MemoryFileSystem out{MatchesNamePattern};
  IoError error = IoError::kNone;
  const auto file = out.Create("out", error);
  SnapshotOutput output(*file);
  ShareWalk walk(fs, output);
  walkFn(walk);
  output.Finish();
  return {out.files.at("out"), walk.unlistedDirectories, walk.namesAltered, walk.linksNotFollowed};
}

TEST(ShareWalkAhead, WritesTheSequentialBytesOverRandomTrees) {
  const Shape shapes[] = {
      {"deep", 10, 2, 3, 0, false},       {"wide", 2, 24, 4, 0, false},
      {"crowded", 1, 1100, 1, 0, false},  {"empty folders", 4, 4, 0, 0, false},
      {"unlistable", 4, 5, 4, 30, false}, {"odd names", 3, 5, 5, 10, true},
  };
  const PrefetchLimits limits[] = {{}, {0, 1, 0}, {16, 12, 2}};
  for (const Shape& shape : shapes) {
    for (std::uint32_t seed = 1; seed <= 2; ++seed) {
      MemoryFileSystem tree{MatchesNamePattern};
      std::mt19937 random(seed);
      tree.AddDirectory("\\\\PC\\S");
      Grow(tree, random, shape, "\\\\PC\\S", shape.depth);
      LatencyFileSystem sequential(tree, microseconds(0), false, false);
      const Walked expected = Walk(sequential, [](ShareWalk& w) { WalkDirectory(w, "\\\\PC\\S"); });
      for (const PrefetchLimits& limit : limits) {
        LatencyFileSystem slow(tree, microseconds(50), true, true, seed);
        EXPECT_EQ(Walk(slow, [&](ShareWalk& w) { WalkDirectoryAhead(w, "\\\\PC\\S", limit); }),
                  expected)
            << shape.name << " seed " << seed << " threads " << limit.threads << " cap "
            << limit.maxUnitsAhead;
      }
    }
  }
}

// A stop, or a disk that fills, at a random moment: no file is left, and the stop or the
// failure is reported.
TEST(ShareWalkAhead, AStopOrAFullDiskAtAnyMomentLeavesNothing) {
  MemoryFileSystem fs{MatchesNamePattern};
  std::mt19937 random(7);
  for (const char* share : {"\\\\PC\\A", "\\\\PC\\B"}) {
    fs.AddDirectory(share);
    Grow(fs, random, {"stop", 3, 6, 150, 5, false}, share, 3);
  }
  FixedClock clock{LocalTime{2026, 1, 1, 0, 0, 0}};
  int listings = 0, stopAt = 0;
  auto write = [&](FileSystem& inner, int seed) {
    LatencyFileSystem slow(inner, microseconds(50), true, true, seed);
    slow.onList = [&](const std::string&) {
      if (++listings == stopAt) SetActivityState(kStopRequest);
    };
    SetActivityState(kCapturing);
    WriteReport report;
    WriteSnapshot("G", "PC", "C:\\snaps\\G.PC.01.01.2026.00.00.00.mirvaul", {"A", "B"}, &report,
                  slow, clock);
    SetActivityState(kIdle);
    return report;
  };
  test::FaultyFileSystem counted(fs);
  ASSERT_TRUE(write(counted, 0).complete);
  const int allListings = listings, allWrites = counted.writes;
  ASSERT_GT(allWrites, 3);
  fs.files.clear();
  for (int round = 1; round <= 12; ++round) {
    test::FaultyFileSystem faulty(fs);
    const bool diskFull = round % 2 == 0;
    listings = 0;
    stopAt = diskFull ? 0 : 1 + static_cast<int>(random() % allListings);
    faulty.failWrite = diskFull ? 1 + static_cast<int>(random() % allWrites) : 0;
    const WriteReport report = write(faulty, round);
    EXPECT_FALSE(report.complete) << round;
    EXPECT_TRUE(diskFull ? report.error == IoError::kDiskFull : report.stopped) << round;
    EXPECT_TRUE(fs.files.empty()) << round;
  }
}

}  // namespace
}  // namespace mv
