// The palette bar on an editor: its boxes and panels, clicks that choose the pen and hide
// a line type, the line-type menu, the boxes' painting; the line-type editor and the
// colour picker window.
#include "render/ui/palette_bar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/color_scheme.h"
#include "model/draw_pallet.h"
#include "render/palette_commands.h"
#include "render/ui/color_picker.h"
#include "render/ui/edit_pallet_dialog.h"
#include "shell/editor.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

class PaletteBarTest : public test::EditorTest {
 protected:
  TPaletteBar bar{editor};

  void SetUp() override {
    setGridBackground(editor, true);
    setAllPalettesVisible(editor, true);
    bar.show();
  }
  TDrawPallet &pallet(int i) { return *editor.pen().FPalletList[static_cast<std::size_t>(i)]; }
  TPalletBox *box(int i) { return bar.palletBox(i); }
  // The colour of a pixel of the bar, in the bar's logical coordinates.
  QRgb barPixel(const QImage &img, QPoint logical) {
    const qreal dpr = img.devicePixelRatio();
    return img.pixel(int(logical.x() * dpr), int(logical.y() * dpr));
  }
  // Runs the line-type editor from the bar's button; `inside` acts in the open window and
  // must end by closing it.
  void runEditor(const std::function<void(TfrmEditPallet &)> &inside) {
    bool ran = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      TfrmEditPallet *dlg = bar.editPalletDialog();
      if (!dlg || !dlg->isVisible()) return;  // not open yet
      poll.stop();
      ran = true;
      inside(*dlg);
      if (dlg->isVisible()) dlg->reject();  // never leave the test hanging
    });
    poll.start();
    QTest::mouseClick(bar.btnEditPalette, Qt::LeftButton);
    poll.stop();
    EXPECT_TRUE(ran);
  }
};

TEST_F(PaletteBarTest, PanelsHoldTheBoxesInTheirOrder) {
  EXPECT_EQ(bar.objectName(), QStringLiteral("pnlPallet"));
  EXPECT_EQ(bar.pnlPalletLeft->objectName(), QStringLiteral("pnlPalletLeft"));
  EXPECT_EQ(bar.pnlPalletRight->objectName(), QStringLiteral("pnlPalletRight"));
  EXPECT_EQ(bar.pnlPalletLeft->width(), 60);
  EXPECT_EQ(bar.pnlPalletRight->width(), 60);

  for (int i = 0; i < kPalletCount; ++i) {
    const QString name = QStringLiteral("pbPallet%1").arg(i, 2, 10, QLatin1Char('0'));
    auto *b = bar.findChild<QWidget *>(name);
    ASSERT_NE(b, nullptr) << i;
    EXPECT_EQ(b, box(i));
    EXPECT_EQ(b->size(), QSize(40, 15)) << i;
    const bool left = i < 5 || (i >= 10 && i < 25);
    EXPECT_TRUE((left ? bar.pnlPalletLeft : bar.pnlPalletRight)->isAncestorOf(b)) << i;
    EXPECT_EQ(b->toolTip(), palletHint(i)) << i;
  }
  EXPECT_EQ(box(36)->toolTip(), QStringLiteral("#37 Stitching Hole"));

  // Top to bottom: the digit-key rows, then the rest in order.
  auto top = [&](int i) { return box(i)->mapTo(&bar, QPoint(0, 0)).y(); };
  std::vector<int> leftOrder, rightOrder;
  for (int i = 0; i < 5; ++i) leftOrder.push_back(i), rightOrder.push_back(i + 5);
  for (int i = 10; i < 25; ++i) leftOrder.push_back(i), rightOrder.push_back(i + 15);
  for (const std::vector<int> &order : {leftOrder, rightOrder})
    for (std::size_t k = 1; k < order.size(); ++k) EXPECT_LT(top(order[k - 1]), top(order[k])) << order[k];
  EXPECT_EQ(top(0), top(5));
  EXPECT_EQ(top(24), top(39));

  // The digit labels around #01-#10 and the marks beside #37-#40.
  struct Label {
    int box;
    const char *text;
  };
  const Label digits[] = {{0, "  1"}, {4, "  5"}, {5, "  6"}, {8, "  9"}, {9, "  0"}};
  for (const Label &l : digits) {
    auto *label = qobject_cast<QLabel *>(box(l.box)->parentWidget());
    ASSERT_NE(label, nullptr) << l.box;
    EXPECT_EQ(label->text(), QString::fromLatin1(l.text));
  }
  for (int i = 25; i < 40; ++i) {
    const auto marks = box(i)->parentWidget()->findChildren<QLabel *>();
    const bool starred = !marks.isEmpty() && marks.front()->text() == QStringLiteral("*");
    EXPECT_EQ(starred, i >= 36) << i;
  }
}

TEST_F(PaletteBarTest, ClickChoosesThePenAndRestrokesTheSelection) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->SetSelected(true);
  const std::size_t before = undoStates();

  QTest::mouseClick(box(4), Qt::LeftButton);
  EXPECT_EQ(editor.pen().FSelectedPalette, 4);
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 4);
  EXPECT_EQ(editor.pen().FCurrentColor, 0xFFEE82EEu);
  EXPECT_FLOAT_EQ(editor.pen().FCurrentThickness, 1.5f);
  EXPECT_EQ(editor.pen().FCurrentDash, TStrokeDash::Dot);
  EXPECT_EQ(line->FPalletIndex, 4);
  EXPECT_FALSE(line->FSelected);
  EXPECT_EQ(undoStates(), before + 1);

  QTest::mouseClick(box(38), Qt::MiddleButton);  // nothing
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 4);
}

TEST_F(PaletteBarTest, CtrlClickHidesAndTheBoxShowsTheCross) {
  TQN_Path *line = addLine({0, 0}, {10, 0}, 0, 2);
  line->SetSelected(true);

  QTest::mouseClick(box(2), Qt::LeftButton, Qt::ControlModifier);
  EXPECT_FALSE(pallet(2).FIsVisible);
  EXPECT_FALSE(line->FSelected);
  EXPECT_EQ(line->FPalletIndex, 2);
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 0);  // the pen stays

  // (8, 3) of a box lies on the cross's diagonal; (30, 7) on the sample stroke.
  const QImage img = bar.grab().toImage();
  EXPECT_EQ(barPixel(img, box(2)->mapTo(&bar, QPoint(8, 3))), 0xFFFFFFFFu);
  EXPECT_EQ(barPixel(img, box(3)->mapTo(&bar, QPoint(8, 3))), 0xFF000000u);

  QTest::mouseClick(box(2), Qt::LeftButton, Qt::ControlModifier);
  EXPECT_TRUE(pallet(2).FIsVisible);
  EXPECT_FALSE(line->FSelected);
}

TEST_F(PaletteBarTest, BoxesPaintTheirSampleStrokeAndTheCurrentFrame) {
  QImage img = bar.grab().toImage();
  struct Probe {
    int box;
    QRgb color;
  };
  // Solid line types, on the dark background.
  const Probe dark[] = {{0, 0xFF00FFFF}, {1, 0xFF00FF00}, {10, 0xFFFF0000}, {38, 0xFFFFFFFF}, {39, 0xFFFF00FF}};
  for (const Probe &p : dark) EXPECT_EQ(barPixel(img, box(p.box)->mapTo(&bar, QPoint(30, 7))), p.color) << p.box;
  EXPECT_EQ(barPixel(img, box(0)->mapTo(&bar, QPoint(0, 3))), 0xFFFF0000u);  // #01 is current
  EXPECT_EQ(barPixel(img, box(1)->mapTo(&bar, QPoint(0, 3))), 0xFF000000u);

  // On the light background the boxes turn white and show the light colours.
  setGridBackground(editor, false);
  img = bar.grab().toImage();
  const Probe light[] = {{0, 0xFF00008B}, {1, 0xFF006400}, {38, 0xFF000000}, {39, 0xFFFF40FF}};
  for (const Probe &p : light) EXPECT_EQ(barPixel(img, box(p.box)->mapTo(&bar, QPoint(30, 7))), p.color) << p.box;
  EXPECT_EQ(barPixel(img, box(1)->mapTo(&bar, QPoint(30, 2))), 0xFFFFFFFFu);
}

TEST_F(PaletteBarTest, RightClickOpensTheLineTypeMenu) {
  QTest::mouseClick(box(12), Qt::RightButton);
  EXPECT_EQ(editor.pen().FSelectedPalette, 12);
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 0);
  EXPECT_TRUE(bar.pmLinePalette->isVisible());
  const QStringList names = [&] {
    QStringList out;
    for (QAction *a : bar.pmLinePalette->actions()) out << a->objectName();
    return out;
  }();
  EXPECT_EQ(names, (QStringList{"actLinePaletteShowHide", "actLinePaletteSelectAll", "actLinePaletteUnselectLineType",
                                "actLinePaletteUnselectOthers"}));
  bar.pmLinePalette->actions().at(0)->trigger();
  EXPECT_FALSE(pallet(12).FIsVisible);
  bar.pmLinePalette->hide();

  TQN_Path *line = addLine({0, 0}, {10, 0}, 0, 12);
  bar.pmLinePalette->actions().at(1)->trigger();  // select all of #13
  EXPECT_TRUE(line->FSelected);
}

TEST_F(PaletteBarTest, EditorOkWritesTheEditedCopiesBack) {
  selectPalette(editor, 3, false);
  runEditor([&](TfrmEditPallet &dlg) {
    // It opens on the current line type, with its values in the controls.
    EXPECT_EQ(dlg.cmbLineTypeNum->count(), 40);
    EXPECT_EQ(dlg.cmbLineTypeNum->itemText(0), QStringLiteral("Line Type #1"));
    EXPECT_EQ(dlg.cmbLineTypeNum->itemText(39), QStringLiteral("Line Type #40"));
    EXPECT_EQ(dlg.cmbLineTypeNum->currentIndex(), 3);
    EXPECT_DOUBLE_EQ(dlg.nbThickness->value(), 1.1);
    EXPECT_TRUE(dlg.rbDash->isChecked());
    EXPECT_EQ(dlg.edColor->text(), QStringLiteral("#FFFF00"));
    // Edit #04: colour typed, thickness, dash, not for print.
    dlg.edColor->clear();
    QTest::keyClicks(dlg.edColor, QStringLiteral("#1A2B3C"));
    dlg.nbThickness->setValue(2.5);
    dlg.rbDot->click();
    dlg.chkIgnoreInPrinting->click();
    // Nothing reaches the editor before the window closes.
    EXPECT_EQ(pallet(3).FColor_BlackMode, 0xFFFFFF00u);
    QTest::mouseClick(dlg.btnOK, Qt::LeftButton);
  });
  EXPECT_EQ(pallet(3).FColor_BlackMode, 0xFF1A2B3Cu);
  EXPECT_EQ(pallet(3).FColor_WhiteMode, 0xFFBDB76Bu);
  EXPECT_FLOAT_EQ(pallet(3).FThickness, 2.5f);
  EXPECT_EQ(pallet(3).FDash, TStrokeDash::Dot);
  EXPECT_TRUE(pallet(3).FIgnoreInPrinting);
  EXPECT_EQ(editor.pen().FCurrentColor, 0xFF1A2B3Cu);  // the pen follows the current line type
  EXPECT_FLOAT_EQ(editor.pen().FCurrentThickness, 2.5f);
}

TEST_F(PaletteBarTest, EditorCancelAndDefault) {
  pallet(10).FDash = TStrokeDash::Dot;
  pallet(3).FDash = TStrokeDash::Solid;
  pallet(0).FColor_BlackMode = 0xFF445566;
  struct Case {
    const char *button;
    TAlphaColor first;
    TStrokeDash dash4;
  };
  const Case cases[] = {{"btnCancel", 0xFF445566, TStrokeDash::Solid}, {"btnDefault", 0xFF00FFFF, TStrokeDash::Dash}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.button);
    runEditor([&](TfrmEditPallet &dlg) {
      dlg.cmbLineTypeNum->setCurrentIndex(1);
      dlg.rbDashDot->click();
      QTest::mouseClick(dlg.findChild<QPushButton *>(QString::fromLatin1(c.button)), Qt::LeftButton);
    });
    EXPECT_EQ(pallet(0).FColor_BlackMode, c.first);
    EXPECT_EQ(pallet(1).FDash, TStrokeDash::Solid);  // the edit in the window is dropped
    EXPECT_EQ(pallet(3).FDash, c.dash4);
    EXPECT_EQ(pallet(10).FDash, TStrokeDash::Dot);  // kept by the reset as well
  }
}

TEST_F(PaletteBarTest, EditingOnTheLightBackgroundChangesOnlyTheLightColour) {
  setGridBackground(editor, false);
  TfrmEditPallet dlg;
  dlg.setPalletList(editor.pen().FPalletList);
  dlg.show();
  EXPECT_EQ(dlg.edColor->text(), QStringLiteral("#00008B"));
  dlg.edColor->clear();
  QTest::keyClicks(dlg.edColor, QStringLiteral("102030"));
  TDrawPallet &copy = *dlg.palletList()[0];
  EXPECT_EQ(copy.FColor_WhiteMode, 0xFF102030u);
  EXPECT_EQ(copy.FColor_BlackMode, 0xFF00FFFFu);
  EXPECT_EQ(pallet(0).FColor_WhiteMode, 0xFF00008Bu);  // the editor's list is untouched
  dlg.copyTo(editor.pen().FPalletList);
  EXPECT_EQ(pallet(0).FColor_WhiteMode, 0xFF102030u);
  EXPECT_EQ(pallet(0).FColor_BlackMode, 0xFF00FFFFu);
}

TEST_F(PaletteBarTest, EditorControlsFollowTheChosenLineType) {
  pallet(20).FDash = TStrokeDash::Custom;
  pallet(5).FIgnoreInPrinting = true;
  TfrmEditPallet dlg;
  dlg.setPalletList(editor.pen().FPalletList);
  dlg.show();
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Edit Line Settings"));
  struct Case {
    int index;
    const char *radio;
    double thickness;
    int r, g, b;
    bool notForPrint;
  };
  const Case cases[] = {
      {0, "rbSolid", 1.5, 0, 255, 255, false},       {4, "rbDot", 1.5, 0xEE, 0x82, 0xEE, false},
      {5, "rbDashDot", 1.8, 0x80, 0x80, 0x80, true}, {6, "rbDashDotDot", 1.8, 0x80, 0x80, 0x80, false},
      {8, "rbDash", 1.8, 0xA5, 0x2A, 0x2A, false},   {20, "rbDashDotDot", 1.5, 0x77, 0x00, 0x77, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.index);
    dlg.cmbLineTypeNum->setCurrentIndex(c.index);
    EXPECT_TRUE(dlg.findChild<QRadioButton *>(QString::fromLatin1(c.radio))->isChecked());
    EXPECT_DOUBLE_EQ(dlg.nbThickness->value(), c.thickness);
    EXPECT_EQ(dlg.nbPaletteR->value(), c.r);
    EXPECT_EQ(dlg.nbPaletteG->value(), c.g);
    EXPECT_EQ(dlg.nbPaletteB->value(), c.b);
    EXPECT_EQ(dlg.chkIgnoreInPrinting->isChecked(), c.notForPrint);
  }
  // Loading the controls never writes into the copies: the custom dash is still there.
  EXPECT_EQ(dlg.palletList()[20]->FDash, TStrokeDash::Custom);
}

TEST_F(PaletteBarTest, EditorThicknessTakesArithmeticOnEnter) {
  TfrmEditPallet dlg;
  dlg.setPalletList(editor.pen().FPalletList);
  dlg.show();
  struct Case {
    const char *typed;
    double value;
  };
  // The box takes every valid value while typing, so the "2" of "2*(" stays when Enter
  // finds the rest is not arithmetic.
  const Case cases[] = {{"1+1", 2.0}, {"3*0.5", 1.5}, {"9*9", 5.0}, {"0.1", 0.5}, {"2*(", 2.0}, {"(", 2.0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.typed);
    QLineEdit *field = dlg.nbThickness->findChild<QLineEdit *>();
    ASSERT_NE(field, nullptr);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QString::fromLatin1(c.typed));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(dlg.nbThickness->value(), c.value);
    EXPECT_FLOAT_EQ(dlg.palletList()[0]->FThickness, float(c.value));
  }
}

TEST_F(PaletteBarTest, EditorColourSquareAndHueBarPickColours) {
  TfrmEditPallet dlg;
  dlg.setPalletList(editor.pen().FPalletList);
  dlg.show();
  dlg.cmbLineTypeNum->setCurrentIndex(1);  // #02, lime 0xFF00FF00
  TDrawPallet &copy = *dlg.palletList()[1];
  const int w = dlg.ColorQuad1->width(), h = dlg.ColorQuad1->height();

  // Lightness 1 along the top of the square is white, 0 along the bottom black.
  QTest::mouseClick(dlg.ColorQuad1, Qt::LeftButton, {}, QPoint(w - 1, 0));
  EXPECT_EQ(copy.FColor_BlackMode, 0xFFFFFFFFu);
  EXPECT_EQ(dlg.edColor->text(), QStringLiteral("#FFFFFF"));
  EXPECT_EQ(dlg.nbPaletteR->value(), 255);
  QTest::mouseClick(dlg.ColorQuad1, Qt::LeftButton, {}, QPoint(w - 1, h - 1));
  EXPECT_EQ(copy.FColor_BlackMode, 0xFF000000u);
  EXPECT_EQ(dlg.edColor->text(), QStringLiteral("#000000"));

  // Full saturation at mid lightness, then hue 0 from the top of the bar: pure red.
  dlg.cmbLineTypeNum->setCurrentIndex(0);
  dlg.cmbLineTypeNum->setCurrentIndex(1);
  EXPECT_EQ(copy.FColor_BlackMode, 0xFF000000u);  // the pick above stays in the copy
  dlg.edColor->clear();
  QTest::keyClicks(dlg.edColor, QStringLiteral("#00FF00"));
  EXPECT_EQ(copy.FColor_BlackMode, 0xFF00FF00u);
  QTest::mouseClick(dlg.ColorPicker1, Qt::LeftButton, {}, QPoint(5, 0));
  EXPECT_EQ(copy.FColor_BlackMode, 0xFFFF0000u);
  EXPECT_EQ(dlg.edColor->text(), QStringLiteral("#FF0000"));
  // A half-typed colour changes nothing.
  dlg.edColor->clear();
  QTest::keyClicks(dlg.edColor, QStringLiteral("#12"));
  EXPECT_EQ(copy.FColor_BlackMode, 0xFFFF0000u);
}

// Typing a colour into the hex box shows its red, green and blue values in their boxes;
// the hex text stays as typed.
TEST_F(PaletteBarTest, EditorHexBoxFillsTheRedGreenAndBlueBoxes) {
  TfrmEditPallet dlg;
  dlg.setPalletList(editor.pen().FPalletList);
  dlg.show();
  dlg.cmbLineTypeNum->setCurrentIndex(0);  // #01, aqua 0xFF00FFFF
  ASSERT_EQ(dlg.nbPaletteR->value(), 0);
  struct Case {
    const char *typed;
    int r, g, b;
  };
  for (const Case &c : {Case{"#FF0000", 255, 0, 0}, Case{"#1a2b3c", 0x1A, 0x2B, 0x3C}, Case{"808001", 128, 128, 1}}) {
    SCOPED_TRACE(c.typed);
    dlg.edColor->clear();
    QTest::keyClicks(dlg.edColor, QString::fromLatin1(c.typed));
    EXPECT_EQ(dlg.nbPaletteR->value(), c.r);
    EXPECT_EQ(dlg.nbPaletteG->value(), c.g);
    EXPECT_EQ(dlg.nbPaletteB->value(), c.b);
    EXPECT_EQ(dlg.edColor->text(), QString::fromLatin1(c.typed));
  }
}

TEST(ColorPickerWindow, SquareWritesTheTextTypingChangesNothing) {
  TfrmColorPicker form;
  form.show();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Color Picker"));
  EXPECT_EQ(form.size(), QSize(450, 288));
  EXPECT_EQ(form.Color(), 0xFF000000u);
  EXPECT_EQ(form.edColor->text(), QStringLiteral("#000000"));

  QTest::mouseClick(form.ColorQuad1, Qt::LeftButton, {}, QPoint(form.ColorQuad1->width() - 1, 0));
  EXPECT_EQ(form.Color(), 0xFFFFFFFFu);
  EXPECT_EQ(form.edColor->text(), QStringLiteral("#FFFFFF"));

  form.edColor->clear();
  QTest::keyClicks(form.edColor, QStringLiteral("#123456"));
  EXPECT_EQ(form.Color(), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace quillon
