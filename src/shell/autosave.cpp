#include "shell/autosave.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>

#include <cmath>
#include <exception>

#include "model/shape_list.h"
#include "platform/date_time.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"
#include "shell/project_file.h"

namespace quillon {

namespace {

// Whole milliseconds from one date-time value to a later one.
long long millisecondsBetween(double from, double to) { return std::llround((to - from) * 86400000.0); }

}  // namespace

void chooseAutosaveNumber(TEditor &editor) {
  constexpr int kNumbers = 10000;
  const int first = static_cast<int>(QRandomGenerator::global()->bounded(kNumbers));
  for (int k = 0; k < kNumbers; ++k) {
    editor.FRandomStr = QString::number((first + k) % kNumbers);
    if (!QFileInfo::exists(autosaveFileName(editor))) return;
  }
  editor.FRandomStr = QString::number(first);
}

QString autosaveFileName(const TEditor &editor) {
  return QDir(editor.FAppDataPath).filePath(QStringLiteral("autosave_") + editor.FRandomStr + QStringLiteral(".tmp"));
}

void deleteAutosaveFile(TEditor &editor) {
  const QString fileName = autosaveFileName(editor);
  if (QFileInfo::exists(fileName)) QFile::remove(fileName);
}

void startAutoSaveTimer(TEditor &editor) {
  editor.FAutoSaveTimer = std::make_unique<QTimer>();
  editor.FAutoSaveTimer->setInterval(kAutoSaveIntervalMs);
  TEditor *target = &editor;
  QObject::connect(editor.FAutoSaveTimer.get(), &QTimer::timeout, editor.FAutoSaveTimer.get(),
                   [target] { TimerAutoSaveTimer(*target); });
  if (QCoreApplication::instance()) editor.FAutoSaveTimer->start();
}

void restartAutoSaveTimer(TEditor &editor) {
  if (editor.FAutoSaveTimer && editor.FAutoSaveTimer->isActive()) editor.FAutoSaveTimer->start();
}

bool autoSaveTick(TEditor &editor, double now) {
  TShapeList *doc = &editor.doc().PathList();
  if (!doc || !doc->IsChanged || !(doc->LastChangeTime > doc->LastSavedTime)) return false;
  // Idle: nothing while the user is still at work or a save was just made.
  if (millisecondsBetween(doc->LastOperatedTime, now) < kAutoSaveIdleMs ||
      millisecondsBetween(doc->LastSavedTime, now) < kAutoSaveIdleMs)
    return false;

  const QString remembered = editor.FFilename;
  const bool toAutosaveFile = !editor.FOptions->UseAutoSave || remembered.isEmpty();
  if (toAutosaveFile) editor.FFilename = autosaveFileName(editor);
  bool written = false;
  try {
    writeProjectFile(editor, now);
    written = true;
    editor.FAutoSaveFailedReported = false;
  } catch (const std::exception &e) {
    // Reported once; the conditions still hold, so later ticks try again quietly.
    if (!editor.FAutoSaveFailedReported) {
      editor.ui().setStatusText(QString::fromLatin1(kAutosaveFailedText) + QString::fromUtf8(e.what()));
      editor.FAutoSaveFailedReported = true;
    }
  }
  if (toAutosaveFile) editor.FFilename = remembered;
  // The document on disk is only a safety copy: it still counts as changed (the change
  // time stays, so the next tick does not write again until the next edit).
  doc->IsChanged = true;
  editor.updateCaption(editor.FFilename);
  return written;
}

void TimerAutoSaveTimer(TEditor &editor) { autoSaveTick(editor, dateTimeNow()); }

bool recoverAutosave(TEditor &editor) {
  const QDir folder(editor.FAppDataPath);
  const QStringList names = folder.entryList({QStringLiteral("autosave*.tmp")},
                                             QDir::Files | QDir::CaseSensitive, QDir::Name);
  for (const QString &name : names) {
    const QString path = folder.filePath(name);
    if (!QFileInfo::exists(path)) continue;
    // Only the file name changes, never a folder of the path.
    QString newName = name;
    newName.replace(QStringLiteral("autosave"), QStringLiteral("delete_anytime"));
    while (QFileInfo::exists(folder.filePath(newName))) newName.insert(newName.size() - 4, QLatin1Char('a'));
    const QString newPath = folder.filePath(newName);

    if (!QFile::rename(path, newPath) || !openProjectQuietly(editor, newPath)) {
      const QString head = QString::fromLatin1(kAutosaveErrorText);
      editor.ui().messageBox(head, head + QLatin1Char('\r') + newPath);
      continue;
    }
    // The recovered file becomes this window's own auto-save file, so the recovered work
    // stays on disk, where the next start finds it, until an auto-save replaces it or the
    // user saves or discards the document. When it cannot be renamed, it stays under its
    // "delete_anytime" name rather than being deleted.
    QFile::rename(newPath, autosaveFileName(editor));
    editor.FFilename.clear();
    editor.updateCaption(QString());
    editor.setDocumentChanged(true);
    return true;
  }
  return false;
}

}  // namespace quillon
