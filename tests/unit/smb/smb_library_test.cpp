// Loading the SMB client library at run time: a missing library or entry point is a clear
// error naming it, the real one loads whole.
#include <gtest/gtest.h>

#include "platform/smb/smb_library.h"

namespace mv::smb {
namespace {

TEST(SmbLibraryTest, LoadsTheLibraryOrNamesWhatIsMissing) {
  const struct {
    const char* file;
    bool loads;
    const char* told;
  } cases[] = {
      {kSmbLibraryFile, true, ""},
      {"libmirrorvault-absent.so.0", false, "libmirrorvault-absent.so.0 cannot be loaded"},
      {"libc.so.6", false, "libc.so.6 lacks smbc_new_context"},
  };
  for (const auto& c : cases) {
    SmbLibrary library;
    std::string error;
    EXPECT_EQ(OpenSmbLibrary(c.file, library, error), c.loads) << c.file;
    EXPECT_NE(error.find(c.told), std::string::npos) << error;
    EXPECT_EQ(library.smbc_getFunctionStat != nullptr, c.loads) << c.file;
  }
}

}  // namespace
}  // namespace mv::smb
