#pragma once
// TRibbonPages: the controls of the drawing tools on the pages of the top ribbon: the line,
// ellipse, rectangle, arc, text, centre-line, distance-marking, dimension and trimming
// pages. Every
// control writes its value into the editor's panel values (lengths in millimetres,
// whatever unit the boxes show), which the tools read; a few also act at once:
// - Enter in a number box evaluates its text as arithmetic; in the line length box it then
//   gives the selected lines that length, in an ellipse box the selected ellipses that
//   size;
// - typing into the line length, diameter, height, width and rectangle height boxes ticks
//   the box's check box, typing an angle chooses the relative angle;
// - the text size, rotation, font, stretch, radius, direction and fill lay out the text
//   being typed again.
// syncFromPanel brings the controls in line when a command changed the panel values.
#include <QList>
#include <QObject>

#include <functional>
#include <vector>

#include "shell/options.h"
#include "shell/tool_panel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace quillon {

class TEditor;
class TNumberBox;

class TRibbonPages : public QObject {
  Q_OBJECT
 public:
  // Fills the pages of `ribbon` (found by their object names); the text page keeps the
  // text box the window put there and gets the other text controls beside it.
  TRibbonPages(TEditor &editor, QTabWidget *ribbon, QObject *parent = nullptr);

  // The length boxes of the pages, in the order of the window's list of length boxes.
  QList<TNumberBox *> lengthBoxes() const;
  // Every number box of the pages.
  QList<TNumberBox *> numberBoxes() const;

  // Brings every control in line with the editor's panel values; a box being typed into
  // keeps its text.
  void syncFromPanel();
  // At the first idle moment and after a change of unit: the length boxes (the window's
  // list) are converted to the unit of `settings` when they show the other one, the unit
  // labels show it, and the dimension precision becomes 4 decimals in inches, 2 in
  // millimetres.
  void followUnit(const QList<TNumberBox *> &boxes, const TLengthFormatSettings &settings);

  // Line page.
  QCheckBox *chkLineLength = nullptr;
  TNumberBox *nbLineLength1 = nullptr;
  QLabel *lblLineAngle = nullptr;
  QRadioButton *rbLineAngleNone = nullptr;
  QRadioButton *rbLineRelativeAngle = nullptr;
  TNumberBox *nbLineAngle = nullptr;
  QRadioButton *rbLineHorizontal = nullptr;
  // Ellipse page.
  QCheckBox *chkEllipseXlen = nullptr;
  TNumberBox *nbEllipseXlen1 = nullptr;
  QCheckBox *chkEllipseYlen = nullptr;
  TNumberBox *nbEllipseYlen1 = nullptr;
  // Rectangle page.
  QCheckBox *chkRectWidth = nullptr;
  TNumberBox *nbRectWidth1 = nullptr;
  QCheckBox *chkRectHeight = nullptr;
  TNumberBox *nbRectHeight1 = nullptr;
  // Arc page.
  QRadioButton *rbArc_R = nullptr;
  TNumberBox *nbRforArc1 = nullptr;
  QRadioButton *rbArc_HalfMoonRatio = nullptr;
  TNumberBox *nbArc_HalfMoonRatio = nullptr;
  QRadioButton *rbArc_3_points = nullptr;
  // Text page (beside the window's edText and btnCancelTextEditing).
  TNumberBox *nbFontSize = nullptr;
  TNumberBox *nbTextRotation = nullptr;
  QComboBox *cmbFontNames = nullptr;
  QPushButton *btnEditFontList = nullptr;
  TNumberBox *nbTextTracking = nullptr;
  TNumberBox *nbTextRadius1 = nullptr;
  QCheckBox *chkTextCCW = nullptr;
  QCheckBox *chkTextFill = nullptr;
  // Centre-line page.
  TNumberBox *nbCenterLineLength1 = nullptr;
  TNumberBox *nbNumDividingCenter = nullptr;
  QCheckBox *chkDrawEdges = nullptr;
  // Distance-marking page.
  TNumberBox *nbMarkingDistance1 = nullptr;
  TNumberBox *nbMarkLen1 = nullptr;
  TNumberBox *nbR = nullptr;            // corner-rounding radius
  TNumberBox *nbOffsetDist1 = nullptr;  // offset distance
  QCheckBox *chkDrawFirstPos = nullptr;
  QCheckBox *chkContinuousDistanceMarking = nullptr;
  // Dimension page.
  QComboBox *cmbDim_Pallet = nullptr;
  TNumberBox *nbDim_Gap1 = nullptr;
  TNumberBox *nbDMS_FontSize = nullptr;
  TNumberBox *nbDMS_Precision = nullptr;
  QCheckBox *chkDms_SingleLine = nullptr;
  QCheckBox *chkDms_TextInside = nullptr;
  QCheckBox *chkDms_ArrowOnly = nullptr;
  QCheckBox *chkDms_TextReverse = nullptr;
  // Trimming page: the notch mode and the notch's depth and full opening angle.
  QCheckBox *chkTrim_NotchMode = nullptr;
  TNumberBox *nbNotchDepth1 = nullptr;
  TNumberBox *nbNotchAngle = nullptr;

 signals:
  // "Edit Font List" was clicked.
  void editFontListRequested();

 private:
  void buildLinePage(QWidget *page);
  // A check box with its length box, as the ellipse and rectangle pages have two of.
  struct TSizeControl {
    const char *CheckName;
    const char *BoxName;
    QCheckBox **Check;
    TNumberBox **Box;
  };
  // The page's row: both check boxes with their length boxes (starting at `value` mm).
  void sizePair(QWidget *page, const TSizeControl &first, const TSizeControl &second, double value);
  void buildEllipsePage(QWidget *page);
  void buildRectPage(QWidget *page);
  void buildArcPage(QWidget *page);
  void buildTextPage(QWidget *page);
  void buildCenterLinePage(QWidget *page);
  void buildDistMarkingPage(QWidget *page);
  void buildDimensionPage(QWidget *page);
  void buildMentoriPage(QWidget *page);
  void buildOffsetPage(QWidget *page);
  void buildTrimmingPage(QWidget *page);

  // The caption of a phrase key in the current language (the key when there is none).
  QString caption(const char *key) const;
  QLabel *label(QWidget *parent, const char *key);
  // A label that shows the length unit ("mm" or "in").
  QLabel *unitLabel(QWidget *parent);
  // Millimetres per unit the length boxes show.
  double unitFactor() const;
  QCheckBox *checkBox(QWidget *parent, const char *key);
  QRadioButton *radio(QWidget *parent, const char *key);
  // A number box named `name` of that range, start value and decimals. A length box shows
  // millimetres and joins the window's list of length boxes.
  TNumberBox *numberBox(QWidget *parent, const char *name, double min, double max, double value, int digits,
                        bool length);

  // Binds a control to its panel value; `changed` runs after the value was written.
  void bind(TNumberBox *box, float TPanelValues::*field, const char *handler, std::function<void()> changed = {});
  void bind(QCheckBox *box, bool TPanelValues::*field, const char *handler, std::function<void()> changed = {});
  void bind(QRadioButton *button, bool TPanelValues::*field);
  // Enter in the box: its text is evaluated, then `apply` runs.
  void onEnter(TNumberBox *box, const char *handler, std::function<void()> apply = {});
  // Typing into the box ticks the check box (not while the unit conversion rewrites it).
  void ticksOnTyping(TNumberBox *box, QCheckBox *check);
  // The value of a box in millimetres (a length box) or as it stands.
  double boxValue(const TNumberBox *box) const;
  void runGuarded(const char *handler, const std::function<void()> &body);
  void enableDependentBoxes();
  void textControlChanged();

  TEditor &FEditor;
  QList<TNumberBox *> FLengthBoxes;
  QList<TNumberBox *> FNumberBoxes;
  QList<QLabel *> FUnitLabels;
  TUnitMode FBoxUnit = umMM;  // the unit the length boxes show
  std::vector<std::function<void()>> FSyncs;
};

}  // namespace quillon
