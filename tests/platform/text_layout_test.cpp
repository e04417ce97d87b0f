#include "platform/text_layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillon {
namespace {

const QString kDejaVu = QStringLiteral("DejaVu Sans");
const QString kNotoJp = QStringLiteral("Noto Sans CJK JP");

// DejaVu Sans is drawn on 2048 units per em: "H" advances 1540 units, its capitals stand
// 1493 units tall on the base line, the ascent is 1901 units and the descent 483.
constexpr double kDejaVuUnit = 1.0 / 2048.0;

TEST(TextLayout, SizeIsTheEmSizeInMillimetres) {
  const TTextLayout layout(kDejaVu, 10.0f);
  const TTextSize h = layout.measure(QStringLiteral("H"));
  EXPECT_NEAR(h.Width, 10.0 * 1540 * kDejaVuUnit, 0.005);
  EXPECT_NEAR(h.Height, 10.0 * (1901 + 483) * kDejaVuUnit, 0.005);

  // The line's top is at 0, so the base line lies at the ascent and a capital rises
  // the cap height above it.
  const TRectF b = layout.outline(QStringLiteral("H")).GetBounds();
  EXPECT_NEAR(b.Bottom, 10.0 * 1901 * kDejaVuUnit, 0.005);
  EXPECT_NEAR(b.Bottom - b.Top, 10.0 * 1493 * kDejaVuUnit, 0.005);

  // Japanese ideographs are full-width: one em each.
  const TTextLayout jp(kNotoJp, 10.0f);
  EXPECT_NEAR(jp.measure(QStringLiteral("日本語")).Width, 30.0, 1e-3);
}

TEST(TextLayout, ScalesLinearlyWithSize) {
  const QString text = QStringLiteral("Hello, Wörld");
  const TTextLayout small(kDejaVu, 10.0f);
  const TTextLayout large(kDejaVu, 20.0f);
  EXPECT_NEAR(large.measure(text).Width, 2.0 * small.measure(text).Width, 1e-3);
  EXPECT_NEAR(large.measure(text).Height, 2.0 * small.measure(text).Height, 1e-3);
  const TPathData a = small.outline(text);
  const TPathData b = large.outline(text);
  ASSERT_EQ(a.Count(), b.Count());
  ASSERT_GT(a.Count(), 0);
  for (int i = 0; i < a.Count(); ++i) {
    EXPECT_EQ(a[i].Kind, b[i].Kind) << i;
    EXPECT_NEAR(b[i].Point.X, 2.0 * a[i].Point.X, 1e-3) << i;
    EXPECT_NEAR(b[i].Point.Y, 2.0 * a[i].Point.Y, 1e-3) << i;
  }
}

// Every contour begins with a move, holds lines and whole cubics, and ends with a close
// whose preceding point is the contour's start; all of it inside the line's box.
void expectClosedContoursInBox(const TPathData &path, const TTextSize &box, int expectedContours) {
  int contours = 0;
  int curves = 0;
  int i = 0;
  while (i < path.Count()) {
    ASSERT_EQ(path[i].Kind, TPathPointKind::MoveTo) << i;
    const TPointF start = path[i].Point;
    ++i;
    int segments = 0;
    while (i < path.Count() && path[i].Kind != TPathPointKind::Close) {
      const TPathPointKind k = path[i].Kind;
      ASSERT_NE(k, TPathPointKind::MoveTo) << "contour not closed before entry " << i;
      if (k == TPathPointKind::CurveTo) {
        ASSERT_LE(i + 2, path.Count() - 1);
        ASSERT_EQ(path[i + 1].Kind, TPathPointKind::CurveTo);
        ASSERT_EQ(path[i + 2].Kind, TPathPointKind::CurveTo);
        i += 3;
        ++curves;
      } else {
        ++i;
      }
      ++segments;
    }
    ASSERT_LT(i, path.Count()) << "last contour has no close";
    EXPECT_GT(segments, 0);
    EXPECT_NEAR(path[i - 1].Point.X, start.X, 1e-4);
    EXPECT_NEAR(path[i - 1].Point.Y, start.Y, 1e-4);
    ++i;
    ++contours;
  }
  EXPECT_EQ(contours, expectedContours);
  EXPECT_GT(curves, 0);
  const TRectF b = path.GetBounds();
  EXPECT_GE(b.Left, 0.0f);
  EXPECT_GE(b.Top, 0.0f);
  EXPECT_LE(b.Right, box.Width);
  EXPECT_LE(b.Bottom, box.Height);
}

TEST(TextLayout, GlyphContoursAreClosedAndKeepTheirCurves) {
  const TTextLayout layout(kDejaVu, 10.0f);
  // "O" is two contours, "e" two, "S" one.
  const QString text = QStringLiteral("OeS");
  expectClosedContoursInBox(layout.outline(text), layout.measure(text), 5);

  const TTextLayout jp(kNotoJp, 10.0f);
  const QString ro = QStringLiteral("ロ");  // a square: outer and inner contour
  expectClosedContoursInBox(jp.outline(ro), jp.measure(ro), 2);
}

TEST(TextLayout, BlanksAndEmptyTextHaveNoOutline) {
  const TTextLayout layout(kDejaVu, 10.0f);
  const TTextSize line = layout.measure(QStringLiteral("H"));

  const TTextSize space = layout.measure(QStringLiteral(" "));
  EXPECT_GT(space.Width, 1.0f);
  EXPECT_FLOAT_EQ(space.Height, line.Height);
  EXPECT_TRUE(layout.outline(QStringLiteral(" ")).IsEmpty());
  EXPECT_TRUE(layout.outline(QStringLiteral("  \t ")).IsEmpty());

  const TTextSize empty = layout.measure(QString());
  EXPECT_EQ(empty.Width, 0.0f);
  EXPECT_FLOAT_EQ(empty.Height, line.Height);
  EXPECT_TRUE(layout.outline(QString()).IsEmpty());

  // Blanks between letters leave no stray moves either.
  const TPathData ab = layout.outline(QStringLiteral("A B"));
  const int glyphEntries = layout.outline(QStringLiteral("A")).Count() + layout.outline(QStringLiteral("B")).Count();
  EXPECT_EQ(ab.Count(), glyphEntries);
}

TEST(TextLayout, MissingFamiliesAndCharactersFallBack) {
  for (const QString &family : {QStringLiteral("Meiryo UI"), QStringLiteral("No Such Family Quillon")}) {
    const TTextLayout layout(family, 10.0f);
    EXPECT_GT(layout.measure(QStringLiteral("Hello")).Width, 10.0f) << family.toStdString();
    EXPECT_FALSE(layout.outline(QStringLiteral("Hello")).IsEmpty()) << family.toStdString();
  }
  // DejaVu Sans has no Japanese: the characters come from a fallback font.
  const TTextLayout latin(kDejaVu, 10.0f);
  EXPECT_NEAR(latin.measure(QStringLiteral("日本語")).Width, 30.0, 1e-3);
  EXPECT_GT(latin.outline(QStringLiteral("日本語")).Count(), 30);
}

TEST(TextLayout, SplitCharactersKeepsClustersWhole) {
  struct Case {
    QString text;
    QStringList expected;
  };
  const QString kichi = QString::fromUtf8("\xF0\xA0\xAE\xB7");  // U+20BB7, a surrogate pair
  const QString eAcute = QStringLiteral("e") + QChar(0x0301);     // e with a combining accent
  const Case cases[] = {
      {QString(), {}},
      {QStringLiteral("AB"), {QStringLiteral("A"), QStringLiteral("B")}},
      {QStringLiteral("a b"), {QStringLiteral("a"), QStringLiteral(" "), QStringLiteral("b")}},
      {kichi + QStringLiteral("A"), {kichi, QStringLiteral("A")}},
      {eAcute + QStringLiteral("x"), {eAcute, QStringLiteral("x")}},
      {QStringLiteral("日本語"), {QStringLiteral("日"), QStringLiteral("本"), QStringLiteral("語")}},
  };
  for (const Case &c : cases) EXPECT_EQ(splitCharacters(c.text), c.expected) << c.text.toStdString();
}

}  // namespace
}  // namespace quillon
