#include "i18n/multi_lang.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <mutex>
#include <stdexcept>
#include <string>

namespace quillon {

namespace {

const QString kEnglish = QStringLiteral("en");
const QString kCodesKey = QStringLiteral("two-letter-codes");

// Splits at CR LF, LF or CR.
QStringList splitLines(const QString &AText) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = AText.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = AText.at(i);
    if (c != u'\r' && c != u'\n') continue;
    lines.append(AText.mid(start, i - start));
    if (c == u'\r' && i + 1 < n && AText.at(i + 1) == u'\n') ++i;
    start = i + 1;
  }
  lines.append(AText.mid(start));
  return lines;
}

QString readUtf8File(const QString &AFileName) {
  QFile file(AFileName);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error("Cannot open the translation file \"" + AFileName.toStdString() +
                             "\": " + file.errorString().toStdString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw std::runtime_error("Cannot read the translation file \"" + AFileName.toStdString() +
                             "\": " + file.errorString().toStdString());
  // Stateless, so a sequence cut off at the end of the file counts as invalid too; the
  // decoder drops a leading byte-order mark.
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder(bytes);
  if (decoder.hasError())
    throw std::runtime_error("The translation file \"" + AFileName.toStdString() +
                             "\" is not valid UTF-8 text");
  return text;
}

}  // namespace

TMultiLang::TMultiLang() { registerBuiltInTranslations(); }

TMultiLang::~TMultiLang() = default;

void TMultiLang::addTranslation(const QString &ALangID, const QString &key, const QString &phrase) {
  std::unique_lock lock(FLock);
  addTranslationLocked(ALangID, key, phrase);
}

void TMultiLang::addTranslationLocked(const QString &ALangID, const QString &key, const QString &phrase) {
  auto &table = FLangDict[ALangID];
  if (!table) table = std::make_unique<TIndividualLang>();
  if (table->contains(key))
    throw std::runtime_error("Duplicate phrase: language \"" + ALangID.toStdString() +
                             "\" already has the key \"" + key.toStdString() + "\"");
  table->insert(key, phrase);
}

QString TMultiLang::getTranslation(const QString &ALangID, const QString &key) const {
  std::shared_lock lock(FLock);
  const auto lang = FLangDict.find(ALangID);
  if (lang == FLangDict.end()) return {};  // no fallback for a language without a table
  if (const auto it = lang->second->constFind(key); it != lang->second->constEnd()) return it.value();
  if (ALangID == kEnglish) return {};
  const auto english = FLangDict.find(kEnglish);
  if (english == FLangDict.end()) return {};
  if (const auto it = english->second->constFind(key); it != english->second->constEnd()) return it.value();
  return {};
}

bool TMultiLang::isSupported(const QString &ALangID) const {
  std::shared_lock lock(FLock);
  return FLangDict.find(ALangID) != FLangDict.end();
}

void TMultiLang::clearLanguages() {
  std::unique_lock lock(FLock);
  clearLanguagesLocked();
}

void TMultiLang::clearLanguagesLocked() { FLangDict.clear(); }

QStringList TMultiLang::languageCodes() const {
  std::shared_lock lock(FLock);
  QStringList codes;
  codes.reserve(static_cast<qsizetype>(FLangDict.size()));
  for (const auto &entry : FLangDict) codes.append(entry.first);
  return codes;
}

const TIndividualLang *TMultiLang::languageTable(const QString &ALangID) const {
  std::shared_lock lock(FLock);
  const auto it = FLangDict.find(ALangID);
  return it == FLangDict.end() ? nullptr : it->second.get();
}

void TMultiLang::importTSV(const QString &filename) {
  std::unique_lock lock(FLock);
  bool imported = false;

  if (QFileInfo(filename).isFile()) {  // follows links
    clearLanguagesLocked();
    const QStringList lines = splitLines(readUtf8File(filename));

    QStringList columnLangs;  // language of each phrase column
    for (const QString &line : lines) {
      if (line.startsWith(QStringLiteral("//"))) continue;
      const QStringList cells = line.split(u'\t');  // empty cells kept: positions never shift
      if (cells.size() < 4) continue;
      const QString &key = cells.at(1);  // cell 0 is free for the table's own notes
      if (key == kCodesKey) columnLangs.append(cells.mid(2));
      for (qsizetype j = 0; j + 2 < cells.size(); ++j) {
        const QString &cell = cells.at(j + 2);
        if (cell.isEmpty() || j >= columnLangs.size()) continue;
        // A repeated key throws here; the rows before it stay imported.
        addTranslationLocked(columnLangs.at(j), key, cell);
        imported = true;
      }
    }
  }

  if (!imported) {
    clearLanguagesLocked();
    registerBuiltInTranslations();
  }
}

}  // namespace quillon
