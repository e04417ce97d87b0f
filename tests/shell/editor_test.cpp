#include "shell/editor.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "i18n/multi_lang.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/options.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quillon {
namespace {

using test::TScriptedUi;

const QStringList kNoDocument{QStringLiteral("--instance-id"), QStringLiteral("101010101")};

void writeSettings(const QByteArray &text) {
  QFile f(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
}

QByteArray readSettings() {
  QFile f(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(EditorStartUp, FirstRunCreatesTheDataFoldersAndAnEmptyDocument) {
  // The data folder itself does not exist yet on a first run.
  const QString data = QDir(test::testDataDir()).filePath(QStringLiteral("fresh/quillon"));
  qputenv("QUILLON_DATA_DIR", data.toUtf8());
  TScriptedUi ui;
  {
    TEditor editor(ui, kNoDocument);
    EXPECT_TRUE(QDir(data).exists());
    EXPECT_TRUE(QDir(data + "/repository").exists());
    EXPECT_TRUE(QDir(data + "/catalogs").exists());
    EXPECT_EQ(editor.FAppDataPath, data);
    EXPECT_EQ(ui.caption, "Quillon ver3.7.9");
    EXPECT_EQ(editor.doc().PathList().Count(), 0);
    EXPECT_FALSE(editor.doc().PathList().IsChanged);
    EXPECT_EQ(editor.doc().PathList().PrintOffset().size(), 1u);
    EXPECT_EQ(editor.pen().FPalletList.size(), 40u);
    // The pen is that of line type #01.
    EXPECT_EQ(editor.pen().FCurrentColor, editor.pen().FPalletList[0]->Color());
    EXPECT_FLOAT_EQ(editor.pen().FCurrentThickness, editor.pen().FPalletList[0]->FThickness);
    EXPECT_FLOAT_EQ(editor.view().FScale, 10);
  }
  // The download question was asked once (declined by the script) and the answer kept.
  EXPECT_EQ(ui.boxKeys, QStringList{"askAutoDownload"});
  EXPECT_TRUE(QFile::exists(data + "/qn_options.ini"));
}

TEST(EditorStartUp, DownloadQuestionIsAskedOnlyUntilAnswered) {
  TScriptedUi ui;
  ui.yesNoAnswers = {true};
  {
    TEditor editor(ui, kNoDocument);
    EXPECT_TRUE(editor.FOptions->AutomaticallyDownloadLeatherSimImages);
    EXPECT_FALSE(editor.FOptions->NotifyNewOrUpdatedSimImages);
    EXPECT_TRUE(editor.FOptions->LeatherSimImageChoiseMade);
  }
  EXPECT_TRUE(readSettings().contains("ChoiseMade=1"));
  TScriptedUi again;
  { TEditor editor(again, kNoDocument); }
  EXPECT_TRUE(again.boxKeys.isEmpty());
}

TEST(EditorStartUp, LanguageFallsBackToEnglishAndPicksTheDefaultFont) {
  writeSettings("[General]\nLangID=xx\n[LeatherSim]\nChoiseMade=1\n");
  TScriptedUi ui;
  TEditor editor(ui, kNoDocument);
  // "xx" has no table; the system language of the test machine has none either except
  // English, which is the last resort.
  EXPECT_TRUE(editor.FMultiLang->isSupported(editor.FLangID));
  EXPECT_EQ(editor.FOptions->LangID, editor.FLangID);
  EXPECT_EQ(editor.doc().PathList().LangID, editor.FLangID);
  const bool hasHelvetica = editor.panel().FontNames.contains(QStringLiteral("Helvetica"));
  EXPECT_EQ(editor.FOptions->DefaultFont, hasHelvetica ? "Helvetica" : "Arial");
}

TEST(EditorStartUp, CaptionAndChangedMark) {
  TScriptedUi ui;
  TEditor editor(ui, kNoDocument);
  editor.updateCaption(QStringLiteral("/some/folder/pattern.qnd"));
  EXPECT_EQ(ui.caption, "pattern.qnd - Quillon ver3.7.9");
  editor.updateCaption(QString());
  EXPECT_EQ(ui.caption, "Quillon ver3.7.9");

  editor.setDocumentChanged(true);
  EXPECT_TRUE(editor.doc().PathList().IsChanged);
  EXPECT_GT(editor.doc().PathList().LastChangeTime, 40000.0);  // a date after 2009
  editor.FDuplicatesRemovedOnLoad = 3;
  editor.setDocumentChanged(false);
  EXPECT_FALSE(editor.doc().PathList().IsChanged);
  EXPECT_EQ(editor.FDuplicatesRemovedOnLoad, 0);
}

TEST(EditorIntersections, NewShapesAndTheWholeDocument) {
  TScriptedUi ui;
  TEditor editor(ui, kNoDocument);
  const auto addLine = [&](TPointF a, TPointF b) {
    auto line = std::make_unique<TQN_Path>(0, editor.pen().FCurrentColor, 1, TStrokeDash::Solid,
                                           editor.doc().PathList().getNextID());
    line->drawLinePath(a, b);
    TQN_Path *s = editor.doc().add(std::move(line), 0);
    editor.calcIntersectionsOfShape(s);
    return s;
  };
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({5, -5}, {5, 5});
  ASSERT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_FLOAT_EQ(editor.doc().FIntersections[0]->FPoint.X, 5);
  EXPECT_TRUE(editor.doc().FIntersections[0]->FIsCrossing);

  editor.pointer().FIsShapeDragging = true;  // nothing is computed during a drag
  addLine({8, -5}, {8, 5});
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);
  editor.pointer().FIsShapeDragging = false;

  const std::size_t states = editor.FUndoStore.FUndoList.size();
  editor.btnRecalcIntersectionsClick();
  EXPECT_EQ(editor.doc().FIntersections.Count(), 2);
  EXPECT_TRUE(editor.display().FShow_intersections);
  EXPECT_EQ(editor.FUndoStore.FUndoList.size(), states + 1);
  removeIntersectionsOf(editor.doc().FIntersections, b);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_TRUE(editor.doc().FIntersections[0]->FPath1 == a || editor.doc().FIntersections[0]->FPath2 == a);
}

TEST(EditorShutDown, WritesTheSettingsFile) {
  writeSettings("[LeatherSim]\nChoiseMade=1\n");
  TScriptedUi ui;
  { TEditor editor(ui, kNoDocument); }
  const QByteArray ini = readSettings();
  EXPECT_TRUE(ini.contains("[Version]\nAppVersion=3.7.9\n")) << ini.constData();
  EXPECT_TRUE(ini.contains("[LinePallet0]")) << ini.constData();
}

TEST(EditorStartUp, DataFolderThatCannotBeCreatedStopsStartUp) {
  // A file where the data folder should be.
  const QString blocker = QDir(test::testDataDir()).filePath(QStringLiteral("blocker"));
  QFile f(blocker);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  qputenv("QUILLON_DATA_DIR", (blocker + "/quillon").toUtf8());
  TScriptedUi ui;
  EXPECT_THROW(TEditor(ui, kNoDocument), std::runtime_error);
}

}  // namespace
}  // namespace quillon
