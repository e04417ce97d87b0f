#pragma once
// The tools of the left tool bar, in tool-bar order. Exactly one is pressed at a time; the
// pointer handlers branch on it.
namespace quillon {

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

}  // namespace quillon
