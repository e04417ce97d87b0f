#include "tools/view_transform.h"

#include "tools/snapping.h"

#include "model/shape.h"
#include "platform/number_text.h"
#include "shell/editor.h"

namespace quillon {

TPointF realToVirtual(const TEditor &editor, TPointF RealPos) {
  return {RealPos.X * editor.FScale + editor.FOffset.X, RealPos.Y * editor.FScale + editor.FOffset.Y};
}

TPointF realToVirtualXY(const TEditor &editor, float x, float y) { return realToVirtual(editor, {x, y}); }

TPointF virtualToReal(const TEditor &editor, TPointF VirtualPos, bool UseSticky, bool) {
  if (UseSticky) {
    TPointF target;
    if (snapToNearest(editor, VirtualPos.X, VirtualPos.Y, 5.0f, *editor.PathList, false, target, false) &&
        !hasCtrl(editor.FLastShiftState))
      return target;
  }
  const double scale = editor.FScale;
  const float x = static_cast<float>((double(VirtualPos.X) - double(editor.FOffset.X)) / scale);
  const float y = static_cast<float>((double(VirtualPos.Y) - double(editor.FOffset.Y)) / scale);
  return {static_cast<float>(roundHalfEven(x, 3)), static_cast<float>(roundHalfEven(y, 3))};
}

TPointF virtualToRealXY(const TEditor &editor, float x, float y, bool UseSticky) {
  return virtualToReal(editor, {x, y}, UseSticky, false);
}

TRectF visibleDrawingRect(const TEditor &editor, float width, float height) {
  const float s = editor.FScale;
  return {-editor.FOffset.X / s, -editor.FOffset.Y / s, (width - editor.FOffset.X) / s,
          (height - editor.FOffset.Y) / s};
}

TRectF visibleDrawingRect(const TEditor &editor) {
  return visibleDrawingRect(editor, editor.FBoxWidth, editor.FBoxHeight);
}

float pixelsToMm(const TEditor &editor, float pixels) {
  return editor.FScale == 0.0f ? pixels : pixels / editor.FScale;
}

void pathToVirtual(const TEditor &editor, TQN_Path &Shape, TPointF Offset) {
  TPathData &data = Shape.Data();
  if (editor.FScale != 1.0f) data.Scale(editor.FScale, editor.FScale);
  data.Translate(Offset.X, Offset.Y);
  Shape.resetBoundary();
}

}  // namespace quillon
