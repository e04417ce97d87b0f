#pragma once
// TLengthDialog: what the three small length dialogs (shape size, stretch compensation,
// move or copy) share. Their length boxes show the unit of the settings; arithmetic typed
// into any of their boxes is evaluated by Enter; a length box shows its value in both
// units as its hint.
#include <QDialog>
#include <QList>

#include <functional>

#include "shell/options.h"

class QLabel;

namespace quillon {

class TNumberBox;

class TLengthDialog : public QDialog {
  Q_OBJECT
 public:
  using QDialog::QDialog;

  // Called before every showing: the overlay editor for every box, and the length boxes
  // converted once to the unit of `options` when it differs from the unit they show.
  void setUnitMode(const TQN_Options &options);
  TUnitMode currentUnitMode() const { return FCurrentUnitMode; }
  // A length box's value in millimetres.
  double boxMm(const TNumberBox *box) const;
  // Shows a length in millimetres in a length box, in the dialog's unit.
  void setBoxMm(TNumberBox *box, double mm);

 protected:
  // A number box of the dialog; a length box follows the unit and shows the two-unit hint.
  TNumberBox *addBox(const char *name, double min, double max, double value, int digits, bool length);
  // A label that shows the length unit of the dialog ("mm" or "in").
  QLabel *unitLabel();
  // Enter in a box evaluates its text. When the text is not arithmetic, `report` says so
  // in an error box (the box keeps its value); otherwise the failure is passed over.
  // `after` runs when Enter was handled (also after a failure).
  void evaluateOnEnter(TNumberBox *box, bool report, std::function<void()> after = {});
  // Shows the box's value in both units as its hint.
  void showHint(TNumberBox *box);

  bool eventFilter(QObject *watched, QEvent *event) override;

  const TQN_Options *FOptions = nullptr;
  TUnitMode FCurrentUnitMode = umMM;
  QList<TNumberBox *> FBoxes;
  QList<TNumberBox *> FLengthBoxes;
  QList<QLabel *> FUnitLabels;
};

}  // namespace quillon
