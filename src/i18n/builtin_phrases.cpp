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
    {"unknownKindsKept", "en", "Shapes of a kind this version does not know, kept unchanged:"},
};

}  // namespace

std::span<const TBuiltInPhrase> builtInPhrases() { return kBuiltInPhrases; }

void TMultiLang::registerBuiltInTranslations() {
  for (const TBuiltInPhrase &row : builtInPhrases())
    addTranslationLocked(QString::fromUtf8(row.LangID), QString::fromUtf8(row.Key),
                         QString::fromUtf8(row.Phrase));
}

}  // namespace quillon
