#include "edit/drawing_check.h"

#include <algorithm>
#include <cmath>
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

// Builds the warning list; the pair searches go through grids of the candidates' ends,
// lines and arcs, and give the warnings in the order of the plain loops over all pairs.
class TLintCollector {
 public:
  explicit TLintCollector(const TEditor &editor) : FEditor(editor) {
    const TShapeList &doc = editor.doc().PathList();
    for (TQN_Path *s : doc)
      if (isLintCandidate(doc, s)) FCands.push_back(s);
  }

  std::vector<TLintWarning> run() {
    axisPass();
    gapPass();
    overlapPass();
    tGapPass();
    return std::move(FWarnings);
  }

 private:
  void add(TLintKind kind, TPointF p, const QString &info) {
    TRectGrid &seen = FSeen[static_cast<int>(kind)];
    seen.query(pointRect(p), 0.05f, FHits);
    for (int k : FHits)
      if (isNearPoint(FWarnings[static_cast<std::size_t>(k)].Point, p)) return;
    seen.insert(static_cast<int>(FWarnings.size()), pointRect(p));
    FWarnings.push_back({p, kind, info});
  }

  QString phrase(const char *key, std::initializer_list<double> values) const {
    return formatPhrase(FEditor.tr(QString::fromLatin1(key)), values);
  }

  void axisPass() {
    for (TQN_Path *s : FCands) {
      if (!s->isKind(TShapeKind::Line) || s->FIsFreeAngle) continue;
      const float angle = calcLineAngle(*s);
      if (!isSlightlyOffAxis(angle)) continue;
      const TPointF a = s->FStartPt, b = s->FEndPt;
      add(TLintKind::lkAxis, TPointF((a.X + b.X) / 2.0f, (a.Y + b.Y) / 2.0f),
          phrase("lintInfoAxis", {foldAngleToAxis(angle), a.X, a.Y, b.X, b.Y}));
    }
  }

  // Whether a candidate already runs from a to b (or b to a), within 0.008 at both ends.
  bool isGapBridged(TPointF a, TPointF b) {
    FEnds.query(pointRect(a), 0.01f, FHits2);
    for (int item : FHits2) {
      const TQN_Path &c = *FCands[static_cast<std::size_t>(item / 2)];
      const bool atStart = item % 2 == 0;
      if (isCoincident(endOf(c, atStart), a) && isCoincident(endOf(c, !atStart), b)) return true;
    }
    return false;
  }

  void gapPass() {
    FEnds.Clear(0.5f);
    for (std::size_t i = 0; i < FCands.size(); ++i) {
      FEnds.insert(static_cast<int>(2 * i), pointRect(FCands[i]->FStartPt));
      FEnds.insert(static_cast<int>(2 * i + 1), pointRect(FCands[i]->FEndPt));
    }
    std::vector<std::pair<std::size_t, int>> pairs;  // (j, end pair in the order of the loops)
    for (std::size_t i = 0; i < FCands.size(); ++i) {
      if (!isLineArcOrBezier(FCands[i])) continue;
      pairs.clear();
      for (int endI = 0; endI < 2; ++endI) {
        FEnds.query(pointRect(endOf(*FCands[i], endI == 0)), kSearchReach + 0.01f, FHits);
        for (int item : FHits) {
          const std::size_t j = static_cast<std::size_t>(item / 2);
          if (j <= i || !isLineArcOrBezier(FCands[j])) continue;
          pairs.emplace_back(j, endI * 2 + item % 2);
        }
      }
      std::sort(pairs.begin(), pairs.end());
      for (const auto &[j, order] : pairs) {
        const TPointF a = endOf(*FCands[i], order < 2), b = endOf(*FCands[j], order % 2 == 0);
        if (!isAlmostNearPoint(a, b) || isGapBridged(a, b)) continue;
        add(TLintKind::lkGap, TPointF((a.X + b.X) / 2.0f, (a.Y + b.Y) / 2.0f),
            phrase("lintInfoGap", {calcDistance(a, b), a.X, a.Y, b.X, b.Y}));
      }
    }
  }

  void overlapPass() {
    const TShapeList &doc = FEditor.doc().PathList();
    for (const TIntersection *ict : FEditor.doc().FIntersections) {
      if (!ict->FIsCrossing || !ict->FPath1 || !ict->FPath2) continue;
      if (!isLintCandidate(doc, ict->FPath1) || !isLintCandidate(doc, ict->FPath2)) continue;
      const TPointF p = ict->FPoint;
      if (!nearAnEnd(p, *ict->FPath1) || !nearAnEnd(p, *ict->FPath2)) continue;
      add(TLintKind::lkOverlap, p, phrase("lintInfoOverlap", {p.X, p.Y}));
    }
  }

  void tGapPass() {
    std::vector<TRectF> lineRects;
    std::vector<int> lineItems, arcItems;
    std::vector<TRectF> arcRects;
    for (std::size_t i = 0; i < FCands.size(); ++i) {
      const TQN_Path &s = *FCands[i];
      if (s.isKind(TShapeKind::Line)) {
        lineItems.push_back(static_cast<int>(i));
        lineRects.push_back(sortedRect(s.FStartPt, s.FEndPt));
      } else if (s.isKind(TShapeKind::Arc)) {
        const float r = std::fabs((s.FWidth + s.FHeight) / 2.0f);
        arcItems.push_back(static_cast<int>(i));
        arcRects.push_back(TRectF(s.FCenter.X - r, s.FCenter.Y - r, s.FCenter.X + r, s.FCenter.Y + r));
      }
    }
    TRectGrid lines(TRectGrid::chooseCellSize(lineRects));
    for (std::size_t k = 0; k < lineItems.size(); ++k) lines.insert(lineItems[k], lineRects[k]);
    TRectGrid arcs(TRectGrid::chooseCellSize(arcRects));
    for (std::size_t k = 0; k < arcItems.size(); ++k) arcs.insert(arcItems[k], arcRects[k]);

    std::vector<std::pair<int, int>> found;  // (line, end of S)
    for (std::size_t si = 0; si < FCands.size(); ++si) {
      TQN_Path &S = *FCands[si];
      if (!isLineArcOrBezier(&S)) continue;
      found.clear();
      for (int end = 0; end < 2; ++end) {
        lines.query(pointRect(endOf(S, end == 0)), kSearchReach + 0.01f, FHits);
        for (int li : FHits)
          if (static_cast<std::size_t>(li) != si) found.emplace_back(li, end);
      }
      std::sort(found.begin(), found.end());
      for (const auto &[li, end] : found) lineTGap(endOf(S, end == 0), *FCands[static_cast<std::size_t>(li)]);
      for (int end = 0; end < 2; ++end) {
        const TPointF e = endOf(S, end == 0);
        arcs.query(pointRect(e), kSearchReach + 0.01f, FHits);
        double best = 1e30;
        TPointF bestFoot;
        bool any = false;
        for (int ai : FHits) {
          const TQN_Path &arc = *FCands[static_cast<std::size_t>(ai)];
          if (&arc == &S) continue;
          double dist = 0.0;
          TPointF foot;
          if (!circleFoot(e, arc, dist, foot) || !(dist < best) || !footOnArcInterior(foot, arc)) continue;
          best = dist;
          bestFoot = foot;
          any = true;
        }
        if (any) add(TLintKind::lkTGap, bestFoot, phrase("lintInfoTGap", {calcDistance(e, bestFoot), e.X, e.Y}));
      }
    }
  }

  void lineTGap(TPointF e, const TQN_Path &line) {
    const TRectF box = sortedRect(line.FStartPt, line.FEndPt);
    if (!(double(box.Left) - 0.2 <= e.X && e.X <= double(box.Right) + 0.2 && double(box.Top) - 0.2 <= e.Y &&
          e.Y <= double(box.Bottom) + 0.2))
      return;
    const TPointF f = closestPointOnSegment(e, line.FStartPt, line.FEndPt);
    const double d = calcDistance(e, f);
    if (!(d > 0.05 && d <= 0.2) || nearAnEnd(f, line)) return;
    add(TLintKind::lkTGap, f, phrase("lintInfoTGap", {d, e.X, e.Y}));
  }

  const TEditor &FEditor;
  std::vector<TQN_Path *> FCands;
  std::vector<TLintWarning> FWarnings;
  TRectGrid FSeen[4] = {TRectGrid(0.5f), TRectGrid(0.5f), TRectGrid(0.5f), TRectGrid(0.5f)};
  TRectGrid FEnds{0.5f};
  std::vector<int> FHits, FHits2;
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

std::vector<TLintWarning> collectLintWarnings(const TEditor &editor) { return TLintCollector(editor).run(); }

void runDrawingCheck(TEditor &editor) { editor.lint().FLintWarnings = collectLintWarnings(editor); }

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
