#include "model/point_helpers.h"
#include "model/color_names.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/model_test_util.h"
#include "platform/json_text.h"

namespace quillon {
namespace {

using test::pointNear;

TEST(PointHelpers, Round2RoundsHalvesAwayFromZero) {
  EXPECT_FLOAT_EQ(round2(2.345f), 2.35f);
  EXPECT_FLOAT_EQ(round2(-2.345f), -2.35f);
  EXPECT_EQ(round2(0.004f), 0.0f);
  // Exact binary halves round away from zero; a float just below a half does not.
  EXPECT_FLOAT_EQ(round2(0.125f), 0.13f);
  EXPECT_FLOAT_EQ(round2(-0.125f), -0.13f);
  EXPECT_FLOAT_EQ(round2(-0.005f), 0.0f);  // -0.004999999888...
  const TPointF p = roundPoint4({1.03125f, -1.03125f});
  EXPECT_FLOAT_EQ(p.X, 1.0313f);
  EXPECT_FLOAT_EQ(p.Y, -1.0313f);
}

TEST(PointHelpers, ClosenessRulesUseTheirFixedTolerances) {
  struct Case {
    TPointF a, b;
    float tol;
    bool same;
  };
  const Case cases[] = {
      {{1.004f, 0}, {0.996f, 0}, 0.0f, true},   // both round to 1.00
      {{1.004f, 0}, {1.006f, 0}, 0.0f, false},  // 1.00 against 1.01
      {{0, 0}, {0.5f, 0}, 0.5f, false},          // not strictly below
      {{0, 0}, {0.49f, 0}, 0.5f, true},
  };
  for (const auto &c : cases) EXPECT_EQ(isSamePoint(c.a, c.b, c.tol), c.same) << c.b.X << " tol " << c.tol;

  EXPECT_TRUE(isCoincident({0, 0}, {0.0079f, 0}));
  EXPECT_FALSE(isCoincident({0, 0}, {0.0081f, 0}));
  // The float distance 0.05 lies slightly above the double constant 0.05.
  EXPECT_FALSE(isNearPoint({0, 0}, {0.05f, 0}));
  EXPECT_TRUE(isNearPoint({0, 0}, {0.0499f, 0}));
  EXPECT_FALSE(isAlmostNearPoint({0, 0}, {0.04f, 0}));
  EXPECT_TRUE(isAlmostNearPoint({0, 0}, {0.1f, 0}));
  EXPECT_TRUE(isAlmostNearPoint({0, 0}, {0.19f, 0}));
  EXPECT_FALSE(isAlmostNearPoint({0, 0}, {0.21f, 0}));
}

TEST(PointHelpers, AxisFolding) {
  EXPECT_FLOAT_EQ(foldAngleToAxis(-100), 10);
  EXPECT_FLOAT_EQ(foldAngleToAxis(135), 45);
  EXPECT_FLOAT_EQ(foldAngleToAxis(270.25f), 0.25f);
  EXPECT_FALSE(isSlightlyOffAxis(0));
  EXPECT_TRUE(isSlightlyOffAxis(0.5f));
  EXPECT_TRUE(isSlightlyOffAxis(89.6f));
  EXPECT_FALSE(isSlightlyOffAxis(0.6f));
  EXPECT_FALSE(isSlightlyOffAxis(90));
}

TEST(PointHelpers, VectorsAndAngles) {
  EXPECT_DOUBLE_EQ(calcVectorAngle({0, -1}), 3 * std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(calcVectorAngle({0, 0}), 0.0);
  EXPECT_TRUE(pointNear(rotateVector({1, 0}, 90), {0, 1}, 1e-7));
  EXPECT_TRUE(pointNear(calcUnitVector({1, 1}, {4, 5}), {0.6f, 0.8f}, 1e-7));
  EXPECT_TRUE(pointNear(calcUnitVector({1, 1}, {1, 1}), {0, 0}, 0));
  EXPECT_TRUE(pointNear(calcPerpendicular({1, 0}, true), {0, -1}, 0));
  EXPECT_TRUE(pointNear(calcPerpendicular({1, 0}, false), {0, 1}, 0));
  EXPECT_FLOAT_EQ(calcCosBetween({0, 0}, {1, 0}), -1);
  EXPECT_FLOAT_EQ(calcAngleBetween({0, 0}, {1, 0}), 180);
  EXPECT_NEAR(calcAngleBetween({1, 0}, {1, 1}), 45, 1e-5);
  // A positive angle turns +x toward +y.
  EXPECT_TRUE(pointNear(rotatePoint({2, 1}, {1, 1}, 90), {1, 2}, 1e-6));
  EXPECT_TRUE(pointNear(rotatePointWithMatrix({2, 1}, 90, {1, 1}), {1, 2}, 1e-6));
  EXPECT_EQ(calcRotationSense({1, 0}, {0, 1}, {0, 0}), 1);
  EXPECT_EQ(calcRotationSense({1, 0}, {0, -1}, {0, 0}), -1);
}

TEST(PointHelpers, AngleAtVertexSignAndReflex) {
  struct Case {
    TPointF p2;
    bool reflex;
    int hint;
    float expected;
  };
  const Case cases[] = {
      {{0, 1}, false, 0, 90},    {{0, 1}, true, 0, -270}, {{0, -1}, false, 0, -90},
      {{0, -1}, true, 0, 270},   {{0, 1}, false, -1, -90}, {{0, 1}, true, 1, 270},
      {{-1, 1}, false, 0, 135},  {{1, -1}, true, 0, 315},
  };
  for (const auto &c : cases)
    EXPECT_NEAR(calcAngleAtVertex({0, 0}, {1, 0}, c.p2, c.reflex, c.hint), c.expected, 1e-3)
        << c.p2.X << "," << c.p2.Y << " reflex " << c.reflex << " hint " << c.hint;
}

TEST(PointHelpers, ArcPointAngleAndTriangleHeight) {
  EXPECT_FLOAT_EQ(calcArcPointAngle({0, 0}, {10, 0}, {10, 10}), 0);
  EXPECT_FLOAT_EQ(calcArcPointAngle({0, 0}, {0, -10}, {10, 10}), -90);  // above the centre
  EXPECT_FLOAT_EQ(calcArcPointAngle({0, 0}, {0, 10}, {10, 10}), 90);
  EXPECT_FLOAT_EQ(calcArcPointAngle({0, 0}, {-10, 0}, {10, 10}), 180);
  // Outside the radius the cosine is clamped.
  EXPECT_FLOAT_EQ(calcArcPointAngle({0, 0}, {12, 1}, {10, 10}), 0);
  EXPECT_FLOAT_EQ(calcTriangleHeight(3, 4, 5), 2.4f);
  EXPECT_FLOAT_EQ(calcTriangleHeight(1, 1, 5), 0);  // no such triangle
}

TEST(PointHelpers, PointOnSegment) {
  float cross = 0;
  EXPECT_TRUE(isPointOnSegment({0, 0}, {10, 0}, {5, 0.05f}, cross, 0.1f));
  EXPECT_FLOAT_EQ(cross, 0.5f);
  EXPECT_FALSE(isPointOnSegment({0, 0}, {10, 0}, {5, 0.2f}, cross, 0.1f));
  EXPECT_FALSE(isPointOnSegment({0, 0}, {10, 0}, {10.5f, 0}, cross, 0.1f));
  EXPECT_FALSE(isPointOnSegment({3, 3}, {3, 3}, {3, 3}, cross, 0.1f));  // zero-length segment
}

TEST(PointHelpers, PointJsonForms) {
  EXPECT_EQ(writeJsonText(pointToJson({12.4f, 0})), "[12.3999996185303,0.0]");
  EXPECT_EQ(writeJsonText(pointToJson({-3, 0.5f})), "[-3.0,0.5]");
  const TPointF p = jsonToPoint(parseJsonText(R"(["1.5", 2])"));
  EXPECT_TRUE(pointNear(p, {1.5f, 2}, 0));
  EXPECT_TRUE(pointNear(jsonToPoint(pointToJson({12.4f, -7.1f})), {12.4f, -7.1f}, 0));
  // Non-finite coordinates have no JSON form: written as null, refused on read.
  EXPECT_EQ(writeJsonText(pointToJson({std::nanf(""), 1})), "[null,1.0]");
  for (const char *bad : {"[1]", "[]", R"(["a", 1])", "{}", "[null, 1]", "[1e39, 0]", R"(["INF", 0])"})
    EXPECT_THROW(jsonToPoint(parseJsonText(bad)), std::runtime_error) << bad;
}

TEST(PointHelpers, ColourTexts) {
  EXPECT_EQ(colorToHexARGB(0xFF0080C0), "FF0080C0");
  EXPECT_EQ(colorToText(0xFF000000), "Black");
  EXPECT_EQ(colorToText(0xFF00FFFF), "Aqua");  // first name of a shared value
  EXPECT_EQ(colorToText(0x80FF0000), "#80FF0000");
  EXPECT_EQ(colorToSvgText(0xFF102030), "#102030");
  EXPECT_EQ(colorToSvgText(0x80102030), "#80102030");
  EXPECT_EQ(colorToSvgText(0xFFFF0000), "Red");

  struct Case {
    const char *text;
    TAlphaColor value;
  };
  const Case reads[] = {
      {"", 0},
      {"#FF0000", 0x00FF0000},  // taken as written: alpha 0
      {"#FF102030", 0xFF102030},
      {"x80102030", 0x80102030},
      {"white", 0xFFFFFFFF},
      {"claRed", 0xFFFF0000},
      {"CORNFLOWERBLUE", 0xFF6495ED},
      {"-1", 0xFFFFFFFF},
      {"255", 0x000000FF},
      {"$FF00FF00", 0xFF00FF00},
  };
  for (const auto &c : reads) EXPECT_EQ(textToColor(c.text), c.value) << c.text;
  for (const char *bad : {"#12G", "notacolour", "#123456789", "12.5"})
    EXPECT_THROW(textToColor(bad), std::runtime_error) << bad;
  EXPECT_THROW(jsonToColor(nlohmann::ordered_json(5)), std::runtime_error);
}

TEST(PointHelpers, EveryNamedColourRoundTrips) {
  for (const auto &entry : namedColors()) {
    const TAlphaColor value = textToColor(std::string(entry.Name));
    EXPECT_EQ(value, entry.Value) << entry.Name;
    EXPECT_EQ(textToColor(colorToText(value)), value) << entry.Name;
  }
  EXPECT_EQ(namedColors().size(), 147u);
}

}  // namespace
}  // namespace quillon
