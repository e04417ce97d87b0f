#include "shell/pricking_iron_file.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

#include "platform/file_io.h"
#include "platform/json_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"
#include "shell/version.h"

namespace quillon {

namespace {

// The file's text as UTF-8: a UTF-16 file (by its byte-order mark) is converted, any
// other is taken as UTF-8 (with or without its mark).
std::string fileText(const QByteArray &bytes) {
  const bool le = bytes.startsWith("\xFF\xFE"), be = bytes.startsWith("\xFE\xFF");
  if (!le && !be) return bytes.toStdString();
  QString text;
  for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
    const auto lo = static_cast<unsigned char>(bytes[le ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(bytes[le ? i + 1 : i]);
    text.append(QChar(static_cast<char16_t>(hi << 8 | lo)));
  }
  return text.toStdString();
}

// A free name beside the file for keeping it: "<file>.bad", "<file>.bad2", ...
QString asidePath(const QString &path) {
  QString candidate = path + QStringLiteral(".bad");
  for (int n = 2; QFile::exists(candidate); ++n) candidate = path + QStringLiteral(".bad") + QString::number(n);
  return candidate;
}

// Keeps the damaged file beside itself, renamed or copied; the name it is kept under.
QString keepAside(const QString &path, bool copy) {
  const QString aside = asidePath(path);
  QFile file(path);
  if (!(copy ? file.copy(aside) : file.rename(aside)))
    throw std::runtime_error(file.errorString().toStdString());
  return aside;
}

void tell(TEditor &editor, const char *key, const QStringList &args) {
  QString text = editor.tr(QString::fromLatin1(key));
  for (const QString &a : args) text = text.arg(a);
  editor.ui().messageBox(QString::fromLatin1(key), text);
}

}  // namespace

QString prickingIronGroupsPath(const TEditor &editor) {
  return QDir(editor.FAppDataPath).filePath(QString::fromLatin1(kPrickingIronsFileName));
}

QByteArray prickingIronGroupsFileBytes(const TPrickingIronGroups &groups) {
  TJson root = TJson::object();
  root["meta"] = TJson::object();
  root["meta"]["file_type"] = kPrickingIronsFileType;
  root["meta"]["version"] = kQuillonVersion;
  root["pricking_iron_groups"] = prickingIronGroupsToJson(groups);
  const std::string text = writeJsonText(root);
  QByteArray bytes("\xEF\xBB\xBF");
  bytes.append(text.data(), static_cast<qsizetype>(text.size()));
  bytes.append("\r\n");
  return bytes;
}

void loadPrickingIronGroups(TEditor &editor) {
  const QString path = prickingIronGroupsPath(editor);
  if (!QFile::exists(path)) return;
  TIronGroupsRead read;
  try {
    // Read into a list of its own: a file that does not read adds nothing.
    TPrickingIronGroups groups;
    read = readPrickingIronGroups(parseJsonText(fileText(readWholeFile(path))), groups);
    for (auto &g : groups) editor.FPrickingIronGroups.push_back(std::move(g));
  } catch (const std::exception &e) {
    const QString problem = QString::fromStdString(e.what());
    try {
      tell(editor, "prickingIronsFileDamaged", {problem, keepAside(path, false)});
    } catch (const std::exception &kept) {
      editor.FKeepPrickingIronFile = true;
      tell(editor, "prickingIronsFileNotKept", {problem, QString::fromStdString(kept.what())});
    }
    return;
  }
  if (read.Skipped == 0) return;
  const QString problem = QString::fromStdString(read.FirstProblem);
  try {
    tell(editor, "prickingIronsFilePartlyRead", {QString::number(read.Skipped), problem, keepAside(path, true)});
  } catch (const std::exception &kept) {
    editor.FKeepPrickingIronFile = true;
    tell(editor, "prickingIronsFileNotKept", {problem, QString::fromStdString(kept.what())});
  }
}

void savePrickingIronGroups(const TEditor &editor) {
  if (editor.FKeepPrickingIronFile) return;
  writeFileAtomically(prickingIronGroupsPath(editor), prickingIronGroupsFileBytes(editor.FPrickingIronGroups));
}

void loadPrickingIronsAtStartUp(TEditor &editor) {
  loadPrickingIronGroups(editor);
  editor.FPrickingIronGroupsFromDefaults = editor.FPrickingIronGroups.empty();
  if (editor.FPrickingIronGroupsFromDefaults)
    addDefaultPrickingIrons(editor.FPrickingIronGroups, false, editor.FLangID);
}

void finishPrickingIronsAtStartUp(TEditor &editor) {
  if (!editor.FPrickingIronGroupsFromDefaults && !editor.FOptions->NewPrickingIronsAdded)
    addDefaultPrickingIrons(editor.FPrickingIronGroups, true, editor.FLangID);
  editor.FOptions->NewPrickingIronsAdded = true;
  selectDefaultPrickingIron(editor);
}

void selectDefaultPrickingIron(TEditor &editor) {
  TPrickingIronGroup *group = findPrickingIronGroup(editor.FPrickingIronGroups, "D", 4.0f, false);
  if (!group) return;
  editor.tool().FSelectedPrickingIron = group->PrickingIron.get();
  editor.tool().FSelectedNumOfBlades = 1;
  editor.panel().FixedPitchLen = group->PrickingIron->Pitch;
}

}  // namespace quillon
