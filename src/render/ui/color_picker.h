#pragma once
// The colour controls of the line-type editor and the colour picker window:
// - TColorQuad: a square of the saturation (left to right) and lightness (bottom to top)
//   of one hue; a click or drag picks a colour;
// - THueBar: a vertical bar of all hues, linked to a square whose hue it sets;
// - TColorBox: a plain box showing a colour;
// - TfrmColorPicker: a small window with the three and the colour's hexadecimal text.
//
// Setting a colour or hue from code emits nothing; `colorChanged` reports the user's picks
// only, so a window can fill its controls without running its own change handlers.
#include <QDialog>
#include <QImage>
#include <QWidget>

#include "platform/geometry.h"

class QLineEdit;
class QPushButton;

namespace quillon {

class TColorQuad : public QWidget {
  Q_OBJECT
 public:
  explicit TColorQuad(QWidget *parent = nullptr);

  // The colour shown; set from code it is kept exactly (its hue, saturation and lightness
  // place the marker).
  TAlphaColor color() const { return FColor; }
  void setColor(TAlphaColor color);
  // Hue 0..1; the saturation and lightness stay.
  double hue() const { return FHue; }
  void setHue(double hue);
  // The hue bar's pick: the hue changes and the colour is reported as a user's pick.
  void pickHue(double hue);
  double saturation() const { return FSat; }
  double lightness() const { return FLum; }

 signals:
  void colorChanged(TAlphaColor color);

 protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;

 private:
  void pickAt(QPointF pos);
  void recomputeColor();

  TAlphaColor FColor = 0xFF000000;
  double FHue = 0.0, FSat = 0.0, FLum = 0.0;
  QImage FSquare;  // the square of the current hue at the current size
  double FSquareHue = -1.0;
};

class THueBar : public QWidget {
  Q_OBJECT
 public:
  explicit THueBar(QWidget *parent = nullptr);

  // The square whose hue this bar sets (not owned).
  void setColorQuad(TColorQuad *quad) { FQuad = quad; }
  double hue() const { return FHue; }
  void setHue(double hue);
  // Takes the hue of a colour (and passes the colour on to the linked square). Greys keep
  // the hue the bar has.
  void setColor(TAlphaColor color);

 protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;

 private:
  void pickAt(QPointF pos);

  TColorQuad *FQuad = nullptr;
  double FHue = 0.0;
};

class TColorBox : public QWidget {
  Q_OBJECT
 public:
  explicit TColorBox(QWidget *parent = nullptr);
  TAlphaColor color() const { return FColor; }
  void setColor(TAlphaColor color);

 protected:
  void paintEvent(QPaintEvent *event) override;

 private:
  TAlphaColor FColor = 0xFF000000;
};

class TfrmColorPicker : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmColorPicker(QWidget *parent = nullptr);

  // The chosen colour (the colour box's).
  TAlphaColor Color() const;

  TColorQuad *ColorQuad1 = nullptr;
  THueBar *ColorPicker1 = nullptr;
  TColorBox *ColorBox1 = nullptr;
  QLineEdit *edColor = nullptr;
  QPushButton *btnOK = nullptr;
  QPushButton *btnCancel = nullptr;
};

}  // namespace quillon
