// The STL export as the dialog drives it: the command's hand-over, the pattern and jig
// builds from a small drawing (a 40 x 20 rectangle drawn as four lines, with stitching
// holes), their messages, and the saved files, read back with admesh where installed.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "stl/stl_export.h"
#include "support/editor_fixture.h"
#include "stl/shell_checks.h"

namespace quillon::test {

namespace {

// Records what the command hands over instead of showing a dialog.
class TRecordingSTLDialog : public ISTLExportDialog {
 public:
  void setMultiLang(const TMultiLang *multiLang, const QString &langId) override {
    MultiLang = multiLang;
    LangID = langId;
  }
  void SetupForExport(const TSTLExportInput &input) override { Input = input; }
  void ShowModal() override { ++Shown; }

  const TMultiLang *MultiLang = nullptr;
  QString LangID;
  TSTLExportInput Input;
  int Shown = 0;
};

// admesh's report of a file, or empty when admesh is not installed.
QString admeshReport(const QString &file) {
  const QString admesh = QStandardPaths::findExecutable(QStringLiteral("admesh"));
  if (admesh.isEmpty()) return {};
  QProcess p;
  p.start(admesh, {file});
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// A number admesh reports after `label` (for example "Number of facets").
int admeshNumber(const QString &report, const QString &label) {
  const qsizetype at = report.indexOf(label);
  if (at < 0) return -1;
  const qsizetype colon = report.indexOf(QLatin1Char(':'), at);
  return report.mid(colon + 1).trimmed().section(QLatin1Char(' '), 0, 0).toInt();
}

// admesh found facets, none of them disconnected, and had nothing to mend.
void expectCleanForAdmesh(const QString &report) {
  EXPECT_GT(admeshNumber(report, QStringLiteral("Number of facets")), 0) << report.toStdString();
  for (const char *label : {"Total disconnected facets", "Degenerate facets", "Edges fixed", "Facets removed",
                            "Facets added", "Facets reversed", "Backwards edges", "Normals fixed"})
    EXPECT_EQ(admeshNumber(report, QString::fromLatin1(label)), 0) << label << "\n" << report.toStdString();
}

}  // namespace

class STLExport : public EditorTest {
 protected:
  STLExport() {
    for (auto [a, b] : {std::pair<TPointF, TPointF>{{0, 0}, {40, 0}}, {{40, 0}, {40, 20}}, {{40, 20}, {0, 20}},
                        {{0, 20}, {0, 0}}})
      addLine(a, b)->SetSelected(true);
  }
  TSTLExport exporter{[](const char *key) { return QString::fromLatin1(key); }};
  QTemporaryDir dir;

  void handOver() {
    TRecordingSTLDialog dialog;
    actExportAsSTLExecute(editor, dialog);
    ASSERT_EQ(dialog.Shown, 1);
    exporter.SetupForExport(dialog.Input);
    exporter.BeginOpening();
  }
  // The plain settings: no bevel, no text.
  static TSTLExportSettings plain() {
    TSTLExportSettings s;
    s.EdgeTopMode = s.EdgeBottomMode = 0;
    return s;
  }
};

TEST_F(STLExport, TheCommandHandsOverTheSelectionPenAndUnitOrRefusesAnEmptySelection) {
  TQN_Path *hole = addHole({10, 10});
  hole->SetSelected(true);
  editor.FOptions->SetUnitMode(umIN);
  TRecordingSTLDialog dialog;
  actExportAsSTLExecute(editor, dialog);
  EXPECT_EQ(dialog.Shown, 1);
  EXPECT_EQ(dialog.Input.SelList.size(), 5u);  // holes are kept
  EXPECT_EQ(dialog.Input.UnitMode, umIN);
  EXPECT_EQ(dialog.Input.Pen.Color, editor.pen().FCurrentColor);
  EXPECT_EQ(dialog.LangID, editor.FLangID);
  EXPECT_TRUE(static_cast<bool>(dialog.Input.ShiftProc));

  for (TQN_Path *p : doc().Items()) p->SetSelected(false);
  TRecordingSTLDialog none;
  actExportAsSTLExecute(editor, none);
  EXPECT_EQ(none.Shown, 0);
  ASSERT_FALSE(ui.boxKeys.isEmpty());
  EXPECT_EQ(ui.boxKeys.back(), QStringLiteral("stl_msg_no_selection"));
}

TEST_F(STLExport, APatternIsTheExtrudedPieceAndFollowsTheThickness) {
  handOver();
  TSTLExportSettings s = plain();
  exporter.RebuildPatternPreview(s);
  EXPECT_TRUE(isClosedAndOriented(exporter.CurrentTris()));
  EXPECT_NEAR(meshVolume(exporter.CurrentTris()), 40 * 20 * 2.5, 0.01);
  EXPECT_TRUE(exporter.Status().startsWith(QStringLiteral("mm=40.0x20.0x2.5"))) << exporter.Status().toStdString();
  EXPECT_FALSE(exporter.NoClosedShapes());
  // A later build keeps the framing: the box stays that of the first build.
  s.Thickness = 4;
  exporter.RebuildPatternPreview(s);
  EXPECT_NEAR(meshVolume(exporter.CurrentTris()), 40 * 20 * 4, 0.01);
  EXPECT_NEAR(exporter.Scene().FBBox.Size().z(), 2.5, 1e-6);
  // The document's shapes are left as they were.
  EXPECT_EQ(doc().Items().front()->FStartPt, TPointF(0, 0));
}

TEST_F(STLExport, OpenShapesOnlyGiveNoMeshAndSavingSaysSo) {
  for (int i : {1, 2, 3}) doc().Items()[std::size_t(i)]->SetSelected(false);  // one line: no outline
  handOver();
  exporter.RebuildPatternPreview(plain());
  EXPECT_TRUE(exporter.NoClosedShapes());
  EXPECT_EQ(exporter.Status(), QStringLiteral("stl_msg_no_closed_shapes"));
  EXPECT_EQ(exporter.NoMeshKey(false), QStringLiteral("stl_msg_no_mesh_to_save"));
  EXPECT_EQ(exporter.NoMeshKey(true), QStringLiteral("stl_msg_no_triangles_to_save"));
  const TSTLSaveResult saved = exporter.SavePattern(dir.filePath(QStringLiteral("none.stl")), false);
  EXPECT_TRUE(saved.Written.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("none.stl"))));
}

TEST_F(STLExport, ASavedPatternIsAClosedMeshThatAdmeshReads) {
  addHole({10, 10})->SetSelected(true);
  handOver();
  TSTLExportSettings s = plain();
  s.EdgeTopMode = 1;  // chamfered top edge
  s.EdgeTopSize = 0.5;
  exporter.RebuildPatternPreview(s);
  ASSERT_FALSE(exporter.CurrentTris().empty());
  EXPECT_TRUE(isClosedAndOriented(exporter.CurrentTris()));
  const QString file = dir.filePath(QStringLiteral("belt.stl"));
  const TSTLSaveResult saved = exporter.SavePattern(file, false);
  EXPECT_EQ(saved.Written, QStringList{file});
  EXPECT_TRUE(saved.MessageKey.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("belt_text.stl"))));
  const QString report = admeshReport(file);
  if (report.isEmpty()) GTEST_SKIP() << "admesh is not installed";
  expectCleanForAdmesh(report);
  EXPECT_EQ(admeshNumber(report, QStringLiteral("Number of parts")), 1) << report.toStdString();
}

TEST_F(STLExport, AJigHasThroughHolesAtTheStitchingHolesAndAdmeshReadsIt) {
  addHole({10, 10})->SetSelected(true);
  addHole({30, 10})->SetSelected(true);
  handOver();
  TSTLExportSettings s = plain();
  s.TemplateMode = true;
  s.PocketDepth = 3;
  s.FingerAtCentroid = false;
  exporter.RebuildJigPreview(s);
  const TTriangleList holed = exporter.CurrentTris();
  ASSERT_FALSE(holed.empty()) << exporter.Status().toStdString();
  EXPECT_EQ(unbalancedEdges(holed), 0);
  // Two 16-sided holes of diameter 1.6 through the 2 mm floor.
  const double hole = 0.5 * 16 * 0.64 * std::sin(2 * M_PI / 16);
  const double expected = (1500 - (800 + 120 * 0.2 + M_PI * 0.04)) * 3 + (1500 - 2 * hole) * 2;
  EXPECT_NEAR(meshVolume(holed), expected, 0.002 * expected);
  // No facet of the floor's faces covers a hole's centre.
  for (const TTriangle3D &t : holed) {
    if (!(t.A.Z == t.B.Z && t.B.Z == t.C.Z && (t.A.Z == 3 || t.A.Z == 5))) continue;
    for (TPointF c : {TPointF(10, 10), TPointF(30, 10)}) {
      const auto side = [&](const TVec3 &p, const TVec3 &q) {
        return (q.X - p.X) * (c.Y - p.Y) - (q.Y - p.Y) * (c.X - p.X);
      };
      const double d1 = side(t.A, t.B), d2 = side(t.B, t.C), d3 = side(t.C, t.A);
      const bool inside = (d1 > 0 && d2 > 0 && d3 > 0) || (d1 < 0 && d2 < 0 && d3 < 0);
      EXPECT_FALSE(inside) << "a floor facet covers the hole at " << c.X << "," << c.Y;
    }
  }
  const QString file = dir.filePath(QStringLiteral("template.stl"));
  EXPECT_EQ(exporter.SaveJig(file, false).Written, QStringList{file});
  const QString report = admeshReport(file);
  if (report.isEmpty()) GTEST_SKIP() << "admesh is not installed";
  expectCleanForAdmesh(report);
}

TEST_F(STLExport, SettingsBecomeTheBuildParameters) {
  TSTLExportSettings s;
  s.EdgeTopMode = 1;
  s.EdgeTopSize = 0.7;
  s.EdgeBottomMode = 2;
  s.EdgeBottomSize = 0.9;
  s.FilletSteps = 9;
  s.Thickness = 3;
  const TExtrudeParams p = GetExtrudeParams(s);
  EXPECT_EQ(p.Height, 3);
  EXPECT_EQ(p.BottomChamfer, 0.7);  // the dialog's top face lies at z = 0
  EXPECT_EQ(p.TopFillet, 0.9);
  EXPECT_EQ(p.TopChamfer, 0);
  EXPECT_EQ(p.BottomFillet, 0);
  EXPECT_EQ(p.FilletSteps, 9);
  EXPECT_FALSE(p.SkipTinyTriangles);

  s.EngraveSide = TSTLEngraveSide::None;
  s.EngraveDepth = 0.8;
  s.StitchAsRound = false;
  EXPECT_EQ(GetStitchSettings(s).EngraveDepth, 0);
  EXPECT_FALSE(GetStitchSettings(s).StitchAsRound);
  s.EngraveSide = TSTLEngraveSide::Bottom;
  EXPECT_FLOAT_EQ(GetStitchSettings(s).EngraveDepth, 0.8f);

  s.OuterMode = TSTLTemplateOuterMode::omPatternOffset;
  s.OuterCornerR = 3;
  const TSTLTemplateSettings t = GetTemplateSettings(s);
  EXPECT_EQ(t.OuterMode, TSTLTemplateOuterMode::omPatternOffset);
  EXPECT_EQ(t.OuterCornerRadius, 3);
  EXPECT_TRUE(t.FlipZForPreview);

  EXPECT_EQ(textFileNameOf(QStringLiteral("/a/belt.stl")), QStringLiteral("/a/belt_text.stl"));
  EXPECT_EQ(textFileNameOf(QStringLiteral("/a.b/belt")), QStringLiteral("/a.b/belt_text"));
}

}  // namespace quillon::test
