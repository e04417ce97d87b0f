#pragma once
// The phrase dictionary: one table per language, key to phrase, with English as the
// fallback, filled from the built-in table or from a translation table file (TSV).
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <shared_mutex>
#include <unordered_map>

namespace quillon {

// The phrases of one language: key to phrase. Keys are compared exactly (case-sensitive).
using TIndividualLang = QHash<QString, QString>;

class TMultiLang {
 public:
  // Starts with every built-in phrase.
  TMultiLang();
  ~TMultiLang();
  TMultiLang(const TMultiLang &) = delete;
  TMultiLang &operator=(const TMultiLang &) = delete;

  // Adds one phrase, creating the language's table on first use. A key the table already
  // holds is not replaced: throws std::runtime_error naming the language and the key.
  void addTranslation(const QString &ALangID, const QString &key, const QString &phrase);

  // The phrase of key in ALangID; when that table lacks the key, the English phrase;
  // empty when there is none, and always empty for a language without a table.
  QString getTranslation(const QString &ALangID, const QString &key) const;

  // Whether there is a table for that code (exact, case-sensitive comparison).
  bool isSupported(const QString &ALangID) const;

  // Frees every table; afterwards every lookup is empty.
  void clearLanguages();

  // Replaces all phrases by those of a translation table file: UTF-8 (byte-order mark
  // allowed), one row per line, cells separated by TAB; cell 0 is free, cell 1 the key,
  // cells 2... the phrases of the languages named by the "two-letter-codes" row; lines
  // starting with "//" are comments and lines of fewer than 4 cells are skipped.
  // When no file of that name exists or no row gives a phrase, the dictionary holds the
  // built-in phrases again. Throws std::runtime_error, leaving the dictionary as far as
  // it got, when the file cannot be read or is not valid UTF-8 (the dictionary is then
  // empty) or when a key repeats within one language (the rows before it stay).
  void importTSV(const QString &filename);

  // For the Language menu: the codes of all tables, in no particular order, and the table
  // of one code (nullptr when there is none). A table pointer stays valid until the next
  // clearLanguages or importTSV.
  QStringList languageCodes() const;
  const TIndividualLang *languageTable(const QString &ALangID) const;

 private:
  // Registers the built-in table (defined with the table, in builtin_phrases.cpp).
  // Called with FLock held exclusively or before the dictionary is shared.
  void registerBuiltInTranslations();
  void addTranslationLocked(const QString &ALangID, const QString &key, const QString &phrase);
  void clearLanguagesLocked();

  std::unordered_map<QString, std::unique_ptr<TIndividualLang>> FLangDict;
  // The update check's worker thread looks phrases up while the UI thread may import a
  // file; changes take the lock exclusively so no lookup reads a table being freed.
  mutable std::shared_mutex FLock;
};

}  // namespace quillon
