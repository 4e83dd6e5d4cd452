#include "query/deflate.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <utility>
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
// Input is matched in pieces of at most this many bytes, each within itself, so that every
// position fits the 32-bit chains.
constexpr std::size_t kPieceBytes = std::size_t{1} << 30;
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

std::size_t LengthCode(std::size_t length) {
  return static_cast<std::size_t>(std::upper_bound(kLengthBase.begin(), kLengthBase.end(), length) -
                                  kLengthBase.begin() - 1);
}

std::size_t DistanceCode(std::size_t distance) {
  return static_cast<std::size_t>(
      std::upper_bound(kDistanceBase.begin(), kDistanceBase.end(), distance) -
      kDistanceBase.begin() - 1);
}

// A literal byte (distance 0) or a match.
struct Token {
  std::uint16_t length = 0;
  std::uint16_t distance = 0;
};

// Code lengths of a Huffman code for the given symbol counts, none longer than limit: when
// the tree grows too deep, the counts are flattened and the tree built again.
std::vector<std::uint8_t> CodeLengths(std::vector<std::uint32_t> counts, int limit) {
  struct Node {
    int left, right;  // -1 for a leaf
    std::size_t symbol;
  };
  using Item = std::pair<std::uint64_t, int>;
  for (;;) {
    std::vector<Node> nodes;
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    for (std::size_t s = 0; s < counts.size(); ++s) {
      if (counts[s] == 0) continue;
      queue.emplace(counts[s], static_cast<int>(nodes.size()));
      nodes.push_back({-1, -1, s});
    }
    while (queue.size() > 1) {
      const Item a = queue.top();
      queue.pop();
      const Item b = queue.top();
      queue.pop();
      queue.emplace(a.first + b.first, static_cast<int>(nodes.size()));
      nodes.push_back({a.second, b.second, 0});
    }
    std::vector<std::uint8_t> lengths(counts.size(), 0);
    int deepest = 0;
    std::vector<std::pair<int, int>> stack = {{static_cast<int>(nodes.size()) - 1, 0}};
    while (!stack.empty()) {
      const auto [at, depth] = stack.back();
      stack.pop_back();
      const Node& node = nodes[static_cast<std::size_t>(at)];
      if (node.left < 0) {
        lengths[node.symbol] = static_cast<std::uint8_t>(std::max(depth, 1));
        deepest = std::max(deepest, depth);
      } else {
        stack.emplace_back(node.left, depth + 1);
        stack.emplace_back(node.right, depth + 1);
      }
    }
    if (deepest <= limit) return lengths;
    for (std::uint32_t& count : counts) {
      if (count != 0) count = count / 2 + 1;
    }
  }
}

// The canonical codes for code lengths.
std::vector<std::uint32_t> CodesFor(const std::vector<std::uint8_t>& lengths) {
  std::array<std::uint32_t, 17> perLength{}, next{};
  for (const std::uint8_t length : lengths) ++perLength[length];
  perLength[0] = 0;
  for (std::size_t bits = 1; bits < next.size(); ++bits) {
    next[bits] = (next[bits - 1] + perLength[bits - 1]) << 1;
  }
  std::vector<std::uint32_t> codes(lengths.size(), 0);
  for (std::size_t s = 0; s < lengths.size(); ++s) {
    if (lengths[s] != 0) codes[s] = next[lengths[s]]++;
  }
  return codes;
}

// The code lengths of both codes, run-length coded: a length, 16 (the last one again 3 to 6
// times), 17 (3 to 10 zeros) or 18 (11 to 138 zeros), each with its extra bits.
struct LengthRun {
  std::uint8_t symbol, extra, extraBits;
};
std::vector<LengthRun> RunsOf(const std::vector<std::uint8_t>& lengths) {
  std::vector<LengthRun> runs;
  for (std::size_t i = 0; i < lengths.size();) {
    std::size_t same = 1;
    while (i + same < lengths.size() && lengths[i + same] == lengths[i]) ++same;
    if (lengths[i] == 0 && same >= 3) {
      same = std::min<std::size_t>(same, 138);
      runs.push_back(same >= 11 ? LengthRun{18, static_cast<std::uint8_t>(same - 11), 7}
                                : LengthRun{17, static_cast<std::uint8_t>(same - 3), 3});
    } else if (lengths[i] != 0 && same >= 4) {
      same = std::min<std::size_t>(same, 7);
      runs.push_back({lengths[i], 0, 0});
      runs.push_back({16, static_cast<std::uint8_t>(same - 4), 2});
    } else {
      same = 1;
      runs.push_back({lengths[i], 0, 0});
    }
    i += same;
  }
  return runs;
}

constexpr std::size_t kLiteralSymbols = 286, kDistanceSymbols = 30, kLengthSymbols = 19;
constexpr int kMaxCodeBits = 15, kMaxLengthCodeBits = 7;
constexpr std::array<std::uint8_t, kLengthSymbols> kLengthOrder = {
    16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
// Tokens per block: each block gets codes fitted to its own symbols.
constexpr std::size_t kBlockTokens = std::size_t{1} << 16;

// One block with codes made for its tokens.
void PutBlock(BitWriter& bits, const std::vector<Token>& tokens, bool last) {
  std::vector<std::uint32_t> literalCounts(kLiteralSymbols, 0), distanceCounts(kDistanceSymbols, 0);
  for (const Token& token : tokens) {
    if (token.distance == 0) {
      ++literalCounts[token.length];
    } else {
      ++literalCounts[257 + LengthCode(token.length)];
      ++distanceCounts[DistanceCode(token.distance)];
    }
  }
  literalCounts[kEndOfBlock] = 1;
  // Two codes at least in each, so that both trees are complete.
  literalCounts[0] = std::max<std::uint32_t>(literalCounts[0], 1);
  distanceCounts[0] = std::max<std::uint32_t>(distanceCounts[0], 1);
  distanceCounts[1] = std::max<std::uint32_t>(distanceCounts[1], 1);
  const std::vector<std::uint8_t> literalLengths = CodeLengths(literalCounts, kMaxCodeBits);
  const std::vector<std::uint8_t> distanceLengths = CodeLengths(distanceCounts, kMaxCodeBits);
  std::size_t literals = kLiteralSymbols, distances = kDistanceSymbols;
  while (literalLengths[literals - 1] == 0) --literals;
  while (distanceLengths[distances - 1] == 0) --distances;

  std::vector<std::uint8_t> both(literalLengths.begin(),
                                 literalLengths.begin() + static_cast<std::ptrdiff_t>(literals));
  both.insert(both.end(), distanceLengths.begin(),
              distanceLengths.begin() + static_cast<std::ptrdiff_t>(distances));
  const std::vector<LengthRun> runs = RunsOf(both);
  std::vector<std::uint32_t> runCounts(kLengthSymbols, 0);
  for (const LengthRun& run : runs) ++runCounts[run.symbol];
  const std::vector<std::uint8_t> runLengths = CodeLengths(runCounts, kMaxLengthCodeBits);
  const std::vector<std::uint32_t> runCodes = CodesFor(runLengths);
  std::size_t sent = kLengthSymbols;
  while (sent > 4 && runLengths[kLengthOrder[sent - 1]] == 0) --sent;

  bits.Put(last ? 1 : 0, 1);
  bits.Put(2, 2);  // codes of its own
  bits.Put(static_cast<std::uint32_t>(literals - 257), 5);
  bits.Put(static_cast<std::uint32_t>(distances - 1), 5);
  bits.Put(static_cast<std::uint32_t>(sent - 4), 4);
  for (std::size_t i = 0; i < sent; ++i) bits.Put(runLengths[kLengthOrder[i]], 3);
  for (const LengthRun& run : runs) {
    bits.PutCode(runCodes[run.symbol], runLengths[run.symbol]);
    bits.Put(run.extra, run.extraBits);
  }

  const std::vector<std::uint32_t> literalCodes = CodesFor(literalLengths);
  const std::vector<std::uint32_t> distanceCodes = CodesFor(distanceLengths);
  const auto put = [&](std::size_t symbol) {
    bits.PutCode(literalCodes[symbol], literalLengths[symbol]);
  };
  for (const Token& token : tokens) {
    if (token.distance == 0) {
      put(token.length);
      continue;
    }
    const std::size_t lengthCode = LengthCode(token.length);
    put(257 + lengthCode);
    bits.Put(static_cast<std::uint32_t>(token.length - kLengthBase[lengthCode]),
             kLengthExtra[lengthCode]);
    const std::size_t distanceCode = DistanceCode(token.distance);
    bits.PutCode(distanceCodes[distanceCode], distanceLengths[distanceCode]);
    bits.Put(static_cast<std::uint32_t>(token.distance - kDistanceBase[distanceCode]),
             kDistanceExtra[distanceCode]);
  }
  put(kEndOfBlock);
}

std::uint32_t HashAt(const unsigned char* p) {
  const std::uint32_t three =
      static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
  return (three * 2654435761u) >> (32 - kHashBits);
}

// The bytes [0, size) of data, matched within themselves, as blocks; the last one ends the
// stream when last is set.
void PutPiece(BitWriter& bits, const unsigned char* data, std::size_t size, bool last) {
  std::vector<std::uint32_t> head(std::size_t{1} << kHashBits, kNone);
  std::vector<std::uint32_t> previous(kWindow, kNone);
  const auto insert = [&](std::size_t at) {
    if (at + kMinMatch > size) return;
    const std::uint32_t h = HashAt(data + at);
    previous[at & (kWindow - 1)] = head[h];
    head[h] = static_cast<std::uint32_t>(at);
  };
  std::vector<Token> tokens;
  tokens.reserve(kBlockTokens);
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
      tokens.push_back(
          {static_cast<std::uint16_t>(best), static_cast<std::uint16_t>(bestDistance)});
      for (std::size_t k = 0; k < best; ++k) insert(at + k);
      at += best;
    } else {
      tokens.push_back({data[at], 0});
      insert(at);
      ++at;
    }
    if (tokens.size() == kBlockTokens && at < size) {
      PutBlock(bits, tokens, false);
      tokens.clear();
    }
  }
  PutBlock(bits, tokens, last);
}

}  // namespace

void AppendDeflated(std::string_view input, std::string& out) {
  const auto* data = reinterpret_cast<const unsigned char*>(input.data());
  BitWriter bits(out);
  std::size_t at = 0;
  do {
    const std::size_t size = std::min(kPieceBytes, input.size() - at);
    PutPiece(bits, data + at, size, at + size == input.size());
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
