#pragma once
// The line, rectangle, Bezier, arc and text tools. Every released click of one of these
// tools hands its (snapped) point in millimetres to the tool's commit step, which collects
// it in Clicked_Points and, once the tool has enough points, creates the shape with the
// current pen, records its intersections and takes one undo snapshot. The geometry rules
// that turn clicked points and the side-panel values into the final points are public
// here, because the rubber bands of the paint pass call the same rules: the preview and
// the result agree.
#include "platform/geometry.h"
#include "platform/input.h"

namespace quillon {

class TEditor;
class TQN_Path;

// What the line tool makes of the pointer: the end point of the new line, its unit
// direction, and, when the relative angle applied, the unit direction of the edge it was
// measured from and the signed angle in degrees.
struct TLineToolInput {
  TPointF End;
  TPointF Direction;
  TPointF EdgeDirection;
  float Angle = 0.0f;
  bool Relative = false;
};

// A new shape with the current pen (line type, colour, thickness, dash) and the next ID
// of the document; not yet in the document.
TQN_Path *newShapeWithCurrentPen(TEditor &editor);

// Line tool (isRect false) and rectangle tool (isRect true): collects the point; the
// second point creates one LINE, or four for a rectangle with width and height. The
// pointer passes noConstraints false and the three flags true. Returns the last LINE
// created by this call, or null.
TQN_Path *commitLineOrRectTool(TEditor &editor, TPointF point, bool isRect, TShiftState shift, bool noConstraints,
                               bool takeSnapshot, bool select, bool refresh);

// The Shift constraint of `current` against `first`: horizontal or vertical while the
// line tool is pressed (a tie is horizontal); otherwise a square extent, whose sign on an
// axis where the two are level is negative.
TPointF constrainWithShift(const TEditor &editor, TPointF first, TPointF current);

// The line from `start` toward `pointer` after the relative angle and the fixed length of
// the side panel. Without either the end is the pointer itself.
TLineToolInput applyLineToolInput(const TEditor &editor, TPointF start, TPointF pointer);

// The unit direction of a new line from `start`: `angle` degrees off the LINE edge at
// `start` whose rotated direction lies nearest the pointer, when `applies` and there is
// such an edge; otherwise toward the pointer, with `angle` set to 0 and `applies` to false.
// `edgeDirection` receives the unit direction of the edge measured from.
TPointF relativeLineDirection(const TEditor &editor, TPointF start, TPointF pointer, float &angle, bool &applies,
                              TPointF &edgeDirection);

// The rectangle's opposite corner after the fixed width and height (always toward +x and
// +y from the first collected point).
TPointF applyRectSizeInput(const TEditor &editor, TPointF corner);

// The ellipse tool's box corner after the fixed diameters, for the ellipse centred on
// `centre`: X/2 and Y/2 (Y = X unless the height is fixed) to the right and down.
TPointF applyEllipseSizeInput(const TEditor &editor, TPointF centre, TPointF corner);

// Bezier tool: collects the point; the fourth creates the curve (start, first control,
// second control, end in click order). Returns the BEZIER or null.
TQN_Path *commitBezierTool(TEditor &editor, TPointF point, bool takeSnapshot, bool select, bool refresh);

// Arc tool in the given mode (radius, half-moon ratio or three points; the caller passes
// the checked radio button): collects the point and creates the ARC on the third. An arc
// that cannot be built drops the point that made it fail. With previewOnly the arc is
// built but neither added nor recorded, the points stay, and the caller owns (and frees)
// the returned shape. Returns the ARC or null.
TQN_Path *commitArcTool(TEditor &editor, TPointF point, bool select, bool previewOnly, bool radiusMode,
                        bool halfMoonMode, bool threePointMode);

// The radius of the arc tool's radius and half-moon modes for a chord of the given length.
float arcToolRadius(const TEditor &editor, bool radiusMode, float chord);

// The centres of the two circles of `radius` through a and b, mirrored about the chord;
// false when the chord is longer than the diameter.
bool arcCentresForChord(TPointF a, TPointF b, float radius, TPointF &centre1, TPointF &centre2);

// The centre of the circle through three points. When p3 lies farther from p1 than p2
// does, or farther from p2 than p1 does, p2 and p3 are exchanged first, so that p2 is the
// end of the arc. False for collinear points. On success the status line shows the sense
// of rotation ("Angle=1" or "Angle=-1").
bool threePointArcCentre(TEditor &editor, TPointF p1, TPointF &p2, TPointF &p3, TPointF &centre);

// The arc through three points as the three-point mode builds it (the same rule for the
// commit and the preview): centre, radius and sweep from `start` to `end`. `end` and
// `third` may be exchanged (the arc then ends at the third point). False for collinear
// points.
struct TThreePointArc {
  TPointF Centre;
  float Radius = 0.0f;
  float Sweep = 0.0f;
};
bool threePointArc(TEditor &editor, TPointF start, TPointF &end, TPointF &third, TThreePointArc &arc);

// Text tool, on a click where no text is hit: a new text (not yet in the document) with
// the current pen at the sticky point or the snapped pointer; the text box is emptied and
// enabled, the stretch, radius and direction boxes reset. Focusing the text box and the
// input method are the window's.
void beginTextEntry(TEditor &editor);

// The text box's editing ended (Enter, or the box lost the focus) with FPanel.edText
// changed: the text being edited becomes a TEXT of the trimmed box text and joins the
// document, or (blank text) leaves it; one undo step. The window calls this after storing
// the box's text; taking the focus from the box and the input method are the window's.
void edTextChange(TEditor &editor);

// A keystroke in the text box (FPanel.edText holds the new text): the text being edited is
// rebuilt at once and a new one joins the document when it first has an outline, but no
// undo step is taken: the change waits (FRequireSnapshotText) for edTextChange at the end
// of the editing, or for the next command that flushes waiting changes (undo, a tool
// change). A blank text changes nothing until the editing ends.
void edTextTyping(TEditor &editor);

// The text radius in millimetres, negative for counter-clockwise text.
float getSignedTextRadius(const TEditor &editor);

}  // namespace quillon
