#pragma once
// Groups of shapes and the stacking order.
//
// A group has no object of its own: the shapes with the same positive FGroupID form it.
// Group IDs come from the document's one ID counter. Each group's bounding rectangle is
// cached in TEditor::FGroupBoundary until an operation that moves, resizes or restores
// its members drops the entry.
//
// The stacking order is the order of the document list: later shapes are painted over
// earlier ones.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// Drops the cached frames of these groups, so they are computed again when next drawn.
void invalidateGroupBounds(TEditor &editor, const std::vector<int> &groupIds);
// The same for the groups of the listed shapes (shapes in no group are passed over).
void invalidateGroupBounds(TEditor &editor, const std::vector<TQN_Path *> &shapes);
// The same for the groups that have a selected member.
void invalidateSelectedGroupBounds(TEditor &editor);

// Group Selected Shapes: with at least two selected shapes, puts every selected shape
// into one new group, whatever group it was in before.
void actCreateGroupExecute(TEditor &editor);
// Ungroup: dissolves every group that has a selected member.
void actUngroupExecute(TEditor &editor);
// Without `ungroup`, widens the selection to every member of the groups that have a
// selected member (no undo step); with it, dissolves those groups, leaving their members
// selected (one undo step).
void applyToSelectedGroups(TEditor &editor, bool ungroup);
// Sets the selection flag of every shape of the group; true when a flag changed.
bool selectGroupMembers(TEditor &editor, int groupID, bool selected);
// The distinct positive group IDs of the selected shapes, in order of first occurrence.
std::vector<int> getSelectedGroupIds(const TEditor &editor);
// The shapes of a group in document order (not owned).
std::vector<TQN_Path *> getShapesOfGroup(const TEditor &editor, int groupID);
// The bounding rectangle of a group, from the cache or computed and cached.
TRectF getGroupBounds(TEditor &editor, int groupID);

// Bring to front / Send to back: the selected shapes (stitching holes aside; a selected
// radial-repeat member moves its whole repeat) move to the end / the start of the list.
void actOrder_BringToFrontExecute(TEditor &editor);
void actOrder_SendToBackExecute(TEditor &editor);

}  // namespace quillon
