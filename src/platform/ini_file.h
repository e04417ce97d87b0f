#pragma once
// INI files in the Windows manner: [Section] headers and key=value lines, section and
// key names compared without regard to ASCII case.
//
// The whole file is held in memory: the constructor reads it, Write* and the erase calls
// change only the memory copy, and UpdateFile writes it back (UTF-8 without byte-order
// mark, "key=value" without blanks, sections in the order they were first seen or made).
#include <QString>
#include <QStringList>

#include <memory>

namespace quillon {

class TIniFile {
 public:
  // Reads the file when it exists. A missing file gives an empty INI; a damaged file
  // never throws: every line that can be read is kept.
  explicit TIniFile(const QString &path);
  ~TIniFile();
  TIniFile(const TIniFile &) = delete;
  TIniFile &operator=(const TIniFile &) = delete;

  const QString &FileName() const { return FPath; }

  QString ReadString(const QString &section, const QString &ident, const QString &defaultValue) const;
  void WriteString(const QString &section, const QString &ident, const QString &value);

  // A decimal 32-bit integer; any other text gives the default.
  int ReadInteger(const QString &section, const QString &ident, int defaultValue) const;
  void WriteInteger(const QString &section, const QString &ident, int value);

  // Written "1" / "0"; reads "1", "0", "true", "false" (any case), else the default.
  bool ReadBool(const QString &section, const QString &ident, bool defaultValue) const;
  void WriteBool(const QString &section, const QString &ident, bool value);

  // Accepts "." or "," as decimal separator; any other text gives the default.
  double ReadFloat(const QString &section, const QString &ident, double defaultValue) const;
  // Written in the C locale with up to 15 significant digits ("3", "0.1", "1E-5").
  void WriteFloat(const QString &section, const QString &ident, double value);

  bool SectionExists(const QString &section) const;
  bool ValueExists(const QString &section, const QString &ident) const;
  void EraseSection(const QString &section);
  void DeleteKey(const QString &section, const QString &ident);
  // The keys of a section in file order.
  QStringList ReadSection(const QString &section) const;

  // Writes the file through a temporary file renamed over the old one. Throws
  // std::runtime_error when the file cannot be written.
  void UpdateFile();

 private:
  struct TImpl;
  QString FPath;
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace quillon
