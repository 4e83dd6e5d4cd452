// Raw deflate (RFC 1951) of a byte string, through zlib, for data a browser inflates itself
// (DecompressionStream("deflate-raw")).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace mv {

// Deflates bytes a piece at a time: each call appends to out what the compressor has ready,
// so the input need never be held whole. Throws std::bad_alloc when zlib cannot start.
class Deflater {
 public:
  Deflater();
  ~Deflater();
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  void Add(std::string_view input, std::string& out);
  // Ends the stream: out then holds a whole raw deflate stream. The deflater starts anew.
  void Finish(std::string& out);
  // Ends a piece of a stream whose pieces are deflated apart (on several threads, say) and
  // joined in order: out ends on a byte boundary without ending the stream, and the next
  // input starts a piece that refers to nothing before it. The last piece ends with Finish.
  void EndPiece(std::string& out);
  // Whether the next piece is searched for repeated strings anywhere in the last 32 KiB
  // (the default), or only for runs of one byte, several times sooner, for numbers that
  // seldom repeat. Call before the piece's first input.
  void SearchRepeats(bool search);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Appends text as base64 (standard alphabet, padded with '=').
void AppendBase64(std::string_view bytes, std::string& out);

}  // namespace mv
