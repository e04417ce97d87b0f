#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>

namespace quillon {
namespace {

TEST(NumberText, FloatsAreWidenedAndWrittenWith15Digits) {
  struct Case {
    float value;
    const char *withDotZero;
    const char *withoutDotZero;
  };
  const Case cases[] = {
      {10.0f, "10.0", "10"},
      {0.5f, "0.5", "0.5"},
      {12.4f, "12.3999996185303", "12.3999996185303"},
      {3.85f, "3.84999990463257", "3.84999990463257"},
      {3.38f, "3.38000011444092", "3.38000011444092"},
      {0.0f, "0.0", "0"},
      {-0.0f, "0.0", "0"},
      {-3.0f, "-3.0", "-3"},
      {2147483648.0f, "2147483648.0", "2147483648"},
      {0.0001f, "9.99999974737875E-5", "9.99999974737875E-5"},
      {0.25f, "0.25", "0.25"},
      {1e20f, "1.00000002004088E20", "1.00000002004088E20"},
      {1e15f, "999999986991104.0", "999999986991104"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(floatToText(c.value), c.withDotZero) << c.value;
    EXPECT_EQ(floatToTextNoDotZero(c.value), c.withoutDotZero) << c.value;
  }
  EXPECT_EQ(doubleToText(1e-5), "1E-5");
  EXPECT_EQ(doubleToText(0.0001), "0.0001");
  EXPECT_EQ(doubleToText(1e15), "1E15");
  EXPECT_EQ(doubleToText(-2.5e-7), "-2.5E-7");
  EXPECT_EQ(doubleToText(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(doubleToText(std::nan("")), "NAN");
}

TEST(NumberText, WrittenFloatsReadBackToTheSameFloat) {
  for (float v : {12.4f, -7.1f, 3.38f, 1e-6f, 123456.789f, 0.3f, 1e30f, -0.0001234f}) {
    const auto back = parseDouble(floatToText(v));
    ASSERT_TRUE(back.has_value()) << v;
    EXPECT_EQ(static_cast<float>(*back), v);
  }
}

TEST(NumberText, ParsingIsStrictAndLocaleFree) {
  struct Case {
    const char *text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"1.5", 1.5},   {" -2.25 ", -2.25}, {"+3", 3.0},      {"1E-5", 1e-5}, {"1.5e3", 1500.0},
      {".5", 0.5},    {"1e-400", 0.0},    {"1,5", std::nullopt}, {"", std::nullopt},
      {"abc", std::nullopt}, {"1.5x", std::nullopt}, {"1e400", std::nullopt}, {"inf", std::nullopt},
      {"- 1", std::nullopt},
  };
  for (const auto &c : cases) EXPECT_EQ(parseDouble(c.text), c.value) << c.text;
  EXPECT_EQ(parseDoubleAcceptComma("3,5"), 3.5);
  EXPECT_EQ(parseDoubleAcceptComma("3.5"), 3.5);
  EXPECT_TRUE(std::isinf(*parseDouble("-INF")));
  EXPECT_TRUE(std::isnan(*parseDouble("NAN")));

  EXPECT_EQ(parseInt32("-12"), -12);
  EXPECT_EQ(parseInt32("+7"), 7);
  EXPECT_EQ(parseInt32("2147483648"), std::nullopt);
  EXPECT_EQ(parseInt32("1.0"), std::nullopt);
  EXPECT_EQ(parseInt32(""), std::nullopt);
}

TEST(NumberText, RoundingHelpers) {
  struct Case {
    double value;
    int decimals;
    double even, away;
  };
  const Case cases[] = {
      {2.5, 0, 2.0, 3.0},     {3.5, 0, 4.0, 4.0},     {-2.5, 0, -2.0, -3.0},
      {0.125, 2, 0.12, 0.13}, {-0.375, 2, -0.38, -0.38}, {1.2, 0, 1.0, 1.0},
  };
  for (const auto &c : cases) {
    EXPECT_DOUBLE_EQ(roundHalfEven(c.value, c.decimals), c.even) << c.value;
    EXPECT_DOUBLE_EQ(roundHalfAwayFromZero(c.value, c.decimals), c.away) << c.value;
  }
}

// Values where adding a half before truncating goes wrong: the largest double below 0.5,
// and whole numbers above 2^52 whose neighbours are 1 or 2 apart. Compared exactly.
TEST(NumberText, RoundingIsExactAtTheEdgesOfDoublePrecision) {
  const double belowHalf = std::nextafter(0.5, 0.0);  // 0.49999999999999994
  const double two52 = 4503599627370496.0;
  const struct {
    double value, expected;
  } cases[] = {
      {belowHalf, 0.0},        {-belowHalf, -0.0},          {two52 + 1.0, two52 + 1.0},
      {two52 + 3.0, two52 + 3.0}, {-(two52 + 1.0), -(two52 + 1.0)}, {2.0 * two52 + 2.0, 2.0 * two52 + 2.0},
      {0.5, 1.0},              {1.5, 2.0},                  {-0.5, -1.0},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(roundHalfAwayFromZero(c.value), c.expected) << std::setprecision(17) << c.value;
    EXPECT_EQ(std::signbit(roundHalfAwayFromZero(c.value)), std::signbit(c.expected)) << c.value;
  }
  EXPECT_EQ(roundHalfEven(two52 + 1.0), two52 + 1.0);
  EXPECT_EQ(roundHalfEven(belowHalf), 0.0);
}

}  // namespace
}  // namespace quillon
