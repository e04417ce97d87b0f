#include "model/intersection_upkeep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <random>
#include <string>

#include "i18n/multi_lang.h"
#include "model/document.h"
#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/spatial_index.h"

namespace quillon {
namespace {

using test::pointNear;

// The document owns the shapes and the records; the upkeep works on its list.
class IntersectionUpkeepTest : public ::testing::Test {
 public:
  TQN_Path *newShape(int layer = 0) {
    return document.add(std::make_unique<TQN_Path>(0, 0xFF000000, 0.3f, TStrokeDash::Solid, doc.getNextID()), layer);
  }
  TQN_Path *line(TPointF a, TPointF b, int layer = 0) {
    TQN_Path *s = newShape(layer);
    s->drawLinePath(a, b);
    return s;
  }
  TQN_Path *arc(TPointF center, float radius, TPointF st, TPointF ed, float sweep) {
    TQN_Path *s = newShape();
    s->drawArcPath(center, {radius, radius}, st, ed, sweep);
    return s;
  }
  TQN_Path *circle(TPointF center, float diameter) {
    TQN_Path *s = newShape();
    s->drawEllipsePath(center, diameter, diameter);
    return s;
  }

  TMultiLang lang;
  TDocument document{&lang, QStringLiteral("en")};
  TShapeList &doc = document.PathList();
  TIntersections &intersections = document.FIntersections;
};

// ---- Which pairs take part ----

struct SkipCase {
  const char *name;
  // Changes the document, S (a LINE from (0,0) to (10,10)) or O (a LINE from (0,10) to
  // (10,0), crossing S at (5,5)) before the upkeep runs for S.
  std::function<void(TShapeList &, TQN_Path &S, TQN_Path &O)> setup;
  bool dragging;
  int expected;
};

TEST_F(IntersectionUpkeepTest, WhichPairsTakePart) {
  const auto kind = [](TShapeKind k) {
    return [k](TShapeList &, TQN_Path &, TQN_Path &O) { O.FShapeType = k; };
  };
  const auto kindOfS = [](TShapeKind k) {
    return [k](TShapeList &, TQN_Path &S, TQN_Path &) { S.FShapeType = k; };
  };
  const auto none = [](TShapeList &, TQN_Path &, TQN_Path &) {};
  const SkipCase cases[] = {
      {"two crossing lines", none, false, 1},
      {"a drag or handle edit is under way", none, true, 0},
      {"O is a stitching hole", kind(TShapeKind::Hole), false, 0},
      {"O is a free outline", kind(TShapeKind::Other), false, 0},
      {"O is a text", kind(TShapeKind::Text), false, 0},
      {"S is a stitching hole", kindOfS(TShapeKind::Hole), false, 0},
      {"S is a text", kindOfS(TShapeKind::Text), false, 0},
      {"S is a free outline", kindOfS(TShapeKind::Other), false, 0},
      {"O is a dimension line", [](TShapeList &, TQN_Path &, TQN_Path &O) { O.FIsDimensionLine = true; }, false, 0},
      {"S is a dimension line", [](TShapeList &, TQN_Path &S, TQN_Path &) { S.FIsDimensionLine = true; }, false, 0},
      {"O on a hidden layer",
       [](TShapeList &d, TQN_Path &, TQN_Path &O) {
         d.addLayer(1, QStringLiteral("hidden"), false);
         O.FLayerID = 1;
       },
       false, 0},
      {"S on a hidden layer still meets O",
       [](TShapeList &d, TQN_Path &S, TQN_Path &) {
         d.addLayer(1, QStringLiteral("hidden"), false);
         S.FLayerID = 1;
       },
       false, 1},
      {"O on another, independent layer",
       [](TShapeList &d, TQN_Path &, TQN_Path &O) {
         d.addLayer(1, QStringLiteral("own"), true);
         d.SetIsIndependentLayer(1, true);
         O.FLayerID = 1;
       },
       false, 0},
      {"S on an independent layer, O on an ordinary one",
       [](TShapeList &d, TQN_Path &S, TQN_Path &) {
         d.addLayer(1, QStringLiteral("own"), true);
         d.SetIsIndependentLayer(1, true);
         S.FLayerID = 1;
       },
       false, 0},
      {"both on the same independent layer",
       [](TShapeList &d, TQN_Path &S, TQN_Path &O) {
         d.addLayer(1, QStringLiteral("own"), true);
         d.SetIsIndependentLayer(1, true);
         S.FLayerID = 1;
         O.FLayerID = 1;
       },
       false, 1},
      {"two ordinary layers",
       [](TShapeList &d, TQN_Path &, TQN_Path &O) {
         d.addLayer(1, QStringLiteral("second"), true);
         O.FLayerID = 1;
       },
       false, 1},
  };
  for (const bool indexed : {false, true}) {
    for (const SkipCase &c : cases) {
      SCOPED_TRACE(std::string(c.name) + (indexed ? " (indexed)" : " (plain)"));
      document.clear();
      TQN_Path *S = line({0, 0}, {10, 10});
      TQN_Path *O = line({0, 10}, {10, 0});
      c.setup(doc, *S, *O);
      TShapeSpatialIndex index;
      calcIntersectionsOfShape(doc, intersections, S, c.dragging, indexed ? &index : nullptr);
      ASSERT_EQ(intersections.Count(), c.expected);
      if (c.expected == 1) {
        EXPECT_TRUE(pointNear(intersections[0]->FPoint, {5, 5}));
        EXPECT_EQ(intersections[0]->FPath1, S);
        EXPECT_EQ(intersections[0]->FPath2, O);
        EXPECT_TRUE(intersections[0]->FIsCrossing);
      }
    }
  }
}

// ---- Joint points and T-points ----

struct Expected {
  TPointF point;
  bool crossing;
  bool byFinder = false;  // made by the analytic finder, which sets the IDs
};

TEST_F(IntersectionUpkeepTest, JointAndTeePoints) {
  struct Case {
    const char *name;
    std::function<std::pair<TQN_Path *, TQN_Path *>(IntersectionUpkeepTest &)> make;  // S, O
    std::vector<Expected> expected;
  };
  const Case cases[] = {
      // The finder finds nothing (the lines' crossing lies 0.03 beyond the first one's
      // end); the joint point is the midpoint of the two ends.
      {"ends 0.03 apart",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({0, 0}, {10, 0}), t.line({10.03f, 0}, {10.03f, 10})};
       },
       {{{10.015f, 0}, false}}},
      {"collinear lines with ends 0.03 apart",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({0, 0}, {10, 0}), t.line({10.03f, 0}, {20, 0})};
       },
       {{{10.015f, 0}, false}}},
      // Ends 0.006 apart: the finder reports the lines' meeting point (10.006, 0) as a
      // touch; the joint midpoint (10.003, 0) lies 0.003 from it and is left out (on its
      // own it would be kept: it rounds to 10.00, the finder's point to 10.01).
      {"ends 0.006 apart",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({0, 0}, {10, 0}), t.line({10.006f, 0}, {10.006f, 10})};
       },
       {{{10.006f, 0}, false, true}}},
      // x = 0 is a cell border of the spatial index whatever its cell size.
      {"ends 0.03 apart on either side of x = 0",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({0.015f, 0}, {10, 5}), t.line({-10, -5}, {-0.015f, 0})};
       },
       {{{0, 0}, false}}},
      {"ends 0.06 apart",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({0, 0}, {10, 0}), t.line({10.06f, 0}, {10.06f, 10})};
       },
       {}},
      // A LINE ending 0.04 short of the middle of another: the foot, crossing.
      {"S ends short of O's middle",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({5, 0.04f}, {5, 10}), t.line({0, 0}, {10, 0})};
       },
       {{{5, 0}, true}}},
      {"O ends short of S's middle",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({0, 0}, {10, 0}), t.line({5, 0.04f}, {5, 10})};
       },
       {{{5, 0}, true}}},
      {"an end 0.06 from a line",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({5, 0.06f}, {5, 10}), t.line({0, 0}, {10, 0})};
       },
       {}},
      // The foot must keep more than 0.008 off the line's ends: here it is the end itself,
      // which the joint rule covers instead (0.04 apart: the midpoint).
      {"an end 0.04 beyond a line's end",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({10.04f, 0}, {10.04f, 10}), t.line({0, 0}, {10, 0})};
       },
       {{{10.02f, 0}, false}}},
      // The foot (9.995, 0) lies 0.005 from the line's end, too close to it; the end of S
      // is 0.05015 from that end, too far for a joint.
      {"an end 0.05 from a line next to its end",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.line({9.995f, 0.0499f}, {9.995f, 10}), t.line({0, 0}, {10, 0})};
       },
       {}},
      // An ARC end 0.04 from the middle of an ARC: no T-point (they land only on LINEs).
      {"an arc end 0.04 from an arc",
       [](IntersectionUpkeepTest &t) {
         TQN_Path *a1 = t.arc({0, 0}, 10, {10, 0}, {0, 10}, 90);
         // About (20,20): from its end E on the 45 degree ray at radius 10.04 from the origin,
         // the arc turns away from the first one (it starts at 225 degrees seen from (20,20)).
         const TPointF c{20, 20};
         const float e = 10.04f / std::sqrt(2.0f);
         const TPointF end{e, e};
         const float r = calcDistance(c, end);
         const double a = 235 * std::numbers::pi / 180;
         const TPointF st{static_cast<float>(c.X + r * std::cos(a)), static_cast<float>(c.Y + r * std::sin(a))};
         return std::pair{t.arc(c, r, st, end, -10), a1};
       },
       {}},
      // Shapes other than LINE, ARC and BEZIER get no joint or T-points.
      // (The line is short, so the finder's parameter window does not reach the circle.)
      {"an ellipse next to a line end",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.circle({20, 0}, 19.94f), t.line({9, 0}, {10, 0})};
       },
       {}},
      {"a dot next to a line end",
       [](IntersectionUpkeepTest &t) {
         TQN_Path *dot = t.newShape();
         dot->drawDotPath({10.03f, 0}, 0.5f);
         return std::pair{dot, t.line({0, 0}, {10, 0})};
       },
       {}},
  };
  for (const bool indexed : {false, true}) {
    for (const Case &c : cases) {
      SCOPED_TRACE(std::string(c.name) + (indexed ? " (indexed)" : " (plain)"));
      document.clear();
      const auto [S, O] = c.make(*this);
      TShapeSpatialIndex index;
      calcIntersectionsOfShape(doc, intersections, S, false, indexed ? &index : nullptr);
      ASSERT_EQ(intersections.Count(), static_cast<int>(c.expected.size()));
      for (int i = 0; i < intersections.Count(); ++i) {
        const TIntersection &r = *intersections[i];
        EXPECT_TRUE(pointNear(r.FPoint, c.expected[static_cast<std::size_t>(i)].point));
        EXPECT_EQ(r.FIsCrossing, c.expected[static_cast<std::size_t>(i)].crossing);
        EXPECT_EQ(r.FPath1, S);
        EXPECT_EQ(r.FPath2, O);
        const bool byFinder = c.expected[static_cast<std::size_t>(i)].byFinder;
        EXPECT_EQ(r.FPathID1, byFinder ? S->ID() : -1);
        EXPECT_EQ(r.FPathID2, byFinder ? O->ID() : -1);
      }
    }
  }
}

TEST_F(IntersectionUpkeepTest, JointPointsAreNotRepeatedNearTheFindersPoints) {
  TQN_Path *S = line({0, 0}, {10, 0});
  TQN_Path *O = line({10.03f, 0}, {10.03f, 10});
  // A point the finder reported within 0.05 of the midpoint keeps the joint point out.
  addJointAndTeePoints(S, O, {{10.05f, 0}}, intersections);
  EXPECT_EQ(intersections.Count(), 0);
  addJointAndTeePoints(S, O, {{10.07f, 0}}, intersections);
  ASSERT_EQ(intersections.Count(), 1);
  EXPECT_TRUE(pointNear(intersections[0]->FPoint, {10.015f, 0}));

  intersections.FreeAll();
  TQN_Path *shortLine = line({10, 0.01f}, {10.04f, 0.01f});
  addJointAndTeePoints(shortLine, O, {}, intersections);
  // Both ends of the short line lie within 0.05 of O's start. The first pair adds its
  // midpoint (10.015, 0.005); the second pair's midpoint (10.035, 0.005) lies 0.02 from
  // it and counts as present, and so do the ends the T-point rule would look at.
  ASSERT_EQ(intersections.Count(), 1);
  EXPECT_TRUE(pointNear(intersections[0]->FPoint, {10.015f, 0.005f}));
}

TEST_F(IntersectionUpkeepTest, SecondRunWithoutRemovalChangesNothing) {
  TQN_Path *S = line({0, 0}, {10, 10});
  line({0, 10}, {10, 0});        // crosses S at (5,5)
  line({10.03f, 10}, {20, 10});  // its start is 0.03 from S's end: a joint point
  const float off = 0.04f / std::sqrt(2.0f);
  line({3 - off, 3 + off}, {-2, 8});  // its start is 0.04 from (3,3) on S: a T-point
  calcIntersectionsOfShape(doc, intersections, S, false);
  ASSERT_EQ(intersections.Count(), 3);
  EXPECT_TRUE(pointNear(intersections[0]->FPoint, {5, 5}));
  EXPECT_TRUE(pointNear(intersections[1]->FPoint, {10.015f, 10}));
  EXPECT_FALSE(intersections[1]->FIsCrossing);
  EXPECT_TRUE(pointNear(intersections[2]->FPoint, {3, 3}));
  EXPECT_TRUE(intersections[2]->FIsCrossing);

  const std::vector<TIntersection *> before(intersections.begin(), intersections.end());
  calcIntersectionsOfShape(doc, intersections, S, false);
  EXPECT_EQ(std::vector<TIntersection *>(intersections.begin(), intersections.end()), before);
}

// ---- The whole document ----

TEST_F(IntersectionUpkeepTest, RecalcReplacesTheListWithOutlineFinderRecords) {
  TQN_Path *a = line({0, 0}, {10, 10});
  TQN_Path *b = line({0, 10}, {10, 0});
  TQN_Path *text = line({0, 5}, {10, 5});
  text->FShapeType = TShapeKind::Text;
  TQN_Path *c = line({10, 10}, {20, 10});  // meets a end to end
  intersections.Add(new TIntersection({99, 99}, a, c));

  recalcAllIntersections(doc, intersections);
  ASSERT_EQ(intersections.Count(), 2);
  EXPECT_TRUE(pointNear(intersections[0]->FPoint, {5, 5}));
  EXPECT_EQ(intersections[0]->FPath1, a);
  EXPECT_EQ(intersections[0]->FPath2, b);
  EXPECT_TRUE(intersections[0]->FIsCrossing);
  EXPECT_EQ(intersections[0]->FPathID1, a->ID());
  EXPECT_TRUE(pointNear(intersections[1]->FPoint, {10, 10}));
  EXPECT_EQ(intersections[1]->FPath1, a);
  EXPECT_EQ(intersections[1]->FPath2, c);
  EXPECT_FALSE(intersections[1]->FIsCrossing);
}

TEST_F(IntersectionUpkeepTest, RecalcCirclePairPrefilter) {
  struct Case {
    const char *name;
    std::function<std::pair<TQN_Path *, TQN_Path *>(IntersectionUpkeepTest &)> make;
    std::vector<TPointF> expected;
  };
  const Case cases[] = {
      // Diameter 10, centres 12 apart: 12 > 1.1 * (5 + 5), skipped.
      {"circles 12 apart",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.circle({0, 0}, 10), t.circle({12, 0}, 10)};
       },
       {}},
      // Centres 9 apart: they cross at x = 4.5, y = +-sqrt(25 - 4.5^2) = +-2.1794.
      {"circles 9 apart",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.circle({0, 0}, 10), t.circle({9, 0}, 10)};
       },
       {{4.5f, 2.1794f}, {4.5f, -2.1794f}}},
      // Two arcs of radius 10 (Width 10) with centres 12 apart cross at (6, +-8). Taking
      // Width for the radius of a circle, 12 > 1.1 * 10 would skip them.
      {"arcs of radius 10, 12 apart",
       [](IntersectionUpkeepTest &t) {
         return std::pair{t.arc({0, 0}, 10, {0, -10}, {0, 10}, 180), t.arc({12, 0}, 10, {12, 10}, {12, -10}, 180)};
       },
       {{6, -8}, {6, 8}}},
  };
  for (const bool indexed : {false, true}) {
    for (const Case &c : cases) {
      SCOPED_TRACE(std::string(c.name) + (indexed ? " (indexed)" : " (plain)"));
      document.clear();
      c.make(*this);
      recalcAllIntersections(doc, intersections, indexed);
      ASSERT_EQ(intersections.Count(), static_cast<int>(c.expected.size()));
      for (const TPointF p : c.expected) {
        const bool found = std::any_of(intersections.begin(), intersections.end(),
                                       [&](const TIntersection *r) { return bool(pointNear(r->FPoint, p, 0.1)); });
        EXPECT_TRUE(found) << p.X << ", " << p.Y;
      }
    }
  }
}

// ---- Indexed and plain give the same records ----

// A drawing of mixed shapes in a 120 mm square, with chains of lines whose ends meet or
// nearly meet, shapes of the excluded kinds, dimension lines, a hidden and an
// independent layer.
void buildRandomDrawing(IntersectionUpkeepTest &t, TShapeList &doc, unsigned seed, int count) {
  std::mt19937 rng(seed);
  const auto uniform = [&](float lo, float hi) {
    return lo + (hi - lo) * static_cast<float>(rng() % 1000000u) / 1000000.0f;
  };
  doc.addLayer(1, QStringLiteral("hidden"), false);
  doc.addLayer(2, QStringLiteral("own"), true);
  doc.SetIsIndependentLayer(2, true);
  TPointF chainEnd{60, 60};
  for (int i = 0; i < count; ++i) {
    const TPointF p{uniform(0, 120), uniform(0, 120)};
    TQN_Path *s = t.newShape();
    switch (rng() % 8) {
      case 0:
      case 1:
        s->drawLinePath(p, {p.X + uniform(-20, 20), p.Y + uniform(-20, 20)});
        break;
      case 2: {  // continues the chain, touching or 0.03 short of its end
        const TPointF st = rng() % 2 ? chainEnd : TPointF{chainEnd.X + 0.03f, chainEnd.Y};
        chainEnd = {st.X + uniform(-8, 8), st.Y + uniform(-8, 8)};
        s->drawLinePath(st, chainEnd);
        break;
      }
      case 3: {
        const float r = uniform(2, 12);
        const float a0 = uniform(0, 360), sweep = uniform(-200, 200);
        const auto at = [&](float deg) {
          const double rad = deg * std::numbers::pi / 180;
          return TPointF{static_cast<float>(p.X + r * std::cos(rad)), static_cast<float>(p.Y + r * std::sin(rad))};
        };
        s->drawArcPath(p, {r, r}, at(a0), at(a0 + sweep), sweep);
        break;
      }
      case 4: {
        const float w = uniform(3, 25);
        s->drawEllipsePath(p, w, rng() % 3 ? w : w * 0.6f);
        break;
      }
      case 5:
        s->drawBezierPath(p, {p.X + uniform(-15, 15), p.Y + uniform(-15, 15)},
                          {p.X + uniform(-15, 15), p.Y + uniform(-15, 15)},
                          {p.X + uniform(-20, 20), p.Y + uniform(-20, 20)});
        break;
      case 6:
        s->drawDotPath(p, 0.5f);
        break;
      case 7: {
        s->drawLinePath(p, {p.X + uniform(-10, 10), p.Y + uniform(-10, 10)});
        const unsigned k = rng() % 4;
        if (k == 0) s->FShapeType = TShapeKind::Text;
        if (k == 1) s->FShapeType = TShapeKind::Hole;
        if (k == 2) s->FIsDimensionLine = true;
        break;
      }
    }
    const unsigned layer = rng() % 10;
    if (layer == 0) s->FLayerID = 1;
    if (layer == 1) s->FLayerID = 2;
  }
}

::testing::AssertionResult sameRecords(const TIntersections &a, const TIntersections &b) {
  if (a.Count() != b.Count()) return ::testing::AssertionFailure() << a.Count() << " records against " << b.Count();
  for (int i = 0; i < a.Count(); ++i) {
    const TIntersection &x = *a[i], &y = *b[i];
    if (x.FPath1 != y.FPath1 || x.FPath2 != y.FPath2 || !x.FPoint.exactlyEquals(y.FPoint) ||
        x.FIsCrossing != y.FIsCrossing || x.FPathID1 != y.FPathID1 || x.FPathID2 != y.FPathID2)
      return ::testing::AssertionFailure() << "record " << i << " differs";
  }
  return ::testing::AssertionSuccess();
}

TEST_F(IntersectionUpkeepTest, IndexedAndPlainGiveTheSameRecordsInTheSameOrder) {
  buildRandomDrawing(*this, doc, 20240611u, 600);
  TIntersections plain, indexed;
  TShapeSpatialIndex index;

  // Shape by shape, as when a project is opened.
  for (TQN_Path *s : doc) {
    calcIntersectionsOfShape(doc, plain, s, false);
    calcIntersectionsOfShape(doc, indexed, s, false, &index);
  }
  EXPECT_GT(plain.Count(), 300);
  EXPECT_TRUE(sameRecords(plain, indexed));

  // Edits: move every tenth shape, remove its records and compute them again; drop a
  // shape from the middle of the document.
  for (int i = 0; i < doc.Count(); i += 10) {
    TQN_Path *s = doc[i];
    if (!s->isKind(TShapeKind::Line)) continue;
    s->drawLinePath({s->FStartPt.X + 3, s->FStartPt.Y}, {s->FEndPt.X + 3, s->FEndPt.Y - 2});
    removeIntersectionsOf(plain, s);
    removeIntersectionsOf(indexed, s);
    calcIntersectionsOfShape(doc, plain, s, false);
    calcIntersectionsOfShape(doc, indexed, s, false, &index);
  }
  TQN_Path *dropped = doc[doc.Count() / 2];
  const std::unique_ptr<TQN_Path> taken = document.take(dropped);
  ASSERT_EQ(taken.get(), dropped);
  removeIntersectionsOf(plain, dropped);
  removeIntersectionsOf(indexed, dropped);
  for (int i = 0; i < doc.Count(); i += 7) {
    calcIntersectionsOfShape(doc, plain, doc[i], false);
    calcIntersectionsOfShape(doc, indexed, doc[i], false, &index);
  }
  EXPECT_TRUE(sameRecords(plain, indexed));

  // The whole document.
  recalcAllIntersections(doc, plain, false);
  recalcAllIntersections(doc, indexed, true);
  EXPECT_GT(plain.Count(), 300);
  EXPECT_TRUE(sameRecords(plain, indexed));
  plain.FreeAll();
  indexed.FreeAll();
}

// A document read from a file gets its records in one pass; they must be the records, in
// the order, that computing each shape's records right after appending it gives.
TEST_F(IntersectionUpkeepTest, AppendedShapesGetTheRecordsOfAddingThemOneByOne) {
  buildRandomDrawing(*this, doc, 20251211u, 500);
  for (int i = 0; i < 40; ++i) {  // shapes drawn twice, on themselves
    std::unique_ptr<TQN_Path> twin(doc[i * 7]->createCopy());
    document.add(std::move(twin), doc[i * 7]->FLayerID);
  }

  TDocument growing(&lang, QStringLiteral("en"));
  growing.PathList().copyLayersFrom(doc);
  std::vector<TQN_Path *> copies;
  for (TQN_Path *s : doc) {
    copies.push_back(growing.add(std::unique_ptr<TQN_Path>(s->createCopy()), s->FLayerID));
    growing.calcIntersectionsOfShape(copies.back(), false);
  }
  calcIntersectionsOfAppendedShapes(doc, intersections, 0, document.FShapeIndex);

  ASSERT_GT(intersections.Count(), 300);
  ASSERT_EQ(intersections.Count(), growing.FIntersections.Count());
  const auto position = [](const TShapeList &list, const TQN_Path *s) { return list.IndexOf(s); };
  for (int i = 0; i < intersections.Count(); ++i) {
    const TIntersection &x = *intersections[i], &y = *growing.FIntersections[i];
    EXPECT_EQ(position(doc, x.FPath1), position(growing.PathList(), y.FPath1)) << "record " << i;
    EXPECT_EQ(position(doc, x.FPath2), position(growing.PathList(), y.FPath2)) << "record " << i;
    EXPECT_TRUE(x.FPoint.exactlyEquals(y.FPoint)) << "record " << i;
    EXPECT_EQ(x.FIsCrossing, y.FIsCrossing) << "record " << i;
  }
}

// ---- The grid ----

TEST(IntersectionUpkeepGrid, QueriesGiveEachNearItemOnceInAscendingOrder) {
  TRectGrid grid(1.0f);
  grid.insert(7, {0, 0, 0.5f, 0.5f});
  grid.insert(3, {2.5f, 2.5f, 5.5f, 3.0f});  // spans several cells
  grid.insert(3, {0.2f, 0.2f, 0.2f, 0.2f});  // a second rectangle of the same item
  grid.insert(5, {10, 10, 11, 11});
  grid.insert(9, {1e10f, 0, 1e10f, 0});  // beyond the cells: near everything
  std::vector<int> out;
  grid.query({0.4f, 0.4f, 0.4f, 0.4f}, 0.0f, out);
  EXPECT_EQ(out, (std::vector<int>{3, 7, 9}));
  grid.query({5.9f, 3.2f, 6.0f, 3.3f}, 0.5f, out);  // within the margin of item 3
  EXPECT_EQ(out, (std::vector<int>{3, 9}));
  grid.query({-1000, -1000, 1000, 1000}, 0.0f, out);  // more cells than are occupied
  EXPECT_EQ(out, (std::vector<int>{3, 5, 7, 9}));
  grid.remove(3);
  grid.remove(9);
  grid.query({0, 0, 6, 4}, 0.0f, out);
  EXPECT_EQ(out, (std::vector<int>{7}));
  grid.query({NAN, 0, 1, 1}, 0.0f, out);  // a rectangle that is no place: everything
  EXPECT_EQ(out, (std::vector<int>{5, 7}));
}

}  // namespace
}  // namespace quillon
