#include "edit/mirror_flip.h"

#include <cmath>
#include <map>
#include <memory>
#include <numbers>

#include "edit/rotate_scale_align.h"
#include "edit/shape_geometry.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_bounds.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "stitching/hole_shape.h"

namespace quillon {

namespace {

// An angle brought into 0..360.
float wrap360(float a) {
  while (a < 0.0f) a += 360.0f;
  while (a > 360.0f) a -= 360.0f;
  return a;
}

// The outline of a free outline mapped by the reflection across the line through
// `origin` along u.
void reflectOutline(TQN_Path &shape, TPointF origin, TPointF u) {
  TMatrix m;
  m.m11 = double(u.X) * u.X - double(u.Y) * u.Y;
  m.m12 = 2.0 * u.X * u.Y;
  m.m21 = m.m12;
  m.m22 = -m.m11;
  shape.Data().Translate(-origin.X, -origin.Y);
  shape.Data().ApplyMatrix(m);
  shape.Data().Translate(origin.X, origin.Y);
  refreshFrame(shape);
}

}  // namespace

TPointF flipPoint(TPointF p, TPointF centre, bool horizontal) {
  return horizontal ? TPointF(2.0f * centre.X - p.X, p.Y) : TPointF(p.X, 2.0f * centre.Y - p.Y);
}

void flipShape(TEditor &editor, TQN_Path &s, TPointF c, bool horizontal) {
  const auto f = [&](TPointF p) { return flipPoint(p, c, horizontal); };
  switch (s.FShapeType) {
    case TShapeKind::Line: {
      const bool freeAngle = s.FIsFreeAngle;
      s.drawLinePath(f(s.FStartPt), f(s.FEndPt));
      s.FIsFreeAngle = freeAngle;
      break;
    }
    case TShapeKind::Bezier: s.drawBezierPath(f(s.FStartPt), f(s.FBezierCp1), f(s.FBezierCp2), f(s.FEndPt)); break;
    case TShapeKind::Arc:
      s.drawArcPath(f(s.FCenter), {s.FWidth, s.FHeight}, f(s.FStartPt), f(s.FEndPt), -s.FSweepAngle);
      break;
    case TShapeKind::Ellipse: s.drawEllipsePath(f(s.FCenter), s.FWidth, s.FHeight); break;
    case TShapeKind::Dot: s.drawDotPath(f(s.FCenter), editor.display().FStrokeDefs.DotRadius); break;
    case TShapeKind::Hole: {
      const float r = wrap360(s.FRotation);
      remakeHole(s, f(s.FCenter), wrap360(horizontal ? 180.0f - r : 360.0f - r));
      break;
    }
    case TShapeKind::Other:
      reflectOutline(s, c, horizontal ? TPointF(0.0f, 1.0f) : TPointF(1.0f, 0.0f));
      break;
    default: break;
  }
}

void actFlipSelectedPathsExecute(TEditor &editor, bool horizontal) {
  const std::vector<TQN_Path *> sel = getSelectedPaths(editor, false, false);
  const TPointF c = getShapesCenter(sel);
  int count = 0;
  for (TQN_Path *s : sel) {
    removeIntersectionsOf(editor.doc().FIntersections, s);
    flipShape(editor, *s, c, horizontal);
    editor.calcIntersectionsOfShape(s);
    ++count;
  }
  editor.ui().refreshCanvas();
  if (count > 0) takeUndoSnapshot(editor, QStringLiteral("L4830"));
}

float mirroredHoleRotation(float rotation, float lineAngle) {
  // A hole turned by r mirrored across a line at angle a is turned by 2a - r: across a
  // vertical line 180 - r, across a horizontal one 360 - r, as the flips do.
  return wrap360(wrap360(2.0f * lineAngle - wrap360(rotation)));
}

TPointF reflectAcrossLine(TPointF p, TPointF origin, TPointF u) {
  const double dx = double(p.X) - origin.X, dy = double(p.Y) - origin.Y;
  const double along = dx * u.X + dy * u.Y;
  const double fx = origin.X + along * u.X, fy = origin.Y + along * u.Y;
  return {float(2.0 * fx - p.X), float(2.0 * fy - p.Y)};
}

void actLineSymmetryExecute(TEditor &editor) {
  for (TQN_Path *s : getSelectedPaths(editor, false, false)) {
    s->FIsSymmetryTarget = true;
    s->SetSelected(false);
  }
  editor.tool().FInLineSymmetryMode = true;
  editor.ui().refreshCanvas();
}

void commitLineSymmetry(TEditor &editor, TQN_Path &line) {
  std::vector<TQN_Path *> targets;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (!s->FIsSymmetryTarget) continue;
    s->FIsSymmetryTarget = false;
    targets.push_back(s);
  }
  mirrorCopyShapes(editor, targets, line);
  editor.tool().FInLineSymmetryMode = false;
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L27109"));
}

bool mirrorCopyShapes(TEditor &editor, const std::vector<TQN_Path *> &shapes, TQN_Path &line) {
  if (straightenToAxis(line, TAxisMode::Automatic, false, 0.5f)) {
    removeIntersectionsOf(editor.doc().FIntersections, &line);
    editor.calcIntersectionsOfShape(&line);
  }
  TPointF u = calcUnitVector(line.FStartPt, line.FEndPt);
  if (std::fabs(u.X) < 0.00001f && std::fabs(u.Y) > 0.99999f) u = {0.0f, 1.0f};
  const TPointF origin = line.FStartPt;
  const float lineAngle = float(std::atan2(double(u.Y), double(u.X)) * 180.0 / std::numbers::pi);
  const auto m = [&](TPointF p) { return reflectAcrossLine(p, origin, u); };

  std::map<int, TQN_Path *> copyOf;  // source ID -> its copy
  std::vector<TQN_Path *> copies;
  for (TQN_Path *s : shapes) {
    s->SetSelected(false);
    s->FIsSymmetryTarget = false;
    if (s == &line) continue;
    std::unique_ptr<TQN_Path> c(s->createCopy());
    c->updateId(editor.doc().PathList().getNextID());
    const TPointF st = m(s->FStartPt), ep = m(s->FEndPt), ct = m(s->GetCenter());
    switch (s->FShapeType) {
      case TShapeKind::Line: {
        const bool freeAngle = s->FIsFreeAngle;
        c->drawLinePath(st, ep);
        c->FIsFreeAngle = freeAngle;
        break;
      }
      case TShapeKind::Bezier: c->drawBezierPath(st, m(s->FBezierCp1), m(s->FBezierCp2), ep); break;
      case TShapeKind::Arc: c->drawArcPath(ct, {s->FWidth, s->FHeight}, st, ep, -s->FSweepAngle); break;
      case TShapeKind::Ellipse: c->drawEllipsePath(ct, c->FWidth, c->FHeight); break;
      case TShapeKind::Dot: c->drawDotPath(ct, s->FWidth / 2.0f); break;
      case TShapeKind::Hole: remakeHole(*c, ct, mirroredHoleRotation(s->FRotation, lineAngle)); break;
      case TShapeKind::Text:
        c->drawTextPath(s->FText, st, s->FFontSize, s->FRotation - 180.0f, s->FFontFamily, s->FTextRadius,
                        s->FTextStretch);
        c->FRotation = s->FRotation - 180.0f;
        c->FTextFill = s->FTextFill;
        break;
      case TShapeKind::Other: reflectOutline(*c, origin, u); break;
      default: break;
    }
    c->SetSelected(true);
    const int sourceId = s->ID();
    TQN_Path *added = editor.doc().add(std::move(c), editor.FActiveLayer);
    copyOf[sourceId] = added;
    copies.push_back(added);
    editor.calcIntersectionsOfShape(added);
  }
  // A mirrored seam is linked among its own holes, never to the seam it came from.
  const auto relink = [&](int id) {
    const auto it = copyOf.find(id);
    return it == copyOf.end() ? -1 : it->second->ID();
  };
  for (TQN_Path *c : copies) {
    if (!c->isKind(TShapeKind::Hole)) continue;
    c->FPrevStitchID = relink(c->FPrevStitchID);
    c->FNextStitchID = relink(c->FNextStitchID);
  }
  return !copies.empty();
}

void actMakeSelectedLineAxisExecute(TEditor &editor, bool horizontal) {
  TQN_Path *ref = editor.pointer().FLastRightClickMousePosItem;
  if (!ref || !editor.doc().contains(ref) || !ref->isKind(TShapeKind::Line)) return;
  const TPointF d = ref->FEndPt - ref->FStartPt;
  float theta = calcAngleBetween(d, horizontal ? TPointF(100.0f, 0.0f) : TPointF(0.0f, 100.0f));
  if (theta > 90.0f) theta -= 180.0f;
  const TPointF plus = rotateVector(d, theta), minus = rotateVector(d, -theta);
  const bool byPlus = horizontal ? std::fabs(minus.Y) > std::fabs(plus.Y) : std::fabs(minus.X) > std::fabs(plus.X);
  rotateSelection(editor, byPlus ? theta : -theta, true);
}

void actReversePathExecute(TEditor &editor) {
  int count = 0;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (!s->FSelected) continue;
    if (s->isKind(TShapeKind::Line) || s->isKind(TShapeKind::Arc) || s->isKind(TShapeKind::Bezier)) ++count;
    s->reversePath();
  }
  editor.ui().refreshCanvas();
  if (count > 0) takeUndoSnapshot(editor, QStringLiteral("actReversePath"));
}

}  // namespace quillon
