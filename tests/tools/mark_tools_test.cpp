// The dot, ellipse, centre-line, dimension and distance-marking tools, driven through the
// pointer handlers where the tool acts on a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/bezier.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "render/tool_previews.h"
#include "shell/deletion.h"
#include "support/editor_fixture.h"
#include "tools/mark_tools.h"
#include "tools/pointer.h"
#include "shell/view_transform.h"
#include "tools/snapping.h"

namespace quillon {
namespace {

constexpr float kEps = 1e-3f;

// Both coordinates of a point within a tolerance, naming the point that failed.
#define EXPECT_POINT_NEAR(actual, x, y, tol)            \
  do {                                                  \
    const TPointF p_ = (actual);                        \
    EXPECT_NEAR(p_.X, (x), (tol)) << "x of " #actual;  \
    EXPECT_NEAR(p_.Y, (y), (tol)) << "y of " #actual;  \
  } while (0)

// Scale 10, offset 0: a pixel is a tenth of a millimetre.
class MarkToolsTest : public test::EditorTest {
 protected:
  void SetUp() override {
    editor.view().FBoxWidth = 1000.0f;
    editor.view().FBoxHeight = 800.0f;
    editor.display().FShowGrid = false;
  }
  // A click at a point given in millimetres.
  void clickMm(float x, float y, TShiftState shift = 0) {
    pointerDown(editor, TMouseButton::Left, shift, x * 10.0f, y * 10.0f);
    pointerUp(editor, TMouseButton::Left, shift, x * 10.0f, y * 10.0f);
  }
  TQN_Path *addLineWithIntersections(TPointF a, TPointF b) {
    TQN_Path *line = addLine(a, b);
    editor.calcIntersectionsOfShape(line);
    return line;
  }
  std::vector<TQN_Path *> shapes() const { return editor.doc().PathList().Items(); }
};

// ---- Dimension tool ----

TEST_F(MarkToolsTest, LinearDimensionOfThreeClicks) {
  editor.tool().FTool = TTool::DimensionLine;
  editor.panel().DimPrecision = 1;
  editor.panel().DimGapMm = 0.5f;
  const std::size_t before = undoStates();
  clickMm(0.0f, 0.0f);
  clickMm(100.0f, 0.0f);
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(editor.tool().Clicked_Points.size(), 2u);
  clickMm(50.0f, -20.0f);

  ASSERT_EQ(doc().Count(), 5);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());

  TQN_Path *text = doc()[0];
  EXPECT_TRUE(text->isKind(TShapeKind::Text));
  EXPECT_EQ(text->FText, QStringLiteral("100.0 mm"));
  EXPECT_EQ(text->FRotation, 0.0f);
  // Centred on the middle of the dimension line.
  EXPECT_POINT_NEAR(text->getMinMaxRect().centerPoint(), 50.0f, -20.0f, 0.01f);

  // The two halves end at the dimension line's ends, with arrow heads there.
  EXPECT_POINT_NEAR(doc()[1]->FEndPt, 0.0f, -20.0f, kEps);
  EXPECT_POINT_NEAR(doc()[2]->FEndPt, 100.0f, -20.0f, kEps);
  for (int i : {1, 2}) {
    EXPECT_TRUE(doc()[i]->FShowArrowEd);
    EXPECT_FALSE(doc()[i]->FShowArrowSt);
    EXPECT_NEAR(doc()[i]->FStartPt.Y, -20.0f, kEps);
  }
  // The halves stop short of the text: each leaves (100 - text width) / 2 + 0.5 free.
  const float w = text->FWidth;
  EXPECT_NEAR(doc()[1]->FStartPt.X, 50.0f - w / 2.0f - 0.5f, 0.01f);
  EXPECT_NEAR(doc()[2]->FStartPt.X, 50.0f + w / 2.0f + 0.5f, 0.01f);

  // Extension lines from the gap to the dimension line, without arrows.
  EXPECT_POINT_NEAR(doc()[3]->FStartPt, 0.0f, -0.5f, kEps);
  EXPECT_POINT_NEAR(doc()[3]->FEndPt, 0.0f, -20.0f, kEps);
  EXPECT_POINT_NEAR(doc()[4]->FStartPt, 100.0f, -0.5f, kEps);
  EXPECT_POINT_NEAR(doc()[4]->FEndPt, 100.0f, -20.0f, kEps);
  EXPECT_FALSE(doc()[3]->FShowArrowSt || doc()[3]->FShowArrowEd);

  // One group of dimension shapes in the dimension line type.
  const int group = text->FGroupID;
  EXPECT_GT(group, 0);
  for (TQN_Path *s : shapes()) {
    EXPECT_TRUE(s->FIsDimensionLine);
    EXPECT_EQ(s->FGroupID, group);
    EXPECT_EQ(s->FPalletIndex, editor.panel().DimPalletIndex);
    EXPECT_NE(s->ID(), group);
  }
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
}

TEST_F(MarkToolsTest, DimensionOptionsDecideTheShapes) {
  struct Case {
    bool singleLine, inside, arrowOnly;
    int shapes;
    float textOffset;  // text centre below the dimension line (y grows down), in text heights
  };
  const Case cases[] = {
      {false, false, false, 5, 0.0f},
      {false, false, true, 3, 0.0f},
      {true, false, false, 4, -1.0f},  // moved on, away from the measured points
      {true, true, false, 4, 1.05f},   // "Inside": moved back towards them
      {true, false, true, 2, -1.0f},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "single " << c.singleLine << " inside " << c.inside << " arrow only "
                                    << c.arrowOnly);
    clearDocumentShapes(editor);
    editor.tool().FTool = TTool::DimensionLine;
    editor.panel().chkDms_SingleLine = c.singleLine;
    editor.panel().chkDms_TextInside = c.inside;
    editor.panel().chkDms_ArrowOnly = c.arrowOnly;
    clickMm(0.0f, 0.0f);
    clickMm(100.0f, 0.0f);
    clickMm(50.0f, -20.0f);
    ASSERT_EQ(doc().Count(), c.shapes);
    TQN_Path *text = doc()[0];
    const float h = measureTextSize(QStringLiteral("Yu Gothic UI"), editor.panel().DimFontSize, text->FText).Height;
    EXPECT_NEAR(text->getMinMaxRect().centerPoint().Y, -20.0f + c.textOffset * h, 0.01f);
    if (c.singleLine) {
      TQN_Path *line = doc()[1];
      EXPECT_POINT_NEAR(line->FStartPt, 0.0f, -20.0f, kEps);
      EXPECT_POINT_NEAR(line->FEndPt, 100.0f, -20.0f, kEps);
      EXPECT_TRUE(line->FShowArrowSt && line->FShowArrowEd);
    }
  }
}

TEST_F(MarkToolsTest, ReverseTextTurnsItHalfWayRoundOnTheSamePlace) {
  editor.tool().FTool = TTool::DimensionLine;
  editor.panel().chkDms_TextReverse = true;
  clickMm(10.0f, 10.0f);
  clickMm(10.0f, 50.0f);  // vertical, measured from top to bottom
  clickMm(30.0f, 30.0f);
  ASSERT_EQ(doc().Count(), 5);
  TQN_Path *text = doc()[0];
  EXPECT_NEAR(text->FRotation, 270.0f, 1e-3);  // bottom to top
  EXPECT_POINT_NEAR(text->getMinMaxRect().centerPoint(), 30.0f, 30.0f, 0.01f);
  EXPECT_POINT_NEAR(doc()[3]->FEndPt, 30.0f, 10.0f, kEps);
  EXPECT_POINT_NEAR(doc()[4]->FEndPt, 30.0f, 50.0f, kEps);
}

class RadiusDimensionTest : public MarkToolsTest {
 protected:
  void SetUp() override {
    MarkToolsTest::SetUp();
    auto quarter = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    quarter->drawArcPath({50.0f, 50.0f}, {10.0f, 10.0f}, {60.0f, 50.0f}, {50.0f, 60.0f}, 90.0f);
    arc = editor.doc().add(std::move(quarter), 0);
    editor.tool().FTool = TTool::DimensionLine;
    editor.panel().DimPrecision = 1;
    editor.panel().DimGapMm = 0.5f;
  }
  TQN_Path *arc = nullptr;
};

TEST_F(RadiusDimensionTest, TwoClicksOnAnArcMakeARadiusDimension) {
  const std::size_t before = undoStates();
  const TPointF onArc{57.071f, 57.071f};
  clickMm(onArc.X, onArc.Y);
  EXPECT_EQ(editor.tool().FDimensionShape, arc);
  clickMm(80.0f, 80.0f);

  ASSERT_EQ(doc().Count(), 3);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_EQ(editor.tool().FDimensionShape, nullptr);
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  TQN_Path *text = doc()[1];
  TQN_Path *arrow = doc()[2];
  EXPECT_EQ(text->FText, QStringLiteral("R=10.0 mm"));
  EXPECT_POINT_NEAR(text->getMinMaxRect().centerPoint(), 80.0f, 80.0f, 0.3f);
  EXPECT_EQ(text->FGroupID, 0);
  ASSERT_TRUE(arrow->isKind(TShapeKind::Line));
  EXPECT_TRUE(arrow->FShowArrowSt);
  EXPECT_FALSE(arrow->FShowArrowEd);
  EXPECT_TRUE(arrow->FIsDimensionLine);
  // The tip lies twice the gap from the clicked point, towards the label; the line stops
  // at 85 % of the way on to the label.
  EXPECT_NEAR(calcDistance(arrow->FStartPt, onArc), 1.0f, kEps);
  const float rest = calcDistance(arrow->FStartPt, {80.0f, 80.0f});
  EXPECT_NEAR(calcDistance(arrow->FStartPt, arrow->FEndPt), 0.85f * rest, kEps);
  EXPECT_NEAR(arrow->FEndPt.X, arrow->FEndPt.Y, kEps);  // on the diagonal through both clicks
}

TEST_F(RadiusDimensionTest, FirstClickOnAnArcEndMeasuresLinearly) {
  clickMm(60.0f, 50.0f);  // the arc's start point
  EXPECT_EQ(editor.tool().FDimensionShape, nullptr);
  clickMm(90.0f, 50.0f);
  EXPECT_EQ(doc().Count(), 1);  // two clicks are not enough without an arc
  clickMm(75.0f, 40.0f);
  EXPECT_EQ(doc().Count(), 1 + 5);
  EXPECT_EQ(doc()[1]->FText, QStringLiteral("30.0 mm"));
}

TEST_F(MarkToolsTest, DimensionToolIgnoresClicksWithModifiers) {
  editor.tool().FTool = TTool::DimensionLine;
  for (TShiftState s : {ssShift, ssCtrl}) {
    clickMm(10.0f, 10.0f, s);
    EXPECT_TRUE(editor.tool().Clicked_Points.empty()) << s;
  }
  clickMm(10.0f, 10.0f, ssLeft);  // the button flag alone is no modifier
  EXPECT_EQ(editor.tool().Clicked_Points.size(), 1u);
}

// ---- Centre-line tool ----

TEST_F(MarkToolsTest, CentreLineTicksAtTheDivisions) {
  struct Case {
    float divisions;
    bool withEnds;
    std::vector<float> ticksAt;  // x of each tick, in order
  };
  const Case cases[] = {
      {2.0f, false, {50.0f}},
      {2.0f, true, {0.0f, 50.0f, 100.0f}},
      {1.0f, false, {}},
      {4.0f, false, {25.0f, 50.0f, 75.0f}},
      {0.0f, true, {0.0f, 100.0f}},  // below 1 counts as 1
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "divisions " << c.divisions << " ends " << c.withEnds);
    clearDocumentShapes(editor);
    addLineWithIntersections({0.0f, 0.0f}, {100.0f, 0.0f});
    editor.tool().FTool = TTool::CenterLine;
    editor.panel().nbNumDividingCenter = c.divisions;
    editor.panel().nbCenterLineLength1 = 40.0f;
    editor.panel().chkDrawEdges = c.withEnds;
    const std::size_t before = undoStates();
    clickMm(0.0f, 0.0f);
    clickMm(100.0f, 0.0f);
    EXPECT_TRUE(editor.tool().Clicked_Points.empty());
    ASSERT_EQ(doc().Count(), 1 + int(c.ticksAt.size()));
    EXPECT_EQ(undoStates(), before + c.ticksAt.size());  // one snapshot per tick
    for (std::size_t i = 0; i < c.ticksAt.size(); ++i) {
      TQN_Path *tick = doc()[int(i) + 1];
      ASSERT_TRUE(tick->isKind(TShapeKind::Line));
      EXPECT_NEAR(tick->FStartPt.X, c.ticksAt[i], 1e-6);
      EXPECT_EQ(tick->FEndPt.X, tick->FStartPt.X);  // straightened: exactly vertical
      EXPECT_NEAR(tick->FStartPt.Y, 20.0f, kEps);
      EXPECT_NEAR(tick->FEndPt.Y, -20.0f, kEps);
      EXPECT_FALSE(tick->FSelected);
    }
  }
}

TEST_F(MarkToolsTest, CentreLineTickOnASlantedLineIsPerpendicular) {
  addLineWithIntersections({0.0f, 0.0f}, {30.0f, 40.0f});
  editor.tool().FTool = TTool::CenterLine;
  editor.panel().nbCenterLineLength1 = 10.0f;
  clickMm(0.0f, 0.0f);
  clickMm(30.0f, 40.0f);
  ASSERT_EQ(doc().Count(), 2);
  TQN_Path *tick = doc()[1];
  // Unit (0.6, 0.8) turned by 90 degrees is (-0.8, 0.6): +-5 of it around (15, 20).
  EXPECT_POINT_NEAR(tick->FStartPt, 11.0f, 23.0f, kEps);
  EXPECT_POINT_NEAR(tick->FEndPt, 19.0f, 17.0f, kEps);
  // The tick crosses the line: its intersection is recorded.
  EXPECT_GE(editor.doc().FIntersections.Count(), 1);
}

TEST_F(MarkToolsTest, CentreLineIgnoresClicksAwayFromAnchors) {
  TQN_Path *line = addLineWithIntersections({0.0f, 0.0f}, {100.0f, 0.0f});
  editor.tool().FTool = TTool::CenterLine;
  clickMm(30.0f, 0.3f);  // on the line, but at no end, crossing or snap candidate
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  EXPECT_TRUE(line->FSelected);  // nothing created: the click selects instead
  EXPECT_FALSE(commitCenterLineTool(editor, {30.0f, 0.3f}, 0, false));
  EXPECT_TRUE(commitCenterLineTool(editor, {100.0f, 0.0f}, 0, false));
  EXPECT_EQ(editor.tool().Clicked_Points.size(), 1u);
}

// ---- Ellipse tool ----

TEST_F(MarkToolsTest, EllipseToolMakesCirclesOrFourBeziers) {
  struct Case {
    TPointF corner;
    TShiftState shift;
    int shapes;
    float circleWidth;  // for a circle
  };
  const Case cases[] = {
      {{12.0f, 10.0f}, 0, 4, 0.0f},
      {{10.005f, 10.0f}, 0, 1, 20.01f},
      {{5.0f, 8.0f}, ssShift, 1, 16.0f},
      {{-3.0f, 4.0f}, ssShift, 1, 8.0f},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "corner " << c.corner.X << ", " << c.corner.Y);
    clearDocumentShapes(editor);
    editor.tool().FTool = TTool::Circle;
    const std::size_t before = undoStates();
    clickMm(0.0f, 0.0f, c.shift);
    clickMm(c.corner.X, c.corner.Y, c.shift);
    EXPECT_TRUE(editor.tool().Clicked_Points.empty());
    ASSERT_EQ(doc().Count(), c.shapes);
    EXPECT_EQ(undoStates(), before + 1);
    if (c.shapes == 1) {
      TQN_Path *circle = doc()[0];
      EXPECT_TRUE(circle->isKind(TShapeKind::Ellipse));
      EXPECT_NEAR(circle->FWidth, c.circleWidth, 1e-4);
      EXPECT_NEAR(circle->FHeight, c.circleWidth, 1e-4);
      EXPECT_POINT_NEAR(circle->FCenter, 0.0f, 0.0f, 1e-6f);
      EXPECT_TRUE(circle->FSelected);
    }
  }
}

TEST_F(MarkToolsTest, EllipseQuartersJoinOnTheEllipse) {
  editor.tool().FTool = TTool::Circle;
  clickMm(20.0f, 30.0f);
  clickMm(32.0f, 40.0f);  // rx 12, ry 10
  ASSERT_EQ(doc().Count(), 4);
  std::vector<TPointF> ends;
  for (int i = 0; i < 4; ++i) {
    TQN_Path *q = doc()[i];
    ASSERT_TRUE(q->isKind(TShapeKind::Bezier));
    EXPECT_TRUE(q->FSelected);
    EXPECT_EQ(q->FStartPt, doc()[(i + 3) % 4]->FEndPt);  // a closed chain
    ends.push_back(q->FStartPt);
    const TCubicBezier curve{q->FStartPt, q->FBezierCp1, q->FBezierCp2, q->FEndPt};
    for (double t : {0.25, 0.5, 0.75}) {
      const TPointF p = bezierPointAt(curve, t);
      const double e = std::pow((p.X - 20.0) / 12.0, 2) + std::pow((p.Y - 30.0) / 10.0, 2);
      EXPECT_NEAR(e, 1.0, 2e-3) << "quarter " << i << " t " << t;
    }
  }
  // The quarters start at the ends of the axes.
  for (TPointF axisEnd : {TPointF{20.0f, 40.0f}, TPointF{32.0f, 30.0f}, TPointF{20.0f, 20.0f}, TPointF{8.0f, 30.0f}})
    EXPECT_TRUE(std::any_of(ends.begin(), ends.end(), [&](TPointF e) { return calcDistance(e, axisEnd) < kEps; }))
        << axisEnd.X << ", " << axisEnd.Y;
}

TEST_F(MarkToolsTest, EllipseToolWithNoAddLeavesTheDocumentAlone) {
  commitEllipseTool(editor, {0.0f, 0.0f}, 0, true, false, true);
  std::vector<TQN_Path *> made = commitEllipseTool(editor, {12.0f, 10.0f}, 0, true, false, true);
  EXPECT_EQ(made.size(), 4u);
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  for (TQN_Path *s : made) delete s;
}

// ---- Dot tool and stamps ----

TEST_F(MarkToolsTest, DotToolDropsASelectedDotWithoutIntersections) {
  addLineWithIntersections({0.0f, 20.0f}, {60.0f, 20.0f});
  editor.tool().FTool = TTool::Dot;
  const std::size_t before = undoStates();
  clickMm(30.0f, 20.0f);
  ASSERT_EQ(doc().Count(), 2);
  TQN_Path *dot = doc()[1];
  EXPECT_TRUE(dot->isKind(TShapeKind::Dot));
  EXPECT_NEAR(dot->FWidth, 0.9f, 1e-6);
  EXPECT_NEAR(dot->FHeight, 0.9f, 1e-6);
  EXPECT_POINT_NEAR(dot->FCenter, 30.0f, 20.0f, 1e-6f);
  EXPECT_TRUE(dot->FSelected);
  EXPECT_FALSE(doc()[0]->FSelected);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
}

class StampTest : public MarkToolsTest {
 protected:
  void SetUp() override {
    MarkToolsTest::SetUp();
    // A 10 x 4 part, not in the document, as the repository window would hold it.
    part = std::make_unique<TQN_Path>(-1, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 777);
    TPathData d;
    d.MoveTo({0.0f, 0.0f});
    d.LineTo({10.0f, 0.0f});
    d.LineTo({10.0f, 4.0f});
    d.LineTo({0.0f, 4.0f});
    d.ClosePath();
    part->setData(d);
  }
  std::unique_ptr<TQN_Path> part;
};

TEST_F(StampTest, DotToolStampsTheRepositoryPartCentredOnTheClick) {
  editor.tool().FRepositoryTemplate = part.get();
  editor.tool().FTool = TTool::Dot;
  const std::size_t before = undoStates();
  clickMm(30.0f, 20.0f);
  ASSERT_EQ(doc().Count(), 1);
  TQN_Path *copy = doc()[0];
  EXPECT_NE(copy, part.get());
  EXPECT_TRUE(copy->isKind(TShapeKind::Other));
  EXPECT_NE(copy->ID(), part->ID());
  EXPECT_TRUE(copy->FSelected);
  const TRectF box = copy->getBoundary(false);
  EXPECT_NEAR(box.Left, 25.0f, kEps);
  EXPECT_NEAR(box.Top, 18.0f, kEps);
  EXPECT_NEAR(box.Right, 35.0f, kEps);
  EXPECT_NEAR(box.Bottom, 22.0f, kEps);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_FALSE(part->FSelected);
}

TEST_F(StampTest, StampTurnsToTheDirectionOrGoesToTheCorner) {
  TQN_Path *turned = stampTemplateAt(editor, *part, {50.0f, 50.0f}, {0.0f, 1.0f});
  const TRectF a = turned->getBoundary(false);
  EXPECT_NEAR(a.width(), 4.0f, kEps);
  EXPECT_NEAR(a.height(), 10.0f, kEps);
  EXPECT_POINT_NEAR(a.centerPoint(), 50.0f, 50.0f, kEps);
  EXPECT_FALSE(turned->FSelected);
  EXPECT_POINT_NEAR(turned->FStartPt, 48.0f, 45.0f, kEps);  // boundary corners
  EXPECT_POINT_NEAR(turned->FEndPt, 52.0f, 55.0f, kEps);

  editor.view().FOffset = {100.0f, 200.0f};
  TQN_Path *placed = stampTemplateAt(editor, *part, {-1.0f, -1.0f}, {1.0f, 0.0f});
  const TRectF b = placed->getBoundary(false);
  // Pixel (50, 50) is (50 - 100, 50 - 200) / 10 mm.
  EXPECT_POINT_NEAR(b.topLeft(), -5.0f, -15.0f, kEps);
  EXPECT_NEAR(b.width(), 10.0f, kEps);
  EXPECT_EQ(doc().Count(), 2);
}

// ---- Distance marking ----

class DistanceMarkingTest : public MarkToolsTest {
 protected:
  void SetUp() override {
    MarkToolsTest::SetUp();
    editor.tool().FTool = TTool::DistMarkLine;
    editor.panel().nbMarkingDistance1 = 3.0f;
    editor.panel().nbMarkLen1 = 3.0f;
  }
  // A click as the release handler hands it to the tool: the pointer arrives (the sticky
  // point follows it), then the tool gets the sticky point when nothing is collected yet
  // and one exists, else the raw position.
  TQN_Path *markClick(float x, float y) {
    pointerMove(editor, 0, x * 10.0f, y * 10.0f);
    const TPointF pt = editor.tool().Clicked_Points.empty() && editor.snap().FStickyExists
                           ? editor.snap().FStickyPoint
                           : virtualToRealXY(editor, x * 10.0f, y * 10.0f);
    return commitDistanceMarkingTool(editor, pt, false, nullptr);
  }
};

TEST_F(DistanceMarkingTest, MarkAtTheDistanceFromALineEnd) {
  TQN_Path *line = addLineWithIntersections({0.0f, 0.0f}, {10.0f, 0.0f});
  EXPECT_EQ(markClick(10.0f, 0.1f), nullptr);  // snaps to the end: the measurement starts
  ASSERT_EQ(editor.tool().Clicked_Points.size(), 1u);
  EXPECT_EQ(editor.tool().Clicked_Points[0], (TPointF{10.0f, 0.0f}));
  const std::size_t before = undoStates();

  TQN_Path *mark = markClick(6.0f, 0.8f);
  ASSERT_NE(mark, nullptr);
  ASSERT_EQ(doc().Count(), 2);
  EXPECT_EQ(doc()[1], mark);
  EXPECT_POINT_NEAR(mark->FStartPt, 7.0f, 1.5f, kEps);
  EXPECT_POINT_NEAR(mark->FEndPt, 7.0f, -1.5f, kEps);
  EXPECT_TRUE(mark->FIsFreeAngle);
  EXPECT_EQ(mark->FColor, editor.pen().FCurrentColor);
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  EXPECT_EQ(undoStates(), before + 1);
  // Its crossing with the line is recorded.
  bool crossing = false;
  for (const TIntersection *ict : editor.doc().FIntersections)
    crossing = crossing ||
               ((ict->FPath1 == mark || ict->FPath2 == mark) && (ict->FPath1 == line || ict->FPath2 == line));
  EXPECT_TRUE(crossing);
}

TEST_F(DistanceMarkingTest, TheSecondClickChoosesAmongConnectedPaths) {
  addLineWithIntersections({0.0f, 0.0f}, {10.0f, 0.0f});
  TQN_Path *up = addLineWithIntersections({10.0f, 0.0f}, {10.0f, 10.0f});
  addLineWithIntersections({30.0f, 0.0f}, {30.0f, 10.0f});  // not connected: never marked
  markClick(10.0f, 0.0f);
  TQN_Path *mark = markClick(9.4f, 4.0f);
  ASSERT_NE(mark, nullptr);
  // Across the vertical line 3 mm up from the joint, horizontal.
  EXPECT_POINT_NEAR(mark->FStartPt, 8.5f, 3.0f, kEps);
  EXPECT_POINT_NEAR(mark->FEndPt, 11.5f, 3.0f, kEps);
  (void)up;

  // The same start, a click nearer the other line's crossing.
  markClick(10.0f, 0.0f);
  TQN_Path *other = markClick(6.0f, 0.8f);
  ASSERT_NE(other, nullptr);
  EXPECT_POINT_NEAR(other->FStartPt, 7.0f, 1.5f, kEps);
}

TEST_F(DistanceMarkingTest, ContinuousMarkingMeasuresOnFromTheLastMark) {
  addLineWithIntersections({0.0f, 0.0f}, {20.0f, 0.0f});
  editor.panel().chkContinuousDistanceMarking = true;
  markClick(0.0f, 0.0f);
  TQN_Path *first = markClick(4.0f, 1.0f);
  ASSERT_NE(first, nullptr);
  EXPECT_NEAR(first->FStartPt.X, 3.0f, kEps);
  ASSERT_EQ(editor.tool().Clicked_Points.size(), 1u);
  EXPECT_POINT_NEAR(editor.tool().Clicked_Points[0], 3.0f, 0.0f, kEps);

  TQN_Path *second = markClick(7.0f, 1.0f);  // beyond the last mark
  ASSERT_NE(second, nullptr);
  EXPECT_POINT_NEAR(second->FStartPt, 6.0f, 1.5f, kEps);
  EXPECT_POINT_NEAR(second->FEndPt, 6.0f, -1.5f, kEps);
  EXPECT_EQ(doc().Count(), 3);
}

TEST_F(DistanceMarkingTest, StartInTheMiddleOfALineLeavesARedMarkUntilTheNextMark) {
  TQN_Path *line = addLineWithIntersections({0.0f, 0.0f}, {20.0f, 0.0f});
  // Snapped in the middle of the line (by the grid, say).
  editor.snap().FStickyExists = true;
  editor.snap().FStickyPoint = {10.0f, 0.0f};
  TQN_Path *red = commitDistanceMarkingTool(editor, editor.snap().FStickyPoint, false, nullptr);
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(editor.tool().FTempDistMarkLine, red);
  EXPECT_EQ(red->FColor, 0xFFFF0000u);
  EXPECT_POINT_NEAR(red->FStartPt, 10.0f, 1.5f, kEps);
  EXPECT_EQ(doc().Count(), 2);

  editor.snap().FStickyExists = false;
  TQN_Path *mark = commitDistanceMarkingTool(editor, {14.0f, 1.0f}, false, nullptr);
  ASSERT_NE(mark, nullptr);
  EXPECT_POINT_NEAR(mark->FStartPt, 13.0f, 1.5f, kEps);
  EXPECT_EQ(editor.tool().FTempDistMarkLine, nullptr);
  ASSERT_EQ(doc().Count(), 2);  // the red mark is gone with its records
  EXPECT_EQ(doc()[0], line);
  EXPECT_EQ(doc()[1], mark);
  for (const TIntersection *ict : editor.doc().FIntersections) {
    EXPECT_TRUE(ict->FPath1 == line || ict->FPath1 == mark);
    EXPECT_TRUE(ict->FPath2 == line || ict->FPath2 == mark);
  }
}

TEST_F(DistanceMarkingTest, MarkOriginsTooAndNoCrossing) {
  addLineWithIntersections({0.0f, 0.0f}, {10.0f, 0.0f});
  editor.panel().chkDrawFirstPos = true;
  const std::size_t before = undoStates();
  TQN_Path *origin = markClick(0.0f, 0.0f);
  ASSERT_NE(origin, nullptr);
  EXPECT_POINT_NEAR(origin->FStartPt, 0.0f, 1.5f, kEps);
  EXPECT_POINT_NEAR(origin->FEndPt, 0.0f, -1.5f, kEps);
  EXPECT_EQ(undoStates(), before + 1);

  // A circle of 30 mm meets nothing connected: no mark, the first point stays.
  editor.panel().nbMarkingDistance1 = 30.0f;
  EXPECT_EQ(markClick(5.0f, 2.0f), nullptr);
  EXPECT_EQ(doc().Count(), 2);
  ASSERT_EQ(editor.tool().Clicked_Points.size(), 1u);
  EXPECT_EQ(editor.tool().Clicked_Points[0], (TPointF{0.0f, 0.0f}));
}

TEST_F(DistanceMarkingTest, PreviewChangesNothing) {
  addLineWithIntersections({0.0f, 0.0f}, {10.0f, 0.0f});
  markClick(10.0f, 0.0f);
  const std::size_t before = undoStates();
  EXPECT_EQ(commitDistanceMarkingTool(editor, {6.0f, 0.8f}, true, nullptr), nullptr);
  EXPECT_EQ(doc().Count(), 1);
  EXPECT_EQ(editor.tool().Clicked_Points.size(), 1u);
  EXPECT_EQ(undoStates(), before);
}

TEST_F(MarkToolsTest, PerpendicularMarkNeedsAStraightPieceAtThePoint) {
  TQN_Path *line = addLineWithIntersections({0.0f, 0.0f}, {10.0f, 10.0f});
  editor.panel().nbMarkLen1 = 2.0f;
  EXPECT_EQ(placePerpendicularMark(editor, line, {5.0f, 5.1f}, false, nullptr), nullptr);
  TQN_Path *mark = placePerpendicularMark(editor, line, {5.0f, 5.0f}, false, nullptr);
  ASSERT_NE(mark, nullptr);
  const float h = std::sqrt(2.0f) / 2.0f;  // half the length along (-1, 1) / sqrt 2
  EXPECT_POINT_NEAR(mark->FStartPt, 5.0f - h, 5.0f + h, kEps);
  EXPECT_POINT_NEAR(mark->FEndPt, 5.0f + h, 5.0f - h, kEps);
  EXPECT_EQ(doc().Count(), 2);
}

TEST_F(MarkToolsTest, TouchingPathsWithAndWithoutCrossings) {
  TQN_Path *a = addLineWithIntersections({0.0f, 0.0f}, {10.0f, 0.0f});
  TQN_Path *joined = addLineWithIntersections({10.0f, 0.0f}, {10.0f, 10.0f});
  TQN_Path *crossing = addLineWithIntersections({5.0f, -5.0f}, {5.0f, 5.0f});
  addLineWithIntersections({50.0f, 50.0f}, {60.0f, 50.0f});
  std::vector<TQN_Path *> list;
  collectTouchingPaths(editor, a, list, false);
  EXPECT_EQ(list, (std::vector<TQN_Path *>{joined}));
  collectTouchingPaths(editor, a, list, true);  // adds only what is missing
  EXPECT_EQ(list, (std::vector<TQN_Path *>{joined, crossing}));
}

}  // namespace
}  // namespace quillon
