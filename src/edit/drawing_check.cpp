#include "edit/drawing_check.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

#include "i18n/phrase_format.h"
#include "model/intersection.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/spatial_index.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"

namespace quillon {

namespace {

constexpr double kRadToDeg = 180.0 / 3.14159265358979323846;
constexpr float kSearchReach = 0.2f;  // the widest distance any search of the check asks about

TPointF endOf(const TQN_Path &s, bool start) { return start ? s.FStartPt : s.FEndPt; }

bool nearAnEnd(TPointF p, const TQN_Path &s) { return isNearPoint(p, s.FStartPt) || isNearPoint(p, s.FEndPt); }

// The foot of the perpendicular from p on the line of a LINE when it falls inside the
// line (0.001 < t < 0.999); false for a line of zero length.
bool interiorFoot(TPointF p, const TQN_Path &line, TPointF &foot) {
  const TPointF st = line.FStartPt;
  const double dx = double(line.FEndPt.X) - st.X, dy = double(line.FEndPt.Y) - st.Y;
  const double len2 = dx * dx + dy * dy;
  if (len2 <= 0.0) return false;
  const double t = ((double(p.X) - st.X) * dx + (double(p.Y) - st.Y) * dy) / len2;
  if (!(t > 0.001 && t < 0.999)) return false;
  foot = TPointF(float(st.X + t * dx), float(st.Y + t * dy));
  return true;
}

// The point of a segment nearest to p (its start for a segment of zero length).
TPointF closestPointOnSegment(TPointF p, TPointF a, TPointF b) {
  const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y;
  const double len2 = dx * dx + dy * dy;
  if (len2 <= 0.0) return a;
  const double t = std::clamp(((double(p.X) - a.X) * dx + (double(p.Y) - a.Y) * dy) / len2, 0.0, 1.0);
  return TPointF(float(a.X + t * dx), float(a.Y + t * dy));
}

// The radial distance of p from the circle of an ARC and the foot on that circle, when
// it is almost near (0.05 < e <= 0.2); false for a radius of 0 or p at the centre.
bool circleFoot(TPointF p, const TQN_Path &arc, double &e, TPointF &foot) {
  const float r = (arc.FWidth + arc.FHeight) / 2.0f;
  if (!(r > 0.0f)) return false;
  const double vx = double(p.X) - arc.FCenter.X, vy = double(p.Y) - arc.FCenter.Y;
  const double len = std::hypot(vx, vy);
  if (!(len > 0.0)) return false;
  e = std::fabs(len - r);
  if (!(e > 0.05 && e <= 0.2)) return false;
  foot = TPointF(float(arc.FCenter.X + vx * (r / len)), float(arc.FCenter.Y + vy * (r / len)));
  return true;
}

// Whether an arc's foot point counts: on the arc and near neither of its ends.
bool footOnArcInterior(TPointF foot, const TQN_Path &arc) {
  return IsPointOnArc(foot, arc) && !nearAnEnd(foot, arc);
}

TRectF pointRect(TPointF p) { return TRectF(p.X, p.Y, p.X, p.Y); }

TRectF sortedRect(TPointF a, TPointF b) {
  return TRectF(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y));
}

// What the check reads of a candidate. Two candidates whose keys hold the same bits give
// the same findings against the same neighbours.
struct TShapeKey {
  TShapeKind Kind = TShapeKind::Line;
  bool FreeAngle = false;
  TPointF Start, End, Center;
  float Width = 0.0f, Height = 0.0f, Sweep = 0.0f;
};

bool sameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }
bool sameBits(TPointF a, TPointF b) { return sameBits(a.X, b.X) && sameBits(a.Y, b.Y); }

bool sameKey(const TShapeKey &a, const TShapeKey &b) {
  return a.Kind == b.Kind && a.FreeAngle == b.FreeAngle && sameBits(a.Start, b.Start) && sameBits(a.End, b.End) &&
         sameBits(a.Center, b.Center) && sameBits(a.Width, b.Width) && sameBits(a.Height, b.Height) &&
         sameBits(a.Sweep, b.Sweep);
}

TShapeKey keyOf(const TQN_Path &s) {
  return {s.FShapeType, s.FIsFreeAngle, s.FStartPt, s.FEndPt, s.FCenter, s.FWidth, s.FHeight, s.FSweepAngle};
}

bool isLabKind(TShapeKind k) { return k == TShapeKind::Line || k == TShapeKind::Arc || k == TShapeKind::Bezier; }

// The cell size of the grids of lines and arcs; a line is listed piece by piece, each
// piece at most this long, so a long line is found only near itself.
constexpr float kCurveCell = 8.0f;
constexpr float kQueryReach = kSearchReach + 0.01f;

// The rectangles a line is listed under: pieces of its segment, each grown by a few units
// of the last place so that a point whose single-precision foot lies within reach of the
// line lies within reach of a piece. A line too long to cut up (or not finite) is one box.
void linePieces(TPointF a, TPointF b, std::vector<TRectF> &out) {
  out.clear();
  const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y;
  const double len = std::hypot(dx, dy);
  const double pieces = std::ceil(len / kCurveCell);
  if (!(pieces <= 4096.0)) {
    out.push_back(sortedRect(a, b));
    return;
  }
  const int n = std::max(1, static_cast<int>(pieces));
  const float slack =
      4e-7f * std::max({std::fabs(a.X), std::fabs(a.Y), std::fabs(b.X), std::fabs(b.Y), 1.0f});
  TPointF from = a;
  for (int k = 1; k <= n; ++k) {
    const double t = double(k) / n;
    const TPointF to = k == n ? b : TPointF(float(a.X + t * dx), float(a.Y + t * dy));
    const TRectF r = sortedRect(from, to);
    out.push_back(TRectF(r.Left - slack, r.Top - slack, r.Right + slack, r.Bottom + slack));
    from = to;
  }
}

TRectF arcCircleRect(const TShapeKey &k) {
  const float r = std::fabs((k.Width + k.Height) / 2.0f);
  return TRectF(k.Center.X - r, k.Center.Y - r, k.Center.X + r, k.Center.Y + r);
}

// The check kept between runs. Each candidate holds its findings (the warnings it would
// add before the de-duplication): its axis warning, the gaps between its ends and those
// of later candidates, the T-gaps of its ends. A run compares the candidates with those
// of the last run (both in list order, keys by their bits), takes the changed stretch
// out, lists the new one, and computes again only the findings of the new candidates and
// of those within reach of what left or came. The warnings are then the findings in list
// order, pass by pass, with the overlaps read from the records, de-duplicated as always.
class TIncrementalLint final : public TLintMemo {
 public:
  std::vector<TLintWarning> run(const TEditor &editor) {
    FEditor = &editor;
    const std::array<QString, 4> templates = {phraseTemplate("lintInfoAxis"), phraseTemplate("lintInfoGap"),
                                              phraseTemplate("lintInfoOverlap"), phraseTemplate("lintInfoTGap")};
    if (templates != FTemplates) {  // another language: every text is made again
      forgetAll();
      FTemplates = templates;
    }
    collectCandidates(editor.doc().PathList());
    updateCandidates();
    std::vector<TLintWarning> warnings = assemble();
    FEditor = nullptr;
    return warnings;
  }

 private:
  struct TFinding {
    TPointF Point;
    QString Info;
  };
  struct TSlot {
    TQN_Path *Shape = nullptr;  // this run's shape (valid during a run only)
    TShapeKey Key;
    int Position = -1;  // in candidate order; -1 for a free slot
    std::vector<TFinding> Axis, Gap, TGap;
  };

  QString phraseTemplate(const char *key) const { return FEditor->tr(QString::fromLatin1(key)); }
  QString phrase(int kind, std::initializer_list<double> values) const {
    return formatPhrase(FTemplates[static_cast<std::size_t>(kind)], values);
  }

  void forgetAll() {
    FSlots.clear();
    FFree.clear();
    FOrder.clear();
    FMarks.clear();
    FEnds.Clear(1.0f);
    FLines.Clear(kCurveCell);
    FArcs.Clear(kCurveCell);
  }

  // The candidates of the document in list order; the same test as isLintCandidate with
  // the visibility of the last layer asked about remembered.
  void collectCandidates(const TShapeList &doc) {
    FNew.clear();
    int layer = 0;
    bool visible = false, known = false;
    for (TQN_Path *s : doc) {
      if (!s || s->isKind(TShapeKind::Hole) || s->isKind(TShapeKind::Other) || s->isKind(TShapeKind::Text) ||
          s->FIsDimensionLine)
        continue;
      if (!known || s->FLayerID != layer) {
        layer = s->FLayerID;
        visible = doc.GetlayerVisible(layer);
        known = true;
      }
      if (visible) FNew.emplace_back(s, keyOf(*s));
    }
  }

  void updateCandidates() {
    const std::size_t oldN = FOrder.size(), newN = FNew.size();
    std::size_t head = 0;
    while (head < oldN && head < newN && sameKey(slot(FOrder[head]).Key, FNew[head].second)) ++head;
    std::size_t tail = 0;
    while (tail < oldN - head && tail < newN - head &&
           sameKey(slot(FOrder[oldN - 1 - tail]).Key, FNew[newN - 1 - tail].second))
      ++tail;

    if (++FStamp == 0) {  // the stamp wrapped round: forget every old mark
      std::fill(FMarks.begin(), FMarks.end(), 0u);
      FStamp = 1;
    }
    FDirty.clear();
    // Those near a candidate that goes see it go; then it leaves the grids.
    for (std::size_t k = head; k < oldN - tail; ++k) markNeighbours(slot(FOrder[k]).Key);
    for (std::size_t k = head; k < oldN - tail; ++k) release(FOrder[k]);

    std::vector<int> &order = FNextOrder;  // kept between runs, so its room is reused
    order.clear();
    order.reserve(newN);
    order.insert(order.end(), FOrder.begin(), FOrder.begin() + static_cast<std::ptrdiff_t>(head));
    for (std::size_t k = head; k < newN - tail; ++k) order.push_back(acquire(FNew[k].second));
    order.insert(order.end(), FOrder.end() - static_cast<std::ptrdiff_t>(tail), FOrder.end());
    FOrder.swap(order);
    for (std::size_t k = 0; k < newN; ++k) {
      TSlot &s = slot(FOrder[k]);
      s.Shape = FNew[k].first;
      s.Position = static_cast<int>(k);
    }
    // Those near a candidate that came see it come; it is computed itself.
    for (std::size_t k = head; k < newN - tail; ++k) {
      markNeighbours(slot(FOrder[k]).Key);
      mark(FOrder[k]);
    }
    for (int id : FDirty)
      if (slot(id).Position >= 0) compute(id);
  }

  TSlot &slot(int id) { return FSlots[static_cast<std::size_t>(id)]; }

  int acquire(const TShapeKey &key) {
    int id;
    if (!FFree.empty()) {
      id = FFree.back();
      FFree.pop_back();
    } else {
      id = static_cast<int>(FSlots.size());
      FSlots.emplace_back();
      FMarks.push_back(0);
    }
    TSlot &s = slot(id);
    s.Key = key;
    FEnds.insert(id, pointRect(key.Start));
    FEnds.insert(id, pointRect(key.End));
    if (key.Kind == TShapeKind::Line) {
      linePieces(key.Start, key.End, FPieces);
      for (const TRectF &r : FPieces) FLines.insert(id, r);
    } else if (key.Kind == TShapeKind::Arc) {
      FArcs.insert(id, arcCircleRect(key));
    }
    return id;
  }

  void release(int id) {
    TSlot &s = slot(id);
    FEnds.remove(id);
    FLines.remove(id);
    FArcs.remove(id);
    s.Shape = nullptr;
    s.Position = -1;
    s.Axis.clear();
    s.Gap.clear();
    s.TGap.clear();
    FFree.push_back(id);
  }

  void mark(int id) {
    std::uint32_t &m = FMarks[static_cast<std::size_t>(id)];
    if (m == FStamp) return;
    m = FStamp;
    FDirty.push_back(id);
  }

  // Every candidate whose findings may involve a shape of this key: ends within reach of
  // its ends (gaps, and the short shapes that bridge them), and ends within reach of its
  // segment or circle (T-gaps).
  void markNeighbours(const TShapeKey &key) {
    const TRectF ends[2] = {pointRect(key.Start), pointRect(key.End)};
    FEnds.query(ends, 2, kQueryReach, FHits);
    for (int id : FHits) mark(id);
    if (key.Kind == TShapeKind::Line) {
      linePieces(key.Start, key.End, FPieces);
      FEnds.query(FPieces.data(), FPieces.size(), kQueryReach, FHits);
      for (int id : FHits) mark(id);
    } else if (key.Kind == TShapeKind::Arc) {
      FEnds.query(arcCircleRect(key), kQueryReach, FHits);
      for (int id : FHits) mark(id);
    }
  }

  // The hits that are other candidates, by their positions in list order.
  void positionsOf(const std::vector<int> &hits, int self, std::vector<int> &out) {
    out.clear();
    for (int id : hits)
      if (id != self) out.push_back(slot(id).Position);
    std::sort(out.begin(), out.end());
  }

  void compute(int id) {
    TSlot &s = slot(id);
    s.Axis.clear();
    s.Gap.clear();
    s.TGap.clear();
    const TQN_Path &S = *s.Shape;
    if (S.isKind(TShapeKind::Line) && !S.FIsFreeAngle) {
      const float angle = calcLineAngle(S);
      if (isSlightlyOffAxis(angle)) {
        const TPointF a = S.FStartPt, b = S.FEndPt;
        s.Axis.push_back({TPointF((a.X + b.X) / 2.0f, (a.Y + b.Y) / 2.0f),
                          phrase(kAxis, {foldAngleToAxis(angle), a.X, a.Y, b.X, b.Y})});
      }
    }
    if (!isLineArcOrBezier(&S)) return;
    computeGaps(s);
    computeTGaps(s, id);
  }

  // The gaps between this candidate's ends and those of the candidates after it: by the
  // later candidate's position, then (start, start), (start, end), (end, start), (end, end).
  void computeGaps(TSlot &s) {
    const TRectF ends[2] = {pointRect(s.Key.Start), pointRect(s.Key.End)};
    FEnds.query(ends, 2, kQueryReach, FHits);
    FLater.clear();
    for (int id : FHits) {
      const TSlot &o = slot(id);
      if (o.Position > s.Position && isLabKind(o.Key.Kind)) FLater.push_back(o.Position);
    }
    std::sort(FLater.begin(), FLater.end());
    for (int position : FLater) {
      const TQN_Path &other = *slot(FOrder[static_cast<std::size_t>(position)]).Shape;
      for (int order = 0; order < 4; ++order) {
        const TPointF a = endOf(*s.Shape, order < 2), b = endOf(other, order % 2 == 0);
        if (!isAlmostNearPoint(a, b) || isGapBridged(a, b)) continue;
        s.Gap.push_back({TPointF((a.X + b.X) / 2.0f, (a.Y + b.Y) / 2.0f),
                         phrase(kGap, {calcDistance(a, b), a.X, a.Y, b.X, b.Y})});
      }
    }
  }

  // Whether a candidate already runs from a to b (or b to a), within 0.008 at both ends.
  bool isGapBridged(TPointF a, TPointF b) {
    FEnds.query(pointRect(a), 0.01f, FHits2);
    for (int id : FHits2) {
      const TShapeKey &c = slot(id).Key;
      if ((isCoincident(c.Start, a) && isCoincident(c.End, b)) || (isCoincident(c.End, a) && isCoincident(c.Start, b)))
        return true;
    }
    return false;
  }

  // T-gaps of this candidate's ends: on lines by the line's position, then start before
  // end; then for each end the nearest arc, the first in list order of equally near ones.
  void computeTGaps(TSlot &s, int id) {
    const TQN_Path &S = *s.Shape;
    FFound.clear();
    for (int end = 0; end < 2; ++end) {
      FLines.query(pointRect(endOf(S, end == 0)), kQueryReach, FHits);
      for (int li : FHits)
        if (li != id) FFound.emplace_back(slot(li).Position, end);
    }
    std::sort(FFound.begin(), FFound.end());
    for (const auto &[position, end] : FFound)
      lineTGap(s, endOf(S, end == 0), *slot(FOrder[static_cast<std::size_t>(position)]).Shape);
    for (int end = 0; end < 2; ++end) {
      const TPointF e = endOf(S, end == 0);
      FArcs.query(pointRect(e), kQueryReach, FHits);
      positionsOf(FHits, id, FLater);
      double best = 1e30;
      TPointF bestFoot;
      bool any = false;
      for (int position : FLater) {
        const TQN_Path &arc = *slot(FOrder[static_cast<std::size_t>(position)]).Shape;
        double dist = 0.0;
        TPointF foot;
        if (!circleFoot(e, arc, dist, foot) || !(dist < best) || !footOnArcInterior(foot, arc)) continue;
        best = dist;
        bestFoot = foot;
        any = true;
      }
      if (any) s.TGap.push_back({bestFoot, phrase(kTGap, {calcDistance(e, bestFoot), e.X, e.Y})});
    }
  }

  void lineTGap(TSlot &s, TPointF e, const TQN_Path &line) {
    const TRectF box = sortedRect(line.FStartPt, line.FEndPt);
    if (!(double(box.Left) - 0.2 <= e.X && e.X <= double(box.Right) + 0.2 && double(box.Top) - 0.2 <= e.Y &&
          e.Y <= double(box.Bottom) + 0.2))
      return;
    const TPointF f = closestPointOnSegment(e, line.FStartPt, line.FEndPt);
    const double d = calcDistance(e, f);
    if (!(d > 0.05 && d <= 0.2) || nearAnEnd(f, line)) return;
    s.TGap.push_back({f, phrase(kTGap, {d, e.X, e.Y})});
  }

  // The warnings: the findings pass by pass in list order, the overlaps from the records;
  // a warning near (0.05) one of the same kind already listed is left out.
  std::vector<TLintWarning> assemble() {
    std::vector<TLintWarning> out;
    TRectGrid seen[4] = {TRectGrid(0.5f), TRectGrid(0.5f), TRectGrid(0.5f), TRectGrid(0.5f)};
    std::vector<int> hits;
    const auto add = [&](TLintKind kind, TPointF p, const QString &info) {
      TRectGrid &grid = seen[static_cast<int>(kind)];
      grid.query(pointRect(p), 0.05f, hits);
      for (int k : hits)
        if (isNearPoint(out[static_cast<std::size_t>(k)].Point, p)) return;
      grid.insert(static_cast<int>(out.size()), pointRect(p));
      out.push_back({p, kind, info});
    };
    for (int id : FOrder)
      for (const TFinding &f : slot(id).Axis) add(TLintKind::lkAxis, f.Point, f.Info);
    for (int id : FOrder)
      for (const TFinding &f : slot(id).Gap) add(TLintKind::lkGap, f.Point, f.Info);
    const TShapeList &doc = FEditor->doc().PathList();
    for (const TIntersection *ict : FEditor->doc().FIntersections) {
      // The cheap tests first; all must hold.
      if (!ict->FIsCrossing || !ict->FPath1 || !ict->FPath2) continue;
      const TPointF p = ict->FPoint;
      if (!nearAnEnd(p, *ict->FPath1) || !nearAnEnd(p, *ict->FPath2)) continue;
      if (!isLintCandidate(doc, ict->FPath1) || !isLintCandidate(doc, ict->FPath2)) continue;
      add(TLintKind::lkOverlap, p, phrase(kOverlap, {p.X, p.Y}));
    }
    for (int id : FOrder)
      for (const TFinding &f : slot(id).TGap) add(TLintKind::lkTGap, f.Point, f.Info);
    return out;
  }

  static constexpr int kAxis = 0, kGap = 1, kOverlap = 2, kTGap = 3;

  const TEditor *FEditor = nullptr;
  std::array<QString, 4> FTemplates;
  std::vector<TSlot> FSlots;
  std::vector<int> FFree;
  std::vector<int> FOrder;  // slots in candidate order
  std::vector<int> FNextOrder;  // the order being made during a run
  std::vector<std::pair<TQN_Path *, TShapeKey>> FNew;
  TRectGrid FEnds{1.0f}, FLines{kCurveCell}, FArcs{kCurveCell};
  std::vector<std::uint32_t> FMarks;
  std::uint32_t FStamp = 0;
  std::vector<int> FDirty;
  std::vector<int> FHits, FHits2, FLater;
  std::vector<std::pair<int, int>> FFound;
  std::vector<TRectF> FPieces;
};

}  // namespace

bool isLintCandidate(const TShapeList &doc, const TQN_Path *shape) {
  if (!shape) return false;
  if (shape->isKind(TShapeKind::Hole) || shape->isKind(TShapeKind::Other) || shape->isKind(TShapeKind::Text))
    return false;
  return !shape->FIsDimensionLine && doc.GetlayerVisible(shape->FLayerID);
}

bool isLineArcOrBezier(const TQN_Path *shape) {
  return shape && (shape->isKind(TShapeKind::Line) || shape->isKind(TShapeKind::Arc) ||
                   shape->isKind(TShapeKind::Bezier));
}

float calcLineAngle(const TQN_Path &shape) {
  return float(std::atan2(double(shape.FEndPt.Y) - shape.FStartPt.Y, double(shape.FEndPt.X) - shape.FStartPt.X) *
               kRadToDeg);
}

bool refitArcToEnds(TQN_Path &arc, TPointF p1, TPointF p2) {
  const float r = (arc.FWidth + arc.FHeight) / 2.0f;
  if (!(r > 0.0f)) return false;
  const double h2 = calcDistance(p1, p2) / 2.0;
  if (h2 >= r) return false;
  const double dx = double(p2.X) - p1.X, dy = double(p2.Y) - p1.Y;
  const double len = std::hypot(dx, dy);
  if (!(len > 0.0)) return false;
  const double nx = -dy / len, ny = dx / len;
  const double k = std::sqrt(double(r) * r - h2 * h2);
  const double mx = (double(p1.X) + p2.X) / 2.0, my = (double(p1.Y) + p2.Y) / 2.0;
  const TPointF c1(float(mx + nx * k), float(my + ny * k)), c2(float(mx - nx * k), float(my - ny * k));
  const TPointF old = arc.GetCenter();
  const TPointF center = calcDistance(c2, old) < calcDistance(c1, old) ? c2 : c1;
  const float oldSweep = arc.FSweepAngle;
  const int sign = oldSweep > 0.0f ? 1 : (oldSweep < 0.0f ? -1 : 0);
  const float sweep = calcAngleAtVertex(center, p1, p2, std::fabs(oldSweep) > 180.0f, sign);
  arc.drawArcPath(center, TPointF(r, r), p1, p2, sweep);
  return true;
}

bool moveShapeEnd(TQN_Path &shape, bool atStart, TPointF point) {
  if (shape.isKind(TShapeKind::Line)) {
    if (atStart)
      shape.drawLinePath(point, shape.FEndPt);
    else
      shape.drawLinePath(shape.FStartPt, point);
    return true;
  }
  if (shape.isKind(TShapeKind::Bezier)) {
    TPointF st = shape.FStartPt, cp1 = shape.FBezierCp1, cp2 = shape.FBezierCp2, ep = shape.FEndPt;
    if (atStart) {
      cp1 += point - st;
      st = point;
    } else {
      cp2 += point - ep;
      ep = point;
    }
    shape.drawBezierPath(st, cp1, cp2, ep);
    return true;
  }
  if (shape.isKind(TShapeKind::Arc))
    return atStart ? refitArcToEnds(shape, point, shape.FEndPt) : refitArcToEnds(shape, shape.FStartPt, point);
  return false;
}

bool findGapPartner(const TShapeList &doc, const TQN_Path *shape, TPointF point, TQN_Path *&partner,
                    TPointF &partnerEnd) {
  double best = 1e30;
  partner = nullptr;
  for (TQN_Path *other : doc) {
    if (other == shape || !isLintCandidate(doc, other)) continue;
    for (const bool start : {true, false}) {
      const TPointF e = endOf(*other, start);
      if (!isAlmostNearPoint(e, point)) continue;
      const double d = calcDistance(e, point);
      if (d < best) {
        best = d;
        partner = other;
        partnerEnd = e;
      }
    }
  }
  return partner != nullptr;
}

TQN_Path *findLineTGapPartner(const TShapeList &doc, TPointF point, const TQN_Path *shape, TPointF &foot) {
  double best = 1e30;
  TQN_Path *result = nullptr;
  for (TQN_Path *line : doc) {
    if (line == shape || !line->isKind(TShapeKind::Line) || !isLintCandidate(doc, line)) continue;
    TPointF f;
    if (!interiorFoot(point, *line, f)) continue;
    const double h = calcDistance(point, f);
    if (h > 0.05 && h <= 0.2 && h < best && !nearAnEnd(f, *line)) {
      best = h;
      result = line;
      foot = f;
    }
  }
  return result;
}

TQN_Path *findArcTGapPartner(const TShapeList &doc, TPointF point, const TQN_Path *shape, TPointF &foot) {
  double best = 1e30;
  TQN_Path *result = nullptr;
  for (TQN_Path *arc : doc) {
    if (arc == shape || !arc->isKind(TShapeKind::Arc) || !isLintCandidate(doc, arc)) continue;
    double e = 0.0;
    TPointF f;
    if (!circleFoot(point, *arc, e, f) || !(e < best) || !footOnArcInterior(f, *arc)) continue;
    best = e;
    result = arc;
    foot = f;
  }
  return result;
}

bool hasDrawingIssue(const TEditor &editor, const TQN_Path *shape) {
  const TShapeList &doc = editor.doc().PathList();
  if (!isLintCandidate(doc, shape)) return false;
  const bool curveOrLine = isLineArcOrBezier(shape);
  if (shape->isKind(TShapeKind::Line) && isSlightlyOffAxis(calcLineAngle(*shape))) return true;
  for (const bool start : {true, false}) {
    TQN_Path *partner = nullptr;
    TPointF end;
    if (findGapPartner(doc, shape, endOf(*shape, start), partner, end) &&
        (curveOrLine || partner->isKind(TShapeKind::Line)))
      return true;
  }
  for (const TIntersection *ict : editor.doc().FIntersections) {
    if (!ict->FIsCrossing || !ict->FPath1 || !ict->FPath2) continue;
    const TQN_Path *other = ict->FPath1 == shape ? ict->FPath2 : (ict->FPath2 == shape ? ict->FPath1 : nullptr);
    if (!other || !isLintCandidate(doc, other)) continue;
    if (!shape->isKind(TShapeKind::Line) || !other->isKind(TShapeKind::Line)) continue;
    if (nearAnEnd(ict->FPoint, *shape) && nearAnEnd(ict->FPoint, *other)) return true;
  }
  if (!curveOrLine) return false;
  for (const bool start : {true, false}) {
    TPointF foot;
    if (findLineTGapPartner(doc, endOf(*shape, start), shape, foot) ||
        findArcTGapPartner(doc, endOf(*shape, start), shape, foot))
      return true;
  }
  return false;
}

std::vector<TLintWarning> collectLintWarnings(const TEditor &editor) { return TIncrementalLint().run(editor); }

void runDrawingCheck(TEditor &editor) {
  std::unique_ptr<TLintMemo> &memo = editor.lint().FMemo;
  if (!memo) memo = std::make_unique<TIncrementalLint>();
  editor.lint().FLintWarnings = static_cast<TIncrementalLint &>(*memo).run(editor);
}

void refreshDrawingCheck(TEditor &editor) {
  TLintState &lint = editor.lint();
  if (editor.FOptions->ShowLintWarnings) {
    runDrawingCheck(editor);
    lint.ResolveAllEnabled = !lint.FLintWarnings.empty();
    if (!lint.FLintWarnings.empty()) editor.display().FShow_intersections = true;
  } else {
    lint.FLintWarnings.clear();
    lint.ResolveAllEnabled = true;
  }
  // A hovered index past the new list's end would name no warning.
  if (editor.display().FLintHoveredIndex >= static_cast<int>(lint.FLintWarnings.size()))
    editor.display().FLintHoveredIndex = -1;
  updateLintBlink(editor);
  editor.ui().refreshCanvas();
}

void toggleLintWarnings(TEditor &editor) {
  editor.FOptions->ShowLintWarnings = !editor.FOptions->ShowLintWarnings;
  refreshDrawingCheck(editor);
}

void toggleIntersectionDisplay(TEditor &editor) {
  editor.display().FShow_intersections = !editor.display().FShow_intersections;
  refreshDrawingCheck(editor);
}

}  // namespace quillon
