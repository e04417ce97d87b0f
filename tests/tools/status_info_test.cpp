// The status line, the information lines and the command enabling that follow the
// selection.
#include <QFile>
#include <gtest/gtest.h>

#include <map>

#include "i18n/multi_lang.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/clipboard.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "tools/status_info.h"
#include "shell/undo.h"
#include "support/built_shapes.h"
#include "support/recording_ui.h"
#include "tools/tool_change.h"

namespace quillon {
namespace {

class StatusInfoTest : public ::testing::Test {
 protected:
  test::TRecordingUi ui;
  TEditor editor{ui, {QStringLiteral("--instance-id"), QStringLiteral("1")}};

  void SetUp() override {
    // The English phrases of the shape lines, for a dictionary that lacks them.
    const std::pair<const char *, const char *> phrases[] = {{"rounddist", "Circumference="},
                                                             {"diameter", "Diameter="}};
    for (const auto &[key, text] : phrases)
      if (editor.tr(QString::fromLatin1(key)).isEmpty())
        editor.FMultiLang->addTranslation(QStringLiteral("en"), QString::fromLatin1(key), QString::fromLatin1(text));
  }

  TQN_Path *add(TQN_Path *s, bool selected = true) {
    s->SetSelected(selected);
    return built.addTo(editor.doc(), s, 0);
  }
  // A shape outside the document until add hands it over.
  TQN_Path *newShape(int pallet = 0, TAlphaColor color = 0xFFFFFFFF) {
    return built.keep(
        std::make_unique<TQN_Path>(pallet, color, 1.0f, TStrokeDash::Solid, editor.doc().PathList().getNextID()));
  }
  test::TBuiltShapes built;
  TQN_Path *line(TPointF a, TPointF b, bool selected = true) {
    TQN_Path *s = newShape();
    s->drawLinePath(a, b);
    return add(s, selected);
  }
  TQN_Path *ellipse(TPointF c, float w, float h) {
    TQN_Path *s = newShape(1, 0xFF00FF00);
    s->drawEllipsePath(c, w, h);
    return add(s);
  }
  TLengthFormatSettings &format() { return editor.FOptions->LengthFormatSettings; }
  std::map<QString, bool> enabling() {
    updateSelectionInfo(editor);
    std::map<QString, bool> m;
    ui.actions->forEach([&](const QString &name, bool on) { m[name] = on; });
    return m;
  }
};

// ---------------------------------------------------------------------------------
// Status line

TEST_F(StatusInfoTest, StatusLineShowsTheTruncatedScaleAndThePointerInTheUnit) {
  struct TCase {
    float Scale;
    const char *Text;
  };
  // The scale is cut, not rounded, to two decimals and written without trailing zeros.
  const TCase cases[] = {{12.345f, "Scale 12.34, "}, {10.0f, "Scale 10, "}, {0.299f, "Scale 0.29, "},
                         {199.999f, "Scale 199.99, "}, {7.5f, "Scale 7.5, "}};
  for (const TCase &c : cases) {
    editor.view().FScale = c.Scale;
    EXPECT_TRUE(statusBarText(editor, 0.0f, 0.0f).startsWith(QString::fromLatin1(c.Text)))
        << statusBarText(editor, 0.0f, 0.0f).toStdString();
  }

  // Pixel (123, 45) at scale 10 and offset (20, -5) is (10.3, 5.0) mm.
  editor.view().FScale = 10.0f;
  editor.view().FOffset = {20.0f, -5.0f};
  EXPECT_EQ(statusBarText(editor, 123.0f, 45.0f), QStringLiteral("Scale 10, Pos: (10.30 mm, 5.00 mm)"));

  // Inches: the hybrid display is cut short to its fraction.
  editor.FOptions->SetUnitMode(umIN);
  format().InchDisplayMode = idmHybrid;
  editor.view().FOffset = {0.0f, 0.0f};
  EXPECT_EQ(statusBarText(editor, 254.0f, 127.0f), QStringLiteral("Scale 10, Pos: (1 in, 1/2 in)"));

  updateStatusBar(editor, 254.0f, 127.0f);
  ASSERT_FALSE(ui.statusTexts.isEmpty());
  EXPECT_EQ(ui.statusTexts.last(), QStringLiteral("Scale 10, Pos: (1 in, 1/2 in)"));
}

TEST_F(StatusInfoTest, StatusLineTakesTheStickyPointAndShowsWaitingChanges) {
  editor.snap().FStickyExists = true;
  editor.snap().FStickyPoint = {1.5f, -2.0f};
  EXPECT_EQ(statusBarText(editor, 500.0f, 500.0f), QStringLiteral("Scale 10, Pos: (1.50 mm, -2.00 mm)<Sticky>"));

  editor.FUndoStore.FRequireSnapshotRotate = 3;
  EXPECT_TRUE(statusBarText(editor, 0.0f, 0.0f).endsWith(QStringLiteral("<Sticky>;  Rotate: 3")));
  editor.snap().FStickyExists = false;
  EXPECT_EQ(statusBarText(editor, 0.0f, 0.0f), QStringLiteral("Scale 10, Pos: (0.00 mm, 0.00 mm);  Rotate: 3"));
}

// ---------------------------------------------------------------------------------
// Shape lines

TEST_F(StatusInfoTest, ShapeInfoOfALineGivesIdRangeLengthPaletteAndColour) {
  TQN_Path *s = line({0.0f, 0.0f}, {30.0f, 40.0f});
  showShapeInfo(editor, *s);
  const QString id = QString::number(s->ID());
  EXPECT_EQ(editor.FIDText, QStringLiteral("ID=") + id + QStringLiteral("; "));
  EXPECT_EQ(editor.FRangeText, QStringLiteral("Range=(0.00, 0.00)-(30.00, 40.00);  Palette=1; Color=FFFFFFFF; "));
  EXPECT_EQ(editor.FLengthText, QStringLiteral("Length=50.00 mm; "));
  ASSERT_FALSE(ui.infos.empty());
  EXPECT_EQ(ui.infos.back().Range, editor.FRangeText);

  // The count is that of the selected shapes, this one among them: a lone selected line
  // has none, whatever an earlier count said (a press on it counts it already).
  editor.FSelectionCount = 1;
  showShapeInfo(editor, *s);
  EXPECT_EQ(editor.FIDText, QStringLiteral("ID=") + id + QStringLiteral("; "));
  // With others selected besides it, the count comes first.
  line({0.0f, 5.0f}, {10.0f, 5.0f});
  line({0.0f, 9.0f}, {10.0f, 9.0f});
  showShapeInfo(editor, *s);
  EXPECT_EQ(editor.FIDText, QStringLiteral("(Sel=3) ID=") + id + QStringLiteral("; "));
}

// The lines describe the selection as it is after each command, not as it was when a
// shape was last clicked.
TEST_F(StatusInfoTest, ShapeLinesFollowTheSelectionAfterEveryChange) {
  TQN_Path *a = line({0.0f, 0.0f}, {10.0f, 0.0f});
  TQN_Path *other = line({0.0f, 20.0f}, {5.0f, 20.0f});
  showShapeInfo(editor, *a);

  // Moved (as a drag moves it): the range is the new one.
  a->drawLinePath({5.0f, 5.0f}, {15.0f, 5.0f});
  updateSelectionInfo(editor);
  EXPECT_TRUE(editor.FRangeText.startsWith(QStringLiteral("Range=(5.00, 5.00)-(15.00, 5.00); ")))
      << editor.FRangeText.toStdString();
  EXPECT_EQ(ui.infos.back().Range, editor.FRangeText);

  // Another line type: the palette and colour are the new ones.
  a->FPalletIndex = 3;
  a->FColor = 0xFFFF0000;
  updateSelectionInfo(editor);
  EXPECT_TRUE(editor.FRangeText.endsWith(QStringLiteral("Palette=4; Color=FFFF0000; ")))
      << editor.FRangeText.toStdString();

  // The shape shown leaves the selection (a paste selects the copies instead): the lines
  // describe a shape still selected.
  a->SetSelected(false);
  updateSelectionInfo(editor);
  EXPECT_EQ(editor.FIDText, QStringLiteral("ID=") + QString::number(other->ID()) + QStringLiteral("; "));
  EXPECT_EQ(editor.FLengthText, QStringLiteral("Length=5.00 mm; "));
}

TEST_F(StatusInfoTest, ShapeInfoOfArcsCirclesAndEllipses) {
  TQN_Path *arc = newShape(2, 0xFFFF0000);
  arc->drawArcPath({0.0f, 0.0f}, {10.0f, 10.0f}, {10.0f, 0.0f}, {0.0f, -10.0f}, -90.0f);
  add(arc);
  showShapeInfo(editor, *arc);
  EXPECT_TRUE(editor.FLengthText.startsWith(QStringLiteral("R=10.00 mm, 90.0deg, Circumference=15.")))
      << editor.FLengthText.toStdString();
  EXPECT_TRUE(editor.FRangeText.endsWith(QStringLiteral(";  Palette=3; Color=FFFF0000; ")));

  TQN_Path *circle = ellipse({0.0f, 0.0f}, 20.0f, 20.005f);  // within 0.01 mm: a circle
  showShapeInfo(editor, *circle);
  EXPECT_TRUE(editor.FLengthText.startsWith(QStringLiteral("Diameter=20.00 mm; Circumference=62.")))
      << editor.FLengthText.toStdString();
  EXPECT_EQ(editor.FRangeText, QStringLiteral(" Palette=2; Color=FF00FF00; "));

  TQN_Path *oval = ellipse({0.0f, 0.0f}, 30.0f, 20.0f);
  showShapeInfo(editor, *oval);
  EXPECT_TRUE(editor.FLengthText.startsWith(QStringLiteral("Diameter=dx=30.00 mm;dy=20.00 mm; ")))
      << editor.FLengthText.toStdString();
}

TEST_F(StatusInfoTest, RangeIsInDecimalInchesWhateverTheInchDisplay) {
  editor.FOptions->SetUnitMode(umIN);
  format().InchDisplayMode = idmFraction;
  format().InchDecimalDigits = 3;
  TQN_Path *s = line({0.0f, 0.0f}, {25.4f, 12.7f});
  showShapeInfo(editor, *s);
  EXPECT_TRUE(editor.FRangeText.startsWith(QStringLiteral("Range=(0.000, 0.000)-(1.000, 0.500); ")))
      << editor.FRangeText.toStdString();
  // The length keeps the chosen display, with its unit.
  EXPECT_TRUE(editor.FLengthText.startsWith(QStringLiteral("Length=1 1/8 in")))
      << editor.FLengthText.toStdString();
}

TEST_F(StatusInfoTest, LineAngleIsPutInFrontOfTheIdForEveryJointOfTwoSelectedLines) {
  // Joined at their starts, 60 degrees apart.
  line({0.0f, 0.0f}, {10.0f, 0.0f});
  TQN_Path *b = line({0.0f, 0.0f}, {5.0f, 8.660254f});
  editor.calcIntersectionsOfShape(b);
  ASSERT_GT(editor.doc().FIntersections.Count(), 0);
  editor.FIDText = QStringLiteral("ID=2; ");
  showLineAngleInfo(editor);
  EXPECT_EQ(editor.FIDText, QStringLiteral("Angle=60.00 degree, ID=2; "));

  // Joined where a ends and b starts: a points back from its end.
  TQN_Path *c = line({10.0f, 0.0f}, {10.0f, 10.0f});
  editor.calcIntersectionsOfShape(c);
  b->SetSelected(false);
  editor.FIDText = QStringLiteral("ID=1; ");
  showLineAngleInfo(editor);
  EXPECT_EQ(editor.FIDText, QStringLiteral("Angle=90.00 degree, ID=1; "));

  // A line and an arc: no angle.
  c->SetSelected(false);
  TQN_Path *arc = newShape();
  arc->drawArcPath({0.0f, 10.0f}, {10.0f, 10.0f}, {0.0f, 0.0f}, {10.0f, 10.0f}, 90.0f);
  add(arc);
  editor.calcIntersectionsOfShape(arc);
  editor.FIDText = QStringLiteral("ID=1; ");
  showLineAngleInfo(editor);
  EXPECT_EQ(editor.FIDText, QStringLiteral("ID=1; "));
}

// ---------------------------------------------------------------------------------
// Selection info

// Copy, Cut and Delete need a selection; Paste needs something copied (the clipboard file,
// which any window may write).
TEST_F(StatusInfoTest, ClipboardAndDeleteNeedASelectionPasteSomethingCopied) {
  auto m = enabling();
  for (const char *name : {"actCopyToClipboard", "actCutToClipboard", "actDeleteSelectedShapes", "actFlipHorizontally"})
    EXPECT_FALSE(m[QString::fromLatin1(name)]) << name;
  EXPECT_FALSE(m[QStringLiteral("actPasteFromClipboard")]);
  EXPECT_TRUE(m[QStringLiteral("actDeleteStitchingHolesOnSelectedPaths")]);
  {
    QFile copied(shapeClipboardPath(editor));
    ASSERT_TRUE(copied.open(QIODevice::WriteOnly));
  }
  m = enabling();
  EXPECT_TRUE(m[QStringLiteral("actPasteFromClipboard")]);

  line({0.0f, 0.0f}, {10.0f, 0.0f});
  m = enabling();
  EXPECT_TRUE(m[QStringLiteral("actCopyToClipboard")]);
  EXPECT_TRUE(m[QStringLiteral("actDeleteSelectedShapes")]);
  EXPECT_FALSE(m[QStringLiteral("actAlignLeft")]);  // aligning needs two
  EXPECT_FALSE(m[QStringLiteral("btnLineSymmetry")]);  // the document holds one shape
  line({0.0f, 5.0f}, {10.0f, 5.0f});
  m = enabling();
  EXPECT_TRUE(m[QStringLiteral("actAlignLeft")]);
  EXPECT_TRUE(m[QStringLiteral("actExtendOrTrimLines")]);
  EXPECT_TRUE(m[QStringLiteral("btnLineSymmetry")]);
  // Decided by other subsystems: not handed over.
  EXPECT_EQ(m.count(QStringLiteral("actSimulateWithLeatherPicture")), 0u);
}

TEST_F(StatusInfoTest, GroupCommandsCountGroupsAndLooseShapes) {
  TQN_Path *g1 = line({0.0f, 0.0f}, {10.0f, 0.0f});
  TQN_Path *g2 = line({0.0f, 5.0f}, {10.0f, 5.0f});
  g1->FGroupID = g2->FGroupID = 7;
  auto m = enabling();
  EXPECT_FALSE(m[QStringLiteral("actCreateGroup")]);  // one whole group alone
  EXPECT_TRUE(m[QStringLiteral("actUngroup")]);

  line({0.0f, 9.0f}, {10.0f, 9.0f});  // loose
  m = enabling();
  EXPECT_TRUE(m[QStringLiteral("actCreateGroup")]);  // a group and a loose shape

  g1->SetSelected(false);
  g2->SetSelected(false);
  m = enabling();
  EXPECT_FALSE(m[QStringLiteral("actCreateGroup")]);
  EXPECT_FALSE(m[QStringLiteral("actUngroup")]);
}

TEST_F(StatusInfoTest, OneMemberStandsForEachRadialRepeat) {
  for (int i = 0; i < 3; ++i) line({0.0f, float(i)}, {10.0f, float(i)})->FMandalaID = 4;
  auto m = enabling();
  EXPECT_EQ(editor.FSelectionCount, 3);
  EXPECT_FALSE(m[QStringLiteral("actAlignLeft")]);  // one path for the repeat
  EXPECT_TRUE(m[QStringLiteral("actMirrorMandalaItem")]);
}

TEST_F(StatusInfoTest, UndoAndRedoFollowTheStoreAndTheTracingImageTool) {
  auto m = enabling();
  EXPECT_FALSE(m[QStringLiteral("actUndo")]);  // only the start-up state
  EXPECT_FALSE(m[QStringLiteral("actRedo")]);

  sbToolsClick(editor, TTool::Backdrop);
  m = enabling();
  EXPECT_TRUE(m[QStringLiteral("actUndo")]);
  EXPECT_TRUE(m[QStringLiteral("actRedo")]);
  sbToolsClick(editor, TTool::Select);

  line({0.0f, 0.0f}, {10.0f, 0.0f});
  takeUndoSnapshot(editor, QStringLiteral("test"));
  m = enabling();
  EXPECT_TRUE(m[QStringLiteral("actUndo")]);
  undo(editor);
  m = enabling();
  EXPECT_FALSE(m[QStringLiteral("actUndo")]);
  EXPECT_TRUE(m[QStringLiteral("actRedo")]);
}

TEST_F(StatusInfoTest, HoleCommandsNeedExactlyOneSelectedHole) {
  auto hole = [&](float x) {
    TQN_Path *s = newShape(kStitchingHolePalletIndex);
    s->drawDotPath({x, 0.0f}, 0.5f);
    s->FShapeType = TShapeKind::Hole;
    return add(s);
  };
  hole(0.0f);
  auto m = enabling();
  EXPECT_TRUE(m[QStringLiteral("actSelectNextStitchingHole")]);
  EXPECT_TRUE(m[QStringLiteral("actEndsStitchHere")]);
  EXPECT_TRUE(m[QStringLiteral("actChangeStitchingHoleShape")]);
  hole(3.0f);
  m = enabling();
  EXPECT_FALSE(m[QStringLiteral("actSelectNextStitchingHole")]);
  EXPECT_TRUE(m[QStringLiteral("actChangeStitchingHoleShape")]);
}

TEST_F(StatusInfoTest, TotalLengthLineAndTheLinesOfADot) {
  line({0.0f, 0.0f}, {30.0f, 0.0f});
  updateSelectionInfo(editor);
  EXPECT_EQ(editor.FTotalLengthText, QString());  // one shape: its own line says it

  line({0.0f, 5.0f}, {40.0f, 5.0f});
  updateSelectionInfo(editor);
  EXPECT_EQ(editor.FTotalLengthText, QStringLiteral("Total Length=70.00 mm  "));
  ASSERT_FALSE(ui.infos.empty());
  EXPECT_EQ(ui.infos.back().TotalLength, editor.FTotalLengthText);

  // Only a dot: the shape lines are cleared and the range line names the dot.
  for (TQN_Path *s : editor.doc().PathList()) s->SetSelected(false);
  TQN_Path *dot = newShape(4, 0x80112233);
  dot->drawDotPath({1.0f, 1.0f}, 0.5f);
  add(dot);
  editor.FIDText = QStringLiteral("ID=1; ");
  editor.FLengthText = QStringLiteral("Length=30.00 mm; ");
  editor.FNumOfStitchesText = QStringLiteral("x");
  updateSelectionInfo(editor);
  EXPECT_EQ(editor.FIDText, QString());
  EXPECT_EQ(editor.FLengthText, QString());
  EXPECT_EQ(editor.FNumOfStitchesText, QString());
  EXPECT_EQ(editor.FTotalLengthText, QString());
  EXPECT_EQ(editor.FRangeText,
            QStringLiteral("ID=") + QString::number(dot->ID()) + QStringLiteral("; Palette=5; Color=80112233; "));
}

}  // namespace
}  // namespace quillon
