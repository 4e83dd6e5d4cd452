// Raw deflate (RFC 1951) of a byte string, for data a browser inflates itself: LZ77 over a
// 32 KiB window (greedy, a bounded search per position), each block of tokens coded with
// Huffman codes made for it. Within about a fifth of what zlib's default level makes.
#pragma once

#include <string>
#include <string_view>

namespace mv {

// Appends the compressed form of input to out.
void AppendDeflated(std::string_view input, std::string& out);

// Appends text as base64 (standard alphabet, padded with '=').
void AppendBase64(std::string_view bytes, std::string& out);

}  // namespace mv
