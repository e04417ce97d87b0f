#pragma once
// The print preview in core terms (TfrmPreview without its widgets): the paper and its
// margins, the area of the drawing shown, the layout at the preview's scale, the print
// pages of the document (add, remove, drag, include or exclude, scale corner) and tiling.
//
// The pages belong to the document (TShapeList's three page lists); their offsets are
// millimetres from the top-left corner of the drawing area (Boundary), so a page stays
// over the same part of the drawing whatever the preview's size. Preview pixels appear
// only where the pointer and the window's painting meet the layout.
#include <QString>

#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TShapeList;

// Margins in whole millimetres.
struct TPrintMargins {
  int Left = 15;
  int Top = 15;
  int Right = 15;
  int Bottom = 15;
};

// What a page setup dialog hands over: paper size and margins in millimetres.
struct TPageSetupValues {
  double PaperWidth = 297.0;
  double PaperHeight = 210.0;
  double MarginLeft = 15.0;
  double MarginTop = 15.0;
  double MarginRight = 15.0;
  double MarginBottom = 15.0;
};

// The boxes of the preview's two tool bars.
struct TPrintPreviewOptions {
  bool chkPrintStitchingHoleAsDot = false;  // "Print stitching holes as dots"
  double nbPrintLineThickFactor = 1.0;      // "Thickness: x", 0.1 to 10
  bool chkShowNotForPrintLines = true;      // "Show shapes to be ignored at printing"
  bool chkPrintIntoMergin = true;           // "Print shapes outside the print area"
  bool chkPrintSelectedShapesOnly = false;  // "Print selected shapes only"
  bool chkTilePrint = false;                // "Tile Print"
  QString nbPreview_TileX = QStringLiteral("2");  // "# of horizontal tiles:", text as typed
  double TileXValue = 2.0;                  // the box's value, 1 to 20
  double nbTileOverlapLen = 10.0;           // "Overlap length (mm):", 0 to 20
  bool chkPrintInColor = false;             // "Color Print"
  bool chkPreview_RulerInside = true;       // "Print ruler inside"
};

// Where the corner of a page's calibration ruler sits.
enum TScalePos : int { spBottomRight = 0, spBottomLeft = 1, spTopLeft = 2, spTopRight = 3, spNone = 4 };

class TPrintPreview {
 public:
  explicit TPrintPreview(TEditor &editor) : FEditor(editor) {}

  // Takes paper size and margins from a page setup (margins truncated to whole
  // millimetres), the printable width (rounded, halves to even) and a first DPI for a
  // preview surface of that size. Returns whether the paper is landscape (wider than high).
  bool applyPageSetup(const TPageSetupValues &setup, double surfaceWidth, double surfaceHeight);
  // The page setup the dialog is shown with: the paper as it is and this window's margins.
  TPageSetupValues pageSetupValues() const;

  // New layout for a preview surface of that many pixels with tool bars `barsHeight`
  // pixels high: the preview scale (pixels per millimetre), DPI, the print area, tiling.
  // Does nothing while DPI is 0 or no document is attached. Returns whether it laid out.
  bool layout(double surfaceWidth, double surfaceHeight, double barsHeight);

  // The document's pages; nullptr until a job attaches one.
  TShapeList *Project = nullptr;
  TRectF Boundary;                       // the drawing area shown, millimetres
  TPointF CalibrationRatio{1.0f, 1.0f};  // print scale factors of the job
  TPrintPreviewOptions Options;
  TPointF DPIxy;                         // the printer's active resolution

  float DPI() const { return FDPI; }
  double previewScale() const { return FDPI / 25.4; }  // preview pixels per millimetre
  int printAreaWidth() const { return FPrintAreaWidth; }
  float PageWidth() const { return FPageWidth; }
  float PageHeight() const { return FPageHeight; }
  const TPrintMargins &Margin() const { return FMargin; }
  // The print area of one page in millimetres of drawing: the paper less its margins,
  // divided by the calibration factors (the printout is enlarged by them).
  TPointF printAreaSize() const;
  // The print area of one page in preview pixels, (0, 0, width, height).
  TRectF PrintAreaRect() const;

  int pageCount() const;
  // The page's top-left corner in drawing millimetres.
  TPointF getOffsetRealPt(int pageIdx) const;
  // The page's print area over the drawing in millimetres.
  TRectF getPrintPageRect(int pageIdx) const;
  // The page's rectangle in preview pixels.
  TRectF pageRectPixels(int pageIdx) const;
  float getPrintThicknessFactor() const { return float(Options.nbPrintLineThickFactor); }
  double tileOverlap() const { return Options.nbTileOverlapLen; }

  // Tiling: the number of columns (the typed text as a whole number, else the box's value
  // rounded, never below 1), a page's column and row, and whether it lies on an edge of
  // the grid.
  int getNumTileX() const;
  void getTileColRow(int index, int &col, int &row) const;
  bool isEdgeLeft(int index) const;
  bool isEdgeTop(int index) const;
  bool isEdgeRight(int index) const;
  bool isEdgeBottom(int index) const;
  // Lays every page out as a grid around page 1 when tiling is on.
  void resetTile();

  // Pages.
  int getPageIndexAt(double x, double y) const;  // preview pixels; -1 for none
  void cycleScalePos(int index);
  void addPage();
  // Removes the last page; false when only one is left.
  bool removePage();
  // Right button: toggles the page's print flag (the document stays unchanged). Left
  // button: starts a drag. Returns the page pressed, -1 for none.
  int mouseDown(bool rightButton, double x, double y);
  // Moves the dragged page (page 1 when tiling) with the pointer; false when no drag.
  bool mouseMove(double x, double y);
  // Left button released: a click (within 1 pixel of the press) on a page moves its
  // scale to the next corner; the drag ends.
  void mouseUp(double x, double y);
  bool isDragging() const { return FIsMouseDown; }

  // The changes the toolbar boxes make: with tiling on, printing into the margin is
  // switched off (the window disables its box).
  void optionsChanged();

 private:
  void markChanged();

  TEditor &FEditor;
  float FDPI = 0.0f;
  int FPrintAreaWidth = 0;
  TPrintMargins FMargin;
  float FPageWidth = 297.0f;
  float FPageHeight = 210.0f;
  TPointF FOrgOffset;
  TPointF FMouseDownPos;
  bool FIsMouseDown = false;
  int FDraggingPageIdx = -1;
};

// The printer resolution the page setup picks from a printer's list: the first whose x
// is 300 dpi or more; the list's size when none is (the last one then stays active).
int pickPageSetupResolution(const std::vector<TPointF> &resolutions);
// The resolution nearest 300 x 300 dpi (the smallest product of the differences); -1 for
// an empty list.
int pickPrintJobResolution(const std::vector<TPointF> &resolutions);
// "Active DPI[%d of %d]=%.2f, %.2f; Printer=[%d, %d]".
QString activeDpiText(int index, int count, TPointF dpi, int pageWidthPx, int pageHeightPx);

}  // namespace quillon
