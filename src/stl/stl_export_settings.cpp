#include "stl/stl_export_settings.h"

#include <QFileInfo>

#include <cmath>
#include <cstdint>
#include <optional>

#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/number_text.h"
#include "shell/length_units.h"

namespace quillon {

namespace {

const QString kSTL = QStringLiteral("STL");
const QString kJIG = QStringLiteral("JIG");
const QString kLengthUnit = QStringLiteral("LengthUnit");

// A whole number written in decimal or in hexadecimal with a "0x" prefix.
std::optional<long long> parseWhole(const QString &text) {
  const QString t = text.trimmed();
  bool ok = false;
  long long v = 0;
  if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ||
      t.startsWith(QLatin1String("-0x"), Qt::CaseInsensitive)) {
    const bool negative = t.startsWith(QLatin1Char('-'));
    v = t.mid(negative ? 3 : 2).toLongLong(&ok, 16);
    if (negative) v = -v;
  } else {
    v = t.toLongLong(&ok, 10);
  }
  if (!ok) return std::nullopt;
  return v;
}

// Reads one section's keys with the file's rules.
class TReader {
 public:
  TReader(const TIniFile &ini, const QString &section) : FIni(ini), FSection(section) {}

  std::optional<QString> text(const char *key) const {
    const QString k = QString::fromLatin1(key);
    if (!FIni.ValueExists(FSection, k)) return std::nullopt;
    return FIni.ReadString(FSection, k, QString());
  }
  int integer(const char *key, int def) const {
    const auto t = text(key);
    if (!t) return def;
    const auto v = parseWhole(*t);
    if (!v || *v < INT32_MIN || *v > INT32_MAX) return def;
    return static_cast<int>(*v);
  }
  // Any non-zero integer is true.
  bool boolean(const char *key, bool def) const {
    const auto t = text(key);
    if (!t) return def;
    const auto v = parseWhole(*t);
    return v ? *v != 0 : def;
  }
  double number(const char *key, double def) const {
    const auto t = text(key);
    if (!t) return def;
    const auto v = parseDoubleAcceptComma(t->toStdString());
    return v && std::isfinite(*v) ? *v : def;
  }

 private:
  const TIniFile &FIni;
  QString FSection;
};

// The pattern's lengths with their keys: the boxes the dialog shows in the user's unit.
struct TLengthKey {
  const char *Key;
  double TSTLExportSettings::*Field;
};
constexpr TLengthKey kPatternLengths[] = {
    {"Thickness", &TSTLExportSettings::Thickness},       {"EdgeTopSize", &TSTLExportSettings::EdgeTopSize},
    {"EdgeBottomSize", &TSTLExportSettings::EdgeBottomSize}, {"StitchDiameter", &TSTLExportSettings::StitchDiameter},
    {"DiamondL", &TSTLExportSettings::DiamondL},         {"DiamondW", &TSTLExportSettings::DiamondW},
    {"EuropeanL", &TSTLExportSettings::EuropeanL},       {"EuropeanW", &TSTLExportSettings::EuropeanW},
    {"FlatL", &TSTLExportSettings::FlatL},               {"FlatW", &TSTLExportSettings::FlatW},
    {"EngraveDepth", &TSTLExportSettings::EngraveDepth},
};

}  // namespace

TSTLEdgeMode edgeModeOfIndex(int index) {
  switch (index) {
    case 1:
      return TSTLEdgeMode::semChamfer;
    case 2:
      return TSTLEdgeMode::semFillet;
    default:
      return TSTLEdgeMode::semNone;
  }
}

QString stlExportSettingsPath() { return dataFile(QStringLiteral("STLExport.ini")); }

TSTLExportSettings loadSTLExportSettings(const QString &path, TUnitMode unitOfOldFiles) {
  TSTLExportSettings s;
  const TSTLExportSettings d;
  const TIniFile ini(path);
  const TReader stl(ini, kSTL);
  s.Thickness = stl.number("Thickness", d.Thickness);
  s.EdgeTopMode = stl.integer("EdgeTopMode", d.EdgeTopMode);
  s.EdgeTopSize = stl.number("EdgeTopSize", d.EdgeTopSize);
  s.EdgeBottomMode = stl.integer("EdgeBottomMode", d.EdgeBottomMode);
  s.EdgeBottomSize = stl.number("EdgeBottomSize", d.EdgeBottomSize);
  s.FilletSteps = stl.integer("FilletSteps", d.FilletSteps);
  s.StitchAsRound = stl.boolean("StitchAsRound", d.StitchAsRound);
  s.StitchDiameter = stl.number("StitchDiameter", d.StitchDiameter);
  s.DiamondL = stl.number("DiamondL", d.DiamondL);
  s.DiamondW = stl.number("DiamondW", d.DiamondW);
  s.EuropeanL = stl.number("EuropeanL", d.EuropeanL);
  s.EuropeanW = stl.number("EuropeanW", d.EuropeanW);
  s.FlatL = stl.number("FlatL", d.FlatL);
  s.FlatW = stl.number("FlatW", d.FlatW);
  if (const auto color = stl.text("Color")) {
    bool ok = false;
    const qulonglong v = color->trimmed().toULongLong(&ok, 16);
    if (ok && v <= 0xFFFFFFFFull) s.Color = static_cast<std::uint32_t>(v);
  }
  s.MaterialPreset = stl.integer("MaterialPreset", d.MaterialPreset);
  switch (stl.integer("EngraveSide", static_cast<int>(d.EngraveSide))) {
    case 1:
      s.EngraveSide = TSTLEngraveSide::Top;
      break;
    case 2:
      s.EngraveSide = TSTLEngraveSide::Bottom;
      break;
    default:
      s.EngraveSide = TSTLEngraveSide::None;
  }
  s.MultiColorPrint = stl.boolean("MultiColorPrint", d.MultiColorPrint);
  s.EngraveDepth = stl.number("EngraveDepth", d.EngraveDepth);
  // An older file holds the pattern lengths as its boxes showed them.
  if (unitOfOldFiles == umIN && ini.SectionExists(kSTL) && !ini.ValueExists(kSTL, kLengthUnit))
    for (const TLengthKey &length : kPatternLengths)
      if (stl.text(length.Key)) s.*length.Field = InchToMm(s.*length.Field);

  const TReader jig(ini, kJIG);
  s.TemplateMode = jig.boolean("TemplateMode", d.TemplateMode);
  switch (jig.integer("OuterMode", static_cast<int>(d.OuterMode))) {
    case 1:
      s.OuterMode = TSTLTemplateOuterMode::omRectExplicit;
      break;
    case 2:
      s.OuterMode = TSTLTemplateOuterMode::omPatternOffset;
      break;
    default:
      s.OuterMode = TSTLTemplateOuterMode::omRectMargin;
  }
  s.OuterMargin = jig.number("OuterMargin", d.OuterMargin);
  s.OuterWidth = jig.number("OuterWidth", d.OuterWidth);
  s.OuterHeight = jig.number("OuterHeight", d.OuterHeight);
  s.OuterCornerR = jig.number("OuterCornerR", d.OuterCornerR);
  s.TotalHeight = jig.number("TotalHeight", d.TotalHeight);
  s.PocketGap = jig.number("PocketGap", d.PocketGap);
  s.PocketDepth = jig.number("PocketDepth", d.PocketDepth);
  s.FingerAtCentroid = jig.boolean("FingerAtCentroid", d.FingerAtCentroid);
  s.FingerDiameter = jig.number("FingerDiameter", d.FingerDiameter);
  s.KeepNestedContours = jig.boolean("KeepNestedContours", d.KeepNestedContours);
  return s;
}


void saveSTLExportSettings(const QString &path, const TSTLExportSettings &s) {
  ensureDir(QFileInfo(path).absolutePath());
  TIniFile ini(path);
  ini.WriteFloat(kSTL, QStringLiteral("Thickness"), s.Thickness);
  ini.WriteInteger(kSTL, QStringLiteral("EdgeTopMode"), s.EdgeTopMode);
  ini.WriteFloat(kSTL, QStringLiteral("EdgeTopSize"), s.EdgeTopSize);
  ini.WriteInteger(kSTL, QStringLiteral("EdgeBottomMode"), s.EdgeBottomMode);
  ini.WriteFloat(kSTL, QStringLiteral("EdgeBottomSize"), s.EdgeBottomSize);
  ini.WriteInteger(kSTL, QStringLiteral("FilletSteps"), s.FilletSteps);
  ini.WriteBool(kSTL, QStringLiteral("StitchAsRound"), s.StitchAsRound);
  ini.WriteFloat(kSTL, QStringLiteral("StitchDiameter"), s.StitchDiameter);
  ini.WriteFloat(kSTL, QStringLiteral("DiamondL"), s.DiamondL);
  ini.WriteFloat(kSTL, QStringLiteral("DiamondW"), s.DiamondW);
  ini.WriteFloat(kSTL, QStringLiteral("EuropeanL"), s.EuropeanL);
  ini.WriteFloat(kSTL, QStringLiteral("EuropeanW"), s.EuropeanW);
  ini.WriteFloat(kSTL, QStringLiteral("FlatL"), s.FlatL);
  ini.WriteFloat(kSTL, QStringLiteral("FlatW"), s.FlatW);
  ini.WriteString(kSTL, QStringLiteral("Color"), QStringLiteral("%1").arg(s.Color, 8, 16, QLatin1Char('0')).toUpper());
  ini.WriteInteger(kSTL, QStringLiteral("MaterialPreset"), s.MaterialPreset);
  ini.WriteInteger(kSTL, QStringLiteral("EngraveSide"), static_cast<int>(s.EngraveSide));
  ini.WriteBool(kSTL, QStringLiteral("MultiColorPrint"), s.MultiColorPrint);
  ini.WriteFloat(kSTL, QStringLiteral("EngraveDepth"), s.EngraveDepth);
  ini.WriteString(kSTL, kLengthUnit, QStringLiteral("mm"));

  ini.WriteBool(kJIG, QStringLiteral("TemplateMode"), s.TemplateMode);
  ini.WriteInteger(kJIG, QStringLiteral("OuterMode"), static_cast<int>(s.OuterMode));
  ini.WriteFloat(kJIG, QStringLiteral("OuterMargin"), s.OuterMargin);
  ini.WriteFloat(kJIG, QStringLiteral("OuterWidth"), s.OuterWidth);
  ini.WriteFloat(kJIG, QStringLiteral("OuterHeight"), s.OuterHeight);
  ini.WriteFloat(kJIG, QStringLiteral("OuterCornerR"), s.OuterCornerR);
  ini.WriteFloat(kJIG, QStringLiteral("TotalHeight"), s.TotalHeight);
  ini.WriteFloat(kJIG, QStringLiteral("PocketGap"), s.PocketGap);
  ini.WriteFloat(kJIG, QStringLiteral("PocketDepth"), s.PocketDepth);
  ini.WriteBool(kJIG, QStringLiteral("FingerAtCentroid"), s.FingerAtCentroid);
  ini.WriteFloat(kJIG, QStringLiteral("FingerDiameter"), s.FingerDiameter);
  ini.WriteBool(kJIG, QStringLiteral("KeepNestedContours"), s.KeepNestedContours);
  ini.UpdateFile();
}

}  // namespace quillon
