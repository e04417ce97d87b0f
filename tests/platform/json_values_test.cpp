#include "platform/json_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace quillon {
namespace {

constexpr float kMaxFloat = std::numeric_limits<float>::max();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr auto kNone = TJsonFault::None;
constexpr auto kWrongType = TJsonFault::WrongType;
constexpr auto kBadValue = TJsonFault::BadValue;
constexpr auto kOutOfRange = TJsonFault::OutOfRange;

// One row of a reader's table: the value, what the reader must say about it, and the
// value it must give when it takes it.
template <typename T>
struct TCase {
  TJson value;
  TJsonFault fault;
  T expected{};
};

template <typename T, typename Read>
void checkTable(const std::vector<TCase<T>> &cases, Read read) {
  for (const TCase<T> &c : cases) {
    SCOPED_TRACE(c.value.dump());
    const TJsonRead<T> got = read(c.value);
    EXPECT_EQ(got.Fault, c.fault);
    EXPECT_EQ(static_cast<bool>(got), c.fault == kNone);
    if (c.fault == kNone) {
      EXPECT_EQ(got.Value, c.expected);
    }
  }
}

TEST(JsonValues, Integers) {
  checkTable<int>(
      {
          {"42", kNone, 42},
          {" -7\t", kNone, -7},  // blanks around a text are allowed
          {"+5", kNone, 5},
          {"2147483647", kNone, 2147483647},
          {42, kNone, 42},
          {42.0, kNone, 42},  // a whole JSON float
          {-2147483648LL, kNone, std::numeric_limits<int>::min()},
          {2147483647ULL, kNone, std::numeric_limits<int>::max()},
          {-2147483648.0, kNone, std::numeric_limits<int>::min()},
          {"1.0", kBadValue},  // not an integer text
          {"abc", kBadValue},
          {"", kBadValue},
          {"2147483648", kBadValue},
          {"0x10", kBadValue},
          {2147483648LL, kOutOfRange},
          {-2147483649LL, kOutOfRange},
          {4294967296ULL, kOutOfRange},
          {1.5, kOutOfRange},
          {2147483648.0, kOutOfRange},
          {nullptr, kWrongType},
          {true, kWrongType},
          {TJson::array({1}), kWrongType},
          {TJson::object(), kWrongType},
      },
      readJsonInt);
}

TEST(JsonValues, Numbers) {
  checkTable<double>(
      {
          {"12.5", kNone, 12.5},
          {" 3 ", kNone, 3.0},
          {"1E-5", kNone, 1e-5},
          {"-2.5e-7", kNone, -2.5e-7},
          {"1e300", kNone, 1e300},  // a double: no float range here
          {7, kNone, 7.0},
          {-0.25, kNone, -0.25},
          {"1,5", kBadValue},  // the C locale's "." only
          {"ten", kBadValue},
          {"", kBadValue},
          {"1.0.0", kBadValue},
          {nullptr, kWrongType},
          {false, kWrongType},
          {TJson::array(), kWrongType},
      },
      readJsonNumber);
}

TEST(JsonValues, Floats) {
  const auto finite = [](const TJson &v) { return readJsonFloat(v, TNonFinite::Refuse); };
  const auto any = [](const TJson &v) { return readJsonFloat(v, TNonFinite::Accept); };
  const std::vector<TCase<float>> both = {
      {"12.3999996185303", kNone, 12.4f},
      {12.5, kNone, 12.5f},
      {"-7", kNone, -7.0f},
      // The largest float written with 15 digits reads back as the largest float, and so
      // does anything up to half a step above it; from there on no float holds it.
      {"3.40282346638529E38", kNone, kMaxFloat},
      {-3.40282346638529E38, kNone, -kMaxFloat},
      {"3.40282356779733E38", kNone, kMaxFloat},
      {"3.40282356779734E38", kOutOfRange},
      {"1e39", kOutOfRange},
      {-1e300, kOutOfRange},
      {"1,5", kBadValue},
      {"x", kBadValue},
      {nullptr, kWrongType},
      {true, kWrongType},
  };
  checkTable(both, finite);
  checkTable(both, any);

  checkTable<float>({{"INF", kOutOfRange}, {"-INF", kOutOfRange}, {"NAN", kOutOfRange}}, finite);
  checkTable<float>({{"INF", kNone, kInf}, {"-INF", kNone, -kInf}}, any);
  const TJsonRead<float> nan = any("NAN");
  EXPECT_TRUE(nan);
  EXPECT_TRUE(std::isnan(nan.Value));
}

TEST(JsonValues, BooleansAsFlags) {
  checkTable<bool>(
      {
          {"-1", kNone, true},
          {"1", kNone, true},
          {"0", kNone, false},
          {true, kNone, true},
          {false, kNone, false},
          {"true", kBadValue},
          {"false", kBadValue},
          {"2", kBadValue},
          {"-1 ", kBadValue},
          {"", kBadValue},
          {1, kWrongType},
          {0, kWrongType},
          {nullptr, kWrongType},
      },
      [](const TJson &v) { return readJsonBool(v, TBoolForms::Flags); });
}

TEST(JsonValues, BooleansLenient) {
  checkTable<bool>(
      {
          {"-1", kNone, true},
          {"0", kNone, false},
          {"true", kNone, true},
          {"FALSE", kNone, false},
          {" True\r\n", kNone, true},
          {"2", kNone, true},  // any whole number: not 0 is true
          {"+0", kNone, false},
          {" -0 ", kNone, false},
          {1, kNone, true},
          {0, kNone, false},
          {-5, kNone, true},
          {18446744073709551615ULL, kNone, true},
          {true, kNone, true},
          {false, kNone, false},
          {"yes", kBadValue},
          {"1.0", kBadValue},
          {"", kBadValue},
          {"99999999999", kBadValue},  // beyond 32 bits as a text
          {1.0, kWrongType},
          {nullptr, kWrongType},
          {TJson::array(), kWrongType},
      },
      [](const TJson &v) { return readJsonBool(v, TBoolForms::Lenient); });
}

TEST(JsonValues, TextsAreViewedInPlace) {
  const TJson text = "Gürtel \"A\"";
  const TJsonRead<std::string_view> read = readJsonText(text);
  ASSERT_TRUE(read);
  EXPECT_EQ(read.Value, "Gürtel \"A\"");
  EXPECT_EQ(read.Value.data(), text.get_ref<const std::string &>().data());
  EXPECT_TRUE(readJsonText(""));

  for (const TJson &other : {TJson(5), TJson(nullptr), TJson(true), TJson::array({"a"}), TJson::object()}) {
    SCOPED_TRACE(other.dump());
    EXPECT_EQ(readJsonText(other).Fault, kWrongType);
  }
}

TEST(JsonValues, Points) {
  struct PointCase {
    TJson value;
    TJsonFault fault;
    float x = 0, y = 0;
  };
  const std::vector<PointCase> cases = {
      {TJson::array({1.5, -2}), kNone, 1.5f, -2.0f},
      {TJson::array({"1.5", "2"}), kNone, 1.5f, 2.0f},
      {TJson::array({1, 2, 99}), kNone, 1.0f, 2.0f},  // further elements are ignored
      {TJson::array({3.40282346638529E38, -3.40282346638529E38}), kNone, kMaxFloat, -kMaxFloat},
      {TJson::array({1}), kBadValue},
      {TJson::array(), kBadValue},
      {TJson::array({1, "a"}), kBadValue},
      {TJson::array({nullptr, 1}), kBadValue},
      {TJson::array({TJson::array({1, 2}), 1}), kBadValue},
      {TJson::array({1e39, 0}), kOutOfRange},
      {TJson::array({0, "INF"}), kOutOfRange},
      {TJson::array({"NAN", 0}), kOutOfRange},
      {"1,2", kWrongType},
      {TJson::object({{"x", 1}, {"y", 2}}), kWrongType},
      {nullptr, kWrongType},
  };
  for (const PointCase &c : cases) {
    SCOPED_TRACE(c.value.dump());
    const TJsonRead<TPointF> got = readJsonPoint(c.value);
    EXPECT_EQ(got.Fault, c.fault);
    if (c.fault != kNone) continue;
    EXPECT_EQ(got.Value.X, c.x);
    EXPECT_EQ(got.Value.Y, c.y);
  }
}

}  // namespace
}  // namespace quillon
