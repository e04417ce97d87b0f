#include "tools/key_commands.h"

#include <algorithm>
#include <array>
#include <unordered_set>
#include <vector>

#include "edit/bezier_handles.h"
#include "edit/corner_rounding.h"
#include "edit/drawing_check.h"
#include "edit/numeric_edit.h"
#include "edit/move_shapes.h"
#include "edit/path_objects.h"
#include "edit/rotate_scale_align.h"
#include "edit/size_commands.h"
#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "render/palette_commands.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/options.h"
#include "shell/selection.h"
#include "shell/throttle.h"
#include "shell/undo.h"
#include "shell/view_transform.h"
#include "tools/dragging.h"
#include "tools/status_info.h"
#include "tools/tool_change.h"
#include "tools/view_commands.h"

namespace quillon {

namespace {

// The repeat guard of the view and conversion commands bound to function keys.
constexpr int kRepeatGuardMs = 400;
// The simulated thread thickness the "+" and "-" keys step through.
constexpr float kThinnestThread = 1.0f;
constexpr float kThickestThread = 5.0f;

TKeyAction command(TKeyCommand c) {
  TKeyAction a;
  a.Command = c;
  return a;
}

TKeyAction tool(TTool t) {
  TKeyAction a = command(TKeyCommand::ChooseTool);
  a.Tool = t;
  return a;
}

TKeyAction rotation(float degrees) {
  TKeyAction a = command(TKeyCommand::RotateSelection);
  a.Angle = degrees;
  return a;
}

TKeyAction scaling(float ratio) {
  TKeyAction a = command(TKeyCommand::ScaleSelection);
  a.Ratio = ratio;
  return a;
}

// The arrow keys: the direction of the key in drawing coordinates (y grows downward).
std::optional<TPointF> arrowDirection(TKey key) {
  switch (key) {
    case TKey::Right: return TPointF(1.0f, 0.0f);
    case TKey::Left: return TPointF(-1.0f, 0.0f);
    case TKey::Down: return TPointF(0.0f, 1.0f);
    case TKey::Up: return TPointF(0.0f, -1.0f);
    default: return std::nullopt;
  }
}

// The keys matched by their code.
std::optional<TKeyAction> byKeyCode(const TKeyInput &in) {
  const bool ctrl = hasCtrl(in.Shift);
  if (const std::optional<TPointF> dir = arrowDirection(in.Key)) {
    if (!ctrl) {
      TKeyAction a = command(TKeyCommand::Pan);
      a.Step = *dir;
      return a;
    }
    // 1 mm; 0.1 mm with Shift; 0.01 mm with Alt (without Shift).
    const float step = hasShift(in.Shift) ? 0.1f : hasAlt(in.Shift) ? 0.01f : 1.0f;
    TKeyAction a = command(TKeyCommand::MoveSelection);
    a.Step = *dir * step;
    return a;
  }
  switch (in.Key) {
    case TKey::F5: return command(TKeyCommand::ToggleDimensionLines);
    case TKey::F6: return command(TKeyCommand::ToggleStitchSimulation);
    case TKey::F7: return command(TKeyCommand::TogglePrintAreas);
    case TKey::F8: return command(TKeyCommand::SeparateTemplate);
    case TKey::F9: return command(TKeyCommand::ConvertToPath);
    case TKey::F10: return command(TKeyCommand::ConvertACopyToPath);
    case TKey::BracketRight:
      if (ctrl) return scaling(hasShift(in.Shift) ? 1.05f : 1.01f);
      break;
    case TKey::BracketLeft:
      if (ctrl) return scaling(hasShift(in.Shift) ? 0.95f : 0.99f);
      break;
    case TKey::Enter: return command(TKeyCommand::EditSizeOrAngle);
    default: break;
  }
  return std::nullopt;
}

// The letter keys whose meaning changes while the dimension tool is active.
std::optional<TKeyAction> dimensionLetter(QChar upper, bool dimensionTool) {
  switch (upper.toLatin1()) {
    case 'R': return dimensionTool ? command(TKeyCommand::FlipDimensionTextReverse) : tool(TTool::Rect);
    case 'W': return dimensionTool ? command(TKeyCommand::FlipDimensionArrowOnly) : tool(TTool::Backdrop);
    case 'S': return dimensionTool ? command(TKeyCommand::FlipDimensionSingleLine)
                                   : command(TKeyCommand::ToggleMeasuringRuler);
    case 'I': return dimensionTool ? command(TKeyCommand::FlipDimensionTextInside)
                                   : command(TKeyCommand::ToggleIntersections);
    default: return std::nullopt;
  }
}

// The keys matched by their character.
std::optional<TKeyAction> byCharacter(const TEditor &editor, QChar c) {
  switch (c.unicode()) {
    case ']': return rotation(1.0f);
    case '[': return rotation(-1.0f);
    case '}': return rotation(5.0f);
    case '{': return rotation(-5.0f);
    case '+': return command(TKeyCommand::PlusKey);
    case '-': return command(TKeyCommand::MinusKey);
    case '=': return command(TKeyCommand::CycleStitchDisplay);
    case '>':
    case '<': return command(TKeyCommand::TogglePathDirections);
    case '*': return command(TKeyCommand::ClearAll);
    case 'J': return command(TKeyCommand::HideAllBezierSupportLines);
    case 'j': return command(TKeyCommand::ToggleBezierSupportLines);
    default: break;
  }
  const QChar upper = c.toUpper();
  if (auto a = dimensionLetter(upper, editor.tool().FTool == TTool::DimensionLine)) return a;
  switch (upper.toLatin1()) {
    case 'Q': return command(TKeyCommand::ToggleMandalaMode);
    case 'Y': return command(TKeyCommand::OpenRepository);
    case 'G': return command(TKeyCommand::ToggleGrid);
    case 'H': return command(TKeyCommand::ToggleTracings);
    case 'F': return command(TKeyCommand::FixMeasuringRuler);
    case 'Z': return command(TKeyCommand::ExtendOrTrimLines);
    default: break;
  }
  // The tools by the hot keys their buttons name: the letters and "!" and "#".
  if (const std::optional<TTool> t = toolOfHotKey(c)) return tool(*t);
  return std::nullopt;
}

// "+" and "-": with the stitch simulation shown, and the leather simulator active or
// nothing selected, they step the simulated thread's thickness; otherwise the opacity of
// the selected templates.
bool stepsThreadThickness(const TEditor &editor) {
  if (!editor.FOptions || !editor.FOptions->ShowStitchPattern) return false;
  return editor.tool().FTool == TTool::LeatherSimulator || countSelected(editor, false, false) == 0;
}

void stepThreadThickness(TEditor &editor, bool thicker) {
  float &thickness = editor.FOptions->StitchThickness;
  if (thicker && thickness < kThickestThread)
    thickness += 1.0f;
  else if (!thicker && thickness > kThinnestThread)
    thickness -= 1.0f;
  editor.ui().refreshCanvas();
}

// "=": both stitch display boxes on, then odd only, then even only, then both again.
// Ctrl with an arrow: the selection (dots and holes too) moves by `step` millimetres with
// its intersections, as one undo step. With nothing selected nothing moves.
void nudgeSelection(TEditor &editor, TPointF step) { moveSelectedShapes(editor, step.X, step.Y); }

void cycleStitchDisplay(TEditor &editor) {
  TPanelValues &panel = editor.panel();
  const bool even = panel.chkShowEvenStitches, odd = panel.chkShowOddStitches;
  if (even && odd) {
    panel.chkShowEvenStitches = false;
  } else if (odd) {
    panel.chkShowEvenStitches = true;
    panel.chkShowOddStitches = false;
  } else {
    panel.chkShowEvenStitches = true;
    panel.chkShowOddStitches = true;
  }
  editor.ui().refreshCanvas();
}

void flipPanelBox(TEditor &editor, bool &box) {
  box = !box;
  editor.ui().refreshCanvas();
}

void toggleMandalaMode(TEditor &editor) {
  editor.tool().FIsMandalaCenterChangeMode = false;
  if (editor.display().IsMandalaMode) {
    // The radial-repeat switch is its tool here: switching the mode off goes back to the
    // select tool, which ends the mode and closes its side panel.
    switchToSelectTool(editor);
  } else {
    sbToolsClick(editor, TTool::Mandala);
  }
}

void fixMeasuringRuler(TEditor &editor) {
  if (!editor.display().FShowRuler) return;
  editor.tool().FRulerFixed = true;
  editor.tool().FRulerRealSt = editor.snap().FStickyExists
                                   ? editor.snap().FStickyPoint
                                   : virtualToReal(editor.view(), editor.pointer().FLastMousePos);
  editor.ui().refreshCanvas();
}

void hideAllBezierSupportLines(TEditor &editor) {
  bool changed = false;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (!s->isKind(TShapeKind::Bezier) || !s->FShowBezierOffsetSupport) continue;
    s->FShowBezierOffsetSupport = false;
    changed = true;
  }
  if (!changed) return;
  takeUndoSnapshot(editor, QStringLiteral("L14975"));
  editor.ui().refreshCanvas();
}

// The ends of the Escape cascade with the select tool active.
void escapeWithSelectTool(TEditor &editor) {
  TToolState &t = editor.tool();
  if (countSelected(editor, false, false) == 0 && t.Clicked_Points.empty() && t.FLastUsedTool) {
    sbToolsClick(editor, *t.FLastUsedTool);
    return;
  }
  editor.pointer().FIsEdgeDragging = false;
  clearEdgeDragInfos(editor, editor.pointer().FDraggingEdges);
  t.Clicked_Points.clear();
  deselectAll(editor);
  t.FStitchingCount = 0;
  editor.doc().FStitchIntersections.FreeAll();
  editor.ui().refreshCanvas();
}

// Escape in line-symmetry mode: the shapes that were marked as the mirror's targets are
// selected again and nothing else is.
void endLineSymmetryMode(TEditor &editor) {
  editor.tool().FInLineSymmetryMode = false;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (s->FIsSymmetryTarget) {
      s->FIsSymmetryTarget = false;
      s->SetSelected(true);
    } else if (s->FSelected) {
      s->SetSelected(false);
      if (editor.tool().FEditingText == s) {
        editor.tool().FEditingText.reset();
        editor.panel().edText.clear();
        editor.panel().nbTextRotation = 0.0f;
        editor.panel().edTextEnabled = false;
      }
    }
  }
  editor.ui().refreshCanvas();
  updateSelectionInfo(editor);
}

void escapeCascadeEnd(TEditor &editor) {
  editor.display().FShowRuler = false;
  editor.snap().FSnapPoints.clear();
  editor.pointer().FIsRangeSelecting = false;
  clearEdgeDragInfos(editor, editor.pointer().FDraggingEdges);
  // The layer-move mode ends here once the layer commands exist.

  TToolState &t = editor.tool();
  if (t.FInLineSymmetryMode) {
    endLineSymmetryMode(editor);
  } else if (t.FTool == TTool::Select) {
    escapeWithSelectTool(editor);
  } else if (!t.Clicked_Points.empty()) {
    t.Clicked_Points.clear();
    editor.ui().refreshCanvas();
  } else if (t.FTool == TTool::Stitch && t.FStitchingCount > 0) {
    t.FStitchingCount = 0;
    editor.doc().FStitchIntersections.FreeAll();
    editor.ui().refreshCanvas();
  } else if (countSelected(editor, false, false) > 0) {
    deselectAll(editor);
    editor.ui().refreshCanvas();
  } else {
    // The message memo under the canvas is emptied here once it exists.
    switchToSelectTool(editor);
  }
}

}  // namespace

TKeyAction keyCommandOf(const TEditor &editor, const TKeyInput &in) {
  if (in.Char >= QLatin1Char('0') && in.Char <= QLatin1Char('9')) return command(TKeyCommand::SelectLineType);
  if (in.Key == TKey::Delete || in.Key == TKey::Backspace) return command(TKeyCommand::DeleteSelection);
  if (in.Key == TKey::Shift) return command(TKeyCommand::ShowShift);
  if (hasShift(in.Shift) && editor.tool().FTool == TTool::Stitch) return command(TKeyCommand::RefreshOnly);
  if (auto a = byKeyCode(in)) return *a;
  if (!in.Char.isNull())
    if (auto a = byCharacter(editor, in.Char)) return *a;
  return {};
}

void runKeyAction(TEditor &editor, const TKeyAction &a, const TKeyInput &in) {
  TPanelValues &panel = editor.panel();
  switch (a.Command) {
    case TKeyCommand::None: break;
    case TKeyCommand::SelectLineType: selectPaletteByDigitKey(editor, in.Char, in.Shift); break;
    case TKeyCommand::DeleteSelection: deleteSelectedShapes(editor); break;
    case TKeyCommand::ShowShift:
      editor.pointer().FLastShiftState = in.Shift | ssShift;
      editor.ui().refreshCanvas();
      break;
    case TKeyCommand::RefreshOnly: editor.ui().refreshCanvas(); break;
    case TKeyCommand::Pan: panByArrowKey(editor, int(a.Step.X), int(a.Step.Y)); break;
    case TKeyCommand::ToggleDimensionLines: actShowHideDimensionLinesExecute(editor); break;
    case TKeyCommand::ToggleStitchSimulation:
      if (isThrottled(editor, QStringLiteral("F6"), kRepeatGuardMs)) break;
      editor.FOptions->ShowStitchPattern = !editor.FOptions->ShowStitchPattern;
      panel.ShowStitchPattern = editor.FOptions->ShowStitchPattern;
      editor.ui().refreshCanvas();
      break;
    case TKeyCommand::TogglePrintAreas: actShowHidePrintAreasExecute(editor); break;
    case TKeyCommand::PlusKey:
    case TKeyCommand::MinusKey: {
      const bool up = a.Command == TKeyCommand::PlusKey;
      if (stepsThreadThickness(editor))
        stepThreadThickness(editor, up);
      else
        changeTemplateOpacity(editor, up);
      break;
    }
    case TKeyCommand::CycleStitchDisplay: cycleStitchDisplay(editor); break;
    case TKeyCommand::TogglePathDirections: flipPanelBox(editor, editor.display().FShowPathDirections); break;
    case TKeyCommand::ChooseTool: sbToolsClick(editor, a.Tool); break;
    case TKeyCommand::FlipDimensionTextReverse: flipPanelBox(editor, panel.chkDms_TextReverse); break;
    case TKeyCommand::FlipDimensionArrowOnly: flipPanelBox(editor, panel.chkDms_ArrowOnly); break;
    case TKeyCommand::FlipDimensionSingleLine: flipPanelBox(editor, panel.chkDms_SingleLine); break;
    case TKeyCommand::FlipDimensionTextInside:
      // The box can be ticked only while "Single Line" is.
      if (panel.chkDms_SingleLine) flipPanelBox(editor, panel.chkDms_TextInside);
      break;
    case TKeyCommand::ToggleMeasuringRuler: actShowHideScaleExecute(editor); break;
    case TKeyCommand::ToggleIntersections: toggleIntersectionDisplay(editor); break;
    case TKeyCommand::ToggleMandalaMode: toggleMandalaMode(editor); break;
    case TKeyCommand::ClearAll: btnClearAllClick(editor); break;
    case TKeyCommand::ToggleGrid: actShowHideGridExecute(editor); break;
    case TKeyCommand::FixMeasuringRuler: fixMeasuringRuler(editor); break;
    case TKeyCommand::HideAllBezierSupportLines: hideAllBezierSupportLines(editor); break;
    case TKeyCommand::MoveSelection: nudgeSelection(editor, a.Step); break;
    case TKeyCommand::SeparateTemplate: actSeparateTemplateIntoShapesExecute(editor); break;
    case TKeyCommand::ConvertToPath: actConvertToPathExecute(editor); break;
    case TKeyCommand::ConvertACopyToPath: actConvertACopyToPathExecute(editor); break;
    // A run of steps is one undo step: the snapshot waits for the key's release.
    case TKeyCommand::ScaleSelection:
      scaleSelection(editor, a.Ratio, a.Ratio, false);
      ++editor.FUndoStore.FRequireSnapshotScale;
      editor.ui().refreshCanvas();
      break;
    case TKeyCommand::RotateSelection:
      rotateSelection(editor, a.Angle, false);
      ++editor.FUndoStore.FRequireSnapshotRotate;
      editor.ui().refreshCanvas();
      break;
    case TKeyCommand::ToggleBezierSupportLines: actShowHideBezierOffsetSupportExecute(editor); break;
    case TKeyCommand::ExtendOrTrimLines: actExtendOrTrimLinesExecute(editor); break;
    case TKeyCommand::EditSizeOrAngle: editSizeOrAngle(editor); break;
    // The commands these keys run come with the tracing images and the parts repository.
    case TKeyCommand::OpenRepository:
    case TKeyCommand::ToggleTracings: break;
  }
}

void escapeKey(TEditor &editor, bool textBoxFocused) {
  // A pending scene of the tangent tool is dropped first here once the tangent tool exists.
  if (editor.display().SelectNextStitchingHoleMode) {
    editor.display().SelectNextStitchingHoleMode = false;
    editor.ui().refreshCanvas();
    return;
  }
  if (editor.layers().FIsLayerMoveMode) {  // nothing moves
    editor.layers().FIsLayerMoveMode = false;
    editor.ui().refreshCanvas();
    return;
  }
  TPointerState &p = editor.pointer();
  if (p.FIsEdgeDragging) {
    p.FIsEdgeDragging = false;
    clearEdgeDragInfos(editor, p.FDraggingEdges);
    editor.tool().Clicked_Points.clear();
    deselectAll(editor);
    editor.ui().refreshCanvas();
    return;
  }
  if (textBoxFocused) {
    const TQN_Path *text = editor.tool().FEditingText.get();
    if (text && text->isKind(TShapeKind::Text)) editor.panel().edText = text->FText;
    return;
  }
  if (p.FIsShapeDragging) return;
  escapeCascadeEnd(editor);
}

bool FormKeyDown(TEditor &editor, const TKeyInput &input) {
  bool handled = true;
  if (input.Key == TKey::Escape) {
    escapeKey(editor, input.TextBoxFocused);
  } else {
    const TKeyAction action = keyCommandOf(editor, input);
    runKeyAction(editor, action, input);
    handled = action.Command != TKeyCommand::None;
  }
  editor.pointer().FLastKey = static_cast<int>(input.Key);
  return handled;
}

void FormKeyUp(TEditor &editor, TKey key) {
  flushPendingSnapshots(editor);
  if (key == TKey::Shift && hasShift(editor.pointer().FLastShiftState)) {
    editor.pointer().FLastShiftState = 0;
    editor.ui().refreshCanvas();
  }
}

namespace {

// Every command shortcut. The alignment and the layer commands all use Ctrl+Alt; where
// two commands once shared a key, the second has a free key next to it: hiding the other
// layers Ctrl+Alt+G (beside H, which aligns to the middle), duplicating the selection on
// the layer below Ctrl+Alt+S (beside D, which deletes the layer).
constexpr TActionShortcut kActionShortcuts[] = {
    {"actNewProject", "Ctrl+N"},
    {"actLoadProject", "Ctrl+O"},
    {"actSaveProject", "Ctrl+S"},
    {"actSaveProjectAs", "Ctrl+Shift+S"},
    {"actPrint", "Ctrl+P"},
    {"actClose", "Alt+F4"},
    {"actUndo", "Ctrl+Z"},
    {"actRedo", "Ctrl+Shift+Z"},
    {"actSelectAll", "Ctrl+A"},
    {"actDeselectAll", "Ctrl+D"},
    {"actBackToSelectMode", "Ctrl+B"},
    {"actCopyToClipboard", "Ctrl+C"},
    {"actCutToClipboard", "Ctrl+X"},
    {"actPasteFromClipboard", "Ctrl+V"},
    {"actCreateGroup", "Ctrl+G"},
    {"actUngroup", "Ctrl+U"},
    {"actResetView", "Ctrl+R"},
    {"actReversePath", "Ctrl+F"},
    {"actFlipHorizontally", "Ctrl+I"},
    {"actFlipVertically", "Ctrl+J"},
    {"actLineSymmetry", "Ctrl+L"},
    {"actMoveOrCopyWithSetDistance", "Ctrl+Shift+C"},
    {"actChangeStitchingHoleShape", "Ctrl+H"},
    {"actDeleteStitchingHolesOnSelectedPaths", "Ctrl+Del"},
    {"actDrawCommonTangent", "Ctrl+E"},
    {"actMirrorMandalaItem", "Ctrl+Y"},
    {"actShowHideDimensionLines", "F5"},
    {"actShowHideStitchingSimulator", "F6"},
    {"actShowHidePrintAreas", "F7"},
    {"actSeparateTemplateIntoShapes", "F8"},
    {"actConvertToPath", "F9"},
    {"actConvertACopyToPath", "F10"},
    {"actAlignLeft", "Ctrl+Alt+L"},
    {"actAlignRight", "Ctrl+Alt+R"},
    {"actAlignTop", "Ctrl+Alt+T"},
    {"actAlignBottom", "Ctrl+Alt+B"},
    {"actAlignMiddleH", "Ctrl+Alt+H"},
    {"actAlignMiddleV", "Ctrl+Alt+V"},
    {"actLayer_AddNewLayer", "Ctrl+Alt+N"},
    {"actLayer_ChangeName", "Ctrl+Alt+C"},
    {"actLayer_DeleteLayer", "Ctrl+Alt+D"},
    {"actLayer_MoveUp", "Ctrl+Alt+U"},
    {"actLayer_MoveDown", "Ctrl+Alt+J"},
    {"actLayer_MergeIntoBelow", "Ctrl+Alt+M"},
    {"actLayer_FlattenAllLayers", "Ctrl+Alt+F"},
    {"actLayer_HideOtherLayers", "Ctrl+Alt+G"},
    {"actLayer_ShowAllLayers", "Ctrl+Alt+A"},
    {"actLayer_IgnoreLayer", "Ctrl+Alt+I"},
    {"actLayer_MoveToAnotherLayer", "Ctrl+Alt+Q"},
    {"actLayer_MoveSelectedShapesToTheLayerBelow", "Ctrl+Alt+Y"},
    {"actLayer_DuplicateSelectedShapesOnBelowLayer", "Ctrl+Alt+S"},
    {"actLayer_HighlightShapesOnCurrentLayer", "Ctrl+Alt+E"},
};

}  // namespace

std::span<const TActionShortcut> actionShortcuts() { return kActionShortcuts; }

std::optional<QString> shortcutOf(const QString &action) {
  for (const TActionShortcut &row : kActionShortcuts)
    if (action == QLatin1String(row.Action)) return QString::fromLatin1(row.Keys);
  return std::nullopt;
}

}  // namespace quillon
