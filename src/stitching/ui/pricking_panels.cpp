#include "stitching/ui/pricking_panels.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

#include "shell/editor.h"
#include "shell/guarded_call.h"
#include "shell/options.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"
#include "stitching/pricking_iron_store.h"
#include "stitching/stitch_state.h"

namespace quillon {

namespace {

constexpr int kGroupRole = Qt::UserRole;    // the item's group (a pointer)
constexpr int kTagRole = Qt::UserRole + 1;  // 0 for a group item, the prong count below it

// The phrase of a key, or the English text while the dictionary has none.
QString phrase(const TEditor &editor, const char *key, const char *english) {
  const QString text = editor.tr(QString::fromLatin1(key));
  return text.isEmpty() ? QString::fromUtf8(english) : text;
}

TNumberBox *numberBox(QWidget *parent, const char *name, double minimum, double maximum, int decimals,
                      bool holdsLength) {
  auto *box = named(new TNumberBox(parent, holdsLength), name);
  box->setDecimals(decimals);
  box->setRange(minimum, maximum);
  box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  box->setKeyboardTracking(false);
  return box;
}

TPrickingIronGroup *groupOf(const QTreeWidgetItem *item) {
  return reinterpret_cast<TPrickingIronGroup *>(item->data(0, kGroupRole).value<quintptr>());
}

// Keeps widget signals quiet while sync() writes the editor's values into them.
class TSyncGuard {
 public:
  explicit TSyncGuard(bool &flag) : FFlag(flag) { FFlag = true; }
  ~TSyncGuard() { FFlag = false; }

 private:
  bool &FFlag;
};

}  // namespace

// ---------------------------------------------------------------------------------
// The pricking tab

TPrickingRibbon::TPrickingRibbon(TEditor &editor, QWidget *page) : QObject(page), FEditor(editor) {
  auto *row = new QHBoxLayout(page);
  row->setContentsMargins(4, 2, 4, 2);
  row->setSpacing(6);

  chkInverted = named(new QCheckBox(phrase(editor, "chkInverted", "Reverse"), page), "chkInverted");
  lblAutoPrickingMode =
      named(new QLabel(phrase(editor, "lblAutoPrickingMode", "Auto Pricking Mode:"), page), "lblAutoPrickingMode");
  rbFixedPitch = named(new QRadioButton(phrase(editor, "rbFixedPitch", "Fixed Pitch:"), page), "rbFixedPitch");
  nbFixedPitchLen1 = numberBox(page, "nbFixedPitchLen1", 0.5, 1000.0, 3, true);
  lblFixedPitchUnit = named(new QLabel(QStringLiteral("mm"), page), "lblFixedPitchUnit");
  rbAutoPitchAdjust =
      named(new QRadioButton(phrase(editor, "rbAutoPitchAdjust", "Auto Pitch"), page), "rbAutoPitchAdjust");
  rbSetNumOfHoles = named(new QRadioButton(phrase(editor, "rbSetNumOfHoles", "Set # of holes:"), page), "rbSetNumOfHoles");
  nbNumOfStitchingHoles = numberBox(page, "nbNumOfStitchingHoles", 3.0, 1000.0, 0, false);
  lblCornerMode = named(new QLabel(phrase(editor, "lblCornerMode", "Jnt.Mode:"), page), "lblCornerMode");
  cmbCornerMode = named(new QComboBox(page), "cmbCornerMode");
  cmbCornerMode->addItems({phrase(editor, "cmbCornerMode_0", "SmartCorner"),
                           phrase(editor, "cmbCornerMode_1", "AllJunctions"),
                           phrase(editor, "cmbCornerMode_2", "Uniform")});
  lblCornerAngle = named(new QLabel(phrase(editor, "lblCornerAngle", "Thresh:"), page), "lblCornerAngle");
  nbCornerAngle = numberBox(page, "nbCornerAngle", 1.0, 179.0, 0, false);
  chkReduceOneBlade =
      named(new QCheckBox(phrase(editor, "chkReduceOneBlade", "Reduce 1 Blade"), page), "chkReduceOneBlade");

  auto *pitchGroup = named(new QButtonGroup(this), "prick_pitch");
  for (QRadioButton *b : {rbFixedPitch, rbAutoPitchAdjust, rbSetNumOfHoles}) pitchGroup->addButton(b);

  row->addWidget(chkInverted);
  row->addSpacing(8);
  row->addWidget(lblAutoPrickingMode);
  for (QWidget *w : std::initializer_list<QWidget *>{rbFixedPitch, nbFixedPitchLen1, lblFixedPitchUnit,
                                                     rbAutoPitchAdjust, rbSetNumOfHoles, nbNumOfStitchingHoles})
    row->addWidget(w);
  row->addSpacing(8);
  for (QWidget *w : std::initializer_list<QWidget *>{lblCornerMode, cmbCornerMode, lblCornerAngle, nbCornerAngle})
    row->addWidget(w);
  row->addSpacing(8);
  row->addWidget(chkReduceOneBlade);
  row->addStretch(1);
  HookNumberBoxes({nbFixedPitchLen1, nbNumOfStitchingHoles, nbCornerAngle});

  connect(chkInverted, &QCheckBox::toggled, this,
          [this](bool on) { change("chkInvertedChange", [&] { chkInvertedChange(FEditor, on); }); });
  const auto pitchButton = [this](QRadioButton *button, TPitchMode mode, const char *what) {
    connect(button, &QRadioButton::toggled, this, [this, mode, what](bool on) {
      if (on) change(what, [&] { prickPitchChange(FEditor, mode); });
    });
  };
  pitchButton(rbFixedPitch, TPitchMode::Fixed, "rbFixedPitchChange");
  pitchButton(rbAutoPitchAdjust, TPitchMode::Auto, "rbAutoPitchAdjustChange");
  pitchButton(rbSetNumOfHoles, TPitchMode::NumOfHoles, "rbSetNumOfHolesChange");
  connect(nbFixedPitchLen1, &QDoubleSpinBox::valueChanged, this, [this] {
    change("nbFixedPitchLen1Change", [&] {
      nbFixedPitchLen1Change(FEditor, float(GetNumberBoxMm(*nbFixedPitchLen1, FEditor.FOptions->UnitMode)));
    });
  });
  connect(nbNumOfStitchingHoles, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    change("nbNumOfStitchingHolesChange", [&] { nbNumOfStitchingHolesChange(FEditor, int(std::lround(v))); });
  });
  connect(cmbCornerMode, &QComboBox::currentIndexChanged, this,
          [this](int index) { change("cmbCornerModeChange", [&] { cmbCornerModeChange(FEditor, index); }); });
  connect(nbCornerAngle, &QDoubleSpinBox::valueChanged, this,
          [this](double v) { change("nbCornerAngleChange", [&] { nbCornerAngleChange(FEditor, float(v)); }); });
  connect(chkReduceOneBlade, &QCheckBox::toggled, this,
          [this](bool on) { change("chkReduceOneBladeChange", [&] { chkReduceOneBladeChange(FEditor, on); }); });
  sync();
}

template <class Body>
void TPrickingRibbon::change(const char *what, Body &&body) {
  if (FSyncing) return;
  guarded(editorUiOf(chkInverted), what, std::forward<Body>(body));
  sync();
}

void TPrickingRibbon::sync() {
  const TSyncGuard guard(FSyncing);
  const TPanelValues &panel = FEditor.panel();
  chkInverted->setChecked(FEditor.tool().FIsInvertedStitchMode);
  rbFixedPitch->setChecked(panel.PitchMode == TPitchMode::Fixed);
  rbAutoPitchAdjust->setChecked(panel.PitchMode == TPitchMode::Auto);
  rbSetNumOfHoles->setChecked(panel.PitchMode == TPitchMode::NumOfHoles);
  nbFixedPitchLen1->setEnabled(panel.PitchMode == TPitchMode::Fixed);
  nbNumOfStitchingHoles->setEnabled(panel.PitchMode == TPitchMode::NumOfHoles);
  const TLengthFormatSettings &format = FEditor.FOptions->LengthFormatSettings;
  lblFixedPitchUnit->setText(FEditor.FOptions->UnitMode == umIN ? QStringLiteral("in") : QStringLiteral("mm"));
  if (!nbFixedPitchLen1->hasFocus()) SetNumberBoxFromMm(panel.FixedPitchLen, nbFixedPitchLen1, format);
  if (!nbNumOfStitchingHoles->hasFocus()) nbNumOfStitchingHoles->setValue(panel.NumOfStitchingHoles);
  cmbCornerMode->setCurrentIndex(panel.CornerModeIndex);
  const bool smartCorner = panel.CornerModeIndex == 0;
  nbCornerAngle->setEnabled(smartCorner);
  lblCornerAngle->setEnabled(smartCorner);
  if (!nbCornerAngle->hasFocus()) nbCornerAngle->setValue(panel.CornerAngle);
  chkReduceOneBlade->setChecked(panel.ReduceOneBlade);
}

// ---------------------------------------------------------------------------------
// The iron tree

TPrickingIronTree::TPrickingIronTree(TEditor &editor, QWidget *page) : QObject(page), FEditor(editor) {
  auto *column = new QVBoxLayout(page);
  column->setContentsMargins(2, 2, 2, 2);
  tvPrickingIrons = named(new QTreeWidget(page), "tvPrickingIrons");
  tvPrickingIrons->setHeaderHidden(true);
  tvPrickingIrons->setColumnCount(1);
  tvPrickingIrons->installEventFilter(this);
  column->addWidget(tvPrickingIrons);
  connect(tvPrickingIrons, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
    guarded(editorUiOf(tvPrickingIrons), "ClickedPrickingIron", [&] { ClickedPrickingIron(item); });
  });
  sync();
}

void TPrickingIronTree::fillPrickingIronTree() {
  tvPrickingIrons->clear();
  for (const TIronTreeItem &g : prickingIronTreeItems(FEditor.FPrickingIronGroups)) {
    auto *top = new QTreeWidgetItem(tvPrickingIrons, {g.Text});
    top->setData(0, kGroupRole, QVariant::fromValue(reinterpret_cast<quintptr>(g.Group)));
    top->setData(0, kTagRole, 0);
    for (const TIronTreeItem &p : g.Children) {
      auto *child = new QTreeWidgetItem(top, {p.Text});
      child->setData(0, kGroupRole, QVariant::fromValue(reinterpret_cast<quintptr>(p.Group)));
      child->setData(0, kTagRole, p.Tag);
    }
  }
}

void TPrickingIronTree::sync() {
  // The groups as they stand: their addresses and item texts.
  std::vector<QString> shown;
  for (const TIronTreeItem &g : prickingIronTreeItems(FEditor.FPrickingIronGroups)) {
    QString line = QString::number(reinterpret_cast<quintptr>(g.Group)) + QLatin1Char(' ') + g.Text;
    for (const TIronTreeItem &p : g.Children) line += QLatin1Char('|') + QString::number(p.Tag);
    shown.push_back(line);
  }
  if (shown != FShown) {
    FShown = std::move(shown);
    fillPrickingIronTree();
  }
  // The item of the iron and prong count in use.
  const TPrickingIron *iron = FEditor.tool().FSelectedPrickingIron;
  for (int i = 0; iron && i < tvPrickingIrons->topLevelItemCount(); ++i) {
    QTreeWidgetItem *top = tvPrickingIrons->topLevelItem(i);
    if (groupOf(top)->PrickingIron.get() != iron) continue;
    for (int c = 0; c < top->childCount(); ++c) {
      QTreeWidgetItem *child = top->child(c);
      if (child->data(0, kTagRole).toInt() != FEditor.tool().FSelectedNumOfBlades) continue;
      if (tvPrickingIrons->currentItem() != child) {
        top->setExpanded(true);
        tvPrickingIrons->setCurrentItem(child);
      }
      return;
    }
  }
}

void TPrickingIronTree::ClickedPrickingIron(QTreeWidgetItem *item) {
  if (!item) return;
  TPrickingIronGroup *group = groupOf(item);
  if (!group) return;
  const int tag = item->data(0, kTagRole).toInt();
  if (tag > 0) {
    quillon::ClickedPrickingIron(FEditor, *group, tag);
    sync();
    return;
  }
  if (item->isExpanded()) return;
  tvPrickingIrons->collapseAll();
  item->setExpanded(true);
  if (item->childCount() == 0) return;
  tvPrickingIrons->setCurrentItem(item->child(0));
  ClickedPrickingIron(item->child(0));
}

bool TPrickingIronTree::eventFilter(QObject *watched, QEvent *event) {
  // A key typed in the tree is the window's: its hot keys keep working there.
  if (watched == tvPrickingIrons && event->type() == QEvent::KeyPress) {
    auto *key = static_cast<QKeyEvent *>(event);
    if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
      if (QWidget *window = tvPrickingIrons->window(); window && window != tvPrickingIrons)
        QCoreApplication::sendEvent(window, event);
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace quillon
