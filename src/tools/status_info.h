#pragma once
// What the main window shows about the selection and the pointer: the enabling of the
// commands that follow the selection, the information lines under the drawing (lblID,
// lblRange, lblLength, lblNumOfStitches, lblTotalLength) and the status line (lblStatus).
// The texts are computed here and kept in the editor; the window shows them when told
// through TEditorUi (showInfo, applySelectionActions, setStatusText).
#include <QString>

#include <functional>
#include <optional>

namespace quillon {

class TEditor;
class TQN_Path;

// The information lines, as the editor keeps them.
struct TInfoTexts {
  QString ID;             // lblID
  QString Range;          // lblRange
  QString Length;         // lblLength
  QString NumOfStitches;  // lblNumOfStitches
  QString TotalLength;    // lblTotalLength
};
TInfoTexts infoTextsOf(const TEditor &editor);
// A length in the unit of the settings, with the unit's suffix.
QString lengthWithUnit(const TEditor &editor, double mm);
// Hands the editor's information lines to the window.
void showInfoTexts(TEditor &editor);

// The enabling that updateSelectionInfo derives, one member per command or control,
// named after it. A member without a value is not decided here (its subsystem decides)
// and keeps its current state.
struct TSelectionActions {
  bool actConvertToPath = false;
  bool actCountNumOfStitchingHolesOnSelectedPaths = false;
  bool actCopyToClipboard = false;
  bool actCutToClipboard = false;
  bool actFlipHorizontally = false;
  bool actFlipVertically = false;
  bool actDeleteSelectedShapes = false;
  bool actAlignLeft = false;
  bool actAlignRight = false;
  bool actAlignTop = false;
  bool actAlignBottom = false;
  bool actAlignMiddleH = false;
  bool actAlignMiddleV = false;
  bool actDeleteStitchingHolesOnSelectedPaths = true;
  bool actPasteFromClipboard = true;
  bool actConvertArcToBezier = false;
  bool actSeparateTemplateIntoShapes = false;
  bool actChangeStitchingHoleShape = false;
  bool actSelectNextStitchingHole = false;
  bool actEndsStitchHere = false;
  bool actUndo = false;
  bool actRedo = false;
  bool btnLineSymmetry = false;
  bool actUngroup = false;
  bool actCreateGroup = false;
  bool actLeatherSim_RotateImage = false;
  bool actSim_ZoomIn1pct = false;
  bool actSim_ZoomIn5pct = false;
  bool actSim_ZoomOut1pct = false;
  bool actSim_ZoomOut5pct = false;
  bool actSim_ResetZoom = false;
  bool actShowHideBeizerOffsetSupportLInes = false;
  bool actExtendOrTrimLines = false;
  bool actEditLineAngle = false;
  bool actMirrorMandalaItem = false;
  bool actLayer_ActivateLayerOfSelectedShape = false;
  std::optional<bool> actLayer_MoveSelectedShapesToTheLayerBelow;
  std::optional<bool> actLayer_DuplicateSelectedShapesOnBelowLayer;
  std::optional<bool> actSimulateWithLeatherPicture;

  // Calls f(object name, enabled) for every member that has a value, in member order.
  void forEach(const std::function<void(const QString &, bool)> &f) const;
};

// The enabling for the current selection and undo state. Recounts FSelectionCount.
TSelectionActions computeSelectionActions(TEditor &editor);

// Re-derives the enabling (handed to the window) and the total-length line; with no
// line, curve, ellipse or arc selected it also clears the shape lines and shows the ID,
// line type and colour of the last selected shape. With one selected, the ID, range and
// length lines are filled again from the selection as it is now (the shape last shown
// while it stays selected, else the last selected one with a length), so they follow
// every command. The window is told both.
void updateSelectionInfo(TEditor &editor);

// The ID, range and length lines of one shape, which becomes the shape the lines follow
// (FInfoShapeID); the window is told. The ID line starts with "(Sel=n) " when n shapes,
// more than one, are selected.
void showShapeInfo(TEditor &editor, const TQN_Path &shape);
// The same lines, without telling the window or remembering the shape.
void fillShapeInfo(TEditor &editor, const TQN_Path &shape);

// With exactly two selected lines: every joint of the two puts their angle in front of
// the ID line ("Angle=90.00 degree, "). The window is told when the line changed.
void showLineAngleInfo(TEditor &editor);
// The same without telling the window; true when the ID line changed.
bool prefixLineAngle(TEditor &editor);

// The status line for the pointer at the drawing-box pixel (x, y):
// "Scale 12.34, Pos: (x, y)" with the sticky point when there is one (then "<Sticky>"
// follows), and the waiting coalesced changes after ";  ".
QString statusBarText(const TEditor &editor, float x, float y);
// Writes it to the status line.
void updateStatusBar(TEditor &editor, float x, float y);

}  // namespace quillon
