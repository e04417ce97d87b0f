#include "i18n/builtin_phrases.h"
#include "i18n/multi_lang.h"

#include "support/test_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace quillon {
namespace {

// Writes the bytes into the test's own folder and returns the file's path.
QString writeTable(const QString &AName, const QByteArray &ABytes) {
  const QString path = QDir(test::testDataDir()).filePath(AName);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(ABytes) != ABytes.size())
    ADD_FAILURE() << "cannot write " << path.toStdString();
  return path;
}

QStringList sortedCodes(const TMultiLang &ADict) {
  QStringList codes = ADict.languageCodes();
  codes.sort();
  return codes;
}

// The dictionary holds the built-in table and nothing else.
void expectExactlyBuiltIns(const TMultiLang &ADict) {
  QStringList codes;
  qsizetype total = 0;
  for (const TBuiltInPhrase &row : builtInPhrases()) {
    const QString lang = QString::fromUtf8(row.LangID);
    if (!codes.contains(lang)) codes << lang;
    EXPECT_EQ(ADict.getTranslation(lang, QString::fromUtf8(row.Key)), QString::fromUtf8(row.Phrase)) << row.Key;
    ++total;
  }
  codes.sort();
  EXPECT_EQ(sortedCodes(ADict), codes);
  qsizetype held = 0;
  for (const QString &code : codes) held += ADict.languageTable(code)->size();
  EXPECT_EQ(held, total);
  EXPECT_EQ(ADict.getTranslation("en", "two-letter-codes"), "en");
  EXPECT_EQ(ADict.getTranslation("en", "LanguageName"), "English");
  EXPECT_EQ(ADict.getTranslation("en", "lblLayerCaption"), "Layer");
}

const QByteArray kEnFrTable =
    "x\ttwo-letter-codes\ten\tfr\n"
    "x\tLanguageName\tEnglish\tFran\xc3\xa7" "ais\n"
    "x\tmsgHello\tHello\tBonjour\n";

TEST(MultiLang, StartsWithTheBuiltInTable) {
  const TMultiLang dict;
  expectExactlyBuiltIns(dict);
}

TEST(MultiLang, LookupFallsBackToEnglishOnlyForKnownLanguages) {
  TMultiLang dict;
  dict.addTranslation("de", "two-letter-codes", "de");
  dict.addTranslation("de", "msgOnlyGerman", "Nur Deutsch");

  EXPECT_EQ(dict.getTranslation("de", "two-letter-codes"), "de");
  EXPECT_EQ(dict.getTranslation("de", "lblLayerCaption"), "Layer");  // English fallback
  EXPECT_EQ(dict.getTranslation("en", "msgOnlyGerman"), "");         // no fallback from English
  EXPECT_EQ(dict.getTranslation("en", "noSuchKey"), "");             // never the key itself
  EXPECT_EQ(dict.getTranslation("fr", "lblLayerCaption"), "");       // no table, no fallback
  EXPECT_EQ(dict.getTranslation("", "lblLayerCaption"), "");
}

TEST(MultiLang, KeysAndCodesAreCaseSensitive) {
  TMultiLang dict;
  EXPECT_EQ(dict.getTranslation("en", "LblLayerCaption"), "");
  EXPECT_EQ(dict.getTranslation("en", "lbllayercaption"), "");
  EXPECT_EQ(dict.getTranslation("EN", "lblLayerCaption"), "");
  EXPECT_TRUE(dict.isSupported("en"));
  EXPECT_FALSE(dict.isSupported("EN"));
  EXPECT_FALSE(dict.isSupported("En"));
  EXPECT_FALSE(dict.isSupported(""));

  // Another letter case is another key, so it is no duplicate.
  EXPECT_NO_THROW(dict.addTranslation("en", "LblLayerCaption", "Other"));
  EXPECT_EQ(dict.getTranslation("en", "lblLayerCaption"), "Layer");
  EXPECT_EQ(dict.getTranslation("en", "LblLayerCaption"), "Other");
}

TEST(MultiLang, AddingAKeyTwiceFailsAndKeepsTheFirstPhrase) {
  TMultiLang dict;
  try {
    dict.addTranslation("en", "lblLayerCaption", "Level");
    FAIL() << "no error for a repeated key";
  } catch (const std::runtime_error &e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("\"en\""), std::string::npos) << message;
    EXPECT_NE(message.find("\"lblLayerCaption\""), std::string::npos) << message;
  }
  EXPECT_EQ(dict.getTranslation("en", "lblLayerCaption"), "Layer");
  // The same key in another language is fine.
  EXPECT_NO_THROW(dict.addTranslation("fr", "lblLayerCaption", "Calque"));
}

TEST(MultiLang, ClearLanguagesEmptiesEverything) {
  TMultiLang dict;
  dict.clearLanguages();
  EXPECT_FALSE(dict.isSupported("en"));
  EXPECT_TRUE(dict.languageCodes().isEmpty());
  EXPECT_EQ(dict.getTranslation("en", "lblLayerCaption"), "");
}

// A realistic table: byte-order mark, CR LF, comments (one of them a commented-out codes
// row), notes in cell 0, Japanese text, empty cells, quotes and backslashes kept verbatim.
TEST(MultiLangImport, ReadsAFullTable) {
  TMultiLang dict;
  dict.importTSV(test::fixturePath("i18n/sample_ja_en_de.tsv"));

  EXPECT_EQ(sortedCodes(dict), (QStringList{"de", "en", "ja"}));
  for (const char *code : {"ja", "en", "de"}) EXPECT_EQ(dict.getTranslation(code, "two-letter-codes"), code);
  EXPECT_EQ(dict.getTranslation("ja", "LanguageName"), QString::fromUtf8("日本語"));
  EXPECT_EQ(dict.getTranslation("ja", "lblLayerCaption"), QString::fromUtf8("レイヤー"));
  EXPECT_EQ(dict.getTranslation("de", "lblLayerCaption"), "Ebene");

  // An empty cell gives that language no phrase: "en" lacks the key, "ja" and "de" have it.
  EXPECT_EQ(dict.getTranslation("ja", "msgOnlyJaDe"), QString::fromUtf8("日本語だけ"));
  EXPECT_EQ(dict.getTranslation("de", "msgOnlyJaDe"), "Nur Deutsch");
  EXPECT_EQ(dict.getTranslation("en", "msgOnlyJaDe"), "");
  EXPECT_EQ(dict.getTranslation("de", "msgOnlyEn"), "Only English");  // falls back

  EXPECT_EQ(dict.getTranslation("en", "msgQuoted"), "\"Quoted\" \\n");
  EXPECT_EQ(dict.getTranslation("ja", "msgQuoted"), QString::fromUtf8("\"引用\""));

  // Exactly the rows of the file: no cell-0 note became a key or a phrase.
  EXPECT_EQ(dict.languageTable("ja")->size(), 5);
  EXPECT_EQ(dict.languageTable("en")->size(), 5);
  EXPECT_EQ(dict.languageTable("de")->size(), 4);
  for (const char *code : {"ja", "en", "de"}) {
    const TIndividualLang &table = *dict.languageTable(code);
    for (const char *note : {"row", "1", "2", "3", "4", "5"}) {
      EXPECT_FALSE(table.contains(note)) << code << " " << note;
      EXPECT_FALSE(table.values().contains(note)) << code << " " << note;
    }
  }
}

TEST(MultiLangImport, SplitsLinesAtCrLfLfAndCr) {
  for (const char *eol : {"\r\n", "\n", "\r"}) {
    QByteArray bytes = kEnFrTable;
    bytes.replace("\n", eol);
    TMultiLang dict;
    dict.importTSV(writeTable("table.tsv", bytes));
    EXPECT_EQ(dict.getTranslation("fr", "msgHello"), "Bonjour") << QByteArray(eol).toHex().toStdString();
    EXPECT_EQ(dict.getTranslation("fr", "LanguageName"), QString::fromUtf8("Français"));
    EXPECT_EQ(dict.languageTable("fr")->size(), 3);
  }
  // Mixed ends in one file, and no end after the last line.
  TMultiLang dict;
  dict.importTSV(writeTable("mixed.tsv", "x\ttwo-letter-codes\ten\tfr\r\nx\ta\tA\tFa\ry\tb\tB\tFb\nz\tc\tC\tFc"));
  EXPECT_EQ(dict.getTranslation("fr", "a"), "Fa");
  EXPECT_EQ(dict.getTranslation("fr", "b"), "Fb");
  EXPECT_EQ(dict.getTranslation("fr", "c"), "Fc");
  EXPECT_EQ(dict.languageTable("en")->size(), 4);
}

struct TNothingCase {
  const char *Name;
  const char *Content;  // nullptr: no such file
};

// Files that yield no phrase leave exactly the built-in table, whatever was there before.
TEST(MultiLangImport, FileWithoutPhrasesRestoresTheBuiltIns) {
  const TNothingCase cases[] = {
      {"no file", nullptr},
      {"empty file", ""},
      {"comments and empty lines", "// a comment\n\n//\ttwo-letter-codes\ten\tfr\n\r\n// end\n"},
      {"rows of three cells", "x\ttwo-letter-codes\ten\nx\tmsgHello\tHello\n"},
      {"rows before any codes row only", "x\tmsgHello\tHello\tBonjour\n"},
      {"only empty phrase cells", "x\ttwo-letter-codes\t\t\nx\tmsgHello\t\t\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Name);
    TMultiLang dict;
    dict.importTSV(writeTable("previous.tsv", kEnFrTable));  // something other than the built-ins
    ASSERT_TRUE(dict.isSupported("fr"));

    const QString path = c.Content ? writeTable("nothing.tsv", c.Content)
                                   : QDir(test::testDataDir()).filePath("missing.tsv");
    EXPECT_NO_THROW(dict.importTSV(path));
    expectExactlyBuiltIns(dict);
  }
}

TEST(MultiLangImport, DirectoryIsTakenAsNoFile) {
  TMultiLang dict;
  dict.addTranslation("fr", "msgHello", "Bonjour");
  EXPECT_NO_THROW(dict.importTSV(test::testDataDir()));
  expectExactlyBuiltIns(dict);
}

TEST(MultiLangImport, SingleLanguageNeedsAFurtherCell) {
  TMultiLang dict;
  dict.importTSV(writeTable("en_only.tsv", "x\ttwo-letter-codes\ten\t\nx\tmsgHello\tHello\t\n"));
  EXPECT_EQ(dict.getTranslation("en", "msgHello"), "Hello");
  EXPECT_EQ(dict.getTranslation("en", "lblLayerCaption"), "");  // built-ins gone
  EXPECT_EQ(sortedCodes(dict), QStringList{"en"});
}

TEST(MultiLangImport, RowsBeforeTheCodesRowAreLost) {
  TMultiLang dict;
  dict.importTSV(writeTable("late_codes.tsv",
                            "x\tmsgEarly\tEarly\tTôt\n"
                            "x\ttwo-letter-codes\ten\tfr\n"
                            "x\tmsgLate\tLate\tTard\n"));
  EXPECT_EQ(dict.getTranslation("en", "msgEarly"), "");
  EXPECT_EQ(dict.getTranslation("en", "msgLate"), "Late");
  EXPECT_EQ(dict.languageTable("en")->size(), 2);
  EXPECT_EQ(dict.languageTable("fr")->size(), 2);
}

TEST(MultiLangImport, CellsBeyondTheKnownLanguagesAreIgnored) {
  TMultiLang dict;
  dict.importTSV(writeTable("wide.tsv",
                            "x\ttwo-letter-codes\ten\tfr\n"
                            "x\tmsgHello\tHello\tBonjour\tHallo\tCiao\n"));
  EXPECT_EQ(sortedCodes(dict), (QStringList{"en", "fr"}));
  EXPECT_EQ(dict.getTranslation("fr", "msgHello"), "Bonjour");
}

TEST(MultiLangImport, EmptyCodeCellFilesItsColumnUnderTheEmptyCode) {
  TMultiLang dict;
  dict.importTSV(writeTable("empty_code.tsv",
                            "x\ttwo-letter-codes\ten\t\tde\n"
                            "x\tmsgHello\tHello\tHej\tHallo\n"));
  EXPECT_TRUE(dict.isSupported(""));
  EXPECT_EQ(dict.getTranslation("", "msgHello"), "Hej");
  EXPECT_EQ(dict.getTranslation("", "two-letter-codes"), "en");  // English fallback
  EXPECT_EQ(dict.getTranslation("de", "msgHello"), "Hallo");
}

TEST(MultiLangImport, ImportReplacesEveryLanguage) {
  TMultiLang dict;
  dict.importTSV(writeTable("ja_en.tsv",
                            "x\ttwo-letter-codes\tja\ten\n"
                            "x\tmsgHello\t\xe3\x81\x93\xe3\x82\x93\xe3\x81\xab\xe3\x81\xa1\xe3\x81\xaf\tHello\n"));
  ASSERT_TRUE(dict.isSupported("ja"));

  dict.importTSV(writeTable("en_fr.tsv", kEnFrTable));
  EXPECT_FALSE(dict.isSupported("ja"));
  EXPECT_EQ(dict.getTranslation("ja", "msgHello"), "");
  EXPECT_EQ(sortedCodes(dict), (QStringList{"en", "fr"}));
}

struct TDuplicateCase {
  const char *Name;
  const char *Content;
  const char *KeptKey;     // imported before the failing row
  const char *LostKey;     // after it: never read
};

// A repeated key stops the import with the error; the rows before it stay and the
// built-in phrases do not come back.
TEST(MultiLangImport, RepeatedKeyStopsTheImport) {
  const TDuplicateCase cases[] = {
      {"repeated key",
       "x\ttwo-letter-codes\ten\tfr\nx\tmsgA\tA\tFa\nx\tmsgB\tB\t\nx\tmsgA\tA2\t\nx\tmsgC\tC\tFc\n", "msgB", "msgC"},
      {"second codes row",
       "x\ttwo-letter-codes\ten\tfr\nx\tmsgA\tA\tFa\nx\ttwo-letter-codes\ten\tfr\nx\tmsgC\tC\tFc\n", "msgA", "msgC"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Name);
    TMultiLang dict;
    EXPECT_THROW(dict.importTSV(writeTable("dup.tsv", c.Content)), std::runtime_error);
    EXPECT_NE(dict.getTranslation("en", c.KeptKey), "");
    EXPECT_EQ(dict.getTranslation("en", c.LostKey), "");
    EXPECT_EQ(dict.getTranslation("fr", "msgA"), "Fa");
    EXPECT_EQ(dict.getTranslation("en", "msgA"), "A");  // the first phrase stays
    EXPECT_EQ(dict.getTranslation("en", "lblLayerCaption"), "");
  }
}

// One invalid sequence anywhere fails the whole text, after the dictionary was emptied.
TEST(MultiLangImport, InvalidUtf8FailsAndLeavesTheDictionaryEmpty) {
  const char *const bad[] = {
      "\xff",          // never valid
      "\xc0\xaf",      // overlong "/"
      "\xed\xa0\x80",  // a UTF-16 surrogate
      "\xe3\x81",      // cut off at the end of the file
  };
  for (const char *sequence : bad) {
    SCOPED_TRACE(QByteArray(sequence).toHex().toStdString());
    TMultiLang dict;
    const QByteArray bytes = kEnFrTable + "x\tmsgBad\t" + sequence;
    EXPECT_THROW(dict.importTSV(writeTable("bad.tsv", bytes)), std::runtime_error);
    EXPECT_FALSE(dict.isSupported("en"));
    EXPECT_TRUE(dict.languageCodes().isEmpty());
    EXPECT_EQ(dict.getTranslation("en", "lblLayerCaption"), "");
  }
}

}  // namespace
}  // namespace quillon
