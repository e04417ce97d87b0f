#pragma once
// Distances, closeness rules, roundings, vectors and angles of the drawing, and the
// JSON and text forms of points and colours. Every geometric routine of the program
// measures with these, so two points one routine calls the same are the same for all.
// Arguments and results are 32-bit floats in millimetres and degrees unless a routine
// says otherwise; the arithmetic inside is done in doubles.
#include <string>

#include "platform/json_fwd.h"

#include "platform/geometry.h"

namespace quillon {

class TQN_Path;

// Rounding and closeness.
float calcDistance(TPointF a, TPointF b);
float round2(float x);          // 2 decimals, halves away from zero
TPointF roundPoint4(TPointF p);  // 4 decimals, halves away from zero
// tolerance != 0: distance strictly below it; tolerance == 0: equal after round2.
bool isSamePoint(TPointF a, TPointF b, float tolerance);
bool isCoincident(TPointF a, TPointF b);       // distance <= 0.008
bool isNearPoint(TPointF a, TPointF b);        // distance <= 0.05
bool isAlmostNearPoint(TPointF a, TPointF b);  // 0.05 < distance <= 0.2
float foldAngleToAxis(float degrees);          // distance to the nearest axis, 0..45
bool isSlightlyOffAxis(float degrees);         // 0 < fold <= 0.5

// Vectors and angles.
TPointF calcUnitVector(TPointF a, TPointF b);  // (0,0) when a == b
TPointF calcPerpendicular(TPointF v, bool side);
double calcVectorAngle(TPointF v);  // radians in [0, 2pi); 0 for the zero vector
TPointF rotateVector(TPointF v, float degrees);
float calcCosBetween(TPointF u, TPointF v);  // -1 when either is the zero vector
float calcAngleBetween(TPointF u, TPointF v);
TPointF rotatePoint(TPointF p, TPointF center, float degrees);
// The same rotation done through the canvas path object (its float rounding included).
TPointF rotatePointWithMatrix(TPointF p, float degrees, TPointF center);
int calcRotationSense(TPointF p, TPointF q, TPointF center);
float calcAngleAtVertex(TPointF vertex, TPointF p1, TPointF p2, bool reflex, int signHint);
// Angle of a point on an arc about its centre, from its x offset alone (the start angle
// of an ARC): negative above the centre.
float calcArcPointAngle(TPointF center, TPointF p, TPointF radius);
float calcTriangleHeight(float a, float b, float c);

// The signed, unnormalised cross product of p against the segment a-b goes to `cross`;
// true when p lies within `tolerance` of the segment and between its ends.
bool isPointOnSegment(TPointF a, TPointF b, TPointF p, float &cross, float tolerance);

// The foot of the perpendicular from p on the line of a LINE shape, the unit direction
// from p toward it and the distance; true when the foot lies on the segment.
bool calcPerpendicularFoot(TPointF p, const TQN_Path &line, TPointF &direction, float &distance, TPointF &foot);

// JSON and text forms.
TJson pointToJson(TPointF p);
TPointF jsonToPoint(const TJson &value);  // throws std::runtime_error
std::string colorToHexARGB(TAlphaColor c);                 // "FF0080C0"
std::string colorToText(TAlphaColor c);                    // name, else "#AARRGGBB"
std::string colorToSvgText(TAlphaColor c);                 // name, "#RRGGBB" or "#AARRGGBB"
TAlphaColor textToColor(const std::string &text);           // throws std::runtime_error
TAlphaColor jsonToColor(const TJson &value);  // throws std::runtime_error

}  // namespace quillon
