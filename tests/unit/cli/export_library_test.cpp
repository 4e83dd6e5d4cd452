// mirrorvault-cli export-library: where each snapshot's file goes, whatever its names hold,
// and what a rerun writes again.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "cli_run.h"
#include "core/snapshot_name.h"
#include "query/library_export.h"
#include "snapshot_texts.h"
#include "test_support.h"

namespace mv::cli {
namespace {

TEST(ExportLibrary, PartitionValuesStayOneFolderName) {
  EXPECT_EQ(PartitionValue(".."), "%2E%2E");
  EXPECT_EQ(PartitionValue("a/b\\c=d%e"), "a%2Fb%5Cc%3Dd%25e");
  EXPECT_EQ(PartitionValue("C:\x1b[2J\n\x7f<*?|\"'#{]^>"),
            "C%3A%1B%5B2J%0A%7F%3C%2A%3F%7C%22%27%23%7B%5D%5E%3E");
  EXPECT_EQ(PartitionValue("caf\xc3\xa9 1.2. "), "caf\xc3\xa9 1.2%2E%20");  // Windows drops ". "
}

std::set<std::string> FilesBelow(const std::string& folder) {
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files.insert(std::filesystem::relative(entry.path(), folder).generic_string());
    }
  }
  return files;
}

TEST(ExportLibrary, WritesEachSnapshotOnceInsideTheFolder) {
  test::ScratchDir dir;
  const std::string snapshots = dir.Join("snapshots"), out = dir.Join("out");
  std::filesystem::create_directory(snapshots);
  const std::string names[] = {
      BuildSnapshotFileName("WG", "PC1", "08.12.2026", "09.00.00"),
      BuildSnapshotFileName("wg", "pc1", "01.12.2026", "09.00.00"),  // the same computer
      BuildSnapshotFileName("..", "../..\\x=y\n", "02.12.2026", "10.30.00"),
      BuildSnapshotFileName("WG", "BROKEN", "08.12.2026", "09.00.00")};
  for (const std::string& name : names) {
    test::WriteTextFile(snapshots + "/" + name,
                        name == names[3]
                            ? "Mirrorvault file\r\nVERSION: 1.0\r\n"
                            : test::HeaderText() + test::SnapshotText({"SHARENAME: S", "END"}));
  }
  const std::string kept =
      "group=WG/computer=PC1/date=2026-12-08/capture-2026-12-08T090000.jsonl.gz";
  test::CliRun r = test::RunCommand({"export-library", snapshots, out, "--since", "2026-12-02"});
  EXPECT_EQ(r.code, kExitFailure);
  EXPECT_EQ(r.out, "2 written, 0 already there, 1 skipped\n");
  EXPECT_NE(r.err.find("BROKEN.08.12.2026.09.00.00.mirvaul': is corrupted"), std::string::npos);

  // What is there stays; a file lost is written again, and what a stopped run left goes.
  std::filesystem::remove(out + "/" + kept);
  test::WriteTextFile(out + "/" + kept + ".0123.partial", "half");
  EXPECT_EQ(test::RunCommand({"export-library", snapshots, out}).out,
            "2 written, 1 already there, 1 skipped\n");
  EXPECT_EQ(FilesBelow(out),
            (std::set<std::string>{
                kept, "group=WG/computer=PC1/date=2026-12-01/capture-2026-12-01T090000.jsonl.gz",
                "group=%2E%2E/computer=..%2F..%5Cx%3Dy%0A/date=2026-12-02/"
                "capture-2026-12-02T103000.jsonl.gz"}));
  EXPECT_EQ(test::RunCommand({"export-library", snapshots, out, "--since", "2026-02-30"}).code,
            kExitUsage);
}

}  // namespace
}  // namespace mv::cli
