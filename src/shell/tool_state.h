#pragma once
// The tool in use and what it keeps while it works: the tool of the left tool bar and its
// modes, the points clicked so far, the shapes the tools point at and the text being
// typed. Plain state: the tools themselves are in tools/.
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TPrickingIron;
class TQN_Path;

// The tools of the left tool bar, in tool-bar order. Exactly one is pressed at a time; the
// pointer handlers branch on it.

enum class TTool {
  Select,            // sbSelect
  Dot,               // sbDot
  Line,              // sbLine
  Bezier,            // sbBezier
  Circle,            // sbCircle
  Rect,              // sbRect
  Stitch,            // sbStitch
  Mentori,           // sbMentori: corner rounding
  Offset,            // sbOffset
  Backdrop,          // sbBackdrop: tracing images
  CenterLine,        // sbCenterLine
  DistMarkLine,      // sbDistMarkLine
  Text,              // sbText
  Arc,               // sbArc
  Trimming,          // sbTrimming
  DimensionLine,     // sbDimensionLine
  Mandala,           // sbMandala
  LeatherSimulator,  // sbLeatherSimulator
};

inline constexpr int kToolCount = 18;

// The drawing tools whose preview follows the pointer.
inline bool isDrawingTool(TTool tool) {
  switch (tool) {
    case TTool::Line:
    case TTool::Dot:
    case TTool::Bezier:
    case TTool::Circle:
    case TTool::Rect:
    case TTool::Arc:
    case TTool::DimensionLine:
    case TTool::CenterLine: return true;
    default: return false;
  }
}

// The text being typed with the text tool: a text of the document, or a new text that is
// not in the document yet (nothing typed, or taken out of the document while it is still
// typed), which is owned here until it joins the document again or is dropped.
class TTextEntry {
 public:
  TTextEntry() = default;
  TTextEntry(const TTextEntry &) = delete;
  TTextEntry &operator=(const TTextEntry &) = delete;

  TQN_Path *get() const { return FShape; }
  explicit operator bool() const { return FShape != nullptr; }
  bool operator==(const TQN_Path *shape) const { return FShape == shape; }
  // Whether the text is outside the document (owned here).
  bool isOutsideDocument() const { return FOwned != nullptr; }

  // A new text outside the document; the previous one is dropped.
  void beginNew(std::unique_ptr<TQN_Path> shape);
  // A text that left the document stays the text being typed, owned here.
  void adopt(std::unique_ptr<TQN_Path> shape);
  // Hands the text outside the document over (to add it to the document); it stays the
  // text being typed. Empty when it is not outside.
  std::unique_ptr<TQN_Path> release();
  // Forgets the text; one outside the document is freed.
  void reset();

 private:
  TQN_Path *FShape = nullptr;
  std::unique_ptr<TQN_Path> FOwned;
};

struct TToolState {
  TToolState();
  ~TToolState();

  TTool FTool = TTool::Select;          // the pressed tool-bar button
  std::optional<TTool> FLastUsedTool;   // the tool Escape returns to from the select tool
  int FMandalaButtonTag = 0;            // sbMandala's Tag: 1 once the tool was chosen
  bool FInLineSymmetryMode = false;
  bool FIsMandalaCenterChangeMode = false;
  bool FSplitNotSelectedWarning = false;
  bool FIsOffsetMode = false;
  bool FIsMentoriMode = false;
  bool FIsStitchTool = false;
  bool FIsNotchMode = false;       // the trimming tool cuts notches
  bool FIsCenterLineMode = false;  // the centre-line tool is chosen
  bool FShowDblClickLilneTypeChangeWarning = false;
  std::vector<TPointF> Clicked_Points;  // points collected by the drawing tool in progress
  TQN_Path *FDimensionShape = nullptr;    // the arc a radius dimension measures (dimension tool)
  TQN_Path *FTempDistMarkLine = nullptr;  // red start mark of the distance-marking tool (in the document)
  TQN_Path *FRepositoryTemplate = nullptr;  // part selected in the visible parts repository window, if any
  // The stitching tool (stitching/stitch_state.h). Irons are the groups' and holes the
  // document's; none of them is owned here.
  int FStitchingCount = 0;                   // clicks of the open route; 0: none open
  TPointF FStitchRealOrigin;                 // the route's first click (mm)
  TPointF FStitchRealLastPos;                // the last hole a press made; the reach starts here
  bool FIsInvertedStitchMode = false;        // holes with the iron's tilt mirrored ("Reverse")
  TPrickingIron *FSelectedPrickingIron = nullptr;  // the iron in use; none until one is chosen
  int FSelectedNumOfBlades = 1;              // its prong count
  int FNextHoleCnt = 0;                      // pitch steps the next press reaches
  bool FSkipFirstStitch = false;             // the next press leaves out its start hole
  TQN_Path *FSkippedStartStitch = nullptr;   // a hole found at the route origin; the first new hole links to it
  TQN_Path *FLastStitch = nullptr;           // the hole placed or linked last: the next new hole links to it
  // Where a sorted chain should begin (route pricking); NaN when unset.
  TPointF FSortChainPreferStart{std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN()};
  bool FRulerFixed = false;               // the measuring ruler has its first point
  TPointF FRulerRealSt;
  TTextEntry FEditingText;                // the text being typed, if any

  // Lets go of every reference to the shape (with none: to every shape), the text being
  // typed included.
  void forget(const TQN_Path *shape);
};

}  // namespace quillon
