#include "shell/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <memory>

#include "platform/ini_file.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/font_list.h"
#include "shell/options.h"
#include "shell/editor_ui.h"
#include "support/test_env.h"

namespace quillon {
namespace {

const QStringList kNoDocument{QStringLiteral("--instance-id"), QStringLiteral("1")};

// An editor over the test's data folder; load() reads a settings text into a fresh
// settings object and fresh panel values, so every check sees only what the file gave.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { editor = std::make_unique<TEditor>(ui, kNoDocument); }
  void TearDown() override { editor.reset(); }

  QString path() const { return optionsFilePath(*editor); }

  void writeFile(const QByteArray &text) const {
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
  }

  QByteArray readFile() const {
    QFile f(path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  void resetState() {
    editor->FOptions = std::make_unique<TQN_Options>();
    editor->panel() = TPanelValues();
  }

  void load(const QByteArray &text) {
    writeFile(text);
    resetState();
    loadOptions(*editor);
  }

  // The block of one section in the written text, from its header to the blank line.
  QByteArray section(const QByteArray &text, const QByteArray &name) const {
    const QByteArray header = "[" + name + "]\n";
    const qsizetype start = text.indexOf(header);
    if (start < 0) return {};
    const qsizetype end = text.indexOf("\n\n", start);
    return text.mid(start, end < 0 ? -1 : end - start + 1);
  }

  TSilentEditorUi ui;
  std::unique_ptr<TEditor> editor;
};

TEST_F(SettingsFileTest, PathIsInTheDataFolder) {
  EXPECT_EQ(path(), QDir(test::testDataDir()).filePath("qn_options.ini"));
  EXPECT_EQ(path(), editor->FAppDataPath + "/qn_options.ini");
}

TEST(ReadIniFloat, CommaDefaultAndMalformedText) {
  const QString file = QDir(test::testDataDir()).filePath("floats.ini");
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[F]\ncomma=1,5\ndot=2.25\nblank= 3 \nexp=1E-3\nword=abc\ntwo=1,234.5\n"
            "huge=1E50\nnan=NAN\ninf=INF\nempty=\n");
  }
  const TIniFile ini(file);
  struct Case {
    const char *key;
    float expected;
  };
  const Case cases[] = {
      {"comma", 1.5f},   {"dot", 2.25f},  {"blank", 3.0f}, {"exp", 0.001f}, {"word", -7.0f},
      {"two", -7.0f},    {"huge", -7.0f}, {"nan", -7.0f},  {"inf", -7.0f},  {"empty", -7.0f},
      {"missing", -7.0f},
  };
  for (const Case &c : cases) EXPECT_EQ(readIniFloat(ini, "F", c.key, -7.0f), c.expected) << c.key;
  // A missing key goes through the text form of its default and comes back unchanged.
  EXPECT_EQ(readIniFloat(ini, "F", "missing", 0.001f), 0.001f);
  EXPECT_EQ(readIniFloat(ini, "F", "missing", 0.45f), 0.45f);
}

TEST_F(SettingsFileTest, ReadsEveryKeyOfAFullFile) {
  load("[Version]\nAppVersion=3.7.0\n"
       "[AutoSave]\nUseAutoSave=1\n"
       "[AutoPricking]\nIsFixedPitchDefault=1\nCornerMode=1\nCornerAngleThreshold=120\n"
       "[AutoPitch]\nForceFitLastPrick=0\nAutoPitchSteps2=80\nAutoPitchPrecision2=0.005\nAutoPitchStopGap=0.25\n"
       "[Edit]\nIncrementalSelectionMode=1\nMentoriWithoutCtrl=0\nShowLintWarnings=0\nTrimUndoHistory=0\n"
       "GuaranteedUndoSteps=35\n"
       "[SVG]\nDotRadius=0.75\nAsDots=0\nWithTemplates=1\nWithTextShapes=1\n"
       "[Print]\nCalibrationX=99.5\nCalibrationY=101.25\nPrintInColor=1\nPrintRulerInside=1\n"
       "[BoxStitch]\nDistance=42\n"
       "[DXF]\nInvertYOnDXFExport=0\nUseR14=0\n"
       "[Dimension]\nLineType=12\nGap=1.5\nFontSize=3.5\nPrecision=3\n"
       "[Text]\nFontFace=DejaVu Sans\nFontSize=14\n"
       "[Stitch]\nThreadThickness=2.5\nThreadCycleMm=900\nLeatherThicknessMm=3.5\nThreadStartPhase=0.25\n"
       "ThreadDiameterMm=0.6\nLastThreadCode=VINI:V12\n"
       "[ZoomScroll]\nReverseMouseWheelZoomDirection=1\nReverseCursorKeyGridAreaMove=0\n"
       "[General]\nLangID=ja\nPinSidebar=0\nUnit=1\nNewSet=1\n"
       "[Demo]\nLoadAtStartup=0\n"
       "[Notch]\nNotchDepth=3.5\nNotchAngle=30\n"
       "[LinePallet5]\nThickness=0.75\nColor=4294901760\nColorW=4278255360\nDash=Dot\nNotForPrint=1\n"
       "[Font]\nRequireReset=0\ncount=2\nfamily0=DejaVu Sans\nfamily1=Noto Sans\n"
       "[LeatherSim]\nChoiseMade=1\nAutoDownload=1\nNotifyNew=1\n");
  const TQN_Options &o = *editor->FOptions;
  const TPanelValues &p = editor->panel();
  EXPECT_EQ(o.LastVersion, "3.7.0");
  EXPECT_TRUE(o.UseAutoSave);
  EXPECT_TRUE(o.IsFixedPitchDefault);
  EXPECT_EQ(p.PitchMode, TPitchMode::Fixed);
  EXPECT_EQ(o.AutoPrickMode, 1);
  EXPECT_EQ(p.CornerModeIndex, 1);
  EXPECT_EQ(o.CornerAngleThreshold, 120.0f);
  EXPECT_EQ(p.CornerAngle, 120.0f);
  EXPECT_FALSE(o.ForceFitLastPrick);
  EXPECT_EQ(o.AutoPitchSteps, 80);
  EXPECT_EQ(o.AutoPitchPrecision, 0.005f);
  EXPECT_EQ(o.AutoPitchStopGap, 0.25f);
  EXPECT_TRUE(o.IncrementalSelectionMode);
  EXPECT_FALSE(o.MentoriWithoutCtrl);
  EXPECT_FALSE(o.ShowLintWarnings);
  EXPECT_FALSE(o.TrimUndoHistory);
  EXPECT_EQ(o.GuaranteedUndoSteps, 35);
  EXPECT_EQ(o.SVGDotRadius, 0.75f);
  EXPECT_FALSE(o.SVG_as_dots);
  EXPECT_TRUE(o.SVG_with_templates);
  EXPECT_TRUE(o.SVG_with_text_shapes);
  EXPECT_EQ(o.PrintCalibration.X, 99.5f);
  EXPECT_EQ(o.PrintCalibration.Y, 101.25f);
  EXPECT_TRUE(o.PrintInColor);
  EXPECT_TRUE(o.PrintRulerInside);
  EXPECT_EQ(o.BoxStitchDistance, 42.0f);
  EXPECT_FALSE(o.DXFExportInvertY);
  EXPECT_FALSE(o.UseDXFR14);
  EXPECT_EQ(p.DimPalletIndex, 12);
  EXPECT_EQ(p.DimGapMm, 1.5f);
  EXPECT_EQ(p.DimFontSize, 3.5f);
  EXPECT_EQ(p.DimPrecision, 3);
  EXPECT_EQ(o.DefaultFont, "DejaVu Sans");
  EXPECT_EQ(p.TextFontSize, 14.0f);
  EXPECT_EQ(o.StitchThickness, 2.5f);
  EXPECT_EQ(o.ThreadCycleMm, 900.0f);
  EXPECT_EQ(o.LeatherThicknessMm, 3.5f);
  EXPECT_EQ(o.ThreadStartPhase, 0.25f);
  EXPECT_EQ(o.ThreadDiameterMm, 0.6f);
  EXPECT_EQ(o.LastThreadCode, "VINI:V12");
  EXPECT_TRUE(o.ReverseMouseWheelZoomDirection);
  EXPECT_FALSE(o.ReverseCursorKeyGridAreaMove);
  EXPECT_EQ(o.LangID, "ja");
  EXPECT_FALSE(o.PinSideBar);
  EXPECT_FALSE(p.PinSideBar);
  EXPECT_EQ(o.UnitMode, umIN);
  EXPECT_EQ(o.LengthFormatSettings.UnitMode, umIN);
  EXPECT_EQ(o.LengthFormatSettings.LargeTickInterval, 8);
  EXPECT_TRUE(o.NewPrickingIronsAdded);
  EXPECT_FALSE(o.LoadDemoProjectAtStartup);
  EXPECT_FALSE(p.OpenDemoAtStartup);
  EXPECT_EQ(o.NotchDepth, 3.5f);
  EXPECT_EQ(o.NotchAngle, 30.0f);
  const TDrawPallet &lt = *editor->pen().FPalletList[5];
  EXPECT_EQ(lt.FThickness, 0.75f);
  EXPECT_EQ(lt.FColor_BlackMode, 0xFFFF0000u);
  EXPECT_EQ(lt.FColor_WhiteMode, 0xFF00FF00u);
  EXPECT_EQ(lt.FDash, TStrokeDash::Dot);
  EXPECT_TRUE(lt.FIgnoreInPrinting);
  EXPECT_EQ(p.FontNames, (QStringList{"DejaVu Sans", "Noto Sans"}));
  EXPECT_TRUE(o.LeatherSimImageChoiseMade);
  EXPECT_TRUE(o.AutomaticallyDownloadLeatherSimImages);
  EXPECT_TRUE(o.NotifyNewOrUpdatedSimImages);
}

TEST_F(SettingsFileTest, EdgeValuesOfTheReadRules) {
  struct Case {
    const char *text;
    int guaranteedUndoSteps;
    int autoPrickMode;
    int cornerModeIndex;
  };
  const Case cases[] = {
      {"[Edit]\nGuaranteedUndoSteps=0\n[AutoPricking]\nCornerMode=7\n", 1, 7, 2},
      {"[Edit]\nGuaranteedUndoSteps=-3\n[AutoPricking]\nCornerMode=-1\n", 1, -1, 0},
      {"[Edit]\nGuaranteedUndoSteps=1\n[AutoPricking]\nCornerMode=2\n", 1, 2, 2},
  };
  for (const Case &c : cases) {
    load(c.text);
    EXPECT_EQ(editor->FOptions->GuaranteedUndoSteps, c.guaranteedUndoSteps) << c.text;
    EXPECT_EQ(editor->FOptions->AutoPrickMode, c.autoPrickMode) << c.text;
    EXPECT_EQ(editor->panel().CornerModeIndex, c.cornerModeIndex) << c.text;
  }

  // Zero diameter and an empty thread code keep the defaults; a stored pattern switch
  // does not switch the stitch pattern on.
  load("[Stitch]\nThreadDiameterMm=0\nLastThreadCode=\nShowStitchPattern=1\n");
  EXPECT_EQ(editor->FOptions->ThreadDiameterMm, 0.45f);
  EXPECT_EQ(editor->FOptions->LastThreadCode, "MEISI_SF:MS101");
  EXPECT_FALSE(editor->FOptions->ShowStitchPattern);
  EXPECT_FALSE(editor->panel().ShowStitchPattern);
  load("[Stitch]\nThreadDiameterMm=-1\n");
  EXPECT_EQ(editor->FOptions->ThreadDiameterMm, 0.45f);

  // Booleans are integers: any non-zero number is true.
  load("[AutoSave]\nUseAutoSave=2\n[AutoPitch]\nForceFitLastPrick=-1\n[Edit]\nShowLintWarnings=0\n");
  EXPECT_TRUE(editor->FOptions->UseAutoSave);
  EXPECT_TRUE(editor->FOptions->ForceFitLastPrick);
  EXPECT_FALSE(editor->FOptions->ShowLintWarnings);

  // A float written with a decimal comma.
  load("[BoxStitch]\nDistance=1,5\n");
  EXPECT_EQ(editor->FOptions->BoxStitchDistance, 1.5f);
}

TEST_F(SettingsFileTest, CornerModeSevenIsWrittenAsTheBoxIndex) {
  load("[AutoPricking]\nCornerMode=7\n");
  saveOptions(*editor);
  EXPECT_EQ(editor->FOptions->AutoPrickMode, 2);
  EXPECT_EQ(TIniFile(path()).ReadString("AutoPricking", "CornerMode", ""), "2");
}

TEST_F(SettingsFileTest, GarbageInOneKeyGivesItsDefaultAndTheRestIsRead) {
  load("[AutoSave]\nUseAutoSave=yes\n"
       "[AutoPitch]\nAutoPitchSteps2=12x\nAutoPitchPrecision2=0.0.1\nForceFitLastPrick=\n"
       "[AutoPricking]\nCornerMode=one\nCornerAngleThreshold=wide\n"
       "[Edit]\nGuaranteedUndoSteps=99999999999\nTrimUndoHistory=0\n"
       "[General]\nUnit=inch\nLangID=de\n"
       "[LinePallet3]\nThickness=thick\nColor=red\nColorW=12abc\nNotForPrint=maybe\nDash=Wavy\n"
       "[Font]\nRequireReset=0\ncount=lots\nfamily0=Ignored\n"
       "[LeatherSim]\nChoiseMade=1\n");
  const TQN_Options &o = *editor->FOptions;
  const TQN_Options defaults;
  EXPECT_EQ(o.UseAutoSave, defaults.UseAutoSave);
  EXPECT_EQ(o.AutoPitchSteps, 50);
  EXPECT_EQ(o.AutoPitchPrecision, 0.001f);
  EXPECT_TRUE(o.ForceFitLastPrick);
  EXPECT_EQ(o.AutoPrickMode, 0);
  EXPECT_EQ(o.CornerAngleThreshold, 160.0f);
  EXPECT_EQ(o.GuaranteedUndoSteps, 20);
  EXPECT_EQ(o.UnitMode, umMM);
  // The good keys around the bad ones are read.
  EXPECT_FALSE(o.TrimUndoHistory);
  EXPECT_EQ(o.LangID, "de");
  EXPECT_TRUE(o.LeatherSimImageChoiseMade);
  EXPECT_TRUE(editor->panel().FontNames.isEmpty());  // count unreadable: no names
}

TEST_F(SettingsFileTest, BadLineTypeKeysKeepTheCurrentValues) {
  TDrawPallet &lt = *editor->pen().FPalletList[3];
  lt.FThickness = 1.25f;
  lt.FColor_BlackMode = 0xFF102030;
  lt.FColor_WhiteMode = 0xFF405060;
  lt.FIgnoreInPrinting = true;
  lt.FDash = TStrokeDash::DashDot;
  writeFile("[LinePallet3]\nThickness=thick\nColor=red\nColorW=12abc\nNotForPrint=maybe\nDash=Wavy\n");
  loadOptions(*editor);
  EXPECT_EQ(lt.FThickness, 1.25f);
  EXPECT_EQ(lt.FColor_BlackMode, 0xFF102030u);
  EXPECT_EQ(lt.FColor_WhiteMode, 0xFF405060u);
  EXPECT_TRUE(lt.FIgnoreInPrinting);
  EXPECT_EQ(lt.FDash, TStrokeDash::DashDot);

  // Missing keys keep the current values too, except the dash, whose default is "Solid";
  // colours keep their low 32 bits, also of a negative number.
  writeFile("[LinePallet3]\nColor=8589934847\nColorW=-1\n");
  loadOptions(*editor);
  EXPECT_EQ(lt.FThickness, 1.25f);
  EXPECT_EQ(lt.FColor_BlackMode, 0x000000FFu);  // 2^33 + 255
  EXPECT_EQ(lt.FColor_WhiteMode, 0xFFFFFFFFu);
  EXPECT_EQ(lt.FDash, TStrokeDash::Solid);
}

TEST_F(SettingsFileTest, MissingFileChangesNothing) {
  ASSERT_TRUE(QFile::remove(path()) || !QFile::exists(path()));
  editor->FOptions->UseAutoSave = true;
  editor->FOptions->GuaranteedUndoSteps = 7;
  editor->panel().FontNames = QStringList{"Only"};
  editor->panel().PinSideBar = false;
  loadOptions(*editor);
  EXPECT_TRUE(editor->FOptions->UseAutoSave);
  EXPECT_EQ(editor->FOptions->GuaranteedUndoSteps, 7);
  EXPECT_EQ(editor->panel().FontNames, QStringList{"Only"});
  EXPECT_FALSE(editor->panel().PinSideBar);

  // A folder in the file's place cannot be read either.
  ASSERT_TRUE(QDir().mkdir(path()));
  loadOptions(*editor);
  EXPECT_EQ(editor->FOptions->GuaranteedUndoSteps, 7);
  ASSERT_TRUE(QDir().rmdir(path()));
}

TEST_F(SettingsFileTest, BinaryGarbageFileDoesNotStopStartUp) {
  QByteArray junk;
  for (int i = 0; i < 4096; ++i) junk.append(static_cast<char>((i * 7919) & 0xFF));
  junk.insert(100, "\n[Edit]\nGuaranteedUndoSteps=9\n");
  const QString file = path();
  editor.reset();  // the shutdown writes the settings file; the junk replaces it
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(junk);
  }
  editor = std::make_unique<TEditor>(ui, kNoDocument);
  EXPECT_EQ(editor->FOptions->GuaranteedUndoSteps, 9);
  EXPECT_EQ(editor->FOptions->AutoPitchSteps, 50);
}

TEST_F(SettingsFileTest, FontListFromSystemUntilFirstWriteThenStoredList) {
  const QStringList system = GetSystemFonts();  // sorted, each once, no vertical variants
  ASSERT_FALSE(system.isEmpty());

  // RequireReset missing or 1: the system list, whatever the stored names.
  for (const QByteArray &text : {QByteArray("[Font]\ncount=1\nfamily0=Stored\n"),
                                QByteArray("[Font]\nRequireReset=1\ncount=1\nfamily0=Stored\n")}) {
    load(text);
    EXPECT_EQ(editor->panel().FontNames, system) << text.constData();
  }

  // The first write stores the list with RequireReset=0 ...
  saveOptions(*editor);
  const TIniFile written(path());
  EXPECT_EQ(written.ReadString("Font", "RequireReset", ""), "0");
  EXPECT_EQ(written.ReadInteger("Font", "count", -1), system.size());
  EXPECT_EQ(written.ReadString("Font", "family0", ""), system.first());

  // ... and from then on the stored list is used; empty names are skipped.
  load("[Font]\nRequireReset=0\ncount=4\nfamily0=Zeta\nfamily1=\nfamily2=Alpha\nfamily3=Mid\nfamily4=Beyond\n");
  EXPECT_EQ(editor->panel().FontNames, (QStringList{"Zeta", "Alpha", "Mid"}));

  // A huge count reads only what is there, also with huge key numbers (the numbers at
  // and beyond the count are not entries; the top one used to overflow).
  load("[Font]\nRequireReset=0\ncount=2147483647\nfamily0=A\nfamily7=B\n");
  EXPECT_EQ(editor->panel().FontNames, (QStringList{"A", "B"}));
  load("[Font]\nRequireReset=0\ncount=2147483647\nfamily2147483647=Top\nfamily2000000000=D\nfamily7=B\n");
  EXPECT_EQ(editor->panel().FontNames, (QStringList{"B", "D"}));
}

TEST_F(SettingsFileTest, WritesTheTableOrderAndValueForms) {
  ASSERT_TRUE(QFile::remove(path()));
  resetState();
  editor->FLangID = "en";
  editor->panel().FontNames = QStringList{"Alpha Sans", "Beta Serif"};
  editor->panel().SelectedFontIndex = 1;
  TDrawPallet &lt = *editor->pen().FPalletList[0];
  lt.FThickness = 0.25f;
  lt.FColor_BlackMode = 0xFF112233;
  lt.FColor_WhiteMode = 0x80FFFFFF;
  lt.FDash = TStrokeDash::DashDot;
  lt.FIgnoreInPrinting = true;
  saveOptions(*editor);
  const QByteArray text = readFile();

  const QByteArray head =
      "[Version]\nAppVersion=3.7.9\n\n"
      "[AutoSave]\nUseAutoSave=0\n\n"
      "[AutoPricking]\nIsFixedPitchDefault=0\nCornerMode=0\nCornerAngleThreshold=160\n\n"
      "[AutoPitch]\nForceFitLastPrick=1\nAutoPitchSteps2=50\nAutoPitchPrecision2=0.00100000004749745\n"
      "AutoPitchStopGap=0.100000001490116\n\n"
      "[Edit]\nIncrementalSelectionMode=0\nMentoriWithoutCtrl=1\nShowLintWarnings=1\nTrimUndoHistory=1\n"
      "GuaranteedUndoSteps=20\n\n"
      "[SVG]\nDotRadius=0.5\nAsDots=1\nWithTemplates=0\nWithTextShapes=0\n\n"
      "[Print]\nCalibrationX=100\nCalibrationY=100\nPrintInColor=0\nPrintRulerInside=0\n\n"
      "[BoxStitch]\nDistance=100\n\n"
      "[DXF]\nInvertYOnDXFExport=1\nUseR14=1\n\n"
      "[Dimension]\nLineType=7\nGap=0.5\nFontSize=2\nPrecision=1\n\n"
      "[Text]\nFontFace=Beta Serif\nFontSize=10\n\n"
      "[Stitch]\nShowStitchPattern=0\nThreadThickness=3\nThreadCycleMm=1260\nLeatherThicknessMm=2\n"
      "ThreadStartPhase=0.5\nThreadDiameterMm=0.449999988079071\nLastThreadCode=MEISI_SF:MS101\n\n"
      "[ZoomScroll]\nReverseMouseWheelZoomDirection=0\nReverseCursorKeyGridAreaMove=1\n\n"
      "[General]\nLangID=en\nPinSidebar=1\nUnit=0\nNewSet=0\n\n"
      "[Demo]\nLoadAtStartup=1\n\n"
      "[Notch]\nNotchDepth=2\nNotchAngle=45\n\n"
      "[LinePallet0]\nThickness=0.25\nColor=4279312947\nColorW=2164260863\nDash=DashDot\nNotForPrint=1\n\n";
  EXPECT_EQ(text.left(head.size()), head);

  const QByteArray tail =
      "\n[Font]\nRequireReset=0\ncount=2\nfamily0=Alpha Sans\nfamily1=Beta Serif\n\n"
      "[LeatherSim]\nChoiseMade=0\nAutoDownload=0\nNotifyNew=0\n";
  EXPECT_TRUE(text.endsWith(tail)) << text.right(tail.size() + 40).constData();

  // The 40 line types follow each other between [Notch] and [Font].
  QStringList headers;
  const QRegularExpression sectionLine(QStringLiteral("^\\[(.*)\\]$"), QRegularExpression::MultilineOption);
  for (auto it = sectionLine.globalMatch(QString::fromUtf8(text)); it.hasNext();) headers << it.next().captured(1);
  ASSERT_EQ(headers.size(), 16 + 40 + 2);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(headers[16 + i], QStringLiteral("LinePallet%1").arg(i));
  EXPECT_FALSE(text.contains("MCP"));
}

TEST_F(SettingsFileTest, RewriteKeepsUnwrittenKeysAndRoundTrips) {
  writeFile("[MCP]\nEnableServer=1\n[Font]\nRequireReset=0\ncount=3\nfamily0=A\nfamily1=B\nfamily2=C\n");
  resetState();
  editor->panel().FontNames = QStringList{"Only"};
  editor->panel().SelectedFontIndex = -1;
  editor->panel().CornerAngle = 95.0f;
  editor->panel().DimGapMm = 5.0f;
  editor->FOptions->SetUnitMode(umIN);
  editor->FOptions->BoxStitchDistance = 12.7f;
  editor->FOptions->LastThreadCode = "X:Y";
  saveOptions(*editor);

  const TIniFile written(path());
  EXPECT_EQ(written.ReadString("MCP", "EnableServer", ""), "1");
  EXPECT_TRUE(readMcpEnableServer(path()));
  EXPECT_EQ(written.ReadSection("Font"), (QStringList{"RequireReset", "count", "family0"}));
  EXPECT_EQ(written.ReadString("Text", "FontFace", ""), "Arial");  // nothing selected
  EXPECT_EQ(written.ReadString("Dimension", "Gap", ""), "5");      // millimetres, whatever the unit
  EXPECT_EQ(written.ReadString("General", "Unit", ""), "1");
  EXPECT_EQ(editor->FOptions->CornerAngleThreshold, 95.0f);  // stored from the box before writing

  resetState();
  loadOptions(*editor);
  EXPECT_EQ(editor->FOptions->UnitMode, umIN);
  EXPECT_EQ(editor->panel().DimGapMm, 5.0f);
  EXPECT_EQ(editor->panel().CornerAngle, 95.0f);
  EXPECT_EQ(editor->FOptions->BoxStitchDistance, 12.7f);
  EXPECT_EQ(editor->FOptions->LastThreadCode, "X:Y");
  EXPECT_EQ(editor->FOptions->DefaultFont, "Arial");
  EXPECT_EQ(editor->panel().FontNames, QStringList{"Only"});
}

TEST_F(SettingsFileTest, McpEnableServerIsANonZeroInteger) {
  struct Case {
    QByteArray text;
    bool expected;
  };
  const Case cases[] = {
      {"[MCP]\nEnableServer=1\n", true},  {"[MCP]\nEnableServer=2\n", true},
      {"[MCP]\nEnableServer=0\n", false}, {"[MCP]\nEnableServer=yes\n", false},
      {"[MCP]\nOther=1\n", false},        {"\xFF\xFE garbage", false},
  };
  for (const Case &c : cases) {
    writeFile(c.text);
    EXPECT_EQ(readMcpEnableServer(path()), c.expected) << c.text.constData();
  }
  EXPECT_FALSE(readMcpEnableServer(QDir(test::testDataDir()).filePath("none.ini")));
}

TEST_F(SettingsFileTest, PanelValuesTakeTheirBoxRanges) {
  load("[AutoPricking]\nCornerAngleThreshold=200\n[Dimension]\nFontSize=0.1\nPrecision=9\nLineType=40\n"
       "[Text]\nFontSize=0.5\n");
  EXPECT_EQ(editor->FOptions->CornerAngleThreshold, 200.0f);
  EXPECT_EQ(editor->panel().CornerAngle, 179.0f);
  EXPECT_EQ(editor->panel().DimFontSize, 0.5f);
  EXPECT_EQ(editor->panel().DimPrecision, 6);
  EXPECT_EQ(editor->panel().DimPalletIndex, 7);  // no line type #41: the box keeps its item
  EXPECT_EQ(editor->panel().TextFontSize, 1.0f);
}

}  // namespace
}  // namespace quillon
