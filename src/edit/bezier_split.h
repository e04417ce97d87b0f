#pragma once
// Cutting a cubic BEZIER shape in two at the point of the curve nearest a given point, and
// the new shape that every cutting command makes for a piece: the pen of the shape it was
// cut from and a fresh ID, nothing else.
#include <memory>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// A point farther than this from the curve cuts nothing (millimetres).
inline constexpr float kBezierSplitReach = 3.0f;

// A new, empty shape with the line type, colour, thickness and dash of `source` and the
// next ID of the document; no group, layer, name or radial-repeat fields.
std::unique_ptr<TQN_Path> makePieceLike(TEditor &editor, const TQN_Path &source);

// Cuts the BEZIER at the curve point N nearest `p`: the shape keeps the part from its
// start to N and the part from N to its end is returned as a new BEZIER (makePieceLike).
// The intersection records of the shape are removed; the piece is outside the document
// and has no records, so the caller adds it or drops it and recomputes the records.
// Empty, with the shape unchanged, when `p` is farther than kBezierSplitReach from the
// curve, when N is one of the curve's ends (after rounding to 0.01 mm) or when the shape
// is not a BEZIER.
std::unique_ptr<TQN_Path> splitBezierAtPoint(TEditor &editor, TQN_Path &bezier, TPointF p);
// The same, but the piece joins the document on the shape's layer and both get their
// intersection records. Returns the piece (owned by the document), or null.
TQN_Path *splitBezierAtPointInDocument(TEditor &editor, TQN_Path &bezier, TPointF p);

}  // namespace quillon
