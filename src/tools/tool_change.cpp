#include "tools/tool_change.h"

#include <array>

#include "edit/drawing_check.h"
#include "render/paint.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"
#include "shell/selection.h"
#include "tools/status_info.h"
#include "shell/undo.h"

namespace quillon {

namespace {

struct TToolRow {
  TTool Tool;
  char HotKey;
  TRibbonTab RibbonTab;
};

// The tool bar in order, with the hot key of each button's hint and the ribbon tab that
// choosing the tool shows.
constexpr std::array<TToolRow, kToolCount> kTools = {{
    {TTool::Select, 'A', TRibbonTab::Home},
    {TTool::Dot, 'D', TRibbonTab::Home},
    {TTool::Line, 'L', TRibbonTab::Line},
    {TTool::Bezier, 'B', TRibbonTab::Home},
    {TTool::Circle, 'E', TRibbonTab::Ellipse},
    {TTool::Rect, 'R', TRibbonTab::Rect},
    {TTool::Stitch, 'P', TRibbonTab::Pricking},
    {TTool::Mentori, 'X', TRibbonTab::Mentori},
    {TTool::Offset, 'O', TRibbonTab::Offset},
    {TTool::Backdrop, 'W', TRibbonTab::Backdrop},
    {TTool::CenterLine, 'C', TRibbonTab::CenterLine},
    {TTool::DistMarkLine, 'M', TRibbonTab::DistMarking},
    {TTool::Text, 'T', TRibbonTab::Text},
    {TTool::Arc, 'V', TRibbonTab::Arc},
    {TTool::Trimming, '!', TRibbonTab::Trimming},
    {TTool::DimensionLine, '#', TRibbonTab::Dimension},
    {TTool::Mandala, 'Q', TRibbonTab::Home},
    {TTool::LeatherSimulator, 'U', TRibbonTab::Home},
}};

const TToolRow &rowOf(TTool tool) { return kTools[static_cast<std::size_t>(tool)]; }

// Runs the switch for the button that is down; `sender` is the button that was clicked.
void runToolChange(TEditor &editor, std::optional<TTool> sender) {
  const TTool tool = editor.tool().FTool;

  // 1. Ends what the previous tool left behind.
  flushPendingSnapshots(editor);
  editor.tool().FIsNotchMode = false;
  // The tangent tool's circle mode and the catalog export come with their subsystems.
  editor.tool().FShowDblClickLilneTypeChangeWarning = false;
  editor.tool().FSplitNotSelectedWarning = false;

  applyLeatherSimulatorMode(editor, tool == TTool::LeatherSimulator);
  // The tracing-image pivot is dropped here once tracing images exist.

  if (tool != TTool::Text) finishTextEditing(editor);
  editor.tool().FIsCenterLineMode = false;
  // The temporary distance-marking line is discarded here once the marking tool exists.

  editor.display().FShow_intersections = !(tool == TTool::Select || tool == TTool::Backdrop || tool == TTool::Text ||
                                 tool == TTool::LeatherSimulator);

  editor.tool().Clicked_Points.clear();
  editor.snap().FSnapPoints.clear();
  editor.doc().FStitchIntersections.FreeAll();

  // 2. The new tool's own step.
  TToolPanels panels;
  panels.Tool = tool;
  panels.RibbonTab = rowOf(tool).RibbonTab;
  switch (tool) {
    case TTool::Stitch:
      deselectAll(editor);
      panels.RightTab = TRightTab::PrickingIrons;
      editor.tool().FStitchingCount = 0;
      break;
    case TTool::Offset:
    case TTool::Text:
    case TTool::DistMarkLine:
    case TTool::Backdrop:  // the chosen tracing image is marked once tracing images exist
      deselectAll(editor);
      break;
    case TTool::Trimming:
      deselectAll(editor);
      editor.tool().Clicked_Points.clear();
      editor.tool().FIsNotchMode = false;
      break;
    case TTool::DimensionLine:
      editor.display().FShowDimensionShapes = true;
      deselectAll(editor);
      break;
    case TTool::Mandala:
      // The mandala switch goes on; the first choice also centres the view on the repeat
      // once radial repeats exist.
      editor.display().IsMandalaMode = true;
      editor.tool().FMandalaButtonTag = 1;
      deselectAll(editor);
      panels.RightTab = TRightTab::Mandala;
      break;
    case TTool::CenterLine:
      deselectAll(editor);
      editor.tool().Clicked_Points.clear();
      editor.tool().FIsCenterLineMode = true;
      break;
    case TTool::Mentori:
      // The corner-rounding mode: everything deselected, its own ribbon tab.
      deselectAll(editor);
      break;
    default: break;
  }

  // Back at the select tool the radial-repeat mode ends (its switch is the tool here), so
  // its panel closes with the stitching tool's.
  if (tool == TTool::Select) editor.display().IsMandalaMode = false;

  editor.tool().FIsOffsetMode = tool == TTool::Offset;
  editor.tool().FIsMentoriMode = tool == TTool::Mentori;
  editor.tool().FIsStitchTool = tool == TTool::Stitch;

  panels.RightPanelVisible = tool == TTool::Stitch || tool == TTool::Mandala || editor.display().IsMandalaMode;
  editor.ui().showToolPanels(panels);
  if (panels.RightPanelVisible) updateSelectionInfo(editor);
  editor.ui().refreshCanvas();

  // The select tool is never remembered, so Escape can return from it to the tool used last.
  if (sender && *sender != TTool::Select) editor.tool().FLastUsedTool = *sender;
  refreshDrawingCheck(editor);
}

}  // namespace

QString toolButtonHint(TTool tool) { return QStringLiteral("Hotkey: ") + QChar::fromLatin1(rowOf(tool).HotKey); }

std::optional<TTool> toolOfHotKey(QChar key) {
  const QChar upper = key.toUpper();
  for (const TToolRow &row : kTools)
    if (upper == QChar::fromLatin1(row.HotKey)) return row.Tool;
  return std::nullopt;
}

void sbToolsClick(TEditor &editor, TTool tool) {
  editor.tool().FTool = tool;
  runToolChange(editor, tool);
}

void sbToolsClick(TEditor &editor) { runToolChange(editor, std::nullopt); }

void switchToSelectTool(TEditor &editor) { sbToolsClick(editor, TTool::Select); }

void applyLeatherSimulatorMode(TEditor &editor, bool active) {
  // The hide-strokes box and its stroke hiding follow the mode once the leather simulation
  // exists.
  if (!editor.FOptions) return;
  if (editor.FOptions->ShowStitchPattern == active) return;
  editor.FOptions->ShowStitchPattern = active;
  editor.panel().ShowStitchPattern = active;
  editor.ui().refreshCanvas();
}

}  // namespace quillon
