#pragma once
// Taking shapes out of the document: Delete, the removal of identical shapes, the removal
// of a whole radial repeat and Clear All; and the small document queries the editing
// commands share (a shape by ID, the intersections at a point, shapes on a layer).
//
// Every removal goes through the document (model/document.h), which removes the records
// of the shapes, repairs the sewing links and tells everyone who points at them. Each
// removal the user asked for ends with one undo step and a canvas refresh.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TIntersection;
class TQN_Path;
class TShapeList;

// Delete: removes the selected shapes of the active layer, and every member on the active
// layer of a radial repeat that has a selected member (on any layer). Shapes of other
// layers stay, selected or not. The text being edited leaves the document without being
// freed and stays the edited text.
void deleteSelectedShapes(TEditor &editor);
// The Delete command: deleteSelectedShapes, then a canvas refresh.
void actDeleteSelectedShapesExecute(TEditor &editor);

// The number of shapes identical to an earlier shape on the same layer; a radial repeat
// with such a member counts once. Unless `countOnly`, they are deleted (a whole repeat
// when one of its members is a duplicate) with one undo step when there were any.
int deleteDuplicateShapes(TEditor &editor, bool countOnly);
// The same over a plain list of shapes (no layers, no radial repeats): duplicates are
// removed from the list and freed; the number removed.
int removeDuplicateShapes(std::vector<TQN_Path *> &shapes);
// Delete duplicated shapes: deletes them and reports their number ("duplicates_deleted"),
// also when there were none.
void actDeleteDuplicatesExecute(TEditor &editor);

// Removes and frees every document shape with that radial-repeat ID, with its records.
void deleteMandalaMembers(TEditor &editor, int radialRepeatID);

// Frees every shape and intersection of the document and resets its layers and pages;
// the ID counter is kept, so later shapes get higher IDs than any before.
void clearDocumentShapes(TEditor &editor);
// Clear All: asks "OK2RemoveAll"; on Yes clears the document as one undoable step.
void btnClearAllClick(TEditor &editor);

// Removes the red start mark of the distance-marking tool from the document with its
// intersections and frees it; nothing when there is none.
void discardTempDistMarkLine(TEditor &editor);

// The first shape of the list with that ID, or none.
TQN_Path *findShapeById(const TShapeList &shapes, int id);
// The document's intersections at the point (both coordinates equal after rounding to
// 0.01 mm). The list does not own them.
std::vector<TIntersection *> getIntersectionsAt(const TEditor &editor, TPointF point);
// The number of document shapes on the layer.
int countShapesOnLayer(const TEditor &editor, int layer);
// atStart := the point is the line's start point; the result is the number of
// intersections at the line's other end.
int countIntersectionsAtOtherEnd(const TEditor &editor, const TQN_Path &line, TPointF point, bool &atStart);

}  // namespace quillon
