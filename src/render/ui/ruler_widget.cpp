#include "render/ui/ruler_widget.h"

#include <QPainter>

#include "shell/editor.h"
#include "shell/guarded_call.h"

namespace quillon {

TRulerWidget::TRulerWidget(TEditor &editor, bool horizontal, QWidget *parent)
    : QWidget(parent), FEditor(editor), FHorizontal(horizontal) {
  setObjectName(horizontal ? QStringLiteral("pbRulerX") : QStringLiteral("pbRulerY"));
  setAttribute(Qt::WA_OpaquePaintEvent);  // every paint clears the whole ruler
  if (horizontal) {
    setFixedHeight(kRulerThickness);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  } else {
    setFixedWidth(kRulerThickness);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  }
}

void TRulerWidget::paintEvent(QPaintEvent *) {
  guarded(FEditor.ui(), FHorizontal ? "pbRulerXPaint" : "pbRulerYPaint", [this] {
    QPainter painter(this);
    FLastPaint = pbRulerXPaint(FEditor, painter, width(), height(), FHorizontal, FLabelCache);
  });
}

}  // namespace quillon
