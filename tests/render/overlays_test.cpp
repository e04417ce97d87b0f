// Overlays: the dotted rectangles of the selected groups, the radial-repeat guides, the
// print-page frames, and the painted Bezier control points while a handle is dragged.
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

#include "shell/color_scheme.h"
#include "render/overlays.h"
#include "shell/view_transform.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

class OverlaysTest : public test::EditorTest {
 protected:
  QImage image{400, 400, QImage::Format_ARGB32};

  void clear() { image.fill(kBlack); }

  // How many pixels of the row y between x0 and x1 (inclusive) have the colour.
  int countRow(int y, int x0, int x1, QRgb color) const {
    int n = 0;
    for (int x = x0; x <= x1; ++x)
      if (image.pixel(x, y) == color) ++n;
    return n;
  }
  int countColumn(int x, int y0, int y1, QRgb color) const {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      if (image.pixel(x, y) == color) ++n;
    return n;
  }
  int countNotBlack() const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != kBlack) ++n;
    return n;
  }
  // The most intense red and green and blue seen within 1 px of (x, y).
  QColor brightestNear(double x, double y) const {
    int r = 0, g = 0, b = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const QColor c = image.pixelColor(int(std::lround(x)) + dx, int(std::lround(y)) + dy);
        r = std::max(r, c.red());
        g = std::max(g, c.green());
        b = std::max(b, c.blue());
      }
    return QColor(r, g, b);
  }

  TQN_Path *addGroupedLine(TPointF a, TPointF b, int group, bool selected) {
    TQN_Path *s = addLine(a, b);
    s->FGroupID = group;
    s->FSelected = selected;
    return s;
  }
};

// ---- group rectangles ----

TEST_F(OverlaysTest, TwoSelectedGroupsShowTwoDottedRectanglesTwoPixelsOutside) {
  // Group 5: (10, 10)-(20, 20) mm = 100..200 px; group 6: (25, 5)-(30, 15) mm = 250..300 x 50..150 px.
  addGroupedLine({10.0f, 10.0f}, {20.0f, 10.0f}, 5, true);
  addGroupedLine({10.0f, 20.0f}, {20.0f, 20.0f}, 5, false);
  addGroupedLine({25.0f, 5.0f}, {30.0f, 15.0f}, 6, true);
  addGroupedLine({30.0f, 30.0f}, {35.0f, 35.0f}, 7, false);  // a group with nothing selected
  clear();
  {
    QPainter p(&image);
    drawGroupRectangles(editor, p);
  }
  struct Frame {
    int left, top, right, bottom;
  };
  for (const Frame f : {Frame{98, 98, 202, 202}, Frame{248, 48, 302, 152}}) {
    const int width = f.right - f.left;
    // Dotted: about a third of each side is lit, in white.
    for (int y : {f.top, f.bottom}) {
      const int lit = countRow(y, f.left, f.right, kWhite);
      EXPECT_GT(lit, width / 5) << y;
      EXPECT_LT(lit, width * 2 / 3) << y;
    }
    for (int x : {f.left, f.right}) EXPECT_GT(countColumn(x, f.top, f.bottom, kWhite), (f.bottom - f.top) / 5) << x;
    // Nothing one pixel further in or out.
    EXPECT_EQ(countRow(f.top - 1, f.left, f.right, kWhite), 0);
    EXPECT_EQ(countRow(f.top + 1, f.left + 2, f.right - 2, kWhite), 0);
  }
  EXPECT_EQ(countRow(298, 296, 352, kWhite), 0) << "the unselected group has no frame";
}

TEST_F(OverlaysTest, AGroupRectangleIsWhiteOnTheLightBackgroundToo) {
  setGridBackground(editor, false);
  addGroupedLine({10.0f, 10.0f}, {20.0f, 20.0f}, 5, true);
  clear();
  {
    QPainter p(&image);
    drawGroupRectangles(editor, p);
  }
  EXPECT_GT(countRow(98, 98, 202, kWhite), 20);
}

TEST_F(OverlaysTest, ASelectedUngroupedShapeShowsNoRectangle) {
  TQN_Path *s = addLine({10.0f, 10.0f}, {20.0f, 20.0f});
  s->FSelected = true;
  clear();
  {
    QPainter p(&image);
    drawGroupRectangles(editor, p);
  }
  EXPECT_EQ(countNotBlack(), 0);
}

// ---- radial-repeat guides ----

TEST_F(OverlaysTest, SixSectionsDrawTwelveLinesAlternatingColoursFromTheRotation) {
  ASSERT_EQ(editor.display().FMandalaSectionColor, 0xFFFFFFFFu);  // dark scheme: white, then red
  ASSERT_EQ(editor.display().FMandalaSectionColor2, 0xFFFF0000u);
  TMandalaGuideState m;
  m.Center = {20.0f, 20.0f};  // 200, 200 px
  m.NumSections = 6.0f;
  m.Rotation = 10.0f;
  for (float rotation : {0.0f, 10.0f}) {
    m.Rotation = rotation;
    clear();
    {
      QPainter p(&image);
      drawMandalaGuides(editor, p, m);
    }
    for (int i = 0; i < 12; ++i) {
      const double a = (i * 30.0 + rotation) * M_PI / 180.0;
      const QColor c = brightestNear(200.0 + 120.0 * std::cos(a), 200.0 + 120.0 * std::sin(a));
      // Opacity 0.6 over black, thinned by the 0.75 px pen: at most 153 in each lit channel.
      EXPECT_GT(c.red(), 100) << i;
      EXPECT_LE(c.red(), 154) << i;
      EXPECT_EQ(c.blue(), i % 2 == 0 ? c.red() : 0) << i;
      if (i % 2 == 0)
        EXPECT_EQ(c.green(), c.red()) << "section border " << i;
      else
        EXPECT_EQ(c.green(), 0) << "mirror axis " << i;
      // Halfway between two lines nothing is drawn.
      const double h = a + 15.0 * M_PI / 180.0;
      EXPECT_EQ(brightestNear(200.0 + 120.0 * std::cos(h), 200.0 + 120.0 * std::sin(h)), QColor(0, 0, 0)) << i;
    }
  }
}

TEST_F(OverlaysTest, GuideCirclesHaveTheTemplateRadiusTimesTheFactor) {
  TMandalaGuideState m;
  m.Center = {20.0f, 20.0f};
  m.NumSections = 0.0f;  // no section lines
  m.CircleGuides = {3.0f, 5.0f};
  editor.display().FMandala_Circle_Factor = 2.0f;  // radii 6 and 10 mm: 60 and 100 px
  clear();
  {
    QPainter p(&image);
    drawMandalaGuides(editor, p, m);
  }
  for (double r : {60.0, 100.0}) {
    for (double deg : {45.0, 200.0}) {
      const double a = deg * M_PI / 180.0;
      const QColor c = brightestNear(200.0 + r * std::cos(a), 200.0 + r * std::sin(a));
      EXPECT_GT(c.green(), 100) << r << " " << deg;
      EXPECT_LE(c.green(), 154) << r << " " << deg;
      EXPECT_EQ(c.red(), c.green()) << r << " " << deg;
    }
  }
  EXPECT_EQ(brightestNear(200.0 + 80.0, 200.0), QColor(0, 0, 0)) << "between the circles";
  EXPECT_EQ(brightestNear(200.0, 200.0), QColor(0, 0, 0)) << "no lines at the centre";
}

// ---- print-page frames ----

TEST_F(OverlaysTest, PrintPagesAreFramedInBlueOnScreenOnly) {
  doc().PrintOffset() = {{0.0f, 0.0f}, {15.0f, 0.0f}};
  TPrintAreaState pages;
  pages.IsPrintAreaAvailable = true;
  pages.PrintPageRect = [](int i) { return TRectF(5.0f + 15.0f * float(i), 5.0f, 15.0f + 15.0f * float(i), 30.0f); };
  std::vector<int> marked;
  pages.DrawTileOverlapMarks = [&](QPainter &, int i) { marked.push_back(i); };

  struct Case {
    bool available, printing, previewing, tile;
    bool framed;
  };
  const Case cases[] = {
      {true, false, false, false, true},  {true, false, false, true, true},
      {false, false, false, false, false}, {true, true, false, false, false},
      {true, false, true, true, false},
  };
  for (const Case &c : cases) {
    pages.IsPrintAreaAvailable = c.available;
    pages.IsPrinting = c.printing;
    pages.IsPrintPreviewing = c.previewing;
    pages.TilePrint = c.tile;
    marked.clear();
    clear();
    {
      QPainter p(&image);
      drawPrintAreas(editor, p, pages);
    }
    // Page 0: 50..150 x 50..300 px; page 1: 200..300 x 50..300 px. Blue at 0.9: 230.
    int lit0 = 0, lit1 = 0;
    for (int x = 50; x <= 150; ++x) lit0 += image.pixelColor(x, 50).blue() >= 228 ? 1 : 0;
    for (int y = 50; y <= 300; ++y) lit1 += image.pixelColor(300, y).blue() >= 228 ? 1 : 0;
    if (c.framed) {
      EXPECT_GT(lit0, 40);
      EXPECT_LT(lit0, 100) << "dash-dot-dot leaves gaps";
      EXPECT_GT(lit1, 100);
      EXPECT_EQ(image.pixelColor(100, 50).red(), 0);
      EXPECT_EQ(marked, c.tile ? std::vector<int>({0, 1}) : std::vector<int>()) << c.tile;
    } else {
      EXPECT_EQ(countNotBlack(), 0);
      EXPECT_TRUE(marked.empty());
    }
  }
}

// ---- Bezier handles ----

class BezierHandleTest : public OverlaysTest {
 protected:
  // A Bezier from (10, 10) to (20, 10) mm, first handle to (10, 5), second to (25, 10).
  TQN_Path *addBezier(TPointF st, TPointF cp1, TPointF cp2, TPointF ep) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawBezierPath(st, cp1, cp2, ep);
    return editor.doc().add(std::move(s), 0);
  }
  TBezierDragState dragOf(TQN_Path *s, bool cp1) {
    TBezierDragState d;
    d.EditInfo.IsBezierEditing = true;
    d.EditInfo.p = s;
    d.EditInfo.IsCP1 = cp1;
    d.IsMouseDown = true;
    return d;
  }
};

TEST_F(BezierHandleTest, ConstrainHandleToAxisProjectsOntoTheHandleLine) {
  TQN_Path *s = addBezier({10.0f, 10.0f}, {10.0f, 5.0f}, {25.0f, 10.0f}, {20.0f, 10.0f});
  TQN_Path *flat = addBezier({0.0f, 0.0f}, {0.0f, 0.0f}, {3.0f, 4.0f}, {6.0f, 8.0f});
  struct Case {
    TQN_Path *shape;
    bool cp1;
    TPointF p, expected;
  };
  const Case cases[] = {
      {s, true, {13.0f, 2.0f}, {10.0f, 2.0f}},      // vertical axis through the start point
      {s, true, {7.0f, 14.0f}, {10.0f, 14.0f}},     // the other side of the start point
      {s, false, {22.0f, 7.0f}, {22.0f, 10.0f}},    // horizontal axis through the end point
      {flat, false, {0.0f, 10.0f}, {4.8f, 6.4f}},   // axis along (3, 4)
      {flat, true, {1.0f, 2.0f}, {1.0f, 2.0f}},     // zero-length handle: free
      {nullptr, true, {1.0f, 2.0f}, {1.0f, 2.0f}},  // nothing edited
  };
  for (const Case &c : cases) {
    TBezierEditingInfo info;
    info.p = c.shape;
    info.IsCP1 = c.cp1;
    const TPointF got = constrainHandleToAxis(info, c.p);
    EXPECT_NEAR(got.X, c.expected.X, 1e-4) << c.p.X << "," << c.p.Y;
    EXPECT_NEAR(got.Y, c.expected.Y, 1e-4) << c.p.X << "," << c.p.Y;
  }
}

TEST_F(BezierHandleTest, PaintedControlPointsFollowTheDraggedHandle) {
  TQN_Path *s = addBezier({10.0f, 10.0f}, {10.0f, 5.0f}, {25.0f, 10.0f}, {20.0f, 10.0f});
  TQN_Path *other = addBezier({0.0f, 0.0f}, {1.0f, 1.0f}, {2.0f, 2.0f}, {3.0f, 3.0f});
  const TPointF stored1(100.0f, 50.0f), stored2(250.0f, 100.0f);

  struct Case {
    const char *what;
    bool editing, mouseDown, cp1, shift, ctrl;
    TQN_Path *edited;
    TPointF cp1Px, cp2Px;
  };
  const Case cases[] = {
      {"not editing", false, true, true, false, false, s, stored1, stored2},
      {"mouse up", true, false, true, false, false, s, stored1, stored2},
      {"another shape edited", true, true, true, false, false, other, stored1, stored2},
      {"first handle free", true, true, true, false, false, s, {130.0f, 20.0f}, stored2},
      {"second handle free", true, true, false, false, false, s, stored1, {130.0f, 20.0f}},
      {"first handle on its axis", true, true, true, true, false, s, {100.0f, 20.0f}, stored2},
      {"second handle on its axis", true, true, false, true, false, s, stored1, {130.0f, 100.0f}},
      {"Shift with Ctrl is not constrained", true, true, true, true, true, s, {130.0f, 20.0f}, stored2},
  };
  for (const Case &c : cases) {
    TBezierDragState d = dragOf(c.edited, c.cp1);
    d.EditInfo.IsBezierEditing = c.editing;
    d.IsMouseDown = c.mouseDown;
    d.ShiftHeld = c.shift;
    d.CtrlHeld = c.ctrl;
    d.LastMousePos = {130.0f, 20.0f};
    TPointF p1, p2;
    QPainter p(&image);
    getPaintedBezierControlPoints(editor, p, p1, p2, d, *s);
    EXPECT_NEAR(p1.X, c.cp1Px.X, 1e-3) << c.what;
    EXPECT_NEAR(p1.Y, c.cp1Px.Y, 1e-3) << c.what;
    EXPECT_NEAR(p2.X, c.cp2Px.X, 1e-3) << c.what;
    EXPECT_NEAR(p2.Y, c.cp2Px.Y, 1e-3) << c.what;
  }
}

TEST_F(BezierHandleTest, TheAxisConstraintUsesTheSnappedPointer) {
  TQN_Path *s = addBezier({10.0f, 10.0f}, {10.0f, 5.0f}, {25.0f, 10.0f}, {20.0f, 10.0f});
  TBezierDragState d = dragOf(s, true);
  d.ShiftHeld = true;
  d.LastMousePos = {130.0f, 20.0f};
  d.VirtualToRealSnapped = [](TPointF) { return TPointF(40.0f, 3.0f); };
  TPointF p1, p2;
  QPainter p(&image);
  getPaintedBezierControlPoints(editor, p, p1, p2, d, *s);
  EXPECT_NEAR(p1.X, 100.0f, 1e-3);
  EXPECT_NEAR(p1.Y, 30.0f, 1e-3);
}

TEST_F(BezierHandleTest, ShiftCtrlAtAJointPreviewsTheNeighbourWithItsMirroredHandle) {
  // The second handle of A is dragged; B starts at A's end point (20, 10) mm.
  TQN_Path *a = addBezier({10.0f, 10.0f}, {10.0f, 5.0f}, {25.0f, 10.0f}, {20.0f, 10.0f});
  TQN_Path *b = addBezier({20.0f, 10.0f}, {15.0f, 30.0f}, {30.0f, 30.0f}, {35.0f, 10.0f});
  TBezierDragState d = dragOf(a, false);
  d.ShiftHeld = true;
  d.CtrlHeld = true;
  d.LastMousePos = {170.0f, 60.0f};  // m = (17, 6) mm, mirrored through (20, 10): (23, 14)
  d.OpponentBezierInfo = [&](const TBezierEditingInfo &info) {
    EXPECT_EQ(info.p, a);
    return TOpponentBezier{b, true};
  };

  for (bool ctrl : {false, true}) {
    d.CtrlHeld = ctrl;
    clear();
    {
      QPainter p(&image);
      TPointF p1, p2;
      getPaintedBezierControlPoints(editor, p, p1, p2, d, *a);
    }
    if (!ctrl) {
      EXPECT_EQ(countNotBlack(), 0) << "Shift alone draws no preview";
      continue;
    }
    // Handles forced on: squares of +-3 px in the handle colour (white at 0.7) at the
    // mirrored handle (230, 140) and at B's kept second handle (300, 300), seen on their
    // right sides, which no handle line or curve crosses; none at B's stored first handle
    // (150, 300).
    EXPECT_NEAR(brightestNear(233.0, 140.0).green(), 178, 3);
    EXPECT_NEAR(brightestNear(303.0, 300.0).green(), 178, 3);
    EXPECT_EQ(brightestNear(153.0, 300.0), QColor(0, 0, 0));
    // The curve itself: dotted, in the centre-line colour (pink on the dark background).
    const QColor pink = QColor::fromRgba(editor.display().FColor_Centerline);
    int curvePixels = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) == pink.rgba()) ++curvePixels;
    EXPECT_GT(curvePixels, 10);
  }
}

}  // namespace
}  // namespace quillon
