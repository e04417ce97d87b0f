#include "shell/ui/length_dialog.h"

#include <QEvent>
#include <QLabel>
#include <QMessageBox>

#include <vector>

#include "shell/expression_parser.h"
#include "shell/length_units.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"

namespace quillon {

void TLengthDialog::setUnitMode(const TQN_Options &options) {
  FOptions = &options;
  HookNumberBoxes(QList<QDoubleSpinBox *>(FBoxes.begin(), FBoxes.end()));
  if (options.UnitMode != FCurrentUnitMode) {
    ConvertNumberBoxesUnit(std::vector<INumberBox *>(FLengthBoxes.begin(), FLengthBoxes.end()),
                           options.LengthFormatSettings);
    FCurrentUnitMode = options.UnitMode;
  }
  for (QLabel *l : FUnitLabels) l->setText(FCurrentUnitMode == umIN ? QStringLiteral("in") : QStringLiteral("mm"));
}

double TLengthDialog::boxMm(const TNumberBox *box) const {
  return FCurrentUnitMode == umIN ? InchToMm(box->Value()) : box->Value();
}

void TLengthDialog::setBoxMm(TNumberBox *box, double mm) {
  box->setValue(FCurrentUnitMode == umIN ? MmToInch(mm) : mm);
}

TNumberBox *TLengthDialog::addBox(const char *name, double min, double max, double value, int digits,
                                  bool length) {
  auto *box = named(new TNumberBox(this, length), name);
  box->setDecimals(digits);
  box->setKeyboardTracking(false);  // the value is taken on Enter, typed arithmetic and all
  box->setRange(min, max);
  box->setValue(value);
  box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  FBoxes << box;
  if (length) {
    FLengthBoxes << box;
    box->installEventFilter(this);
  }
  return box;
}

QLabel *TLengthDialog::unitLabel() {
  auto *l = new QLabel(QStringLiteral("mm"), this);
  FUnitLabels << l;
  return l;
}

void TLengthDialog::evaluateOnEnter(TNumberBox *box, bool report, std::function<void()> after) {
  connect(box, &TNumberBox::enterPressed, this, [this, box, report, after] {
    try {
      if (!box->cleanText().trimmed().isEmpty()) box->evaluateText();
      box->selectAll();
    } catch (const EExpressionError &e) {
      if (report) QMessageBox::critical(this, windowTitle(), QString::fromStdString(e.what()));
    }
    if (after) after();
  });
}

void TLengthDialog::showHint(TNumberBox *box) {
  if (!FOptions) return;
  TLengthFormatSettings settings = FOptions->LengthFormatSettings;
  settings.UnitMode = FCurrentUnitMode;
  ShowBothUnitsHint(*box, settings);
}

bool TLengthDialog::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::Enter)
    if (auto *box = qobject_cast<TNumberBox *>(watched)) showHint(box);
  return QDialog::eventFilter(watched, event);
}

}  // namespace quillon
