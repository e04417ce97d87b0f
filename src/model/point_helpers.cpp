#include "model/point_helpers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "model/color_names.h"
#include "platform/json_text.h"
#include "platform/json_values.h"
#include "platform/number_text.h"
#include "platform/path_data.h"

namespace quillon {

namespace {
constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kRadToDeg = 180.0 / std::numbers::pi;

double dot(TPointF u, TPointF v) { return double(u.X) * v.X + double(u.Y) * v.Y; }
double norm(TPointF v) { return std::hypot(double(v.X), double(v.Y)); }
double clampUnit(double c) { return std::clamp(c, -1.0, 1.0); }
}  // namespace

float calcDistance(TPointF a, TPointF b) {
  return static_cast<float>(std::hypot(double(a.X) - b.X, double(a.Y) - b.Y));
}

float round2(float x) { return static_cast<float>(roundHalfAwayFromZero(x, 2)); }

TPointF roundPoint4(TPointF p) {
  return {static_cast<float>(roundHalfAwayFromZero(p.X, 4)),
          static_cast<float>(roundHalfAwayFromZero(p.Y, 4))};
}

bool isSamePoint(TPointF a, TPointF b, float tolerance) {
  if (tolerance != 0.0f) return calcDistance(a, b) < tolerance;
  return round2(a.X) == round2(b.X) && round2(a.Y) == round2(b.Y);
}

bool isCoincident(TPointF a, TPointF b) { return double(calcDistance(a, b)) <= 0.008; }
bool isNearPoint(TPointF a, TPointF b) { return double(calcDistance(a, b)) <= 0.05; }
bool isAlmostNearPoint(TPointF a, TPointF b) {
  const double d = calcDistance(a, b);
  return d > 0.05 && d <= 0.2;
}

float foldAngleToAxis(float degrees) {
  float v = std::fabs(degrees);
  if (!std::isfinite(v)) return v;
  v = std::fmod(v, 90.0f);  // the same as subtracting 90 while it is 90 or more
  if (v > 45.0f) v = 90.0f - v;
  return v;
}

bool isSlightlyOffAxis(float degrees) {
  const float f = foldAngleToAxis(degrees);
  return f > 0.0f && f <= 0.5f;
}

TPointF calcUnitVector(TPointF a, TPointF b) {
  const double d = calcDistance(a, b);
  if (d == 0.0) return {0.0f, 0.0f};
  return {static_cast<float>((double(b.X) - a.X) / d), static_cast<float>((double(b.Y) - a.Y) / d)};
}

TPointF calcPerpendicular(TPointF v, bool side) {
  return side ? TPointF{v.Y, -v.X} : TPointF{-v.Y, v.X};
}

double calcVectorAngle(TPointF v) {
  const double n = norm(v);
  if (n == 0.0) return 0.0;
  double a = std::acos(clampUnit(v.X / n));
  if (v.Y < 0) a = 2.0 * std::numbers::pi - a;
  return a;
}

TPointF rotateVector(TPointF v, float degrees) {
  const double phi = calcVectorAngle(v) + double(degrees) * kDegToRad;
  return {static_cast<float>(std::cos(phi)), static_cast<float>(std::sin(phi))};
}

float calcCosBetween(TPointF u, TPointF v) {
  const TPointF zero;
  if (u == zero || v == zero) return -1.0f;
  return static_cast<float>(dot(u, v) / (norm(u) * norm(v)));
}

float calcAngleBetween(TPointF u, TPointF v) {
  return static_cast<float>(std::acos(clampUnit(calcCosBetween(u, v))) * kRadToDeg);
}

TPointF rotatePoint(TPointF p, TPointF center, float degrees) {
  const double t = double(degrees) * kDegToRad;
  const double dx = double(p.X) - center.X, dy = double(p.Y) - center.Y;
  const double c = std::cos(t), s = std::sin(t);
  return {static_cast<float>(center.X + dx * c - dy * s), static_cast<float>(center.Y + dx * s + dy * c)};
}

TPointF rotatePointWithMatrix(TPointF p, float degrees, TPointF center) {
  TPathData path;
  path.MoveTo({0.0f, 0.0f});
  path.LineTo(p);
  path.Translate(-center.X, -center.Y);
  path.ApplyMatrix(TMatrix::rotation(double(degrees) * kDegToRad));
  path.Translate(center.X, center.Y);
  return path[1].Point;
}

int calcRotationSense(TPointF p, TPointF q, TPointF center) {
  const float a = calcAngleBetween(calcUnitVector(center, p), calcUnitVector(center, q));
  const TPointF rPlus = rotatePoint(p, center, a);
  const TPointF rMinus = rotatePoint(p, center, -a);
  return calcDistance(q, rPlus) > calcDistance(q, rMinus) ? -1 : 1;
}

float calcAngleAtVertex(TPointF vertex, TPointF p1, TPointF p2, bool reflex, int signHint) {
  const TPointF u = calcUnitVector(vertex, p1);
  const TPointF w = calcUnitVector(vertex, p2);
  const double alpha = std::acos(clampUnit(calcCosBetween(u, w))) * kRadToDeg;
  const auto result = [](double v) { return static_cast<float>(v); };

  if (signHint != 0) {
    const double a = reflex ? 360.0 - alpha : alpha;
    return result(signHint < 0 ? -a : a);
  }
  const float g = calcDistance(vertex, p2);
  const TPointF cPlus = vertex + rotateVector(u, static_cast<float>(alpha)) * g;
  const TPointF cMinus = vertex + rotateVector(u, static_cast<float>(-alpha)) * g;
  const auto asPlus = [&] { return result(reflex ? -(360.0 - alpha) : alpha); };
  const auto asMinus = [&] { return result(reflex ? 360.0 - alpha : -alpha); };
  if (isSamePoint(p2, cPlus, 0.0f)) return asPlus();
  if (isSamePoint(p2, cMinus, 0.0f)) return asMinus();
  return calcDistance(p2, cMinus) <= calcDistance(p2, cPlus) ? asMinus() : asPlus();
}

float calcArcPointAngle(TPointF center, TPointF p, TPointF radius) {
  double c = roundHalfEven((double(p.X) - center.X) / double(radius.X), 5);
  if (std::isnan(c)) c = 1.0;  // a zero radius with the point on the centre
  c = clampUnit(c);
  const double e = std::acos(c) * kRadToDeg;
  return static_cast<float>(center.Y > p.Y ? -e : e);
}

float calcTriangleHeight(float a, float b, float c) {
  const double s = (double(a) + b + c) / 2.0;
  const double q = s * (s - a) * (s - b) * (s - c);
  if (q < 0.0) return 0.0f;
  return static_cast<float>(2.0 * std::sqrt(q) / c);
}

bool isPointOnSegment(TPointF a, TPointF b, TPointF p, float &cross, float tolerance) {
  const double abx = double(b.X) - a.X, aby = double(b.Y) - a.Y;
  const double apx = double(p.X) - a.X, apy = double(p.Y) - a.Y;
  const double c = apy * abx - apx * aby;
  cross = static_cast<float>(c);
  const double len2 = abx * abx + aby * aby;
  if (!(len2 > 0.0)) return false;
  if (std::fabs(c) / std::sqrt(len2) > tolerance) return false;
  const double t = apx * abx + apy * aby;
  return t >= 0.0 && t <= len2;
}

TJson pointToJson(TPointF p) {
  return TJson::array({static_cast<double>(p.X), static_cast<double>(p.Y)});
}

namespace {
// A JSON value in a message; invalid UTF-8 in a string must not throw here.
std::string shownValue(const TJson &v) {
  return v.dump(-1, ' ', false, TJson::error_handler_t::replace);
}
}  // namespace

TPointF jsonToPoint(const TJson &value) {
  if (const TJsonRead<TPointF> point = readJsonPoint(value)) return point.Value;
  throw std::runtime_error("a point needs an array of two finite numbers: " + shownValue(value));
}

std::string colorToHexARGB(TAlphaColor c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(c));
  return buf;
}

std::string colorToText(TAlphaColor c) {
  if (auto name = colorName(c)) return std::string(*name);
  return "#" + colorToHexARGB(c);
}

std::string colorToSvgText(TAlphaColor c) {
  std::string text = colorToText(c);
  if (text.rfind("#FF", 0) == 0) text = "#" + text.substr(3);
  return text;
}

namespace {
std::optional<std::uint32_t> parseHex32(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t v = 0;
  for (char ch : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(ch))) return std::nullopt;
    const int d = std::isdigit(static_cast<unsigned char>(ch))
                      ? ch - '0'
                      : std::tolower(static_cast<unsigned char>(ch)) - 'a' + 10;
    v = (v << 4) | static_cast<std::uint32_t>(d);
  }
  return v;
}
}  // namespace

TAlphaColor textToColor(const std::string &text) {
  if (text.empty()) return 0;
  if (text[0] == '#' || text[0] == 'x') {
    if (auto v = parseHex32(std::string_view(text).substr(1))) return *v;
    throw std::runtime_error("'" + text + "' is not a valid colour");
  }
  if (auto c = colorByName(text)) return *c;
  if (text[0] == '$') {
    if (auto v = parseHex32(std::string_view(text).substr(1))) return *v;
  } else {
    std::string_view body = text;
    bool negative = false;
    if (!body.empty() && (body[0] == '-' || body[0] == '+')) {
      negative = body[0] == '-';
      body.remove_prefix(1);
    }
    if (!body.empty() && body.size() <= 10 &&
        std::all_of(body.begin(), body.end(), [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); })) {
      const long long v = std::stoll(std::string(body));
      if (v <= 0xFFFFFFFFLL && (!negative || v <= 0x80000000LL))
        return static_cast<TAlphaColor>(negative ? -v : v);
    }
  }
  throw std::runtime_error("'" + text + "' is not a valid colour");
}

TAlphaColor jsonToColor(const TJson &value) {
  if (!value.is_string()) throw std::runtime_error("a colour must be a text: " + shownValue(value));
  return textToColor(value.get<std::string>());
}

}  // namespace quillon
