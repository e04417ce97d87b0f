#include "stl/ui/stl_export_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "i18n/multi_lang.h"
#include "render/ui/color_picker.h"
#include "shell/guarded_call.h"
#include "shell/length_units.h"
#include "shell/ui/dialog_texts.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"
#include "stl/extrude.h"
#include "stl/ui/stl_preview_widget.h"

namespace quillon {

namespace {

// The material presets: phrase key and colour, in list order.
struct TPreset {
  const char *Key;
  std::uint32_t Color;
};
constexpr TPreset kPresets[] = {
    {"mat_leather_brown", 0xFFCD853F}, {"mat_leather_black", 0xFF3A2A20}, {"mat_acrylic_glossy", 0xFFDCEEFF},
    {"mat_acrylic_clear", 0xFFBFE2FF}, {"mat_metal", 0xFFA8A8B0},         {"mat_matte", 0xFF8A6A4A},
};
constexpr const char *kEdgeKeys[] = {"edge_none", "edge_chamfer", "edge_fillet"};

// The texts of the controls built in code: object name and phrase key.
struct TCodeText {
  const char *Name;
  const char *Key;
};
constexpr TCodeText kTemplateTexts[] = {
    {"FTplToggleGroup", "jig_mode_group"},
    {"rbModePattern", "jig_mode_pattern"},
    {"rbModeJig", "jig_mode_jig"},
    {"gbTplOuter", "jig_outer_group"},
    {"rbTplOuterRectMargin", "jig_outer_rectmargin"},
    {"rbTplOuterRectExplicit", "jig_outer_rectexplicit"},
    {"rbTplOuterPattern", "jig_outer_pattern"},
    {"lblTplOuterMargin", "jig_outer_margin"},
    {"lblTplOuterW", "jig_outer_w"},
    {"lblTplOuterH", "jig_outer_h"},
    {"lblTplOuterR", "jig_outer_r"},
    {"lblTplOuterWarn", "jig_outer_warn"},
    {"gbTplPocket", "jig_pocket_group"},
    {"lblTplTotalHeight", "jig_total_height"},
    {"lblTplPocketGap", "jig_pocket_gap"},
    {"lblTplPocketDepth", "jig_pocket_depth"},
    {"chkTplKeepNested", "jig_keep_nested"},
    {"gbTplFinger", "jig_finger_group"},
    {"chkTplFingerCentroid", "jig_finger_centroid"},
    {"lblTplFingerDiameter", "jig_finger_diameter"},
};

// The designed controls with a text, keyed by their names.
constexpr const char *kDesignedTexts[] = {
    "gbThickness",       "gbEdge",         "lblEdgeTopMode",  "lblEdgeTopSize",   "lblEdgeBottomMode",
    "lblEdgeBottomSize", "lblFilletSteps", "gbStitch",        "rbStitchRound",    "rbStitchOriginal",
    "lblStitchDiameter", "gbStitchSizes",  "lblDiamond",      "lblEuropean",      "lblFlat",
    "gbTextEngrave",     "rbEngraveNone",  "rbEngraveTop",    "rbEngraveBottom",  "chkMultiColor",
    "lblEngraveDepth",   "gbMaterialColor", "lblColor",       "lblMaterial",      "btnOK",
    "btnCancel",         "lblViewHint"};

// A designed number box: its range in millimetres (or plain, for the step count).
struct TBoxRange {
  double Min, Max;
};

// Whether this display can give the viewport an OpenGL context.
bool openGLAvailable() {
  static const bool available = [] {
    QOpenGLContext context;
    return context.create();
  }();
  return available;
}

void setText(QWidget *w, const QString &text) {
  if (auto *g = qobject_cast<QGroupBox *>(w))
    g->setTitle(text);
  else if (auto *b = qobject_cast<QAbstractButton *>(w))
    b->setText(text);
  else if (auto *l = qobject_cast<QLabel *>(w))
    l->setText(text);
}

}  // namespace

TfrmSTLExportOptions::TfrmSTLExportOptions(QWidget *parent)
    : QDialog(parent), FExport([this](const char *key) { return phraseOf(key); }) {
  setObjectName(QStringLiteral("frmSTLExportOptions"));
  setWindowTitle(phraseOf("frmSTLExportOptions"));
  ShowMessage = [this](const QString &, const QString &text) { QMessageBox::information(this, windowTitle(), text); };
  AskSaveFileName = [this](const QString &filter, const QString &suggested) {
    QFileDialog dialog(this, windowTitle(), suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("stl"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
  };
  buildControls();
  resize(1180, 720);
}

TfrmSTLExportOptions::~TfrmSTLExportOptions() = default;

QString TfrmSTLExportOptions::phraseOf(const char *key) const {
  if (FMultiLang) {
    const QString text = FMultiLang->getTranslation(FLangID, QString::fromLatin1(key));
    if (!text.isEmpty()) return text;
  }
  return phrase(this, key);
}

void TfrmSTLExportOptions::wireOption(TNumberBox *box) {
  connect(box, &TNumberBox::numberChanged, this, [this] { guarded(editorUiOf(this), "OptionChange", [this] { OptionChange(); }); });
  connect(box, &TNumberBox::typed, this, [this] { guarded(editorUiOf(this), "OptionChange", [this] { OptionChange(); }); });
}

void TfrmSTLExportOptions::wireTemplate(TNumberBox *box) {
  const auto run = [this, box] {
    guarded(editorUiOf(this), "TemplateOptionChange", [this, box] { TemplateOptionChange(box); });
  };
  connect(box, &TNumberBox::numberChanged, this, run);
  connect(box, &TNumberBox::typed, this, run);
}

void TfrmSTLExportOptions::buildControls() {
  auto *root = new QVBoxLayout(this);
  auto *row = new QHBoxLayout;
  root->addLayout(row, 1);

  // The left column: the mode on top, the groups of settings below it in a scrolling box.
  FColumn = new QWidget(this);
  FColumn->setFixedWidth(545);
  auto *column = new QVBoxLayout(FColumn);
  column->setContentsMargins(0, 0, 0, 0);
  FScroll = new QScrollArea(FColumn);
  FScroll->setObjectName(QStringLiteral("FTplScroll"));
  FScroll->setWidgetResizable(true);
  FScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto *stackHost = new QWidget(FScroll);
  FStack = new QVBoxLayout(stackHost);
  FStack->setContentsMargins(10, 0, 10, 6);
  FStack->setSpacing(6);
  FStack->addStretch(1);
  FScroll->setWidget(stackHost);
  column->addWidget(FScroll, 1);
  row->addWidget(FColumn);

  const auto numberBox = [this](QWidget *parent, const char *name, double value) {
    auto *box = named(new TNumberBox(parent), name);
    box->setAlignment(Qt::AlignRight);
    box->setDecimals(1);
    box->setSingleStep(0);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setKeyboardTracking(true);
    box->setExactValue(value);
    box->setFixedWidth(80);
    wireOption(box);
    return box;
  };
  const auto label = [](QWidget *parent, const char *name) { return named(new QLabel(parent), name); };

  gbThickness = named(new QGroupBox(stackHost), "gbThickness");
  {
    auto *l = new QHBoxLayout(gbThickness);
    nbThickness = numberBox(gbThickness, "nbThickness", 2.5);
    l->addWidget(nbThickness);
    l->addStretch(1);
  }

  gbEdge = named(new QGroupBox(stackHost), "gbEdge");
  {
    auto *g = new QGridLayout(gbEdge);
    cmbEdgeTopMode = named(new QComboBox(gbEdge), "cmbEdgeTopMode");
    cmbEdgeBottomMode = named(new QComboBox(gbEdge), "cmbEdgeBottomMode");
    for (QComboBox *c : {cmbEdgeTopMode, cmbEdgeBottomMode}) {
      for (const char *key : kEdgeKeys) c->addItem(phraseOf(key));
      c->setCurrentIndex(-1);
      connect(c, &QComboBox::currentIndexChanged, this,
              [this] { guarded(editorUiOf(this), "OptionChange", [this] { OptionChange(); }); });
    }
    nbEdgeTopSize = numberBox(gbEdge, "nbEdgeTopSize", 0.5);
    nbEdgeBottomSize = numberBox(gbEdge, "nbEdgeBottomSize", 0.5);
    nbFilletSteps = numberBox(gbEdge, "nbFilletSteps", 6);
    nbFilletSteps->setHoldsLength(false);
    g->addWidget(label(gbEdge, "lblEdgeTopMode"), 0, 0);
    g->addWidget(cmbEdgeTopMode, 0, 1);
    g->addWidget(label(gbEdge, "lblEdgeTopSize"), 0, 2);
    g->addWidget(nbEdgeTopSize, 0, 3);
    g->addWidget(label(gbEdge, "lblEdgeBottomMode"), 1, 0);
    g->addWidget(cmbEdgeBottomMode, 1, 1);
    g->addWidget(label(gbEdge, "lblEdgeBottomSize"), 1, 2);
    g->addWidget(nbEdgeBottomSize, 1, 3);
    g->addWidget(label(gbEdge, "lblFilletSteps"), 2, 0);
    g->addWidget(nbFilletSteps, 2, 1);
    g->setColumnStretch(4, 1);
  }

  gbStitch = named(new QGroupBox(stackHost), "gbStitch");
  {
    auto *g = new QGridLayout(gbStitch);
    rbStitchRound = named(new QRadioButton(gbStitch), "rbStitchRound");
    rbStitchOriginal = named(new QRadioButton(gbStitch), "rbStitchOriginal");
    rbStitchRound->setChecked(true);
    nbStitchDiameter = numberBox(gbStitch, "nbStitchDiameter", 1.6);
    g->addWidget(rbStitchRound, 0, 0);
    g->addWidget(label(gbStitch, "lblStitchDiameter"), 0, 1);
    g->addWidget(nbStitchDiameter, 0, 2);
    g->addWidget(rbStitchOriginal, 1, 0);
    g->setColumnStretch(3, 1);
    gbStitch->setFixedHeight(100);
    for (QRadioButton *b : {rbStitchRound, rbStitchOriginal})
      connect(b, &QRadioButton::toggled, this, [this](bool on) {
        if (on) guarded(editorUiOf(this), "rbStitchRoundChange", [this] { rbStitchRoundChange(); });
      });
  }

  gbStitchSizes = named(new QGroupBox(stackHost), "gbStitchSizes");
  {
    auto *g = new QGridLayout(gbStitchSizes);
    nbDiamondL = numberBox(gbStitchSizes, "nbDiamondL", 2.2);
    nbDiamondW = numberBox(gbStitchSizes, "nbDiamondW", 0.6);
    nbEuropeanL = numberBox(gbStitchSizes, "nbEuropeanL", 2.0);
    nbEuropeanW = numberBox(gbStitchSizes, "nbEuropeanW", 0.25);
    nbFlatL = numberBox(gbStitchSizes, "nbFlatL", 2.0);
    nbFlatW = numberBox(gbStitchSizes, "nbFlatW", 0.3);
    const struct {
      const char *label;
      TNumberBox *length, *width;
    } rows[] = {{"lblDiamond", nbDiamondL, nbDiamondW},
                {"lblEuropean", nbEuropeanL, nbEuropeanW},
                {"lblFlat", nbFlatL, nbFlatW}};
    int r = 0;
    for (const auto &sizeRow : rows) {
      g->addWidget(label(gbStitchSizes, sizeRow.label), r, 0);
      g->addWidget(sizeRow.length, r, 1);
      g->addWidget(new QLabel(QStringLiteral("\u00D7"), gbStitchSizes), r, 2);
      g->addWidget(sizeRow.width, r, 3);
      ++r;
    }
    g->setColumnStretch(4, 1);
  }

  gbTextEngrave = named(new QGroupBox(stackHost), "gbTextEngrave");
  {
    auto *g = new QGridLayout(gbTextEngrave);
    auto *side = new QButtonGroup(gbTextEngrave);
    side->setObjectName(QStringLiteral("EngraveSide"));
    rbEngraveNone = named(new QRadioButton(gbTextEngrave), "rbEngraveNone");
    rbEngraveTop = named(new QRadioButton(gbTextEngrave), "rbEngraveTop");
    rbEngraveBottom = named(new QRadioButton(gbTextEngrave), "rbEngraveBottom");
    side->addButton(rbEngraveNone);
    side->addButton(rbEngraveTop);
    side->addButton(rbEngraveBottom);
    chkMultiColor = named(new QCheckBox(gbTextEngrave), "chkMultiColor");
    nbEngraveDepth = numberBox(gbTextEngrave, "nbEngraveDepth", 0.5);
    g->addWidget(rbEngraveNone, 0, 0);
    g->addWidget(rbEngraveTop, 0, 1);
    g->addWidget(rbEngraveBottom, 0, 2);
    g->addWidget(chkMultiColor, 1, 0, 1, 3);
    g->addWidget(label(gbTextEngrave, "lblEngraveDepth"), 2, 0);
    g->addWidget(nbEngraveDepth, 2, 1);
    for (QAbstractButton *b : {static_cast<QAbstractButton *>(rbEngraveNone), static_cast<QAbstractButton *>(rbEngraveTop),
                               static_cast<QAbstractButton *>(rbEngraveBottom), static_cast<QAbstractButton *>(chkMultiColor)})
      connect(b, &QAbstractButton::toggled, this,
              [this] { guarded(editorUiOf(this), "OptionChange", [this] { OptionChange(); }); });
  }

  gbMaterialColor = named(new QGroupBox(stackHost), "gbMaterialColor");
  {
    auto *g = new QGridLayout(gbMaterialColor);
    ColorPanel1 = named(new TColorQuad(gbMaterialColor), "ColorPanel1");
    ColorPanel1Hue = named(new THueBar(gbMaterialColor), "ColorPanel1Hue");
    ColorPanel1Hue->setColorQuad(ColorPanel1);
    ColorPanel1->setFixedSize(120, 90);
    ColorPanel1Hue->setFixedSize(18, 90);
    cbColor = named(new TColorBox(gbMaterialColor), "cbColor");
    cbColor->setFixedSize(60, 22);
    cmbMaterial = named(new QComboBox(gbMaterialColor), "cmbMaterial");
    for (const TPreset &p : kPresets) cmbMaterial->addItem(phraseOf(p.Key));
    cmbMaterial->setCurrentIndex(-1);
    g->addWidget(label(gbMaterialColor, "lblColor"), 0, 0);
    g->addWidget(ColorPanel1, 0, 1, 2, 1);
    g->addWidget(ColorPanel1Hue, 0, 2, 2, 1);
    g->addWidget(cbColor, 0, 3);
    g->addWidget(label(gbMaterialColor, "lblMaterial"), 2, 0);
    g->addWidget(cmbMaterial, 2, 1, 1, 3);
    g->setColumnStretch(4, 1);
  }

  // The preview on the right.
  pnlPreview = named(new QWidget(this), "pnlPreview");
  pnlPreview->setFixedWidth(620);
  auto *preview = new QVBoxLayout(pnlPreview);
  preview->setContentsMargins(0, 0, 0, 0);
  lblViewHint = label(pnlPreview, "lblViewHint");
  preview->addWidget(lblViewHint);
  pnlPreviewHost = named(new QWidget(pnlPreview), "pnlPreviewHost");
  auto *host = new QVBoxLayout(pnlPreviewHost);
  host->setContentsMargins(0, 0, 0, 0);
  preview->addWidget(pnlPreviewHost, 1);
  row->addWidget(pnlPreview, 1);

  auto *bottom = new QHBoxLayout;
  lblStatus = label(this, "lblStatus");
  lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
  bottom->addWidget(lblStatus, 1);
  btnOK = named(new QPushButton(this), "btnOK");
  btnCancel = named(new QPushButton(this), "btnCancel");
  for (QPushButton *b : {btnOK, btnCancel}) {
    b->setAutoDefault(false);
    bottom->addWidget(b);
  }
  root->addLayout(bottom);
  connect(btnOK, &QPushButton::clicked, this, [this] { guarded(editorUiOf(this), "btnOKClick", [this] { btnOKClick(); }); });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ColorPanel1, &TColorQuad::colorChanged, this, [this](TAlphaColor c) {
    cbColor->setColor(c);
    guarded(editorUiOf(this), "ColorPanel1Click", [this] { ColorPanel1Click(); });
  });
  connect(cmbMaterial, &QComboBox::currentIndexChanged, this,
          [this] { guarded(editorUiOf(this), "MaterialPresetChange", [this] { MaterialPresetChange(); }); });

  // The designed texts; ApplyTranslations puts the dictionary's in their place.
  for (const char *name : kDesignedTexts)
    if (auto *w = findChild<QWidget *>(QString::fromLatin1(name))) setText(w, phraseOf(name));
}

void TfrmSTLExportOptions::BuildTemplateUI() {
  if (FTplUIBuilt) return;
  QWidget *stackHost = FScroll->widget();
  FTplToggleGroup = named(new QGroupBox(FColumn), "FTplToggleGroup");
  FTplToggleGroup->setFixedHeight(50);
  {
    auto *l = new QHBoxLayout(FTplToggleGroup);
    auto *mode = new QButtonGroup(FTplToggleGroup);
    mode->setObjectName(QStringLiteral("STLExportMode"));
    rbModePattern = named(new QRadioButton(FTplToggleGroup), "rbModePattern");
    rbModeJig = named(new QRadioButton(FTplToggleGroup), "rbModeJig");
    mode->addButton(rbModePattern);
    mode->addButton(rbModeJig);
    rbModePattern->setChecked(true);
    l->addWidget(rbModePattern);
    l->addWidget(rbModeJig);
    l->addStretch(1);
  }
  static_cast<QVBoxLayout *>(FColumn->layout())->insertWidget(0, FTplToggleGroup);

  const auto numberBox = [this](QWidget *parent, const char *name, double min, double max, double value) {
    auto *box = named(new TNumberBox(parent, false), name);
    box->setAlignment(Qt::AlignRight);
    box->setDecimals(1);
    box->setRange(min, max);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setFixedWidth(80);
    box->setExactValue(value);
    wireTemplate(box);
    return box;
  };
  const auto wireButton = [this](QAbstractButton *b) {
    connect(b, &QAbstractButton::toggled, this, [this, b](bool on) {
      // Of a radio pair only the one switched on reports.
      if (!on && qobject_cast<QRadioButton *>(b)) return;
      guarded(editorUiOf(this), "TemplateOptionChange", [this, b] { TemplateOptionChange(b); });
    });
  };
  const auto label = [](QWidget *parent, const char *name) { return named(new QLabel(parent), name); };

  gbTplOuter = named(new QGroupBox(stackHost), "gbTplOuter");
  gbTplOuter->setFixedHeight(184);
  {
    auto *g = new QGridLayout(gbTplOuter);
    auto *outer = new QButtonGroup(gbTplOuter);
    rbTplOuterRectMargin = named(new QRadioButton(gbTplOuter), "rbTplOuterRectMargin");
    rbTplOuterRectExplicit = named(new QRadioButton(gbTplOuter), "rbTplOuterRectExplicit");
    rbTplOuterPattern = named(new QRadioButton(gbTplOuter), "rbTplOuterPattern");
    rbTplOuterRectMargin->setChecked(true);
    for (QRadioButton *b : {rbTplOuterRectMargin, rbTplOuterRectExplicit, rbTplOuterPattern}) {
      outer->addButton(b);
      wireButton(b);
    }
    lblTplOuterMargin = label(gbTplOuter, "lblTplOuterMargin");
    lblTplOuterW = label(gbTplOuter, "lblTplOuterW");
    lblTplOuterH = label(gbTplOuter, "lblTplOuterH");
    lblTplOuterR = label(gbTplOuter, "lblTplOuterR");
    nbTplOuterMargin = numberBox(gbTplOuter, "nbTplOuterMargin", 0.1, 100, 5);
    nbTplOuterW = numberBox(gbTplOuter, "nbTplOuterW", 1, 1000, 100);
    nbTplOuterH = numberBox(gbTplOuter, "nbTplOuterH", 1, 1000, 100);
    nbTplOuterR = numberBox(gbTplOuter, "nbTplOuterR", 0, 500, 0);
    lblTplOuterWarn = label(gbTplOuter, "lblTplOuterWarn");
    lblTplOuterWarn->setWordWrap(true);
    lblTplOuterWarn->setFixedSize(510, 56);
    lblTplOuterWarn->setStyleSheet(QStringLiteral("color: #FF8C00;"));
    g->addWidget(rbTplOuterRectMargin, 0, 0, 1, 2);
    g->addWidget(rbTplOuterRectExplicit, 0, 2, 1, 2);
    g->addWidget(rbTplOuterPattern, 1, 0, 1, 2);
    g->addWidget(lblTplOuterMargin, 2, 0);
    g->addWidget(nbTplOuterMargin, 2, 1);
    g->addWidget(lblTplOuterR, 2, 2);
    g->addWidget(nbTplOuterR, 2, 3);
    g->addWidget(lblTplOuterW, 3, 0);
    g->addWidget(nbTplOuterW, 3, 1);
    g->addWidget(lblTplOuterH, 3, 2);
    g->addWidget(nbTplOuterH, 3, 3);
    g->addWidget(lblTplOuterWarn, 4, 0, 1, 5);
    g->setColumnStretch(4, 1);
  }

  gbTplPocket = named(new QGroupBox(stackHost), "gbTplPocket");
  gbTplPocket->setFixedHeight(138);
  {
    auto *g = new QGridLayout(gbTplPocket);
    lblTplTotalHeight = label(gbTplPocket, "lblTplTotalHeight");
    lblTplPocketGap = label(gbTplPocket, "lblTplPocketGap");
    lblTplPocketDepth = label(gbTplPocket, "lblTplPocketDepth");
    nbTplTotalHeight = numberBox(gbTplPocket, "nbTplTotalHeight", 0.5, 100, 5);
    nbTplPocketGap = numberBox(gbTplPocket, "nbTplPocketGap", 0, 5, 0.2);
    nbTplPocketDepth = numberBox(gbTplPocket, "nbTplPocketDepth", 0.1, 100, 5);
    chkTplKeepNested = named(new QCheckBox(gbTplPocket), "chkTplKeepNested");
    wireButton(chkTplKeepNested);
    g->addWidget(lblTplTotalHeight, 0, 0);
    g->addWidget(nbTplTotalHeight, 0, 1);
    g->addWidget(lblTplPocketGap, 1, 0);
    g->addWidget(nbTplPocketGap, 1, 1);
    g->addWidget(lblTplPocketDepth, 2, 0);
    g->addWidget(nbTplPocketDepth, 2, 1);
    g->addWidget(chkTplKeepNested, 3, 0, 1, 3);
    g->setColumnStretch(2, 1);
  }

  gbTplFinger = named(new QGroupBox(stackHost), "gbTplFinger");
  gbTplFinger->setFixedHeight(80);
  {
    auto *g = new QGridLayout(gbTplFinger);
    chkTplFingerCentroid = named(new QCheckBox(gbTplFinger), "chkTplFingerCentroid");
    chkTplFingerCentroid->setChecked(true);
    wireButton(chkTplFingerCentroid);
    lblTplFingerDiameter = label(gbTplFinger, "lblTplFingerDiameter");
    nbTplFingerDiameter = numberBox(gbTplFinger, "nbTplFingerDiameter", 0, 50, 8);
    g->addWidget(chkTplFingerCentroid, 0, 0, 1, 3);
    g->addWidget(lblTplFingerDiameter, 1, 0);
    g->addWidget(nbTplFingerDiameter, 1, 1);
    g->setColumnStretch(2, 1);
  }
  for (QGroupBox *g : {gbTplOuter, gbTplPocket, gbTplFinger}) g->hide();
  wireButton(rbModePattern);
  wireButton(rbModeJig);
  FTplUIBuilt = true;
  ApplyTranslations();
}

// ---------------------------------------------------------------------------------------
// Command side

void TfrmSTLExportOptions::setMultiLang(const TMultiLang *multiLang, const QString &langId) {
  FMultiLang = multiLang;
  FLangID = langId;
  // The extrusion warns once per opening when a shape cannot be made solid.
  SetOpenShapeWarning(phraseOf("stl_msg_open_shape_warning").toStdString(), [this](const std::string &text) {
    ShowMessage(QStringLiteral("stl_msg_open_shape_warning"), QString::fromStdString(text));
  });
}

void TfrmSTLExportOptions::SetupForExport(const TSTLExportInput &input) { FExport.SetupForExport(input); }

void TfrmSTLExportOptions::ShowModal() { exec(); }

void TfrmSTLExportOptions::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || FShowing) return;
  FShowing = true;
  guarded(editorUiOf(this), "FormShow", [this] { FormShow(); });
}

void TfrmSTLExportOptions::done(int result) {
  guarded(editorUiOf(this), "FormClose", [this] { FormClose(); });
  FShowing = false;
  QDialog::done(result);
}

QList<TNumberBox *> TfrmSTLExportOptions::patternBoxes() const {
  return {nbThickness, nbEdgeTopSize, nbEdgeBottomSize, nbStitchDiameter, nbDiamondL, nbDiamondW,
          nbEuropeanL, nbEuropeanW,   nbFlatL,          nbFlatW,          nbEngraveDepth};
}

QList<TNumberBox *> TfrmSTLExportOptions::jigBoxes() const {
  return {nbTplOuterMargin, nbTplOuterW, nbTplOuterH, nbTplOuterR, nbTplTotalHeight, nbTplPocketGap, nbTplPocketDepth,
          nbTplFingerDiameter};
}

void TfrmSTLExportOptions::FormShow() {
  FExport.BeginOpening();
  BuildTemplateUI();
  // The pattern's lengths show in the user's unit: millimetres with one decimal, inches
  // with three, the ranges converted.
  const bool inch = FExport.Input().UnitMode == umIN;
  const TBoxRange ranges[] = {{0.1, 50}, {0, 10}, {0, 10}, {0.5, 5}, {0.1, 10}, {0.05, 5},
                              {0.1, 10}, {0.05, 5}, {0.1, 10}, {0.05, 5}, {0.1, 5}};
  const QList<TNumberBox *> boxes = patternBoxes();
  for (int i = 0; i < boxes.size(); ++i) {
    const QSignalBlocker quiet(boxes[i]);
    boxes[i]->setDecimals(inch ? 3 : 1);
    boxes[i]->setRange(inch ? MmToInch(ranges[i].Min) : ranges[i].Min, inch ? MmToInch(ranges[i].Max) : ranges[i].Max);
  }
  {
    const QSignalBlocker quiet(nbFilletSteps);
    nbFilletSteps->setDecimals(0);
    nbFilletSteps->setRange(2, 16);
  }
  LoadSettings();
  ApplyTranslations();
  gbStitchSizes->setEnabled(rbStitchOriginal->isChecked());
  if (!FViewport && !FNoOpenGL && !openGLAvailable()) {
    // Without OpenGL the window would fail to show a viewport at all: the builds, the
    // status line and saving work the same, only the picture is missing.
    FNoOpenGL = true;
    auto *notice = named(new QLabel(phraseOf("lblNoPreview"), pnlPreviewHost), "lblNoPreview");
    notice->setAlignment(Qt::AlignCenter);
    pnlPreviewHost->layout()->addWidget(notice);
  }
  if (!FViewport && !FNoOpenGL) {
    FViewport = new TSTLPreviewWidget(FExport.Scene(), pnlPreviewHost);
    pnlPreviewHost->layout()->addWidget(FViewport);
    FViewport->OnCameraMoved = [this] {
      FExport.SetViewportSize(FViewport->size());
      FExport.ShowCameraStatus();
      lblStatus->setText(FExport.Status());
    };
  }
  ColorPanel1Hue->setColor(cbColor->color());
  FExport.ApplyMaterial(cbColor->color(), cmbMaterial->currentIndex());
  ApplyExportMode();
  if (FExport.NoClosedShapes())
    QTimer::singleShot(0, this, [this] {
      guarded(editorUiOf(this), "FormShow", [this] {
        if (!isVisible()) return;
        ShowMessage(QStringLiteral("stl_msg_no_closed_shapes"), phraseOf("stl_msg_no_closed_shapes"));
        reject();
      });
    });
}

void TfrmSTLExportOptions::FormClose() { SaveSettings(); }

// ---------------------------------------------------------------------------------------
// Settings

TSTLExportSettings TfrmSTLExportOptions::SettingsFromControls() const {
  TSTLExportSettings s;
  const TUnitMode unit = FExport.Input().UnitMode;
  const auto mm = [unit](const TNumberBox *box) { return GetNumberBoxMm(*box, unit); };
  s.Thickness = mm(nbThickness);
  s.EdgeTopMode = cmbEdgeTopMode->currentIndex();
  s.EdgeTopSize = mm(nbEdgeTopSize);
  s.EdgeBottomMode = cmbEdgeBottomMode->currentIndex();
  s.EdgeBottomSize = mm(nbEdgeBottomSize);
  s.FilletSteps = int(std::lround(GetNumberBoxMm(*nbFilletSteps, umMM)));
  s.StitchAsRound = rbStitchRound->isChecked();
  s.StitchDiameter = mm(nbStitchDiameter);
  s.DiamondL = mm(nbDiamondL);
  s.DiamondW = mm(nbDiamondW);
  s.EuropeanL = mm(nbEuropeanL);
  s.EuropeanW = mm(nbEuropeanW);
  s.FlatL = mm(nbFlatL);
  s.FlatW = mm(nbFlatW);
  s.Color = cbColor->color();
  s.MaterialPreset = cmbMaterial->currentIndex();
  s.EngraveSide = rbEngraveTop->isChecked()      ? TSTLEngraveSide::Top
                  : rbEngraveBottom->isChecked() ? TSTLEngraveSide::Bottom
                                                 : TSTLEngraveSide::None;
  s.MultiColorPrint = chkMultiColor->isChecked();
  s.EngraveDepth = mm(nbEngraveDepth);
  if (FTplUIBuilt) {
    const auto plain = [](const TNumberBox *box) { return GetNumberBoxMm(*box, umMM); };
    s.TemplateMode = rbModeJig->isChecked();
    s.OuterMode = rbTplOuterRectExplicit->isChecked() ? TSTLTemplateOuterMode::omRectExplicit
                  : rbTplOuterPattern->isChecked()    ? TSTLTemplateOuterMode::omPatternOffset
                                                      : TSTLTemplateOuterMode::omRectMargin;
    s.OuterMargin = plain(nbTplOuterMargin);
    s.OuterWidth = plain(nbTplOuterW);
    s.OuterHeight = plain(nbTplOuterH);
    s.OuterCornerR = plain(nbTplOuterR);
    s.TotalHeight = plain(nbTplTotalHeight);
    s.PocketGap = plain(nbTplPocketGap);
    s.PocketDepth = plain(nbTplPocketDepth);
    s.FingerAtCentroid = chkTplFingerCentroid->isChecked();
    s.FingerDiameter = plain(nbTplFingerDiameter);
    s.KeepNestedContours = chkTplKeepNested->isChecked();
  }
  return s;
}

void TfrmSTLExportOptions::ShowSettings(const TSTLExportSettings &s) {
  // Filling the controls is no change of the user's: no build runs meanwhile.
  QList<QObject *> controls;
  for (QWidget *w : findChildren<QWidget *>()) controls << w;
  std::vector<std::unique_ptr<QSignalBlocker>> quiet;
  for (QObject *o : controls) quiet.push_back(std::make_unique<QSignalBlocker>(o));

  const bool inch = FExport.Input().UnitMode == umIN;
  const auto show = [inch](TNumberBox *box, double mm) { box->setExactValue(inch ? MmToInch(mm) : mm); };
  show(nbThickness, s.Thickness);
  cmbEdgeTopMode->setCurrentIndex(s.EdgeTopMode >= 0 && s.EdgeTopMode < 3 ? s.EdgeTopMode : -1);
  show(nbEdgeTopSize, s.EdgeTopSize);
  cmbEdgeBottomMode->setCurrentIndex(s.EdgeBottomMode >= 0 && s.EdgeBottomMode < 3 ? s.EdgeBottomMode : -1);
  show(nbEdgeBottomSize, s.EdgeBottomSize);
  nbFilletSteps->setExactValue(s.FilletSteps);
  rbStitchRound->setChecked(s.StitchAsRound);
  rbStitchOriginal->setChecked(!s.StitchAsRound);
  show(nbStitchDiameter, s.StitchDiameter);
  show(nbDiamondL, s.DiamondL);
  show(nbDiamondW, s.DiamondW);
  show(nbEuropeanL, s.EuropeanL);
  show(nbEuropeanW, s.EuropeanW);
  show(nbFlatL, s.FlatL);
  show(nbFlatW, s.FlatW);
  cbColor->setColor(s.Color);
  ColorPanel1->setColor(s.Color);
  cmbMaterial->setCurrentIndex(s.MaterialPreset >= 0 && s.MaterialPreset < cmbMaterial->count() ? s.MaterialPreset : -1);
  rbEngraveTop->setChecked(s.EngraveSide == TSTLEngraveSide::Top);
  rbEngraveBottom->setChecked(s.EngraveSide == TSTLEngraveSide::Bottom);
  rbEngraveNone->setChecked(s.EngraveSide == TSTLEngraveSide::None);
  chkMultiColor->setChecked(s.MultiColorPrint);
  show(nbEngraveDepth, s.EngraveDepth);
  if (FTplUIBuilt) {
    rbModeJig->setChecked(s.TemplateMode);
    rbModePattern->setChecked(!s.TemplateMode);
    rbTplOuterRectMargin->setChecked(s.OuterMode == TSTLTemplateOuterMode::omRectMargin);
    rbTplOuterRectExplicit->setChecked(s.OuterMode == TSTLTemplateOuterMode::omRectExplicit);
    rbTplOuterPattern->setChecked(s.OuterMode == TSTLTemplateOuterMode::omPatternOffset);
    nbTplOuterMargin->setExactValue(s.OuterMargin);
    nbTplOuterW->setExactValue(s.OuterWidth);
    nbTplOuterH->setExactValue(s.OuterHeight);
    nbTplOuterR->setExactValue(s.OuterCornerR);
    nbTplTotalHeight->setExactValue(s.TotalHeight);
    nbTplPocketGap->setExactValue(s.PocketGap);
    nbTplPocketDepth->setExactValue(s.PocketDepth);
    chkTplFingerCentroid->setChecked(s.FingerAtCentroid);
    nbTplFingerDiameter->setExactValue(s.FingerDiameter);
    chkTplKeepNested->setChecked(s.KeepNestedContours);
  }
}

void TfrmSTLExportOptions::LoadSettings() {
  ShowSettings(loadSTLExportSettings(stlExportSettingsPath(), FExport.Input().UnitMode));
}

void TfrmSTLExportOptions::SaveSettings() { saveSTLExportSettings(stlExportSettingsPath(), SettingsFromControls()); }

// ---------------------------------------------------------------------------------------
// Mode and texts

void TfrmSTLExportOptions::ApplyExportMode() {
  if (!FTplUIBuilt) return;
  QWidget *host = FScroll->widget();
  host->setUpdatesEnabled(false);
  const QList<QGroupBox *> all = {gbThickness, gbEdge,      gbStitch,      gbStitchSizes,  gbTplOuter,
                                  gbTplPocket, gbTplFinger, gbTextEngrave, gbMaterialColor};
  for (QGroupBox *g : all) {
    g->hide();
    FStack->removeWidget(g);
  }
  const bool jig = rbModeJig->isChecked();
  const QList<QGroupBox *> shown =
      jig ? QList<QGroupBox *>{gbTplOuter, gbTplPocket, gbTplFinger, gbTextEngrave, gbMaterialColor}
          : QList<QGroupBox *>{gbThickness, gbEdge, gbStitch, gbStitchSizes, gbTextEngrave, gbMaterialColor};
  int at = 0;
  for (QGroupBox *g : shown) {
    FStack->insertWidget(at++, g);
    g->show();
  }
  host->setUpdatesEnabled(true);
  const TSTLExportSettings s = SettingsFromControls();
  jig ? FExport.RebuildJigPreview(s) : FExport.RebuildPatternPreview(s);
  showMeshAndStatus();
}

void TfrmSTLExportOptions::ApplyTranslations() {
  if (!FMultiLang) return;
  const auto refill = [](QComboBox *box, const QStringList &items) {
    const QSignalBlocker quiet(box);
    const int index = box->currentIndex();
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(index);
  };
  QStringList edges, materials;
  for (const char *key : kEdgeKeys) edges << phraseOf(key);
  for (const TPreset &p : kPresets) materials << phraseOf(p.Key);
  refill(cmbEdgeTopMode, edges);
  refill(cmbEdgeBottomMode, edges);
  refill(cmbMaterial, materials);
  // The designed texts and the caption, each keyed by its control's name.
  setWindowTitle(phraseOf("frmSTLExportOptions"));
  for (const char *name : kDesignedTexts)
    if (auto *w = findChild<QWidget *>(QString::fromLatin1(name))) setText(w, phraseOf(name));
  if (!FTplUIBuilt) return;
  for (const TCodeText &t : kTemplateTexts)
    if (auto *w = findChild<QWidget *>(QString::fromLatin1(t.Name))) {
      const QString text = FMultiLang->getTranslation(FLangID, QString::fromLatin1(t.Key));
      if (!text.isEmpty()) setText(w, text);
    }
}

// ---------------------------------------------------------------------------------------
// Change handlers

void TfrmSTLExportOptions::showMeshAndStatus() {
  if (FViewport) {
    FExport.SetViewportSize(FViewport->size());
    FViewport->meshesChanged();
  }
  lblStatus->setText(FExport.Status());
}

void TfrmSTLExportOptions::OptionChange() {
  if (!FShowing || FExport.InUpdate()) return;
  const TSTLExportSettings s = SettingsFromControls();
  (FTplUIBuilt && rbModeJig->isChecked()) ? FExport.RebuildJigPreview(s) : FExport.RebuildPatternPreview(s);
  showMeshAndStatus();
}

void TfrmSTLExportOptions::rbStitchRoundChange() {
  gbStitchSizes->setEnabled(rbStitchOriginal->isChecked());
  if (!FShowing) return;
  FExport.RebuildPatternPreview(SettingsFromControls());
  showMeshAndStatus();
}

void TfrmSTLExportOptions::TemplateOptionChange(QObject *sender) {
  if (!FShowing || FExport.InUpdate()) return;
  if (sender == rbModePattern || sender == rbModeJig) {
    ApplyExportMode();
    return;
  }
  if (!rbModeJig->isChecked()) return;
  FExport.RebuildJigPreview(SettingsFromControls());
  showMeshAndStatus();
}

void TfrmSTLExportOptions::MaterialPresetChange() {
  const int index = cmbMaterial->currentIndex();
  if (index >= 0 && index < int(std::size(kPresets))) {
    cbColor->setColor(kPresets[index].Color);
    ColorPanel1->setColor(kPresets[index].Color);
    ColorPanel1Hue->setColor(kPresets[index].Color);
  }
  ColorPanel1Click();
}

void TfrmSTLExportOptions::ColorPanel1Click() {
  FExport.ApplyMaterial(cbColor->color(), cmbMaterial->currentIndex());
  if (FViewport) FViewport->update();
}

// ---------------------------------------------------------------------------------------
// Saving

void TfrmSTLExportOptions::btnOKClick() {
  if (FTplUIBuilt && rbModeJig->isChecked())
    SaveJigSTL();
  else
    SavePatternSTL();
}

void TfrmSTLExportOptions::SavePatternSTL() { saveSTL(false); }

void TfrmSTLExportOptions::SaveJigSTL() { saveSTL(true); }

void TfrmSTLExportOptions::saveSTL(bool jig) {
  const QString noMesh = FExport.NoMeshKey(jig);
  if (!noMesh.isEmpty()) {
    ShowMessage(noMesh, phraseOf(noMesh.toLatin1().constData()));
    return;
  }
  // One save dialog for both modes: its filter is that of the save that first asked.
  if (FSaveFilter.isEmpty()) FSaveFilter = jig ? QStringLiteral("STL (*.stl)") : QStringLiteral("STL files (*.stl)");
  const QString fileName = AskSaveFileName(FSaveFilter, jig ? QStringLiteral("template") : QString());
  if (fileName.isEmpty()) return;
  const TSTLSaveResult result =
      jig ? FExport.SaveJig(fileName, chkMultiColor->isChecked()) : FExport.SavePattern(fileName, chkMultiColor->isChecked());
  if (!jig) SaveSettings();
  if (!result.MessageKey.isEmpty()) ShowMessage(result.MessageKey, result.Message);
  accept();
}

}  // namespace quillon
