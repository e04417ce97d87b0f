#pragma once
// TRulerWidget: one of the two rulers of the main window, pbRulerX above the drawing box
// or pbRulerY to its left, 25 pixels thick. It paints through the core ruler routine and
// must be placed so that its pixel 0 along the ruler lines up with the drawing box's.
#include <QWidget>

#include "render/rulers.h"

namespace quillon {

class TEditor;

class TRulerWidget : public QWidget {
  Q_OBJECT
 public:
  TRulerWidget(TEditor &editor, bool horizontal, QWidget *parent = nullptr);

  bool isHorizontal() const { return FHorizontal; }
  // What the last paint did.
  const TRulerPaintInfo &lastPaint() const { return FLastPaint; }

 protected:
  void paintEvent(QPaintEvent *event) override;

 private:
  TEditor &FEditor;
  bool FHorizontal;
  TRulerLabelCache FLabelCache;
  TRulerPaintInfo FLastPaint;
};

}  // namespace quillon
