#include "shell/ui/project_memo.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/guarded_call.h"
#include "shell/ui/dialog_texts.h"
#include "shell/ui/widget_names.h"

namespace quillon {

TProjectMemo::TProjectMemo(TEditor &editor, QWidget *parent) : QWidget(parent), FEditor(editor) {
  setObjectName(QStringLiteral("pnlProjectMemo"));
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 0, 4, 2);
  layout->setSpacing(2);
  Expander1 = named(new QToolButton(this), "Expander1");
  Expander1->setText(phrase(this, "Expander1"));
  Expander1->setCheckable(true);
  Expander1->setChecked(false);
  Expander1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  Expander1->setArrowType(Qt::RightArrow);
  Expander1->setAutoRaise(true);
  memoProject = named(new QPlainTextEdit(this), "memoProject");
  memoProject->setFixedHeight(memoProject->fontMetrics().height() * 4 + 12);
  memoProject->hide();
  memoProject->installEventFilter(this);
  layout->addWidget(Expander1, 0, Qt::AlignLeft);
  layout->addWidget(memoProject);

  connect(Expander1, &QToolButton::toggled, this, [this](bool open) {
    Expander1->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    memoProject->setVisible(open);
  });
  connect(memoProject, &QPlainTextEdit::textChanged, this, [this] {
    if (!memoProject->hasFocus()) return;  // the document's own memo being shown
    guarded(FEditor.ui(), "memoProjectChangeTracking", [this] {
      TShapeList &doc = FEditor.doc().PathList();
      if (!doc.IsChanged && memoProject->toPlainText() != doc.Memo) FEditor.setDocumentChanged(true);
    });
  });
  syncFromDocument();
}

void TProjectMemo::syncFromDocument() {
  const QString &memo = FEditor.doc().PathList().Memo;
  if (!memoProject->hasFocus() && memoProject->toPlainText() != memo) memoProject->setPlainText(memo);
}

void TProjectMemo::commit() {
  const QString text = memoProject->toPlainText();
  TShapeList &doc = FEditor.doc().PathList();
  if (text == doc.Memo) return;
  doc.Memo = text;
  FEditor.setDocumentChanged(true);
}

bool TProjectMemo::isTyping() const { return memoProject->hasFocus(); }

bool TProjectMemo::eventFilter(QObject *watched, QEvent *event) {
  if (watched == memoProject) {
    const bool leaving = event->type() == QEvent::FocusOut ||
                         (event->type() == QEvent::Leave && memoProject->hasFocus());
    if (leaving) guarded(FEditor.ui(), "memoProjectExit", [this] { commit(); });
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace quillon
