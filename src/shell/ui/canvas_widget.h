#pragma once
// TCanvasWidget: the drawing box of the main window ("pbox"). Its paint event paints the
// editor state through the core paint routine; its mouse, wheel and gesture events become
// calls of the core pointer handlers with drawing-box pixels, buttons and modifiers.
#include <QWidget>

#include "platform/input.h"
#include "render/paint.h"

class QGestureEvent;

namespace quillon {

class TEditor;

class TCanvasWidget : public QWidget {
  Q_OBJECT
 public:
  explicit TCanvasWidget(TEditor &editor, QWidget *parent = nullptr);

  TCanvasState &canvasState();

 protected:
  bool event(QEvent *event) override;
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

 private:
  bool gestureEvent(QGestureEvent *event);

  TEditor &FEditor;
  TCanvasState FCanvas;  // what the drawing box keeps from frame to frame
};

}  // namespace quillon
