#include "shell/ui/canvas_widget.h"

#include <QPainter>

namespace quillon {

TCanvasWidget::TCanvasWidget(TEditor &editor, QWidget *parent) : QWidget(parent), FEditor(editor) {
  setObjectName(QStringLiteral("pbox"));
  setAttribute(Qt::WA_OpaquePaintEvent);  // every frame paints the whole box
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void TCanvasWidget::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  TPaintTarget target;
  target.Width = width();
  target.Height = height();
  target.BitmapScale = static_cast<float>(devicePixelRatioF());
  paintCanvas(FEditor, painter, target, FState);
}

}  // namespace quillon
