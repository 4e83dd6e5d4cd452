#include "ui/treemap_layout.h"

#include <algorithm>
#include <cstddef>

namespace mv {
namespace {

// The worst aspect ratio of a row of areas (sum, smallest, largest) laid along a side of
// length side.
double WorstRatio(double sum, double smallest, double largest, double side) {
  const double sideSquared = side * side;
  const double sumSquared = sum * sum;
  return std::max(sideSquared * largest / sumSquared, sumSquared / (sideSquared * smallest));
}

}  // namespace

std::vector<TreemapRect> SquarifiedLayout(const std::vector<std::uint64_t>& sizes,
                                          const TreemapRect& bounds) {
  std::vector<TreemapRect> rects(sizes.size(), TreemapRect{bounds.x, bounds.y, 0, 0});
  double total = 0;
  for (const std::uint64_t size : sizes) total += static_cast<double>(size);
  if (total <= 0 || bounds.width <= 0 || bounds.height <= 0) return rects;
  const double scale = bounds.width * bounds.height / total;

  TreemapRect free = bounds;
  std::size_t rowStart = 0;
  double rowSum = 0, rowSmallest = 0, rowLargest = 0;
  // Lays items [rowStart, end) as one row along the shorter side of what is still free.
  const auto layRow = [&](std::size_t end) {
    const bool alongWidth = free.width >= free.height;  // a column at the left, else a row on top
    const double along = alongWidth ? free.height : free.width;
    const double across = alongWidth ? free.width : free.height;
    // The last row takes what is free; rounding may have left it a little more or less.
    double thickness = end == sizes.size() ? across : std::min(across, rowSum / along);
    if (along <= 0 || thickness <= 0) thickness = 0;  // items far below a pixel: left empty
    double at = alongWidth ? free.y : free.x;
    const double stop = at + along;
    for (std::size_t i = rowStart; i < end && thickness > 0; ++i) {
      const double area = static_cast<double>(sizes[i]) * scale;
      if (area <= 0) continue;
      const double length = std::min(area / thickness, stop - at);
      rects[i] = alongWidth ? TreemapRect{free.x, at, thickness, length}
                            : TreemapRect{at, free.y, length, thickness};
      at += length;
    }
    if (alongWidth) {
      free.x += thickness;
      free.width = std::max(0.0, free.width - thickness);
    } else {
      free.y += thickness;
      free.height = std::max(0.0, free.height - thickness);
    }
    rowStart = end;
    rowSum = 0;
  };
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const double area = static_cast<double>(sizes[i]) * scale;
    if (area <= 0) continue;
    const double side = std::min(free.width, free.height);
    if (rowSum > 0 && side > 0 &&
        WorstRatio(rowSum + area, std::min(rowSmallest, area), std::max(rowLargest, area), side) >
            WorstRatio(rowSum, rowSmallest, rowLargest, side)) {
      layRow(i);
    }
    if (rowSum == 0) {
      rowSmallest = rowLargest = area;
    } else {
      rowSmallest = std::min(rowSmallest, area);
      rowLargest = std::max(rowLargest, area);
    }
    rowSum += area;
  }
  if (rowSum > 0) layRow(sizes.size());
  return rects;
}

}  // namespace mv
