#include "tools/panel_commands.h"

#include "edit/size_commands.h"
#include "model/shape.h"
#include "platform/number_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "tools/draw_tools.h"
#include "tools/status_info.h"

namespace quillon {

void applyLineLengthToSelection(TEditor &editor) { setSelectedLinesLength(editor, editor.panel().nbLineLength1); }

TPointF ellipseSizeOfPanel(const TPanelValues &panel) {
  const auto rounded = [](float mm) { return float(roundHalfAwayFromZero(mm, 4)); };
  const float x = rounded(panel.nbEllipseXlen1), y = rounded(panel.nbEllipseYlen1);
  if (panel.chkEllipseXlen && panel.chkEllipseYlen) return {x, y};
  if (panel.chkEllipseXlen) return {x, x};
  if (panel.chkEllipseYlen) return {y, y};
  return {0.0f, 0.0f};
}

void applyEllipseSizeToSelection(TEditor &editor) {
  const TPointF size = ellipseSizeOfPanel(editor.panel());
  setSelectedEllipsesSize(editor, size.X, size.Y);
}

bool rebuildEditedText(TEditor &editor) {
  TQN_Path *text = editor.tool().FEditingText.get();
  if (!text || !text->isKind(TShapeKind::Text)) return false;
  const TPanelValues &panel = editor.panel();
  const bool listed = panel.SelectedFontIndex >= 0 && panel.SelectedFontIndex < panel.FontNames.size();
  const QString family = listed ? panel.FontNames[panel.SelectedFontIndex] : text->FFontFamily;
  const float radius = getSignedTextRadius(editor);
  if (panel.TextFontSize == text->FFontSize && panel.nbTextRotation == text->FRotation &&
      family == text->FFontFamily && panel.nbTextTracking == text->FTextStretch && radius == text->FTextRadius &&
      panel.chkTextFill == text->FTextFill)
    return false;

  text->drawTextPath(text->FText, text->FStartPt, panel.TextFontSize, panel.nbTextRotation, family, radius,
                     panel.nbTextTracking);
  text->FTextFill = panel.chkTextFill;
  if (++editor.FUndoStore.FRequireSnapshotText == 1) updateSelectionInfo(editor);
  editor.ui().refreshCanvas();
  return true;
}

}  // namespace quillon
