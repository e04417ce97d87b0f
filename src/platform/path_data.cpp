#include "platform/path_data.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/number_text.h"

namespace quillon {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegToRad = kPi / 180.0;

// Points in double precision for the construction arithmetic; stored as floats.
struct DPoint {
  double x = 0.0;
  double y = 0.0;
};

DPoint widen(TPointF p) { return {p.X, p.Y}; }
TPointF narrow(DPoint p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

// Point of the cubic Bezier p0..p3 at time t.
DPoint cubicPoint(DPoint p0, DPoint p1, DPoint p2, DPoint p3, double t) {
  const double mt = 1.0 - t;
  const double b0 = mt * mt * mt;
  const double b1 = 3.0 * mt * mt * t;
  const double b2 = 3.0 * mt * t * t;
  const double b3 = t * t * t;
  return {b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x,
          b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y};
}

// Appends the lines that replace the cubic piece p0..p3 (p0 is the current point).
void flattenPiece(TPointF p0f, TPointF p1f, TPointF p2f, TPointF p3f, double flatness,
                  std::vector<TPathPoint> &out) {
  const DPoint p0 = widen(p0f), p1 = widen(p1f), p2 = widen(p2f), p3 = widen(p3f);
  // Length estimate from the polygon through the curve at t = 0, 1/6 .. 4/6 and 1.
  static constexpr double kSampleTimes[] = {0.0, 1.0 / 6.0, 2.0 / 6.0, 3.0 / 6.0, 4.0 / 6.0, 1.0};
  double length = 0.0;
  DPoint previous = p0;
  for (std::size_t i = 1; i < std::size(kSampleTimes); ++i) {
    const DPoint q = kSampleTimes[i] == 1.0 ? p3 : cubicPoint(p0, p1, p2, p3, kSampleTimes[i]);
    length += std::hypot(q.x - previous.x, q.y - previous.y);
    previous = q;
  }
  double n = roundHalfEven(length / flatness);
  if (!std::isfinite(n)) n = 0.0;
  n = std::min(n, static_cast<double>(kFlattenMaxLines));
  if (n > 2.0) {
    const auto count = static_cast<long long>(n);
    const double last = static_cast<double>(count - 1);
    for (long long i = 0; i <= count - 2; ++i) {
      const double t = static_cast<double>(i) / last;
      out.push_back({TPathPointKind::LineTo, narrow(cubicPoint(p0, p1, p2, p3, t))});
    }
  }
  out.push_back({TPathPointKind::LineTo, p3f});
}

// Point and derivative (with respect to the angle) of the ellipse with radii (rx, ry)
// about `c` whose own x axis is turned by the angle with cosine `cr` and sine `sr`.
struct EllipseFrame {
  DPoint c;
  double rx = 0.0, ry = 0.0;
  double cr = 1.0, sr = 0.0;

  DPoint point(double a) const {
    const double lx = rx * std::cos(a), ly = ry * std::sin(a);
    return {c.x + cr * lx - sr * ly, c.y + sr * lx + cr * ly};
  }
  DPoint tangent(double a) const {
    const double lx = -rx * std::sin(a), ly = ry * std::cos(a);
    return {cr * lx - sr * ly, sr * lx + cr * ly};
  }
};

// Appends one cubic piece of the ellipse from angle a to angle b (|b - a| <= ~90 degrees).
// `endPoint` overrides the computed end point when given.
void addEllipsePiece(TPathData &path, const EllipseFrame &e, double a, double b,
                     const DPoint *endPoint = nullptr) {
  const double k = 4.0 / 3.0 * std::tan((b - a) / 4.0);
  const DPoint pa = e.point(a), pb = endPoint ? *endPoint : e.point(b);
  const DPoint ta = e.tangent(a), tb = e.tangent(b);
  path.CurveTo(narrow({pa.x + k * ta.x, pa.y + k * ta.y}), narrow({pb.x - k * tb.x, pb.y - k * tb.y}),
               narrow(pb));
}

// ---------------------------------------------------------------------------------------
// SVG path data reader.

class PathTextReader {
 public:
  explicit PathTextReader(std::string_view text) : text_(text) {}

  bool atEnd() const { return pos_ >= text_.size(); }
  char peek() const { return text_[pos_]; }
  void advance() { ++pos_; }

  static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }

  void skipSeparators() {
    while (!atEnd() && (isBlank(peek()) || peek() == ',')) ++pos_;
  }

  bool atNumberStart() const {
    if (atEnd()) return false;
    const char c = peek();
    return isDigit(c) || c == '.' || c == '-' || c == '+';
  }

  [[noreturn]] void fail(const std::string &what) const {
    throw std::runtime_error("Invalid path data: " + what + " at offset " + std::to_string(pos_));
  }

  // Reads one number: optional sign, digits with an optional decimal point (at least one
  // digit), optional exponent ("e" or "E", optional sign, digits). Separators before it
  // are skipped.
  double number() {
    skipSeparators();
    if (!atNumberStart()) fail(atEnd() ? "number expected, end of text found" : describeHere("number expected"));
    const std::size_t start = pos_;
    bool negative = false;
    if (peek() == '+' || peek() == '-') {
      negative = peek() == '-';
      ++pos_;
    }
    const std::size_t body = pos_;
    std::size_t digits = 0;
    while (!atEnd() && isDigit(peek())) ++pos_, ++digits;
    if (!atEnd() && peek() == '.') {
      ++pos_;
      while (!atEnd() && isDigit(peek())) ++pos_, ++digits;
    }
    if (digits == 0) {
      pos_ = start;
      fail("number expected");
    }
    if (!atEnd() && (peek() == 'e' || peek() == 'E')) {
      std::size_t p = pos_ + 1;
      if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) ++p;
      if (p < text_.size() && isDigit(text_[p])) {
        while (p < text_.size() && isDigit(text_[p])) ++p;
        pos_ = p;
      }
    }
    // from_chars takes no leading sign other than "-", so the sign was read above.
    const std::string_view digitsText = text_.substr(body, pos_ - body);
    double value = 0.0;
    const char *first = digitsText.data();
    const char *last = first + digitsText.size();
    const auto res = std::from_chars(first, last, value, std::chars_format::general);
    const bool negativeExponent = digitsText.find("e-") != std::string_view::npos ||
                                  digitsText.find("E-") != std::string_view::npos;
    if (res.ec == std::errc::result_out_of_range && res.ptr == last && negativeExponent) {
      value = 0.0;  // underflow
    } else if (res.ec != std::errc() || res.ptr != last) {
      pos_ = start;
      fail("number out of range");
    }
    if (!std::isfinite(static_cast<float>(value))) {
      pos_ = start;
      fail("number out of range");
    }
    return negative ? -value : value;
  }

  DPoint pair() {
    const double x = number();
    const double y = number();
    return {x, y};
  }

  // An arc flag: a single "0" or "1" (it needs no separator before the next number).
  bool flag() {
    skipSeparators();
    if (atEnd()) fail("arc flag expected, end of text found");
    const char c = peek();
    if (c != '0' && c != '1') fail(describeHere("arc flag (0 or 1) expected"));
    ++pos_;
    return c == '1';
  }

  std::string describeHere(const std::string &what) const {
    return what + ", found '" + std::string(1, peek()) + "'";
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

bool isCommandLetter(char c) {
  switch (c) {
    case 'M': case 'm': case 'L': case 'l': case 'H': case 'h': case 'V': case 'v':
    case 'C': case 'c': case 'S': case 's': case 'Q': case 'q': case 'T': case 't':
    case 'A': case 'a': case 'Z': case 'z':
      return true;
    default:
      return false;
  }
}

// The SVG elliptic arc from p1 to p2 as cubic pieces (endpoint to centre conversion).
void appendSvgArc(TPathData &path, DPoint p1, double rx, double ry, double rotationDeg,
                  bool largeArc, bool sweep, DPoint p2) {
  if (p1.x == p2.x && p1.y == p2.y) return;  // an arc to its own start draws nothing
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  if (rx == 0.0 || ry == 0.0) {
    path.LineTo(narrow(p2));
    return;
  }
  const double phi = std::fmod(rotationDeg, 360.0) * kDegToRad;
  const double cr = std::cos(phi), sr = std::sin(phi);
  const double hx = (p1.x - p2.x) / 2.0, hy = (p1.y - p2.y) / 2.0;
  const double x1 = cr * hx + sr * hy;
  const double y1 = -sr * hx + cr * hy;

  // Radii too small to reach the end point grow in proportion until they just do.
  const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
  if (lambda > 1.0) {
    const double s = std::sqrt(lambda);
    rx *= s;
    ry *= s;
  }
  const double rx2 = rx * rx, ry2 = ry * ry;
  const double den = rx2 * y1 * y1 + ry2 * x1 * x1;
  double coef = den > 0.0 ? std::sqrt(std::max(0.0, (rx2 * ry2 - den) / den)) : 0.0;
  if (largeArc == sweep) coef = -coef;
  const double cxp = coef * rx * y1 / ry;
  const double cyp = -coef * ry * x1 / rx;

  EllipseFrame e;
  e.c = {cr * cxp - sr * cyp + (p1.x + p2.x) / 2.0, sr * cxp + cr * cyp + (p1.y + p2.y) / 2.0};
  e.rx = rx;
  e.ry = ry;
  e.cr = cr;
  e.sr = sr;

  const double ux = (x1 - cxp) / rx, uy = (y1 - cyp) / ry;
  const double vx = (-x1 - cxp) / rx, vy = (-y1 - cyp) / ry;
  const double theta1 = std::atan2(uy, ux);
  double delta = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
  if (!sweep && delta > 0.0) delta -= 2.0 * kPi;
  if (sweep && delta < 0.0) delta += 2.0 * kPi;

  // Equal pieces of at most 90 degrees; the last ends exactly on the given end point.
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(delta) / (kPi / 2.0) - 1e-9)));
  const double step = delta / pieces;
  for (int i = 0; i < pieces; ++i) {
    const double a = theta1 + step * i;
    const double b = i + 1 == pieces ? theta1 + delta : a + step;
    addEllipsePiece(path, e, a, b, i + 1 == pieces ? &p2 : nullptr);
  }
}

TPathData parseSvgPath(std::string_view svg) {
  TPathData path;
  PathTextReader r(svg);
  r.skipSeparators();
  if (r.atEnd()) return path;
  {
    const char first = r.peek();
    if (first != 'M' && first != 'm') {
      if (isCommandLetter(first) || r.atNumberStart())
        r.fail("path data must begin with a move command (M or m)");
      const bool letter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
      r.fail(r.describeHere(letter ? "unknown command" : "unexpected character"));
    }
  }

  DPoint current;        // current point (the stored float value)
  DPoint contourStart;   // where a close returns to
  DPoint lastCubicCp2;   // second control point of the previous C or S
  DPoint lastQuadCp;     // control point of the previous Q or T
  char previous = 0;     // previous command, upper case
  char command = 0;      // command that repeats when a number follows

  auto setCurrent = [&](TPointF p) { current = widen(p); };
  auto cubicTo = [&](DPoint c1, DPoint c2, DPoint end) {
    const TPointF e = narrow(end);
    path.CurveTo(narrow(c1), narrow(c2), e);
    lastCubicCp2 = widen(path.Points()[static_cast<std::size_t>(path.Count() - 2)].Point);
    setCurrent(e);
  };
  auto quadTo = [&](DPoint q, DPoint end) {
    const DPoint p0 = current;
    const DPoint c1{p0.x + 2.0 / 3.0 * (q.x - p0.x), p0.y + 2.0 / 3.0 * (q.y - p0.y)};
    const DPoint c2{end.x + 2.0 / 3.0 * (q.x - end.x), end.y + 2.0 / 3.0 * (q.y - end.y)};
    cubicTo(c1, c2, end);
    lastQuadCp = q;
  };

  while (!r.atEnd()) {
    const char c = r.peek();
    if (isCommandLetter(c)) {
      command = c;
      r.advance();
    } else if (r.atNumberStart()) {
      if (command == 0) r.fail("number without a command");
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      r.fail(r.describeHere("unknown command"));
    } else {
      r.fail(r.describeHere("unexpected character"));
    }

    const bool relative = command >= 'a' && command <= 'z';
    const char upper = relative ? static_cast<char>(command - 'a' + 'A') : command;
    auto absolute = [&](DPoint p) {
      return relative ? DPoint{current.x + p.x, current.y + p.y} : p;
    };

    switch (upper) {
      case 'M': {
        const DPoint p = absolute(r.pair());
        path.MoveTo(narrow(p));
        setCurrent(narrow(p));
        contourStart = current;
        command = relative ? 'l' : 'L';  // further pairs are lines
        break;
      }
      case 'L': {
        const DPoint p = absolute(r.pair());
        path.LineTo(narrow(p));
        setCurrent(narrow(p));
        break;
      }
      case 'H': {
        const double x = r.number();
        const TPointF p = narrow({relative ? current.x + x : x, current.y});
        path.LineTo(p);
        setCurrent(p);
        break;
      }
      case 'V': {
        const double y = r.number();
        const TPointF p = narrow({current.x, relative ? current.y + y : y});
        path.LineTo(p);
        setCurrent(p);
        break;
      }
      case 'C': {
        const DPoint c1 = absolute(r.pair());
        const DPoint c2 = absolute(r.pair());
        const DPoint end = absolute(r.pair());
        cubicTo(c1, c2, end);
        break;
      }
      case 'S': {
        const DPoint c1 = (previous == 'C' || previous == 'S')
                              ? DPoint{2.0 * current.x - lastCubicCp2.x, 2.0 * current.y - lastCubicCp2.y}
                              : current;
        const DPoint c2 = absolute(r.pair());
        const DPoint end = absolute(r.pair());
        cubicTo(c1, c2, end);
        break;
      }
      case 'Q': {
        const DPoint q = absolute(r.pair());
        const DPoint end = absolute(r.pair());
        quadTo(q, end);
        break;
      }
      case 'T': {
        const DPoint q = (previous == 'Q' || previous == 'T')
                             ? DPoint{2.0 * current.x - lastQuadCp.x, 2.0 * current.y - lastQuadCp.y}
                             : current;
        const DPoint end = absolute(r.pair());
        quadTo(q, end);
        break;
      }
      case 'A': {
        const double rx = r.number();
        const double ry = r.number();
        const double rotation = r.number();
        const bool largeArc = r.flag();
        const bool sweep = r.flag();
        const DPoint end = absolute(r.pair());
        const TPointF endF = narrow(end);
        appendSvgArc(path, current, rx, ry, rotation, largeArc, sweep, widen(endF));
        setCurrent(endF);
        break;
      }
      case 'Z': {
        path.ClosePath();
        current = contourStart;
        command = 0;  // a close takes no numbers
        break;
      }
      default:
        break;
    }
    previous = upper;
    r.skipSeparators();
  }
  return path;
}

void appendPointText(std::string &out, TPointF p) {
  out += formatGeneral15(static_cast<double>(p.X));
  out += ',';
  out += formatGeneral15(static_cast<double>(p.Y));
  out += ' ';
}

}  // namespace

// ---------------------------------------------------------------------------------------

void TPathData::MoveTo(TPointF p) { points_.push_back({TPathPointKind::MoveTo, p}); }

void TPathData::LineTo(TPointF p) { points_.push_back({TPathPointKind::LineTo, p}); }

void TPathData::CurveTo(TPointF cp1, TPointF cp2, TPointF end) {
  points_.push_back({TPathPointKind::CurveTo, cp1});
  points_.push_back({TPathPointKind::CurveTo, cp2});
  points_.push_back({TPathPointKind::CurveTo, end});
}

void TPathData::ClosePath() {
  // The current contour starts at the last move; without one, at the first entry.
  TPointF start = points_.empty() ? TPointF{} : points_.front().Point;
  for (auto it = points_.rbegin(); it != points_.rend(); ++it) {
    if (it->Kind == TPathPointKind::MoveTo) {
      start = it->Point;
      break;
    }
  }
  points_.push_back({TPathPointKind::Close, start});
}

void TPathData::AddArc(TPointF center, TPointF radius, float startAngle, float sweepAngle) {
  double sweepDeg = sweepAngle;
  if (sweepDeg >= 360.0) sweepDeg = 360.0;
  if (sweepDeg <= -360.0) sweepDeg = -360.0;
  const double sweep = sweepDeg * kDegToRad;
  if (!(std::fabs(sweep) >= 1e-10)) return;

  EllipseFrame e;
  e.c = widen(center);
  e.rx = radius.X;
  e.ry = radius.Y;

  double a = static_cast<double>(startAngle) * kDegToRad;
  MoveTo(narrow(e.point(a)));
  const double quarter = sweep > 0.0 ? kPi / 2.0 : -kPi / 2.0;
  double remaining = sweep;
  while (std::fabs(remaining) > kPi / 2.0 + 0.01) {
    addEllipsePiece(*this, e, a, a + quarter);
    a += quarter;
    remaining -= quarter;
  }
  addEllipsePiece(*this, e, a, a + remaining);
}

void TPathData::AddEllipse(const TRectF &rect) {
  constexpr double kHandle = 0.5522847498;
  const double left = rect.Left, top = rect.Top, right = rect.Right, bottom = rect.Bottom;
  const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
  const double kx = (right - left) / 2.0 * kHandle, ky = (bottom - top) / 2.0 * kHandle;
  auto pt = [](double x, double y) { return narrow({x, y}); };
  MoveTo(pt(left, cy));
  CurveTo(pt(left, cy - ky), pt(cx - kx, top), pt(cx, top));
  CurveTo(pt(cx + kx, top), pt(right, cy - ky), pt(right, cy));
  CurveTo(pt(right, cy + ky), pt(cx + kx, bottom), pt(cx, bottom));
  CurveTo(pt(cx - kx, bottom), pt(left, cy + ky), pt(left, cy));
}

void TPathData::AddPath(const TPathData &other) {
  if (&other == this) {
    const std::vector<TPathPoint> copy = other.points_;
    points_.insert(points_.end(), copy.begin(), copy.end());
    return;
  }
  points_.insert(points_.end(), other.points_.begin(), other.points_.end());
}

TPointF TPathData::LastPoint() const { return points_.empty() ? TPointF{} : points_.back().Point; }

TRectF TPathData::GetBounds() const {
  if (points_.empty()) return TRectF(0, 0, 0, 0);
  TRectF r(points_.front().Point, points_.front().Point);
  for (const TPathPoint &e : points_) {
    r.Left = std::min(r.Left, e.Point.X);
    r.Top = std::min(r.Top, e.Point.Y);
    r.Right = std::max(r.Right, e.Point.X);
    r.Bottom = std::max(r.Bottom, e.Point.Y);
  }
  return r;
}

void TPathData::ApplyMatrix(const TMatrix &m) {
  for (TPathPoint &e : points_) e.Point = m.map(e.Point);
}

void TPathData::Translate(float dx, float dy) {
  for (TPathPoint &e : points_) {
    e.Point.X += dx;
    e.Point.Y += dy;
  }
}

void TPathData::Scale(float sx, float sy) {
  for (TPathPoint &e : points_) {
    e.Point.X *= sx;
    e.Point.Y *= sy;
  }
}

void TPathData::Flatten(float flatness) {
  if (!(flatness >= 0.05f)) flatness = 0.05f;
  const double f = flatness;
  std::vector<TPathPoint> out;
  out.reserve(points_.size());
  TPointF current;
  const std::size_t count = points_.size();
  std::size_t i = 0;
  while (i < count) {
    const TPathPoint &e = points_[i];
    if (e.Kind == TPathPointKind::CurveTo && i + 2 < count &&
        points_[i + 1].Kind == TPathPointKind::CurveTo && points_[i + 2].Kind == TPathPointKind::CurveTo) {
      flattenPiece(current, e.Point, points_[i + 1].Point, points_[i + 2].Point, f, out);
      current = points_[i + 2].Point;
      i += 3;
      continue;
    }
    // An incomplete curve at the end (fewer than three entries) becomes lines.
    out.push_back({e.Kind == TPathPointKind::CurveTo ? TPathPointKind::LineTo : e.Kind, e.Point});
    current = e.Point;
    ++i;
  }
  points_ = std::move(out);
}

std::string TPathData::toText() const {
  std::string out;
  out.reserve(points_.size() * 24);
  int curveRun = 0;  // consecutive curve entries so far; every third starts a new "C"
  for (const TPathPoint &e : points_) {
    if (e.Kind != TPathPointKind::CurveTo) curveRun = 0;
    switch (e.Kind) {
      case TPathPointKind::MoveTo:
        out += 'M';
        appendPointText(out, e.Point);
        break;
      case TPathPointKind::LineTo:
        out += 'L';
        appendPointText(out, e.Point);
        break;
      case TPathPointKind::CurveTo:
        if (curveRun % 3 == 0) out += 'C';
        ++curveRun;
        appendPointText(out, e.Point);
        break;
      case TPathPointKind::Close:
        out += "Z ";
        break;
    }
  }
  return out;
}

void TPathData::setText(std::string_view svg) { points_ = parseSvgPath(svg).points_; }

TPathData TPathData::fromText(std::string_view svg) {
  TPathData path;
  path.setText(svg);
  return path;
}

bool TPathData::operator==(const TPathData &o) const {
  if (points_.size() != o.points_.size()) return false;
  for (std::size_t i = 0; i < points_.size(); ++i) {
    if (points_[i].Kind != o.points_[i].Kind || !points_[i].Point.exactlyEquals(o.points_[i].Point))
      return false;
  }
  return true;
}

}  // namespace quillon
