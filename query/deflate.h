// Raw deflate (RFC 1951) of a byte string, through zlib, for data a browser inflates itself
// (DecompressionStream("deflate-raw")).
#pragma once

#include <string>
#include <string_view>

namespace mv {

// Appends the compressed form of input to out.
void AppendDeflated(std::string_view input, std::string& out);

// Appends text as base64 (standard alphabet, padded with '=').
void AppendBase64(std::string_view bytes, std::string& out);

}  // namespace mv
