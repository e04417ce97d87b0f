#include "render/paint.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <exception>
#include <vector>

#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "render/hole_batch.h"
#include "render/paint_error_log.h"
#include "render/rulers.h"
#include "render/rubber_bands.h"
#include "render/shape_painters.h"
#include "render/snap_marks.h"
#include "render/tool_previews.h"
#include "shell/view_transform.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "tools/offset_tool.h"
#include "stitching/stitch_tool.h"

namespace quillon {

namespace {

constexpr TAlphaColor kRed = 0xFFFF0000;

// Restores the painter's state when the frame ends, also when it ends by an exception.
class PainterStateGuard {
 public:
  explicit PainterStateGuard(QPainter &canvas) : c_(canvas) { c_.save(); }
  ~PainterStateGuard() { c_.restore(); }
  PainterStateGuard(const PainterStateGuard &) = delete;
  PainterStateGuard &operator=(const PainterStateGuard &) = delete;

 private:
  QPainter &c_;
};

QPointF pixelOf(const TEditor &editor, TPointF real) {
  const TPointF p = realToVirtual(editor.view(), real);
  return {p.X, p.Y};
}

// Step 1: paper is white, the screen and the preview show the scheme's background.
void paintBackground(const TEditor &editor, QPainter &canvas, const TPaintTarget &target) {
  TAlphaColor color = editor.FOptions->WhiteBGColor;
  if (target.IsPrinting)
    color = 0xFFFFFFFF;
  else if (editor.display().FIsBlackBackgroundMode)
    color = 0xFF000000;
  canvas.save();
  canvas.setCompositionMode(QPainter::CompositionMode_Source);
  canvas.fillRect(QRectF(0, 0, target.Width, target.Height), QColor::fromRgba(color));
  canvas.restore();
}

// The line type a shape is drawn with: the one at its index when that lies in the list,
// else the one getPaletteOfPath finds.
const TDrawPallet *lineTypeOf(const TEditor &editor, const TQN_Path &shape) {
  const int idx = shape.FPalletIndex;
  if (idx >= 0 && idx < kPalletCount && static_cast<std::size_t>(idx) < editor.pen().FPalletList.size())
    return editor.pen().FPalletList[static_cast<std::size_t>(idx)].get();
  return getPaletteOfPath(editor.pen(), shape);
}

// Step 8.5: whether the shape is painted at all.
bool isShapeShown(const TEditor &editor, const TQN_Path &shape) {
  const bool hole = shape.isKind(TShapeKind::Hole);
  const bool leather = !shape.FCatalogGUID.isEmpty();
  const bool plain = editor.display().HideStrokeLines && !leather && !hole;
  if (plain) return false;
  const bool simulatedHole = hole && (editor.FOptions->ShowStitchPattern || shape.FAlwaysShowStitchSimulator);
  const TDrawPallet *lineType = lineTypeOf(editor, shape);
  const bool visible = simulatedHole || !lineType || lineType->FIsVisible ||
                       (leather && editor.display().SimulatorOn && editor.display().FillOn);
  return visible && editor.doc().PathList().GetlayerVisible(shape.FLayerID);
}

// Step 11: the crossing (red) and touching (blue) points of the intersections whose
// shapes are shown.
void paintIntersectionDots(const TEditor &editor, QPainter &canvas) {
  auto hides = [&](const TQN_Path *s) {
    if (!s) return false;
    if (!editor.doc().PathList().GetlayerVisible(s->FLayerID)) return true;
    const int idx = s->FPalletIndex;
    return idx >= 0 && static_cast<std::size_t>(idx) < editor.pen().FPalletList.size() &&
           !editor.pen().FPalletList[static_cast<std::size_t>(idx)]->FIsVisible;
  };
  for (const TIntersection *ict : editor.doc().FIntersections) {
    if (hides(ict->FPath1) || hides(ict->FPath2)) continue;
    const QColor color = QColor::fromRgba(ict->FIsCrossing ? kRed : 0xFF0000FF);
    canvas.setPen(QPen(color));
    canvas.setBrush(color);
    QPainterPath dot;
    dot.addEllipse(pixelOf(editor, ict->FPoint), 3.0, 3.0);
    canvas.fillPath(dot, color);
  }
}

// Whether the drawing-check overlay (rings, banner, hint) is shown at all.
bool lintOverlayShown(const TEditor &editor) {
  return editor.display().FShow_intersections && editor.FOptions->ShowLintWarnings &&
         !editor.lint().FLintWarnings.empty();
}

// Step 12: a ring of 12 px round each drawing-check warning, coloured by kind, in the
// visible phases of the blink.
void paintLintRings(const TEditor &editor, QPainter &canvas) {
  if (!lintOverlayShown(editor) || !lintRingsVisible(editor)) return;
  canvas.setBrush(Qt::NoBrush);
  for (const TLintWarning &w : editor.lint().FLintWarnings) {
    TAlphaColor color = 0xFFFFA500;  // gap: orange
    if (w.Kind == TLintKind::lkAxis) color = 0xFFFFFF00;
    if (w.Kind == TLintKind::lkOverlap) color = 0xFF800080;
    if (w.Kind == TLintKind::lkTGap) color = 0xFF00FFFF;
    setCanvasStroke(canvas, color, 3.0f, TStrokeDash::Solid);
    canvas.drawEllipse(pixelOf(editor, w.Point), 12.0, 12.0);
  }
  setCanvasStroke(canvas, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid);
}

// Step 16: the points clicked so far by the tool in progress, as yellow rings of 1 px.
void paintClickedPoints(const TEditor &editor, QPainter &canvas) {
  if (editor.tool().Clicked_Points.empty()) return;
  setCanvasStroke(canvas, 0xFFFFFF00, 1.0f, TStrokeDash::Solid);
  canvas.setBrush(Qt::NoBrush);
  for (const TPointF &p : editor.tool().Clicked_Points) canvas.drawEllipse(pixelOf(editor, p), 1.0, 1.0);
}

// Step 22: the banners stacked from the top-left corner.
void paintBanners(const TEditor &editor, QPainter &canvas) {
  const std::vector<TBanner> banners = collectBanners(editor);
  if (banners.empty()) return;
  QFont font = canvas.font();
  font.setPixelSize(15);
  canvas.setFont(font);
  const QFontMetricsF fm(font, canvas.device());
  qreal y = 0;
  for (const TBanner &b : banners) {
    const qreal tw = fm.horizontalAdvance(b.Text), th = fm.height();
    canvas.fillRect(QRectF(0, y, tw + 4, th + 4), QColor::fromRgba(b.Color | 0xFF000000u));
    canvas.setPen(QColor(Qt::white));
    canvas.drawText(QRectF(2, y + 2, tw, th), Qt::AlignCenter, b.Text);
    y += th + (b.Row == 1 ? 5 : 6);
  }
}

// The line-symmetry command's prompt at the top left of the canvas.
void drawSymmetryPrompt(const TEditor &editor, QPainter &canvas, int width) {
  canvas.save();
  QFont font = canvas.font();
  font.setPixelSize(16);
  canvas.setFont(font);
  canvas.setPen(QColor::fromRgba(editor.display().FColor_Centerline));
  const qreal h = QFontMetricsF(font, canvas.device()).height();
  canvas.drawText(QRectF(5, 5, width - 5, h), Qt::AlignLeft | Qt::AlignTop, editor.tr(QStringLiteral("symmetryMode")));
  canvas.restore();
}

void paintFrame(TEditor &editor, QPainter &canvas, const TPaintTarget &target, TCanvasState &state) {
  canvas.setRenderHint(QPainter::Antialiasing, true);
  canvas.setOpacity(1.0);

  // 1. Background.
  paintBackground(editor, canvas, target);

  // 2. The visible drawing area, in millimetres.
  const TRectF visible = visibleDrawingRect(editor.view(), float(target.Width), float(target.Height));

  // 3. Tracing images (drawBackdrop) are painted here once the tracing images exist.

  // 4. Grid: on screen and in the preview, never on paper.
  if (editor.display().FShowGrid && !target.IsPrinting)
    state.Grid.drawGrid(editor, canvas, float(target.Width), float(target.Height), target.BitmapScale);

  // 5. Stroke reset.
  setCanvasStroke(canvas, 0xFF00FF00, 1.0f, TStrokeDash::Solid);
  canvas.setBrush(QBrush(canvas.brush().color(), Qt::SolidPattern));

  // 6. Print-page frames.
  TPrintAreaState printAreas = state.PrintAreas;
  printAreas.IsPrinting = target.IsPrinting;
  printAreas.IsPrintPreviewing = target.IsPrintPreviewing;
  printAreas.IsPrintAreaAvailable = editor.display().FIsPrintAreaAvailable;
  if (editor.display().FShowPrintAreas && printAreas.IsPrintAreaAvailable) drawPrintAreas(editor, canvas, printAreas);

  // 7. An empty hole batch.
  resetHoleBatch(editor);
  state.Strokes.discard();

  // 8. Shapes: every shape but the stitching holes in document order, then the holes.
  TShapePaintState shapeState;
  shapeState.IsPrinting = target.IsPrinting;
  shapeState.IsPrintPreviewing = target.IsPrintPreviewing;
  shapeState.PrintStroke = target.PrintStroke;
  shapeState.PrintStroke.IsPreviewing = target.IsPrintPreviewing;
  shapeState.PrintStitchingHoleAsDot = target.PrintStitchingHoleAsDot;
  shapeState.HighlightActiveLayer = editor.display().HighlightActiveLayer;
  shapeState.IgnoreLayer = editor.display().IgnoreLayer;
  shapeState.FillOn = editor.display().FillOn;
  shapeState.SelectNextStitchingHoleMode = editor.display().SelectNextStitchingHoleMode;
  shapeState.BezierDrag = state.BezierDrag;
  shapeState.OnPaintShape = state.OnPaintShape;
  shapeState.Strokes = &state.Strokes;

  TShapeList &doc = editor.doc().PathList();
  std::vector<TQN_Path *> order;
  order.reserve(doc.Items().size());
  for (TQN_Path *s : doc)
    if (!s->isKind(TShapeKind::Hole)) order.push_back(s);
  for (TQN_Path *s : doc)
    if (s->isKind(TShapeKind::Hole)) order.push_back(s);

  const bool printOrPreview = target.IsPrinting || target.IsPrintPreviewing;
  for (TQN_Path *shape : order) {
    if (shape->ID() < 0) shape->updateId(doc.getNextID());
    if (printOrPreview && target.PrintSelectedShapesOnly && !shape->FSelected) continue;
    if (!target.IsPrinting && !shape->inRange(visible.topLeft(), visible.bottomRight(), true)) continue;
    if (!isShapeShown(editor, *shape)) continue;
    QPen pen = canvas.pen();
    pen.setStyle(Qt::SolidLine);
    canvas.setPen(pen);
    canvas.setBrush(QBrush(canvas.brush().color(), Qt::SolidPattern));
    try {
      paintShape(editor, canvas, *shape, shapeState);
    } catch (const std::exception &e) {
      canvas.setOpacity(1.0);
      logPaintError(editor.display().FLastPaintError, e, shape);
    }
  }

  // 9. What the stroke and hole batches still hold.
  state.Strokes.flush(canvas);
  flushHoleBatch(editor, canvas);

  // 10. Group rectangles, then the radial-repeat guides.
  drawGroupRectangles(editor, canvas);
  if (editor.display().IsMandalaMode) drawMandalaGuides(editor, canvas, editor.display().Mandala);

  // 11. Intersection dots.
  if (editor.display().FShow_intersections) paintIntersectionDots(editor, canvas);

  // 12. The drawing-check rings.
  paintLintRings(editor, canvas);
  // 13. The extra snap points.
  drawSnapPoints(editor, canvas);
  // 14. The pricking-iron preview of the stitching tool.
  if (target.onScreen()) drawPrickingIronPreview(editor, canvas);
  // 15. The current point of the tool previews, with the sticky point marked.
  drawCurrentPoint(editor, canvas);

  // 16. The points clicked so far.
  paintClickedPoints(editor, canvas);

  // 17. The rubber bands and previews of the drawing tools, the offset preview and the
  //     text-placement cross come with those tools.
  drawMarkToolPreviews(editor, canvas, currentToolPoint(editor));
  drawDrawingToolRubberBand(editor, canvas, currentToolPoint(editor));
  drawRangeSelectionRect(editor, canvas);
  if (editor.tool().FIsOffsetMode) runOffsetTool(editor, &canvas);
  drawTextPlacementCross(editor, canvas);
  // 18. The symmetry prompt.
  if (!target.IsPrinting && editor.tool().FInLineSymmetryMode) drawSymmetryPrompt(editor, canvas, target.Width);
  // 19. The stitch simulation (drawStitchSimulation, drawUnlinkedHoleMarkers).
  // 20. The measuring ruler.
  if (editor.display().FShowRuler) drawMeasuringRuler(editor, canvas);
  // 21. The pivot handle of the selected tracing image (drawBackdropPivot).

  // 22. Banners.
  paintBanners(editor, canvas);

  // 23. The pointer mark and the snap-target highlight.
  if (target.onScreen()) drawPointerMark(editor, canvas);
  // 24. The tangent construction scenes.
  // 25. The notch preview of the notch tool.
  drawNotchPreview(editor, canvas);
  // 26. The scale bar (not on paper), then the thread legend (drawThreadList) once it exists.
  if (!target.IsPrinting) drawScaleBar(editor, canvas, float(target.Width));
}

}  // namespace

std::vector<TBanner> collectBanners(const TEditor &editor) {
  std::vector<TBanner> out;
  const TShapeList &doc = editor.doc().PathList();
  // Rows 1, 2, 4, 6, 12 and 13 belong to tools and commands not yet present (select-next
  // hole mode, the select tool, the palette bar, busy message, tangent circles).
  if (editor.display().HideStrokeLines)
    out.push_back({3, editor.tr(QStringLiteral("hideStrokeLinesWarning")), 0xFFA349A4});
  if (editor.tool().FSplitNotSelectedWarning) out.push_back({5, editor.tr(QStringLiteral("splitSelectFirst")), kRed});
  if (lintOverlayShown(editor))
    out.push_back({7,
                   editor.tr(QStringLiteral("lintWarningBanner")) + QStringLiteral(" [") +
                       QString::number(editor.lint().FLintWarnings.size()) + QLatin1Char(']'),
                   kRed});
  if (editor.FDuplicatesRemovedOnLoad > 0)
    out.push_back({8,
                   editor.tr(QStringLiteral("duplicates_deleted")) + QString::number(editor.FDuplicatesRemovedOnLoad),
                   0xFF4682B4});
  if (!editor.FUnknownKindsOnLoad.isEmpty()) {
    QStringList names = editor.FUnknownKindsOnLoad;
    names.removeDuplicates();
    out.push_back({8,
                   editor.tr(QStringLiteral("unknownKindsKept")) + QString::number(editor.FUnknownKindsOnLoad.size()) +
                       QStringLiteral(" (") + names.join(QStringLiteral(", ")) + QLatin1Char(')'),
                   0xFF4682B4});
  }
  const int hovered = editor.display().FLintHoveredIndex;
  if (lintOverlayShown(editor) && hovered >= 0 && hovered < static_cast<int>(editor.lint().FLintWarnings.size())) {
    const TLintWarning &w = editor.lint().FLintWarnings[static_cast<std::size_t>(hovered)];
    TAlphaColor color = 0xFFFFA500;
    if (w.Kind == TLintKind::lkAxis) color = 0xFFB8860B;
    if (w.Kind == TLintKind::lkOverlap) color = 0xFF800080;
    if (w.Kind == TLintKind::lkTGap) color = 0xFF008080;
    out.push_back({9, getLintHint(editor, w.Kind) + QStringLiteral("  ") + w.Info, color});
  }
  if (!doc.GetlayerVisible(editor.FActiveLayer))
    out.push_back({10, editor.tr(QStringLiteral("LayerIsNotVisible")), kRed});
  if (editor.display().IgnoreLayer)
    out.push_back({11,
                   editor.tr(QStringLiteral("LayerIgnored")) + QLatin1Char('(') +
                       editor.tr(QStringLiteral("Cancel_LayerIgnored_win")) + QLatin1Char(')'),
                   kRed});
  if (editor.layers().FIsLayerMoveMode) out.push_back({14, editor.tr(QStringLiteral("LayerMoveModeOn")), 0xFFFFA500});
  if (doc.GetIsIndependentLayer(editor.FActiveLayer))
    out.push_back({15, QStringLiteral("** ") + editor.tr(QStringLiteral("IndependentLayer")) + QStringLiteral(" **"),
                   0xFF008000});
  return out;
}

void paintCanvas(TEditor &editor, QPainter &canvas, const TPaintTarget &target, TCanvasState &state) {
  if (!editor.FOptions || !canvas.isActive()) return;
  PainterStateGuard guard(canvas);
  try {
    paintFrame(editor, canvas, target, state);
  } catch (const std::exception &e) {
    logPaintError(editor.display().FLastPaintError, e, nullptr);
  }
}

}  // namespace quillon
