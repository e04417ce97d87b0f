// The TEXT builder: glyph outlines along a straight base line or around a circle.
#include <cmath>
#include <numbers>
#include <vector>

#include "model/shape.h"
#include "platform/text_layout.h"

namespace quillon {

namespace {

constexpr double kPi = std::numbers::pi;

// One character of the text with its measures from the layout. Each character is
// measured alone: its width is its own advance, its height the layout's line height
// (the ascent plus descent of the font), which is the same for every character.
struct TextChar {
  QString text;
  double width = 0.0;
  double height = 0.0;
};

}  // namespace

void TQN_Path::drawTextPath(const QString &tx, TPointF startPt, float AFontSize, float ARotation,
                            const QString &FontFamily, float radius, float stretch) {
  resetBoundary();
  FData.Clear();
  FText = tx;
  FFontSize = AFontSize;
  FFontFamily = FontFamily;
  FShapeType = TShapeKind::Text;
  FRotation = ARotation;
  FTextRadius = radius;
  FTextStretch = stretch;

  const double rho = static_cast<double>(ARotation) * kPi / 180.0;
  const double R = std::fabs(static_cast<double>(radius));
  const double dir = radius < 0.0f ? -1.0 : 1.0;
  const bool onCircle = R > 0.0;

  const TTextLayout layout(FontFamily, AFontSize);
  const TTextSize whole = layout.measure(tx);
  const double W = whole.Width;
  const double H = whole.Height;

  // The circle's centre lies R to the right of the start point; the text spans the
  // angle A on it, at most one full turn (a longer text is squeezed by lowering the
  // stretch used for placing; the stored stretch stays as requested).
  const double cx = startPt.X + R;
  const double cy = startPt.Y;
  double usedStretch = stretch;
  double A = 0.0;
  if (onCircle) {
    A = W * usedStretch / R;
    if (A > 2.0 * kPi) {
      A = 2.0 * kPi;
      usedStretch = 2.0 * kPi * R / W;
    }
  }

  std::vector<TextChar> chars;
  for (const QString &c : splitCharacters(tx)) {
    const TTextSize m = layout.measure(c);
    chars.push_back({c, m.Width, m.Height});
  }

  // Offsets along the line: from glyph centre to glyph centre on a circle, from left
  // edge to left edge on a straight base line.
  std::vector<double> offsets(chars.size(), 0.0);
  double S = 0.0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (i > 0) {
      offsets[i] = onCircle ? offsets[i - 1] + (chars[i - 1].width + chars[i].width) / 2.0 * usedStretch
                            : offsets[i - 1] + chars[i - 1].width * usedStretch;
    }
    S += chars[i].width;
  }

  for (std::size_t i = 0; i < chars.size(); ++i) {
    const TextChar &ch = chars[i];
    TPathData glyph = layout.outline(ch.text);
    if (glyph.IsEmpty()) continue;  // a space: nothing to draw, but it took its offset
    TMatrix m;
    if (onCircle) {
      const double span = S * usedStretch;
      const double theta = rho + (span != 0.0 ? dir * A * offsets[i] / span : 0.0);
      const double turn = theta - kPi / 2.0 + (dir < 0.0 ? kPi : 0.0);
      const double px = cx + R * std::cos(theta - kPi);
      const double py = cy + R * std::sin(theta - kPi);
      m = TMatrix::translation(-ch.width / 2.0, -ch.height / 2.0) * TMatrix::rotation(turn) *
          TMatrix::translation(px, py);
    } else {
      m = TMatrix::translation(startPt.X + offsets[i], startPt.Y - ch.height / 2.0);
    }
    glyph.ApplyMatrix(m);
    // Appending the entries is the same as joining the two outlines' path texts and
    // reading the result back.
    FData.AddPath(glyph);
  }

  cleanPathData();

  // Straight text turns as a whole about the centre of its outline's extent; circular
  // text already carries its rotation in the angles above.
  if (FRotation != 0.0f && FTextRadius == 0.0f) {
    const TPointF c = getMinMaxRect().centerPoint();
    FData.ApplyMatrix(TMatrix::translation(-c.X, -c.Y) * TMatrix::rotation(rho) * TMatrix::translation(c.X, c.Y));
  }

  resetBoundary();
  FCenter = getMinMaxRect().centerPoint();
  FWidth = static_cast<float>(S * FTextStretch);
  FHeight = static_cast<float>(H);
}

}  // namespace quillon
