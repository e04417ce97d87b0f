// The offset tool and the chain offset builder: sides chosen from the pointer, joined
// corners, copies that would have no size left out, and previews that change nothing.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "model/point_helpers.h"
#include "shell/undo.h"
#include "shell/view_transform.h"
#include "support/editor_fixture.h"
#include "support/near_points.h"
#include "tools/offset_builder.h"
#include "tools/offset_tool.h"

namespace quillon {
namespace {

using test::EditorTest;
using test::expectNear;

class OffsetTest : public EditorTest {
 protected:
  void pointerAt(TPointF real) { editor.pointer().FLastMousePos = realToVirtual(editor.view(), real); }
  TQN_Path *addCircle(TPointF c, float d) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawEllipsePath(c, d, d);
    return editor.doc().add(std::move(s), 0);
  }
  TQN_Path *last() { return doc()[doc().Count() - 1]; }
};

TEST_F(OffsetTest, LineGoesToThePointerSide) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->SetSelected(true);
  editor.panel().nbOffsetDist1 = 3.0f;
  pointerAt({5, 7});  // below (larger y)
  const std::size_t before = undoStates();
  EXPECT_EQ(runOffsetTool(editor, nullptr), 1);
  expectNear(last()->FStartPt, {0, 3});
  expectNear(last()->FEndPt, {10, 3});
  EXPECT_FALSE(line->FSelected);
  EXPECT_FALSE(last()->FSelected);
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(OffsetTest, CircleGrowsOrShrinksByThePointerDistance) {
  struct Case {
    float PointerDistance, Expected;
  };
  for (const Case c : {Case{12, 26}, Case{8, 14}}) {
    editor.doc().clear();
    TQN_Path *circle = addCircle({0, 0}, 20);
    circle->SetSelected(true);
    editor.panel().nbOffsetDist1 = 3.0f;
    pointerAt({c.PointerDistance, 0});
    runOffsetTool(editor, nullptr);
    ASSERT_EQ(doc().Count(), 2);
    EXPECT_FLOAT_EQ(last()->FWidth, c.Expected);
    expectNear(last()->FCenter, {0, 0});
  }
  // Inward by more than half the size: no copy (never a negative diameter).
  editor.doc().clear();
  addCircle({0, 0}, 4)->SetSelected(true);
  pointerAt({0.5f, 0});
  const std::size_t before = undoStates();
  EXPECT_EQ(runOffsetTool(editor, nullptr), 0);
  EXPECT_EQ(doc().Count(), 1);
  EXPECT_EQ(undoStates(), before);
}

TEST_F(OffsetTest, ClosedRectangleGivesTheInnerRectangleWhicheverWayItRuns) {
  for (bool clockwise : {true, false}) {
    editor.doc().clear();
    std::vector<TPointF> corners{{0, 0}, {40, 0}, {40, 30}, {0, 30}};
    if (!clockwise) std::reverse(corners.begin(), corners.end());
    for (std::size_t i = 0; i < 4; ++i) addLine(corners[i], corners[(i + 1) % 4])->SetSelected(true);
    editor.panel().nbOffsetDist1 = 3.0f;
    pointerAt({20, 15});
    EXPECT_EQ(runOffsetTool(editor, nullptr), 4);
    ASSERT_EQ(doc().Count(), 8);
    // Every copy runs between two of the inner corners, which they share.
    const std::vector<TPointF> inner{{3, 3}, {37, 3}, {37, 27}, {3, 27}};
    for (int i = 4; i < 8; ++i) {
      for (TPointF p : {doc()[i]->FStartPt, doc()[i]->FEndPt}) {
        bool onCorner = false;
        for (TPointF q : inner) onCorner = onCorner || calcDistance(p, q) < 1e-3f;
        EXPECT_TRUE(onCorner) << p.X << "," << p.Y << (clockwise ? " cw" : " ccw");
      }
    }
  }
}

TEST_F(OffsetTest, OutsideCornerExtendsBothLinesToOnePoint) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({10, 0}, {10, 10});
  const auto copies = offsetChain({a, b}, 3.0f, {20, -5}, false, offsetPen(editor, true));
  ASSERT_EQ(copies.size(), 2u);  // no bridging line
  expectNear(copies[0]->FStartPt, {0, -3});
  expectNear(copies[0]->FEndPt, {13, -3});
  expectNear(copies[1]->FStartPt, {13, -3});
  expectNear(copies[1]->FEndPt, {13, 10});
  EXPECT_EQ(copies[0]->ID(), -1);
}

TEST_F(OffsetTest, ArcTooSmallForTheInwardOffsetDropsOut) {
  auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, -1);
  s->drawArcPath({0, 0}, {2, 2}, {2, 0}, {0, 2}, 90.0f);
  EXPECT_EQ(offsetChainPiece(*s, -3.0f, offsetPen(editor, true)), nullptr);
  const auto grown = offsetChainPiece(*s, 3.0f, offsetPen(editor, true));
  ASSERT_NE(grown, nullptr);
  EXPECT_FLOAT_EQ(grown->FWidth, 5.0f);
  expectNear(grown->FStartPt, {5, 0});
}

TEST_F(OffsetTest, PreviewAddsNothingAndUsesNoId) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({10, 0}, {10, 10});
  for (TQN_Path *s : {a, b}) s->SetSelected(true);
  editor.tool().FIsOffsetMode = true;
  pointerAt({20, -5});
  const int lastId = doc().LastID;
  QImage image(200, 200, QImage::Format_ARGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  EXPECT_EQ(runOffsetTool(editor, &painter), 0);
  painter.end();
  EXPECT_EQ(doc().Count(), 2);
  EXPECT_EQ(doc().LastID, lastId);
  EXPECT_TRUE(a->FSelected);
}

TEST(OffsetPolygon, EvenOddRule) {
  const std::vector<TPointF> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_TRUE(isPointInPolygon({5, 5}, square));
  EXPECT_FALSE(isPointInPolygon({15, 5}, square));
  EXPECT_FALSE(isPointInPolygon({5, 5}, {{0, 0}, {10, 0}}));
}

}  // namespace
}  // namespace quillon
