#include "i18n/builtin_phrases.h"

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
};

}  // namespace

std::span<const TBuiltInPhrase> builtInPhrases() { return kBuiltInPhrases; }

void TMultiLang::registerBuiltInTranslations() {
  for (const TBuiltInPhrase &row : builtInPhrases())
    addTranslationLocked(QString::fromUtf8(row.LangID), QString::fromUtf8(row.Key),
                         QString::fromUtf8(row.Phrase));
}

}  // namespace quillon
