#include "shell/ui/number_box.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "shell/expression_parser.h"

namespace quillon {

namespace {

const char *const kHookedProperty = "quillonNumberBoxHooked";
const char *const kCancelledProperty = "quillonOverlayCancelled";
const char *const kFinishedProperty = "quillonOverlayFinished";

// Watches the text field of a hooked box for the click that opens the overlay.
class TNumberBoxClickFilter : public QObject {
 public:
  explicit TNumberBoxClickFilter(QDoubleSpinBox *box) : QObject(box), FBox(box) {}

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && FBox->isEnabled())
      GlobalEdit().NumberBoxOnClick(FBox);
    return QObject::eventFilter(watched, event);
  }

 private:
  QDoubleSpinBox *FBox;
};

// Routes the overlay field's keys and focus loss to the overlay editor.
class TOverlayFieldFilter : public QObject {
 public:
  explicit TOverlayFieldFilter(QLineEdit *field) : QObject(field) {}

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::KeyPress) {
      if (GlobalEdit().OnKeyDown(watched, static_cast<QKeyEvent *>(event))) return true;
    } else if (event->type() == QEvent::FocusOut) {
      // A context menu of the field takes the focus only for a moment.
      if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) GlobalEdit().OnExit(watched);
    }
    return QObject::eventFilter(watched, event);
  }
};

// Selects the whole text of a box on a click into it, after the click has placed the cursor.
class TSelectAllOnClick : public QObject {
 public:
  explicit TSelectAllOnClick(QDoubleSpinBox *box) : QObject(box), FBox(box) {}

  bool eventFilter(QObject *watched, QEvent *event) override {
    // On the release: the press and the release each place the cursor, which would undo
    // a selection made at the press.
    if (event->type() == QEvent::MouseButtonRelease)
      QTimer::singleShot(0, FBox, [box = FBox] { box->selectAll(); });
    return QObject::eventFilter(watched, event);
  }

 private:
  QDoubleSpinBox *FBox;
};

// The characters arithmetic may be typed with: digits, the operators, parentheses, blanks
// and the letters of SQRT, SQR and units.
bool isArithmeticText(const QString &text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) {
    return c.isDigit() || c.isLetter() || c.isSpace() || QStringLiteral(".,+-*/^()").contains(c);
  });
}

}  // namespace

// TNumberBox

TNumberBox::TNumberBox(QWidget *parent, bool holdsLength) : QDoubleSpinBox(parent), FHoldsLength(holdsLength) {
  setLocale(QLocale::c());
  setGroupSeparatorShown(false);
  connect(lineEdit(), &QLineEdit::textEdited, this, &TNumberBox::typed);
  // A stepped or typed value that the exact one no longer rounds to replaces it.
  connect(this, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (FHasExact && rounded(FExact) == v) return;
    FHasExact = false;
    emit numberChanged(v);
  });
}

TNumberBox::~TNumberBox() = default;

double TNumberBox::rounded(double v) const {
  // The rounding the spin box applies to every value it is given.
  return QString::number(v, 'f', decimals()).toDouble();
}

void TNumberBox::setExactValue(double v) {
  const double exact = std::clamp(v, minimum(), maximum());
  const bool changed = !FHasExact ? exact != value() : exact != FExact;
  FExact = exact;
  FHasExact = true;
  setValue(exact);  // shows it; the spin box keeps the rounded value
  if (changed) emit numberChanged(exact);
}

bool TNumberBox::showsItsValue() const { return cleanText() == textFromValue(value()); }

void TNumberBox::evaluateText() {
  if (showsItsValue()) return;
  setExactValue(TExpressionParser(QLatin1Char('.'), 2).ParseExpressionToFloat(cleanText()));
}

void TNumberBox::setSelectAllOnClick(bool on) {
  if (on && !FSelectAllFilter) {
    FSelectAllFilter = new TSelectAllOnClick(this);
    lineEdit()->installEventFilter(FSelectAllFilter);
  } else if (!on && FSelectAllFilter) {
    delete FSelectAllFilter.data();
  }
}

QValidator::State TNumberBox::validate(QString &text, int &pos) const {
  const QValidator::State state = QDoubleSpinBox::validate(text, pos);
  if (state != QValidator::Invalid) return state;
  // Arithmetic is evaluated by Enter or on leaving the box.
  return isArithmeticText(text) ? QValidator::Intermediate : QValidator::Invalid;
}

void TNumberBox::keyPressEvent(QKeyEvent *event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && isSignalConnected(QMetaMethod::fromSignal(&TNumberBox::enterPressed))) {
    event->accept();
    emit enterPressed();
    return;
  }
  QDoubleSpinBox::keyPressEvent(event);
}

void TNumberBox::focusOutEvent(QFocusEvent *event) {
  // Leaving the box evaluates what was typed; text that is not arithmetic is dropped.
  try {
    evaluateText();
  } catch (const EExpressionError &) {
    // The spin box would read a leading number out of the text ("2" of "2*-3"): the text
    // goes back to the value kept.
    lineEdit()->setText(prefix() + textFromValue(value()) + suffix());
  }
  QDoubleSpinBox::focusOutEvent(event);
}

double TNumberBox::Value() const { return FHasExact && rounded(FExact) == value() ? FExact : value(); }
void TNumberBox::SetValue(double v) { setExactValue(v); }
double TNumberBox::Min() const { return minimum(); }
double TNumberBox::Max() const { return maximum(); }
void TNumberBox::SetRange(double min, double max) { setRange(min, max); }
int TNumberBox::DecimalDigits() const { return decimals(); }
void TNumberBox::SetDecimalDigits(int digits) { setDecimals(digits); }
double TNumberBox::Increment() const { return singleStep(); }
void TNumberBox::SetIncrement(double step) { setSingleStep(step); }
QString TNumberBox::Text() const { return cleanText(); }
bool TNumberBox::IsFocused() const { return hasFocus() || lineEdit()->hasFocus(); }
QString TNumberBox::Hint() const { return toolTip(); }
void TNumberBox::SetHint(const QString &hint) { setToolTip(hint); }

void TNumberBox::BeginUpdate() {
  if (FUpdateDepth++ == 0) setUpdatesEnabled(false);
}

void TNumberBox::EndUpdate() {
  if (FUpdateDepth > 0 && --FUpdateDepth == 0) setUpdatesEnabled(true);
}

// TGlobalEdit

TGlobalEdit::~TGlobalEdit() {
  // Widgets can only be freed while the application object exists.
  if (FEdit && QCoreApplication::instance()) delete FEdit.data();
}

void TGlobalEdit::NumberBoxOnClick(QObject *Sender) {
  auto *box = qobject_cast<QDoubleSpinBox *>(Sender);
  if (!box) return;
  setNumberBox(box);
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [] {
        if (QLineEdit *field = GlobalEdit().Edit()) {
          field->setFocus(Qt::MouseFocusReason);
          field->selectAll();
        }
      },
      Qt::QueuedConnection);
}

QLineEdit *TGlobalEdit::setNumberBox(QDoubleSpinBox *nb) {
  if (FEdit) OnExit(FEdit);  // a field still open is finished as if left
  FNumberBox = nb;
  if (!nb) return nullptr;

  QWidget *parent = nb->parentWidget();
  auto *field = new QLineEdit(parent ? parent : nb);
  field->setGeometry(parent ? nb->geometry() : nb->rect());
  field->setFont(nb->font());
  field->setAlignment(nb->alignment());
  field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.+\\-/*]*")), field));
  field->setText(nb->cleanText());
  field->installEventFilter(new TOverlayFieldFilter(field));
  // Typing into the field counts as typing into the box (it ticks the box's check box).
  if (auto *numberBox = qobject_cast<TNumberBox *>(nb))
    QObject::connect(field, &QLineEdit::textEdited, numberBox, &TNumberBox::typed);
  field->show();
  field->raise();
  FEdit = field;
  return field;
}

bool TGlobalEdit::OnKeyDown(QObject *Sender, QKeyEvent *event) {
  Q_UNUSED(Sender);
  QLineEdit *field = FEdit;
  if (!field) return false;
  switch (event->key()) {
    case Qt::Key_Escape:
      if (FNumberBox) field->setText(FNumberBox->cleanText());
      field->setProperty(kCancelledProperty, true);
      leaveField(field);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      // Return commits the field and then counts as Enter in the box.
      QPointer<TNumberBox> box = qobject_cast<TNumberBox *>(FNumberBox.data());
      leaveField(field);
      if (box) box->pressEnter();
      return true;
    }
    default:
      return false;
  }
}

void TGlobalEdit::leaveField(QLineEdit *field) {
  field->clearFocus();
  // Without the focus (an inactive window) clearing it sends no focus-out.
  if (!field->property(kFinishedProperty).toBool()) OnExit(field);
}

void TGlobalEdit::OnExit(QObject *Sender) {
  if (FInOnExit) return;
  auto *field = qobject_cast<QLineEdit *>(Sender);
  if (!field || field->property(kFinishedProperty).toBool()) return;
  struct Guard {
    bool &flag;
    explicit Guard(bool &f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(FInOnExit);
  field->setProperty(kFinishedProperty, true);
  if (!field->property(kCancelledProperty).toBool()) {
    try {
      const double value = TExpressionParser(QLatin1Char('.'), 2).ParseExpressionToFloat(field->text());
      if (QDoubleSpinBox *box = FNumberBox) {
        if (auto *numberBox = qobject_cast<TNumberBox *>(box))
          numberBox->setExactValue(value);
        else
          box->setValue(value);
        if (box->isHidden() && box->parentWidget()) box->show();
      }
    } catch (const EExpressionError &) {
      // A text that is not an expression leaves the box as it was.
    }
  }
  field->hide();
  if (FEdit == field) FEdit = nullptr;
  field->deleteLater();
}

TGlobalEdit &GlobalEdit() {
  static TGlobalEdit instance;
  return instance;
}

void HookNumberBoxes(const QList<QDoubleSpinBox *> &boxes) {
  for (QDoubleSpinBox *box : boxes) {
    if (!box || box->property(kHookedProperty).toBool()) continue;
    auto *text = box->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
    if (!text) continue;
    box->setProperty(kHookedProperty, true);
    text->installEventFilter(new TNumberBoxClickFilter(box));
  }
}

}  // namespace quillon
