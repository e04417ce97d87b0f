#include "shell/clipboard.h"

#include "model/shape_bounds.h"

#include <QByteArray>
#include <QDir>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

#include "model/intersection.h"
#include "model/shape_list.h"
#include "platform/file_io.h"
#include "platform/json_text.h"
#include "shell/editor.h"
#include "shell/deletion.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "shell/version.h"
#include "stitching/iron_reference.h"

namespace quillon {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The standard error box: the failure's own message, with no phrase key.
void showError(TEditor &editor, const std::exception &e) {
  editor.ui().messageBox(QString(), QString::fromStdString(e.what()));
}

// Moves a shape of any kind by the offset: its outline and every point that places it
// (ends, centre, Bezier handles, a hole's thread points; a radial-repeat member's repeat
// centre). A LINE's stored line parameters follow; its free-angle flag stays.
void moveShapeBy(TQN_Path &shape, TPointF offset) {
  shape.Data().Translate(offset.X, offset.Y);
  shape.FStartPt += offset;
  shape.FEndPt += offset;
  shape.FCenter += offset;
  shape.FBezierCp1 += offset;
  shape.FBezierCp2 += offset;
  shape.FStitchIn += offset;
  shape.FStitchOut += offset;
  if (shape.FMandalaID > 0) shape.FMandalaCenter += offset;
  if (shape.isKind(TShapeKind::Line)) shape.calcLineParam();
  shape.resetBoundary();
}

// Writes the buffer; a failure is shown, not raised.
void writeShowingErrors(TEditor &editor, const TCopyBuffer &buffer) {
  try {
    writeShapeClipboard(editor, buffer);
  } catch (const std::exception &e) {
    showError(editor, e);
  }
}

}  // namespace

std::vector<TQN_Path *> TCopyBuffer::items() const {
  std::vector<TQN_Path *> list;
  list.reserve(Shapes.size());
  for (const auto &s : Shapes) list.push_back(s.get());
  return list;
}

QString shapeClipboardPath(const TEditor &editor) {
  return QDir(editor.FAppDataPath).filePath(QString::fromLatin1(kShapeClipboardFileName));
}

void writeShapeClipboard(const TEditor &editor, const TCopyBuffer &buffer) {
  TJson root = TJson::object();
  root["meta"] = TJson::object();
  root["meta"]["file_type"] = kShapeClipboardFileType;
  root["meta"]["version"] = kQuillonVersion;
  TJson shapes = TJson::array();
  for (const auto &s : buffer.Shapes) shapes.push_back(s->toJson());
  root["shapes"] = std::move(shapes);

  const std::string text = writeJsonText(root);
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(kUtf8Bom.size() + text.size() + 2));
  bytes.append(kUtf8Bom.data(), static_cast<qsizetype>(kUtf8Bom.size()));
  bytes.append(text.data(), static_cast<qsizetype>(text.size()));
  bytes.append("\r\n");
  writeFileAtomically(shapeClipboardPath(editor), bytes);
}

void readShapeClipboard(TEditor &editor, TCopyBuffer &buffer) {
  buffer.clear();
  const QByteArray bytes = readWholeFile(shapeClipboardPath(editor));  // throws when missing

  TJson root;
  try {
    root = parseJsonText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const std::runtime_error &) {
    return;  // not JSON: nothing to paste
  }
  if (!root.is_object()) return;
  const auto shapes = root.find("shapes");
  if (shapes == root.end() || !shapes->is_array()) return;

  // All or nothing: the shapes join the buffer only when every element was read.
  std::vector<std::unique_ptr<TQN_Path>> read;
  for (const TJson &element : *shapes) {
    TPrickingIron *iron = nullptr;
    if (element.is_object())
      if (const auto pr = element.find("pr"); pr != element.end())
        iron = ironOfReference(editor.FPrickingIronGroups, *pr);
    auto shape = std::make_unique<TQN_Path>(-1, editor.pen().FCurrentColor, editor.pen().FCurrentThickness,
                                            editor.pen().FCurrentDash, -1);
    shape->loadJson(element, iron);  // throws on a bad shape object
    read.push_back(std::move(shape));
  }
  buffer.Shapes = std::move(read);
}

TPasteResult pasteShapes(TEditor &editor, TCopyBuffer &buffer, TPointF offset, bool withIntersections,
                         TPointF pointer) {
  TPasteResult result;
  if (buffer.Shapes.empty()) return result;
  TShapeList &doc = editor.doc().PathList();

  deselectAll(editor);
  editor.FCommandHooks.SwitchToSelectTool(editor);
  if (editor.display().FUseMousePasteMode) offset = pointer - getShapesCenter(buffer.items());

  std::map<int, int> groupMap{{0, 0}};
  std::unordered_map<int, int> holeMap;
  std::vector<TQN_Path *> holes;
  for (const auto &s : buffer.Shapes) {
    std::unique_ptr<TQN_Path> copy(s->createCopy());
    TQN_Path *c = copy.get();

    auto group = groupMap.find(c->FGroupID);
    if (group == groupMap.end()) group = groupMap.emplace(c->FGroupID, doc.getNextID()).first;
    c->FGroupID = group->second;

    moveShapeBy(*c, offset);
    if (c->FMandalaID > 0) result.LastMandalaCenter = c->FMandalaCenter;

    c->updateId(doc.getNextID());
    if (c->isKind(TShapeKind::Hole)) {
      holeMap[s->ID()] = c->ID();
      holes.push_back(c);
    }

    c->SetSelected(true);
    editor.doc().add(std::move(copy), editor.FActiveLayer);
    result.Pasted.push_back(c);

    // Outside radial-repeat mode a member of a repeat arrives as a plain shape.
    if (c->FMandalaID > 0) c->FMandalaID = 0;

    if (withIntersections) editor.calcIntersectionsOfShape(c);
  }

  auto remap = [&holeMap](int id) {
    const auto it = holeMap.find(id);
    return it == holeMap.end() ? -1 : it->second;
  };
  for (TQN_Path *h : holes) {
    h->FPrevStitchID = remap(h->FPrevStitchID);
    h->FNextStitchID = remap(h->FNextStitchID);
  }

  doc.countNumOfAlwaysShowStitchSimulator();
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L10950"));
  return result;
}

void actCopyToClipboardExecute(TEditor &editor, TCopyBuffer &buffer) {
  if (countSelected(editor, false, false) == 0) return;
  buffer.clear();
  for (const TQN_Path *s : editor.doc().PathList())
    if (s->FSelected) buffer.Shapes.emplace_back(s->createCopy());
  writeShowingErrors(editor, buffer);
}

void actCutToClipboardExecute(TEditor &editor, TCopyBuffer &buffer) {
  if (countSelected(editor, false, false) == 0) return;
  TShapeList &doc = editor.doc().PathList();
  buffer.clear();

  std::vector<TQN_Path *> listed;
  std::vector<int> repeatIds;
  for (TQN_Path *s : doc) {
    if (!s->FSelected) continue;
    if (s->FMandalaID != 0) {
      if (std::find(repeatIds.begin(), repeatIds.end(), s->FMandalaID) == repeatIds.end())
        repeatIds.push_back(s->FMandalaID);
      continue;
    }
    buffer.Shapes.emplace_back(s->createCopy());
    listed.push_back(s);
  }

  int removed = static_cast<int>(listed.size());
  invalidateGroupBounds(editor, listed);
  editor.doc().remove(listed);

  for (int id : repeatIds) {
    std::vector<TQN_Path *> members;
    for (TQN_Path *s : doc)
      if (s->FMandalaID == id) members.push_back(s);
    if (members.empty()) continue;
    buffer.Shapes.emplace_back(members.front()->createCopy());
    removed += static_cast<int>(members.size());
    deleteMandalaMembers(editor, id);
  }

  // The document has changed whether or not the file could be written, so the undo step
  // is taken in either case; a write failure is shown afterwards.
  std::optional<std::runtime_error> writeError;
  try {
    writeShapeClipboard(editor, buffer);
  } catch (const std::exception &e) {
    writeError.emplace(e.what());
  }
  if (removed > 0) {
    editor.ui().refreshCanvas();
    takeUndoSnapshot(editor, QStringLiteral("L3473"));
  }
  if (writeError) showError(editor, *writeError);
}

bool actPasteFromClipboardExecute(TEditor &editor, TCopyBuffer &buffer, TPointF pointer) {
  try {
    readShapeClipboard(editor, buffer);
  } catch (const std::exception &e) {
    showError(editor, e);
    return false;
  }
  if (buffer.Shapes.empty()) return false;
  pasteShapes(editor, buffer, TPointF(), false, pointer);

  // The pasted shapes now follow the pointer until the user drops them; the drop records
  // their intersections.
  editor.pointer().FIsShapeDragging = true;
  editor.display().FShow_intersections = true;
  return true;
}

void moveOrCopyBySetDistance(TEditor &editor, TCopyBuffer &buffer, bool copy, TPointF offset) {
  const TUndoGroup group(editor);
  if (copy)
    actCopyToClipboardExecute(editor, buffer);
  else
    actCutToClipboardExecute(editor, buffer);
  // The shapes go by the distance, not to the pointer; the paste mode comes back after.
  struct TRestorePasteMode {
    bool &Mode;
    bool Saved;
    ~TRestorePasteMode() { Mode = Saved; }
  } restore{editor.display().FUseMousePasteMode, editor.display().FUseMousePasteMode};
  editor.display().FUseMousePasteMode = false;
  editor.display().FShow_intersections = true;
  pasteShapes(editor, buffer, offset, true, TPointF());
}

}  // namespace quillon
