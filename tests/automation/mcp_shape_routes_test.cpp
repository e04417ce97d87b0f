// The shape editing routes through the server: creating, changing and deleting shapes,
// each change one undo step; and the requests they refuse or fail, which change nothing.
#include <cmath>

#include "automation/mcp_test_util.h"
#include "model/intersection.h"
#include "platform/json_text.h"
#include "shell/clipboard.h"
#include "shell/deletion.h"
#include "shell/undo.h"

namespace quillon::test {
namespace {

constexpr const char *kTooLarge =
    R"({"error":"the shape is too large: its outline would need more than 200000 points"})";

class McpShapeTest : public McpServerTest {
 protected:
  TQN_Path *lastShape() { return doc()[doc().Count() - 1]; }
  std::string okId(int id) { return "{\"ok\":true,\"id\":" + std::to_string(id) + "}"; }
  std::string path(const TQN_Path *shape) { return "/shapes/" + std::to_string(shape->ID()); }
};

TEST_F(McpShapeTest, LineTakesTheCurrentPenAndLayerAndIsOneUndoStep) {
  TQN_Path *crossing = addLine({5, -5}, {5, 5});
  editor.FActiveLayer = 3;
  const int expectedId = doc().LastID + 1;
  const std::size_t states = undoStates();

  EXPECT_EQ(ok200("POST", "/shapes/line", R"({"x1":0,"y1":0,"x2":10,"y2":0})"), okId(expectedId));
  TQN_Path *line = lastShape();
  EXPECT_EQ(line->ID(), expectedId);
  EXPECT_TRUE(line->isKind(TShapeKind::Line));
  EXPECT_TRUE(line->FStartPt.exactlyEquals({0, 0}));
  EXPECT_TRUE(line->FEndPt.exactlyEquals({10, 0}));
  EXPECT_EQ(line->FLayerID, 3);
  EXPECT_EQ(line->FPalletIndex, 0);
  EXPECT_EQ(line->FColor, editor.pen().FPalletList[0]->Color());
  EXPECT_EQ(line->FThickness, editor.pen().FPalletList[0]->FThickness);
  EXPECT_EQ(undoStates(), states + 1);
  EXPECT_GT(ui.canvasRefreshes, 0);
  // Its crossing with the other line is recorded.
  ASSERT_EQ(editor.doc().FIntersections.Count(), 1);
  const TIntersection *ict = editor.doc().FIntersections[0];
  EXPECT_TRUE((ict->FPath1 == line && ict->FPath2 == crossing) || (ict->FPath1 == crossing && ict->FPath2 == line));
  EXPECT_NEAR(ict->FPoint.X, 5.0f, 1e-4f);
  EXPECT_NEAR(ict->FPoint.Y, 0.0f, 1e-4f);
}

TEST_F(McpShapeTest, PaletteIdxIsOneBasedAndOutOfRangeMeansCurrent) {
  struct Case {
    const char *extra;
    int palletIndex;
  };
  const Case cases[] = {{R"("paletteIdx":3)", 2}, {R"("paletteIdx":40)", 39}, {R"("paletteIdx":41)", 0},
                        {R"("paletteIdx":0)", 0}, {R"("paletteIdx":"3")", 0}, {R"("paletteIdx":99999999999)", 0}};
  for (const Case &c : cases) {
    ok200("POST", "/shapes/line", std::string(R"({"x1":0,"y1":0,"x2":1,"y2":1,)") + c.extra + "}");
    EXPECT_EQ(lastShape()->FPalletIndex, c.palletIndex) << c.extra;
    EXPECT_EQ(lastShape()->FColor, editor.pen().FPalletList[std::size_t(c.palletIndex)]->Color()) << c.extra;
  }
  ok200("POST", "/shapes/line", R"({"x1":0,"y1":0,"x2":1,"y2":1,"layerId":7})");
  EXPECT_EQ(lastShape()->FLayerID, 7);
}

TEST_F(McpShapeTest, CircleArcAndBezierGeometry) {
  ok200("POST", "/shapes/circle", R"({"cx":10,"cy":20,"r":5})");
  TQN_Path *circle = lastShape();
  EXPECT_TRUE(circle->isKind(TShapeKind::Ellipse));
  EXPECT_TRUE(circle->FCenter.exactlyEquals({10, 20}));
  EXPECT_EQ(circle->FWidth, 10.0f);
  EXPECT_EQ(circle->FHeight, 10.0f);

  // A quarter turn from +x toward +y: clockwise on the screen.
  ok200("POST", "/shapes/arc", R"({"cx":10,"cy":20,"r":5,"startAngle":0,"endAngle":1.5707963})");
  TQN_Path *arc = lastShape();
  EXPECT_TRUE(arc->isKind(TShapeKind::Arc));
  EXPECT_TRUE(arc->FStartPt.exactlyEquals({15, 20}));
  EXPECT_NEAR(arc->FEndPt.X, 10.0f, 1e-5f);
  EXPECT_NEAR(arc->FEndPt.Y, 25.0f, 1e-5f);
  EXPECT_NEAR(arc->FSweepAngle, 90.0f, 1e-4f);
  EXPECT_EQ(arc->FWidth, 5.0f);

  ok200("POST", "/shapes/bezier", R"({"points":[{"x":0,"y":0},{"x":1,"y":2},{"x":3,"y":2},{"x":4,"y":0}]})");
  TQN_Path *curve = lastShape();
  EXPECT_TRUE(curve->isKind(TShapeKind::Bezier));
  EXPECT_TRUE(curve->FBezierCp1.exactlyEquals({1, 2}));
  EXPECT_TRUE(curve->FBezierCp2.exactlyEquals({3, 2}));
  EXPECT_TRUE(curve->FEndPt.exactlyEquals({4, 0}));
}

// Requests that are refused (status 200) or fail (status 500) create nothing and use up
// no id.
TEST_F(McpShapeTest, BadCreationRequestsChangeNothing) {
  const std::string invalid = R"({"error":"invalid JSON body"})";
  struct Case {
    const char *path;
    std::string body;
    int status;
    std::string reply;
  };
  const Case cases[] = {
      {"/shapes/line", "", 200, invalid},
      {"/shapes/line", "not json", 200, invalid},
      {"/shapes/line", "[1,2]", 200, invalid},
      {"/shapes/line", R"({"x1":1)", 200, invalid},
      {"/shapes/line", "\"text\"", 200, invalid},
      // Bytes that are not UTF-8 are read as U+FFFD.
      {"/shapes/line", "\xFF\xFE", 200, invalid},
      {"/shapes/circle", "{\"cx\":\"\xFF\",\"cy\":1,\"r\":1}", 500, R"({"error":"cx must be a number"})"},
      {"/shapes/line", R"({"x1":1,"y1":2,"x2":3})", 500, R"({"error":"missing member y2"})"},
      {"/shapes/line", R"({"x1":"1","y1":2,"x2":3,"y2":4})", 500, R"({"error":"x1 must be a number"})"},
      {"/shapes/line", R"({"x1":1,"y1":2,"x2":3,"y2":null})", 500, R"({"error":"y2 must be a number"})"},
      {"/shapes/line", R"({"x1":1,"y1":2,"x2":3,"y2":4,"paletteIdx":3.0})", 500,
       R"({"error":"paletteIdx must be an integer"})"},
      {"/shapes/line", R"({"x1":1,"y1":2,"x2":3,"y2":4,"layerId":1e3})", 500,
       R"({"error":"layerId must be an integer"})"},
      {"/shapes/circle", R"({"cx":1,"cy":2})", 500, R"({"error":"missing member r"})"},
      {"/shapes/bezier", R"({"points":[{"x":0,"y":0},{"x":1,"y":1},{"x":2,"y":2}]})", 200,
       R"({"error":"points must have exactly 4 elements [P0,C1,C2,P1]"})"},
      {"/shapes/bezier", R"({"paletteIdx":2})", 200,
       R"({"error":"points must have exactly 4 elements [P0,C1,C2,P1]"})"},
      {"/shapes/bezier", R"({"points":{"x":0}})", 500, R"({"error":"points must be an array"})"},
      {"/shapes/bezier", R"({"points":[{"x":0,"y":0},[1,1],{"x":2,"y":2},{"x":3,"y":3}]})", 500,
       R"({"error":"points[1] must be an object with x and y"})"},
      // Values out of range are refused.
      {"/shapes/line", R"({"x1":1e6,"y1":2,"x2":3,"y2":4})", 200,
       R"({"error":"x1 must be a finite number from -100000 to 100000"})"},
      {"/shapes/line", R"({"x1":1,"y1":2,"x2":3,"y2":-3e38})", 200,
       R"({"error":"y2 must be a finite number from -100000 to 100000"})"},
      {"/shapes/line", R"({"x1":1,"y1":2,"x2":3,"y2":4,"layerId":3000000000})", 200,
       R"({"error":"layerId is out of range"})"},
      {"/shapes/circle", R"({"cx":1,"cy":2,"r":1e30})", 200,
       R"({"error":"r must be a finite number from -100000 to 100000"})"},
      {"/shapes/arc", R"({"cx":1,"cy":2,"r":3,"startAngle":5000,"endAngle":1})", 200,
       R"({"error":"startAngle must be a finite number from -1000 to 1000"})"},
      {"/shapes/bezier", R"({"points":[{"x":0,"y":0},{"x":1,"y":1e7},{"x":2,"y":2},{"x":3,"y":3}]})", 200,
       R"({"error":"points.y must be a finite number from -100000 to 100000"})"},
      // Values in range whose outline would be millions of points (one request of these
      // used to take most of a gigabyte, and every GET /paths more).
      {"/shapes/arc", R"({"cx":0,"cy":0,"r":100000,"startAngle":-1000,"endAngle":1000})", 200, kTooLarge},
      {"/shapes/circle", R"({"cx":0,"cy":0,"r":100000})", 200, kTooLarge},
      {"/shapes/bezier",
       R"({"points":[{"x":-1e5,"y":-1e5},{"x":1e5,"y":-1e5},{"x":-1e5,"y":1e5},{"x":1e5,"y":1e5}]})", 200,
       kTooLarge},
      // Geometry no shape can have: no radius, or a line whose ends are one point (also
      // once rounded to 0.0001 mm as the document keeps lines).
      {"/shapes/circle", R"({"cx":1,"cy":2,"r":0})", 200, R"({"error":"r must be greater than 0"})"},
      {"/shapes/circle", R"({"cx":1,"cy":2,"r":-5})", 200, R"({"error":"r must be greater than 0"})"},
      {"/shapes/circle", R"({"cx":1,"cy":2,"r":1e-50})", 200, R"({"error":"r must be greater than 0"})"},
      {"/shapes/arc", R"({"cx":1,"cy":2,"r":-3,"startAngle":0,"endAngle":1})", 200,
       R"({"error":"r must be greater than 0"})"},
      {"/shapes/arc", R"({"cx":1,"cy":2,"r":0,"startAngle":0,"endAngle":1})", 200,
       R"({"error":"r must be greater than 0"})"},
      {"/shapes/line", R"({"x1":3,"y1":4,"x2":3,"y2":4})", 200,
       R"({"error":"a line needs two different end points"})"},
      {"/shapes/line", R"({"x1":3,"y1":4,"x2":3.00001,"y2":4})", 200,
       R"({"error":"a line needs two different end points"})"},
  };
  const int lastId = doc().LastID;
  const std::size_t states = undoStates();
  for (const Case &c : cases) {
    const TMcpResponse r = call("POST", c.path, c.body);
    EXPECT_EQ(r.status, c.status) << c.path << " " << c.body;
    EXPECT_EQ(r.body, c.reply) << c.path << " " << c.body;
  }
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(doc().LastID, lastId);
  EXPECT_EQ(undoStates(), states);
}

// An arc's sweep is folded into one turn before its outline is built: whole turns beyond
// the first are dropped, so the outline ends at the end angle.
TEST_F(McpShapeTest, ArcSweepsAreFoldedIntoOneTurn) {
  struct Case {
    double start, end;  // radians
    float sweep;        // degrees, worked out by hand
  };
  const Case cases[] = {
      {-1000.0, 1000.0, 111.559f},  // 114591.559 degrees, 318 whole turns
      {0.0, 7.0, 41.070f},          // 401.070
      {0.0, -6.5, -12.423f},        // -372.423
      {0.0, 1.5707963, 90.0f},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.end);
    ok200("POST", "/shapes/arc",
          R"({"cx":0,"cy":0,"r":10,"startAngle":)" + std::to_string(c.start) + R"(,"endAngle":)" +
              std::to_string(c.end) + "}");
    const TQN_Path *arc = lastShape();
    EXPECT_NEAR(arc->FSweepAngle, c.sweep, 2e-3f);
    const TPointF last = arc->Data()[arc->Data().Count() - 1].Point;
    EXPECT_NEAR(last.X, 10.0 * std::cos(c.end), 0.01);
    EXPECT_NEAR(last.Y, 10.0 * std::sin(c.end), 0.01);
  }
  // Whole turns make one, also when single precision leaves a hair over (4 pi arrives as
  // 720.00002 degrees).
  for (const char *turns : {"12.566370614359172", "-12.566370614359172", "6.283185307179586"}) {
    ok200("POST", "/shapes/arc", R"({"cx":0,"cy":0,"r":10,"startAngle":0,"endAngle":)" + std::string(turns) + "}");
    EXPECT_NEAR(std::fabs(lastShape()->FSweepAngle), 360.0f, 1e-3f) << turns;
  }

  // A change to an outline beyond the bound leaves the arc as it was.
  TQN_Path *arc = lastShape();
  const std::size_t states = undoStates();
  EXPECT_EQ(ok200("PUT", path(arc), R"({"cx":0,"cy":0,"r":100000,"startAngle":0,"endAngle":6})"), kTooLarge);
  EXPECT_EQ(arc->FWidth, 10.0f);
  EXPECT_EQ(undoStates(), states);
}

TEST_F(McpShapeTest, UpdateReshapesByKindAndRenewsIntersections) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  addLine({5, -5}, {5, 5});
  editor.calcIntersectionsOfShape(line);
  ASSERT_EQ(editor.doc().FIntersections.Count(), 1);
  const std::size_t states = undoStates();

  EXPECT_EQ(ok200("PUT", path(line), R"({"paletteIdx":4,"x1":20,"y1":0,"x2":30,"y2":0})"), okId(line->ID()));
  EXPECT_TRUE(line->FStartPt.exactlyEquals({20, 0}));
  EXPECT_TRUE(line->FEndPt.exactlyEquals({30, 0}));
  EXPECT_EQ(line->FPalletIndex, 3);
  EXPECT_EQ(line->FColor, editor.pen().FPalletList[3]->Color());
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
  EXPECT_EQ(undoStates(), states + 1);

  ok200("PUT", path(line), R"({"x1":0,"y1":1,"x2":10,"y2":1})");
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);

  auto oval = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  oval->drawEllipsePath({0, 0}, 2, 2);
  TQN_Path *ellipse = editor.doc().add(std::move(oval), 0);
  ok200("PUT", path(ellipse), R"({"cx":1,"cy":2,"rx":3,"ry":4})");
  EXPECT_EQ(ellipse->FWidth, 6.0f);
  EXPECT_EQ(ellipse->FHeight, 8.0f);
  ok200("PUT", path(ellipse), R"({"cx":1,"cy":2,"rx":3,"r":1.5})");
  EXPECT_EQ(ellipse->FWidth, 3.0f);
  EXPECT_EQ(ellipse->FHeight, 3.0f);

  ok200("POST", "/shapes/arc", R"({"cx":0,"cy":0,"r":1,"startAngle":0,"endAngle":1})");
  TQN_Path *arc = lastShape();
  ok200("PUT", path(arc), R"({"cx":10,"cy":20,"r":5,"startAngle":0,"endAngle":3.14159265})");
  EXPECT_TRUE(arc->FStartPt.exactlyEquals({15, 20}));
  EXPECT_NEAR(arc->FSweepAngle, 180.0f, 1e-4f);

  // Geometry members of another kind are ignored; the line type still changes.
  TQN_Path *dot = addLine({0, 0}, {0, 0});
  dot->drawDotPath({3, 3}, 1);
  ok200("PUT", path(dot), R"({"x1":9,"y1":9,"x2":9,"y2":9,"cx":9,"paletteIdx":2})");
  EXPECT_TRUE(dot->FCenter.exactlyEquals({3, 3}));
  EXPECT_EQ(dot->FPalletIndex, 1);
}

// Everything is checked before anything changes: a rejected update leaves line type,
// geometry, intersections and history as they were.
TEST_F(McpShapeTest, RejectedUpdatesChangeNothing) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  addLine({5, -5}, {5, 5});
  editor.calcIntersectionsOfShape(line);
  auto bezier = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  bezier->drawBezierPath({0, 0}, {1, 2}, {3, 2}, {4, 0});
  TQN_Path *curve = editor.doc().add(std::move(bezier), 0);
  auto oval = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  oval->drawEllipsePath({0, 0}, 2, 2);
  TQN_Path *ellipse = editor.doc().add(std::move(oval), 0);
  auto bow = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  bow->drawArcPath({0, 0}, {5, 5}, {5, 0}, {0, 5}, 90);
  TQN_Path *arc = editor.doc().add(std::move(bow), 0);
  const std::size_t states = undoStates();

  struct Case {
    TQN_Path *shape;
    std::string body;
    int status;
    std::string reply;
  };
  const Case cases[] = {
      {line, R"({"paletteIdx":5,"x1":0,"y1":0,"x2":0})", 500, R"({"error":"missing member y2"})"},
      {line, R"({"paletteIdx":5,"x1":0,"y1":0,"x2":0,"y2":2e6})", 200,
       R"({"error":"y2 must be a finite number from -100000 to 100000"})"},
      {curve, R"({"paletteIdx":5,"points":[{"x":0,"y":0}]})", 200,
       R"({"error":"bezier requires points:[P0,C1,C2,P1]"})"},
      {curve, R"({"paletteIdx":5,"points":7})", 200, R"({"error":"bezier requires points:[P0,C1,C2,P1]"})"},
      {curve, R"({"paletteIdx":5,"points":[{"x":0,"y":0},{"x":1},{"x":2,"y":2},{"x":3,"y":3}]})", 500,
       R"({"error":"missing member y"})"},
      {ellipse, R"({"paletteIdx":5,"cx":1,"cy":2,"rx":3})", 500, R"({"error":"missing member r"})"},
      {ellipse, R"({"paletteIdx":5.5,"cx":1,"cy":2,"r":3})", 500, R"({"error":"paletteIdx must be an integer"})"},
      {ellipse, R"({"paletteIdx":5,"cx":1,"cy":2,"r":-1})", 200, R"({"error":"r must be greater than 0"})"},
      {ellipse, R"({"paletteIdx":5,"cx":1,"cy":2,"rx":3,"ry":0})", 200, R"({"error":"ry must be greater than 0"})"},
      {line, R"({"paletteIdx":5,"x1":7,"y1":7,"x2":7,"y2":7})", 200,
       R"({"error":"a line needs two different end points"})"},
      {arc, R"({"paletteIdx":5,"cx":1,"cy":2,"r":-2,"startAngle":0,"endAngle":1})", 200,
       R"({"error":"r must be greater than 0"})"},
      {line, "{bad", 200, R"({"error":"invalid JSON body"})"},
  };
  for (const Case &c : cases) {
    const TMcpResponse r = call("PUT", path(c.shape), c.body);
    EXPECT_EQ(r.status, c.status) << c.body;
    EXPECT_EQ(r.body, c.reply) << c.body;
  }
  for (const TQN_Path *s : {line, curve, ellipse, arc}) EXPECT_EQ(s->FPalletIndex, 0);
  EXPECT_EQ(arc->FWidth, 5.0f);
  EXPECT_TRUE(line->FEndPt.exactlyEquals({10, 0}));
  EXPECT_TRUE(curve->FBezierCp1.exactlyEquals({1, 2}));
  EXPECT_EQ(ellipse->FWidth, 2.0f);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_EQ(undoStates(), states);

  EXPECT_EQ(ok200("PUT", "/shapes/424242", "{}"), R"({"ok":false,"error":"shape not found","id":424242})");
  EXPECT_EQ(ok200("PUT", "/shapes/", "{}"), R"({"error":"invalid id in path"})");
  EXPECT_EQ(ok200("PUT", "/shapes/x", "{}"), R"({"error":"invalid id in path"})");
}

TEST_F(McpShapeTest, DeleteOneShapeWithItsRecords) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  TQN_Path *other = addLine({5, -5}, {5, 5});
  editor.calcIntersectionsOfShape(line);
  editor.pointer().FFirstSelection = line;
  const int id = line->ID();
  const std::size_t states = undoStates();

  EXPECT_EQ(ok200("DELETE", "/shapes/" + std::to_string(id)), "{\"ok\":true,\"deletedId\":" + std::to_string(id) + "}");
  EXPECT_EQ(doc().Count(), 1);
  EXPECT_EQ(doc()[0], other);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
  EXPECT_EQ(editor.pointer().FFirstSelection, nullptr);
  EXPECT_EQ(undoStates(), states + 1);

  EXPECT_EQ(ok200("DELETE", "/shapes/" + std::to_string(id)),
            "{\"ok\":false,\"error\":\"shape not found\",\"id\":" + std::to_string(id) + "}");
  EXPECT_EQ(ok200("DELETE", "/shapes/abc"), R"({"error":"invalid id"})");
  EXPECT_EQ(undoStates(), states + 1);
}

TEST_F(McpShapeTest, DeleteByIdList) {
  TQN_Path *a = addLine({0, 0}, {1, 0});
  TQN_Path *twin = addLine({0, 1}, {1, 1});
  twin->updateId(a->ID());
  TQN_Path *kept = addLine({0, 2}, {1, 2});
  const std::size_t states = undoStates();
  const std::string ids = std::to_string(a->ID());

  EXPECT_EQ(ok200("DELETE", "/shapes", "{\"ids\":[" + ids + ",99," + ids + ",98,99]}"),
            R"({"ok":true,"deletedCount":2,"notFoundIds":[99,98]})");
  ASSERT_EQ(doc().Count(), 1);
  EXPECT_EQ(doc()[0], kept);
  EXPECT_EQ(undoStates(), states + 1);

  EXPECT_EQ(ok200("DELETE", "/shapes", R"({"ids":[]})"), R"({"ok":true,"deletedCount":0,"notFoundIds":[]})");
  EXPECT_EQ(undoStates(), states + 1);

  struct Case {
    std::string body;
    int status;
    std::string reply;
  };
  const Case cases[] = {
      {"{}", 200, R"({"error":"invalid JSON body"})"},
      {"[1]", 200, R"({"error":"invalid JSON body"})"},
      {" ", 200, R"({"error":"invalid JSON body"})"},
      {R"({"ids":"1"})", 500, R"({"error":"ids must be an array"})"},
      {R"({"ids":[1.5]})", 500, R"({"error":"ids element must be an integer"})"},
      {R"({"ids":[4294967296]})", 200, R"({"error":"ids holds an id out of range"})"},
  };
  for (const Case &c : cases) {
    const TMcpResponse r = call("DELETE", "/shapes", c.body);
    EXPECT_EQ(r.status, c.status) << c.body;
    EXPECT_EQ(r.body, c.reply) << c.body;
  }
  EXPECT_EQ(doc().Count(), 1);
}

TEST_F(McpShapeTest, DeleteEverythingKeepsLayersAndCounterAndCanBeUndone) {
  doc().addLayer(1, QStringLiteral("second"), true);
  TQN_Path *line = addLine({0, 0}, {10, 0});
  addLine({5, -5}, {5, 5}, 1);
  editor.calcIntersectionsOfShape(line);
  takeUndoSnapshot(editor, QStringLiteral("test"));
  const int lastId = doc().LastID;

  EXPECT_EQ(ok200("DELETE", "/shapes"), R"({"ok":true,"deletedCount":2,"notFoundIds":[]})");
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
  EXPECT_EQ(doc().Layers().size(), 2u);
  EXPECT_EQ(doc().LastID, lastId);

  const TJson undone = parseJsonText(ok200("POST", "/undo"));
  EXPECT_EQ(undone["undone"], true);
  EXPECT_EQ(undone["shapeCount"], 2);
}

// Every way a shape leaves the document, one after another on the same drawing: Delete,
// undo and redo, cut and paste, and the automation deletes, with a Bezier handle, the
// right-click item and an edge drag pointing at the shapes that go. Nothing may be left
// pointing at a freed shape (AddressSanitizer and LeakSanitizer watch the run).
TEST_F(McpShapeTest, EveryRemovalLetsGoOfTheShapeEverywhere) {
  TQN_Path *a = addLine({0, 0}, {10, 10});
  TQN_Path *b = addLine({0, 10}, {10, 0});
  editor.calcIntersectionsOfShape(a);
  editor.calcIntersectionsOfShape(b);
  takeUndoSnapshot(editor, QStringLiteral("setup"));
  const auto pointAtEverything = [&](TQN_Path *shape) {
    editor.pointer().FFirstSelection = shape;
    editor.pointer().FLastRightClickMousePosItem = shape;
    editor.pointer().FBezierEditInfo = {true, shape, true};
    auto edge = std::make_unique<TEdgeDraggingInfo>();
    edge->QNPath = shape;
    edge->FIntersection = editor.doc().FIntersections.Count() ? editor.doc().FIntersections[0] : nullptr;
    editor.pointer().FDraggingEdges.push_back(std::move(edge));
    editor.tool().FLastStitch = shape;
  };
  const auto nothingPoints = [&] {
    EXPECT_EQ(editor.pointer().FFirstSelection, nullptr);
    EXPECT_EQ(editor.pointer().FLastRightClickMousePosItem, nullptr);
    EXPECT_EQ(editor.pointer().FBezierEditInfo.p, nullptr);
    EXPECT_TRUE(editor.pointer().FDraggingEdges.empty());
    EXPECT_EQ(editor.tool().FLastStitch, nullptr);
  };

  a->SetSelected(true);
  pointAtEverything(a);
  deleteSelectedShapes(editor);
  nothingPoints();
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);

  actUndoExecute(editor);
  ASSERT_EQ(doc().Count(), 2);
  pointAtEverything(doc()[1]);
  actRedoExecute(editor);
  nothingPoints();

  TCopyBuffer buffer;
  doc()[0]->SetSelected(true);
  pointAtEverything(doc()[0]);
  actCutToClipboardExecute(editor, buffer);
  nothingPoints();
  ASSERT_EQ(doc().Count(), 0);
  editor.display().FUseMousePasteMode = false;
  pasteShapes(editor, buffer, {1, 1}, true, {});
  ASSERT_EQ(doc().Count(), 1);

  pointAtEverything(doc()[0]);
  EXPECT_EQ(ok200("DELETE", path(doc()[0])), "{\"ok\":true,\"deletedId\":" + std::to_string(doc()[0]->ID()) + "}");
  nothingPoints();
  actUndoExecute(editor);
  ASSERT_EQ(doc().Count(), 1);
  pointAtEverything(doc()[0]);
  ok200("DELETE", "/shapes");
  nothingPoints();
  EXPECT_EQ(doc().Count(), 0);
}

}  // namespace
}  // namespace quillon::test
