// Standard output on Linux has no text mode: nothing to do.
#include "platform/standard_output.h"

namespace mv {

void UseBinaryStandardOutput() {}

}  // namespace mv
