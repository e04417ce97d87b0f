#include "edit/regularize.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "edit/drawing_check.h"
#include "i18n/phrase_format.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/spatial_index.h"
#include "platform/wait_cursor.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/undo.h"

namespace quillon {

namespace {

constexpr const char *kRegularizeUndoReason = "L10771";
constexpr int kMaxPasses = 50;
constexpr float kJointReach = 0.2f;

bool isNearAxisLine(const TQN_Path &s) {
  return s.isKind(TShapeKind::Line) && foldAngleToAxis(calcLineAngle(s)) <= 0.5f;
}

// Horizontal when the direction folded into (-90, 90] lies within 45 degrees of it.
bool isHorizontalLine(const TQN_Path &s) {
  float a = calcLineAngle(s);
  while (a <= -90.0f) a += 180.0f;
  while (a > 90.0f) a -= 180.0f;
  return std::fabs(a) <= 45.0f;
}

TRectF pointRect(TPointF p) { return TRectF(p.X, p.Y, p.X, p.Y); }

class TForest {
 public:
  explicit TForest(int n) : FParent(static_cast<std::size_t>(n)) { std::iota(FParent.begin(), FParent.end(), 0); }
  int find(int a) {
    while (FParent[static_cast<std::size_t>(a)] != a) {
      int &p = FParent[static_cast<std::size_t>(a)];
      p = FParent[static_cast<std::size_t>(p)];  // halves the path on the way
      a = p;
    }
    return a;
  }
  // Links the root of a to the root of b; returns the new root.
  int unite(int a, int b) {
    const int ra = find(a), rb = find(b);
    if (ra != rb) FParent[static_cast<std::size_t>(ra)] = rb;
    return rb;
  }

 private:
  std::vector<int> FParent;
};

// The value of a cluster without anchors: the coordinates sorted and split into runs (a
// value joins the run when it exceeds the previous one by at most 0.02); the mean of the
// largest run, of all largest runs pooled when several share that size.
double modeMean(std::vector<double> &v) {
  std::sort(v.begin(), v.end());
  std::vector<std::pair<std::size_t, std::size_t>> runs;  // [first, last)
  std::size_t first = 0;
  for (std::size_t k = 1; k <= v.size(); ++k)
    if (k == v.size() || v[k] - v[k - 1] > 0.02) {
      runs.emplace_back(first, k);
      first = k;
    }
  std::size_t most = 0;
  for (const auto &[a, b] : runs) most = std::max(most, b - a);
  double sum = 0.0;
  std::size_t count = 0;
  for (const auto &[a, b] : runs)
    if (b - a == most)
      for (std::size_t k = a; k < b; ++k) {
        sum += v[k];
        ++count;
      }
  return sum / double(count);
}

// Every record's value in one forest: the mean of the cluster's anchor records when it
// has any, else the mode mean of all its records.
std::vector<float> clusterValues(TForest &forest, const std::vector<float> &coords, const std::vector<char> &anchor) {
  const int n = static_cast<int>(coords.size());
  std::unordered_map<int, std::vector<int>> members;
  for (int i = 0; i < n; ++i) members[forest.find(i)].push_back(i);
  std::vector<float> out(coords.size());
  std::vector<double> values;
  for (auto &[root, list] : members) {
    double anchorSum = 0.0;
    int anchors = 0;
    values.clear();
    for (int i : list) {
      values.push_back(coords[static_cast<std::size_t>(i)]);
      if (anchor[static_cast<std::size_t>(i)]) {
        anchorSum += coords[static_cast<std::size_t>(i)];
        ++anchors;
      }
    }
    const float value = float(anchors > 0 ? anchorSum / anchors : modeMean(values));
    for (int i : list) out[static_cast<std::size_t>(i)] = value;
  }
  return out;
}

}  // namespace

int regularizeJoints(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  // Two records per LINE, BEZIER or ARC candidate: its start, then its end (the partner
  // of record i is i ^ 1). The ends of arcs are anchors.
  std::vector<TQN_Path *> owner;
  std::vector<TPointF> pts;
  std::vector<char> anchor;
  std::unordered_map<const TQN_Path *, int> firstRecord;
  for (TQN_Path *s : doc) {
    if (!isLintCandidate(doc, s) || !isLineArcOrBezier(s)) continue;
    firstRecord.emplace(s, static_cast<int>(pts.size()));
    for (const TPointF p : {s->FStartPt, s->FEndPt}) {
      owner.push_back(s);
      pts.push_back(p);
      anchor.push_back(s->isKind(TShapeKind::Arc) ? 1 : 0);
    }
  }
  const int n = static_cast<int>(pts.size());
  if (n == 0) return 0;

  // Pairs of ends of different shapes at most 0.2 apart, nearest first.
  struct TPair {
    double D;
    int I, J;
  };
  std::vector<TPair> pairs;
  {
    TRectGrid grid(0.5f);
    for (int i = 0; i < n; ++i) grid.insert(i, pointRect(pts[static_cast<std::size_t>(i)]));
    std::vector<int> near;
    for (int i = 0; i < n; ++i) {
      grid.query(pointRect(pts[static_cast<std::size_t>(i)]), kJointReach + 0.01f, near);
      for (int j : near) {
        if (j <= i || owner[static_cast<std::size_t>(j)] == owner[static_cast<std::size_t>(i)]) continue;
        const double d = calcDistance(pts[static_cast<std::size_t>(i)], pts[static_cast<std::size_t>(j)]);
        if (d <= kJointReach) pairs.push_back({d, i, j});
      }
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const TPair &a, const TPair &b) { return a.D != b.D ? a.D < b.D : (a.I != b.I ? a.I < b.I : a.J < b.J); });
  }

  // Joints: clusters of ends; a shape never gets both of its ends into one joint.
  TForest fx(n), fy(n);
  std::unordered_map<int, std::vector<int>> members;
  const auto membersOf = [&](int root) -> std::vector<int> & {
    auto it = members.find(root);
    if (it == members.end()) it = members.emplace(root, std::vector<int>{root}).first;
    return it->second;
  };
  for (const TPair &p : pairs) {
    const int ri = fx.find(p.I), rj = fx.find(p.J);
    if (ri == rj) continue;
    std::vector<int> &mi = membersOf(ri), &mj = membersOf(rj);
    const bool iSmaller = mi.size() <= mj.size();
    const std::vector<int> &small = iSmaller ? mi : mj;
    const int otherRoot = iSmaller ? rj : ri;
    bool sameShape = false;
    for (int m : small) sameShape = sameShape || fx.find(m ^ 1) == otherRoot;
    if (sameShape) continue;
    const int root = fx.unite(p.I, p.J);
    fy.unite(p.I, p.J);
    const int absorbed = root == rj ? ri : rj;
    std::vector<int> moved = std::move(membersOf(absorbed));
    members.erase(absorbed);
    std::vector<int> &kept = membersOf(root);
    kept.insert(kept.end(), moved.begin(), moved.end());
  }

  // Near-axis lines hold their two ends on one Y (horizontal) or X (vertical).
  std::vector<TQN_Path *> axisLines;
  for (TQN_Path *s : doc) {
    if (!isLintCandidate(doc, s) || !isNearAxisLine(*s)) continue;
    axisLines.push_back(s);
    const int r = firstRecord.at(s);
    (isHorizontalLine(*s) ? fy : fx).unite(r, r + 1);
  }

  // Ends lying on (within 0.2 of the interior of) a near-axis line join its axis.
  {
    std::vector<TRectF> rects;
    for (TQN_Path *l : axisLines)
      rects.push_back(TRectF(std::min(l->FStartPt.X, l->FEndPt.X), std::min(l->FStartPt.Y, l->FEndPt.Y),
                             std::max(l->FStartPt.X, l->FEndPt.X), std::max(l->FStartPt.Y, l->FEndPt.Y)));
    TRectGrid grid(TRectGrid::chooseCellSize(rects));
    for (std::size_t k = 0; k < axisLines.size(); ++k) grid.insert(static_cast<int>(k), rects[k]);
    std::vector<int> near;
    for (int i = 0; i < n; ++i) {
      const TPointF p = pts[static_cast<std::size_t>(i)];
      grid.query(pointRect(p), kJointReach + 0.01f, near);
      for (int k : near) {
        TQN_Path &l = *axisLines[static_cast<std::size_t>(k)];
        if (&l == owner[static_cast<std::size_t>(i)]) continue;
        const double dx = double(l.FEndPt.X) - l.FStartPt.X, dy = double(l.FEndPt.Y) - l.FStartPt.Y;
        const double len2 = dx * dx + dy * dy;
        if (len2 <= 0.0) continue;
        const double t = ((double(p.X) - l.FStartPt.X) * dx + (double(p.Y) - l.FStartPt.Y) * dy) / len2;
        if (!(t > 0.001 && t < 0.999)) continue;
        const TPointF f(float(l.FStartPt.X + t * dx), float(l.FStartPt.Y + t * dy));
        if (double(calcDistance(p, f)) > kJointReach || isNearPoint(f, l.FStartPt) || isNearPoint(f, l.FEndPt))
          continue;
        anchor[static_cast<std::size_t>(i)] = 0;
        (isHorizontalLine(l) ? fy : fx).unite(i, firstRecord.at(&l));
      }
    }
  }

  std::vector<float> xs(pts.size()), ys(pts.size());
  for (std::size_t i = 0; i < pts.size(); ++i) {
    xs[i] = pts[i].X;
    ys[i] = pts[i].Y;
  }
  const std::vector<float> newX = clusterValues(fx, xs, anchor), newY = clusterValues(fy, ys, anchor);

  int edits = 0;
  std::vector<TQN_Path *> changed;
  const auto movedFar = [](TPointF a, TPointF b) { return double(calcDistance(a, b)) > 0.001; };
  for (TQN_Path *s : doc) {
    const auto it = firstRecord.find(s);
    if (it == firstRecord.end()) continue;
    const std::size_t r = static_cast<std::size_t>(it->second);
    const TPointF st(newX[r], newY[r]), ep(newX[r + 1], newY[r + 1]);
    const bool moved = movedFar(st, s->FStartPt) || movedFar(ep, s->FEndPt);
    if (isCoincident(st, ep)) continue;
    if (s->isKind(TShapeKind::Line)) {
      if (!moved && !isSlightlyOffAxis(calcLineAngle(*s))) continue;
      removeIntersectionsOf(editor.doc().FIntersections, s);
      s->drawLinePath(st, ep);
      changed.push_back(s);
      if (moved) ++edits;
    } else if (moved && s->isKind(TShapeKind::Bezier)) {
      const TPointF cp1 = s->FBezierCp1 + (st - s->FStartPt), cp2 = s->FBezierCp2 + (ep - s->FEndPt);
      removeIntersectionsOf(editor.doc().FIntersections, s);
      s->drawBezierPath(st, cp1, cp2, ep);
      changed.push_back(s);
      ++edits;
    } else if (moved && s->isKind(TShapeKind::Arc)) {
      removeIntersectionsOf(editor.doc().FIntersections, s);
      if (refitArcToEnds(*s, st, ep)) ++edits;
      changed.push_back(s);
    }
  }
  for (TQN_Path *s : changed) editor.calcIntersectionsOfShape(s);
  return edits;
}

int attachEndsToArcs(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  int edits = 0;
  for (TQN_Path *s : doc) {
    if (!isLineArcOrBezier(s) || isNearAxisLine(*s)) continue;
    for (const bool atStart : {true, false}) {
      const TPointF p = atStart ? s->FStartPt : s->FEndPt;
      bool joined = false;
      for (TQN_Path *o : doc) {
        if (o == s || !isLintCandidate(doc, o)) continue;
        if (double(calcDistance(o->FStartPt, p)) <= kJointReach || double(calcDistance(o->FEndPt, p)) <= kJointReach) {
          joined = true;
          break;
        }
      }
      if (joined) continue;
      TPointF foot;
      if (!findArcTGapPartner(doc, p, s, foot)) continue;
      removeIntersectionsOf(editor.doc().FIntersections, s);
      if (moveShapeEnd(*s, atStart, foot)) ++edits;
      editor.calcIntersectionsOfShape(s);
    }
  }
  return edits;
}

int meetObliqueLines(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  int edits = 0;
  for (TQN_Path *s : doc) {
    if (!isLintCandidate(doc, s) || !isNearAxisLine(*s)) continue;
    for (const bool atStart : {true, false}) {
      const TPointF end = atStart ? s->FStartPt : s->FEndPt, other = atStart ? s->FEndPt : s->FStartPt;
      TPointF foot;
      TQN_Path *partner = findLineTGapPartner(doc, end, s, foot);
      if (!partner || foldAngleToAxis(calcLineAngle(*partner)) <= 0.5f) continue;
      const double d1x = double(s->FEndPt.X) - s->FStartPt.X, d1y = double(s->FEndPt.Y) - s->FStartPt.Y;
      const double d2x = double(partner->FEndPt.X) - partner->FStartPt.X,
                   d2y = double(partner->FEndPt.Y) - partner->FStartPt.Y;
      const double den = d1x * d2y - d1y * d2x;
      if (std::fabs(den) <= 1e-12) continue;
      const double wx = double(partner->FStartPt.X) - s->FStartPt.X, wy = double(partner->FStartPt.Y) - s->FStartPt.Y;
      const double k = (wx * d2y - wy * d2x) / den;
      const TPointF p(float(s->FStartPt.X + k * d1x), float(s->FStartPt.Y + k * d1y));
      if (double(calcDistance(p, end)) > kJointReach || isCoincident(p, other)) continue;
      const double forward = (double(p.X) - other.X) * (double(end.X) - other.X) +
                             (double(p.Y) - other.Y) * (double(end.Y) - other.Y);
      if (forward <= 0.0) continue;
      removeIntersectionsOf(editor.doc().FIntersections, s);
      if (moveShapeEnd(*s, atStart, p)) ++edits;
      editor.calcIntersectionsOfShape(s);
    }
  }
  return edits;
}

int resyncBezierEnds(TEditor &editor) {
  int count = 0;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (!s->isKind(TShapeKind::Bezier) || s->Data().Count() < 1) continue;
    const TPointF first = s->Data()[0].Point, last = s->Data()[s->Data().Count() - 1].Point;
    if (double(calcDistance(s->FStartPt, first)) <= 0.01 && double(calcDistance(s->FEndPt, last)) <= 0.01) continue;
    removeIntersectionsOf(editor.doc().FIntersections, s);
    s->drawBezierPath(s->FStartPt, s->FBezierCp1, s->FBezierCp2, s->FEndPt);
    editor.calcIntersectionsOfShape(s);
    ++count;
  }
  return count;
}

int regularizeAllShapes(TEditor &editor) {
  int total = 0, passes = 0, edits = 0;
  {
    TWaitCursor wait;
    total = resyncBezierEnds(editor);
    do {
      ++passes;
      edits = regularizeJoints(editor);
      edits += attachEndsToArcs(editor);
      edits += meetObliqueLines(editor);
      total += edits;
    } while (edits != 0 && passes < kMaxPasses);
    if (total > 0) {
      invalidateSelectedGroupBounds(editor);
      editor.ui().refreshCanvas();
      takeUndoSnapshot(editor, QString::fromLatin1(kRegularizeUndoReason));
      editor.ui().refreshCanvas();
    }
  }
  if (total == 0)
    editor.ui().setStatusText(editor.tr(QStringLiteral("regularizeNone")));
  else if (edits != 0)
    editor.ui().setStatusText(formatPhrase(editor.tr(QStringLiteral("regularizeNotConverged")), {double(total)}));
  else
    editor.ui().setStatusText(
        formatPhrase(editor.tr(QStringLiteral("regularizeDone")), {double(total), double(passes)}));
  return total;
}

}  // namespace quillon
