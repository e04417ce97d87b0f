// Which shapes lie under a point, with the three tolerances.
#include <gtest/gtest.h>

#include "platform/path_data.h"
#include "support/editor_fixture.h"
#include "tools/hit_test.h"
#include "shell/view_transform.h"

namespace quillon {
namespace {

class HitTest : public test::EditorTest {
 protected:
  TQN_Path *addCircle(TPointF c, float r) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawEllipsePath(c, 2 * r, 2 * r);
    return editor.doc().add(std::move(s), 0);
  }
  TQN_Path *addOutline(const char *kind, const char *svg) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->setKindName(QString::fromLatin1(kind));
    s->setData(TPathData::fromText(svg));
    s->getBoundary(true);
    return editor.doc().add(std::move(s), 0);
  }
  TQN_Path *addDot(TPointF c) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawDotPath(c, 0.45f);
    return editor.doc().add(std::move(s), 0);
  }
  std::vector<TQN_Path *> hit(TPointF p, bool probe, bool loose, bool insideOther = false, bool allLayers = false) {
    return hitTestShapes(editor, doc(), probe, p, loose, insideOther, allLayers);
  }
};

TEST_F(HitTest, TolerancesScaleWithTheView) {
  addLine({0.0f, 0.0f}, {100.0f, 0.0f});
  struct Case {
    float scale;
    bool probe, loose;
    float reach;  // millimetres
  } cases[] = {{10.0f, false, false, 0.752f}, {10.0f, false, true, 1.189f}, {10.0f, true, false, 0.995f},
               {1.0f, false, false, 7.52f},   {1.0f, false, true, 11.89f},  {1.0f, true, true, 9.95f}};
  for (const Case &c : cases) {
    editor.view().FScale = c.scale;
    EXPECT_EQ(hit({50.0f, c.reach * 0.99f}, c.probe, c.loose).size(), 1u) << c.scale << " " << c.reach;
    EXPECT_TRUE(hit({50.0f, c.reach * 1.01f}, c.probe, c.loose).empty()) << c.scale << " " << c.reach;
  }
}

TEST_F(HitTest, CircleIsHitAtItsRimAndExactCentreOnly) {
  addCircle({50.0f, 50.0f}, 10.0f);
  for (bool probe : {false, true}) {
    for (bool loose : {false, true}) {
      EXPECT_EQ(hit({60.2f, 50.0f}, probe, loose).size(), 1u);
      EXPECT_EQ(hit({50.0f, 50.0f}, probe, loose).size(), 1u);
      EXPECT_TRUE(hit({58.0f, 50.0f}, probe, loose).empty());  // 2 mm inside the rim
    }
  }
}

TEST_F(HitTest, NearestSegmentIndexIsRecorded) {
  // A U-turn whose first and third segments both pass within the tolerance.
  TQN_Path *u = addOutline("OTHER", "M0,0 L20,0 L20,0.4 L0,0.4");
  ASSERT_EQ(hit({10.0f, 0.3f}, false, false).size(), 1u);
  EXPECT_EQ(u->FClickedPathIndex, 3);
  hit({10.0f, 0.1f}, false, false);
  EXPECT_EQ(u->FClickedPathIndex, 1);
}

TEST_F(HitTest, InsideTestsForTextAndFreeOutlines) {
  TQN_Path *square = addOutline("OTHER", "M0,0 L20,0 L20,20 L0,20 Z");
  EXPECT_TRUE(hit({10.0f, 10.0f}, false, false).empty());
  ASSERT_EQ(hit({10.0f, 10.0f}, false, false, true).size(), 1u);
  square->FShapeType = TShapeKind::Text;
  EXPECT_EQ(hit({10.0f, 10.0f}, false, false).size(), 1u);
}

TEST_F(HitTest, HiddenLayerAndOtherLayer) {
  doc().addLayer(1, QStringLiteral("Layer 2"), true);
  TQN_Path *onOther = addLine({0.0f, 0.0f}, {100.0f, 0.0f}, 1);
  EXPECT_TRUE(hit({50.0f, 0.0f}, false, false).empty());
  EXPECT_EQ(hit({50.0f, 0.0f}, false, false, false, true).size(), 1u);
  TQN_Path *found = nullptr;
  EXPECT_TRUE(shapeOnOtherLayerAt(editor, 500.0f, 0.0f, found));
  EXPECT_EQ(found, onOther);
  doc().SetlayerVisible(1, false);
  EXPECT_TRUE(hit({50.0f, 0.0f}, false, false, false, true).empty());
}

TEST_F(HitTest, LooseFilterKeepsNearestAndShapesEndingAtTheSnappedPoint) {
  TQN_Path *a = addLine({0.0f, 0.0f}, {100.0f, 0.0f});
  TQN_Path *b = addLine({50.0f, -50.0f}, {50.0f, 50.0f});
  // Near the crossing, away from any end, slightly nearer to b.
  std::vector<TQN_Path *> r = hit({50.05f, 0.3f}, false, true);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r.front(), b);
  // The strict tolerance keeps both.
  EXPECT_EQ(hit({50.05f, 0.3f}, false, false).size(), 2u);

  // Two lines sharing an end: both stay.
  TQN_Path *c = addLine({100.0f, 0.0f}, {100.0f, 40.0f});
  r = hit({100.0f, 0.1f}, false, true);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0], c);  // topmost first
  EXPECT_EQ(r[1], a);
}

TEST_F(HitTest, DotBesideALineBothHitNearerIsNearest) {
  TQN_Path *line = addLine({0.0f, 0.0f}, {100.0f, 0.0f});
  TQN_Path *dot = addDot({50.0f, 0.3f});
  std::vector<TQN_Path *> r = hit({50.0f, 0.2f}, false, false);
  ASSERT_EQ(r.size(), 2u);
  // Topmost first; with the loose tolerance the nearer one (the dot, 0.1 mm) survives.
  EXPECT_EQ(r[0], dot);
  EXPECT_EQ(r[1], line);
  r = hit({50.0f, 0.2f}, false, true);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], dot);
}

TEST_F(HitTest, LineEndAndHoleHelpers) {
  TQN_Path *line = addLine({10.0f, 10.0f}, {20.0f, 10.0f});
  TPointF end;
  EXPECT_TRUE(lineEndpointAt(editor, line, 100.0f + 9.95f, 100.0f, end));
  EXPECT_EQ(end, (TPointF{10.0f, 10.0f}));
  EXPECT_TRUE(lineEndpointAt(editor, line, 200.0f, 105.0f, end));
  EXPECT_EQ(end, (TPointF{20.0f, 10.0f}));
  EXPECT_FALSE(lineEndpointAt(editor, line, 150.0f, 100.0f, end));
  EXPECT_FALSE(lineEndpointAt(editor, nullptr, 100.0f, 100.0f, end));

  TQN_Path *hole = addHole({30.0f, 30.0f});
  EXPECT_EQ(holeAtScreenPoint(editor, 302.0f, 300.0f, 0.5f), hole);
  EXPECT_EQ(holeAtScreenPoint(editor, 305.0f, 300.0f, 0.5f), nullptr);

  line->SetSelected(true);
  TQN_Path *sel = nullptr;
  EXPECT_TRUE(selectedShapeAt(editor, 150.0f, 105.0f, sel));
  EXPECT_EQ(sel, line);
}

}  // namespace
}  // namespace quillon
