#include "exchange/dxf_r14_writer.h"

#include <QByteArray>
#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/file_io.h"
#include "platform/number_chars.h"
#include "platform/number_text.h"

namespace quillon {

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kPi = 3.141592653589793;
constexpr int kByLayer = 256;

const QString kContinuous = QStringLiteral("CONTINUOUS");

// The drawing's y grows downward, DXF's upward: y is widened, negated and stored back.
TPointF toDxf(TPointF p) { return {p.X, static_cast<float>(-static_cast<double>(p.Y))}; }

QString layerText(const QString &layer) { return layer.isEmpty() ? QStringLiteral("0") : layer; }

// Inserts a name into a list kept sorted by the collator; a name the collator finds
// equal to one already present is dropped.
void insertSortedName(QStringList &list, const QString &name, const QCollator &collator) {
  const auto it = std::lower_bound(list.begin(), list.end(), name, [&collator](const QString &a, const QString &b) {
    return collator.compare(a, b) < 0;
  });
  if (it != list.end() && collator.compare(*it, name) == 0) return;
  list.insert(it, name);
}

}  // namespace

TDXFR14Writer::TDXFR14Writer() : FCollator(QLocale()) {
  FCollator.setCaseSensitivity(Qt::CaseInsensitive);
  Clear();
}

TDXFR14Writer::~TDXFR14Writer() = default;

void TDXFR14Writer::Clear() {
  FEntities.clear();
  FLayers.clear();
  FLinetypes.clear();
  FOfferedLayers.clear();
  FOfferedLinetypes.clear();
  FLTypeDef.clear();
  FRegisteredDashes = 0;
  AddLayer(QStringLiteral("0"));
  RegisterLinetype(kContinuous, {});
}

// ---- private helpers ----

// Each group code and value is one line of single-byte text (characters outside Latin-1
// become "?") ending in CR LF, kept as the file will hold it.
void TDXFR14Writer::WriteStr(int Code, const QString &Value) {
  // The same few names (an entity's layer and line type) come again and again: the
  // bytes of the last two are kept.
  TLatin1Text *text = &FRecentTexts[0];
  if (text->Text != Value || text->Bytes.isNull()) {
    std::swap(FRecentTexts[0], FRecentTexts[1]);
    if (text->Text != Value || text->Bytes.isNull()) *text = {Value, Value.toLatin1()};
  }
  WriteStr(Code, std::string_view(text->Bytes.constData(), static_cast<std::size_t>(text->Bytes.size())));
}

void TDXFR14Writer::WriteStr(int Code, std::string_view Value) {
  // The two lines are put together first and appended at once; a long value is appended
  // by itself.
  char lines[80];
  char *at = std::to_chars(lines, lines + 16, Code).ptr;
  *at++ = '\r';
  *at++ = '\n';
  if (Value.size() <= sizeof lines - 20) {
    at = std::copy(Value.begin(), Value.end(), at);
    *at++ = '\r';
    *at++ = '\n';
    FEntities.append(lines, at);
    return;
  }
  FEntities.append(lines, at).append(Value).append("\r\n");
}

void TDXFR14Writer::WriteFloat(int Code, double Value) {
  char text[kGeneral15Size];
  WriteStr(Code, std::string_view(text, writeGeneral15(Value, text)));
}

double TDXFR14Writer::NormalizeDeg(double A) {
  double r = A - std::floor(A / 360.0) * 360.0;
  if (r < 0.0) r += 360.0;
  // A tiny negative angle lands on 360 after the subtraction; keep the range [0, 360).
  if (r >= 360.0) r -= 360.0;
  return r;
}

double TDXFR14Writer::AngleDiffDeg(double A, double B) {
  const double d = std::fabs(A - B);
  return d > 180.0 ? 360.0 - d : d;
}

void TDXFR14Writer::AddLayer(const QString &Name) {
  // A name given before is listed already, or was found equal to a listed one.
  if (FOfferedLayers.contains(Name)) return;
  FOfferedLayers.insert(Name);
  insertSortedName(FLayers, layerText(Name), FCollator);
}

void TDXFR14Writer::AddLinetype(const QString &Name) {
  if (Name.isEmpty()) return;
  insertSortedName(FLinetypes, Name.toUpper(), FCollator);
}

void TDXFR14Writer::RegisterLinetype(const QString &Name, const std::vector<double> &Pattern) {
  AddLinetype(Name);
  FLTypeDef.try_emplace(Name, Pattern);  // the first registration wins
}

QString TDXFR14Writer::DashToLinetype(TStrokeDash Dash) {
  int kind = 0;  // the line type's bit in FRegisteredDashes
  switch (Dash) {
    case TStrokeDash::Dash:
    case TStrokeDash::Custom: kind = 1; break;
    case TStrokeDash::Dot: kind = 2; break;
    case TStrokeDash::DashDot: kind = 3; break;
    case TStrokeDash::DashDotDot: kind = 4; break;
    case TStrokeDash::Solid:
    default: kind = 0; break;
  }
  static const QString names[] = {kContinuous, QStringLiteral("FMX_DASH"), QStringLiteral("FMX_DOT"),
                                  QStringLiteral("FMX_DASHDOT"), QStringLiteral("FMX_DASHDOTDOT")};
  // After its first registration a line type is listed and defined already.
  if ((FRegisteredDashes & (1u << kind)) != 0) return names[kind];
  FRegisteredDashes |= 1u << kind;
  static const std::vector<double> patterns[] = {
      {}, {0.5, -0.25}, {0.05, -0.25}, {0.5, -0.2, 0.05, -0.2}, {0.5, -0.2, 0.05, -0.2, 0.05, -0.2}};
  RegisterLinetype(names[kind], patterns[kind]);
  return names[kind];
}

void TDXFR14Writer::WriteColorAndLinetype(int ColorACI, const QString &LineTypeName) {
  if (ColorACI != kByLayer) {
    const QByteArray colour = QByteArray::number(ColorACI);
    WriteStr(62, std::string_view(colour.constData(), static_cast<std::size_t>(colour.size())));
  }
  if (LineTypeName.isEmpty()) return;
  const QString name = LineTypeName.toUpper();
  WriteStr(6, name);
  // Registering a name a second time changes nothing.
  if (FOfferedLinetypes.contains(name)) return;
  FOfferedLinetypes.insert(name);
  AddLinetype(name);
  FLTypeDef.try_emplace(name);
}

void TDXFR14Writer::WriteExtrusion() {
  WriteStr(210, std::string_view("0"));
  WriteStr(220, std::string_view("0"));
  WriteStr(230, std::string_view("1"));
}

// ---- entities (points already in DXF coordinates) ----

void TDXFR14Writer::WriteLine(TPointF P1, TPointF P2, const QString &Layer, int ColorACI,
                              const QString &LineTypeName) {
  AddLayer(Layer);
  WriteStr(0, std::string_view("LINE"));
  WriteStr(8, layerText(Layer));
  WriteColorAndLinetype(ColorACI, LineTypeName);
  WriteFloat(10, P1.X);
  WriteFloat(20, P1.Y);
  WriteStr(30, std::string_view("0"));
  WriteFloat(11, P2.X);
  WriteFloat(21, P2.Y);
  WriteStr(31, std::string_view("0"));
  WriteExtrusion();
}

void TDXFR14Writer::WriteCircle(TPointF Center, double Radius, const QString &Layer, int ColorACI,
                                const QString &LineTypeName) {
  AddLayer(Layer);
  WriteStr(0, std::string_view("CIRCLE"));
  WriteStr(8, layerText(Layer));
  WriteColorAndLinetype(ColorACI, LineTypeName);
  WriteFloat(10, Center.X);
  WriteFloat(20, Center.Y);
  WriteStr(30, std::string_view("0"));
  WriteFloat(40, Radius);
  WriteExtrusion();
}

void TDXFR14Writer::WriteEllipse(TPointF Center, double Rx, double Ry, double RotationDeg, const QString &Layer,
                                 int ColorACI, const QString &LineTypeName) {
  if (Rx == 0.0) return;
  // The Rx direction turned by RotationDeg in drawing coordinates; the angle changes
  // sign with the y axis.
  const double t = -RotationDeg * kDegToRad;
  float ax, ay;
  double ratio;
  if (std::fabs(Ry) > std::fabs(Rx)) {
    // DXF wants the major axis to be the longer one (ratio at most 1): take the Ry
    // semi-axis, across the Rx direction. The ellipse is always a full turn, so the
    // parameter range 0 to 2 pi still draws the same curve.
    ax = static_cast<float>(-Ry * std::sin(t));
    ay = static_cast<float>(Ry * std::cos(t));
    ratio = std::fabs(Rx) / std::fabs(Ry);
  } else {
    ax = static_cast<float>(Rx * std::cos(t));
    ay = static_cast<float>(Rx * std::sin(t));
    ratio = std::fabs(Ry) / std::fabs(Rx);
  }
  AddLayer(Layer);
  WriteStr(0, std::string_view("ELLIPSE"));
  WriteStr(8, layerText(Layer));
  WriteColorAndLinetype(ColorACI, LineTypeName);
  WriteFloat(10, Center.X);
  WriteFloat(20, Center.Y);
  WriteStr(30, std::string_view("0"));
  WriteFloat(11, ax);
  WriteFloat(21, ay);
  WriteStr(31, std::string_view("0"));
  WriteFloat(40, ratio);
  WriteFloat(41, 0.0);
  WriteFloat(42, 2.0 * kPi);
  WriteExtrusion();
}

void TDXFR14Writer::WriteSpline(TPointF P0, TPointF P1, TPointF P2, TPointF P3, const QString &Layer, int ColorACI,
                                const QString &LineTypeName) {
  AddLayer(Layer);
  // SPLINE is the one entity that readers refuse without its subclass markers (the other
  // entities are read from their group codes alone), so it carries them.
  WriteStr(0, std::string_view("SPLINE"));
  WriteStr(100, std::string_view("AcDbEntity"));
  WriteStr(8, layerText(Layer));
  WriteColorAndLinetype(ColorACI, LineTypeName);
  WriteStr(100, std::string_view("AcDbSpline"));
  WriteStr(70, std::string_view("8"));  // planar
  WriteStr(71, std::string_view("3"));  // degree
  WriteStr(72, std::string_view("8"));  // knots
  WriteStr(73, std::string_view("4"));  // control points
  WriteStr(74, std::string_view("0"));  // fit points
  for (double knot : {0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 1.0}) WriteFloat(40, knot);
  for (TPointF p : {P0, P1, P2, P3}) {
    WriteFloat(10, p.X);
    WriteFloat(20, p.Y);
    WriteStr(30, std::string_view("0"));
  }
  WriteExtrusion();
}

void TDXFR14Writer::WriteArc(TPointF Center, TPointF PtA, TPointF PtB, double AbsSweepDeg, const QString &Layer,
                             int ColorACI, const QString &LineTypeName, double AngleTolDeg, double RadiusTol) {
  // RadiusTol only says how far the two distances may differ; the radius is their mean
  // either way.
  (void)RadiusTol;
  AddLayer(Layer);
  const double ax = double(PtA.X) - double(Center.X), ay = double(PtA.Y) - double(Center.Y);
  const double bx = double(PtB.X) - double(Center.X), by = double(PtB.Y) - double(Center.Y);
  float rA = static_cast<float>(std::hypot(ax, ay));
  float rB = static_cast<float>(std::hypot(bx, by));
  if (rA <= 0.0f && rB <= 0.0f) return;
  if (rA <= 0.0f) rA = rB;
  if (rB <= 0.0f) rB = rA;
  const double radius = (double(rA) + double(rB)) * 0.5;

  const double aA = NormalizeDeg(std::atan2(ay, ax) * 180.0 / kPi);
  const double aB = NormalizeDeg(std::atan2(by, bx) * 180.0 / kPi);
  const double s = NormalizeDeg(std::fabs(AbsSweepDeg));
  if (s == 0.0) return;
  const double ccw = NormalizeDeg(aB - aA);  // counter-clockwise span from A to B
  const double cw = NormalizeDeg(aA - aB);   // counter-clockwise span from B to A
  const double dA = AngleDiffDeg(ccw, s);
  const double dB = AngleDiffDeg(cw, s);
  const bool fromA = dB > dA || std::fabs(dA - dB) <= AngleTolDeg;

  WriteStr(0, std::string_view("ARC"));
  WriteStr(8, layerText(Layer));
  WriteColorAndLinetype(ColorACI, LineTypeName);
  WriteFloat(10, Center.X);
  WriteFloat(20, Center.Y);
  WriteStr(30, std::string_view("0"));
  WriteFloat(40, radius);
  WriteFloat(50, fromA ? aA : aB);
  WriteFloat(51, fromA ? aB : aA);
  WriteExtrusion();
}

void TDXFR14Writer::WritePath(const TPathData &Path, const QString &Layer, int ColorACI,
                              const QString &LineTypeName) {
  AddLayer(Layer);
  const int n = Path.Count();
  TPointF current = toDxf({0.0f, 0.0f});
  TPointF start = current;
  for (int i = 0; i < n; ++i) {
    const TPathPoint &entry = Path[i];
    switch (entry.Kind) {
      case TPathPointKind::MoveTo:
        current = toDxf(entry.Point);
        start = current;
        break;
      case TPathPointKind::LineTo: {
        const TPointF p = toDxf(entry.Point);
        WriteLine(current, p, Layer, ColorACI, LineTypeName);
        current = p;
        break;
      }
      case TPathPointKind::CurveTo: {
        if (i + 2 >= n) return;  // an incomplete last curve ends the walk
        const TPointF end = toDxf(Path[i + 2].Point);
        WriteSpline(current, toDxf(entry.Point), toDxf(Path[i + 1].Point), end, Layer, ColorACI, LineTypeName);
        current = end;
        i += 2;
        break;
      }
      case TPathPointKind::Close:
        if (std::fabs(double(current.X) - double(start.X)) > 0.000001 ||
            std::fabs(double(current.Y) - double(start.Y)) > 0.000001)
          WriteLine(current, start, Layer, ColorACI, LineTypeName);
        current = start;
        break;
    }
  }
}

// ---- public Add operations ----

void TDXFR14Writer::AddLine(TPointF P1, TPointF P2, const QString &Layer, int ColorACI) {
  WriteLine(toDxf(P1), toDxf(P2), Layer, ColorACI, QString());
}

void TDXFR14Writer::AddLine(TPointF P1, TPointF P2, const QString &Layer, int ColorACI, TStrokeDash Dash) {
  const QString name = DashToLinetype(Dash);
  WriteLine(toDxf(P1), toDxf(P2), Layer, ColorACI, name);
}

void TDXFR14Writer::AddLine(TPointF P1, TPointF P2, const QString &Layer, int ColorACI,
                            const QString &LineTypeName) {
  WriteLine(toDxf(P1), toDxf(P2), Layer, ColorACI, LineTypeName);
}

void TDXFR14Writer::AddCircle(TPointF Center, double Radius, const QString &Layer, int ColorACI) {
  WriteCircle(toDxf(Center), Radius, Layer, ColorACI, QString());
}

void TDXFR14Writer::AddCircle(TPointF Center, double Radius, const QString &Layer, int ColorACI,
                              TStrokeDash Dash) {
  const QString name = DashToLinetype(Dash);
  WriteCircle(toDxf(Center), Radius, Layer, ColorACI, name);
}

void TDXFR14Writer::AddCircle(TPointF Center, double Radius, const QString &Layer, int ColorACI,
                              const QString &LineTypeName) {
  WriteCircle(toDxf(Center), Radius, Layer, ColorACI, LineTypeName);
}

void TDXFR14Writer::AddEllipse(TPointF Center, double Rx, double Ry, double RotationDeg, const QString &Layer,
                               int ColorACI) {
  WriteEllipse(toDxf(Center), Rx, Ry, RotationDeg, Layer, ColorACI, QString());
}

void TDXFR14Writer::AddEllipse(TPointF Center, double Rx, double Ry, double RotationDeg, const QString &Layer,
                               int ColorACI, TStrokeDash Dash) {
  const QString name = DashToLinetype(Dash);
  WriteEllipse(toDxf(Center), Rx, Ry, RotationDeg, Layer, ColorACI, name);
}

void TDXFR14Writer::AddEllipse(TPointF Center, double Rx, double Ry, double RotationDeg, const QString &Layer,
                               int ColorACI, const QString &LineTypeName) {
  WriteEllipse(toDxf(Center), Rx, Ry, RotationDeg, Layer, ColorACI, LineTypeName);
}

void TDXFR14Writer::AddBezierSpline(TPointF P0, TPointF P1, TPointF P2, TPointF P3, const QString &Layer,
                                    int ColorACI) {
  WriteSpline(toDxf(P0), toDxf(P1), toDxf(P2), toDxf(P3), Layer, ColorACI, QString());
}

void TDXFR14Writer::AddBezierSpline(TPointF P0, TPointF P1, TPointF P2, TPointF P3, const QString &Layer,
                                    int ColorACI, TStrokeDash Dash) {
  const QString name = DashToLinetype(Dash);
  WriteSpline(toDxf(P0), toDxf(P1), toDxf(P2), toDxf(P3), Layer, ColorACI, name);
}

void TDXFR14Writer::AddBezierSpline(TPointF P0, TPointF P1, TPointF P2, TPointF P3, const QString &Layer,
                                    int ColorACI, const QString &LineTypeName) {
  WriteSpline(toDxf(P0), toDxf(P1), toDxf(P2), toDxf(P3), Layer, ColorACI, LineTypeName);
}

void TDXFR14Writer::AddArcCenterTwoPointsAbsSweep(TPointF Center, TPointF PtA, TPointF PtB, double AbsSweepDeg,
                                                  const QString &Layer, int ColorACI, const QString &LineTypeName,
                                                  double AngleTolDeg, double RadiusTol) {
  WriteArc(toDxf(Center), toDxf(PtA), toDxf(PtB), AbsSweepDeg, Layer, ColorACI, LineTypeName, AngleTolDeg,
           RadiusTol);
}

void TDXFR14Writer::AddArcCenterTwoPointsAbsSweep(TPointF Center, TPointF PtA, TPointF PtB, double AbsSweepDeg,
                                                  const QString &Layer, int ColorACI, TStrokeDash Dash,
                                                  double AngleTolDeg, double RadiusTol) {
  const QString name = DashToLinetype(Dash);
  WriteArc(toDxf(Center), toDxf(PtA), toDxf(PtB), AbsSweepDeg, Layer, ColorACI, name, AngleTolDeg, RadiusTol);
}

void TDXFR14Writer::AddPathData(const TPathData *Path, const QString &Layer, int ColorACI) {
  if (Path) WritePath(*Path, Layer, ColorACI, QString());
}

void TDXFR14Writer::AddPathData(const TPathData *Path, const QString &Layer, int ColorACI, TStrokeDash Dash) {
  const QString name = DashToLinetype(Dash);
  if (Path) WritePath(*Path, Layer, ColorACI, name);
}

void TDXFR14Writer::AddPathData(const TPathData *Path, const QString &Layer, int ColorACI,
                                const QString &LineTypeName) {
  if (Path) WritePath(*Path, Layer, ColorACI, LineTypeName);
}

// ---- the file ----

void TDXFR14Writer::WriteLinetypeTable(QStringList &Lines) const {
  Lines << QStringLiteral("0") << QStringLiteral("TABLE") << QStringLiteral("2") << QStringLiteral("LTYPE")
        << QStringLiteral("70") << QString::number(FLinetypes.size());
  for (const QString &name : FLinetypes) {
    const QString key = name.toUpper();
    const auto found = FLTypeDef.find(key);
    const std::vector<double> empty;
    const std::vector<double> &pattern = found == FLTypeDef.end() ? empty : found->second;
    double total = 0.0;
    for (double element : pattern) total += std::fabs(element);
    Lines << QStringLiteral("0") << QStringLiteral("LTYPE") << QStringLiteral("2") << key << QStringLiteral("70")
          << QStringLiteral("0") << QStringLiteral("3") << QStringLiteral("FMX dash") << QStringLiteral("72")
          << QStringLiteral("65") << QStringLiteral("73") << QString::number(pattern.size()) << QStringLiteral("40")
          << QString::fromLatin1(formatGeneral15(total));
    for (double element : pattern) Lines << QStringLiteral("49") << QString::fromLatin1(formatGeneral15(element));
  }
  Lines << QStringLiteral("0") << QStringLiteral("ENDTAB");
}

void TDXFR14Writer::WriteLayerTable(QStringList &Lines) const {
  Lines << QStringLiteral("0") << QStringLiteral("TABLE") << QStringLiteral("2") << QStringLiteral("LAYER")
        << QStringLiteral("70") << QString::number(FLayers.size());
  for (const QString &name : FLayers) {
    Lines << QStringLiteral("0") << QStringLiteral("LAYER") << QStringLiteral("2") << name << QStringLiteral("70")
          << QStringLiteral("0") << QStringLiteral("62") << QStringLiteral("7") << QStringLiteral("6") << kContinuous;
  }
  Lines << QStringLiteral("0") << QStringLiteral("ENDTAB");
}

void TDXFR14Writer::WriteTablesSection(QStringList &Lines) const {
  Lines << QStringLiteral("0") << QStringLiteral("SECTION") << QStringLiteral("2") << QStringLiteral("TABLES");
  WriteLinetypeTable(Lines);
  WriteLayerTable(Lines);
  Lines << QStringLiteral("0") << QStringLiteral("ENDSEC");
}

void TDXFR14Writer::SaveToFile(const QString &FileName) const {
  QStringList lines;
  lines << QStringLiteral("0") << QStringLiteral("SECTION") << QStringLiteral("2") << QStringLiteral("HEADER")
        << QStringLiteral("9") << QStringLiteral("$ACADVER") << QStringLiteral("1") << QStringLiteral("AC1014")
        << QStringLiteral("0") << QStringLiteral("ENDSEC");
  WriteTablesSection(lines);
  lines << QStringLiteral("0") << QStringLiteral("SECTION") << QStringLiteral("2") << QStringLiteral("ENTITIES");

  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(FEntities.size()) + 4096);
  const auto append = [&bytes](const QString &line) {
    // Single-byte text: characters outside Latin-1 become "?".
    bytes += line.toLatin1();
    bytes += "\r\n";
  };
  for (const QString &line : lines) append(line);
  bytes.append(FEntities.data(), static_cast<qsizetype>(FEntities.size()));
  for (const QString &line : {QStringLiteral("0"), QStringLiteral("ENDSEC"), QStringLiteral("0"), QStringLiteral("EOF")})
    append(line);
  writeFileAtomically(FileName, bytes);
}

}  // namespace quillon
