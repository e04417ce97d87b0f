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

namespace {

// A left-over file that one start already began to reopen carries this head instead of
// "autosave".
const QString kReopeningHead = QStringLiteral("autosave_reopening");

// `name` in `folder`, with "a" put before its ".tmp" while a file of that name exists.
QString freeName(const QDir &folder, QString name) {
  while (QFileInfo::exists(folder.filePath(name))) name.insert(name.size() - 4, QLatin1Char('a'));
  return folder.filePath(name);
}

// The name that marks a left-over file as safe to delete: its head ("autosave", or the
// head of a file already tried once) becomes "delete_anytime". Only the file name
// changes, never a folder of the path.
QString deleteAnytimeName(const QDir &folder, const QString &name) {
  const QString head = name.startsWith(kReopeningHead) ? kReopeningHead : QStringLiteral("autosave");
  return freeName(folder, QStringLiteral("delete_anytime") + name.mid(head.size()));
}

// Moves `from` to `to` and opens it there; false when either fails.
bool moveAndOpen(TEditor &editor, const QString &from, const QString &to) {
  return QFile::rename(from, to) && openProjectQuietly(editor, to);
}

void reportUnreadable(TEditor &editor, const QString &path) {
  const QString head = QString::fromLatin1(kAutosaveErrorText);
  editor.ui().messageBox(head, head + QLatin1Char('\r') + path);
}

}  // namespace

bool recoverAutosave(TEditor &editor) {
  const QDir folder(editor.FAppDataPath);
  const QStringList names = folder.entryList({QStringLiteral("autosave*.tmp")},
                                             QDir::Files | QDir::CaseSensitive, QDir::Name);
  for (const QString &name : names) {
    const QString path = folder.filePath(name);
    if (!QFileInfo::exists(path)) continue;
    // The file is opened under a name that no later start reopens, so that a file whose
    // opening kills the program is not opened at every start. A file seen for the first
    // time gets one more chance first: it is opened under its "reopening" name, which the
    // next start still lists, because a start that is killed while reading (or before it
    // takes the file over) must not leave the only copy of the work under a name that
    // says it may be deleted. The next start then opens it under its "delete_anytime"
    // name, and a file that cannot be opened ends there.
    QString openedPath;
    if (name.startsWith(kReopeningHead)) {
      openedPath = deleteAnytimeName(folder, name);
      if (!moveAndOpen(editor, path, openedPath)) {
        reportUnreadable(editor, openedPath);
        continue;
      }
    } else {
      openedPath = freeName(folder, kReopeningHead + name.mid(QStringLiteral("autosave").size()));
      if (!moveAndOpen(editor, path, openedPath)) {
        // A file that does not read (rather than one whose reading stopped the program)
        // is marked at once.
        const QString moved = QFileInfo::exists(openedPath) ? openedPath : path;
        const QString marked = deleteAnytimeName(folder, QFileInfo(moved).fileName());
        QFile::rename(moved, marked);
        reportUnreadable(editor, marked);
        continue;
      }
    }
    // The recovered file becomes this window's own auto-save file, so the recovered work
    // stays on disk, where the next start finds it, until an auto-save replaces it or the
    // user saves or discards the document. When it cannot be renamed, it keeps the name
    // it was opened under.
    QFile::rename(openedPath, autosaveFileName(editor));
    editor.FFilename.clear();
    editor.updateCaption(QString());
    editor.setDocumentChanged(true);
    return true;
  }
  return false;
}

}  // namespace quillon
