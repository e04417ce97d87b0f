// The query routes through the server: shapes with their outlines, one shape by id, the
// document totals, the intersection list, the ruler's route search and the host shape of
// every stitching hole. Numbers are
// written as the program writes JSON: 15 significant digits, ".0" on whole numbers.
#include "automation/mcp_test_util.h"
#include "model/intersection.h"
#include "platform/json_text.h"

namespace quillon::test {
namespace {

using McpQueryTest = McpServerTest;

TEST_F(McpQueryTest, PathsListEveryShapeWithItsOutline) {
  EXPECT_EQ(ok200("GET", "/paths"), R"({"paths":[],"count":0})");

  const std::string id = std::to_string(doc().LastID + 1);
  EXPECT_EQ(ok200("POST", "/shapes/line", R"({"x1":0.1,"y1":2,"x2":11,"y2":2,"paletteIdx":3})"),
            R"({"ok":true,"id":)" + id + "}");
  EXPECT_EQ(ok200("GET", "/paths"),
            R"({"paths":[{"id":)" + id +
                R"(,"shapeType":"LINE","paletteIdx":3,"layerId":0,"startPt":{"x":0.100000001490116,"y":2.0},)"
                R"("endPt":{"x":11.0,"y":2.0},"center":{"x":5.55000019073486,"y":2.0},"width":0.0,"height":0.0,)"
                R"("rotation":0.0,"isFreeAngle":false,"data":[{"kind":"M","x":0.100000001490116,"y":2.0},)"
                R"({"kind":"L","x":11.0,"y":2.0}]}],"count":1})");
}

TEST_F(McpQueryTest, HolesCarryTheirSewingLinksAndThreadCodeInPaths) {
  TQN_Path *plain = addHole({5, 5});
  TQN_Path *threaded = addHole({7, 5});
  plain->FNextStitchID = threaded->ID();
  threaded->FPrevStitchID = plain->ID();
  threaded->FThreadCode = QStringLiteral("A/1");
  const TJson paths = parseJsonText(ok200("GET", "/paths"))["paths"];
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0]["prevStitchID"], -1);
  EXPECT_EQ(paths[0]["nextStitchID"], threaded->ID());
  EXPECT_FALSE(paths[0].contains("threadCode"));
  EXPECT_EQ(paths[1]["prevStitchID"], plain->ID());
  EXPECT_EQ(paths[1]["threadCode"], "A/1");
  // A line has no sewing links in its path object.
  addLine({0, 0}, {1, 0});
  EXPECT_FALSE(parseJsonText(ok200("GET", "/paths"))["paths"][2].contains("prevStitchID"));
  // "/" in a text is written "\/".
  EXPECT_NE(ok200("GET", "/paths").find(R"("threadCode":"A\/1")"), std::string::npos);
}

TEST_F(McpQueryTest, ShapeByIdAndItsRefusals) {
  TQN_Path *line = addLine({1, 2}, {11, 2});
  const std::string id = std::to_string(line->ID());
  EXPECT_EQ(ok200("GET", "/shapes/" + id),
            R"({"id":)" + id +
                R"(,"shapeType":"LINE","paletteIdx":1,"layerId":0,"selected":false,"startPt":{"x":1.0,"y":2.0},)"
                R"("endPt":{"x":11.0,"y":2.0},"center":{"x":6.0,"y":2.0},)"
                R"("bbox":{"x":1.0,"y":2.0,"width":10.0,"height":0.0},"rotation":0.0,"isFreeAngle":false,)"
                R"("length":10.0,"prevStitchID":-1,"nextStitchID":-1,"bezierCp1":null,"bezierCp2":null,)"
                R"("data":[{"kind":"M","x":1.0,"y":2.0},{"kind":"L","x":11.0,"y":2.0}]})");

  EXPECT_EQ(ok200("GET", "/shapes/99"), R"({"error":"shape not found","id":99})");
  for (const char *path : {"/shapes/abc", "/shapes/-3", "/shapes/99999999999", "/shapes/1.5"})
    EXPECT_EQ(ok200("GET", path), R"({"error":"invalid id"})") << path;
}

TEST_F(McpQueryTest, ShapeByIdGivesBezierHandlesAndTheFirstOfTwoEqualIds) {
  auto bezier = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  bezier->drawBezierPath({0, 0}, {1, 2}, {3, 2}, {4, 0});
  TQN_Path *curve = editor.doc().add(std::move(bezier), 0);
  const TJson shape = parseJsonText(ok200("GET", "/shapes/" + std::to_string(curve->ID())));
  EXPECT_EQ(shape["bezierCp1"], parseJsonText(R"({"x":1.0,"y":2.0})"));
  EXPECT_EQ(shape["bezierCp2"], parseJsonText(R"({"x":3.0,"y":2.0})"));
  EXPECT_EQ(shape["data"][0]["kind"], "M");

  TQN_Path *first = addLine({0, 0}, {1, 0}, 0);
  TQN_Path *second = addLine({0, 0}, {1, 0}, 5);
  second->updateId(first->ID());
  EXPECT_EQ(parseJsonText(ok200("GET", "/shapes/" + std::to_string(first->ID())))["layerId"], 0);
}

TEST_F(McpQueryTest, DocumentTotalsAndBoundingBox) {
  EXPECT_EQ(ok200("GET", "/doc"),
            R"({"shapeCount":0,"layerCount":1,"paletteCount":40,"activePaletteIdx":1,"activeLayerId":0,"bbox":null})");
  addLine({1, 2}, {11, 2});
  addLine({-3, 5}, {-3, 9}, 1);
  doc().addLayer(1, QStringLiteral("second"), true);
  editor.FActiveLayer = 1;
  // A shape without extent (a point-like line) does not count toward the box.
  addLine({50, 50}, {50, 50});
  EXPECT_EQ(ok200("GET", "/doc"),
            R"({"shapeCount":3,"layerCount":2,"paletteCount":40,"activePaletteIdx":1,"activeLayerId":1,)"
            R"("bbox":{"xMin":-3.0,"yMin":2.0,"xMax":11.0,"yMax":9.0}})");
}

TEST_F(McpQueryTest, IntersectionsNameBothShapesOrNull) {
  EXPECT_EQ(ok200("GET", "/intersections"), R"({"intersections":[],"count":0})");
  TQN_Path *a = addLine({0, 0}, {10, 0});
  editor.doc().FIntersections.Add(new TIntersection({4, 0}, a, nullptr));
  EXPECT_EQ(ok200("GET", "/intersections"),
            R"({"intersections":[{"point":{"x":4.0,"y":0.0},"path1Id":)" + std::to_string(a->ID()) +
                R"(,"path2Id":null}],"count":1})");
}

TEST_F(McpQueryTest, RulerReportsTheRouteAlongTheShapes) {
  // An L of two lines: from one free end to the other is 10 + 5 mm.
  addLine({0, 0}, {10, 0});
  addLine({10, 0}, {10, 5});
  const TJson ruler = parseJsonText(ok200("POST", "/ruler", R"({"x1":0,"y1":0,"x2":10,"y2":5})"));
  EXPECT_EQ(ruler["rp1"], parseJsonText(R"({"x":0.0,"y":0.0})"));
  EXPECT_EQ(ruler["connected"], true);
  EXPECT_DOUBLE_EQ(ruler["totalDistance"].get<double>(), 15.0);
  // The chain runs from the end vertex back to the start vertex through the corner.
  const TJson &chain = ruler["routeChain"];
  ASSERT_EQ(chain.size(), 3u);
  const TJson &vertices = ruler["vertices"];
  EXPECT_EQ(vertices[chain[0].get<int>()]["isEnd"], true);
  EXPECT_EQ(vertices[chain[1].get<int>()]["point"], parseJsonText(R"({"x":10.0,"y":0.0})"));
  EXPECT_EQ(vertices[chain[2].get<int>()]["isStart"], true);
  EXPECT_EQ(vertices[chain[0].get<int>()]["minDistFromVertexIdx"], chain[1]);
  for (const TJson &joint : ruler["joints"]) {
    EXPECT_FALSE(joint["pt0"].is_null());
    EXPECT_FALSE(joint["pt1"].is_null());
  }
}

TEST_F(McpQueryTest, RulerBetweenEqualPointsAndItsErrors) {
  addLine({0, 0}, {10, 0});
  EXPECT_EQ(ok200("POST", "/ruler", R"({"x1":1,"y1":1,"x2":1,"y2":1})"),
            R"({"rp1":{"x":1.0,"y":1.0},"rp2":{"x":1.0,"y":1.0},"connected":false,"totalDistance":null,)"
            R"("vertices":[],"joints":[],"routeChain":[]})");
  EXPECT_EQ(ok200("POST", "/ruler", "[1,2]"), R"({"error":"invalid JSON body"})");
  const TMcpResponse missing = call("POST", "/ruler", R"({"x1":1,"y1":1,"x2":1})");
  EXPECT_EQ(missing.status, 500);
  EXPECT_EQ(missing.body, R"({"error":"missing member y2"})");
}

TEST_F(McpQueryTest, StitchHostsNameEachHolesHostAndItsPositionOnIt) {
  const std::string none = R"({"ok":true,"holes":[]})";
  EXPECT_EQ(ok200("GET", "/stitch_hosts"), none);
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({10, 0}, {10, 10});
  auto arcShape = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  arcShape->drawArcPath({30, 0}, {5, 5}, {35, 0}, {30, 5}, 90);
  TQN_Path *arc = editor.doc().add(std::move(arcShape), 0);
  EXPECT_EQ(ok200("GET", "/stitch_hosts"), none);  // shapes, but no holes

  // The hole on the corner is as near to a as to b: alone it would go to a (met first),
  // but three holes lie on b and two on a, so it goes with b.
  const TQN_Path *corner = addHole({10, 0});
  const TQN_Path *onA = addHole({2.5f, 0.2f});
  const TQN_Path *onB1 = addHole({10.1f, 4});
  const TQN_Path *onB2 = addHole({9.9f, 8});
  const TQN_Path *onB3 = addHole({10, 6});
  const TQN_Path *onArc = addHole({30 + 3.5355339f, 3.5355339f});  // half way round a quarter
  const TQN_Path *loose = addHole({50, 50});
  const std::size_t states = undoStates();
  const int shapes = doc().Count();
  const auto entry = [](const TQN_Path *hole, const TQN_Path *host, const char *param) {
    return R"({"id":)" + std::to_string(hole->ID()) + R"(,"host":)" + std::to_string(host->ID()) +
           R"(,"param":)" + param + "}";
  };
  EXPECT_EQ(ok200("GET", "/stitch_hosts"),
            R"({"ok":true,"holes":[)" + entry(corner, b, "0.0000") + "," + entry(onA, a, "2.5000") + "," +
                entry(onB1, b, "4.0000") + "," + entry(onB2, b, "8.0000") + "," + entry(onB3, b, "6.0000") + "," +
                entry(onArc, arc, "0.7854") + R"(,{"id":)" + std::to_string(loose->ID()) + R"(,"host":-1}]})");
  // A query: the drawing and the undo history stay as they were.
  EXPECT_EQ(undoStates(), states);
  EXPECT_EQ(doc().Count(), shapes);
}

}  // namespace
}  // namespace quillon::test
