#pragma once
// The SVG writers of one shape: its element, its dash pattern and the path-data piece
// that lets the export join connected LINEs, BEZIERs and ARCs into one path. The writers
// never change the shape they are given; where they need another form of it (an arc cut
// into pieces and turned into cubics) they work on copies.
//
// One user unit is one millimetre, y grows downward as in the drawing. Coordinates and
// radii are written with three decimals, the cubic pieces of arcs with four.
#include <string>

#include <pugixml.hpp>

#include "platform/geometry.h"

namespace quillon {

class TQN_Path;

// The fixed-point text of a number with the given decimals, "." as the separator in every
// locale, as the exported drawing files write their numbers ("%.3f"). A result that
// rounds to zero has no minus sign.
std::string fixedText(double value, int decimals);

// Sets "stroke-dasharray" on `node` for the shape's dash style (Dash "3 1", Dot "1",
// DashDot "3 1 1 1", DashDotDot "3 1 1 1 1 1"; Solid and Custom none), but only when the
// shape's FExportStrokeDashToSVG is set.
void setDashArrayForSVG(const TQN_Path &shape, pugi::xml_node node);

// Sets the stroke of an element: "stroke" as the colour without its alpha (a colour name
// or "#RRGGBB"; with hexOnly always "#RRGGBB"), then "stroke-opacity" when the colour is
// not opaque (SVG colours carry no alpha), then "stroke-width" = thickness x 0.1.
void setStrokeForSVG(pugi::xml_node node, TAlphaColor color, float thickness, bool hexOnly = false);

// Appends zero or one element for the shape at the end of svgNode's children: "line",
// "path", "ellipse" or "circle" by its kind. Stitching holes become circles of radius
// DotSize (mm) when ConvertHolesToDots is set, as DOTs always do.
void addToSVG(const TQN_Path &shape, pugi::xml_node svgNode, bool ConvertHolesToDots, float DotSize);

// The path-data piece of a LINE ("L"), BEZIER ("C") or ARC (one "C" per piece of at most
// 90 degrees). Unless Skip_M is set it begins with "M" and the start point. Every point is
// followed by one blank. Other kinds give only the "M" text (or nothing with Skip_M).
std::string ToSVG_path(const TQN_Path &shape, bool Skip_M);

}  // namespace quillon
