#pragma once
// TfrmSVGExportOptions: the SVG/DXF export options window. It shows a
// TSVGExportOptionsValues in its controls and reads them back; the export command
// (exchange/export.h) fills it, shows it and stores the choices. The main window makes one
// at start-up and keeps it for the whole run, so the run-only check boxes keep their state
// from one export to the next.
#include <QDialog>

#include "exchange/export.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quillon {

class TNumberBox;

class TfrmSVGExportOptions : public QDialog, public ISVGExportOptionsDialog {
  Q_OBJECT
 public:
  explicit TfrmSVGExportOptions(QWidget *parent = nullptr);
  ~TfrmSVGExportOptions() override;

  void setValues(const TSVGExportOptionsValues &values);

  // ISVGExportOptionsDialog
  TSVGExportOptionsValues values() const override;
  bool execute(TSVGExportOptionsValues &values) override;

  QGroupBox *gbSVG_StitchingHole = nullptr;
  QLabel *lblSVG_HoleShape = nullptr;
  QRadioButton *rbHole_AsIs = nullptr;
  QRadioButton *rbHole_AsDot = nullptr;
  QLabel *lblSVG_Diameter = nullptr;
  TNumberBox *nbSVGDotRadius = nullptr;
  QLabel *Label5 = nullptr;
  QLabel *lblSVG_BladeAsLine = nullptr;
  QGroupBox *gbSVG_Options = nullptr;
  QCheckBox *chkSVG_Out_Text = nullptr;
  QCheckBox *chkSVG_Out_Template = nullptr;
  QCheckBox *chkSVGOPT_ExportOnlySelected = nullptr;
  QCheckBox *chkSVGOPT_DoNotExportHiddenLineType = nullptr;
  QCheckBox *chkDXFExportFlipY = nullptr;
  QCheckBox *chkSVGOPT_DoNotOutputStrokeDash = nullptr;
  QRadioButton *rbDxfR12 = nullptr;
  QRadioButton *rbDxfR14 = nullptr;
  QPushButton *Button1 = nullptr;  // "Export"
  QPushButton *Button2 = nullptr;  // "Cancel"

  // A click into the dot-size box selects its whole text.
  void nbSVGDotRadiusClick();
  // Enter in the dot-size box: its text is evaluated as arithmetic and the result becomes
  // its value; a text that is not a valid expression shows the parser's message.
  void nbSVGDotRadiusKeyDown();
  // The y inversion applies to R12 only.
  void rbDxfR14Change();

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
};

}  // namespace quillon
