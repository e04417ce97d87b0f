// STLExport.ini: defaults of a missing file, the round trip of every key, the reading
// rules (hexadecimal integers, Booleans, colours, bad values) and the lengths, which are
// stored in millimetres whatever unit the dialog shows.
#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "stl/stl_export_settings.h"
#include "support/test_env.h"

namespace quillon::test {

namespace {

QString iniPath() { return testDataDir() + QStringLiteral("/STLExport.ini"); }

void writeFile(const QString &text) {
  QFile f(iniPath());
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(text.toUtf8());
}

QString readFile() {
  QFile f(iniPath());
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

}  // namespace

TEST(STLExportSettings, MissingFileGivesTheDefaultsAndSavingWritesBothSectionsInKeyOrder) {
  const TSTLExportSettings s = loadSTLExportSettings(iniPath(), umMM);
  EXPECT_DOUBLE_EQ(s.Thickness, 2.5);
  EXPECT_EQ(s.EdgeTopMode, 1);
  EXPECT_EQ(s.EdgeBottomMode, 1);
  EXPECT_DOUBLE_EQ(s.EdgeTopSize, 0);
  EXPECT_TRUE(s.StitchAsRound);
  EXPECT_DOUBLE_EQ(s.StitchDiameter, 1.6);
  EXPECT_EQ(s.EngraveSide, TSTLEngraveSide::Top);
  EXPECT_DOUBLE_EQ(s.EngraveDepth, 0.4);
  EXPECT_EQ(s.Color, 0xFFCD853Fu);
  EXPECT_EQ(s.MaterialPreset, 0);
  EXPECT_FALSE(s.TemplateMode);

  saveSTLExportSettings(iniPath(), s);
  const QString text = readFile();
  const QStringList keys = {"[STL]",          "Thickness=2.5",     "EdgeTopMode=1",   "EdgeTopSize=0",
                            "EdgeBottomMode=1", "EdgeBottomSize=0", "FilletSteps=6",   "StitchAsRound=1",
                            "StitchDiameter=1.6", "DiamondL=2.2",    "DiamondW=0.6",    "EuropeanL=2",
                            "EuropeanW=0.25",  "FlatL=2",          "FlatW=0.3",       "Color=FFCD853F",
                            "MaterialPreset=0", "EngraveSide=1",   "MultiColorPrint=0", "EngraveDepth=0.4",
                            "LengthUnit=mm",   "[JIG]",            "TemplateMode=0",  "OuterMode=0",
                            "OuterMargin=5",   "OuterWidth=100",   "OuterHeight=100", "OuterCornerR=0",
                            "TotalHeight=5",   "PocketGap=0.2",    "PocketDepth=5",   "FingerAtCentroid=1",
                            "FingerDiameter=8", "KeepNestedContours=0"};
  qsizetype at = 0;
  for (const QString &k : keys) {
    const qsizetype found = text.indexOf(k, at);
    ASSERT_GE(found, 0) << k.toStdString() << " missing or out of order in\n" << text.toStdString();
    at = found + k.size();
  }
}

TEST(STLExportSettings, EveryValueRoundTrips) {
  TSTLExportSettings s;
  s.Thickness = 3.25;
  s.EdgeTopMode = 2;
  s.EdgeTopSize = 0.75;
  s.EdgeBottomMode = 0;
  s.EdgeBottomSize = 1.5;
  s.FilletSteps = 9;
  s.StitchAsRound = false;
  s.StitchDiameter = 1.2;
  s.DiamondL = 3.1;
  s.DiamondW = 0.7;
  s.EuropeanL = 2.4;
  s.EuropeanW = 0.35;
  s.FlatL = 2.6;
  s.FlatW = 0.45;
  s.Color = 0x80A0B0C0;
  s.MaterialPreset = 4;
  s.EngraveSide = TSTLEngraveSide::Bottom;
  s.MultiColorPrint = true;
  s.EngraveDepth = 0.8;
  s.TemplateMode = true;
  s.OuterMode = TSTLTemplateOuterMode::omPatternOffset;
  s.OuterMargin = 7.5;
  s.OuterWidth = 120;
  s.OuterHeight = 80;
  s.OuterCornerR = 4;
  s.TotalHeight = 6;
  s.PocketGap = 0.3;
  s.PocketDepth = 3;
  s.FingerAtCentroid = false;
  s.FingerDiameter = 12;
  s.KeepNestedContours = true;
  saveSTLExportSettings(iniPath(), s);
  EXPECT_EQ(loadSTLExportSettings(iniPath(), umMM), s);
  // The file holds millimetres: reading it in inch mode changes nothing.
  EXPECT_EQ(loadSTLExportSettings(iniPath(), umIN), s);
}

TEST(STLExportSettings, ValuesThatDoNotReadGiveTheDefaultAndIntegersMayBeHexadecimal) {
  struct TCase {
    const char *line;
    std::function<bool(const TSTLExportSettings &)> holds;
  };
  const TCase cases[] = {
      {"[STL]\nColor=brown\n", [](const TSTLExportSettings &s) { return s.Color == 0xFFCD853Fu; }},
      {"[STL]\nColor=1FFFFFFFF\n", [](const TSTLExportSettings &s) { return s.Color == 0xFFCD853Fu; }},
      {"[STL]\nColor=ff102030\n", [](const TSTLExportSettings &s) { return s.Color == 0xFF102030u; }},
      {"[STL]\nEngraveSide=7\n", [](const TSTLExportSettings &s) { return s.EngraveSide == TSTLEngraveSide::None; }},
      {"[STL]\nEngraveSide=0x2\n", [](const TSTLExportSettings &s) { return s.EngraveSide == TSTLEngraveSide::Bottom; }},
      {"[STL]\nStitchAsRound=0\n", [](const TSTLExportSettings &s) { return !s.StitchAsRound; }},
      {"[STL]\nStitchAsRound=5\n", [](const TSTLExportSettings &s) { return s.StitchAsRound; }},
      {"[STL]\nMultiColorPrint=0x10\n", [](const TSTLExportSettings &s) { return s.MultiColorPrint; }},
      {"[STL]\nMultiColorPrint=yes\n", [](const TSTLExportSettings &s) { return !s.MultiColorPrint; }},
      {"[STL]\nThickness=abc\n", [](const TSTLExportSettings &s) { return s.Thickness == 2.5; }},
      {"[STL]\nThickness=3,5\n", [](const TSTLExportSettings &s) { return s.Thickness == 3.5; }},
      {"[STL]\nFilletSteps=4.5\n", [](const TSTLExportSettings &s) { return s.FilletSteps == 6; }},
      {"[JIG]\nOuterMode=9\n",
       [](const TSTLExportSettings &s) { return s.OuterMode == TSTLTemplateOuterMode::omRectMargin; }},
      {"[JIG]\nOuterMode=1\n",
       [](const TSTLExportSettings &s) { return s.OuterMode == TSTLTemplateOuterMode::omRectExplicit; }},
      {"[JIG]\nTemplateMode=1\nPocketDepth=nan\n",
       [](const TSTLExportSettings &s) { return s.TemplateMode && s.PocketDepth == 5; }},
  };
  for (const TCase &c : cases) {
    writeFile(QString::fromLatin1(c.line));
    EXPECT_TRUE(c.holds(loadSTLExportSettings(iniPath(), umMM))) << c.line;
  }
}

TEST(STLExportSettings, AnOlderFileWithoutTheUnitIsReadInTheUnitSetNowAndSavedInMillimetres) {
  writeFile(QStringLiteral("[STL]\nThickness=0.1\nEngraveDepth=0.02\nFilletSteps=4\n[JIG]\nTotalHeight=5\n"));
  const TSTLExportSettings inch = loadSTLExportSettings(iniPath(), umIN);
  EXPECT_NEAR(inch.Thickness, 2.54, 1e-12);
  EXPECT_NEAR(inch.EngraveDepth, 0.508, 1e-12);
  EXPECT_DOUBLE_EQ(inch.StitchDiameter, 1.6);  // not in the file: the millimetre default
  EXPECT_EQ(inch.FilletSteps, 4);               // a count, no length
  EXPECT_DOUBLE_EQ(inch.TotalHeight, 5);        // the jig boxes always held millimetres
  EXPECT_DOUBLE_EQ(loadSTLExportSettings(iniPath(), umMM).Thickness, 0.1);

  saveSTLExportSettings(iniPath(), inch);
  EXPECT_TRUE(readFile().contains(QStringLiteral("Thickness=2.54")));
  EXPECT_NEAR(loadSTLExportSettings(iniPath(), umIN).Thickness, 2.54, 1e-12);
}

TEST(STLExportSettings, EdgeModesOfTheListIndex) {
  EXPECT_EQ(edgeModeOfIndex(-1), TSTLEdgeMode::semNone);
  EXPECT_EQ(edgeModeOfIndex(0), TSTLEdgeMode::semNone);
  EXPECT_EQ(edgeModeOfIndex(1), TSTLEdgeMode::semChamfer);
  EXPECT_EQ(edgeModeOfIndex(2), TSTLEdgeMode::semFillet);
  EXPECT_EQ(edgeModeOfIndex(3), TSTLEdgeMode::semNone);
}

}  // namespace quillon::test
