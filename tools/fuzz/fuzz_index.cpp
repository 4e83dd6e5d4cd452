// Fuzz target: the bytes of a capture index, with their hashes set anew so that the checks
// past them are reached, are opened and searched as find searches them (a few patterns, the
// entries and ranges of the hits), every page is checked, and the update's reading of a
// whole index decodes them. Crashes, sanitizer reports and broken invariants are findings.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "query/capture_index.h"
#include "query/snapshot_find.h"

using mv::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes =
      mv::ResealedIndex(std::string(reinterpret_cast<const char*>(data), size));
  mv::CodePageDecoder decoder;
  Check(decoder.Open(mv::kDefaultCodePage));
  mv::IndexView view;
  if (view.Open(bytes)) {
    for (const char* text : {"*", "note", "a?c*", "\xC3\xA9t"}) {
      const mv::SnapshotPattern pattern(text, decoder);
      std::size_t looked = 0;
      for (const std::uint32_t id : view.Matching(pattern, mv::EntryKinds::kAll, decoder)) {
        Check(id < view.entryCount());
        view.Entry(id);
        for (const mv::CaptureRange& r : view.Ranges(id)) {
          Check(view.broken() || (r.first <= r.last && r.last < view.captures().size()));
        }
        if (++looked == 64) break;
      }
    }
    view.CheckPages();
  }
  mv::CaptureIndex index;
  if (index.Decode(bytes)) {
    // What decodes is written again as an index that opens, with the same captures.
    std::string reason;
    const std::string again = index.Encode(reason);
    mv::IndexView reopened;
    Check(!again.empty() && reopened.Open(again) &&
          reopened.captures().size() == index.captures().size());
  }
  return 0;
}
