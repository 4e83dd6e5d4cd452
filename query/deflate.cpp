#include "query/deflate.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
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
// What zlib writes into at a time.
constexpr uInt kBufferBytes = 1u << 16;

}  // namespace

struct Deflater::State {
  z_stream stream{};
  unsigned char buffer[kBufferBytes];

  // Compresses input with flush, appending to out whatever comes out.
  void Run(std::string_view input, int flush, std::string& out) {
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
      const int now = left == 0 ? flush : Z_NO_FLUSH;
      do {
        stream.next_out = buffer;
        stream.avail_out = kBufferBytes;
        status = deflate(&stream, now);
        out.append(reinterpret_cast<const char*>(buffer), kBufferBytes - stream.avail_out);
      } while (stream.avail_out == 0);
    } while (left > 0);
    if (flush == Z_FINISH && status != Z_STREAM_END) {
      throw std::runtime_error("deflate did not finish");
    }
  }
};

Deflater::Deflater() : state_(std::make_unique<State>()) {
  if (deflateInit2(&state_->stream, kLevel, Z_DEFLATED, kRawWindowBits, kMemoryLevel,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::bad_alloc();
  }
}

Deflater::~Deflater() {
  deflateEnd(&state_->stream);
}

void Deflater::Add(std::string_view input, std::string& out) {
  if (!input.empty()) state_->Run(input, Z_NO_FLUSH, out);
}

void Deflater::Finish(std::string& out) {
  state_->Run({}, Z_FINISH, out);
  deflateReset(&state_->stream);
}

void Deflater::EndPiece(std::string& out) {
  state_->Run({}, Z_SYNC_FLUSH, out);
  deflateReset(&state_->stream);
}

void Deflater::SearchRepeats(bool search) {
  deflateParams(&state_->stream, kLevel, search ? Z_DEFAULT_STRATEGY : Z_RLE);
}

void AppendBase64(std::string_view bytes, std::string& out) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const std::size_t whole = bytes.size() / 3 * 3;
  const std::size_t had = out.size();
  out.resize(had + (bytes.size() + 2) / 3 * 4);
  char* to = &out[had];
  const auto* from = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < whole; i += 3, to += 4) {
    const std::uint32_t group =
        std::uint32_t{from[i]} << 16 | std::uint32_t{from[i + 1]} << 8 | from[i + 2];
    to[0] = kAlphabet[group >> 18];
    to[1] = kAlphabet[(group >> 12) & 0x3F];
    to[2] = kAlphabet[(group >> 6) & 0x3F];
    to[3] = kAlphabet[group & 0x3F];
  }
  if (whole < bytes.size()) {
    const bool two = whole + 1 < bytes.size();
    const std::uint32_t group =
        std::uint32_t{from[whole]} << 16 | (two ? std::uint32_t{from[whole + 1]} << 8 : 0u);
    to[0] = kAlphabet[group >> 18];
    to[1] = kAlphabet[(group >> 12) & 0x3F];
    to[2] = two ? kAlphabet[(group >> 6) & 0x3F] : '=';
    to[3] = '=';
  }
}

}  // namespace mv
