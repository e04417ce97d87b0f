#pragma once
// A slab with text cut into one face as pockets of a given depth, with or without the
// edge bevels of the plain extrusion.
#include <vector>

#include "stl/extrude.h"
#include "stl/regions.h"

namespace quillon {

// How far the pockets keep from the slab's outline and holes: text reaching beyond the
// face is cut back to this distance inside it, so a pocket never opens into a side wall.
inline constexpr double kTextRecessMargin = 0.05;

// Appends the slab of `body` with the text regions cut `depth` mm deep into the face at
// z = Height (`intoTop`) or at z = 0. The depth is limited to 0.95 x Height. Without
// depth or without text inside the face this is AddExtrudedRegion.
void ExtrudeRegionWithTextRecess(const TPolyRegion &body, const std::vector<TPolyRegion> &textRegions, bool intoTop,
                                 double depth, const TExtrudeParams &params, TTriangleList &triangles);

// Mirror image in x about the line x = m; the rings keep their orientation.
TPolyRegion MirrorRegionX(const TPolyRegion &region, double m);

// The text regions cut back to `face` less the margin, overlapping letters merged.
std::vector<TPolyRegion> ClipTextToFace(const std::vector<TPolyRegion> &textRegions, const TPolyRegion &face);

}  // namespace quillon
