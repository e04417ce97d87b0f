#include "shell/ui/number_box.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

#include "shell/length_units.h"
#include "shell/options.h"

namespace quillon {
namespace {

// A window with two hooked length boxes (0 to 1000 mm).
class NumberBoxOverlay : public ::testing::Test {
 protected:
  void SetUp() override {
    window.resize(300, 120);
    first = new TNumberBox(&window);
    second = new TNumberBox(&window);
    for (TNumberBox *box : {first, second}) {
      box->setRange(0, 1000);
      box->setDecimals(2);
      box->setValue(5);
    }
    first->setGeometry(10, 20, 120, 24);
    second->setGeometry(10, 60, 120, 24);
    window.show();
    HookNumberBoxes({first, second});
  }

  void TearDown() override {
    if (QLineEdit *field = GlobalEdit().Edit()) GlobalEdit().OnExit(field);
    flushDeletes();
  }

  static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  static void press(QWidget *target, Qt::Key key, const QString &text = QString()) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &event);
  }

  static void click(TNumberBox *box) {
    const QPointF at(5, 5);
    QMouseEvent down(QEvent::MouseButtonPress, at, box->editor()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(box->editor(), &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, box->editor()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QCoreApplication::sendEvent(box->editor(), &up);
  }

  int visibleOverlays() const {
    int count = 0;
    for (QLineEdit *e : window.findChildren<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly))
      if (e->isVisible()) ++count;
    return count;
  }

  QWidget window;
  TNumberBox *first = nullptr;
  TNumberBox *second = nullptr;
};

TEST_F(NumberBoxOverlay, ClickLaysFieldOverTheBox) {
  click(first);
  QLineEdit *field = GlobalEdit().Edit();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(GlobalEdit().NumberBox(), first);
  EXPECT_EQ(field->parentWidget(), &window);
  EXPECT_EQ(field->geometry(), first->geometry());
  EXPECT_TRUE(field->isVisible());
  EXPECT_EQ(field->text().toStdString(), "5.00");
  QCoreApplication::processEvents();  // the queued step selects the whole text
  EXPECT_TRUE(field->hasFocus());
  EXPECT_EQ(field->selectedText().toStdString(), "5.00");
  // Hooking again adds no second click handler: one field only.
  HookNumberBoxes({first});
  GlobalEdit().OnExit(field);
  click(first);
  EXPECT_EQ(visibleOverlays(), 1);
}

TEST_F(NumberBoxOverlay, LeavingTheFieldAppliesTheExpression) {
  struct Case {
    const char *typed;
    Qt::Key key;
    double expected;
  };
  const Case cases[] = {
      {"10+2.5", Qt::Key_Return, 12.5},  {"10+2.5", Qt::Key_Enter, 12.5}, {"10+2.5", Qt::Key_Escape, 5},
      {"(40-2*3)/2", Qt::Key_Return, 17}, {"2*-3", Qt::Key_Return, 5},    {"1/0", Qt::Key_Return, 5},
      {"", Qt::Key_Return, 5},            {"1.2.3", Qt::Key_Return, 5},   {"-3+4", Qt::Key_Return, 1},
      {"2000", Qt::Key_Return, 1000},     {"1/3", Qt::Key_Return, 0.33},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.typed);
    first->setValue(5);
    GlobalEdit().NumberBoxOnClick(first);
    QPointer<QLineEdit> field = GlobalEdit().Edit();
    ASSERT_FALSE(field.isNull());
    QCoreApplication::processEvents();  // the field takes the focus
    ASSERT_TRUE(field->hasFocus());
    field->setText(QString::fromLatin1(c.typed));
    press(field, c.key);
    EXPECT_DOUBLE_EQ(first->value(), c.expected);
    EXPECT_EQ(GlobalEdit().Edit(), nullptr);  // the field is closed in every case
    ASSERT_FALSE(field.isNull());
    EXPECT_FALSE(field->isVisible());
    EXPECT_FALSE(field->hasFocus());
    flushDeletes();
    EXPECT_TRUE(field.isNull());  // and freed later
  }
}

TEST_F(NumberBoxOverlay, EscapeRestoresTheBoxText) {
  first->setValue(7.25);
  QLineEdit *field = GlobalEdit().setNumberBox(first);
  field->setText(QStringLiteral("99"));
  QPointer<QLineEdit> guard = field;
  press(field, Qt::Key_Escape);
  ASSERT_FALSE(guard.isNull());
  EXPECT_EQ(field->text().toStdString(), "7.25");
  EXPECT_DOUBLE_EQ(first->value(), 7.25);
}

TEST_F(NumberBoxOverlay, FocusLossCommitsAndAnotherClickFinishesTheField) {
  QLineEdit *field = GlobalEdit().setNumberBox(first);
  field->setText(QStringLiteral("3*4"));
  QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
  QCoreApplication::sendEvent(field, &out);
  EXPECT_DOUBLE_EQ(first->value(), 12);
  EXPECT_EQ(GlobalEdit().Edit(), nullptr);

  GlobalEdit().NumberBoxOnClick(first);
  GlobalEdit().Edit()->setText(QStringLiteral("7*3"));
  click(second);  // a click on another box ends the first edit
  EXPECT_DOUBLE_EQ(first->value(), 21);
  EXPECT_EQ(GlobalEdit().NumberBox(), second);
  ASSERT_NE(GlobalEdit().Edit(), nullptr);
  EXPECT_EQ(GlobalEdit().Edit()->geometry(), second->geometry());
  EXPECT_EQ(visibleOverlays(), 1);
}

TEST_F(NumberBoxOverlay, AcceptsOnlyArithmeticCharacters) {
  QLineEdit *field = GlobalEdit().setNumberBox(first);
  field->clear();
  const std::pair<Qt::Key, const char *> keys[] = {
      {Qt::Key_1, "1"},     {Qt::Key_ParenLeft, "("}, {Qt::Key_Plus, "+"},        {Qt::Key_AsciiCircum, "^"},
      {Qt::Key_2, "2"},     {Qt::Key_A, "a"},         {Qt::Key_Asterisk, "*"},    {Qt::Key_Comma, ","},
      {Qt::Key_Period, "."}, {Qt::Key_5, "5"},        {Qt::Key_ParenRight, ")"},  {Qt::Key_Slash, "/"},
      {Qt::Key_Minus, "-"}, {Qt::Key_3, "3"},
  };
  for (const auto &[key, text] : keys) press(field, key, QString::fromLatin1(text));
  EXPECT_EQ(field->text().toStdString(), "1+2*.5/-3");
}

TEST(NumberBox, ServesTheUnitRules) {
  QWidget window;
  auto *box = new TNumberBox(&window);
  box->setRange(0, 1000);
  box->setDecimals(2);
  box->setSingleStep(1);
  box->setValue(10);
  int depthDuringChange = -1;
  QObject::connect(box, &QDoubleSpinBox::valueChanged, [&] { depthDuringChange = UnitConversionDepth; });

  TQN_Options options;
  options.SetUnitMode(umIN);
  ConvertNumberBoxesUnit({box}, options.LengthFormatSettings);
  EXPECT_EQ(depthDuringChange, 1);
  EXPECT_EQ(box->decimals(), 6);
  EXPECT_DOUBLE_EQ(box->maximum(), 39.370079);
  EXPECT_DOUBLE_EQ(box->singleStep(), 0.0625);
  EXPECT_DOUBLE_EQ(box->value(), 0.40625);
  EXPECT_EQ(box->cleanText().toStdString(), "0.406250");
  EXPECT_TRUE(box->updatesEnabled());

  ShowBothUnitsHint(*box, options.LengthFormatSettings);
  EXPECT_EQ(box->toolTip().toStdString(), "13/32 in (0.406250) (10.32 mm)");

  options.SetUnitMode(umMM);
  ConvertNumberBoxesUnit({box}, options.LengthFormatSettings);
  EXPECT_EQ(box->decimals(), 2);
  EXPECT_DOUBLE_EQ(box->minimum(), 0);
  EXPECT_DOUBLE_EQ(box->maximum(), 1000);
  EXPECT_DOUBLE_EQ(box->singleStep(), 1);
  EXPECT_DOUBLE_EQ(box->value(), 10);
  EXPECT_DOUBLE_EQ(GetNumberBoxMm(*box, umMM), 10);
  EXPECT_EQ(UnitConversionDepth, 0);
}

TEST(NumberBox, ShowsNumbersInTheCLocale) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TNumberBox box;
  QLocale::setDefault(before);
  box.setRange(0, 100000);
  box.setDecimals(2);
  box.setValue(1234.5);
  EXPECT_EQ(box.Text().toStdString(), "1234.50");
}

}  // namespace
}  // namespace quillon
