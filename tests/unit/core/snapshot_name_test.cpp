// The snapshot name scheme and the pattern that finds snapshot files.
#include <gtest/gtest.h>

#include "core/snapshot_name.h"
#include "platform/memory/fixed_clock.h"

namespace mv {
namespace {

TEST(SnapshotName, GroupComputerDateTimeAndExtension) {
  EXPECT_EQ(BuildSnapshotFileName("WORKGROUP", "PC7", "05.12.2026", "09.04.05"),
            "WORKGROUP.PC7.05.12.2026.09.04.05.mirvaul");
  EXPECT_EQ(BuildSnapshotPath("C:\\Snaps", "WORKGROUP", "PC7", "05.12.2026", "09.04.05"),
            "C:\\Snaps\\WORKGROUP.PC7.05.12.2026.09.04.05.mirvaul");
  EXPECT_EQ(BuildSnapshotSearchPattern("C:\\Snaps"), "C:\\Snaps\\*.mirvaul*");
}

TEST(SnapshotName, OneClockReadingGivesTwoDigitFieldsAndADotTime) {
  FixedClock clock{LocalTime{2026, 1, 2, 3, 4, 5}};
  EXPECT_EQ(BuildSnapshotPathAt("D:\\s", "WG", "PC", clock.Now(), clock),
            "D:\\s\\WG.PC.02.01.2026.03.04.05.mirvaul");
}

}  // namespace
}  // namespace mv
