// prune over a scratch library: the dry run names exactly what the real run removes.
#include <gtest/gtest.h>

#include "cli_run.h"
#include "test_support.h"

namespace mv::cli {
namespace {

TEST(CliPrune, DryRunNamesWhatTheRunRemovesAndRefusesWithoutRules) {
  test::ScratchDir dir;
  std::vector<std::string> names;
  for (int day = 1; day <= 28; ++day) {
    for (const char* computer : {"PC1", "PC2"}) {
      char name[64];
      std::snprintf(name, sizeof name, "WG.%s.%02d.02.2026.%02d.00.00.mirvaul", computer, day,
                    day % 24);
      names.push_back(name);
      test::WriteTextFile(dir.Join(name), "");
    }
  }
  test::WriteTextFile(dir.Join("config.ini"), "");
  const test::CliRun none = test::RunCommand({"prune", dir.path(), "--dry-run"});
  EXPECT_EQ(none.code, kExitUsage);
  EXPECT_EQ(test::RunCommand({"prune", dir.path(), "--keep-within", "3x"}).code, kExitUsage);

  const cli::Args options = {"--keep-daily", "3", "--keep-weekly", "2", "--computer", "pc1"};
  cli::Args dry = {"prune", dir.path(), "--dry-run"};
  dry.insert(dry.end(), options.begin(), options.end());
  const test::CliRun plan = test::RunCommand(dry);
  ASSERT_EQ(plan.code, kExitOk) << plan.err;
  for (const std::string& name : names) EXPECT_TRUE(test::FileExists(dir.Join(name)));

  cli::Args real = {"prune", dir.path()};
  real.insert(real.end(), options.begin(), options.end());
  const test::CliRun run = test::RunCommand(real);
  ASSERT_EQ(run.code, kExitOk) << run.err;
  // The lines before the count, with "would remove" read as "removed".
  auto removals = [](std::string out) {
    out.erase(out.rfind('\n', out.size() - 2) + 1);
    for (std::size_t at; (at = out.find("would remove ")) != std::string::npos;) {
      out.replace(at, 13, "removed ");
    }
    return out;
  };
  // 28 days of PC1 keep the last 3 days and the newest of one more ISO week (22 February).
  EXPECT_EQ(removals(plan.out), removals(run.out));
  EXPECT_NE(plan.out.find("\n24 snapshots would be removed\n"), std::string::npos) << plan.out;
  EXPECT_NE(run.out.find("\n24 snapshots removed\n"), std::string::npos);
  int left = 0;
  for (const std::string& name : names) left += test::FileExists(dir.Join(name)) ? 1 : 0;
  EXPECT_EQ(left, 28 + 4);
  EXPECT_TRUE(test::FileExists(dir.Join("config.ini")));
}

}  // namespace
}  // namespace mv::cli
