#pragma once
// The stitching tool's widgets: the controls of the ribbon's pricking tab
// (tabTop_Pricking) and the iron tree on the right-hand "Pricking Irons" tab
// (TabPrickingIrons). Both are thin: each change calls the stitching state's command
// (stitching/stitch_state.h) and sync() shows the editor's state again.
#include <QString>
#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quillon {

class TEditor;
class TNumberBox;
class TPrickingIronGroup;

// The controls of the pricking tab, laid out in `page`.
class TPrickingRibbon : public QObject {
  Q_OBJECT
 public:
  TPrickingRibbon(TEditor &editor, QWidget *page);

  // Shows the editor's state: checks, values, enabling and the unit of the pitch box.
  void sync();

  QCheckBox *chkInverted = nullptr;
  QLabel *lblAutoPrickingMode = nullptr;
  QRadioButton *rbFixedPitch = nullptr;
  TNumberBox *nbFixedPitchLen1 = nullptr;
  QLabel *lblFixedPitchUnit = nullptr;
  QRadioButton *rbAutoPitchAdjust = nullptr;
  QRadioButton *rbSetNumOfHoles = nullptr;
  TNumberBox *nbNumOfStitchingHoles = nullptr;
  QLabel *lblCornerMode = nullptr;
  QComboBox *cmbCornerMode = nullptr;
  QLabel *lblCornerAngle = nullptr;
  TNumberBox *nbCornerAngle = nullptr;
  QCheckBox *chkReduceOneBlade = nullptr;

 private:
  // Runs a change through the guarded call, then shows the state again.
  template <class Body>
  void change(const char *what, Body &&body);

  TEditor &FEditor;
  bool FSyncing = false;
};

// The iron tree tvPrickingIrons, laid out in `page`: one item per group and below it one
// item per prong count.
class TPrickingIronTree : public QObject {
  Q_OBJECT
 public:
  TPrickingIronTree(TEditor &editor, QWidget *page);

  // Rebuilds the items when the groups or their names changed, and selects the item of
  // the iron and prong count in use.
  void sync();
  // A click on an item (tvPrickingIrons' item click): a prong item chooses its iron; a
  // collapsed group item collapses the others, opens and chooses its first prong item.
  void ClickedPrickingIron(QTreeWidgetItem *item);

  QTreeWidget *tvPrickingIrons = nullptr;

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void fillPrickingIronTree();

  TEditor &FEditor;
  std::vector<QString> FShown;  // the texts the items were built from, group by group
};

}  // namespace quillon
