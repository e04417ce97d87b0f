#pragma once
// Checks of triangle meshes shared by the STL tests.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <tuple>
#include <utility>

#include "stl/regions.h"
#include "stl/stl_writer.h"

namespace quillon::test {

// Whether the mesh, welded as the STL writer welds it, is closed and consistently
// oriented: every directed edge occurs exactly once and its reverse exactly once.
inline ::testing::AssertionResult isClosedAndOriented(const TTriangleList &mesh) {
  TTriangleList welded = mesh;
  WeldVertices(welded, 0.001);
  if (welded.empty()) return ::testing::AssertionFailure() << "no triangles";
  std::map<std::tuple<double, double, double>, int> ids;
  auto id = [&ids](const TVec3 &v) {
    return ids.emplace(std::make_tuple(v.X, v.Y, v.Z), static_cast<int>(ids.size())).first->second;
  };
  std::map<std::pair<int, int>, int> edges;
  for (const TTriangle3D &t : welded) {
    const int a = id(t.A), b = id(t.B), c = id(t.C);
    ++edges[{a, b}];
    ++edges[{b, c}];
    ++edges[{c, a}];
  }
  int bad = 0;
  std::ostringstream first;
  for (const auto &[edge, count] : edges) {
    const auto rev = edges.find({edge.second, edge.first});
    const int reverseCount = rev == edges.end() ? 0 : rev->second;
    if (count != 1 || reverseCount != 1) {
      if (bad++ == 0) first << "edge " << edge.first << "->" << edge.second << " used " << count << " times, reverse "
                           << reverseCount << " times";
    }
  }
  if (bad) return ::testing::AssertionFailure() << bad << " bad directed edges of " << edges.size() << "; " << first.str();
  return ::testing::AssertionSuccess();
}

// Enclosed volume (positive when the facets face outwards).
inline double meshVolume(const TTriangleList &mesh) {
  double v = 0.0;
  for (const TTriangle3D &t : mesh) {
    v += t.A.X * (t.B.Y * t.C.Z - t.B.Z * t.C.Y) - t.A.Y * (t.B.X * t.C.Z - t.B.Z * t.C.X) +
         t.A.Z * (t.B.X * t.C.Y - t.B.Y * t.C.X);
  }
  return v / 6.0;
}

inline TRing rectRing(float l, float t, float r, float b) { return {{l, t}, {r, t}, {r, b}, {l, b}}; }

inline TRing circleRing(float cx, float cy, float radius, int n) {
  TRing ring;
  for (int i = 0; i < n; ++i) {
    const double a = 2.0 * 3.14159265358979323846 * i / n;
    ring.emplace_back(cx + radius * static_cast<float>(std::cos(a)), cy + radius * static_cast<float>(std::sin(a)));
  }
  return ring;
}

}  // namespace quillon::test
