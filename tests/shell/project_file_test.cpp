#include "shell/project_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/json_text.h"
#include "render/paint.h"
#include "model/draw_pallet.h"
#include "shell/autosave.h"
#include "shell/editor.h"
#include "shell/undo.h"
#include "stitching/pricking_iron.h"
#include "support/editor_fixture.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quillon {
namespace {

using test::EditorTest;
using test::TScriptedUi;

QString documentPath(const QString &name) { return QDir(test::testDocumentsDir()).filePath(name); }

QByteArray readBytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  f.write(bytes);
}

std::vector<std::string> keysOf(const TJson &object) {
  std::vector<std::string> keys;
  for (auto it = object.begin(); it != object.end(); ++it) keys.push_back(it.key());
  return keys;
}

class ProjectFileTest : public EditorTest {
 protected:
  ProjectFileTest() { test::dropIronGroups(editor); }
  std::unique_ptr<TQN_Path> newShape(int pallet = 0) {
    return std::make_unique<TQN_Path>(pallet, 0xFFFFFFFF, 1.5f, TStrokeDash::Solid, doc().getNextID());
  }
  TQN_Path *addCircle(TPointF c, float d, int layer = 0) {
    std::unique_ptr<TQN_Path> s = newShape(1);
    s->drawEllipsePath(c, d, d);
    return editor.doc().add(std::move(s), layer);
  }
  TQN_Path *addBezier(TPointF a, TPointF c1, TPointF c2, TPointF b, int layer = 0) {
    std::unique_ptr<TQN_Path> s = newShape(2);
    s->drawBezierPath(a, c1, c2, b);
    return editor.doc().add(std::move(s), layer);
  }
  // An iron group of the window with that blade and pitch.
  TPrickingIron *addIronGroup(const char *blade, float pitch, const char *name) {
    auto group = std::make_unique<TPrickingIronGroup>(false);
    group->PrickingIron->BladeType = blade;
    group->PrickingIron->Pitch = pitch;
    group->PrickingIron->Name = name;
    editor.FPrickingIronGroups.push_back(std::move(group));
    return editor.FPrickingIronGroups.back()->PrickingIron.get();
  }
  // A document with a bit of everything the file holds.
  void buildSampleDocument() {
    doc().Memo = QStringLiteral("Gürtel ✓ / \"quoted\"\r\nsecond line");
    doc().SetLayerName(0, QStringLiteral("Basis ä"));
    doc().addLayer(3, QStringLiteral("Stitching"), false);
    doc().SetIsIndependentLayer(3, true);
    doc().addLayer(1, QStringLiteral("Cut"), true);
    addLine({0.0f, 0.0f}, {40.0f, 0.0f});
    addLine({20.0f, -10.0f}, {20.0f, 10.0f}, 1);
    addCircle({60.0f, 20.0f}, 12.5f, 1);
    addBezier({0.0f, 30.0f}, {10.0f, 40.0f}, {20.0f, 20.0f}, {30.0f, 30.0f});
    TQN_Path *h1 = addHole({5.0f, 5.0f}, 3);
    TQN_Path *h2 = addHole({9.0f, 5.0f}, 3);
    TPrickingIron *iron = addIronGroup("D", 3.85f, "Diamond 3.85");
    h1->setPrickingIron(iron);
    h2->setPrickingIron(iron);
    h1->FNextStitchID = h2->ID();
    h2->FPrevStitchID = h1->ID();
    doc().PrintOffset() = {{0.0f, 0.0f}, {180.25f, -12.5f}};
    doc().PrintTarget() = {true, false};
    doc().PrintScalePos() = {0, 3};
    for (TQN_Path *s : doc()) editor.calcIntersectionsOfShape(s);
    takeUndoSnapshot(editor, QStringLiteral("test"));
  }
  // The open document, to check that a failed open left it alone.
  struct TSnapshot {
    TShapeList *List;
    std::vector<TQN_Path *> Shapes;
    QString FileName;
    bool Changed;
    std::size_t UndoStates;
    int Intersections;
  };
  TSnapshot snapshot() {
    return {&editor.doc().PathList(), doc().Items(), editor.FFilename, doc().IsChanged, undoStates(),
            editor.doc().FIntersections.Count()};
  }
};

// ---------------------------------------------------------------------------------
// Writing

TEST_F(ProjectFileTest, SavedFileIsOneBomLineEndingInCrLfWithEscapesAndMembersInOrder) {
  buildSampleDocument();
  editor.FFilename = documentPath("sample.qnd");
  ASSERT_TRUE(saveProject(editor));

  const QByteArray bytes = readBytes(documentPath("sample.qnd"));
  ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
  ASSERT_TRUE(bytes.endsWith("\r\n"));
  const QByteArray body = bytes.mid(3, bytes.size() - 5);
  EXPECT_FALSE(body.contains('\r'));
  EXPECT_FALSE(body.contains('\n'));
  for (char c : body) ASSERT_GE(static_cast<signed char>(c), 0x20) << "byte above 127 or control";

  // Escapes: non-ASCII as upper-case \u, "/" and the line break of the memo escaped.
  EXPECT_TRUE(body.contains(R"("memo":"G\u00FCrtel \u2713 \/ \"quoted\"\r\nsecond line")")) << body.left(200).data();
  // Members and their order, worked out from the document above.
  EXPECT_TRUE(body.startsWith(R"({"meta":{"file_type":"Quillon","version":"3.7.9","memo":)"));
  EXPECT_TRUE(body.contains(R"("layers":[{"id":0,"chk":"-1","nam":"Basis \u00E4","indp":"0"},)"
                            R"({"id":3,"chk":"0","nam":"Stitching","indp":"-1"},)"
                            R"({"id":1,"chk":"-1","nam":"Cut","indp":"0"}],"shapes":[{"id":")"));
  EXPECT_TRUE(body.endsWith(R"(],"backdrops":[],"printareas":[{"offset":[0.0,0.0],"target":true,"scalepos":0},)"
                            R"({"offset":[180.25,-12.5],"target":false,"scalepos":3}]})"));
  const TJson root = parseJsonText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  EXPECT_EQ(keysOf(root), (std::vector<std::string>{"meta", "layers", "shapes", "backdrops", "printareas"}));
  ASSERT_EQ(root["shapes"].size(), 6u);
  EXPECT_EQ(root["shapes"][4]["pr"], (TJson{{"bt", "D"}, {"p", "3.84999990463257"}}));

  // After the save: named, unchanged, told on the status line.
  EXPECT_EQ(ui.caption, "sample.qnd - Quillon ver3.7.9");
  EXPECT_FALSE(doc().IsChanged);
  EXPECT_EQ(ui.statusTexts.last(), "Saved sample.qnd");
  EXPECT_GT(doc().LastSavedTime, 0.0);
}

TEST_F(ProjectFileTest, SaveOpenSaveGivesIdenticalBytesAndTheSameDocument) {
  buildSampleDocument();
  editor.FFilename = documentPath("first.qnd");
  ASSERT_TRUE(saveProject(editor));
  const int shapes = doc().Count();

  TScriptedUi ui2;
  TEditor second(ui2, {QStringLiteral("--instance-id"), QStringLiteral("2")});
  // The groups of the second window hold the same iron.
  test::dropIronGroups(second);
  auto group = std::make_unique<TPrickingIronGroup>(false);
  group->PrickingIron->BladeType = "D";
  group->PrickingIron->Pitch = 3.85f;
  second.FPrickingIronGroups.push_back(std::move(group));
  ASSERT_TRUE(openProject(second, documentPath("first.qnd")));
  EXPECT_EQ(second.doc().PathList().Count(), shapes);
  EXPECT_GT(second.doc().FIntersections.Count(), 0);
  EXPECT_EQ(second.doc().PathList().Layers(), (std::vector<int>{0, 3, 1}));
  EXPECT_EQ(second.doc().PathList().Memo, doc().Memo);
  EXPECT_EQ(second.doc().PathList().Items()[4]->PrickingIron(), second.FPrickingIronGroups[0]->PrickingIron.get());

  second.FFilename = documentPath("second.qnd");
  ASSERT_TRUE(saveProject(second));
  EXPECT_EQ(readBytes(documentPath("second.qnd")), readBytes(documentPath("first.qnd")));
}

TEST_F(ProjectFileTest, SaveAsAsksForANameAndAddsTheExtension) {
  addLine({0.0f, 0.0f}, {5.0f, 0.0f});
  takeUndoSnapshot(editor, QStringLiteral("test"));

  // Cancelling the dialog leaves the document changed and untitled. The dialog opened in
  // the Documents folder, not in the folder the program was started from.
  EXPECT_FALSE(saveProject(editor));
  EXPECT_TRUE(editor.FFilename.isEmpty());
  EXPECT_TRUE(doc().IsChanged);
  EXPECT_EQ(ui.savePropositions, QStringList{test::testDocumentsDir()});

  ui.fileAnswers = {documentPath("belt")};
  EXPECT_TRUE(saveProject(editor));
  EXPECT_EQ(editor.FFilename, documentPath("belt.qnd"));
  EXPECT_TRUE(QFile::exists(documentPath("belt.qnd")));
  EXPECT_FALSE(doc().IsChanged);
  EXPECT_EQ(ui.caption, "belt.qnd - Quillon ver3.7.9");
  // A titled document proposes its own name without the extension, in its folder.
  ui.fileAnswers = {};
  EXPECT_FALSE(saveProjectAs(editor));
  EXPECT_EQ(ui.savePropositions.last(), documentPath("belt"));
}

TEST_F(ProjectFileTest, AFailedWriteIsShownAndLeavesTheDocumentChanged) {
  addLine({0.0f, 0.0f}, {5.0f, 0.0f});
  takeUndoSnapshot(editor, QStringLiteral("test"));
  ui.fileAnswers = {documentPath("no/such/folder/belt.qnd")};
  EXPECT_FALSE(saveProjectAs(editor));
  EXPECT_EQ(ui.boxKeys.last(), kSaveErrorKey);
  EXPECT_TRUE(doc().IsChanged);
  // Save As keeps the new name although the write failed.
  EXPECT_EQ(editor.FFilename, documentPath("no/such/folder/belt.qnd"));
}

// ---------------------------------------------------------------------------------
// Reading and its repairs (tests/fixtures/documents/repairs.qnd; the comments in the
// expectations give the shape of the file each one checks)

class ProjectFileRepairs : public ProjectFileTest {
 protected:
  void SetUp() override {
    path = test::fixturePath(QStringLiteral("documents/repairs.qnd"));
    ASSERT_TRUE(openProject(editor, path));
  }
  TQN_Path *shape(int i) { return doc()[i]; }
  QString path;
};

TEST_F(ProjectFileRepairs, OpensNamedUnchangedWithOneUndoState) {
  EXPECT_EQ(editor.FFilename, path);
  EXPECT_EQ(ui.caption, "repairs.qnd - Quillon ver3.7.9");
  EXPECT_FALSE(doc().IsChanged);
  EXPECT_EQ(doc().LastChangeTime, 0.0);
  EXPECT_EQ(doc().LastSavedTime, 0.0);
  EXPECT_EQ(undoStates(), 1u);
  EXPECT_EQ(doc().Memo, QStringLiteral("Gürtel ✓"));
  // The line without ID, from (40, 50) to (60, 50), crosses the circle of diameter 10
  // about (50, 50) at both sides; the curves lie on a hidden layer and meet nothing.
  ASSERT_EQ(editor.doc().FIntersections.Count(), 2);
  for (const TIntersection *ict : editor.doc().FIntersections) {
    EXPECT_EQ(std::set<int>({ict->FPath1->ID(), ict->FPath2->ID()}), std::set<int>({8, 46}));
    EXPECT_NEAR(std::fabs(ict->FPoint.X - 50.0f), 5.0f, 0.01f);
  }
}

TEST_F(ProjectFileRepairs, DropsLinesWithoutLengthAndRenumbersRepeatedAndMissingIds) {
  // File: line 5, line 5, two zero-length lines 7, circle-like ellipse 8, ellipse 9
  // (group 40) that becomes four curves, holes 10 and 11, line -1, line 12, line 13.
  ASSERT_EQ(doc().Count(), 12);
  std::vector<int> ids;
  for (const TQN_Path *s : doc()) ids.push_back(s->ID());
  // The counter starts above the largest ID or group ID (40); renumbered shapes follow
  // in file order: the second line 5, the four curves, the line without ID.
  EXPECT_EQ(ids, (std::vector<int>{5, 41, 8, 42, 43, 44, 45, 10, 11, 46, 12, 13}));
  EXPECT_EQ(doc().LastID, 46);
  for (const TQN_Path *s : doc()) EXPECT_FALSE(s->isKind(TShapeKind::Line) && s->FStartPt.exactlyEquals(s->FEndPt));
  // The first line's end, stored at 10.00004, is rounded to 0.0001 mm.
  EXPECT_EQ(shape(0)->FEndPt.X, 10.0f);
}

// IDs and group IDs near the top of the 32-bit range are renumbered like repeated ones, so
// the counter that issues the next IDs cannot overflow; a group keeps its members together
// and the sewing links follow a hole's new ID.
TEST_F(ProjectFileTest, IdsNearTheTopOfThe32BitRangeAreRenumbered) {
  const int top = std::numeric_limits<int>::max();
  const auto shapeObject = [](TQN_Path &s, int id, int group) {
    s.updateId(id);
    s.FGroupID = group;
    return s.toJson();
  };
  TQN_Path a(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 0), b(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 0);
  a.drawLinePath({0, 0}, {10, 0});
  b.drawLinePath({0, 5}, {10, 5});
  TQN_Path h1(36, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 0), h2(36, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 0);
  for (TQN_Path *h : {&h1, &h2}) {
    h->drawDotPath({float(h == &h2) * 4.0f, 20.0f}, 0.5f);
    h->FShapeType = TShapeKind::Hole;
  }
  h1.FNextStitchID = top - 2;
  h2.FPrevStitchID = 7;
  TJson shapes = TJson::array();
  shapes.push_back(shapeObject(a, top, top - 1));
  shapes.push_back(shapeObject(b, 9, top - 1));
  shapes.push_back(shapeObject(h1, 7, 0));
  shapes.push_back(shapeObject(h2, top - 2, 0));
  TJson root = TJson::object();
  root["shapes"] = shapes;
  writeBytes(documentPath("large_ids.qnd"), QByteArray::fromStdString(writeJsonText(root)));

  ASSERT_TRUE(openProject(editor, documentPath("large_ids.qnd")));
  ASSERT_EQ(doc().Count(), 4);
  TQN_Path *lineA = doc()[0], *lineB = doc()[1], *hole1 = doc()[2], *hole2 = doc()[3];
  EXPECT_EQ(lineB->ID(), 9);
  EXPECT_EQ(hole1->ID(), 7);
  for (const TQN_Path *s : doc()) EXPECT_LT(s->ID(), top / 2) << s->ID();
  EXPECT_GT(lineA->FGroupID, 0);
  EXPECT_LT(lineA->FGroupID, top / 2);
  EXPECT_EQ(lineA->FGroupID, lineB->FGroupID);
  EXPECT_EQ(hole1->FNextStitchID, hole2->ID());
  EXPECT_EQ(hole2->FPrevStitchID, hole1->ID());
  std::set<int> ids;
  for (const TQN_Path *s : doc()) ids.insert(s->ID());
  EXPECT_EQ(ids.size(), 4u);
  EXPECT_FALSE(ids.count(lineA->FGroupID));
  const int next = doc().getNextID();
  EXPECT_GT(next, *ids.rbegin());
  EXPECT_GT(next, lineA->FGroupID);
}

TEST_F(ProjectFileRepairs, KeepsNearCirclesAndTurnsOtherEllipsesIntoFourCurves) {
  EXPECT_TRUE(shape(2)->isKind(TShapeKind::Ellipse));  // 10 by 10.005
  // 20 by 10 about (80, 50): four quarter curves from the bottom point, on the ellipse's
  // own layer with its line type, pen and group.
  const TPointF ends[4] = {{90.0f, 50.0f}, {80.0f, 45.0f}, {70.0f, 50.0f}, {80.0f, 55.0f}};
  TPointF start{80.0f, 55.0f};
  for (int i = 0; i < 4; ++i) {
    const TQN_Path *c = shape(3 + i);
    SCOPED_TRACE(i);
    EXPECT_TRUE(c->isKind(TShapeKind::Bezier));
    EXPECT_EQ(c->FLayerID, 2);
    EXPECT_EQ(c->FPalletIndex, 4);
    EXPECT_EQ(c->FColor, 0xFFEE82EEu);
    EXPECT_FLOAT_EQ(c->FThickness, 2.5f);
    EXPECT_EQ(c->FDash, TStrokeDash::Dash);
    EXPECT_EQ(c->FGroupID, 40);
    EXPECT_NEAR(c->FStartPt.X, start.X, 1e-4);
    EXPECT_NEAR(c->FStartPt.Y, start.Y, 1e-4);
    EXPECT_NEAR(c->FEndPt.X, ends[i].X, 1e-4);
    EXPECT_NEAR(c->FEndPt.Y, ends[i].Y, 1e-4);
    start = ends[i];
  }
  // The first handle lies 4/3 tan(22.5 deg) of the x radius right of the start.
  EXPECT_NEAR(shape(3)->FBezierCp1.X, 80.0 + 10.0 * 0.5522847498, 1e-4);
  EXPECT_NEAR(shape(3)->FBezierCp1.Y, 55.0, 1e-4);
}

TEST_F(ProjectFileRepairs, HolesGetLineType37AndAFarHoleComesBackToTheOrigin) {
  const TQN_Path *far = shape(7);
  const TQN_Path *near = shape(8);
  ASSERT_TRUE(far->isKind(TShapeKind::Hole));
  EXPECT_EQ(far->FPalletIndex, kStitchingHolePalletIndex);
  EXPECT_EQ(near->FPalletIndex, kStitchingHolePalletIndex);  // stored with line type 3
  EXPECT_TRUE(far->FCenter.exactlyEquals({0.0f, 0.0f}));
  EXPECT_TRUE(far->FStartPt.exactlyEquals({0.0f, 0.0f}));
  EXPECT_TRUE(far->FEndPt.exactlyEquals({0.0f, 0.0f}));
  const TRectF box = far->Data().GetBounds();
  EXPECT_EQ(box, TRectF(0.0f, 0.0f, 10.0f, 10.0f));
  EXPECT_TRUE(near->FCenter.exactlyEquals({20.0f, 20.0f}));
}

TEST_F(ProjectFileRepairs, FindsTheLineTypeOfAShapeWithoutOne) {
  // Line 12 has no line-type index; violet and dotted is line type #05 on the dark canvas
  // (#38 has the same colour, dashed).
  EXPECT_EQ(shape(10)->ID(), 12);
  EXPECT_EQ(shape(10)->FPalletIndex, 4);
  EXPECT_EQ(shape(0)->FPalletIndex, 2);
}

TEST_F(ProjectFileRepairs, ReadsLayersAndRestoresALayerOnlyAShapeNames) {
  EXPECT_EQ(doc().Layers(), (std::vector<int>{0, 2, 5}));
  EXPECT_EQ(doc().GetLayerName(0), "Base");
  EXPECT_EQ(doc().GetLayerName(2), "Hidden");
  EXPECT_TRUE(doc().GetlayerVisible(0));
  EXPECT_FALSE(doc().GetlayerVisible(2));   // "chk": false
  EXPECT_TRUE(doc().GetIsIndependentLayer(2));  // "indp": "true"
  EXPECT_EQ(doc().GetLayerName(5), "Layer 6");
  EXPECT_TRUE(doc().GetlayerVisible(5));
}

TEST_F(ProjectFileRepairs, ReadsThePrintPages) {
  ASSERT_EQ(doc().PrintOffset().size(), 2u);
  EXPECT_TRUE(doc().PrintOffset()[1].exactlyEquals({210.5f, -3.25f}));
  EXPECT_EQ(doc().PrintTarget(), (std::vector<bool>{true, false}));
  EXPECT_EQ(doc().PrintScalePos(), (std::vector<int>{0, 2}));
}

TEST_F(ProjectFileTest, DocumentWithoutLayersOrPagesGetsTheDefaultOnes) {
  const QString file = documentPath("bare.qnd");
  writeBytes(file, R"({"shapes":[]})");
  ASSERT_TRUE(openProject(editor, file));
  EXPECT_EQ(doc().Layers(), (std::vector<int>{0}));
  EXPECT_TRUE(doc().GetlayerVisible(0));
  EXPECT_EQ(doc().PrintOffset().size(), 1u);

  writeBytes(file, R"({"layers":[],"printareas":[]})");
  ASSERT_TRUE(openProject(editor, file));
  EXPECT_EQ(doc().Layers(), (std::vector<int>{0}));
  EXPECT_EQ(doc().PrintOffset().size(), 1u);
}

TEST_F(ProjectFileTest, AStitchingLineFindsItsIronByBladeAndPitch) {
  TQN_Path *hole = addHole({1.0f, 1.0f});
  const TJson element = hole->toJson();
  const auto ironFor = [&](const TJson &pr) {
    TJson e = element;
    e["pr"] = pr;
    TJson root = TJson::object();
    root["shapes"] = TJson::array({e});
    auto content = readProjectContent(editor, writeJsonText(root));
    return content->Document->PathList().Items().at(0)->PrickingIron();
  };
  // No diamond group at all: an iron of its own, named after the pitch.
  TPrickingIron *own = ironFor({{"bt", "D"}, {"p", 3.85}});
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->Name, "Unknown 3.85mm");
  EXPECT_EQ(own->BladeType, "D");
  EXPECT_FLOAT_EQ(own->Pitch, 3.85f);

  addIronGroup("F", 3.85f, "French 3.85");
  TPrickingIron *d4 = addIronGroup("D", 4.0f, "Diamond 4");
  TPrickingIron *d385 = addIronGroup("D", 3.85f, "Diamond 3.85");
  EXPECT_EQ(ironFor({{"bt", "D"}, {"p", "3.84999990463257"}}), d385);  // exactly that pitch
  EXPECT_EQ(ironFor({{"bt", "D"}, {"p", 2.7}}), d4);                   // else the first diamond
  EXPECT_EQ(ironFor({{"bt", "D"}, {"p", 4}}), d4);
}

TEST_F(ProjectFileTest, DuplicatesAreRemovedOnOpenAndCounted) {
  addLine({0.0f, 0.0f}, {10.0f, 0.0f});
  addLine({0.0f, 0.0f}, {10.0f, 0.0f});
  addLine({10.0f, 0.0f}, {0.0f, 0.0f});  // the same line the other way round
  addLine({0.0f, 0.0f}, {10.0f, 0.0f}, 1);  // on another layer: not a duplicate
  editor.FFilename = documentPath("dups.qnd");
  ASSERT_TRUE(saveProject(editor));
  ASSERT_TRUE(openProject(editor, documentPath("dups.qnd")));
  EXPECT_EQ(doc().Count(), 2);
  EXPECT_EQ(editor.FDuplicatesRemovedOnLoad, 2);
  ASSERT_TRUE(saveProject(editor));
  EXPECT_EQ(editor.FDuplicatesRemovedOnLoad, 0);
}

// ---------------------------------------------------------------------------------
// Files that are no documents

struct TBadFile {
  const char *Name;
  QByteArray Bytes;  // empty: the fixture of that name
};

class ProjectFileBadFiles : public ProjectFileTest, public ::testing::WithParamInterface<TBadFile> {};

TEST_P(ProjectFileBadFiles, OpenNothingAndLeaveTheOpenDocumentAlone) {
  const TBadFile &bad = GetParam();
  QString file = test::fixturePath(QStringLiteral("documents/") + QString::fromLatin1(bad.Name));
  if (!bad.Bytes.isEmpty()) {
    file = documentPath(QString::fromLatin1(bad.Name));
    writeBytes(file, bad.Bytes);
  }
  ASSERT_TRUE(QFile::exists(file));
  // An open, changed, titled document with a record between its lines.
  addLine({0.0f, 0.0f}, {10.0f, 10.0f});
  addLine({0.0f, 10.0f}, {10.0f, 0.0f});
  for (TQN_Path *s : doc()) editor.calcIntersectionsOfShape(s);
  takeUndoSnapshot(editor, QStringLiteral("test"));
  editor.FFilename = documentPath("keep.qnd");
  const TSnapshot before = snapshot();
  ASSERT_EQ(before.Intersections, 1);

  EXPECT_FALSE(openProject(editor, file));
  EXPECT_EQ(ui.boxKeys.last(), "NotQNDFile");
  EXPECT_EQ(ui.boxTexts.last(), "Not a Quillon file or the file is corrupted.");
  const TSnapshot after = snapshot();
  EXPECT_EQ(after.List, before.List);
  EXPECT_EQ(after.Shapes, before.Shapes);
  EXPECT_EQ(after.FileName, before.FileName);
  EXPECT_EQ(after.Changed, before.Changed);
  EXPECT_EQ(after.UndoStates, before.UndoStates);
  EXPECT_EQ(after.Intersections, before.Intersections);
}

const QByteArray kShapeStart = R"({"id":"1","type":"LINE","sp":[0,0],"ep":[1,0],"ct":[0.5,0],"w":"0","h":"0",)"
                               R"("color":"#FFFFFFFF","dash":"Solid","path":"M0,0 L1,0 ","rt":"0","st":"",)"
                               R"("inv":"0","bz1":[0,0],"bz2":[0,0],"thk":"1","la":"0","lb":"0","iv":"0","ih":"0",)"
                               R"("sta":"0","swa":"0")";

INSTANTIATE_TEST_SUITE_P(
    ProjectFileTable, ProjectFileBadFiles,
    ::testing::Values(
        TBadFile{"not_json.qnd", {}}, TBadFile{"other_kind.qnd", {}}, TBadFile{"truncated.qnd", {}},
        TBadFile{"wrong_types.qnd", {}}, TBadFile{"empty.qnd", QByteArray("\xEF\xBB\xBF")},
        TBadFile{"array_root.qnd", R"([{"shapes":[]}])"},
        TBadFile{"layer_without_name.qnd", R"({"layers":[{"id":0,"chk":"-1"}]})"},
        TBadFile{"layer_twice.qnd", R"({"layers":[{"id":1,"chk":"-1","nam":"a"},{"id":1,"chk":"0","nam":"b"}]})"},
        TBadFile{"shape_not_object.qnd", R"({"shapes":[1]})"},
        TBadFile{"bad_iron.qnd", R"({"shapes":[)" + kShapeStart + R"(,"pr":{"bt":"D","p":"wide"}}]})"},
        TBadFile{"bad_page.qnd", R"({"printareas":[{"offset":[0,0],"target":"maybe","scalepos":0}]})"},
        TBadFile{"second_shape_bad.qnd", R"({"shapes":[)" + kShapeStart + "}," + kShapeStart + R"(,"layer":"x"}]})"},
        // A value nested 100,000 deep followed by another key (it overflowed the stack).
        TBadFile{"deep_value.qnd", "{\"memo\":" + QByteArray(100000, '[') + QByteArray(100000, ']') +
                                       R"(,"shapes":[]})"}),
    [](const ::testing::TestParamInfo<TBadFile> &info) {
      std::string name = info.param.Name;
      return name.substr(0, name.find('.'));
    });

// A shape on the highest layer id names a layer the file does not list: the layer is
// made, and its default name counts one beyond the 32-bit range (that count overflowed).
TEST_F(ProjectFileTest, AShapeOnTheTopLayerIdGetsThatLayerWithItsName) {
  const QString file = documentPath("top_layer.qnd");
  writeBytes(file, R"({"shapes":[)" + kShapeStart + R"(,"layer":"2147483647"}]})");
  ASSERT_TRUE(openProject(editor, file));
  EXPECT_EQ(doc().Layers(), (std::vector<int>{0, 2147483647}));
  EXPECT_EQ(doc().GetLayerName(2147483647), "Layer 2147483648");
}

// Two long thin ellipses crossing at right angles, in a file of a few hundred bytes. Each
// opens as four curves of thousands of segments; the curves' segments used to be
// compared all with all (37 s for 15 m). At 109 m each curve would be hundreds of
// thousands of segments at the drawing step: it gets kFlattenMaxLines, so it opens,
// crosses and saves like a 3 m curve. The four crossings lie where
// x^2/25 + y^2/(h/2)^2 = 1 meets x^2/(h/2)^2 + y^2/25 = 1: x and y both within 0.01 of +-5.
TEST_F(ProjectFileTest, LongThinEllipsesOpenWithTheirFourCrossingsAndSaveAsTheyOpened) {
  // Centred on the origin, starting at the left point.
  const auto ellipse = [](int id, const std::string &w, const std::string &h, const std::string &left, int layer) {
    return "{\"id\":\"" + std::to_string(id) + R"(","type":"ELLIPSE","sp":[)" + left + R"(,0],"ep":[)" + left +
           R"(,0],"ct":[0,0],"w":")" + w + R"(","h":")" + h + R"(","color":"#FFFFFFFF","dash":"Solid",)" +
           R"("path":"","rt":"0","st":"","inv":"0","bz1":[0,0],"bz2":[0,0],"thk":"1","la":"0","lb":"0",)" +
           R"("iv":"0","ih":"0","sta":"0","swa":"0","layer":")" + std::to_string(layer) + "\"}";
  };
  struct Case {
    std::string length, halfLength;
  } cases[] = {{"15000", "7500"}, {"109005", "54502.5"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.length);
    const std::string text =
        R"({"layers":[{"id":0,"chk":"-1","nam":"a"},{"id":1,"chk":"-1","nam":"b"}],"shapes":[)" +
        ellipse(1, "10", c.length, "-5", 0) + "," + ellipse(2, c.length, "10", "-" + c.halfLength, 1) + "]}";
    ASSERT_LT(text.size(), 800u);
    const QString file = documentPath("thin_ellipses.qnd");
    writeBytes(file, QByteArray::fromStdString(text));
    ASSERT_TRUE(openProject(editor, file));
    ASSERT_EQ(doc().Count(), 8);
    for (const TQN_Path *curve : doc().Items()) {
      EXPECT_EQ(curve->FShapeType, TShapeKind::Bezier);
      EXPECT_LE(curve->Data().Count(), 1 + kFlattenMaxLines);
    }

    const auto crossingsOf = [this] {
      std::vector<TPointF> crossings;
      for (const TIntersection *r : editor.doc().FIntersections)
        if (r->FPath1->FLayerID != r->FPath2->FLayerID) crossings.push_back(r->FPoint);
      return crossings;
    };
    const std::vector<TPointF> crossings = crossingsOf();
    ASSERT_EQ(crossings.size(), 4u);
    for (const TPointF p : crossings) {
      EXPECT_NEAR(std::fabs(p.X), 5.0, 0.01) << p.X << " " << p.Y;
      EXPECT_NEAR(std::fabs(p.Y), 5.0, 0.01) << p.X << " " << p.Y;
    }
    std::set<std::pair<bool, bool>> quadrants;
    for (const TPointF p : crossings) quadrants.insert({p.X > 0.0f, p.Y > 0.0f});
    EXPECT_EQ(quadrants.size(), 4u);

    // Saved and opened again, the curves and their crossings are the ones that opened.
    std::vector<std::string> opened;
    for (const TQN_Path *curve : doc().Items()) opened.push_back(curve->toJson().dump());
    ASSERT_TRUE(saveProject(editor));
    ASSERT_TRUE(openProject(editor, file));
    std::vector<std::string> reopened;
    for (const TQN_Path *curve : doc().Items()) reopened.push_back(curve->toJson().dump());
    EXPECT_EQ(reopened, opened);
    const std::vector<TPointF> again = crossingsOf();
    ASSERT_EQ(again.size(), crossings.size());
    for (std::size_t i = 0; i < again.size(); ++i) EXPECT_TRUE(again[i].exactlyEquals(crossings[i])) << i;
  }
}

TEST_F(ProjectFileTest, AMissingFileIsReportedAsNotFound) {
  EXPECT_FALSE(openProject(editor, documentPath("nowhere.qnd")));
  EXPECT_EQ(ui.boxKeys.last(), "FileNotFound");
  EXPECT_EQ(ui.boxTexts.last(), "File not found: " + documentPath("nowhere.qnd"));
}

// A shape of a kind this version does not know is kept as it is, written back unchanged,
// and the user is told on opening how many there are and of which kinds, as for the
// duplicates the reader removes.
TEST_F(ProjectFileTest, ShapesOfUnknownKindsAreKeptAndTheUserIsTold) {
  QByteArray banana = kShapeStart;
  banana.replace(R"("id":"1","type":"LINE")", R"("id":"2","type":"BANANA")");
  QByteArray plum = kShapeStart;
  plum.replace(R"("id":"1","type":"LINE")", R"("id":"3","type":"PLUM")");
  QByteArray again = banana;
  again.replace(R"("id":"2")", R"("id":"4")");
  again.replace("[1,0]", "[2,0]");
  writeBytes(documentPath("fruit.qnd"),
             R"({"meta":{"file_type":"Quillon"},"shapes":[)" + kShapeStart + "}," + banana + "}," + plum + "}," +
                 again + "}]}");
  ASSERT_TRUE(openProject(editor, documentPath("fruit.qnd")));
  ASSERT_EQ(doc().Count(), 4);
  EXPECT_EQ(doc()[1]->kindName(), "BANANA");
  EXPECT_EQ(editor.FUnknownKindsOnLoad, (QStringList{"BANANA", "PLUM", "BANANA"}));
  bool told = false;
  for (const TBanner &b : collectBanners(editor))
    told = told || b.Text == "Shapes of a kind this version does not know, kept unchanged:3 (BANANA, PLUM)";
  EXPECT_TRUE(told);

  // Saving keeps them; the message goes with the next unchanged mark, as the duplicates'.
  ASSERT_TRUE(saveProject(editor));
  EXPECT_EQ(readBytes(documentPath("fruit.qnd")).count(R"("type":"BANANA")"), 2);
  EXPECT_TRUE(readBytes(documentPath("fruit.qnd")).contains(R"("type":"PLUM")"));
  EXPECT_TRUE(editor.FUnknownKindsOnLoad.isEmpty());
  ASSERT_TRUE(openProject(editor, documentPath("fruit.qnd")));
  EXPECT_EQ(doc().Count(), 4);
}

TEST_F(ProjectFileTest, AUtf16FileIsReadThroughItsByteOrderMark) {
  const QString text = QStringLiteral(R"({"meta":{"file_type":"Quillon","memo":"Leder ü"},"shapes":[]})");
  QByteArray bytes("\xFF\xFE", 2);
  bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
  writeBytes(documentPath("utf16.qnd"), bytes);
  ASSERT_TRUE(openProject(editor, documentPath("utf16.qnd")));
  EXPECT_EQ(doc().Memo, QStringLiteral("Leder ü"));
}

// ---------------------------------------------------------------------------------
// Unsaved changes and the commands

TEST_F(ProjectFileTest, ConfirmSaveChangesFollowsTheAnswer) {
  struct Case {
    const char *Name;
    bool Changed;
    std::optional<TModalResult> Answer;  // none: no question expected
    bool Titled;
    bool Result;
    bool Saved;
    bool AutosaveDeleted;
  };
  const Case cases[] = {
      {"unchanged", false, std::nullopt, true, true, false, false},
      {"no", true, TModalResult::No, true, true, false, true},
      {"cancel", true, TModalResult::Cancel, true, false, false, false},
      {"yes", true, TModalResult::Yes, true, true, true, true},
      {"yes, untitled, dialog cancelled", true, TModalResult::Yes, false, false, false, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.Name);
    const QString file = documentPath("confirm.qnd");
    QFile::remove(file);
    editor.FFilename = c.Titled ? file : QString();
    editor.setDocumentChanged(c.Changed);
    writeBytes(autosaveFileName(editor), "left-over");
    ui.boxKeys.clear();
    if (c.Answer) ui.yesNoCancelAnswers = {*c.Answer};

    EXPECT_EQ(confirmSaveChanges(editor), c.Result);
    EXPECT_EQ(ui.boxKeys, c.Answer ? QStringList{"SaveProject?"} : QStringList{});
    if (c.Answer) {
      EXPECT_EQ(ui.boxTexts.last(), "Do you want to save the changes to the current project?");
    }
    EXPECT_EQ(QFile::exists(file), c.Saved);
    EXPECT_EQ(QFile::exists(autosaveFileName(editor)), !c.AutosaveDeleted);
    EXPECT_EQ(doc().IsChanged, c.Changed && !c.Saved);
  }
}

TEST_F(ProjectFileTest, NewProjectStartsAnEmptyUntitledDocument) {
  buildSampleDocument();
  editor.FFilename = documentPath("old.qnd");
  editor.FActiveLayer = 3;
  editor.pen().FPalletList[5]->FIsVisible = false;

  ui.yesNoCancelAnswers = {TModalResult::Cancel};
  actNewProjectExecute(editor);
  EXPECT_EQ(doc().Count(), 6);  // Cancel keeps everything

  ui.yesNoCancelAnswers = {TModalResult::No};
  actNewProjectExecute(editor);
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(doc().Layers(), (std::vector<int>{0}));
  EXPECT_TRUE(doc().Memo.isEmpty());
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
  EXPECT_TRUE(editor.FFilename.isEmpty());
  EXPECT_EQ(ui.caption, "Quillon ver3.7.9");
  EXPECT_EQ(editor.FActiveLayer, 0);
  EXPECT_TRUE(editor.pen().FPalletList[5]->FIsVisible);
  EXPECT_EQ(undoStates(), 1u);
  EXPECT_FALSE(doc().IsChanged);
}

TEST_F(ProjectFileTest, OpenCommandAsksForAFileAfterTheQuestion) {
  addLine({0.0f, 0.0f}, {1.0f, 0.0f});
  takeUndoSnapshot(editor, QStringLiteral("test"));
  ui.yesNoCancelAnswers = {TModalResult::No};
  ui.fileAnswers = {test::fixturePath(QStringLiteral("documents/repairs.qnd"))};
  actLoadProjectExecute(editor);
  EXPECT_EQ(doc().Count(), 12);
  EXPECT_EQ(editor.FFilename, test::fixturePath(QStringLiteral("documents/repairs.qnd")));
  EXPECT_FALSE(doc().IsChanged);
}

TEST_F(ProjectFileTest, SaveCommandDeletesTheAutosaveFile) {
  addLine({0.0f, 0.0f}, {1.0f, 0.0f});
  takeUndoSnapshot(editor, QStringLiteral("test"));
  writeBytes(autosaveFileName(editor), "left-over");
  editor.FFilename = documentPath("saved.qnd");
  actSaveProjectExecute(editor);
  EXPECT_TRUE(QFile::exists(documentPath("saved.qnd")));
  EXPECT_FALSE(QFile::exists(autosaveFileName(editor)));
}

TEST_F(ProjectFileTest, OpenDemoOpensTheLanguagesDemoFileWhenItIsThere) {
  EXPECT_EQ(demoProjectFileName(editor), QDir(editor.FAppDataPath).filePath("demo/demo_2.0.8_en.qnd"));
  actOpenDemoProjectExecute(editor);
  EXPECT_EQ(ui.boxKeys.last(), kDemoNotFoundText);
  EXPECT_EQ(doc().Count(), 0);

  QDir(editor.FAppDataPath).mkpath(QStringLiteral("demo"));
  ASSERT_TRUE(QFile::copy(test::fixturePath(QStringLiteral("documents/repairs.qnd")), demoProjectFileName(editor)));
  editor.display().FShow_intersections = true;
  actOpenDemoProjectExecute(editor);
  EXPECT_EQ(doc().Count(), 12);
  EXPECT_EQ(editor.FFilename, demoProjectFileName(editor));  // saving writes into the demo
  EXPECT_FALSE(editor.display().FShow_intersections);
  EXPECT_FALSE(doc().IsChanged);
}

// ---------------------------------------------------------------------------------
// The command line

TEST(ProjectFileCommandLine, ADocumentNamedOnTheCommandLineIsOpened) {
  const QString file = test::fixturePath(QStringLiteral("documents/repairs.qnd"));
  TScriptedUi ui;
  TEditor editor(ui, {file});
  EXPECT_EQ(editor.FFilename, file);
  EXPECT_EQ(editor.doc().PathList().Count(), 12);
  EXPECT_FALSE(editor.doc().PathList().IsChanged);
  EXPECT_EQ(editor.FUndoStore.FUndoList.size(), 1u);
  EXPECT_FALSE(ui.boxKeys.contains("NotQNDFile"));
}

TEST(ProjectFileCommandLine, ABadDocumentLeavesAnEmptyUntitledOneWithItsFirstState) {
  TScriptedUi ui;
  TEditor editor(ui, {test::fixturePath(QStringLiteral("documents/not_json.qnd")), QStringLiteral("extra")});
  EXPECT_EQ(ui.boxKeys.count("NotQNDFile"), 1);  // tried once only
  EXPECT_TRUE(editor.FFilename.isEmpty());
  EXPECT_EQ(editor.doc().PathList().Count(), 0);
  EXPECT_EQ(editor.FUndoStore.FUndoList.size(), 1u);
  EXPECT_FALSE(editor.doc().PathList().IsChanged);
}

}  // namespace
}  // namespace quillon
