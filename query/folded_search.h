// Finding a piece of text in a large buffer, ignoring ASCII case: the quick first look of
// find before a line is read as an entry.
#pragma once

#include <cstddef>
#include <string_view>

namespace mv {

// The first position at or after from where text holds lowered (which is in lower case),
// ignoring ASCII case; npos when there is none. An empty lowered is found at from.
std::size_t FindIgnoringCase(std::string_view text, std::string_view lowered, std::size_t from);

}  // namespace mv
