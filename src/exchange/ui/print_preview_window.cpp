#include "exchange/ui/print_preview_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "exchange/print_job.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/guarded_call.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"

namespace quillon {

namespace {

constexpr QRgb kPrintedBlue = 0xFF0000FF;
constexpr QRgb kLeftOutRed = 0xFFFF0000;

// The paint box of the preview: hands its events to the window.
class TPreviewSurface : public QWidget {
 public:
  TPreviewSurface(TfrmPreview &owner, QWidget *parent) : QWidget(parent), FOwner(owner) {
    setMouseTracking(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(200, 150);
  }

 protected:
  void paintEvent(QPaintEvent *) override {
    QPainter painter(this);
    FOwner.pbPreviewPaint(painter);
  }
  void resizeEvent(QResizeEvent *) override { FOwner.pbPreviewResize(); }
  void mousePressEvent(QMouseEvent *e) override { FOwner.pbPreviewMouseDown(e->button(), e->position()); }
  void mouseMoveEvent(QMouseEvent *e) override { FOwner.pbPreviewMouseMove(e->position()); }
  void mouseReleaseEvent(QMouseEvent *e) override { FOwner.pbPreviewMouseUp(e->button(), e->position()); }

 private:
  TfrmPreview &FOwner;
};

// The small red scale mark of a page in the preview: two arms a third of the page's
// shorter side long from the corner, with ten ticks of 8 pixels pointing into the page.
void paintScale(QPainter &canvas, int pos, const QRectF &area) {
  if (pos < spBottomRight || pos >= spNone) return;
  const double len = std::min(area.width(), area.height()) / 3.0;
  QPointF c;
  double dx = 1, dy = 1;
  switch (pos) {
    case spBottomRight: c = area.bottomRight(); dx = -1; dy = -1; break;
    case spBottomLeft: c = area.bottomLeft(); dx = 1; dy = -1; break;
    case spTopLeft: c = area.topLeft(); break;
    default: c = area.topRight(); dx = -1; break;
  }
  const QPointF hEnd = c + QPointF(dx * len, 0), vEnd = c + QPointF(0, dy * len);
  canvas.setPen(QPen(QColor::fromRgba(kLeftOutRed), 2.0));
  canvas.drawLine(hEnd, c);
  canvas.drawLine(vEnd, c);
  for (int t = 1; t <= 10; ++t) {
    const QPointF p = hEnd + QPointF(t * (c.x() - hEnd.x()) / 10.0, 0);
    canvas.drawLine(p, p + QPointF(0, 8 * dy));
    const QPointF q = vEnd + QPointF(0, t * (c.y() - vEnd.y()) / 10.0);
    canvas.drawLine(q, q + QPointF(8 * dx, 0));
  }
}

QHBoxLayout *toolBar(QWidget *bar, int height) {
  bar->setFixedHeight(height);
  auto *row = new QHBoxLayout(bar);
  row->setContentsMargins(6, 2, 6, 2);
  row->setSpacing(8);
  return row;
}

// The controls of a tool bar from the left, the rest of the bar left empty.
void fillBar(QHBoxLayout *row, std::initializer_list<QWidget *> widgets) {
  for (QWidget *w : widgets) row->addWidget(w);
  row->addStretch(1);
}

}  // namespace

TfrmPreview::TfrmPreview(TEditor &editor, QWidget *parent) : QDialog(parent), FEditor(editor), FPreview(editor) {
  setObjectName(QStringLiteral("frmPreview"));
  setWindowTitle(text("frmPreview", "Print Preview"));
  resize(1076, 676);
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  const auto check = [&](QWidget *bar, const char *name, const char *english, bool on) {
    auto *box = named(new QCheckBox(text(name, english), bar), name);
    box->setChecked(on);
    return box;
  };
  const auto button = [&](QWidget *bar, const char *name, const char *english) {
    auto *b = named(new QPushButton(text(name, english), bar), name);
    b->setAutoDefault(false);
    return b;
  };
  const auto number = [&](QWidget *bar, const char *name, double min, double max, int decimals, double step) {
    auto *box = named(new TNumberBox(bar, false), name);
    box->setRange(min, max);
    box->setDecimals(decimals);
    box->setSingleStep(step);
    box->setFixedWidth(70);
    return box;
  };

  pnlConsole = named(new QWidget(this), "pnlConsole");
  QHBoxLayout *row1 = toolBar(pnlConsole, 41);
  btnClosePrintPreview = button(pnlConsole, "btnClosePrintPreview", "Close");
  btnExecutePrint = button(pnlConsole, "btnExecutePrint", "Print");
  btnPageSetup = button(pnlConsole, "btnPageSetup", "Page Settings");
  chkPrintStitchingHoleAsDot = check(pnlConsole, "chkPrintStitchingHoleAsDot", "Print stitching holes as dots", false);
  lblPPV_LineThickness = named(new QLabel(text("lblPPV_LineThickness", "Thickness: x"), pnlConsole), "lblPPV_LineThickness");
  nbPrintLineThickFactor = number(pnlConsole, "nbPrintLineThickFactor", 0.1, 10.0, 1, 0.1);
  nbPrintLineThickFactor->setValue(1.0);
  chkShowNotForPrintLines = check(pnlConsole, "chkShowNotForPrintLines", "Show shapes to be ignored at printing", true);
  chkPrintIntoMergin = check(pnlConsole, "chkPrintIntoMergin", "Print shapes outside the print area", true);
  fillBar(row1, {btnClosePrintPreview, btnExecutePrint, btnPageSetup, chkPrintStitchingHoleAsDot, lblPPV_LineThickness,
                 nbPrintLineThickFactor, chkShowNotForPrintLines, chkPrintIntoMergin});

  pnlConsole2 = named(new QWidget(this), "pnlConsole2");
  QHBoxLayout *row2 = toolBar(pnlConsole2, 40);
  chkPrintSelectedShapesOnly = check(pnlConsole2, "chkPrintSelectedShapesOnly", "Print selected shapes only", false);
  btnAddPage = button(pnlConsole2, "btnAddPage", "Page +");
  btnRemovePage = button(pnlConsole2, "btnRemovePage", "Page -");
  btnRemovePage->setEnabled(false);
  chkTilePrint = check(pnlConsole2, "chkTilePrint", "Tile Print", false);
  lblNumTilesX = named(new QLabel(text("lblNumTilesX", "# of horizontal tiles:"), pnlConsole2), "lblNumTilesX");
  nbPreview_TileX = number(pnlConsole2, "nbPreview_TileX", 1, 20, 0, 1);
  nbPreview_TileX->setValue(2);
  lblTilesOverlap = named(new QLabel(text("lblTilesOverlap", "Overlap length (mm):"), pnlConsole2), "lblTilesOverlap");
  nbTileOverlapLen = number(pnlConsole2, "nbTileOverlapLen", 0, 20, 1, 1);
  nbTileOverlapLen->setValue(10);
  chkPrintInColor = check(pnlConsole2, "chkPrintInColor", "Color Print", false);
  chkPreview_RulerInside = check(pnlConsole2, "chkPreview_RulerInside", "Print ruler inside", true);
  fillBar(row2, {chkPrintSelectedShapesOnly, btnAddPage, btnRemovePage, chkTilePrint, lblNumTilesX, nbPreview_TileX,
                 lblTilesOverlap, nbTileOverlapLen, chkPrintInColor, chkPreview_RulerInside});

  pbPreview = named(new TPreviewSurface(*this, this), "pbPreview");

  auto *status = named(new QWidget(this), "StatusBar1");
  QHBoxLayout *row3 = toolBar(status, 22);
  lblDPI = named(new QLabel(QStringLiteral("DPI"), status), "lblDPI");
  lblDPI->setFixedWidth(176);
  lblActiveDPI = named(new QLabel(QStringLiteral("Active DPI"), status), "lblActiveDPI");
  row3->addWidget(lblDPI);
  row3->addWidget(lblActiveDPI, 1);

  column->addWidget(pnlConsole);
  column->addWidget(pnlConsole2);
  column->addWidget(pbPreview, 1);
  column->addWidget(status);

  connect(btnClosePrintPreview, &QPushButton::clicked, this, [this] { reject(); });
  connect(btnExecutePrint, &QPushButton::clicked, this, [this] { accept(); });
  connect(btnPageSetup, &QPushButton::clicked, this, [this] {
    run("btnPageSetupClick", [this] {
      if (PageSetup && PageSetup()) pbPreviewResize();
    });
  });
  connect(btnAddPage, &QPushButton::clicked, this, [this] {
    run("btnAddPageClick", [this] {
      FPreview.addPage();
      btnRemovePage->setEnabled(true);
      pbPreview->update();
    });
  });
  connect(btnRemovePage, &QPushButton::clicked, this, [this] {
    run("btnRemovePageClick", [this] {
      FPreview.removePage();
      if (FPreview.pageCount() < 2) btnRemovePage->setEnabled(false);
      pbPreview->update();
    });
  });
  for (QCheckBox *box : {chkPrintStitchingHoleAsDot, chkShowNotForPrintLines, chkPrintIntoMergin,
                         chkPrintSelectedShapesOnly, chkTilePrint, chkPrintInColor})
    connect(box, &QCheckBox::toggled, this, [this] { optionBoxChanged(); });
  connect(chkPreview_RulerInside, &QCheckBox::toggled, this, [this] { readBoxes(); });
  connect(nbPrintLineThickFactor, &TNumberBox::numberChanged, this, [this] { optionBoxChanged(); });
  for (TNumberBox *box : {nbPreview_TileX, nbTileOverlapLen}) {
    connect(box, &TNumberBox::numberChanged, this, [this] { tileBoxChanged(); });
    connect(box, &TNumberBox::typed, this, [this] { tileBoxChanged(); });
  }
  // Enter evaluates typed arithmetic ("2*3", "15/2"); a text that is no arithmetic is
  // reported and the box keeps its value.
  for (TNumberBox *box : {nbPrintLineThickFactor, nbPreview_TileX, nbTileOverlapLen})
    connect(box, &TNumberBox::enterPressed, this,
            [this, box] { run("nbPrintLineThickFactorKeyDown", [box] { box->evaluateText(); }); });
}

QString TfrmPreview::text(const char *key, const char *english) const {
  const QString phrase = FEditor.tr(QString::fromLatin1(key));
  return phrase.isEmpty() ? QString::fromUtf8(english) : phrase;
}

void TfrmPreview::run(const char *what, const std::function<void()> &body) { guarded(&FEditor.ui(), what, body); }

QSize TfrmPreview::surfaceSize() const { return pbPreview ? pbPreview->size() : QSize(); }

void TfrmPreview::readBoxes() {
  if (FShowing) return;
  TPrintPreviewOptions &o = FPreview.Options;
  o.chkPrintStitchingHoleAsDot = chkPrintStitchingHoleAsDot->isChecked();
  o.nbPrintLineThickFactor = nbPrintLineThickFactor->Value();
  o.chkShowNotForPrintLines = chkShowNotForPrintLines->isChecked();
  o.chkPrintIntoMergin = chkPrintIntoMergin->isChecked();
  o.chkPrintSelectedShapesOnly = chkPrintSelectedShapesOnly->isChecked();
  o.chkTilePrint = chkTilePrint->isChecked();
  o.nbPreview_TileX = nbPreview_TileX->Text();
  o.TileXValue = nbPreview_TileX->Value();
  o.nbTileOverlapLen = nbTileOverlapLen->Value();
  o.chkPrintInColor = chkPrintInColor->isChecked();
  o.chkPreview_RulerInside = chkPreview_RulerInside->isChecked();
}

void TfrmPreview::showOptions() {
  FShowing = true;
  const TPrintPreviewOptions &o = FPreview.Options;
  chkPrintInColor->setChecked(o.chkPrintInColor);
  chkPreview_RulerInside->setChecked(o.chkPreview_RulerInside);
  chkPrintIntoMergin->setChecked(o.chkPrintIntoMergin);
  chkPrintIntoMergin->setEnabled(!o.chkTilePrint);
  FShowing = false;
}

void TfrmPreview::setRemoveEnabled(bool on) { btnRemovePage->setEnabled(on); }

void TfrmPreview::setDpiTexts(const QString &dpi, const QString &activeDpi) {
  lblDPI->setText(dpi);
  lblActiveDPI->setText(activeDpi);
}

void TfrmPreview::optionBoxChanged() {
  run("chkShowNotForPrintLinesChange", [this] {
    readBoxes();
    FPreview.optionsChanged();
    FShowing = true;
    chkPrintIntoMergin->setChecked(FPreview.Options.chkPrintIntoMergin);
    chkPrintIntoMergin->setEnabled(!FPreview.Options.chkTilePrint);
    FShowing = false;
    pbPreviewResize();
  });
}

void TfrmPreview::tileBoxChanged() {
  run("nbPreview_TileXChange", [this] {
    readBoxes();
    // The text being typed, when it is the tile box's, counts over its value.
    if (nbPreview_TileX->hasFocus()) FPreview.Options.nbPreview_TileX = nbPreview_TileX->editor()->text();
    FPreview.resetTile();
    pbPreview->update();
  });
}

void TfrmPreview::pbPreviewResize() {
  run("pbPreviewResize", [this] {
    const QSize s = surfaceSize();
    const double bars = pnlConsole->height() + pnlConsole2->height();
    if (!FPreview.layout(s.width(), s.height(), bars)) return;
    FCache = QImage(s, QImage::Format_ARGB32_Premultiplied);
    FCache.fill(Qt::white);
    renderPreviewImage(FEditor, FPreview, FCache);
    pbPreview->update();
  });
}

void TfrmPreview::pbPreviewPaint(QPainter &painter) {
  run("pbPreviewPaint", [&] {
    if (!FPreview.Project) return;
    if (!FCache.isNull()) painter.drawImage(QPointF(0, 0), FCache);
    if (FPreview.DPI() <= 0.0f) return;
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(40);
    painter.setFont(font);
    for (int i = 0; i < FPreview.pageCount(); ++i) {
      const bool printed = FPreview.Project->PrintTarget()[std::size_t(i)];
      const QColor color = QColor::fromRgba(printed ? kPrintedBlue : kLeftOutRed);
      const TRectF p = FPreview.pageRectPixels(i);
      const QRectF r(QPointF(p.Left, p.Top), QPointF(p.Right, p.Bottom));
      painter.setOpacity(0.2);
      painter.fillRect(r, color);
      painter.setOpacity(0.5);
      painter.setPen(QPen(color, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(r);
      painter.setOpacity(1.0);
      paintScale(painter, FPreview.Project->PrintScalePos()[std::size_t(i)], r);
      painter.setOpacity(0.8);
      painter.setPen(color);
      painter.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("#%1").arg(i + 1));
      if (!printed) {
        painter.setOpacity(0.5);
        painter.drawLine(r.topLeft(), r.bottomRight());
      }
      painter.setOpacity(1.0);
    }
  });
}

void TfrmPreview::pbPreviewMouseDown(Qt::MouseButton button, QPointF at) {
  run("pbPreviewMouseDown", [&] {
    if (button != Qt::LeftButton && button != Qt::RightButton) return;
    if (FPreview.mouseDown(button == Qt::RightButton, at.x(), at.y()) >= 0 && button == Qt::RightButton)
      pbPreview->update();
  });
}

void TfrmPreview::pbPreviewMouseMove(QPointF at) {
  run("pbPreviewMouseMove", [&] {
    if (FPreview.mouseMove(at.x(), at.y())) pbPreview->update();
  });
}

void TfrmPreview::pbPreviewMouseUp(Qt::MouseButton button, QPointF at) {
  run("pbPreviewMouseUp", [&] {
    if (button != Qt::LeftButton) return;
    FPreview.mouseUp(at.x(), at.y());
    pbPreview->update();
  });
}

}  // namespace quillon
