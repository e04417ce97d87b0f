#include "shell/autosave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "shell/project_file.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quillon {
namespace {

using test::EditorTest;
using test::TScriptedUi;

// A span of seconds as a date-time value (days).
double seconds(double s) { return s / 86400.0; }

QString dataFile(const QString &name) { return QDir(test::testDataDir()).filePath(name); }

QStringList dataFolderEntries() {
  return QDir(test::testDataDir()).entryList({QStringLiteral("*.tmp")}, QDir::Files, QDir::Name);
}

void copyFixture(const QString &fixture, const QString &to) {
  ASSERT_TRUE(QFile::copy(test::fixturePath(QStringLiteral("documents/") + fixture), to)) << to.toStdString();
}

void writeBytes(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QByteArray readBytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class AutoSaveTest : public EditorTest {
 protected:
  // One edit, as a command ends it; the time of the edit.
  double edit() {
    addLine({0.0f, 0.0f}, {10.0f, static_cast<float>(doc().Count())});
    takeUndoSnapshot(editor, QStringLiteral("test"));
    return doc().LastOperatedTime;
  }
};

TEST_F(AutoSaveTest, TheTimerTicksEverySecondFromTheStart) {
  ASSERT_TRUE(editor.FAutoSaveTimer);
  EXPECT_EQ(editor.FAutoSaveTimer->interval(), 1000);
  EXPECT_TRUE(editor.FAutoSaveTimer->isActive());
  EXPECT_EQ(autosaveFileName(editor),
            dataFile(QStringLiteral("autosave_") + editor.FRandomStr + QStringLiteral(".tmp")));
  const int number = editor.FRandomStr.toInt();
  EXPECT_GE(number, 0);
  EXPECT_LE(number, 9999);
}

TEST_F(AutoSaveTest, WritesOnceAfterThreeIdleSecondsAndStaysUntitledAndChanged) {
  const double t0 = edit();
  ui.statusTexts.clear();

  EXPECT_FALSE(autoSaveTick(editor, t0 + seconds(2.5)));
  EXPECT_FALSE(QFile::exists(autosaveFileName(editor)));

  EXPECT_TRUE(autoSaveTick(editor, t0 + seconds(3.0)));
  ASSERT_TRUE(QFile::exists(autosaveFileName(editor)));
  EXPECT_TRUE(readBytes(autosaveFileName(editor)).startsWith("\xEF\xBB\xBF{\"meta\":{\"file_type\":\"Quillon\""));
  EXPECT_TRUE(editor.FFilename.isEmpty());
  EXPECT_TRUE(doc().IsChanged);
  EXPECT_EQ(ui.caption, "Quillon ver3.7.9");
  EXPECT_EQ(ui.statusTexts, QStringList{QStringLiteral("Saved autosave_") + editor.FRandomStr + ".tmp"});

  // Nothing new happened: no second write, however long the idle time.
  EXPECT_FALSE(autoSaveTick(editor, t0 + seconds(60.0)));

  // The next change writes again, 3 s after it (and after the last save).
  doc().LastChangeTime = doc().LastOperatedTime = t0 + seconds(61.0);
  EXPECT_FALSE(autoSaveTick(editor, t0 + seconds(63.5)));
  EXPECT_TRUE(autoSaveTick(editor, t0 + seconds(64.0)));
}

TEST_F(AutoSaveTest, NothingIsWrittenForAnUnchangedDocument) {
  EXPECT_FALSE(doc().IsChanged);
  EXPECT_FALSE(autoSaveTick(editor, doc().LastOperatedTime + seconds(100.0)));
  EXPECT_FALSE(QFile::exists(autosaveFileName(editor)));
}

TEST_F(AutoSaveTest, WithUseAutoSaveATitledDocumentIsWrittenIntoItsOwnFile) {
  const QString project = QDir(test::testDocumentsDir()).filePath(QStringLiteral("belt.qnd"));
  editor.FOptions->UseAutoSave = true;
  editor.FFilename = project;
  const double t0 = edit();
  EXPECT_TRUE(autoSaveTick(editor, t0 + seconds(3.0)));
  EXPECT_TRUE(QFile::exists(project));
  EXPECT_FALSE(QFile::exists(autosaveFileName(editor)));
  EXPECT_EQ(editor.FFilename, project);
  EXPECT_TRUE(doc().IsChanged);
  EXPECT_EQ(ui.caption, "belt.qnd - Quillon ver3.7.9");

  // Without the setting the project file is left alone.
  QFile::remove(project);
  editor.FOptions->UseAutoSave = false;
  doc().LastChangeTime = doc().LastOperatedTime = t0 + seconds(10.0);
  EXPECT_TRUE(autoSaveTick(editor, t0 + seconds(13.0)));
  EXPECT_FALSE(QFile::exists(project));
  EXPECT_TRUE(QFile::exists(autosaveFileName(editor)));
}

TEST_F(AutoSaveTest, SaveDeletesTheAutosaveFile) {
  const double t0 = edit();
  ASSERT_TRUE(autoSaveTick(editor, t0 + seconds(3.0)));
  ASSERT_TRUE(QFile::exists(autosaveFileName(editor)));
  ui.fileAnswers = {QDir(test::testDocumentsDir()).filePath(QStringLiteral("belt.qnd"))};
  actSaveProjectExecute(editor);
  EXPECT_FALSE(QFile::exists(autosaveFileName(editor)));
  EXPECT_FALSE(doc().IsChanged);
}

TEST_F(AutoSaveTest, AFailedWriteIsReportedOnceAndRetriedQuietly) {
  const QString dataPath = editor.FAppDataPath;
  editor.FAppDataPath = dataFile(QStringLiteral("gone/quillon"));  // a folder that does not exist
  const double t0 = edit();
  ui.statusTexts.clear();
  ui.boxKeys.clear();

  EXPECT_FALSE(autoSaveTick(editor, t0 + seconds(3.0)));
  EXPECT_FALSE(autoSaveTick(editor, t0 + seconds(4.0)));
  EXPECT_FALSE(autoSaveTick(editor, t0 + seconds(5.0)));
  ASSERT_EQ(ui.statusTexts.size(), 1);
  EXPECT_TRUE(ui.statusTexts[0].startsWith(kAutosaveFailedText));
  EXPECT_TRUE(ui.boxKeys.isEmpty());
  EXPECT_TRUE(editor.FFilename.isEmpty());
  EXPECT_TRUE(doc().IsChanged);

  // Once writing works again the next tick saves.
  editor.FAppDataPath = dataPath;
  EXPECT_TRUE(autoSaveTick(editor, t0 + seconds(6.0)));
  EXPECT_TRUE(QFile::exists(autosaveFileName(editor)));
  EXPECT_FALSE(editor.FAutoSaveFailedReported);
}

// ---------------------------------------------------------------------------------
// Recovery at start-up

TEST(AutoSaveRecovery, ANewWindowReopensTheFileACrashedOneLeft) {
  QString leftOver;
  int shapes = 0;
  {
    TScriptedUi ui;
    TEditor crashed(ui, {QStringLiteral("--instance-id"), QStringLiteral("1")});
    for (int i = 0; i < 3; ++i) {
      auto s =
          std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, crashed.doc().PathList().getNextID());
      s->drawLinePath({0.0f, 5.0f * i}, {20.0f, 5.0f * i});
      crashed.doc().add(std::move(s), 0);
    }
    crashed.doc().PathList().Memo = QStringLiteral("unsaved work");
    takeUndoSnapshot(crashed, QStringLiteral("test"));
    ASSERT_TRUE(autoSaveTick(crashed, crashed.doc().PathList().LastOperatedTime + seconds(3.0)));
    leftOver = autosaveFileName(crashed);
    shapes = crashed.doc().PathList().Count();
    // The window goes away without the save question, as in a crash.
  }
  ASSERT_TRUE(QFile::exists(leftOver));

  TScriptedUi ui;
  TEditor editor(ui, {});
  EXPECT_EQ(editor.doc().PathList().Count(), shapes);
  EXPECT_EQ(editor.doc().PathList().Memo, "unsaved work");
  EXPECT_TRUE(editor.FFilename.isEmpty());
  EXPECT_EQ(ui.caption, "Quillon ver3.7.9");
  EXPECT_TRUE(editor.doc().PathList().IsChanged);
  EXPECT_EQ(editor.FUndoStore.FUndoList.size(), 1u);
  // The file was read and became the new window's own auto-save file.
  EXPECT_EQ(dataFolderEntries(), QStringList{QFileInfo(autosaveFileName(editor)).fileName()});
}

// A second crash right after a recovery, before the next auto-save: the recovered work is
// still on disk and the next start reopens it (it used to be deleted once read).
TEST(AutoSaveRecovery, ASecondCrashRightAfterARecoveryLosesNothing) {
  copyFixture(QStringLiteral("repairs.qnd"), dataFile("autosave_5.tmp"));
  QByteArray recoveredBytes;
  {
    TScriptedUi ui;
    TEditor first(ui, {});
    ASSERT_EQ(first.doc().PathList().Count(), 12);
    ASSERT_NE(first.FRandomStr, "5");
    recoveredBytes = readBytes(autosaveFileName(first));
    // It goes away at once, without an auto-save or the save question.
  }
  EXPECT_EQ(recoveredBytes, readBytes(test::fixturePath(QStringLiteral("documents/repairs.qnd"))));
  TScriptedUi ui;
  TEditor second(ui, {});
  EXPECT_EQ(second.doc().PathList().Count(), 12);
  EXPECT_TRUE(second.doc().PathList().IsChanged);
  EXPECT_EQ(dataFolderEntries(), QStringList{QFileInfo(autosaveFileName(second)).fileName()});

  // A save lets the copy go.
  ui.fileAnswers = {QDir(test::testDocumentsDir()).filePath(QStringLiteral("recovered.qnd"))};
  actSaveProjectExecute(second);
  EXPECT_TRUE(dataFolderEntries().isEmpty());
}

// A new window takes a number whose auto-save file is not there yet, so its auto-saves
// never write over a file that a crashed window left.
TEST(AutoSaveRecovery, ANewWindowsNumberIsOneNoLeftOverFileHas) {
  for (int n = 0; n < 10000; ++n)
    if (n != 4711) writeBytes(dataFile(QStringLiteral("autosave_%1.tmp").arg(n)), "left over");
  TScriptedUi ui;
  TEditor editor(ui, {QStringLiteral("--instance-id"), QStringLiteral("2")});
  EXPECT_EQ(editor.FRandomStr, "4711");
}

TEST(AutoSaveRecovery, AnUnreadableFileKeepsItsDeleteAnytimeNameAndTheNextIsTried) {
  writeBytes(dataFile("autosave_1.tmp"), "crashed while writing {");
  writeBytes(dataFile("delete_anytime_1.tmp"), "an older one");
  writeBytes(dataFile("delete_anytime_1a.tmp"), "and another");
  copyFixture(QStringLiteral("repairs.qnd"), dataFile("autosave_2.tmp"));
  copyFixture(QStringLiteral("repairs.qnd"), dataFile("autosave_3.tmp"));

  TScriptedUi ui;
  TEditor editor(ui, {});
  // autosave_1 could not be read: an error box, and it stays as delete_anytime_1aa.
  EXPECT_EQ(ui.boxKeys.count(kAutosaveErrorText), 1);
  EXPECT_FALSE(ui.boxKeys.contains("NotQNDFile"));
  EXPECT_EQ(readBytes(dataFile("delete_anytime_1aa.tmp")), "crashed while writing {");
  EXPECT_EQ(readBytes(dataFile("delete_anytime_1.tmp")), "an older one");
  // autosave_2 was reopened and became the window's own file; autosave_3 is left alone.
  QStringList expected{"autosave_3.tmp", QFileInfo(autosaveFileName(editor)).fileName(), "delete_anytime_1.tmp",
                       "delete_anytime_1a.tmp", "delete_anytime_1aa.tmp"};
  expected.sort();
  EXPECT_EQ(dataFolderEntries(), expected);
  EXPECT_EQ(readBytes(autosaveFileName(editor)), readBytes(dataFile("autosave_3.tmp")));
  EXPECT_EQ(editor.doc().PathList().Count(), 12);
  EXPECT_TRUE(editor.FFilename.isEmpty());
  EXPECT_TRUE(editor.doc().PathList().IsChanged);
}

// The auto-save files of the data folder as they stand: name and bytes of each.
using TFolderState = std::map<QString, QByteArray>;

TFolderState folderState() {
  TFolderState state;
  for (const QString &name : dataFolderEntries()) state[name] = readBytes(dataFile(name));
  return state;
}

void restoreFolderState(const TFolderState &state) {
  for (const QString &name : dataFolderEntries()) QFile::remove(dataFile(name));
  for (const auto &[name, bytes] : state) writeBytes(dataFile(name), bytes);
}

QString describe(const TFolderState &state) {
  QStringList names;
  for (const auto &entry : state) names << entry.first;
  return names.join(QStringLiteral(", "));
}

// Notes the data folder whenever the editor shows something (the caption while a file
// is read and after it was taken over, the canvas): the files a kill -9 at that moment
// leaves behind.
class TFolderWatchingUi : public TScriptedUi {
 public:
  std::vector<TFolderState> states;

  void setCaption(const QString &text) override {
    TScriptedUi::setCaption(text);
    note();
  }
  void refreshCanvas() override {
    TScriptedUi::refreshCanvas();
    note();
  }

 private:
  void note() {
    TFolderState now = folderState();
    if (states.empty() || states.back() != now) states.push_back(std::move(now));
  }
};

// A start killed at any moment of a recovery (before it moves the file, while it reads
// it, before it takes it over, after) leaves the work where the next start reopens it.
TEST(AutoSaveRecovery, AStartKilledAtAnyMomentOfARecoveryLeavesTheWorkToTheNext) {
  const QByteArray work = readBytes(test::fixturePath(QStringLiteral("documents/repairs.qnd")));
  writeBytes(dataFile("autosave_5.tmp"), work);
  std::vector<TFolderState> moments;
  {
    TFolderWatchingUi ui;
    TEditor first(ui, {});
    ASSERT_EQ(first.doc().PathList().Count(), 12);
    moments = ui.states;
  }
  // The moments include the one while the file is read: neither its first name nor the
  // window's own one holds it then.
  ASSERT_GE(moments.size(), 3u);
  EXPECT_EQ(moments.front(), (TFolderState{{"autosave_5.tmp", work}}));
  bool whileReading = false;
  for (const TFolderState &moment : moments)
    whileReading = whileReading || (moment.size() == 1 && !moment.count("autosave_5.tmp") &&
                                    !moment.begin()->first.contains(QRegularExpression("^autosave_\\d+\\.tmp$")));
  EXPECT_TRUE(whileReading);

  for (const TFolderState &moment : moments) {
    SCOPED_TRACE(describe(moment).toStdString());
    restoreFolderState(moment);
    TScriptedUi ui;
    TEditor next(ui, {});
    EXPECT_EQ(next.doc().PathList().Count(), 12);
    EXPECT_TRUE(next.doc().PathList().IsChanged);
    EXPECT_TRUE(ui.boxKeys.isEmpty());
    EXPECT_EQ(folderState(), (TFolderState{{QFileInfo(autosaveFileName(next)).fileName(), work}}));
  }
}

// A file whose reading kills the program: each start dies while reading it, leaving the
// folder as it stood then. It is read by two starts, then left as safe to delete.
TEST(AutoSaveRecovery, AFileWhoseReadingKillsTheProgramIsNotReopenedForever) {
  const QByteArray work = readBytes(test::fixturePath(QStringLiteral("documents/repairs.qnd")));
  writeBytes(dataFile("autosave_5.tmp"), work);
  int reads = 0;
  for (int start = 0; start < 4; ++start) {
    TFolderWatchingUi ui;
    TFolderState killedAt;
    {
      TEditor editor(ui, {});
      const QString own = QFileInfo(autosaveFileName(editor)).fileName();
      if (editor.doc().PathList().Count() == 12) ++reads;
      // The last moment before the window took the file over.
      for (const TFolderState &moment : ui.states)
        if (!moment.count(own)) killedAt = moment;
    }
    restoreFolderState(killedAt);
  }
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(folderState(), (TFolderState{{"delete_anytime_5.tmp", work}}));
}

TEST(AutoSaveRecovery, AWindowWithAnInstanceIdLeavesEveryFileInPlace) {
  copyFixture(QStringLiteral("repairs.qnd"), dataFile("autosave_7.tmp"));
  TScriptedUi ui;
  TEditor editor(ui, {QStringLiteral("--instance-id"), QStringLiteral("7")});
  EXPECT_TRUE(QFile::exists(dataFile("autosave_7.tmp")));
  EXPECT_EQ(editor.doc().PathList().Count(), 0);
  EXPECT_FALSE(editor.doc().PathList().IsChanged);
}

TEST(AutoSaveRecovery, OnlyTheFileNameIsRenamedNotAFolderOfThePath) {
  const QString folder = dataFile(QStringLiteral("autosave_stuff/quillon"));
  qputenv("QUILLON_DATA_DIR", folder.toUtf8());
  ASSERT_TRUE(QDir().mkpath(folder));
  copyFixture(QStringLiteral("repairs.qnd"), QDir(folder).filePath("autosave_5.tmp"));
  TScriptedUi ui;
  TEditor editor(ui, {});
  EXPECT_EQ(editor.doc().PathList().Count(), 12);
  EXPECT_TRUE(editor.doc().PathList().IsChanged);
  EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.tmp")}, QDir::Files),
            QStringList{QFileInfo(autosaveFileName(editor)).fileName()});
  EXPECT_FALSE(ui.boxKeys.contains(kAutosaveErrorText));
}

}  // namespace
}  // namespace quillon
