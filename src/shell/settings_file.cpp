#include "shell/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "platform/ini_file.h"
#include "platform/number_text.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/font_list.h"
#include "shell/options.h"
#include "shell/version.h"

namespace quillon {

namespace {

QString palletSection(int index) { return QStringLiteral("LinePallet%1").arg(index); }
QString familyKey(int index) { return QStringLiteral("family%1").arg(index); }

// A Boolean key is an integer, non-zero meaning true; any other text gives the default.
bool readBool(const TIniFile &ini, const QString &section, const QString &key, bool def) {
  const QString text = ini.ReadString(section, key, QString());
  if (text.isNull()) return def;
  const std::optional<int> value = parseInt32(text.toStdString());
  return value ? *value != 0 : def;
}

// A 64-bit decimal integer (blanks around it and a leading "+" allowed).
std::optional<qint64> parseInt64(const QString &text) {
  std::string s = text.trimmed().toStdString();
  if (!s.empty() && s.front() == '+') s.erase(0, 1);
  if (s.empty()) return std::nullopt;
  long long value = 0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), value, 10);
  if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return std::nullopt;
  return static_cast<qint64>(value);
}

// A colour key holds a 64-bit integer of which the low 32 bits are the ARGB colour.
TAlphaColor readColor(const TIniFile &ini, const QString &section, const QString &key, TAlphaColor def) {
  const QString text = ini.ReadString(section, key, QString());
  if (text.isNull()) return def;
  const std::optional<qint64> value = parseInt64(text);
  return value ? static_cast<TAlphaColor>(static_cast<quint64>(*value) & 0xFFFFFFFFu) : def;
}

void writeColor(TIniFile &ini, const QString &section, const QString &key, TAlphaColor color) {
  ini.WriteString(section, key, QString::number(static_cast<quint32>(color)));
}

void writeFloat(TIniFile &ini, const QString &section, const QString &key, float value) {
  ini.WriteFloat(section, key, static_cast<double>(value));
}

// The indexes n of the keys "family<n>" of [Font], written the way familyKey writes them.
std::vector<int> storedFamilyIndexes(const TIniFile &ini) {
  std::vector<int> indexes;
  for (const QString &key : ini.ReadSection(QStringLiteral("Font"))) {
    if (!key.startsWith(QLatin1String("family"), Qt::CaseInsensitive)) continue;
    const QString digits = key.mid(6);
    const std::optional<int> index = parseInt32(digits.toStdString());
    if (index && *index >= 0 && QString::number(*index) == digits) indexes.push_back(*index);
  }
  return indexes;
}

// The stored font family list: count entries family0, family1, ...; empty names are
// skipped. Only the keys that exist are read, in the order of their numbers, so neither
// a huge count nor a huge key number costs more than the keys in the file.
void readFontFamilies(const TIniFile &ini, QStringList &names) {
  const int count = ini.ReadInteger(QStringLiteral("Font"), QStringLiteral("count"), 0);
  std::vector<int> indexes = storedFamilyIndexes(ini);
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  for (const int i : indexes) {
    if (i >= count) break;
    const QString name = ini.ReadString(QStringLiteral("Font"), familyKey(i), QString());
    if (!name.isEmpty()) names.append(name);
  }
}

void readLinePallets(const TIniFile &ini, TEditor &editor) {
  const int n = static_cast<int>(std::min<std::size_t>(editor.pen().FPalletList.size(), kPalletCount));
  for (int i = 0; i < n; ++i) {
    TDrawPallet *pallet = editor.pen().FPalletList[static_cast<std::size_t>(i)].get();
    if (!pallet) continue;
    const QString section = palletSection(i);
    pallet->FThickness = readIniFloat(ini, section, QStringLiteral("Thickness"), pallet->FThickness);
    pallet->FColor_BlackMode = readColor(ini, section, QStringLiteral("Color"), pallet->FColor_BlackMode);
    pallet->FColor_WhiteMode = readColor(ini, section, QStringLiteral("ColorW"), pallet->FColor_WhiteMode);
    pallet->FIgnoreInPrinting = readBool(ini, section, QStringLiteral("NotForPrint"), pallet->FIgnoreInPrinting);
    // A missing name means "Solid"; a name that is no dash style keeps the current dash.
    const QString dash = ini.ReadString(section, QStringLiteral("Dash"), QStringLiteral("Solid"));
    if (const std::optional<TStrokeDash> style = strokeDashFromName(dash.toStdString(), true)) pallet->FDash = *style;
  }
}

// Values put into number boxes take the box's range, as the box itself would.
float clampToBox(float value, float minimum, float maximum) { return std::clamp(value, minimum, maximum); }

}  // namespace

QString optionsFilePath(const TEditor &editor) {
  return QDir(editor.FAppDataPath).filePath(QStringLiteral("qn_options.ini"));
}

float readIniFloat(const TIniFile &ini, const QString &section, const QString &key, float def) {
  QString text = ini.ReadString(section, key, QString::fromStdString(formatGeneral15(static_cast<double>(def))));
  text.replace(QLatin1Char(','), QLatin1Char('.'));
  const std::optional<double> value = parseDouble(text.toStdString());
  if (!value || !std::isfinite(*value) || std::fabs(*value) > static_cast<double>(FLT_MAX)) return def;
  return static_cast<float>(*value);
}

bool readMcpEnableServer(const QString &iniPath) {
  if (!QFileInfo(iniPath).isFile()) return false;
  const TIniFile ini(iniPath);
  return readBool(ini, QStringLiteral("MCP"), QStringLiteral("EnableServer"), false);
}

void loadOptions(TEditor &editor) {
  const QString path = optionsFilePath(editor);
  {
    QFile probe(path);
    if (!QFileInfo(path).isFile() || !probe.open(QIODevice::ReadOnly)) return;
  }
  const TIniFile ini(path);
  TQN_Options &o = *editor.FOptions;
  TPanelValues &panel = editor.panel();

  o.UseAutoSave = readBool(ini, "AutoSave", "UseAutoSave", false);
  o.IsFixedPitchDefault = readBool(ini, "AutoPricking", "IsFixedPitchDefault", false);
  panel.PitchMode = o.IsFixedPitchDefault ? TPitchMode::Fixed : TPitchMode::Auto;
  o.ForceFitLastPrick = readBool(ini, "AutoPitch", "ForceFitLastPrick", true);
  o.AutoPitchPrecision = readIniFloat(ini, "AutoPitch", "AutoPitchPrecision2", 0.001f);
  o.AutoPitchStopGap = readIniFloat(ini, "AutoPitch", "AutoPitchStopGap", 0.1f);
  o.AutoPitchSteps = ini.ReadInteger("AutoPitch", "AutoPitchSteps2", 50);
  o.AutoPrickMode = ini.ReadInteger("AutoPricking", "CornerMode", 0);
  panel.CornerModeIndex = std::clamp(o.AutoPrickMode, 0, 2);
  o.CornerAngleThreshold = readIniFloat(ini, "AutoPricking", "CornerAngleThreshold", 160.0f);
  panel.CornerAngle = static_cast<float>(roundHalfEven(clampToBox(o.CornerAngleThreshold, 1.0f, 179.0f)));
  o.IncrementalSelectionMode = readBool(ini, "Edit", "IncrementalSelectionMode", false);
  o.MentoriWithoutCtrl = readBool(ini, "Edit", "MentoriWithoutCtrl", true);
  o.ShowLintWarnings = readBool(ini, "Edit", "ShowLintWarnings", true);
  o.TrimUndoHistory = readBool(ini, "Edit", "TrimUndoHistory", true);
  o.GuaranteedUndoSteps = std::max(1, ini.ReadInteger("Edit", "GuaranteedUndoSteps", 20));
  o.SVGDotRadius = readIniFloat(ini, "SVG", "DotRadius", 0.5f);
  o.PrintCalibration.X = readIniFloat(ini, "Print", "CalibrationX", 100.0f);
  o.PrintCalibration.Y = readIniFloat(ini, "Print", "CalibrationY", 100.0f);
  o.BoxStitchDistance = readIniFloat(ini, "BoxStitch", "Distance", 100.0f);
  o.LastVersion = ini.ReadString("Version", "AppVersion", QString());

  // The dimension controls; an index that names no line type keeps the current one.
  const int dimPallet = ini.ReadInteger("Dimension", "LineType", panel.DimPalletIndex);
  if (dimPallet >= 0 && dimPallet < kPalletCount) panel.DimPalletIndex = dimPallet;
  // The gap stays in millimetres here; the window shows it in the current unit.
  panel.DimGapMm = readIniFloat(ini, "Dimension", "Gap", panel.DimGapMm);
  panel.DimFontSize = clampToBox(readIniFloat(ini, "Dimension", "FontSize", panel.DimFontSize), 0.5f, 200.0f);
  panel.DimPrecision = std::clamp(ini.ReadInteger("Dimension", "Precision", panel.DimPrecision), 0, 6);

  o.DefaultFont = ini.ReadString("Text", "FontFace", o.DefaultFont);
  panel.TextFontSize = std::max(1.0f, readIniFloat(ini, "Text", "FontSize", panel.TextFontSize));

  o.SVG_as_dots = readBool(ini, "SVG", "AsDots", true);
  o.SVG_with_templates = readBool(ini, "SVG", "WithTemplates", false);
  o.SVG_with_text_shapes = readBool(ini, "SVG", "WithTextShapes", false);
  o.DXFExportInvertY = readBool(ini, "DXF", "InvertYOnDXFExport", true);
  o.UseDXFR14 = readBool(ini, "DXF", "UseR14", true);
  o.ReverseMouseWheelZoomDirection = readBool(ini, "ZoomScroll", "ReverseMouseWheelZoomDirection", false);
  o.ReverseCursorKeyGridAreaMove = readBool(ini, "ZoomScroll", "ReverseCursorKeyGridAreaMove", true);
  o.PrintInColor = readBool(ini, "Print", "PrintInColor", false);
  o.PrintRulerInside = readBool(ini, "Print", "PrintRulerInside", false);

  o.StitchThickness = readIniFloat(ini, "Stitch", "ThreadThickness", 3.0f);
  o.ThreadCycleMm = readIniFloat(ini, "Stitch", "ThreadCycleMm", 1260.0f);
  o.LeatherThicknessMm = readIniFloat(ini, "Stitch", "LeatherThicknessMm", 2.0f);
  o.ThreadStartPhase = readIniFloat(ini, "Stitch", "ThreadStartPhase", 0.5f);
  const float threadDiameter = readIniFloat(ini, "Stitch", "ThreadDiameterMm", 0.0f);
  if (threadDiameter > 0.0f) o.ThreadDiameterMm = threadDiameter;
  const QString threadCode = ini.ReadString("Stitch", "LastThreadCode", QString());
  if (!threadCode.isEmpty()) o.LastThreadCode = threadCode;
  // The stitch pattern is never switched on from the file: the box shows the setting.
  panel.ShowStitchPattern = o.ShowStitchPattern;

  o.NotchDepth = readIniFloat(ini, "Notch", "NotchDepth", 2.0f);
  o.NotchAngle = readIniFloat(ini, "Notch", "NotchAngle", 45.0f);

  readLinePallets(ini, editor);

  if (readBool(ini, "Font", "RequireReset", true))
    panel.FontNames = GetSystemFonts();
  else
    readFontFamilies(ini, panel.FontNames);

  o.LangID = ini.ReadString("General", "LangID", QString());
  o.PinSideBar = readBool(ini, "General", "PinSidebar", true);
  panel.PinSideBar = o.PinSideBar;
  o.LoadDemoProjectAtStartup = readBool(ini, "Demo", "LoadAtStartup", true);
  panel.OpenDemoAtStartup = o.LoadDemoProjectAtStartup;
  // 1 is inches; any other number is taken as millimetres.
  o.SetUnitMode(ini.ReadInteger("General", "Unit", 0) == 1 ? umIN : umMM);
  o.NewPrickingIronsAdded = readBool(ini, "General", "NewSet", false);
  o.LeatherSimImageChoiseMade = readBool(ini, "LeatherSim", "ChoiseMade", false);
  o.AutomaticallyDownloadLeatherSimImages = readBool(ini, "LeatherSim", "AutoDownload", false);
  o.NotifyNewOrUpdatedSimImages = readBool(ini, "LeatherSim", "NotifyNew", false);
}

void saveOptions(TEditor &editor) {
  // The file is opened with its present contents, so keys that are only read stay.
  TIniFile ini(optionsFilePath(editor));
  TQN_Options &o = *editor.FOptions;
  const TPanelValues &panel = editor.panel();

  ini.WriteString("Version", "AppVersion", QString::fromLatin1(kQuillonVersion));
  ini.WriteBool("AutoSave", "UseAutoSave", o.UseAutoSave);
  ini.WriteBool("AutoPricking", "IsFixedPitchDefault", o.IsFixedPitchDefault);
  ini.WriteBool("AutoPitch", "ForceFitLastPrick", o.ForceFitLastPrick);
  ini.WriteInteger("AutoPitch", "AutoPitchSteps2", o.AutoPitchSteps);
  writeFloat(ini, "AutoPitch", "AutoPitchPrecision2", o.AutoPitchPrecision);
  writeFloat(ini, "AutoPitch", "AutoPitchStopGap", o.AutoPitchStopGap);
  o.AutoPrickMode = panel.CornerModeIndex;
  ini.WriteInteger("AutoPricking", "CornerMode", o.AutoPrickMode);
  o.CornerAngleThreshold = panel.CornerAngle;
  writeFloat(ini, "AutoPricking", "CornerAngleThreshold", o.CornerAngleThreshold);
  ini.WriteBool("Edit", "IncrementalSelectionMode", o.IncrementalSelectionMode);
  ini.WriteBool("Edit", "MentoriWithoutCtrl", o.MentoriWithoutCtrl);
  ini.WriteBool("Edit", "ShowLintWarnings", o.ShowLintWarnings);
  ini.WriteBool("Edit", "TrimUndoHistory", o.TrimUndoHistory);
  ini.WriteInteger("Edit", "GuaranteedUndoSteps", o.GuaranteedUndoSteps);
  writeFloat(ini, "SVG", "DotRadius", o.SVGDotRadius);
  writeFloat(ini, "Print", "CalibrationX", o.PrintCalibration.X);
  writeFloat(ini, "Print", "CalibrationY", o.PrintCalibration.Y);
  writeFloat(ini, "BoxStitch", "Distance", o.BoxStitchDistance);
  ini.WriteBool("SVG", "AsDots", o.SVG_as_dots);
  ini.WriteBool("SVG", "WithTemplates", o.SVG_with_templates);
  ini.WriteBool("SVG", "WithTextShapes", o.SVG_with_text_shapes);
  ini.WriteBool("DXF", "InvertYOnDXFExport", o.DXFExportInvertY);
  ini.WriteBool("DXF", "UseR14", o.UseDXFR14);

  ini.WriteInteger("Dimension", "LineType", panel.DimPalletIndex);
  writeFloat(ini, "Dimension", "Gap", panel.DimGapMm);
  writeFloat(ini, "Dimension", "FontSize", panel.DimFontSize);
  ini.WriteInteger("Dimension", "Precision", panel.DimPrecision);
  const bool fontSelected = panel.SelectedFontIndex >= 0 && panel.SelectedFontIndex < panel.FontNames.size();
  ini.WriteString("Text", "FontFace",
                  fontSelected ? panel.FontNames[panel.SelectedFontIndex] : QStringLiteral("Arial"));
  writeFloat(ini, "Text", "FontSize", panel.TextFontSize);

  ini.WriteBool("Stitch", "ShowStitchPattern", o.ShowStitchPattern);
  ini.WriteBool("ZoomScroll", "ReverseMouseWheelZoomDirection", o.ReverseMouseWheelZoomDirection);
  ini.WriteBool("ZoomScroll", "ReverseCursorKeyGridAreaMove", o.ReverseCursorKeyGridAreaMove);
  ini.WriteString("General", "LangID", editor.FLangID);
  ini.WriteBool("General", "PinSidebar", panel.PinSideBar);
  ini.WriteInteger("General", "Unit", static_cast<int>(o.UnitMode));
  ini.WriteBool("Demo", "LoadAtStartup", panel.OpenDemoAtStartup);
  ini.WriteBool("Print", "PrintInColor", o.PrintInColor);
  ini.WriteBool("Print", "PrintRulerInside", o.PrintRulerInside);
  writeFloat(ini, "Stitch", "ThreadThickness", o.StitchThickness);
  writeFloat(ini, "Stitch", "ThreadCycleMm", o.ThreadCycleMm);
  writeFloat(ini, "Stitch", "LeatherThicknessMm", o.LeatherThicknessMm);
  writeFloat(ini, "Stitch", "ThreadStartPhase", o.ThreadStartPhase);
  writeFloat(ini, "Stitch", "ThreadDiameterMm", o.ThreadDiameterMm);
  ini.WriteString("Stitch", "LastThreadCode", o.LastThreadCode);
  writeFloat(ini, "Notch", "NotchDepth", o.NotchDepth);
  writeFloat(ini, "Notch", "NotchAngle", o.NotchAngle);

  const int pallets = static_cast<int>(std::min<std::size_t>(editor.pen().FPalletList.size(), kPalletCount));
  for (int i = 0; i < pallets; ++i) {
    const TDrawPallet *pallet = editor.pen().FPalletList[static_cast<std::size_t>(i)].get();
    if (!pallet) continue;
    const QString section = palletSection(i);
    writeFloat(ini, section, "Thickness", pallet->FThickness);
    writeColor(ini, section, "Color", pallet->FColor_BlackMode);
    writeColor(ini, section, "ColorW", pallet->FColor_WhiteMode);
    ini.WriteString(section, "Dash", QString::fromLatin1(strokeDashName(pallet->FDash)));
    ini.WriteBool(section, "NotForPrint", pallet->FIgnoreInPrinting);
  }

  ini.WriteBool("Font", "RequireReset", false);
  const int fontCount = static_cast<int>(panel.FontNames.size());
  ini.WriteInteger("Font", "count", fontCount);
  for (int i = 0; i < fontCount; ++i) ini.WriteString("Font", familyKey(i), panel.FontNames[i]);
  // Names left over from a longer list are dropped.
  for (const int index : storedFamilyIndexes(ini))
    if (index >= fontCount) ini.DeleteKey("Font", familyKey(index));

  ini.WriteBool("General", "NewSet", o.NewPrickingIronsAdded);
  ini.WriteBool("LeatherSim", "ChoiseMade", o.LeatherSimImageChoiseMade);
  ini.WriteBool("LeatherSim", "AutoDownload", o.AutomaticallyDownloadLeatherSimImages);
  ini.WriteBool("LeatherSim", "NotifyNew", o.NotifyNewOrUpdatedSimImages);

  ini.UpdateFile();
}

}  // namespace quillon
