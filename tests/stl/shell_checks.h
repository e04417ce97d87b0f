#pragma once
// Checks of meshes made of several closed shells that may touch (the jig's floor and
// walls are slabs stacked on each other), beside the single-shell checks of
// mesh_checks.h.
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

#include "stl/mesh_checks.h"

namespace quillon::test {

// The number of directed edges not met exactly as often as their reverse: 0 when every
// shell is closed and faces out. Corners are compared at 1e-6 mm.
inline int unbalancedEdges(const TTriangleList &triangles) {
  using TKey = std::tuple<long long, long long, long long>;
  const auto key = [](const TVec3 &v) {
    return TKey{std::llround(v.X * 1e6), std::llround(v.Y * 1e6), std::llround(v.Z * 1e6)};
  };
  std::map<std::pair<TKey, TKey>, int> edges;
  for (const TTriangle3D &t : triangles) {
    const TKey a = key(t.A), b = key(t.B), c = key(t.C);
    for (const auto &e : {std::pair{a, b}, std::pair{b, c}, std::pair{c, a}}) ++edges[e];
  }
  int unbalanced = 0;
  for (const auto &[edge, count] : edges) {
    const auto reverse = edges.find({edge.second, edge.first});
    if (reverse == edges.end() || reverse->second != count) ++unbalanced;
  }
  return unbalanced;
}

inline std::pair<double, double> zRange(const TTriangleList &triangles) {
  double lo = 1e300, hi = -1e300;
  for (const TTriangle3D &t : triangles)
    for (const TVec3 *v : {&t.A, &t.B, &t.C}) {
      lo = std::min(lo, v->Z);
      hi = std::max(hi, v->Z);
    }
  return {lo, hi};
}

}  // namespace quillon::test
