#pragma once
// TDXFR14Writer: collects LINE, CIRCLE, ELLIPSE, SPLINE and ARC entities in memory and
// writes them as one DXF release 14 text file ($ACADVER "AC1014") with an LTYPE table
// of the line types used and a LAYER table of the layers used.
//
// Every Add operation takes points in drawing coordinates (millimetres, y growing
// downward) and negates y itself, so the file has DXF's y growing upward.
//
// Each Add operation comes in three forms that differ only in the line type:
// - without a line-type argument: the entity names no line type (no group 6);
// - with `LineTypeName`: the name in upper case is written as group 6 and listed in
//   the LTYPE table (as a solid line unless a pattern was registered for it before);
//   an empty name writes no group 6;
// - with `Dash`: the line type of that stroke dash ("CONTINUOUS", "FMX_DASH",
//   "FMX_DOT", "FMX_DASHDOT", "FMX_DASHDOTDOT") is registered with its pattern first,
//   even when the entity itself is then skipped as degenerate, and written as group 6.
// `ColorACI` is an AutoCAD colour index; 256 (by layer) writes no group 62.
// An empty `Layer` stands for layer "0".
#include <QByteArray>
#include <QCollator>
#include <QSet>
#include <QString>
#include <QStringList>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/path_data.h"

namespace quillon {

class TDXFR14Writer {
 public:
  // Empty writer: layer "0" and line type "CONTINUOUS" are registered.
  TDXFR14Writer();
  ~TDXFR14Writer();
  TDXFR14Writer(const TDXFR14Writer &) = delete;
  TDXFR14Writer &operator=(const TDXFR14Writer &) = delete;

  // Forgets every entity, layer and line type; afterwards as right after creation.
  void Clear();

  // One LINE from P1 to P2.
  void AddLine(TPointF P1, TPointF P2, const QString &Layer, int ColorACI);
  void AddLine(TPointF P1, TPointF P2, const QString &Layer, int ColorACI, TStrokeDash Dash);
  void AddLine(TPointF P1, TPointF P2, const QString &Layer, int ColorACI, const QString &LineTypeName);

  // One CIRCLE.
  void AddCircle(TPointF Center, double Radius, const QString &Layer, int ColorACI);
  void AddCircle(TPointF Center, double Radius, const QString &Layer, int ColorACI, TStrokeDash Dash);
  void AddCircle(TPointF Center, double Radius, const QString &Layer, int ColorACI,
                 const QString &LineTypeName);

  // One full ELLIPSE with semi-axis Rx along the x direction turned by RotationDeg
  // degrees in drawing coordinates, and semi-axis Ry across it. Nothing (not even the
  // layer) is registered when Rx is 0. The longer semi-axis is written as the major
  // axis, so the ratio in the file never exceeds 1.
  void AddEllipse(TPointF Center, double Rx, double Ry, double RotationDeg, const QString &Layer, int ColorACI);
  void AddEllipse(TPointF Center, double Rx, double Ry, double RotationDeg, const QString &Layer, int ColorACI,
                  TStrokeDash Dash);
  void AddEllipse(TPointF Center, double Rx, double Ry, double RotationDeg, const QString &Layer, int ColorACI,
                  const QString &LineTypeName);

  // One cubic SPLINE equal to the Bezier segment P0 (start), P1, P2 (controls), P3 (end).
  void AddBezierSpline(TPointF P0, TPointF P1, TPointF P2, TPointF P3, const QString &Layer, int ColorACI);
  void AddBezierSpline(TPointF P0, TPointF P1, TPointF P2, TPointF P3, const QString &Layer, int ColorACI,
                       TStrokeDash Dash);
  void AddBezierSpline(TPointF P0, TPointF P1, TPointF P2, TPointF P3, const QString &Layer, int ColorACI,
                       const QString &LineTypeName);

  // One ARC about Center through the directions of PtA and PtB, radius the mean of both
  // distances, whose angular span is the one closest to |AbsSweepDeg| (a tie within
  // AngleTolDeg runs from A to B). Skipped when both distances are 0 or the sweep is a
  // whole multiple of 360 degrees; the layer is registered in either case.
  void AddArcCenterTwoPointsAbsSweep(TPointF Center, TPointF PtA, TPointF PtB, double AbsSweepDeg,
                                     const QString &Layer, int ColorACI, const QString &LineTypeName,
                                     double AngleTolDeg, double RadiusTol);
  void AddArcCenterTwoPointsAbsSweep(TPointF Center, TPointF PtA, TPointF PtB, double AbsSweepDeg,
                                     const QString &Layer, int ColorACI, TStrokeDash Dash, double AngleTolDeg,
                                     double RadiusTol);

  // LINE and SPLINE entities for every line, cubic and closing segment of Path; a
  // null Path adds nothing, an incomplete trailing cubic and what follows are dropped.
  void AddPathData(const TPathData *Path, const QString &Layer, int ColorACI);
  void AddPathData(const TPathData *Path, const QString &Layer, int ColorACI, TStrokeDash Dash);
  void AddPathData(const TPathData *Path, const QString &Layer, int ColorACI, const QString &LineTypeName);

  // Writes the whole file (CR LF line ends, Latin-1 text) through a temporary file
  // renamed over FileName. Throws std::runtime_error naming the path when it cannot be
  // written; the collected contents stay as they were.
  void SaveToFile(const QString &FileName) const;

 private:
  void WriteStr(int Code, const QString &Value);
  void WriteStr(int Code, std::string_view Value);
  void WriteFloat(int Code, double Value);
  static double NormalizeDeg(double A);
  static double AngleDiffDeg(double A, double B);
  void AddLayer(const QString &Name);
  void AddLinetype(const QString &Name);
  void RegisterLinetype(const QString &Name, const std::vector<double> &Pattern);
  QString DashToLinetype(TStrokeDash Dash);
  void WriteColorAndLinetype(int ColorACI, const QString &LineTypeName);
  void WriteExtrusion();
  void WriteLine(TPointF P1, TPointF P2, const QString &Layer, int ColorACI, const QString &LineTypeName);
  void WriteCircle(TPointF Center, double Radius, const QString &Layer, int ColorACI, const QString &LineTypeName);
  void WriteEllipse(TPointF Center, double Rx, double Ry, double RotationDeg, const QString &Layer, int ColorACI,
                    const QString &LineTypeName);
  void WriteSpline(TPointF P0, TPointF P1, TPointF P2, TPointF P3, const QString &Layer, int ColorACI,
                   const QString &LineTypeName);
  void WriteArc(TPointF Center, TPointF PtA, TPointF PtB, double AbsSweepDeg, const QString &Layer, int ColorACI,
                const QString &LineTypeName, double AngleTolDeg, double RadiusTol);
  void WritePath(const TPathData &Path, const QString &Layer, int ColorACI, const QString &LineTypeName);
  void WriteTablesSection(QStringList &Lines) const;
  void WriteLinetypeTable(QStringList &Lines) const;
  void WriteLayerTable(QStringList &Lines) const;

  std::string FEntities;                          // group code and value lines as written, in call order
  QStringList FLayers;                            // sorted ignoring case, no duplicates
  QStringList FLinetypes;                         // upper case, sorted ignoring case, no duplicates
  QSet<QString> FOfferedLayers;                   // names AddLayer was given (listed or not)
  QSet<QString> FOfferedLinetypes;                // names WriteColorAndLinetype has registered
  std::map<QString, std::vector<double>> FLTypeDef;  // dash pattern per line-type name
  QCollator FCollator;                            // the user's locale, ignoring case; orders the names
  unsigned FRegisteredDashes = 0;                 // bit per dash line type DashToLinetype registered
  struct TLatin1Text {
    QString Text;
    QByteArray Bytes;
  };
  TLatin1Text FRecentTexts[2];                    // the texts WriteStr converted last, and their bytes
};

}  // namespace quillon
