#include "exchange/ui/print_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QWidget>

#include <charconv>
#include <stdexcept>
#include <vector>

#include "exchange/ui/print_preview_window.h"
#include "model/shape_list.h"
#include "platform/folders.h"
#include "render/overlays.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/guarded_call.h"
#include "shell/options.h"

namespace quillon {

namespace {

// The printer's resolutions as (x, y) pairs. PDF output has no list of its own: it keeps
// the resolution it was set up with.
std::vector<TPointF> resolutionsOf(QPrinter &printer) {
  std::vector<TPointF> list;
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    list.emplace_back(float(printer.resolution()), float(printer.resolution()));
    return list;
  }
  for (int r : printer.supportedResolutions()) list.emplace_back(float(r), float(r));
  return list;
}

// Restores the cursor and repaints the drawing when the job ends, however it ends.
class JobEndGuard {
 public:
  explicit JobEndGuard(TEditor &editor) : e_(editor) {}
  ~JobEndGuard() {
    if (waiting_) QGuiApplication::restoreOverrideCursor();
    e_.ui().refreshCanvas();
  }
  void wait() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    waiting_ = true;
  }
  JobEndGuard(const JobEndGuard &) = delete;
  JobEndGuard &operator=(const JobEndGuard &) = delete;

 private:
  TEditor &e_;
  bool waiting_ = false;
};

// A number in its shortest form with "." as the decimal point.
QString shortestText(float value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return QString::fromLatin1(buffer, int(end - buffer));
}

}  // namespace

TPrintCommands::TPrintCommands(TEditor &editor, QWidget *window)
    : QObject(window), FEditor(editor), FWindow(window), FPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  // The whole sheet is the device: its pixel (0, 0) is the paper's corner.
  FPrinter->setFullPage(true);
  FTimer = new QTimer(this);
  FTimer->setObjectName(QStringLiteral("timerPrint"));
  FTimer->setSingleShot(true);
  FTimer->setInterval(100);
  connect(FTimer, &QTimer::timeout, this, [this] { guarded(FEditor.ui(), "timerPrintTimer", [this] { timerPrintTimer(); }); });
  FPreview = new TfrmPreview(editor, window);
  FPreview->PageSetup = [this] {
    TPageSetupValues setup = FPreview->preview().pageSetupValues();
    if (!showPageSetup(setup)) return false;
    applyPageSetup(setup);
    return true;
  };
}

TPrintCommands::~TPrintCommands() = default;

void TPrintCommands::actPrintExecute() { quillon::actPrintExecute(FEditor, *this); }

void TPrintCommands::actExportAsPDFExecute() { quillon::actExportAsPDFExecute(FEditor, *this); }

void TPrintCommands::connectPageFrames(TPrintAreaState &frames) {
  FFrames = &frames;
  frames.PrintPageRect = [this](int page) { return FPreview->preview().getPrintPageRect(page); };
  frames.DrawTileOverlapMarks = [this](QPainter &painter, int page) {
    drawTileOverlapMarks(FEditor, painter, FPreview->preview(), page);
  };
}

void TPrintCommands::setUpPdfPrinter(QPrinter &printer, const QString &fileName) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(fileName);
  printer.setFullPage(true);
  printer.setResolution(300);
}

void TPrintCommands::applyPageLayout(QPrinter &printer, const TPageSetupValues &setup) {
  const bool landscape = setup.PaperWidth > setup.PaperHeight;
  const QSizeF portrait(std::min(setup.PaperWidth, setup.PaperHeight), std::max(setup.PaperWidth, setup.PaperHeight));
  QPageLayout layout(QPageSize(portrait, QPageSize::Millimeter), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(setup.MarginLeft, setup.MarginTop, setup.MarginRight, setup.MarginBottom),
                     QPageLayout::Millimeter, QMarginsF());
  layout.setMode(QPageLayout::FullPageMode);
  printer.setPageLayout(layout);
}

bool TPrintCommands::showPrintDialog() {
  FPrinter->setOutputFormat(QPrinter::NativeFormat);
  FPrinter->setOutputFileName(QString());
  QPrintDialog dialog(FPrinter.get(), FWindow);
  return dialog.exec() == QDialog::Accepted;
}

QString TPrintCommands::choosePdfFile() {
  QString suggested = QDir(documentsDir()).filePath(QStringLiteral("quillon"));
  if (!FEditor.FFilename.isEmpty()) {
    const QFileInfo doc(FEditor.FFilename);
    suggested = QDir(doc.absolutePath()).filePath(doc.completeBaseName());
  }
  QString fileName = FEditor.ui().saveFileDialog(FEditor.tr(QStringLiteral("actExportAsPDF")),
                                                 QStringLiteral("PDF (*.pdf)"), suggested + QStringLiteral(".pdf"));
  if (fileName.isEmpty()) return {};
  if (!fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) fileName += QStringLiteral(".pdf");
  setUpPdfPrinter(*FPrinter, fileName);
  return fileName;
}

bool TPrintCommands::printerAvailable() {
  if (FPrinter->outputFormat() == QPrinter::PdfFormat) return !FPrinter->outputFileName().isEmpty();
  return FPrinter->isValid() && !FPrinter->printerName().isEmpty();
}

bool TPrintCommands::showPageSetup(TPageSetupValues &setup) {
  // The dialog keeps the paper it last held and shows the margins asked for.
  QPageLayout layout = FPrinter->pageLayout();
  layout.setUnits(QPageLayout::Millimeter);
  layout.setMinimumMargins(QMarginsF());
  layout.setMargins(QMarginsF(setup.MarginLeft, setup.MarginTop, setup.MarginRight, setup.MarginBottom));
  FPrinter->setPageLayout(layout);
  QPageSetupDialog dialog(FPrinter.get(), FWindow);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QPageLayout chosen = FPrinter->pageLayout();
  const QRectF paper = chosen.fullRect(QPageLayout::Millimeter);
  const QMarginsF m = chosen.margins(QPageLayout::Millimeter);
  setup.PaperWidth = paper.width();
  setup.PaperHeight = paper.height();
  setup.MarginLeft = m.left();
  setup.MarginTop = m.top();
  setup.MarginRight = m.right();
  setup.MarginBottom = m.bottom();
  return true;
}

void TPrintCommands::applyPageSetup(const TPageSetupValues &setup) {
  TPrintPreview &preview = FPreview->preview();
  const QSize surface = FPreview->surfaceSize();
  preview.applyPageSetup(setup, surface.width(), surface.height());
  applyPageLayout(*FPrinter, setup);
  const std::vector<TPointF> resolutions = resolutionsOf(*FPrinter);
  const int i = pickPageSetupResolution(resolutions);
  if (!resolutions.empty()) {
    const TPointF r = resolutions[std::size_t(std::min(i, int(resolutions.size()) - 1))];
    FPrinter->setResolution(int(r.X));
    preview.DPIxy = r;
  }
  const QRect px = FPrinter->pageLayout().fullRectPixels(FPrinter->resolution());
  FPreview->setDpiTexts(shortestText(preview.DPI()),
                        activeDpiText(i, int(resolutions.size()), preview.DPIxy, px.width(), px.height()));
}

void TPrintCommands::armPrintTimer() { FTimer->start(); }

void TPrintCommands::timerPrintTimer() {
  FTimer->stop();
  runPrintJob();
}

void TPrintCommands::runPrintJob() {
  TPrintPreview &preview = FPreview->preview();
  JobEndGuard end(FEditor);
  preview.Project = &FEditor.doc().PathList();
  const std::vector<TPointF> resolutions = resolutionsOf(*FPrinter);
  const int best = pickPrintJobResolution(resolutions);
  if (best >= 0) {
    FPrinter->setResolution(int(resolutions[std::size_t(best)].X));
    preview.DPIxy = resolutions[std::size_t(best)];
  }
  FEditor.display().FIsPrintAreaAvailable = true;
  preview.Boundary = printBoundary(FEditor);
  const QRect px = FPrinter->pageLayout().fullRectPixels(FPrinter->resolution());
  const TPointF calibration = getPrintCalibrationFactors(FEditor, px.width(), px.height());
  preview.CalibrationRatio = calibration;
  preview.Options.chkPrintInColor = FEditor.FOptions->PrintInColor;
  preview.Options.chkPreview_RulerInside = FEditor.FOptions->PrintRulerInside;
  FPreview->showOptions();
  FPreview->setRemoveEnabled(preview.pageCount() > 1);
  FPreview->readBoxes();
  // Laid out once the window has its size.
  QTimer::singleShot(0, FPreview, [this] { FPreview->pbPreviewResize(); });
  const bool print = FPreview->exec() == QDialog::Accepted;

  FPreview->readBoxes();
  FEditor.FOptions->PrintInColor = preview.Options.chkPrintInColor;
  FEditor.FOptions->PrintRulerInside = preview.Options.chkPreview_RulerInside;
  if (FFrames) FFrames->TilePrint = preview.Options.chkTilePrint;
  if (!print) return;

  end.wait();
  try {
    printPages(FEditor, preview, *FPrinter, calibration);
  } catch (const std::exception &e) {
    // The PDF's file is named, so the user knows which folder refused it.
    if (FPrinter->outputFormat() != QPrinter::PdfFormat) throw;
    throw std::runtime_error(std::string(e.what()) + " " + QDir::toNativeSeparators(FPrinter->outputFileName()).toStdString());
  }
}

}  // namespace quillon
