// Parsing of entry lines: the four fields (a name may hold ";;"), the extension cut at the
// last dot.
#include "core/parsed_entry.h"

#include <algorithm>
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

// The digits among the eight bytes before at, one bit each, the byte at - 1 on top.
std::uint64_t DigitBitsBefore(const char* at) {
  static_assert(std::endian::native == std::endian::little, "at - 1 is the top byte");
  constexpr std::uint64_t kTops = 0x8080808080808080u;
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  std::uint64_t word;
  std::memcpy(&word, at - 8, sizeof word);
  // Per byte below 0x80 (no carry can cross into the next byte): the top bit of b + 0x50
  // is set from '0' on, that of b + 0x46 from '9' + 1 on.
  const std::uint64_t low = word & ~kTops;
  const std::uint64_t digits = (low + kOnes * 0x50) & ~(low + kOnes * 0x46) & ~word & kTops;
  // The eight top bits gathered into the top byte, first byte lowest.
  return ((digits >> 7) * 0x0102040810204080u) >> 56 << 56;
}

// Reads a line backwards. The lengths of sizes and dates vary from line to line, so a
// branch per digit would mostly be mispredicted: runs of digits are skipped with one count
// over bits that say which of the bytes before the cursor are digits.
class BackwardReader {
 public:
  BackwardReader(std::string_view text, TailDigits known)
      : begin_(text.data()),
        at_(text.data() + text.size()),
        digits_(known.bits),
        left_(std::min(known.bytes, text.size())) {}

  const char* at() const { return at_; }

  // Moves back over the digits before the cursor; true when there was one at least.
  bool Digits() {
    const char* const start = at_;
    for (;;) {
      if (left_ == 0 && !SortNextBytes()) break;
      const std::size_t run = std::min(static_cast<std::size_t>(std::countl_one(digits_)), left_);
      at_ -= run;
      left_ -= run;
      digits_ = run < 64 ? digits_ << run : 0;
      if (left_ != 0) break;
    }
    return at_ != start;
  }

  // Moves back over c when it stands before the cursor.
  bool One(char c) {
    if (at_ == begin_ || at_[-1] != c) return false;
    --at_;
    if (left_ != 0) {
      --left_;
      digits_ <<= 1;
    }
    return true;
  }

 private:
  // Sorts up to eight more bytes before the cursor; false when there are none.
  bool SortNextBytes() {
    const auto before = static_cast<std::size_t>(at_ - begin_);
    if (before >= 8) {
      digits_ = DigitBitsBefore(at_);
      left_ = 8;
      return true;
    }
    digits_ = 0;
    for (std::size_t i = 0; i < before; ++i) {
      digits_ |= static_cast<std::uint64_t>(IsDigit(at_[-1 - static_cast<std::ptrdiff_t>(i)]))
                 << (63 - i);
    }
    left_ = before;
    return before != 0;
  }

  const char* const begin_;
  const char* at_;
  std::uint64_t digits_;  // the byte before the cursor on top
  std::size_t left_;      // bytes before the cursor that digits_ speaks for
};

bool FindWrittenTail(std::string_view text, WrittenTail& tail, TailDigits known = {}) {
  BackwardReader reader(text, known);
  auto separator = [&] { return reader.One(kFieldSeparator[1]) && reader.One(kFieldSeparator[0]); };
  if (!reader.Digits() || !reader.One(kDateSeparator) || !reader.Digits() ||
      !reader.One(kDateSeparator) || !reader.Digits() || !separator()) {
    return false;
  }
  tail.sizeEnd = reader.at();
  if (!reader.Digits()) return false;
  tail.sizeStart = reader.at();
  if (!separator() || reader.at() == text.data()) return false;
  tail.kind = reader.at() - 1;
  const char kind = AsciiLower(*tail.kind);
  return (kind == kTypeFile[0] || kind == kTypeDirectory[0]) && reader.One(*tail.kind) &&
         separator();
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

std::string_view EntryKind(std::string_view text, TailDigits digits) {
  WrittenTail tail;
  if (FindWrittenTail(text, tail, digits)) return std::string_view(tail.kind, 1);
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
