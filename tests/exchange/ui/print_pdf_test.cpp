// The print job through the printer as Export As PDF sets it up: the preview window is
// opened and closed with "Print", and the PDF is read back and measured at 300 dpi.
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPdfDocument>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

#include "exchange/ui/print_commands.h"
#include "exchange/ui/print_preview_window.h"
#include "model/shape_list.h"
#include "shell/options.h"
#include "support/editor_fixture.h"

namespace quillon::test {
namespace {

constexpr double kDpi = 300.0;
constexpr double kPxPerMm = kDpi / 25.4;

// The dark runs (from, to in millimetres) along one row or column of a rendered page.
struct TRun {
  double From, To;
  double centre() const { return (From + To) / 2; }
};
std::vector<TRun> darkRuns(const QImage &page, bool row, double atMm) {
  std::vector<TRun> runs;
  const int fixed = int(atMm * kPxPerMm);
  const int length = row ? page.width() : page.height();
  int start = -1;
  for (int i = 0; i <= length; ++i) {
    const bool dark = i < length && qGray(row ? page.pixel(i, fixed) : page.pixel(fixed, i)) < 128;
    if (dark && start < 0) start = i;
    if (!dark && start >= 0) {
      runs.push_back({start / kPxPerMm, i / kPxPerMm});
      start = -1;
    }
  }
  return runs;
}

class PrintPdfTest : public EditorTest {
 protected:
  // Prints the document through the preview (closed with "Print") to a PDF on A4 portrait
  // with 15 mm margins and returns its file name.
  QString printToPdf() {
    const QString file = dir.filePath(QStringLiteral("out.pdf"));
    QWidget window;
    TPrintCommands commands(editor, &window);
    TPrintCommands::setUpPdfPrinter(commands.printer(), file);
    TPageSetupValues a4;
    a4.PaperWidth = 210;
    a4.PaperHeight = 297;
    commands.applyPageSetup(a4);
    TfrmPreview &preview = commands.previewWindow();
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
      if (preview.isVisible()) preview.btnExecutePrint->click();
    });
    press.start(20);
    commands.runPrintJob();
    return file;
  }

  QTemporaryDir dir;
};

TEST_F(PrintPdfTest, OneSheetPerIncludedPageAtTrueScaleWithAHundredMillimetreRuler) {
  // A 150 mm line 4 px thick; the drawing area starts 5 mm left of and above it.
  TQN_Path *line = addLine({0, 50}, {150, 50});
  line->FThickness = 4.0f;
  addLine({0, 0}, {0, 1});

  // Three pages, the middle one left out; page 1 carries its ruler at the top-left.
  doc().PrintOffset() = {{0, 0}, {180, 0}, {0, 267}};
  doc().PrintTarget() = {true, false, true};
  doc().PrintScalePos() = {spTopLeft, spNone, spBottomRight};

  struct Case {
    float CalibrationX, CalibrationY;
    double ArmX, ArmY;  // the printed arms, millimetres
  } cases[] = {{100, 100, 100, 100}, {98, 99, 100.0 * 100 / 98, 100.0 * 100 / 99}};
  for (const Case &c : cases) {
    editor.FOptions->PrintCalibration = {c.CalibrationX, c.CalibrationY};
    editor.FOptions->PrintRulerInside = false;
    const QString file = printToPdf();

    QPdfDocument pdf;
    ASSERT_EQ(pdf.load(file), QPdfDocument::Error::None);
    EXPECT_EQ(pdf.pageCount(), 2);
    const QSizeF points = pdf.pagePointSize(0);
    EXPECT_NEAR(points.width() / 72 * 25.4, 210, 0.5);
    const QImage page = pdf.render(0, QSize(int(points.width() / 72 * kDpi), int(points.height() / 72 * kDpi)))
                            .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(page.isNull());

    // The ruler's corner is 5 mm outside the page's area, whose corner lands on the 15 mm
    // margins (times the calibration): 10 mm from the paper's edges when uncalibrated.
    const double cx = 10 * 100.0 / c.CalibrationX, cy = 10 * 100.0 / c.CalibrationY;
    // 3 mm below the horizontal arm only its 4 mm ticks cross: at 0, 50 and 100 mm.
    const std::vector<TRun> ticksX = darkRuns(page, true, cy + 3);
    ASSERT_EQ(ticksX.size(), 3u) << c.CalibrationX;
    EXPECT_NEAR(ticksX.front().centre(), cx, 0.3);
    EXPECT_NEAR(ticksX.back().centre() - ticksX.front().centre(), c.ArmX, 0.3) << c.CalibrationX;
    const std::vector<TRun> ticksY = darkRuns(page, false, cx + 3);
    ASSERT_EQ(ticksY.size(), 3u) << c.CalibrationY;
    EXPECT_NEAR(ticksY.back().centre() - ticksY.front().centre(), c.ArmY, 0.3) << c.CalibrationY;

    // The drawing at true size times the calibration: the 150 mm line, 5 mm into the
    // drawing area and 15 mm of margin from the paper's corner.
    const double kx = 100.0 / c.CalibrationX, ky = 100.0 / c.CalibrationY;
    const std::vector<TRun> across = darkRuns(page, false, 140);  // beyond the ruler
    ASSERT_EQ(across.size(), 1u);
    EXPECT_NEAR(across.front().centre(), (50 + 5 + 15) * ky, 0.3);
    const std::vector<TRun> along = darkRuns(page, true, across.front().centre());
    ASSERT_FALSE(along.empty());
    EXPECT_NEAR(along.back().From, (5 + 15) * kx, 0.3);
    EXPECT_NEAR(along.back().To - along.back().From, 150 * kx, 0.4);
  }
  // The job gave the page frames to the drawing box.
  EXPECT_TRUE(editor.display().FIsPrintAreaAvailable);
}

TEST_F(PrintPdfTest, AllPagesLeftOutWritesNoSheetAndKeepsTheView) {
  addLine({0, 0}, {50, 0});
  doc().PrintTarget() = {false};
  editor.view().FScale = 7.0f;
  editor.view().FOffset = {11.0f, 13.0f};
  const QString file = printToPdf();
  EXPECT_FALSE(QFileInfo::exists(file));
  EXPECT_EQ(editor.view().FScale, 7.0f);
  EXPECT_EQ(editor.view().FOffset.X, 11.0f);
}

}  // namespace
}  // namespace quillon::test
