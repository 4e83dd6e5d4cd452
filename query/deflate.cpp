#include "query/deflate.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>

namespace mv {
namespace {

// zlib counts in 32-bit units: a larger input goes in pieces of at most this many bytes.
constexpr std::size_t kPieceBytes = std::size_t{1} << 30;
// The page is written once and read by a browser: the fastest level makes it a few per cent
// larger than the default for a fraction of the time.
constexpr int kLevel = 1;
constexpr int kRawWindowBits = -15;  // a raw stream: no zlib header, no checksum
constexpr int kMemoryLevel = 8;

}  // namespace

void AppendDeflated(std::string_view input, std::string& out) {
  z_stream stream{};
  if (deflateInit2(&stream, kLevel, Z_DEFLATED, kRawWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    throw std::bad_alloc();
  }
  const auto* next = reinterpret_cast<const unsigned char*>(input.data());
  std::size_t left = input.size();
  int status = Z_OK;
  do {
    const std::size_t piece = std::min(left, kPieceBytes);
    // zlib reads through a non-const pointer but never writes the input.
    stream.next_in = const_cast<unsigned char*>(next);
    stream.avail_in = static_cast<uInt>(piece);
    next += piece;
    left -= piece;
    const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
    do {
      const std::size_t room = std::min<std::size_t>(deflateBound(&stream, stream.avail_in) + 64,
                                                     std::numeric_limits<uInt>::max());
      const std::size_t had = out.size();
      out.resize(had + room);
      stream.next_out = reinterpret_cast<unsigned char*>(&out[had]);
      stream.avail_out = static_cast<uInt>(room);
      status = deflate(&stream, flush);
      out.resize(had + room - stream.avail_out);
    } while (stream.avail_in > 0 || (flush == Z_FINISH && status == Z_OK));
  } while (left > 0);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
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
