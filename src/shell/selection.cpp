#include "shell/selection.h"

#include <algorithm>
#include <set>

#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"

namespace quillon {

bool isVisibleForSelection(const TEditor &editor, const TQN_Path &shape) {
  const TDrawPallet *pallet = getPaletteOfPath(editor.pen(), shape);
  return pallet == nullptr || pallet->FIsVisible;
}

void deselectAll(TEditor &editor) {
  for (TQN_Path *s : editor.doc().PathList()) {
    s->FIsManuallyClicked = false;
    if (!s->FSelected) continue;
    s->SetSelected(false);
    s->clearTempParams();
    if (editor.tool().FEditingText == s) editor.tool().FEditingText.reset();
  }
  discardTempDistMarkLine(editor);
  // A pivot belongs to the selection it was chosen or set for.
  editor.pointer().FIsRotationCenterSpecified = false;
  editor.pointer().FIsSnapPointManuallySet = false;
}

void resetTextEditor(TEditor &editor, bool freeShape) {
  TTextEntry &entry = editor.tool().FEditingText;
  TQN_Path *shape = entry.get();
  // A text of the document leaves it (with its records) before it is freed; one outside
  // the document is freed with the entry.
  if (freeShape && shape && !entry.isOutsideDocument()) editor.doc().remove(shape);
  entry.reset();
}

void finishTextEditing(TEditor &editor) {
  const TQN_Path *shape = editor.tool().FEditingText.get();
  if (shape && !shape->isKind(TShapeKind::Text)) resetTextEditor(editor, true);
}

void actSelectAllExecute(TEditor &editor) {
  const TShapeList &doc = editor.doc().PathList();
  for (TQN_Path *s : doc) {
    if (s->FLayerID != editor.FActiveLayer || !doc.GetlayerVisible(s->FLayerID)) continue;
    if (!isVisibleForSelection(editor, *s)) continue;
    s->SetSelected(true);
  }
  editor.ui().refreshCanvas();
}

void actDeselectAllExecute(TEditor &editor) {
  deselectAll(editor);
  editor.tool().Clicked_Points.clear();
  editor.ui().refreshCanvas();
}

void actLinePaletteSelectAllExecute(TEditor &editor) {
  for (TQN_Path *s : editor.doc().PathList())
    if (s->FPalletIndex == editor.pen().FSelectedPalette) s->SetSelected(true);
  editor.ui().refreshCanvas();
}

void actLinePaletteUnselectLineTypeExecute(TEditor &editor) {
  for (TQN_Path *s : editor.doc().PathList())
    if (s->FSelected && s->FPalletIndex == editor.pen().FSelectedPalette) s->SetSelected(false);
  editor.ui().refreshCanvas();
}

void actLinePaletteUnselectOthersExecute(TEditor &editor) {
  for (TQN_Path *s : editor.doc().PathList())
    if (s->FSelected && s->FPalletIndex != editor.pen().FSelectedPalette) s->SetSelected(false);
  editor.ui().refreshCanvas();
}

void selectShapesInRect(TEditor &editor, TPointF corner1, TPointF corner2, TSelectKeys keys) {
  if (!keys.Ctrl) deselectAll(editor);
  const TRectF rect(std::min(corner1.X, corner2.X), std::min(corner1.Y, corner2.Y), std::max(corner1.X, corner2.X),
                    std::max(corner1.Y, corner2.Y));
  const bool simulationShown = editor.FOptions->ShowStitchPattern || editor.tool().FTool == TTool::LeatherSimulator;
  const TShapeList &doc = editor.doc().PathList();

  for (TQN_Path *s : doc) {
    const bool isHole = s->isKind(TShapeKind::Hole);
    const bool hit =
        simulationShown && isHole ? holeThreadSegmentInRect(editor, *s, rect) : s->inRange(corner1, corner2, false);
    if (!hit) continue;
    const bool layerVisible = doc.GetlayerVisible(s->FLayerID);
    if (!keys.Shift || isHole) {
      const bool eligible = isVisibleForSelection(editor, *s) || !s->FCatalogGUID.isEmpty();
      if (eligible && s->FLayerID == editor.FActiveLayer && layerVisible) s->SetSelected(true);
    }
    if (!s->FSelected && keys.Alt && layerVisible) s->SetSelected(true);
  }
  editor.ui().refreshCanvas();
}

bool holeThreadSegmentInRect(const TEditor &editor, const TQN_Path &shape, const TRectF &rect) {
  if (!shape.isKind(TShapeKind::Hole)) return false;
  const TQN_Path *partner = findShapeById(editor.doc().PathList(), shape.FNextStitchID);
  if (partner == nullptr) partner = findShapeById(editor.doc().PathList(), shape.FPrevStitchID);
  if (partner == nullptr) return false;
  return segmentTouchesRect(shape.FCenter, partner->FCenter, rect);
}

namespace {

bool insideHalfOpen(TPointF p, const TRectF &r) {
  return r.Left <= p.X && p.X < r.Right && r.Top <= p.Y && p.Y < r.Bottom;
}

}  // namespace

bool segmentTouchesRect(TPointF a, TPointF b, const TRectF &rect) {
  if (insideHalfOpen(a, rect) || insideHalfOpen(b, rect)) return true;
  const TPointF tl{rect.Left, rect.Top}, tr{rect.Right, rect.Top};
  const TPointF br{rect.Right, rect.Bottom}, bl{rect.Left, rect.Bottom};
  return segmentsCross(a, b, tl, tr) || segmentsCross(a, b, tr, br) || segmentsCross(a, b, br, bl) ||
         segmentsCross(a, b, bl, tl);
}

bool segmentsCross(TPointF p, TPointF q, TPointF r, TPointF s) {
  return isCounterClockwise(p, r, s) != isCounterClockwise(q, r, s) &&
         isCounterClockwise(p, q, r) != isCounterClockwise(p, q, s);
}

bool isCounterClockwise(TPointF a, TPointF b, TPointF c) {
  return (double(c.Y) - a.Y) * (double(b.X) - a.X) > (double(b.Y) - a.Y) * (double(c.X) - a.X);
}

namespace {

bool leftOut(const TQN_Path &s, bool withoutDots, bool withoutHoles) {
  return (withoutDots && s.isKind(TShapeKind::Dot)) || (withoutHoles && s.isKind(TShapeKind::Hole));
}

}  // namespace

std::vector<TQN_Path *> getSelectedPaths(const TEditor &editor, bool withoutDots, bool withoutHoles) {
  std::vector<TQN_Path *> list;
  std::set<int> takenRepeats;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (!s->FSelected) continue;
    if (s->FMandalaID != 0 && takenRepeats.count(s->FMandalaID)) continue;
    if (leftOut(*s, withoutDots, withoutHoles)) continue;
    list.push_back(s);
    if (s->FMandalaID > 0) takenRepeats.insert(s->FMandalaID);
  }
  return list;
}

int countSelected(const TEditor &editor, bool withoutDots, bool withoutHoles) {
  return static_cast<int>(
      std::count_if(editor.doc().PathList().begin(), editor.doc().PathList().end(),
                    [&](const TQN_Path *s) { return s->FSelected && !leftOut(*s, withoutDots, withoutHoles); }));
}

bool countSelectedOfKind(const TEditor &editor, TShapeKind kind, int &count) {
  count = static_cast<int>(std::count_if(editor.doc().PathList().begin(), editor.doc().PathList().end(),
                                         [&](const TQN_Path *s) { return s->FSelected && s->FShapeType == kind; }));
  return count > 0;
}

TQN_Path *getSizeEditableShape(const TEditor &editor) {
  const std::vector<TQN_Path *> paths = getSelectedPaths(editor, true, true);
  if (paths.empty()) return nullptr;
  TQN_Path *first = paths.front();
  if (first->isKind(TShapeKind::Line) || first->isKind(TShapeKind::Ellipse) || first->isKind(TShapeKind::Arc))
    return first;
  return nullptr;
}

}  // namespace quillon
