// The line, rectangle, Bezier, arc and text tools, driven through the pointer handlers.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "model/point_helpers.h"
#include "support/editor_fixture.h"
#include "tools/draw_tools.h"
#include "tools/pointer.h"

namespace quillon {
namespace {

constexpr float kTol = 1e-3f;

// Scale 10, offset 0: pixel = 10 x millimetres; clicks are given in millimetres.
class DrawToolsTest : public test::EditorTest {
 protected:
  void SetUp() override {
    editor.view().FBoxWidth = 1000.0f;
    editor.view().FBoxHeight = 800.0f;
    editor.display().FShowGrid = false;
  }
  void clickMm(float x, float y, TShiftState shift = 0) {
    pointerDown(editor, TMouseButton::Left, shift, x * 10.0f, y * 10.0f);
    pointerUp(editor, TMouseButton::Left, shift, x * 10.0f, y * 10.0f);
  }
  void use(TTool tool) { editor.tool().FTool = tool; }
  std::vector<TQN_Path *> shapesOfKind(TShapeKind kind) {
    std::vector<TQN_Path *> out;
    for (TQN_Path *s : doc())
      if (s->isKind(kind)) out.push_back(s);
    return out;
  }
  TQN_Path *onlyShape(TShapeKind kind) {
    const std::vector<TQN_Path *> all = shapesOfKind(kind);
    EXPECT_EQ(all.size(), 1u);
    return all.empty() ? nullptr : all.front();
  }
  TQN_Path *addCircle(TPointF c, float diameter) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawEllipsePath(c, diameter, diameter);
    return editor.doc().add(std::move(s), 0);
  }
};

void expectPoint(TPointF actual, TPointF expected, float tol = kTol) {
  EXPECT_NEAR(actual.X, expected.X, tol);
  EXPECT_NEAR(actual.Y, expected.Y, tol);
}

// ---- Line tool ----

struct ShiftCase {
  TPointF second;  // released point, first click at (10, 10)
  TShiftState shift;
  bool horizontalMode;  // rbLineHorizontal instead of Shift
  TPointF end;
};

TEST_F(DrawToolsTest, LineShiftConstraintIsHorizontalOrVertical) {
  const ShiftCase cases[] = {
      {{20.0f, 20.0f}, ssShift, false, {20.0f, 10.0f}},  // diagonal tie: horizontal
      {{13.0f, 30.0f}, ssShift, false, {10.0f, 30.0f}},  // steeper: vertical
      {{40.0f, 5.0f}, ssShift, false, {40.0f, 10.0f}},   // flatter: horizontal
      {{13.0f, 30.0f}, 0, true, {10.0f, 30.0f}},         // the axis mode without Shift
      {{13.0f, 30.0f}, 0, false, {13.0f, 30.0f}},        // free
  };
  for (const ShiftCase &c : cases) {
    SCOPED_TRACE(testing::Message() << c.second.X << "," << c.second.Y << " shift " << c.shift);
    editor.doc().remove(std::vector<TQN_Path *>(doc().begin(), doc().end()));  // with their records
    editor.panel().rbLineHorizontal = c.horizontalMode;
    use(TTool::Line);
    const std::size_t before = undoStates();
    clickMm(10.0f, 10.0f);
    EXPECT_EQ(editor.tool().Clicked_Points.size(), 1u);
    EXPECT_EQ(doc().Count(), 0);
    clickMm(c.second.X, c.second.Y, c.shift);
    TQN_Path *line = onlyShape(TShapeKind::Line);
    ASSERT_NE(line, nullptr);
    expectPoint(line->FStartPt, {10.0f, 10.0f});
    expectPoint(line->FEndPt, c.end);
    EXPECT_TRUE(line->FSelected);
    EXPECT_EQ(line->FColor, editor.pen().FCurrentColor);
    EXPECT_TRUE(editor.tool().Clicked_Points.empty());
    EXPECT_EQ(undoStates(), before + 1);
  }
}

TEST_F(DrawToolsTest, LineFixedLengthKeepsTheDirection) {
  use(TTool::Line);
  editor.panel().chkLineLength = true;
  editor.panel().nbLineLength1 = 10.0f;
  clickMm(0.0f, 0.0f);
  clickMm(30.0f, 40.0f);
  clickMm(50.0f, 50.0f);
  clickMm(80.0f, 55.0f, ssShift);  // constrained horizontal first, then 10 mm long
  const std::vector<TQN_Path *> lines = shapesOfKind(TShapeKind::Line);
  ASSERT_EQ(lines.size(), 2u);
  expectPoint(lines[0]->FEndPt, {6.0f, 8.0f});
  expectPoint(lines[1]->FEndPt, {60.0f, 50.0f});
  EXPECT_NE(lines[0]->ID(), lines[1]->ID());
}

TEST_F(DrawToolsTest, LineClickOnTheLastPointIsIgnored) {
  use(TTool::Line);
  clickMm(10.0f, 10.0f);
  clickMm(10.0f, 10.0f);
  EXPECT_EQ(editor.tool().Clicked_Points.size(), 1u);
  EXPECT_EQ(doc().Count(), 0);
}

TEST_F(DrawToolsTest, LineOffersTangentPointsUntilTheLineIsMade) {
  addCircle({50.0f, 50.0f}, 20.0f);
  use(TTool::Line);
  clickMm(50.0f, 10.0f);
  ASSERT_EQ(editor.snap().FSnapPoints.size(), 2u);
  // Tangent points from (50, 10) to the circle of radius 10 about (50, 50).
  for (TPointF t : editor.snap().FSnapPoints) {
    EXPECT_NEAR(calcDistance(t, {50.0f, 50.0f}), 10.0f, 1e-3f);
    const TPointF radial = t - TPointF(50.0f, 50.0f), toStart = t - TPointF(50.0f, 10.0f);
    EXPECT_NEAR(radial.X * toStart.X + radial.Y * toStart.Y, 0.0f, 1e-2f);
  }
  clickMm(70.0f, 10.0f);
  EXPECT_TRUE(editor.snap().FSnapPoints.empty());
}

// Two lines leaving P = (10, 10): A along +x, B along +y.
class RelativeAngleTest : public DrawToolsTest {
 protected:
  void SetUp() override {
    DrawToolsTest::SetUp();
    addLine({10.0f, 10.0f}, {50.0f, 10.0f});
    addLine({10.0f, 10.0f}, {10.0f, 50.0f});
    editor.panel().rbLineAngleNone = false;
    editor.panel().rbLineRelativeAngle = true;
  }
};

struct RelativeCase {
  float angle;
  TPointF pointer;
  TPointF direction;  // expected unit direction of the new line
  TPointF edge;       // expected edge measured from
  float signedAngle;
  bool relative;
};

TEST_F(RelativeAngleTest, NearestCandidateOverBothLinesAndSigns) {
  const float h = std::sqrt(0.5f);
  const RelativeCase cases[] = {
      // Below-left: B turned by +45 lies nearest.
      {45.0f, {5.0f, 40.0f}, {-h, h}, {0.0f, 1.0f}, 45.0f, true},
      // Up-right: A turned by -45.
      {45.0f, {40.0f, 5.0f}, {h, -h}, {1.0f, 0.0f}, -45.0f, true},
      // Down-right: A+45 and B-45 coincide; the first record wins.
      {45.0f, {30.0f, 30.0f}, {h, h}, {1.0f, 0.0f}, 45.0f, true},
      // Angle 0: the pointer's own direction.
      {0.0f, {5.0f, 40.0f}, calcUnitVector({10.0f, 10.0f}, {5.0f, 40.0f}), {0.0f, 0.0f}, 0.0f, false},
  };
  for (const RelativeCase &c : cases) {
    SCOPED_TRACE(testing::Message() << "pointer " << c.pointer.X << "," << c.pointer.Y << " angle " << c.angle);
    editor.panel().nbLineAngle = c.angle;
    const TLineToolInput in = applyLineToolInput(editor, {10.0f, 10.0f}, c.pointer);
    EXPECT_EQ(in.Relative, c.relative);
    expectPoint(in.Direction, c.direction);
    EXPECT_NEAR(in.Angle, c.signedAngle, kTol);
    if (c.relative) expectPoint(in.EdgeDirection, c.edge);

    // The committed line: the same direction, as long as the distance to the pointer.
    use(TTool::Line);
    clickMm(10.0f, 10.0f);
    clickMm(c.pointer.X, c.pointer.Y);
    TQN_Path *line = doc()[doc().Count() - 1];
    const float length = calcDistance({10.0f, 10.0f}, c.pointer);
    expectPoint(line->FEndPt, TPointF(10.0f, 10.0f) + c.direction * length, 2e-3f);
  }
}

TEST_F(RelativeAngleTest, NoLineAtTheStartFollowsThePointer) {
  editor.panel().nbLineAngle = 30.0f;
  const TLineToolInput in = applyLineToolInput(editor, {80.0f, 80.0f}, {90.0f, 85.0f});
  EXPECT_FALSE(in.Relative);
  expectPoint(in.End, {90.0f, 85.0f});
}

TEST_F(DrawToolsTest, ShiftConstraintOfOtherToolsIsASquare) {
  use(TTool::Bezier);
  expectPoint(constrainWithShift(editor, {10.0f, 10.0f}, {14.0f, 1.0f}), {19.0f, 1.0f});
  // Level on x: the negative way.
  expectPoint(constrainWithShift(editor, {10.0f, 10.0f}, {10.0f, 16.0f}), {4.0f, 16.0f});
  use(TTool::Line);
  expectPoint(constrainWithShift(editor, {10.0f, 10.0f}, {14.0f, 1.0f}), {10.0f, 1.0f});
}

// ---- Rectangle tool ----

TEST_F(DrawToolsTest, RectangleIsFourLinesAndOneSnapshot) {
  use(TTool::Rect);
  const std::size_t before = undoStates();
  const int idBefore = doc().getNextID();
  clickMm(10.0f, 10.0f);
  EXPECT_EQ(doc().Count(), 0);
  clickMm(40.0f, 30.0f);
  const std::vector<TQN_Path *> lines = shapesOfKind(TShapeKind::Line);
  ASSERT_EQ(lines.size(), 4u);
  const TPointF corners[] = {{10.0f, 10.0f}, {40.0f, 10.0f}, {40.0f, 30.0f}, {10.0f, 30.0f}};
  std::set<int> ids;
  for (int i = 0; i < 4; ++i) {
    expectPoint(lines[i]->FStartPt, corners[i]);
    expectPoint(lines[i]->FEndPt, corners[(i + 1) % 4]);
    EXPECT_TRUE(lines[i]->FSelected);
    EXPECT_GT(lines[i]->ID(), idBefore);
    ids.insert(lines[i]->ID());
  }
  EXPECT_EQ(ids.size(), 4u);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  // The sides meet: the upkeep recorded their corners.
  EXPECT_GE(editor.doc().FIntersections.Count(), 4);
}

struct RectCase {
  const char *name;
  TPointF first, second;
  TShiftState shift;
  bool fixedWidth, fixedHeight;
  std::size_t lines;
  TPointF corner;  // the corner opposite the first click
};

TEST_F(DrawToolsTest, RectangleCornerRules) {
  const RectCase cases[] = {
      {"Shift keeps the released point", {10, 10}, {40, 20}, ssShift, false, false, 4, {40, 20}},
      {"fixed width extends to +x", {50, 10}, {20, 30}, 0, true, false, 4, {80, 30}},
      {"fixed both", {50, 10}, {20, 5}, 0, true, true, 4, {80, 40}},
      {"zero height is one line", {10, 10}, {40, 10}, 0, false, false, 1, {40, 10}},
  };
  for (const RectCase &c : cases) {
    SCOPED_TRACE(c.name);
    editor.doc().remove(std::vector<TQN_Path *>(doc().begin(), doc().end()));  // with their records
    editor.panel().chkRectWidth = c.fixedWidth;
    editor.panel().chkRectHeight = c.fixedHeight;
    use(TTool::Rect);
    clickMm(c.first.X, c.first.Y);
    clickMm(c.second.X, c.second.Y, c.shift);
    const std::vector<TQN_Path *> lines = shapesOfKind(TShapeKind::Line);
    ASSERT_EQ(lines.size(), c.lines);
    expectPoint(lines[0]->FStartPt, c.first);
    if (c.lines == 4)
      expectPoint(lines[1]->FEndPt, c.corner);
    else
      expectPoint(lines[0]->FEndPt, c.corner);
  }
}

// ---- Bezier tool ----

TEST_F(DrawToolsTest, BezierNeedsFourClicksInOrder) {
  use(TTool::Bezier);
  const std::size_t before = undoStates();
  clickMm(10.0f, 10.0f);
  clickMm(20.0f, 0.0f);
  clickMm(30.0f, 20.0f);
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(editor.tool().Clicked_Points.size(), 3u);
  EXPECT_EQ(undoStates(), before);
  clickMm(40.0f, 10.0f);
  TQN_Path *curve = onlyShape(TShapeKind::Bezier);
  ASSERT_NE(curve, nullptr);
  expectPoint(curve->FStartPt, {10.0f, 10.0f});
  expectPoint(curve->FBezierCp1, {20.0f, 0.0f});
  expectPoint(curve->FBezierCp2, {30.0f, 20.0f});
  expectPoint(curve->FEndPt, {40.0f, 10.0f});
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  EXPECT_EQ(undoStates(), before + 1);
}

// ---- Arc tool ----

class ArcToolTest : public DrawToolsTest {
 protected:
  void SetUp() override {
    DrawToolsTest::SetUp();
    use(TTool::Arc);
  }
  void mode(bool radius, bool halfMoon, bool three) {
    editor.panel().rbArc_R = radius;
    editor.panel().rbArc_HalfMoonRatio = halfMoon;
    editor.panel().rbArc_3_points = three;
  }
  // The vertical extent of the arc's outline.
  std::pair<float, float> yRange(TQN_Path &arc) {
    const TRectF b = arc.Data().GetBounds();
    return {b.Top, b.Bottom};
  }
};

TEST_F(ArcToolTest, RadiusModeCutsTheChordToADiameterAndTheThirdClickPicksTheSide) {
  mode(true, false, false);
  editor.panel().nbRforArc1 = 20.0f;
  struct {
    float thirdY, top, bottom;
  } sides[] = {{30.0f, 10.0f, 30.0f}, {-10.0f, -10.0f, 10.0f}};
  for (const auto &side : sides) {
    SCOPED_TRACE(side.thirdY);
    const std::size_t before = undoStates();
    const int count = doc().Count();
    clickMm(10.0f, 10.0f);
    clickMm(60.0f, 10.0f);  // 50 mm: longer than the 40 mm diameter
    EXPECT_EQ(doc().Count(), count);
    EXPECT_EQ(editor.tool().Clicked_Points.size(), 2u);
    clickMm(30.0f, side.thirdY);
    ASSERT_EQ(doc().Count(), count + 1);
    TQN_Path *arc = doc()[count];
    ASSERT_TRUE(arc->isKind(TShapeKind::Arc));
    expectPoint(arc->FStartPt, {10.0f, 10.0f});
    expectPoint(arc->FEndPt, {50.0f, 10.0f});
    EXPECT_NEAR(arc->FWidth, 20.0f, kTol);
    EXPECT_NEAR(std::fabs(arc->FSweepAngle), 180.0f, 0.01f);
    const auto [top, bottom] = yRange(*arc);
    EXPECT_NEAR(top, side.top, 0.01f);
    EXPECT_NEAR(bottom, side.bottom, 0.01f);
    EXPECT_TRUE(editor.tool().Clicked_Points.empty());
    EXPECT_EQ(undoStates(), before + 1);
  }
}

TEST_F(ArcToolTest, HalfMoonRatioSetsHowFullTheArcIs) {
  mode(false, true, false);
  struct {
    float ratio, radius, sweep, bottom;
  } cases[] = {
      {100.0f, 20.0f, 180.0f, 30.0f},  // a half circle on the 40 mm chord
      {50.0f, 40.0f, 60.0f, 10.0f + 40.0f - std::sqrt(1200.0f)},  // radius = chord
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.ratio);
    editor.panel().nbArc_HalfMoonRatio = c.ratio;
    const int count = doc().Count();
    clickMm(10.0f, 10.0f);
    clickMm(50.0f, 10.0f);
    clickMm(30.0f, 20.0f);  // below the chord
    ASSERT_EQ(doc().Count(), count + 1);
    TQN_Path *arc = doc()[count];
    EXPECT_NEAR(arc->FWidth, c.radius, kTol);
    EXPECT_NEAR(std::fabs(arc->FSweepAngle), c.sweep, 0.01f);
    expectPoint(arc->FEndPt, {50.0f, 10.0f});
    EXPECT_NEAR(yRange(*arc).second, c.bottom, 0.01f);
    EXPECT_NEAR(yRange(*arc).first, 10.0f, 0.01f);
  }
}

TEST_F(ArcToolTest, ThreePointCollinearClicksDropTheThirdPoint) {
  mode(false, false, true);
  const std::size_t before = undoStates();
  clickMm(10.0f, 10.0f);
  clickMm(20.0f, 10.0f);
  clickMm(40.0f, 10.0f);
  EXPECT_EQ(doc().Count(), 0);
  ASSERT_EQ(editor.tool().Clicked_Points.size(), 2u);
  expectPoint(editor.tool().Clicked_Points[1], {20.0f, 10.0f});
  EXPECT_EQ(undoStates(), before);
  // Another third click completes the arc.
  clickMm(15.0f, 15.0f);
  EXPECT_NE(onlyShape(TShapeKind::Arc), nullptr);
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
}

struct ThreePointCase {
  const char *name;
  TPointF second, third;
  TPointF end;  // where the arc ends
  TPointF centre;
  float sweep;  // magnitude
  float bottom;
};

TEST_F(ArcToolTest, ThreePointArcs) {
  mode(false, false, true);
  const ThreePointCase cases[] = {
      // The third click is farther from the start than the second: the arc ends there and
      // passes through the second. Centre (30, 0), radius sqrt(500).
      {"ends at the farther click", {20, 20}, {50, 10}, {50, 10}, {30, 0}, 126.8699f, std::sqrt(500.0f)},
      // Centre (30, 55/3): the third click below the centre makes the long way round.
      {"reflex", {50, 10}, {30, 40}, {50, 10}, {30, 55.0f / 3.0f}, 360.0f - 134.7603f, 40.0f},
  };
  for (const ThreePointCase &c : cases) {
    SCOPED_TRACE(c.name);
    const int count = doc().Count();
    clickMm(10.0f, 10.0f);
    clickMm(c.second.X, c.second.Y);
    clickMm(c.third.X, c.third.Y);
    ASSERT_EQ(doc().Count(), count + 1);
    TQN_Path *arc = doc()[count];
    expectPoint(arc->FStartPt, {10.0f, 10.0f});
    expectPoint(arc->FEndPt, c.end);
    expectPoint(arc->FCenter, c.centre, 2e-3f);
    EXPECT_NEAR(arc->FWidth, calcDistance({10.0f, 10.0f}, c.centre), 2e-3f);
    EXPECT_NEAR(std::fabs(arc->FSweepAngle), c.sweep, 0.01f);
    EXPECT_NEAR(yRange(*arc).second, c.bottom, 0.02f);
  }
  EXPECT_FALSE(ui.statusTexts.isEmpty());
  EXPECT_TRUE(ui.statusTexts.back() == QStringLiteral("Angle=1") ||
              ui.statusTexts.back() == QStringLiteral("Angle=-1"));
}

TEST_F(ArcToolTest, ThreePointHalfCircleStillGivesAFiniteArc) {
  mode(false, false, true);
  clickMm(10.0f, 10.0f);
  clickMm(50.0f, 10.0f);
  clickMm(30.0f, 30.0f);  // exactly on the circle whose diameter is the chord
  TQN_Path *arc = onlyShape(TShapeKind::Arc);
  ASSERT_NE(arc, nullptr);
  EXPECT_TRUE(std::isfinite(arc->FSweepAngle));
  EXPECT_NEAR(std::fabs(arc->FSweepAngle), 180.0f, 0.1f);
  EXPECT_NEAR(arc->FWidth, 20.0f, kTol);
  expectPoint(arc->FEndPt, {50.0f, 10.0f});
  // A half circle on one side of the chord or the other.
  const auto [top, bottom] = yRange(*arc);
  EXPECT_NEAR(bottom - top, 20.0f, 0.01f);
}

TEST_F(ArcToolTest, PreviewOnlyBuildsWithoutAdding) {
  const std::size_t before = undoStates();
  commitArcTool(editor, {10.0f, 10.0f}, true, true, true, false, false);
  commitArcTool(editor, {50.0f, 10.0f}, true, true, true, false, false);
  std::unique_ptr<TQN_Path> arc(commitArcTool(editor, {30.0f, 30.0f}, true, true, true, false, false));
  ASSERT_NE(arc, nullptr);
  EXPECT_TRUE(arc->isKind(TShapeKind::Arc));
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(editor.tool().Clicked_Points.size(), 3u);
  EXPECT_EQ(undoStates(), before);
}

// ---- Size inputs ----

TEST_F(DrawToolsTest, EllipseSizeInput) {
  const TPointF centre(20.0f, 20.0f), corner(31.0f, 27.0f);
  expectPoint(applyEllipseSizeInput(editor, centre, corner), corner);
  editor.panel().chkEllipseXlen = true;
  editor.panel().nbEllipseXlen1 = 10.0f;
  expectPoint(applyEllipseSizeInput(editor, centre, corner), {25.0f, 25.0f});
  editor.panel().chkEllipseYlen = true;
  editor.panel().nbEllipseYlen1 = 4.0f;
  expectPoint(applyEllipseSizeInput(editor, centre, corner), {25.0f, 22.0f});
}

// ---- Text tool ----

TEST_F(DrawToolsTest, TextEntryStartsAtTheStickyPointOrThePointer) {
  editor.panel().nbTextTracking = 2.0f;
  editor.panel().nbTextRadius1 = 7.0f;
  editor.panel().chkTextCCW = true;
  editor.panel().chkTextFill = false;
  editor.panel().edText = QStringLiteral("old");
  editor.pointer().FLastMousePos = {123.0f, 456.0f};
  beginTextEntry(editor);
  TQN_Path *text = editor.tool().FEditingText.get();
  ASSERT_NE(text, nullptr);
  expectPoint(text->FStartPt, {12.3f, 45.6f});
  EXPECT_FALSE(text->FTextFill);
  EXPECT_FALSE(text->isKind(TShapeKind::Text));
  EXPECT_EQ(doc().IndexOf(text), -1);
  EXPECT_TRUE(editor.panel().edText.isEmpty());
  EXPECT_TRUE(editor.panel().edTextEnabled);
  EXPECT_EQ(editor.panel().nbTextTracking, 1.0f);
  EXPECT_EQ(editor.panel().nbTextRadius1, 0.0f);
  EXPECT_FALSE(editor.panel().chkTextCCW);

  // Starting again drops the untyped text and anchors at the sticky point.
  editor.snap().FStickyExists = true;
  editor.snap().FStickyPoint = {3.0f, 4.0f};
  beginTextEntry(editor);
  ASSERT_NE(editor.tool().FEditingText, nullptr);
  expectPoint(editor.tool().FEditingText.get()->FStartPt, {3.0f, 4.0f});
  EXPECT_EQ(doc().Count(), 0);
}

TEST_F(DrawToolsTest, TypedTextJoinsTheDocumentAndBlanksRemoveIt) {
  editor.pointer().FLastMousePos = {100.0f, 100.0f};
  beginTextEntry(editor);
  TQN_Path *text = editor.tool().FEditingText.get();
  const std::size_t before = undoStates();

  editor.panel().edText = QStringLiteral("   ");  // blanks on a new text add nothing
  edTextChange(editor);
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(undoStates(), before);
  EXPECT_EQ(editor.tool().FEditingText, text);

  editor.panel().edText = QStringLiteral("  Ab ");
  edTextChange(editor);
  ASSERT_EQ(doc().Count(), 1);
  EXPECT_EQ(doc()[0], text);
  EXPECT_TRUE(text->isKind(TShapeKind::Text));
  EXPECT_EQ(text->FText, QStringLiteral("Ab"));
  EXPECT_TRUE(text->FSelected);
  EXPECT_FALSE(text->Data().IsEmpty());
  EXPECT_EQ(undoStates(), before + 1);

  editor.panel().edText = QStringLiteral("Abc");
  edTextChange(editor);
  EXPECT_EQ(doc().Count(), 1);
  EXPECT_EQ(text->FText, QStringLiteral("Abc"));
  EXPECT_EQ(undoStates(), before + 2);

  editor.panel().edText = QStringLiteral(" ");
  edTextChange(editor);
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(editor.tool().FEditingText, nullptr);
  EXPECT_EQ(undoStates(), before + 3);
}

TEST_F(DrawToolsTest, SignedTextRadius) {
  editor.panel().nbTextRadius1 = 12.5f;
  EXPECT_EQ(getSignedTextRadius(editor), 12.5f);
  editor.panel().chkTextCCW = true;
  EXPECT_EQ(getSignedTextRadius(editor), -12.5f);
}

}  // namespace
}  // namespace quillon
