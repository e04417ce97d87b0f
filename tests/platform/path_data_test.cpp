#include "platform/path_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon {
namespace {

using K = TPathPointKind;

::testing::AssertionResult pointNear(TPointF actual, double x, double y, double tolerance = 1e-4) {
  if (std::fabs(actual.X - x) <= tolerance && std::fabs(actual.Y - y) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "point (" << actual.X << ", " << actual.Y << ") is not within "
                                       << tolerance << " of (" << x << ", " << y << ")";
}

// Kinds of all entries as letters, e.g. "MCCCL".
std::string kinds(const TPathData &p) {
  std::string s;
  for (const TPathPoint &e : p.Points()) {
    switch (e.Kind) {
      case K::MoveTo: s += 'M'; break;
      case K::LineTo: s += 'L'; break;
      case K::CurveTo: s += 'C'; break;
      case K::Close: s += 'Z'; break;
    }
  }
  return s;
}

TPathData straightCubic(float length) {
  TPathData p;
  p.MoveTo({0, 0});
  p.CurveTo({length / 3, 0}, {2 * length / 3, 0}, {length, 0});
  return p;
}

// ---------------------------------------------------------------------------------------
// Path text

TEST(PathDataText, WritesEachKindWithTrailingBlank) {
  TPathData line;
  line.MoveTo({0, 0});
  line.LineTo({10, 0});
  EXPECT_EQ(line.toText(), "M0,0 L10,0 ");

  TPathData widened;
  widened.MoveTo({0, 0});
  widened.LineTo({12.4f, 0});
  EXPECT_EQ(widened.toText(), "M0,0 L12.3999996185303,0 ");

  TPathData all;
  all.MoveTo({-1, 2.5f});
  all.LineTo({3, -4});
  all.CurveTo({1, 2}, {3, 4}, {5, 6});
  all.CurveTo({7, 8}, {9, 10}, {11, 12});
  all.ClosePath();
  all.LineTo({1e-5f, 0});
  EXPECT_EQ(all.toText(),
            "M-1,2.5 L3,-4 C1,2 3,4 5,6 C7,8 9,10 11,12 Z L9.99999974737875E-6,0 ");

  EXPECT_EQ(TPathData().toText(), "");
}

TEST(PathDataText, ReadingWrittenTextGivesIdenticalPoints) {
  TPathData p;
  p.MoveTo({12.4f, -0.1f});
  p.LineTo({1e-5f, 1e20f});
  p.CurveTo({-3.3f, 0.3f}, {1.0f / 3.0f, 2.0f / 3.0f}, {123456.789f, -9.87654e-3f});
  p.ClosePath();
  p.LineTo({7.7f, 8.8f});
  p.AddArc({1.1f, 2.2f}, {3.3f, 1.7f}, 17.0f, 250.0f);
  p.AddEllipse(TRectF(-0.7f, 0.3f, 5.9f, 4.1f));
  p.ClosePath();

  const TPathData back = TPathData::fromText(p.toText());
  EXPECT_EQ(back, p);
  EXPECT_EQ(kinds(back), kinds(p));
  EXPECT_EQ(back.toText(), p.toText());

  // Arbitrary float bit patterns survive the 15 digit text.
  std::mt19937 rng(12345);
  TPathData many;
  many.MoveTo({0, 0});
  for (int i = 0; i < 2000; ++i) {
    float v[2];
    for (float &f : v) {
      do {
        const std::uint32_t bits = static_cast<std::uint32_t>(rng());
        std::memcpy(&f, &bits, sizeof f);
      } while (!std::isfinite(f));
    }
    many.LineTo({v[0], v[1]});
  }
  EXPECT_EQ(TPathData::fromText(many.toText()), many);
}

// ---------------------------------------------------------------------------------------
// SVG path data reader

struct SvgCase {
  const char *text;
  std::vector<TPathPoint> expected;
};

class PathDataSvg : public ::testing::TestWithParam<SvgCase> {};

TEST_P(PathDataSvg, ReadsToExpectedEntries) {
  const SvgCase &c = GetParam();
  const TPathData p = TPathData::fromText(c.text);
  ASSERT_EQ(p.Count(), static_cast<int>(c.expected.size())) << p.toText();
  for (int i = 0; i < p.Count(); ++i) {
    EXPECT_EQ(p[i].Kind, c.expected[static_cast<size_t>(i)].Kind) << "entry " << i;
    const TPointF e = c.expected[static_cast<size_t>(i)].Point;
    EXPECT_TRUE(pointNear(p[i].Point, e.X, e.Y, 1e-5)) << "entry " << i << " of " << p.toText();
  }
}

TPathPoint M(float x, float y) { return {K::MoveTo, {x, y}}; }
TPathPoint L(float x, float y) { return {K::LineTo, {x, y}}; }
TPathPoint C(float x, float y) { return {K::CurveTo, {x, y}}; }
TPathPoint Z(float x, float y) { return {K::Close, {x, y}}; }

INSTANTIATE_TEST_SUITE_P(
    PathDataSvgCases, PathDataSvg,
    ::testing::Values(
        SvgCase{"", {}}, SvgCase{" \t\n ", {}},
        SvgCase{"M10,20 L30,40", {M(10, 20), L(30, 40)}},
        SvgCase{"m10,20 l5,5 l-5,0", {M(10, 20), L(15, 25), L(10, 25)}},
        // Extra pairs after a move are lines, relative after "m".
        SvgCase{"M0,0 10,0 10,10", {M(0, 0), L(10, 0), L(10, 10)}},
        SvgCase{"m1,1 2,2 1,0", {M(1, 1), L(3, 3), L(4, 3)}},
        SvgCase{"M0,0 H10 V5 h-3 v-2 H1 2", {M(0, 0), L(10, 0), L(10, 5), L(7, 5), L(7, 3), L(1, 3), L(2, 3)}},
        SvgCase{"m1,1 c1,0 2,0 3,0 1,1 2,2 3,3",
                {M(1, 1), C(2, 1), C(3, 1), C(4, 1), C(5, 2), C(6, 3), C(7, 4)}},
        // S reflects the second control point of the previous curve about the current point.
        SvgCase{"M0 0C1 2 3 4 5 6S9 8 10 10",
                {M(0, 0), C(1, 2), C(3, 4), C(5, 6), C(7, 8), C(9, 8), C(10, 10)}},
        SvgCase{"M0,0 C0,1 2,3 4,4 s1,1 2,0",
                {M(0, 0), C(0, 1), C(2, 3), C(4, 4), C(6, 5), C(5, 5), C(6, 4)}},
        // Without a previous curve S starts from the current point.
        SvgCase{"M0,0 L1,0 S2,2 4,0", {M(0, 0), L(1, 0), C(1, 0), C(2, 2), C(4, 0)}},
        // Q: controls two thirds of the way to the quadratic control; T reflects it.
        SvgCase{"M0,0 Q3,3 6,0", {M(0, 0), C(2, 2), C(4, 2), C(6, 0)}},
        SvgCase{"M0,0 Q3,3 6,0 T12,0",
                {M(0, 0), C(2, 2), C(4, 2), C(6, 0), C(8, -2), C(10, -2), C(12, 0)}},
        SvgCase{"M6,0 q-3,3 -6,0 t-6,0",
                {M(6, 0), C(4, 2), C(2, 2), C(0, 0), C(-2, -2), C(-4, -2), C(-6, 0)}},
        SvgCase{"M0,0 T3,0", {M(0, 0), C(0, 0), C(1, 0), C(3, 0)}},
        // Number forms: exponents, signs as separators, ".5.5", the program's own "E".
        SvgCase{"M1e1-.5L.5.5", {M(10, -0.5f), L(0.5f, 0.5f)}},
        SvgCase{"M1.5E2,-2e-1 L+1,+2e+1 1-2", {M(150, -0.2f), L(1, 20), L(1, -2)}},
        SvgCase{"M9.99999974737875E-6,1E-5 L1.5E20,3.", {M(1e-5f, 1e-5f), L(1.5e20f, 3)}},
        SvgCase{"\tM 1 , 2\n L3 4 ", {M(1, 2), L(3, 4)}},
        // After a close the current point is the contour start.
        SvgCase{"M1,1 L10,1 L10,10 Z l5,0", {M(1, 1), L(10, 1), L(10, 10), Z(1, 1), L(6, 1)}},
        SvgCase{"M0,0 L10,0 z m1,1 l1,0 Z", {M(0, 0), L(10, 0), Z(0, 0), M(1, 1), L(2, 1), Z(1, 1)}},
        // Arcs: radius 0 is a line; an arc to its own start is nothing.
        SvgCase{"M0,0 A0,5 0 0 1 20,0", {M(0, 0), L(20, 0)}},
        SvgCase{"M3,4 A5,5 0 0 1 3,4 L0,0", {M(3, 4), L(0, 0)}}));

struct ArcCase {
  const char *text;
  int pieces;
  std::vector<TPointF> pieceEnds;  // end of every cubic piece
};

class PathDataSvgArc : public ::testing::TestWithParam<ArcCase> {};

TEST_P(PathDataSvgArc, BecomesCubicPiecesThroughKnownPoints) {
  const ArcCase &c = GetParam();
  const TPathData p = TPathData::fromText(c.text);
  ASSERT_EQ(p.Count(), 1 + 3 * c.pieces) << p.toText();
  EXPECT_EQ(kinds(p), "M" + std::string(static_cast<size_t>(3 * c.pieces), 'C'));
  for (int i = 0; i < c.pieces; ++i) {
    const TPointF e = c.pieceEnds[static_cast<size_t>(i)];
    EXPECT_TRUE(pointNear(p[3 * i + 3].Point, e.X, e.Y, 1e-4)) << "piece " << i;
  }
  // The arc ends exactly on the end point the text gives.
  EXPECT_TRUE(p.LastPoint().exactlyEquals(c.pieceEnds.back()));
}

INSTANTIATE_TEST_SUITE_P(
    PathDataSvgArcCases, PathDataSvgArc,
    ::testing::Values(
        // Semicircle about (10, 0); sweep flag 1 goes through the top (y down on screen).
        ArcCase{"M0,0 A10,10 0 0,1 20,0", 2, {{10, -10}, {20, 0}}},
        ArcCase{"M0,0 A10,10 0 0,0 20,0", 2, {{10, 10}, {20, 0}}},
        // Radii too small to reach are scaled up to the semicircle.
        ArcCase{"M0,0 A1,1 0 0 1 20,0", 2, {{10, -10}, {20, 0}}},
        // Relative end point, flags written without separators.
        ArcCase{"M0,0 a10 10 0 0120 0", 2, {{10, -10}, {20, 0}}},
        // Large arc about (0, -10): 270 degrees in three quarters.
        ArcCase{"M0,0 A10,10 0 1,1 10,-10", 3, {{-10, -10}, {0, -20}, {10, -10}}},
        ArcCase{"M0,0 A10,10 0 0,1 10,-10", 1, {{10, -10}}},
        // Ellipse turned by 90 degrees: its long axis (10) runs from (0,0) to (0,20).
        ArcCase{"M0,0 A10,5 90 0,1 0,20", 2, {{5, 10}, {0, 20}}},
        ArcCase{"M0,0 A10,5 90 0,0 0,20", 2, {{-5, 10}, {0, 20}}}));

TEST(PathDataSvgErrors, MalformedTextThrowsAndLeavesPathUnchanged) {
  const char *bad[] = {
      "M0,0 X10,10",            // unknown letter
      "M0,0 L10",               // missing coordinate
      "M0,0 L10,",              // missing coordinate at the end
      "M0,0 C1,1 2,2",          // curve without end point
      "L10,10",                 // does not begin with a move
      "10,10",                  // number without a command
      "garbage",                // letters
      "M0,0 Z 5,5",             // a close takes no numbers
      "M0,0 L10,#",             // stray character
      "M0,0 L1e400,0",          // out of range
      "M0,0 A10,10 0 2,1 5,5",  // arc flag not 0 or 1
      "M0,0 L-,3",              // sign without digits
      "M0,0 L.,3",              // point without digits
      "M0,0 L1e,3",             // "e" that is no exponent
  };
  TPathData original;
  original.MoveTo({1, 2});
  original.LineTo({3, 4});
  for (const char *text : bad) {
    TPathData p = original;
    EXPECT_THROW(p.setText(text), std::runtime_error) << text;
    EXPECT_EQ(p, original) << text;
    EXPECT_THROW(TPathData::fromText(text), std::runtime_error) << text;
  }
}

TEST(PathDataSvgErrors, MessageNamesTheProblem) {
  try {
    TPathData::fromText("M0,0 X10,10");
    FAIL() << "no exception";
  } catch (const std::runtime_error &e) {
    EXPECT_NE(std::string(e.what()).find("'X'"), std::string::npos) << e.what();
  }
  try {
    TPathData::fromText("L1,1");
    FAIL() << "no exception";
  } catch (const std::runtime_error &e) {
    EXPECT_NE(std::string(e.what()).find("move"), std::string::npos) << e.what();
  }
}

// ---------------------------------------------------------------------------------------
// Flattening

TEST(PathDataFlatten, StraightCubicAtPointThreeGivesHundredLines) {
  TPathData p = straightCubic(30);
  p.Flatten(0.3f);
  ASSERT_EQ(p.Count(), 101);  // n = 30 / 0.3 = 100
  EXPECT_EQ(p[0].Kind, K::MoveTo);
  for (int i = 1; i < p.Count(); ++i) EXPECT_EQ(p[i].Kind, K::LineTo) << i;
  EXPECT_TRUE(p[1].Point.exactlyEquals({0, 0}));  // the first line repeats the current point
  EXPECT_TRUE(p.LastPoint().exactlyEquals({30, 0}));
  // Lines i = 0..98 go to the curve at t = i/99, which on this curve is x = 30 i / 99.
  EXPECT_TRUE(pointNear(p[1 + 50].Point, 30.0 * 50 / 99, 0, 1e-5));
  EXPECT_TRUE(pointNear(p[1 + 98].Point, 30.0 * 98 / 99, 0, 1e-5));
}

TEST(PathDataFlatten, FlatnessBelowMinimumActsAsMinimum) {
  TPathData fine = straightCubic(3);
  TPathData minimum = straightCubic(3);
  fine.Flatten(0.001f);
  minimum.Flatten(0.05f);
  EXPECT_EQ(fine, minimum);
  EXPECT_EQ(minimum.Count(), 1 + 60);  // 3 / 0.05

  TPathData zero = straightCubic(3);
  zero.Flatten(0.0f);
  EXPECT_EQ(zero, minimum);
}

TEST(PathDataFlatten, LineCountRoundsHalvesToEven) {
  // Lengths that are exact binary fractions, so L / f is exactly the half.
  struct Case {
    float length;
    float flatness;
    int lines;
  } cases[] = {
      {0.375f, 0.25f, 1},  // 1.5 -> 2 -> one line
      {0.625f, 0.25f, 1},  // 2.5 -> 2 -> one line
      {0.875f, 0.25f, 4},  // 3.5 -> 4
      {1.125f, 0.25f, 4},  // 4.5 -> 4
      {1.375f, 0.25f, 6},  // 5.5 -> 6
      {0.3f, 0.3f, 1},     // 1 -> one line
      {3.0f, 1.0f, 3},     // 3 -> lines to t = 0, 1/2 and the end
  };
  for (const Case &c : cases) {
    TPathData p = straightCubic(c.length);
    p.Flatten(c.flatness);
    EXPECT_EQ(p.Count() - 1, c.lines) << c.length << " at " << c.flatness;
    EXPECT_EQ(kinds(p), "M" + std::string(static_cast<size_t>(c.lines), 'L')) << c.length;
    EXPECT_TRUE(p.LastPoint().exactlyEquals({c.length, 0}));
  }
  TPathData three = straightCubic(3.0f);
  three.Flatten(1.0f);
  EXPECT_TRUE(three[1].Point.exactlyEquals({0, 0}));
  EXPECT_TRUE(pointNear(three[2].Point, 1.5, 0, 1e-6));
}

// Up to kFlattenMaxLines lines a piece keeps its step; a longer piece gets that many
// lines, evenly spread in t, the last one still ending exactly at its end.
TEST(PathDataFlatten, OnlyPiecesLongerThanTheLineCapGetALongerStep) {
  struct Case {
    float length;
    int lines;
  } cases[] = {
      {30.0f, 100},      // 30 / 0.3
      {1500.0f, 5000},   // 1499.99994 / 0.3
      {2997.0f, 9990},   // just below the cap: unchanged
      {3003.0f, kFlattenMaxLines},
      {109005.0f, kFlattenMaxLines},
      {1e9f, kFlattenMaxLines},
  };
  for (const Case &c : cases) {
    TPathData p = straightCubic(c.length);
    p.Flatten(0.3f);
    ASSERT_EQ(p.Count() - 1, c.lines) << c.length;
    EXPECT_EQ(kinds(p), "M" + std::string(static_cast<size_t>(c.lines), 'L')) << c.length;
    EXPECT_TRUE(p.LastPoint().exactlyEquals({c.length, 0})) << c.length;
    // Lines i = 0..n-2 go to x = length i / (n - 1), whatever the step.
    const double step = double(c.length) / (c.lines - 1);
    for (int i : {0, 1, c.lines / 2, c.lines - 2})
      EXPECT_TRUE(pointNear(p[1 + i].Point, step * i, 0, 1e-6 * c.length)) << c.length << " line " << i;
  }
}

TEST(PathDataFlatten, LengthEstimateLeavesOutTheFiveSixthsPoint) {
  // Chords through t = 0, 1/6, 2/6, 3/6, 4/6, 1 sum to 23.5096; with t = 5/6 they would
  // sum to 23.7377. At f = 0.508 that is 46.28 -> 46 lines (not 46.73 -> 47).
  TPathData p;
  p.MoveTo({0, 0});
  p.CurveTo({0, 12}, {12, 12}, {12, 0});
  p.Flatten(0.508f);
  EXPECT_EQ(p.Count(), 1 + 46);
  // Points at t = i / 45; t = 1/3 (i = 15) is (28/9, 8).
  EXPECT_TRUE(pointNear(p[1 + 15].Point, 28.0 / 9.0, 8.0, 1e-5));
}

TEST(PathDataFlatten, CopiesOtherEntriesAndStartsCurvesAtPreviousPoint) {
  TPathData p;
  p.MoveTo({0, 0});
  p.LineTo({10, 0});
  p.ClosePath();
  // After the close the current point is the contour start (0, 0), not (10, 0).
  p.CurveTo({1, 0}, {2, 0}, {3, 0});
  p.MoveTo({5, 5});
  p.CurveTo({5, 5}, {5, 5}, {5.1f, 5});  // short: one line
  p.Flatten(0.05f);
  ASSERT_EQ(kinds(p), "MLZ" + std::string(60, 'L') + "ML");
  EXPECT_TRUE(p[1].Point.exactlyEquals({10, 0}));
  EXPECT_TRUE(p[2].Point.exactlyEquals({0, 0}));
  EXPECT_TRUE(p[3].Point.exactlyEquals({0, 0}));
  EXPECT_TRUE(p[62].Point.exactlyEquals({3, 0}));
  EXPECT_TRUE(p[63].Point.exactlyEquals({5, 5}));
  EXPECT_TRUE(p[64].Point.exactlyEquals({5.1f, 5}));

  // Flattening a flat path changes nothing.
  TPathData again = p;
  again.Flatten(0.3f);
  EXPECT_EQ(again, p);
}

// ---------------------------------------------------------------------------------------
// Arcs and ellipses

TEST(PathDataArc, FullCircleClosesOnItselfWithinTolerance) {
  TPathData p;
  p.AddArc({5, -3}, {10, 10}, 30, 360);
  ASSERT_EQ(kinds(p), "M" + std::string(12, 'C'));
  const double a = 30 * std::numbers::pi / 180;
  EXPECT_TRUE(pointNear(p[0].Point, 5 + 10 * std::cos(a), -3 + 10 * std::sin(a), 1e-5));
  EXPECT_TRUE(pointNear(p.LastPoint(), p[0].Point.X, p[0].Point.Y, 1e-5));

  p.Flatten(0.05f);
  for (const TPathPoint &e : p.Points()) {
    const double r = std::hypot(e.Point.X - 5.0, e.Point.Y + 3.0);
    EXPECT_NEAR(r, 10.0, 0.01);
  }
}

TEST(PathDataArc, PieceCountFollowsNinetyDegreeRule) {
  struct Case {
    float start, sweep;
    int pieces;
    float endDegrees;  // where the last piece ends
  } cases[] = {
      {0, 180, 2, 180},   {0, -180, 2, -180}, {0, 90, 1, 90},    {0, 90.5f, 1, 90.5f},
      {0, 91, 2, 91},     {10, 270, 3, 280},  {0, 45, 1, 45},    {0, 360, 4, 360},
      {0, 400, 4, 360},   {0, -720, 4, -360}, {-90, 135, 2, 45},
  };
  for (const Case &c : cases) {
    TPathData p;
    p.AddArc({0, 0}, {10, 10}, c.start, c.sweep);
    EXPECT_EQ(kinds(p), "M" + std::string(static_cast<size_t>(3 * c.pieces), 'C')) << c.sweep;
    const double e = c.endDegrees * std::numbers::pi / 180;
    EXPECT_TRUE(pointNear(p.LastPoint(), 10 * std::cos(e), 10 * std::sin(e), 1e-5)) << c.sweep;
  }
}

TEST(PathDataArc, QuarterOfEllipseHasTangentHandles) {
  TPathData p;
  p.AddArc({0, 0}, {4, 2}, 0, 90);  // clockwise on screen: from (4,0) down to (0,2)
  const double k = 4.0 / 3.0 * std::tan(std::numbers::pi / 8);  // 0.5522847
  ASSERT_EQ(p.Count(), 4);
  EXPECT_TRUE(pointNear(p[0].Point, 4, 0, 1e-6));
  EXPECT_TRUE(pointNear(p[1].Point, 4, 2 * k, 1e-6));
  EXPECT_TRUE(pointNear(p[2].Point, 4 * k, 2, 1e-6));
  EXPECT_TRUE(pointNear(p[3].Point, 0, 2, 1e-6));

  TPathData up;
  up.AddArc({0, 0}, {10, 10}, 0, -90);  // counter-clockwise: up to (0,-10)
  EXPECT_TRUE(pointNear(up[1].Point, 10, -10 * k, 1e-5));
  EXPECT_TRUE(pointNear(up.LastPoint(), 0, -10, 1e-5));
}

TEST(PathDataArc, TinySweepAddsNothing) {
  TPathData p;
  p.MoveTo({1, 1});
  p.AddArc({0, 0}, {10, 10}, 45, 0);
  p.AddArc({0, 0}, {10, 10}, 45, 1e-9f);  // 1.7e-11 radian
  EXPECT_EQ(p.Count(), 1);
  p.AddArc({0, 0}, {10, 10}, 0, 1e-6f);  // 1.7e-8 radian: a move and one tiny piece
  EXPECT_EQ(kinds(p), "MMCCC");
}

TEST(PathDataEllipse, MoveAndFourQuarterCurvesClockwise) {
  TPathData p;
  p.AddEllipse(TRectF(0, 0, 20, 10));
  ASSERT_EQ(kinds(p), "MCCCCCCCCCCCC");  // no close entry
  const double hx = 10 * 0.5522847498, hy = 5 * 0.5522847498;
  const double expected[13][2] = {
      {0, 5},                                                  // left
      {0, 5 - hy}, {10 - hx, 0}, {10, 0},                      // top
      {10 + hx, 0}, {20, 5 - hy}, {20, 5},                     // right
      {20, 5 + hy}, {10 + hx, 10}, {10, 10},                   // bottom
      {10 - hx, 10}, {0, 5 + hy}, {0, 5},                      // back to the left
  };
  for (int i = 0; i < 13; ++i) EXPECT_TRUE(pointNear(p[i].Point, expected[i][0], expected[i][1], 1e-5)) << i;
  EXPECT_TRUE(p.LastPoint().exactlyEquals(p[0].Point));
}

// ---------------------------------------------------------------------------------------
// Building, reading, transforms, comparison

TEST(PathDataBuild, CloseReturnsToStartOfCurrentContour) {
  TPathData p;
  p.ClosePath();  // nothing drawn yet: at the origin
  p.MoveTo({1, 1});
  p.LineTo({5, 1});
  p.ClosePath();
  p.LineTo({9, 9});
  p.ClosePath();  // still the contour that began at (1, 1)
  p.MoveTo({20, 20});
  p.CurveTo({21, 20}, {22, 21}, {22, 22});
  p.ClosePath();
  EXPECT_EQ(kinds(p), "ZMLZLZMCCCZ");
  EXPECT_TRUE(p[0].Point.exactlyEquals({0, 0}));
  EXPECT_TRUE(p[3].Point.exactlyEquals({1, 1}));
  EXPECT_TRUE(p[5].Point.exactlyEquals({1, 1}));
  EXPECT_TRUE(p[10].Point.exactlyEquals({20, 20}));
}

TEST(PathDataBuild, BoundsLastPointAndAddPath) {
  TPathData empty;
  EXPECT_EQ(empty.GetBounds(), TRectF(0, 0, 0, 0));
  EXPECT_TRUE(empty.LastPoint().exactlyEquals({0, 0}));

  TPathData p;
  p.MoveTo({2, 3});
  p.CurveTo({-4, 1}, {8, 12}, {5, 5});  // control points count
  EXPECT_EQ(p.GetBounds(), TRectF(-4, 1, 8, 12));
  EXPECT_TRUE(p.LastPoint().exactlyEquals({5, 5}));

  TPathData single;
  single.MoveTo({7, -2});
  EXPECT_EQ(single.GetBounds(), TRectF(7, -2, 7, -2));

  TPathData sum = p;
  sum.AddPath(single);
  sum.AddPath(sum);
  EXPECT_EQ(kinds(sum), "MCCCMMCCCM");
  EXPECT_TRUE(sum.LastPoint().exactlyEquals({7, -2}));
  sum.Clear();
  EXPECT_TRUE(sum.IsEmpty());
}

TEST(PathDataTransform, MatrixTranslateAndScale) {
  TPathData p;
  p.MoveTo({1, 0});
  p.LineTo({0, 2});
  p.ApplyMatrix(TMatrix::rotation(std::numbers::pi / 2));
  EXPECT_TRUE(pointNear(p[0].Point, 0, 1, 1e-6));
  EXPECT_TRUE(pointNear(p[1].Point, -2, 0, 1e-6));

  TPathData q;
  q.MoveTo({1, 2});
  q.ClosePath();
  q.Translate(10, -1);
  EXPECT_TRUE(q[0].Point.exactlyEquals({11, 1}));
  EXPECT_TRUE(q[1].Point.exactlyEquals({11, 1}));  // the close point moves too
  q.Scale(2, -3);
  EXPECT_TRUE(q[0].Point.exactlyEquals({22, -3}));
  q.ApplyMatrix(TMatrix::translation(1, 1) * TMatrix::scaling(0.5, 2));
  EXPECT_TRUE(q[0].Point.exactlyEquals({11.5f, -4}));
}

TEST(PathDataCompare, KindsAndExactValues) {
  TPathData a;
  a.MoveTo({1, 2});
  a.LineTo({3, 4});
  TPathData same = a;
  EXPECT_TRUE(a == same);

  TPathData otherKind;
  otherKind.MoveTo({1, 2});
  otherKind.MoveTo({3, 4});
  EXPECT_FALSE(a == otherKind);

  // One unit in the last place differs, although the canvas' point equality would
  // call the points the same.
  TPathData nudged;
  nudged.MoveTo({1, 2});
  nudged.LineTo({std::nextafter(3.0f, 4.0f), 4});
  EXPECT_TRUE(nudged[1].Point == a[1].Point);
  EXPECT_FALSE(a == nudged);

  TPathData longer = a;
  longer.ClosePath();
  EXPECT_FALSE(a == longer);
}

}  // namespace
}  // namespace quillon
