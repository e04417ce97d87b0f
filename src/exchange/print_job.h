#pragma once
// The print job: the Print and Export As PDF commands up to the preview, the preview's
// rendering of the drawing, and the printed pages with their margin masks, tile overlap
// marks and 100 mm calibration ruler.
//
// A page is printed at the device's true pixels per millimetre, placed from the origin of
// the device's printable area, and the calibration factors enlarge it as a fine
// correction; so a page measures the same on every paper size and the calibration made
// on one paper holds on another.
#include <QString>

#include "exchange/print_layout.h"
#include "platform/geometry.h"

class QImage;
class QPainter;
class QPagedPaintDevice;

namespace quillon {

class TEditor;

// The calibration factors for a page w x h pixels: 100 / the measured lengths of the
// printed ruler arms from the settings, the two swapped unless the page is portrait
// (w < h), since the lengths are measured on a portrait page.
TPointF getPrintCalibrationFactors(const TEditor &editor, double pageWidthPx, double pageHeightPx);

// The red overlap marks at the four corners of a page, half the overlap inside its edges,
// through the editor's current view (the drawing box, or a printed page).
void drawTileOverlapMarks(const TEditor &editor, QPainter &canvas, const TPrintPreview &preview, int pageIdx);

// Renders the drawing for the preview into `image` (its size is the preview surface) at
// the preview's scale, the view restored afterwards.
void renderPreviewImage(TEditor &editor, const TPrintPreview &preview, QImage &image);

// Prints every included page of the document, in list order, one sheet each, on
// `device` (a printer or PDF writer whose page layout is already set). Returns the number
// of sheets printed. The view and the thickness factor are restored also when painting
// fails.
int printPages(TEditor &editor, const TPrintPreview &preview, QPagedPaintDevice &device, TPointF calibration);

// What the commands ask of the window: the printer dialogs, the PDF file and the timer
// that starts the job. Tests answer with scripted values.
class IPrintHost {
 public:
  virtual ~IPrintHost() = default;
  // The printer dialog; false when cancelled.
  virtual bool showPrintDialog() = 0;
  // The file a PDF is written to; empty when cancelled.
  virtual QString choosePdfFile() = 0;
  // Whether the chosen printer (or PDF output) can be printed to.
  virtual bool printerAvailable() = 0;
  // The page setup dialog shown with `setup`; false when cancelled, else `setup` holds
  // the paper size and margins chosen.
  virtual bool showPageSetup(TPageSetupValues &setup) = 0;
  // Takes the page setup over into the preview (paper, orientation, resolution).
  virtual void applyPageSetup(const TPageSetupValues &setup) = 0;
  // Arms the one-shot timer whose tick runs the print job.
  virtual void armPrintTimer() = 0;
};

// Print (Ctrl+P): "Nothing2Print" with an empty document; else the calibration note, the
// select tool, the printer dialog, a check for a printer ("NoPrinter"), the page setup
// with 15 mm margins, and the timer that starts the job.
void actPrintExecute(TEditor &editor, IPrintHost &host);
// Export As PDF: the same road with the choice of a PDF file in place of the printer
// dialog.
void actExportAsPDFExecute(TEditor &editor, IPrintHost &host);

// The drawing area of a job: the bounds of every shape, 5 mm more at the left and top and
// 10 mm more at the right and bottom.
TRectF printBoundary(const TEditor &editor);

}  // namespace quillon
