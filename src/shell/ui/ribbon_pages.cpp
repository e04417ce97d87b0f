#include "shell/ui/ribbon_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>
#include <cmath>

#include "model/draw_pallet.h"
#include "platform/number_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/guarded_call.h"
#include "shell/length_units.h"
#include "shell/options.h"
#include "shell/ui/dialog_texts.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"
#include "tools/panel_commands.h"

namespace quillon {

namespace {

// The length boxes in the order of the window's list of length boxes.
constexpr const char *kLengthBoxOrder[] = {
    "nbOffsetDist1",      "nbLineLength1",     "nbEllipseXlen1", "nbEllipseYlen1", "nbBackdropX1",  "nbBackdropY1",
    "nbCenterLineLength1", "nbRectWidth1",     "nbRectHeight1",  "nbMarkingDistance1", "nbFixedPitchLen1",
    "nbMarkLen1",         "nbDim_Gap1",        "nbTextRadius1",  "nbNotchDepth1",  "nbRforArc1",    "nbR",
};

// A row of controls on a ribbon page.
QHBoxLayout *row(QWidget *page) {
  auto *layout = new QHBoxLayout(page);
  layout->setContentsMargins(6, 3, 6, 3);
  layout->setSpacing(6);
  return layout;
}

QLabel *plainLabel(QWidget *parent, const char *text) { return new QLabel(QString::fromUtf8(text), parent); }

QWidget *gap(QWidget *parent) {
  auto *w = new QWidget(parent);
  w->setFixedWidth(12);
  return w;
}

}  // namespace

TRibbonPages::TRibbonPages(TEditor &editor, QTabWidget *ribbon, QObject *parent) : QObject(parent), FEditor(editor) {
  const auto page = [ribbon](const char *name) { return ribbon->findChild<QWidget *>(QString::fromLatin1(name)); };
  buildLinePage(page("tabTop_Line"));
  buildEllipsePage(page("tabTop_Ellipse"));
  buildRectPage(page("tabTop_Rect"));
  buildArcPage(page("tabTop_Arc"));
  buildTextPage(page("tabTop_Text"));
  buildCenterLinePage(page("tabTop_CenterLine"));
  buildDistMarkingPage(page("tabTop_DistMarking"));
  buildDimensionPage(page("tabTop_Dimension"));
  buildMentoriPage(page("tabTop_Mentori"));
  buildOffsetPage(page("tabTop_Offset"));
  buildTrimmingPage(page("tabTop_Trimming"));
  // The arc tool starts with its three-point option.
  TPanelValues &panel = editor.panel();
  panel.rbArc_R = panel.rbArc_HalfMoonRatio = false;
  panel.rbArc_3_points = true;
  syncFromPanel();
}

// ---------------------------------------------------------------------------------
// Building blocks

QString TRibbonPages::caption(const char *key) const { return phrase(this, key); }

QLabel *TRibbonPages::label(QWidget *parent, const char *key) {
  return named(new QLabel(caption(key), parent), key);
}

QLabel *TRibbonPages::unitLabel(QWidget *parent) {
  // The boxes show millimetres until the first idle moment converts them.
  auto *l = new QLabel(QStringLiteral("mm"), parent);
  FUnitLabels << l;
  return l;
}

QCheckBox *TRibbonPages::checkBox(QWidget *parent, const char *key) {
  return named(new QCheckBox(caption(key), parent), key);
}

QRadioButton *TRibbonPages::radio(QWidget *parent, const char *key) {
  return named(new QRadioButton(caption(key), parent), key);
}

TNumberBox *TRibbonPages::numberBox(QWidget *parent, const char *name, double min, double max, double value,
                                    int digits, bool length) {
  auto *box = named(new TNumberBox(parent, length), name);
  box->setDecimals(digits);
  box->setRange(min, max);
  box->setValue(value);
  box->setKeyboardTracking(false);
  box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  box->setButtonSymbols(QAbstractSpinBox::NoButtons);
  box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")) + 12);
  box->setSelectAllOnClick(true);
  FNumberBoxes << box;
  if (length) FLengthBoxes << box;
  return box;
}

double TRibbonPages::unitFactor() const { return FBoxUnit == umIN ? 25.4 : 1.0; }

double TRibbonPages::boxValue(const TNumberBox *box) const {
  return box->HoldsLength() ? box->Value() * unitFactor() : box->Value();
}

void TRibbonPages::runGuarded(const char *handler, const std::function<void()> &body) {
  guarded(FEditor.ui(), handler, body);
}

void TRibbonPages::bind(TNumberBox *box, float TPanelValues::*field, const char *handler,
                        std::function<void()> changed) {
  const auto store = [this, field, handler, changed](double value) {
    runGuarded(handler, [&] {
      FEditor.panel().*field = float(value);
      if (changed) changed();
    });
  };
  connect(box, &TNumberBox::numberChanged, this, [this, box, store] { store(boxValue(box)); });
  // While a length box is typed into, the tools read its text when it is a number, else
  // its value (the value follows the text at Enter or when the box is left).
  connect(box, &TNumberBox::typed, this, [this, box, store](const QString &text) {
    if (UnitConversionDepth > 0 || !box->HoldsLength()) return;
    const std::optional<double> typed = parseDouble(text.trimmed().toStdString());
    store(typed ? *typed * unitFactor() : boxValue(box));
  });
  FSyncs.push_back([this, box, field] {
    if (box->hasFocus()) return;
    // The panel keeps single precision: a box that rounds to it already shows it.
    const double mm = FEditor.panel().*field;
    if (std::fabs(boxValue(box) - mm) <= 1e-6 * std::max(1.0, std::fabs(mm))) return;
    const QSignalBlocker block(box);
    box->setExactValue(box->HoldsLength() ? mm / unitFactor() : mm);
  });
  onEnter(box, "nbLineLength1KeyDown");
}

void TRibbonPages::bind(QCheckBox *box, bool TPanelValues::*field, const char *handler,
                        std::function<void()> changed) {
  connect(box, &QCheckBox::toggled, this, [this, field, handler, changed](bool on) {
    runGuarded(handler, [&] {
      FEditor.panel().*field = on;
      enableDependentBoxes();
      if (changed) changed();
      FEditor.ui().refreshCanvas();
    });
  });
  FSyncs.push_back([this, box, field] {
    const QSignalBlocker block(box);
    box->setChecked(FEditor.panel().*field);
  });
}

void TRibbonPages::bind(QRadioButton *button, bool TPanelValues::*field) {
  connect(button, &QRadioButton::toggled, this, [this, field](bool on) {
    runGuarded("rbToggled", [&] {
      FEditor.panel().*field = on;
      FEditor.ui().refreshCanvas();
    });
  });
  FSyncs.push_back([this, button, field] {
    const QSignalBlocker block(button);
    if (FEditor.panel().*field) button->setChecked(true);
  });
}

void TRibbonPages::onEnter(TNumberBox *box, const char *handler, std::function<void()> apply) {
  // A box bound twice (the apply step of the length and ellipse boxes) keeps one handler.
  disconnect(box, &TNumberBox::enterPressed, this, nullptr);
  connect(box, &TNumberBox::enterPressed, this, [this, box, handler, apply] {
    runGuarded(handler, [&] {
      box->evaluateText();
      box->selectAll();
      if (apply) apply();
    });
  });
}

void TRibbonPages::ticksOnTyping(TNumberBox *box, QCheckBox *check) {
  connect(box, &TNumberBox::typed, this, [check] {
    if (UnitConversionDepth > 0) return;
    check->setChecked(true);
  });
}

void TRibbonPages::enableDependentBoxes() {
  const TPanelValues &panel = FEditor.panel();
  chkEllipseYlen->setEnabled(panel.chkEllipseXlen);
  nbEllipseYlen1->setEnabled(chkEllipseYlen->isEnabled());
  chkDms_TextInside->setEnabled(panel.chkDms_SingleLine);
}

void TRibbonPages::textControlChanged() { rebuildEditedText(FEditor); }

// ---------------------------------------------------------------------------------
// The pages

void TRibbonPages::buildLinePage(QWidget *page) {
  QHBoxLayout *layout = row(page);
  chkLineLength = checkBox(page, "chkLineLength");
  nbLineLength1 = numberBox(page, "nbLineLength1", 0, 100000, 10, 2, true);
  lblLineAngle = label(page, "lblLineAngle");
  rbLineAngleNone = radio(page, "rbLineAngleNone");
  rbLineRelativeAngle = radio(page, "rbLineRelativeAngle");
  nbLineAngle = numberBox(page, "nbLineAngle", -360, 360, 45, 2, false);
  rbLineHorizontal = radio(page, "rbLineHorizontal");
  for (QWidget *w : std::initializer_list<QWidget *>{chkLineLength, nbLineLength1, unitLabel(page),
                                                     gap(page), lblLineAngle, rbLineAngleNone, rbLineRelativeAngle,
                                                     nbLineAngle, plainLabel(page, "\u00B0"), rbLineHorizontal})
    layout->addWidget(w);
  layout->addStretch(1);

  bind(chkLineLength, &TPanelValues::chkLineLength, "chkLineLengthChange");
  bind(nbLineLength1, &TPanelValues::nbLineLength1, "nbLineLength1Change");
  onEnter(nbLineLength1, "nbLineLength1KeyDown", [this] { applyLineLengthToSelection(FEditor); });
  ticksOnTyping(nbLineLength1, chkLineLength);
  bind(rbLineAngleNone, &TPanelValues::rbLineAngleNone);
  bind(rbLineRelativeAngle, &TPanelValues::rbLineRelativeAngle);
  bind(rbLineHorizontal, &TPanelValues::rbLineHorizontal);
  bind(nbLineAngle, &TPanelValues::nbLineAngle, "nbLineAngleChange");
  // Typing an angle chooses the relative angle.
  connect(nbLineAngle, &TNumberBox::typed, this, [this] { rbLineRelativeAngle->setChecked(true); });
}

void TRibbonPages::sizePair(QWidget *page, const TSizeControl &first, const TSizeControl &second, double value) {
  QHBoxLayout *layout = row(page);
  for (const TSizeControl *c : {&first, &second}) {
    *c->Check = checkBox(page, c->CheckName);
    *c->Box = numberBox(page, c->BoxName, 0, 1000, value, 2, true);
    if (c == &second) layout->addWidget(gap(page));
    layout->addWidget(*c->Check);
    layout->addWidget(*c->Box);
    layout->addWidget(unitLabel(page));
  }
  layout->addStretch(1);
}

void TRibbonPages::buildEllipsePage(QWidget *page) {
  sizePair(page, {"chkEllipseXlen", "nbEllipseXlen1", &chkEllipseXlen, &nbEllipseXlen1},
           {"chkEllipseYlen", "nbEllipseYlen1", &chkEllipseYlen, &nbEllipseYlen1}, 10);

  // The tangent-circle mode recomputes its circles here once the tangent tool exists.
  bind(chkEllipseXlen, &TPanelValues::chkEllipseXlen, "chkEllipseXlenChange");
  bind(chkEllipseYlen, &TPanelValues::chkEllipseYlen, "chkEllipseYlenChange");
  for (TNumberBox *box : {nbEllipseXlen1, nbEllipseYlen1}) {
    const bool x = box == nbEllipseXlen1;
    bind(box, x ? &TPanelValues::nbEllipseXlen1 : &TPanelValues::nbEllipseYlen1, "nbEllipseXlen1Change");
    onEnter(box, "nbLineLength1KeyDown", [this] { applyEllipseSizeToSelection(FEditor); });
    ticksOnTyping(box, x ? chkEllipseXlen : chkEllipseYlen);
  }
}

void TRibbonPages::buildRectPage(QWidget *page) {
  sizePair(page, {"chkRectWidth", "nbRectWidth1", &chkRectWidth, &nbRectWidth1},
           {"chkRectHeight", "nbRectHeight1", &chkRectHeight, &nbRectHeight1}, 30);

  bind(chkRectWidth, &TPanelValues::chkRectWidth, "chkRectWidthChange");
  bind(chkRectHeight, &TPanelValues::chkRectHeight, "chkRectHeightChange");
  bind(nbRectWidth1, &TPanelValues::nbRectWidth1, "nbRectWidth1Change");
  bind(nbRectHeight1, &TPanelValues::nbRectHeight1, "nbRectHeight1Change");
  ticksOnTyping(nbRectWidth1, chkRectWidth);
  ticksOnTyping(nbRectHeight1, chkRectHeight);
}

void TRibbonPages::buildArcPage(QWidget *page) {
  QHBoxLayout *layout = row(page);
  rbArc_R = radio(page, "rbArc_R");
  nbRforArc1 = numberBox(page, "nbRforArc1", 0, 10000, 20, 2, true);
  rbArc_HalfMoonRatio = radio(page, "rbArc_HalfMoonRatio");
  nbArc_HalfMoonRatio = numberBox(page, "nbArc_HalfMoonRatio", 1, 10000, 100, 2, false);
  rbArc_3_points = radio(page, "rbArc_3_points");
  for (QWidget *w : std::initializer_list<QWidget *>{rbArc_R, nbRforArc1, unitLabel(page), gap(page),
                                                     rbArc_HalfMoonRatio, nbArc_HalfMoonRatio,
                                                     plainLabel(page, "%"), gap(page), rbArc_3_points})
    layout->addWidget(w);
  layout->addStretch(1);

  bind(rbArc_R, &TPanelValues::rbArc_R);
  bind(rbArc_HalfMoonRatio, &TPanelValues::rbArc_HalfMoonRatio);
  bind(rbArc_3_points, &TPanelValues::rbArc_3_points);
  bind(nbRforArc1, &TPanelValues::nbRforArc1, "nbRforArc1Change");
  bind(nbArc_HalfMoonRatio, &TPanelValues::nbArc_HalfMoonRatio, "nbArc_HalfMoonRatioChange");
}

void TRibbonPages::buildTextPage(QWidget *page) {
  // The window's text box and Cancel button come first in the page's row; the other
  // controls stand beside them in two rows.
  auto *controls = named(new QWidget(page), "pnlTextOptions");
  auto *grid = new QGridLayout(controls);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);
  nbFontSize = numberBox(controls, "nbFontSize", 1, 1000, 10, 2, false);
  nbTextRotation = numberBox(controls, "nbTextRotation", -360, 360, 0, 2, false);
  cmbFontNames = named(new QComboBox(controls), "cmbFontNames");
  cmbFontNames->setMinimumContentsLength(16);
  cmbFontNames->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  btnEditFontList = named(new QPushButton(caption("actEditFontList"), controls), "btnEditFontList");
  nbTextTracking = numberBox(controls, "nbTextTracking", 0.8, 100, 1, 2, false);
  nbTextTracking->setToolTip(caption("hintTextStretch"));
  nbTextRadius1 = numberBox(controls, "nbTextRadius1", 0, 10000, 0, 2, true);
  nbTextRadius1->setToolTip(caption("hintTextRadius"));
  chkTextCCW = checkBox(controls, "chkTextCCW");
  chkTextFill = checkBox(controls, "chkTextFill");

  grid->addWidget(label(controls, "lblTextFontSize"), 0, 0);
  grid->addWidget(nbFontSize, 0, 1);
  grid->addWidget(label(controls, "lblTextRotation"), 0, 2);
  grid->addWidget(nbTextRotation, 0, 3);
  grid->addWidget(label(controls, "lblTextFont"), 0, 4);
  grid->addWidget(cmbFontNames, 0, 5);
  grid->addWidget(btnEditFontList, 0, 6);
  grid->addWidget(label(controls, "lblTextTracking"), 1, 0);
  grid->addWidget(nbTextTracking, 1, 1);
  grid->addWidget(label(controls, "lblTextRadius"), 1, 2);
  grid->addWidget(nbTextRadius1, 1, 3);
  auto *boxes = new QHBoxLayout;
  boxes->addWidget(unitLabel(controls));
  boxes->addSpacing(12);
  boxes->addWidget(chkTextCCW);
  boxes->addWidget(chkTextFill);
  boxes->addStretch(1);
  grid->addLayout(boxes, 1, 4, 1, 3);
  if (auto *layout = qobject_cast<QBoxLayout *>(page->layout())) layout->addWidget(controls);

  const auto rebuild = [this] { textControlChanged(); };
  bind(nbFontSize, &TPanelValues::TextFontSize, "nbFontSizeChange", rebuild);
  bind(nbTextRotation, &TPanelValues::nbTextRotation, "nbFontSizeChange", rebuild);
  bind(nbTextTracking, &TPanelValues::nbTextTracking, "nbFontSizeChange", rebuild);
  bind(nbTextRadius1, &TPanelValues::nbTextRadius1, "nbFontSizeChange", rebuild);
  bind(chkTextCCW, &TPanelValues::chkTextCCW, "nbFontSizeChange", rebuild);
  bind(chkTextFill, &TPanelValues::chkTextFill, "nbFontSizeChange", rebuild);
  connect(cmbFontNames, &QComboBox::currentIndexChanged, this, [this](int index) {
    runGuarded("nbFontSizeChange", [&] {
      FEditor.panel().SelectedFontIndex = index;
      textControlChanged();
    });
  });
  FSyncs.push_back([this] {
    const TPanelValues &panel = FEditor.panel();
    const QSignalBlocker block(cmbFontNames);
    QStringList shown;
    for (int i = 0; i < cmbFontNames->count(); ++i) shown << cmbFontNames->itemText(i);
    if (shown != panel.FontNames) {
      cmbFontNames->clear();
      cmbFontNames->addItems(panel.FontNames);
    }
    cmbFontNames->setCurrentIndex(panel.SelectedFontIndex);
  });
  connect(btnEditFontList, &QPushButton::clicked, this, &TRibbonPages::editFontListRequested);
}

void TRibbonPages::buildCenterLinePage(QWidget *page) {
  QHBoxLayout *layout = row(page);
  nbCenterLineLength1 = numberBox(page, "nbCenterLineLength1", 1, 1000, 40, 2, true);
  nbNumDividingCenter = numberBox(page, "nbNumDividingCenter", 1, 1000, 2, 0, false);
  chkDrawEdges = checkBox(page, "chkDrawEdges");
  for (QWidget *w : std::initializer_list<QWidget *>{label(page, "lblCenterLineLen"), nbCenterLineLength1,
                                                     unitLabel(page), gap(page),
                                                     label(page, "lblCenterLineDivisions"), nbNumDividingCenter,
                                                     gap(page), chkDrawEdges})
    layout->addWidget(w);
  layout->addStretch(1);

  bind(nbCenterLineLength1, &TPanelValues::nbCenterLineLength1, "nbCenterLineLength1Change");
  bind(nbNumDividingCenter, &TPanelValues::nbNumDividingCenter, "nbNumDividingCenterChange");
  bind(chkDrawEdges, &TPanelValues::chkDrawEdges, "chkDrawEdgesChange");
}

void TRibbonPages::buildDistMarkingPage(QWidget *page) {
  QHBoxLayout *layout = row(page);
  nbMarkingDistance1 = numberBox(page, "nbMarkingDistance1", 0, 1000, 3, 2, true);
  nbMarkLen1 = numberBox(page, "nbMarkLen1", 0, 1000, 3, 2, true);
  chkDrawFirstPos = checkBox(page, "chkDrawFirstPos");
  chkContinuousDistanceMarking = checkBox(page, "chkContinuousDistanceMarking");
  for (QWidget *w : std::initializer_list<QWidget *>{
           label(page, "lblMarkingPos1"), nbMarkingDistance1, label(page, "lblMarkingPos2"), gap(page),
           label(page, "lblMarkingLineLen"), nbMarkLen1, unitLabel(page), gap(page), chkDrawFirstPos,
           chkContinuousDistanceMarking})
    layout->addWidget(w);
  layout->addStretch(1);

  bind(nbMarkingDistance1, &TPanelValues::nbMarkingDistance1, "nbRChangeTracking");
  bind(nbMarkLen1, &TPanelValues::nbMarkLen1, "nbRChangeTracking");
  bind(chkDrawFirstPos, &TPanelValues::chkDrawFirstPos, "chkDrawFirstPosChange");
  bind(chkContinuousDistanceMarking, &TPanelValues::chkContinuousDistanceMarking,
       "chkContinuousDistanceMarkingChange");
}

void TRibbonPages::buildMentoriPage(QWidget *page) {
  QHBoxLayout *layout = row(page);
  nbR = numberBox(page, "nbR", 0, 1000, 5, 2, true);
  nbR->setSingleStep(0.5);
  for (QWidget *w : std::initializer_list<QWidget *>{label(page, "lblMentoriRadius"), nbR, unitLabel(page)})
    layout->addWidget(w);
  layout->addStretch(1);
  bind(nbR, &TPanelValues::nbR, "nbRChange");
}

void TRibbonPages::buildOffsetPage(QWidget *page) {
  QHBoxLayout *layout = row(page);
  nbOffsetDist1 = numberBox(page, "nbOffsetDist1", 0, 1000, 3, 2, true);
  nbOffsetDist1->setSingleStep(0.1);
  for (QWidget *w :
       std::initializer_list<QWidget *>{label(page, "lblOffsetWidth"), nbOffsetDist1, unitLabel(page)})
    layout->addWidget(w);
  layout->addStretch(1);
  bind(nbOffsetDist1, &TPanelValues::nbOffsetDist1, "nbOffsetDist1Change", [this] { FEditor.ui().refreshCanvas(); });
}

void TRibbonPages::buildTrimmingPage(QWidget *page) {
  QHBoxLayout *layout = row(page);
  chkTrim_NotchMode = checkBox(page, "chkTrim_NotchMode");
  nbNotchDepth1 = numberBox(page, "nbNotchDepth1", 0.5, 10000, FEditor.panel().NotchDepth, 2, true);
  nbNotchAngle = numberBox(page, "nbNotchAngle", 5, 120, 45, 2, false);
  for (QWidget *w : std::initializer_list<QWidget *>{chkTrim_NotchMode, gap(page), label(page, "lblNotchDepth"),
                                                     nbNotchDepth1, unitLabel(page), gap(page),
                                                     label(page, "lblNotchAngle"), nbNotchAngle,
                                                     plainLabel(page, "\u00B0")})
    layout->addWidget(w);
  layout->addStretch(1);

  // The notch mode is tool state, not a panel value: choosing a tool clears it.
  connect(chkTrim_NotchMode, &QCheckBox::toggled, this, [this](bool on) {
    runGuarded("chkTrim_NotchModeChange", [&] {
      FEditor.tool().FIsNotchMode = on;
      FEditor.ui().refreshCanvas();
    });
  });
  FSyncs.push_back([this] {
    const QSignalBlocker block(chkTrim_NotchMode);
    chkTrim_NotchMode->setChecked(FEditor.tool().FIsNotchMode);
  });
  bind(nbNotchDepth1, &TPanelValues::NotchDepth, "nbNotchDepth1Change");
  bind(nbNotchAngle, &TPanelValues::NotchAngle, "nbNotchAngleChange");
}

void TRibbonPages::buildDimensionPage(QWidget *page) {
  QHBoxLayout *layout = row(page);
  cmbDim_Pallet = named(new QComboBox(page), "cmbDim_Pallet");
  for (int i = 1; i <= kPalletCount; ++i) cmbDim_Pallet->addItem(caption("cmbDim_PalletItem") + QString::number(i));
  nbDim_Gap1 = numberBox(page, "nbDim_Gap1", 0, 100, 0.5, 2, true);
  nbDMS_FontSize = numberBox(page, "nbDMS_FontSize", 0.5, 200, 2, 2, false);
  nbDMS_Precision = numberBox(page, "nbDMS_Precision", 0, 6, 1, 0, false);
  chkDms_SingleLine = checkBox(page, "chkDms_SingleLine");
  chkDms_TextInside = checkBox(page, "chkDms_TextInside");
  chkDms_ArrowOnly = checkBox(page, "chkDms_ArrowOnly");
  chkDms_TextReverse = checkBox(page, "chkDms_TextReverse");
  for (QWidget *w : std::initializer_list<QWidget *>{
           cmbDim_Pallet, gap(page), label(page, "lblDim_Gap"), nbDim_Gap1, unitLabel(page), gap(page),
           label(page, "lblDMS_FontSize"), nbDMS_FontSize, gap(page), label(page, "lblDMS_Precision"),
           nbDMS_Precision, gap(page), chkDms_SingleLine, chkDms_TextInside, chkDms_ArrowOnly, chkDms_TextReverse})
    layout->addWidget(w);
  layout->addStretch(1);

  connect(cmbDim_Pallet, &QComboBox::currentIndexChanged, this, [this](int index) {
    runGuarded("cmbDim_PalletChange", [&] {
      if (index >= 0) FEditor.panel().DimPalletIndex = index;
      FEditor.ui().refreshCanvas();
    });
  });
  FSyncs.push_back([this] {
    const QSignalBlocker block(cmbDim_Pallet);
    cmbDim_Pallet->setCurrentIndex(FEditor.panel().DimPalletIndex);
  });
  bind(nbDim_Gap1, &TPanelValues::DimGapMm, "nbDim_Gap1Change");
  bind(nbDMS_FontSize, &TPanelValues::DimFontSize, "nbDMS_FontSizeChange");
  // The precision is a whole number of decimals.
  connect(nbDMS_Precision, &TNumberBox::numberChanged, this, [this](double value) {
    runGuarded("nbDMS_PrecisionChange", [&] {
      FEditor.panel().DimPrecision = int(std::lround(value));
      FEditor.ui().refreshCanvas();
    });
  });
  onEnter(nbDMS_Precision, "nbLineLength1KeyDown");
  FSyncs.push_back([this] {
    if (nbDMS_Precision->hasFocus()) return;
    const QSignalBlocker block(nbDMS_Precision);
    nbDMS_Precision->setExactValue(FEditor.panel().DimPrecision);
  });
  bind(chkDms_SingleLine, &TPanelValues::chkDms_SingleLine, "chkDms_SingleLineChange");
  bind(chkDms_TextInside, &TPanelValues::chkDms_TextInside, "chkDms_TextInsideChange");
  bind(chkDms_ArrowOnly, &TPanelValues::chkDms_ArrowOnly, "chkDms_ArrowOnlyChange");
  bind(chkDms_TextReverse, &TPanelValues::chkDms_TextReverse, "chkDms_TextReverseClick");
  for (TNumberBox *box : {nbDim_Gap1, nbDMS_FontSize, nbDMS_Precision}) box->setSelectAllOnClick(false);
}

// ---------------------------------------------------------------------------------

QList<TNumberBox *> TRibbonPages::lengthBoxes() const {
  QList<TNumberBox *> ordered;
  for (const char *name : kLengthBoxOrder)
    for (TNumberBox *box : FLengthBoxes)
      if (box->objectName() == QLatin1String(name)) ordered << box;
  return ordered;
}

QList<TNumberBox *> TRibbonPages::numberBoxes() const { return FNumberBoxes; }

void TRibbonPages::syncFromPanel() {
  for (const auto &sync : FSyncs) sync();
  enableDependentBoxes();
}

void TRibbonPages::followUnit(const QList<TNumberBox *> &boxes, const TLengthFormatSettings &settings) {
  if (settings.UnitMode != FBoxUnit) {
    // The boxes' values reach the panel in the new unit while they are converted.
    FBoxUnit = settings.UnitMode;
    ConvertNumberBoxesUnit(std::vector<INumberBox *>(boxes.begin(), boxes.end()), settings);
  }
  nbDMS_Precision->setExactValue(FBoxUnit == umIN ? 4 : 2);
  const QString unit = FBoxUnit == umIN ? QStringLiteral("in") : QStringLiteral("mm");
  for (QLabel *l : FUnitLabels) l->setText(unit);
}

}  // namespace quillon
