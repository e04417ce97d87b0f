#include "shell/expression_parser.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string_view>
#include <vector>

#include "platform/number_text.h"

namespace quillon {

namespace {

// Function calls nest through recursion; the length limit already bounds the depth, this
// keeps the bound explicit.
constexpr int kMaxFunctionDepth = 64;
// The largest whole number whose square still fits in a signed 32-bit integer.
constexpr double kMaxSquareArgument = 46340.0;

const TOperatorRec kOperators[] = {
    {'^', 4, asRight}, {'*', 3, asLeft}, {'/', 3, asLeft}, {'+', 2, asLeft},
    {'-', 2, asLeft},  {'(', 1, asNone}, {')', 1, asNone},
};

[[noreturn]] void fail(const QString &message) { throw EExpressionError(message.toStdString()); }

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

QString quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

QString numberText(double value) { return QString::fromStdString(formatGeneral15(value)); }

// One entry of the postfix form: a number as typed, a number already computed (the value
// of a function call), or an operator.
struct TToken {
  enum Kind { TypedNumber, ComputedNumber, Operator } kind;
  QString text;      // TypedNumber
  double value = 0;  // ComputedNumber
  char op = 0;       // Operator
};

// The index of the ")" that closes the "(" at open, or -1.
int matchingParenthesis(const QString &s, int open) {
  int depth = 0;
  for (int i = open; i < s.size(); ++i) {
    if (s[i] == QLatin1Char('(')) {
      ++depth;
    } else if (s[i] == QLatin1Char(')')) {
      if (--depth == 0) return i;
    }
  }
  return -1;
}

double readNumber(const QString &token) {
  if (const auto value = parseDouble(token.toStdString())) return *value;
  const bool wellFormed = token.count(QLatin1Char('.')) <= 1 && token != QLatin1String(".");
  if (wellFormed) fail(QStringLiteral("The number %1 is too large.").arg(quoted(token)));
  fail(QStringLiteral("%1 is not a number.").arg(quoted(token)));
}

double applyOperator(char op, double a, double b) {
  double result = 0;
  switch (op) {
    case '+': result = a + b; break;
    case '-': result = a - b; break;
    case '*': result = a * b; break;
    case '/':
      if (b == 0) fail(QStringLiteral("Division by zero."));
      result = a / b;
      break;
    case '^':
      result = std::pow(a, b);
      if (std::isnan(result))
        fail(QStringLiteral("%1^%2 has no real value.").arg(numberText(a), numberText(b)));
      break;
    default:
      TExpressionParser::FindOperator(QLatin1Char(op));  // throws for anything else
      fail(QStringLiteral("Invalid operator!"));
  }
  if (!std::isfinite(result)) fail(QStringLiteral("The result is too large."));
  return result;
}

}  // namespace

TExpressionParser::TExpressionParser(QChar ADecimalSeperator, int AMaxDecimals)
    : FDecimalSeperator(ADecimalSeperator), FMaxDec(AMaxDecimals) {}

const TOperatorRec &TExpressionParser::FindOperator(QChar c) {
  for (const TOperatorRec &rec : kOperators)
    if (c == QLatin1Char(rec.iOperator)) return rec;
  fail(QStringLiteral("Invalid operator!"));
}

double TExpressionParser::ParseExpressionToFloat(const QString &Expression) const {
  if (Expression.size() > MaxExpressionLength) fail(QStringLiteral("The expression is too long."));
  if (Expression.startsWith(QLatin1Char('-'))) return Evaluate(QLatin1Char('0') + Expression, 0);
  return Evaluate(Expression, 0);
}

QString TExpressionParser::ParseExpressionToString(const QString &Expression) const {
  if (Expression.size() > MaxExpressionLength) fail(QStringLiteral("The expression is too long."));
  const double value = Evaluate(Expression, 0);
  const int decimals = std::clamp(FMaxDec, 0, 15);
  const double rounded = roundHalfAwayFromZero(value, decimals);

  char buf[512];
  const auto res = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, decimals);
  std::string text(buf, res.ptr);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  const bool negative = !text.empty() && text.front() == '-';
  std::string body = negative ? text.substr(1) : text;
  if (body == "0") return QString();
  if (body.rfind("0.", 0) == 0) body.erase(0, 1);
  return QString::fromStdString((negative ? "-" : "") + body);
}

double TExpressionParser::Evaluate(const QString &expression, int depth) const {
  QString text = expression;
  text.replace(QLatin1String("--"), QLatin1String("+"));
  QString s;
  s.reserve(text.size());
  for (QChar c : text)
    if (!c.isSpace()) s += c;
  if (s.isEmpty()) fail(QStringLiteral("The expression is empty."));

  // Infix to postfix with an operator stack.
  std::vector<TToken> output;
  std::vector<char> stack;
  QString number;
  const auto flushNumber = [&] {
    if (number.isEmpty()) return;
    output.push_back({TToken::TypedNumber, number, 0, 0});
    number.clear();
  };
  const auto moveOperator = [&] {
    output.push_back({TToken::Operator, QString(), 0, stack.back()});
    stack.pop_back();
  };

  const int n = static_cast<int>(s.size());
  for (int i = 0; i < n;) {
    const QChar c = s[i];
    if (isAsciiDigit(c)) {
      number += c;
      ++i;
      continue;
    }
    if (c == QLatin1Char('.') || c == FDecimalSeperator) {
      number += QLatin1Char('.');
      ++i;
      continue;
    }
    if (c == QLatin1Char(',') && i > 0 && i + 1 < n && isAsciiDigit(s[i - 1]) && isAsciiDigit(s[i + 1])) {
      number += QLatin1Char('.');
      ++i;
      continue;
    }
    if (c.isLetter()) {
      int end = i;
      while (end < n && s[end].isLetter()) ++end;
      const QString word = s.mid(i, end - i).toUpper();
      const bool known = word == QLatin1String("SQRT") || word == QLatin1String("SQR");
      if (end < n && s[end] == QLatin1Char('(')) {
        if (!known) fail(QStringLiteral("Unknown function %1.").arg(quoted(word)));
        const int close = matchingParenthesis(s, end);
        if (close < 0) fail(QStringLiteral("The argument of %1 has no closing \")\".").arg(word));
        if (depth >= kMaxFunctionDepth) fail(QStringLiteral("Functions are nested too deeply."));
        const QString argument = s.mid(end + 1, close - end - 1);
        if (argument.isEmpty()) fail(QStringLiteral("%1 needs an argument.").arg(word));
        if (argument.startsWith(QLatin1Char('-')))
          fail(QStringLiteral("The argument of %1 must not be negative.").arg(word));
        const double a = Evaluate(argument, depth + 1);
        const double whole = std::nearbyint(a);
        if (std::fabs(a - whole) > 1e-9 * std::max(1.0, std::fabs(whole)))
          fail(QStringLiteral("The argument of %1 must be a whole number, not %2.").arg(word, numberText(a)));
        if (whole < 0) fail(QStringLiteral("The argument of %1 must not be negative.").arg(word));
        const bool isSqrt = word == QLatin1String("SQRT");
        if (whole > (isSqrt ? static_cast<double>(INT_MAX) : kMaxSquareArgument))
          fail(QStringLiteral("The argument of %1 is too large.").arg(word));
        flushNumber();
        output.push_back({TToken::ComputedNumber, QString(), isSqrt ? std::sqrt(whole) : whole * whole, 0});
        i = close + 1;
        continue;
      }
      if (known) fail(QStringLiteral("%1 needs its argument in parentheses.").arg(word));
      i = end;  // other words (units and the like) are skipped
      continue;
    }
    const char op = c.toLatin1();
    if (c.unicode() < 128 && op != 0 && std::string_view("^+-*/()").find(op) != std::string_view::npos) {
      flushNumber();
      if (op == '(') {
        stack.push_back(op);
      } else if (op == ')') {
        while (!stack.empty() && stack.back() != '(') moveOperator();
        if (stack.empty()) fail(QStringLiteral("A \")\" has no matching \"(\"."));
        stack.pop_back();
      } else if (op == '^') {
        stack.push_back(op);
      } else {
        const int precedence = FindOperator(c).Precedence;
        while (!stack.empty() && stack.back() != '(' &&
               FindOperator(QLatin1Char(stack.back())).Precedence >= precedence)
          moveOperator();
        stack.push_back(op);
      }
      ++i;
      continue;
    }
    ++i;  // any other character is skipped
  }
  flushNumber();
  while (!stack.empty()) {
    if (stack.back() == '(') fail(QStringLiteral("A \"(\" has no matching \")\"."));
    moveOperator();
  }

  // Evaluation of the postfix form.
  std::vector<double> values;
  for (std::size_t k = 0; k < output.size(); ++k) {
    const TToken &t = output[k];
    switch (t.kind) {
      case TToken::ComputedNumber:
        values.push_back(t.value);
        break;
      case TToken::TypedNumber:
        if (k > 0 && t.text.startsWith(QLatin1Char('.')))
          fail(QStringLiteral("A number starting with \".\" can only come first: write 0%1.").arg(t.text));
        values.push_back(readNumber(t.text));
        break;
      case TToken::Operator: {
        if (values.size() < 2)
          fail(QStringLiteral("The operator %1 is missing a number.").arg(quoted(QString(QLatin1Char(t.op)))));
        const double b = values.back();
        values.pop_back();
        const double a = values.back();
        values.back() = applyOperator(t.op, a, b);
        break;
      }
    }
  }
  if (values.empty()) fail(QStringLiteral("The expression holds no number."));
  if (values.size() > 1) fail(QStringLiteral("An operator is missing between two numbers."));
  return values.back();
}

}  // namespace quillon
