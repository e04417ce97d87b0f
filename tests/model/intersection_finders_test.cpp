#include "model/intersection_finders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "i18n/multi_lang.h"
#include "model/model_test_util.h"
#include "model/shape.h"
#include "model/shape_list.h"

namespace quillon {
namespace {

using test::pointNear;

// Builds shapes for the cases and frees them and every record a finder returned.
class FinderFixture : public ::testing::Test {
 protected:
  TQN_Path *newShape() {
    shapes.push_back(std::make_unique<TQN_Path>(0, 0xFF000000, 1, TStrokeDash::Solid, ++lastId));
    return shapes.back().get();
  }
  TQN_Path *line(float x0, float y0, float x1, float y1) {
    TQN_Path *s = newShape();
    s->drawLinePath({x0, y0}, {x1, y1});
    return s;
  }
  TQN_Path *ellipse(float cx, float cy, float width, float height) {
    TQN_Path *s = newShape();
    s->drawEllipsePath({cx, cy}, width, height);
    return s;
  }
  TQN_Path *circle(float cx, float cy, float diameter) { return ellipse(cx, cy, diameter, diameter); }
  TQN_Path *arc(TPointF c, float r, TPointF st, TPointF ed, float sweep) {
    TQN_Path *s = newShape();
    s->drawArcPath(c, {r, r}, st, ed, sweep);
    return s;
  }
  TQN_Path *bezier(TPointF p0, TPointF p1, TPointF p2, TPointF p3) {
    TQN_Path *s = newShape();
    s->drawBezierPath(p0, p1, p2, p3);
    return s;
  }
  // A shape of some kind with a hand-made outline.
  TQN_Path *outline(const char *kind, const char *path, TPointF st, TPointF ed) {
    TQN_Path *s = newShape();
    s->setKindName(QString::fromLatin1(kind));
    s->setData(TPathData::fromText(path));
    s->FStartPt = st;
    s->FEndPt = ed;
    return s;
  }
  // Takes over the records of a finder's result.
  const TIntersectionList &keep(TIntersectionList list) {
    for (TIntersection *r : list) records.emplace_back(r);
    results.push_back(std::move(list));
    return results.back();
  }

  int lastId = 0;
  std::vector<std::unique_ptr<TQN_Path>> shapes;
  std::vector<std::unique_ptr<TIntersection>> records;
  std::deque<TIntersectionList> results;  // references to its items stay valid
};

struct Expected {
  TPointF point;
  bool crossing;
};

struct FinderCase {
  const char *what;
  std::vector<Expected> expected;  // in the order the finder produces them
  double tol = 1e-4;
};

void expectRecords(const TIntersectionList &got, const FinderCase &c, const TQN_Path *path1, const TQN_Path *path2) {
  ASSERT_EQ(got.size(), c.expected.size()) << c.what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_TRUE(pointNear(got[i]->FPoint, c.expected[i].point, c.tol)) << c.what << ", record " << i;
    EXPECT_EQ(got[i]->FIsCrossing, c.expected[i].crossing) << c.what << ", record " << i;
    EXPECT_EQ(got[i]->FPath1, path1) << c.what << ", record " << i;
    EXPECT_EQ(got[i]->FPath2, path2) << c.what << ", record " << i;
    EXPECT_EQ(got[i]->FPathID1, path1->ID()) << c.what << ", record " << i;
    EXPECT_EQ(got[i]->FPathID2, path2->ID()) << c.what << ", record " << i;
  }
}

// ---------------------------------------------------------------------------------
// Analytic finder

class AnalyticFinderTest : public FinderFixture {};

TEST_F(AnalyticFinderTest, LinePairs) {
  struct LineCase {
    FinderCase c;
    float a[4], b[4];
  };
  const LineCase cases[] = {
      {{"shared end", {{{10, 0}, false}}}, {0, 0, 10, 0}, {10, 0, 10, 10}},
      {{"ends 0.005 apart still touch", {{{10.005f, 0}, false}}}, {0, 0, 10, 0}, {10.005f, 0, 10.005f, 10}},
      // The crossing lies 0.038 from the midpoint of two touching ends: moved onto it.
      {{"point beside touching ends goes to their midpoint", {{{10.002f, 0.002f}, false}}},
       {0, 0, 10, 0},
       {10.004f, 0.004f, 0.004f, -0.996f}},
      {{"ends 0.03 apart: nothing (the upkeep's joint step handles it)", {}}, {0, 0, 10, 0}, {10.03f, 0, 10.03f, 10}},
      {{"T", {{{5, 0}, true}}}, {0, 0, 10, 0}, {5, 0, 5, 10}},
      {{"crossing in the middles", {{{5, 0}, true}}}, {0, 0, 10, 0}, {5, -5, 5, 5}},
      {{"slanted crossing", {{{5, 5}, true}}}, {0, 0, 10, 10}, {0, 10, 10, 0}},
      {{"collinear, touching end to end", {{{10, 0}, false}}}, {0, 0, 10, 0}, {10, 0, 20, 0}},
      {{"collinear, overlapping, no ends touch", {}}, {0, 0, 10, 0}, {5, 0, 15, 0}},
      {{"collinear, both ends touch: the start", {{{0, 0}, false}}}, {0, 0, 10, 0}, {10, 0, 0, 0}},
      {{"boxes 0.15 apart", {}}, {0, 0, 10, 0}, {10.15f, -5, 10.15f, 5}},
      {{"meeting 5 mm beyond both ends", {}}, {0, 0, 10, 0}, {15, 5, 15, 20}},
  };
  for (const LineCase &lc : cases) {
    TQN_Path *a = line(lc.a[0], lc.a[1], lc.a[2], lc.a[3]);
    TQN_Path *b = line(lc.b[0], lc.b[1], lc.b[2], lc.b[3]);
    expectRecords(keep(IntersectShapes(a, b)), lc.c, a, b);
  }
}

TEST_F(AnalyticFinderTest, LineAgainstCircleInEitherOrder) {
  // Circle of radius 10 about the origin.
  struct CircleCase {
    FinderCase c;
    float l[4];
  };
  const CircleCase cases[] = {
      // y = 6: x = -8 and 8, in the order of the line.
      {{"two points", {{{-8, 6}, true}, {{8, 6}, true}}}, {-20, 6, 20, 6}},
      {{"two points, line reversed", {{{8, 6}, true}, {{-8, 6}, true}}}, {20, 6, -20, 6}},
      {{"tangent: touching, not crossing", {{{0, 10}, false}}}, {-10, 10, 10, 10}},
      {{"ends inside the circle", {}}, {-5, 0, 5, 0}},
      {{"one end inside", {{{10, 0}, true}}}, {0, 0, 20, 0}},
  };
  for (const CircleCase &cc : cases) {
    TQN_Path *c = circle(0, 0, 20);
    TQN_Path *l = line(cc.l[0], cc.l[1], cc.l[2], cc.l[3]);
    expectRecords(keep(IntersectShapes(l, c)), cc.c, l, c);
    // The line is the first shape of the routine whichever order the caller uses.
    expectRecords(keep(IntersectShapes(c, l)), cc.c, l, c);
  }
}

TEST_F(AnalyticFinderTest, CirclePairs) {
  struct CirclePair {
    FinderCase c;
    float a[3], b[3];  // centre x, y, diameter
  };
  const CirclePair cases[] = {
      // r 5 and r 5, centres 6 apart: m = 3, h = 4.
      {{"two points", {{{3, 4}, true}, {{3, -4}, true}}}, {0, 0, 10}, {6, 0, 10}},
      {{"outside tangency", {{{5, 0}, false}}}, {0, 0, 10}, {10, 0, 10}},
      // r 10 and r 5, centres 5 apart: touching inside at (10, 0).
      {{"inside tangency", {{{10, 0}, false}}}, {0, 0, 20}, {5, 0, 10}},
      {{"concentric", {}}, {0, 0, 20}, {0, 0, 10}},
      {{"identical", {}}, {0, 0, 20}, {0, 0, 20}},
      {{"one inside the other", {}}, {0, 0, 20}, {2, 0, 4}},
  };
  for (const CirclePair &cp : cases) {
    TQN_Path *a = circle(cp.a[0], cp.a[1], cp.a[2]);
    TQN_Path *b = circle(cp.b[0], cp.b[1], cp.b[2]);
    expectRecords(keep(IntersectShapes(a, b)), cp.c, a, b);
  }
}

TEST_F(AnalyticFinderTest, ArcsKeepOnlyPointsInsideTheirSweep) {
  // Quarter arcs of radius 10 about the origin; y grows downward.
  TQN_Path *down = arc({0, 0}, 10, {10, 0}, {0, 10}, 90);   // through (7.07, 7.07)
  TQN_Path *up = arc({0, 0}, 10, {10, 0}, {0, -10}, -90);   // through (7.07, -7.07)

  TQN_Path *l1 = line(-20, 6, 20, 6);  // meets the circle at (-8, 6) and (8, 6)
  expectRecords(keep(IntersectShapes(down, l1)), {"positive sweep", {{{8, 6}, true}}}, l1, down);
  TQN_Path *l2 = line(-20, -6, 20, -6);
  expectRecords(keep(IntersectShapes(l2, up)), {"negative sweep", {{{8, -6}, true}}}, l2, up);

  // A circle of radius 5 about (10, 0) meets the radius-10 circle at (8.75, +-4.84); only
  // the lower one lies on `down`, only the upper one on `up`.
  const float h = std::sqrt(25.0f - 1.25f * 1.25f);
  TQN_Path *c = circle(10, 0, 10);
  expectRecords(keep(IntersectShapes(c, down)), {"arc against circle", {{{8.75f, h}, true}}}, down, c);
  expectRecords(keep(IntersectShapes(up, c)), {"arc against circle, negative sweep", {{{8.75f, -h}, true}}}, up, c);

  // Two arcs on the same pair of circles meet only where both sweeps cover the point.
  // Radius 5 about (10, 0) from its left point up: screen angles 180 to 270, passing
  // 255.5 at (8.75, -4.84) but not 104.5 at (8.75, 4.84).
  TQN_Path *other = arc({10, 0}, 5, {5, 0}, {10, -5}, 90);
  expectRecords(keep(IntersectShapes(up, other)), {"arc against arc", {{{8.75f, -h}, true}}}, up, other);
  expectRecords(keep(IntersectShapes(down, other)), {"arc against arc, sweeps apart", {}}, down, other);
}

TEST_F(AnalyticFinderTest, ArcWithoutSweepMeetsOnlyAtItsEnds) {
  TQN_Path *flat = arc({0, 0}, 10, {10, 0}, {10, 0}, 0);
  TQN_Path *l = line(-20, 0, 20, 0);  // meets the circle at (-10, 0) and at the arc's end (10, 0)
  expectRecords(keep(IntersectShapes(l, flat)), {"sweep 0", {{{10, 0}, true}}}, l, flat);
}

TEST_F(AnalyticFinderTest, PointOnArc) {
  TQN_Path *down = arc({0, 0}, 10, {10, 0}, {0, 10}, 90);
  TQN_Path *up = arc({0, 0}, 10, {10, 0}, {0, -10}, -90);
  TQN_Path *full = arc({0, 0}, 10, {10, 0}, {10, 0}, 360);
  TQN_Path *flat = arc({0, 0}, 10, {10, 0}, {0, 10}, 0);
  struct Case {
    const char *what;
    TQN_Path *arc;
    TPointF p;
    bool on;
  };
  const Case cases[] = {
      {"inside the sweep", down, {8, 6}, true},
      {"opposite side", down, {-8, 6}, false},
      {"other side of the start", down, {8, -6}, false},
      {"end point", down, {0, 10}, true},
      {"just past the end, within 0.008", down, {-0.005f, 10}, true},
      {"off the circle", down, {7, 6}, false},
      {"inside a negative sweep", up, {8, -6}, true},
      {"outside a negative sweep", up, {8, 6}, false},
      {"full circle", full, {-8, -6}, true},
      {"no sweep, away from the ends", flat, {8, 6}, false},
      {"no sweep, at the end", flat, {0, 10}, true},
  };
  for (const Case &c : cases) EXPECT_EQ(IsPointOnArc(c.p, *c.arc), c.on) << c.what;
  TQN_Path *l = line(0, 0, 10, 0);  // not an arc: radius 0
  EXPECT_FALSE(IsPointOnArc({10, 0}, *l));
}

TEST_F(AnalyticFinderTest, NonCircularEllipseRecordsLieOnItsOutline) {
  // Width 20, height 10: x^2/100 + y^2/25 = 1 meets y = 3 at x = +-8 (as a circle of
  // diameter 20 it would be +-9.54).
  TQN_Path *e = ellipse(0, 0, 20, 10);
  TQN_Path *l = line(-20, 3, 20, 3);
  for (const TIntersectionList *got : {&keep(IntersectShapes(e, l)), &keep(IntersectShapes(l, e))}) {
    // The outline runs from the left over the top to the right and back along the bottom.
    expectRecords(*got, {"ellipse 20 x 10", {{{8, 3}, true}, {{-8, 3}, true}}, 0.02}, l, e);
    for (const TIntersection *r : *got) {
      const double x = r->FPoint.X, y = r->FPoint.Y;
      EXPECT_NEAR(x * x / 100.0 + y * y / 25.0, 1.0, 0.003);
    }
  }
  // Width and height within 0.01 of each other: still a circle, worked out exactly.
  TQN_Path *round = ellipse(0, 0, 20, 20.005f);
  const float x = std::sqrt(91.0f);
  expectRecords(keep(IntersectShapes(l, round)), {"nearly round", {{{-x, 3}, true}, {{x, 3}, true}}}, l, round);
}

TEST_F(AnalyticFinderTest, BezierPairs) {
  // A hump from (0, 0) to (10, 0): y(t) = 30 t (1 - t), x(t) = 10 t^2 (3 - 2 t); y = 5 at
  // t = (1 -+ 1/sqrt 3) / 2, that is x = 1.1510 and 8.8490.
  TQN_Path *hump = bezier({0, 0}, {0, 10}, {10, 10}, {10, 0});
  TQN_Path *l = line(-5, 5, 15, 5);
  const FinderCase across{"across a line", {{{1.1510f, 5}, true}, {{8.8490f, 5}, true}}, 0.02};
  expectRecords(keep(IntersectShapes(l, hump)), across, hump, l);
  expectRecords(keep(IntersectShapes(hump, l)), across, hump, l);

  // The same hump turned over about y = 5 meets it at the same two points.
  TQN_Path *dip = bezier({0, 10}, {0, 0}, {10, 0}, {10, 10});
  expectRecords(keep(IntersectShapes(hump, dip)), {"two curves", across.expected, 0.02}, hump, dip);

  TQN_Path *tail = line(10, 0, 20, 0);
  expectRecords(keep(IntersectShapes(hump, tail)), {"end to end", {{{10, 0}, false}}}, hump, tail);

  // A circle of radius 6 about (5, 0) holds both ends of the hump; the hump leaves it and
  // comes back, crossing it twice.
  TQN_Path *c = circle(5, 0, 12);
  const TIntersectionList &onCircle = keep(IntersectShapes(c, hump));
  ASSERT_EQ(onCircle.size(), 2u);
  for (const TIntersection *r : onCircle) {
    EXPECT_EQ(r->FPath1, hump);
    EXPECT_NEAR(std::hypot(r->FPoint.X - 5.0, double(r->FPoint.Y)), 6.0, 0.01);
    EXPECT_TRUE(r->FIsCrossing);
  }
  EXPECT_LT(onCircle[0]->FPoint.X, onCircle[1]->FPoint.X);  // along the curve
}

TEST_F(AnalyticFinderTest, KindsWithoutARoutineGiveNothing) {
  TQN_Path *hump = bezier({0, 0}, {0, 10}, {10, 10}, {10, 0});
  TQN_Path *l = line(0, 5, 10, 5);
  TQN_Path *dot = newShape();
  dot->drawDotPath({5, 7.5f}, 1);
  TQN_Path *text = outline("TEXT", "M0,0 L10,10", {0, 0}, {10, 10});
  TQN_Path *hole = outline("S_HOLE", "M4,4 L6,6", {5, 5}, {5, 5});
  TQN_Path *other = outline("OTHER", "M0,5 L10,5", {0, 5}, {10, 5});
  for (TQN_Path *s : {dot, text, hole, other}) {
    EXPECT_TRUE(keep(IntersectShapes(hump, s)).empty()) << s->kindName().toStdString();
    EXPECT_TRUE(keep(IntersectShapes(s, l)).empty()) << s->kindName().toStdString();
  }
  EXPECT_TRUE(keep(IntersectShapes(dot, text)).empty());
  EXPECT_TRUE(keep(IntersectShapes(nullptr, l)).empty());
  EXPECT_TRUE(keep(IntersectShapes(l, nullptr)).empty());
}

TEST_F(AnalyticFinderTest, AddingAPointMergesIntoANearRecord) {
  TQN_Path *a = line(0, 0, 10, 0);
  TQN_Path *b = line(0, 0, 0, 10);
  TQN_Path *far1 = line(100, 100, 110, 100);
  TQN_Path *far2 = line(100, 200, 110, 200);
  TIntersectionList list;

  AddIntersectionPoint(list, {50, 50}, far1, far2, false);
  AddIntersectionPoint(list, {50.006f, 49.994f}, far1, far2, true);  // within 0.008: crossing now
  AddIntersectionPoint(list, {50.004f, 50}, far1, far2, false);      // does not undo it
  AddIntersectionPoint(list, {50.01f, 50}, far1, far2, false);       // 0.01 away: a record of its own
  // Near both shapes' ends: shared, never crossing.
  AddIntersectionPoint(list, {0.001f, 0}, a, b, true);
  AddIntersectionPoint(list, {0, 0.002f}, a, b, true);
  keep(list);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_TRUE(pointNear(list[0]->FPoint, {50, 50}));
  EXPECT_TRUE(list[0]->FIsCrossing);
  EXPECT_EQ(list[0]->FPathID1, far1->ID());
  EXPECT_EQ(list[0]->FPathID2, far2->ID());
  EXPECT_TRUE(pointNear(list[1]->FPoint, {50.01f, 50}));
  EXPECT_FALSE(list[1]->FIsCrossing);
  EXPECT_TRUE(pointNear(list[2]->FPoint, {0.001f, 0}));
  EXPECT_FALSE(list[2]->FIsCrossing);
}

TEST_F(AnalyticFinderTest, PointBesideTouchingEndsMovesOntoTheirMidpoint) {
  TQN_Path *a = line(0, 0, 10, 0);
  TQN_Path *b = line(0, 0, 0, 10);
  TIntersectionList list;
  AddIntersectionPoint(list, {0.02f, 0.02f}, a, b, true);  // beside the shared end: moved onto it
  keep(list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(pointNear(list[0]->FPoint, {0, 0}));
  EXPECT_FALSE(list[0]->FIsCrossing);
}

// Keeping the curves' pieces across a whole pass gives, pair by pair, the records of
// building them for each pair: the same points, crossing marks and shapes, in the same
// order, in either argument order.
TEST_F(AnalyticFinderTest, KeptBezierPiecesGiveTheSameRecords) {
  std::vector<TQN_Path *> curves;
  // The four quarter curves of an ellipse about (0, 0) turned by `turn`, as a file's
  // ellipse that is not a circle becomes curves: a long thin one has long curves of many
  // short pieces.
  const auto addEllipseQuarters = [&](double width, double height, double turn) {
    const double h = 4.0 / 3.0 * std::tan(std::numbers::pi / 8.0);
    const double c = std::cos(turn), s = std::sin(turn);
    const auto at = [&](double x, double y) {
      return TPointF{static_cast<float>(x * c - y * s), static_cast<float>(x * s + y * c)};
    };
    double ax = 0.0, ay = height / 2.0, bx = width / 2.0, by = 0.0;
    for (int i = 0; i < 4; ++i) {
      const TPointF st = at(ax, ay), cp1 = at(ax + h * bx, ay + h * by);
      const double nax = bx, nay = by;
      bx = -ax;
      by = -ay;
      ax = nax;
      ay = nay;
      curves.push_back(bezier(st, cp1, at(ax - h * bx, ay - h * by), at(ax, ay)));
    }
  };
  addEllipseQuarters(10, 109005, 0);
  addEllipseQuarters(109005, 10, 0);
  addEllipseQuarters(10, 15000, 0.3);
  addEllipseQuarters(640, 420, 0.1);
  // Long curves that wind across the ellipses, and a short one at the centre.
  curves.push_back(bezier({-3000, -20}, {-1000, 4000}, {1000, -4000}, {3000, 20}));
  curves.push_back(bezier({-60, -2800}, {900, -900}, {-900, 900}, {60, 2800}));
  curves.push_back(bezier({-8, -8}, {-8, 8}, {8, 8}, {8, -8}));

  TBezierPieces kept;
  std::size_t records = 0, pairsMeeting = 0;
  for (TQN_Path *a : curves) {
    for (TQN_Path *b : curves) {
      if (a == b) continue;
      const TIntersectionList &fresh = keep(IntersectShapes(a, b));
      const TIntersectionList &reused = keep(IntersectShapes(a, b, &kept));
      ASSERT_EQ(reused.size(), fresh.size()) << "curves " << a->ID() << " and " << b->ID();
      for (std::size_t i = 0; i < fresh.size(); ++i) {
        SCOPED_TRACE("curves " + std::to_string(a->ID()) + " and " + std::to_string(b->ID()) + ", record " +
                     std::to_string(i));
        EXPECT_EQ(reused[i]->FPoint.X, fresh[i]->FPoint.X);
        EXPECT_EQ(reused[i]->FPoint.Y, fresh[i]->FPoint.Y);
        EXPECT_EQ(reused[i]->FIsCrossing, fresh[i]->FIsCrossing);
        EXPECT_EQ(reused[i]->FPath1, fresh[i]->FPath1);
        EXPECT_EQ(reused[i]->FPath2, fresh[i]->FPath2);
        EXPECT_EQ(reused[i]->FPathID1, fresh[i]->FPathID1);
        EXPECT_EQ(reused[i]->FPathID2, fresh[i]->FPathID2);
      }
      records += fresh.size();
      pairsMeeting += fresh.empty() ? 0 : 1;
    }
  }
  // The drawing has crossings and shared ends to compare, not only empty pairs.
  EXPECT_GT(pairsMeeting, curves.size());
  EXPECT_GT(records, 2 * curves.size());
  // The tall and the wide thin ellipse cross near (+-5, +-5).
  int nearCentre = 0;
  for (std::size_t i = 0; i < 4; ++i)
    for (std::size_t j = 4; j < 8; ++j)
      for (const TIntersection *r : keep(IntersectShapes(curves[i], curves[j], &kept)))
        if (r->FIsCrossing && std::fabs(std::fabs(r->FPoint.X) - 5.0) < 0.1 &&
            std::fabs(std::fabs(r->FPoint.Y) - 5.0) < 0.1)
          ++nearCentre;
  EXPECT_EQ(nearCentre, 4);
}

// ---------------------------------------------------------------------------------
// Outline finder

class OutlineFinderTest : public FinderFixture {};

TEST_F(OutlineFinderTest, LinePairs) {
  struct LineCase {
    FinderCase c;
    float a[4], b[4];
    bool extend;
  };
  const LineCase cases[] = {
      {{"end to end", {{{10, 0}, false}}}, {0, 0, 10, 0}, {10, 0, 10, 10}, false},
      // Closer than 0.1: the record sits on the first shape's end.
      {{"ends 0.03 apart", {{{10, 0}, false}}}, {0, 0, 10, 0}, {10.03f, 0, 10.03f, 10}, false},
      {{"ends 0.03 apart, reversed", {{{10.03f, 0}, false}}}, {10.03f, 0, 10.03f, 10}, {0, 0, 10, 0}, false},
      {{"crossing in the middles", {{{5, 0}, true}}}, {0, 0, 10, 0}, {5, -5, 5, 5}, false},
      {{"slanted crossing", {{{5, 5}, true}}}, {0, 0, 10, 10}, {0, 10, 10, 0}, false},
      {{"T", {{{5, 0}, true}}}, {0, 0, 10, 0}, {5, 0, 5, 10}, false},
      {{"meeting 5 mm beyond their ends", {}}, {0, 0, 10, 0}, {15, 5, 15, 20}, false},
      {{"meeting 5 mm beyond their ends, extended", {{{15, 0}, true}}}, {0, 0, 10, 0}, {15, 5, 15, 20}, true},
      {{"slanted, meeting beyond, extended", {{{12.5f, 12.5f}, true}}}, {0, 0, 10, 10}, {25, 0, 20, 5}, true},
      {{"parallel vertical", {}}, {0, 0, 0, 10}, {5, 0, 5, 10}, true},
      {{"parallel horizontal", {}}, {0, 0, 10, 0}, {0, 5, 10, 5}, true},
      {{"parallel slanted", {}}, {0, 0, 10, 10}, {0, 5, 10, 15}, true},
  };
  for (const LineCase &lc : cases) {
    TQN_Path *a = line(lc.a[0], lc.a[1], lc.a[2], lc.a[3]);
    TQN_Path *b = line(lc.b[0], lc.b[1], lc.b[2], lc.b[3]);
    expectRecords(keep(calcPathIntersections(a, b, nullptr, lc.extend)), lc.c, a, b);
  }
}

TEST_F(OutlineFinderTest, DimensionLinesMeetOnlyAtTheirEnds) {
  TQN_Path *dim = line(0, 0, 10, 0);
  dim->FIsDimensionLine = true;
  TQN_Path *touching = line(10, 0, 10, 10);
  TQN_Path *crossing = line(5, -5, 5, 5);
  expectRecords(keep(calcPathIntersections(dim, touching, nullptr, false)), {"end", {{{10, 0}, false}}}, dim,
                touching);
  expectRecords(keep(calcPathIntersections(crossing, dim, nullptr, true)), {"middle", {}}, crossing, dim);
}

TEST_F(OutlineFinderTest, ShapesWithoutAUsableOutlineGiveNothing) {
  TQN_Path *l = line(0, 0, 10, 0);
  // Each of these has an outline that crosses the line and an end on the line's end.
  for (const char *kind : {"S_HOLE", "TEXT", "OTHER"}) {
    TQN_Path *s = outline(kind, "M10,-5 L10,5", {10, 0}, {10, 5});
    EXPECT_TRUE(keep(calcPathIntersections(l, s, nullptr, false)).empty()) << kind;
    EXPECT_TRUE(keep(calcPathIntersections(s, l, nullptr, true)).empty()) << kind;
  }
  EXPECT_TRUE(keep(calcPathIntersections(nullptr, l, nullptr, false)).empty());
}

TEST_F(OutlineFinderTest, IndependentLayerMeetsOnlyItsOwnLayer) {
  TMultiLang lang;
  TShapeList doc(&lang, QStringLiteral("en"));
  doc.addLayer(1, QStringLiteral("free"), true);
  doc.SetIsIndependentLayer(1, true);
  doc.addLayer(2, QStringLiteral("plain"), true);

  TQN_Path *a = line(0, 0, 10, 0);
  TQN_Path *b = line(5, -5, 5, 5);
  const FinderCase one{"crossing", {{{5, 0}, true}}};
  const FinderCase none{"separated", {}};
  struct Case {
    int layerA, layerB;
    bool passDoc;
    const FinderCase &expected;
  };
  const Case cases[] = {
      {1, 0, true, none},  {0, 1, true, none}, {1, 0, false, one},
      {1, 1, true, one},   {0, 2, true, one},
  };
  for (const Case &c : cases) {
    a->FLayerID = c.layerA;
    b->FLayerID = c.layerB;
    SCOPED_TRACE("layers " + std::to_string(c.layerA) + "/" + std::to_string(c.layerB));
    expectRecords(keep(calcPathIntersections(a, b, c.passDoc ? &doc : nullptr, false)), c.expected, a, b);
  }
}

TEST_F(OutlineFinderTest, PointsOnTheSameGridPointCountOnce) {
  // A roof whose two segments meet the line y = 5.001 at x = 5.001 and x = 4.999: 0.002
  // apart, both 5.00 on the 0.01 grid. The first one found stays.
  TQN_Path *roof = outline("BEZIER", "M0,0 L5,5 L10,0", {0, 0}, {10, 0});
  TQN_Path *l = line(0, 5.001f, 10, 5.001f);
  expectRecords(keep(calcPathIntersections(roof, l, nullptr, false)), {"roof", {{{5.001f, 5.001f}, true}}}, roof,
                l);
}

TEST_F(OutlineFinderTest, TPointOnAnOutlineVertex) {
  // The line ends 0.06 beside the roof's middle vertex: its line meets the roof only
  // outside its range, but its end is a T-point.
  TQN_Path *roof = outline("BEZIER", "M0,0 L5,5 L10,0", {0, 0}, {10, 0});
  TQN_Path *l = line(5.06f, 5, 10, 5);
  expectRecords(keep(calcPathIntersections(l, roof, nullptr, false)), {"T-point", {{{5.06f, 5}, false}}}, l, roof);
  // Farther than 0.1: nothing.
  TQN_Path *l2 = line(5.11f, 5, 10, 5);
  expectRecords(keep(calcPathIntersections(l2, roof, nullptr, false)), {"too far", {}}, l2, roof);
}

TEST_F(OutlineFinderTest, CirclesMeetAlongTheirFlattenedOutlines) {
  // r 5 about (0, 0) and (6, 0): (3, -4) and (3, 4); the first outline runs over the top
  // first.
  TQN_Path *a = circle(0, 0, 10);
  TQN_Path *b = circle(6, 0, 10);
  expectRecords(keep(calcPathIntersections(a, b, nullptr, false)),
                {"two circles", {{{3, -4}, true}, {{3, 4}, true}}, 0.02}, a, b);
  TQN_Path *c = circle(0, 0, 4);  // inside a: nothing
  expectRecords(keep(calcPathIntersections(a, c, nullptr, false)), {"nested circles", {}}, a, c);
}

TEST_F(OutlineFinderTest, LineCrossPoint) {
  struct Case {
    const char *what;
    TPointF a0, a1, b0, b1;
    bool found;
    TPointF p;
  };
  const Case cases[] = {
      {"horizontal and vertical", {0, 0}, {10, 0}, {5, -5}, {5, 5}, true, {5, 0}},
      {"horizontal and slanted", {0, 0}, {10, 0}, {0, -5}, {10, 5}, true, {5, 0}},
      {"slanted and horizontal", {0, -5}, {10, 5}, {0, 0}, {10, 0}, true, {5, 0}},
      {"vertical and slanted", {2, 0}, {2, 10}, {0, 0}, {10, 5}, true, {2, 1}},
      {"slanted and vertical", {0, 0}, {10, 10}, {3, 0}, {3, 1}, true, {3, 3}},
      {"two slanted", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true, {5, 5}},
      {"beyond both segments", {0, 0}, {1, 1}, {9, 1}, {10, 0}, true, {5, 5}},
      // 10.00004 and 0.00004 round to 10 and 0 before anything else.
      {"inputs rounded to 4 decimals", {0, 0}, {10, 10}, {0, 10.00004f}, {10, 0.00004f}, true, {5, 5}},
      {"parallel slanted", {0, 0}, {10, 10}, {0, 5}, {10, 15}, false, {}},
      {"slopes within 0.001", {0, 0}, {10, 10}, {0, 5}, {10, 15.005f}, false, {}},
      {"both vertical", {0, 0}, {0, 10}, {5, 0}, {5, 10}, false, {}},
      {"both horizontal", {0, 0}, {10, 0}, {0, 5}, {10, 5.0005f}, false, {}},
      {"equal tiny slopes", {0, 0}, {10, 0.0015f}, {10, 0}, {20, 0.0015f}, false, {}},
  };
  for (const Case &c : cases) {
    TPointF p{-1, -1};
    EXPECT_EQ(calcLineCrossPoint(c.a0, c.a1, c.b0, c.b1, p), c.found) << c.what;
    if (c.found)
      EXPECT_TRUE(pointNear(p, c.p, 1e-6)) << c.what;
    else
      EXPECT_TRUE(pointNear(p, {-1, -1}, 0)) << c.what << ": P untouched";
  }
}

}  // namespace
}  // namespace quillon
