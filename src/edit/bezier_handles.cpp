#include "edit/bezier_handles.h"

#include <cmath>
#include <string>

#include "edit/curve_chains.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "tools/dragging.h"
#include "tools/status_info.h"

namespace quillon {

namespace {

// Two chain ends meet when they differ by at most 0.5 mm on each axis.
bool meets(TPointF a, TPointF b) { return std::fabs(a.X - b.X) <= 0.5f && std::fabs(a.Y - b.Y) <= 0.5f; }

// v divided by its length, or (1, 0) when it has (almost) none.
TPointF unitOr10(TPointF v) {
  const float len = float(std::hypot(double(v.X), double(v.Y)));
  return len > 1e-9f ? TPointF(v.X / len, v.Y / len) : TPointF(1.0f, 0.0f);
}

bool isFixed(const TQN_Path &s) { return s.isKind(TShapeKind::Line) || s.isKind(TShapeKind::Arc); }

// The direction of travel (start to end) of a shape at its start or end.
TPointF travelDirection(const TQN_Path &s, bool atStart) {
  switch (s.FShapeType) {
    case TShapeKind::Bezier: return atStart ? unitOr10(s.FBezierCp1 - s.FStartPt) : unitOr10(s.FEndPt - s.FBezierCp2);
    case TShapeKind::Line: return unitOr10(s.FEndPt - s.FStartPt);
    case TShapeKind::Arc: {
      TPointF r = (atStart ? s.FStartPt : s.FEndPt) - s.FCenter;
      const float len = float(std::hypot(double(r.X), double(r.Y)));
      if (len > 1e-9f) r = {r.X / len, r.Y / len};
      const float sign = s.FSweepAngle >= 0.0f ? 1.0f : -1.0f;
      return {-r.Y * sign, r.X * sign};
    }
    default: return {1.0f, 0.0f};
  }
}

bool jointAtStart(const TQN_Path &s, TPointF J) { return meets(J, s.FStartPt); }
TPointF arriving(const TQN_Path &s, TPointF J) {
  return jointAtStart(s, J) ? -travelDirection(s, true) : travelDirection(s, false);
}
TPointF leaving(const TQN_Path &s, TPointF J) {
  return jointAtStart(s, J) ? travelDirection(s, true) : -travelDirection(s, false);
}

// The joint of A and B, or none when their ends do not meet.
bool findJoint(const TQN_Path &A, const TQN_Path &B, TPointF &J) {
  if (meets(A.FEndPt, B.FStartPt) || meets(A.FEndPt, B.FEndPt)) {
    J = A.FEndPt;
    return true;
  }
  if (meets(A.FStartPt, B.FStartPt) || meets(A.FStartPt, B.FEndPt)) {
    J = A.FStartPt;
    return true;
  }
  return false;
}

// Sets the Bezier's handle at the joint and rebuilds it with fresh intersections.
void setHandle(TEditor &editor, TQN_Path &s, TPointF J, TPointF handle, int &count) {
  removeIntersectionsOf(editor.doc().FIntersections, &s);
  if (jointAtStart(s, J))
    s.drawBezierPath(s.FStartPt, handle, s.FBezierCp2, s.FEndPt);
  else
    s.drawBezierPath(s.FStartPt, s.FBezierCp1, handle, s.FEndPt);
  editor.calcIntersectionsOfShape(&s);
  ++count;
}

TPointF handleAt(const TQN_Path &s, TPointF J) { return jointAtStart(s, J) ? s.FBezierCp1 : s.FBezierCp2; }

}  // namespace

void adjustOpponentHandle(TEditor &editor, TOpponentHandle how) {
  const TBezierEditingInfo edited = editor.pointer().FBezierEditInfo;
  if (!edited.IsBezierEditing || !edited.p) return;
  const TQN_Path &E = *edited.p;
  const TPointF J = edited.IsCP1 ? E.FStartPt : E.FEndPt;
  const TPointF C = edited.IsCP1 ? E.FBezierCp1 : E.FBezierCp2;
  const TPointF u = calcUnitVector(C, J);
  const float L = calcDistance(J, C);
  const TBezierEditingInfo O = getOpponentBezierInfo(editor, edited, how == TOpponentHandle::Symmetric);
  if (!O.p) return;

  if (O.p->isKind(TShapeKind::Line)) {
    TQN_Path &line = *O.p;
    removeIntersectionsOf(editor.doc().FIntersections, &line);
    line.drawLinePath(J, J + u * L);
    editor.pointer().FBezierEditInfo.IsBezierEditing = false;
    editor.calcIntersectionsOfShape(&line);
    editor.ui().refreshCanvas();
    takeUndoSnapshot(editor, QStringLiteral("L2677"));
    return;
  }
  const TPointF J2 = O.IsCP1 ? O.p->FStartPt : O.p->FEndPt;
  const TPointF C2 = O.IsCP1 ? O.p->FBezierCp1 : O.p->FBezierCp2;
  TPointF P;
  const char *tag = "";
  switch (how) {
    case TOpponentHandle::Flat:
      P = J2 + u * calcDistance(C2, J2);
      tag = "L2580";
      break;
    case TOpponentHandle::SameLength:
      P = J2 + calcUnitVector(J2, C2) * L;
      tag = "L2616";
      break;
    case TOpponentHandle::Symmetric:
      P = J2 + u * L;
      tag = "L2652";
      break;
  }
  applyBezierControlPoint(editor, O, P);
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QString::fromLatin1(tag));
}

TSmoothResult smoothChain(TEditor &editor, const std::vector<TQN_Path *> &chain, bool g2) {
  TSmoothResult r;
  const std::size_t n = chain.size();
  r.ChainLength = int(n);
  if (n >= 2) {
    const TQN_Path &first = *chain.front(), &last = *chain.back();
    r.ClosedLoop = meets(last.FEndPt, first.FStartPt) || meets(last.FEndPt, first.FEndPt) ||
                   meets(last.FStartPt, first.FStartPt) || meets(last.FStartPt, first.FEndPt);
  }
  const std::size_t joints = n < 2 ? 0 : (r.ClosedLoop ? n : n - 1);

  for (std::size_t i = 0; i < joints; ++i) {
    TQN_Path &A = *chain[i], &B = *chain[(i + 1) % n];
    TPointF J;
    if (!findJoint(A, B, J)) continue;
    const TPointF inA = arriving(A, J), outB = leaving(B, J);
    if (isFixed(A) && isFixed(B)) continue;
    const TPointF T = isFixed(A) ? inA : isFixed(B) ? outB : unitOr10(inA + outB);
    if (std::fabs(T.X) + std::fabs(T.Y) < 1e-6f) continue;
    if (A.isKind(TShapeKind::Bezier)) {
      const float L = calcDistance(J, handleAt(A, J));
      if (L > 1e-6f) setHandle(editor, A, J, J - T * L, r.UpdatedCount);
    }
    if (B.isKind(TShapeKind::Bezier)) {
      const float L = calcDistance(J, handleAt(B, J));
      if (L > 1e-6f) setHandle(editor, B, J, J + T * L, r.UpdatedCount);
    }
  }

  if (g2) {
    for (std::size_t i = 0; i < joints; ++i) {
      TQN_Path &A = *chain[i], &B = *chain[(i + 1) % n];
      if (!A.isKind(TShapeKind::Bezier) || !B.isKind(TShapeKind::Bezier)) continue;
      TPointF J;
      if (!findJoint(A, B, J)) continue;
      const TPointF hA = handleAt(A, J), hB = handleAt(B, J);
      const double LA = std::hypot(double(J.X) - hA.X, double(J.Y) - hA.Y);
      const double LB = std::hypot(double(J.X) - hB.X, double(J.Y) - hB.Y);
      if (LA < 1e-6 && LB < 1e-6) continue;
      const double Lm = (LA + LB) * 0.5;
      const TPointF u = unitOr10(J - hA);
      if (std::fabs(LA - Lm) > 1e-4) setHandle(editor, A, J, J - u * float(Lm), r.UpdatedCount);
      if (std::fabs(LB - Lm) > 1e-4) setHandle(editor, B, J, J + u * float(Lm), r.UpdatedCount);
    }
  }
  takeUndoSnapshot(editor, g2 ? QStringLiteral("smoothChainG2") : QStringLiteral("smoothChainG1"));
  editor.ui().refreshCanvas();
  return r;
}

std::string smoothReplyText(const TSmoothResult &result) {
  return "{\"ok\":true,\"updatedCount\":" + std::to_string(result.UpdatedCount) +
         ",\"closedLoop\":" + (result.ClosedLoop ? "true" : "false") +
         ",\"chainLength\":" + std::to_string(result.ChainLength) + "}";
}

void actBezierSmoothingExecute(TEditor &editor, bool g2) {
  std::vector<TQN_Path *> beziers;
  for (TQN_Path *s : getSelectedPaths(editor, true, true))
    if (s->isKind(TShapeKind::Bezier)) beziers.push_back(s);
  if (beziers.empty()) return;
  const std::vector<TQN_Path *> chain = beziers.size() == 1 ? collectShapeChain(editor, beziers.front()) : beziers;
  const std::string reply = chain.empty() ? std::string(R"({"ok":false,"error":"no shapes in chain"})")
                                          : smoothReplyText(smoothChain(editor, chain, g2));
  editor.FIDText = QString::fromStdString(reply);
  showInfoTexts(editor);
}

void actShowHideBezierOffsetSupportExecute(TEditor &editor) {
  int count = 0;
  for (TQN_Path *s : getSelectedPaths(editor, true, true)) {
    if (!s->isKind(TShapeKind::Bezier)) continue;
    s->FShowBezierOffsetSupport = !s->FShowBezierOffsetSupport;
    ++count;
  }
  if (count == 0) return;
  takeUndoSnapshot(editor, QStringLiteral("L7009"));
  editor.ui().refreshCanvas();
}

}  // namespace quillon
