// Windows paths onto the posix backend's UNC root (native builds only).
#ifndef _WIN32
#include "platform/posix/posix_paths.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace mv {
namespace {

TEST(PosixPaths, UncPathsLandBelowTheUncRootAndBackslashesSeparate) {
  const std::string saved = UncRoot();
  SetUncRoot("/srv/net");
  EXPECT_EQ(posix::ToNativePath("\\\\PC1\\Docs\\a b\\c.d.txt"), "/srv/net/PC1/Docs/a b/c.d.txt");
  EXPECT_EQ(posix::ToNativePath("\\\\PC1\\Docs"), "/srv/net/PC1/Docs");
  SetUncRoot("/srv/net/");
  EXPECT_EQ(posix::ToNativePath("\\\\PC1"), "/srv/net/PC1");
  EXPECT_EQ(posix::ToNativePath("/home/u\\snapshots\\x.txt"), "/home/u/snapshots/x.txt");
  SetUncRoot(saved);
}

}  // namespace
}  // namespace mv
#endif
