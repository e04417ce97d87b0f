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
