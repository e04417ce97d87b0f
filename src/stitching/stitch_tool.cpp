#include "stitching/stitch_tool.h"

#include <QPainter>

#include <algorithm>
#include <memory>
#include <vector>

#include "edit/closed_chains.h"
#include "edit/shape_geometry.h"
#include "model/draw_pallet.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/route_network.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/input.h"
#include "render/rulers.h"
#include "render/shape_painters.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/undo.h"
#include "shell/view_transform.h"
#include "stitching/hole_placement.h"
#include "stitching/loop_pricking.h"
#include "stitching/pricking_iron.h"
#include "stitching/route_pricking.h"
#include "stitching/stitch_state.h"
#include "tools/dragging.h"
#include "tools/hit_test.h"
#include "tools/snapping.h"
#include "tools/tool_change.h"

namespace quillon {

namespace {

constexpr float kIntersectionPullPx = 10.0f;     // a click this near an intersection acts on it
constexpr TAlphaColor kReachCircleColor = 0xFFADFF2F;

// The prongs a press uses: positions first..last of 0..FNextHoleCnt pitches along the
// press. `preview` gives the range the preview shows, which differs for the first press.
void pressRange(const TEditor &editor, bool preview, int &first, int &last) {
  const TToolState &tool = editor.tool();
  const int blades = tool.FSelectedNumOfBlades;
  const int count = tool.FStitchingCount;
  if (blades <= 1) {
    if (preview) {
      first = last = count < 2 ? 0 : 1;
    } else {
      first = count <= 2 ? 0 : 1;
      last = 1;
    }
  } else if (preview ? count == 1 : count == 2) {
    first = 0;
    last = blades - 1;
  } else {
    first = 1;
    last = blades;
  }
  if (hasShift(editor.pointer().FLastShiftState) || tool.FSkipFirstStitch) ++first;
}

// The pricking tab's pitch: the closeness and link distance of a press.
float pitchBoxValue(const TEditor &editor) { return editor.panel().FixedPitchLen; }

// A loop click at the pixel: the one shape under it (active layer) and its closed loop.
void prickLoopAt(TEditor &editor, float X, float Y) {
  const std::vector<TQN_Path *> hits =
      shapesAtScreenPoint(editor, editor.doc().PathList(), false, X, Y, true, false, false);
  if (hits.size() != 1) return;
  TQN_Path *shape = hits.front();
  std::vector<TQN_Path *> loop;
  TPointF start;
  const char *tag = nullptr;
  if (shape->isKind(TShapeKind::Ellipse)) {
    TPointF second;
    shape->getFirstTwoPoints(start, second);
    loop = {shape};
    tag = "L27876";
  } else if (shape->isKind(TShapeKind::Line) || shape->isKind(TShapeKind::Bezier) ||
             shape->isKind(TShapeKind::Arc)) {
    loop = getClosedChain(editor.doc().PathList(), shape);
    start = shape->FStartPt;
    tag = "L27896";
  }
  if (loop.empty()) return;
  THolePlacer placer(editor);
  if (!placer.Ready()) return;
  const TLoopPricking result = placeHolesOnLoop(placer, loop, start);
  takeUndoSnapshot(editor, QString::fromLatin1(tag));
  switchToSelectTool(editor);
  showPrickedHoles(editor, result.Count, QStringLiteral("AutoPitch"), result.ActualPitch);
}

}  // namespace

bool pressPrickingIron(TEditor &editor, TPointF RealPos, float pitch) {
  THolePlacer placer(editor);
  if (!placer.Ready()) return false;
  TToolState &tool = editor.tool();
  const float ironPitch = tool.FSelectedPrickingIron->Pitch;
  float angle = 0.0f;
  const TPointF from = tool.FStitchRealLastPos;
  const TPointF direction = unitDirectionAndAngle(from, RealPos, angle);
  int first = 0, last = 0;
  pressRange(editor, false, first, last);
  bool created = false;
  for (int i = first; i <= std::min(last, tool.FNextHoleCnt); ++i) {
    const TPointF position = from + direction * (float(i) * ironPitch);
    if (placer.findHoleNear(position, pitch / 2.0f)) continue;
    std::unique_ptr<TQN_Path> hole = placer.newHole(position, angle);
    linkToLastStitch(editor, *hole, pitch);
    placer.addHole(std::move(hole));
    tool.FStitchRealLastPos = position;
    created = true;
  }
  return created;
}

void placeStitchingHoles(TEditor &editor, float X, float Y) {
  TToolState &tool = editor.tool();
  TDocument &doc = editor.doc();
  TPointF P = editor.snap().FStickyExists ? editor.snap().FStickyPoint : virtualToRealXY(editor, X, Y, true);
  if (doc.FIntersections.Count() > 0) {
    const TPointF near = nearestIntersectionPoint(doc.FIntersections, P);
    const float scale = editor.view().FScale > 0.0f ? editor.view().FScale : 1.0f;
    if (calcDistance(near, P) <= kIntersectionPullPx / scale) P = near;
  }
  TEdgeDraggingList edges = collectEdgeDragInfos(editor, P);
  // Edge records go on every way out (with them the pointer's snap points).
  struct TRelease {
    TEditor &Editor;
    TEdgeDraggingList &Edges;
    ~TRelease() { clearEdgeDragInfos(Editor, Edges); }
  } release{editor, edges};

  if (tool.FStitchingCount < 1 && edges.empty()) {
    prickLoopAt(editor, X, Y);
    return;
  }

  // The route network from the origin: a click on one of its vertices pricks the route.
  std::unique_ptr<TVertexNetwork> network;
  const TRouteVertex *vertex = nullptr;
  if (tool.FStitchingCount > 0) {
    network = std::make_unique<TVertexNetwork>(doc.PathList(), doc.FIntersections);
    network->dpConnect(tool.FStitchRealOrigin, P);
    vertex = network->GetVertex(P);
    if (!isOnStitchIntersection(doc.FStitchIntersections, P) && !vertex) return;
  }

  ++tool.FStitchingCount;
  if (tool.FStitchingCount == 1) {
    tool.FStitchRealOrigin = P;
    tool.FStitchRealLastPos = P;
    tool.FSkippedStartStitch = findHoleNear(editor, P, pitchBoxValue(editor) / 2.0f);
    tool.FSkipFirstStitch = tool.FSkippedStartStitch != nullptr;
  } else {
    if (tool.FSelectedNumOfBlades > 1 || tool.FStitchingCount > 2) tool.FSkipFirstStitch = false;
    if (vertex) {
      prickRouteToVertex(editor, *network, vertex, P);
      return;
    }
    if (pressPrickingIron(editor, P, pitchBoxValue(editor))) takeUndoSnapshot(editor, QStringLiteral("L28243"));
  }
  doc.FStitchIntersections.FreeAll();
  updateIronReach(editor);
}

void stitchBetweenPoints(TEditor &editor, TPointF P1, TPointF P2) {
  const TPointF a = realToVirtual(editor.view(), P1);
  placeStitchingHoles(editor, a.X, a.Y);
  const TPointF b = realToVirtual(editor.view(), P2);
  placeStitchingHoles(editor, b.X, b.Y);
}

void drawPrickingIronPreview(TEditor &editor, QPainter &canvas) {
  const TToolState &tool = editor.tool();
  if (!tool.FIsStitchTool || tool.FStitchingCount <= 0 || !tool.FSelectedPrickingIron) return;
  canvas.save();
  TDocument &doc = editor.doc();
  if (editor.snap().FStickyExists) {
    TVertexNetwork network(doc.PathList(), doc.FIntersections);
    network.dpConnect(tool.FStitchRealOrigin, editor.snap().FStickyPoint);
    if (const TRouteVertex *v = network.GetVertex(editor.snap().FStickyPoint)) drawRoutePath(editor, canvas, network, v);
  }

  const TPointF mouse = virtualToReal(editor, editor.pointer().FLastMousePos, true);
  const TPointF from = tool.FStitchingCount == 1 ? tool.FStitchRealOrigin : tool.FStitchRealLastPos;
  float angle = 0.0f;
  const TPointF direction = unitDirectionAndAngle(from, mouse, angle);
  int first = 0, last = 0;
  pressRange(editor, true, first, last);

  const float pitch = tool.FSelectedPrickingIron->Pitch;
  const float reach = float(tool.FNextHoleCnt) * pitch;
  const TPointF topLeft = realToVirtual(editor.view(), tool.FStitchRealLastPos - TPointF(reach, reach));
  const TPointF bottomRight = realToVirtual(editor.view(), tool.FStitchRealLastPos + TPointF(reach, reach));
  setCanvasStroke(canvas, kReachCircleColor, 0.8f, TStrokeDash::Solid);
  canvas.setBrush(Qt::NoBrush);
  canvas.setOpacity(1.0);
  canvas.drawEllipse(QRectF(QPointF(topLeft.X, topLeft.Y), QPointF(bottomRight.X, bottomRight.Y)));

  for (int i = first; i <= std::min(last, tool.FNextHoleCnt); ++i) {
    const TPointF position = tool.FStitchRealLastPos + direction * (float(i) * pitch);
    TQN_Path hole(kStitchingHolePalletIndex, editor.display().FColor_StitchingHole, 1.0f, TStrokeDash::Dot, -1);
    hole.createStichPath(position, tool.FIsInvertedStitchMode, tool.FSelectedPrickingIron, angle, 0.0f);
    pathToVirtual(editor.view(), hole, editor.view().FOffset);
    const TPointF centre = realToVirtual(editor.view(), position);
    canvas.setPen(Qt::NoPen);
    canvas.setBrush(QColor::fromRgba(hole.FColor));
    canvas.setOpacity(0.6);
    canvas.drawEllipse(QPointF(centre.X, centre.Y), 3.0, 3.0);
    setCanvasStroke(canvas, hole.FColor, 1.5f, hole.FDash);
    canvas.setBrush(Qt::NoBrush);
    canvas.setOpacity(0.7);
    canvas.drawPath(toPainterPath(hole.Data()));
  }
  canvas.restore();
}

}  // namespace quillon
