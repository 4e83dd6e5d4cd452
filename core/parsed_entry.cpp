// Parsing of entry lines: the four fields (a name may hold ";;"), the extension cut at the
// last dot.
#include "core/parsed_entry.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/snapshot_format.h"
#include "core/text.h"

namespace mv {
bool IsFileType(std::string_view type) {
  return EqualsIgnoreCase(type, kTypeFile);
}
bool IsDirectoryType(std::string_view type) {
  return EqualsIgnoreCase(type, kTypeDirectory);
}

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Where the last three fields of a line stand when they are what the writer writes: a
// one-letter kind, a size in digits and a date of digits, dot, digits, dot, digits, each
// after a separator. These fields hold no ';', so the separators found, reading backwards,
// are the last ones of the line.
struct WrittenTail {
  const char* kind = nullptr;  // the kind letter; the name ends two characters before it
  const char* sizeStart = nullptr;
  const char* sizeEnd = nullptr;  // the date starts two characters after
};

// How many of the eight bytes before at are digits, counted back from at - 1. Eight bytes
// at a time and without a branch per byte: the lengths of sizes and dates vary from line to
// line, and a branch on each digit would mostly be mispredicted.
std::size_t DigitsBefore(const char* at) {
  static_assert(std::endian::native == std::endian::little, "at - 1 is the top byte");
  constexpr std::uint64_t kTops = 0x8080808080808080u;
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  std::uint64_t word;
  std::memcpy(&word, at - 8, sizeof word);
  // Per byte below 0x80 (no carry can cross into the next byte): the top bit of b + 0x50
  // is set from '0' on, that of b + 0x46 from '9' + 1 on.
  const std::uint64_t low = word & ~kTops;
  const std::uint64_t digits = (low + kOnes * 0x50) & ~(low + kOnes * 0x46) & ~word & kTops;
  return static_cast<std::size_t>(std::countl_zero(~digits & kTops)) / 8;
}

bool FindWrittenTail(std::string_view text, WrittenTail& tail) {
  const char* const begin = text.data();
  const char* at = begin + text.size();
  auto digits = [&] {
    const char* const end = at;
    while (at - begin >= 8) {
      const std::size_t run = DigitsBefore(at);
      at -= run;
      if (run < 8) return at != end;
    }
    while (at != begin && IsDigit(at[-1])) --at;
    return at != end;
  };
  auto one = [&](char c) {
    if (at == begin || at[-1] != c) return false;
    --at;
    return true;
  };
  auto separator = [&] { return one(kFieldSeparator[1]) && one(kFieldSeparator[0]); };
  if (!digits() || !one(kDateSeparator) || !digits() || !one(kDateSeparator) || !digits() ||
      !separator()) {
    return false;
  }
  tail.sizeEnd = at;
  if (!digits()) return false;
  tail.sizeStart = at;
  if (!separator() || at == begin) return false;
  tail.kind = --at;
  const char kind = AsciiLower(*at);
  return (kind == kTypeFile[0] || kind == kTypeDirectory[0]) && separator();
}

// The last three fields when they are what the writer writes: then the name is everything
// before them, ";;" inside it included.
bool SplitFromTheRight(std::string_view text, EntryFields& fields) {
  WrittenTail tail;
  if (!FindWrittenTail(text, tail)) return false;
  auto field = [](const char* from, const char* to) {
    return std::string_view(from, static_cast<std::size_t>(to - from));
  };
  const char* const end = text.data() + text.size();
  fields = {field(text.data(), tail.kind - kFieldSeparator.size()), field(tail.kind, tail.kind + 1),
            field(tail.sizeStart, tail.sizeEnd), field(tail.sizeEnd + kFieldSeparator.size(), end)};
  return true;
}

// Any other line is cut at each ";;" from the left; further fields are ignored.
void SplitFromTheLeft(std::string_view text, EntryFields& fields) {
  fields = {};
  std::size_t from = 0;
  for (std::size_t f = 0; f < kEntryFieldCount; ++f) {
    const std::size_t cut = text.find(kFieldSeparator, from);
    fields[f] = text.substr(from, cut == std::string_view::npos ? cut : cut - from);
    if (cut == std::string_view::npos) break;
    from = cut + kFieldSeparator.size();
  }
}

ParsedEntry FromFields(const EntryFields& fields) {
  ParsedEntry entry;
  const std::string_view name = fields[0];
  entry.fullName = name;
  entry.displayName = name;
  entry.type = fields[1];
  if (IsFileType(fields[1])) {
    // A dot in first position starts a name (".profile"), it does not mark an extension.
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot >= 1) {
      entry.displayName = name.substr(0, dot);
      for (const char c : name.substr(dot + 1)) entry.extension += AsciiLower(c);
    }
    entry.sizeText = fields[2];
  }
  entry.dateText = fields[3];
  return entry;
}

}  // namespace

EntryFields SplitEntryFields(std::string_view text) {
  EntryFields fields;
  if (!SplitFromTheRight(text, fields)) SplitFromTheLeft(text, fields);
  return fields;
}

std::string_view EntryKind(std::string_view text) {
  WrittenTail tail;
  if (FindWrittenTail(text, tail)) return std::string_view(tail.kind, 1);
  return SplitEntryFields(text)[1];
}

ParsedEntry ParseEntryLine(std::string_view text) {
  return FromFields(SplitEntryFields(text));
}

ParsedEntry ParseBareName(std::string_view name) {
  EntryFields fields{};
  fields[0] = name;
  return FromFields(fields);
}

}  // namespace mv
