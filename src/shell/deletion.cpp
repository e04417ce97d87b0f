#include "shell/deletion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include <QString>

#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/document.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/selection.h"
#include "shell/undo.h"

namespace quillon {

namespace {

// A look-up key for shapes that may be identical (see TQN_Path::isIdentical): identical
// shapes always get equal exact parts, and their coarse parts differ by at most one.
// The exact part holds the kind, the layer when it counts, and the values compared
// exactly or after rounding to 0.01 (two ends that may swap in sorted order); the coarse
// part holds the one point compared within the canvas' relative tolerance. No key when
// the shape is identical to no shape: a kind that never is, or a compared value that is
// not a number.
struct TDuplicateKey {
  std::string Exact;
  bool HasCoarse = false;
  std::int64_t CoarseX = 0, CoarseY = 0;
};

// The coordinate's place among all floats, in steps of 64 neighbours: two coordinates
// within the relative tolerance (at most about 42 floats apart) land in one step or in
// two next to each other.
std::int64_t coarseCoordinate(float v) {
  const auto bits = std::bit_cast<std::uint32_t>(v + 0.0f);
  const std::int64_t ordered =
      (bits & 0x80000000u) ? -static_cast<std::int64_t>(bits & 0x7FFFFFFFu) : static_cast<std::int64_t>(bits);
  return ordered >= 0 ? ordered / 64 : -((-ordered + 63) / 64);
}

std::optional<TDuplicateKey> duplicateKey(TQN_Path &s, bool sameLayer) {
  TDuplicateKey key;
  bool comparable = true;
  const auto put = [&](float v) {
    if (std::isnan(v)) comparable = false;
    const float normal = v + 0.0f;  // -0 and +0 compare equal
    key.Exact.append(reinterpret_cast<const char *>(&normal), sizeof normal);
  };
  const auto putRounded = [&](TPointF p) {
    put(round2(p.X));
    put(round2(p.Y));
  };
  // The two ends in either order, rounded.
  const auto putEnds = [&] {
    TPointF a{round2(s.FStartPt.X) + 0.0f, round2(s.FStartPt.Y) + 0.0f};
    TPointF b{round2(s.FEndPt.X) + 0.0f, round2(s.FEndPt.Y) + 0.0f};
    if (std::make_pair(b.X, b.Y) < std::make_pair(a.X, a.Y)) std::swap(a, b);
    for (const float v : {a.X, a.Y, b.X, b.Y}) put(v);
  };
  const auto putCoarse = [&](TPointF p) {
    if (std::isnan(p.X) || std::isnan(p.Y)) comparable = false;
    key.HasCoarse = true;
    key.CoarseX = coarseCoordinate(p.X);
    key.CoarseY = coarseCoordinate(p.Y);
  };

  key.Exact.push_back(static_cast<char>(s.FShapeType));
  const int layer = sameLayer ? s.FLayerID : 0;
  key.Exact.append(reinterpret_cast<const char *>(&layer), sizeof layer);
  switch (s.FShapeType) {
    case TShapeKind::Line: putEnds(); break;
    case TShapeKind::Dot: putCoarse(s.FCenter); break;
    case TShapeKind::Ellipse:
      putCoarse(s.FCenter);
      for (const float v : {s.FWidth, s.FHeight, s.FRotation}) put(v);
      break;
    case TShapeKind::Hole: putCoarse(s.FStartPt); break;
    case TShapeKind::Arc:
      putEnds();
      putRounded(s.FCenter);
      put(s.FWidth);
      put(s.FHeight);
      break;
    case TShapeKind::Bezier: putEnds(); break;  // the control points are compared one by one
    case TShapeKind::Text:
    case TShapeKind::Other: key.Exact += s.Data().toText(); break;
    default: comparable = false; break;
  }
  if (!comparable) return std::nullopt;
  return key;
}

// The shapes of `items` that duplicate an earlier one, each listed once, in order. Each
// shape is compared only with the earlier shapes whose keys could match its own.
template <typename OnDuplicate>
void findDuplicates(const std::vector<TQN_Path *> &items, bool sameLayer, OnDuplicate onDuplicate) {
  const auto bucketName = [](const TDuplicateKey &k, std::int64_t dx, std::int64_t dy) {
    std::string name = k.Exact;
    if (k.HasCoarse) {
      const std::int64_t x = k.CoarseX + dx, y = k.CoarseY + dy;
      name.append(reinterpret_cast<const char *>(&x), sizeof x);
      name.append(reinterpret_cast<const char *>(&y), sizeof y);
    }
    return name;
  };
  std::unordered_map<std::string, std::vector<TQN_Path *>> earlier;
  earlier.reserve(items.size());
  for (TQN_Path *b : items) {
    const std::optional<TDuplicateKey> key = duplicateKey(*b, sameLayer);
    if (!key) continue;  // identical to no shape
    const int reach = key->HasCoarse ? 1 : 0;
    bool duplicate = false;
    for (std::int64_t dx = -reach; dx <= reach && !duplicate; ++dx) {
      for (std::int64_t dy = -reach; dy <= reach && !duplicate; ++dy) {
        const auto it = earlier.find(bucketName(*key, dx, dy));
        if (it == earlier.end()) continue;
        for (TQN_Path *a : it->second) {
          if (a->isIdentical(*b)) {
            duplicate = true;
            break;
          }
        }
      }
    }
    if (duplicate) onDuplicate(b);
    earlier[bucketName(*key, 0, 0)].push_back(b);
  }
}

}  // namespace

void deleteSelectedShapes(TEditor &editor) {
  finishTextEditing(editor);
  editor.pointer().FFirstSelection = nullptr;
  TDocument &document = editor.doc();

  std::set<int> repeats;
  for (const TQN_Path *s : document.PathList())
    if (s->FSelected && s->FMandalaID >= 1) repeats.insert(s->FMandalaID);

  std::vector<TQN_Path *> listed;
  for (TQN_Path *s : document.PathList()) {
    if (s->FLayerID != editor.FActiveLayer) continue;
    if (!s->FSelected && !(s->FMandalaID >= 1 && repeats.count(s->FMandalaID))) continue;
    listed.push_back(s);
  }
  if (listed.empty()) {
    editor.ui().refreshCanvas();
    return;
  }

  // The edited text leaves the document but lives on in the text box.
  TQN_Path *typed = editor.tool().FEditingText.get();
  if (typed && std::find(listed.begin(), listed.end(), typed) != listed.end()) {
    std::unique_ptr<TQN_Path> text = document.take(typed);
    editor.tool().FEditingText.adopt(std::move(text));
    listed.erase(std::find(listed.begin(), listed.end(), typed));
  }
  document.remove(listed);
  repairStitchLinks(document.PathList());
  takeUndoSnapshot(editor, QStringLiteral("L16679"));
  editor.ui().refreshCanvas();
}

void actDeleteSelectedShapesExecute(TEditor &editor) {
  deleteSelectedShapes(editor);
  editor.ui().refreshCanvas();
}

int deleteDuplicateShapes(TEditor &editor, bool countOnly) {
  TShapeList &doc = editor.doc().PathList();
  std::vector<TQN_Path *> listed;
  std::vector<int> repeatIds;
  findDuplicates(doc.Items(), true, [&](TQN_Path *dup) {
    if (dup->FMandalaID == 0)
      listed.push_back(dup);
    else if (std::find(repeatIds.begin(), repeatIds.end(), dup->FMandalaID) == repeatIds.end())
      repeatIds.push_back(dup->FMandalaID);
  });
  const int result = static_cast<int>(listed.size() + repeatIds.size());
  if (countOnly) return result;

  editor.doc().remove(listed);
  for (int id : repeatIds) deleteMandalaMembers(editor, id);
  if (result > 0) {
    repairStitchLinks(editor.doc().PathList());
    editor.ui().refreshCanvas();
    takeUndoSnapshot(editor, QStringLiteral("L22548"));
  }
  return result;
}

int removeDuplicateShapes(std::vector<TQN_Path *> &shapes) {
  std::vector<TQN_Path *> listed;
  findDuplicates(shapes, false, [&](TQN_Path *dup) { listed.push_back(dup); });
  int removed = 0;
  for (TQN_Path *s : listed) {
    const auto it = std::find(shapes.begin(), shapes.end(), s);
    if (it == shapes.end()) continue;
    shapes.erase(it);
    delete s;
    ++removed;
  }
  return removed;
}

void actDeleteDuplicatesExecute(TEditor &editor) {
  const int n = deleteDuplicateShapes(editor, false);
  const QString key = QStringLiteral("duplicates_deleted");
  editor.ui().informationBox(key, editor.tr(key) + QLatin1Char(' ') + QString::number(n));
}

void deleteMandalaMembers(TEditor &editor, int radialRepeatID) {
  std::vector<TQN_Path *> members;
  for (TQN_Path *s : editor.doc().PathList())
    if (s->FMandalaID == radialRepeatID) members.push_back(s);
  editor.doc().remove(members);
}

void clearDocumentShapes(TEditor &editor) {
  // Everyone lets go of the document's shapes; a text being typed outside the document
  // stays the text being typed.
  editor.doc().clear();
  editor.tool().Clicked_Points.clear();
}

void btnClearAllClick(TEditor &editor) {
  const QString key = QStringLiteral("OK2RemoveAll");
  if (!editor.ui().confirmYesNo(key, editor.tr(key))) return;
  clearDocumentShapes(editor);
  takeUndoSnapshot(editor, QStringLiteral("L11717"));
  editor.ui().refreshCanvas();
}

void discardTempDistMarkLine(TEditor &editor) {
  TQN_Path *line = editor.tool().FTempDistMarkLine;
  if (!line) return;  // a document rebuilt since (undo, clearing) let go of it already
  editor.doc().remove(line);
  editor.tool().FTempDistMarkLine = nullptr;
  editor.ui().refreshCanvas();
}

TQN_Path *findShapeById(const TShapeList &shapes, int id) {
  for (TQN_Path *s : shapes)
    if (s->ID() == id) return s;
  return nullptr;
}

std::vector<TIntersection *> getIntersectionsAt(const TEditor &editor, TPointF point) {
  std::vector<TIntersection *> found;
  for (TIntersection *ict : editor.doc().FIntersections)
    if (isSamePoint(ict->FPoint, point, 0.0f)) found.push_back(ict);
  return found;
}

int countShapesOnLayer(const TEditor &editor, int layer) {
  return static_cast<int>(std::count_if(editor.doc().PathList().begin(), editor.doc().PathList().end(),
                                        [layer](const TQN_Path *s) { return s->FLayerID == layer; }));
}

int countIntersectionsAtOtherEnd(const TEditor &editor, const TQN_Path &line, TPointF point, bool &atStart) {
  atStart = isSamePoint(line.FStartPt, point, 0.0f);
  const TPointF farEnd = atStart ? line.FEndPt : line.FStartPt;
  return static_cast<int>(getIntersectionsAt(editor, farEnd).size());
}

}  // namespace quillon
