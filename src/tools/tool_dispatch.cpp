#include "tools/tool_dispatch.h"

#include "edit/notch.h"
#include "edit/trim.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "tools/status_info.h"
#include "shell/undo.h"
#include "tools/draw_tools.h"
#include "tools/mark_tools.h"

namespace quillon {

void dispatchToolClick(TEditor &editor, TPointF pt, bool same, TShiftState Shift) {
  (void)pt;
  (void)same;
  (void)Shift;
  switch (editor.tool().FTool) {
    // One case per drawing tool, in the order the tools are tried: Bezier, line,
    // rectangle, ellipse, centre line, dimension, dot, arc, trim.
    // Radial-repeat copies of the Bezier, line, rectangle and arc tools come with the
    // radial-repeat mode.
    case TTool::Bezier:
      if (same) break;
      commitBezierTool(editor, pt, true, true, true);
      editor.pointer().FShapeCreated = true;
      break;
    case TTool::Line:
      if (same) break;
      commitLineOrRectTool(editor, pt, false, Shift, false, true, true, true);
      editor.pointer().FShapeCreated = true;
      break;
    case TTool::Rect:
      if (same) break;
      commitLineOrRectTool(editor, pt, true, Shift, false, true, true, true);
      editor.ui().refreshCanvas();
      editor.pointer().FShapeCreated = true;
      break;
    case TTool::Circle:
      if (same) break;
      // The radial-repeat copies of the ellipse come with the radial-repeat mode.
      if (!commitEllipseTool(editor, pt, Shift, true, true, false).empty())
        takeUndoSnapshot(editor, QStringLiteral("mouseup:mandala2"));
      editor.ui().refreshCanvas();
      editor.pointer().FShapeCreated = true;
      break;
    case TTool::CenterLine:
      if (same) break;
      editor.pointer().FShapeCreated = commitCenterLineTool(editor, pt, Shift, false);
      updateSelectionInfo(editor);
      editor.ui().refreshCanvas();
      break;
    case TTool::DimensionLine:
      if (same || (Shift & ~ssLeft) != 0) break;
      editor.pointer().FShapeCreated = commitDimensionTool(editor, pt, Shift);
      updateSelectionInfo(editor);
      editor.ui().refreshCanvas();
      break;
    case TTool::Dot:
      if (same) break;
      commitDotTool(editor, pt, true);
      editor.pointer().FShapeCreated = true;
      break;
    case TTool::Arc:
      if (same) break;
      commitArcTool(editor, pt, true, false, editor.panel().rbArc_R, editor.panel().rbArc_HalfMoonRatio,
                    editor.panel().rbArc_3_points);
      editor.pointer().FShapeCreated = true;
      break;
    case TTool::Trimming:
      // With the notch mode ticked the click goes to the notch tool.
      editor.pointer().FShapeCreated =
          editor.tool().FIsNotchMode ? notchClick(editor, pt) : trimAtPoint(editor, pt);
      editor.ui().refreshCanvas();
      break;
    default: break;
  }
}

}  // namespace quillon
