// The ENCODING header line, read the same way by the loader and by the scan of find, diff
// and export.
#pragma once

#include <string_view>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {

inline constexpr std::string_view kUtf8EncodingValue = "UTF-8";

// Whether line is an ENCODING line (key matched ignoring case, as every header key is).
// Callers look for it only after the magic line and before the first share header line, and
// the first one found there decides; any later one is an ordinary line that belongs to no
// share. Only the value "UTF-8" (ignoring case) declares UTF-8. Any other value reads as the
// ANSI code page: a reader that knows only the ANSI form accepts such a file and reads its
// bytes that way, so refusing it, or guessing, would do worse than that reader does.
inline bool ReadEncodingLine(std::string_view line, NameEncoding& encoding) {
  if (!StartsWithIgnoreCase(line, kEncodingKey)) return false;
  encoding = EqualsIgnoreCase(line.substr(kEncodingKey.size()), kUtf8EncodingValue)
                 ? NameEncoding::kUtf8
                 : NameEncoding::kAnsi;
  return true;
}

}  // namespace mv
