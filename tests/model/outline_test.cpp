#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "model/shape.h"

namespace quillon {
namespace {

using test::countKind;
using test::pointNear;

std::unique_ptr<TQN_Path> shape() { return std::make_unique<TQN_Path>(0, 0xFF000000, 1, TStrokeDash::Solid, 1); }

TEST(OutlineLine, PathTextAndLineParameters) {
  auto s = shape();
  s->drawLinePath({0, 0}, {10, 0});
  EXPECT_EQ(s->Data().toText(), "M0,0 L10,0 ");
  EXPECT_EQ(s->FShapeType, TShapeKind::Line);
  s->drawLinePath({0, 0}, {12.4f, 0});
  EXPECT_EQ(s->Data().toText(), "M0,0 L12.3999996185303,0 ");

  struct Case {
    TPointF st, ep;
    float a, b;
    bool vertical, horizontal;
  };
  const Case cases[] = {
      {{5, 0}, {5.004f, 10}, 2147483648.0f, 0, true, false},  // x difference rounds to 0
      {{0, 2}, {10, 2.003f}, 0, 2, false, true},
      {{0, 1}, {2, 5}, 2, 1, false, false},
      {{3, 3}, {3, 3}, 2147483648.0f, 0, true, false},  // a point counts as vertical
  };
  for (const auto &c : cases) {
    s->FIsFreeAngle = true;
    s->drawLinePath(c.st, c.ep);
    EXPECT_FALSE(s->FIsFreeAngle);
    EXPECT_FLOAT_EQ(s->Line_param_a(), c.a) << c.ep.X;
    EXPECT_FLOAT_EQ(s->Line_param_b(), c.b) << c.ep.X;
    EXPECT_EQ(s->IsVerticalLine(), c.vertical) << c.ep.X;
    EXPECT_EQ(s->IsHorizontalLine(), c.horizontal) << c.ep.X;
  }
}

TEST(OutlineBezier, FlattenedIntoTheDocumentedNumberOfLines) {
  auto s = shape();
  s->drawBezierPath({0, 0}, {10, 0}, {20, 0}, {30, 0});
  EXPECT_EQ(s->FShapeType, TShapeKind::Bezier);
  EXPECT_EQ(countKind(s->Data(), TPathPointKind::MoveTo), 1);
  EXPECT_EQ(countKind(s->Data(), TPathPointKind::LineTo), 100);  // round(30 / 0.3)
  EXPECT_EQ(countKind(s->Data(), TPathPointKind::CurveTo), 0);
  EXPECT_TRUE(pointNear(s->Data().LastPoint(), {30, 0}, 0));
}

// The outline a builder should give by the flattening rule with no cap on the lines of
// a piece: n = L / f rounded halves to even, L the chords through t = 0, 1/6 .. 4/6, 1;
// lines to t = i / (n - 1) for i = 0 .. n - 2 and then to the end. `largest` gets the
// highest n of any piece.
TPathData flattenedByTheRule(const TPathData &raw, float flatness, long long &largest) {
  const double f = flatness;
  const auto at = [](const TPointF (&q)[4], double t) {
    const double mt = 1.0 - t;
    const double b0 = mt * mt * mt, b1 = 3.0 * mt * mt * t, b2 = 3.0 * mt * t * t, b3 = t * t * t;
    return TPointF{static_cast<float>(b0 * q[0].X + b1 * q[1].X + b2 * q[2].X + b3 * q[3].X),
                   static_cast<float>(b0 * q[0].Y + b1 * q[1].Y + b2 * q[2].Y + b3 * q[3].Y)};
  };
  TPathData out;
  TPointF current;
  const auto &e = raw.Points();
  for (std::size_t i = 0; i < e.size(); ++i) {
    if (e[i].Kind == TPathPointKind::MoveTo) {
      out.MoveTo(current = e[i].Point);
      continue;
    }
    if (e[i].Kind != TPathPointKind::CurveTo || i + 2 >= e.size()) {
      ADD_FAILURE() << "entry " << i << " is neither a move nor a whole curve";
      return out;
    }
    const TPointF q[4] = {current, e[i].Point, e[i + 1].Point, e[i + 2].Point};
    double length = 0.0;
    TPointF previous = q[0];
    for (const double t : {1.0 / 6.0, 2.0 / 6.0, 3.0 / 6.0, 4.0 / 6.0, 1.0}) {
      const TPointF p = t == 1.0 ? q[3] : at(q, t);
      length += std::hypot(double(p.X) - previous.X, double(p.Y) - previous.Y);
      previous = p;
    }
    const auto n = static_cast<long long>(std::nearbyint(length / f));
    largest = std::max(largest, n);
    for (long long k = 0; n > 2 && k <= n - 2; ++k) out.LineTo(at(q, double(k) / double(n - 1)));
    out.LineTo(current = q[3]);
    i += 2;
  }
  return out;
}

// Every curve a hide can hold (pieces up to 3 m) is flattened at its full step: the
// outline is the rule's, entry for entry. Beyond that, a piece gets kFlattenMaxLines
// lines and still runs from its start to its end.
TEST(OutlineFlattening, CurvesUpToThreeMetresKeepTheirStepLongerOnesAreCapped) {
  struct Case {
    const char *name;
    std::function<void(TQN_Path &)> draw;
    std::function<void(TPathData &, const TQN_Path &)> raw;  // the curves before flattening
    float flatness;       // as the builder asks for it
  };
  const Case cases[] = {
      {"ellipse", [](TQN_Path &s) { s.drawEllipsePath({120, 80}, 200, 80); },
       [](TPathData &d, const TQN_Path &) {
         d.MoveTo({120, 80});
         d.AddEllipse(TRectF(20, 40, 220, 120));
       },
       0.3f},
      {"hide-sized ellipse", [](TQN_Path &s) { s.drawEllipsePath({1000, 1400}, 2000, 2800); },
       [](TPathData &d, const TQN_Path &) {
         d.MoveTo({1000, 1400});
         d.AddEllipse(TRectF(0, 0, 2000, 2800));
       },
       0.3f},
      {"quarter arc of 1.8 m", [](TQN_Path &s) { s.drawArcPath({5, 5}, {1800, 1800}, {1805, 5}, {5, 1805}, 90); },
       [](TPathData &d, const TQN_Path &s) { d.AddArc(s.FCenter, {1800, 1800}, s.FStartAngle, s.FSweepAngle); },
       0.3f},
      {"small arc", [](TQN_Path &s) { s.drawArcPath({5, 5}, {3, 3}, {8, 5}, {2, 5}, 300); },
       [](TPathData &d, const TQN_Path &s) { d.AddArc(s.FCenter, {3, 3}, s.FStartAngle, s.FSweepAngle); },
       3.0f / 50.0f},
      {"long curve", [](TQN_Path &s) { s.drawBezierPath({10, 10}, {900, -400}, {1700, 1300}, {2600, 900}); },
       [](TPathData &d, const TQN_Path &) {
         d.MoveTo({10, 10});
         d.CurveTo({900, -400}, {1700, 1300}, {2600, 900});
       },
       0.3f},
  };
  long long largest = 0;
  for (const Case &c : cases) {
    auto s = shape();
    c.draw(*s);
    TPathData raw;
    c.raw(raw, *s);
    EXPECT_EQ(s->Data().toText(), flattenedByTheRule(raw, c.flatness, largest).toText()) << c.name;
  }
  // The table reaches close to the cap, so the cap is what lets these through unchanged.
  EXPECT_GT(largest, kFlattenMaxLines * 9 / 10);
  EXPECT_LE(largest, kFlattenMaxLines);

  // An ellipse 109 m long: each quarter gets the cap, from its quarter point to the next.
  auto thin = shape();
  thin->drawEllipsePath({3, 4}, 10, 109005);
  const auto &pts = thin->Data().Points();
  ASSERT_EQ(thin->Data().Count(), 2 + 4 * kFlattenMaxLines);
  const TPointF quarters[] = {{-2, 4}, {3, 4 - 54502.5f}, {8, 4}, {3, 4 + 54502.5f}, {-2, 4}};
  for (int q = 0; q <= 4; ++q)
    EXPECT_TRUE(pointNear(pts[static_cast<std::size_t>(1 + q * kFlattenMaxLines)].Point, quarters[q], 0)) << q;
  for (std::size_t i = 2; i < pts.size(); ++i) ASSERT_EQ(pts[i].Kind, TPathPointKind::LineTo) << i;
}

TEST(OutlineArc, SweepIsFoldedOnceAndTheOutlineFollowsIt) {
  struct Case {
    float sweep, stored;
  };
  for (const Case c : {Case{400, 40}, Case{-370, -10}, Case{720, 360}, Case{90, 90}}) {
    auto s = shape();
    s->drawArcPath({0, 0}, {10, 10}, {10, 0}, {0, 10}, c.sweep);
    EXPECT_FLOAT_EQ(s->FSweepAngle, c.stored) << c.sweep;
  }

  auto s = shape();
  // The end point argument is stored but the outline ends where the sweep ends.
  s->drawArcPath({0, 0}, {10, 10}, {10, 0}, {-10, 0}, 90);
  EXPECT_EQ(s->FShapeType, TShapeKind::Arc);
  EXPECT_FLOAT_EQ(s->FStartAngle, 0);
  EXPECT_TRUE(pointNear(s->FEndPt, {-10, 0}, 0));
  EXPECT_TRUE(pointNear(s->Data()[0].Point, {10, 0}, 1e-5));
  EXPECT_TRUE(pointNear(s->Data().LastPoint(), {0, 10}, 1e-4));  // clockwise on screen
  for (const auto &p : s->Data().Points()) EXPECT_NEAR(calcDistance(p.Point, {0, 0}), 10, 0.01);

  // A start point above the centre gives a negative start angle.
  s->drawArcPath({0, 0}, {10, 10}, {0, -10}, {10, 0}, 90);
  EXPECT_FLOAT_EQ(s->FStartAngle, -90);
  EXPECT_TRUE(pointNear(s->Data().LastPoint(), {10, 0}, 1e-4));

  s->drawArcPath({0, 0}, {10, 10}, {10, 0}, {10, 0}, 0);
  EXPECT_TRUE(s->Data().IsEmpty());
}

TEST(OutlineArc, FlatnessFollowsTheRadius) {
  struct Case {
    float radius, flatness;
  };
  // Radii under 2.5 mm all end at the path object's lower bound of 0.05.
  const Case cases[] = {{10, 0.3f}, {4, 0.08f}, {1.5f, 0.05f}, {0.8f, 0.05f}, {0.4f, 0.05f}};
  for (const auto &c : cases) {
    auto s = shape();
    s->drawArcPath({0, 0}, {c.radius, c.radius}, {c.radius, 0}, {-c.radius, 0}, 180);
    TPathData expected;
    expected.AddArc({0, 0}, {c.radius, c.radius}, 0, 180);
    expected.Flatten(c.flatness);
    EXPECT_EQ(s->Data(), expected) << "radius " << c.radius;
  }
  // The radius-4 outline really differs from one at the default flatness.
  auto s = shape();
  s->drawArcPath({0, 0}, {4, 4}, {4, 0}, {-4, 0}, 180);
  TPathData coarse;
  coarse.AddArc({0, 0}, {4, 4}, 0, 180);
  coarse.Flatten(0.3f);
  EXPECT_GT(s->Data().Count(), coarse.Count());
}

TEST(OutlineEllipseAndDot, EndsCentreAndCurves) {
  auto s = shape();
  s->drawEllipsePath({5, 3}, 10, 4);
  EXPECT_EQ(s->FShapeType, TShapeKind::Ellipse);
  EXPECT_TRUE(pointNear(s->FStartPt, {0, 3}, 0));
  EXPECT_TRUE(pointNear(s->FEndPt, {0, 3}, 0));
  // The lone move to the centre stays, then the contour from the left point.
  ASSERT_GE(s->Data().Count(), 3);
  EXPECT_EQ(s->Data()[0].Kind, TPathPointKind::MoveTo);
  EXPECT_TRUE(pointNear(s->Data()[0].Point, {5, 3}, 0));
  EXPECT_EQ(s->Data()[1].Kind, TPathPointKind::MoveTo);
  EXPECT_TRUE(pointNear(s->Data()[1].Point, {0, 3}, 0));
  EXPECT_EQ(countKind(s->Data(), TPathPointKind::CurveTo), 0);
  EXPECT_FALSE(s->fillPath());

  // At the origin the leading move is cleaned away.
  s->drawEllipsePath({0, 0}, 10, 10);
  EXPECT_EQ(countKind(s->Data(), TPathPointKind::MoveTo), 1);
  EXPECT_TRUE(pointNear(s->Data()[0].Point, {-5, 0}, 0));

  s->drawDotPath({2, 2}, 1.5f);
  EXPECT_EQ(s->FShapeType, TShapeKind::Dot);
  EXPECT_FLOAT_EQ(s->FWidth, 3);
  EXPECT_FLOAT_EQ(s->FHeight, 3);
  EXPECT_TRUE(pointNear(s->FCenter, {2, 2}, 0));
  EXPECT_EQ(countKind(s->Data(), TPathPointKind::CurveTo), 12);  // kept as four curves
}

TEST(OutlineCleaning, DropsOnlyLeadingOriginMovesFollowedByMoves) {
  auto s = shape();
  TPathData d;
  d.setText("M0,0 M0,0 M5,5 L6,6 M0,0 M1,1 L2,2 ");
  s->setData(d);
  s->cleanPathData();
  EXPECT_EQ(s->Data().toText(), "M5,5 L6,6 M0,0 M1,1 L2,2 ");

  d.setText("M0,0 L5,5 ");
  s->setData(d);
  s->cleanPathData();
  EXPECT_EQ(s->Data().toText(), "M0,0 L5,5 ");

  d.setText("M1,1 L2,2 L1,2 Z ");
  s->setData(d);
  EXPECT_TRUE(s->fillPath());
}

TEST(OutlineReverse, LinesCurvesAndArcsRunBackwards) {
  auto line = shape();
  line->drawLinePath({0, 0}, {10, 5});
  line->reversePath();
  EXPECT_EQ(line->Data().toText(), "M10,5 L0,0 ");
  EXPECT_TRUE(pointNear(line->FStartPt, {10, 5}, 0));
  EXPECT_TRUE(pointNear(line->FEndPt, {0, 0}, 0));

  auto bez = shape();
  bez->drawBezierPath({0, 0}, {10, 0}, {20, 10}, {30, 10});
  const int count = bez->Data().Count();
  bez->reversePath();
  EXPECT_TRUE(pointNear(bez->FBezierCp1, {20, 10}, 0));
  EXPECT_TRUE(pointNear(bez->FBezierCp2, {10, 0}, 0));
  EXPECT_TRUE(pointNear(bez->Data()[0].Point, {30, 10}, 0));
  EXPECT_TRUE(pointNear(bez->Data().LastPoint(), {0, 0}, 0));
  // The repeated first point of the flattened curve is not repeated again.
  EXPECT_EQ(bez->Data().Count(), count - 1);

  auto arc = shape();
  arc->drawArcPath({0, 0}, {10, 10}, {10, 0}, {0, 10}, 90);
  arc->reversePath();
  EXPECT_FLOAT_EQ(arc->FSweepAngle, -90);
  EXPECT_FLOAT_EQ(arc->FStartAngle, 90);
  EXPECT_TRUE(pointNear(arc->Data()[0].Point, {0, 10}, 1e-4));
  EXPECT_TRUE(pointNear(arc->Data().LastPoint(), {10, 0}, 1e-5));

  auto ellipse = shape();
  ellipse->drawEllipsePath({5, 5}, 4, 2);
  const std::string before = ellipse->Data().toText();
  ellipse->reversePath();
  EXPECT_EQ(ellipse->Data().toText(), before);
  EXPECT_TRUE(pointNear(ellipse->FStartPt, {3, 5}, 0));
}

TEST(OutlineSplitArc, EqualPiecesThatJoinUp) {
  struct Case {
    float sweep;
    int pieces;
  };
  for (const Case c : {Case{91, 2}, Case{100, 2}, Case{180, 3}, Case{270, 4}, Case{360, 5}, Case{-200, 3}}) {
    auto arc = shape();
    arc->drawArcPath({1, 2}, {10, 10}, {11, 2}, {11, 2}, c.sweep);
    arc->updateId(17);
    std::vector<std::unique_ptr<TQN_Path>> pieces;
    for (TQN_Path *p : arc->splitArc()) pieces.emplace_back(p);
    ASSERT_EQ(static_cast<int>(pieces.size()) + 1, c.pieces) << c.sweep;

    TPointF expectedStart{11, 2};
    const float each = c.sweep / c.pieces;
    for (auto &p : pieces) {
      EXPECT_EQ(p->ID(), 17);
      EXPECT_EQ(p->FGUID, arc->FGUID);
      EXPECT_NEAR(p->FSweepAngle, each, 1e-4) << c.sweep;
      EXPECT_TRUE(pointNear(p->FStartPt, expectedStart, 1e-4)) << c.sweep;
      EXPECT_TRUE(pointNear(p->Data().LastPoint(), p->FEndPt, 1e-3)) << c.sweep;
      expectedStart = p->FEndPt;
    }
    EXPECT_NEAR(arc->FSweepAngle, each, 1e-3) << c.sweep;
    EXPECT_TRUE(pointNear(arc->FStartPt, expectedStart, 1e-4)) << c.sweep;
  }

  auto quarter = shape();
  quarter->drawArcPath({0, 0}, {10, 10}, {10, 0}, {0, 10}, 90);
  EXPECT_TRUE(quarter->splitArc().empty());
  EXPECT_FLOAT_EQ(quarter->FSweepAngle, 90);

  auto line = shape();
  line->drawLinePath({0, 0}, {1, 1});
  line->FSweepAngle = 200;
  EXPECT_TRUE(line->splitArc().empty());
}

TEST(OutlineArcToBezier, HandlesOnTheTangents) {
  auto arc = shape();
  arc->drawArcPath({0, 0}, {10, 10}, {10, 0}, {0, 10}, 90);
  arc->convertArcToBezier();
  const float k = 10 * 4.0f / 3.0f * std::tan(float(M_PI) / 8);  // 5.5228
  EXPECT_EQ(arc->FShapeType, TShapeKind::Bezier);
  EXPECT_TRUE(pointNear(arc->FBezierCp1, {10, k}, 1e-4));
  EXPECT_TRUE(pointNear(arc->FBezierCp2, {k, 10}, 1e-4));
  EXPECT_TRUE(pointNear(arc->Data().LastPoint(), {0, 10}, 0));
  // The midpoint of the curve lies on the circle within a tiny error.
  const TPathData &d = arc->Data();
  EXPECT_NEAR(calcDistance(d[d.Count() / 2].Point, {0, 0}), 10, 0.01);

  auto half = shape();
  half->drawArcPath({0, 0}, {5, 5}, {5, 0}, {-5, 0}, 180);
  half->convertArcToBezier();
  EXPECT_TRUE(pointNear(half->FBezierCp1, {5, 5 * 4.0f / 3.0f}, 1e-4));
  EXPECT_TRUE(pointNear(half->FBezierCp2, {-5, 5 * 4.0f / 3.0f}, 1e-4));

  auto wide = shape();
  wide->drawArcPath({0, 0}, {10, 10}, {10, 0}, {0, 10}, 200);
  const std::string before = wide->Data().toText();
  wide->convertArcToBezier();
  EXPECT_EQ(wide->FShapeType, TShapeKind::Arc);
  EXPECT_EQ(wide->Data().toText(), before);
}

}  // namespace
}  // namespace quillon
