#include "query/deflate.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace mv {
namespace {

constexpr std::size_t kWindow = std::size_t{1} << 15;  // the farthest a match may reach back
constexpr std::size_t kMinMatch = 3, kMaxMatch = 258;
constexpr int kHashBits = 16;
// Candidates tried per position, and a length good enough to stop looking further.
constexpr int kMaxChain = 24;
constexpr std::size_t kGoodMatch = 64;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
// Input goes out in blocks of at most this many bytes, each matched within itself, so that
// every position fits the 32-bit chains.
constexpr std::size_t kBlockBytes = std::size_t{1} << 30;
constexpr unsigned kEndOfBlock = 256;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                         4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Bits go out least significant first; Huffman codes are sent from their top bit down.
class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void Put(std::uint32_t bits, int count) {
    pending_ |= static_cast<std::uint64_t>(bits) << filled_;
    filled_ += count;
    while (filled_ >= 8) {
      out_ += static_cast<char>(pending_ & 0xFF);
      pending_ >>= 8;
      filled_ -= 8;
    }
  }
  void PutCode(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
    Put(reversed, length);
  }
  void Finish() {
    if (filled_ > 0) out_ += static_cast<char>(pending_ & 0xFF);
    pending_ = 0;
    filled_ = 0;
  }

 private:
  std::string& out_;
  std::uint64_t pending_ = 0;
  int filled_ = 0;
};

// A literal, length or end symbol in the fixed literal/length code.
void PutSymbol(BitWriter& bits, unsigned symbol) {
  if (symbol < 144) {
    bits.PutCode(0x30 + symbol, 8);
  } else if (symbol < 256) {
    bits.PutCode(0x190 + symbol - 144, 9);
  } else if (symbol < 280) {
    bits.PutCode(symbol - 256, 7);
  } else {
    bits.PutCode(0xC0 + symbol - 280, 8);
  }
}

void PutMatch(BitWriter& bits, std::size_t length, std::size_t distance) {
  const auto lengthCode = static_cast<std::size_t>(
      std::upper_bound(kLengthBase.begin(), kLengthBase.end(), length) - kLengthBase.begin() - 1);
  PutSymbol(bits, static_cast<unsigned>(257 + lengthCode));
  bits.Put(static_cast<std::uint32_t>(length - kLengthBase[lengthCode]), kLengthExtra[lengthCode]);
  const auto distanceCode = static_cast<std::size_t>(
      std::upper_bound(kDistanceBase.begin(), kDistanceBase.end(), distance) -
      kDistanceBase.begin() - 1);
  bits.PutCode(static_cast<std::uint32_t>(distanceCode), 5);
  bits.Put(static_cast<std::uint32_t>(distance - kDistanceBase[distanceCode]),
           kDistanceExtra[distanceCode]);
}

std::uint32_t HashAt(const unsigned char* p) {
  const std::uint32_t three =
      static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
  return (three * 2654435761u) >> (32 - kHashBits);
}

// One block with the fixed codes: the bytes [0, size) of data, matched within themselves.
void PutBlock(BitWriter& bits, const unsigned char* data, std::size_t size, bool last) {
  std::vector<std::uint32_t> head(std::size_t{1} << kHashBits, kNone);
  std::vector<std::uint32_t> previous(kWindow, kNone);
  const auto insert = [&](std::size_t at) {
    if (at + kMinMatch > size) return;
    const std::uint32_t h = HashAt(data + at);
    previous[at & (kWindow - 1)] = head[h];
    head[h] = static_cast<std::uint32_t>(at);
  };
  bits.Put(last ? 1 : 0, 1);
  bits.Put(1, 2);  // fixed Huffman codes
  std::size_t at = 0;
  while (at < size) {
    std::size_t best = 0, bestDistance = 0;
    if (at + kMinMatch <= size) {
      const std::size_t limit = std::min(kMaxMatch, size - at);
      std::uint32_t candidate = head[HashAt(data + at)];
      for (int tries = 0; tries < kMaxChain && candidate != kNone; ++tries) {
        const std::size_t distance = at - candidate;
        if (candidate >= at || distance >= kWindow) break;
        const unsigned char* a = data + candidate;
        const unsigned char* b = data + at;
        if (a[best] == b[best]) {
          std::size_t length = 0;
          while (length < limit && a[length] == b[length]) ++length;
          if (length > best) {
            best = length;
            bestDistance = distance;
            if (best >= kGoodMatch || best == limit) break;
          }
        }
        candidate = previous[candidate & (kWindow - 1)];
      }
    }
    if (best >= kMinMatch) {
      PutMatch(bits, best, bestDistance);
      for (std::size_t k = 0; k < best; ++k) insert(at + k);
      at += best;
    } else {
      PutSymbol(bits, data[at]);
      insert(at);
      ++at;
    }
  }
  PutSymbol(bits, kEndOfBlock);
}

}  // namespace

void AppendDeflated(std::string_view input, std::string& out) {
  const auto* data = reinterpret_cast<const unsigned char*>(input.data());
  BitWriter bits(out);
  std::size_t at = 0;
  do {
    const std::size_t size = std::min(kBlockBytes, input.size() - at);
    PutBlock(bits, data + at, size, at + size == input.size());
    at += size;
  } while (at < input.size());
  bits.Finish();
}

void AppendBase64(std::string_view bytes, std::string& out) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const auto byte = [&](std::size_t i) {
    return i < bytes.size() ? static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) : 0u;
  };
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::uint32_t group = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
    const std::size_t present = std::min<std::size_t>(3, bytes.size() - i);
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= present ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
}

}  // namespace mv
