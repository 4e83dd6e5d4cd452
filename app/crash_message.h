// The text of the one message an unhandled fault ends in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace mv {

inline constexpr char kCrashCaption[] = "_Exception_";
// Room for the three labels and three 64-bit addresses in hexadecimal.
inline constexpr std::size_t kCrashMessageCapacity = 128;

// "Code: %X\nAddress: %X\nAccess violation address: %X", upper-case hexadecimal without
// leading zeros, NUL-terminated. Built without the heap, which the fault may have broken.
std::array<char, kCrashMessageCapacity> CrashMessage(std::uint32_t code, std::uint64_t address,
                                                     std::uint64_t accessAddress);

}  // namespace mv
