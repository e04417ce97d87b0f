#include "shell/clipboard.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <limits>
#include <memory>
#include <set>
#include <string>

#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/json_text.h"
#include "shell/editor.h"
#include "shell/project_file.h"
#include "shell/undo.h"
#include "stitching/iron_reference.h"
#include "stitching/pricking_iron.h"
#include "support/editor_fixture.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quillon {
namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::string kEnvelopeHead = R"({"meta":{"file_type":"Quillon_Copied_Shapes","version":"3.7.9"},"shapes":[)";

class ClipboardTest : public test::EditorTest {
 protected:
  TCopyBuffer buffer;

  void SetUp() override {
    ui.boxKeys.clear();  // start-up may have asked its own questions
    test::dropIronGroups(editor);
  }

  QString clipboardFile() const { return QDir(test::testDataDir()).filePath(QStringLiteral("copied_shapes.json")); }
  std::string fileBytes() const {
    QFile f(clipboardFile());
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
  }
  void writeFileBytes(const std::string &bytes) const {
    QFile f(clipboardFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  // The parsed "shapes" array of the clipboard file.
  TJson fileShapes() const { return parseJsonText(fileBytes()).at("shapes"); }

  // The shape object of a line that is not in any document (input for hand-made files).
  static TJson lineObject(TPointF a, TPointF b, int id) {
    TQN_Path line(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, id);
    line.drawLinePath(a, b);
    return line.toJson();
  }
  static std::string clipboardText(const TJson &shapes) {
    TJson root = TJson::object();
    root["meta"] = {{"file_type", "Quillon_Copied_Shapes"}, {"version", "3.7.9"}};
    root["shapes"] = shapes;
    return kBom + writeJsonText(root) + "\r\n";
  }

  std::vector<TQN_Path *> order() const { return editor.doc().PathList().Items(); }

  // An iron group of a window with that blade and pitch; its iron.
  static TPrickingIron *addIronGroup(TEditor &window, const char *blade, float pitch) {
    auto group = std::make_unique<TPrickingIronGroup>(false);
    group->PrickingIron->BladeType = blade;
    group->PrickingIron->Pitch = pitch;
    window.FPrickingIronGroups.push_back(std::move(group));
    return window.FPrickingIronGroups.back()->PrickingIron.get();
  }
  // The shape object of a stitching hole at the origin with the iron reference `pr`.
  static TJson holeObject(const TJson &pr) {
    TQN_Path hole(36, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 7);
    hole.drawDotPath({0, 0}, 0.5f);
    hole.FShapeType = TShapeKind::Hole;
    TJson jo = hole.toJson();
    jo["pr"] = pr;
    return jo;
  }
};

TEST_F(ClipboardTest, CopyWritesOneEscapedLineWithTheEnvelopeAndLeavesTheDocumentAlone) {
  doc().addLayer(1, QStringLiteral("Back"), true);
  TQN_Path *a = addLine({0, 0}, {10, 0}, 1);  // Copy takes the selection on every layer
  addLine({0, 5}, {10, 5});                    // not selected
  TQN_Path *b = addLine({0, 9}, {4, 9});
  b->FName = QStringLiteral("Kante \u00C5/\u65E5");
  a->SetSelected(true);
  b->SetSelected(true);
  const std::size_t states = undoStates();

  actCopyToClipboardExecute(editor, buffer);

  const std::string bytes = fileBytes();
  ASSERT_GT(bytes.size(), kBom.size() + kEnvelopeHead.size());
  EXPECT_EQ(bytes.substr(0, 3), kBom);
  EXPECT_EQ(bytes.substr(3, kEnvelopeHead.size()), kEnvelopeHead);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "]}\r\n");
  // One line: the only line break is the final CR LF; no raw byte above 127 after the
  // byte-order mark (non-ASCII text is escaped, "/" too).
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 1);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 1);
  EXPECT_TRUE(std::all_of(bytes.begin() + 3, bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 128; }));
  EXPECT_NE(bytes.find(R"("nm":"Kante \u00C5\/\u65E5")"), std::string::npos);

  // The selected shapes in document order, with their own IDs and layers.
  const TJson shapes = fileShapes();
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_EQ(shapes[0]["id"], std::to_string(a->ID()));
  EXPECT_EQ(shapes[0]["layer"], "1");
  EXPECT_EQ(shapes[0]["ep"], TJson::parse("[10.0,0.0]"));
  EXPECT_EQ(shapes[1]["id"], std::to_string(b->ID()));
  ASSERT_EQ(buffer.Shapes.size(), 2u);

  EXPECT_EQ(doc().Count(), 3);
  EXPECT_EQ(undoStates(), states);
  EXPECT_TRUE(ui.boxKeys.isEmpty());
}

TEST_F(ClipboardTest, CopyOrCutWithNothingSelectedDoesNothing) {
  addLine({0, 0}, {10, 0});
  const std::size_t states = undoStates();
  actCopyToClipboardExecute(editor, buffer);
  actCutToClipboardExecute(editor, buffer);
  EXPECT_FALSE(QFile::exists(clipboardFile()));
  EXPECT_EQ(doc().Count(), 1);
  EXPECT_EQ(undoStates(), states);
}

TEST_F(ClipboardTest, EachPasteGivesFreshIdsAndFreshGroupsCentredOnThePointer) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({0, 0}, {0, 10});
  TQN_Path *c = addLine({20, 20}, {30, 20});
  a->FGroupID = b->FGroupID = 50;
  doc().LastID = 60;
  for (TQN_Path *s : {a, b, c}) s->SetSelected(true);
  actCopyToClipboardExecute(editor, buffer);
  const std::size_t states = undoStates();

  // The buffer spans (0,0)-(30,20), centre (15,10): the pointer at (100,50) moves every
  // shape by (85,40).
  ASSERT_TRUE(actPasteFromClipboardExecute(editor, buffer, {100, 50}));
  EXPECT_EQ(undoStates(), states + 1);
  ASSERT_EQ(doc().Count(), 6);
  const std::vector<TQN_Path *> afterFirst = order();
  const std::vector<TQN_Path *> first(afterFirst.begin() + 3, afterFirst.end());
  EXPECT_FALSE(a->FSelected);  // the earlier selection was cleared
  for (TQN_Path *p : first) EXPECT_TRUE(p->FSelected);
  EXPECT_EQ(first[0]->FStartPt, TPointF(85, 40));
  EXPECT_EQ(first[0]->FEndPt, TPointF(95, 40));
  EXPECT_EQ(first[0]->Data().LastPoint(), TPointF(95, 40));
  EXPECT_TRUE(first[0]->IsHorizontalLine());
  EXPECT_FLOAT_EQ(first[0]->Line_param_b(), 40.0f);
  EXPECT_EQ(first[2]->FStartPt, TPointF(105, 60));
  // The pasted shapes are handed to the drag code, whose drop records intersections.
  EXPECT_TRUE(editor.pointer().FIsShapeDragging);
  EXPECT_TRUE(editor.display().FShow_intersections);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
  editor.pointer().FIsShapeDragging = false;  // the drop

  ASSERT_TRUE(actPasteFromClipboardExecute(editor, buffer, {100, 50}));
  ASSERT_EQ(doc().Count(), 9);
  const std::vector<TQN_Path *> afterSecond = order();
  const std::vector<TQN_Path *> second(afterSecond.begin() + 6, afterSecond.end());
  for (TQN_Path *p : first) EXPECT_FALSE(p->FSelected);

  std::set<int> ids;
  for (const TQN_Path *s : doc()) ids.insert(s->ID());
  EXPECT_EQ(ids.size(), 9u);
  for (const auto *paste : {&first, &second}) {
    for (const TQN_Path *p : *paste) EXPECT_GT(p->ID(), 60);  // from the document counter
    EXPECT_EQ((*paste)[0]->FGroupID, (*paste)[1]->FGroupID);  // the group stays a group ...
    EXPECT_GT((*paste)[0]->FGroupID, 60);                      // ... under a new ID
    EXPECT_FALSE(ids.count((*paste)[0]->FGroupID));            // not any shape's ID either
    EXPECT_EQ((*paste)[2]->FGroupID, 0);                       // ungrouped stays ungrouped
  }
  EXPECT_NE(first[0]->FGroupID, second[0]->FGroupID);
  EXPECT_EQ(a->FGroupID, 50);

  undo(editor);  // each paste is one step
  EXPECT_EQ(doc().Count(), 6);
}

TEST_F(ClipboardTest, PasteRemapsSewingLinksAmongThePastedHoles) {
  TQN_Path *h1 = addHole({0, 0});
  TQN_Path *h2 = addHole({4, 0});
  TQN_Path *h3 = addHole({8, 0});
  TQN_Path *h4 = addHole({12, 0});  // stays unselected
  h1->FNextStitchID = h2->ID();
  h2->FPrevStitchID = h1->ID();
  h3->FNextStitchID = h4->ID();
  h4->FPrevStitchID = h3->ID();
  h3->FPrevStitchID = 999;  // a link to no hole at all
  h1->FStitchIn = {-0.5f, 0};
  for (TQN_Path *h : {h1, h2, h3}) h->SetSelected(true);
  actCopyToClipboardExecute(editor, buffer);

  editor.display().FUseMousePasteMode = false;
  const TPasteResult r = pasteShapes(editor, buffer, {0, 10}, false, {});
  editor.display().FUseMousePasteMode = true;
  ASSERT_EQ(r.Pasted.size(), 3u);
  TQN_Path *p1 = r.Pasted[0], *p2 = r.Pasted[1], *p3 = r.Pasted[2];
  EXPECT_EQ(p1->FNextStitchID, p2->ID());
  EXPECT_EQ(p2->FPrevStitchID, p1->ID());
  EXPECT_EQ(p1->FPrevStitchID, -1);
  EXPECT_EQ(p3->FNextStitchID, -1);  // h4 was not pasted
  EXPECT_EQ(p3->FPrevStitchID, -1);
  EXPECT_EQ(p1->FCenter, TPointF(0, 10));
  EXPECT_EQ(p1->FStitchIn, TPointF(-0.5f, 10));
  // The originals keep their links.
  EXPECT_EQ(h3->FNextStitchID, h4->ID());
  EXPECT_EQ(h1->FNextStitchID, h2->ID());
}

TEST_F(ClipboardTest, PasteWithIntersectionsRecordsThemAndLandsOnTheActiveLayer) {
  doc().addLayer(3, QStringLiteral("Three"), true);
  TQN_Path *across = addLine({0, 5}, {20, 5});
  TQN_Path *source = addLine({5, -10}, {5, -2}, 3);
  source->SetSelected(true);
  actCopyToClipboardExecute(editor, buffer);
  readShapeClipboard(editor, buffer);

  editor.display().FUseMousePasteMode = false;
  const std::size_t states = undoStates();
  const TPasteResult r = pasteShapes(editor, buffer, {0, 10}, true, {999, 999});
  ASSERT_EQ(r.Pasted.size(), 1u);
  TQN_Path *pasted = r.Pasted[0];
  EXPECT_EQ(pasted->FLayerID, 0);  // copied from layer 3, pasted onto the active layer
  EXPECT_EQ(pasted->FStartPt, TPointF(5, 0));
  EXPECT_EQ(pasted->FEndPt, TPointF(5, 8));
  ASSERT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_EQ(editor.doc().FIntersections[0]->FPoint, TPointF(5, 5));
  EXPECT_TRUE(editor.doc().FIntersections[0]->FPath1 == pasted || editor.doc().FIntersections[0]->FPath2 == pasted);
  EXPECT_TRUE(editor.doc().FIntersections[0]->FPath1 == across || editor.doc().FIntersections[0]->FPath2 == across);
  EXPECT_EQ(undoStates(), states + 1);
  // The buffer keeps its shapes for the next paste.
  ASSERT_EQ(buffer.Shapes.size(), 1u);
  EXPECT_EQ(buffer.Shapes[0]->FStartPt, TPointF(5, -10));
}

TEST_F(ClipboardTest, CutRemovesTheSelectionWithItsRecordsOnEveryLayerInOneStep) {
  doc().addLayer(1, QStringLiteral("Back"), true);
  TQN_Path *a = addLine({0, 0}, {10, 0}, 1);
  TQN_Path *b = addLine({5, -5}, {5, 5});
  TQN_Path *c = addLine({0, 3}, {10, 3});
  TQN_Path *h1 = addHole({20, 0});
  TQN_Path *h2 = addHole({24, 0});
  h1->FNextStitchID = h2->ID();
  h2->FPrevStitchID = h1->ID();
  ASSERT_GE(editor.doc().FIntersections.Add(new TIntersection({5, 0}, a, b)), 0);
  ASSERT_GE(editor.doc().FIntersections.Add(new TIntersection({5, 3}, b, c)), 0);
  ASSERT_GE(editor.doc().FIntersections.Add(new TIntersection({0, 0}, a, c)), 0);
  a->SetSelected(true);
  h2->SetSelected(true);
  editor.pointer().FFirstSelection = a;
  const int h2Id = h2->ID();
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  const std::size_t states = undoStates();

  actCutToClipboardExecute(editor, buffer);
  EXPECT_EQ(order(), (std::vector<TQN_Path *>{b, c, h1}));
  ASSERT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_EQ(editor.doc().FIntersections[0]->FPath1, b);
  EXPECT_EQ(editor.doc().FIntersections[0]->FPath2, c);
  EXPECT_EQ(editor.pointer().FFirstSelection, nullptr);
  EXPECT_EQ(h1->FNextStitchID, h2Id);  // Cut does not repair the links of the holes left
  EXPECT_EQ(undoStates(), states + 1);
  const TJson shapes = fileShapes();
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_EQ(shapes[0]["type"], "LINE");
  EXPECT_EQ(shapes[1]["type"], "S_HOLE");

  undo(editor);
  EXPECT_EQ(doc().Count(), 5);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 3);
}

TEST_F(ClipboardTest, CuttingARepeatMemberTakesTheWholeRepeatAndPastesOnePlainShape) {
  TQN_Path *keep = addLine({0, 0}, {1, 0});
  std::vector<TQN_Path *> members;
  for (int i = 0; i < 4; ++i) {
    members.push_back(addLine({2, float(i)}, {3, float(i)}));
    members.back()->FMandalaID = 12;
    members.back()->FMandalaSectionID = i;
    members.back()->FMandalaCenter = {50, 50};
    members.back()->FNumMandalaSections = 4;
  }
  members[2]->SetSelected(true);
  const std::size_t states = undoStates();

  actCutToClipboardExecute(editor, buffer);
  EXPECT_EQ(order(), std::vector<TQN_Path *>{keep});
  EXPECT_EQ(undoStates(), states + 1);
  const TJson shapes = fileShapes();
  ASSERT_EQ(shapes.size(), 1u);  // the first member in document order stands for the repeat
  EXPECT_EQ(shapes[0]["sp"], TJson::parse("[2.0,0.0]"));
  EXPECT_EQ(shapes[0]["manid"], "12");

  editor.display().FUseMousePasteMode = false;
  readShapeClipboard(editor, buffer);
  const TPasteResult r = pasteShapes(editor, buffer, {10, 0}, false, {});
  ASSERT_EQ(r.Pasted.size(), 1u);
  EXPECT_EQ(r.Pasted[0]->FMandalaID, 0);
  EXPECT_EQ(r.Pasted[0]->FStartPt, TPointF(12, 0));
  ASSERT_TRUE(r.LastMandalaCenter.has_value());
  EXPECT_EQ(*r.LastMandalaCenter, TPointF(60, 50));  // the repeat centre moved with it
}

TEST_F(ClipboardTest, ASecondWindowOnTheSameDataFolderPastesWhatTheFirstCopiedLast) {
  test::TScriptedUi ui2;
  TEditor second{ui2, {QStringLiteral("--instance-id"), QStringLiteral("2")}};
  installCommandHooks(second);
  TCopyBuffer buffer2;
  ASSERT_EQ(shapeClipboardPath(second), shapeClipboardPath(editor));
  second.doc().PathList().LastID = 500;

  TQN_Path *a = addLine({0, 0}, {10, 0});
  a->FGroupID = 3;
  a->SetSelected(true);
  actCopyToClipboardExecute(editor, buffer);
  ASSERT_TRUE(actPasteFromClipboardExecute(second, buffer2, {0, 0}));
  ASSERT_EQ(second.doc().PathList().Count(), 1);
  TQN_Path *got = (second.doc().PathList())[0];
  EXPECT_EQ(got->ID(), 502);       // group 3 took 501, then the shape
  EXPECT_EQ(got->FGroupID, 501);
  EXPECT_EQ(got->FStartPt, TPointF(-5, 0));
  EXPECT_EQ(got->FEndPt, TPointF(5, 0));
  EXPECT_EQ(doc().Count(), 1);     // the first window is unchanged

  // The file is read again on every paste: a later copy in the first window wins.
  a->SetSelected(false);
  addLine({0, 0}, {0, 4})->SetSelected(true);
  actCopyToClipboardExecute(editor, buffer);
  second.pointer().FIsShapeDragging = false;
  ASSERT_TRUE(actPasteFromClipboardExecute(second, buffer2, {0, 0}));
  ASSERT_EQ(second.doc().PathList().Count(), 2);
  EXPECT_EQ((second.doc().PathList())[1]->FStartPt, TPointF(0, -2));
  EXPECT_TRUE(ui2.boxKeys.isEmpty() || ui2.boxKeys == QStringList{QStringLiteral("askAutoDownload")});
}

TEST_F(ClipboardTest, IronReferencesFindTheWindowsGroupsOrGetAnIronOfTheirOwn) {
  TPrickingIron *d4 = addIronGroup(editor, "D", 4.0f);
  TPrickingIron *d3 = addIronGroup(editor, "D", 3.0f);
  addIronGroup(editor, "F", 3.85f);

  struct Case {
    const char *blade;
    TJson pitch;
    TPrickingIron *expected;  // none: an iron of its own
  };
  const Case cases[] = {
      {"D", "3.0", d3},      // exact pitch beats the first group of that blade
      {"D", 3.0, d3},        // a JSON number is read as well
      {"D", "5.0", d4},      // no exact pitch: the first group of that blade
      {"R", "3.85", nullptr},
  };
  TJson shapes = TJson::array();
  for (const Case &c : cases) shapes.push_back(holeObject({{"bt", c.blade}, {"p", c.pitch}}));
  writeFileBytes(clipboardText(shapes));

  readShapeClipboard(editor, buffer);
  ASSERT_EQ(buffer.Shapes.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    TPrickingIron *iron = buffer.Shapes[i]->PrickingIron();
    ASSERT_NE(iron, nullptr);
    if (cases[i].expected) {
      EXPECT_EQ(iron, cases[i].expected);
    }
  }
  TPrickingIron *own = buffer.Shapes[3]->PrickingIron();
  EXPECT_EQ(own->BladeType, "R");
  EXPECT_EQ(own->Pitch, 3.85f);
  EXPECT_EQ(own->Name, "Unknown 3.85mm");
  EXPECT_EQ(editor.FPrickingIronGroups.size(), 3u);  // not added to the window's groups

  // A pasted hole keeps its own iron after the buffer that read it is gone, and reading
  // the reference again gives that same iron.
  editor.display().FUseMousePasteMode = false;
  TQN_Path *pasted = pasteShapes(editor, buffer, {}, false, {}).Pasted[3];
  buffer = TCopyBuffer();
  readShapeClipboard(editor, buffer);
  EXPECT_EQ(pasted->PrickingIron(), own);
  EXPECT_EQ(own->Name, "Unknown 3.85mm");
  EXPECT_EQ(buffer.Shapes[3]->PrickingIron(), own);
}

// A document and the clipboard file that hold the same iron references end with the same
// irons: a group's, or the one unknown iron of that blade and pitch.
TEST_F(ClipboardTest, ADocumentAndTheClipboardGiveAReferenceTheSameIron) {
  TPrickingIron *d4 = addIronGroup(editor, "D", 4.0f);
  TPrickingIron *d3 = addIronGroup(editor, "D", 3.0f);
  struct Case {
    TJson pr;
    TPrickingIron *group;  // none: an unknown iron of that name
    const char *name;
  };
  const Case cases[] = {
      {{{"bt", "D"}, {"p", "3.0"}}, d3, nullptr},
      {{{"bt", "D"}, {"p", "5.0"}}, d4, nullptr},
      {{{"bt", "R"}, {"p", "3.84999990463257"}}, nullptr, "Unknown 3.85mm"},
      {{{"bt", "L"}, {"p", 4}}, nullptr, "Unknown 4mm"},
      {{{"bt", "L"}, {"p", "4.0"}}, nullptr, "Unknown 4mm"},
  };
  TJson shapes = TJson::array();
  for (const Case &c : cases) shapes.push_back(holeObject(c.pr));
  writeFileBytes(clipboardText(shapes));
  readShapeClipboard(editor, buffer);
  TJson document = TJson::object();
  document["shapes"] = shapes;
  const std::unique_ptr<TProjectContent> content = readProjectContent(editor, writeJsonText(document));
  const std::vector<TQN_Path *> fromDocument = content->Document->PathList().Items();

  ASSERT_EQ(buffer.Shapes.size(), std::size(cases));
  ASSERT_EQ(fromDocument.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].pr.dump());
    TPrickingIron *iron = fromDocument[i]->PrickingIron();
    ASSERT_NE(iron, nullptr);
    EXPECT_EQ(buffer.Shapes[i]->PrickingIron(), iron);
    if (cases[i].group) {
      EXPECT_EQ(iron, cases[i].group);
    } else {
      EXPECT_EQ(buffer.Shapes[i]->PrickingIron()->Name, cases[i].name);
      EXPECT_EQ(iron->Name, cases[i].name);
    }
  }
  EXPECT_EQ(editor.FPrickingIronGroups.size(), 2u);
}

// What the program writes reads back to the same shape objects through a document and
// through the clipboard file, holes keeping their irons.
TEST_F(ClipboardTest, ShapesReadBackEqualThroughTheDocumentAndTheClipboard) {
  constexpr float kMax = std::numeric_limits<float>::max();
  TPrickingIron *d385 = addIronGroup(editor, "D", 3.85f);
  TPrickingIron *unknown = ironOfReference(editor.FPrickingIronGroups, {{"bt", "R"}, {"p", "2.7"}});
  TQN_Path *line = addLine({0, 0}, {12.5f, -3.25f}, 0, 2);
  line->FCenter = {6.25f, -1.625f};  // where the document reader puts a line's centre
  line->FIsFreeAngle = true;
  // The largest float is written with 15 digits, which is a little above it.
  line->FBezierCp1 = {kMax, -kMax};
  TQN_Path *h1 = addHole({5, 5});
  TQN_Path *h2 = addHole({9, 5});
  h1->setPrickingIron(d385);
  h1->FStitchInversed = true;
  h2->setPrickingIron(unknown);
  h1->FNextStitchID = h2->ID();
  h2->FPrevStitchID = h1->ID();
  std::vector<std::string> written;
  for (const TQN_Path *s : doc()) written.push_back(writeJsonText(s->toJson()));
  const auto expectWritten = [&](const std::vector<TQN_Path *> &shapes) {
    ASSERT_EQ(shapes.size(), written.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) EXPECT_EQ(writeJsonText(shapes[i]->toJson()), written[i]) << i;
  };

  // A document opened in a second window with the same groups.
  editor.FFilename = QDir(test::testDocumentsDir()).filePath(QStringLiteral("round_trip.qnd"));
  ASSERT_TRUE(saveProject(editor));
  test::TScriptedUi ui2;
  TEditor second{ui2, {QStringLiteral("--instance-id"), QStringLiteral("2")}};
  test::dropIronGroups(second);
  TPrickingIron *secondD385 = addIronGroup(second, "D", 3.85f);
  ASSERT_TRUE(openProject(second, editor.FFilename));
  const std::vector<TQN_Path *> opened = second.doc().PathList().Items();
  expectWritten(opened);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[1]->PrickingIron(), secondD385);
  EXPECT_EQ(opened[2]->PrickingIron(), unknown);
  EXPECT_EQ(opened[1]->FBezierCp1.X, 0.0f);  // a hole's own value, not the line's
  EXPECT_EQ(opened[0]->FBezierCp1.X, kMax);

  // The clipboard file, read back into another buffer.
  for (TQN_Path *s : doc()) s->SetSelected(true);
  actCopyToClipboardExecute(editor, buffer);
  TCopyBuffer pasted;
  readShapeClipboard(editor, pasted);
  expectWritten(pasted.items());
  EXPECT_EQ(pasted.Shapes[1]->PrickingIron(), d385);
  EXPECT_EQ(pasted.Shapes[2]->PrickingIron(), unknown);
}

// Files a paste may find. Pasting must never crash, and when nothing can be pasted the
// document, its undo history and the paste buffer's old content are all gone or kept as
// the row says.
TEST_F(ClipboardTest, BadClipboardFiles) {
  const std::string good = writeJsonText(lineObject({0, 0}, {10, 0}, 1));
  const std::string meta = R"("meta":{"file_type":"Quillon_Copied_Shapes","version":"3.7.9"})";
  TJson noIron = lineObject({0, 0}, {10, 0}, 1);
  noIron["pr"] = {{"bt", "D"}};
  TJson badPitch = lineObject({0, 0}, {10, 0}, 1);
  badPitch["pr"] = {{"bt", "D"}, {"p", "abc"}};
  TJson hugePitch = lineObject({0, 0}, {10, 0}, 1);
  hugePitch["pr"] = {{"bt", "D"}, {"p", "1e300"}};
  const std::string whole = clipboardText(TJson::array({lineObject({0, 0}, {10, 0}, 1)}));

  struct Case {
    const char *name;
    std::optional<std::string> bytes;  // none: no file; "<dir>": a folder in its place
    int pasted;
    bool errorBox;
  };
  const Case cases[] = {
      {"missing file", std::nullopt, 0, true},
      {"folder in place of the file", std::string("<dir>"), 0, true},
      {"empty file", std::string(""), 0, false},
      {"byte-order mark only", kBom, 0, false},
      {"not JSON", std::string("copied shapes"), 0, false},
      {"truncated", whole.substr(0, whole.size() / 2), 0, false},
      {"root is an array", kBom + "[" + good + "]", 0, false},
      {"no shapes", kBom + "{" + meta + "}", 0, false},
      {"shapes not an array", kBom + "{" + meta + ",\"shapes\":{\"0\":" + good + "}}", 0, false},
      {"no shapes in the array", kBom + "{" + meta + ",\"shapes\":[]}", 0, false},
      {"element not an object", kBom + "{\"shapes\":[" + good + ",5]}", 0, true},
      {"shape without required keys", kBom + R"({"shapes":[{"id":"1","type":"LINE"}]})", 0, true},
      {"iron without pitch", clipboardText(TJson::array({noIron})), 0, true},
      {"iron pitch not a number", clipboardText(TJson::array({badPitch})), 0, true},
      {"iron pitch beyond single precision", clipboardText(TJson::array({hugePitch})), 0, true},
      // The reader needs only a root object with a "shapes" array.
      {"meta missing", kBom + "{\"shapes\":[" + good + "]}", 1, false},
      {"another file type", kBom + R"({"meta":{"file_type":"Quillon_Project"},"shapes":[)" + good + "]}", 1, false},
      {"no byte-order mark", "{\"shapes\":[" + good + "," + good + "]}\r\n", 2, false},
  };

  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(clipboardFile());
    QDir(test::testDataDir()).rmdir(QStringLiteral("copied_shapes.json"));
    if (c.bytes && *c.bytes == "<dir>") {
      ASSERT_TRUE(QDir(test::testDataDir()).mkdir(QStringLiteral("copied_shapes.json")));
    } else if (c.bytes) {
      writeFileBytes(*c.bytes);
    }
    // The buffer holds an earlier copy; every read replaces it.
    buffer.clear();
    buffer.Shapes.emplace_back(new TQN_Path(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 1));
    ui.boxKeys.clear();
    editor.pointer().FIsShapeDragging = false;
    const int before = doc().Count();
    const std::size_t states = undoStates();

    const bool handed = actPasteFromClipboardExecute(editor, buffer, {0, 0});
    EXPECT_EQ(doc().Count() - before, c.pasted);
    EXPECT_EQ(static_cast<int>(buffer.Shapes.size()), c.pasted);
    EXPECT_EQ(handed, c.pasted > 0);
    EXPECT_EQ(undoStates(), states + (c.pasted > 0 ? 1 : 0));
    EXPECT_EQ(ui.boxKeys.size(), c.errorBox ? 1 : 0);
  }
  QDir(test::testDataDir()).rmdir(QStringLiteral("copied_shapes.json"));
}

TEST_F(ClipboardTest, AFileThatCannotBeWrittenIsReportedAndCutStillTakesItsStep) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  addLine({0, 5}, {10, 5});
  a->SetSelected(true);
  editor.FAppDataPath = QDir(test::testDataDir()).filePath(QStringLiteral("no/such/folder"));
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  const std::size_t states = undoStates();

  actCopyToClipboardExecute(editor, buffer);
  EXPECT_EQ(ui.boxKeys.size(), 1);
  EXPECT_EQ(buffer.Shapes.size(), 1u);  // the buffer holds the copy all the same
  EXPECT_EQ(undoStates(), states);

  actCutToClipboardExecute(editor, buffer);
  EXPECT_EQ(ui.boxKeys.size(), 2);
  EXPECT_EQ(doc().Count(), 1);
  EXPECT_EQ(undoStates(), states + 1);
  undo(editor);
  EXPECT_EQ(doc().Count(), 2);
}

}  // namespace
}  // namespace quillon
