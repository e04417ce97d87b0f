#include "tools/pointer.h"

#include <cmath>

#include "edit/bezier_handles.h"
#include "edit/corner_rounding.h"
#include "edit/curve_chains.h"
#include "edit/mirror_flip.h"
#include "edit/drawing_check.h"
#include "edit/split.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "render/paint.h"
#include "render/palette_commands.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/options.h"
#include "shell/selection.h"
#include "tools/status_info.h"
#include "shell/undo.h"
#include "stitching/stitch_tool.h"
#include "tools/dragging.h"
#include "tools/draw_tools.h"
#include "tools/mark_tools.h"
#include "tools/offset_tool.h"
#include "tools/hit_test.h"
#include "tools/snapping.h"
#include "tools/tool_change.h"
#include "tools/tool_dispatch.h"
#include "tools/view_commands.h"
#include "shell/view_transform.h"

namespace quillon {

namespace {

// A release closer than this to the press (drawing-box pixels) may split with Alt.
constexpr float kSplitClickPx = 5.0f;

bool toolIs(const TEditor &editor, TTool tool) { return editor.tool().FTool == tool; }

bool collectsPoints(TTool tool) {
  switch (tool) {
    case TTool::Line:
    case TTool::Rect:
    case TTool::Bezier:
    case TTool::Circle:
    case TTool::CenterLine:
    case TTool::DistMarkLine:
    case TTool::Arc: return true;
    default: return false;
  }
}

// The drag-start decision of a move with the left button down and no shape drag yet.
void detectDragStart(TEditor &editor, float x, float y) {
  std::vector<TQN_Path *> hits = shapesAtScreenPoint(editor, editor.doc().PathList(), true, x, y, false, false, false);
  if (hits.empty()) hits = shapesAtScreenPoint(editor, editor.doc().PathList(), true, x, y, false, true, false);

  const bool busy = editor.pointer().FIsEdgeDragging || editor.pointer().FIsShapeDragging ||
                    editor.pointer().FIsRangeSelecting || editor.pointer().FBezierEditInfo.IsBezierEditing;
  if (busy) return;

  if (detectEdgeDragStart(editor, editor.pointer().FDraggingEdges, x, y, false)) {
    TQN_Path *first = editor.pointer().FDraggingEdges.front()->QNPath;
    TPointF end;
    if (editor.snap().FStickyExists || lineEndpointAt(editor, first, x, y, end)) {
      editor.pointer().FIsEdgeDragging = true;
      if (first && first->isKind(TShapeKind::Line)) {
        const TEdgeDraggingInfo &rec = *editor.pointer().FDraggingEdges.front();
        addCircleTangentSnapPoints(editor, rec.DraggingStartPt ? first->FEndPt : first->FStartPt);
      }
      editor.display().FShow_intersections = true;
      leaveMentoriMode(editor);
      return;
    }
  }

  if (hits.empty() && !detectEdgeDragStart(editor, editor.pointer().FDraggingEdges, x, y, true)) return;
  bool anySelected = editor.pointer().FIsShapeDragging;
  for (const TQN_Path *hit : hits) anySelected = anySelected || hit->FSelected;
  if (!anySelected) return;

  editor.pointer().FIsShapeDragging = true;
  editor.pointer().FDragStartPrint = selectionFingerprint(editor);
  editor.pointer().FDragPrintValid = true;
  editor.display().FShow_intersections = true;
  leaveMentoriMode(editor);
  for (TQN_Path *shape : editor.doc().PathList())
    if (shape->FSelected) removeIntersectionsOf(editor.doc().FIntersections, shape);
  if (!editor.pointer().FIsRotationCenterSpecified) pickDragAnchor(editor, hits);
  if (editor.pointer().FIsRotationCenterSpecified) {
    editor.pointer().FDragSnapValid = true;
    editor.pointer().FDragSnapRawOrigin = editor.pointer().FRotationCenter;
  }
}

// The sewing-order link from the last linked hole L to the clicked hole H.
void linkStitch(TQN_Path &L, TQN_Path &H) {
  const int lid = L.ID(), hid = H.ID();
  if (L.FNextStitchID == -1) {
    H.FPrevStitchID = lid;
    L.FNextStitchID = hid;
  } else if (L.FPrevStitchID == -1) {
    H.FNextStitchID = lid;
    L.FPrevStitchID = hid;
    if (H.FPrevStitchID == lid) H.FPrevStitchID = -1;
    if (L.FNextStitchID == hid) L.FNextStitchID = -1;
    return;
  } else {
    H.FPrevStitchID = lid;
    L.FNextStitchID = hid;
  }
  if (H.FNextStitchID == lid) H.FNextStitchID = -1;
  if (L.FPrevStitchID == hid) L.FPrevStitchID = -1;
}

bool inDocument(const TEditor &editor, const TQN_Path *shape) {
  for (const TQN_Path *s : editor.doc().PathList())
    if (s == shape) return true;
  return false;
}

// The end of every release that got this far.
void releaseTail(TEditor &editor) {
  editor.pointer().FIsRangeSelecting = false;
  if (editor.tool().FIsMentoriMode) roundSelectedCorners(editor);
  editor.ui().refreshRulers();
}

}  // namespace

bool isClickWithoutMove(const TEditor &editor, float x, float y) {
  return calcDistance(editor.pointer().FFirstMousePos, {x, y}) < 1.0f;
}

void leaveMentoriMode(TEditor &editor) {
  if (!editor.tool().FIsMentoriMode) return;
  sbToolsClick(editor, TTool::Select);
  editor.tool().FIsMentoriMode = false;
}

void pointerDown(TEditor &editor, TMouseButton Button, TShiftState Shift, float X, float Y) {
  flushPendingSnapshots(editor);
  editor.pointer().FLastKey = 0;
  if (Button == TMouseButton::Left) editor.pointer().FIsMouseDown = true;
  editor.pointer().FFirstMousePos = editor.pointer().FLastMousePos = {X, Y};
  editor.pointer().FCummulativeShiftDistance = {0.0f, 0.0f};
  editor.pointer().FDragSnapValid = false;
  editor.pointer().FShapeCreated = false;
  editor.pointer().FBezierEditInfo = hitBezierHandle(editor, X, Y);
  editor.pointer().FLastShiftState = Shift;

  if (Button == TMouseButton::Right || Button == TMouseButton::Middle) {
    editor.pointer().FIsScreenDragging = true;
    editor.view().FOriginalOffset = editor.view().FOffset;
    return;
  }
  if (editor.pointer().FBezierEditInfo.IsBezierEditing) return;
  // Tracing images are picked here with their tool once they exist.
  if (hasCtrl(Shift) || hasAlt(Shift)) editor.pointer().FIsRangeSelecting = true;
}

void pointerMove(TEditor &editor, TShiftState Shift, float X, float Y) {
  bool repaint = false;
  if (editor.tool().FTool == TTool::DimensionLine && !editor.tool().Clicked_Points.empty()) repaint = true;
  if (editor.tool().FIsMandalaCenterChangeMode) {
    editor.display().Mandala.Center = virtualToRealXY(editor, X, Y, true);
    repaint = true;
  }

  if (editor.pointer().FIsMouseDown && !editor.pointer().FIsShapeDragging) detectDragStart(editor, X, Y);

  if (editor.pointer().FIsScreenDragging) {
    followScreenDrag(editor, {X, Y});
    repaint = true;
  } else if (editor.pointer().FIsShapeDragging) {
    dragSelectedShapes(editor, X, Y, Shift);
    repaint = true;
  } else if (editor.pointer().FIsMouseDown &&
             (toolIs(editor, TTool::Select) || toolIs(editor, TTool::Mentori) ||
              toolIs(editor, TTool::LeatherSimulator) || hasAlt(Shift)) &&
             !editor.pointer().FBezierEditInfo.IsBezierEditing && !editor.pointer().FIsEdgeDragging) {
    editor.pointer().FIsRangeSelecting = true;
    repaint = true;
  }

  editor.pointer().FLastMousePos = {X, Y};
  editor.pointer().FLastShiftState = Shift;
  updateLintHover(editor, X, Y);

  // The sticky point under the pointer, whatever the buttons.
  TPointF target;
  if (snapToNearest(editor, X, Y, 5.0f, editor.doc().PathList(), false, target, false)) {
    if (!editor.snap().FStickyExists || editor.snap().FStickyPoint != target) {
      editor.snap().FStickyExists = true;
      editor.snap().FStickyPoint = target;
      repaint = true;
    }
  } else if (editor.snap().FStickyExists) {
    editor.snap().FStickyExists = false;
    repaint = true;
  }

  if (editor.display().FShowRuler || editor.tool().FStitchingCount > 0 || editor.pointer().FIsRangeSelecting ||
      editor.pointer().FIsEdgeDragging || editor.pointer().FBezierEditInfo.IsBezierEditing ||
      (collectsPoints(editor.tool().FTool) && !editor.tool().Clicked_Points.empty()) ||
      isDrawingTool(editor.tool().FTool))
    repaint = true;
  const bool full = repaint || (editor.display().FShowRuler && !editor.display().FShowGrid) ||
                    (editor.display().FShowRuler && toolIs(editor, TTool::Select)) || editor.tool().FIsOffsetMode ||
                    (toolIs(editor, TTool::DimensionLine) && editor.tool().Clicked_Points.size() > 1);
  if (full)
    editor.ui().refreshCanvas();
  else
    editor.ui().refreshRulers();
  updateStatusBar(editor, X, Y);
}

void pointerUp(TEditor &editor, TMouseButton Button, TShiftState Shift, float X, float Y) {
  editor.pointer().FLastKey = 0;
  if (editor.pointer().FDoubleClicked) {
    editor.pointer().FDoubleClicked = false;
    return;
  }
  if (editor.pointer().FIsShapeDragging && editor.pointer().FFirstMousePos == TPointF{X, Y} &&
      !editor.pointer().FIsPasted)
    editor.pointer().FIsShapeDragging = false;
  if (editor.pointer().FIsRotationCenterSpecified && !editor.pointer().FIsSnapPointManuallySet)
    editor.pointer().FIsRotationCenterSpecified = false;
  if (editor.tool().FIsMandalaCenterChangeMode && Button == TMouseButton::Left) {
    editor.tool().FIsMandalaCenterChangeMode = false;
    editor.pointer().FIsMouseDown = false;
    return;
  }
  if (editor.pointer().FIsShapeDragging && !editor.pointer().FIsScreenDragging) {
    endShapeDrag(editor);
    // An ellipse's centre or corner records that started this drag end with it, so they
    // do not count as an edge drag for the grid snap afterwards.
    if (!editor.pointer().FIsEdgeDragging) clearEdgeDragInfos(editor, editor.pointer().FDraggingEdges);
    return;
  }

  const bool wasDown = editor.pointer().FIsMouseDown;
  editor.pointer().FIsMouseDown = false;
  editor.pointer().FLastShiftState = Shift;
  editor.pointer().FIsScreenDragging = false;
  const bool click = isClickWithoutMove(editor, X, Y);

  if (Button == TMouseButton::Middle && click) {
    deleteSelectedShapes(editor);
    editor.ui().refreshCanvas();
    return;
  }
  if (hasAlt(Shift)) {
    if (hasCtrl(Shift)) {
      // The eyedropper: the line type of the shape under the pointer becomes the pen.
      editor.pointer().FIsRangeSelecting = false;
      const std::vector<TQN_Path *> hits =
          shapesAtScreenPoint(editor, editor.doc().PathList(), false, X, Y, true, true, true);
      if (!hits.empty() && hits.front()->FPalletIndex >= 0 && hits.front()->FPalletIndex <= 39)
        selectPalette(editor, hits.front()->FPalletIndex, true);
      return;
    }
  } else if (toolIs(editor, TTool::DistMarkLine) && Button == TMouseButton::Left) {
    const TPointF at = editor.tool().Clicked_Points.empty() && editor.snap().FStickyExists ? editor.snap().FStickyPoint
                                                                              : virtualToRealXY(editor, X, Y);
    editor.pointer().FShapeCreated = commitDistanceMarkingTool(editor, at, false, nullptr) != nullptr;
    editor.ui().refreshCanvas();
  }

  if (editor.pointer().FIsEdgeDragging && !click) {
    applyEdgeDragging(editor);
    editor.pointer().FIsEdgeDragging = false;
    clearEdgeDragInfos(editor, editor.pointer().FDraggingEdges);
    editor.ui().refreshCanvas();
    releaseTail(editor);
    return;
  }

  if (editor.pointer().FBezierEditInfo.IsBezierEditing && wasDown) {
    if (click) {
      releaseTail(editor);
      return;
    }
    TBezierEditingInfo info = editor.pointer().FBezierEditInfo;
    editor.pointer().FBezierEditInfo.IsBezierEditing = false;
    TPointF p = virtualToReal(editor, editor.pointer().FLastMousePos, true);
    if (hasShift(Shift) && !hasCtrl(Shift)) p = constrainHandleToAxis(info, p);
    applyBezierControlPoint(editor, info, p);
    if (hasShift(Shift) && hasCtrl(Shift)) mirrorOppositeBezierHandle(editor, info);
    editor.pointer().FBezierEditInfo = TBezierEditingInfo{};
    editor.ui().refreshCanvas();
    takeUndoSnapshot(editor, QStringLiteral("mouseup:bezier"));
    releaseTail(editor);
    return;
  }

  if (editor.tool().FIsStitchTool && !editor.pointer().FIsRangeSelecting && Button == TMouseButton::Left) {
    placeStitchingHoles(editor, X, Y);
    editor.ui().refreshCanvas();
    releaseTail(editor);
    return;
  }

  // Alt and a click on a selected line, arc, circle or Bezier splits it there.
  const bool splitTried = hasAlt(Shift) && Button == TMouseButton::Left && !editor.pointer().FShapeCreated &&
                          calcDistance(editor.pointer().FFirstMousePos, {X, Y}) < kSplitClickPx;
  if (splitTried && splitAtPoint(editor, X, Y)) {
    editor.pointer().FIsRangeSelecting = false;
    return;
  }

  if (editor.pointer().FIsRangeSelecting && !click) {
    editor.pointer().FIsRangeSelecting = false;
    TSelectKeys keys;
    keys.Shift = hasShift(Shift);
    keys.Ctrl = hasCtrl(Shift);
    keys.Alt = hasAlt(Shift);
    selectShapesInRect(editor, virtualToReal(editor, editor.pointer().FFirstMousePos), virtualToRealXY(editor, X, Y),
                       keys);
    applyToSelectedGroups(editor, false);
    releaseTail(editor);
    return;
  }

  if (Button != TMouseButton::Left || editor.pointer().FShapeCreated) {
    if (Button == TMouseButton::Right && !editor.pointer().FShapeCreated && click) {
      TBezierEditingInfo handle = hitBezierHandle(editor, X, Y);
      if (handle.p) {
        editor.pointer().FBezierEditInfo = handle;
        editor.ui().popupMenu(TPopupMenu::BezierControlPoints, {X, Y});
      } else {
        TQN_Path *other = nullptr;
        const bool onOther = shapeOnOtherLayerAt(editor, X, Y, other);
        if (onOther || countSelected(editor, true, false) > 0) {
          TQN_Path *item = nullptr;
          editor.pointer().FLastRightClickMousePosItem = selectedShapeAt(editor, X, Y, item) ? item : nullptr;
          editor.pointer().FLastRightClickRealPos = virtualToRealXY(editor, X, Y);
          editor.lint().ResolveIssuesVisible = hasDrawingIssue(editor, editor.pointer().FLastRightClickMousePosItem);
          editor.ui().popupMenu(TPopupMenu::SelectedItems, {X, Y});
        }
      }
    }
    releaseTail(editor);
    return;
  }

  // Left button, nothing created yet.
  editor.tool().FSplitNotSelectedWarning = false;
  if (hasAlt(Shift) && !splitTried && splitAtPoint(editor, X, Y)) {
    editor.pointer().FIsRangeSelecting = false;
    return;
  }
  if (!hasShift(Shift) && !hasCtrl(Shift)) {
    const bool keep = editor.tool().FIsOffsetMode || (editor.FOptions && editor.FOptions->IncrementalSelectionMode) ||
                      (toolIs(editor, TTool::Mentori) && editor.FOptions && editor.FOptions->MentoriWithoutCtrl);
    if (!keep) deselectAll(editor);
  }
  if (!click) {
    editor.FRangeText = QStringLiteral("Mouse up pos is not same as the first pos. ") +
                        QString::number(double(calcDistance(editor.pointer().FFirstMousePos, {X, Y})));
    editor.ui().setRangeText(editor.FRangeText);
    releaseTail(editor);
    return;
  }
  const TPointF pt = editor.snap().FStickyExists ? editor.snap().FStickyPoint : virtualToRealXY(editor, X, Y);
  const bool same = !editor.tool().Clicked_Points.empty() && editor.tool().Clicked_Points.back() == pt;
  if (!hasAlt(Shift)) dispatchToolClick(editor, pt, same, Shift);
  if (!editor.pointer().FShapeCreated && !selectByClick(editor, Shift, X, Y, pt)) return;
  releaseTail(editor);
}

bool selectByClick(TEditor &editor, TShiftState Shift, float x, float y, TPointF pt) {
  const bool plain = !hasCtrl(Shift) && !hasShift(Shift);
  const bool allLayers = hasAlt(Shift) || editor.tool().FIsOffsetMode;
  std::vector<TQN_Path *> hits =
      shapesAtScreenPoint(editor, editor.doc().PathList(), false, x, y, plain, false, allLayers);
  if (hits.empty())
    hits = shapesAtScreenPoint(editor, editor.doc().PathList(), false, x, y, plain, true,
                               allLayers || editor.tool().FInLineSymmetryMode);

  bool closedOutline = false;
  for (const TQN_Path *hit : hits) closedOutline = closedOutline || (hit->isKind(TShapeKind::Other) && hit->fillPath());

  TDisplayState &canvas = editor.display();
  int n = 0;
  for (TQN_Path *hit : hits) {
    if (toolIs(editor, TTool::LeatherSimulator) && closedOutline &&
        !(hit->isKind(TShapeKind::Other) && hit->fillPath()))
      continue;
    if (canvas.SelectNextStitchingHoleMode) {
      if (!hit->isKind(TShapeKind::Hole) || hit == editor.tool().FLastStitch) continue;
      if (editor.tool().FLastStitch && inDocument(editor, editor.tool().FLastStitch)) {
        linkStitch(*editor.tool().FLastStitch, *hit);
        editor.tool().FLastStitch = hit;
        hit->SetSelected(true);
        // Thread points follow the hole's fields; those of a hole without an iron are kept.
        if (hit->PrickingIron()) hit->calcStitchInOutPos();
        ++n;
        takeUndoSnapshot(editor, QStringLiteral("mouseup:stitch"));
        break;
      }
      continue;
    }
    if (editor.tool().FInLineSymmetryMode) {
      // The first LINE hit is the mirror axis; the release ends there.
      if (!hit->isKind(TShapeKind::Line)) continue;
      commitLineSymmetry(editor, *hit);
      return false;
    }
    if (editor.tool().FIsOffsetMode && (hit->isKind(TShapeKind::Other) || hit->isKind(TShapeKind::Text))) continue;
    if (hasCtrl(Shift)) {
      if (isVisibleForSelection(editor, *hit) &&
          (hit->FLayerID == editor.FActiveLayer || hasAlt(Shift) || canvas.IgnoreLayer))
        hit->SetSelected(!hit->FSelected);
    } else {
      hit->SetSelected(true);
      if (!editor.pointer().FFirstSelection) editor.pointer().FFirstSelection = hit;
    }
    if (hit->FSelected && hit->FMandalaID > 0) {
      canvas.Mandala.Center = hit->FMandalaCenter;
      canvas.Mandala.NumSections = float(hit->FNumMandalaSections);
      canvas.Mandala.Rotation = hit->FMandalaRotation;
    }
    hit->FClickedPoint = pt;
    hit->FIsManuallyClicked = true;
    showShapeInfo(editor, *hit);
    ++n;
    if (!hit->FSelected && hit == editor.tool().FEditingText) resetTextEditor(editor, false);
  }

  showLineAngleInfo(editor);
  if (n > 0) {
    applyToSelectedGroups(editor, false);
    updateSelectionInfo(editor);
    editor.ui().refreshCanvas();
    return true;
  }
  if ((toolIs(editor, TTool::Select) || toolIs(editor, TTool::LeatherSimulator)) && !hasCtrl(Shift)) {
    deselectAll(editor);
    editor.display().FShow_intersections = false;
    editor.ui().refreshCanvas();
  } else if (editor.tool().FIsOffsetMode) {
    runOffsetTool(editor, nullptr);
    updateSelectionInfo(editor);
  } else if (toolIs(editor, TTool::Text)) {
    beginTextEntry(editor);
    editor.ui().refreshCanvas();
  } else if (toolIs(editor, TTool::Mentori)) {
    deselectAll(editor);
    editor.ui().refreshCanvas();
  }
  return true;
}

void pointerDoubleClick(TEditor &editor) {
  editor.pointer().FIsMouseDown = false;
  editor.pointer().FDoubleClicked = true;
  if (toolIs(editor, TTool::Stitch)) return;
  // A double click on a Bezier handle makes the handle across its joint symmetric.
  const TPointF at = editor.pointer().FLastMousePos;
  const TBezierEditingInfo handle = hitBezierHandle(editor, at.X, at.Y);
  if (handle.p) {
    editor.pointer().FBezierEditInfo = handle;
    adjustOpponentHandle(editor, TOpponentHandle::Symmetric);
    editor.pointer().FBezierEditInfo.IsBezierEditing = false;
    return;
  }
  // The holes on the chosen shapes come with the stitching commands.
  selectConnectedShapes(editor, at);
  editor.pointer().FIsRangeSelecting = false;
  if (editor.tool().FIsMentoriMode) roundSelectedCorners(editor);
  updateSelectionInfo(editor);
  editor.ui().refreshCanvas();
}

}  // namespace quillon
