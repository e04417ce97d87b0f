// The construction and smoothing routes, called through the route table: their refusals
// (which change nothing), their range checks and what they make.
#include <gtest/gtest.h>

#include "automation/mcp_routes.h"
#include "model/point_helpers.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"

namespace quillon::test {
namespace {

class McpConstructTest : public EditorTest {
 protected:
  TMcpReply post(const std::string &path, const std::string &body) {
    return routeRequest(editor, TMcpRequest{"POST", path, body});
  }
  std::string ok(const std::string &path, const std::string &body) {
    const TMcpReply r = post(path, body);
    EXPECT_EQ(r.Status, 200) << r.Body;
    return r.Body;
  }
  TQN_Path *addCircle(TPointF c, float d) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawEllipsePath(c, d, d);
    return editor.doc().add(std::move(s), 0);
  }
  std::string id(const TQN_Path *s) { return std::to_string(s->ID()); }
};

TEST_F(McpConstructTest, RefusalsChangeNothing) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  TQN_Path *circle = addCircle({50, 50}, 10);
  struct Case {
    const char *Path;
    std::string Body, Reply;
  };
  const Case cases[] = {
      {"/mirror", "[1]", R"({"error":"invalid JSON body"})"},
      {"/mirror", "{}", R"({"error":"axisId is required"})"},
      {"/mirror", R"({"axisId":999})", R"({"error":"axis shape not found","id":999})"},
      {"/mirror", R"({"axisId":)" + id(circle) + "}", R"({"error":"axis must be a LINE"})"},
      {"/mirror", R"({"axisId":)" + id(line) + R"(,"shapeIds":[]})",
       R"({"error":"shapeIds is required and must be non-empty"})"},
      {"/mirror", R"({"axisId":)" + id(line) + R"(,"shapeIds":[)" + id(circle) + ",77]}",
       R"({"error":"shape not found","id":77})"},
      {"/center_line", R"({"x1":0,"y1":0,"x2":10})", R"({"error":"x1,y1,x2,y2,lengthMm are required"})"},
      {"/distance_marking", R"({"refShapeId":5,"x":1})", R"({"error":"refShapeId,x,y are required"})"},
      {"/shapes/chamfer", R"({"lineId1":1})", R"({"error":"lineId1 and lineId2 are required"})"},
      {"/shapes/chamfer", R"({"lineId1":)" + id(circle) + R"(,"lineId2":)" + id(line) + "}",
       R"({"ok":false,"error":"lineId1 is not a line"})"},
      {"/shapes/offset", R"({"directionPoint":{"x":0,"y":0}})", R"({"error":"distanceMm is required"})"},
      {"/shapes/offset", R"({"distanceMm":2})", R"({"error":"directionPoint is required"})"},
      {"/shapes/offset/smart", R"({"shapeIds":[)" + id(circle) + R"(],"directionPoint":{"x":0,"y":0},"distanceMm":2})",
       R"({"error":"shape type not supported for smart offset","id":)" + id(circle) + "}"},
      {"/shapes/smooth_chain", "{}", R"({"error":"shapeId or shapeIds is required"})"},
      {"/shapes/smooth_chain", R"({"shapeIds":[]})", R"({"ok":false,"error":"no shapes in chain"})"},
      {"/shapes/smooth_chain_g2", R"({"shapeId":)" + id(circle) + "}", R"({"ok":false,"error":"no shapes in chain"})"},
  };
  const std::size_t before = undoStates();
  for (const Case &c : cases) EXPECT_EQ(ok(c.Path, c.Body), c.Reply) << c.Path << " " << c.Body;
  EXPECT_EQ(doc().Count(), 2);
  EXPECT_EQ(undoStates(), before);
}

TEST_F(McpConstructTest, ValuesOutOfRangeAreRefusedOrFail) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  const std::string offset = R"({"shapeIds":[)" + id(line) + R"(],"directionPoint":{"x":0,"y":5},"distanceMm":)";
  EXPECT_EQ(ok("/shapes/offset", offset + "-2}"), R"({"error":"distanceMm must be above 0"})");
  EXPECT_NE(ok("/shapes/offset", offset + "1e9}").find("distanceMm must be a finite number"), std::string::npos);
  EXPECT_NE(ok("/shapes/offset", R"({"distanceMm":2,"directionPoint":{"x":1e12,"y":0}})").find("directionPoint.x"),
            std::string::npos);
  EXPECT_EQ(ok("/center_line", R"({"x1":0,"y1":0,"x2":10,"y2":0,"lengthMm":4,"divisions":5000})"),
            R"({"error":"divisions must be at most 1000"})");
  EXPECT_EQ(ok("/shapes/chamfer", R"({"lineId1":1,"lineId2":2,"radiusMm":0})"),
            R"({"error":"radiusMm must be above 0"})");
  // Wrong JSON types fail with status 500; nothing was made.
  EXPECT_EQ(post("/shapes/offset", R"({"distanceMm":2,"directionPoint":5})").Status, 500);
  EXPECT_EQ(post("/shapes/offset", offset + R"(2,"paletteIdx":99})").Status, 500);
  EXPECT_EQ(post("/center_line", R"({"x1":0,"y1":0,"x2":10,"y2":0,"lengthMm":4,"drawEdges":1})").Status, 500);
  EXPECT_EQ(doc().Count(), 1);
}

TEST_F(McpConstructTest, OffsetOfSingleShapes) {
  TQN_Path *circle = addCircle({0, 0}, 20);
  TQN_Path *small = addCircle({100, 0}, 4);
  TQN_Path *hole = addHole({50, 50});
  const std::size_t before = undoStates();
  EXPECT_EQ(ok("/shapes/offset", R"({"distanceMm":2,"directionPoint":{"x":30,"y":0},"shapeIds":[)" + id(circle) +
                                     "," + id(hole) + "]}"),
            R"({"ok":true,"createdIds":[)" + std::to_string(doc().LastID + 1) + R"(],"skippedIds":[)" + id(hole) + "]}");
  EXPECT_FLOAT_EQ(doc()[doc().Count() - 1]->FWidth, 24.0f);
  EXPECT_EQ(undoStates(), before + 1);
  // Inward by more than half: skipped, nothing made, no step.
  EXPECT_EQ(ok("/shapes/offset", R"({"distanceMm":3,"directionPoint":{"x":100,"y":0},"shapeIds":[)" + id(small) + "]}"),
            R"({"ok":true,"createdIds":[],"skippedIds":[)" + id(small) + "]}");
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(McpConstructTest, SmartOffsetChamferMirrorAndCentreLine) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({10, 10}, {10, 0});  // listed out of order and reversed
  editor.calcIntersectionsOfShape(a);
  editor.calcIntersectionsOfShape(b);
  const std::string smart = ok("/shapes/offset/smart", R"({"shapeIds":[)" + id(b) + "," + id(a) +
                                                           R"(],"directionPoint":{"x":20,"y":-5},"distanceMm":3})");
  EXPECT_EQ(smart.rfind(R"({"ok":true,"createdIds":[)", 0), 0u) << smart;
  EXPECT_EQ(doc().Count(), 4);

  const std::string chamfer =
      ok("/shapes/chamfer", R"({"lineId1":)" + id(a) + R"(,"lineId2":)" + id(b) + "}");  // radius 5 by default
  EXPECT_EQ(chamfer.rfind(R"({"ok":true,"arcId":)", 0), 0u) << chamfer;
  EXPECT_NEAR(calcDistance(a->FStartPt, a->FEndPt), 5.0f, 1e-3f);

  TQN_Path *axis = addLine({50, -100}, {50, 100});
  const int count = doc().Count();
  const std::string mirror = ok("/mirror", R"({"axisId":)" + id(axis) + R"(,"shapeIds":[)" + id(a) + "," + id(axis) + "]}");
  EXPECT_EQ(mirror, R"({"ok":true,"createdIds":[)" + std::to_string(doc()[count]->ID()) + "]}");

  const int before = doc().Count();
  ok("/center_line", R"({"x1":0,"y1":50,"x2":40,"y2":50,"lengthMm":4,"divisions":4})");
  EXPECT_EQ(doc().Count(), before + 5);
  ok("/center_line", R"({"x1":0,"y1":60,"x2":40,"y2":60,"lengthMm":4,"divisions":4,"drawEdges":false})");
  EXPECT_EQ(doc().Count(), before + 8);
}

TEST_F(McpConstructTest, SmoothChainRoutes) {
  auto bz = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  bz->drawBezierPath({0, 0}, {3, 4}, {17, 4}, {20, 0});
  TQN_Path *b = editor.doc().add(std::move(bz), 0);
  TQN_Path *l1 = addLine({-10, 0}, {0, 0});
  TQN_Path *l2 = addLine({20, 0}, {20, 10});
  EXPECT_EQ(ok("/shapes/smooth_chain", R"({"shapeIds":[)" + id(l1) + "," + id(b) + "," + id(l2) + "]}"),
            R"({"ok":true,"updatedCount":2,"closedLoop":false,"chainLength":3})");
  EXPECT_EQ(b->FBezierCp1, TPointF(5, 0));
  EXPECT_EQ(post("/shapes/smooth_chain", R"({"shapeIds":"x"})").Status, 500);
}

TEST_F(McpConstructTest, DistanceMarkAcrossALineAndG2SmoothingOfTwoCurves) {
  TQN_Path *ref = addLine({0, 0}, {40, 0});
  const std::size_t before = undoStates();
  const std::string mark = ok("/distance_marking", R"({"refShapeId":)" + id(ref) + R"(,"x":20,"y":0})");
  EXPECT_EQ(mark.rfind(R"({"ok":true,"id":)" + std::to_string(doc()[doc().Count() - 1]->ID()) + ",", 0), 0u) << mark;
  const TQN_Path *line = doc()[doc().Count() - 1];
  ASSERT_TRUE(line->isKind(TShapeKind::Line));
  EXPECT_NEAR(line->FStartPt.X, 20.0f, 1e-3f);  // across the reference at the point
  EXPECT_NEAR(line->FEndPt.X, 20.0f, 1e-3f);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_EQ(ok("/distance_marking", R"({"refShapeId":4242,"x":20,"y":0})"),
            R"({"error":"reference shape not found","id":4242})");

  // Two curves meeting at (20, 0) with a kink: afterwards both handles at the joint lie on
  // one line through it, and no end moved.
  auto first = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  first->drawBezierPath({0, 50}, {5, 40}, {15, 40}, {20, 50});
  TQN_Path *b1 = editor.doc().add(std::move(first), 0);
  auto second = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  second->drawBezierPath({20, 50}, {22, 44}, {35, 60}, {40, 50});
  TQN_Path *b2 = editor.doc().add(std::move(second), 0);
  const std::string g2 = ok("/shapes/smooth_chain_g2", R"({"shapeIds":[)" + id(b1) + "," + id(b2) + "]}");
  EXPECT_EQ(g2.rfind(R"({"ok":true,"updatedCount":)", 0), 0u) << g2;
  EXPECT_EQ(b1->FEndPt, TPointF(20, 50));
  EXPECT_EQ(b2->FStartPt, TPointF(20, 50));
  const TPointF in = b1->FBezierCp2 - b1->FEndPt, out = b2->FBezierCp1 - b2->FStartPt;
  EXPECT_NEAR(double(in.X) * out.Y - double(in.Y) * out.X, 0.0, 1e-2);
  EXPECT_LT(double(in.X) * out.X + double(in.Y) * out.Y, 0.0);  // on opposite sides
}

}  // namespace
}  // namespace quillon::test
