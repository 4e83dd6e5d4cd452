// Parsing of entry lines: the four fields (a name may hold ";;"), the extension cut at the
// last dot.
#include "core/parsed_entry.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/byte_words.h"
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

// Where the last three fields of a line stand when they are what the writer writes: a
// one-letter kind, a size in digits and a date of digits, dot, digits, dot, digits, each
// after a separator. These fields hold no ';', so the separators found, reading backwards,
// are the last ones of the line.
struct WrittenTail {
  const char* kind = nullptr;  // the kind letter; the name ends two characters before it
  const char* sizeStart = nullptr;
  const char* sizeEnd = nullptr;  // the date starts two characters after
};

// Which of 32 bytes are digits, date separators and field separator characters: one bit per
// byte, the last byte on top.
struct ByteClasses {
  std::uint32_t digits = 0;
  std::uint32_t dots = 0;
  std::uint32_t semicolons = 0;
};
constexpr std::size_t kSortedBytes = 32;
static_assert(kFieldSeparator.size() == 2 && kFieldSeparator[0] == kFieldSeparator[1]);

#if defined(__SSE2__)
ByteClasses SortBytes(const char* bytes) {
  // Digits are the bytes that fall below -118 once '0' + 0x80 is taken off: '0' to '9' become
  // -128 to -119, every other byte wraps above.
  const __m128i digitBase = _mm_set1_epi8(static_cast<char>('0' + 0x80));
  const __m128i pastNine = _mm_set1_epi8(-0x80 + 10);
  const __m128i dot = _mm_set1_epi8(kDateSeparator);
  const __m128i semicolon = _mm_set1_epi8(kFieldSeparator[0]);
  ByteClasses classes;
  for (std::size_t k = 0; k < kSortedBytes / 16; ++k) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * k));
    const auto bits = [&](__m128i marks) {
      return static_cast<std::uint32_t>(_mm_movemask_epi8(marks)) << (16 * k);
    };
    classes.digits |= bits(_mm_cmpgt_epi8(pastNine, _mm_sub_epi8(x, digitBase)));
    classes.dots |= bits(_mm_cmpeq_epi8(x, dot));
    classes.semicolons |= bits(_mm_cmpeq_epi8(x, semicolon));
  }
  return classes;
}
#else
ByteClasses SortBytes(const char* bytes) {
  static_assert(words::kUsable, "the first byte of a word is its lowest");
  // The top bits of a word's eight bytes gathered into eight bits, first byte lowest.
  const auto gather = [](std::uint64_t marks) {
    return static_cast<std::uint32_t>(((marks >> 7) * 0x0102040810204080u) >> 56);
  };
  ByteClasses classes;
  for (std::size_t k = 0; k < kSortedBytes / 8; ++k) {
    const std::uint64_t word = words::Load(bytes + 8 * k);
    // Per byte below 0x80 (no carry can cross into the next byte): the top bit of b + 0x50
    // is set from '0' on, that of b + 0x46 from '9' + 1 on.
    const std::uint64_t low = word & words::kLowBits;
    const std::uint64_t digits =
        (low + words::kOnes * 0x50) & ~(low + words::kOnes * 0x46) & ~word & words::kHighBits;
    const auto shift = static_cast<unsigned>(8 * k);
    classes.digits |= gather(digits) << shift;
    classes.dots |= gather(words::BytesEqual(word, kDateSeparator)) << shift;
    classes.semicolons |= gather(words::BytesEqual(word, kFieldSeparator[0])) << shift;
  }
  return classes;
}
#endif

enum class TailReading { kFound, kAbsent, kUndecided };

// The written tail read from the last 32 bytes of text at once: sizes and dates vary in length
// from line to line, so reading them a byte at a time would mostly mispredict its branches.
// Undecided when it is not there but could reach further back.
TailReading ReadTailFromLastBytes(std::string_view text, WrittenTail& tail) {
  const std::size_t size = text.size();
  ByteClasses classes;
  if (size >= kSortedBytes) {
    classes = SortBytes(text.data() + size - kSortedBytes);
  } else {
    // Nothing before the text is read: the bytes missing are NULs, of no class.
    char padded[kSortedBytes] = {};
    std::memcpy(padded + kSortedBytes - size, text.data(), size);
    classes = SortBytes(padded);
  }
  const TailReading missing = size > kSortedBytes ? TailReading::kUndecided : TailReading::kAbsent;
  // The bits on top of 64, so that every count and shift below stays within the word.
  const std::uint64_t digits = std::uint64_t{classes.digits} << 32;
  const std::uint64_t dots = std::uint64_t{classes.dots} << 32;
  const std::uint64_t semicolons = std::uint64_t{classes.semicolons} << 32;
  constexpr std::uint64_t kTop = std::uint64_t{1} << 63;

  // The date is the run of digits and dots at the end: digits, dot, digits, dot, digits
  // exactly when it holds two dots, neither side by side nor at either end of it.
  const auto dateLength = static_cast<unsigned>(std::countl_one(digits | dots));
  if (dateLength == 0) return missing;
  const std::uint64_t dateDots = dots & ~(~std::uint64_t{0} >> dateLength);
  const std::uint64_t laterDots = dateDots & (dateDots - 1);
  const std::uint64_t dateEnds = kTop | (std::uint64_t{1} << (64 - dateLength));
  if (laterDots == 0 || (laterDots & (laterDots - 1)) != 0 || (dateDots & (dateDots << 1)) != 0 ||
      (dateDots & dateEnds) != 0) {
    return missing;
  }
  // Then a separator, the size, a separator, the kind and a separator.
  if ((semicolons << dateLength) >> 62 != 3) return missing;
  const unsigned sizeEnd = dateLength + 2;
  const auto sizeStart = sizeEnd + static_cast<unsigned>(std::countl_one(digits << sizeEnd));
  constexpr std::uint64_t kKindBetweenSeparators = 0b11011;
  if (sizeStart == sizeEnd ||
      ((semicolons << sizeStart) >> 59 & kKindBetweenSeparators) != kKindBetweenSeparators) {
    return missing;
  }
  const char* const end = text.data() + size;
  const char kind = AsciiLower(end[-3 - static_cast<std::ptrdiff_t>(sizeStart)]);
  if (kind != kTypeFile[0] && kind != kTypeDirectory[0]) return missing;
  tail.kind = end - 3 - sizeStart;
  tail.sizeStart = end - sizeStart;
  tail.sizeEnd = end - sizeEnd;
  return TailReading::kFound;
}

// The same reading a byte at a time, for the rare line whose tail reaches further back.
bool ReadTailBytewise(std::string_view text, WrittenTail& tail) {
  const char* const begin = text.data();
  const char* at = begin + text.size();
  const auto digits = [&] {
    const char* const start = at;
    while (at != begin && at[-1] >= '0' && at[-1] <= '9') --at;
    return at != start;
  };
  const auto one = [&](char c) {
    if (at == begin || at[-1] != c) return false;
    --at;
    return true;
  };
  const auto separator = [&] { return one(kFieldSeparator[1]) && one(kFieldSeparator[0]); };
  if (!digits() || !one(kDateSeparator) || !digits() || !one(kDateSeparator) || !digits() ||
      !separator()) {
    return false;
  }
  tail.sizeEnd = at;
  if (!digits()) return false;
  tail.sizeStart = at;
  if (!separator() || at == begin) return false;
  tail.kind = --at;
  const char kind = AsciiLower(*tail.kind);
  return (kind == kTypeFile[0] || kind == kTypeDirectory[0]) && separator();
}

bool FindWrittenTail(std::string_view text, WrittenTail& tail) {
  const TailReading reading = ReadTailFromLastBytes(text, tail);
  if (reading != TailReading::kUndecided) return reading == TailReading::kFound;
  return ReadTailBytewise(text, tail);
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

std::uint64_t FileSizeBytes(std::string_view size) {
  // Up to 19 digits cannot pass the largest 64-bit value: no check of the sum on the way.
  constexpr std::size_t kSafeDigits = 19;
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
  const char* at = size.data();
  const char* const end = at + size.size();
  const char* const safeEnd = size.size() <= kSafeDigits ? end : at + kSafeDigits;
  std::uint64_t value = 0;
  for (; at != safeEnd; ++at) {
    const unsigned digit = static_cast<unsigned char>(*at) - unsigned{'0'};
    if (digit > 9) return 0;
    value = value * 10 + digit;
  }
  for (; at != end; ++at) {
    const unsigned digit = static_cast<unsigned char>(*at) - unsigned{'0'};
    if (digit > 9) return 0;
    value = value > (kMost - digit) / 10 ? kMost : value * 10 + digit;
  }
  return value;
}

std::string_view EntryKind(std::string_view text, std::string_view* size) {
  WrittenTail tail;
  if (FindWrittenTail(text, tail)) {
    if (size != nullptr) {
      *size =
          std::string_view(tail.sizeStart, static_cast<std::size_t>(tail.sizeEnd - tail.sizeStart));
    }
    return std::string_view(tail.kind, 1);
  }
  EntryFields fields;
  SplitFromTheLeft(text, fields);
  if (size != nullptr) *size = fields[2];
  return fields[1];
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
