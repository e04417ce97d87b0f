#pragma once
// The built-in phrase table: the program's own texts, so it is complete without any
// translation file. TMultiLang registers every row at creation and again when an
// imported translation file yields no phrase.
#include <QString>

#include <span>

namespace quillon {

// One row: a key, a language code and its phrase in that language (UTF-8, never empty).
// No (key, language) pair occurs twice; the order of the rows does not matter.
struct TBuiltInPhrase {
  const char *Key;
  const char *LangID;
  const char *Phrase;
};

std::span<const TBuiltInPhrase> builtInPhrases();

// Whether the table gives the key an English phrase.
bool hasBuiltInEnglishPhrase(const QString &key);

// The text logged for a key that the code asks for and the table has no English phrase
// for (a fault of the program: the user would see nothing, or the key itself).
inline constexpr const char *kKeyWithoutPhraseLog = "Quillon: no English phrase for the key ";

// Logs that text once per key and run when the table has no English phrase for the key.
void reportKeyWithoutEnglishPhrase(const QString &key);

}  // namespace quillon
