#pragma once
// The first stage of the STL export: selected shapes become two sets of path data, the
// body (closed outlines of the pattern pieces with their stitching holes and dots) and
// the text (outlines of the text shapes that lie inside the body). Open shapes whose ends
// meet are joined into chains so that an outline drawn from several shapes becomes one
// closed sub-path; stitching holes become slits shaped like their iron's blade or small
// round holes.
//
// Path strings are SVG path text with absolute coordinates written "%.4f" in the C
// locale: "M x,y ", "L x,y ", "C x1,y1 x2,y2 x,y ", "z " (or "z" at the end of a chain).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/shape.h"
#include "platform/path_data.h"

namespace quillon {

struct TSTLStitchSettings {
  bool MoveToOrigin = false;   // move the body's bounding box to start at (0, 0)
  bool StitchAsRound = true;   // round holes instead of slits
  float StitchDiameter = 1.6f; // size setting of round holes (the hole is half of it across)
  float DiamondL = 2.2f, DiamondW = 0.6f;    // slits of diamond irons ("D")
  float EuropeanL = 2.0f, EuropeanW = 0.25f; // slits of French irons ("F")
  float FlatL = 2.0f, FlatW = 0.3f;          // slits of flat irons ("L")
  float EngraveDepth = 0.5f;   // 0 or less: no text path data
  float JoinTolerance = 0.2f;  // ends closer than this are joined; a chain this close closes
};

TSTLStitchSettings DefaultStitchSettings();

struct TSTLPathData {
  std::optional<TPathData> Body;
  std::optional<TPathData> Text;
  int SkippedCount = 0;  // single shapes or chains that gave no closed ring
};

// The pen given to the temporary shapes built for round holes and circles.
struct TSTLPen {
  int PalletIndex = 0;
  TAlphaColor Color = 0xFF000000;
  float Thickness = 1.0f;
  TStrokeDash Dash = TStrokeDash::Solid;
};

// Moves a shape by dp (with its mandala when asked). BuildSTLPathData only asks whether
// one is given: the body is moved to the origin only then.
using TShiftShapePositionProc = std::function<void(TQN_Path *shape, TPointF dp, bool processMandala)>;

// Fills `result` from the shapes. The shapes themselves are left unchanged (the chain
// search turns copies around, never the document's shapes); `shapes` is refilled with
// the same shapes in the order they were processed, without dimension lines.
// `groupIDs` are the document's group IDs in order of appearance (getGroupIDs).
void BuildSTLPathData(TSTLPathData &result, std::vector<TQN_Path *> &shapes, const std::vector<int> &groupIDs,
                      const TSTLStitchSettings &settings, const TSTLPen &pen, const TShiftShapePositionProc &shift);

// The path string of one shape; with `continuePath` lines, curves, arcs and circles leave
// out their leading move so that the string continues the previous one.
std::string ShapeToSTLPath(TQN_Path &shape, bool continuePath, const TSTLStitchSettings &settings, const TSTLPen &pen);

// The steps, for the tests and the jig.
std::string ShapeSegmentPath(TQN_Path &shape, bool continuePath, bool closePath, const TSTLPen &pen);
// A closed circle of radius size / 4 about `center`, as four cubic quarter arcs.
std::string RoundHolePath(TPointF center, float size, const TSTLPen &pen);
// A rhombus slit of length L and width W turned with the hole and its blade; empty for a
// blade letter other than "D", "F" and "L".
std::string SlitHolePath(TQN_Path &hole, float length, float width);
// The shape a chain through `self` starts with, walking back through shapes whose end
// meets the start of the one before (same stroke style only); candidates met the wrong
// way round are reversed.
TQN_Path *FindChainStart(TQN_Path *self, const std::vector<TQN_Path *> &candidates,
                         std::vector<TQN_Path *> &chainList, float tolerance);
// The shape whose start or end meets the end of `self` (any style), reversed when met
// with its end; nullptr when none.
TQN_Path *FindChainNext(TQN_Path *self, const std::vector<TQN_Path *> &candidates, float tolerance);
bool SameStrokeStyle(const TQN_Path &a, const TQN_Path &b);
bool TextInsideBody(TQN_Path &text, const std::string &bodyPath);
bool PathStringHasRings(const std::string &path);
std::optional<TPathData> PathDataFromString(const std::string &path);

}  // namespace quillon
