#pragma once
// TNumberBox: the number box of the windows, a QDoubleSpinBox that shows and reads numbers
// in the C locale and serves the unit rules through INumberBox. Arithmetic may be typed
// into it ("100/3", "(40-2*3)/2"): Enter (for a box whose owner handles enterPressed) or
// leaving the box evaluates the text. The box keeps the value exactly as set or evaluated
// and shows it with its decimal digits: 100/3 shows "33.33" and Value() is 33.333...
//
// TGlobalEdit: the overlay editor through which the user types arithmetic into any hooked
// number box. A click on the box lays a text field over it; leaving the field (Return, a
// click elsewhere) evaluates its text and gives the result to the box, Escape leaves the
// box as it was, and a text that is not a valid expression is dropped silently.
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QList>
#include <QPointer>

#include "shell/length_units.h"

class QKeyEvent;

namespace quillon {

class TNumberBox : public QDoubleSpinBox, public INumberBox {
  Q_OBJECT
 public:
  explicit TNumberBox(QWidget *parent = nullptr, bool holdsLength = true);
  ~TNumberBox() override;

  void setHoldsLength(bool value) { FHoldsLength = value; }
  // The box's own text field.
  QLineEdit *editor() const { return lineEdit(); }

  // Sets the value exactly (within the range); the box shows it rounded to its digits.
  void setExactValue(double value);
  // Evaluates the typed text as arithmetic and takes the result (clamped to the range).
  // The text that shows the current value keeps the value as it is. Throws
  // EExpressionError when the text is not arithmetic; the box then keeps its value.
  void evaluateText();
  // Whether the text is the shown form of the value (nothing else was typed).
  bool showsItsValue() const;
  // A click into the box selects its whole text.
  void setSelectAllOnClick(bool on);
  // Enter as the box's owner receives it (the overlay editor's Return too).
  void pressEnter() { emit enterPressed(); }

  double Value() const override;
  void SetValue(double value) override;
  double Min() const override;
  double Max() const override;
  void SetRange(double min, double max) override;
  int DecimalDigits() const override;
  void SetDecimalDigits(int digits) override;
  double Increment() const override;
  void SetIncrement(double step) override;
  bool HoldsLength() const override { return FHoldsLength; }
  QString Text() const override;
  bool IsFocused() const override;
  QString Hint() const override;
  void SetHint(const QString &hint) override;
  void BeginUpdate() override;
  void EndUpdate() override;

 signals:
  // Enter or Return in the box; the owner evaluates the text (evaluateText) and acts on it.
  // While nobody is connected, Enter works as in any spin box.
  void enterPressed();
  // The exact value changed (typed, stepped, set or converted).
  void numberChanged(double value);
  // The user changed the text by typing, into the box or into the overlay editor laid over
  // it; `text` is the text typed so far.
  void typed(const QString &text);

 protected:
  QValidator::State validate(QString &text, int &pos) const override;
  void keyPressEvent(QKeyEvent *event) override;
  void focusOutEvent(QFocusEvent *event) override;

 private:
  // The value as the spin box keeps it: rounded to the box's decimals.
  double rounded(double value) const;

  bool FHoldsLength;
  int FUpdateDepth = 0;
  double FExact = 0.0;
  bool FHasExact = false;
  QPointer<QObject> FSelectAllFilter;  // while a click selects the whole text
};

class TGlobalEdit {
 public:
  TGlobalEdit() = default;
  ~TGlobalEdit();
  TGlobalEdit(const TGlobalEdit &) = delete;
  TGlobalEdit &operator=(const TGlobalEdit &) = delete;

  // The box being edited (not owned) and the overlay field lying over it, or none.
  QDoubleSpinBox *NumberBox() const { return FNumberBox; }
  QLineEdit *Edit() const { return FEdit; }

  // Click on a hooked box: lays the field over it; on the next turn of the event loop the
  // field takes the focus with all its text selected.
  void NumberBoxOnClick(QObject *Sender);
  // Makes the overlay field for nb (finishing a field still open) and returns it. The
  // field accepts only the characters "0123456789.+-/*".
  QLineEdit *setNumberBox(QDoubleSpinBox *nb);
  // Keys of the field: Escape restores the box's text, marks the field cancelled and
  // leaves it; Return and Enter leave it. True when the key was consumed.
  bool OnKeyDown(QObject *Sender, QKeyEvent *event);
  // Leaving the field: unless cancelled its text is evaluated and a valid result becomes
  // the box's value. The field is hidden and freed on the next turn of the event loop.
  void OnExit(QObject *Sender);

 private:
  void leaveField(QLineEdit *field);

  QPointer<QDoubleSpinBox> FNumberBox;
  QPointer<QLineEdit> FEdit;
  bool FInOnExit = false;
};

// The one overlay editor of the process.
TGlobalEdit &GlobalEdit();

// Gives every box of the list the overlay editor on click. Hooking a box again does nothing.
void HookNumberBoxes(const QList<QDoubleSpinBox *> &boxes);

}  // namespace quillon
