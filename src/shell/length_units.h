#pragma once
// Length units: every length is stored in millimetres and shown in millimetres or inches.
// Here are the conversions, the text a length is shown as, and the rules that read, write
// and convert number boxes, expressed over INumberBox so that they run without widgets.
#include <QString>

#include <vector>

#include "shell/options.h"

namespace quillon {

double MmToInch(double x);  // x / 25.4
double InchToMm(double x);  // x * 25.4

// The length mm as the user sees it in the unit of settings:
// - millimetres: MmDecimalDigits decimals ("12.30");
// - inches (values below 0.0001 inch show as 0): decimals with InchDecimalDigits, a
//   fraction with InchFractionDenom ("1 1/2"; 0 or less means 64), or, in the hybrid mode,
//   the fraction with the decimals in brackets ("1 in (1.000000)") when the length lies on
//   the fraction grid and the decimals alone otherwise.
// withUnit appends " mm" or " in" (in the hybrid form after the fraction); fractionOnly
// drops the bracketed decimals of the hybrid form. Decimals are rounded half away from
// zero, fractions to the nearest step with halves to even.
QString FormatLength(double mm, const TLengthFormatSettings &settings, bool withUnit = true,
                     bool fractionOnly = false);

// The number text forms FormatLength builds on. A negative digit count counts as 0.
QString FormatDecimal(double value, int digits);
QString FormatInchFraction(double inches, int denominator);

// What the unit rules need of a number box: value, range, decimal digits, step, the text
// being typed, the keyboard focus and the hint. A box that does not hold a length (an
// angle, a count) is left alone by ConvertNumberBoxesUnit. BeginUpdate and EndUpdate
// bracket a series of changes.
class INumberBox {
 public:
  virtual ~INumberBox() = default;
  virtual double Value() const = 0;
  virtual void SetValue(double value) = 0;
  virtual double Min() const = 0;
  virtual double Max() const = 0;
  virtual void SetRange(double min, double max) = 0;
  virtual int DecimalDigits() const = 0;
  virtual void SetDecimalDigits(int digits) = 0;
  virtual double Increment() const = 0;
  virtual void SetIncrement(double step) = 0;
  virtual bool HoldsLength() const = 0;
  virtual QString Text() const = 0;
  virtual bool IsFocused() const = 0;
  virtual QString Hint() const = 0;
  virtual void SetHint(const QString &hint) = 0;
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
};

// A number box as plain values, for code and tests without widgets. It keeps exactly what
// it is given; a toolkit box also clamps its value to the range and rounds to its digits.
struct TNumberBoxValues : INumberBox {
  double value = 0;
  double min = 0;
  double max = 100;
  int decimalDigits = 2;
  double increment = 1;
  bool holdsLength = true;
  QString text;  // what the user is typing while focused
  bool focused = false;
  QString hint;

  double Value() const override { return value; }
  void SetValue(double v) override { value = v; }
  double Min() const override { return min; }
  double Max() const override { return max; }
  void SetRange(double lo, double hi) override {
    min = lo;
    max = hi;
  }
  int DecimalDigits() const override { return decimalDigits; }
  void SetDecimalDigits(int digits) override { decimalDigits = digits; }
  double Increment() const override { return increment; }
  void SetIncrement(double step) override { increment = step; }
  bool HoldsLength() const override { return holdsLength; }
  QString Text() const override { return text; }
  bool IsFocused() const override { return focused; }
  QString Hint() const override { return hint; }
  void SetHint(const QString &h) override { hint = h; }
};

// Above 0 while ConvertNumberBoxesUnit rewrites boxes: change handlers that react to the
// user's typing do nothing then. The main window sets it to 0 at start-up.
extern int UnitConversionDepth;

// The box's number in millimetres: while the box has the keyboard focus its text (C
// locale; the box's value when the text is not a number), otherwise its value;
// multiplied by 25.4 when unitMode is umIN.
double GetNumberBoxMm(const INumberBox &box, TUnitMode unitMode);

// v = mm in millimetres or mm / 25.4 in inches. When box is given, its decimal digits
// become those of the unit (if they differ) and its value becomes v. Returns v.
double SetNumberBoxFromMm(double mm, INumberBox *box, const TLengthFormatSettings &settings);

// The step tables of the unit switch: a millimetre limit or step in inches, and an inch
// limit or step in millimetres (common values become round values of the other unit).
double InchStepFromMm(double mm);
double MmStepFromInch(double inches);
// A box value on the switch: inches snapped to a fraction grid that grows with the length
// (1/64 below 5 mm up to 1/4 from 100 mm), millimetres rounded to two significant figures.
double SnapMmToInch(double mm);
double RoundInchToMm(double inches);

// Moves every length box of the list to the unit of settings (the boxes are taken to show
// the other unit): decimal digits, range, value and step. UnitConversionDepth is raised
// for the whole run.
void ConvertNumberBoxesUnit(const std::vector<INumberBox *> &boxes, const TLengthFormatSettings &settings);

// Sets the box's hint to its length in the unit of settings followed by the length in the
// other unit in brackets: "25.40 mm (1 in (1.000000))".
void ShowBothUnitsHint(INumberBox &box, const TLengthFormatSettings &settings);

}  // namespace quillon
