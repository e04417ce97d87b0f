#include "render/ui/edit_pallet_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <functional>

#include "model/draw_pallet.h"
#include "render/ui/color_picker.h"
#include "shell/editor.h"
#include "shell/expression_parser.h"
#include "shell/guarded_call.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"

namespace quillon {

namespace {

// The thickness box: Enter reads its text as arithmetic ("1+0.5") and takes the result,
// which the box clamps to its range.
class TThicknessBox : public TNumberBox {
 public:
  explicit TThicknessBox(QWidget *parent) : TNumberBox(parent, false) {}

 protected:
  QValidator::State validate(QString &text, int &pos) const override {
    const QValidator::State state = TNumberBox::validate(text, pos);
    if (state != QValidator::Invalid) return state;
    for (QChar c : text)
      if (!(c.isDigit() || QStringLiteral(".+-*/^() ").contains(c))) return QValidator::Invalid;
    return QValidator::Intermediate;
  }

  // Enter is taken here, so it does not also press the window's default button.
  void keyPressEvent(QKeyEvent *event) override {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
      TNumberBox::keyPressEvent(event);
      return;
    }
    try {
      setValue(TExpressionParser(QLatin1Char('.'), 2).ParseExpressionToFloat(cleanText()));
    } catch (const EExpressionError &) {
      // Not arithmetic: the box keeps its value.
    }
    selectAll();
    event->accept();
  }
};

// The sample of the chosen working copy.
class TPalletSample : public QWidget {
 public:
  TPalletSample(QWidget *parent, std::function<const TDrawPallet *()> pallet)
      : QWidget(parent), FPallet(std::move(pallet)) {}

 protected:
  void paintEvent(QPaintEvent *) override {
    guarded(editorUiOf(this), "pbExamplePaint", [this] {
      QPainter p(this);
      if (const TDrawPallet *pallet = FPallet()) paintPalletSample(p, *pallet, width(), height());
    });
  }

 private:
  std::function<const TDrawPallet *()> FPallet;
};

QSpinBox *byteBox(QWidget *parent, const char *name) {
  auto *box = named(new QSpinBox(parent), name);
  box->setRange(0, 255);
  box->setReadOnly(true);
  box->setButtonSymbols(QAbstractSpinBox::NoButtons);
  box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return box;
}

}  // namespace

TfrmEditPallet::TfrmEditPallet(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmEditPallet"));
  setWindowTitle(QStringLiteral("Edit Line Settings"));
  setModal(true);
  resize(580, 444);

  lblEP_LineType = named(new QLabel(QStringLiteral("Line Type:"), this), "lblEP_LineType");
  cmbLineTypeNum = named(new QComboBox(this), "cmbLineTypeNum");

  // Colour.
  lblEP_Color = named(new QLabel(QStringLiteral("Color:"), this), "lblEP_Color");
  ColorQuad1 = named(new TColorQuad(this), "ColorQuad1");
  ColorQuad1->setFixedSize(200, 200);
  ColorPicker1 = named(new THueBar(this), "ColorPicker1");
  ColorPicker1->setFixedSize(20, 200);
  ColorPicker1->setColorQuad(ColorQuad1);
  ColorBox1 = named(new TColorBox(this), "ColorBox1");
  ColorBox1->setFixedSize(100, 40);
  nbPaletteR = byteBox(this, "nbPaletteR");
  nbPaletteG = byteBox(this, "nbPaletteG");
  nbPaletteB = byteBox(this, "nbPaletteB");
  edColor = named(new QLineEdit(this), "edColor");
  edColor->setMaxLength(9);

  // Thickness, pattern, printing.
  lblEP_Thickness = named(new QLabel(QStringLiteral("Thickness:"), this), "lblEP_Thickness");
  nbThickness = named(new TThicknessBox(this), "nbThickness");
  nbThickness->setRange(0.5, 5.0);
  nbThickness->setDecimals(1);
  nbThickness->setSingleStep(0.1);
  nbThickness->setValue(1.5);
  nbThickness->setKeyboardTracking(true);
  lblEP_Pattern = named(new QLabel(QStringLiteral("Pattern:"), this), "lblEP_Pattern");
  rbSolid = named(new QRadioButton(QStringLiteral("Solid"), this), "rbSolid");
  rbDash = named(new QRadioButton(QStringLiteral("Dash"), this), "rbDash");
  rbDot = named(new QRadioButton(QStringLiteral("Dot"), this), "rbDot");
  rbDashDot = named(new QRadioButton(QStringLiteral("Dash-Dot"), this), "rbDashDot");
  rbDashDotDot = named(new QRadioButton(QStringLiteral("Dash-Dot-Dot"), this), "rbDashDotDot");
  auto *patterns = new QButtonGroup(this);
  for (QRadioButton *rb : {rbSolid, rbDash, rbDot, rbDashDot, rbDashDotDot}) patterns->addButton(rb);
  chkIgnoreInPrinting = named(new QCheckBox(QStringLiteral("Ignore at printing"), this), "chkIgnoreInPrinting");
  pbExample = named(new TPalletSample(this, [this] { return selectedPallet(); }), "pbExample");
  pbExample->setFixedSize(240, 210);

  btnOK = named(new QPushButton(QStringLiteral("OK"), this), "btnOK");
  btnOK->setDefault(true);
  btnCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "btnCancel");
  btnDefault = named(new QPushButton(QStringLiteral("Default"), this), "btnDefault");

  // Layout: colour on the left, stroke and sample on the right, buttons below.
  auto *rgb = new QHBoxLayout;
  for (auto [text, box] : {std::pair{"R", nbPaletteR}, std::pair{"G", nbPaletteG}, std::pair{"B", nbPaletteB}}) {
    rgb->addWidget(new QLabel(QString::fromLatin1(text), this));
    rgb->addWidget(box);
  }
  auto *colorSide = new QVBoxLayout;
  colorSide->addWidget(ColorBox1);
  colorSide->addWidget(edColor);
  colorSide->addStretch(1);
  auto *colorRow = new QHBoxLayout;
  colorRow->addWidget(ColorQuad1);
  colorRow->addWidget(ColorPicker1);
  colorRow->addLayout(colorSide);
  auto *left = new QVBoxLayout;
  auto *typeRow = new QHBoxLayout;
  typeRow->addWidget(lblEP_LineType);
  typeRow->addWidget(cmbLineTypeNum, 1);
  left->addLayout(typeRow);
  left->addWidget(lblEP_Color);
  left->addLayout(colorRow);
  left->addLayout(rgb);
  left->addStretch(1);

  auto *right = new QVBoxLayout;
  auto *thicknessRow = new QHBoxLayout;
  thicknessRow->addWidget(lblEP_Thickness);
  thicknessRow->addWidget(nbThickness);
  right->addLayout(thicknessRow);
  right->addWidget(lblEP_Pattern);
  auto *patternGrid = new QGridLayout;
  patternGrid->addWidget(rbSolid, 0, 0);
  patternGrid->addWidget(rbDash, 0, 1);
  patternGrid->addWidget(rbDot, 0, 2);
  patternGrid->addWidget(rbDashDot, 1, 0);
  patternGrid->addWidget(rbDashDotDot, 1, 1, 1, 2);
  right->addLayout(patternGrid);
  right->addWidget(chkIgnoreInPrinting);
  right->addWidget(pbExample);
  right->addStretch(1);

  auto *columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(btnDefault);
  buttons->addStretch(1);
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);

  // Handlers; a failure in one shows on the status line of the window that owns this one.
  connect(cmbLineTypeNum, &QComboBox::currentIndexChanged, this,
          [this](int i) { guarded(editorUiOf(this), "cmbLineTypeNumChange", [&] { cmbLineTypeNumChange(i); }); });
  connect(ColorQuad1, &TColorQuad::colorChanged, this, [this](TAlphaColor c) {
    guarded(editorUiOf(this), "ColorQuad1Change", [&] {
      ColorBox1->setColor(c);
      updatePallet(true);
    });
  });
  const auto restroke = [this](const char *what) { guarded(editorUiOf(this), what, [this] { updatePallet(false); }); };
  connect(nbThickness, &QDoubleSpinBox::valueChanged, this, [restroke](double) { restroke("nbThicknessChange"); });
  for (QRadioButton *rb : {rbSolid, rbDash, rbDot, rbDashDot, rbDashDotDot})
    connect(rb, &QRadioButton::toggled, this, [restroke](bool checked) {
      if (checked) restroke("rbPatternChange");
    });
  connect(chkIgnoreInPrinting, &QCheckBox::toggled, this,
          [restroke](bool) { restroke("chkIgnoreInPrintingClick"); });
  connect(edColor, &QLineEdit::textEdited, this,
          [this](const QString &t) { guarded(editorUiOf(this), "edColorChange", [&] { edColorChange(t); }); });
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(btnDefault, &QPushButton::clicked, this, [this] { done(kDefaultResult); });
}

TfrmEditPallet::~TfrmEditPallet() = default;

void TfrmEditPallet::translate(const TEditor &editor) {
  const std::pair<QWidget *, const char *> keyed[] = {
      {lblEP_LineType, "lblEP_LineType"}, {lblEP_Color, "lblEP_Color"},
      {lblEP_Thickness, "lblEP_Thickness"}, {lblEP_Pattern, "lblEP_Pattern"},
      {chkIgnoreInPrinting, "chkIgnoreInPrinting"},
  };
  for (const auto &[widget, key] : keyed) {
    const QString text = editor.tr(QString::fromLatin1(key));
    if (text.isEmpty()) continue;
    if (auto *label = qobject_cast<QLabel *>(widget)) label->setText(text);
    if (auto *check = qobject_cast<QCheckBox *>(widget)) check->setText(text);
  }
}

void TfrmEditPallet::setPalletList(const TPalletList &list) {
  const bool was = FUpdating;
  FUpdating = true;
  cmbLineTypeNum->clear();
  FPalletList.clear();
  for (const auto &pallet : list) {
    auto copy = std::make_unique<TDrawPallet>();
    copy->copyFrom(*pallet);
    FPalletList.push_back(std::move(copy));
  }
  for (std::size_t i = 0; i < FPalletList.size(); ++i)
    cmbLineTypeNum->addItem(QStringLiteral("Line Type #%1").arg(i + 1), int(i));
  cmbLineTypeNum->setCurrentIndex(FPalletList.empty() ? -1 : 0);
  FUpdating = was;
}

void TfrmEditPallet::copyTo(TPalletList &list) const { copyPalletList(FPalletList, list); }

TDrawPallet *TfrmEditPallet::selectedPallet() const {
  const int i = cmbLineTypeNum->currentIndex();
  return i >= 0 && i < static_cast<int>(FPalletList.size()) ? FPalletList[i].get() : nullptr;
}

TEditPalletResult TfrmEditPallet::resultOf(int dialogResult) {
  if (dialogResult == QDialog::Accepted) return TEditPalletResult::OK;
  if (dialogResult == QDialog::Rejected) return TEditPalletResult::Cancel;
  return TEditPalletResult::Default;
}

void TfrmEditPallet::setControlsColor(TAlphaColor color) {
  ColorPicker1->setColor(color);  // also the linked square
  ColorBox1->setColor(ColorQuad1->color());
}

void TfrmEditPallet::cmbLineTypeNumChange(int) {
  const TDrawPallet *pallet = selectedPallet();
  if (!pallet) return;
  const bool was = FUpdating;
  FUpdating = true;
  setControlsColor(pallet->Color());
  nbThickness->setValue(pallet->FThickness);
  switch (pallet->FDash) {
    case TStrokeDash::Solid: rbSolid->setChecked(true); break;
    case TStrokeDash::Dash: rbDash->setChecked(true); break;
    case TStrokeDash::Dot: rbDot->setChecked(true); break;
    case TStrokeDash::DashDot: rbDashDot->setChecked(true); break;
    default: rbDashDotDot->setChecked(true); break;
  }
  chkIgnoreInPrinting->setChecked(pallet->FIgnoreInPrinting);
  updateColorValues();
  FUpdating = was;
  pbExample->update();
}

void TfrmEditPallet::updatePallet(bool updateColorText) {
  if (FUpdating) return;
  TDrawPallet *pallet = selectedPallet();
  if (!pallet) return;
  pallet->setColor(ColorBox1->color());
  pallet->FThickness = float(nbThickness->value());
  pallet->FDash = dashOfChoice(rbSolid->isChecked(), rbDash->isChecked(), rbDot->isChecked(), rbDashDot->isChecked(),
                               rbDashDotDot->isChecked(), pallet->FDash);
  pallet->FIgnoreInPrinting = chkIgnoreInPrinting->isChecked();
  if (updateColorText) updateColorValues();
  pbExample->update();
}

void TfrmEditPallet::updateColorValues(bool withHexText) {
  const TAlphaColor c = ColorBox1->color();
  nbPaletteR->setValue(int((c >> 16) & 0xFF));
  nbPaletteG->setValue(int((c >> 8) & 0xFF));
  nbPaletteB->setValue(int(c & 0xFF));
  if (withHexText) edColor->setText(colorToHexText(c));
}

void TfrmEditPallet::edColorChange(const QString &text) {
  if (FUpdating) return;
  TAlphaColor color = 0;
  if (!hexTextToColor(text, color) || color == ColorQuad1->color()) return;
  setControlsColor(color);
  updatePallet(false);
  // The R, G and B boxes show the typed colour; the hex text is left as typed.
  updateColorValues(false);
}

}  // namespace quillon
