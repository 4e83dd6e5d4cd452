// The squarified treemap (Bruls, Huizing and van Wijk): the items of a folder as rectangles
// that fill its rectangle, each with an area in proportion to its size, laid in rows whose
// rectangles are as near to squares as the sizes allow. Portable; the Space window draws it.
#pragma once

#include <cstdint>
#include <vector>

namespace mv {

struct TreemapRect {
  double x = 0, y = 0, width = 0, height = 0;
};

// One rectangle per size, in the order of sizes (which should be largest first for the
// squarest result; any order is laid out correctly). Items of size 0 get an empty rectangle
// at bounds' corner; with no size above 0, every rectangle is empty.
std::vector<TreemapRect> SquarifiedLayout(const std::vector<std::uint64_t>& sizes,
                                          const TreemapRect& bounds);

}  // namespace mv
