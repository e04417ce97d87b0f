// The shape editing commands of the window: rotation, scaling and the pivot, alignment,
// flips and the symmetry command, reversing, extend-or-trim, the angle and size dialogs,
// the Bezier handle and smoothing commands, and the buttons of the Home page.
#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>

#include "edit/bezier_handles.h"
#include "edit/corner_rounding.h"
#include "edit/mirror_flip.h"
#include "edit/numeric_edit.h"
#include "edit/rotate_scale_align.h"
#include "model/shape.h"
#include "shell/editor.h"
#include "shell/length_units.h"
#include "shell/ui/main_window.h"
#include "shell/ui/number_box.h"
#include "shell/ui/shape_size_dialog.h"

namespace quillon {

void TfrmQuil::buildEditingCommands() {
  TEditor &ed = *FEditor;
  const auto add = [&](QMenu *menu, const char *name, const char *english, std::function<void()> run) {
    return addCommand(menu, name, QString::fromUtf8(english), {}, std::move(run));
  };

  // Edit menu: alignment, extend-or-trim and the typed sizes.
  miEdit->addSeparator();
  QMenu *miAlignment = miEdit->addMenu(caption("actAlignment", QStringLiteral("Alignment")));
  miAlignment->setObjectName(QStringLiteral("miAlignment"));
  const std::pair<const char *, const char *> alignNames[] = {
      {"actAlignLeft", "Align Left"},   {"actAlignRight", "Align Right"},
      {"actAlignTop", "Align Top"},     {"actAlignBottom", "Align Bottom"},
      {"actAlignMiddleH", "Align Middle Horizontally"}, {"actAlignMiddleV", "Align Middle Vertically"}};
  const TAlignment alignments[] = {TAlignment::Left, TAlignment::Right,   TAlignment::Top,
                                   TAlignment::Bottom, TAlignment::MiddleH, TAlignment::MiddleV};
  for (int i = 0; i < 6; ++i)
    add(miAlignment, alignNames[i].first, alignNames[i].second,
        [&ed, a = alignments[i]] { alignSelection(ed, a); });
  QAction *extendOrTrim = add(miEdit, "actExtendOrTrimLines", "Extend or tim two lines to intersection",
                              [&ed] { actExtendOrTrimLinesExecute(ed); });
  QAction *lineAngle = add(miEdit, "actEditLineAngle", "Change angle of two lines", [&ed] { actEditLineAngleExecute(ed); });
  QAction *shapeSize = add(miEdit, "actEditShapeSize", "Specify the size of the selected shape(s) by number",
                           [&ed] { actEditShapeSizeExecute(ed); });

  // Flips, symmetry and reversing; the window holds them so that their keys work.
  QAction *flipH = add(miEdit, "actFlipHorizontally", "Flip Horizontally", [&ed] { actFlipSelectedPathsExecute(ed, true); });
  QAction *flipV = add(miEdit, "actFlipVertically", "Flip Vertically", [&ed] { actFlipSelectedPathsExecute(ed, false); });
  QAction *symmetry = add(miEdit, "actLineSymmetry", "Symmetry", [&ed] { actLineSymmetryExecute(ed); });
  // The selection enables the symmetry button (and so the command) by the button's name.
  FActions[QStringLiteral("btnLineSymmetry")] = symmetry;
  QAction *reverse = add(pmForSelectedItems, "actReversePath", "Reverse Path Drawing Direction",
                         [&ed] { actReversePathExecute(ed); });
  addAction(reverse);

  // The selection's pop-up menu.
  pmForSelectedItems->addSeparator();
  QMenu *miRotation = pmForSelectedItems->addMenu(caption("miRotation", QStringLiteral("Rotation / Scaling")));
  miRotation->setObjectName(QStringLiteral("miRotation"));
  add(miRotation, "actRotateCW1Deg", "Rotate 1 degree clockwise", [&ed] { rotateSelection(ed, 1.0f, true); });
  add(miRotation, "actRotateCW5Deg", "Rotate 5 degree clockwise", [&ed] { rotateSelection(ed, 5.0f, true); });
  add(miRotation, "actRotateCCW1Deg", "Rotate 1 degree counter-clockwise", [&ed] { rotateSelection(ed, -1.0f, true); });
  add(miRotation, "actRotateCCW5Deg", "Rotate 5 degree counter-clockwise", [&ed] { rotateSelection(ed, -5.0f, true); });
  add(miRotation, "actSpecifyRotationAngle", "Specify rotation angle", [&ed] { actSpecifyRotationAngleExecute(ed); });
  miRotation->addSeparator();
  add(miRotation, "actScaleUp1", "Scale up by 1%", [&ed] { scaleSelection(ed, 1.01f, 1.01f, true); });
  add(miRotation, "actScaleUp5", "Scale up by 5%", [&ed] { scaleSelection(ed, 1.05f, 1.05f, true); });
  add(miRotation, "actScaleDown1", "Scale down by 1%", [&ed] { scaleSelection(ed, 0.99f, 0.99f, true); });
  add(miRotation, "actScaleDown5", "Scale down by 5%", [&ed] { scaleSelection(ed, 0.95f, 0.95f, true); });
  add(miRotation, "actSpecifyScaleRatio", "Scale Selected Items With Specified Ratio",
      [&ed] { actSpecifyScaleRatioExecute(ed, TScaleAxes::Both); });
  add(miRotation, "actSpecifyScaleRatioHorizontally", "Scale Horizontally With Specified Ratio",
      [&ed] { actSpecifyScaleRatioExecute(ed, TScaleAxes::Horizontal); });
  add(miRotation, "actSpecifyScaleRatioVertically", "Scale Vertically With Specified Ratio",
      [&ed] { actSpecifyScaleRatioExecute(ed, TScaleAxes::Vertical); });
  miRotation->addSeparator();
  add(miRotation, "actSetAsRotationCenter",
      "Make mouse pointer position as the rotation/scaling center of the selected shapes",
      [&ed] { actSetAsRotationCenterExecute(ed); });
  add(miRotation, "actSetAsSnapPoint", "Set mouse pointer position as the snap point of the Selected Shapes",
      [&ed] { actSetAsRotationCenterExecute(ed); });
  miRotation->addSeparator();
  add(miRotation, "actMakeSelectedLineHorizontal", "Make the specified line horizontal",
      [&ed] { actMakeSelectedLineAxisExecute(ed, true); });
  add(miRotation, "actMakeSelectedLineVertical", "Make the specified line vertical",
      [&ed] { actMakeSelectedLineAxisExecute(ed, false); });
  QMenu *pmiAlignment = pmForSelectedItems->addMenu(caption("actAlignment", QStringLiteral("Alignment")));
  pmiAlignment->setObjectName(QStringLiteral("pmiAlignment"));
  pmiAlignment->addActions(miAlignment->actions());
  pmForSelectedItems->addActions({flipH, flipV, symmetry, reverse, extendOrTrim, lineAngle, shapeSize});

  // Bezier commands: the selection's submenu, the Tools menu's and the handle's menu.
  QMenu *miBezier = pmForSelectedItems->addMenu(caption("actBezierMenu", QStringLiteral("Bezier curve")));
  miBezier->setObjectName(QStringLiteral("miBezierMenu"));
  QAction *g1 = add(miBezier, "actBezier_G1Smoothing", "Smooth Bezier Chain(G1)", [&ed] { actBezierSmoothingExecute(ed, false); });
  QAction *g2 = add(miBezier, "actBezier_G2Smoothing", "Smooth Bezier Chain(G2)", [&ed] { actBezierSmoothingExecute(ed, true); });
  QAction *support = add(miBezier, "actShowHideBeizerOffsetSupportLInes",
                         "Show/hide offset support of the selected Bezier lines",
                         [&ed] { actShowHideBezierOffsetSupportExecute(ed); });
  miTools = new QMenu(caption("miTools", QStringLiteral("&Tools")), this);
  miTools->setObjectName(QStringLiteral("miTools"));
  menuBar()->insertMenu(miHelp->menuAction(), miTools);
  QMenu *toolsBezier = miTools->addMenu(caption("actBezierMenu", QStringLiteral("Bezier curve")));
  toolsBezier->addAction(support);

  add(pmForBezierControlPoints, "actBezierCp_makeOpponentFlat",
      "Move the control point of the jointed Bezier curve to diagonal position",
      [&ed] { adjustOpponentHandle(ed, TOpponentHandle::Flat); });
  add(pmForBezierControlPoints, "actBezierCp_makeOpponentSameLength",
      "Make the length of the control line of the jointed Bezier curve the same",
      [&ed] { adjustOpponentHandle(ed, TOpponentHandle::SameLength); });
  add(pmForBezierControlPoints, "actBezierCp_makeOpponentSymmetric",
      "Make the control point of the jointed Bezier curve symmetrical",
      [&ed] { adjustOpponentHandle(ed, TOpponentHandle::Symmetric); });
  pmForBezierControlPoints->addSeparator();
  pmForBezierControlPoints->addActions({g1, g2});

  // The Home page: the flips and the symmetry command.
  if (QWidget *home = tabConTop->findChild<QWidget *>(QStringLiteral("tabTop_Home"))) {
    auto *row = new QHBoxLayout(home);
    row->setContentsMargins(6, 3, 6, 3);
    for (auto [action, name] : {std::pair{flipH, "btnFlipHorizontally"}, std::pair{flipV, "btnFlipVertically"},
                                std::pair{symmetry, "btnLineSymmetry"}}) {
      auto *button = new QToolButton(home);
      button->setObjectName(QString::fromLatin1(name));
      button->setDefaultAction(action);
      row->addWidget(button);
    }
    row->addStretch(1);
  }
}

std::optional<TShapeSizeValues> TfrmQuil::shapeSizeDialog(TShapeSizeTab tab, const TShapeSizeValues &values) {
  TfrmChangeShapeSize &d = *frmChangeShapeSize;
  d.setUnitMode(*FEditor->FOptions);
  d.setBoxMm(d.nbLineLength, values.LineLength);
  d.nbLineAngle->setValue(values.LineAngle);
  d.setBoxMm(d.nbEllipseXlen, values.EllipseWidth);
  d.nbArcAngle->setValue(values.ArcSweep);
  d.setBoxMm(d.nbArcRadius, values.ArcRadius);
  const TfrmChangeShapeSize::TTab tabs[] = {TfrmChangeShapeSize::TTab::LineLength, TfrmChangeShapeSize::TTab::LineAngle,
                                            TfrmChangeShapeSize::TTab::Ellipse, TfrmChangeShapeSize::TTab::Arc};
  d.showTab(tabs[static_cast<int>(tab)]);
  TNumberBox *focus[] = {d.nbLineLength, d.nbLineAngle, d.nbEllipseXlen, d.nbArcAngle};
  focus[static_cast<int>(tab)]->setFocus();
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  TShapeSizeValues result;
  result.LineLength = float(d.boxMm(d.nbLineLength));
  result.LineAngle = float(d.nbLineAngle->Value());
  result.EllipseWidth = float(d.boxMm(d.nbEllipseXlen));
  result.ArcSweep = float(d.nbArcAngle->Value());
  result.ArcRadius = float(d.boxMm(d.nbArcRadius));
  return result;
}

}  // namespace quillon
