#include "exchange/ui/svg_export_options_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/expression_parser.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"

namespace quillon {

namespace {

// A number box that lets arithmetic be typed ("0.5*2"); Enter evaluates it.
class TExpressionNumberBox : public TNumberBox {
 public:
  explicit TExpressionNumberBox(QWidget *parent) : TNumberBox(parent, false) {}

  QValidator::State validate(QString &text, int &pos) const override {
    const QValidator::State state = TNumberBox::validate(text, pos);
    if (state != QValidator::Invalid) return state;
    static const QRegularExpression expression(QStringLiteral(R"(^[0-9.,+\-*/^()A-Za-z\s]*$)"));
    return expression.match(text).hasMatch() ? QValidator::Intermediate : QValidator::Invalid;
  }
};

}  // namespace

TfrmSVGExportOptions::TfrmSVGExportOptions(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmSVGExportOptions"));
  setWindowTitle(QStringLiteral("SVG/DXF Export Options"));
  auto *layout = new QVBoxLayout(this);

  // Stitching holes.
  gbSVG_StitchingHole = named(new QGroupBox(QStringLiteral("Stitching Holes Shape"), this), "gbSVG_StitchingHole");
  auto *holeLayout = new QGridLayout(gbSVG_StitchingHole);
  lblSVG_HoleShape =
      named(new QLabel(QStringLiteral("Stitching hole shape:"), gbSVG_StitchingHole), "lblSVG_HoleShape");
  rbHole_AsIs = named(new QRadioButton(QStringLiteral("Export as is"), gbSVG_StitchingHole), "rbHole_AsIs");
  rbHole_AsDot = named(new QRadioButton(QStringLiteral("Export as dots"), gbSVG_StitchingHole), "rbHole_AsDot");
  rbHole_AsDot->setChecked(true);
  lblSVG_Diameter = named(new QLabel(QStringLiteral("Diameter:"), gbSVG_StitchingHole), "lblSVG_Diameter");
  nbSVGDotRadius = named<TNumberBox>(new TExpressionNumberBox(gbSVG_StitchingHole), "nbSVGDotRadius");
  nbSVGDotRadius->setDecimals(2);
  nbSVGDotRadius->setRange(0.01, 3.0);
  nbSVGDotRadius->setSingleStep(0.05);
  nbSVGDotRadius->setValue(1.0);
  Label5 = named(new QLabel(QStringLiteral("mm"), gbSVG_StitchingHole), "Label5");
  lblSVG_BladeAsLine = named(
      new QLabel(QStringLiteral("If you want to export a stitching hole not a dot but as a line, please set the width "
                                "of the blade to 0(zero)mm in the pricking iron toolbox then each stitching hole will "
                                "be exported as a single line. "),
                 gbSVG_StitchingHole),
      "lblSVG_BladeAsLine");
  lblSVG_BladeAsLine->setWordWrap(true);
  holeLayout->addWidget(lblSVG_HoleShape, 0, 0);
  holeLayout->addWidget(rbHole_AsIs, 0, 1);
  holeLayout->addWidget(rbHole_AsDot, 0, 2);
  holeLayout->addWidget(lblSVG_Diameter, 1, 1);
  auto *sizeRow = new QHBoxLayout;
  sizeRow->addWidget(nbSVGDotRadius);
  sizeRow->addWidget(Label5);
  sizeRow->addStretch();
  holeLayout->addLayout(sizeRow, 1, 2);
  holeLayout->addWidget(lblSVG_BladeAsLine, 2, 0, 1, 3);
  layout->addWidget(gbSVG_StitchingHole);

  // Export options.
  gbSVG_Options = named(new QGroupBox(QStringLiteral("Export Options"), this), "gbSVG_Options");
  auto *optionsLayout = new QVBoxLayout(gbSVG_Options);
  auto check = [this](const char *text, const char *name, bool checked) {
    auto *box = named(new QCheckBox(QString::fromLatin1(text), gbSVG_Options), name);
    box->setChecked(checked);
    return box;
  };
  chkSVG_Out_Text = check("Include text shapes to SVG/DXF", "chkSVG_Out_Text", false);
  chkSVG_Out_Template = check("Include repository templates to SVG/DXF", "chkSVG_Out_Template", true);
  chkSVGOPT_ExportOnlySelected =
      check("Export only the selected shapes to SVG/DXF.", "chkSVGOPT_ExportOnlySelected", false);
  chkSVGOPT_DoNotExportHiddenLineType =
      check("Do not export the shapes with hidden line type(s).", "chkSVGOPT_DoNotExportHiddenLineType", true);
  chkDXFExportFlipY = check("Invert Y-Axis when exporting as DXF", "chkDXFExportFlipY", true);
  chkSVGOPT_DoNotOutputStrokeDash = check("Do not include stroke dash information in SVG export",
                                          "chkSVGOPT_DoNotOutputStrokeDash", true);
  for (QCheckBox *box : {chkSVG_Out_Text, chkSVG_Out_Template, chkSVGOPT_ExportOnlySelected,
                         chkSVGOPT_DoNotExportHiddenLineType, chkDXFExportFlipY, chkSVGOPT_DoNotOutputStrokeDash})
    optionsLayout->addWidget(box);
  // Their own parent makes the two DXF versions a group of their own ("dxftype").
  auto *dxfType = new QWidget(gbSVG_Options);
  auto *dxfTypeLayout = new QHBoxLayout(dxfType);
  dxfTypeLayout->setContentsMargins(0, 0, 0, 0);
  rbDxfR12 = named(new QRadioButton(QStringLiteral("DXF R12"), dxfType), "rbDxfR12");
  rbDxfR14 = named(new QRadioButton(QStringLiteral("DXF R14"), dxfType), "rbDxfR14");
  rbDxfR14->setChecked(true);
  dxfTypeLayout->addWidget(rbDxfR12);
  dxfTypeLayout->addWidget(rbDxfR14);
  dxfTypeLayout->addStretch();
  optionsLayout->addWidget(dxfType);
  layout->addWidget(gbSVG_Options);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  Button1 = named(new QPushButton(QStringLiteral("Export"), this), "Button1");
  Button2 = named(new QPushButton(QStringLiteral("Cancel"), this), "Button2");
  // Enter in the dot-size box evaluates it; it must not close the window.
  for (QPushButton *b : {Button1, Button2}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  // One size for both exports and every choice: the DXF rows keep their room while the
  // SVG export hides them, and the window is always exactly as large as its contents, so
  // neither a switch between R12 and R14 nor the other export moves the buttons.
  for (QWidget *dxfOnly : std::initializer_list<QWidget *>{rbDxfR12, rbDxfR14, chkDXFExportFlipY}) {
    QSizePolicy policy = dxfOnly->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    dxfOnly->setSizePolicy(policy);
  }
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(rbDxfR14, &QRadioButton::toggled, this, [this] { rbDxfR14Change(); });
  nbSVGDotRadius->installEventFilter(this);
  nbSVGDotRadius->editor()->installEventFilter(this);
  rbDxfR14Change();
}

TfrmSVGExportOptions::~TfrmSVGExportOptions() = default;

void TfrmSVGExportOptions::nbSVGDotRadiusClick() {
  // After the press has placed the cursor.
  QTimer::singleShot(0, nbSVGDotRadius, [box = nbSVGDotRadius] { box->selectAll(); });
}

void TfrmSVGExportOptions::nbSVGDotRadiusKeyDown() {
  try {
    const TExpressionParser parser(QLatin1Char('.'), 2);
    nbSVGDotRadius->setValue(parser.ParseExpressionToFloat(nbSVGDotRadius->editor()->text()));
  } catch (const EExpressionError &e) {
    QMessageBox::critical(this, windowTitle(), QString::fromStdString(e.what()));
  }
}

void TfrmSVGExportOptions::rbDxfR14Change() { chkDXFExportFlipY->setEnabled(!rbDxfR14->isChecked()); }

bool TfrmSVGExportOptions::eventFilter(QObject *watched, QEvent *event) {
  if (watched == nbSVGDotRadius->editor() && event->type() == QEvent::MouseButtonPress) {
    nbSVGDotRadiusClick();
  } else if (watched == nbSVGDotRadius && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      nbSVGDotRadiusKeyDown();
      // Enter leaves the box.
      focusNextChild();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmSVGExportOptions::setValues(const TSVGExportOptionsValues &v) {
  setWindowTitle(v.Caption);
  rbHole_AsIs->setChecked(v.rbHole_AsIs);
  rbHole_AsDot->setChecked(v.rbHole_AsDot);
  nbSVGDotRadius->setValue(v.nbSVGDotRadius);
  chkSVG_Out_Text->setChecked(v.chkSVG_Out_Text);
  chkSVG_Out_Template->setChecked(v.chkSVG_Out_Template);
  chkSVGOPT_ExportOnlySelected->setChecked(v.chkSVGOPT_ExportOnlySelected);
  chkSVGOPT_DoNotExportHiddenLineType->setChecked(v.chkSVGOPT_DoNotExportHiddenLineType);
  chkDXFExportFlipY->setChecked(v.chkDXFExportFlipY);
  chkSVGOPT_DoNotOutputStrokeDash->setChecked(v.chkSVGOPT_DoNotOutputStrokeDash);
  rbDxfR12->setChecked(v.rbDxfR12);
  rbDxfR14->setChecked(v.rbDxfR14);
  rbDxfR12->setVisible(v.DxfControlsVisible);
  rbDxfR14->setVisible(v.DxfControlsVisible);
  chkDXFExportFlipY->setVisible(v.DxfControlsVisible);
  rbDxfR14Change();
}

TSVGExportOptionsValues TfrmSVGExportOptions::values() const {
  TSVGExportOptionsValues v;
  v.Caption = windowTitle();
  v.DxfControlsVisible = !rbDxfR14->isHidden();
  v.rbHole_AsIs = rbHole_AsIs->isChecked();
  v.rbHole_AsDot = rbHole_AsDot->isChecked();
  v.nbSVGDotRadius = nbSVGDotRadius->value();
  v.chkSVG_Out_Text = chkSVG_Out_Text->isChecked();
  v.chkSVG_Out_Template = chkSVG_Out_Template->isChecked();
  v.chkSVGOPT_ExportOnlySelected = chkSVGOPT_ExportOnlySelected->isChecked();
  v.chkSVGOPT_DoNotExportHiddenLineType = chkSVGOPT_DoNotExportHiddenLineType->isChecked();
  v.chkDXFExportFlipY = chkDXFExportFlipY->isChecked();
  v.chkSVGOPT_DoNotOutputStrokeDash = chkSVGOPT_DoNotOutputStrokeDash->isChecked();
  v.rbDxfR12 = rbDxfR12->isChecked();
  v.rbDxfR14 = rbDxfR14->isChecked();
  return v;
}

bool TfrmSVGExportOptions::execute(TSVGExportOptionsValues &v) {
  setValues(v);
  if (exec() != QDialog::Accepted) return false;
  v = values();
  return true;
}

}  // namespace quillon
