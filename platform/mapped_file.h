// A file mapped read-only, for the readers that pass over a snapshot once (find, diff,
// export): no copy of its bytes and no buffer to fill. Like the exclusive reader, a mapping
// refuses a file that a writer holds; unlike it, two mappings of one file may stand at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/io_error.h"

namespace mv {

class MappedFile {
 public:
  virtual ~MappedFile() = default;
  virtual std::string_view bytes() const = 0;
};

// Maps the file at path (a path as the file-system port takes it). Null with error set when
// it cannot: kSharingViolation while a writer holds it, kTooLarge beyond maxBytes, kOther
// when the file opens but cannot be mapped (a reader may then read it instead).
std::unique_ptr<MappedFile> MapFileExclusive(const std::string& path, std::uint64_t maxBytes,
                                             IoError& error);

}  // namespace mv
