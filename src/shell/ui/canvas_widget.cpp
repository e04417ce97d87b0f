#include "shell/ui/canvas_widget.h"

#include <QGestureEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPinchGesture>
#include <QPanGesture>
#include <QWheelEvent>

#include "shell/editor.h"
#include "shell/guarded_call.h"
#include "tools/pointer.h"
#include "tools/view_commands.h"

namespace quillon {

namespace {

bool toButton(Qt::MouseButton b, TMouseButton &out) {
  switch (b) {
    case Qt::LeftButton: out = TMouseButton::Left; return true;
    case Qt::RightButton: out = TMouseButton::Right; return true;
    case Qt::MiddleButton: out = TMouseButton::Middle; return true;
    default: return false;
  }
}

TPointF boxPoint(const QPointF &p) { return {float(p.x()), float(p.y())}; }

}  // namespace

TCanvasWidget::TCanvasWidget(TEditor &editor, QWidget *parent) : QWidget(parent), FEditor(editor) {
  setObjectName(QStringLiteral("pbox"));
  setAttribute(Qt::WA_OpaquePaintEvent);  // every frame paints the whole box
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  grabGesture(Qt::PinchGesture);
  grabGesture(Qt::PanGesture);
}

TCanvasState &TCanvasWidget::canvasState() { return FCanvas; }

void TCanvasWidget::paintEvent(QPaintEvent *) {
  // paintCanvas logs the failures of a shape or of the frame itself; what still comes out
  // of it (an exception of another kind) ends this frame here.
  guarded(FEditor.ui(), "pboxPaint", [this] {
    FEditor.view().FBoxWidth = float(width());
    FEditor.view().FBoxHeight = float(height());
    QPainter painter(this);
    TPaintTarget target;
    target.Width = width();
    target.Height = height();
    target.BitmapScale = static_cast<float>(devicePixelRatioF());
    paintCanvas(FEditor, painter, target, FCanvas);
  });
}

void TCanvasWidget::resizeEvent(QResizeEvent *event) {
  FEditor.view().FBoxWidth = float(width());
  FEditor.view().FBoxHeight = float(height());
  QWidget::resizeEvent(event);
}

void TCanvasWidget::mousePressEvent(QMouseEvent *event) {
  TMouseButton b;
  if (!toButton(event->button(), b)) return;
  const TPointF p = boxPoint(event->position());
  guarded(FEditor.ui(), "pboxMouseDown",
          [&] { pointerDown(FEditor, b, shiftStateOf(event->modifiers(), event->buttons()), p.X, p.Y); });
}

void TCanvasWidget::mouseMoveEvent(QMouseEvent *event) {
  const TPointF p = boxPoint(event->position());
  guarded(FEditor.ui(), "pboxMouseMove",
          [&] { pointerMove(FEditor, shiftStateOf(event->modifiers(), event->buttons()), p.X, p.Y); });
}

void TCanvasWidget::mouseReleaseEvent(QMouseEvent *event) {
  TMouseButton b;
  if (!toButton(event->button(), b)) return;
  const TPointF p = boxPoint(event->position());
  guarded(FEditor.ui(), "pboxMouseUp",
          [&] { pointerUp(FEditor, b, shiftStateOf(event->modifiers(), event->buttons()), p.X, p.Y); });
}

void TCanvasWidget::mouseDoubleClickEvent(QMouseEvent *event) {
  // Qt delivers press, release, double click, release: the double click stands in for
  // the second press.
  if (event->button() == Qt::LeftButton) guarded(FEditor.ui(), "pboxDblClick", [this] { pointerDoubleClick(FEditor); });
}

void TCanvasWidget::wheelEvent(QWheelEvent *event) {
  const QPoint delta = event->angleDelta();
  const int d = delta.y() != 0 ? delta.y() : delta.x();
  if (d == 0) return;
  guarded(FEditor.ui(), "pboxMouseWheel", [&] {
    pboxMouseWheel(FEditor, shiftStateOf(event->modifiers(), event->buttons()), d, boxPoint(event->position()));
  });
  event->accept();
}

bool TCanvasWidget::event(QEvent *event) {
  if (event->type() != QEvent::Gesture) return QWidget::event(event);
  bool handled = false;
  guarded(FEditor.ui(), "pboxGesture", [&] { handled = gestureEvent(static_cast<QGestureEvent *>(event)); });
  return handled;
}

bool TCanvasWidget::gestureEvent(QGestureEvent *event) {
  bool handled = false;
  auto flags = [](const QGesture *g, TGestureEvent &e) {
    e.Begin = g->state() == Qt::GestureStarted;
    e.End = g->state() == Qt::GestureFinished || g->state() == Qt::GestureCanceled;
  };
  if (auto *pinch = static_cast<QPinchGesture *>(event->gesture(Qt::PinchGesture))) {
    TGestureEvent e;
    e.Kind = TGestureKind::Zoom;
    flags(pinch, e);
    // The gesture's total scale as a finger distance in thousandths, so that consecutive
    // events give the step factor.
    e.Distance = int(pinch->totalScaleFactor() * 1000.0);
    e.Location = boxPoint(mapFromGlobal(pinch->centerPoint()));
    handled = pboxGesture(FEditor, e) || handled;
    event->accept(pinch);
  }
  if (auto *pan = static_cast<QPanGesture *>(event->gesture(Qt::PanGesture))) {
    TGestureEvent e;
    e.Kind = TGestureKind::Pan;
    flags(pan, e);
    e.Location = boxPoint(pan->hotSpot().isNull() ? QPointF() : mapFromGlobal(pan->hotSpot()));
    // The accumulated offset of the pan follows the fingers.
    e.Location = {e.Location.X + float(pan->offset().x()), e.Location.Y + float(pan->offset().y())};
    handled = pboxGesture(FEditor, e) || handled;
    event->accept(pan);
  }
  return handled;
}

}  // namespace quillon
