// The treemap's layout over random folders: every rectangle inside its parent, none over
// another, each with an area in proportion to its size, the parent filled.
#include "ui/treemap_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace mv {
namespace {

TEST(TreemapLayout, RectanglesFillTheParentInProportionAndNeverOverlap) {
  std::mt19937_64 random(35);
  for (int round = 0; round < 2000; ++round) {
    const auto count = static_cast<std::size_t>(round % 50 == 0 ? 2000 : random() % 40);
    std::vector<std::uint64_t> sizes(count);
    for (std::uint64_t& size : sizes) {
      const int shape = static_cast<int>(random() % 8);
      size = shape == 0 ? 0 : shape == 1 ? random() >> 4 : random() % 1000;
    }
    if (round % 2 == 0) std::sort(sizes.begin(), sizes.end(), std::greater<>());
    const TreemapRect bounds{
        static_cast<double>(random() % 100), static_cast<double>(random() % 100),
        1 + static_cast<double>(random() % 2000), 1 + static_cast<double>(random() % 2000)};
    const std::vector<TreemapRect> rects = SquarifiedLayout(sizes, bounds);
    ASSERT_EQ(rects.size(), sizes.size());
    double total = 0, covered = 0;
    for (const std::uint64_t size : sizes) total += static_cast<double>(size);
    const double area = bounds.width * bounds.height;
    const double slack = 1e-6 * (bounds.width + bounds.height);
    for (std::size_t i = 0; i < rects.size(); ++i) {
      const TreemapRect& r = rects[i];
      EXPECT_GE(r.x, bounds.x - slack);
      EXPECT_GE(r.y, bounds.y - slack);
      EXPECT_LE(r.x + r.width, bounds.x + bounds.width + slack);
      EXPECT_LE(r.y + r.height, bounds.y + bounds.height + slack);
      const double expected = total > 0 ? static_cast<double>(sizes[i]) / total * area : 0;
      EXPECT_NEAR(r.width * r.height, expected, 1e-6 * area) << round << " " << i;
      covered += r.width * r.height;
      if (count > 100) continue;
      for (std::size_t j = 0; j < i; ++j) {
        const TreemapRect& q = rects[j];
        const double overlapX = std::min(r.x + r.width, q.x + q.width) - std::max(r.x, q.x);
        const double overlapY = std::min(r.y + r.height, q.y + q.height) - std::max(r.y, q.y);
        EXPECT_FALSE(overlapX > slack && overlapY > slack) << round << ": " << i << " " << j;
      }
    }
    EXPECT_NEAR(covered, total > 0 ? area : 0, 1e-6 * area);
  }
}

}  // namespace
}  // namespace mv
