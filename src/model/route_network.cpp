#include "model/route_network.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/spatial_index.h"

namespace quillon {

namespace {

constexpr float kNear = 0.05f;             // "closer than": a distance below this
constexpr float kOnOutline = 0.1f;         // a point on a shape's outline
constexpr float kEndsQueryMargin = 0.06f;  // look-up margins, a little wider than the tests
constexpr float kOutlineQueryMargin = 0.15f;

bool closer(TPointF a, TPointF b) { return isSamePoint(a, b, kNear); }
bool samePoint(TPointF a, TPointF b) { return isSamePoint(a, b, 0.0f); }

double dist(TPointF a, TPointF b) { return std::hypot(double(a.X) - b.X, double(a.Y) - b.Y); }

// Ends of these shapes are no way on or off the network.
bool isUnwalkable(const TQN_Path &s) {
  return s.isKind(TShapeKind::Hole) || s.isKind(TShapeKind::Text) || s.isKind(TShapeKind::Dot);
}

// One straight segment of an outline with its place along the outline.
struct TOutlineSegment {
  TPointF P, C;  // start and end
  double T = 0;  // outline length before it
  double H = 0;  // its length (> 0)
};

// The line segments of an outline with a length above zero, in order. A move (or any
// other entry that is not a line) only sets the previous point.
struct TOutlineWalk {
  std::vector<TOutlineSegment> Segments;
  double L = 0.0;  // total length

  explicit TOutlineWalk(const TPathData &data) {
    bool hasPrev = false;
    TPointF prev;
    for (const TPathPoint &e : data.Points()) {
      if (e.Kind == TPathPointKind::LineTo && hasPrev) {
        const double h = dist(prev, e.Point);
        if (h > 0.0) {
          Segments.push_back({prev, e.Point, L, h});
          L += h;
        }
      }
      prev = e.Point;
      hasPrev = true;
    }
  }

  // The first segment start and the last segment end are closer than 0.05.
  bool isClosed() const { return !Segments.empty() && closer(Segments.front().P, Segments.back().C); }

  // The position of X along the outline: on the first segment it lies on (within a
  // relative tolerance), the length before it plus the distance from its start; -1 when
  // X lies on none.
  double place(TPointF X) const {
    for (const TOutlineSegment &s : Segments) {
      const double m = std::max(0.005 * s.H, 0.0001);
      const double fromP = dist(s.P, X);
      if (s.H + m >= fromP && s.H + m >= dist(s.C, X)) return s.T + std::min(s.H, fromP);
    }
    return -1.0;
  }

  // The point at position s on segment g.
  static TPointF pointAt(const TOutlineSegment &g, double s) {
    const double k = (s - g.T) / g.H;
    return {static_cast<float>(g.P.X + (double(g.C.X) - g.P.X) * k),
            static_cast<float>(g.P.Y + (double(g.C.Y) - g.P.Y) * k)};
  }
};

// The records of one LINE ordered by their place along it, so that the first record on
// a way along the line is found without looking at all of them. Each record's offset
// from the line bounds how far its distance along any way can differ from its place.
struct TRecordsAlongLine {
  struct Entry {
    double Along;  // (X - start) . W
    int Order;     // the record's position among the shape's records
    TPointF X;
  };
  std::vector<Entry> Entries;  // by Along, then Order
  TPointF Start;
  double Wx = 0.0, Wy = 0.0;  // unit direction from the line's start to its end
  double MostOff = 0.0;       // the largest distance of a record from the line
  double MostAlong = 0.0;     // the largest |Along|
  bool Usable = false;        // false for a line of no length, or points too far out

  TRecordsAlongLine(const TQN_Path &line, const std::vector<TPointF> &points) : Start(line.FStartPt) {
    const double ex = double(line.FEndPt.X) - Start.X, ey = double(line.FEndPt.Y) - Start.Y;
    const double length = std::hypot(ex, ey);
    if (!(length > 0.0) || !std::isfinite(length)) return;
    Wx = ex / length;
    Wy = ey / length;
    Entries.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      const TPointF X = points[i];
      const double rx = double(X.X) - Start.X, ry = double(X.Y) - Start.Y;
      const double along = rx * Wx + ry * Wy;
      MostOff = std::max(MostOff, std::fabs(rx * -Wy + ry * Wx));
      MostAlong = std::max(MostAlong, std::fabs(along));
      Entries.push_back({along, static_cast<int>(i), X});
    }
    std::sort(Entries.begin(), Entries.end(), [](const Entry &a, const Entry &b) {
      return a.Along < b.Along || (a.Along == b.Along && a.Order < b.Order);
    });
    Usable = std::isfinite(MostOff) && std::isfinite(MostAlong);
  }
};

}  // namespace

// ---- TConnectionPointInfo ----

void TConnectionPointInfo::SetPoint(TQN_Path *APath, TPointF Pt) {
  FPath = APath;
  FPoint = Pt;
  if (APath == nullptr) return;
  if (closer(Pt, APath->FStartPt))
    FIsStartPt = true;
  else if (closer(Pt, APath->FEndPt))
    FIsEndPt = true;
}

void TConnectionPointInfo::SetPoint(TQN_Path *APath, TIntersection *AIntersection, TPointF Pt) {
  FPath = APath;
  FIntersection = AIntersection;
  FPoint = Pt;
}

// ---- TJointInfo ----

void TJointInfo::SetJoint(const TConnectionPointInfo &Pt1, const TConnectionPointInfo &Pt2) {
  FPath = Pt2.FPath;
  FPoints[0] = Pt1;
  FPoints[1] = Pt2;
}

bool TJointInfo::hasPoint(const TQN_Path *APath, TPointF Pt) const {
  return APath == FPath && (closer(Pt, FPoints[0].FPoint) || closer(Pt, FPoints[1].FPoint));
}

TPointF TJointInfo::getOpponent(TPointF pt) const {
  return samePoint(pt, FPoints[0].FPoint) ? FPoints[1].FPoint : FPoints[0].FPoint;
}

std::unique_ptr<TQN_Path> TJointInfo::getActualPath() const {
  if (FPath == nullptr) return nullptr;
  std::unique_ptr<TQN_Path> copy(FPath->createCopy());
  const TConnectionPointInfo &c0 = FPoints[0], &c1 = FPoints[1];
  const TPointF P0 = c0.FPoint, P1 = c1.FPoint;
  TPathData out;

  if ((c0.FIsStartPt && c1.FIsEndPt) || (c1.FIsStartPt && c0.FIsEndPt)) {
    // The whole shape.
    out = TPathData::fromText(FPath->Data().toText());
  } else if (FPath->isKind(TShapeKind::Line)) {
    out.MoveTo(P0);
    out.LineTo(P1);
    copy->FStartPt = P0;
    copy->FEndPt = P1;
  } else {
    const TOutlineWalk walk(FPath->Data());
    const double L = walk.L;
    // An unplaced point counts as the start of the outline when it is the shape's start
    // or nearer its start than its end, otherwise as its end.
    const auto position = [&](const TConnectionPointInfo &c) {
      const double at = walk.place(c.FPoint);
      if (at >= 0.0) return at;
      if (c.FIsStartPt) return 0.0;
      return dist(c.FPoint, FPath->FStartPt) < dist(c.FPoint, FPath->FEndPt) ? 0.0 : L;
    };
    const double a = position(c0), b = position(c1);
    const double hi = std::max(a, b), lo = std::min(a, b);

    bool first = true;
    // Copies the piece s1 ... s2 segment by segment.
    const auto copyPiece = [&](double s1, double s2) {
      for (const TOutlineSegment &g : walk.Segments) {
        if (!(s1 <= g.T + g.H && g.T <= s2)) continue;
        const TPointF from = g.T >= s1 ? g.P : TOutlineWalk::pointAt(g, s1);
        const TPointF to = s2 >= g.T + g.H ? g.C : TOutlineWalk::pointAt(g, s2);
        if (first) {
          out.MoveTo(from);
          copy->FStartPt = from;
          first = false;
        }
        out.LineTo(to);
        copy->FEndPt = to;
      }
    };
    const double direct = hi - lo;
    const double length = FLength;
    if (walk.isClosed() && L > 0.0 && length > 0.0 && std::fabs(direct - length) > std::fabs((L - direct) - length)) {
      copyPiece(hi, L);
      copyPiece(0.0, lo);
    } else {
      copyPiece(lo, hi);
    }
  }

  if (out.IsEmpty()) {
    out.MoveTo(P0);
    out.LineTo(P1);
    copy->FStartPt = P0;
    copy->FEndPt = P1;
  }
  copy->setData(out);
  return copy;
}

// ---- TVertexNetwork ----

struct TVertexNetwork::Lookups {
  TRectGrid Ends{1.0f};  // StartPt and EndPt of the walkable shapes, by list position
  // Record positions by rounded point (key, position), in key order then list order: the
  // first few points are looked for by a scan of the list, and the table is sorted only
  // when a network reaches further.
  int PointsScanned = 0;
  bool HasRecordsByPoint = false;
  std::vector<std::pair<std::uint64_t, int>> RecordsByPoint;
  bool HasOutlines = false;
  TRectGrid Outlines;  // outline bounds of every shape, built when first needed
  bool HasGoal = false;
  TPointF Goal;
  std::vector<const TIntersection *> NearGoal;  // records within 0.05 of Goal, in order
  std::vector<int> Scratch;
  bool HasRecordsOfShape = false;
  // Record positions per shape, built when first needed.
  std::unordered_map<const TQN_Path *, std::vector<int>> RecordsOfShape;
  // The records of a LINE ordered along it, built when first needed per line.
  std::unordered_map<const TQN_Path *, TRecordsAlongLine> AlongLine;
};

// The joints listed under their shape and the cells (0.1 mm squares) their two points lie
// in, with their creation numbers: a point within 0.05 of a joint's point lies in that
// point's cell or a neighbouring one, so findJoint looks at nine cells only. Points too
// far out (or not numbers) for a cell are listed per shape and always looked at.
struct TVertexNetwork::JointCells {
  using Entry = std::pair<std::size_t, TJointInfo *>;  // creation number, joint
  struct Key {
    const TQN_Path *Path;
    std::int64_t X, Y;
    bool operator==(const Key &o) const { return Path == o.Path && X == o.X && Y == o.Y; }
  };
  struct KeyHash {
    std::size_t operator()(const Key &k) const noexcept {
      std::uint64_t h = reinterpret_cast<std::uintptr_t>(k.Path) * 0x9E3779B97F4A7C15ull;
      h ^= static_cast<std::uint64_t>(k.X) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
      h ^= static_cast<std::uint64_t>(k.Y) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
      return static_cast<std::size_t>(h);
    }
  };
  std::unordered_map<Key, std::vector<Entry>, KeyHash> Cells;
  std::unordered_map<const TQN_Path *, std::vector<Entry>> FarOut;
  std::size_t Count = 0;

  static bool cellOf(TPointF p, std::int64_t &x, std::int64_t &y) {
    constexpr double kReach = 1e12;  // floats this large are far more than 0.05 apart
    if (!std::isfinite(p.X) || !std::isfinite(p.Y) || std::fabs(p.X) > kReach || std::fabs(p.Y) > kReach)
      return false;
    x = static_cast<std::int64_t>(std::floor(double(p.X) * 10.0));
    y = static_cast<std::int64_t>(std::floor(double(p.Y) * 10.0));
    return true;
  }

  void add(TJointInfo *J) {
    const Entry entry{Count++, J};
    for (const TConnectionPointInfo &point : J->FPoints) {
      std::int64_t x = 0, y = 0;
      std::vector<Entry> &list = cellOf(point.FPoint, x, y) ? Cells[{J->FPath, x, y}] : FarOut[J->FPath];
      if (list.empty() || list.back().second != J) list.push_back(entry);
    }
  }

  // The first joint (creation order) along APath with a point at pt1 and one at pt2.
  TJointInfo *find(const TQN_Path *APath, TPointF pt1, TPointF pt2) const {
    const Entry *best = nullptr;
    const auto consider = [&](const std::vector<Entry> &list) {
      for (const Entry &e : list)
        if ((best == nullptr || e.first < best->first) && e.second->hasPoint(APath, pt1) &&
            e.second->hasPoint(APath, pt2))
          best = &e;
    };
    if (const auto far = FarOut.find(APath); far != FarOut.end()) consider(far->second);
    std::int64_t x = 0, y = 0;
    if (cellOf(pt1, x, y)) {
      for (std::int64_t dx = -1; dx <= 1; ++dx)
        for (std::int64_t dy = -1; dy <= 1; ++dy)
          if (const auto it = Cells.find({APath, x + dx, y + dy}); it != Cells.end()) consider(it->second);
    }
    return best ? best->second : nullptr;
  }
};

std::size_t TVertexNetwork::PairHash::operator()(const std::pair<const void *, const void *> &p) const noexcept {
  const auto a = reinterpret_cast<std::uintptr_t>(p.first), b = reinterpret_cast<std::uintptr_t>(p.second);
  return std::hash<std::uintptr_t>()(a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull + (a << 6) + (a >> 2)));
}

std::uint64_t TVertexNetwork::pointKey(TPointF p) {
  // Adding +0 turns a rounded -0 into +0, so both key alike as they compare alike.
  const float x = round2(p.X) + 0.0f, y = round2(p.Y) + 0.0f;
  return (std::uint64_t(std::bit_cast<std::uint32_t>(x)) << 32) | std::bit_cast<std::uint32_t>(y);
}

TVertexNetwork::TVertexNetwork(const TShapeList &APathList, const TIntersections &AIntersections)
    : FPathList(APathList), FIntersections(AIntersections) {}

TVertexNetwork::~TVertexNetwork() { clearAll(); }

TVertexNetwork::Lookups &TVertexNetwork::lookups() {
  if (FLookups) return *FLookups;
  FLookups = std::make_unique<Lookups>();
  for (int i = 0; i < FPathList.Count(); ++i) {
    const TQN_Path *s = FPathList[i];
    if (isUnwalkable(*s)) continue;
    FLookups->Ends.insert(i, TRectF(s->FStartPt, s->FStartPt));
    FLookups->Ends.insert(i, TRectF(s->FEndPt, s->FEndPt));
  }
  return *FLookups;
}


TRouteVertex *TVertexNetwork::GetVertex(TPointF Pt) const {
  if (!std::isfinite(Pt.X) || !std::isfinite(Pt.Y)) return nullptr;
  const auto it = FVertexAt.find(pointKey(Pt));
  return it == FVertexAt.end() ? nullptr : it->second;
}

TRouteVertex *TVertexNetwork::addVertex(TPointF Pt) {
  auto v = std::make_unique<TRouteVertex>();
  v->FPoint = {round2(Pt.X), round2(Pt.Y)};
  TRouteVertex *raw = v.get();
  FVertices.push_back(std::move(v));
  if (std::isfinite(raw->FPoint.X) && std::isfinite(raw->FPoint.Y)) FVertexAt.emplace(pointKey(raw->FPoint), raw);
  return raw;
}

void TVertexNetwork::appendJoint(TRouteVertex *V, std::unique_ptr<TJointInfo> J) {
  TJointInfo *raw = J.get();
  V->FJoints.push_back(raw);
  FJoints.push_back(std::move(J));
  if (!FJointCells) FJointCells = std::make_unique<JointCells>();
  FJointCells->add(raw);
}

std::vector<TConnectionPointInfo> TVertexNetwork::searchEdgeAndIntersections(TPointF Pt) {
  std::vector<TConnectionPointInfo> result;
  Lookups &lk = lookups();

  // Shapes with an end at Pt.
  lk.Ends.query(TRectF(Pt, Pt), kEndsQueryMargin, lk.Scratch);
  for (const int i : lk.Scratch) {
    TQN_Path *s = FPathList[i];
    if (isUnwalkable(*s) || !(closer(s->FStartPt, Pt) || closer(s->FEndPt, Pt))) continue;
    TConnectionPointInfo cp;
    cp.SetPoint(s, Pt);
    result.push_back(cp);
  }

  // The records at Pt, in list order.
  const auto forRecordsAtPt = [this, &lk, Pt](const auto &visit) {
    if (!std::isfinite(Pt.X) || !std::isfinite(Pt.Y)) return;
    const std::uint64_t key = pointKey(Pt);
    const auto finite = [](TPointF p) { return std::isfinite(p.X) && std::isfinite(p.Y); };
    constexpr int kScannedPoints = 8;
    if (!lk.HasRecordsByPoint && lk.PointsScanned < kScannedPoints) {
      ++lk.PointsScanned;
      for (int i = 0; i < FIntersections.Count(); ++i) {
        const TPointF p = FIntersections[i]->FPoint;
        if (finite(p) && pointKey(p) == key) visit(i);
      }
      return;
    }
    if (!lk.HasRecordsByPoint) {
      lk.RecordsByPoint.reserve(static_cast<std::size_t>(FIntersections.Count()));
      for (int i = 0; i < FIntersections.Count(); ++i) {
        const TPointF p = FIntersections[i]->FPoint;
        if (finite(p)) lk.RecordsByPoint.emplace_back(pointKey(p), i);
      }
      std::sort(lk.RecordsByPoint.begin(), lk.RecordsByPoint.end());
      lk.HasRecordsByPoint = true;
    }
    const auto from = std::lower_bound(lk.RecordsByPoint.begin(), lk.RecordsByPoint.end(), std::make_pair(key, -1));
    for (auto it = from; it != lk.RecordsByPoint.end() && it->first == key; ++it) visit(it->second);
  };

  // Intersections at Pt, except where two shapes meet end to end (found above).
  const auto nearAnEnd = [Pt](const TQN_Path *s) {
    return s != nullptr && (closer(Pt, s->FStartPt) || closer(Pt, s->FEndPt));
  };
  forRecordsAtPt([&](int i) {
    TIntersection *I = FIntersections[i];
    if (nearAnEnd(I->FPath1) && nearAnEnd(I->FPath2)) return;
    TConnectionPointInfo cp;
    cp.SetPoint(I->FPath2, I, Pt);
    result.push_back(cp);
  });
  if (!result.empty()) return result;

  // Shapes whose outline passes through Pt.
  if (!lk.HasOutlines) {
    std::vector<TRectF> bounds;
    bounds.reserve(static_cast<std::size_t>(FPathList.Count()));
    for (const TQN_Path *s : FPathList) bounds.push_back(s->Data().GetBounds());
    lk.Outlines.Clear(TRectGrid::chooseCellSize(bounds));
    for (int i = 0; i < FPathList.Count(); ++i) lk.Outlines.insert(i, bounds[static_cast<std::size_t>(i)]);
    lk.HasOutlines = true;
  }
  lk.Outlines.query(TRectF(Pt, Pt), kOutlineQueryMargin, lk.Scratch);
  for (const int i : lk.Scratch) {
    TQN_Path *s = FPathList[i];
    int segment = 0;
    if (!s->isOnPath(Pt, segment, kOnOutline)) continue;
    TConnectionPointInfo cp;
    cp.SetPoint(s, Pt);
    result.push_back(cp);
  }
  return result;
}

TJointInfo *TVertexNetwork::findJoint(const TQN_Path *APath, TPointF pt1, TPointF pt2) const {
  return FJointCells ? FJointCells->find(APath, pt1, pt2) : nullptr;
}

bool TVertexNetwork::hasIntersectionGoal(const TQN_Path *APath, TPointF FromPt, TPointF /*ToPt*/,
                                         TPointF GoalPt) const {
  const auto matches = [&](const TIntersection *I) {
    return (I->FPath1 == APath || I->FPath2 == APath) && closer(GoalPt, I->FPoint) && !closer(FromPt, I->FPoint);
  };
  if (FLookups && FLookups->HasGoal && FLookups->Goal.exactlyEquals(GoalPt))
    return std::any_of(FLookups->NearGoal.begin(), FLookups->NearGoal.end(), matches);
  return std::any_of(FIntersections.begin(), FIntersections.end(), matches);
}

TPointF TVertexNetwork::firstIntersectionOnTheWay(const TQN_Path *APath, TPointF FromPt, TPointF ToPt) {
  if (APath == nullptr) return ToPt;
  Lookups &lk = lookups();
  if (!lk.HasRecordsOfShape) {
    for (int i = 0; i < FIntersections.Count(); ++i) {
      const TIntersection *I = FIntersections[i];
      if (!std::isfinite(I->FPoint.X) || !std::isfinite(I->FPoint.Y)) continue;
      if (I->FPath1 != nullptr) lk.RecordsOfShape[I->FPath1].push_back(i);
      if (I->FPath2 != nullptr && I->FPath2 != I->FPath1) lk.RecordsOfShape[I->FPath2].push_back(i);
    }
    lk.HasRecordsOfShape = true;
  }
  const auto records = lk.RecordsOfShape.find(APath);
  if (records == lk.RecordsOfShape.end()) return ToPt;

  // Each candidate's distance along the way from FromPt; the nearest one inside the way
  // (after 0, before `span`) wins.
  TPointF best = ToPt;
  double bestTravel = 0.0;
  bool found = false;
  const auto consider = [&](TPointF X, double travel, double span) {
    if (travel > 0.0 && travel < span && (!found || travel < bestTravel)) {
      best = X;
      bestTravel = travel;
      found = true;
    }
  };
  const auto candidates = [&](const auto &visit) {
    for (const int i : records->second) {
      const TPointF X = FIntersections[i]->FPoint;
      if (!closer(X, FromPt) && !closer(X, ToPt)) visit(X);
    }
  };

  if (APath->isKind(TShapeKind::Line)) {
    const double dx = double(ToPt.X) - FromPt.X, dy = double(ToPt.Y) - FromPt.Y;
    const double span = std::hypot(dx, dy);
    if (span == 0.0) return ToPt;
    const auto travelOf = [&](TPointF X) { return ((double(X.X) - FromPt.X) * dx + (double(X.Y) - FromPt.Y) * dy) / span; };
    auto along = lk.AlongLine.find(APath);
    if (along == lk.AlongLine.end()) {
      std::vector<TPointF> points;
      points.reserve(records->second.size());
      for (const int i : records->second) points.push_back(FIntersections[i]->FPoint);
      along = lk.AlongLine.emplace(APath, TRecordsAlongLine(*APath, points)).first;
    }
    const TRecordsAlongLine &line = along->second;
    // With u the unit vector of the way, a record's travel is Along * (W . u) + its offset
    // from the line times (N . u) + (start - FromPt) . u; only records whose travel can be
    // above 0 and not above the best so far are looked at, in the order of their travel.
    const double ux = dx / span, uy = dy / span;
    const double a = line.Wx * ux + line.Wy * uy, b = -line.Wy * ux + line.Wx * uy;
    const double c = (double(line.Start.X) - FromPt.X) * ux + (double(line.Start.Y) - FromPt.Y) * uy;
    if (line.Usable && std::fabs(a) >= 0.5 && std::isfinite(span) && std::isfinite(c)) {
      // The rounding of the bound and of the travel itself is far below this margin.
      const double fromStart = std::hypot(double(line.Start.X) - FromPt.X, double(line.Start.Y) - FromPt.Y);
      const double slack =
          line.MostOff * std::fabs(b) + 1e-9 * (1.0 + line.MostAlong + line.MostOff + fromStart + span);
      const auto lowest = [&](const TRecordsAlongLine::Entry &e) { return e.Along * a + c - slack; };
      const auto &entries = line.Entries;
      const std::size_t n = entries.size();
      // The first entry (in the order of travel) whose travel can be above 0.
      const auto upFrom = std::partition_point(entries.begin(), entries.end(), [&](const auto &e) {
        return a > 0.0 ? e.Along * a + c + slack <= 0.0 : e.Along * a + c + slack > 0.0;
      });
      std::size_t at = static_cast<std::size_t>(upFrom - entries.begin());
      int bestOrder = -1;
      for (std::size_t step = 0; step < n; ++step) {
        const TRecordsAlongLine::Entry *e = nullptr;
        if (a > 0.0) {
          if (at + step >= n) break;
          e = &entries[at + step];
        } else {
          if (step >= at) break;
          e = &entries[at - 1 - step];
        }
        const double low = lowest(*e);
        if (low >= span || (bestOrder >= 0 && low > bestTravel)) break;
        if (closer(e->X, FromPt) || closer(e->X, ToPt)) continue;
        const double travel = travelOf(e->X);
        if (!(travel > 0.0 && travel < span)) continue;
        if (bestOrder < 0 || travel < bestTravel || (travel == bestTravel && e->Order < bestOrder)) {
          best = e->X;
          bestTravel = travel;
          bestOrder = e->Order;
        }
      }
      return best;
    }
    candidates([&](TPointF X) { consider(X, travelOf(X), span); });
    return best;
  }

  // Positions along the outline, unplaced points taken as calcPathLen takes them.
  const TOutlineWalk walk(APath->Data());
  const double L = walk.L;
  double from = walk.place(FromPt), to = walk.place(ToPt);
  if (from < 0.0) from = to < 0.0 ? L : 0.0;
  if (to < 0.0) to = 0.0;
  const bool closed = walk.isClosed() && L > 0.0;
  const auto around = [L](double d) { return d < 0.0 ? d + L : d; };  // d in (-L, L) to [0, L)
  if (from == to) {
    // The whole outline: a closed one from a point round to itself leads to the nearer
    // intersection either way (the piece calcPathLen gives between the two).
    if (!closed) return ToPt;
    candidates([&](TPointF X) {
      const double x = walk.place(X);
      if (x >= 0.0) consider(X, std::min(around(x - from), around(from - x)), L);
    });
    return best;
  }
  bool forward = to > from;
  double span = std::fabs(to - from);
  if (closed && span > L / 2.0) {  // the shorter way round
    forward = !forward;
    span = L - span;
  }
  candidates([&](TPointF X) {
    const double x = walk.place(X);
    if (x < 0.0) return;
    const double travel = forward ? x - from : from - x;
    consider(X, closed ? around(travel) : travel, span);
  });
  return best;
}

float TVertexNetwork::calcPathLen(const TQN_Path *APath, TPointF FromPt, TPointF ToPt, float &Len2FromPt,
                                  float &Len2ToPt) const {
  if (APath == nullptr) return 0.0f;
  if (APath->isKind(TShapeKind::Line)) {
    Len2FromPt = calcDistance(APath->FStartPt, FromPt);
    Len2ToPt = calcDistance(APath->FStartPt, ToPt);
    return calcDistance(FromPt, ToPt);
  }
  if ((closer(FromPt, APath->FStartPt) && closer(ToPt, APath->FEndPt)) ||
      (closer(ToPt, APath->FStartPt) && closer(FromPt, APath->FEndPt)))
    return APath->calcTotalLength();

  const TOutlineWalk walk(APath->Data());
  const double L = walk.L;
  double from = walk.place(FromPt), to = walk.place(ToPt);
  if (from < 0.0) from = to < 0.0 ? L : 0.0;
  if (to < 0.0) to = 0.0;
  Len2FromPt = static_cast<float>(from);
  Len2ToPt = static_cast<float>(to);
  if ((from == 0.0 && to == 0.0) || from == to) return static_cast<float>(L);
  const double d = std::fabs(to - from);
  if (walk.isClosed() && L > 0.0 && d > L / 2.0) return static_cast<float>(L - d);
  return static_cast<float>(d);
}

void TVertexNetwork::dpConnectAddJoints(TPointF pt, TPointF goalPt) {
  // Each frame stands for one visit of a point: its vertex, the connection points found
  // there and the joins still to try. A join that makes a new joint continues from the
  // joint's far end before the next join of the frame, as a recursive walk would.
  struct Join {
    TQN_Path *S;
    TPointF ToPt;
    std::size_t Cp;
  };
  struct Frame {
    TRouteVertex *V = nullptr;
    std::vector<TConnectionPointInfo> Cps;
    std::vector<Join> Joins;
    std::size_t Next = 0;
  };

  Lookups &lk = lookups();
  if (!lk.HasGoal || !lk.Goal.exactlyEquals(goalPt)) {
    lk.HasGoal = true;
    lk.Goal = goalPt;
    lk.NearGoal.clear();
    for (const TIntersection *I : FIntersections) {
      // A point 0.05 or more away on one axis is not closer than 0.05.
      const double dx = std::fabs(double(goalPt.X) - I->FPoint.X), dy = std::fabs(double(goalPt.Y) - I->FPoint.Y);
      if (dx < kNear && dy < kNear && closer(goalPt, I->FPoint)) lk.NearGoal.push_back(I);
    }
  }

  const auto visit = [this](TPointF p) {
    Frame f;
    f.V = GetVertex(p);
    if (f.V == nullptr) f.V = addVertex(p);
    f.Cps = searchEdgeAndIntersections(p);
    for (std::size_t k = 0; k < f.Cps.size(); ++k) {
      const TConnectionPointInfo &cp = f.Cps[k];
      const auto join = [&](TQN_Path *S, bool toStart) {
        if (S != nullptr) f.Joins.push_back({S, toStart ? S->FStartPt : S->FEndPt, k});
      };
      if (cp.FIsStartPt) {
        join(cp.FPath, false);
      } else if (cp.FIsEndPt) {
        join(cp.FPath, true);
      } else if (cp.FIntersection != nullptr) {
        join(cp.FIntersection->FPath1, true);
        join(cp.FIntersection->FPath1, false);
        join(cp.FIntersection->FPath2, true);
        join(cp.FIntersection->FPath2, false);
      } else if (cp.FPath != nullptr) {
        // Away from the shape's ends: towards the farther end only.
        join(cp.FPath, !(calcDistance(p, cp.FPath->FEndPt) > calcDistance(p, cp.FPath->FStartPt)));
      }
    }
    return f;
  };

  std::vector<Frame> stack;
  stack.push_back(visit(pt));
  while (!stack.empty()) {
    Frame &f = stack.back();
    if (f.Next == f.Joins.size()) {
      stack.pop_back();
      continue;
    }
    const Join j = f.Joins[f.Next++];
    const TConnectionPointInfo cp = f.Cps[j.Cp];
    TRouteVertex *V = f.V;

    TPointF toPt = j.ToPt;
    if (hasIntersectionGoal(j.S, cp.FPoint, toPt, goalPt)) toPt = goalPt;  // stop at the goal
    toPt = firstIntersectionOnTheWay(j.S, cp.FPoint, toPt);                // and at any crossing before
    TConnectionPointInfo cp2;
    cp2.SetPoint(j.S, toPt);
    if (findJoint(j.S, cp.FPoint, toPt) != nullptr) continue;

    auto J = std::make_unique<TJointInfo>();
    J->SetJoint(cp.Clone(), cp2);
    float len2From = 0.0f, len2To = 0.0f;
    J->FLength = calcPathLen(j.S, cp.FPoint, toPt, len2From, len2To);
    appendJoint(V, std::move(J));
    stack.push_back(visit(toPt));  // `f` is not used after this
  }
}

void TVertexNetwork::checkJoints() {
  for (const auto &J : FJoints) {
    for (const TConnectionPointInfo &cp : J->FPoints) {
      TRouteVertex *V = GetVertex(cp.FPoint);
      if (V != nullptr && std::find(V->FJoints.begin(), V->FJoints.end(), J.get()) == V->FJoints.end())
        V->FJoints.push_back(J.get());
    }
  }
}

void TVertexNetwork::addToQueue(TRouteVertex *AVertex, const TJointInfo *excludeJoint, TPointF excludePoint) {
  if (AVertex == nullptr) return;
  for (TJointInfo *J : AVertex->FJoints) {
    if (J == excludeJoint) continue;
    const TPointF O = J->getOpponent(AVertex->FPoint);
    if (samePoint(O, excludePoint)) continue;  // the start is never queued
    if (excludeJoint != nullptr && J->hasPoint(J->FPath, excludeJoint->FPoints[0].FPoint) &&
        J->hasPoint(J->FPath, excludeJoint->FPoints[1].FPoint))
      continue;
    TRouteVertex *W = GetVertex(O);
    if (W == nullptr) continue;
    if (!FQueued.insert({W, J}).second) continue;  // the queue holds the pair already
    FVertexQueue.push_back({W, J});
  }
}

void TVertexNetwork::dpProcessQueue(TPointF excludePoint) {
  while (!FVertexQueue.empty()) {
    const TRouteQueuePair pair = FVertexQueue.front();
    FVertexQueue.pop_front();
    FQueued.erase({pair.Vertex, pair.Joint});
    TRouteVertex *V = pair.Vertex;
    TJointInfo *J = pair.Joint;
    TRouteVertex *W = GetVertex(J->getOpponent(V->FPoint));  // V is reached from W
    if (W == nullptr) continue;

    const float a = round2(V->FMinDist + J->FLength);
    const float b = round2(W->FMinDist + J->FLength);
    if (V->FMinDist == 0.0f) {
      V->FMinDist = W->FMinDist + J->FLength;
      V->FMinDistJoint = J;
      V->FMinDistFromVertex = W;
      addToQueue(V, J, excludePoint);
    } else if (round2(V->FMinDist) > b) {
      V->FMinDist = b;
      V->FMinDistJoint = J;
      V->FMinDistFromVertex = W;
      addToQueue(V, J, excludePoint);
    } else if (round2(W->FMinDist) > a) {
      W->FMinDist = a;
      W->FMinDistJoint = J;
      W->FMinDistFromVertex = V;
      addToQueue(W, J, excludePoint);
    }
  }
}

bool TVertexNetwork::dpConnect(TPointF rp1, TPointF rp2) {
  if (samePoint(rp1, rp2)) return false;
  FLookups.reset();  // look-ups over the lists as they are now
  dpConnectAddJoints(rp1, rp2);
  checkJoints();
  TRouteVertex *E = GetVertex(rp2);
  if (E == nullptr) return false;
  FEndVertex = E;
  FStartVertex = GetVertex(rp1);
  addToQueue(FStartVertex, nullptr, rp1);
  dpProcessQueue(rp1);
  return true;
}

std::vector<TQN_Path *> TVertexNetwork::getActualPathList(const TRouteVertex *vtx) const {
  std::vector<TQN_Path *> result;
  // A way can only be as long as there are vertices; the bound guards against a loop of
  // back references.
  for (std::size_t steps = 0; vtx != nullptr && vtx->FMinDistJoint != nullptr && steps < FVertices.size(); ++steps) {
    result.push_back(vtx->FMinDistJoint->FPath);
    vtx = vtx->FMinDistFromVertex;
  }
  return result;
}

void TVertexNetwork::clearAll() {
  FVertexQueue.clear();
  FQueued.clear();
  FJoints.clear();
  FJointCells.reset();
  FVertices.clear();
  FVertexAt.clear();
  FLookups.reset();
  FStartVertex = nullptr;
  FEndVertex = nullptr;
}

void TVertexNetwork::debug_print_route(TPointF /*Pt*/) const {}
void TVertexNetwork::debug_print_all_vertex() const {}

}  // namespace quillon
