// Path objects: the selection joined into one path object, path objects separated into
// lines and Beziers, and arcs turned into Beziers.
#include "edit/path_objects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "model/bezier.h"
#include "model/point_helpers.h"
#include "platform/number_text.h"
#include "platform/path_data.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

class PathObjectsTest : public test::EditorTest {
 protected:
  TQN_Path *addArc(TPointF c, float r, float startDegrees, float sweep, int layer = 0) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    const TPointF st = rotatePointWithMatrix({c.X + r, c.Y}, startDegrees, c);
    s->drawArcPath(c, {r, r}, st, rotatePointWithMatrix(st, sweep, c), sweep);
    return editor.doc().add(std::move(s), layer);
  }
  TQN_Path *addCircle(TPointF c, float d) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawEllipsePath(c, d, d);
    return editor.doc().add(std::move(s), 0);
  }
  // Lines through the points in order, the last back to the first when `closed`.
  std::vector<TQN_Path *> addPolyline(const std::vector<TPointF> &pts, bool closed) {
    std::vector<TQN_Path *> lines;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) lines.push_back(addLine(pts[i], pts[i + 1]));
    if (closed) lines.push_back(addLine(pts.back(), pts.front()));
    return lines;
  }
  std::string textOf(std::vector<TQN_Path *> shapes, bool closeNear = true) {
    return chainedPathText(editor, shapes, closeNear);
  }
  static void select(const std::vector<TQN_Path *> &shapes) {
    for (TQN_Path *s : shapes) s->SetSelected(true);
  }
  std::vector<TQN_Path *> ofKind(TShapeKind kind) {
    std::vector<TQN_Path *> found;
    for (TQN_Path *s : doc())
      if (s->isKind(kind)) found.push_back(s);
    return found;
  }
  void removeAll() { editor.doc().remove(std::vector<TQN_Path *>(doc().begin(), doc().end())); }
  // The line and cubic steps of a path, each with its points; moves and closes left out.
  static std::vector<std::string> stepsOf(const TPathData &data) {
    std::vector<std::string> steps;
    for (int i = 0; i < data.Count(); ++i) {
      const TPathPoint &e = data[i];
      if (e.Kind == TPathPointKind::LineTo) steps.push_back("L" + pointText(e.Point));
      if (e.Kind != TPathPointKind::CurveTo) continue;
      steps.push_back("C" + pointText(e.Point) + pointText(data[i + 1].Point) + pointText(data[i + 2].Point));
      i += 2;
    }
    return steps;
  }
  static std::string pointText(TPointF p) { return formatFixed(p.X, 4) + ',' + formatFixed(p.Y, 4) + ' '; }
  static int count(const std::string &text, char c) { return int(std::count(text.begin(), text.end(), c)); }
};

TEST_F(PathObjectsTest, ShapeToPathStringByKind) {
  TQN_Path *line = addLine({0.0f, 0.0f}, {10.0f, 0.0f});
  EXPECT_EQ(shapeToPathString(*line, false, true), "M0.0000,0.0000 L10.0000,0.0000 ");
  EXPECT_EQ(shapeToPathString(*line, true, true), "L10.0000,0.0000 ");

  auto bezier = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 1);
  bezier->drawBezierPath({1.0f, 2.0f}, {3.5f, 2.0f}, {5.0f, -1.25f}, {6.0f, 0.0f});
  EXPECT_EQ(shapeToPathString(*bezier, false, false), "M1.0000,2.0000 C3.5000,2.0000 5.0000,-1.2500 6.0000,0.0000 ");

  // A circle of radius 5: quarters from the left point, clockwise on screen, handles
  // 0.5523 x the radius; "z " only on request.
  TQN_Path *circle = addCircle({0.0f, 0.0f}, 10.0f);
  const std::string firstQuarter = "M-5.0000,0.0000 C-5.0000,-2.7614 -2.7614,-5.0000 0.0000,-5.0000 ";
  const std::string closed = shapeToPathString(*circle, false, true);
  EXPECT_EQ(closed.substr(0, firstQuarter.size()), firstQuarter);
  EXPECT_EQ(count(closed, 'C'), 4);
  EXPECT_EQ(closed.substr(closed.size() - 17), "-5.0000,0.0000 z ");
  EXPECT_EQ(shapeToPathString(*circle, false, false), closed.substr(0, closed.size() - 2));

  // An arc of 100 degrees is two cubics of 50; one of 60 degrees is one.
  TQN_Path *wide = addArc({0.0f, 0.0f}, 10.0f, 0.0f, 100.0f);
  EXPECT_EQ(shapeToPathString(*wide, false, true).substr(0, 16), "M10.0000,0.0000 ");
  EXPECT_EQ(count(shapeToPathString(*wide, false, true), 'C'), 2);
  EXPECT_EQ(count(shapeToPathString(*addArc({0.0f, 0.0f}, 10.0f, 0.0f, 60.0f), true, true), 'C'), 1);
  EXPECT_EQ(shapeToPathString(*addArc({0.0f, 0.0f}, 10.0f, 0.0f, 60.0f), true, true)[0], 'C');
}

TEST_F(PathObjectsTest, OneLineAndACircleAlone) {
  EXPECT_EQ(textOf({addLine({0.0f, 0.0f}, {10.0f, 0.0f})}), "M0.0000,0.0000 L10.0000,0.0000 ");
  const std::string circle = textOf({addCircle({20.0f, 20.0f}, 4.0f)});
  EXPECT_EQ(circle[0], 'M');
  EXPECT_EQ(count(circle, 'C'), 4);
  EXPECT_EQ(circle.substr(circle.size() - 2), "z ");
}

TEST_F(PathObjectsTest, ARectangleInAnyDirectionsIsOneClosedSubPath) {
  // Sides 2 and 4 run against the chain.
  TQN_Path *a = addLine({0.0f, 0.0f}, {10.0f, 0.0f});
  TQN_Path *b = addLine({10.0f, 5.0f}, {10.0f, 0.0f});
  TQN_Path *c = addLine({10.0f, 5.0f}, {0.0f, 5.0f});
  TQN_Path *d = addLine({0.0f, 0.0f}, {0.0f, 5.0f});
  std::vector<TQN_Path *> shapes{a, b, c, d};
  const std::string text = chainedPathText(editor, shapes, true);
  // The walk back from a ends at b (the shape after a): the chain starts there.
  EXPECT_EQ(text, "M10.0000,0.0000 L10.0000,5.0000 L0.0000,5.0000 L0.0000,0.0000 L10.0000,0.0000 z");
  EXPECT_EQ(shapes, (std::vector<TQN_Path *>{b, c, d, a}));
  EXPECT_EQ(b->FStartPt, TPointF(10.0f, 0.0f));  // reversed in place
  EXPECT_EQ(d->FStartPt, TPointF(0.0f, 5.0f));
  EXPECT_EQ(a->FStartPt, TPointF(0.0f, 0.0f));
}

TEST_F(PathObjectsTest, ChainingAndClosingDistances) {
  struct Case {
    float gap;
    bool closeNear;
    std::string text;
  };
  // Two lines whose ends lie `gap` apart (1.0 to 1.0 + gap as singles).
  const Case joins[] = {
      {0.19f, true, "M0.0000,0.0000 L1.0000,0.0000 L5.0000,0.0000 "},
      {0.2f, true, "M0.0000,0.0000 L1.0000,0.0000  M1.2000,0.0000 L5.0000,0.0000 "},
  };
  for (const Case &c : joins) {
    removeAll();
    EXPECT_EQ(textOf({addLine({0.0f, 0.0f}, {1.0f, 0.0f}), addLine({1.0f + c.gap, 0.0f}, {5.0f, 0.0f})}), c.text)
        << c.gap;
  }
  // A triangle whose last end stops 0.15 mm short of its start. Its last side has another
  // colour, so that the walk back from the first side does not go round to it.
  const Case closes[] = {
      {0.15f, true, "M0.0000,0.0000 L10.0000,0.0000 L10.0000,10.0000 L0.0000,0.1500 z"},
      {0.15f, false, "M0.0000,0.0000 L10.0000,0.0000 L10.0000,10.0000 L0.0000,0.1500 "},
  };
  for (const Case &c : closes) {
    removeAll();
    const std::vector<TQN_Path *> sides =
        addPolyline({{0.0f, 0.0f}, {10.0f, 0.0f}, {10.0f, 10.0f}, {0.0f, c.gap}}, false);
    sides.back()->FColor = 0xFF0000FF;
    EXPECT_EQ(textOf(sides, c.closeNear), c.text) << c.closeNear;
  }
}

TEST_F(PathObjectsTest, GroupsStrokesAndShapesThatStayOut) {
  // Touching lines of two groups give two sub-paths, the groups before the loose shapes.
  TQN_Path *loose = addLine({20.0f, 0.0f}, {30.0f, 0.0f});
  TQN_Path *g1 = addLine({0.0f, 0.0f}, {10.0f, 0.0f});
  TQN_Path *g2 = addLine({10.0f, 0.0f}, {20.0f, 0.0f});
  g1->FGroupID = 7;
  g2->FGroupID = 8;
  EXPECT_EQ(textOf({loose, g2, g1}), "M0.0000,0.0000 L10.0000,0.0000  M10.0000,0.0000 L20.0000,0.0000  "
                                     "M20.0000,0.0000 L30.0000,0.0000 ");

  // Of two lines of different colours that meet, the walk back from the second does not
  // take the first; the walk forward from the first takes the second.
  removeAll();
  TQN_Path *first = addLine({0.0f, 0.0f}, {10.0f, 0.0f});
  TQN_Path *second = addLine({10.0f, 0.0f}, {10.0f, 10.0f});
  second->FColor = 0xFFFF0000;
  EXPECT_EQ(textOf({second, first}), "M10.0000,0.0000 L10.0000,10.0000  M0.0000,0.0000 L10.0000,0.0000 ");
  EXPECT_EQ(textOf({first, second}), "M0.0000,0.0000 L10.0000,0.0000 L10.0000,10.0000 ");

  // A path object and a dimension line stay out, also where they touch a chain; a dot is
  // converted through its outline.
  removeAll();
  TQN_Path *edge = addLine({0.0f, 0.0f}, {10.0f, 0.0f});
  TQN_Path *dimension = addLine({10.0f, 0.0f}, {20.0f, 0.0f});
  dimension->FIsDimensionLine = true;
  auto object = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  object->setData(TPathData::fromText("M0,0 L3,3"));
  TQN_Path *template_ = editor.doc().add(std::move(object), 0);
  auto dotShape = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  dotShape->drawDotPath({5.0f, 5.0f}, 1.0f);
  TQN_Path *dot = editor.doc().add(std::move(dotShape), 0);
  std::vector<TQN_Path *> shapes{template_, edge, dimension, dot};
  const std::string text = chainedPathText(editor, shapes, true);
  EXPECT_EQ(text, "M0.0000,0.0000 L10.0000,0.0000  " + dot->Data().toText());
  EXPECT_EQ(shapes, (std::vector<TQN_Path *>{edge, dot}));
}

TEST_F(PathObjectsTest, ThePlainVariantKeepsEveryPieceApartAndCanMoveToTheOrigin) {
  // Two touching lines are not chained; an arc of 100 degrees gives two sub-paths.
  TQN_Path *a = addLine({5.0f, 5.0f}, {15.0f, 5.0f});
  TQN_Path *b = addLine({15.0f, 5.0f}, {15.0f, 25.0f});
  TQN_Path *arc = addArc({30.0f, 30.0f}, 10.0f, 0.0f, 100.0f);
  std::unique_ptr<TQN_Path> object = shapesToPathObject(editor, {a, b, arc}, false);
  ASSERT_TRUE(object);
  EXPECT_TRUE(object->isKind(TShapeKind::Other));
  int moves = 0;
  for (const TPathPoint &e : object->Data().Points()) moves += e.Kind == TPathPointKind::MoveTo ? 1 : 0;
  EXPECT_EQ(moves, 4);
  EXPECT_EQ(doc().Count(), 3);  // the sources stay as they were
  EXPECT_EQ(b->FStartPt, TPointF(15.0f, 5.0f));

  std::unique_ptr<TQN_Path> moved = shapesToPathObject(editor, {a, b}, true);
  EXPECT_EQ(moved->Data(), TPathData::fromText("M0,0 L10,0 M10,0 L10,20"));
}

TEST_F(PathObjectsTest, ConvertReplacesTheSelectionAndUndoBringsItBack) {
  editor.FActiveLayer = doc().addLayer(1, QStringLiteral("cut"), true);
  std::vector<TQN_Path *> square = addPolyline({{0.0f, 0.0f}, {10.0f, 0.0f}, {10.0f, 10.0f}, {0.0f, 10.0f}}, true);
  TQN_Path *other = addLine({50.0f, 50.0f}, {60.0f, 50.0f});
  select(square);
  takeUndoSnapshot(editor, QStringLiteral("test"));
  const std::size_t steps = undoStates();

  actConvertToPathExecute(editor);
  ASSERT_EQ(doc().Count(), 2);
  EXPECT_EQ(doc()[0], other);
  TQN_Path *object = doc()[1];
  EXPECT_TRUE(object->isKind(TShapeKind::Other));
  EXPECT_TRUE(object->FSelected);
  EXPECT_EQ(object->FLayerID, 1);
  // The walk back from the first side goes round the loop: the chain starts at the second.
  EXPECT_EQ(object->Data(), TPathData::fromText("M10,0 L10,10 L0,10 L0,0 L10,0 z"));
  // Its boundary corners and mean point are stored.
  EXPECT_EQ(object->FStartPt, TPointF(0.0f, 0.0f));
  EXPECT_EQ(object->FEndPt, TPointF(10.0f, 10.0f));
  EXPECT_EQ(undoStates(), steps + 1);

  // A second F9 within 400 ms converts nothing more.
  actConvertToPathExecute(editor);
  EXPECT_EQ(undoStates(), steps + 1);

  actUndoExecute(editor);
  EXPECT_EQ(doc().Count(), 5);
  EXPECT_TRUE(ofKind(TShapeKind::Other).empty());
}

TEST_F(PathObjectsTest, TheCopyCommandAndShiftKeepTheSources) {
  for (bool copyCommand : {true, false}) {
    removeAll();
    editor.FThrottleTimes.clear();
    select({addLine({0.0f, 0.0f}, {10.0f, 0.0f}), addLine({10.0f, 0.0f}, {10.0f, 10.0f})});
    if (copyCommand) {
      actConvertACopyToPathExecute(editor);
    } else {
      editor.pointer().FLastShiftState = ssShift;
      actConvertToPathExecute(editor);
    }
    EXPECT_EQ(ofKind(TShapeKind::Line).size(), 2u);
    ASSERT_EQ(ofKind(TShapeKind::Other).size(), 1u);
    EXPECT_EQ(ofKind(TShapeKind::Other)[0]->Data(), TPathData::fromText("M0,0 L10,0 L10,10"));
    // The sources are no longer selected; only the new object is.
    EXPECT_EQ(std::count_if(doc().begin(), doc().end(), [](TQN_Path *s) { return s->FSelected; }), 1);
  }
  // Nothing selected: nothing happens, no undo step.
  editor.FThrottleTimes.clear();
  for (TQN_Path *s : doc()) s->SetSelected(false);
  const std::size_t steps = undoStates();
  actConvertToPathExecute(editor);
  EXPECT_EQ(undoStates(), steps);
}

TEST_F(PathObjectsTest, SeparatingGivesLinesAndBeziersAndClosesTheOutline) {
  struct Case {
    const char *path;
    std::vector<TShapeKind> kinds;
    TPointF lastEnd;
  };
  const Case cases[] = {
      // The close step of an open triangle gives its third side.
      {"M0,0 L10,0 L10,10 z", {TShapeKind::Line, TShapeKind::Line, TShapeKind::Line}, {0.0f, 0.0f}},
      // A sub-path that already ends on its start gets no extra side.
      {"M0,0 L10,0 L10,10 L0,0 z M20,0 L30,0", {TShapeKind::Line, TShapeKind::Line, TShapeKind::Line, TShapeKind::Line},
       {30.0f, 0.0f}},
      {"M0,0 C1,1 2,1 3,0 L3,5", {TShapeKind::Bezier, TShapeKind::Line}, {3.0f, 5.0f}},
  };
  for (const Case &c : cases) {
    std::vector<std::unique_ptr<TQN_Path>> made;
    pathDataToShapes(editor, TPathData::fromText(c.path), made, 4, 1.0f);
    ASSERT_EQ(made.size(), c.kinds.size()) << c.path;
    for (std::size_t i = 0; i < made.size(); ++i) {
      EXPECT_TRUE(made[i]->isKind(c.kinds[i])) << c.path << " " << i;
      EXPECT_EQ(made[i]->FGroupID, 4);
      // Each shape goes on from the one before, or starts the second sub-path.
      if (i > 0 && !made[i - 1]->FEndPt.exactlyEquals(made[i]->FStartPt)) {
        EXPECT_EQ(made[i]->FStartPt, TPointF(20.0f, 0.0f)) << c.path;
      }
    }
    EXPECT_EQ(made.back()->FEndPt, c.lastEnd) << c.path;
  }
  // The scale applies to every point.
  std::vector<std::unique_ptr<TQN_Path>> scaled;
  pathDataToShapes(editor, TPathData::fromText("M1,2 L3,4"), scaled, 0, 2.0f);
  ASSERT_EQ(scaled.size(), 1u);
  EXPECT_EQ(scaled[0]->FStartPt, TPointF(2.0f, 4.0f));
  EXPECT_EQ(scaled[0]->FEndPt, TPointF(6.0f, 8.0f));
}

TEST_F(PathObjectsTest, SeparateThenConvertRoundTripsAClosedOutline) {
  // A closed outline of lines and a curve, and a circle.
  std::vector<TQN_Path *> outline = addPolyline({{0.0f, 0.0f}, {30.0f, 0.0f}, {30.0f, 20.0f}}, false);
  auto curve = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  curve->drawBezierPath({30.0f, 20.0f}, {20.0f, 30.0f}, {10.0f, 30.0f}, {0.0f, 20.0f});
  outline.push_back(editor.doc().add(std::move(curve), 0));
  outline.push_back(addLine({0.0f, 20.0f}, {0.0f, 0.0f}));
  select(outline);
  actConvertToPathExecute(editor);
  ASSERT_EQ(doc().Count(), 1);
  const TPathData converted = doc()[0]->Data();

  editor.FThrottleTimes.clear();
  const std::size_t steps = undoStates();
  actSeparateTemplateIntoShapesExecute(editor);
  EXPECT_EQ(undoStates(), steps + 1);
  ASSERT_EQ(doc().Count(), 4);
  EXPECT_TRUE(ofKind(TShapeKind::Other).empty());
  EXPECT_EQ(ofKind(TShapeKind::Bezier).size(), 1u);
  for (TQN_Path *s : doc()) EXPECT_TRUE(s->FSelected);

  // Converted again it is the same closed outline, its chain starting one shape later.
  editor.FThrottleTimes.clear();
  actConvertToPathExecute(editor);
  ASSERT_EQ(doc().Count(), 1);
  const TPathData again = doc()[0]->Data();
  EXPECT_EQ(again[again.Count() - 1].Kind, TPathPointKind::Close);
  EXPECT_EQ(converted[converted.Count() - 1].Kind, TPathPointKind::Close);
  std::vector<std::string> before = stepsOf(converted), after = stepsOf(again);
  ASSERT_EQ(before.size(), 4u);
  ASSERT_EQ(after.size(), 4u);
  std::rotate(before.begin(), before.begin() + 1, before.end());
  EXPECT_EQ(after, before);

  // A path object made from a circle separates into four Beziers; F8 again at once does
  // nothing.
  removeAll();
  editor.FThrottleTimes.clear();
  select({addCircle({0.0f, 0.0f}, 10.0f)});
  actConvertToPathExecute(editor);
  editor.FThrottleTimes.clear();
  actSeparateTemplateIntoShapesExecute(editor);
  EXPECT_EQ(ofKind(TShapeKind::Bezier).size(), 4u);
  for (TQN_Path *s : doc()) s->SetSelected(false);
  select({addLine({0.0f, 0.0f}, {1.0f, 1.0f})});
  doc()[doc().Count() - 1]->FShapeType = TShapeKind::Other;
  actSeparateTemplateIntoShapesExecute(editor);
  EXPECT_EQ(ofKind(TShapeKind::Other).size(), 1u);
}

TEST_F(PathObjectsTest, ArcsBecomeBeziersOnTheirOwnLayer) {
  struct Case {
    float sweep;
    std::size_t pieces;
  };
  // Pieces of equal sweep, as many as whole quarter turns plus one.
  const Case cases[] = {{100.0f, 2}, {90.0f, 1}, {-60.0f, 1}, {180.0f, 3}, {270.0f, 4}, {-300.0f, 4}};
  const int other = doc().addLayer(3, QStringLiteral("other"), true);
  for (const Case &c : cases) {
    removeAll();
    TQN_Path *arc = addArc({0.0f, 0.0f}, 10.0f, 30.0f, c.sweep, other);
    const TPointF start = arc->FStartPt, end = arc->FEndPt;
    arc->SetSelected(true);
    const std::size_t steps = undoStates();
    actConvertArcToBezierExecute(editor);
    EXPECT_EQ(undoStates(), steps + 1);

    const std::vector<TQN_Path *> beziers = ofKind(TShapeKind::Bezier);
    ASSERT_EQ(beziers.size(), c.pieces) << c.sweep;
    ASSERT_EQ(doc().Count(), int(c.pieces));
    // The arc itself keeps the last piece; the others follow it in the document, from
    // the arc's start, each with an ID of its own.
    EXPECT_EQ(doc()[0], arc);
    EXPECT_EQ(doc()[c.pieces > 1 ? 1 : 0]->FStartPt, start);
    EXPECT_EQ(arc->FEndPt, end);
    std::vector<int> ids;
    for (TQN_Path *bz : beziers) {
      EXPECT_EQ(bz->FLayerID, other);
      ids.push_back(bz->ID());
      const TCubicBezier curve{bz->FStartPt, bz->FBezierCp1, bz->FBezierCp2, bz->FEndPt};
      for (double t = 0.25; t < 1.0; t += 0.25) EXPECT_NEAR(calcDistance(bezierPointAt(curve, t), {}), 10.0f, 0.01);
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end());
  }
  // No arc selected: no undo step.
  removeAll();
  addLine({0.0f, 0.0f}, {1.0f, 0.0f})->SetSelected(true);
  const std::size_t steps = undoStates();
  actConvertArcToBezierExecute(editor);
  EXPECT_EQ(undoStates(), steps);
}

}  // namespace
}  // namespace quillon
