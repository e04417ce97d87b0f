#include "shell/length_units.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "shell/options.h"

namespace quillon {
namespace {

TLengthFormatSettings inches(TInchDisplayMode mode, int digits = 6, int denominator = 64) {
  TLengthFormatSettings s;
  s.UnitMode = umIN;
  s.InchDisplayMode = mode;
  s.InchDecimalDigits = digits;
  s.InchFractionDenom = denominator;
  return s;
}

TLengthFormatSettings millimetres(int digits = 2) {
  TLengthFormatSettings s;
  s.UnitMode = umMM;
  s.MmDecimalDigits = digits;
  return s;
}

TEST(LengthUnits, Conversions) {
  EXPECT_DOUBLE_EQ(MmToInch(25.4), 1.0);
  EXPECT_DOUBLE_EQ(MmToInch(38.1), 1.5);
  EXPECT_DOUBLE_EQ(InchToMm(2.0), 50.8);
  EXPECT_DOUBLE_EQ(InchToMm(MmToInch(123.456)), 123.456);
}

TEST(LengthUnits, FormatLength) {
  struct Case {
    double mm;
    TLengthFormatSettings settings;
    bool withUnit, fractionOnly;
    const char *expected;
  };
  const Case cases[] = {
      // millimetres
      {12.3, millimetres(2), true, false, "12.30 mm"},
      {12.3, millimetres(2), false, false, "12.30"},
      {-12.3, millimetres(2), true, false, "-12.30 mm"},
      {12.3, millimetres(-1), true, false, "12 mm"},
      {0.125, millimetres(2), true, false, "0.13 mm"},
      {-0.125, millimetres(2), true, false, "-0.13 mm"},
      {-0.001, millimetres(2), true, false, "0.00 mm"},
      // inch decimals; below 0.0001 inch is 0
      {25.4, inches(idmDecimal, 3), true, false, "1.000 in"},
      {10, inches(idmDecimal, 6), true, false, "0.393701 in"},
      {0.001, inches(idmDecimal, 6), true, false, "0.000000 in"},
      {-0.001, inches(idmDecimal, 6), true, false, "0.000000 in"},
      {-50.8, inches(idmDecimal, 2), false, false, "-2.00"},
      // fractions, reduced
      {38.1, inches(idmFraction), true, false, "1 1/2 in"},
      {-12.7, inches(idmFraction), true, false, "-1/2 in"},
      {-38.1, inches(idmFraction), true, false, "-1 1/2 in"},
      {50.8, inches(idmFraction), true, false, "2 in"},
      {19.05, inches(idmFraction), true, false, "3/4 in"},
      {10, inches(idmFraction), true, false, "25/64 in"},
      {1, inches(idmFraction), false, false, "3/64"},
      {10, inches(idmFraction, 6, 16), true, false, "3/8 in"},
      {38.1, inches(idmFraction, 6, 0), true, false, "1 1/2 in"},
      {0, inches(idmFraction), true, false, "0 in"},
      {-0.05, inches(idmFraction), true, false, "0 in"},
      // halves of the grid step go to the even step
      {InchToMm(1.0 / 128), inches(idmFraction), true, false, "0 in"},
      {InchToMm(5.0 / 128), inches(idmFraction), true, false, "1/32 in"},
      {InchToMm(1.25), inches(idmFraction, 6, 2), true, false, "1 in"},
      {InchToMm(1.75), inches(idmFraction, 6, 2), true, false, "2 in"},
      // hybrid: the fraction with the decimals when on the grid, else the decimals
      {25.4, inches(idmHybrid), true, false, "1 in (1.000000)"},
      {25.4, inches(idmHybrid), true, true, "1 in"},
      {25.4, inches(idmHybrid), false, false, "1 (1.000000)"},
      {-25.4, inches(idmHybrid), true, false, "-1 in (-1.000000)"},
      {38.1, inches(idmHybrid, 6, 0), true, false, "1 1/2 in (1.500000)"},
      {10, inches(idmHybrid), true, false, "0.393701 in"},
      {10, inches(idmHybrid), true, true, "0.393701 in"},
      {0.0025, inches(idmHybrid), true, false, "0 in (0.000000)"},
      {InchToMm(1 + 0.0001 / 64), inches(idmHybrid), true, false, "1 in (1.000002)"},
      {InchToMm(1 + 0.0003 / 64), inches(idmHybrid), true, false, "1.000005 in"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(FormatLength(c.mm, c.settings, c.withUnit, c.fractionOnly).toStdString(), c.expected) << c.mm << " mm";
}

TEST(LengthUnits, StepTables) {
  const std::pair<double, double> toInch[] = {
      {0.04, 0.04 / 25.4}, {0.05, 1.0 / 64}, {0.1, 1.0 / 64},  {0.11, 1.0 / 32}, {0.5, 1.0 / 32},
      {0.51, 1.0 / 16},    {1, 1.0 / 16},    {1.1, 1.0 / 8},   {3.125, 1.0 / 8}, {3.126, 5.0 / 32},
      {4, 5.0 / 32},       {5, 3.0 / 16},    {7.5, 1.0 / 4},   {10, 3.0 / 8},    {15, 1.0 / 2},
      {30, 1},             {60, 2},          {120, 4},         {120.1, 120.1 / 25.4},
      {1000, 1000 / 25.4}, {-5, -5 / 25.4},
  };
  for (const auto &[mm, expected] : toInch) EXPECT_DOUBLE_EQ(InchStepFromMm(mm), expected) << mm;

  const std::pair<double, double> toMm[] = {
      {0.01, 0.254},   {1.0 / 64, 0.1}, {0.02, 0.5},    {1.0 / 32, 0.5},  {0.05, 1},     {1.0 / 16, 1},
      {1.0 / 8, 3},    {5.0 / 32, 4},   {11.0 / 64, 4}, {3.0 / 16, 5},    {0.25, 7.5},   {3.0 / 8, 10},
      {0.5, 15},       {1, 25},         {2, 50},        {4, 100},         {4.5, 114.3},  {-1, -25.4},
  };
  for (const auto &[in, expected] : toMm) EXPECT_DOUBLE_EQ(MmStepFromInch(in), expected) << in;
}

TEST(LengthUnits, SwitchedValuesSnapAndRound) {
  struct Case {
    double mm, inches, back;
  };
  const Case cases[] = {
      {10, 13.0 / 32, 10},       {7, 9.0 / 32, 7.1},         {2, 5.0 / 64, 2},        {15, 19.0 / 32, 15},
      {40, 25.0 / 16, 40},       {100, 4, 100},              {200, 7.75, 200},        {1000, 39.25, 1000},
      {5000, 196.75, 5000},      {12000, 472.5, 12002},      {0, 0, 0},               {-10, -25.0 / 64, -9.921875},
  };
  for (const Case &c : cases) {
    EXPECT_DOUBLE_EQ(SnapMmToInch(c.mm), c.inches) << c.mm;
    EXPECT_DOUBLE_EQ(RoundInchToMm(c.inches), c.back) << c.mm;
  }
  // Two significant figures below 1 mm.
  EXPECT_DOUBLE_EQ(RoundInchToMm(0.5 / 25.4 + 1e-9), 0.5);
  EXPECT_DOUBLE_EQ(RoundInchToMm(0.0123456 / 25.4), 0.012);
}

// A number box that counts update brackets and records the conversion depth it sees.
struct TRecordingBox : TNumberBoxValues {
  int updates = 0;
  int depthSeen = -1;
  void SetValue(double v) override {
    depthSeen = UnitConversionDepth;
    TNumberBoxValues::SetValue(v);
  }
  void BeginUpdate() override { ++updates; }
  void EndUpdate() override { --updates; }
};

TNumberBoxValues box(double value, double min, double max, double step, bool holdsLength = true) {
  TNumberBoxValues b;
  b.value = value;
  b.min = min;
  b.max = max;
  b.increment = step;
  b.holdsLength = holdsLength;
  return b;
}

TEST(LengthUnits, ConvertNumberBoxesToInchesAndBack) {
  TNumberBoxValues length = box(10, 0, 1000, 1);
  TNumberBoxValues angle = box(45, 0, 360, 1, false);
  std::vector<INumberBox *> boxes{&length, &angle};

  ConvertNumberBoxesUnit(boxes, inches(idmHybrid, 6));
  EXPECT_EQ(length.decimalDigits, 6);
  EXPECT_DOUBLE_EQ(length.min, 0);
  EXPECT_NEAR(length.max, 39.370079, 1e-6);
  EXPECT_DOUBLE_EQ(length.increment, 1.0 / 16);
  EXPECT_DOUBLE_EQ(length.value, 0.40625);
  // A box that does not hold a length stays as it was.
  EXPECT_EQ(angle.value, 45);
  EXPECT_EQ(angle.max, 360);
  EXPECT_EQ(angle.decimalDigits, 2);

  ConvertNumberBoxesUnit(boxes, millimetres(2));
  EXPECT_EQ(length.decimalDigits, 2);
  EXPECT_DOUBLE_EQ(length.min, 0);
  EXPECT_NEAR(length.max, 1000, 1e-9);
  EXPECT_DOUBLE_EQ(length.increment, 1);
  EXPECT_DOUBLE_EQ(length.value, 10);
}

TEST(LengthUnits, ConvertNumberBoxesRoundTripKeepsTypicalValues) {
  struct Start {
    double value, min, max, step;
  };
  const Start starts[] = {{0, 0, 1000, 1},    {2, 0, 100, 0.1},     {15, 0.5, 500, 0.5},    {100, -1000, 1000, 10},
                          {200, 1, 5000, 5},  {1000, 0, 10000, 25}, {40, 0.1, 100, 100}};
  std::vector<TNumberBoxValues> values;
  for (const Start &s : starts) values.push_back(box(s.value, s.min, s.max, s.step));
  std::vector<INumberBox *> boxes;
  for (auto &b : values) boxes.push_back(&b);

  ConvertNumberBoxesUnit(boxes, inches(idmHybrid, 6));
  ConvertNumberBoxesUnit(boxes, millimetres(2));
  for (std::size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_DOUBLE_EQ(values[i].value, starts[i].value);
    EXPECT_NEAR(values[i].min, starts[i].min, 1e-9);
    EXPECT_NEAR(values[i].max, starts[i].max, 1e-9);
    EXPECT_DOUBLE_EQ(values[i].increment, starts[i].step);
    EXPECT_EQ(values[i].decimalDigits, 2);
  }
}

TEST(LengthUnits, ConversionDepthIsRaisedWhileConverting) {
  ASSERT_EQ(UnitConversionDepth, 0);
  TRecordingBox recording;
  recording.value = 10;
  ConvertNumberBoxesUnit({&recording}, inches(idmHybrid));
  EXPECT_EQ(recording.depthSeen, 1);
  EXPECT_EQ(recording.updates, 0);  // every bracket closed
  EXPECT_EQ(UnitConversionDepth, 0);

  struct TFailingBox : TNumberBoxValues {
    void SetValue(double) override { throw std::runtime_error("refused"); }
  } failing;
  EXPECT_THROW(ConvertNumberBoxesUnit({&failing}, inches(idmHybrid)), std::runtime_error);
  EXPECT_EQ(UnitConversionDepth, 0);
}

TEST(LengthUnits, GetNumberBoxMm) {
  TNumberBoxValues b = box(12.5, 0, 100, 1);
  b.text = QStringLiteral("20");
  EXPECT_DOUBLE_EQ(GetNumberBoxMm(b, umMM), 12.5);  // not focused: the value
  EXPECT_DOUBLE_EQ(GetNumberBoxMm(b, umIN), 317.5);
  b.focused = true;
  EXPECT_DOUBLE_EQ(GetNumberBoxMm(b, umMM), 20);  // focused: the text being typed
  EXPECT_DOUBLE_EQ(GetNumberBoxMm(b, umIN), 508);
  for (const char *bad : {"2,5", "abc", "", "INF"}) {
    b.text = QString::fromLatin1(bad);
    EXPECT_DOUBLE_EQ(GetNumberBoxMm(b, umMM), 12.5) << bad;
  }
}

TEST(LengthUnits, SetNumberBoxFromMm) {
  TNumberBoxValues b = box(0, 0, 100, 1);
  EXPECT_DOUBLE_EQ(SetNumberBoxFromMm(38.1, &b, inches(idmHybrid, 6)), 1.5);
  EXPECT_DOUBLE_EQ(b.value, 1.5);
  EXPECT_EQ(b.decimalDigits, 6);
  EXPECT_DOUBLE_EQ(SetNumberBoxFromMm(38.1, &b, millimetres(3)), 38.1);
  EXPECT_DOUBLE_EQ(b.value, 38.1);
  EXPECT_EQ(b.decimalDigits, 3);
  EXPECT_DOUBLE_EQ(SetNumberBoxFromMm(50.8, nullptr, inches(idmDecimal)), 2);
}

TEST(LengthUnits, ShowBothUnitsHint) {
  TNumberBoxValues b = box(25.4, 0, 100, 1);
  ShowBothUnitsHint(b, millimetres(2));
  EXPECT_EQ(b.hint.toStdString(), "25.40 mm (1 in (1.000000))");

  TQN_Options options;
  options.SetUnitMode(umIN);
  b.value = 0.5;
  ShowBothUnitsHint(b, options.LengthFormatSettings);
  EXPECT_EQ(b.hint.toStdString(), "1/2 in (0.500000) (12.70 mm)");
}

}  // namespace
}  // namespace quillon
