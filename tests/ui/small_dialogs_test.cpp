// The small dialogs, the help windows, the project memo and the new-window launch.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/launch_instance.h"
#include "shell/options.h"
#include "shell/ui/about_box.h"
#include "shell/ui/documents_window.h"
#include "shell/ui/font_list_dialog.h"
#include "shell/ui/launch_hud.h"
#include "shell/ui/length_adjust_dialog.h"
#include "shell/ui/main_window.h"
#include "shell/ui/move_or_copy_dialog.h"
#include "shell/ui/number_box.h"
#include "shell/ui/project_memo.h"
#include "shell/ui/ribbon_pages.h"
#include "shell/ui/shape_size_dialog.h"
#include "support/recording_starter.h"
#include "tools/key_commands.h"

namespace quillon {

void writeAnsweredSettings();  // main_window_test.cpp

namespace {

void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void typeAndEnter(TNumberBox *box, const QString &text) {
  box->selectAll();
  QTest::keyClicks(box, text);
  QTest::keyClick(box, Qt::Key_Return);
  settle();
}

// Answers the next message box with OK and returns its text through `text`.
void answerNextMessageBox(QString &text) {
  QTimer::singleShot(0, [&text] {
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
      text = box->text();
      box->accept();
    }
  });
}

TEST(SmallDialogs, TheMoveDialogEvaluatesTypedArithmeticAndStaysOpen) {
  TfrmMoveOrCopy dialog;
  TQN_Options options;
  dialog.setUnitMode(options);
  dialog.show();
  typeAndEnter(dialog.nbDistanceX, QStringLiteral("25.4*2"));
  EXPECT_DOUBLE_EQ(dialog.nbDistanceX->Value(), 50.8);
  EXPECT_TRUE(dialog.isVisible());
  // Not arithmetic: an error box, and the value stays.
  QString error;
  answerNextMessageBox(error);
  typeAndEnter(dialog.nbDistanceX, QStringLiteral("2*-3"));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_DOUBLE_EQ(dialog.nbDistanceX->Value(), 50.8);
  // An emptied box shows 0; "Reset values" sets both to 0.
  dialog.nbDistanceY->selectAll();
  QTest::keyClick(dialog.nbDistanceY, Qt::Key_Backspace);
  EXPECT_EQ(dialog.nbDistanceY->cleanText(), QStringLiteral("0"));
  dialog.btnMOC_reset_values->click();
  EXPECT_DOUBLE_EQ(dialog.nbDistanceX->Value(), 0);
}

TEST(SmallDialogs, TheMoveDialogConvertsItsBoxesOnceForInches) {
  TfrmMoveOrCopy dialog;
  dialog.nbDistanceX->setExactValue(25.4);
  TQN_Options options;
  options.SetUnitMode(umIN);
  dialog.setUnitMode(options);
  EXPECT_DOUBLE_EQ(dialog.nbDistanceX->Value(), 1.0);
  EXPECT_NEAR(dialog.nbDistanceX->maximum(), 1000 / 25.4, 1e-6);
  dialog.setUnitMode(options);  // no change of unit: nothing converted again
  EXPECT_DOUBLE_EQ(dialog.nbDistanceX->Value(), 1.0);
  EXPECT_DOUBLE_EQ(dialog.boxMm(dialog.nbDistanceX), 25.4);
}

TEST(SmallDialogs, TheShapeSizeDialogEvaluatesAndClosesWithOkOnEnter) {
  TfrmChangeShapeSize dialog;
  TQN_Options options;
  dialog.setUnitMode(options);
  dialog.showTab(TfrmChangeShapeSize::TTab::Arc);
  EXPECT_EQ(dialog.TabControl1->currentWidget()->objectName(), QStringLiteral("arc"));
  dialog.show();
  typeAndEnter(dialog.nbArcRadius, QStringLiteral("25.4*2"));
  EXPECT_DOUBLE_EQ(dialog.nbArcRadius->Value(), 50.8);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
  // A text that is not arithmetic keeps the value and still closes with OK.
  dialog.setResult(QDialog::Rejected);
  dialog.show();
  typeAndEnter(dialog.nbArcAngle, QStringLiteral("SQRT(2.5)"));
  EXPECT_DOUBLE_EQ(dialog.nbArcAngle->Value(), 45);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(SmallDialogs, TheStretchDialogEnablesTheBoxOfTheChosenCompensation) {
  TfrmLengthAdjustDialog dialog;
  EXPECT_TRUE(dialog.rbNoAdjustment->isChecked());
  EXPECT_FALSE(dialog.nbLength->isEnabled());
  EXPECT_FALSE(dialog.nbAdjustRate->isEnabled());
  dialog.rbUseLength->setChecked(true);
  EXPECT_TRUE(dialog.nbLength->isEnabled());
  dialog.rbUseRatio->setChecked(true);
  EXPECT_FALSE(dialog.nbLength->isEnabled());
  EXPECT_TRUE(dialog.nbAdjustRate->isEnabled());
  dialog.show();
  typeAndEnter(dialog.nbAdjustRate, QStringLiteral("-3/2"));
  EXPECT_DOUBLE_EQ(dialog.nbAdjustRate->Value(), -1.5);
  EXPECT_TRUE(dialog.isVisible());
}

TEST(SmallDialogs, TheFontListFollowsItsTrimmedLines) {
  TfrmFontList dialog;
  dialog.memoFontList->setPlainText(QStringLiteral("  DejaVu Sans\n\n Noto Sans CJK JP \nDejaVu Sans\n"));
  ASSERT_EQ(dialog.cmbFontList->count(), 3);
  EXPECT_EQ(dialog.cmbFontList->itemText(1), QStringLiteral("Noto Sans CJK JP"));
  EXPECT_EQ(dialog.cmbFontList->currentIndex(), 0);
  EXPECT_EQ(dialog.memoPreviewText->font().family(), QStringLiteral("DejaVu Sans"));
  dialog.memoFontList->setPlainText(QStringLiteral("Noto Sans CJK JP"));
  EXPECT_EQ(dialog.cmbFontList->count(), 1);
  dialog.Button1->click();  // every installed family
  EXPECT_GT(dialog.cmbFontList->count(), 1);
}

class WindowCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    writeAnsweredSettings();
    window = std::make_unique<TfrmQuil>(QStringList{QStringLiteral("--instance-id"), QStringLiteral("7")});
    window->show();
    settle();
  }
  void TearDown() override {
    window->hide();
    window.reset();
  }
  TEditor &editor() { return window->editor(); }
  QAction *action(const char *name) { return window->findAction(QString::fromLatin1(name)); }

  std::unique_ptr<TfrmQuil> window;
};

TEST_F(WindowCommands, TheAboutBoxShowsTheVersionAndTheDocumentsFollowTheLanguage) {
  action("actShowAbout")->trigger();
  settle();
  ASSERT_NE(window->aboutBox(), nullptr);
  EXPECT_EQ(window->aboutBox()->lblVersion->text(), QStringLiteral("ver3.7.9"));
  EXPECT_FALSE(window->aboutBox()->imgLogo->pixmap().isNull());
  window->aboutBox()->btnOK->click();

  TfrmDocuments documents;
  documents.showReadMe(QStringLiteral("de"));
  EXPECT_EQ(documents.tabDocuments->currentWidget(), documents.tabReadMe_en);
  EXPECT_EQ(documents.btnRM_OK->text(), QStringLiteral("Close"));
  EXPECT_FALSE(documents.btnRM_Cancel->isEnabled());
  documents.showLicense(QStringLiteral("ja"));
  EXPECT_EQ(documents.tabDocuments->currentWidget(), documents.tabLicense_ja);
  EXPECT_EQ(documents.btnRM_OK->text(), QStringLiteral("閉じる"));
  EXPECT_FALSE(documents.tabLicense_ja->toPlainText().isEmpty());
}

TEST_F(WindowCommands, EditFontListReplacesTheTextToolsFonts) {
  QTimer::singleShot(0, [this] {
    TfrmFontList *dialog = window->fontListDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->memoPreviewText->toPlainText().startsWith(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")));
    dialog->memoFontList->setPlainText(QStringLiteral(" DejaVu Sans \n\nNoto Sans CJK JP\n"));
    dialog->accept();
  });
  window->ribbon()->btnEditFontList->click();
  settle();
  EXPECT_EQ(editor().panel().FontNames, (QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK JP")}));
  EXPECT_EQ(editor().panel().SelectedFontIndex, 0);
  EXPECT_EQ(window->ribbon()->cmbFontNames->count(), 2);
}

TEST_F(WindowCommands, MoveOrCopyCopiesTheSelectionBySetDistanceInOneStep) {
  auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, editor().doc().PathList().getNextID());
  s->drawLinePath({0, 0}, {10, 0});
  s->SetSelected(true);
  editor().doc().add(std::move(s), 0);
  const std::size_t steps = editor().FUndoStore.FUndoList.size();
  QTimer::singleShot(0, [this] {
    TfrmMoveOrCopy *dialog = window->moveOrCopyDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->nbDistanceX->setExactValue(5);
    dialog->nbDistanceY->setExactValue(-2.5);
    dialog->chkCopyInsteadOfMove->setChecked(true);
    dialog->accept();
  });
  EXPECT_EQ(action("actMoveOrCopyWithSetDistance")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+C")));
  action("actMoveOrCopyWithSetDistance")->trigger();
  settle();
  const TShapeList &doc = editor().doc().PathList();
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(doc[0]->FStartPt, TPointF(0, 0));
  EXPECT_EQ(doc[1]->FStartPt, TPointF(5, -2.5f));
  EXPECT_EQ(editor().FUndoStore.FUndoList.size(), steps + 1);
}

TEST_F(WindowCommands, EveryCommandOfTheWindowHasTheShortcutOfTheTable) {
  for (const TActionShortcut &row : actionShortcuts()) {
    if (QAction *a = window->findAction(QString::fromLatin1(row.Action))) {
      EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(row.Keys), QKeySequence::PortableText)) << row.Action;
    }
  }
  // Every tool button shows an icon of its own.
  for (int i = 0; i < kToolCount; ++i) {
    const QImage icon = window->toolButton(static_cast<TTool>(i))->icon().pixmap(20, 20).toImage();
    ASSERT_FALSE(icon.isNull()) << i;
    int drawn = 0;
    for (int y = 0; y < icon.height(); ++y)
      for (int x = 0; x < icon.width(); ++x) drawn += qAlpha(icon.pixel(x, y)) > 0;
    EXPECT_GT(drawn, 20) << i;
  }
}

TEST_F(WindowCommands, TheMemoMarksTheDocumentAndReachesItWhenLeft) {
  TProjectMemo *memo = window->projectMemo();
  memo->Expander1->click();
  settle();
  ASSERT_TRUE(memo->memoProject->isVisible());
  editor().setDocumentChanged(false);
  memo->memoProject->setFocus();
  QApplication::setActiveWindow(window.get());
  settle();
  QTest::keyClicks(memo->memoProject, QStringLiteral("Calf 1.2"));
  EXPECT_TRUE(editor().doc().PathList().IsChanged);
  EXPECT_TRUE(editor().doc().PathList().Memo.isEmpty());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(memo->memoProject, &leave);
  EXPECT_EQ(editor().doc().PathList().Memo, QStringLiteral("Calf 1.2"));
}

TEST_F(WindowCommands, ANewWindowStartsTheProgramWithAnInstanceIdBehindTheOverlay) {
  test::TRecordingStarter starter;
  QElapsedTimer shown;
  shown.start();
  action("actOpenNewWindow")->trigger();
  EXPECT_TRUE(TLaunchHUD::IsShown());
  ASSERT_NE(TLaunchHUD::cover(), nullptr);
  EXPECT_EQ(TLaunchHUD::cover()->parentWidget(), window.get());
  EXPECT_EQ(TLaunchHUD::cover()->geometry(), window->rect());
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  while (TLaunchHUD::IsShown() && shown.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_FALSE(TLaunchHUD::IsShown());
  EXPECT_GE(shown.elapsed(), 500);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(starter.Program, QCoreApplication::applicationFilePath());
  ASSERT_EQ(starter.Arguments.size(), 2);
  EXPECT_EQ(starter.Arguments[0], QStringLiteral("--instance-id"));
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9]{9}$")).match(starter.Arguments[1]).hasMatch())
      << starter.Arguments[1].toStdString();

  // A program that cannot be started: the overlay and the cursor go all the same.
  starter.Starts = false;
  action("actOpenNewWindow")->trigger();
  shown.restart();
  while (TLaunchHUD::IsShown() && shown.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_FALSE(TLaunchHUD::IsShown());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(LaunchHud, AMinimisedWindowIsBroughtBackToTheFront) {
  QWidget window;
  window.resize(200, 100);
  window.showMinimized();
  settle();
  ASSERT_TRUE(window.isMinimized());
  BringFormToFront(&window);
  settle();
  EXPECT_FALSE(window.isMinimized());
  EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace quillon
