#include "library/ui/layer_panel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QVBoxLayout>

#include <functional>

#include "library/layer_commands.h"
#include "shell/editor.h"
#include "shell/guarded_call.h"
#include "shell/layer_list.h"

namespace quillon {

namespace {

QString phraseOr(const TEditor &editor, const char *key, const char *english) {
  const QString phrase = editor.tr(QString::fromLatin1(key));
  return phrase.isEmpty() ? QString::fromLatin1(english) : phrase;
}

}  // namespace

TLayerPanel::TLayerPanel(TEditor &editor, QWidget *parent) : QWidget(parent), FEditor(editor) {
  setObjectName(QStringLiteral("pnlLayer"));
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);

  chkHighlightActiveLayer = new QCheckBox(phraseOr(editor, "chkHighlightActiveLayer", "No layer highlight"), this);
  chkHighlightActiveLayer->setObjectName(QStringLiteral("chkHighlightActiveLayer"));
  chkHighlightActiveLayer->setToolTip(QStringLiteral("Highlight the shapes on the active layer"));
  connect(chkHighlightActiveLayer, &QCheckBox::clicked, this, [this](bool checked) {
    run("chkHighlightActiveLayerClick", [&] { chkHighlightActiveLayerClick(FEditor, checked); });
  });
  column->addWidget(chkHighlightActiveLayer);

  auto *header = new QHBoxLayout;
  lblLayerCaption = new QLabel(phraseOr(editor, "lblLayerCaption", "Layer"), this);
  lblLayerCaption->setObjectName(QStringLiteral("lblLayerCaption"));
  btnAddLayer = new QPushButton(QStringLiteral("+"), this);
  btnAddLayer->setObjectName(QStringLiteral("btnAddLayer"));
  btnAddLayer->setToolTip(QStringLiteral("Add a new layer"));
  btnDeleteLayer = new QPushButton(QStringLiteral("-"), this);
  btnDeleteLayer->setObjectName(QStringLiteral("btnDeleteLayer"));
  btnDeleteLayer->setToolTip(QStringLiteral("Delete the current layer"));
  for (QPushButton *b : {btnAddLayer, btnDeleteLayer}) {
    b->setFixedWidth(28);
    b->setFocusPolicy(Qt::NoFocus);
  }
  connect(btnAddLayer, &QPushButton::clicked, this,
          [this] { run("btnAddLayerClick", [&] { actLayer_AddNewLayerExecute(FEditor); }); });
  connect(btnDeleteLayer, &QPushButton::clicked, this,
          [this] { run("btnDeleteLayerClick", [&] { actLayer_DeleteLayerExecute(FEditor); }); });
  header->addWidget(lblLayerCaption, 1);
  header->addWidget(btnAddLayer);
  header->addWidget(btnDeleteLayer);
  column->addLayout(header);

  lbLayers = new QListWidget(this);
  lbLayers->setObjectName(QStringLiteral("lbLayers"));
  lbLayers->setFocusPolicy(Qt::NoFocus);
  lbLayers->setSelectionMode(QAbstractItemView::SingleSelection);
  lbLayers->setContextMenuPolicy(Qt::CustomContextMenu);
  lbLayers->viewport()->installEventFilter(this);
  pmnLayerList = new QMenu(this);
  pmnLayerList->setObjectName(QStringLiteral("pmnLayerList"));
  connect(lbLayers, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
    if (!pmnLayerList->isEmpty()) pmnLayerList->popup(lbLayers->viewport()->mapToGlobal(at));
  });
  column->addWidget(lbLayers, 1);
  sync();
}

void TLayerPanel::run(const char *what, const std::function<void()> &body) {
  guarded(FEditor.ui(), what, body);
  sync();
  emit changed();
}

void TLayerPanel::sync() {
  const TLayerListState &state = FEditor.layers();
  const QSignalBlocker block(lbLayers);
  if (lbLayers->count() != static_cast<int>(state.Rows.size())) {
    lbLayers->clear();
    for (std::size_t i = 0; i < state.Rows.size(); ++i) lbLayers->addItem(new QListWidgetItem);
  }
  for (int i = 0; i < lbLayers->count(); ++i) {
    const TLayerRow &row = state.Rows[static_cast<std::size_t>(i)];
    QListWidgetItem *item = lbLayers->item(i);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    if (item->text() != row.Text) item->setText(row.Text);
    item->setCheckState(row.Visible ? Qt::Checked : Qt::Unchecked);
    item->setData(Qt::UserRole, row.ID);
    item->setForeground(row.Independent ? QBrush(QColor::fromRgba(0xFFFF0000)) : QBrush());
  }
  lbLayers->setCurrentRow(state.Selected);
  if (state.Selected < 0) lbLayers->clearSelection();
  const QSignalBlocker blockCheck(chkHighlightActiveLayer);
  chkHighlightActiveLayer->setChecked(FEditor.display().HighlightActiveLayer);
  btnDeleteLayer->setEnabled(state.Actions.DeleteLayer);
}

bool TLayerPanel::onCheckBox(int row, QPoint at) const {
  QStyleOptionViewItem option;
  option.initFrom(lbLayers);
  option.rect = lbLayers->visualItemRect(lbLayers->item(row));
  option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
  option.checkState = lbLayers->item(row)->checkState();
  option.text = lbLayers->item(row)->text();
  const QRect box = lbLayers->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, lbLayers);
  // A little room around the box, so a press on its edge counts as on it.
  return box.adjusted(-2, -2, 2, 2).contains(at);
}

bool TLayerPanel::eventFilter(QObject *watched, QEvent *event) {
  if (watched != lbLayers->viewport()) return QWidget::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
    return QWidget::eventFilter(watched, event);
  auto *mouse = static_cast<QMouseEvent *>(event);
  // The list's own selection and check handling is replaced by the editor's.
  if (type == QEvent::MouseButtonRelease || mouse->button() != Qt::LeftButton) return true;
  const QPoint at = mouse->position().toPoint();
  const QListWidgetItem *item = lbLayers->itemAt(at);
  if (!item) return true;
  const int row = lbLayers->row(item);
  if (onCheckBox(row, at)) {
    const bool checked = item->checkState() != Qt::Checked;
    run("lbLayersChangeCheck", [&] { lbLayersChangeCheck(FEditor, row, checked); });
  } else if (type == QEvent::MouseButtonDblClick) {
    run("lbLayersDblClick", [&] { lbLayersDblClick(FEditor); });
  } else {
    run("lbLayersClick", [&] {
      lbLayersClick(FEditor);
      selectLayerRow(FEditor, row);
      // A click on the active layer's row changes nothing; its mark is not left over.
      FEditor.layers().FLayerItemClicked = false;
    });
  }
  return true;
}

}  // namespace quillon
