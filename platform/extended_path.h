// The extended-length form of UNC paths ("\\?\UNC\computer\share\..."), which Windows passes
// on without its usual rewriting: no limit of 259 characters, and names that end in a dot
// or a blank ("...") are kept instead of being cut. Pure text, so it is tested on any build.
#pragma once

#include <string>
#include <string_view>

namespace mv {

// For a UNC path ("\\computer\share\rest", either slash): "\\?\UNC\computer\share\rest"
// with backslashes only, "." components dropped and ".." components taking the one before
// them away (never the share), as Windows would have done to the plain form. Any other
// path, and one already in a "\\?\" or "\\.\" form, comes back as it is.
std::string ExtendedLengthPath(std::string_view path);

}  // namespace mv
