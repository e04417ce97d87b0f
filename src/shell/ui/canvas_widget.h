#pragma once
// TCanvasWidget: the drawing box of the main window ("pbox"). Its paint event paints the
// editor state through the core paint routine; the box keeps the state that lives from
// frame to frame (grid cache, last paint-error line, the view switches).
#include <QWidget>

#include "render/paint.h"

namespace quillon {

class TEditor;

class TCanvasWidget : public QWidget {
  Q_OBJECT
 public:
  explicit TCanvasWidget(TEditor &editor, QWidget *parent = nullptr);

  TCanvasState &canvasState() { return FState; }

 protected:
  void paintEvent(QPaintEvent *event) override;

 private:
  TEditor &FEditor;
  TCanvasState FState;
};

}  // namespace quillon
