#include "tools/dragging.h"
#include "edit/move_shapes.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>
#include <numbers>

#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "render/paint.h"
#include "shell/editor.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
#include "shell/view_transform.h"

namespace quillon {
namespace {

using test::pointNear;

// A view of 10 pixels per millimetre with the drawing origin at pixel (100, 100); the
// grid is off unless a test turns it on, so only the shapes of the test attract snaps.
class DraggingTest : public test::EditorTest {
 protected:
  void SetUp() override {
    editor.view().FScale = 10.0f;
    editor.view().FOffset = {100.0f, 100.0f};
    editor.display().FShowGrid = false;
    editor.tool().FTool = TTool::Select;
  }

  TPointF px(TPointF real) const { return realToVirtual(editor.view(), real); }

  std::unique_ptr<TQN_Path> newShape() {
    return std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  }
  TQN_Path *put(std::unique_ptr<TQN_Path> s) { return editor.doc().add(std::move(s), 0); }
  TQN_Path *addArc(TPointF c, float r, float startDeg, float sweep) {
    std::unique_ptr<TQN_Path> s = newShape();
    const double a = startDeg * std::numbers::pi / 180.0;
    const TPointF st{static_cast<float>(c.X + r * std::cos(a)), static_cast<float>(c.Y + r * std::sin(a))};
    s->drawArcPath(c, {r, r}, st, rotatePoint(st, c, sweep), sweep);
    return put(std::move(s));
  }
  TQN_Path *addBezier(TPointF a, TPointF c1, TPointF c2, TPointF b) {
    std::unique_ptr<TQN_Path> s = newShape();
    s->drawBezierPath(a, c1, c2, b);
    return put(std::move(s));
  }
  TQN_Path *addEllipse(TPointF c, float w, float h) {
    std::unique_ptr<TQN_Path> s = newShape();
    s->drawEllipsePath(c, w, h);
    return put(std::move(s));
  }
  TQN_Path *addDot(TPointF c, float r) {
    std::unique_ptr<TQN_Path> s = newShape();
    s->drawDotPath(c, r);
    return put(std::move(s));
  }

  // What the press and the drag-start detection leave for a shape drag from `at`.
  void beginShapeDrag(TPointF at) {
    editor.pointer().FFirstMousePos = editor.pointer().FLastMousePos = px(at);
    editor.pointer().FCummulativeShiftDistance = {0.0f, 0.0f};
    editor.pointer().FIsMouseDown = true;
    editor.pointer().FIsShapeDragging = true;
    editor.pointer().FDragStartPrint = selectionFingerprint(editor);
    editor.pointer().FDragPrintValid = true;
  }
  // One move of the pointer to a drawing-box pixel, as the move handler passes it on.
  void moveTo(TPointF pixel, TShiftState shift = 0) {
    dragSelectedShapes(editor, pixel.X, pixel.Y, shift);
    editor.pointer().FLastMousePos = pixel;
    editor.pointer().FLastShiftState = shift;
  }
  // An edge drag of the records under the pixel `from`, the pointer now at `to`.
  void edgeDrag(TPointF from, TPointF to, TShiftState shift = 0) {
    ASSERT_TRUE(detectEdgeDragStart(editor, editor.pointer().FDraggingEdges, from.X, from.Y, false));
    editor.pointer().FIsEdgeDragging = true;
    editor.pointer().FLastMousePos = to;
    editor.pointer().FLastShiftState = shift;
  }
  struct TGeometry {
    TPointF start, end, startPx, endPx;
    float sweep = 0.0f;
  };
  TGeometry geometry(const TQN_Path &s) const {
    TGeometry g;
    draggedEdgeGeometry(editor, s, g.start, g.end, g.startPx, g.endPx, g.sweep);
    return g;
  }
};

// --- Collecting the records at a point ------------------------------------------------

TEST_F(DraggingTest, CollectKeepsOnlyTheNearestRecordsOfEveryLayerAndSelection) {
  doc().addLayer(1, QStringLiteral("Hidden"), false);
  const TPointF J{10.0f, 10.0f};
  TQN_Path *a = addLine({0, 10}, J);
  TQN_Path *b = addLine(J, {10, 20}, 1);  // on a hidden layer, unselected: still taken
  TIntersection *near = new TIntersection({10.05f, 10.0f}, a, b);
  editor.doc().FIntersections.Add(near);

  struct Case {
    TPointF p;
    int ends;           // line-end records expected
    bool intersection;  // the intersection record expected
  } cases[] = {
      {J, 2, false},                 // the joint itself: both ends, the intersection 0.05 away left out
      {{10.04f, 10.0f}, 0, true},    // nearer to the intersection (0.01) than to the ends (0.04)
      {{10.2f, 10.0f}, 0, false},    // nothing within 0.1 mm
      {{9.95f, 10.0f}, 2, false},    // ends 0.05 away, intersection 0.1 away
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "p=(" << c.p.X << ", " << c.p.Y << ")");
    const TEdgeDraggingList records = collectEdgeDragInfos(editor, c.p);
    int ends = 0;
    bool sawIntersection = false;
    for (const auto &r : records) {
      if (r->FIntersection) {
        sawIntersection = true;
        EXPECT_EQ(r->FIntersection, near);
        EXPECT_EQ(r->QNPath, nullptr);
      } else {
        ++ends;
        EXPECT_TRUE((r->QNPath == a && r->DraggingEndPt && !r->DraggingStartPt) ||
                    (r->QNPath == b && r->DraggingStartPt && !r->DraggingEndPt));
      }
    }
    EXPECT_EQ(ends, c.ends);
    EXPECT_EQ(sawIntersection, c.intersection);
  }
}

TEST_F(DraggingTest, CollectKeepsTiesIncludingAnIntersectionAtTheSamePoint) {
  const TPointF J{10.0f, 10.0f};
  TQN_Path *a = addLine({0, 10}, J);
  TQN_Path *b = addLine(J, {10, 20});
  editor.doc().FIntersections.Add(new TIntersection(J, a, b));
  const TEdgeDraggingList records = collectEdgeDragInfos(editor, {10.03f, 10.0f});
  ASSERT_EQ(records.size(), 3u);
  for (const auto &r : records) EXPECT_NEAR(r->Distance, 0.03f, 1e-5f);
}

TEST_F(DraggingTest, ClearEmptiesTheRecordsAndTheExtraSnapPoints) {
  addLine({0, 0}, {1, 0});
  TEdgeDraggingList records = collectEdgeDragInfos(editor, {0, 0});
  ASSERT_EQ(records.size(), 1u);
  editor.snap().FSnapPoints = {{1, 1}, {2, 2}};
  clearEdgeDragInfos(editor, records);
  EXPECT_TRUE(records.empty());
  EXPECT_TRUE(editor.snap().FSnapPoints.empty());
}

// --- Detecting the handles under the pointer --------------------------------------------

TEST_F(DraggingTest, DetectFindsEndsOfSelectedLinesWithinTenPixelsInclusive) {
  TQN_Path *line = addLine({0, 0}, {10, 0});  // pixels (100, 100) to (200, 100)
  TQN_Path *unselected = addLine({0, 5}, {10, 5});
  TQN_Path *shortLine = addLine({0, 20}, {0.5f, 20});  // both ends within reach of one point
  line->SetSelected(true);
  shortLine->SetSelected(true);
  (void)unselected;
  TEdgeDraggingList &records = editor.pointer().FDraggingEdges;

  EXPECT_TRUE(detectEdgeDragStart(editor, records, 110.0f, 100.0f, false));  // exactly 10 px
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]->QNPath, line);
  EXPECT_TRUE(records[0]->DraggingStartPt);

  EXPECT_TRUE(detectEdgeDragStart(editor, records, 193.0f, 100.0f, false));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(records[0]->DraggingEndPt);

  EXPECT_FALSE(detectEdgeDragStart(editor, records, 110.5f, 100.0f, false));
  EXPECT_TRUE(records.empty());
  EXPECT_FALSE(detectEdgeDragStart(editor, records, 100.0f, 150.0f, false));  // the unselected line's start

  EXPECT_TRUE(detectEdgeDragStart(editor, records, 102.0f, 300.0f, false));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[0]->DraggingStartPt);
  EXPECT_TRUE(records[1]->DraggingEndPt);
}

TEST_F(DraggingTest, DetectOnASelectedEllipseStartsAShapeDragFromItsCentreOrCorner) {
  TQN_Path *e = addEllipse({20, 20}, 10, 6);  // centre pixel (300, 300), box corners +-50, +-30
  e->SetSelected(true);
  TEdgeDraggingList &records = editor.pointer().FDraggingEdges;

  EXPECT_FALSE(detectEdgeDragStart(editor, records, 300.0f, 300.0f, false));
  EXPECT_FALSE(editor.pointer().FIsShapeDragging);

  EXPECT_TRUE(detectEdgeDragStart(editor, records, 305.0f, 300.0f, true));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(records[0]->DraggingStartPt);
  EXPECT_TRUE(editor.pointer().FIsShapeDragging);
  EXPECT_TRUE(editor.pointer().FIsRotationCenterSpecified);
  EXPECT_TRUE(pointNear(editor.pointer().FRotationCenter, {20, 20}));

  editor.pointer().FIsShapeDragging = false;
  editor.pointer().FIsRotationCenterSpecified = false;
  for (TPointF corner : {TPointF{350, 330}, TPointF{250, 270}, TPointF{350, 270}, TPointF{250, 330}}) {
    SCOPED_TRACE(testing::Message() << "corner " << corner.X << "," << corner.Y);
    EXPECT_TRUE(detectEdgeDragStart(editor, records, corner.X + 7.0f, corner.Y, true));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0]->DraggingEndPt);
    EXPECT_TRUE(editor.pointer().FIsShapeDragging);
    EXPECT_FALSE(editor.pointer().FIsRotationCenterSpecified);
  }
  EXPECT_FALSE(detectEdgeDragStart(editor, records, 350.0f, 338.0f, true));  // 8 px from a corner
}

TEST_F(DraggingTest, DetectTakesADotOrHoleCentreOnlyWhenItIsTheOneSelectedShape) {
  TQN_Path *dot = addDot({5, 5}, 1.0f);
  TQN_Path *hole = addHole({10, 5});
  TQN_Path *other = addLine({0, 30}, {10, 30});
  TEdgeDraggingList &records = editor.pointer().FDraggingEdges;
  for (TQN_Path *s : {dot, hole}) {
    SCOPED_TRACE(s->kindName().toStdString());
    s->SetSelected(true);
    const TPointF c = px(s->FStartPt);
    EXPECT_TRUE(detectEdgeDragStart(editor, records, c.X, c.Y + 7.0f, false));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->QNPath, s);
    EXPECT_TRUE(records[0]->DraggingStartPt);
    EXPECT_FALSE(detectEdgeDragStart(editor, records, c.X, c.Y + 7.5f, false));
    other->SetSelected(true);
    EXPECT_FALSE(detectEdgeDragStart(editor, records, c.X, c.Y, false));
    other->SetSelected(false);
    s->SetSelected(false);
  }
}

// --- The live geometry of a dragged end -------------------------------------------------

TEST_F(DraggingTest, GeometryOutsideAnEdgeDragOrOfAGroupedShapeIsTheStoredOne) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->SetSelected(true);
  edgeDrag(px({10, 0}), px({12, 3}));

  editor.pointer().FIsEdgeDragging = false;
  TGeometry g = geometry(*line);
  EXPECT_TRUE(pointNear(g.end, {10, 0}));
  EXPECT_TRUE(pointNear(g.endPx, {200, 100}));

  editor.pointer().FIsEdgeDragging = true;
  line->FGroupID = 4;
  g = geometry(*line);
  EXPECT_TRUE(pointNear(g.end, {10, 0}));

  line->FGroupID = 0;
  g = geometry(*line);
  EXPECT_TRUE(pointNear(g.start, {0, 0}));
  EXPECT_TRUE(pointNear(g.end, {12, 3}));
  EXPECT_TRUE(pointNear(g.endPx, {220, 130}));
}

TEST_F(DraggingTest, GeometryFollowsTheStickyPointUnlessCtrlIsHeld) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->SetSelected(true);
  edgeDrag(px({10, 0}), px({12, 3}));
  editor.snap().FStickyExists = true;
  editor.snap().FStickyPoint = {11.5f, 2.5f};
  EXPECT_TRUE(pointNear(geometry(*line).end, {11.5f, 2.5f}));
  editor.pointer().FLastShiftState = ssCtrl;
  EXPECT_TRUE(pointNear(geometry(*line).end, {12, 3}));
}

TEST_F(DraggingTest, DraggingALineEndWithShiftKeepsItsDirection) {
  // A 3-4-5 line; the pointer is pulled off its direction.
  struct Case {
    TPointF from, to;
    TShiftState shift;
    TPointF start, end;
  } cases[] = {
      {{6, 8}, {9, 9}, 0, {0, 0}, {9, 9}},
      {{6, 8}, {9, 9}, ssShift, {0, 0}, {0.6f * 12.7279221f, 0.8f * 12.7279221f}},
      {{0, 0}, {-3, -1}, ssShift, {6.0f - 0.6f * 12.7279221f, 8.0f - 0.8f * 12.7279221f}, {6, 8}},
  };
  TQN_Path *line = addLine({0, 0}, {6, 8});
  line->SetSelected(true);
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "to " << c.to.X << "," << c.to.Y << " shift " << c.shift);
    edgeDrag(px(c.from), px(c.to), c.shift);
    const TGeometry g = geometry(*line);
    EXPECT_TRUE(pointNear(g.start, c.start, 1e-3));
    EXPECT_TRUE(pointNear(g.end, c.end, 1e-3));
    // The Shift adjustment is what the painters see too.
    EXPECT_TRUE(pointNear(g.startPx, px(c.start), 1e-2));
    EXPECT_TRUE(pointNear(g.endPx, px(c.end), 1e-2));
    clearEdgeDragInfos(editor, editor.pointer().FDraggingEdges);
  }
}

TEST_F(DraggingTest, ArcEndAnglesSnapToFiveDegreesWithinOneAndToWholeDegreesWithinATenth) {
  // Radius 50 around the origin, from 0 degrees sweeping +90.
  struct Case {
    float pointerDeg;
    TShiftState shift;
    float sweep;   // expected sweep
    float endDeg;  // expected angle of the end
  } cases[] = {
      {89.4f, 0, 90.0f, 90.0f},     {92.05f, 0, 92.0f, 92.0f}, {92.3f, 0, 92.3f, 92.3f},
      {89.4f, ssCtrl, 89.4f, 89.4f}, {94.2f, 0, 95.0f, 95.0f}, {93.95f, 0, 94.0f, 94.0f},
      {87.0f, 0, 87.0f, 87.0f},
      // Measured on the other side of the start: the sweep keeps the arc's positive sign.
      {-60.0f, 0, 300.0f, -60.0f},
  };
  const float r = 50.0f;
  auto onCircle = [r](float deg) {
    const double a = deg * std::numbers::pi / 180.0;
    return TPointF{static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a))};
  };
  editor.view().FScale = 2.0f;
  editor.view().FOffset = {400.0f, 400.0f};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.pointerDeg << " deg, shift " << c.shift);
    editor.doc().clear();
    TQN_Path *arc = addArc({0, 0}, r, 0.0f, 90.0f);
    arc->SetSelected(true);
    edgeDrag(px(arc->FEndPt), px(onCircle(c.pointerDeg)), c.shift);
    const TGeometry g = geometry(*arc);
    EXPECT_NEAR(g.sweep, c.sweep, 0.01f);
    EXPECT_TRUE(pointNear(g.start, {r, 0}, 1e-3));
    EXPECT_TRUE(pointNear(g.end, onCircle(c.endDeg), 0.01));
    // The painters see the dragged end under the pointer.
    EXPECT_TRUE(pointNear(g.endPx, px(onCircle(c.pointerDeg)), 0.01));
    clearEdgeDragInfos(editor, editor.pointer().FDraggingEdges);
    editor.pointer().FIsEdgeDragging = false;
  }
}

TEST_F(DraggingTest, DraggingAnArcStartKeepsItsEndAndCountsTheSweepFromTheNewStart) {
  editor.view().FScale = 2.0f;
  editor.view().FOffset = {400.0f, 400.0f};
  TQN_Path *arc = addArc({0, 0}, 50.0f, 0.0f, 90.0f);  // (50, 0) to (0, 50)
  arc->SetSelected(true);
  const double a = -30.0 * std::numbers::pi / 180.0;
  const TPointF newStart{static_cast<float>(50 * std::cos(a)), static_cast<float>(50 * std::sin(a))};
  edgeDrag(px({50, 0}), px(newStart));
  const TGeometry g = geometry(*arc);
  EXPECT_NEAR(g.sweep, 120.0f, 0.01f);
  EXPECT_TRUE(pointNear(g.start, newStart, 0.01));
  EXPECT_TRUE(pointNear(g.end, {0, 50}, 1e-3));
}

TEST_F(DraggingTest, DraggingAnEllipseBoxCornerWithShiftGivesASquareBox) {
  TQN_Path *e = addEllipse({20, 20}, 10, 6);
  e->SetSelected(true);
  ASSERT_TRUE(detectEdgeDragStart(editor, editor.pointer().FDraggingEdges, 350.0f, 330.0f, true));  // bottom-right
  editor.pointer().FIsEdgeDragging = true;
  editor.pointer().FLastMousePos = px({28, 31});

  editor.pointer().FLastShiftState = 0;
  TGeometry g = geometry(*e);
  EXPECT_TRUE(pointNear(g.end, {28, 31}));

  editor.pointer().FLastShiftState = ssShift;
  g = geometry(*e);
  const float side = calcDistance({28, 31}, e->FStartPt) / std::sqrt(2.0f);
  EXPECT_NEAR(g.end.X - g.start.X, side, 1e-3f);
  EXPECT_NEAR(g.end.Y - g.start.Y, side, 1e-3f);
}

// --- Shape dragging --------------------------------------------------------------------

TEST_F(DraggingTest, ShiftLocksTheDragToTheStartingLineInHundredthSteps) {
  struct Case {
    const char *name;
    TPointF lockedMove1, lockedMove2;  // pixels, each after a free diagonal move to (180, 130)
    TPointF start1, start2;            // the line's start after each locked move
  } cases[] = {
      // Mostly horizontal from the press at (150, 100): back to y = 0, x in 0.01 steps.
      {"horizontal", {201.23f, 133.0f}, {205.57f, 140.0f}, {5.12f, 0.0f}, {5.55f, 0.0f}},
      // Mostly vertical: back to x = 0.
      {"vertical", {183.0f, 201.23f}, {190.0f, 205.57f}, {0.0f, 10.12f}, {0.0f, 10.55f}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    editor.doc().clear();
    TQN_Path *line = addLine({0, 0}, {10, 0});
    line->SetSelected(true);
    beginShapeDrag({5, 0});
    moveTo({180.0f, 130.0f});
    ASSERT_TRUE(pointNear(line->FStartPt, {3, 3}, 1e-4));
    moveTo(c.lockedMove1, ssShift);
    EXPECT_TRUE(pointNear(line->FStartPt, c.start1, 1e-4));
    moveTo(c.lockedMove2, ssShift);
    EXPECT_TRUE(pointNear(line->FStartPt, c.start2, 1e-4));
    EXPECT_NEAR(line->FEndPt.X - line->FStartPt.X, 10.0f, 1e-4f);
  }
}

TEST_F(DraggingTest, AnchoredDragJumpsOntoTargetsWithoutDrifting) {
  TQN_Path *moving = addLine({0, 0}, {10, 0});
  addLine({20.2f, 5.0f}, {40.0f, 5.0f});  // an end 0.2 mm (2 px) beside where the anchor passes
  moving->SetSelected(true);
  beginShapeDrag({0, 0});
  editor.pointer().FIsRotationCenterSpecified = true;
  editor.pointer().FRotationCenter = {0, 0};
  editor.pointer().FDragSnapValid = true;
  editor.pointer().FDragSnapRawOrigin = {0, 0};

  moveTo(px({20, 5}));
  EXPECT_TRUE(pointNear(moving->FStartPt, {20.2f, 5.0f}, 1e-4));
  EXPECT_TRUE(pointNear(editor.pointer().FRotationCenter, {20.2f, 5.0f}, 1e-4));
  EXPECT_TRUE(pointNear(editor.pointer().FDragSnapRawOrigin, {20, 5}, 1e-4));

  moveTo(px({21, 5}));  // 0.8 mm from the target: the raw path takes over again
  EXPECT_TRUE(pointNear(moving->FStartPt, {21, 5}, 1e-4));

  editor.display().FShowGrid = true;  // 1 mm grid at this scale; catch radius 0.3 mm
  moveTo(px({24.25f, 6.1f}));
  EXPECT_TRUE(pointNear(moving->FStartPt, {24, 6}, 1e-4));
  moveTo(px({24.5f, 6.5f}));  // half way between nodes: too far from any
  EXPECT_TRUE(pointNear(moving->FStartPt, {24.5f, 6.5f}, 1e-4));
}

TEST_F(DraggingTest, UnanchoredDragSnapsTheNearestMovedEnd) {
  TQN_Path *moving = addLine({0, 0}, {10, 0});
  addLine({20.2f, 5.0f}, {40.0f, 5.0f});
  moving->SetSelected(true);
  beginShapeDrag({5, 0});
  moveTo(px({15, 5}));  // the end would land at (20, 5), 2 px from the other line's start
  EXPECT_TRUE(pointNear(moving->FStartPt, {10.2f, 5.0f}, 1e-4));
  EXPECT_TRUE(pointNear(moving->FEndPt, {20.2f, 5.0f}, 1e-4));
  EXPECT_TRUE(pointNear(editor.pointer().FCummulativeShiftDistance, {10, 5}, 1e-4));
}

// Circle of radius 5 around the origin, a line 6 mm below its centre: the rim starts 1 mm
// (10 px) away, and is caught within 8 px.
struct TCircleDrop {
  float dy;       // the drag, millimetres down
  float centreY;  // after the release
};
class CircleDropTest : public DraggingTest, public testing::WithParamInterface<TCircleDrop> {};

TEST_P(CircleDropTest, ALoneCircleReleasedNearALineTouchesIt) {
  const TCircleDrop c = GetParam();
  TQN_Path *circle = addEllipse({0, 0}, 10, 10);
  addLine({-20, 6}, {20, 6});
  circle->SetSelected(true);
  beginShapeDrag({0, 0});
  moveTo(px({0, c.dy}));
  EXPECT_TRUE(pointNear(circle->FCenter, {0, c.dy}, 1e-4));  // out of reach before this move
  const std::size_t before = undoStates();
  endShapeDrag(editor);
  EXPECT_TRUE(pointNear(circle->FCenter, {0, c.centreY}, 1e-3));
  EXPECT_NEAR(circle->FWidth, 10.0f, 1e-6f);
  EXPECT_EQ(undoStates(), before + 1);
}

INSTANTIATE_TEST_SUITE_P(Drops, CircleDropTest,
                         testing::Values(TCircleDrop{0.5f, 1.0f},     // 5 px gap: pulled onto the line
                                         TCircleDrop{0.21f, 1.0f},    // 7.9 px gap: still caught
                                         TCircleDrop{0.19f, 0.19f},   // 8.1 px gap: left where dropped
                                         TCircleDrop{1.5f, 1.0f}));   // 0.5 mm over: pushed back out

TEST_F(DraggingTest, ACircleAlreadyNearALineFollowsItWhileDragged) {
  TQN_Path *circle = addEllipse({0, 0.5f}, 10, 10);  // rim 0.5 mm from the line
  addLine({-20, 6}, {20, 6});
  circle->SetSelected(true);
  beginShapeDrag({0, 0.5f});
  moveTo(px({0.3f, 0.5f}));  // sideways: the touch shift is added to the move
  EXPECT_TRUE(pointNear(circle->FCenter, {0.3f, 1.0f}, 1e-3));
}

TEST_F(DraggingTest, CircleGuidesMarkTheTouchingPointInViolet) {
  TQN_Path *circle = addEllipse({0, 1}, 10, 10);  // touches the line y = 6
  addLine({-20, 6}, {20, 6});
  circle->SetSelected(true);
  QImage image(300, 300, QImage::Format_ARGB32);
  image.fill(0xFF000000);
  {
    QPainter painter(&image);
    TPointF pixelShift, realShift;
    EXPECT_TRUE(snapDraggedCircleToLines(editor, *circle, &painter, pixelShift, realShift));
    EXPECT_TRUE(pointNear(realShift, {0, 0}, 1e-3));
  }
  EXPECT_EQ(image.pixel(100, 160), 0xFFEE82EEu);  // the foot (0, 6)
  EXPECT_EQ(image.pixel(100, 90), 0xFF000000u);   // nothing above the centre
}

TEST_F(DraggingTest, OnlyCirclesSnapToLines) {
  TQN_Path *ellipse = addEllipse({0, 0.5f}, 10, 8);
  addLine({-20, 6}, {20, 6});
  TPointF pixelShift{1, 1}, realShift{1, 1};
  EXPECT_FALSE(snapDraggedCircleToLines(editor, *ellipse, nullptr, pixelShift, realShift));
  EXPECT_TRUE(pointNear(realShift, {0, 0}));
  EXPECT_TRUE(pointNear(pixelShift, {0, 0}));
}

struct TDragEnd {
  const char *name;
  bool move;
  bool printValid;
  std::size_t snapshots;
};
class DragEndTest : public DraggingTest, public testing::WithParamInterface<TDragEnd> {};

TEST_P(DragEndTest, EndOfShapeDragSnapshotsOnlyWhenTheSelectionMoved) {
  const TDragEnd c = GetParam();
  TQN_Path *moving = addLine({0, -5}, {0, 5});
  moving->SetSelected(true);
  beginShapeDrag({0, 0});
  editor.pointer().FDragPrintValid = c.printValid;
  editor.pointer().FDragSnapValid = true;
  if (c.move) moveTo(px({3, 0}));
  const std::size_t before = undoStates();
  endShapeDrag(editor);
  EXPECT_EQ(undoStates(), before + c.snapshots);
  EXPECT_FALSE(editor.pointer().FIsShapeDragging);
  EXPECT_FALSE(editor.pointer().FIsMouseDown);
  EXPECT_FALSE(editor.pointer().FDragPrintValid);
  EXPECT_FALSE(editor.pointer().FDragSnapValid);
}

INSTANTIATE_TEST_SUITE_P(Cases, DragEndTest,
                         testing::Values(TDragEnd{"moved", true, true, 1}, TDragEnd{"still", false, true, 0},
                                         TDragEnd{"noStartPrint", false, false, 1}),
                         [](const testing::TestParamInfo<TDragEnd> &info) { return std::string(info.param.name); });

TEST_F(DraggingTest, EndOfShapeDragRecomputesTheIntersectionsOfTheMovedShapes) {
  TQN_Path *moving = addLine({0, -5}, {0, 5});
  TQN_Path *fixed = addLine({10, -5}, {10, 5});
  TQN_Path *cross = addLine({20, 0}, {40, 0});
  (void)fixed;
  moving->SetSelected(true);
  beginShapeDrag({0, 0});
  moveTo(px({30, 0}));  // now crossing `cross` at (30, 0)
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
  endShapeDrag(editor);
  bool found = false;
  for (const TIntersection *ict : editor.doc().FIntersections)
    found = found || (pointNear(ict->FPoint, {30, 0}, 1e-3) && ((ict->FPath1 == moving && ict->FPath2 == cross) ||
                                                                (ict->FPath1 == cross && ict->FPath2 == moving)));
  EXPECT_TRUE(found);
}

// --- Applying an edge drag -------------------------------------------------------------

TEST_F(DraggingTest, ApplyingAJointDragRebuildsBothShapesAsOneUndoStep) {
  const TPointF J{10, 10};
  TQN_Path *a = addLine({0, 10}, J);
  TQN_Path *b = addLine(J, {10, 20});
  takeUndoSnapshot(editor, QStringLiteral("drawn"));
  a->SetSelected(true);
  b->SetSelected(true);
  edgeDrag(px(J), px({12, 8}));
  ASSERT_EQ(editor.pointer().FDraggingEdges.size(), 2u);
  const std::size_t before = undoStates();

  applyEdgeDragging(editor);
  EXPECT_TRUE(pointNear(a->FEndPt, {12, 8}));
  EXPECT_TRUE(pointNear(b->FStartPt, {12, 8}));
  EXPECT_TRUE(pointNear(a->FStartPt, {0, 10}));
  EXPECT_TRUE(pointNear(b->FEndPt, {10, 20}));
  ASSERT_EQ(undoStates(), before + 1);
  // The one step holds both shapes already moved.
  const TUndoState &step = editor.FUndoStore.FUndoList.back();
  ASSERT_EQ(step.Shapes.size(), 2u);
  EXPECT_TRUE(pointNear(step.Shapes[0]->FEndPt, {12, 8}));
  EXPECT_TRUE(pointNear(step.Shapes[1]->FStartPt, {12, 8}));

  // One undo puts both ends back at the joint.
  undo(editor);
  ASSERT_EQ(doc().Count(), 2);
  EXPECT_TRUE(pointNear(doc()[0]->FEndPt, J));
  EXPECT_TRUE(pointNear(doc()[1]->FStartPt, J));
}

struct TBezierEndDrag {
  TShiftState shift;
  TPointF cp2;
};
class BezierEndDragTest : public DraggingTest, public testing::WithParamInterface<TBezierEndDrag> {};

TEST_P(BezierEndDragTest, ApplyingABezierEndDragCarriesItsHandleUnlessShiftIsHeld) {
  const TBezierEndDrag c = GetParam();
  TQN_Path *bz = addBezier({0, 0}, {2, 5}, {8, 5}, {10, 0});
  bz->SetSelected(true);
  edgeDrag(px({10, 0}), px({11, 2}), c.shift);
  applyEdgeDragging(editor);
  EXPECT_TRUE(pointNear(bz->FEndPt, {11, 2}));
  EXPECT_TRUE(pointNear(bz->FBezierCp2, c.cp2));
  EXPECT_TRUE(pointNear(bz->FBezierCp1, {2, 5}));
}

INSTANTIATE_TEST_SUITE_P(Shift, BezierEndDragTest,
                         testing::Values(TBezierEndDrag{0, {9, 7}}, TBezierEndDrag{ssShift, {8, 5}}));

TEST_F(DraggingTest, ApplyingAnArcEndDragRebuildsTheArcWithTheSnappedSweep) {
  editor.view().FScale = 2.0f;
  editor.view().FOffset = {400.0f, 400.0f};
  TQN_Path *arc = addArc({0, 0}, 50.0f, 0.0f, 90.0f);
  arc->SetSelected(true);
  const double a = 89.4 * std::numbers::pi / 180.0;
  edgeDrag(px({0, 50}), px({static_cast<float>(50 * std::cos(a)), static_cast<float>(50 * std::sin(a))}));
  applyEdgeDragging(editor);
  EXPECT_NEAR(arc->FSweepAngle, 90.0f, 1e-3f);
  EXPECT_TRUE(pointNear(arc->FEndPt, {0, 50}, 1e-3));
  EXPECT_TRUE(pointNear(arc->FCenter, {0, 0}));
  EXPECT_NEAR(arc->FWidth, 50.0f, 1e-6f);
}

TEST_F(DraggingTest, ApplyingADotOrHoleDragMovesItsCentre) {
  TQN_Path *dot = addDot({5, 5}, 1.0f);
  dot->SetSelected(true);
  edgeDrag(px({5, 5}), px({7, 6}));
  applyEdgeDragging(editor);
  EXPECT_TRUE(pointNear(dot->FCenter, {7, 6}));
  EXPECT_NEAR(dot->FWidth, 0.9f, 1e-6f);  // the dot radius of the stroke settings
  clearEdgeDragInfos(editor, editor.pointer().FDraggingEdges);
  dot->SetSelected(false);

  TQN_Path *hole = addHole({10, 5});
  hole->FStitchIn = {9.5f, 5.0f};
  hole->FStitchOut = {10.5f, 5.0f};
  hole->SetRotation(30.0f);
  hole->SetSelected(true);
  edgeDrag(px({10, 5}), px({12, 8}));
  applyEdgeDragging(editor);
  EXPECT_TRUE(pointNear(hole->FStartPt, {12, 8}));
  EXPECT_TRUE(pointNear(hole->FCenter, {12, 8}));
  EXPECT_TRUE(pointNear(hole->FStitchIn, {11.5f, 8.0f}));
  EXPECT_TRUE(pointNear(hole->FStitchOut, {12.5f, 8.0f}));
  EXPECT_TRUE(pointNear(hole->getBoundary(false).centerPoint(), {12, 8}, 1e-3));
  EXPECT_EQ(hole->FRotation, 30.0f);
}

// --- Moving one shape ------------------------------------------------------------------

TEST_F(DraggingTest, TranslateMovesEveryKindAsItIsBuilt) {
  const TPointF d{3, -2};
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->FIsFreeAngle = true;
  TQN_Path *bz = addBezier({0, 0}, {2, 5}, {8, 5}, {10, 0});
  TQN_Path *ellipse = addEllipse({20, 20}, 10, 6);
  TQN_Path *dot = addDot({5, 5}, 1.0f);
  TQN_Path *arc = addArc({0, 0}, 10.0f, 0.0f, -90.0f);
  std::unique_ptr<TQN_Path> typed = newShape();
  typed->FShapeType = TShapeKind::Text;
  typed->FStartPt = {1, 1};
  typed->FEndPt = {4, 2};
  TPathData glyph;
  glyph.MoveTo({1, 1});
  glyph.LineTo({4, 1});
  glyph.LineTo({4, 2});
  typed->setData(glyph);
  TQN_Path *text = put(std::move(typed));
  std::unique_ptr<TQN_Path> closed = newShape();
  TPathData square;
  square.MoveTo({0, 0});
  square.LineTo({2, 0});
  square.LineTo({2, 2});
  square.LineTo({0, 2});
  square.ClosePath();
  closed->setData(square);
  TQN_Path *outline = put(std::move(closed));

  for (TQN_Path *s : doc().Items()) translateShape(editor, *s, d, true);

  EXPECT_TRUE(pointNear(line->FStartPt, {3, -2}));
  EXPECT_TRUE(pointNear(line->FEndPt, {13, -2}));
  EXPECT_TRUE(line->FIsFreeAngle);
  EXPECT_TRUE(pointNear(bz->FBezierCp1, {5, 3}));
  EXPECT_TRUE(pointNear(bz->FBezierCp2, {11, 3}));
  EXPECT_TRUE(pointNear(bz->FEndPt, {13, -2}));
  EXPECT_TRUE(pointNear(ellipse->FCenter, {23, 18}));
  EXPECT_EQ(ellipse->FWidth, 10.0f);
  EXPECT_EQ(ellipse->FHeight, 6.0f);
  EXPECT_TRUE(pointNear(dot->FCenter, {8, 3}));
  EXPECT_NEAR(dot->FWidth, 2.0f, 1e-6f);  // a 1 mm dot keeps its radius
  EXPECT_TRUE(pointNear(arc->FCenter, {3, -2}));
  EXPECT_TRUE(pointNear(arc->FStartPt, {13, -2}));
  EXPECT_TRUE(pointNear(arc->FEndPt, {3, -12}, 1e-4));
  EXPECT_EQ(arc->FSweepAngle, -90.0f);
  EXPECT_TRUE(pointNear(text->FStartPt, {4, -1}));
  EXPECT_TRUE(pointNear(text->FEndPt, {7, 0}));
  EXPECT_TRUE(pointNear(text->Data()[0].Point, {4, -1}));
  EXPECT_TRUE(pointNear(outline->Data()[2].Point, {5, 0}));
  EXPECT_TRUE(pointNear(outline->FStartPt, {3, -2}));  // boundary corners stored
  EXPECT_TRUE(pointNear(outline->FEndPt, {5, 0}));
}

TEST_F(DraggingTest, TranslateCarriesARadialRepeatCentreOutsideTheRadialRepeatTool) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->FMandalaID = 3;
  line->FMandalaCenter = {50, 50};
  translateShape(editor, *line, {1, 2}, false);
  EXPECT_TRUE(pointNear(line->FMandalaCenter, {51, 52}));
  EXPECT_TRUE(pointNear(editor.display().Mandala.Center, {51, 52}));

  editor.display().IsMandalaMode = true;
  translateShape(editor, *line, {1, 2}, false);
  EXPECT_TRUE(pointNear(line->FMandalaCenter, {51, 52}));
}

// --- Bezier handles --------------------------------------------------------------------

TEST_F(DraggingTest, HitBezierHandleWithinSevenPixelsInclusive) {
  TQN_Path *bz = addBezier({0, 0}, {5, 5}, {8, 5}, {10, 0});  // handles at pixels (150, 150), (180, 150)
  bz->SetSelected(true);
  struct Case {
    TPointF at;
    bool hit;
    bool cp1;
  } cases[] = {
      {{157.0f, 150.0f}, true, true},   {{150.0f, 143.0f}, true, true},
      {{157.01f, 150.0f}, false, false}, {{173.0f, 150.0f}, true, false},
      {{165.0f, 150.0f}, false, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.at.X << "," << c.at.Y);
    const TBezierEditingInfo info = hitBezierHandle(editor, c.at.X, c.at.Y);
    EXPECT_EQ(info.IsBezierEditing, c.hit);
    EXPECT_EQ(info.p, c.hit ? bz : nullptr);
    if (c.hit) {
      EXPECT_EQ(info.IsCP1, c.cp1);
    }
  }
  bz->FGroupID = 2;
  EXPECT_FALSE(hitBezierHandle(editor, 150.0f, 150.0f).IsBezierEditing);
  bz->FGroupID = 0;
  bz->SetSelected(false);
  EXPECT_FALSE(hitBezierHandle(editor, 150.0f, 150.0f).IsBezierEditing);
}

TEST_F(DraggingTest, OpponentAtTheJointFollowsTheCandidateRules) {
  // The edited curve ends at J = (10, 0); its second handle is edited.
  TQN_Path *edited = addBezier({0, 0}, {3, 3}, {7, 3}, {10, 0});
  const TBezierEditingInfo H{true, edited, false};

  // One Bezier starting at the joint: taken whether or not it is selected.
  TQN_Path *next = addBezier({10.004f, 0}, {12, 2}, {18, 2}, {20, 0});  // same after rounding to 0.01
  TBezierEditingInfo o = getOpponentBezierInfo(editor, H, false);
  EXPECT_EQ(o.p, next);
  EXPECT_TRUE(o.IsCP1);
  EXPECT_FALSE(o.IsBezierEditing);

  // A second unselected one: neither qualifies until one is selected.
  TQN_Path *other = addBezier({30, 0}, {25, 2}, {15, 2}, {10, 0});
  EXPECT_EQ(getOpponentBezierInfo(editor, H, false).p, nullptr);
  other->SetSelected(true);
  o = getOpponentBezierInfo(editor, H, false);
  EXPECT_EQ(o.p, other);
  EXPECT_FALSE(o.IsCP1);  // it ends at the joint
  editor.doc().remove(other);

  // A curve 0.006 mm off the joint does not count.
  next->drawBezierPath({10.006f, 0}, {12, 2}, {18, 2}, {20, 0});
  EXPECT_EQ(getOpponentBezierInfo(editor, H, false).p, nullptr);

  // Only a line at the joint: taken only when lines are allowed, always as the second handle.
  TQN_Path *line = addLine({10, 0}, {10, 10});
  EXPECT_EQ(getOpponentBezierInfo(editor, H, false).p, nullptr);
  o = getOpponentBezierInfo(editor, H, true);
  EXPECT_EQ(o.p, line);
  EXPECT_FALSE(o.IsCP1);

  // With a Bezier there as well, the Bezier wins.
  next->drawBezierPath({10, 0}, {12, 2}, {18, 2}, {20, 0});
  EXPECT_EQ(getOpponentBezierInfo(editor, H, true).p, next);

  // A loop with both ends on the joint answers with its start.
  next->drawBezierPath({10, 0}, {12, 2}, {12, -2}, {10, 0});
  o = getOpponentBezierInfo(editor, H, false);
  EXPECT_EQ(o.p, next);
  EXPECT_TRUE(o.IsCP1);

  // The first handle's joint is the start.
  EXPECT_EQ(getOpponentBezierInfo(editor, {true, edited, true}, true).p, nullptr);
}

TEST_F(DraggingTest, ApplyBezierControlPointMovesOneHandleAndEndsTheEdit) {
  TQN_Path *bz = addBezier({0, 0}, {2, 5}, {8, 5}, {10, 0});
  TQN_Path *line = addLine({5, -3}, {5, 3});  // the curve passes it at (5, 3.75)
  editor.pointer().FBezierEditInfo = {true, bz, false};
  applyBezierControlPoint(editor, editor.pointer().FBezierEditInfo, {8, -5});
  EXPECT_TRUE(pointNear(bz->FBezierCp1, {2, 5}));
  EXPECT_TRUE(pointNear(bz->FBezierCp2, {8, -5}));
  EXPECT_FALSE(editor.pointer().FBezierEditInfo.IsBezierEditing);
  // The S-shaped curve now crosses the line at its middle, (5, 0).
  int withLine = 0;
  for (const TIntersection *ict : editor.doc().FIntersections)
    if ((ict->FPath1 == bz && ict->FPath2 == line) || (ict->FPath1 == line && ict->FPath2 == bz)) {
      ++withLine;
      EXPECT_TRUE(pointNear(ict->FPoint, {5, 0}, 0.05));
    }
  EXPECT_EQ(withLine, 1);
}

TEST_F(DraggingTest, MirrorPutsTheOppositeHandleOppositeThePointer) {
  TQN_Path *edited = addBezier({0, 0}, {3, 3}, {7, 3}, {10, 0});
  TQN_Path *next = addBezier({10, 0}, {12, 2}, {18, 2}, {20, 0});
  editor.pointer().FLastMousePos = px({6, -3});  // the dragged second handle, 5 mm from the joint
  mirrorOppositeBezierHandle(editor, {true, edited, false});
  EXPECT_TRUE(pointNear(next->FBezierCp1, {14, 3}, 1e-4));
  EXPECT_TRUE(pointNear(next->FBezierCp2, {18, 2}));
  EXPECT_TRUE(pointNear(next->FStartPt, {10, 0}));
}

// --- The drag anchor -------------------------------------------------------------------

TEST_F(DraggingTest, DragAnchorIsTheNearestHandleOfTheSelectedShapes) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  TQN_Path *ellipse = addEllipse({30, 30}, 10, 6);
  TQN_Path *arc = addArc({50, 0}, 5.0f, 0.0f, 90.0f);  // (55, 0) to (50, 5), centre (50, 0)
  TQN_Path *unselected = addLine({9, 1}, {9, 3});
  for (TQN_Path *s : {line, ellipse, arc}) s->SetSelected(true);
  const std::vector<TQN_Path *> shapes{unselected, line, ellipse, arc};
  struct Case {
    TPointF pointer;
    TPointF anchor;
  } cases[] = {
      {{9, 1.2f}, {10, 0}},      // the unselected line's start lies nearer but does not count
      {{29, 31}, {30, 30}},      // the ellipse centre
      {{35, 31}, {35, 30}},      // the ellipse's right rim point
      {{50.8f, 1.0f}, {50, 0}},  // the arc centre
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.pointer.X << "," << c.pointer.Y);
    editor.pointer().FIsRotationCenterSpecified = false;
    editor.pointer().FLastMousePos = px(c.pointer);
    pickDragAnchor(editor, shapes);
    EXPECT_TRUE(editor.pointer().FIsRotationCenterSpecified);
    EXPECT_TRUE(pointNear(editor.pointer().FRotationCenter, c.anchor, 1e-4));
  }
  editor.pointer().FIsRotationCenterSpecified = false;
  pickDragAnchor(editor, {unselected});
  EXPECT_FALSE(editor.pointer().FIsRotationCenterSpecified);
}

}  // namespace
}  // namespace quillon
