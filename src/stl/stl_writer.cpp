#include "stl/stl_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/file_io.h"

namespace quillon {

namespace {

struct Cell {
  long long i, j, l;
  bool operator==(const Cell &o) const { return i == o.i && j == o.j && l == o.l; }
};

struct CellHash {
  size_t operator()(const Cell &c) const {
    size_t h = std::hash<long long>{}(c.i);
    h = h * 1000003u ^ std::hash<long long>{}(c.j);
    h = h * 1000003u ^ std::hash<long long>{}(c.l);
    return h;
  }
};

// The representatives of the grid. A cell of edge t can hold points up to t * sqrt(3)
// apart, so it keeps every representative placed in it, in the order they came.
class WeldGrid {
 public:
  explicit WeldGrid(double tolerance) : t2_(tolerance * tolerance), k_(1.0 / tolerance) {}

  TVec3 weld(const TVec3 &v) {
    if (!std::isfinite(v.X) || !std::isfinite(v.Y) || !std::isfinite(v.Z)) return v;
    const Cell c = cellOf(v);
    for (long long dx = -1; dx <= 1; ++dx) {
      for (long long dy = -1; dy <= 1; ++dy) {
        for (long long dz = -1; dz <= 1; ++dz) {
          const auto it = cells_.find({c.i + dx, c.j + dy, c.l + dz});
          if (it == cells_.end()) continue;
          for (const TVec3 &w : it->second) {
            const double ex = v.X - w.X, ey = v.Y - w.Y, ez = v.Z - w.Z;
            if (ex * ex + ey * ey + ez * ez <= t2_) return w;
          }
        }
      }
    }
    cells_[c].push_back(v);
    return v;
  }

 private:
  Cell cellOf(const TVec3 &v) const {
    return {static_cast<long long>(std::floor(v.X * k_)), static_cast<long long>(std::floor(v.Y * k_)),
            static_cast<long long>(std::floor(v.Z * k_))};
  }
  double t2_;
  double k_;
  std::unordered_map<Cell, std::vector<TVec3>, CellHash> cells_;
};

bool samePoint(const TVec3 &a, const TVec3 &b) {
  return std::fabs(a.X - b.X) <= 1e-9 && std::fabs(a.Y - b.Y) <= 1e-9 && std::fabs(a.Z - b.Z) <= 1e-9;
}

void appendU32(QByteArray &out, std::uint32_t v) {
  for (int s = 0; s < 32; s += 8) out.append(static_cast<char>((v >> s) & 0xFFu));
}

void appendFloat(QByteArray &out, double v) { appendU32(out, std::bit_cast<std::uint32_t>(static_cast<float>(v))); }

void appendVec(QByteArray &out, const TVec3 &v) {
  appendFloat(out, v.X);
  appendFloat(out, v.Y);
  appendFloat(out, v.Z);
}

}  // namespace

TVec3 TriangleNormal(const TVec3 &a, const TVec3 &b, const TVec3 &c) {
  const double ux = b.X - a.X, uy = b.Y - a.Y, uz = b.Z - a.Z;
  const double vx = c.X - a.X, vy = c.Y - a.Y, vz = c.Z - a.Z;
  const TVec3 n{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
  const double len = std::sqrt(n.X * n.X + n.Y * n.Y + n.Z * n.Z);
  if (len <= 1e-30) return {};
  return {n.X / len, n.Y / len, n.Z / len};
}

void WeldVertices(TTriangleList &triangles, double tolerance) {
  if (triangles.empty()) return;
  if (tolerance <= 0.0) tolerance = 0.001;
  WeldGrid grid(tolerance);
  TTriangleList kept;
  kept.reserve(triangles.size());
  for (const TTriangle3D &t : triangles) {
    const TTriangle3D w{grid.weld(t.A), grid.weld(t.B), grid.weld(t.C)};
    if (samePoint(w.A, w.B) || samePoint(w.B, w.C) || samePoint(w.A, w.C)) continue;
    kept.push_back(w);
  }
  triangles = std::move(kept);
}

QByteArray BinarySTLBytes(const TTriangleList &triangles) {
  QByteArray out;
  out.reserve(84 + 50 * static_cast<qsizetype>(triangles.size()));
  char header[80] = {};
  std::memcpy(header, kStlHeaderText, std::min(sizeof header, std::strlen(kStlHeaderText)));
  out.append(header, sizeof header);
  appendU32(out, static_cast<std::uint32_t>(triangles.size()));
  for (const TTriangle3D &t : triangles) {
    appendVec(out, TriangleNormal(t.A, t.B, t.C));
    appendVec(out, t.A);
    appendVec(out, t.B);
    appendVec(out, t.C);
    out.append('\0');
    out.append('\0');
  }
  return out;
}

void WriteBinarySTL(const QString &fileName, const TTriangleList &triangles) {
  TTriangleList welded = triangles;
  WeldVertices(welded, 0.001);
  writeFileAtomically(fileName, BinarySTLBytes(welded));
}

void SaveTrianglesToSTL(const QString &fileName, const TTriangleList &triangles) {
  TTriangleList welded = triangles;
  WeldVertices(welded, 0.0001);
  WriteBinarySTL(fileName, welded);
}

}  // namespace quillon
