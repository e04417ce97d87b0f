// The ribbon's controls in the real window: typed values reach the tools and the
// selection, arithmetic is evaluated, check boxes tick themselves, the text being typed
// follows its settings, and the boxes follow the unit.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "shell/undo.h"
#include "shell/ui/canvas_widget.h"
#include "shell/ui/main_window.h"
#include "shell/ui/number_box.h"
#include "shell/ui/ribbon_pages.h"
#include "shell/view_transform.h"
#include "support/test_env.h"

namespace quillon {

void writeAnsweredSettings();  // main_window_test.cpp

namespace {

class RibbonTest : public ::testing::Test {
 protected:
  void SetUp() override { open(); }
  void TearDown() override {
    if (window) window->hide();
    window.reset();
  }
  void open() {
    writeAnsweredSettings();
    window = std::make_unique<TfrmQuil>(QStringList{QStringLiteral("--instance-id"), QStringLiteral("5")});
    window->show();
    settle();
    // A known view: 10 pixels per millimetre, the origin at pixel (200, 300).
    editor().view().FScale = 10.0f;
    editor().view().FOffset = {200.0f, 300.0f};
  }
  static void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  TEditor &editor() { return window->editor(); }
  TRibbonPages &ribbon() { return *window->ribbon(); }
  TShapeList &doc() { return editor().doc().PathList(); }

  // Types the text into the box, as a user does, and presses Enter.
  static void type(TNumberBox *box, const QString &text, bool enter = true) {
    box->selectAll();
    QTest::keyClicks(box, text);
    if (enter) QTest::keyClick(box, Qt::Key_Return);
    settle();
  }
  // A click on the drawing at a point in millimetres.
  void click(TPointF mm) {
    const TPointF px = realToVirtual(editor().view(), mm);
    QTest::mouseClick(window->pbox, Qt::LeftButton, Qt::NoModifier, QPoint(int(px.X), int(px.Y)));
    settle();
  }
  void chooseTool(TTool tool) {
    window->toolButton(tool)->click();
    settle();
  }
  TQN_Path *addLine(TPointF a, TPointF b) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawLinePath(a, b);
    TQN_Path *line = editor().doc().add(std::move(s), 0);
    editor().calcIntersectionsOfShape(line);
    return line;
  }

  std::unique_ptr<TfrmQuil> window;
};

double degreesBetween(TPointF a, TPointF b) {
  const double cos = (a.X * b.X + a.Y * b.Y) / (std::hypot(a.X, a.Y) * std::hypot(b.X, b.Y));
  return std::acos(std::clamp(cos, -1.0, 1.0)) * 180.0 / std::numbers::pi;
}

TEST_F(RibbonTest, ALineTakesTheTypedLengthAndItsAngleToTheLineItStartsOn) {
  TQN_Path *edge = addLine({0, 0}, {50, 0});
  chooseTool(TTool::Line);
  type(ribbon().nbLineLength1, QStringLiteral("37.5"));
  type(ribbon().nbLineAngle, QStringLiteral("30"));
  // Typing ticked the length box and chose the relative angle.
  EXPECT_TRUE(ribbon().chkLineLength->isChecked());
  EXPECT_TRUE(ribbon().rbLineRelativeAngle->isChecked());

  click({0, 0});      // the end of the edge
  click({20, -15});   // somewhere up and to the right
  ASSERT_EQ(doc().Count(), 2);
  const TQN_Path *line = doc()[1];
  EXPECT_EQ(line->FStartPt, TPointF(0, 0));
  EXPECT_NEAR(calcDistance(line->FStartPt, line->FEndPt), 37.5, 1e-3);
  EXPECT_NEAR(degreesBetween(line->FEndPt - line->FStartPt, edge->FEndPt - edge->FStartPt), 30.0, 1e-3);
  EXPECT_LT(line->FEndPt.Y, 0.0f);  // on the pointer's side of the edge
}

TEST_F(RibbonTest, ARectangleAndAnArcTakeTheirTypedSizes) {
  chooseTool(TTool::Rect);
  type(ribbon().nbRectWidth1, QStringLiteral("40"));
  type(ribbon().nbRectHeight1, QStringLiteral("25"));
  EXPECT_TRUE(ribbon().chkRectWidth->isChecked() && ribbon().chkRectHeight->isChecked());
  click({10, 10});
  click({13, 12});
  ASSERT_EQ(doc().Count(), 4);
  TRectF box{1e9f, 1e9f, -1e9f, -1e9f};
  for (const TQN_Path *side : doc())
    for (TPointF p : {side->FStartPt, side->FEndPt}) {
      box.Left = std::min(box.Left, p.X);
      box.Top = std::min(box.Top, p.Y);
      box.Right = std::max(box.Right, p.X);
      box.Bottom = std::max(box.Bottom, p.Y);
    }
  EXPECT_EQ(box, TRectF(10, 10, 50, 35));

  chooseTool(TTool::Arc);
  EXPECT_TRUE(ribbon().rbArc_3_points->isChecked());  // the arc tool's start-up choice
  ribbon().rbArc_R->click();
  type(ribbon().nbRforArc1, QStringLiteral("12"));
  click({100, 0});
  click({116, 0});
  click({108, 20});
  ASSERT_EQ(doc().Count(), 5);
  const TQN_Path *arc = doc()[4];
  EXPECT_TRUE(arc->isKind(TShapeKind::Arc));
  EXPECT_NEAR(arc->FWidth, 12.0, 1e-4);
  EXPECT_NEAR(calcDistance(arc->FStartPt, arc->FEndPt), 16.0, 1e-3);
}

TEST_F(RibbonTest, ALengthBoxEvaluatesArithmeticAndAppliesItToTheSelectedLines) {
  TNumberBox *box = ribbon().nbLineLength1;
  type(box, QStringLiteral("100/3"));
  EXPECT_NEAR(editor().panel().nbLineLength1, 33.333, 1e-3);
  EXPECT_NEAR(box->Value(), 100.0 / 3.0, 1e-9);
  EXPECT_EQ(box->cleanText(), QStringLiteral("33.33"));

  // Two selected lines get the typed length, each from its own start, in one undo step.
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({0, 20}, {0, 30});
  TQN_Path *c = addLine({40, 40}, {45, 40});
  a->SetSelected(true);
  b->SetSelected(true);
  takeUndoSnapshot(editor(), QStringLiteral("drawn"));
  const std::size_t steps = editor().FUndoStore.FUndoList.size();
  type(box, QStringLiteral("2*12.5"));
  EXPECT_NEAR(calcDistance(a->FStartPt, a->FEndPt), 25.0, 1e-4);
  EXPECT_NEAR(calcDistance(b->FStartPt, b->FEndPt), 25.0, 1e-4);
  EXPECT_EQ(b->FEndPt, TPointF(0, 45));
  EXPECT_NEAR(calcDistance(c->FStartPt, c->FEndPt), 5.0, 1e-4);
  EXPECT_EQ(editor().FUndoStore.FUndoList.size(), steps + 1);

  // A text that is not arithmetic is reported and leaves the value and the lines.
  type(box, QStringLiteral("2*-3"));
  EXPECT_NEAR(editor().panel().nbLineLength1, 25.0, 1e-4);
  EXPECT_NEAR(calcDistance(a->FStartPt, a->FEndPt), 25.0, 1e-4);
  EXPECT_TRUE(window->lblStatus->text().startsWith(QStringLiteral("Error in nbLineLength1KeyDown")))
      << window->lblStatus->text().toStdString();
}

TEST_F(RibbonTest, TypingIntoTheOverlayEditorTicksTheBoxesAsTypingIntoThemDoes) {
  window->firstIdleInit();  // hooks the length boxes to the overlay editor
  chooseTool(TTool::Line);
  // A click into a hooked box lays the overlay field over it; the user types there.
  const auto typeOver = [&](TNumberBox *box, const QString &text) {
    QTest::mouseClick(box->editor(), Qt::LeftButton);
    settle();
    QLineEdit *field = GlobalEdit().Edit();
    ASSERT_NE(field, nullptr);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    settle();
  };
  typeOver(ribbon().nbLineLength1, QStringLiteral("100/3"));
  EXPECT_TRUE(ribbon().chkLineLength->isChecked());
  EXPECT_NEAR(editor().panel().nbLineLength1, 33.333, 1e-3);
  HookNumberBoxes({ribbon().nbLineAngle});
  typeOver(ribbon().nbLineAngle, QStringLiteral("30"));
  EXPECT_TRUE(ribbon().rbLineRelativeAngle->isChecked());
  EXPECT_FLOAT_EQ(editor().panel().nbLineAngle, 30.0f);
}

TEST_F(RibbonTest, AClickSelectsTheWholeTextExceptInTheDimensionBoxes) {
  chooseTool(TTool::CenterLine);
  TNumberBox *divisions = ribbon().nbNumDividingCenter;
  QTest::mouseClick(divisions->editor(), Qt::LeftButton);
  settle();
  EXPECT_EQ(divisions->editor()->selectedText(), divisions->editor()->text());
  QTest::keyClicks(divisions->editor(), QStringLiteral("5"));
  QTest::keyClick(divisions->editor(), Qt::Key_Return);
  settle();
  EXPECT_FLOAT_EQ(editor().panel().nbNumDividingCenter, 5.0f);

  chooseTool(TTool::DimensionLine);
  TNumberBox *precision = ribbon().nbDMS_Precision;
  QTest::mouseClick(precision->editor(), Qt::LeftButton);
  settle();
  EXPECT_TRUE(precision->editor()->selectedText().isEmpty());
  // The box still validates and takes what is typed.
  precision->selectAll();
  QTest::keyClicks(precision->editor(), QStringLiteral("3"));
  QTest::keyClick(precision->editor(), Qt::Key_Return);
  settle();
  EXPECT_EQ(precision->Value(), 3.0);
}

TEST_F(RibbonTest, EllipseBoxesSizeTheSelectedEllipsesByTheirTickedBoxes) {
  auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  s->drawEllipsePath({0, 0}, 20, 10);
  s->SetSelected(true);
  TQN_Path *ellipse = editor().doc().add(std::move(s), 0);
  // Only the height box ticked: Enter in the diameter box makes a circle of the height.
  ribbon().chkEllipseXlen->setChecked(true);
  type(ribbon().nbEllipseYlen1, QStringLiteral("6"));
  EXPECT_TRUE(ribbon().chkEllipseYlen->isChecked());
  ribbon().chkEllipseXlen->setChecked(false);
  EXPECT_FALSE(ribbon().chkEllipseYlen->isEnabled());
  EXPECT_FALSE(ribbon().nbEllipseYlen1->isEnabled());
  ribbon().nbEllipseXlen1->pressEnter();
  settle();
  EXPECT_FLOAT_EQ(ellipse->FWidth, 6);
  EXPECT_FLOAT_EQ(ellipse->FHeight, 6);
}

TEST_F(RibbonTest, TheTextFollowsItsSizeAndRotationLiveAsOneUndoStep) {
  chooseTool(TTool::Text);
  click({10, 10});
  QTest::keyClicks(window->edText, QStringLiteral("Hi"));
  QTest::keyClick(window->edText, Qt::Key_Return);  // the typing is one step of its own
  settle();
  ASSERT_EQ(doc().Count(), 1);
  const TQN_Path *text = doc()[0];
  const float width = text->FWidth;
  const std::size_t steps = editor().FUndoStore.FUndoList.size();

  type(ribbon().nbFontSize, QStringLiteral("20"));
  type(ribbon().nbTextRotation, QStringLiteral("45"));
  EXPECT_FLOAT_EQ(text->FFontSize, 20);
  EXPECT_FLOAT_EQ(text->FRotation, 45);
  EXPECT_GT(text->FWidth, width * 1.5f);
  EXPECT_EQ(editor().FUndoStore.FUndoList.size(), steps);  // pending until the typing ends

  chooseTool(TTool::Select);  // a tool change takes the pending step
  EXPECT_EQ(editor().FUndoStore.FUndoList.size(), steps + 1);
  window->findAction(QStringLiteral("actUndo"))->trigger();
  settle();
  ASSERT_EQ(doc().Count(), 1);
  EXPECT_FLOAT_EQ(doc()[0]->FFontSize, 10);
  EXPECT_FLOAT_EQ(doc()[0]->FRotation, 0);
}

TEST_F(RibbonTest, KeysThatChangeThePanelShowInItsControls) {
  chooseTool(TTool::DimensionLine);
  EXPECT_FALSE(ribbon().chkDms_TextInside->isEnabled());
  QKeyEvent s(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier, QStringLiteral("s"));
  QApplication::sendEvent(window->pbox, &s);
  settle();
  EXPECT_TRUE(ribbon().chkDms_SingleLine->isChecked());
  EXPECT_TRUE(ribbon().chkDms_TextInside->isEnabled());
  // A key typed into a box stays there.
  ribbon().nbDim_Gap1->setFocus();
  QKeyEvent r(QEvent::KeyPress, Qt::Key_R, Qt::NoModifier, QStringLiteral("r"));
  QApplication::sendEvent(window.get(), &r);
  settle();
  EXPECT_FALSE(editor().panel().chkDms_TextReverse);
}

TEST(RibbonUnits, InchesConvertTheBoxesAtTheFirstIdleMomentWithoutTickingThem) {
  QFile f(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[LeatherSim]\nChoiseMade=1\n[General]\nUnit=1\n");
  f.close();
  TfrmQuil window({QStringLiteral("--instance-id"), QStringLiteral("6")});
  window.firstIdleInit();
  window.show();
  TRibbonPages &ribbon = *window.ribbon();
  EXPECT_DOUBLE_EQ(ribbon.nbLineLength1->Value(), 0.40625);  // 10 mm: 13/32 in
  EXPECT_FALSE(ribbon.chkLineLength->isChecked());
  EXPECT_NEAR(window.editor().panel().nbLineLength1, 0.40625 * 25.4, 1e-4);
  EXPECT_EQ(window.editor().panel().DimPrecision, 4);
  EXPECT_TRUE(window.numberBoxList().contains(ribbon.nbLineLength1));
  EXPECT_TRUE(window.numberBoxList().contains(ribbon.nbRforArc1));
  // Typed inches reach the tools as millimetres.
  ribbon.nbRectWidth1->selectAll();
  QTest::keyClicks(ribbon.nbRectWidth1, QStringLiteral("2"));
  QTest::keyClick(ribbon.nbRectWidth1, Qt::Key_Return);
  EXPECT_NEAR(window.editor().panel().nbRectWidth1, 50.8, 1e-4);
  // The pointer over a length box shows both units.
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(ribbon.nbRectWidth1, &enter);
  EXPECT_EQ(ribbon.nbRectWidth1->toolTip(), QStringLiteral("2 in (2.000000) (50.80 mm)"));
  const QList<QLabel *> labels = ribbon.nbRectWidth1->parentWidget()->findChildren<QLabel *>();
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel *l) { return l->text() == QLatin1String("in"); }));
  window.hide();
  QFile::remove(f.fileName());
}


TEST_F(RibbonTest, TheTrimToolTrimsAndItsPageSwitchesToNotches) {
  TQN_Path *line = addLine({0, 0}, {100, 0});
  addLine({30, -10}, {30, 10});
  addLine({60, -10}, {60, 10});
  chooseTool(TTool::Trimming);
  ASSERT_EQ(editor().tool().FTool, TTool::Trimming);
  click({45, 0});
  EXPECT_FALSE(editor().doc().contains(line));
  EXPECT_EQ(doc().Count(), 4);

  // The notch mode: a notch of the typed depth on the edge left of the first crossing.
  ribbon().chkTrim_NotchMode->click();
  settle();
  EXPECT_TRUE(editor().tool().FIsNotchMode);
  type(ribbon().nbNotchDepth1, QStringLiteral("3"));
  type(ribbon().nbNotchAngle, QStringLiteral("60"));
  EXPECT_NEAR(editor().panel().NotchDepth, 3.0f, 1e-6f);
  EXPECT_NEAR(editor().panel().NotchAngle, 60.0f, 1e-6f);
  click({15, 0});
  click({15, 8});
  ASSERT_EQ(doc().Count(), 6);
  for (int i = 4; i < 6; ++i) {
    EXPECT_NEAR(doc()[i]->FStartPt.Y, 3.0f, 1e-3f);
    EXPECT_NEAR(doc()[i]->FEndPt.Y, 0.0f, 1e-3f);
  }

  // Choosing the tool again leaves the notch mode.
  chooseTool(TTool::Select);
  chooseTool(TTool::Trimming);
  EXPECT_FALSE(editor().tool().FIsNotchMode);
  EXPECT_FALSE(ribbon().chkTrim_NotchMode->isChecked());
}

TEST_F(RibbonTest, AnAltClickSplitsTheSelectedLineAndTheMenuOffersTidying) {
  TQN_Path *line = addLine({0, 0}, {100, 0});
  addLine({30, -10}, {30, 10});
  line->SetSelected(true);
  const TPointF px = realToVirtual(editor().view(), {30, 0});
  QTest::mouseClick(window->pbox, Qt::LeftButton, Qt::AltModifier, QPoint(int(px.X), int(px.Y)));
  settle();
  ASSERT_EQ(doc().Count(), 3);
  EXPECT_NEAR(line->FEndPt.X, 30.0f, 0.01f);
  EXPECT_NEAR(line->FEndPt.Y, 0.0f, 0.01f);
  EXPECT_TRUE(doc()[2]->FSelected);

  QAction *tidy = window->findAction(QStringLiteral("miTrimToClose"));
  ASSERT_NE(tidy, nullptr);
  EXPECT_TRUE(window->pmForSelectedItems->actions().contains(tidy));
  EXPECT_EQ(tidy->text(), QStringLiteral("Tidy up connected lines of the same type (close)"));
}

// The first idle moment comes with the shown window even when nothing activates it (no
// window manager): the stored precision of 1 becomes 2 in millimetres, on the panel and
// in the settings file written at shutdown.
TEST(RibbonUnits, TheFirstIdleMomentSetsThePrecisionWithoutActivation) {
  const QString ini = QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini"));
  QFile f(ini);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[LeatherSim]\nChoiseMade=1\n[Dimension]\nPrecision=1\n");
  f.close();
  class TNoActivation : public QObject {
    bool eventFilter(QObject *, QEvent *e) override {
      return e->type() == QEvent::ActivationChange || e->type() == QEvent::WindowActivate;
    }
  } noActivation;
  {
    TfrmQuil window({QStringLiteral("--instance-id"), QStringLiteral("7")});
    EXPECT_EQ(window.editor().panel().DimPrecision, 1);
    window.installEventFilter(&noActivation);
    window.show();
    QTest::qWait(20);
    EXPECT_EQ(window.editor().panel().DimPrecision, 2);
    EXPECT_EQ(window.ribbon()->nbDMS_Precision->Value(), 2.0);
    window.hide();
  }
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QString written = QString::fromUtf8(f.readAll());
  f.close();
  const QRegularExpression precision(QStringLiteral("(^|\\n)Precision=2\\r?\\n"));
  EXPECT_TRUE(written.contains(precision)) << written.toStdString();
  QFile::remove(ini);
}

}  // namespace
}  // namespace quillon
