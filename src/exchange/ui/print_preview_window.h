#pragma once
// TfrmPreview: the print preview window. It shows the drawing as it will print, rendered
// once per layout into a cached image, with the document's print pages laid over it as
// frames: blue when printed, red and crossed out when left out, each with its number and
// the small red mark of its scale corner. Its two tool bars hold the page setup, the page
// and tiling controls and the print options; "Print" closes it for printing.
//
// The pages and their layout are the core's TPrintPreview; this window turns the pointer,
// the boxes and its size into calls on it.
#include <QDialog>
#include <QImage>

#include <functional>

#include "exchange/print_layout.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace quillon {

class TEditor;
class TNumberBox;

class TfrmPreview : public QDialog {
 public:
  TfrmPreview(TEditor &editor, QWidget *parent);

  TPrintPreview &preview() { return FPreview; }
  const TPrintPreview &preview() const { return FPreview; }

  // The page setup of btnPageSetup: shows the dialog with this window's margins and, on
  // OK, takes it over; set by the print commands.
  std::function<bool()> PageSetup;

  // The drawing surface's size in pixels (the paint box).
  QSize surfaceSize() const;
  // New layout for the surface's size, the drawing rendered again, then a repaint.
  void pbPreviewResize();
  // The boxes into the core's options and back.
  void readBoxes();
  void showOptions();
  // The page-count dependent state of "Page -".
  void setRemoveEnabled(bool on);
  void setDpiTexts(const QString &dpi, const QString &activeDpi);

  // The paint box's handlers.
  void pbPreviewPaint(QPainter &painter);
  void pbPreviewMouseDown(Qt::MouseButton button, QPointF at);
  void pbPreviewMouseMove(QPointF at);
  void pbPreviewMouseUp(Qt::MouseButton button, QPointF at);

  // Controls, named as the components they stand for.
  QWidget *pnlConsole = nullptr;
  QWidget *pnlConsole2 = nullptr;
  QWidget *pbPreview = nullptr;
  QPushButton *btnClosePrintPreview = nullptr;
  QPushButton *btnExecutePrint = nullptr;
  QCheckBox *chkPrintStitchingHoleAsDot = nullptr;
  TNumberBox *nbPrintLineThickFactor = nullptr;
  QLabel *lblPPV_LineThickness = nullptr;
  QLabel *lblDPI = nullptr;
  QLabel *lblActiveDPI = nullptr;
  QPushButton *btnPageSetup = nullptr;
  QCheckBox *chkShowNotForPrintLines = nullptr;
  QCheckBox *chkPrintIntoMergin = nullptr;
  QCheckBox *chkPrintSelectedShapesOnly = nullptr;
  QPushButton *btnAddPage = nullptr;
  QPushButton *btnRemovePage = nullptr;
  QCheckBox *chkTilePrint = nullptr;
  TNumberBox *nbPreview_TileX = nullptr;
  QLabel *lblNumTilesX = nullptr;
  QLabel *lblTilesOverlap = nullptr;
  TNumberBox *nbTileOverlapLen = nullptr;
  QCheckBox *chkPrintInColor = nullptr;
  QCheckBox *chkPreview_RulerInside = nullptr;

 private:
  // The caption of a phrase key, or the English text when the dictionary has none.
  QString text(const char *key, const char *english) const;
  // A change of a box that re-renders the drawing, and one that only moves the pages.
  void optionBoxChanged();
  void tileBoxChanged();
  void run(const char *what, const std::function<void()> &body);

  TEditor &FEditor;
  TPrintPreview FPreview;
  QImage FCache;  // the drawing at the preview's scale
  bool FShowing = false;  // boxes are being filled from the options
};

}  // namespace quillon
