// The cutting routes through the server: POST /shapes/trim and POST /split_at_intersection,
// their replies, and the requests they refuse or fail, which change nothing.
#include <gtest/gtest.h>

#include <string>

#include "automation/mcp_test_util.h"
#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "support/editor_fixture.h"

namespace quillon::test {
namespace {

class McpCutTest : public McpServerTest {
 protected:
  void recordAll() {
    editor.doc().FIntersections.FreeAll();
    for (TQN_Path *s : doc().Items()) editor.calcIntersectionsOfShape(s);
  }
};

TEST_F(McpCutTest, TrimRemovesThePieceAtThePoint) {
  TQN_Path *line = addLine({0, 0}, {100, 0});
  addLine({30, -10}, {30, 10});
  recordAll();
  const std::size_t states = undoStates();
  EXPECT_EQ(ok200("POST", "/shapes/trim", R"({"point":{"x":10,"y":0}})"), R"({"ok":true})");
  EXPECT_FALSE(editor.doc().contains(line));
  ASSERT_EQ(doc().Count(), 2);
  EXPECT_TRUE(pointNear(doc()[1]->FStartPt, {100, 0}));
  EXPECT_TRUE(pointNear(doc()[1]->FEndPt, {30, 0}));
  EXPECT_EQ(undoStates(), states + 1);
}

TEST_F(McpCutTest, TrimRequestsThatChangeNothing) {
  auto ellipse = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  ellipse->drawEllipsePath({50, 50}, 20, 10);
  editor.doc().add(std::move(ellipse), 0);
  addLine({0, 0}, {10, 0});
  const std::size_t states = undoStates();
  const int boxes = ui.boxKeys.size();
  struct Case {
    const char *body;
    int status;
    std::string reply;  // empty: any reply
  };
  const Case cases[] = {
      {"[]", 200, R"({"ok":false,"error":"invalid JSON body"})"},
      {"{not json", 200, R"({"ok":false,"error":"invalid JSON body"})"},
      {"{}", 200, R"({"ok":false,"error":"point is required"})"},
      {R"({"point":{"x":10}})", 200, R"({"ok":false,"error":"point.x and point.y are required"})"},
      {R"({"point":{"x":500,"y":500}})", 200, R"({"ok":false,"error":"no trimmable shape found at this point"})"},
      // An ellipse that is not a circle is refused in the reply, without a box.
      {R"({"point":{"x":60,"y":50}})", 200, R"({"ok":false,"error":"only LINE/ARC/BEZIER/CIRCLE can be trimmed"})"},
      {R"({"point":[1,2]})", 500, ""},
      {R"({"point":{"x":"1","y":2}})", 500, ""},
  };
  for (const Case &c : cases) {
    const TMcpResponse r = call("POST", "/shapes/trim", c.body);
    EXPECT_EQ(r.status, c.status) << c.body << " -> " << r.body;
    if (!c.reply.empty()) {
      EXPECT_EQ(r.body, c.reply) << c.body;
    }
  }
  EXPECT_EQ(doc().Count(), 2);
  EXPECT_EQ(undoStates(), states);
  EXPECT_EQ(ui.boxKeys.size(), boxes);
}

TEST_F(McpCutTest, SplitAtIntersectionAnswersTheNewIdsAndThePoint) {
  TQN_Path *line = addLine({0, 0}, {100, 0});
  addLine({30, -10}, {30, 10});
  recordAll();
  const int next = doc().LastID + 1;
  const std::size_t states = undoStates();
  const std::string body = R"({"shapeId":)" + std::to_string(line->ID()) + R"(,"x":31,"y":1})";
  EXPECT_EQ(ok200("POST", "/split_at_intersection", body),
            R"({"ok":true,"id":)" + std::to_string(line->ID()) + R"(,"createdIds":[)" + std::to_string(next) +
                R"(],"splitPoint":{"x":30,"y":0}})");
  EXPECT_TRUE(pointNear(line->FEndPt, {30, 0}));
  EXPECT_EQ(undoStates(), states + 1);
}

TEST_F(McpCutTest, SplitOfACircleAtAnOffRimPointKeepsItsRadius) {
  auto circle = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  circle->drawEllipsePath({0, 0}, 20, 20);
  TQN_Path *c = editor.doc().add(std::move(circle), 0);
  addLine({-20, 0}, {20, 0});
  recordAll();
  const std::string reply =
      ok200("POST", "/split_at_intersection", R"({"shapeId":)" + std::to_string(c->ID()) + R"(,"x":9,"y":1})");
  EXPECT_NE(reply.find(R"("createdIds":[])"), std::string::npos) << reply;
  EXPECT_TRUE(c->isKind(TShapeKind::Arc));
  EXPECT_EQ(c->FWidth, 10.0f);
  EXPECT_TRUE(pointNear(c->FStartPt, {10, 0}, 1e-4));
}

TEST_F(McpCutTest, SplitRefusals) {
  TQN_Path *line = addLine({0, 0}, {100, 0});
  addLine({100, -10}, {100, 10});  // meets the line at its end only
  auto dot = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  dot->drawDotPath({5, 5}, 1.0f);
  TQN_Path *d = editor.doc().add(std::move(dot), 0);
  recordAll();
  const std::string id = std::to_string(line->ID());
  struct Case {
    std::string body;
    std::string reply;
  };
  const Case cases[] = {
      {"[]", R"({"error":"invalid JSON body"})"},
      {R"({"shapeId":1,"x":1})", R"({"error":"shapeId,x,y are required"})"},
      {R"({"shapeId":999,"x":1,"y":1})", R"({"error":"shape not found","id":999})"},
      {R"({"shapeId":)" + std::to_string(d->ID()) + R"(,"x":5,"y":5})",
       R"({"error":"only LINE/ARC/CIRCLE can be split at an intersection"})"},
      {R"({"shapeId":)" + id + R"(,"x":50,"y":0})", R"({"ok":false,"error":"no intersection on this shape near the point"})"},
      {R"({"shapeId":)" + id + R"(,"x":99,"y":0})", R"x({"ok":false,"error":"split failed (point at an endpoint?)"})x"},
  };
  const std::size_t states = undoStates();
  for (const Case &c : cases) EXPECT_EQ(ok200("POST", "/split_at_intersection", c.body), c.reply) << c.body;
  EXPECT_EQ(doc().Count(), 3);
  EXPECT_EQ(undoStates(), states);
  EXPECT_TRUE(pointNear(line->FEndPt, {100, 0}));
}

}  // namespace
}  // namespace quillon::test
