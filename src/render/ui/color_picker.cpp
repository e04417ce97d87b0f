#include "render/ui/color_picker.h"

#include <QColor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "render/palette_commands.h"
#include "shell/guarded_call.h"

namespace quillon {

namespace {

// Hue, saturation and lightness of a colour (0..1 each); hue < 0 for a grey.
void hslOf(TAlphaColor color, double &hue, double &sat, double &lum) {
  float h = 0, s = 0, l = 0;
  QColor::fromRgba(color).getHslF(&h, &s, &l);
  hue = h;
  sat = s;
  lum = l;
}

TAlphaColor fromHsl(double hue, double sat, double lum) {
  return QColor::fromHslF(float(std::clamp(hue, 0.0, 1.0)), float(std::clamp(sat, 0.0, 1.0)),
                          float(std::clamp(lum, 0.0, 1.0)))
             .rgba() |
         0xFF000000u;
}

double fraction(double v, double length) { return length <= 1 ? 0.0 : std::clamp(v / (length - 1), 0.0, 1.0); }

}  // namespace

// TColorQuad

TColorQuad::TColorQuad(QWidget *parent) : QWidget(parent) {
  setMinimumSize(64, 64);
  setCursor(Qt::CrossCursor);
}

void TColorQuad::setColor(TAlphaColor color) {
  FColor = color | 0xFF000000u;
  double h = 0;
  hslOf(FColor, h, FSat, FLum);
  if (h >= 0) FHue = h;
  update();
}

void TColorQuad::setHue(double hue) {
  FHue = std::clamp(hue, 0.0, 1.0);
  recomputeColor();
  update();
}

void TColorQuad::pickHue(double hue) {
  setHue(hue);
  emit colorChanged(FColor);
}

void TColorQuad::recomputeColor() { FColor = fromHsl(FHue, FSat, FLum); }

void TColorQuad::paintEvent(QPaintEvent *) {
  const int w = width(), h = height();
  if (FSquare.size() != QSize(w, h) || FSquareHue != FHue) {
    FSquare = QImage(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
      auto *line = reinterpret_cast<QRgb *>(FSquare.scanLine(y));
      const double lum = 1.0 - fraction(y, h);
      for (int x = 0; x < w; ++x) line[x] = fromHsl(FHue, fraction(x, w), lum);
    }
    FSquareHue = FHue;
  }
  QPainter p(this);
  p.drawImage(0, 0, FSquare);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QPointF marker(FSat * (w - 1), (1.0 - FLum) * (h - 1));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(FLum > 0.5 ? Qt::black : Qt::white, 1.5));
  p.drawEllipse(marker, 5.0, 5.0);
}

void TColorQuad::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) pickAt(event->position());
}

void TColorQuad::mouseMoveEvent(QMouseEvent *event) {
  if (event->buttons() & Qt::LeftButton) pickAt(event->position());
}

void TColorQuad::pickAt(QPointF pos) {
  FSat = fraction(pos.x(), width());
  FLum = 1.0 - fraction(pos.y(), height());
  recomputeColor();
  update();
  emit colorChanged(FColor);
}

// THueBar

THueBar::THueBar(QWidget *parent) : QWidget(parent) {
  setMinimumSize(16, 64);
  setCursor(Qt::PointingHandCursor);
}

void THueBar::setHue(double hue) {
  FHue = std::clamp(hue, 0.0, 1.0);
  if (FQuad) FQuad->setHue(FHue);
  update();
}

void THueBar::setColor(TAlphaColor color) {
  double h = 0, s = 0, l = 0;
  hslOf(color, h, s, l);
  if (h >= 0) FHue = h;
  if (FQuad) FQuad->setColor(color);
  update();
}

void THueBar::paintEvent(QPaintEvent *) {
  const int w = width(), h = height();
  QPainter p(this);
  for (int y = 0; y < h; ++y) {
    p.setPen(QColor::fromRgba(fromHsl(fraction(y, h), 1.0, 0.5)));
    p.drawLine(0, y, w - 1, y);
  }
  const qreal y = FHue * (h - 1);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(0.5, y - 2, w - 1.0, 4));
}

void THueBar::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) pickAt(event->position());
}

void THueBar::mouseMoveEvent(QMouseEvent *event) {
  if (event->buttons() & Qt::LeftButton) pickAt(event->position());
}

void THueBar::pickAt(QPointF pos) {
  FHue = fraction(pos.y(), height());
  update();
  if (FQuad) FQuad->pickHue(FHue);
}

// TColorBox

TColorBox::TColorBox(QWidget *parent) : QWidget(parent) { setMinimumSize(24, 24); }

void TColorBox::setColor(TAlphaColor color) {
  FColor = color;
  update();
}

void TColorBox::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), QColor::fromRgba(FColor));
  p.setPen(QColor(Qt::gray));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// TfrmColorPicker

TfrmColorPicker::TfrmColorPicker(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmColorPicker"));
  setWindowTitle(QStringLiteral("Color Picker"));
  setFixedSize(450, 288);

  ColorQuad1 = new TColorQuad(this);
  ColorQuad1->setObjectName(QStringLiteral("ColorQuad1"));
  ColorQuad1->setFixedSize(220, 220);
  ColorPicker1 = new THueBar(this);
  ColorPicker1->setObjectName(QStringLiteral("ColorPicker1"));
  ColorPicker1->setFixedSize(24, 220);
  ColorPicker1->setColorQuad(ColorQuad1);
  ColorBox1 = new TColorBox(this);
  ColorBox1->setObjectName(QStringLiteral("ColorBox1"));
  ColorBox1->setFixedSize(120, 60);
  ColorBox1->setColor(0xFF000000);
  ColorQuad1->setColor(0xFF000000);
  edColor = new QLineEdit(this);
  edColor->setObjectName(QStringLiteral("edColor"));
  edColor->setText(colorToHexText(ColorBox1->color()));
  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));

  auto *side = new QVBoxLayout;
  side->addWidget(ColorBox1);
  side->addWidget(edColor);
  side->addStretch(1);
  side->addWidget(btnOK);
  side->addWidget(btnCancel);
  auto *layout = new QHBoxLayout(this);
  layout->addWidget(ColorQuad1);
  layout->addWidget(ColorPicker1);
  layout->addLayout(side);

  // The square's pick shows in the box and as text; typing the text changes nothing.
  connect(ColorQuad1, &TColorQuad::colorChanged, this, [this](TAlphaColor c) {
    guarded(editorUiOf(this), "ColorQuad1Change", [&] {
      ColorBox1->setColor(c);
      edColor->setText(colorToHexText(c));
    });
  });
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TAlphaColor TfrmColorPicker::Color() const { return ColorBox1->color(); }

}  // namespace quillon
