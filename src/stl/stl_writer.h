#pragma once
// Binary STL output: vertices closer than a tolerance are welded so that separately built
// walls and caps share their corners, collapsed triangles are dropped, and the facets are
// written little-endian after an 80-byte header and the facet count.
#include <QByteArray>
#include <QString>

#include "stl/regions.h"

namespace quillon {

// The header text at the start of every file, followed by zero bytes up to 80.
inline constexpr char kStlHeaderText[] = "Quillon STL";

// Unit normal of cross(b - a, c - a); the zero vector for a degenerate triangle.
TVec3 TriangleNormal(const TVec3 &a, const TVec3 &b, const TVec3 &c);

// Moves every vertex onto the first earlier vertex within `tolerance` (0 or less means
// 0.001), then drops the triangles two of whose corners now coincide. The order of the
// triangles that stay is kept. Vertices with a coordinate that is not finite are left.
void WeldVertices(TTriangleList &triangles, double tolerance);

// The bytes of the binary STL file of the triangles as they are (no welding).
QByteArray BinarySTLBytes(const TTriangleList &triangles);

// Welds a copy of the triangles at 0.001 mm and writes the file, replacing an existing
// one only once the new content is complete. Throws std::runtime_error naming the file
// and the reason when it cannot be written.
void WriteBinarySTL(const QString &fileName, const TTriangleList &triangles);

// Welds at 0.0001 mm first, then writes as WriteBinarySTL does.
void SaveTrianglesToSTL(const QString &fileName, const TTriangleList &triangles);

}  // namespace quillon
