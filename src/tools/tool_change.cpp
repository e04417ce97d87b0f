#include "tools/tool_change.h"

#include <array>

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
  const char *Button;
  char HotKey;
  const char *RibbonTab;
};

// The tool bar in order, with the hot key of each button's hint and the ribbon tab that
// choosing the tool shows.
constexpr std::array<TToolRow, kToolCount> kTools = {{
    {TTool::Select, "sbSelect", 'A', "tabTop_Home"},
    {TTool::Dot, "sbDot", 'D', "tabTop_Home"},
    {TTool::Line, "sbLine", 'L', "tabTop_Line"},
    {TTool::Bezier, "sbBezier", 'B', "tabTop_Home"},
    {TTool::Circle, "sbCircle", 'E', "tabTop_Ellipse"},
    {TTool::Rect, "sbRect", 'R', "tabTop_Rect"},
    {TTool::Stitch, "sbStitch", 'P', "tabTop_Pricking"},
    {TTool::Mentori, "sbMentori", 'X', "tabTop_Mentori"},
    {TTool::Offset, "sbOffset", 'O', "tabTop_Offset"},
    {TTool::Backdrop, "sbBackdrop", 'W', "tabTop_Backdrop"},
    {TTool::CenterLine, "sbCenterLine", 'C', "tabTop_CenterLine"},
    {TTool::DistMarkLine, "sbDistMarkLine", 'M', "tabTop_DistMarking"},
    {TTool::Text, "sbText", 'T', "tabTop_Text"},
    {TTool::Arc, "sbArc", 'V', "tabTop_Arc"},
    {TTool::Trimming, "sbTrimming", '!', "tabTop_Trimming"},
    {TTool::DimensionLine, "sbDimensionLine", '#', "tabTop_Dimension"},
    {TTool::Mandala, "sbMandala", 'Q', "tabTop_Home"},
    {TTool::LeatherSimulator, "sbLeatherSimulator", 'U', "tabTop_Home"},
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
  panels.RibbonTab = QString::fromLatin1(rowOf(tool).RibbonTab);
  switch (tool) {
    case TTool::Stitch:
      deselectAll(editor);
      panels.RightTab = QStringLiteral("TabPrickingIrons");
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
      panels.RightTab = QStringLiteral("tabTop_Mandara");
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

  editor.tool().FIsOffsetMode = tool == TTool::Offset;
  editor.tool().FIsMentoriMode = tool == TTool::Mentori;
  editor.tool().FIsStitchTool = tool == TTool::Stitch;

  panels.RightPanelVisible = tool == TTool::Stitch || tool == TTool::Mandala || editor.display().IsMandalaMode;
  editor.ui().showToolPanels(panels);
  if (panels.RightPanelVisible) updateSelectionInfo(editor);
  editor.ui().refreshCanvas();

  // The select tool is never remembered, so Escape can return from it to the tool used last.
  if (sender && *sender != TTool::Select) editor.tool().FLastUsedTool = *sender;
  // The drawing check runs again here once it exists.
}

}  // namespace

QString toolButtonName(TTool tool) { return QString::fromLatin1(rowOf(tool).Button); }

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
