#pragma once
// The window's side of printing: the printer (QPrinter, a system printer or PDF output),
// its print and page setup dialogs, the one-shot timer that starts the job after the
// dialogs have closed, the print preview window and the job itself.
#include <QObject>
#include <QString>

#include <memory>

#include "exchange/print_job.h"

class QPrinter;
class QTimer;
class QWidget;

namespace quillon {

class TEditor;
class TfrmPreview;
struct TPrintAreaState;

class TPrintCommands : public QObject, public IPrintHost {
 public:
  TPrintCommands(TEditor &editor, QWidget *window);
  ~TPrintCommands() override;

  // File > Print (Ctrl+P) and File > Export As PDF.
  void actPrintExecute();
  void actExportAsPDFExecute();
  // The timer's tick: the preview, then the printed pages when it closes with "Print".
  void timerPrintTimer();
  void runPrintJob();

  TfrmPreview &previewWindow() { return *FPreview; }
  QPrinter &printer() { return *FPrinter; }
  QTimer &timerPrint() { return *FTimer; }
  // Hands the drawing box what it needs to draw the page frames.
  void connectPageFrames(TPrintAreaState &frames);

  // A printer for PDF output to `fileName`, at 300 dpi, for the given page setup.
  static void setUpPdfPrinter(QPrinter &printer, const QString &fileName);
  static void applyPageLayout(QPrinter &printer, const TPageSetupValues &setup);

  // IPrintHost
  bool showPrintDialog() override;
  QString choosePdfFile() override;
  bool printerAvailable() override;
  bool showPageSetup(TPageSetupValues &setup) override;
  void applyPageSetup(const TPageSetupValues &setup) override;
  void armPrintTimer() override;

 private:
  TEditor &FEditor;
  QWidget *FWindow;
  std::unique_ptr<QPrinter> FPrinter;
  QTimer *FTimer = nullptr;
  TfrmPreview *FPreview = nullptr;
  TPrintAreaState *FFrames = nullptr;
};

}  // namespace quillon
