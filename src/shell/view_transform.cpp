#include "shell/view_transform.h"

#include <algorithm>

#include "model/document.h"
#include "model/shape.h"
#include "model/shape_bounds.h"
#include "platform/number_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"

namespace quillon {

TPointF realToVirtual(const TViewState &view, TPointF RealPos) {
  return {RealPos.X * view.FScale + view.FOffset.X, RealPos.Y * view.FScale + view.FOffset.Y};
}

TPointF realToVirtualXY(const TViewState &view, float x, float y) { return realToVirtual(view, {x, y}); }

TPointF virtualToReal(const TViewState &view, TPointF VirtualPos) {
  const double scale = view.FScale;
  const float x = static_cast<float>((double(VirtualPos.X) - double(view.FOffset.X)) / scale);
  const float y = static_cast<float>((double(VirtualPos.Y) - double(view.FOffset.Y)) / scale);
  return {static_cast<float>(roundHalfEven(x, 3)), static_cast<float>(roundHalfEven(y, 3))};
}

TPointF virtualToRealXY(const TViewState &view, float x, float y) { return virtualToReal(view, {x, y}); }

TRectF visibleDrawingRect(const TViewState &view, float width, float height) {
  const float s = view.FScale;
  return {-view.FOffset.X / s, -view.FOffset.Y / s, (width - view.FOffset.X) / s, (height - view.FOffset.Y) / s};
}

TRectF visibleDrawingRect(const TViewState &view) { return visibleDrawingRect(view, view.FBoxWidth, view.FBoxHeight); }

float pixelsToMm(const TViewState &view, float pixels) { return view.FScale == 0.0f ? pixels : pixels / view.FScale; }

void pathToVirtual(const TViewState &view, TQN_Path &Shape, TPointF Offset) {
  TPathData &data = Shape.Data();
  if (view.FScale != 1.0f) data.Scale(view.FScale, view.FScale);
  data.Translate(Offset.X, Offset.Y);
  Shape.resetBoundary();
}

void actResetViewExecute(TEditor &editor) {
  TViewState &view = editor.view();
  const TShapeList &shapes = editor.doc().PathList();
  if (shapes.Count() == 0) {
    view.FScale = 10.0f;
    view.FOffset = {0.0f, 0.0f};
  } else {
    const TRectF b = calcShapesBoundary(shapes.Items());
    const TPointF topLeft{b.Left - 5.0f, b.Top - 5.0f};
    const float w = std::max(b.Right + 5.0f - topLeft.X, 10.0f);
    const float h = std::max(b.Bottom + 5.0f - topLeft.Y, 10.0f);
    double s = std::min(double(view.FBoxWidth) / w, double(view.FBoxHeight) / h);
    s = roundHalfEven((s + 0.05) * 10.0) / 10.0;
    // A drawing so large that the scale rounds to nothing (or is no number) is shown at
    // the smallest scale: a scale of 0 would put every shape on one pixel.
    if (!(s >= kMinScale)) s = kMinScale;
    view.FScale = static_cast<float>(s);
    view.FOffset = {static_cast<float>(roundHalfEven(-topLeft.X * view.FScale) - 5.0),
                    static_cast<float>(roundHalfEven(-topLeft.Y * view.FScale) - 5.0)};
  }
  editor.ui().refreshCanvas();
}

}  // namespace quillon
