#include "render/ui/palette_bar.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/draw_pallet.h"
#include "platform/input.h"
#include "render/palette_commands.h"
#include "render/ui/edit_pallet_dialog.h"
#include "shell/editor.h"
#include "shell/guarded_call.h"
#include "shell/selection.h"

namespace quillon {

namespace {

constexpr int kPanelWidth = 60;
constexpr int kRowHeight = 17;
constexpr int kBoxWidth = 40;
constexpr int kBoxHeight = 15;
constexpr int kBoxLeft = 18;

// The phrase of a key, or the English text when the dictionary has none.
QString phrase(const TEditor &editor, const char *key, const char *english) {
  const QString text = editor.tr(QString::fromLatin1(key));
  return text.isEmpty() ? QString::fromLatin1(english) : text;
}


}  // namespace

// TPalletBox

TPalletBox::TPalletBox(TEditor &editor, int index, QWidget *parent) : QWidget(parent), FEditor(editor), FIndex(index) {
  setObjectName(QStringLiteral("pbPallet%1").arg(index, 2, 10, QLatin1Char('0')));
  setFixedSize(kBoxWidth, kBoxHeight);
  setToolTip(palletHint(index));
}

void TPalletBox::paintEvent(QPaintEvent *) {
  if (FIndex >= static_cast<int>(FEditor.pen().FPalletList.size())) return;
  guarded(FEditor.ui(), "pbPalletPaint", [this] {
    QPainter p(this);
    paintPalletBox(p, *FEditor.pen().FPalletList[FIndex], width(), height(), FEditor.display().FIsBlackBackgroundMode,
                   FEditor.display().FPrintLineFactor);
  });
}

void TPalletBox::mousePressEvent(QMouseEvent *event) {
  TMouseButton button;
  switch (event->button()) {
    case Qt::LeftButton: button = TMouseButton::Left; break;
    case Qt::RightButton: button = TMouseButton::Right; break;
    case Qt::MiddleButton: button = TMouseButton::Middle; break;
    default: return;
  }
  guarded(FEditor.ui(), "pbPalletMouseDown", [&] {
    const bool wantsMenu = palletBoxMouseDown(FEditor, FIndex, button, shiftStateOf(event->modifiers()));
    emit pressed();
    if (wantsMenu) emit menuRequested(event->globalPosition().toPoint());
  });
}

// TPaletteBar

TPaletteBar::TPaletteBar(TEditor &editor, QWidget *parent) : QWidget(parent), FEditor(editor) {
  setObjectName(QStringLiteral("pnlPallet"));

  pnlPalletLeft = new QWidget(this);
  pnlPalletLeft->setObjectName(QStringLiteral("pnlPalletLeft"));
  pnlPalletRight = new QWidget(this);
  pnlPalletRight->setObjectName(QStringLiteral("pnlPalletRight"));
  for (QWidget *panel : {pnlPalletLeft, pnlPalletRight}) {
    panel->setFixedWidth(kPanelWidth);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
  }

  // #01-#05 and #06-#10 under their digit keys (0 stands for #10), then #11-#25 and
  // #26-#40.
  for (int i = 0; i < 5; ++i) {
    makeRow(pnlPalletLeft, i, QStringLiteral("  %1").arg(i + 1), {});
    makeRow(pnlPalletRight, i + 5, QStringLiteral("  %1").arg((i + 6) % 10), {});
  }
  for (int i = 10; i < 25; ++i) makeRow(pnlPalletLeft, i, {}, {});
  for (int i = 25; i < 40; ++i) makeRow(pnlPalletRight, i, {}, i >= 36 ? QStringLiteral("*") : QString());
  for (QWidget *panel : {pnlPalletLeft, pnlPalletRight})
    static_cast<QVBoxLayout *>(panel->layout())->addStretch(1);

  btnEditPalette = new QPushButton(phrase(editor, "btnEditPalette", "Edit Palette"), this);
  btnEditPalette->setObjectName(QStringLiteral("btnEditPalette"));
  connect(btnEditPalette, &QPushButton::clicked, this,
          [this] { guarded(FEditor.ui(), "btnEditPaletteClick", [this] { btnEditPaletteClick(); }); });

  auto *panels = new QHBoxLayout;
  panels->setContentsMargins(0, 0, 0, 0);
  panels->setSpacing(4);
  panels->addWidget(pnlPalletLeft);
  panels->addWidget(pnlPalletRight);
  panels->addStretch(1);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(panels);
  layout->addWidget(btnEditPalette);

  // The line-type menu of a right click; its commands work on FSelectedPalette.
  pmLinePalette = new QMenu(this);
  pmLinePalette->setObjectName(QStringLiteral("pmLinePalette"));
  struct MenuEntry {
    const char *name;
    const char *english;
    void (*command)(TEditor &);
  };
  const MenuEntry entries[] = {
      {"actLinePaletteShowHide", "Show/hide this line type", actLinePaletteShowHideExecute},
      {"actLinePaletteSelectAll", "Select all shapes with this line type", actLinePaletteSelectAllExecute},
      {"actLinePaletteUnselectLineType", "Unselect all shapes with this line type",
       actLinePaletteUnselectLineTypeExecute},
      {"actLinePaletteUnselectOthers", "Unselect all shapes other than this line type",
       actLinePaletteUnselectOthersExecute},
  };
  for (const MenuEntry &e : entries) {
    QAction *action = pmLinePalette->addAction(phrase(editor, e.name, e.english));
    action->setObjectName(QString::fromLatin1(e.name));
    connect(action, &QAction::triggered, this, [this, name = e.name, command = e.command] {
      guarded(FEditor.ui(), name, [&] {
        command(FEditor);
        repaintPalettes();
      });
    });
  }
}

TPaletteBar::~TPaletteBar() = default;

QWidget *TPaletteBar::makeRow(QWidget *panel, int index, const QString &digitKey, const QString &mark) {
  QWidget *row = nullptr;
  if (!digitKey.isEmpty()) {
    row = new QLabel(digitKey, panel);
  } else {
    row = new QWidget(panel);
    if (!mark.isEmpty()) (new QLabel(mark, row))->setGeometry(4, 0, kBoxLeft - 4, kRowHeight);
  }
  row->setFixedSize(kPanelWidth, kRowHeight);
  auto *box = new TPalletBox(FEditor, index, row);
  box->move(kBoxLeft, (kRowHeight - kBoxHeight) / 2);
  connect(box, &TPalletBox::pressed, this, [this] { repaintPalettes(); });
  connect(box, &TPalletBox::menuRequested, this, [this](QPoint at) { pmLinePalette->popup(at); });
  FBoxes[index] = box;
  panel->layout()->addWidget(row);
  return row;
}

void TPaletteBar::repaintPalettes() {
  pnlPalletRight->update();
  pnlPalletLeft->update();
  for (TPalletBox *box : FBoxes) box->update();
}

void TPaletteBar::btnEditPaletteClick() {
  if (!FEditPallet) {
    FEditPallet = new TfrmEditPallet(window());
    FEditPallet->translate(FEditor);
  }
  FEditPallet->setPalletList(FEditor.pen().FPalletList);
  const int current = getCurrentPaletteIndex(FEditor.pen());
  if (current >= 0) FEditPallet->cmbLineTypeNum->setCurrentIndex(current);
  const int result = FEditPallet->exec();
  applyEditPalletResult(FEditor, TfrmEditPallet::resultOf(result), FEditPallet->palletList());
  repaintPalettes();
}

}  // namespace quillon
