#pragma once
// The built-in phrase table: the program's own texts, so it is complete without any
// translation file. TMultiLang registers every row at creation and again when an
// imported translation file yields no phrase.
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

}  // namespace quillon
