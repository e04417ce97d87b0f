// The STL export dialog: its settings file round trip, the mode switch, lengths in the
// user's unit, rebuilding while the user types, the notice for a selection without closed
// shapes, and saving from the Save button.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "render/ui/color_picker.h"
#include "shell/ui/number_box.h"
#include "stl/stl_export_settings.h"
#include "stl/ui/stl_export_dialog.h"
#include "support/editor_fixture.h"
#include "stl/shell_checks.h"
#include "support/test_env.h"

namespace quillon::test {

class STLExportDialog : public EditorTest {
 protected:
  STLExportDialog() {
    for (auto [a, b] : {std::pair<TPointF, TPointF>{{0, 0}, {40, 0}}, {{40, 0}, {40, 20}}, {{40, 20}, {0, 20}},
                        {{0, 20}, {0, 0}}})
      addLine(a, b)->SetSelected(true);
    dialog.ShowMessage = [this](const QString &key, const QString &) { messages << key; };
  }

  // Hands the selection over as the command does and shows the dialog without blocking.
  void open(TUnitMode unit = umMM) {
    TSTLExportInput input;
    for (TQN_Path *p : doc().Items())
      if (p->FSelected) input.SelList.push_back(p);
    input.UnitMode = unit;
    dialog.setMultiLang(editor.FMultiLang.get(), editor.FLangID);
    dialog.SetupForExport(input);
    dialog.show();
    QApplication::processEvents();
  }
  QString settingsText() const {
    QFile f(stlExportSettingsPath());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  // The vertical place of a group in the scrolling column.
  static int top(QWidget *w) { return w->mapTo(w->window(), QPoint(0, 0)).y(); }

  TfrmSTLExportOptions dialog;
  QStringList messages;
};

TEST_F(STLExportDialog, WithoutASettingsFileItOpensWithTheFileDefaultsAndClosingWritesBothSections) {
  ASSERT_FALSE(QFileInfo::exists(stlExportSettingsPath()));
  open();
  EXPECT_DOUBLE_EQ(dialog.nbThickness->Value(), 2.5);
  EXPECT_EQ(dialog.cmbEdgeTopMode->currentIndex(), 1);
  EXPECT_EQ(dialog.cmbEdgeBottomMode->currentIndex(), 1);
  EXPECT_DOUBLE_EQ(dialog.nbEdgeTopSize->Value(), 0);
  EXPECT_TRUE(dialog.rbStitchRound->isChecked());
  EXPECT_FALSE(dialog.gbStitchSizes->isEnabled());
  EXPECT_DOUBLE_EQ(dialog.nbStitchDiameter->Value(), 1.6);
  EXPECT_TRUE(dialog.rbEngraveTop->isChecked());
  EXPECT_DOUBLE_EQ(dialog.nbEngraveDepth->Value(), 0.4);
  EXPECT_EQ(dialog.cbColor->color(), 0xFFCD853Fu);
  EXPECT_EQ(dialog.cmbMaterial->currentIndex(), 0);
  EXPECT_EQ(dialog.cmbMaterial->currentText(), QStringLiteral("Leather (brown)"));
  EXPECT_TRUE(dialog.rbModePattern->isChecked());
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("STL Export Options"));
  EXPECT_EQ(dialog.btnOK->text(), QStringLiteral("Save STL..."));
  EXPECT_EQ(dialog.rbModeJig->text(), QStringLiteral("Positioning Jig"));
  // The first build ran: the piece is in the preview and the camera line in the status.
  EXPECT_NEAR(meshVolume(dialog.exporter().CurrentTris()), 40 * 20 * 2.5, 0.01);
  EXPECT_TRUE(dialog.lblStatus->text().startsWith(QStringLiteral("mm=40.0x20.0x2.5")));

  // Changes made in the dialog come back at the next opening.
  dialog.nbTplTotalHeight->setExactValue(7);
  dialog.chkMultiColor->setChecked(true);
  dialog.cmbMaterial->setCurrentIndex(4);
  EXPECT_EQ(dialog.cbColor->color(), 0xFFA8A8B0u);  // the preset's colour
  dialog.reject();
  const QString text = settingsText();
  EXPECT_TRUE(text.contains(QStringLiteral("[STL]")));
  EXPECT_TRUE(text.contains(QStringLiteral("[JIG]")));
  EXPECT_TRUE(text.contains(QStringLiteral("TotalHeight=7")));
  EXPECT_TRUE(text.contains(QStringLiteral("Color=FFA8A8B0")));
  open();
  EXPECT_DOUBLE_EQ(dialog.nbTplTotalHeight->Value(), 7);
  EXPECT_TRUE(dialog.chkMultiColor->isChecked());
  EXPECT_EQ(dialog.cmbMaterial->currentIndex(), 4);
  dialog.reject();
}

TEST_F(STLExportDialog, TheJigModeShowsItsGroupsAboveEngravingAndMaterial) {
  open();
  QTest::mouseClick(dialog.rbModeJig, Qt::LeftButton);
  QApplication::processEvents();
  ASSERT_TRUE(dialog.rbModeJig->isChecked());
  for (QWidget *hidden : {dialog.gbThickness, dialog.gbEdge, dialog.gbStitch, dialog.gbStitchSizes})
    EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
  const QList<QWidget *> jigOrder = {dialog.gbTplOuter, dialog.gbTplPocket, dialog.gbTplFinger, dialog.gbTextEngrave,
                                     dialog.gbMaterialColor};
  for (int i = 0; i < jigOrder.size(); ++i) {
    EXPECT_FALSE(jigOrder[i]->isHidden()) << i;
    if (i > 0) {
      EXPECT_GT(top(jigOrder[i]), top(jigOrder[i - 1])) << i;
    }
  }
  // The jig of the rectangle: a frame 50 x 30, 5 high.
  EXPECT_EQ(zRange(dialog.exporter().CurrentTris()), (std::pair<double, double>(0, 5)));
  QTest::mouseClick(dialog.rbModePattern, Qt::LeftButton);
  QApplication::processEvents();
  const QList<QWidget *> patternOrder = {dialog.gbThickness, dialog.gbEdge, dialog.gbStitch, dialog.gbStitchSizes,
                                         dialog.gbTextEngrave, dialog.gbMaterialColor};
  for (int i = 0; i < patternOrder.size(); ++i) {
    EXPECT_FALSE(patternOrder[i]->isHidden()) << i;
    if (i > 0) {
      EXPECT_GT(top(patternOrder[i]), top(patternOrder[i - 1])) << i;
    }
  }
  EXPECT_TRUE(dialog.gbTplOuter->isHidden());
  EXPECT_EQ(zRange(dialog.exporter().CurrentTris()), (std::pair<double, double>(0, 2.5)));
  dialog.reject();
  EXPECT_TRUE(settingsText().contains(QStringLiteral("TemplateMode=0")));
}

TEST_F(STLExportDialog, InInchModeTheBoxesShowInchesAndTheFileKeepsMillimetres) {
  TSTLExportSettings s;
  s.Thickness = 2.54;
  saveSTLExportSettings(stlExportSettingsPath(), s);
  open(umIN);
  EXPECT_NEAR(dialog.nbThickness->Value(), 0.1, 1e-12);
  EXPECT_NEAR(zRange(dialog.exporter().CurrentTris()).second, 2.54, 1e-6);
  dialog.reject();
  EXPECT_TRUE(settingsText().contains(QStringLiteral("Thickness=2.54")));
  // The same file in millimetre mode shows millimetres.
  open(umMM);
  EXPECT_NEAR(dialog.nbThickness->Value(), 2.54, 1e-12);
  dialog.reject();
}

TEST_F(STLExportDialog, TypingIntoANumberBoxRebuildsOnEveryKeystroke) {
  open();
  dialog.nbThickness->setFocus();
  dialog.nbThickness->selectAll();
  QTest::keyClicks(dialog.nbThickness, QStringLiteral("4"));
  EXPECT_NEAR(zRange(dialog.exporter().CurrentTris()).second, 4, 1e-6);
  QTest::keyClicks(dialog.nbThickness, QStringLiteral(".5"));
  EXPECT_NEAR(zRange(dialog.exporter().CurrentTris()).second, 4.5, 1e-6);
  dialog.reject();
}

TEST_F(STLExportDialog, ASelectionWithoutClosedShapesIsReportedAndTheDialogCloses) {
  for (int i : {1, 2, 3}) doc().Items()[std::size_t(i)]->SetSelected(false);  // one line: no outline
  open();
  EXPECT_EQ(dialog.lblStatus->text(), QStringLiteral("Preview: no closed shapes"));
  QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 2000);
  EXPECT_EQ(messages, QStringList{QStringLiteral("stl_msg_no_closed_shapes")});
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(STLExportDialog, SaveWritesTheFileAndClosesOrSaysWhyNot) {
  QTemporaryDir dir;
  QString proposed;
  dialog.AskSaveFileName = [&](const QString &, const QString &suggested) {
    proposed = suggested;
    return dir.filePath(QStringLiteral("piece.stl"));
  };
  open();
  QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("piece.stl"))).size() > 84);
  EXPECT_TRUE(messages.isEmpty());

  // The jig proposes "template".
  open();
  QTest::mouseClick(dialog.rbModeJig, Qt::LeftButton);
  QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
  EXPECT_EQ(proposed, QStringLiteral("template"));
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(settingsText().contains(QStringLiteral("TemplateMode=1")));
}

}  // namespace quillon::test
