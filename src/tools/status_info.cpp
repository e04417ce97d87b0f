#include "tools/status_info.h"

#include <QFileInfo>

#include <cmath>
#include <set>
#include <vector>

#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/number_text.h"
#include "shell/clipboard.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/length_units.h"
#include "shell/options.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "tools/hit_test.h"
#include "shell/view_transform.h"
#include "tools/snapping.h"

namespace quillon {

namespace {

const TLengthFormatSettings &lengthFormat(const TEditor &editor) {
  static const TLengthFormatSettings millimetres;
  return editor.FOptions ? editor.FOptions->LengthFormatSettings : millimetres;
}

QString withUnit(const TEditor &editor, double mm) { return lengthWithUnit(editor, mm); }

QString hexColor(TAlphaColor c) { return QString::fromStdString(colorToHexARGB(c)); }

// " Palette=3; Color=FFFFFFFF; " without the leading blank.
QString paletteAndColor(const TQN_Path &shape) {
  return QStringLiteral("Palette=") + QString::number(shape.FPalletIndex + 1) + QStringLiteral("; Color=") +
         hexColor(shape.FColor) + QStringLiteral("; ");
}

bool hasLength(const TQN_Path &shape) {
  return shape.isKind(TShapeKind::Bezier) || shape.isKind(TShapeKind::Line) || shape.isKind(TShapeKind::Ellipse) ||
         shape.isKind(TShapeKind::Arc);
}

bool isLine(const TQN_Path *shape) { return shape && shape->isKind(TShapeKind::Line); }

// The direction of a line away from a joint at p.
TPointF awayFrom(const TQN_Path &line, TPointF p) {
  if (isSamePoint(p, line.FEndPt, 0.0f)) return line.FStartPt - line.FEndPt;
  return line.FEndPt - line.FStartPt;
}

}  // namespace

QString lengthWithUnit(const TEditor &editor, double mm) { return FormatLength(mm, lengthFormat(editor), true); }

TInfoTexts infoTextsOf(const TEditor &editor) {
  return {editor.FIDText, editor.FRangeText, editor.FLengthText, editor.FNumOfStitchesText, editor.FTotalLengthText};
}

void showInfoTexts(TEditor &editor) { editor.ui().showInfo(infoTextsOf(editor)); }

void TSelectionActions::forEach(const std::function<void(const QString &, bool)> &f) const {
  const auto put = [&](const char *name, bool value) { f(QString::fromLatin1(name), value); };
  const auto maybe = [&](const char *name, const std::optional<bool> &value) {
    if (value) put(name, *value);
  };
  put("actConvertToPath", actConvertToPath);
  put("actCountNumOfStitchingHolesOnSelectedPaths", actCountNumOfStitchingHolesOnSelectedPaths);
  put("actCopyToClipboard", actCopyToClipboard);
  put("actCutToClipboard", actCutToClipboard);
  put("actFlipHorizontally", actFlipHorizontally);
  put("actFlipVertically", actFlipVertically);
  put("actDeleteSelectedShapes", actDeleteSelectedShapes);
  put("actAlignLeft", actAlignLeft);
  put("actAlignRight", actAlignRight);
  put("actAlignTop", actAlignTop);
  put("actAlignBottom", actAlignBottom);
  put("actAlignMiddleH", actAlignMiddleH);
  put("actAlignMiddleV", actAlignMiddleV);
  put("actDeleteStitchingHolesOnSelectedPaths", actDeleteStitchingHolesOnSelectedPaths);
  put("actPasteFromClipboard", actPasteFromClipboard);
  put("actConvertArcToBezier", actConvertArcToBezier);
  put("actSeparateTemplateIntoShapes", actSeparateTemplateIntoShapes);
  put("actChangeStitchingHoleShape", actChangeStitchingHoleShape);
  put("actSelectNextStitchingHole", actSelectNextStitchingHole);
  put("actEndsStitchHere", actEndsStitchHere);
  put("actUndo", actUndo);
  put("actRedo", actRedo);
  put("btnLineSymmetry", btnLineSymmetry);
  put("actUngroup", actUngroup);
  put("actCreateGroup", actCreateGroup);
  put("actLeatherSim_RotateImage", actLeatherSim_RotateImage);
  put("actSim_ZoomIn1pct", actSim_ZoomIn1pct);
  put("actSim_ZoomIn5pct", actSim_ZoomIn5pct);
  put("actSim_ZoomOut1pct", actSim_ZoomOut1pct);
  put("actSim_ZoomOut5pct", actSim_ZoomOut5pct);
  put("actSim_ResetZoom", actSim_ResetZoom);
  put("actShowHideBeizerOffsetSupportLInes", actShowHideBeizerOffsetSupportLInes);
  put("actExtendOrTrimLines", actExtendOrTrimLines);
  put("actEditLineAngle", actEditLineAngle);
  put("actMirrorMandalaItem", actMirrorMandalaItem);
  put("actLayer_ActivateLayerOfSelectedShape", actLayer_ActivateLayerOfSelectedShape);
  maybe("actLayer_MoveSelectedShapesToTheLayerBelow", actLayer_MoveSelectedShapesToTheLayerBelow);
  maybe("actLayer_DuplicateSelectedShapesOnBelowLayer", actLayer_DuplicateSelectedShapesOnBelowLayer);
  maybe("actSimulateWithLeatherPicture", actSimulateWithLeatherPicture);
}

TSelectionActions computeSelectionActions(TEditor &editor) {
  TSelectionActions a;
  const std::vector<TQN_Path *> paths = getSelectedPaths(editor, false, false);
  editor.FSelectionCount = countSelected(editor, false, false);
  const std::size_t n = paths.size();

  a.actConvertToPath = a.actCountNumOfStitchingHolesOnSelectedPaths = a.actCopyToClipboard = a.actCutToClipboard =
      a.actFlipHorizontally = a.actFlipVertically = a.actDeleteSelectedShapes = n > 0;
  a.actAlignLeft = a.actAlignRight = a.actAlignTop = a.actAlignBottom = a.actAlignMiddleH = a.actAlignMiddleV = n > 1;
  a.actDeleteStitchingHolesOnSelectedPaths = true;
  // Paste reads the clipboard file, which any window may have written: there is something
  // to paste once the file exists.
  a.actPasteFromClipboard = QFileInfo::exists(shapeClipboardPath(editor));

  int count = 0;
  a.actConvertArcToBezier = countSelectedOfKind(editor, TShapeKind::Arc, count);
  a.actSeparateTemplateIntoShapes = countSelectedOfKind(editor, TShapeKind::Other, count);
  int holes = 0;
  const bool anyHole = countSelectedOfKind(editor, TShapeKind::Hole, holes);
  // The pricking-iron page of the right-hand panel is the one the stitching tool shows.
  a.actChangeStitchingHoleShape = anyHole || editor.tool().FTool == TTool::Stitch;
  a.actSelectNextStitchingHole = a.actEndsStitchHere = holes == 1;

  const bool backdropTool = editor.tool().FTool == TTool::Backdrop;
  a.actUndo = canUndo(editor) || backdropTool;
  a.actRedo = canRedo(editor) || backdropTool;
  a.btnLineSymmetry = n > 0 && editor.doc().PathList().Count() > 1;

  int loose = 0;
  std::set<int> groups;
  bool catalogFill = false, bezier = false, radialRepeat = false;
  for (const TQN_Path *s : paths) {
    if (s->FGroupID >= 1)
      groups.insert(s->FGroupID);
    else
      ++loose;
    catalogFill = catalogFill || !s->FCatalogGUID.isEmpty();
    bezier = bezier || s->isKind(TShapeKind::Bezier);
    radialRepeat = radialRepeat || s->FMandalaID > 0;
  }
  a.actUngroup = !groups.empty();
  a.actCreateGroup = loose + int(groups.size()) >= 2;
  a.actLeatherSim_RotateImage = a.actSim_ZoomIn1pct = a.actSim_ZoomIn5pct = a.actSim_ZoomOut1pct =
      a.actSim_ZoomOut5pct = a.actSim_ResetZoom = catalogFill;
  a.actShowHideBeizerOffsetSupportLInes = bezier;
  a.actExtendOrTrimLines = a.actEditLineAngle = n == 2 && isLine(paths[0]) && isLine(paths[1]);
  a.actMirrorMandalaItem = radialRepeat;

  TQN_Path *other = nullptr;
  a.actLayer_ActivateLayerOfSelectedShape =
      shapeOnOtherLayerAt(editor, editor.pointer().FLastMousePos.X, editor.pointer().FLastMousePos.Y, other);
  // The two layer-below commands also depend on the row of the layer list, and the leather
  // picture on the closed chain through the first shape: their subsystems decide them.
  return a;
}

void updateSelectionInfo(TEditor &editor) {
  const TSelectionActions actions = computeSelectionActions(editor);
  editor.ui().applySelectionActions(actions);

  const std::vector<TQN_Path *> paths = getSelectedPaths(editor, false, false);
  int m = 0;
  double total = 0.0;
  const TQN_Path *described = nullptr;  // the shape the ID, range and length lines describe
  for (const TQN_Path *s : paths) {
    if (editor.FInfoShapeID >= 0 && s->ID() == editor.FInfoShapeID) described = s;
    if (!hasLength(*s)) continue;
    ++m;
    total += double(s->calcTotalLength());
    if (!described || described->ID() != editor.FInfoShapeID) described = s;
  }
  if (m > 0) {
    // The lines describe the selection as it is now (after a drag, a paste, a change of
    // line type): the shape last shown while it stays selected, else the last selected
    // shape with a length.
    fillShapeInfo(editor, *described);
    prefixLineAngle(editor);
  }
  if (m == 1) {
    editor.FTotalLengthText.clear();
  } else if (m > 1) {
    editor.FTotalLengthText = QStringLiteral("Total Length=") + withUnit(editor, total) + QStringLiteral("  ");
  } else {
    editor.FIDText.clear();
    editor.FLengthText.clear();
    editor.FRangeText.clear();
    editor.FNumOfStitchesText.clear();
    editor.FTotalLengthText.clear();
    if (!paths.empty() && paths.back()->FPalletIndex >= 0) {
      const TQN_Path &last = *paths.back();
      editor.FRangeText = QStringLiteral("ID=") + QString::number(last.ID()) + QStringLiteral("; ") +
                          paletteAndColor(last);
    }
  }
  showInfoTexts(editor);
}

void showShapeInfo(TEditor &editor, const TQN_Path &shape) {
  fillShapeInfo(editor, shape);
  editor.FInfoShapeID = shape.ID();
  showInfoTexts(editor);
}

void fillShapeInfo(TEditor &editor, const TQN_Path &shape) {
  // The count of the selected shapes when there are others besides this one. (Counted
  // now: the shape shown is usually one of them already, so adding one to the last count
  // told "(Sel=2)" for a single selected line.)
  editor.FSelectionCount = countSelected(editor, false, false);
  const QString prefix = editor.FSelectionCount > 1
                             ? QStringLiteral("(Sel=") + QString::number(editor.FSelectionCount) + QStringLiteral(") ")
                             : QString();
  editor.FIDText = prefix + QStringLiteral("ID=") + QString::number(shape.ID()) + QStringLiteral("; ");

  if (!shape.isKind(TShapeKind::Ellipse)) {
    // The range always in decimal inches when inches are shown.
    TLengthFormatSettings decimal = lengthFormat(editor);
    decimal.InchDisplayMode = idmDecimal;
    const auto coord = [&](float v) { return FormatLength(v, decimal, false, true); };
    editor.FRangeText = QStringLiteral("Range=(") + coord(shape.FStartPt.X) + QStringLiteral(", ") +
                        coord(shape.FStartPt.Y) + QStringLiteral(")-(") + coord(shape.FEndPt.X) +
                        QStringLiteral(", ") + coord(shape.FEndPt.Y) + QStringLiteral("); ");
    if (shape.isKind(TShapeKind::Arc)) {
      editor.FLengthText = QStringLiteral("R=") + withUnit(editor, shape.FWidth) + QStringLiteral(", ") +
                           QString::asprintf("%.1f", std::fabs(double(shape.FSweepAngle))) +
                           QStringLiteral("deg, ") + editor.tr(QStringLiteral("rounddist")) +
                           withUnit(editor, shape.calcTotalLength()) + QStringLiteral(" ");
    } else {
      editor.FLengthText =
          QStringLiteral("Length=") + withUnit(editor, shape.calcTotalLength()) + QStringLiteral("; ");
    }
  } else {
    const QString size = std::fabs(double(shape.FWidth) - double(shape.FHeight)) <= 0.01
                             ? withUnit(editor, shape.FWidth)
                             : QStringLiteral("dx=") + withUnit(editor, shape.FWidth) + QStringLiteral(";dy=") +
                                   withUnit(editor, shape.FHeight) + QStringLiteral("; ");
    editor.FLengthText = editor.tr(QStringLiteral("diameter")) + size + QStringLiteral("; ") +
                         editor.tr(QStringLiteral("rounddist")) + withUnit(editor, shape.calcTotalLength()) +
                         QStringLiteral(" ");
    editor.FRangeText.clear();
  }
  editor.FRangeText += QStringLiteral(" ") + paletteAndColor(shape);
}

void showLineAngleInfo(TEditor &editor) {
  if (prefixLineAngle(editor)) showInfoTexts(editor);
}

bool prefixLineAngle(TEditor &editor) {
  if (countSelected(editor, false, false) != 2) return false;
  std::vector<const TQN_Path *> selected;
  for (const TQN_Path *s : editor.doc().PathList())
    if (s->FSelected) selected.push_back(s);
  if (selected.size() != 2 || !isLine(selected[0]) || !isLine(selected[1])) return false;

  bool changed = false;
  for (const TIntersection *ict : editor.doc().FIntersections) {
    if (!ict->FPath1 || !ict->FPath2 || !ict->FPath1->FSelected || !ict->FPath2->FSelected) continue;
    const TPointF d1 = awayFrom(*ict->FPath1, ict->FPoint);
    const TPointF d2 = awayFrom(*ict->FPath2, ict->FPoint);
    editor.FIDText = QString::asprintf("Angle=%.2f degree, ", double(calcAngleBetween(d1, d2))) + editor.FIDText;
    changed = true;
  }
  return changed;
}

QString statusBarText(const TEditor &editor, float x, float y) {
  TPointF pos;
  QString marker;
  if (editor.snap().FStickyExists) {
    pos = editor.snap().FStickyPoint;
    marker = QStringLiteral("<Sticky>");
  } else {
    pos = virtualToRealXY(editor, x, y, false);
  }
  const QString pending = pendingChangesText(editor);
  if (!pending.isEmpty()) marker += QStringLiteral(";  ") + pending;

  const double scale = std::trunc(double(editor.view().FScale) * 100.0) / 100.0;
  const TLengthFormatSettings &format = lengthFormat(editor);
  return QStringLiteral("Scale ") + QString::fromStdString(formatGeneral15(scale)) + QStringLiteral(", Pos: (") +
         FormatLength(pos.X, format, true, true) + QStringLiteral(", ") + FormatLength(pos.Y, format, true, true) +
         QStringLiteral(")") + marker;
}

void updateStatusBar(TEditor &editor, float x, float y) { editor.ui().setStatusText(statusBarText(editor, x, y)); }

}  // namespace quillon
