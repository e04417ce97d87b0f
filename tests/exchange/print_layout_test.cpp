// Print preview and print job in core terms: the page layout, pages and tiling, the
// calibration factors, the page marks and the command's road up to the print timer.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>

#include "exchange/print_job.h"
#include "exchange/print_layout.h"
#include "model/shape_list.h"
#include "shell/options.h"
#include "shell/project_file.h"
#include "shell/tool_state.h"
#include "shell/view_transform.h"
#include "support/editor_fixture.h"

namespace quillon::test {

namespace {

constexpr double kSurfaceW = 1076.0, kSurfaceH = 595.0, kBars = 81.0;

class PrintLayoutTest : public EditorTest {
 protected:
  PrintLayoutTest() : preview(editor) {
    addLine({0, 0}, {480, 300});
    preview.Project = &doc();
    preview.Boundary = printBoundary(editor);
  }
  // A4 landscape with 15 mm margins, laid out on the preview surface.
  void setUpA4Landscape(TPointF calibration = {1.0f, 1.0f}) {
    TPageSetupValues a4;
    a4.PaperWidth = 297;
    a4.PaperHeight = 210;
    preview.applyPageSetup(a4, kSurfaceW, kSurfaceH);
    preview.CalibrationRatio = calibration;
    ASSERT_TRUE(preview.layout(kSurfaceW, kSurfaceH, kBars));
  }
  TPointF offset(int page) { return doc().PrintOffset()[std::size_t(page)]; }

  TPrintPreview preview;
};

void expectNear(TPointF got, TPointF want, const char *what) {
  EXPECT_NEAR(got.X, want.X, 1e-3) << what;
  EXPECT_NEAR(got.Y, want.Y, 1e-3) << what;
}

}  // namespace

TEST_F(PrintLayoutTest, A4LandscapeWithFifteenMillimetreMarginsHasAPrintArea267Wide) {
  setUpA4Landscape();
  EXPECT_EQ(preview.printAreaWidth(), 267);
  expectNear(preview.printAreaSize(), {267.0f, 180.0f}, "print area");
  // The calibration factors shrink the part of the drawing a page covers.
  preview.CalibrationRatio = {100.0f / 98.0f, 100.0f / 99.0f};
  expectNear(preview.printAreaSize(), {267.0f * 0.98f, 180.0f * 0.99f}, "calibrated print area");
  // The drawing area: shape bounds with 5 mm at the left and top, 10 mm at right and bottom.
  EXPECT_EQ(preview.Boundary, TRectF(-5, -5, 490, 310));
  // The layout fits the larger of drawing and paper into the surface, tool bars included.
  const double k = 1.0 / std::max(495.0 / kSurfaceW, (315.0 + kBars) / kSurfaceH);
  EXPECT_NEAR(preview.DPI(), k * 25.4, 1e-3);
}

TEST_F(PrintLayoutTest, TilingPlacesTwoColumnsOverlappingAroundTheFirstPage) {
  setUpA4Landscape();
  preview.Options.chkTilePrint = true;
  preview.Options.nbTileOverlapLen = 10;
  preview.Options.nbPreview_TileX = QStringLiteral("2");
  doc().PrintOffset()[0] = {3, 4};
  for (int i = 0; i < 3; ++i) preview.addPage();
  const float w = 267, h = 180, o = 10;
  const TPointF want[] = {{0, 0}, {w - o, 0}, {0, h - o}, {w - o, h - o}};
  for (int i = 0; i < 4; ++i) expectNear(offset(i), TPointF(3, 4) + want[i], "tile");

  // Dragging any page moves page 1 and the grid follows.
  const double k = preview.previewScale();
  const TRectF p4 = preview.pageRectPixels(3);
  const double x = p4.Left + 20, y = p4.Top + 20;
  EXPECT_EQ(preview.mouseDown(false, x, y), 3);
  ASSERT_TRUE(preview.mouseMove(x + 10 * k, y + 5 * k));
  preview.mouseUp(x + 10 * k, y + 5 * k);
  for (int i = 0; i < 4; ++i) expectNear(offset(i), TPointF(13, 9) + want[i], "dragged tile");
  EXPECT_TRUE(doc().IsChanged);

  // Tiling switches printing into the margins off.
  preview.optionsChanged();
  EXPECT_FALSE(preview.Options.chkPrintIntoMergin);
}

TEST_F(PrintLayoutTest, AColumnCountBeingTypedAsZeroOrTextStillLaysOutAGrid) {
  setUpA4Landscape();
  preview.Options.chkTilePrint = true;
  preview.addPage();
  for (const char *typed : {"0", "", "abc"}) {
    preview.Options.nbPreview_TileX = QString::fromLatin1(typed);
    preview.Options.TileXValue = 1;
    preview.resetTile();
    EXPECT_GE(preview.getNumTileX(), 1) << typed;
    EXPECT_NEAR(offset(1).Y - offset(0).Y, 180.0f - 10.0f, 1e-3) << typed;  // one column: page 2 below
  }
}

TEST_F(PrintLayoutTest, PagesStayOverTheSameDrawingWhenThePreviewIsResized) {
  setUpA4Landscape();
  doc().PrintOffset()[0] = {40, 25};
  const TPointF before = preview.getOffsetRealPt(0);
  ASSERT_TRUE(preview.layout(kSurfaceW / 2, kSurfaceH / 2, kBars));
  expectNear(preview.getOffsetRealPt(0), before, "after resize");
  expectNear(preview.getPrintPageRect(0).topLeft(), TPointF(35, 20), "page rect");
  // The page's pixels follow the new scale.
  EXPECT_NEAR(preview.pageRectPixels(0).Left, 40 * preview.previewScale(), 1e-3);
}

TEST_F(PrintLayoutTest, AddedPagesRunRightThenStartANewRowBelowPageOne) {
  setUpA4Landscape();
  preview.Boundary = TRectF(0, 0, 500, 400);
  preview.addPage();
  preview.addPage();
  expectNear(offset(1), {267, 0}, "page 2 to the right");
  expectNear(offset(2), {0, 180}, "page 3 below page 1");
  EXPECT_EQ(doc().PrintTarget(), std::vector<bool>({true, true, true}));
  EXPECT_EQ(doc().PrintScalePos(), std::vector<int>({0, 0, 0}));
}

TEST_F(PrintLayoutTest, ClicksCycleTheScaleCornerAndKeepOneScaleSomewhere) {
  setUpA4Landscape();
  const TRectF r = preview.pageRectPixels(0);
  const auto click = [&](double x, double y) {
    preview.mouseDown(false, x, y);
    preview.mouseUp(x + 1, y);  // within a pixel: a click
  };
  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) {
    click(r.Left + 5, r.Top + 5);
    seen.push_back(doc().PrintScalePos()[0]);
  }
  EXPECT_EQ(seen, std::vector<int>({1, 2, 3, 0}));  // the only page with a scale skips "none"

  preview.addPage();
  doc().PrintScalePos()[0] = spTopRight;
  click(r.Left + 5, r.Top + 5);
  EXPECT_EQ(doc().PrintScalePos()[0], spNone);
  click(r.Left + 5, r.Top + 5);
  EXPECT_EQ(doc().PrintScalePos()[0], spBottomRight);

  // A press that moves further than a pixel is a drag, not a click.
  preview.mouseDown(false, r.Left + 5, r.Top + 5);
  preview.mouseUp(r.Left + 9, r.Top + 5);
  EXPECT_EQ(doc().PrintScalePos()[0], spBottomRight);
}

TEST_F(PrintLayoutTest, RightClickExcludesAPageWithoutMarkingTheDocumentChanged) {
  setUpA4Landscape();
  editor.setDocumentChanged(false);
  const TRectF r = preview.pageRectPixels(0);
  EXPECT_EQ(preview.mouseDown(true, r.Left + 1, r.Top + 1), 0);
  EXPECT_FALSE(doc().PrintTarget()[0]);
  EXPECT_FALSE(doc().IsChanged);
  EXPECT_EQ(preview.mouseDown(true, r.Right + 5, r.Top + 1), -1);  // beside the page
}

TEST_F(PrintLayoutTest, RemovingPagesKeepsOneAndAScale) {
  setUpA4Landscape();
  EXPECT_FALSE(preview.removePage());  // only one page
  preview.addPage();
  preview.addPage();
  doc().PrintScalePos() = {spNone, spNone, 0};
  EXPECT_TRUE(preview.removePage());
  EXPECT_EQ(doc().PrintScalePos(), std::vector<int>({spNone, spBottomRight}));
  EXPECT_TRUE(preview.removePage());
  EXPECT_EQ(preview.pageCount(), 1);
  EXPECT_FALSE(preview.removePage());
}

TEST_F(PrintLayoutTest, CalibrationFactorsSwapOnLandscapeAndIgnoreUnusableLengths) {
  struct Case {
    float X, Y;
    double W, H;
    TPointF Want;
  } cases[] = {
      {100, 100, 2480, 3508, {1, 1}},
      {98, 99, 2480, 3508, {100.0f / 98, 100.0f / 99}},  // portrait
      {98, 99, 3508, 2480, {100.0f / 99, 100.0f / 98}},  // landscape
      {98, 99, 3000, 3000, {100.0f / 99, 100.0f / 98}},  // square counts as landscape
      {0, -5, 2480, 3508, {1, 1}},                      // damaged settings: no correction
  };
  for (const Case &c : cases) {
    editor.FOptions->PrintCalibration = {c.X, c.Y};
    const TPointF f = getPrintCalibrationFactors(editor, c.W, c.H);
    EXPECT_NEAR(f.X, c.Want.X, 1e-6) << c.X << " " << c.Y << " " << c.W;
    EXPECT_NEAR(f.Y, c.Want.Y, 1e-6) << c.X << " " << c.Y << " " << c.W;
  }
}

TEST_F(PrintLayoutTest, PrinterResolutionChoices) {
  const std::vector<TPointF> list = {{150, 150}, {300, 300}, {600, 600}};
  EXPECT_EQ(pickPageSetupResolution(list), 1);
  EXPECT_EQ(pickPageSetupResolution({{72, 72}, {150, 150}}), 2);  // none reaches 300
  EXPECT_EQ(pickPrintJobResolution({{150, 150}, {600, 600}, {360, 360}}), 2);
  EXPECT_EQ(pickPrintJobResolution({}), -1);
  EXPECT_EQ(activeDpiText(1, 3, {300, 300}, 3508, 2480), QStringLiteral("Active DPI[1 of 2]=300.00, 300.00; Printer=[3508, 2480]"));
}

TEST_F(PrintLayoutTest, OverlapMarksCrossEachCornerHalfTheOverlapInside) {
  setUpA4Landscape();
  doc().PrintOffset()[0] = {5, 5};  // page at (0, 0) of the drawing
  editor.view().FScale = 2.0f;
  editor.view().FOffset = {40.0f, 40.0f};
  struct Case {
    double Overlap, Half, Reach;
  } cases[] = {{4, 2, 8}, {20, 10, 16}};
  for (const Case &c : cases) {
    preview.Options.nbTileOverlapLen = c.Overlap;
    QImage image(700, 500, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawTileOverlapMarks(editor, p, preview, 0);
    p.end();
    const auto red = [&](double xmm, double ymm) {
      const QColor px = image.pixelColor(int(40 + xmm * 2), int(40 + ymm * 2));
      return px.red() > 200 && px.green() < 80;
    };
    // The horizontal stroke of the top-left cross at y = half the overlap, from -reach to +reach.
    EXPECT_TRUE(red(c.Reach - 1, c.Half)) << c.Overlap;
    EXPECT_FALSE(red(c.Reach + 2, c.Half)) << c.Overlap;
    // The vertical stroke of the bottom-right cross.
    EXPECT_TRUE(red(267 - c.Half, 180 + c.Reach - 1)) << c.Overlap;
    EXPECT_FALSE(red(267 - c.Half, 180 + c.Reach + 2)) << c.Overlap;
  }
}

namespace {

// The window's side of the print command, answering as scripted.
struct TScriptedPrintHost : IPrintHost {
  bool printDialogOk = true;
  QString pdfFile;
  bool printer = true;
  bool pageSetupOk = true;
  QStringList calls;
  TPageSetupValues shownSetup;

  bool showPrintDialog() override { return calls << "print dialog", printDialogOk; }
  QString choosePdfFile() override { return calls << "pdf file", pdfFile; }
  bool printerAvailable() override { return calls << "printer", printer; }
  bool showPageSetup(TPageSetupValues &setup) override {
    shownSetup = setup;
    return calls << "page setup", pageSetupOk;
  }
  void applyPageSetup(const TPageSetupValues &) override { calls << "apply"; }
  void armPrintTimer() override { calls << "timer"; }
};

}  // namespace

using PrintCommandTest = EditorTest;

TEST_F(PrintCommandTest, RoadFromTheMenuToThePrintTimer) {
  struct Case {
    const char *Name;
    bool Shapes, Pdf, DialogOk;
    QString PdfFile;
    bool Printer, SetupOk;
    QStringList Calls, Boxes;
  } cases[] = {
      {"empty print", false, false, true, {}, true, true, {}, {"Nothing2Print"}},
      {"empty pdf", false, true, true, "a.pdf", true, true, {}, {"Nothing2Print"}},
      {"dialog cancelled", true, false, false, {}, true, true, {"print dialog"}, {"MSPrint2PDF"}},
      {"no printer", true, false, true, {}, false, true, {"print dialog", "printer"}, {"MSPrint2PDF", "NoPrinter"}},
      {"setup cancelled", true, false, true, {}, true, false, {"print dialog", "printer", "page setup"}, {"MSPrint2PDF"}},
      {"print", true, false, true, {}, true, true, {"print dialog", "printer", "page setup", "apply", "timer"},
       {"MSPrint2PDF"}},
      {"pdf cancelled", true, true, true, {}, true, true, {"pdf file"}, {"MSPrint2PDF"}},
      {"pdf", true, true, true, "a.pdf", true, true, {"pdf file", "printer", "page setup", "apply", "timer"},
       {"MSPrint2PDF"}},
  };
  for (const Case &c : cases) {
    editor.doc().clear();
    if (c.Shapes) addLine({0, 0}, {10, 10});
    editor.tool().FTool = TTool::Line;
    ui.boxKeys.clear();
    TScriptedPrintHost host;
    host.printDialogOk = c.DialogOk;
    host.pdfFile = c.PdfFile;
    host.printer = c.Printer;
    host.pageSetupOk = c.SetupOk;
    if (c.Pdf)
      actExportAsPDFExecute(editor, host);
    else
      actPrintExecute(editor, host);
    EXPECT_EQ(host.calls, c.Calls) << c.Name;
    EXPECT_EQ(ui.boxKeys, c.Boxes) << c.Name;
    if (c.Shapes) {
      EXPECT_EQ(editor.tool().FTool, TTool::Select) << c.Name;
    }
    if (host.calls.contains("page setup")) {
      EXPECT_EQ(host.shownSetup.MarginLeft, 15.0) << c.Name;
      EXPECT_EQ(host.shownSetup.MarginBottom, 15.0) << c.Name;
    }
  }
}

TEST_F(PrintCommandTest, ANewDocumentHidesThePageFramesOfTheLastJob) {
  editor.display().FIsPrintAreaAvailable = true;
  newDocument(editor);
  EXPECT_FALSE(editor.display().FIsPrintAreaAvailable);
}

}  // namespace quillon::test
