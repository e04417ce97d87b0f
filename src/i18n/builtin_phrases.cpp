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
};

}  // namespace

std::span<const TBuiltInPhrase> builtInPhrases() { return kBuiltInPhrases; }

void TMultiLang::registerBuiltInTranslations() {
  for (const TBuiltInPhrase &row : builtInPhrases())
    addTranslationLocked(QString::fromUtf8(row.LangID), QString::fromUtf8(row.Key),
                         QString::fromUtf8(row.Phrase));
}

}  // namespace quillon
