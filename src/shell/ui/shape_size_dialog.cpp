#include "shell/ui/shape_size_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shell/ui/dialog_texts.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"

namespace quillon {

namespace {

// A tab of label, box and unit rows.
QWidget *tabOf(QTabWidget *tabs, const char *name, const char *caption) {
  auto *page = named(new QWidget(tabs), name);
  new QGridLayout(page);
  tabs->addTab(page, phrase(tabs, caption));
  return page;
}

void addRow(QWidget *page, const QString &label, QWidget *box, QWidget *unit) {
  auto *grid = static_cast<QGridLayout *>(page->layout());
  const int r = grid->rowCount();
  grid->addWidget(new QLabel(label, page), r, 0);
  box->setParent(page);
  grid->addWidget(box, r, 1);
  unit->setParent(page);
  grid->addWidget(unit, r, 2);
}

}  // namespace

TfrmChangeShapeSize::TfrmChangeShapeSize(QWidget *parent) : TLengthDialog(parent) {
  setObjectName(QStringLiteral("frmChangeShapeSize"));
  setWindowTitle(phrase(this, "frmChangeShapeSize"));
  resize(288, 152);
  auto *layout = new QVBoxLayout(this);
  TabControl1 = named(new QTabWidget(this), "TabControl1");
  layout->addWidget(TabControl1);
  FTabs[0] = tabOf(TabControl1, "LineLength", "tabLineLength");
  FTabs[1] = tabOf(TabControl1, "LineAngle", "tabLineAngle");
  FTabs[2] = tabOf(TabControl1, "ellipse", "tabEllipse");
  FTabs[3] = tabOf(TabControl1, "arc", "tabArc");

  nbLineLength = addBox("nbLineLength", 0.01, 100000, 10, 2, true);
  nbLineAngle = addBox("nbLineAngle", -360, 360, 45, 3, false);
  nbEllipseXlen = addBox("nbEllipseXlen", 0.1, 1000, 10, 2, true);
  nbArcAngle = addBox("nbArcAngle", -360, 360, 45, 3, false);
  nbArcRadius = addBox("nbArcRadius", 0.01, 100000, 10, 2, true);
  const QString degree = QStringLiteral("\u00B0");
  addRow(FTabs[0], phrase(this, "chkLineLength"), nbLineLength, unitLabel());
  addRow(FTabs[1], phrase(this, "lblLineAngle"), nbLineAngle, new QLabel(degree));
  addRow(FTabs[2], phrase(this, "chkEllipseXlen"), nbEllipseXlen, unitLabel());
  addRow(FTabs[3], phrase(this, "lblMandala_rotation"), nbArcAngle, new QLabel(degree));
  addRow(FTabs[3], phrase(this, "lblTextRadius"), nbArcRadius, unitLabel());

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  // Enter closes with OK in every case, a text that is not arithmetic left as it was.
  for (TNumberBox *box : FBoxes) {
    evaluateOnEnter(box, false, [this] { accept(); });
    if (box->HoldsLength())
      connect(box->editor(), &QLineEdit::textChanged, this, [this, box] { showHint(box); });
  }
}

void TfrmChangeShapeSize::showTab(TTab tab) { TabControl1->setCurrentWidget(FTabs[static_cast<int>(tab)]); }

}  // namespace quillon
