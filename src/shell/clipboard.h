#pragma once
// Copy, Cut and Paste of shapes through the shape clipboard file.
//
// Every running window is a process of its own, so shapes are not exchanged through the
// operating system's clipboard: Copy and Cut write the copied shapes to
// "copied_shapes.json" in the per-user data folder, and Paste reads that file again every
// time, whichever window wrote it. The file is one JSON line
//   {"meta":{"file_type":"Quillon_Copied_Shapes","version":"3.7.9"},"shapes":[...]}
// in UTF-8 with a byte-order mark, ended by CR LF, written through a temporary file that
// is renamed over the old one. No lock is taken: the last window to copy or cut wins.
//
// Inside a window the copies are held in the paste buffer (TCopyBuffer), which the
// commands take as a parameter. When the keyboard focus is in a text field the window
// routes Copy, Cut and Paste to that field instead and does not call these.
#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "model/shape.h"
#include "platform/geometry.h"

namespace quillon {

class TEditor;

inline constexpr const char *kShapeClipboardFileName = "copied_shapes.json";
inline constexpr const char *kShapeClipboardFileType = "Quillon_Copied_Shapes";

// The paste buffer of one window.
struct TCopyBuffer {
  // The buffered shapes, in buffer order. They keep the IDs, group IDs, layers, links and
  // radial-repeat fields they had when copied (or that the file gives).
  std::vector<std::unique_ptr<TQN_Path>> Shapes;

  // The buffered shapes, not owned by the list.
  std::vector<TQN_Path *> items() const;
  // Frees the buffered shapes.
  void clear() { Shapes.clear(); }
};

// What a paste placed.
struct TPasteResult {
  // The new document shapes in the order they were pasted.
  std::vector<TQN_Path *> Pasted;
  // When a pasted shape carried a radial-repeat ID, its moved repeat centre: the window's
  // new current radial-repeat centre. (The shape itself is pasted as a plain shape.)
  std::optional<TPointF> LastMandalaCenter;
};

// The full path of the clipboard file: the data folder joined with its name.
QString shapeClipboardPath(const TEditor &editor);

// Writes the buffer to the clipboard file, replacing it. Throws std::runtime_error when
// the file cannot be written; the old file is then left as it was.
void writeShapeClipboard(const TEditor &editor, const TCopyBuffer &buffer);

// Empties the buffer and fills it from the clipboard file. A text that is not JSON, a root
// that is not an object, or a root without a "shapes" array leaves the buffer empty
// silently ("meta" is not read). Throws std::runtime_error, with the buffer empty, when
// the file is missing or unreadable, or when an element of "shapes" is not a shape object
// the shape reader accepts (a bad iron reference "pr" included).
//
// An element with an iron reference "pr" ({"bt": blade letter, "p": pitch}) gets the iron
// ironOfReference finds among the window's iron groups (stitching/iron_reference.h): the
// same iron a document with that reference gets, an unknown iron included. Each shape
// starts with no line type, the current pen and ID -1 before the reader fills it.
void readShapeClipboard(TEditor &editor, TCopyBuffer &buffer);

// Places the buffer into the document: every shape a copy (the buffer keeps its shapes)
// with a new ID, selected, on the active layer; group IDs are mapped to new IDs (one new
// ID per old group within this paste, 0 stays 0); sewing links are remapped among the
// pasted holes (a link to a hole that was not pasted becomes -1); a radial-repeat member
// is pasted as a plain shape. Every shape is moved by `offset`, except that with
// FUseMousePasteMode the offset is `pointer` (the pointer position in drawing
// coordinates, millimetres) minus the centre of the buffer's bounding rectangle, so the
// shapes are centred on the pointer. With `withIntersections` each pasted shape's
// intersections are recorded. Ends with one undo snapshot. Nothing happens when the
// buffer is empty.
TPasteResult pasteShapes(TEditor &editor, TCopyBuffer &buffer, TPointF offset, bool withIntersections,
                         TPointF pointer);

// Copy: with something selected, the buffer is refilled with copies of every selected
// shape (any layer, document order) and written to the clipboard file. The document does
// not change. A write failure is shown in an error box.
void actCopyToClipboardExecute(TEditor &editor, TCopyBuffer &buffer);

// Cut: with something selected, refills the buffer with the selected shapes and removes
// them with their intersection records (any layer; a selected radial-repeat member takes
// its whole repeat out and buffers one member), writes the clipboard file and takes one
// undo snapshot. The sewing links of the remaining holes are left as they are.
void actCutToClipboardExecute(TEditor &editor, TCopyBuffer &buffer);

// Paste: reads the clipboard file into the buffer and pastes it at the pointer (drawing
// coordinates) without intersections, then hands the pasted, selected shapes to the drag
// code (FIsShapeDragging and FShow_intersections set), whose drop records their
// intersections. A missing or unreadable file or a bad shape object is shown in an error
// box; a file that is not a clipboard file pastes nothing silently. Returns true when
// shapes were pasted and handed to the drag.
bool actPasteFromClipboardExecute(TEditor &editor, TCopyBuffer &buffer, TPointF pointer);

// Move or copy by a set distance (after its dialog closed with OK): the selection is cut,
// or with `copy` copied, and pasted again moved by `offset` (millimetres) with its
// intersections, all as one undo step. With nothing selected the buffer's present shapes
// are pasted at that distance.
void moveOrCopyBySetDistance(TEditor &editor, TCopyBuffer &buffer, bool copy, TPointF offset);

}  // namespace quillon
