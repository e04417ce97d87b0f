#include "platform/text_layout.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPointF>
#include <QTextBoundaryFinder>

namespace quillon {

namespace {

// Text is laid out at this pixel size and scaled down to the requested size, so that
// small drawing sizes keep the full precision of the font's outlines and metrics.
constexpr int kLayoutPixelSize = 1000;

}  // namespace

TTextLayout::TTextLayout(const QString &fontFamily, float fontSize)
    : fontSize_(fontSize), scale_(static_cast<double>(fontSize) / kLayoutPixelSize) {
  font_.setFamily(fontFamily);
  font_.setPixelSize(kLayoutPixelSize);
  // Unhinted metrics and outlines: hinting would snap advances to whole layout pixels
  // and distort the shapes, and the result is scaled anyway.
  font_.setHintingPreference(QFont::PreferNoHinting);
}

TTextSize TTextLayout::measure(const QString &text) const {
  const QFontMetricsF fm(font_);
  TTextSize size;
  size.Width = text.isEmpty() ? 0.0f : static_cast<float>(fm.horizontalAdvance(text) * scale_);
  size.Height = static_cast<float>(fm.height() * scale_);
  return size;
}

TPathData TTextLayout::outline(const QString &text) const {
  TPathData result;
  if (text.isEmpty()) return result;

  const QFontMetricsF fm(font_);
  QPainterPath qp;
  qp.addText(QPointF(0.0, fm.ascent()), font_, text);

  auto toMm = [this](const QPointF &p) {
    return TPointF(static_cast<float>(p.x() * scale_), static_cast<float>(p.y() * scale_));
  };

  // Glyph contours are closed shapes: a contour whose last point is its first gets an
  // explicit close entry. A move that no segment follows (what the layout gives for a
  // blank) is left out.
  QPointF contourStart;
  QPointF current;
  bool moveWritten = false;
  auto beginSegment = [&] {
    if (!moveWritten) result.MoveTo(toMm(contourStart));
    moveWritten = true;
  };
  auto endContour = [&] {
    if (moveWritten && current == contourStart) result.ClosePath();
    moveWritten = false;
  };

  const int count = qp.elementCount();
  for (int i = 0; i < count; ++i) {
    const QPainterPath::Element &e = qp.elementAt(i);
    const QPointF p(e.x, e.y);
    switch (e.type) {
      case QPainterPath::MoveToElement:
        endContour();
        contourStart = p;
        current = p;
        break;
      case QPainterPath::LineToElement:
        beginSegment();
        current = p;
        result.LineTo(toMm(p));
        break;
      case QPainterPath::CurveToElement: {
        if (i + 2 >= count) {  // a cubic always carries two data elements
          i = count;
          break;
        }
        const QPainterPath::Element &c2 = qp.elementAt(i + 1);
        const QPainterPath::Element &end = qp.elementAt(i + 2);
        beginSegment();
        current = QPointF(end.x, end.y);
        result.CurveTo(toMm(p), toMm(QPointF(c2.x, c2.y)), toMm(current));
        i += 2;
        break;
      }
      case QPainterPath::CurveToDataElement:
        // Only ever follows a curve element, which consumes it.
        break;
    }
  }
  endContour();
  return result;
}

QStringList splitCharacters(const QString &text) {
  QStringList characters;
  if (text.isEmpty()) return characters;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  qsizetype start = 0;
  for (qsizetype pos = finder.toNextBoundary(); pos != -1; pos = finder.toNextBoundary()) {
    if (pos > start) characters.append(text.mid(start, pos - start));
    start = pos;
  }
  if (start < text.size()) characters.append(text.mid(start));
  return characters;
}

}  // namespace quillon
