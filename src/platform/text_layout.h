#pragma once
// TTextLayout: one line of text in a font family at a size given in millimetres of the
// drawing (the size is the font's em size). The line's top-left corner is at (0, 0) and
// y grows downward. The layout measures the line and turns it into glyph outlines in the
// same coordinates, as a path of moves, lines, cubic curves and closes.
//
// Fonts come from the system's font configuration: a family that is not installed falls
// back to whatever fontconfig substitutes for it, and characters missing from the chosen
// font are taken from a fallback font. Like every use of fonts, it needs the
// QGuiApplication to exist.
#include <QFont>
#include <QString>
#include <QStringList>

#include "platform/path_data.h"

namespace quillon {

struct TTextSize {
  float Width = 0.0f;   // advance width of the line
  float Height = 0.0f;  // line height: ascent + descent of the font
};

class TTextLayout {
 public:
  TTextLayout(const QString &fontFamily, float fontSize);

  // Width and height of `text` laid out on one line. The width is the advance width
  // (where the next character would start); the height is the font's line height,
  // the same for every text, an empty one included.
  TTextSize measure(const QString &text) const;

  // Glyph outlines of `text` on one line whose top-left corner is at (0, 0); the base
  // line lies at the font's ascent. Every glyph contour that returns to its start ends
  // with a close entry. Characters without a glyph (spaces) add nothing.
  TPathData outline(const QString &text) const;

  float fontSize() const { return fontSize_; }

 private:
  QFont font_;
  float fontSize_;
  double scale_;  // millimetres per layout pixel
};

// The user-perceived characters (grapheme clusters) of `text` in order: a surrogate
// pair or a letter with its combining marks is one character.
QStringList splitCharacters(const QString &text);

}  // namespace quillon
