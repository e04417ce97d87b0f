#pragma once
// Keeping the document's intersection list in step with its shapes.
//
// Shape by shape: after a shape is created, or after its old records were removed with
// removeIntersectionsOf and its geometry changed, calcIntersectionsOfShape adds its
// records with every other shape (analytic finder), plus joint points (ends that nearly
// meet) and T-points (an end that nearly touches a straight line).
//
// Whole document: recalcAllIntersections throws the list away and recomputes every pair
// with the outline finder. The two ways use different finders and tolerances, so their
// lists can differ.
//
// Both can find their candidate pairs through a spatial index of the shapes' boundaries
// or by visiting every shape; the records, and their order, are the same either way.
#include <vector>

#include "model/intersection.h"
#include "platform/geometry.h"

namespace quillon {

class TQN_Path;
class TShapeList;
class TShapeSpatialIndex;

// The undo reason tag of the whole-document recomputation.
inline constexpr const char *kRecalcIntersectionsUndoReason = "L11250";

// Whether the upkeep leaves this shape out: a stitching hole, a free outline, a text or
// a dimension line.
bool isSkippedByIntersectionUpkeep(const TQN_Path &shape);

// Adds the records of S with every other shape of `shapes` to `intersections` (records
// the list refuses as duplicates are freed). Does nothing while `shapeEditUnderWay` (a
// shape is being dragged or a Bezier handle edited: the end of that edit computes once)
// or when S is skipped by the upkeep. Other shapes take part when they lie on a visible
// layer, are not skipped, meet S's layer rule (when either layer is independent, only
// shapes of the same layer) and their boundaries come within 0.2 mm of S's.
//
// With an `index`, it is first brought in step with `shapes` and the other shapes are
// found through it, in document order; without, every shape is visited.
void calcIntersectionsOfShape(const TShapeList &shapes, TIntersections &intersections, TQN_Path *S,
                              bool shapeEditUnderWay, TShapeSpatialIndex *index = nullptr);

// The same for the shapes from position `first` on, each with the shapes before it, as
// calling it with the index right after each shape was appended would add them (the same
// records in the same order), but with the index brought in step once and the refused
// records found in one pass: the way a document read from a file gets its records.
void calcIntersectionsOfAppendedShapes(const TShapeList &shapes, TIntersections &intersections, int first,
                                       TShapeSpatialIndex &index);

// Joint points and T-points of S and O (both LINE, ARC or BEZIER; otherwise nothing).
// `pairPoints` are the points the analytic finder reported for the pair: a point within
// 0.05 mm of one of them, or of a point this call added, is not added again. Every
// record has Path1 = S and Path2 = O and keeps its IDs at -1.
void addJointAndTeePoints(TQN_Path *S, TQN_Path *O, const std::vector<TPointF> &pairPoints,
                          TIntersections &intersections);

// The body of the "Recalc Intersections" command: frees every record of `FIntersections`
// and recomputes every pair of shapes (except stitching holes, texts and free outlines)
// with the outline finder, skipping pairs of circles whose centres lie further apart
// than 1.1 times the sum of their radii. The command around it shows the busy cursor,
// turns on the display of intersections, refreshes the canvas and takes the undo
// snapshot kRecalcIntersectionsUndoReason.
//
// `useIndex` false visits every pair instead of the pairs the spatial index offers.
void recalcAllIntersections(const TShapeList &PathList, TIntersections &FIntersections, bool useIndex = true);

}  // namespace quillon
