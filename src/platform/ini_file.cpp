#include "platform/ini_file.h"

#include "platform/file_io.h"
#include "platform/number_text.h"

// Only the char interface is used, with UTF-8 text, so no character conversion.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <QFile>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon {

struct TIniFile::TImpl {
  CSimpleIniA ini{/*a_bIsUtf8=*/true, /*a_bMultiKey=*/false, /*a_bMultiLine=*/false};
};

namespace {

std::string utf8(const QString &text) { return text.toStdString(); }

// A "[" line without its "]" would leave the parser's section name pointing into the
// following lines; such lines are blanked out before parsing.
std::string withoutBrokenSectionLines(std::string data) {
  std::size_t lineStart = 0;
  while (lineStart < data.size()) {
    std::size_t lineEnd = data.find_first_of("\r\n", lineStart);
    if (lineEnd == std::string::npos) lineEnd = data.size();
    std::size_t first = lineStart;
    while (first < lineEnd && (data[first] == ' ' || data[first] == '\t')) ++first;
    if (first < lineEnd && data[first] == '[' &&
        data.find(']', first) >= lineEnd) {
      std::fill(data.begin() + static_cast<std::ptrdiff_t>(lineStart),
                data.begin() + static_cast<std::ptrdiff_t>(lineEnd), ' ');
    }
    lineStart = lineEnd + 1;
  }
  return data;
}

}  // namespace

TIniFile::TIniFile(const QString &path) : FPath(path), FImpl(std::make_unique<TImpl>()) {
  FImpl->ini.SetSpaces(false);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;  // missing or unreadable: empty
  QByteArray bytes = file.readAll();
  // A NUL byte would end the parse early; read past it as if it were a blank.
  bytes.replace('\0', ' ');
  const std::string data = withoutBrokenSectionLines(bytes.toStdString());
  FImpl->ini.LoadData(data);  // keeps whatever it could parse
}

TIniFile::~TIniFile() = default;

QString TIniFile::ReadString(const QString &section, const QString &ident,
                             const QString &defaultValue) const {
  const char *value = FImpl->ini.GetValue(utf8(section).c_str(), utf8(ident).c_str(), nullptr);
  return value ? QString::fromUtf8(value) : defaultValue;
}

void TIniFile::WriteString(const QString &section, const QString &ident, const QString &value) {
  FImpl->ini.SetValue(utf8(section).c_str(), utf8(ident).c_str(), utf8(value).c_str());
}

int TIniFile::ReadInteger(const QString &section, const QString &ident, int defaultValue) const {
  const char *value = FImpl->ini.GetValue(utf8(section).c_str(), utf8(ident).c_str(), nullptr);
  if (!value) return defaultValue;
  return parseInt32(value).value_or(defaultValue);
}

void TIniFile::WriteInteger(const QString &section, const QString &ident, int value) {
  FImpl->ini.SetValue(utf8(section).c_str(), utf8(ident).c_str(), std::to_string(value).c_str());
}

bool TIniFile::ReadBool(const QString &section, const QString &ident, bool defaultValue) const {
  const QString value = ReadString(section, ident, QString());
  if (value == QLatin1String("1") || value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
    return true;
  if (value == QLatin1String("0") || value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
    return false;
  return defaultValue;
}

void TIniFile::WriteBool(const QString &section, const QString &ident, bool value) {
  FImpl->ini.SetValue(utf8(section).c_str(), utf8(ident).c_str(), value ? "1" : "0");
}

double TIniFile::ReadFloat(const QString &section, const QString &ident, double defaultValue) const {
  const char *value = FImpl->ini.GetValue(utf8(section).c_str(), utf8(ident).c_str(), nullptr);
  if (!value) return defaultValue;
  return parseDoubleAcceptComma(value).value_or(defaultValue);
}

void TIniFile::WriteFloat(const QString &section, const QString &ident, double value) {
  FImpl->ini.SetValue(utf8(section).c_str(), utf8(ident).c_str(), formatGeneral15(value).c_str());
}

bool TIniFile::SectionExists(const QString &section) const {
  return FImpl->ini.SectionExists(utf8(section).c_str());
}

bool TIniFile::ValueExists(const QString &section, const QString &ident) const {
  return FImpl->ini.KeyExists(utf8(section).c_str(), utf8(ident).c_str());
}

void TIniFile::EraseSection(const QString &section) {
  FImpl->ini.Delete(utf8(section).c_str(), nullptr);
}

void TIniFile::DeleteKey(const QString &section, const QString &ident) {
  FImpl->ini.Delete(utf8(section).c_str(), utf8(ident).c_str());
}

QStringList TIniFile::ReadSection(const QString &section) const {
  CSimpleIniA::TNamesDepend keys;
  FImpl->ini.GetAllKeys(utf8(section).c_str(), keys);
  std::vector<CSimpleIniA::Entry> ordered(keys.begin(), keys.end());
  std::sort(ordered.begin(), ordered.end(),
            [](const auto &a, const auto &b) { return a.nOrder < b.nOrder; });
  QStringList result;
  result.reserve(static_cast<qsizetype>(ordered.size()));
  for (const auto &entry : ordered) result.append(QString::fromUtf8(entry.pItem));
  return result;
}

void TIniFile::UpdateFile() {
  std::string text;
  if (FImpl->ini.Save(text, /*a_bAddSignature=*/false) < 0)
    throw std::runtime_error("Cannot write file \"" + FPath.toStdString() + "\": INI data could not be formatted");
  // SimpleIni separates sections with two blank lines; the file has one.
  std::string compact;
  compact.reserve(text.size());
  for (const char c : text) {
    if (c == '\n' && compact.size() >= 2 && compact[compact.size() - 1] == '\n' &&
        compact[compact.size() - 2] == '\n')
      continue;
    compact += c;
  }
  writeFileAtomically(FPath, QByteArray(compact.data(), static_cast<qsizetype>(compact.size())));
}

}  // namespace quillon
