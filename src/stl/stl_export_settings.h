#pragma once
// The settings of the STL export dialog and their file, STLExport.ini in the data folder:
// section [STL] for the pattern, section [JIG] for the positioning jig.
//
// Lengths are kept in millimetres, in memory and in the file; the dialog shows the
// pattern's lengths in the user's unit. The file says so with [STL] LengthUnit=mm. A file
// without that key was written by a program that stored the boxes as they showed them, in
// whatever unit was set then: its pattern lengths are read in the unit set now, which is
// the best that can be done with it, and the next save writes millimetres.
#include <QString>

#include <cstdint>

#include "shell/options.h"

namespace quillon {

// The treatment of one face's outer edge.
enum class TSTLEdgeMode { semNone, semChamfer, semFillet };

// Where text is engraved: the item index written to the file.
enum class TSTLEngraveSide : int { None = 0, Top = 1, Bottom = 2 };

// The outline of the positioning jig.
enum class TSTLTemplateOuterMode : int { omRectMargin = 0, omRectExplicit = 1, omPatternOffset = 2 };

// Every setting of the dialog, named after its key in the file. The defaults are those a
// missing file or key gives.
struct TSTLExportSettings {
  // [STL]
  double Thickness = 2.5;
  int EdgeTopMode = 1;  // item index: 0 none, 1 chamfer, 2 fillet
  double EdgeTopSize = 0;
  int EdgeBottomMode = 1;
  double EdgeBottomSize = 0;
  int FilletSteps = 6;
  bool StitchAsRound = true;
  double StitchDiameter = 1.6;
  double DiamondL = 2.2;
  double DiamondW = 0.6;
  double EuropeanL = 2.0;
  double EuropeanW = 0.25;
  double FlatL = 2.0;
  double FlatW = 0.3;
  std::uint32_t Color = 0xFFCD853F;  // ARGB, the preview's colour
  int MaterialPreset = 0;            // item index of the material list
  TSTLEngraveSide EngraveSide = TSTLEngraveSide::Top;
  bool MultiColorPrint = false;
  double EngraveDepth = 0.4;
  // [JIG]
  bool TemplateMode = false;  // the positioning jig rather than the 3D pattern
  TSTLTemplateOuterMode OuterMode = TSTLTemplateOuterMode::omRectMargin;
  double OuterMargin = 5;
  double OuterWidth = 100;
  double OuterHeight = 100;
  double OuterCornerR = 0;
  double TotalHeight = 5;
  double PocketGap = 0.2;
  double PocketDepth = 5;
  bool FingerAtCentroid = true;
  double FingerDiameter = 8;
  bool KeepNestedContours = false;

  bool operator==(const TSTLExportSettings &) const = default;
};

// The edge mode of an item index of the edge lists: 1 chamfer, 2 fillet, anything else
// (none selected included) none.
TSTLEdgeMode edgeModeOfIndex(int index);

// <data folder>/STLExport.ini.
QString stlExportSettingsPath();

// Reads the file; a missing file or key, or a value that does not read, gives the
// default. `unitOfOldFiles` is the unit a file without the LengthUnit key is taken to
// hold its pattern lengths in. Never throws.
TSTLExportSettings loadSTLExportSettings(const QString &path, TUnitMode unitOfOldFiles);

// Writes both sections, lengths in millimetres, creating the data folder when missing.
// Throws std::runtime_error when the file cannot be written.
void saveSTLExportSettings(const QString &path, const TSTLExportSettings &settings);

}  // namespace quillon
