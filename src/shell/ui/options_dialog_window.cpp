#include "shell/ui/options_dialog_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/editor.h"
#include "shell/ui/widget_names.h"

namespace quillon {

namespace {

QDoubleSpinBox *numberBox(QWidget *parent, const char *name, double minimum, double maximum, int decimals) {
  auto *box = named(new QDoubleSpinBox(parent), name);
  box->setDecimals(decimals);
  box->setRange(minimum, maximum);
  box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return box;
}

}  // namespace

TfrmOptions::TfrmOptions(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmOptions"));
  setWindowTitle(QStringLiteral("Options"));
  auto *layout = new QVBoxLayout(this);

  // Pricking.
  auto *pitchGroup = new QGroupBox(QStringLiteral("Pricking"), this);
  auto *pitchLayout = new QFormLayout(pitchGroup);
  auto *pitchModes = new QWidget(pitchGroup);
  auto *pitchModesLayout = new QHBoxLayout(pitchModes);
  pitchModesLayout->setContentsMargins(0, 0, 0, 0);
  rbAutoPitchAuto = named(new QRadioButton(QStringLiteral("Automatic pitch"), pitchModes), "rbAutoPitchAuto");
  rbAutoPitchFixed = named(new QRadioButton(QStringLiteral("Fixed pitch"), pitchModes), "rbAutoPitchFixed");
  pitchModesLayout->addWidget(rbAutoPitchAuto);
  pitchModesLayout->addWidget(rbAutoPitchFixed);
  pitchLayout->addRow(pitchModes);
  chkForceFitLastPrick =
      named(new QCheckBox(QStringLiteral("Fit the last hole to the end"), pitchGroup), "chkForceFitLastPrick");
  pitchLayout->addRow(chkForceFitLastPrick);
  nbOP_AutoPitchPrecision = numberBox(pitchGroup, "nbOP_AutoPitchPrecision", 0.001, 0.1, 3);
  pitchLayout->addRow(QStringLiteral("Precision (mm)"), nbOP_AutoPitchPrecision);
  nbOP_AutoPitchSteps = numberBox(pitchGroup, "nbOP_AutoPitchSteps", 1, 1000000, 0);
  pitchLayout->addRow(QStringLiteral("Search steps"), nbOP_AutoPitchSteps);
  nbOP_AutoPitchGapAllowance = numberBox(pitchGroup, "nbOP_AutoPitchGapAllowance", 0.01, 1, 2);
  pitchLayout->addRow(QStringLiteral("Gap allowance (mm)"), nbOP_AutoPitchGapAllowance);
  nbBoxStitchDistance = numberBox(pitchGroup, "nbBoxStitchDistance", 0.1, 1000, 2);
  pitchLayout->addRow(QStringLiteral("Box stitch distance"), nbBoxStitchDistance);
  layout->addWidget(pitchGroup);

  // Editing.
  auto *editGroup = new QGroupBox(QStringLiteral("Editing"), this);
  auto *editLayout = new QFormLayout(editGroup);
  chkUseAutoSave = named(new QCheckBox(QStringLiteral("Auto-save into the project file"), editGroup), "chkUseAutoSave");
  editLayout->addRow(chkUseAutoSave);
  chkIncrementalSelection =
      named(new QCheckBox(QStringLiteral("Clicking adds to the selection"), editGroup), "chkIncrementalSelection");
  editLayout->addRow(chkIncrementalSelection);
  chkOP_TrimUndoHistory =
      named(new QCheckBox(QStringLiteral("Trim the undo history"), editGroup), "chkOP_TrimUndoHistory");
  editLayout->addRow(chkOP_TrimUndoHistory);
  lblOP_GuaranteedUndoSteps =
      named(new QLabel(QStringLiteral("Guaranteed undo steps"), editGroup), "lblOP_GuaranteedUndoSteps");
  nbOP_GuaranteedUndoSteps = numberBox(editGroup, "nbOP_GuaranteedUndoSteps", 1, 10000, 0);
  editLayout->addRow(lblOP_GuaranteedUndoSteps, nbOP_GuaranteedUndoSteps);
  chkOP_ReverseZoomDirection =
      named(new QCheckBox(QStringLiteral("Reverse the wheel zoom direction"), editGroup), "chkOP_ReverseZoomDirection");
  editLayout->addRow(chkOP_ReverseZoomDirection);
  chkOP_ReverseKeyboardPanDirection = named(
      new QCheckBox(QStringLiteral("Reverse the cursor-key pan direction"), editGroup), "chkOP_ReverseKeyboardPanDirection");
  editLayout->addRow(chkOP_ReverseKeyboardPanDirection);
  layout->addWidget(editGroup);

  // Printing.
  auto *printGroup = new QGroupBox(QStringLiteral("Print calibration (mm printed for 100 mm)"), this);
  auto *printLayout = new QFormLayout(printGroup);
  nbPrintCalibrationX = numberBox(printGroup, "nbPrintCalibrationX", 50, 150, 2);
  printLayout->addRow(QStringLiteral("Horizontal"), nbPrintCalibrationX);
  nbPrintCalibrationY = numberBox(printGroup, "nbPrintCalibrationY", 50, 150, 2);
  printLayout->addRow(QStringLiteral("Vertical"), nbPrintCalibrationY);
  layout->addWidget(printGroup);

  // Unit.
  auto *unitGroup = new QGroupBox(QStringLiteral("Unit"), this);
  auto *unitLayout = new QHBoxLayout(unitGroup);
  rbUnitModeMetrics = named(new QRadioButton(QStringLiteral("Millimetres"), unitGroup), "rbUnitModeMetrics");
  rbUnitModeImperial = named(new QRadioButton(QStringLiteral("Inches"), unitGroup), "rbUnitModeImperial");
  unitLayout->addWidget(rbUnitModeMetrics);
  unitLayout->addWidget(rbUnitModeImperial);
  layout->addWidget(unitGroup);

  // Leather images.
  auto *imageGroup = new QGroupBox(QStringLiteral("Leather images"), this);
  auto *imageLayout = new QVBoxLayout(imageGroup);
  chkAutoDownload = named(new QCheckBox(QStringLiteral("Download automatically"), imageGroup), "chkAutoDownload");
  chkNotifyNewImages =
      named(new QCheckBox(QStringLiteral("Tell me about new or updated images"), imageGroup), "chkNotifyNewImages");
  imageLayout->addWidget(chkAutoDownload);
  imageLayout->addWidget(chkNotifyNewImages);
  layout->addWidget(imageGroup);

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  connect(chkOP_TrimUndoHistory, &QCheckBox::toggled, this, [this] { updateUndoStepsEnabled(); });
  // A click into a calibration box selects its whole text.
  nbPrintCalibrationX->findChild<QLineEdit *>()->installEventFilter(this);
  nbPrintCalibrationY->findChild<QLineEdit *>()->installEventFilter(this);
  // Typed arithmetic in the number boxes on Enter comes with the expression parser.
}

TfrmOptions::~TfrmOptions() = default;

void TfrmOptions::updateUndoStepsEnabled() {
  const bool on = chkOP_TrimUndoHistory->isChecked();
  nbOP_GuaranteedUndoSteps->setEnabled(on);
  lblOP_GuaranteedUndoSteps->setEnabled(on);
}

bool TfrmOptions::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::MouseButtonPress) {
    for (QDoubleSpinBox *box : {nbPrintCalibrationX, nbPrintCalibrationY}) {
      if (watched == box->findChild<QLineEdit *>()) {
        // After the press has placed the cursor.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
        break;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmOptions::setValues(const TOptionsDialogValues &v) {
  rbAutoPitchFixed->setChecked(v.rbAutoPitchFixed);
  rbAutoPitchAuto->setChecked(v.rbAutoPitchAuto);
  chkForceFitLastPrick->setChecked(v.chkForceFitLastPrick);
  nbOP_AutoPitchPrecision->setValue(v.nbOP_AutoPitchPrecision);
  nbOP_AutoPitchSteps->setValue(v.nbOP_AutoPitchSteps);
  nbOP_AutoPitchGapAllowance->setValue(v.nbOP_AutoPitchGapAllowance);
  chkUseAutoSave->setChecked(v.chkUseAutoSave);
  chkIncrementalSelection->setChecked(v.chkIncrementalSelection);
  chkOP_TrimUndoHistory->setChecked(v.chkOP_TrimUndoHistory);
  nbOP_GuaranteedUndoSteps->setValue(v.nbOP_GuaranteedUndoSteps);
  nbPrintCalibrationX->setValue(v.nbPrintCalibrationX);
  nbPrintCalibrationY->setValue(v.nbPrintCalibrationY);
  nbBoxStitchDistance->setDecimals(v.nbBoxStitchDistanceDecimals);
  nbBoxStitchDistance->setValue(v.nbBoxStitchDistance);
  chkOP_ReverseZoomDirection->setChecked(v.chkOP_ReverseZoomDirection);
  chkOP_ReverseKeyboardPanDirection->setChecked(v.chkOP_ReverseKeyboardPanDirection);
  rbUnitModeMetrics->setChecked(v.rbUnitModeMetrics);
  rbUnitModeImperial->setChecked(v.rbUnitModeImperial);
  chkAutoDownload->setChecked(v.chkAutoDownload);
  chkNotifyNewImages->setChecked(v.chkNotifyNewImages);
  updateUndoStepsEnabled();
}

TOptionsDialogValues TfrmOptions::values() const {
  TOptionsDialogValues v;
  v.rbAutoPitchFixed = rbAutoPitchFixed->isChecked();
  v.rbAutoPitchAuto = rbAutoPitchAuto->isChecked();
  v.chkForceFitLastPrick = chkForceFitLastPrick->isChecked();
  v.nbOP_AutoPitchPrecision = nbOP_AutoPitchPrecision->value();
  v.nbOP_AutoPitchSteps = nbOP_AutoPitchSteps->value();
  v.nbOP_AutoPitchGapAllowance = nbOP_AutoPitchGapAllowance->value();
  v.chkUseAutoSave = chkUseAutoSave->isChecked();
  v.chkIncrementalSelection = chkIncrementalSelection->isChecked();
  v.chkOP_TrimUndoHistory = chkOP_TrimUndoHistory->isChecked();
  v.nbOP_GuaranteedUndoSteps = nbOP_GuaranteedUndoSteps->value();
  v.nbPrintCalibrationX = nbPrintCalibrationX->value();
  v.nbPrintCalibrationY = nbPrintCalibrationY->value();
  v.nbBoxStitchDistance = nbBoxStitchDistance->value();
  v.nbBoxStitchDistanceDecimals = nbBoxStitchDistance->decimals();
  v.chkOP_ReverseZoomDirection = chkOP_ReverseZoomDirection->isChecked();
  v.chkOP_ReverseKeyboardPanDirection = chkOP_ReverseKeyboardPanDirection->isChecked();
  v.rbUnitModeMetrics = rbUnitModeMetrics->isChecked();
  v.rbUnitModeImperial = rbUnitModeImperial->isChecked();
  v.chkAutoDownload = chkAutoDownload->isChecked();
  v.chkNotifyNewImages = chkNotifyNewImages->isChecked();
  return v;
}

bool TfrmOptions::execute(TEditor &editor, bool *unitChanged) {
  if (unitChanged) *unitChanged = false;
  setValues(fillOptionsDialog(editor));
  if (exec() != QDialog::Accepted) return false;
  const bool changed = applyOptionsDialog(editor, values());
  if (unitChanged) *unitChanged = changed;
  return true;
}

}  // namespace quillon
