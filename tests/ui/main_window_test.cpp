#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QMenu>
#include <QMouseEvent>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "automation/mcp_routes.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "render/ui/palette_bar.h"
#include "render/ui/ruler_widget.h"
#include "shell/editor.h"
#include "shell/project_file.h"
#include "shell/undo.h"
#include "shell/ui/canvas_widget.h"
#include "shell/ui/main_window.h"
#include "support/test_env.h"
#include "support/warning_log.h"
#include "tools/pointer.h"
#include "tools/tool_change.h"

namespace quillon {

// The first-run download question would open a modal box; answer it in the file.
void writeAnsweredSettings() {
  QFile f(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[LeatherSim]\nChoiseMade=1\n");
}

TEST(MainWindow, ShowsVersionCaptionAndShutsDownWritingSettings) {
  writeAnsweredSettings();
  auto *window = new TfrmQuil({QStringLiteral("--instance-id"), QStringLiteral("123456789")});
  window->setAttribute(Qt::WA_DeleteOnClose);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillon ver3.7.9"));
  window->show();
  EXPECT_TRUE(window->isVisible());

  bool destroyed = false;
  QObject::connect(window, &QObject::destroyed, [&] { destroyed = true; });
  QTimer::singleShot(0, window, &QWidget::close);
  for (int i = 0; i < 50 && !destroyed; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(destroyed);

  QFile ini(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_TRUE(ini.readAll().contains("AppVersion=3.7.9"));
}

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeAnsweredSettings();
    window = std::make_unique<TfrmQuil>(QStringList{QStringLiteral("--instance-id"), QStringLiteral("5")});
    window->show();
    settle();
  }
  void TearDown() override {
    if (window) window->hide();
    window.reset();
  }
  static void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  TEditor &editor() { return window->editor(); }
  TQN_Path *addLine(TPointF a, TPointF b) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, editor().doc().PathList().getNextID());
    s->drawLinePath(a, b);
    return editor().doc().add(std::move(s), 0);
  }
  template <class T>
  T *child(const char *name) {
    return window->findChild<T *>(QString::fromLatin1(name));
  }
  QString currentRibbon() { return window->tabConTop->currentWidget()->objectName(); }
  void press(const QString &text) {
    QKeyEvent down(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(window->pbox, &down);  // unhandled by the box, it reaches the window
    settle();
  }

  // A mouse event on the drawing box at a pixel, with the buttons held after it.
  void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent e(type, at, window->pbox->mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(window->pbox, &e);
  }
  void click(QPointF at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
    mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, modifiers);
    settle();
  }
  void drag(QPointF from, QPointF to) {
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    // The drag starts with a first small move, still over the shape.
    const QPointF d = to - from;
    mouse(QEvent::MouseMove, from + d / std::max(1.0, std::hypot(d.x(), d.y())), Qt::NoButton, Qt::LeftButton);
    for (int i = 1; i <= 4; ++i) mouse(QEvent::MouseMove, from + d * i / 4.0, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    settle();
  }
  // The text tool, a click at (200, 200): a new text waits for the text box.
  QLineEdit *startTextEntry() {
    window->toolButton(TTool::Text)->click();
    settle();
    pointerDown(editor(), TMouseButton::Left, 0, 200.0f, 200.0f);
    pointerUp(editor(), TMouseButton::Left, 0, 200.0f, 200.0f);
    settle();
    return child<QLineEdit>("edText");
  }
  // The window active and the keyboard in the text box, as a user typing there has it.
  void focusTextBox(QLineEdit *box) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    box->setFocus();
  }
  // The text of the next message box, which is closed with OK; empty when none opened.
  QString nextBoxText(const std::function<void()> &open) {
    QString text;
    QTimer::singleShot(0, [&] {
      if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        text = box->text();
        box->reject();  // OK, or Cancel where there is one
      }
    });
    open();
    settle();
    return text;
  }

  std::unique_ptr<TfrmQuil> window;
};

TEST_F(MainWindowTest, HasTheNamedPartsOfTheLayout) {
  for (const char *name : {"vscrollLeft", "pnlLeft", "tabConTop", "pbRulerX", "pbRulerY", "pnlRight", "tabRight",
                           "pnlRight2", "pnlRightBase", "pnlRightButtons", "lblID", "lblRange", "lblLength",
                           "lblNumOfStitches", "lblTotalLength", "lblStatus"})
    EXPECT_NE(child<QWidget>(name), nullptr) << name;
  auto *box = child<TCanvasWidget>("pbox");
  ASSERT_NE(box, nullptr);
  EXPECT_NE(qobject_cast<TPaletteBar *>(child<QWidget>("pnlPallet")), nullptr);
  EXPECT_EQ(child<QWidget>("pnlPallet")->parentWidget(), window->pnlRight2);
  EXPECT_EQ(window->pbRulerX->height(), 25);
  EXPECT_EQ(window->pbRulerY->width(), 25);
  // The rulers line up with the drawing box.
  EXPECT_EQ(window->pbRulerX->mapToGlobal(QPoint(0, 0)).x(), box->mapToGlobal(QPoint(0, 0)).x());
  EXPECT_EQ(window->pbRulerY->mapToGlobal(QPoint(0, 0)).y(), box->mapToGlobal(QPoint(0, 0)).y());
  // The tool bar sits left of the box and the property panel right of it.
  EXPECT_LT(window->vscrollLeft->mapToGlobal(QPoint(0, 0)).x(), box->mapToGlobal(QPoint(0, 0)).x());
  EXPECT_GT(window->pnlRight2->mapToGlobal(QPoint(0, 0)).x(), box->mapToGlobal(QPoint(box->width(), 0)).x() - 1);
  EXPECT_FALSE(window->tabRight->isVisible());
  EXPECT_FALSE(child<QPushButton>("btnRecalcIntersections")->isVisible());
}

TEST_F(MainWindowTest, ToolButtonsChooseTheToolAndShowItsPanels) {
  for (int i = 0; i < kToolCount; ++i) {
    const auto tool = static_cast<TTool>(i);
    QToolButton *b = child<QToolButton>(TfrmQuil::toolButtonName(tool).toLatin1().constData());
    ASSERT_NE(b, nullptr) << i;
    EXPECT_EQ(b->toolTip(), toolButtonHint(tool));
  }
  EXPECT_TRUE(window->toolButton(TTool::Select)->isChecked());
  EXPECT_EQ(currentRibbon(), QStringLiteral("tabTop_Home"));

  window->toolButton(TTool::Line)->click();
  settle();
  EXPECT_EQ(editor().tool().FTool, TTool::Line);
  EXPECT_TRUE(window->toolButton(TTool::Line)->isChecked());
  EXPECT_FALSE(window->toolButton(TTool::Select)->isChecked());
  EXPECT_EQ(currentRibbon(), QStringLiteral("tabTop_Line"));

  window->toolButton(TTool::Stitch)->click();
  settle();
  EXPECT_EQ(editor().tool().FTool, TTool::Stitch);
  EXPECT_TRUE(window->tabRight->isVisible());
  EXPECT_EQ(window->tabRight->currentWidget()->objectName(), QStringLiteral("TabPrickingIrons"));

  // Back through the command: the tool bar follows the editor.
  window->findAction(QStringLiteral("actBackToSelectMode"))->trigger();
  settle();
  EXPECT_EQ(editor().tool().FTool, TTool::Select);
  EXPECT_TRUE(window->toolButton(TTool::Select)->isChecked());
  EXPECT_FALSE(window->tabRight->isVisible());
  EXPECT_EQ(editor().tool().FLastUsedTool, TTool::Stitch);
}

// The window names the core's tools and panels: every tool's button by its object name,
// and the ribbon page each tool brings forward.
TEST_F(MainWindowTest, EveryToolButtonShowsItsRibbonPage) {
  // Every tool's button by its name, and the ribbon page each brings forward.
  const std::pair<const char *, const char *> pages[kToolCount] = {
      {"sbSelect", "tabTop_Home"},         {"sbDot", "tabTop_Home"},
      {"sbLine", "tabTop_Line"},           {"sbBezier", "tabTop_Home"},
      {"sbCircle", "tabTop_Ellipse"},      {"sbRect", "tabTop_Rect"},
      {"sbStitch", "tabTop_Pricking"},     {"sbMentori", "tabTop_Mentori"},
      {"sbOffset", "tabTop_Offset"},       {"sbBackdrop", "tabTop_Backdrop"},
      {"sbCenterLine", "tabTop_CenterLine"}, {"sbDistMarkLine", "tabTop_DistMarking"},
      {"sbText", "tabTop_Text"},           {"sbArc", "tabTop_Arc"},
      {"sbTrimming", "tabTop_Trimming"},   {"sbDimensionLine", "tabTop_Dimension"},
      {"sbMandala", "tabTop_Home"},        {"sbLeatherSimulator", "tabTop_Home"},
  };
  for (int i = kToolCount - 1; i >= 0; --i) {
    QToolButton *b = child<QToolButton>(pages[i].first);
    ASSERT_NE(b, nullptr) << pages[i].first;
    b->click();
    settle();
    EXPECT_EQ(editor().tool().FTool, static_cast<TTool>(i)) << pages[i].first;
    EXPECT_EQ(currentRibbon(), QString::fromLatin1(pages[i].second)) << pages[i].first;
    if (static_cast<TTool>(i) == TTool::Mandala) {
      EXPECT_EQ(window->tabRight->currentWidget()->objectName(), QStringLiteral("tabTop_Mandara"));
    }
  }

}

TEST_F(MainWindowTest, APaletteBoxClickChoosesThePenAndRestrokesTheSelection) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->SetSelected(true);
  QWidget *box = child<QWidget>("pbPallet04");  // line type #05
  ASSERT_NE(box, nullptr);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(box, &release);
  settle();
  EXPECT_EQ(editor().pen().FSelectedPalette, 4);
  EXPECT_EQ(editor().pen().FCurrentThickness, editor().pen().FPalletList[4]->FThickness);
  EXPECT_EQ(line->FPalletIndex, 4);
}

TEST_F(MainWindowTest, TheTextToolTypesATextIntoTheDocument) {
  QLineEdit *box = startTextEntry();
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(box->isEnabled());
  EXPECT_EQ(currentRibbon(), QStringLiteral("tabTop_Text"));
  QTest::keyClicks(box, QStringLiteral("Hi"));
  settle();
  ASSERT_EQ(editor().doc().PathList().Count(), 1);
  const TQN_Path *text = (editor().doc().PathList())[0];
  EXPECT_TRUE(text->isKind(TShapeKind::Text));
  EXPECT_EQ(text->FText, QStringLiteral("Hi"));
  EXPECT_GT(text->Data().Count(), 0);
}

TEST_F(MainWindowTest, HotKeysChooseToolsAndSwitchGridAndRuler) {
  press(QStringLiteral("e"));
  EXPECT_EQ(editor().tool().FTool, TTool::Circle);
  EXPECT_TRUE(window->toolButton(TTool::Circle)->isChecked());
  EXPECT_EQ(currentRibbon(), QStringLiteral("tabTop_Ellipse"));

  const bool grid = editor().display().FShowGrid;
  press(QStringLiteral("g"));
  EXPECT_EQ(editor().display().FShowGrid, !grid);
  EXPECT_EQ(window->findAction(QStringLiteral("actShowHideGrid"))->isChecked(), !grid);

  press(QStringLiteral("S"));
  EXPECT_TRUE(editor().display().FShowRuler);
  press(QStringLiteral("#"));
  EXPECT_EQ(editor().tool().FTool, TTool::DimensionLine);
  press(QStringLiteral("s"));  // the dimension tool's key now
  EXPECT_TRUE(editor().display().FShowRuler);
}

TEST_F(MainWindowTest, SelectionEnablesTheClipboardCommandsAndFillsTheLines) {
  QAction *copy = window->findAction(QStringLiteral("actCopyToClipboard"));
  QAction *cut = window->findAction(QStringLiteral("actCutToClipboard"));
  QAction *paste = window->findAction(QStringLiteral("actPasteFromClipboard"));
  QAction *group = window->findAction(QStringLiteral("actCreateGroup"));
  ASSERT_TRUE(copy && cut && paste && group);
  EXPECT_FALSE(copy->isEnabled());
  EXPECT_FALSE(cut->isEnabled());
  // Nothing was ever copied: nothing to paste.
  EXPECT_FALSE(paste->isEnabled());

  addLine({0.0f, 0.0f}, {30.0f, 0.0f});
  addLine({0.0f, 10.0f}, {40.0f, 10.0f});
  window->findAction(QStringLiteral("actSelectAll"))->trigger();
  settle();
  EXPECT_TRUE(copy->isEnabled());
  EXPECT_TRUE(cut->isEnabled());
  EXPECT_TRUE(group->isEnabled());
  EXPECT_EQ(window->lblTotalLength->text(), QStringLiteral("Total Length=70.00 mm  "));
  copy->trigger();
  settle();
  EXPECT_TRUE(paste->isEnabled());

  window->findAction(QStringLiteral("actDeselectAll"))->trigger();
  settle();
  EXPECT_FALSE(copy->isEnabled());
  EXPECT_TRUE(paste->isEnabled());  // what was copied stays to be pasted
  EXPECT_EQ(window->lblTotalLength->text(), QString());
}

// The information lines describe the selection after every command: a click, a drag, a
// paste, a change of line type.
TEST_F(MainWindowTest, InformationLinesFollowEveryCommand) {
  editor().view().FScale = 10.0f;
  editor().view().FOffset = {0.0f, 0.0f};
  TQN_Path *line = addLine({10.0f, 10.0f}, {50.0f, 10.0f});  // pixels (100, 100) .. (500, 100)
  const QString id = QString::number(line->ID());
  click({300, 100});
  ASSERT_TRUE(line->FSelected);
  EXPECT_EQ(window->lblID->text(), "ID=" + id + "; ");  // one line: no "(Sel=2)"
  EXPECT_TRUE(window->lblRange->text().startsWith("Range=(10.00, 10.00)-(50.00, 10.00); "))
      << window->lblRange->text().toStdString();

  drag({300, 100}, {300, 200});
  ASSERT_NEAR(line->FStartPt.Y, 20.0f, 1e-3f);
  EXPECT_TRUE(window->lblRange->text().startsWith("Range=(10.00, 20.00)-(50.00, 20.00); "))
      << window->lblRange->text().toStdString();

  // Another line type for the selected line (the automation interface keeps the
  // selection): its palette number and colour are shown.
  const TMcpReply reply =
      routeRequest(editor(), {"PUT", "/shapes/" + id.toStdString(), R"({"paletteIdx":5})"});
  ASSERT_EQ(reply.Status, 200) << reply.Body;
  settle();
  ASSERT_EQ(line->FPalletIndex, 4);
  ASSERT_TRUE(line->FSelected);
  const QString colour = QStringLiteral("%1").arg(line->FColor, 8, 16, QLatin1Char('0')).toUpper();
  EXPECT_TRUE(window->lblRange->text().endsWith("Palette=5; Color=" + colour + "; "))
      << window->lblRange->text().toStdString();

  // Copy and paste: the pasted copy is selected and described, not the original.
  window->findAction(QStringLiteral("actCopyToClipboard"))->trigger();
  settle();
  window->findAction(QStringLiteral("actPasteFromClipboard"))->trigger();
  settle();
  ASSERT_EQ(editor().doc().PathList().Count(), 2);
  const TQN_Path *pasted = editor().doc().PathList()[1];
  ASSERT_TRUE(pasted->FSelected);
  EXPECT_FALSE(line->FSelected);
  EXPECT_EQ(window->lblID->text(), "ID=" + QString::number(pasted->ID()) + "; ");
}

// Typing a text is one undo step, taken when the editing ends.
TEST_F(MainWindowTest, TypingATextIsOneUndoStep) {
  QLineEdit *box = startTextEntry();
  ASSERT_TRUE(box->isEnabled());
  focusTextBox(box);
  const std::size_t before = editor().FUndoStore.FUndoList.size();
  QTest::keyClicks(box, QStringLiteral("Quillon 123"));
  settle();
  // The shape follows the typing at once ...
  ASSERT_EQ(editor().doc().PathList().Count(), 1);
  EXPECT_EQ(editor().doc().PathList()[0]->FText, QStringLiteral("Quillon 123"));
  EXPECT_EQ(editor().FUndoStore.FUndoList.size(), before);
  // ... and Enter ends the editing with one step.
  QTest::keyClick(box, Qt::Key_Return);
  settle();
  EXPECT_EQ(editor().FUndoStore.FUndoList.size(), before + 1);
  EXPECT_EQ(editor().FUndoStore.FRequireSnapshotText, 0);

  // One undo takes the whole text away.
  window->findAction(QStringLiteral("actUndo"))->trigger();
  settle();
  EXPECT_EQ(editor().doc().PathList().Count(), 0);
}

// Leaving the box ends the editing of a text of the document the same way.
TEST_F(MainWindowTest, LeavingTheTextBoxEndsTheEditing) {
  QLineEdit *box = startTextEntry();
  focusTextBox(box);
  ASSERT_TRUE(box->hasFocus());
  QTest::keyClicks(box, QStringLiteral("Belt"));
  const std::size_t before = editor().FUndoStore.FUndoList.size();
  window->pbox->setFocus();
  settle();
  EXPECT_EQ(editor().FUndoStore.FUndoList.size(), before + 1);
  EXPECT_EQ(editor().doc().PathList()[0]->FText, QStringLiteral("Belt"));
}

// The side panel of the stitching and radial-repeat tools closes back at the select tool.
TEST_F(MainWindowTest, SidePanelsCloseBackAtTheSelectTool) {
  for (TTool tool : {TTool::Stitch, TTool::Mandala}) {
    SCOPED_TRACE(static_cast<int>(tool));
    window->toolButton(tool)->click();
    settle();
    EXPECT_TRUE(window->tabRight->isVisible());
    window->toolButton(TTool::Select)->click();
    settle();
    EXPECT_FALSE(window->tabRight->isVisible());
  }
  // Q ends an active radial-repeat mode too.
  window->toolButton(TTool::Mandala)->click();
  window->toolButton(TTool::Line)->click();
  settle();
  EXPECT_TRUE(window->tabRight->isVisible());
  press(QStringLiteral("q"));
  EXPECT_FALSE(editor().display().IsMandalaMode);
  EXPECT_EQ(editor().tool().FTool, TTool::Select);
  EXPECT_FALSE(window->tabRight->isVisible());
}

// Message boxes show the phrase of their key, never the key.
TEST_F(MainWindowTest, MessageBoxesShowPhrasesNotKeys) {
  const QString bad = QDir(test::testDocumentsDir()).filePath(QStringLiteral("bad.qnd"));
  {
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a document");
  }
  EXPECT_EQ(nextBoxText([&] { openProject(editor(), bad); }),
            QStringLiteral("Not a Quillon file or the file is corrupted."));
  EXPECT_EQ(nextBoxText([&] { window->findAction(QStringLiteral("actExportAsSVG"))->trigger(); }),
            QStringLiteral("There is nothing to export."));
  editor().setDocumentChanged(true);
  EXPECT_EQ(nextBoxText([&] { confirmSaveChanges(editor()); }),
            QStringLiteral("Do you want to save the changes to the current project?"));
}

// The rulers' labels at the start view keep clear of each other.
TEST_F(MainWindowTest, RulerLabelsDoNotTouch) {
  QFont font;
  font.setPixelSize(15);
  const QFontMetricsF fm(font);
  for (QWidget *w : {window->pbRulerX, window->pbRulerY}) {
    auto *ruler = qobject_cast<TRulerWidget *>(w);
    ASSERT_NE(ruler, nullptr);
    ruler->grab();
    const std::vector<TRulerLabel> &labels = ruler->lastPaint().Labels;
    ASSERT_GE(labels.size(), 3u) << w->objectName().toStdString();
    for (std::size_t i = 1; i < labels.size(); ++i) {
      const double end = labels[i - 1].Position + fm.horizontalAdvance(labels[i - 1].Text) / 2.0;
      EXPECT_GT(labels[i].Position - fm.horizontalAdvance(labels[i].Text) / 2.0, end + 5.0)
          << labels[i - 1].Text.toStdString() << " then " << labels[i].Text.toStdString();
    }
  }
}

TEST_F(MainWindowTest, StatusLineShowsScaleAndPointer) {
  editor().view().FScale = 12.345f;
  editor().view().FOffset = {0.0f, 0.0f};
  editor().pointer().FLastMousePos = {123.45f, 0.0f};
  window->refreshRulers();
  settle();
  EXPECT_EQ(window->lblStatus->text(), QStringLiteral("Scale 12.34, Pos: (10.00 mm, 0.00 mm)"));

  // A message stays until the pointer or the view changes.
  window->setStatusText(QStringLiteral("Saved x.qnd"));
  window->refreshRulers();
  settle();
  EXPECT_EQ(window->lblStatus->text(), QStringLiteral("Saved x.qnd"));
  editor().pointer().FLastMousePos = {0.0f, 0.0f};
  window->refreshRulers();
  settle();
  EXPECT_EQ(window->lblStatus->text(), QStringLiteral("Scale 12.34, Pos: (0.00 mm, 0.00 mm)"));
}

TEST_F(MainWindowTest, RightPanelsFollowTheWindowHeight) {
  window->layoutRightPanels(1080);
  EXPECT_NE(window->pnlRight2->parentWidget(), window->pnlRightBase);
  EXPECT_EQ(window->pnlRightBase->layout()->indexOf(window->pnlRightButtons), 0);  // at the top

  window->layoutRightPanels(1081);
  EXPECT_EQ(window->pnlRight2->parentWidget(), window->pnlRightBase);
  QLayout *base = window->pnlRightBase->layout();
  EXPECT_EQ(base->indexOf(window->pnlRight2), 0);
  EXPECT_EQ(base->indexOf(window->pnlRightButtons), base->count() - 1);  // at the bottom

  window->layoutRightPanels(700);
  EXPECT_NE(window->pnlRight2->parentWidget(), window->pnlRightBase);
}

TEST_F(MainWindowTest, LeftToolbarWidensForItsScrollBarOnlyWhenItDoesNotFit) {
  const int panelWidth = window->pnlLeft->width();
  window->resize(1000, 300);
  settle();
  window->fitLeftToolbar();
  ASSERT_GT(window->pnlLeft->height() - 1, window->vscrollLeft->height());
  EXPECT_EQ(window->vscrollLeft->width(), panelWidth + 16);

  window->resize(1000, 900);
  settle();
  window->fitLeftToolbar();
  ASSERT_LE(window->pnlLeft->height() - 1, window->vscrollLeft->height());
  EXPECT_EQ(window->vscrollLeft->width(), panelWidth);
}

TEST_F(MainWindowTest, ClosingAChangedDocumentAsksAndCancelKeepsTheWindow) {
  editor().setDocumentChanged(true);
  QString asked;
  auto answer = [&](QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [&, button] {
      if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        asked = box->text();
        box->button(button)->click();
      }
    });
  };
  answer(QMessageBox::Cancel);
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(asked.isEmpty());

  asked.clear();
  answer(QMessageBox::No);
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(asked.isEmpty());
}

TEST_F(MainWindowTest, AFailingHandlerIsLoggedAndShownAndTheWindowGoesOn) {
  addLine({2, 3}, {12, 3});
  test::TWarningLog log;
  // paintCanvas keeps what a std::exception breaks to its shape or frame; anything else a
  // painter throws ends the frame and reaches the drawing box's paint event.
  window->pbox->canvasState().OnPaintShape = [](const TQN_Path &) { throw 42; };
  window->pbox->grab();
  settle();
  EXPECT_EQ(window->lblStatus->text(), QStringLiteral("Error in pboxPaint: unknown exception"));
  EXPECT_TRUE(log.lines().contains(QStringLiteral("Quillon: error in pboxPaint: unknown exception")))
      << log.lines().join(QLatin1Char('\n')).toStdString();

  // The window goes on: the next frame paints the line, and the pointer draws another.
  int painted = 0;
  window->pbox->canvasState().OnPaintShape = [&](const TQN_Path &) { ++painted; };
  window->pbox->grab();
  EXPECT_EQ(painted, 1);
  window->toolButton(TTool::Line)->click();
  settle();
  QTest::mouseClick(window->pbox, Qt::LeftButton, Qt::NoModifier, QPoint(100, 200));
  QTest::mouseClick(window->pbox, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
  settle();
  EXPECT_EQ(editor().doc().PathList().Count(), 2);
}

}  // namespace
TEST_F(MainWindowTest, PathObjectCommandsSitInTheSelectionMenuAndAnswerTheirKeys) {
  auto *selectionMenu = child<QMenu>("pmForSelectedItems");
  auto *repository = child<QMenu>("miRepository");
  ASSERT_TRUE(selectionMenu && repository);
  EXPECT_TRUE(selectionMenu->actions().contains(repository->menuAction()));
  EXPECT_TRUE(selectionMenu->actions().contains(window->findAction(QStringLiteral("actConvertArcToBezier"))));
  const std::pair<const char *, const char *> keys[] = {
      {"actConvertToPath", "F9"}, {"actConvertACopyToPath", "F10"}, {"actSeparateTemplateIntoShapes", "F8"}};
  for (const auto &[name, key] : keys) {
    QAction *a = window->findAction(QString::fromLatin1(name));
    ASSERT_TRUE(a) << name;
    EXPECT_TRUE(repository->actions().contains(a)) << name;
    EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(key))) << name;
  }

  // F9 joins the selected lines into one path object, F8 takes it apart again.
  addLine({0.0f, 0.0f}, {30.0f, 0.0f});
  addLine({30.0f, 0.0f}, {30.0f, 10.0f});
  window->findAction(QStringLiteral("actSelectAll"))->trigger();
  settle();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_F9);
  settle();
  ASSERT_EQ(editor().doc().PathList().Count(), 1);
  EXPECT_TRUE(editor().doc().PathList()[0]->isKind(TShapeKind::Other));
  QTest::keyClick(window.get(), Qt::Key_F8);
  settle();
  ASSERT_EQ(editor().doc().PathList().Count(), 2);
  EXPECT_TRUE(editor().doc().PathList()[1]->isKind(TShapeKind::Line));
}

}  // namespace quillon

namespace quillon {
namespace {

TEST_F(MainWindowTest, DrawingCheckCommandsFollowTheCheck) {
  QAction *resolveAll = window->findAction(QStringLiteral("actResolveAll"));
  QAction *showLint = window->findAction(QStringLiteral("FMiShowLintWarnings"));
  QAction *resolveOne = window->findAction(QStringLiteral("actResolveIssues"));
  ASSERT_TRUE(resolveAll && showLint && resolveOne);
  EXPECT_EQ(resolveAll->text(), QStringLiteral("Fix alignment && connection issues (whole drawing)"));
  EXPECT_FALSE(resolveAll->isEnabled());
  EXPECT_TRUE(showLint->isChecked());
  EXPECT_TRUE(window->pmForSelectedItems->actions().indexOf(resolveOne) == 0);
  EXPECT_TRUE(window->pmForSelectedItems->actions().indexOf(resolveAll) == 1);

  addLine({0.0f, 0.0f}, {100.0f, 0.5236f});  // 0.3 degree off the axis
  takeUndoSnapshot(editor(), QStringLiteral("test"));
  settle();
  EXPECT_TRUE(resolveAll->isEnabled());
  EXPECT_EQ(editor().lint().FLintWarnings.size(), 1u);

  showLint->trigger();  // off: no warnings, the whole-drawing fix offered anyway
  settle();
  EXPECT_FALSE(showLint->isChecked());
  EXPECT_TRUE(editor().lint().FLintWarnings.empty());
  showLint->trigger();
  settle();

  resolveAll->trigger();
  settle();
  EXPECT_TRUE(editor().lint().FLintWarnings.empty());
  EXPECT_FALSE(resolveAll->isEnabled());
  EXPECT_EQ(window->lblStatus->text(),
            QStringLiteral("Regularized the whole drawing (1 line edits in 2 iterations)."));
}

}  // namespace
}  // namespace quillon
