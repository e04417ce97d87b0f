#include "shell/length_units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <string>

#include "platform/number_text.h"

namespace quillon {

int UnitConversionDepth = 0;

namespace {

constexpr double kMmPerInch = 25.4;
constexpr int kDefaultDenominator = 64;

int denominatorOf(int denominator) { return denominator <= 0 ? kDefaultDenominator : denominator; }

QString fixedText(double value, int digits) {
  char buf[512];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, digits);
  return QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
}

// Rounds to the given decimals (a negative count rounds to tens, hundreds, ...) with halves
// to even, scaling by a whole power of ten so that no inexact factor such as 0.1 enters.
double roundDecimalsHalfEven(double value, int decimals) {
  if (decimals >= 0) return roundHalfEven(value, decimals);
  const double scale = std::pow(10.0, -decimals);
  return std::nearbyint(value / scale) * scale;
}

}  // namespace

double MmToInch(double x) { return x / kMmPerInch; }
double InchToMm(double x) { return x * kMmPerInch; }

QString FormatDecimal(double value, int digits) {
  if (!std::isfinite(value)) return QString::fromStdString(formatGeneral15(value));
  const int n = std::max(0, digits);
  double rounded = n <= 15 ? roundHalfAwayFromZero(value, n) : value;
  if (rounded == 0) rounded = 0;  // no "-0.00"
  return fixedText(rounded, n);
}

QString FormatInchFraction(double inches, int denominator) {
  if (!std::isfinite(inches)) return QString::fromStdString(formatGeneral15(inches));
  const int d = denominatorOf(denominator);
  const double k = roundHalfEven(std::fabs(inches) * d);
  if (k == 0) return QStringLiteral("0");  // no "-0" for a tiny negative length
  const QString sign = inches < 0 ? QStringLiteral("-") : QString();
  if (k >= 9e15) return sign + fixedText(std::floor(k / d), 0);  // beyond exact integers

  const auto steps = static_cast<std::int64_t>(k);
  const std::int64_t whole = steps / d;
  const std::int64_t rest = steps % d;
  if (rest == 0) return sign + QString::number(whole);
  const std::int64_t g = std::gcd(rest, static_cast<std::int64_t>(d));
  const QString fraction = QString::number(rest / g) + QLatin1Char('/') + QString::number(d / g);
  if (whole != 0) return sign + QString::number(whole) + QLatin1Char(' ') + fraction;
  return sign + fraction;
}

QString FormatLength(double mm, const TLengthFormatSettings &settings, bool withUnit, bool fractionOnly) {
  if (settings.UnitMode == umMM)
    return FormatDecimal(mm, settings.MmDecimalDigits) + (withUnit ? QStringLiteral(" mm") : QString());

  double e = MmToInch(mm);
  if (std::fabs(e) < 0.0001) e = 0;
  const QString unit = withUnit ? QStringLiteral(" in") : QString();
  switch (settings.InchDisplayMode) {
    case idmDecimal:
      return FormatDecimal(e, settings.InchDecimalDigits) + unit;
    case idmFraction:
      return FormatInchFraction(e, settings.InchFractionDenom) + unit;
    case idmHybrid:
      break;
  }
  const int d = denominatorOf(settings.InchFractionDenom);
  const double steps = e * d;
  if (std::fabs(steps - std::nearbyint(steps)) < 0.0002) {
    QString text = FormatInchFraction(e, d) + unit;
    if (!fractionOnly) text += QStringLiteral(" (") + FormatDecimal(e, settings.InchDecimalDigits) + QLatin1Char(')');
    return text;
  }
  return FormatDecimal(e, settings.InchDecimalDigits) + unit;
}

double GetNumberBoxMm(const INumberBox &box, TUnitMode unitMode) {
  double v = box.Value();
  if (box.IsFocused()) {
    const auto typed = parseDouble(box.Text().toStdString());
    if (typed && std::isfinite(*typed)) v = *typed;
  }
  return unitMode == umIN ? InchToMm(v) : v;
}

double SetNumberBoxFromMm(double mm, INumberBox *box, const TLengthFormatSettings &settings) {
  const bool inches = settings.UnitMode == umIN;
  const double v = inches ? MmToInch(mm) : mm;
  if (box) {
    const int digits = inches ? settings.InchDecimalDigits : settings.MmDecimalDigits;
    if (box->DecimalDigits() != digits) box->SetDecimalDigits(digits);
    box->SetValue(v);
  }
  return v;
}

double InchStepFromMm(double x) {
  struct Row {
    double below;
    double inches;
  };
  static const Row rows[] = {
      {0.11, 1.0 / 64}, {0.51, 1.0 / 32}, {1.1, 1.0 / 16}, {3.126, 1.0 / 8}, {4.1, 5.0 / 32},
      {5.1, 3.0 / 16},  {7.6, 1.0 / 4},   {10.1, 3.0 / 8}, {15.1, 1.0 / 2}, {30.1, 1.0},
      {60.1, 2.0},      {120.1, 4.0},
  };
  if (x < 0.05) return MmToInch(x);
  for (const Row &row : rows)
    if (x < row.below) return row.inches;
  return MmToInch(x);
}

double MmStepFromInch(double x) {
  struct Row {
    double upTo;
    double mm;
  };
  static const Row rows[] = {
      {1.0 / 32, 0.5}, {1.0 / 16, 1},   {1.0 / 8, 3},   {11.0 / 64, 4}, {3.0 / 16, 5}, {1.0 / 4, 7.5},
      {3.0 / 8, 10},   {1.0 / 2, 15},   {1.0, 25},      {2.0, 50},      {4.0, 100},
  };
  if (x < 1.0 / 64) return InchToMm(x);
  if (x == 1.0 / 64) return 0.1;
  for (const Row &row : rows)
    if (x <= row.upTo) return row.mm;
  return InchToMm(x);
}

double SnapMmToInch(double mm) {
  const double perInch = mm < 5 ? 64 : mm < 20 ? 32 : mm < 50 ? 16 : mm < 100 ? 8 : 4;
  return roundHalfEven(MmToInch(mm) * perInch) / perInch;
}

double RoundInchToMm(double inches) {
  const double c = InchToMm(inches);
  int decimals = 0;
  if (c < 0.0001) decimals = 6;
  else if (c < 0.001) decimals = 5;
  else if (c < 0.01) decimals = 4;
  else if (c < 0.1) decimals = 3;
  else if (c < 1) decimals = 2;
  else if (c < 10) decimals = 1;
  else if (c < 100) decimals = 0;
  else if (c < 1000) decimals = -1;
  else if (c < 10000) decimals = -2;
  else decimals = 0;
  return roundDecimalsHalfEven(c, decimals);
}

void ConvertNumberBoxesUnit(const std::vector<INumberBox *> &boxes, const TLengthFormatSettings &settings) {
  struct DepthGuard {
    DepthGuard() { ++UnitConversionDepth; }
    ~DepthGuard() { --UnitConversionDepth; }
  } depth;
  const bool toInches = settings.UnitMode == umIN;
  for (INumberBox *box : boxes) {
    if (!box || !box->HoldsLength()) continue;
    struct UpdateGuard {
      INumberBox &b;
      explicit UpdateGuard(INumberBox &box) : b(box) { b.BeginUpdate(); }
      ~UpdateGuard() { b.EndUpdate(); }
    } update(*box);
    const double v = box->Value();
    const double min = box->Min();
    const double max = box->Max();
    const double step = box->Increment();
    if (toInches) {
      box->SetDecimalDigits(settings.InchDecimalDigits);
      box->SetRange(InchStepFromMm(min), InchStepFromMm(max));
      box->SetValue(SnapMmToInch(v));
      box->SetIncrement(InchStepFromMm(step));
    } else {
      box->SetDecimalDigits(settings.MmDecimalDigits);
      box->SetRange(MmStepFromInch(min), MmStepFromInch(max));
      box->SetValue(RoundInchToMm(v));
      box->SetIncrement(MmStepFromInch(step));
    }
  }
}

void ShowBothUnitsHint(INumberBox &box, const TLengthFormatSettings &settings) {
  const double mm = GetNumberBoxMm(box, settings.UnitMode);
  TLengthFormatSettings other = settings;
  other.UnitMode = settings.UnitMode == umIN ? umMM : umIN;
  box.SetHint(FormatLength(mm, settings, true, false) + QStringLiteral(" (") + FormatLength(mm, other, true, false) +
              QLatin1Char(')'));
}

}  // namespace quillon
