#pragma once
// Plain geometry values of the drawing: points, rectangles, affine matrices and ARGB
// colours. Coordinates are 32-bit floats in millimetres, y growing downward.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

using TAlphaColor = std::uint32_t;  // alpha in the top byte, then red, green, blue

// True when two coordinates are equal within the canvas' relative tolerance: the
// difference is at most 1.25e-6 times the larger magnitude (6.25e-37 when both are 0).
inline bool sameCoordinate(float a, float b) {
  const double da = a, db = b;
  const double scale = std::fmax(std::fabs(da), std::fabs(db));
  const double eps = scale == 0.0 ? 6.25e-37 : 1.25e-6 * scale;
  return std::fabs(da - db) <= eps;
}

struct TPointF {
  float X = 0.0f;
  float Y = 0.0f;

  constexpr TPointF() = default;
  constexpr TPointF(float x, float y) : X(x), Y(y) {}

  TPointF operator+(TPointF o) const { return {X + o.X, Y + o.Y}; }
  TPointF operator-(TPointF o) const { return {X - o.X, Y - o.Y}; }
  TPointF operator-() const { return {-X, -Y}; }
  TPointF operator*(float k) const { return {X * k, Y * k}; }
  TPointF &operator+=(TPointF o) { X += o.X; Y += o.Y; return *this; }
  TPointF &operator-=(TPointF o) { X -= o.X; Y -= o.Y; return *this; }

  // The canvas' point equality (relative tolerance per coordinate).
  bool operator==(TPointF o) const { return sameCoordinate(X, o.X) && sameCoordinate(Y, o.Y); }
  bool operator!=(TPointF o) const { return !(*this == o); }

  // Exact comparison of the stored bits' values.
  bool exactlyEquals(TPointF o) const { return X == o.X && Y == o.Y; }

  float length() const { return static_cast<float>(std::hypot(double(X), double(Y))); }
  bool isZero() const { return X == 0.0f && Y == 0.0f; }
};

struct TRectF {
  float Left = 0.0f;
  float Top = 0.0f;
  float Right = 0.0f;
  float Bottom = 0.0f;

  constexpr TRectF() = default;
  constexpr TRectF(float l, float t, float r, float b) : Left(l), Top(t), Right(r), Bottom(b) {}
  TRectF(TPointF topLeft, TPointF bottomRight)
      : Left(topLeft.X), Top(topLeft.Y), Right(bottomRight.X), Bottom(bottomRight.Y) {}

  float width() const { return Right - Left; }
  float height() const { return Bottom - Top; }
  TPointF topLeft() const { return {Left, Top}; }
  TPointF bottomRight() const { return {Right, Bottom}; }
  TPointF centerPoint() const { return {(Left + Right) / 2.0f, (Top + Bottom) / 2.0f}; }
  bool isEmpty() const { return !(Right > Left) || !(Bottom > Top); }
  bool operator==(const TRectF &o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
};

// Affine 2D matrix in the row-vector convention:
//   x' = x*m11 + y*m21 + m31,  y' = x*m12 + y*m22 + m32.
struct TMatrix {
  double m11 = 1, m12 = 0;
  double m21 = 0, m22 = 1;
  double m31 = 0, m32 = 0;

  static TMatrix identity() { return {}; }
  static TMatrix translation(double dx, double dy) {
    TMatrix m;
    m.m31 = dx;
    m.m32 = dy;
    return m;
  }
  static TMatrix scaling(double sx, double sy) {
    TMatrix m;
    m.m11 = sx;
    m.m22 = sy;
    return m;
  }
  // Rotation by an angle in radians; positive turns +x toward +y (clockwise on screen).
  static TMatrix rotation(double radians) {
    TMatrix m;
    const double c = std::cos(radians), s = std::sin(radians);
    m.m11 = c;
    m.m12 = s;
    m.m21 = -s;
    m.m22 = c;
    return m;
  }
  // this, then o.
  TMatrix operator*(const TMatrix &o) const {
    TMatrix r;
    r.m11 = m11 * o.m11 + m12 * o.m21;
    r.m12 = m11 * o.m12 + m12 * o.m22;
    r.m21 = m21 * o.m11 + m22 * o.m21;
    r.m22 = m21 * o.m12 + m22 * o.m22;
    r.m31 = m31 * o.m11 + m32 * o.m21 + o.m31;
    r.m32 = m31 * o.m12 + m32 * o.m22 + o.m32;
    return r;
  }
  TPointF map(TPointF p) const {
    return {static_cast<float>(p.X * m11 + p.Y * m21 + m31),
            static_cast<float>(p.X * m12 + p.Y * m22 + m32)};
  }
};

enum class TStrokeDash { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Custom = 5 };

// The name of a dash style as files store it: "Solid", "Dash", "Dot", "DashDot",
// "DashDotDot" or "Custom".
const char *strokeDashName(TStrokeDash dash);
// The dash style of a name; nothing for any other text.
std::optional<TStrokeDash> strokeDashFromName(std::string_view name, bool ignoreCase = false);

}  // namespace quillon
