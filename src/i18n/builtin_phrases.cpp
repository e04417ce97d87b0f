#include "i18n/builtin_phrases.h"

#include <QDebug>
#include <QMutex>
#include <QSet>

#include <cstring>

#include "i18n/multi_lang.h"

namespace quillon {

namespace {

// Rows grouped by language; every language has "two-letter-codes" (its own code) and
// "LanguageName" (the name the Language menu shows).
constexpr TBuiltInPhrase kBuiltInPhrases[] = {
    // English
    {"two-letter-codes", "en", "en"},
    {"LanguageName", "en", "English"},
    {"lblLayerCaption", "en", "Layer"},
    {"askAutoDownload", "en",
     "Automatically download leather images for the leather simulator?\n"
     "(You can change this later from the Options menu.)"},
    // Measurements shown on the canvas.
    {"TotalLen", "en", "Total Len="},
    {"radius", "en", "Radius: "},
    {"directdist", "en", "Distance="},
    {"Width=", "en", "Width="},
    {"Height=", "en", "Height="},
    {"diameter", "en", "Diameter="},
    {"rounddist", "en", "Circumference="},
    // The path-object commands of the selection's pop-up menu.
    {"miRepository", "en", "Repository Related"},
    {"actConvertToPath", "en", "Convert selected shape(s) into a template object"},
    {"actConvertACopyToPath", "en", "Convert a copy of selected Shape(s) into a template object"},
    {"actSeparateTemplateIntoShapes", "en", "Separate a template into shapes"},
    {"actConvertArcToBezier", "en", "Convert an arc  to a Bezier curve"},
    // The pricking tab and the pricking irons.
    {"chkInverted", "en", "Reverse"},
    {"rbFixedPitch", "en", "Fixed Pitch:"},
    {"rbAutoPitchAdjust", "en", "Auto Pitch"},
    {"lblAutoPrickingMode", "en", "Auto Pricking Mode:"},
    {"rbSetNumOfHoles", "en", "Set # of holes:"},
    {"lblCornerMode", "en", "Jnt.Mode:"},
    {"cmbCornerMode_0", "en", "SmartCorner"},
    {"cmbCornerMode_1", "en", "AllJunctions"},
    {"cmbCornerMode_2", "en", "Uniform"},
    {"lblCornerAngle", "en", "Thresh:"},
    {"chkReduceOneBlade", "en", "Reduce 1 Blade"},
    {"TabPrickingIrons", "en", "Pricking Irons"},
    {"endlessloop", "en", "Endless loop error"},
    // The drawing check and its fixes.
    {"actResolveIssues", "en", "Fix alignment & connection issues"},
    {"actResolveAll", "en", "Fix alignment & connection issues (whole drawing)"},
    {"showLintWarnings", "en", "Show drawing-check warnings"},
    {"lintInfoAxis", "en", "Off-axis by %.4f deg  endpoints (%.5f, %.5f)-(%.5f, %.5f)"},
    {"lintInfoGap", "en", "Gap %.4f mm  endpoints (%.5f, %.5f)/(%.5f, %.5f)"},
    {"lintInfoOverlap", "en", "Should connect but judged a crossing (red)  point (%.5f, %.5f)"},
    {"lintInfoTGap", "en", "T-junction gap %.4f mm  endpoint (%.5f, %.5f)"},
    {"lintHintGap", "en",
     "Looks connected but the endpoints are slightly apart (about 0.05-0.20mm). Auto-stitching / offset may fail "
     "to connect."},
    {"lintHintAxis", "en", "Nearly horizontal/vertical, but slightly tilted."},
    {"lintHintOverlap", "en",
     "The endpoints do not meet exactly, so this is judged a crossing (red) instead of a connection (blue). They "
     "slightly overlap or are slightly apart."},
    {"lintHintTGap", "en",
     "An endpoint falls short of / overshoots the middle of another line (about 0.05-0.20mm). The T-junction may "
     "not connect."},
    {"lintWarningBanner", "en", "This drawing has alignment/connection problems. Fix them from the Edit menu."},
    {"regularizeNone", "en", "No fixes were needed."},
    {"regularizeDone", "en", "Regularized the whole drawing (%d line edits in %d iterations)."},
    {"regularizeNotConverged", "en", "Regularized %d lines. Not converged - please run once more."},
    {"prickingIronsFileDamaged", "en",
     "The pricking-iron file could not be read (%1).\nIt was kept as %2; the built-in irons are used."},
    {"prickingIronsFilePartlyRead", "en",
     "%1 pricking-iron groups of the file could not be read (%2) and were left out.\n"
     "The file was kept as %3."},
    {"prickingIronsFileNotKept", "en",
     "The pricking-iron file could not be read (%1) and could not be kept aside (%2).\n"
     "It will not be overwritten when Quillon closes."},
    // The tools' controls on the ribbon pages.
    {"chkLineLength", "en", "Length:"},
    {"lblLineAngle", "en", "Set Angle:"},
    {"rbLineAngleNone", "en", "None"},
    {"rbLineRelativeAngle", "en", "Relative:"},
    {"rbLineHorizontal", "en", "Horizontal or Vertical"},
    {"chkEllipseXlen", "en", "Diameter:"},
    {"chkEllipseYlen", "en", "Height (Ellipse Only):"},
    {"chkRectWidth", "en", "Width:"},
    {"chkRectHeight", "en", "Height:"},
    {"rbArc_R", "en", "Arc Radius:"},
    {"rbArc_HalfMoonRatio", "en", "Semicircle:"},
    {"rbArc_3_points", "en", "3 Points"},
    {"lblTextFontSize", "en", "Size:"},
    {"lblTextRotation", "en", "Rotation:"},
    {"lblTextFont", "en", "Font:"},
    {"actEditFontList", "en", "Edit Font List"},
    {"lblTextTracking", "en", "Stretch:"},
    {"hintTextStretch", "en", "Text Stretch"},
    {"lblTextRadius", "en", "Radius:"},
    {"hintTextRadius", "en", "Text Radius"},
    {"chkTextCCW", "en", "CCW"},
    {"chkTextFill", "en", "Fill"},
    {"lblCenterLineLen", "en", "Line Length\uFF1A"},
    {"lblCenterLineDivisions", "en", "Divisions:"},
    {"chkDrawEdges", "en", "Draw lines to edges too"},
    {"lblMarkingPos1", "en", "Put a mark at"},
    {"lblMarkingPos2", "en", "mm from the clicked Point"},
    {"lblMarkingLineLen", "en", "  Length:"},
    {"chkDrawFirstPos", "en", "Mark origins too"},
    {"chkContinuousDistanceMarking", "en", "Continuous Marking"},
    {"cmbDim_PalletItem", "en", "Line Type #"},
    {"lblDim_Gap", "en", "Gap:"},
    {"lblDMS_FontSize", "en", "Text Size:"},
    {"lblDMS_Precision", "en", "Precision:"},
    {"chkDms_SingleLine", "en", "Single Line"},
    {"chkDms_TextInside", "en", "Inside"},
    {"chkDms_ArrowOnly", "en", "Arrow Only"},
    {"chkDms_TextReverse", "en", "Reverse Text"},
    // Commands and the small dialogs.
    {"miHelp", "en", "&Help"},
    {"actOpenNewWindow", "en", "Open New Window"},
    {"OpeningNewWindow", "en", "Opening a new window\u2026"},
    {"actMoveOrCopyWithSetDistance", "en", "Move or copy to a set distance..."},
    {"actShowReleaseNote", "en", "Show Release Notes"},
    {"actShowLicenseAgreement", "en", "Show License Agreement"},
    {"actShowAbout", "en", "&About Quillon..."},
    {"frmAbout", "en", "About Quillon..."},
    {"lblCredit", "en", "Leathercraft patterns, drawn to the millimetre."},
    {"commonOK", "en", "OK"},
    {"Expander1", "en", "Memo"},
    {"frmChangeShapeSize", "en", "Edit shape size"},
    {"symmetryMode", "en", "Symmetry Mode: Please click the symmetry line (Press ESC key to cancel)"},
    {"RotationLimitation", "en", "In the current version, only certain shapes can be rotated/scaled."},
    {"CantMentori", "en", "Can not perform corner beveling since two lines are not connected or crossed."},
    {"specifyAngleNeedsTwoLines", "en", "To specify angle, please select two lines jointed at an end."},
    {"sizeNotAccepted", "en", "The size must be above 0; nothing was changed."},
    {"askRotationAngle", "en", "Specify rotation angle"},
    {"askRotationAngleBody", "en", "Please specify the rotation angle:"},
    {"askScalingRatio", "en", "Scaling Ratio"},
    {"askScalingRatioBody", "en", "Please specify the ratio for scaling (0.1x - 10x):"},
    {"lblMentoriRadius", "en", "Bevel Radius:"},
    {"lblOffsetWidth", "en", "Offset Width:"},
    {"miTools", "en", "&Tools"},
    {"miRotation", "en", "Rotation / Scaling"},
    {"actAlignment", "en", "Alignment"},
    {"actAlignLeft", "en", "Align Left"},
    {"actAlignRight", "en", "Align Right"},
    {"actAlignTop", "en", "Align Top"},
    {"actAlignBottom", "en", "Align Bottom"},
    {"actAlignMiddleH", "en", "Align Middle Horizontally"},
    {"actAlignMiddleV", "en", "Align Middle Vertically"},
    {"actExtendOrTrimLines", "en", "Extend or tim two lines to intersection"},
    {"actEditLineAngle", "en", "Change angle of two lines"},
    {"actEditShapeSize", "en", "Specify the size of the selected shape(s) by number"},
    {"actFlipHorizontally", "en", "Flip Horizontally"},
    {"actFlipVertically", "en", "Flip Vertically"},
    {"actLineSymmetry", "en", "Symmetry"},
    {"actReversePath", "en", "Reverse Path Drawing Direction"},
    {"actRotateCW1Deg", "en", "Rotate 1 degree clockwise"},
    {"actRotateCW5Deg", "en", "Rotate 5 degree clockwise"},
    {"actRotateCCW1Deg", "en", "Rotate 1 degree counter-clockwise"},
    {"actRotateCCW5Deg", "en", "Rotate 5 degree counter-clockwise"},
    {"actSpecifyRotationAngle", "en", "Specify rotation angle"},
    {"actScaleUp1", "en", "Scale up by 1%"},
    {"actScaleUp5", "en", "Scale up by 5%"},
    {"actScaleDown1", "en", "Scale down by 1%"},
    {"actScaleDown5", "en", "Scale down by 5%"},
    {"actSpecifyScaleRatio", "en", "Scale Selected Items With Specified Ratio"},
    {"actSpecifyScaleRatioHorizontally", "en", "Scale Horizontally With Specified Ratio"},
    {"actSpecifyScaleRatioVertically", "en", "Scale Vertically With Specified Ratio"},
    {"actSetAsRotationCenter", "en", "Make mouse pointer position as the rotation/scaling center of the selected shapes"},
    {"actSetAsSnapPoint", "en", "Set mouse pointer position as the snap point of the Selected Shapes"},
    {"actMakeSelectedLineHorizontal", "en", "Make the specified line horizontal"},
    {"actMakeSelectedLineVertical", "en", "Make the specified line vertical"},
    {"actBezierMenu", "en", "Bezier curve"},
    {"actBezier_G1Smoothing", "en", "Smooth Bezier Chain(G1)"},
    {"actBezier_G2Smoothing", "en", "Smooth Bezier Chain(G2)"},
    {"actShowHideBeizerOffsetSupportLInes", "en", "Show/hide offset support of the selected Bezier lines"},
    {"actBezierCp_makeOpponentFlat", "en", "Move the control point of the jointed Bezier curve to diagonal position"},
    {"actBezierCp_makeOpponentSameLength", "en", "Make the length of the control line of the jointed Bezier curve the same"},
    {"actBezierCp_makeOpponentSymmetric", "en", "Make the control point of the jointed Bezier curve symmetrical"},
    {"tabLineLength", "en", "Line length"},
    {"tabLineAngle", "en", "line angle"},
    {"tabEllipse", "en", "ellipse"},
    {"tabArc", "en", "arc"},
    {"lblMandala_rotation", "en", "Angle:"},
    {"frmLengthAdjustDialog", "en", "Stretch Compensation"},
    {"lblLA_Title", "en", "Leather Length Compensation"},
    {"lblLA_Description", "en",
     "Leather stretches by a few per cent when it is bent round. For example, a strip of 1.8 mm "
     "leather wrapped around a cylinder of 90 mm grows by about 1.5 %; to make up for it, enter -1.5 %."},
    {"rbNoAdjustment", "en", "No compensation necessary"},
    {"rbUseLength", "en", "Specify the actual length:"},
    {"rbUseRatio", "en", "Specify the strech ratio:"},
    {"frmMoveOrCopy", "en", "Move or copy to a set distance"},
    {"lblMC_moveto_x", "en", "Move to (X direction): "},
    {"lblMC_moveto_y", "en", "Move to (Y direction): "},
    {"chkCopyInsteadOfMove", "en", "Keep the original shapes and create a copy."},
    {"btnMOC_reset_values", "en", "Reset values"},
    {"frmFontList", "en", "Font List"},
    {"lblFontList", "en", "Font List:"},
    {"lblFontPreview", "en", "Preview:"},
    {"btnFontListReset", "en", "Reset"},
    // Documents and editing.
    {"SaveProject?", "en", "Do you want to save the changes to the current project?"},
    {"NotQNDFile", "en", "Not a Quillon file or the file is corrupted."},
    {"FileNotFound", "en", "File not found: "},
    {"duplicates_deleted", "en", "Number of deleted duplicates:"},
    {"unknownKindsKept", "en", "Shapes of a kind this version does not know, kept unchanged:"},
    {"OK2RemoveAll", "en", "Is it okay to delete all the shapes?"},
    {"hideStrokeLinesWarning", "en", "Drawing lines are hidden (shapes can still be selected and edited)"},
    // Export.
    {"NothingToExport", "en", "There is nothing to export."},
    {"ExportedAsSVG", "en", "Exported as SVG format:"},
    {"ExportedAsDXF", "en", "Exported as DXF format:"},
    // Layers.
    {"LayerIsNotVisible", "en",
     "Warning: The selected layer is set as invisible. Nothing will be shown even if you draw something."},
    {"LayerIgnored", "en", "Warning: Layer ignore mode"},
    {"Cancel_LayerIgnored_win", "en", "Press Ctrl + Alt + i to cancel"},
    {"IndependentLayer", "en", "Independent Layer"},
    // Menus and their commands.
    {"miFile", "en", "&File"},
    {"miEdit", "en", "&Edit"},
    {"miView", "en", "&View"},
    {"actNewProject", "en", "New"},
    {"actLoadProject", "en", "Open..."},
    {"actOpenDemoProject", "en", "Open Demo Project"},
    {"actSaveProject", "en", "Save"},
    {"actSaveProjectAs", "en", "Save As..."},
    {"actExportAsSVG", "en", "Export As SVG..."},
    {"actExportAsDXF", "en", "Export As DXF (R12/R14)..."},
    {"actClose", "en", "Close"},
    {"actUndo", "en", "Undo"},
    {"actRedo", "en", "Redo"},
    {"actCutToClipboard", "en", "Cut"},
    {"actCopyToClipboard", "en", "Copy"},
    {"actPasteFromClipboard", "en", "Paste"},
    {"actDeleteSelectedShapes", "en", "Delete"},
    {"actSelectAll", "en", "Select All"},
    {"actDeselectAll", "en", "Deselect All"},
    {"actBackToSelectMode", "en", "Back to Select Mode"},
    {"actCreateGroup", "en", "Group Selected Shapes"},
    {"actUngroup", "en", "Ungroup"},
    {"actOrder_BringToFront", "en", "Bring to Front"},
    {"actOrder_SendToBack", "en", "Send to Back"},
    {"actDeleteDuplicates", "en", "Delete Duplicated Shapes"},
    {"miRecalcIntersections", "en", "Recalc Intersections"},
    {"actClearAll", "en", "Clear All"},
    {"actOpenOptions", "en", "Options..."},
    {"actResetView", "en", "View All"},
    {"actShowHideGrid", "en", "Grid"},
    {"actShowHideDimensionLines", "en", "Dimension Lines"},
    {"actShowHidePrintAreas", "en", "Print Areas"},
    {"actShowHideScale", "en", "Ruler"},
    // The tool bar.
    {"sbSelect", "en", "Select"},
    {"sbDot", "en", "Dot"},
    {"sbLine", "en", "Line"},
    {"sbBezier", "en", "Bezier"},
    {"sbCircle", "en", "Circle"},
    {"sbRect", "en", "Rectangle"},
    {"sbStitch", "en", "Pricking"},
    {"sbMentori", "en", "Corner"},
    {"sbOffset", "en", "Offset"},
    {"sbBackdrop", "en", "Image"},
    {"sbCenterLine", "en", "Center Line"},
    {"sbDistMarkLine", "en", "Marks"},
    {"sbText", "en", "Text"},
    {"sbArc", "en", "Arc"},
    {"sbTrimming", "en", "Trim"},
    {"sbDimensionLine", "en", "Dimension"},
    {"sbMandala", "en", "Mandala"},
    {"sbLeatherSimulator", "en", "Leather"},
    // The pages of the ribbon and of the right-hand panel, and the text tool's button.
    {"tabTop_Home", "en", "Home"},
    {"tabTop_Line", "en", "Line"},
    {"tabTop_Ellipse", "en", "Ellipse"},
    {"tabTop_Rect", "en", "Rectangle"},
    {"tabTop_Pricking", "en", "Pricking"},
    {"tabTop_Mentori", "en", "Corner Rounding"},
    {"tabTop_Offset", "en", "Offset"},
    {"tabTop_Backdrop", "en", "Tracing Image"},
    {"tabTop_CenterLine", "en", "Center Line"},
    {"tabTop_DistMarking", "en", "Distance Marks"},
    {"tabTop_Text", "en", "Text"},
    {"tabTop_Arc", "en", "Arc"},
    {"tabTop_Trimming", "en", "Trimming"},
    {"tabTop_Dimension", "en", "Dimension"},
    {"tabTop_Mandara", "en", "Mandala"},
    {"tabTop_Leather", "en", "Leather"},
    {"btnCancelTextEditing", "en", "Cancel"},
    // The palette bar and the line-type editor.
    {"btnEditPalette", "en", "Edit Palette"},
    {"actLinePaletteShowHide", "en", "Show/hide this line type"},
    {"actLinePaletteSelectAll", "en", "Select all shapes with this line type"},
    {"actLinePaletteUnselectLineType", "en", "Unselect all shapes with this line type"},
    {"actLinePaletteUnselectOthers", "en", "Unselect all shapes other than this line type"},
    {"lblEP_LineType", "en", "Line Type:"},
    {"lblEP_Color", "en", "Color:"},
    {"lblEP_Thickness", "en", "Thickness:"},
    {"lblEP_Pattern", "en", "Pattern:"},
    {"chkIgnoreInPrinting", "en", "Ignore at printing"},
};

}  // namespace

std::span<const TBuiltInPhrase> builtInPhrases() { return kBuiltInPhrases; }

bool hasBuiltInEnglishPhrase(const QString &key) {
  const QByteArray utf8 = key.toUtf8();
  for (const TBuiltInPhrase &row : kBuiltInPhrases)
    if (std::strcmp(row.LangID, "en") == 0 && utf8 == row.Key) return true;
  return false;
}

void reportKeyWithoutEnglishPhrase(const QString &key) {
  static QMutex lock;
  static QSet<QString> reported;
  if (hasBuiltInEnglishPhrase(key)) return;
  {
    QMutexLocker locked(&lock);
    if (reported.contains(key)) return;
    reported.insert(key);
  }
  qWarning().noquote() << QString::fromLatin1(kKeyWithoutPhraseLog) + QLatin1Char('"') + key + QLatin1Char('"');
}

void TMultiLang::registerBuiltInTranslations() {
  for (const TBuiltInPhrase &row : builtInPhrases())
    addTranslationLocked(QString::fromUtf8(row.LangID), QString::fromUtf8(row.Key),
                         QString::fromUtf8(row.Phrase));
}

}  // namespace quillon
