#pragma once
// TExpressionParser: the arithmetic a user may type into a number box ("12.5*2+3",
// "(40-2*3)/2", "sqrt(16)+1"). Each use makes a parser, evaluates one text and drops it;
// the parser keeps no state between evaluations.
//
// The text is read as follows:
// - every "--" becomes "+", then all white space is removed;
// - digits and "." (and the decimal separator) build numbers; a "," between two digits is
//   a decimal separator too, so "1,5" is 1.5;
// - "^" (right-associative, binds tightest), "*" "/", "+" "-" and parentheses are the
//   operators; there is no unary minus except a leading "-" in ParseExpressionToFloat,
//   so "2*-3" is refused while "5--3" is 8;
// - SQRT(x) and SQR(x), in any letter case, take the square root and the square of an
//   argument that must evaluate to a whole number that is not negative;
// - any other letters (a unit such as "mm") and other characters are skipped, but a word
//   directly followed by "(" must be one of the functions above;
// - a number with a leading "." is a number only as the first token: ".5*2" is 1, "2*.5"
//   is refused.
// Nothing is rounded on the way: SQRT(2)*100 is 141.4213562373095.
//
// Every failure throws EExpressionError with a message saying what is wrong: an empty or
// over-long text, a malformed number, a missing operand or operator, an unmatched
// parenthesis, an unknown function or a bad function argument, division by zero and any
// result that is not a finite number.
#include <QChar>
#include <QString>

#include <stdexcept>
#include <string>

namespace quillon {

class EExpressionError : public std::runtime_error {
 public:
  explicit EExpressionError(const std::string &message) : std::runtime_error(message) {}
};

enum TAssociativity { asNone, asLeft, asRight };

struct TOperatorRec {
  char iOperator;
  int Precedence;
  TAssociativity associativity;
};

class TExpressionParser {
 public:
  // Texts longer than this are refused before they are read.
  static constexpr int MaxExpressionLength = 1000;

  explicit TExpressionParser(QChar ADecimalSeperator = QLatin1Char('.'), int AMaxDecimals = 2);

  // The value of the expression. A text beginning with "-" is read with a "0" in front of
  // it, so "-5+2" is -3.
  double ParseExpressionToFloat(const QString &Expression) const;

  // The value of the expression (without the "0" for a leading "-") written with at most
  // MaxDecimals decimals, rounded half away from zero, "." as the decimal point, trailing
  // zeros and a bare point dropped and no digit before the point: 0.5 gives ".5", 2.50
  // gives "2.5" and zero gives the empty text.
  QString ParseExpressionToString(const QString &Expression) const;

  QChar DecimalSeperator() const { return FDecimalSeperator; }
  void SetDecimalSeperator(QChar value) { FDecimalSeperator = value; }
  int MaxDecimals() const { return FMaxDec; }
  void SetMaxDecimals(int value) { FMaxDec = value; }

  // The row of the operator table for c; throws EExpressionError("Invalid operator!") for
  // a character that is not an operator.
  static const TOperatorRec &FindOperator(QChar c);

 private:
  double Evaluate(const QString &expression, int depth) const;

  QChar FDecimalSeperator;
  int FMaxDec;
};

}  // namespace quillon
