#include "edit/path_objects.h"

#include <algorithm>
#include <cmath>

#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/shape_pieces.h"
#include "platform/input.h"
#include "platform/number_text.h"
#include "platform/path_data.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/throttle.h"
#include "shell/undo.h"
#include "edit/move_shapes.h"
#include "tools/dragging.h"
#include "tools/draw_tools.h"

namespace quillon {

namespace {

// Two chain ends meet when they lie less than this apart (mm).
constexpr float kJoinDistance = 0.2f;

std::string pointText(TPointF p) { return formatFixed(p.X, 4) + ',' + formatFixed(p.Y, 4); }
std::string moveText(TPointF p) { return 'M' + pointText(p) + ' '; }
std::string curveText(const TQN_Path &bezier) {
  return 'C' + pointText(bezier.FBezierCp1) + ' ' + pointText(bezier.FBezierCp2) + ' ' + pointText(bezier.FEndPt) +
         ' ';
}

bool isRoundEllipse(const TQN_Path &shape) {
  return shape.isKind(TShapeKind::Ellipse) && std::fabs(shape.FWidth - shape.FHeight) <= 0.01f;
}

// The four quarter Beziers of a circle, clockwise on screen from its left point.
std::vector<std::unique_ptr<TQN_Path>> circleQuarterBeziers(const TQN_Path &circle) {
  std::vector<std::unique_ptr<TQN_Path>> quarters;
  const TPointF radius{circle.FWidth / 2.0f, circle.FHeight / 2.0f};
  TPointF start{circle.FCenter.X - radius.X, circle.FCenter.Y};
  for (int i = 0; i < 4; ++i) {
    const TPointF end = rotatePointWithMatrix(start, 90.0f, circle.FCenter);
    auto quarter = std::make_unique<TQN_Path>(circle.FPalletIndex, circle.FColor, circle.FThickness, circle.FDash, -1);
    quarter->drawArcPath(circle.FCenter, radius, start, end, 90.0f);
    quarter->convertArcToBezier();
    quarters.push_back(std::move(quarter));
    start = end;
  }
  return quarters;
}

// The Bezier pieces an ARC or a circle is written as; none for other kinds.
std::vector<std::unique_ptr<TQN_Path>> bezierPiecesOf(const TQN_Path &shape) {
  if (shape.isKind(TShapeKind::Arc)) return arcToBezierPieces(shape);
  if (isRoundEllipse(shape)) return circleQuarterBeziers(shape);
  return {};
}

// LINE, BEZIER or ARC: the kinds a chain is made of. Dimension lines take no part.
bool isChainable(const TQN_Path &shape) {
  return (shape.isKind(TShapeKind::Line) || shape.isKind(TShapeKind::Bezier) || shape.isKind(TShapeKind::Arc)) &&
         !shape.FIsDimensionLine;
}

bool contains(const std::vector<TQN_Path *> &list, const TQN_Path *shape) {
  return std::find(list.begin(), list.end(), shape) != list.end();
}

// Walks back from `current` to the first shape of its chain within `list`, over shapes
// of the same stroke not yet visited; a shape met the wrong way round is reversed.
TQN_Path *findChainStartForPath(TQN_Path *current, const std::vector<TQN_Path *> &list,
                                std::vector<TQN_Path *> &visited) {
  while (isChainable(*current)) {
    TQN_Path *before = nullptr;
    for (TQN_Path *x : list) {
      if (!isChainable(*x) || contains(visited, x) || !hasSameStroke(*x, *current)) continue;
      if (calcDistance(x->FStartPt, current->FStartPt) < kJoinDistance ||
          calcDistance(x->FEndPt, current->FStartPt) < kJoinDistance) {
        before = x;
        break;
      }
    }
    if (!before) break;
    if (calcDistance(before->FEndPt, current->FStartPt) > calcDistance(before->FStartPt, current->FStartPt))
      before->reversePath();
    visited.push_back(before);
    current = before;
  }
  return current;
}

// The shape of `list` that goes on from the end of `current` (reversed when it meets it
// with its end), or none. The stroke is not compared here.
TQN_Path *findNextForPath(const TQN_Path *current, const std::vector<TQN_Path *> &list) {
  if (!isChainable(*current)) return nullptr;
  for (TQN_Path *x : list) {
    if (x == current || !isChainable(*x)) continue;
    const float toStart = calcDistance(x->FStartPt, current->FEndPt);
    const float toEnd = calcDistance(x->FEndPt, current->FEndPt);
    if (toStart < kJoinDistance || toEnd < kJoinDistance) {
      if (toStart > toEnd) x->reversePath();
      return x;
    }
  }
  return nullptr;
}

// The selection split into the lists whose shapes may chain: one per group, in the order
// of the document's groups, then the ungrouped shapes.
std::vector<std::vector<TQN_Path *>> chainLists(const TEditor &editor, std::vector<TQN_Path *> shapes) {
  const TShapeList &doc = editor.doc().PathList();
  std::vector<std::vector<TQN_Path *>> lists;
  for (int group : getGroupIDs(std::vector<TQN_Path *>(doc.begin(), doc.end()))) {
    std::vector<TQN_Path *> members;
    std::erase_if(shapes, [&](TQN_Path *s) {
      if (s->FGroupID != group) return false;
      members.push_back(s);
      return true;
    });
    if (!members.empty()) lists.push_back(std::move(members));
  }
  lists.push_back(std::move(shapes));
  return lists;
}

// A new path object (current pen, new ID) with the outline of the joined sub-paths.
std::string joinSubPaths(const std::vector<std::string> &subPaths) {
  std::string text;
  for (const std::string &sub : subPaths) {
    if (!text.empty()) text += ' ';
    text += sub;
  }
  return text;
}

std::unique_ptr<TQN_Path> newPathObject(TEditor &editor, const std::string &text, bool moveToOrigin) {
  std::unique_ptr<TQN_Path> object(newShapeWithCurrentPen(editor));
  object->setData(TPathData::fromText(text));
  object->FShapeType = TShapeKind::Other;
  object->cleanPathData();
  object->resetBoundary();
  const TRectF box = object->getBoundary(true);
  if (moveToOrigin) translateShape(editor, *object, {-box.Left, -box.Top}, false);
  return object;
}

std::unique_ptr<TQN_Path> convertSelection(TEditor &editor, bool keepSources) {
  if (isThrottled(editor, QStringLiteral("F9"), 400)) return nullptr;
  std::vector<TQN_Path *> shapes = getSelectedPaths(editor, false, true);
  if (shapes.empty()) return nullptr;
  deselectAll(editor);
  std::unique_ptr<TQN_Path> object = convertSelectionToPathObject(editor, shapes, false, true);
  if (!object) return nullptr;

  if (!keepSources) {
    std::vector<int> radialRepeats;
    std::vector<TQN_Path *> plain;
    for (TQN_Path *s : shapes) {
      if (s->FMandalaID == 0)
        plain.push_back(s);
      else if (std::find(radialRepeats.begin(), radialRepeats.end(), s->FMandalaID) == radialRepeats.end())
        radialRepeats.push_back(s->FMandalaID);
    }
    editor.doc().remove(plain);
    for (int id : radialRepeats) deleteMandalaMembers(editor, id);
  }
  object->resetBoundary();
  object->getBoundary(true);
  // Radial copies of the new object are placed here once the radial-repeat tool exists;
  // until then it joins the document as it is.
  object->SetSelected(true);
  return object;
}

void finishConversion(TEditor &editor, std::unique_ptr<TQN_Path> object) {
  if (!object) return;
  editor.doc().add(std::move(object), editor.FActiveLayer);
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L3331"));
}

}  // namespace

std::string shapeToPathString(const TQN_Path &shape, bool continuing, bool closeCircle) {
  if (shape.isKind(TShapeKind::Line))
    return (continuing ? std::string() : moveText(shape.FStartPt)) + 'L' + pointText(shape.FEndPt) + ' ';
  if (shape.isKind(TShapeKind::Bezier)) return (continuing ? std::string() : moveText(shape.FStartPt)) + curveText(shape);

  const std::vector<std::unique_ptr<TQN_Path>> pieces = bezierPiecesOf(shape);
  if (pieces.empty()) return shape.Data().toText();
  std::string text = continuing ? std::string() : moveText(pieces.front()->FStartPt);
  for (const auto &piece : pieces) text += curveText(*piece);
  if (closeCircle && !shape.isKind(TShapeKind::Arc)) text += "z ";
  return text;
}

std::string chainedPathText(const TEditor &editor, std::vector<TQN_Path *> &shapes, bool closeNear) {
  std::vector<std::vector<TQN_Path *>> lists = chainLists(editor, shapes);
  shapes.clear();

  std::vector<std::string> subPaths;
  for (std::vector<TQN_Path *> &list : lists) {
    TQN_Path *previous = nullptr, *next = nullptr;
    std::string chain;
    TPointF chainStart;
    while (!list.empty()) {
      TQN_Path *current = next;
      if (!current) {
        current = list.front();
        if (current->isKind(TShapeKind::Other) || current->FIsDimensionLine) {
          list.erase(list.begin());
          continue;
        }
        std::vector<TQN_Path *> visited{current};
        current = findChainStartForPath(current, list, visited);
        chainStart = current->FStartPt;
      }
      next = findNextForPath(current, list);

      if ((!previous && !next) || !(isChainable(*current) || current->isKind(TShapeKind::Ellipse))) {
        subPaths.push_back(shapeToPathString(*current, false, closeNear));
      } else {
        chain += shapeToPathString(*current, previous != nullptr, closeNear);
        if (next) {
          previous = current;
        } else {
          if (closeNear && calcDistance(chainStart, current->FEndPt) < kJoinDistance) chain += 'z';
          subPaths.push_back(std::move(chain));
          chain.clear();
          previous = nullptr;
        }
      }
      list.erase(std::find(list.begin(), list.end(), current));
      shapes.push_back(current);
    }
  }
  return joinSubPaths(subPaths);
}

std::unique_ptr<TQN_Path> convertSelectionToPathObject(TEditor &editor, std::vector<TQN_Path *> &shapes,
                                                       bool moveToOrigin, bool closeNear) {
  const std::string text = chainedPathText(editor, shapes, closeNear);
  if (text.empty()) return nullptr;
  return newPathObject(editor, text, moveToOrigin);
}

std::unique_ptr<TQN_Path> shapesToPathObject(TEditor &editor, const std::vector<TQN_Path *> &shapes,
                                             bool moveToOrigin) {
  std::vector<std::string> subPaths;
  for (const TQN_Path *shape : shapes) {
    if (shape->isKind(TShapeKind::Bezier)) {
      subPaths.push_back(moveText(shape->FStartPt) + curveText(*shape));
      continue;
    }
    const std::vector<std::unique_ptr<TQN_Path>> pieces = bezierPiecesOf(*shape);
    if (pieces.empty()) subPaths.push_back(shape->Data().toText());
    for (const auto &piece : pieces) subPaths.push_back(moveText(piece->FStartPt) + curveText(*piece));
  }
  return newPathObject(editor, joinSubPaths(subPaths), moveToOrigin);
}

void actConvertToPathExecute(TEditor &editor) {
  finishConversion(editor, convertSelection(editor, hasShift(editor.pointer().FLastShiftState)));
}

void actConvertACopyToPathExecute(TEditor &editor) { finishConversion(editor, convertSelection(editor, true)); }

void pathDataToShapes(TEditor &editor, const TPathData &data, std::vector<std::unique_ptr<TQN_Path>> &out,
                      int groupId, float scale) {
  const auto scaled = [scale](TPointF p) { return TPointF(p.X * scale, p.Y * scale); };
  const auto append = [&](auto draw) {
    std::unique_ptr<TQN_Path> shape(newShapeWithCurrentPen(editor));
    draw(*shape);
    shape->FGroupID = groupId;
    out.push_back(std::move(shape));
  };
  TPointF current, subPathStart;
  for (int i = 0; i < data.Count(); ++i) {
    const TPathPoint &e = data[i];
    switch (e.Kind) {
      case TPathPointKind::MoveTo:
        current = subPathStart = scaled(e.Point);
        break;
      case TPathPointKind::LineTo: {
        const TPointF to = scaled(e.Point);
        append([&](TQN_Path &s) { s.drawLinePath(current, to); });
        current = to;
        break;
      }
      case TPathPointKind::CurveTo: {
        if (i + 2 >= data.Count()) return;  // a cubic step needs its three points
        const TPointF cp1 = scaled(e.Point), cp2 = scaled(data[i + 1].Point), to = scaled(data[i + 2].Point);
        append([&](TQN_Path &s) { s.drawBezierPath(current, cp1, cp2, to); });
        current = to;
        i += 2;
        break;
      }
      case TPathPointKind::Close:
        // The closing side is a shape of its own unless the sub-path already ends on its start.
        if (!current.exactlyEquals(subPathStart)) {
          append([&](TQN_Path &s) { s.drawLinePath(current, subPathStart); });
          current = subPathStart;
        }
        break;
    }
  }
}

void actSeparateTemplateIntoShapesExecute(TEditor &editor) {
  if (isThrottled(editor, QStringLiteral("F8"), 400)) return;
  std::vector<int> handledRepeats;
  int separated = 0;
  for (TQN_Path *shape : getSelectedPaths(editor, true, true)) {
    // A whole radial repeat may have gone with an earlier object.
    if (!editor.doc().contains(shape) || !shape->isKind(TShapeKind::Other)) continue;
    std::vector<std::unique_ptr<TQN_Path>> made;
    const int repeat = shape->FMandalaID;
    if (repeat < 1) {
      const std::unique_ptr<TQN_Path> object = editor.doc().take(shape);
      pathDataToShapes(editor, object->Data(), made, 0, 1.0f);
    } else if (std::find(handledRepeats.begin(), handledRepeats.end(), repeat) != handledRepeats.end()) {
      continue;
    } else {
      pathDataToShapes(editor, shape->Data(), made, 0, 1.0f);
      handledRepeats.push_back(repeat);
      deleteMandalaMembers(editor, repeat);
    }
    // In radial-repeat mode the new shapes become a new repeat once the radial-repeat
    // tool exists; until then they join the document as they are.
    for (std::unique_ptr<TQN_Path> &s : made) {
      s->SetSelected(true);
      editor.calcIntersectionsOfShape(editor.doc().add(std::move(s), editor.FActiveLayer));
    }
    ++separated;
  }
  if (separated == 0) return;
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L6888"));
}

void actConvertArcToBezierExecute(TEditor &editor) {
  int converted = 0;
  for (TQN_Path *arc : getSelectedPaths(editor, true, true)) {
    if (!arc->isKind(TShapeKind::Arc)) continue;
    ++converted;
    if (!(std::fabs(arc->FSweepAngle) > 90.0f)) {
      arc->convertArcToBezier();
      continue;
    }
    removeIntersectionsOf(editor.doc().FIntersections, arc);
    std::vector<std::unique_ptr<TQN_Path>> pieces;
    for (TQN_Path *piece : arc->splitArc()) pieces.emplace_back(piece);
    arc->convertArcToBezier();
    editor.calcIntersectionsOfShape(arc);
    // The pieces are copies of the arc: each gets an ID and a GUID of its own, and stays
    // on the arc's layer.
    for (std::unique_ptr<TQN_Path> &piece : pieces) {
      piece->updateId(editor.doc().PathList().getNextID());
      piece->FGUID = TGUID::newGuid();
      piece->convertArcToBezier();
      const int layer = arc->FLayerID;
      editor.calcIntersectionsOfShape(editor.doc().add(std::move(piece), layer));
    }
  }
  if (converted == 0) return;
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L3268"));
}

}  // namespace quillon
