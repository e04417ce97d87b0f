#include "edit/resolve_issues.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "edit/drawing_check.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/undo.h"

namespace quillon {

namespace {

constexpr const char *kResolveUndoReason = "L10335";

// One run of the repair: the shapes touched so far, each once, in the order first touched.
class TRepairRun {
 public:
  explicit TRepairRun(TEditor &editor) : FEditor(editor) {}

  // Moves an end of a LINE, ARC or BEZIER to p, touching it first; other kinds stay.
  void moveEnd(TQN_Path &shape, bool atStart, TPointF p) {
    if (!isLineArcOrBezier(&shape)) return;
    touch(shape);
    moveShapeEnd(shape, atStart, p);
  }
  // Moves the end of the shape nearer to p (the start on a tie) to p.
  void moveNearerEnd(TQN_Path &shape, TPointF p) {
    moveEnd(shape, calcDistance(shape.FStartPt, p) <= calcDistance(shape.FEndPt, p), p);
  }
  void touch(TQN_Path &shape) {
    if (std::find(FTouched.begin(), FTouched.end(), &shape) != FTouched.end()) return;
    removeIntersectionsOf(FEditor.doc().FIntersections, &shape);
    FTouched.push_back(&shape);
  }
  const std::vector<TQN_Path *> &touched() const { return FTouched; }

 private:
  TEditor &FEditor;
  std::vector<TQN_Path *> FTouched;
};

struct TCrossing {
  TPointF Point;
  TQN_Path *Other;
};

}  // namespace

void resolveIssues(TEditor &editor, TQN_Path *shape) {
  TShapeList &doc = editor.doc().PathList();
  if (!editor.doc().contains(shape) || !isLintCandidate(doc, shape)) return;
  TQN_Path &S = *shape;
  TRepairRun run(editor);

  // Crossings at an end of S and of another LINE, ARC or BEZIER, noted before anything moves.
  std::vector<TCrossing> crossings;
  if (isLineArcOrBezier(&S)) {
    for (const TIntersection *ict : editor.doc().FIntersections) {
      if (!ict->FIsCrossing || !ict->FPath1 || !ict->FPath2) continue;
      TQN_Path *other = ict->FPath1 == &S ? ict->FPath2 : (ict->FPath2 == &S ? ict->FPath1 : nullptr);
      if (!other || !isLintCandidate(doc, other) || !isLineArcOrBezier(other)) continue;
      const TPointF p = ict->FPoint;
      const bool nearS = isNearPoint(p, S.FStartPt) || isNearPoint(p, S.FEndPt);
      const bool nearO = isNearPoint(p, other->FStartPt) || isNearPoint(p, other->FEndPt);
      if (nearS && nearO) crossings.push_back({p, other});
    }
  }

  // Gaps at both ends: a LINE gives way to a curve; between two curves S's end moves.
  for (const bool atStart : {true, false}) {
    TQN_Path *partner = nullptr;
    TPointF q;
    const TPointF own = atStart ? S.FStartPt : S.FEndPt;
    if (!findGapPartner(doc, &S, own, partner, q)) continue;
    if (S.isKind(TShapeKind::Line) || !partner->isKind(TShapeKind::Line))
      run.moveEnd(S, atStart, q);
    else
      run.moveNearerEnd(*partner, own);
  }

  for (const TCrossing &c : crossings) {
    run.moveNearerEnd(S, c.Point);
    run.moveNearerEnd(*c.Other, c.Point);
  }

  // Tilt: the end nearer to the right click moves onto the other end's axis.
  if (S.isKind(TShapeKind::Line) && isSlightlyOffAxis(calcLineAngle(S))) {
    float a = calcLineAngle(S);
    while (a <= -90.0f) a += 180.0f;
    while (a > 90.0f) a -= 180.0f;
    const bool horizontal = std::fabs(a) <= 45.0f;
    const TPointF click = editor.pointer().FLastRightClickRealPos;
    const bool moveStart = calcDistance(S.FStartPt, click) <= calcDistance(S.FEndPt, click);
    TPointF st = S.FStartPt, ep = S.FEndPt;
    TPointF &moved = moveStart ? st : ep;
    const TPointF fixed = moveStart ? ep : st;
    if (horizontal)
      moved.Y = fixed.Y;
    else
      moved.X = fixed.X;
    run.touch(S);
    S.drawLinePath(st, ep);
  }

  if (isLineArcOrBezier(&S)) {
    for (const bool atStart : {true, false}) {
      TPointF foot;
      if (findLineTGapPartner(doc, atStart ? S.FStartPt : S.FEndPt, &S, foot)) run.moveEnd(S, atStart, foot);
    }
    for (const bool atStart : {true, false}) {
      TPointF foot;
      if (findArcTGapPartner(doc, atStart ? S.FStartPt : S.FEndPt, &S, foot)) run.moveEnd(S, atStart, foot);
    }
  }

  if (run.touched().empty()) return;
  for (TQN_Path *t : run.touched()) editor.calcIntersectionsOfShape(t);
  invalidateSelectedGroupBounds(editor);
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QString::fromLatin1(kResolveUndoReason));
  editor.ui().refreshCanvas();
}

void resolveIssuesOfClickedShape(TEditor &editor) {
  TQN_Path *shape = editor.pointer().FLastRightClickMousePosItem;
  if (shape) resolveIssues(editor, shape);
}

}  // namespace quillon
