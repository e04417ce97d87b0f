#include "platform/clip.h"

#include <clipper.hpp>
#include <geos_c.h>

#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace quillon::clip {

namespace {

using ClipperLib::cInt;
using ClipperLib::IntPoint;

double scaleOf(int precision) {
  if (precision < 0 || precision > kMaxPrecision) throw std::range_error("clip: precision out of range");
  return std::pow(10.0, precision);
}

ClipperLib::Paths toIntPaths(const PathsD &paths, double scale) {
  ClipperLib::Paths out;
  out.reserve(paths.size());
  for (const PathD &path : paths) {
    ClipperLib::Path ip;
    ip.reserve(path.size());
    for (const PointD &p : path) ip.emplace_back(std::llround(p.x * scale), std::llround(p.y * scale));
    out.push_back(std::move(ip));
  }
  return out;
}

PathsD toDoublePaths(const ClipperLib::Paths &paths, double scale) {
  PathsD out;
  out.reserve(paths.size());
  for (const ClipperLib::Path &ip : paths) {
    PathD path;
    path.reserve(ip.size());
    for (const IntPoint &p : ip) path.push_back({static_cast<double>(p.X) / scale, static_cast<double>(p.Y) / scale});
    out.push_back(std::move(path));
  }
  return out;
}

ClipperLib::PolyFillType fillTypeOf(FillRule rule) {
  switch (rule) {
    case FillRule::EvenOdd: return ClipperLib::pftEvenOdd;
    case FillRule::NonZero: return ClipperLib::pftNonZero;
    case FillRule::Positive: return ClipperLib::pftPositive;
    case FillRule::Negative: return ClipperLib::pftNegative;
  }
  return ClipperLib::pftEvenOdd;
}

PathsD booleanOp(ClipperLib::ClipType op, const PathsD &subjects, const PathsD *clips, FillRule rule, int precision) {
  const double scale = scaleOf(precision);
  ClipperLib::Clipper c;
  c.AddPaths(toIntPaths(subjects, scale), ClipperLib::ptSubject, true);
  if (clips) c.AddPaths(toIntPaths(*clips, scale), ClipperLib::ptClip, true);
  ClipperLib::Paths solution;
  const ClipperLib::PolyFillType pft = fillTypeOf(rule);
  c.Execute(op, solution, pft, pft);
  return toDoublePaths(solution, scale);
}

// Squared distance from p to the straight line through a and b (to a itself when a
// and b coincide).
double lineDistanceSqr(PointD p, PointD a, PointD b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  const double px = p.x - a.x, py = p.y - a.y;
  if (len2 == 0.0) return px * px + py * py;
  const double cross = px * dy - py * dx;
  return cross * cross / len2;
}

// --- GEOS ------------------------------------------------------------------------------

// One GEOS context for one call, with its errors collected instead of printed.
class GeosContext {
 public:
  GeosContext() : handle_(GEOS_init_r()) {
    GEOSContext_setErrorMessageHandler_r(handle_, &GeosContext::onError, &error_);
    GEOSContext_setNoticeMessageHandler_r(handle_, &GeosContext::onNotice, nullptr);
  }
  ~GeosContext() { GEOS_finish_r(handle_); }
  GeosContext(const GeosContext &) = delete;
  GeosContext &operator=(const GeosContext &) = delete;
  GEOSContextHandle_t get() const { return handle_; }

 private:
  static void onError(const char *message, void *userdata) {
    if (message && userdata) *static_cast<std::string *>(userdata) = message;
  }
  static void onNotice(const char *, void *) {}
  GEOSContextHandle_t handle_;
  std::string error_;
};

// Owns one GEOS geometry.
class GeosGeometry {
 public:
  GeosGeometry(GEOSContextHandle_t ctx, GEOSGeometry *g) : ctx_(ctx), g_(g) {}
  ~GeosGeometry() {
    if (g_) GEOSGeom_destroy_r(ctx_, g_);
  }
  GeosGeometry(const GeosGeometry &) = delete;
  GeosGeometry &operator=(const GeosGeometry &) = delete;
  GEOSGeometry *get() const { return g_; }
  GEOSGeometry *release() {
    GEOSGeometry *g = g_;
    g_ = nullptr;
    return g;
  }

 private:
  GEOSContextHandle_t ctx_;
  GEOSGeometry *g_;
};

using PointKey = std::pair<cInt, cInt>;

// The exact input point of every rounded point, so that the triangles keep the callers'
// coordinates (the first input point wins where two round alike).
using ExactPoints = std::map<PointKey, PointD>;

PointD exactPoint(const ExactPoints &exact, const IntPoint &p, double scale) {
  const auto it = exact.find({p.X, p.Y});
  if (it != exact.end()) return it->second;
  return {static_cast<double>(p.X) / scale, static_cast<double>(p.Y) / scale};
}

// A closed GEOS ring of a Clipper contour; null when GEOS refuses it.
GEOSGeometry *makeRing(GEOSContextHandle_t ctx, const ClipperLib::Path &contour, const ExactPoints &exact,
                       double scale) {
  const unsigned n = static_cast<unsigned>(contour.size());
  GEOSCoordSequence *seq = GEOSCoordSeq_create_r(ctx, n + 1, 2);
  if (!seq) return nullptr;
  for (unsigned i = 0; i <= n; ++i) {
    const PointD p = exactPoint(exact, contour[i % n], scale);
    GEOSCoordSeq_setXY_r(ctx, seq, i, p.x, p.y);
  }
  return GEOSGeom_createLinearRing_r(ctx, seq);  // takes the sequence, also on failure
}

// A GEOS polygon of an outline node and its hole children; null when GEOS refuses it.
GEOSGeometry *makePolygon(GEOSContextHandle_t ctx, const ClipperLib::PolyNode &outer, const ExactPoints &exact,
                          double scale) {
  GeosGeometry shell(ctx, makeRing(ctx, outer.Contour, exact, scale));
  if (!shell.get()) return nullptr;
  std::vector<GEOSGeometry *> holes;
  bool ok = true;
  for (const ClipperLib::PolyNode *child : outer.Childs) {
    if (!child->IsHole() || child->Contour.size() < 3) continue;
    GEOSGeometry *ring = makeRing(ctx, child->Contour, exact, scale);
    if (!ring) {
      ok = false;
      break;
    }
    holes.push_back(ring);
  }
  if (!ok) {
    for (GEOSGeometry *h : holes) GEOSGeom_destroy_r(ctx, h);
    return nullptr;
  }
  GEOSGeometry *poly = GEOSGeom_createPolygon_r(ctx, shell.release(), holes.empty() ? nullptr : holes.data(),
                                                static_cast<unsigned>(holes.size()));
  return poly;
}

void collectOutlines(const ClipperLib::PolyNode &node, std::vector<const ClipperLib::PolyNode *> &outlines) {
  for (const ClipperLib::PolyNode *child : node.Childs) {
    if (!child->IsHole() && child->Contour.size() >= 3) outlines.push_back(child);
    collectOutlines(*child, outlines);
  }
}

// Appends the triangles of one triangulation result, each turned counter-clockwise.
bool appendTriangles(GEOSContextHandle_t ctx, const GEOSGeometry *collection, PathsD &triangles) {
  const int count = GEOSGetNumGeometries_r(ctx, collection);
  if (count < 0) return false;
  for (int i = 0; i < count; ++i) {
    const GEOSGeometry *tri = GEOSGetGeometryN_r(ctx, collection, i);
    if (!tri) return false;
    const GEOSGeometry *ring = GEOSGetExteriorRing_r(ctx, tri);
    if (!ring) return false;
    const GEOSCoordSequence *seq = GEOSGeom_getCoordSeq_r(ctx, ring);
    unsigned size = 0;
    if (!seq || !GEOSCoordSeq_getSize_r(ctx, seq, &size) || size < 3) return false;
    PathD t(3);
    for (unsigned k = 0; k < 3; ++k) GEOSCoordSeq_getXY_r(ctx, seq, k, &t[k].x, &t[k].y);
    if (Area(t) < 0.0) std::swap(t[1], t[2]);
    triangles.push_back(std::move(t));
  }
  return true;
}

}  // namespace

double Area(const PathD &path) {
  const size_t n = path.size();
  if (n < 3) return 0.0;
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const PointD &a = path[i];
    const PointD &b = path[(i + 1) % n];
    sum += a.x * b.y - b.x * a.y;
  }
  return sum * 0.5;
}

PathsD InflatePaths(const PathsD &paths, double delta, JoinType joinType, EndType endType, double miterLimit,
                    int precision, double arcTolerance) {
  const double scale = scaleOf(precision);
  ClipperLib::JoinType jt = ClipperLib::jtMiter;
  switch (joinType) {
    case JoinType::Square: jt = ClipperLib::jtSquare; break;
    case JoinType::Round: jt = ClipperLib::jtRound; break;
    case JoinType::Miter: jt = ClipperLib::jtMiter; break;
  }
  ClipperLib::EndType et = ClipperLib::etClosedPolygon;
  switch (endType) {
    case EndType::Polygon: et = ClipperLib::etClosedPolygon; break;
    case EndType::Joined: et = ClipperLib::etClosedLine; break;
    case EndType::Butt: et = ClipperLib::etOpenButt; break;
    case EndType::Square: et = ClipperLib::etOpenSquare; break;
    case EndType::Round: et = ClipperLib::etOpenRound; break;
  }
  // An arc tolerance of 0 asks for the default: a small share of the offset, never finer
  // than a quarter of the grid.
  const double scaledDelta = delta * scale;
  const double arcTol = arcTolerance > 0.0 ? arcTolerance * scale : std::max(0.25, std::fabs(scaledDelta) * 0.002);
  ClipperLib::ClipperOffset offset(miterLimit, arcTol);
  offset.AddPaths(toIntPaths(paths, scale), jt, et);
  ClipperLib::Paths solution;
  offset.Execute(solution, scaledDelta);
  return toDoublePaths(solution, scale);
}

PathsD Union(const PathsD &subjects, FillRule fillRule, int precision) {
  return booleanOp(ClipperLib::ctUnion, subjects, nullptr, fillRule, precision);
}

PathsD Intersect(const PathsD &subjects, const PathsD &clips, FillRule fillRule, int precision) {
  return booleanOp(ClipperLib::ctIntersection, subjects, &clips, fillRule, precision);
}

PathsD Difference(const PathsD &subjects, const PathsD &clips, FillRule fillRule, int precision) {
  return booleanOp(ClipperLib::ctDifference, subjects, &clips, fillRule, precision);
}

PathsD SimplifyPaths(const PathsD &paths, double epsilon, bool isClosedPath, int precision) {
  const double scale = scaleOf(precision);
  const double eps2 = epsilon * epsilon;
  const size_t minPoints = isClosedPath ? 3 : 2;
  PathsD out;
  for (const PathD &path : paths) {
    PathD p;
    p.reserve(path.size());
    for (const PointD &q : path) {
      const PointD r{std::round(q.x * scale) / scale, std::round(q.y * scale) / scale};
      if (p.empty() || !(p.back() == r)) p.push_back(r);
    }
    if (isClosedPath) {
      while (p.size() > 1 && p.front() == p.back()) p.pop_back();
    }
    // Thin out points on (or within epsilon of) the line through their neighbours; after a
    // removal the previous point is looked at again, since its neighbour changed.
    size_t i = isClosedPath ? 0 : 1;
    while (p.size() >= minPoints && i < p.size()) {
      const size_t n = p.size();
      const bool interior = i > 0 && i + 1 < n;
      if (!isClosedPath && !interior) {
        ++i;
        continue;
      }
      const PointD &prev = p[(i + n - 1) % n];
      const PointD &next = p[(i + 1) % n];
      if (lineDistanceSqr(p[i], prev, next) <= eps2) {
        p.erase(p.begin() + static_cast<std::ptrdiff_t>(i));
        if (i > 0) --i;
      } else {
        ++i;
      }
    }
    if (isClosedPath && p.size() >= 3 && Area(p) == 0.0) continue;
    if (p.size() >= minPoints) out.push_back(std::move(p));
  }
  return out;
}

TriangulateResult Triangulate(const PathsD &paths, int precision, PathsD &triangles, bool /*useDelaunay*/) {
  triangles.clear();
  const double scale = scaleOf(precision);
  ExactPoints exact;
  ClipperLib::Paths input;
  for (const PathD &path : paths) {
    if (path.size() < 3) continue;
    ClipperLib::Path ip;
    ip.reserve(path.size());
    for (const PointD &p : path) {
      const IntPoint q(std::llround(p.x * scale), std::llround(p.y * scale));
      exact.emplace(PointKey{q.X, q.Y}, p);
      ip.push_back(q);
    }
    input.push_back(std::move(ip));
  }
  if (input.empty()) return TriangulateResult::no_polygons;

  // The even-odd area as strictly simple outlines with their holes; collinear points stay
  // so that the caps meet walls built along the very same points.
  ClipperLib::PolyTree tree;
  {
    ClipperLib::Clipper c;
    c.PreserveCollinear(true);
    c.StrictlySimple(true);
    c.AddPaths(input, ClipperLib::ptSubject, true);
    c.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
  }
  std::vector<const ClipperLib::PolyNode *> outlines;
  collectOutlines(tree, outlines);
  if (outlines.empty()) return TriangulateResult::no_polygons;

  GeosContext geos;
  GEOSContextHandle_t ctx = geos.get();
  for (const ClipperLib::PolyNode *outline : outlines) {
    GeosGeometry poly(ctx, makePolygon(ctx, *outline, exact, scale));
    if (!poly.get() || GEOSisValid_r(ctx, poly.get()) != 1) {
      triangles.clear();
      return TriangulateResult::paths_intersect;
    }
    GeosGeometry tris(ctx, GEOSConstrainedDelaunayTriangulation_r(ctx, poly.get()));
    if (!tris.get() || !appendTriangles(ctx, tris.get(), triangles)) {
      triangles.clear();
      return TriangulateResult::paths_intersect;
    }
  }
  return TriangulateResult::success;
}

}  // namespace quillon::clip
