#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "model/model_test_util.h"
#include "model/shape.h"
#include "platform/text_layout.h"

namespace quillon {
namespace {

using test::countKind;
using test::pointNear;

constexpr double kPi = std::numbers::pi;
constexpr double kTol = 2e-3;  // millimetres

const QString kDejaVu = QStringLiteral("DejaVu Sans");
const QString kNotoJp = QStringLiteral("Noto Sans CJK JP");

// A glyph as the layout gives it alone: outline with its box's top-left at (0, 0).
struct Glyph {
  TPathData outline;
  double w = 0.0;
  double h = 0.0;
};

class ShapeText : public ::testing::Test {
 protected:
  std::unique_ptr<TQN_Path> s = std::make_unique<TQN_Path>(0, 0xFF000000, 1, TStrokeDash::Solid, 1);

  static Glyph glyph(const QString &family, float size, const QString &ch) {
    const TTextLayout layout(family, size);
    const TTextSize m = layout.measure(ch);
    return {layout.outline(ch), m.Width, m.Height};
  }

  // The glyph moved so that its box's top-left is at `topLeft`.
  static TPathData shifted(const Glyph &g, TPointF topLeft) {
    TPathData p = g.outline;
    p.ApplyMatrix(TMatrix::translation(topLeft.X, topLeft.Y));
    return p;
  }

  // The glyph with its box centred on `centre` and turned by `turn` radians (clockwise on
  // screen) about that centre.
  static TPathData onCircle(const Glyph &g, TPointF centre, double turn) {
    TPathData p = g.outline;
    p.ApplyMatrix(TMatrix::translation(-g.w / 2, -g.h / 2) * TMatrix::rotation(turn) *
                  TMatrix::translation(centre.X, centre.Y));
    return p;
  }

  // The entries of `actual` from index `from` on are those of `expected`.
  static ::testing::AssertionResult entriesAt(const TPathData &actual, int from, const TPathData &expected,
                                              double tol = kTol) {
    if (expected.IsEmpty()) return ::testing::AssertionFailure() << "expected glyph has no outline";
    if (actual.Count() < from + expected.Count())
      return ::testing::AssertionFailure() << "outline has " << actual.Count() << " entries, wanted "
                                           << from + expected.Count();
    for (int i = 0; i < expected.Count(); ++i) {
      const TPathPoint &a = actual[from + i];
      const TPathPoint &e = expected[i];
      if (a.Kind != e.Kind) return ::testing::AssertionFailure() << "entry " << from + i << " differs in kind";
      if (std::fabs(double(a.Point.X) - e.Point.X) > tol || std::fabs(double(a.Point.Y) - e.Point.Y) > tol)
        return ::testing::AssertionFailure() << "entry " << from + i << " is (" << a.Point.X << ", " << a.Point.Y
                                             << "), wanted (" << e.Point.X << ", " << e.Point.Y << ")";
    }
    return ::testing::AssertionSuccess();
  }
};

TEST_F(ShapeText, SetsTheTextFieldsAndResults) {
  s->drawLinePath({0, 0}, {5, 5});
  s->FStartPt = {1, 2};
  s->FTextFill = false;
  s->drawTextPath(QStringLiteral("AB"), {10, 20}, 10.0f, 0.0f, kDejaVu, 0.0f, 1.5f);

  EXPECT_EQ(s->FShapeType, TShapeKind::Text);
  EXPECT_EQ(s->FText, "AB");
  EXPECT_FLOAT_EQ(s->FFontSize, 10.0f);
  EXPECT_EQ(s->FFontFamily, kDejaVu);
  EXPECT_FLOAT_EQ(s->FRotation, 0.0f);
  EXPECT_FLOAT_EQ(s->FTextRadius, 0.0f);
  EXPECT_FLOAT_EQ(s->FTextStretch, 1.5f);
  // The anchor point and the fill flag belong to the caller.
  EXPECT_TRUE(pointNear(s->FStartPt, {1, 2}, 0));
  EXPECT_FALSE(s->FTextFill);

  const Glyph a = glyph(kDejaVu, 10, QStringLiteral("A"));
  const Glyph b = glyph(kDejaVu, 10, QStringLiteral("B"));
  EXPECT_NEAR(s->FWidth, (a.w + b.w) * 1.5, 1e-3);
  EXPECT_NEAR(s->FHeight, a.h, 1e-4);
  // The outline replaced the line's and keeps the glyphs' curves and closes.
  EXPECT_EQ(s->Data().Count(), a.outline.Count() + b.outline.Count());
  EXPECT_GT(countKind(s->Data(), TPathPointKind::CurveTo), 0);
  EXPECT_EQ(countKind(s->Data(), TPathPointKind::Close),
            countKind(a.outline, TPathPointKind::Close) + countKind(b.outline, TPathPointKind::Close));
  EXPECT_TRUE(pointNear(s->FCenter, s->getMinMaxRect().centerPoint(), 1e-5));
}

TEST_F(ShapeText, StraightGlyphsAdvanceByTheirStretchedWidths) {
  const TPointF st{10, 20};
  s->drawTextPath(QStringLiteral("AB"), st, 10.0f, 0.0f, kDejaVu, 0.0f, 2.0f);
  const Glyph a = glyph(kDejaVu, 10, QStringLiteral("A"));
  const Glyph b = glyph(kDejaVu, 10, QStringLiteral("B"));
  // Both boxes are centred vertically on the start point; A's box starts at the start
  // point, B's twice A's width further on.
  EXPECT_TRUE(entriesAt(s->Data(), 0, shifted(a, {st.X, float(st.Y - a.h / 2)})));
  EXPECT_TRUE(entriesAt(s->Data(), a.outline.Count(), shifted(b, {float(st.X + 2 * a.w), float(st.Y - b.h / 2)})));
  EXPECT_NEAR(s->FWidth, 2 * (a.w + b.w), 1e-3);
}

TEST_F(ShapeText, ABlankDrawsNothingButShiftsWhatFollows) {
  const TPointF st{-3, 4};
  s->drawTextPath(QStringLiteral("A B"), st, 10.0f, 0.0f, kDejaVu, 0.0f, 1.0f);
  const Glyph a = glyph(kDejaVu, 10, QStringLiteral("A"));
  const Glyph sp = glyph(kDejaVu, 10, QStringLiteral(" "));
  const Glyph b = glyph(kDejaVu, 10, QStringLiteral("B"));
  ASSERT_GT(sp.w, 1.0);
  EXPECT_EQ(s->Data().Count(), a.outline.Count() + b.outline.Count());
  EXPECT_TRUE(entriesAt(s->Data(), a.outline.Count(), shifted(b, {float(st.X + a.w + sp.w), float(st.Y - b.h / 2)})));
  EXPECT_NEAR(s->FWidth, a.w + sp.w + b.w, 1e-3);
}

TEST_F(ShapeText, ACharacterOutsideTheBasicPlaneIsOne) {
  // U+20BB7 is stored as a surrogate pair; it is one full-width character.
  const QString kichi = QString::fromUtf8("\xF0\xA0\xAE\xB7");
  const TPointF st{0, 0};
  s->drawTextPath(kichi + QStringLiteral("A"), st, 10.0f, 0.0f, kNotoJp, 0.0f, 1.0f);
  const Glyph k = glyph(kNotoJp, 10, kichi);
  const Glyph a = glyph(kNotoJp, 10, QStringLiteral("A"));
  ASSERT_NEAR(k.w, 10.0, 1e-3);
  EXPECT_TRUE(entriesAt(s->Data(), 0, shifted(k, {0, float(-k.h / 2)})));
  EXPECT_TRUE(entriesAt(s->Data(), k.outline.Count(), shifted(a, {10.0f, float(-a.h / 2)})));
  EXPECT_NEAR(s->FWidth, 10.0 + a.w, 1e-3);
}

TEST_F(ShapeText, StraightTextTurnsAboutTheCentreOfItsOutline) {
  const TPointF st{30, -12};
  TQN_Path flat(0, 0xFF000000, 1, TStrokeDash::Solid, 2);
  flat.drawTextPath(QStringLiteral("Quillon"), st, 8.0f, 0.0f, kDejaVu, 0.0f, 1.2f);
  s->drawTextPath(QStringLiteral("Quillon"), st, 8.0f, 90.0f, kDejaVu, 0.0f, 1.2f);

  EXPECT_FLOAT_EQ(s->FRotation, 90.0f);
  const TRectF r0 = flat.getMinMaxRect();
  const TRectF r1 = s->getMinMaxRect();
  const TPointF c = r0.centerPoint();
  EXPECT_TRUE(pointNear(r1.centerPoint(), c, kTol));
  EXPECT_TRUE(pointNear(s->FCenter, c, kTol));
  EXPECT_NEAR(r1.width(), r0.height(), kTol);
  EXPECT_NEAR(r1.height(), r0.width(), kTol);
  // A quarter turn clockwise on screen (y down) takes an offset (dx, dy) to (-dy, dx).
  ASSERT_EQ(s->Data().Count(), flat.Data().Count());
  for (int i = 0; i < flat.Data().Count(); ++i) {
    const TPointF d = flat.Data()[i].Point - c;
    EXPECT_TRUE(pointNear(s->Data()[i].Point, {c.X - d.Y, c.Y + d.X}, kTol)) << i;
  }
  EXPECT_FLOAT_EQ(s->FWidth, flat.FWidth);
  EXPECT_FLOAT_EQ(s->FHeight, flat.FHeight);
}

TEST_F(ShapeText, CircleStartsAtTheStartPointLeftOfItsCentre) {
  const TPointF st{5, 7};
  const float R = 20;
  const float stretch = 1.5f;
  const Glyph h = glyph(kDejaVu, 10, QStringLiteral("H"));
  ASSERT_NEAR(TTextLayout(kDejaVu, 10).measure(QStringLiteral("HH")).Width, 2 * h.w, 1e-4);  // no kerning
  s->drawTextPath(QStringLiteral("HH"), st, 10.0f, 0.0f, kDejaVu, R, stretch);

  // First glyph: box centred on the start point, turned a quarter counter-clockwise so
  // that its top faces away from the centre at (25, 7).
  EXPECT_TRUE(entriesAt(s->Data(), 0, onCircle(h, st, -kPi / 2)));
  // Second glyph: its centre follows along the arc by the stretched width, clockwise
  // over the top, so it is at angle phi = 1.5 w / R up from the left end.
  const double phi = stretch * h.w / R;
  const TPointF c2{float(st.X + R - R * std::cos(phi)), float(st.Y - R * std::sin(phi))};
  EXPECT_TRUE(entriesAt(s->Data(), h.outline.Count(), onCircle(h, c2, phi - kPi / 2)));

  // Every point lies in the ring the glyph boxes sweep around (25, 7).
  const double inner = R - h.h / 2;
  const double outer = std::hypot(R + h.h / 2, h.w / 2);
  for (const TPathPoint &e : s->Data().Points()) {
    const double d = std::hypot(e.Point.X - 25.0, e.Point.Y - 7.0);
    EXPECT_GE(d, inner - kTol);
    EXPECT_LE(d, outer + kTol);
  }
  EXPECT_NEAR(s->FWidth, 2 * h.w * stretch, 1e-3);
  EXPECT_TRUE(pointNear(s->FCenter, s->getMinMaxRect().centerPoint(), 1e-5));
}

TEST_F(ShapeText, CircleSpacesGlyphCentresByHalfTheirWidths) {
  // A narrow and a wide glyph: on a circle the step from the first centre to the second
  // is half of each width, stretched.
  const TPointF st{0, 0};
  const float R = 30;
  const float stretch = 1.25f;
  const Glyph i = glyph(kDejaVu, 10, QStringLiteral("I"));
  const Glyph w = glyph(kDejaVu, 10, QStringLiteral("W"));
  ASSERT_GT(w.w, 2 * i.w);
  ASSERT_NEAR(TTextLayout(kDejaVu, 10).measure(QStringLiteral("IW")).Width, i.w + w.w, 1e-4);  // no kerning
  s->drawTextPath(QStringLiteral("IW"), st, 10.0f, 0.0f, kDejaVu, R, stretch);
  EXPECT_TRUE(entriesAt(s->Data(), 0, onCircle(i, st, -kPi / 2)));
  const double phi = (i.w + w.w) / 2 * stretch / R;
  const TPointF c2{float(R - R * std::cos(phi)), float(-R * std::sin(phi))};
  EXPECT_TRUE(entriesAt(s->Data(), i.outline.Count(), onCircle(w, c2, phi - kPi / 2)));
}

TEST_F(ShapeText, CircleRotatedAQuarterStartsAtTheTop) {
  const TPointF st{5, 7};
  s->drawTextPath(QStringLiteral("HH"), st, 10.0f, 90.0f, kDejaVu, 20.0f, 1.0f);
  const Glyph h = glyph(kDejaVu, 10, QStringLiteral("H"));
  // Upright, box centred straight above the circle's centre (25, 7); not turned again.
  EXPECT_TRUE(entriesAt(s->Data(), 0, shifted(h, {float(25 - h.w / 2), float(7 - 20 - h.h / 2)})));
  EXPECT_FLOAT_EQ(s->FRotation, 90.0f);
}

TEST_F(ShapeText, TextLongerThanTheCircleIsSqueezedToOneTurn) {
  const QString text(10, QChar('H'));
  const TPointF st{0, 0};
  const float R = 5;  // circumference about 31 mm for about 75 mm of text
  const float stretch = 1.5f;
  const Glyph h = glyph(kDejaVu, 10, QStringLiteral("H"));
  ASSERT_NEAR(TTextLayout(kDejaVu, 10).measure(text).Width, 10 * h.w, 1e-3);  // no kerning
  s->drawTextPath(text, st, 10.0f, 0.0f, kDejaVu, R, stretch);

  EXPECT_FLOAT_EQ(s->FTextStretch, stretch);
  EXPECT_NEAR(s->FWidth, 10 * h.w * stretch, 1e-3);
  // Ten equal glyphs share the full turn: centres 36 degrees apart, clockwise from the
  // left end of the circle about (5, 0).
  ASSERT_EQ(s->Data().Count(), 10 * h.outline.Count());
  for (int i = 0; i < 10; ++i) {
    const double phi = 2 * kPi * i / 10;
    const TPointF c{float(R - R * std::cos(phi)), float(-R * std::sin(phi))};
    EXPECT_TRUE(entriesAt(s->Data(), i * h.outline.Count(), onCircle(h, c, phi - kPi / 2))) << i;
  }
}

TEST_F(ShapeText, NegativeRadiusRunsUnderTheCircleWithGlyphsTurned) {
  const TPointF st{5, 7};
  const float R = 20;
  const Glyph h = glyph(kDejaVu, 10, QStringLiteral("H"));
  s->drawTextPath(QStringLiteral("HH"), st, 10.0f, 0.0f, kDejaVu, -R, 1.0f);

  EXPECT_FLOAT_EQ(s->FTextRadius, -R);
  // The circle is the same (centre (25, 7)); the first glyph sits at the start point with
  // its top toward the centre.
  EXPECT_TRUE(entriesAt(s->Data(), 0, onCircle(h, st, kPi / 2)));
  // The second goes counter-clockwise, down below the centre's height.
  const double phi = h.w / R;
  const TPointF c2{float(st.X + R - R * std::cos(phi)), float(st.Y + R * std::sin(phi))};
  EXPECT_TRUE(entriesAt(s->Data(), h.outline.Count(), onCircle(h, c2, kPi / 2 - phi)));
  EXPECT_NEAR(s->FWidth, 2 * h.w, 1e-3);
}

TEST_F(ShapeText, EmptyTextGivesAnEmptyOutline) {
  for (const float radius : {0.0f, 15.0f, -15.0f}) {
    s->drawTextPath(QStringLiteral("AB"), {10, 20}, 10.0f, 30.0f, kDejaVu, radius, 1.0f);
    ASSERT_FALSE(s->Data().IsEmpty());
    s->drawTextPath(QString(), {10, 20}, 10.0f, 30.0f, kDejaVu, radius, 1.0f);
    EXPECT_TRUE(s->Data().IsEmpty()) << radius;
    EXPECT_TRUE(pointNear(s->FCenter, {0, 0}, 0)) << radius;
    EXPECT_EQ(s->FWidth, 0.0f) << radius;
    EXPECT_EQ(s->FShapeType, TShapeKind::Text);
    EXPECT_TRUE(s->FText.isEmpty());
  }
}

TEST_F(ShapeText, JapaneseTextHasOutlines) {
  for (const QString &family : {kNotoJp, kDejaVu, QStringLiteral("Meiryo UI")}) {
    for (const float radius : {0.0f, 30.0f}) {
      s->drawTextPath(QStringLiteral("日本語"), {0, 0}, 10.0f, 0.0f, family, radius, 1.0f);
      EXPECT_GT(countKind(s->Data(), TPathPointKind::Close), 3) << family.toStdString();
      EXPECT_GT(countKind(s->Data(), TPathPointKind::CurveTo), 0) << family.toStdString();
      EXPECT_NEAR(s->FWidth, 30.0, 1e-3) << family.toStdString();  // three full-width characters
    }
  }
  // Straight, the glyphs stay inside their 30 mm of line.
  s->drawTextPath(QStringLiteral("日本語"), {0, 0}, 10.0f, 0.0f, kNotoJp, 0.0f, 1.0f);
  const TRectF r = s->getMinMaxRect();
  EXPECT_GE(r.Left, 0.0f);
  EXPECT_LE(r.Right, 30.0f);
  EXPECT_GT(r.width(), 25.0f);
}

TEST_F(ShapeText, FontSizeScalesTheOutline) {
  // From the origin everything scales with the size: positions, glyphs and results.
  for (const float radius : {0.0f, 40.0f}) {
    TQN_Path small(0, 0xFF000000, 1, TStrokeDash::Solid, 2);
    small.drawTextPath(QStringLiteral("Hello"), {0, 0}, 10.0f, 0.0f, kDejaVu, radius / 2, 1.3f);
    s->drawTextPath(QStringLiteral("Hello"), {0, 0}, 20.0f, 0.0f, kDejaVu, radius, 1.3f);
    EXPECT_NEAR(s->FWidth, 2 * small.FWidth, 1e-3);
    EXPECT_NEAR(s->FHeight, 2 * small.FHeight, 1e-3);
    EXPECT_NEAR(s->getMinMaxRect().width(), 2 * small.getMinMaxRect().width(), 1e-3);
    ASSERT_EQ(s->Data().Count(), small.Data().Count());
    for (int i = 0; i < s->Data().Count(); ++i) {
      const TPointF p = small.Data()[i].Point;
      EXPECT_TRUE(pointNear(s->Data()[i].Point, {2 * p.X, 2 * p.Y}, kTol)) << radius << " " << i;
    }
  }
}

}  // namespace
}  // namespace quillon
