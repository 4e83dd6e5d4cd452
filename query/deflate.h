// Raw deflate (RFC 1951) of a byte string, for data a browser inflates itself: LZ77 over a
// 32 KiB window, coded with the fixed Huffman tables in one final block. Plain text shrinks
// to about a third; the coder favours speed over the last few percent.
#pragma once

#include <string>
#include <string_view>

namespace mv {

// Appends the compressed form of input to out.
void AppendDeflated(std::string_view input, std::string& out);

// Appends text as base64 (standard alphabet, padded with '=').
void AppendBase64(std::string_view bytes, std::string& out);

}  // namespace mv
