#include "exchange/print_job.h"

#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "model/shape_bounds.h"
#include "model/shape_list.h"
#include "render/paint.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"
#include "shell/view_transform.h"
#include "tools/tool_change.h"

namespace quillon {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr TAlphaColor kMarkRed = 0xFFFF0000;
constexpr TAlphaColor kBlack = 0xFF000000;

// Puts the editor's view and print thickness factor back when the job's painting ends,
// also when it ends by an exception.
class PrintViewGuard {
 public:
  explicit PrintViewGuard(TEditor &editor)
      : e_(editor), scale_(editor.view().FScale), offset_(editor.view().FOffset),
        factor_(editor.display().FPrintLineFactor) {}
  ~PrintViewGuard() {
    e_.view().FScale = scale_;
    e_.view().FOffset = offset_;
    e_.display().FPrintLineFactor = factor_;
  }
  PrintViewGuard(const PrintViewGuard &) = delete;
  PrintViewGuard &operator=(const PrintViewGuard &) = delete;

 private:
  TEditor &e_;
  float scale_;
  TPointF offset_;
  float factor_;
};

QPointF pixel(const TEditor &editor, TPointF real) {
  const TPointF p = realToVirtual(editor.view(), real);
  return {p.X, p.Y};
}

// A measured ruler length usable as a divisor: a length that is not a positive number
// (a damaged settings file) counts as the 100 mm it should have been.
float measuredLength(float mm) { return std::isfinite(mm) && mm > 0.0f ? mm : 100.0f; }

// The paint target for the preview or a printed page, from the preview's boxes.
TPaintTarget printTarget(const TPrintPreview &preview, int width, int height, bool previewing) {
  TPaintTarget t;
  t.Width = width;
  t.Height = height;
  t.IsPrinting = true;
  t.IsPrintPreviewing = previewing;
  t.PrintStroke.PrintInColor = preview.Options.chkPrintInColor;
  t.PrintStroke.IsPreviewing = previewing;
  t.PrintStroke.ShowNotForPrintLines = preview.Options.chkShowNotForPrintLines;
  t.PrintStroke.ThicknessFactor = preview.getPrintThicknessFactor();
  t.PrintSelectedShapesOnly = preview.Options.chkPrintSelectedShapesOnly;
  t.PrintStitchingHoleAsDot = preview.Options.chkPrintStitchingHoleAsDot;
  return t;
}

// White over the four margins of the paper. The corner of the page's print area lands at
// the margins times the calibration factors; `originMm` is where the device's printable
// area begins on the paper and k its pixels per millimetre.
void maskPrinterMargins(QPainter &canvas, const TPrintPreview &preview, TPointF cal, QPointF originMm, double k) {
  const TPrintMargins &m = preview.Margin();
  const double w = preview.PageWidth(), h = preview.PageHeight();
  const auto fill = [&](double l, double t, double r, double b) {
    canvas.fillRect(QRectF(QPointF((l - originMm.x()) * k, (t - originMm.y()) * k),
                           QPointF((r - originMm.x()) * k, (b - originMm.y()) * k)),
                    QColor::fromRgba(0xFFFFFFFF));
  };
  fill(0, 0, w, m.Top * cal.Y);
  fill(0, h - m.Bottom * cal.Y, w, h);
  fill(0, 0, m.Left * cal.X, h);
  fill(w - m.Right * cal.X, 0, w, h);
}

// The 100 mm calibration ruler of a page at the corner its scale position names: two
// arms with a tick every 10 mm (4 mm long at 0, 50 and 100 mm, else 2 mm) pointing into
// the page. Drawn through the editor's view, so the arms print 100 mm long exactly when
// the calibration is right.
void drawPageCornerMarks(const TEditor &editor, QPainter &canvas, const TPrintPreview &preview, TPointF cal,
                         int pageIdx) {
  if (!preview.Project) return;
  const int pos = preview.Project->PrintScalePos()[std::size_t(pageIdx)];
  if (pos < spBottomRight || pos >= spNone) return;
  const TPrintMargins &m = preview.Margin();
  const TPointF d = preview.getOffsetRealPt(pageIdx);
  const TPointF s(preview.PageWidth() / cal.X - float(m.Left + m.Right),
                  preview.PageHeight() / cal.Y - float(m.Top + m.Bottom));
  const bool inside = editor.FOptions->PrintRulerInside;
  const TPointF tl = inside ? d : d - TPointF(5.0f, 5.0f);
  const TPointF br = inside ? d + s : d + s + TPointF(5.0f, 5.0f);
  TPointF c;
  float b = 1.0f, dir = 1.0f;
  switch (pos) {
    case spBottomRight: c = br; b = -1; dir = -1; break;
    case spBottomLeft: c = TPointF(tl.X, br.Y); b = 1; dir = -1; break;
    case spTopLeft: c = tl; b = 1; dir = 1; break;
    default: c = TPointF(br.X, tl.Y); b = -1; dir = 1; break;
  }
  QPen pen(QColor::fromRgba(kBlack));
  pen.setWidthF(3.0 * preview.getPrintThicknessFactor());
  pen.setStyle(Qt::SolidLine);
  pen.setCapStyle(Qt::FlatCap);
  canvas.save();
  canvas.setPen(pen);
  canvas.setOpacity(1.0);
  const auto line = [&](TPointF a, TPointF z) { canvas.drawLine(pixel(editor, a), pixel(editor, z)); };
  line(c, c + TPointF(100.0f * b, 0.0f));
  line(c, c + TPointF(0.0f, 100.0f * dir));
  for (int k = 0; k <= 10; ++k) {
    const float t = (k == 0 || k == 5 || k == 10) ? 4.0f : 2.0f;
    const TPointF h = c + TPointF(10.0f * float(k) * b, 0.0f);
    line(h, h + TPointF(0.0f, dir * t));
    const TPointF v = c + TPointF(0.0f, 10.0f * float(k) * dir);
    line(v, v + TPointF(b * t, 0.0f));
  }
  canvas.restore();
}

}  // namespace

TPointF getPrintCalibrationFactors(const TEditor &editor, double pageWidthPx, double pageHeightPx) {
  const float x = 100.0f / measuredLength(editor.FOptions->PrintCalibration.X);
  const float y = 100.0f / measuredLength(editor.FOptions->PrintCalibration.Y);
  return pageWidthPx < pageHeightPx ? TPointF(x, y) : TPointF(y, x);
}

void drawTileOverlapMarks(const TEditor &editor, QPainter &canvas, const TPrintPreview &preview, int pageIdx) {
  const TRectF r = preview.getPrintPageRect(pageIdx);
  const float o = float(preview.tileOverlap());
  const float h = o / 2.0f;
  const float e = std::clamp(o, 8.0f, 16.0f);
  QPen pen = canvas.pen();
  pen.setColor(QColor::fromRgba(kMarkRed));
  pen.setStyle(Qt::SolidLine);
  canvas.setPen(pen);
  const qreal opacity = canvas.opacity();
  canvas.setOpacity(1.0);
  const auto line = [&](float x1, float y1, float x2, float y2) {
    canvas.drawLine(pixel(editor, {x1, y1}), pixel(editor, {x2, y2}));
  };
  line(r.Left - e, r.Top + h, r.Left + e, r.Top + h);
  line(r.Right - e, r.Top + h, r.Right + e, r.Top + h);
  line(r.Left - e, r.Bottom - h, r.Left + e, r.Bottom - h);
  line(r.Right - e, r.Bottom - h, r.Right + e, r.Bottom - h);
  line(r.Left + h, r.Top - e, r.Left + h, r.Top + e);
  line(r.Left + h, r.Bottom - e, r.Left + h, r.Bottom + e);
  line(r.Right - h, r.Top - e, r.Right - h, r.Top + e);
  line(r.Right - h, r.Bottom - e, r.Right - h, r.Bottom + e);
  canvas.setOpacity(opacity);
  pen.setColor(QColor::fromRgba(kBlack));
  canvas.setPen(pen);
}

void renderPreviewImage(TEditor &editor, const TPrintPreview &preview, QImage &image) {
  if (image.isNull() || preview.DPI() <= 0.0f) return;
  PrintViewGuard guard(editor);
  const double k = preview.previewScale();
  editor.view().FScale = float(k);
  editor.view().FOffset = TPointF(float(-preview.Boundary.Left * k), float(-preview.Boundary.Top * k));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  TCanvasState state;
  paintCanvas(editor, painter, printTarget(preview, image.width(), image.height(), true), state);
}

int printPages(TEditor &editor, const TPrintPreview &preview, QPagedPaintDevice &device, TPointF calibration) {
  if (!preview.Project) return 0;
  const std::vector<bool> &targets = preview.Project->PrintTarget();
  if (std::none_of(targets.begin(), targets.end(), [](bool b) { return b; })) return 0;

  const double dpi = device.logicalDpiX();
  const double k = dpi / kMmPerInch;  // device pixels per millimetre of paper
  const QRectF paintMm = device.pageLayout().paintRect(QPageLayout::Millimeter);
  const QPointF originMm = paintMm.topLeft();
  const TPrintMargins &m = preview.Margin();
  // The paper in the world coordinates of the paint routine (its background covers it).
  const int width = int(std::ceil(preview.PageWidth() * k / std::max(calibration.X, 0.5f))) + 2;
  const int height = int(std::ceil(preview.PageHeight() * k / std::max(calibration.Y, 0.5f))) + 2;

  PrintViewGuard guard(editor);
  QPainter painter;
  if (!painter.begin(&device)) throw std::runtime_error("The printer could not start the document.");
  int printed = 0;
  try {
    for (int i = 0; i < preview.pageCount(); ++i) {
      if (!targets[std::size_t(i)]) continue;
      if (++printed > 1) device.newPage();
      editor.display().FPrintLineFactor = preview.getPrintThicknessFactor();
      const TPointF d = preview.getOffsetRealPt(i);
      editor.view().FScale = float(k);
      editor.view().FOffset = TPointF(float(-(d.X - m.Left) * k), float(-(d.Y - m.Top) * k));
      // The view places the page at true size from the paper's corner; the world
      // transform adds the calibration and moves the paper's corner to the device's.
      const QTransform paper(calibration.X, 0, 0, calibration.Y, -originMm.x() * k, -originMm.y() * k);
      painter.save();
      painter.setWorldTransform(paper);
      TCanvasState state;
      paintCanvas(editor, painter, printTarget(preview, width, height, false), state);
      painter.restore();
      if (preview.Options.chkTilePrint || !preview.Options.chkPrintIntoMergin)
        maskPrinterMargins(painter, preview, calibration, originMm, k);
      painter.save();
      painter.setWorldTransform(paper);
      if (preview.Options.chkTilePrint) drawTileOverlapMarks(editor, painter, preview, i);
      drawPageCornerMarks(editor, painter, preview, calibration, i);
      painter.restore();
      editor.display().FPrintLineFactor = 1.0f;
    }
  } catch (...) {
    painter.end();
    throw;
  }
  painter.end();
  return printed;
}

TRectF printBoundary(const TEditor &editor) {
  TRectF r = calcShapesBoundary(editor.doc().PathList().Items());
  return {r.Left - 5.0f, r.Top - 5.0f, r.Right + 10.0f, r.Bottom + 10.0f};
}

namespace {

void startPrint(TEditor &editor, IPrintHost &host, bool pdf) {
  if (editor.doc().PathList().Count() == 0) {
    const QString key = QStringLiteral("Nothing2Print");
    editor.ui().messageBox(key, editor.tr(key));
    return;
  }
  const QString note = QStringLiteral("MSPrint2PDF");
  editor.ui().informationBox(note, editor.tr(note));
  switchToSelectTool(editor);
  if (pdf) {
    if (host.choosePdfFile().isEmpty()) return;
  } else if (!host.showPrintDialog()) {
    return;
  }
  if (!host.printerAvailable()) {
    const QString key = QStringLiteral("NoPrinter");
    editor.ui().messageBox(key, editor.tr(key));
    return;
  }
  TPageSetupValues setup;
  setup.MarginLeft = setup.MarginTop = setup.MarginRight = setup.MarginBottom = 15.0;
  if (!host.showPageSetup(setup)) return;
  host.applyPageSetup(setup);
  host.armPrintTimer();
}

}  // namespace

void actPrintExecute(TEditor &editor, IPrintHost &host) { startPrint(editor, host, false); }

void actExportAsPDFExecute(TEditor &editor, IPrintHost &host) { startPrint(editor, host, true); }

}  // namespace quillon
