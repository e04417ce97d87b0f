// The stitching routes, called as the route table calls them on the UI thread: one hole,
// holes around a loop (the pricking tab's values set for the call and put back), holes
// along a route; and the requests they refuse, which change nothing.
#include <gtest/gtest.h>

#include <string>

#include "automation/mcp_routes.h"
#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "platform/json_text.h"
#include "shell/options.h"
#include "stitching/pricking_iron.h"
#include "stitching/stitch_state.h"
#include "support/editor_fixture.h"

namespace quillon::test {
namespace {

class McpStitchTest : public EditorTest {
 protected:
  McpStitchTest() {
    editor.view().FScale = 10.0f;
    auto group = std::make_unique<TPrickingIronGroup>(false);
    group->PrickingIron->BladeType = "D";
    group->PrickingIron->Pitch = 4.0f;
    TPrickingIronGroup &g = *group;
    editor.FPrickingIronGroups.push_back(std::move(group));
    ClickedPrickingIron(editor, g, 1);
  }

  TMcpReply post(const std::string &path, const std::string &body) {
    return routeRequest(editor, {"POST", path, body});
  }
  TJson okJson(const std::string &path, const std::string &body) {
    const TMcpReply r = post(path, body);
    EXPECT_EQ(r.Status, 200) << r.Body;
    return TJson::parse(r.Body);
  }
  std::vector<TQN_Path *> holes() const {
    std::vector<TQN_Path *> h;
    for (TQN_Path *s : editor.doc().PathList())
      if (s->isKind(TShapeKind::Hole)) h.push_back(s);
    return h;
  }
  TQN_Path *addCircle(TPointF c, float d, int layer = 0) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawEllipsePath(c, d, d);
    return editor.doc().add(std::move(s), layer);
  }
};

TEST_F(McpStitchTest, ALoopOnACircleIsTheCircleAndThePanelIsPutBack) {
  addCircle({0, 0}, 40.0f);
  editor.panel().PitchMode = TPitchMode::Fixed;
  editor.panel().FixedPitchLen = 3.0f;
  editor.panel().CornerModeIndex = 1;
  editor.panel().NumOfStitchingHoles = 12;
  const std::size_t states = undoStates();
  const qsizetype boxes = ui.boxKeys.size();

  TJson r = okJson("/stitch/loop", R"({"pointOnLoop":{"x":20,"y":0},"cornerMode":2})");
  ASSERT_TRUE(r.value("ok", false)) << r.dump();
  EXPECT_EQ(r["holeCount"].get<int>(), 31);
  EXPECT_NEAR(r["actualPitchMm"].get<double>(), 4.054, 0.002);
  ASSERT_EQ(r["createdIds"].size(), holes().size());
  EXPECT_EQ(r["createdIds"][0].get<int>(), holes().front()->ID());
  EXPECT_EQ(undoStates(), states + 1);
  // Everything the request set is back; no box waited for a person.
  EXPECT_EQ(editor.panel().PitchMode, TPitchMode::Fixed);
  EXPECT_EQ(editor.panel().FixedPitchLen, 3.0f);
  EXPECT_EQ(editor.panel().CornerModeIndex, 1);
  EXPECT_EQ(prickingIron(editor)->BladeType, "D");
  EXPECT_EQ(ui.boxKeys.size(), boxes);

  // Mode "count" keeps the hole count it wrote; the rest goes back.
  editor.doc().clear();
  addCircle({0, 0}, 40.0f);
  r = okJson("/stitch/loop", R"({"pointOnLoop":{"x":20,"y":0},"mode":"count","holeCount":24,"stitchType":"French"})");
  EXPECT_EQ(r["holeCount"].get<int>(), 24);
  EXPECT_EQ(holes().front()->FStitchType, QStringLiteral("F"));
  EXPECT_EQ(editor.panel().NumOfStitchingHoles, 24);
  EXPECT_EQ(editor.panel().PitchMode, TPitchMode::Fixed);
  EXPECT_EQ(prickingIron(editor)->BladeType, "D");
}

TEST_F(McpStitchTest, ThePitchIsTakenInMillimetresWhateverTheDisplayUnit) {
  for (const TUnitMode unit : {umMM, umIN}) {
    SCOPED_TRACE(int(unit));
    editor.FOptions->SetUnitMode(unit);
    editor.doc().clear();
    addCircle({0, 0}, 40.0f);
    const TJson r = okJson("/stitch/loop", R"({"pointOnLoop":{"x":20,"y":0},"pitchMm":4,"mode":"fixed"})");
    ASSERT_TRUE(r.value("ok", false)) << r.dump();
    ASSERT_GE(holes().size(), 30u);
    EXPECT_NEAR(calcDistance(holes()[0]->FCenter, holes()[1]->FCenter), 4.0f, 1e-3);
  }
}

TEST_F(McpStitchTest, LoopRefusalsChangeNothing) {
  addLine({0, 0}, {30, 0});
  addLine({30, 0}, {30, 20});
  addCircle({100, 0}, 20.0f, 2);
  editor.panel().FixedPitchLen = 3.0f;
  struct Case {
    const char *body;
    int status;
    const char *reply;  // null: only the status is checked
  };
  const Case cases[] = {
      {"[1]", 200, R"({"error":"invalid JSON body"})"},
      {"{}", 200, R"({"error":"pointOnLoop is required"})"},
      {R"({"pointOnLoop":5})", 500, nullptr},
      {R"({"pointOnLoop":{"x":15,"y":0},"mode":7})", 500, nullptr},
      {R"({"pointOnLoop":{"x":15,"y":50}})", 200, R"({"ok":false,"error":"no shape found near pointOnLoop"})"},
      // On another layer than the active one, even when layerId names it.
      {R"({"pointOnLoop":{"x":110,"y":0},"layerId":2})", 200,
       R"({"ok":false,"error":"no shape found near pointOnLoop"})"},
      {R"({"pointOnLoop":{"x":15,"y":0}})", 200,
       R"({"ok":false,"error":"shape at pointOnLoop is not part of a closed loop"})"},
      {R"({"pointOnLoop":{"x":15,"y":0},"pitchMm":0})", 200, R"({"error":"pitchMm must be a number from 0.5 to 1000"})"},
      {R"({"pointOnLoop":{"x":15,"y":0},"pitchMm":1e300})", 200, nullptr},
      {R"({"pointOnLoop":{"x":15,"y":0},"mode":"count","holeCount":2})", 200,
       R"({"error":"holeCount must be an integer from 3 to 1000"})"},
      {R"({"pointOnLoop":{"x":15,"y":0},"cornerMode":3})", 200, R"({"error":"cornerMode must be 0, 1 or 2"})"},
      {R"({"pointOnLoop":{"x":1e9,"y":0}})", 200, nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.body);
    const TMcpReply r = post("/stitch/loop", c.body);
    EXPECT_EQ(r.Status, c.status) << r.Body;
    if (c.reply) {
      EXPECT_EQ(r.Body, c.reply);
    }
    EXPECT_TRUE(holes().empty());
    EXPECT_EQ(editor.panel().FixedPitchLen, 3.0f);
  }
}

TEST_F(McpStitchTest, AlongPathAnswersAsItsModesSay) {
  addLine({0, 0}, {21, 0});
  addLine({21, 0}, {21, 13});
  addLine({50, 50}, {60, 50});
  editor.doc().PathList().addLayer(3, QStringLiteral("three"), true);
  struct Case {
    const char *body;
    const char *error;  // null: success
    int layer;          // of the new holes
    bool cornerReply;
  };
  const Case cases[] = {
      {R"({"startPoint":{"x":0,"y":0}})", "startPoint and endPoint are required", 0, false},
      {R"({"startPoint":{"x":0,"y":0},"endPoint":{"x":55,"y":50}})", "no route found between startPoint and endPoint",
       0, false},
      {R"({"startPoint":{"x":0,"y":0},"endPoint":{"x":21,"y":13},"mode":"count","holeCount":1})",
       "cannot compute pitch: no route or holeCount <= 1", 0, false},
      {R"({"startPoint":{"x":0,"y":0},"endPoint":{"x":21,"y":13},"cornerMode":0,"layerId":3})", nullptr, 0, true},
      {R"({"startPoint":{"x":0,"y":0},"endPoint":{"x":21,"y":13},"cornerMode":2,"layerId":3})", nullptr, 3, false},
      {R"({"startPoint":{"x":0,"y":0},"endPoint":{"x":21,"y":13},"mode":"count","holeCount":9})", nullptr, 0, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.body);
    for (TQN_Path *h : holes()) editor.doc().remove(h);
    const TJson r = okJson("/stitch/along_path", c.body);
    if (c.error) {
      EXPECT_EQ(r["error"].get<std::string>(), c.error);
      EXPECT_TRUE(holes().empty());
      continue;
    }
    ASSERT_TRUE(r.value("ok", false)) << r.dump();
    EXPECT_EQ(r.contains("cornerMode"), c.cornerReply);
    ASSERT_EQ(r["createdIds"].size(), holes().size());
    ASSERT_FALSE(holes().empty());
    for (const TQN_Path *h : holes()) EXPECT_EQ(h->FLayerID, c.layer);
    if (!c.cornerReply) {
      EXPECT_EQ(r["holeCount"].get<std::size_t>(), holes().size());
    }
  }
}

TEST_F(McpStitchTest, OneHoleTakesTheBladeOfItsType) {
  struct Case {
    const char *type;
    const char *letter;
  };
  const Case cases[] = {{"FLAT", "L"}, {"oval", "D"}, {"round", "R"}, {"French", "F"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.type);
    const TJson r = okJson("/shapes/stitch_hole",
                           std::string(R"({"cx":5,"cy":6,"angle":30,"stitchType":")") + c.type + "\"}");
    ASSERT_TRUE(r.value("ok", false)) << r.dump();
    const TQN_Path *h = holes().back();
    EXPECT_EQ(h->ID(), r["id"].get<int>());
    EXPECT_EQ(h->FStitchType, QString::fromLatin1(c.letter));
    EXPECT_TRUE(pointNear(h->FCenter, {5, 6}));
    EXPECT_EQ(h->FPalletIndex, 36);
  }
  EXPECT_EQ(post("/shapes/stitch_hole", R"({"cx":1,"cy":1,"stitchType":3})").Status, 500);
  EXPECT_EQ(post("/shapes/stitch_hole", R"({"cy":1})").Status, 500);
  EXPECT_EQ(holes().size(), 4u);
}

}  // namespace
}  // namespace quillon::test
