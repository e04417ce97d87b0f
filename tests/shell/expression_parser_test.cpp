#include "shell/expression_parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace quillon {
namespace {

double evaluate(const QString &text) { return TExpressionParser(QLatin1Char('.'), 2).ParseExpressionToFloat(text); }

struct ValueCase {
  const char *text;
  double expected;
};

TEST(ExpressionParser, EvaluatesExpressions) {
  const ValueCase cases[] = {
      // precedence, associativity and parentheses
      {"1-2*3+4", -1},
      {"(1+2*3)", 7},
      {"2*(3+4)", 14},
      {"(5)", 5},
      {"((2+3)*(4-1))/5", 3},
      {"7-2-1", 4},
      {"16/4/2", 2},
      {"10/4", 2.5},
      {"2^3^2", 512},
      {"(2^3)^2", 64},
      {"2^3*2", 16},
      {"8/2^2", 2},
      {"2^0.5*2^0.5", 2},
      // a leading "-", "--" and numbers
      {"-5+2", -3},
      {"-(2+3)*2", -10},
      {"-2^2", -4},
      {"5--3", 8},
      {".5*2", 1},
      {"0.1+0.2", 0.3},
      {"1.5", 1.5},
      {"007", 7},
      // white space, skipped characters and the decimal comma
      {" 1 + 2 * 3 ", 7},
      {"\t4 /\t2\n", 2},
      {"12mm", 12},
      {"12 mm + 3 mm", 15},
      {"1,5", 1.5},
      {"1,5+2,25", 3.75},
      {"2,5*2", 5},
      {"3,", 3},
      // the functions, in any letter case, nested and without rounding
      {"sqrt(16)+1", 5},
      {"SQRT(2)", 1.4142135623730951},
      {"SQRT(2)*100", 141.42135623730951},
      {"SQRT(1+3)", 2},
      {"SQRT(0)+1", 1},
      {"SqRt(SQRT(16))", 2},
      {"2*SQRT(9)-1", 5},
      {"SQRT(0.1*30)", std::sqrt(3.0)},
      {"SQR(3)", 9},
      {"SQR(1+2)", 9},
      {"sqr(3)+SQRT(9)", 12},
      {"SQR(SQRT(4))", 4},
      {"SQR(46340)", 2147395600},
      {"SQR(0)", 0},
  };
  for (const ValueCase &c : cases) {
    SCOPED_TRACE(c.text);
    double value = 0;
    ASSERT_NO_THROW(value = evaluate(QString::fromUtf8(c.text)));
    EXPECT_NEAR(value, c.expected, 1e-12 * std::max(1.0, std::fabs(c.expected)));
  }
}

TEST(ExpressionParser, RefusesBadInput) {
  const QString deepFunctions = QStringLiteral("SQRT(").repeated(100) + QLatin1Char('1') + QString(100, QLatin1Char(')'));
  const QString tooLong = QStringLiteral("1+").repeated(500) + QLatin1Char('1');
  const QString hugeNumber(400, QLatin1Char('9'));
  const QString refused[] = {
      QString(),
      QStringLiteral("   "),
      QStringLiteral("mm"),
      QStringLiteral("()"),
      // no unary minus inside, a leading "." only first
      QStringLiteral("2*-3"),
      QStringLiteral("2^-1"),
      QStringLiteral("5- -3"),
      QStringLiteral("2*.5"),
      QStringLiteral("1+.5"),
      // malformed
      QStringLiteral("1.2.3"),
      QStringLiteral("."),
      QStringLiteral("1,5,3"),
      QStringLiteral("3+"),
      QStringLiteral("*3"),
      QStringLiteral("+"),
      QStringLiteral("2(3)"),
      QStringLiteral("(1)(2)"),
      QStringLiteral("(1+2"),
      QStringLiteral("1+2)"),
      QStringLiteral(")1("),
      // arithmetic without a finite result
      QStringLiteral("1/0"),
      QStringLiteral("0/0"),
      QStringLiteral("1/(2-2)"),
      QStringLiteral("10^400"),
      QStringLiteral("10^308*10"),
      QStringLiteral("(0-2)^0.5"),
      hugeNumber,
      // functions
      QStringLiteral("SQRT(2.5)"),
      QStringLiteral("SQRT(1/3)"),
      QStringLiteral("SQRT(-4)"),
      QStringLiteral("SQRT(1-5)"),
      QStringLiteral("SQR(-3)"),
      QStringLiteral("SQR(1.5)"),
      QStringLiteral("SQR(46341)"),
      QStringLiteral("SQRT(4294967296)"),
      QStringLiteral("SQRT()"),
      QStringLiteral("SQRT(4"),
      QStringLiteral("SQRT 4"),
      QStringLiteral("SQRT"),
      QStringLiteral("COS(0)"),
      QStringLiteral("foo(1)+1"),
      QStringLiteral("2SQRT(4)"),
      QStringLiteral("SQRT(4)5"),
      deepFunctions,
      tooLong,
  };
  for (const QString &text : refused) {
    SCOPED_TRACE(text.left(40).toStdString());
    EXPECT_THROW(evaluate(text), EExpressionError);
  }
}

TEST(ExpressionParser, LengthLimitAndDeepParentheses) {
  const QString longest = QStringLiteral("1+").repeated(499) + QLatin1Char('1');  // 999 characters
  ASSERT_LE(longest.size(), TExpressionParser::MaxExpressionLength);
  EXPECT_EQ(evaluate(longest), 500);
  EXPECT_EQ(evaluate(QString(450, QLatin1Char('(')) + QStringLiteral("4") + QString(450, QLatin1Char(')'))), 4);
}

TEST(ExpressionParser, MessagesSayWhatIsWrong) {
  const auto messageOf = [](const QString &text) -> std::string {
    try {
      evaluate(text);
    } catch (const EExpressionError &e) {
      return e.what();
    }
    return "(no error)";
  };
  EXPECT_EQ(messageOf(QStringLiteral("1/0")), "Division by zero.");
  EXPECT_EQ(messageOf(QString()), "The expression is empty.");
  EXPECT_EQ(messageOf(QStringLiteral("COS(0)")), "Unknown function \"COS\".");
  EXPECT_EQ(messageOf(QStringLiteral("(1+2")), "A \"(\" has no matching \")\".");
  EXPECT_EQ(messageOf(QStringLiteral("1.2.3")), "\"1.2.3\" is not a number.");
  EXPECT_EQ(messageOf(QStringLiteral("SQRT(2.5)")), "The argument of SQRT must be a whole number, not 2.5.");
}

TEST(ExpressionParser, OperatorTable) {
  struct Row {
    char op;
    int precedence;
    TAssociativity associativity;
  };
  const Row rows[] = {{'^', 4, asRight}, {'*', 3, asLeft}, {'/', 3, asLeft}, {'+', 2, asLeft},
                      {'-', 2, asLeft},  {'(', 1, asNone}, {')', 1, asNone}};
  for (const Row &r : rows) {
    const TOperatorRec &rec = TExpressionParser::FindOperator(QLatin1Char(r.op));
    EXPECT_EQ(rec.iOperator, r.op);
    EXPECT_EQ(rec.Precedence, r.precedence) << r.op;
    EXPECT_EQ(rec.associativity, r.associativity) << r.op;
  }
  try {
    TExpressionParser::FindOperator(QLatin1Char('%'));
    ADD_FAILURE() << "no error";
  } catch (const EExpressionError &e) {
    EXPECT_STREQ(e.what(), "Invalid operator!");
  }
}

TEST(ExpressionParser, ParseExpressionToStringWritesShortDecimals) {
  const TExpressionParser parser(QLatin1Char('.'), 2);
  EXPECT_EQ(parser.DecimalSeperator(), QLatin1Char('.'));
  EXPECT_EQ(parser.MaxDecimals(), 2);
  const std::pair<const char *, const char *> cases[] = {
      {"1/2", ".5"}, {"0", ""},      {"1-1", ""},         {"10/4", "2.5"},  {"5*2", "10"},
      {"2/3", ".67"}, {"0.125+0", ".13"}, {"0-1/2", "-.5"}, {"SQRT(2)", "1.41"}, {"1/1000", ""},
  };
  for (const auto &[text, expected] : cases)
    EXPECT_EQ(parser.ParseExpressionToString(QString::fromLatin1(text)).toStdString(), expected) << text;
  // No "0" is put before a leading "-" here.
  EXPECT_THROW(parser.ParseExpressionToString(QStringLiteral("-5+2")), EExpressionError);
  EXPECT_EQ(TExpressionParser(QLatin1Char('.'), 3).ParseExpressionToString(QStringLiteral("2/3")).toStdString(), ".667");
}

TEST(ExpressionParser, OtherDecimalSeparator) {
  TExpressionParser parser(QLatin1Char('.'), 2);
  parser.SetDecimalSeperator(QLatin1Char(';'));
  EXPECT_DOUBLE_EQ(parser.ParseExpressionToFloat(QStringLiteral("1;5*2")), 3);
  EXPECT_DOUBLE_EQ(parser.ParseExpressionToFloat(QStringLiteral("1.5*2")), 3);
}

// Whatever is typed, the parser answers with a finite number or EExpressionError.
TEST(ExpressionParser, RandomTextNeverCrashes) {
  const char alphabet[] = "0123456789.,+-*/^()  SQRTsqrmx";
  std::mt19937 random(20240601);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof alphabet) - 2);
  int evaluated = 0;
  for (int round = 0; round < 5000; ++round) {
    QString text;
    for (int i = length(random); i > 0; --i) text += QLatin1Char(alphabet[pick(random)]);
    try {
      const double value = evaluate(text);
      EXPECT_TRUE(std::isfinite(value)) << text.toStdString();
      ++evaluated;
    } catch (const EExpressionError &) {
    }
  }
  EXPECT_GT(evaluated, 0);
}

}  // namespace
}  // namespace quillon
