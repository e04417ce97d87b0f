#pragma once
// TfrmSTLExportOptions: the STL export dialog. On the left the mode (3D pattern or
// positioning jig) and, in a scrolling column, the groups of settings of that mode; on
// the right the live 3D preview; the status line along the bottom. Every change of a
// setting rebuilds the mesh (TSTLExport) and the preview. Made on first use and kept for
// the run; the settings live in STLExport.ini, read when it is shown and written when it
// closes.
#include <QDialog>

#include <functional>

#include "stl/stl_export.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QVBoxLayout;
class QWidget;

namespace quillon {

class TColorBox;
class TColorQuad;
class THueBar;
class TNumberBox;
class TSTLPreviewWidget;

class TfrmSTLExportOptions : public QDialog, public ISTLExportDialog {
  Q_OBJECT
 public:
  explicit TfrmSTLExportOptions(QWidget *parent = nullptr);
  ~TfrmSTLExportOptions() override;

  // ISTLExportDialog
  void setMultiLang(const TMultiLang *multiLang, const QString &langId) override;
  void SetupForExport(const TSTLExportInput &input) override;
  void ShowModal() override;

  // The settings the controls hold, lengths in millimetres (the pattern's boxes are read
  // in the dialog's unit), and the other way round.
  TSTLExportSettings SettingsFromControls() const;
  void ShowSettings(const TSTLExportSettings &settings);

  void LoadSettings();
  void SaveSettings();
  void ApplyExportMode();
  void ApplyTranslations();

  // Event handlers.
  void OptionChange();
  void rbStitchRoundChange();
  void TemplateOptionChange(QObject *sender);
  void MaterialPresetChange();
  void ColorPanel1Click();
  void btnOKClick();

  TSTLExport &exporter() { return FExport; }
  TSTLPreviewWidget *viewport() const { return FViewport; }

  // The boxes and questions the dialog shows; tests replace them.
  std::function<void(const QString &key, const QString &text)> ShowMessage;
  std::function<QString(const QString &filter, const QString &suggestedName)> AskSaveFileName;

  // Designed controls.
  QGroupBox *gbThickness = nullptr;
  TNumberBox *nbThickness = nullptr;
  QGroupBox *gbEdge = nullptr;
  QComboBox *cmbEdgeTopMode = nullptr;
  TNumberBox *nbEdgeTopSize = nullptr;
  QComboBox *cmbEdgeBottomMode = nullptr;
  TNumberBox *nbEdgeBottomSize = nullptr;
  TNumberBox *nbFilletSteps = nullptr;
  QGroupBox *gbStitch = nullptr;
  QRadioButton *rbStitchRound = nullptr;
  QRadioButton *rbStitchOriginal = nullptr;
  TNumberBox *nbStitchDiameter = nullptr;
  QGroupBox *gbStitchSizes = nullptr;
  TNumberBox *nbDiamondL = nullptr, *nbDiamondW = nullptr;
  TNumberBox *nbEuropeanL = nullptr, *nbEuropeanW = nullptr;
  TNumberBox *nbFlatL = nullptr, *nbFlatW = nullptr;
  QGroupBox *gbTextEngrave = nullptr;
  QRadioButton *rbEngraveNone = nullptr, *rbEngraveTop = nullptr, *rbEngraveBottom = nullptr;
  QCheckBox *chkMultiColor = nullptr;
  TNumberBox *nbEngraveDepth = nullptr;
  QGroupBox *gbMaterialColor = nullptr;
  THueBar *ColorPanel1Hue = nullptr;
  TColorQuad *ColorPanel1 = nullptr;
  TColorBox *cbColor = nullptr;
  QComboBox *cmbMaterial = nullptr;
  QPushButton *btnOK = nullptr;
  QPushButton *btnCancel = nullptr;
  QLabel *lblViewHint = nullptr;
  QLabel *lblStatus = nullptr;
  QWidget *pnlPreview = nullptr;
  QWidget *pnlPreviewHost = nullptr;

  // Controls of the mode and the jig.
  QGroupBox *FTplToggleGroup = nullptr;
  QRadioButton *rbModePattern = nullptr, *rbModeJig = nullptr;
  QGroupBox *gbTplOuter = nullptr;
  QRadioButton *rbTplOuterRectMargin = nullptr, *rbTplOuterRectExplicit = nullptr, *rbTplOuterPattern = nullptr;
  QLabel *lblTplOuterMargin = nullptr, *lblTplOuterW = nullptr, *lblTplOuterH = nullptr, *lblTplOuterR = nullptr;
  TNumberBox *nbTplOuterMargin = nullptr, *nbTplOuterW = nullptr, *nbTplOuterH = nullptr, *nbTplOuterR = nullptr;
  QLabel *lblTplOuterWarn = nullptr;
  QGroupBox *gbTplPocket = nullptr;
  QLabel *lblTplTotalHeight = nullptr, *lblTplPocketGap = nullptr, *lblTplPocketDepth = nullptr;
  TNumberBox *nbTplTotalHeight = nullptr, *nbTplPocketGap = nullptr, *nbTplPocketDepth = nullptr;
  QCheckBox *chkTplKeepNested = nullptr;
  QGroupBox *gbTplFinger = nullptr;
  QCheckBox *chkTplFingerCentroid = nullptr;
  QLabel *lblTplFingerDiameter = nullptr;
  TNumberBox *nbTplFingerDiameter = nullptr;

 protected:
  void showEvent(QShowEvent *event) override;
  void done(int result) override;

 private:
  void FormShow();
  void FormClose();
  void buildControls();
  void BuildTemplateUI();
  void showMeshAndStatus();
  void SavePatternSTL();
  void SaveJigSTL();
  void saveSTL(bool jig);
  // A phrase of the dictionary set by setMultiLang, else the built-in English phrase.
  QString phraseOf(const char *key) const;
  QList<TNumberBox *> patternBoxes() const;
  QList<TNumberBox *> jigBoxes() const;
  // The setting-change wiring of a control made here.
  void wireOption(TNumberBox *box);
  void wireTemplate(TNumberBox *box);

  const TMultiLang *FMultiLang = nullptr;
  QString FLangID = QStringLiteral("en");
  TSTLExport FExport;
  TSTLPreviewWidget *FViewport = nullptr;
  QVBoxLayout *FStack = nullptr;
  QScrollArea *FScroll = nullptr;
  QWidget *FColumn = nullptr;
  bool FTplUIBuilt = false;
  bool FNoOpenGL = false;  // the display gives no OpenGL: a notice stands in for the viewport
  bool FShowing = false;
  QString FSaveFilter;  // the filter of the save that first asked for a file name
};

}  // namespace quillon
