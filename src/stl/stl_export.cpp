#include "stl/stl_export.h"

#include <QFileInfo>

#include <stdexcept>

#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "stl/extrude.h"
#include "stl/stl_writer.h"
#include "stl/text_recess.h"
#include "edit/move_shapes.h"

namespace quillon {

namespace {

// Path data are flattened with this many steps per curve and this tolerance.
constexpr int kFlattenSteps = 32;
constexpr float kFlattenTolerance = 1e-5f;

bool engraving(const TSTLExportSettings &s) { return s.EngraveSide != TSTLEngraveSide::None; }

// Clears a flag when the scope ends, however it ends.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool &flag) : FFlag(flag) { FFlag = true; }
  ~TFlagGuard() { FFlag = false; }
  TFlagGuard(const TFlagGuard &) = delete;
  TFlagGuard &operator=(const TFlagGuard &) = delete;

 private:
  bool &FFlag;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// The command

void actExportAsSTLExecute(TEditor &editor, ISTLExportDialog &dialog) {
  TSTLExportInput input;
  input.SelList = getSelectedPaths(editor, false, false);
  if (input.SelList.empty()) {
    editor.ui().messageBox(QStringLiteral("stl_msg_no_selection"), editor.tr(QStringLiteral("stl_msg_no_selection")));
    return;
  }
  input.Groups = getGroupIDs(editor.doc().PathList().Items());
  input.Pen.PalletIndex = getCurrentPaletteIndex(editor.pen());
  input.Pen.Color = editor.pen().FCurrentColor;
  input.Pen.Thickness = editor.pen().FCurrentThickness;
  input.Pen.Dash = editor.pen().FCurrentDash;
  input.ShiftProc = [&editor](TQN_Path *shape, TPointF offset, bool processMandala) {
    translateShape(editor, *shape, offset, processMandala);
  };
  input.UnitMode = editor.FOptions->UnitMode;
  dialog.setMultiLang(editor.FMultiLang.get(), editor.FLangID);
  dialog.SetupForExport(input);
  dialog.ShowModal();
}

// ---------------------------------------------------------------------------------------
// Settings of the builds

TSTLStitchSettings GetStitchSettings(const TSTLExportSettings &s) {
  TSTLStitchSettings r = DefaultStitchSettings();
  r.StitchAsRound = s.StitchAsRound;
  r.StitchDiameter = float(s.StitchDiameter);
  r.DiamondL = float(s.DiamondL);
  r.DiamondW = float(s.DiamondW);
  r.EuropeanL = float(s.EuropeanL);
  r.EuropeanW = float(s.EuropeanW);
  r.FlatL = float(s.FlatL);
  r.FlatW = float(s.FlatW);
  r.EngraveDepth = engraving(s) ? float(s.EngraveDepth) : 0.0f;
  return r;
}

TExtrudeParams GetExtrudeParams(const TSTLExportSettings &s) {
  TExtrudeParams p = DefaultExtrudeParams();
  p.Height = s.Thickness;
  p.SkipTinyTriangles = false;
  p.MinTriangleArea = 1e-8;
  p.FilletSteps = s.FilletSteps;
  p.TopChamfer = p.BottomChamfer = p.TopFillet = p.BottomFillet = 0;
  // The dialog names the faces after the piece (its top face lies at z = 0), the record
  // after the z sense of the extrusion.
  switch (edgeModeOfIndex(s.EdgeTopMode)) {
    case TSTLEdgeMode::semChamfer:
      p.BottomChamfer = s.EdgeTopSize;
      break;
    case TSTLEdgeMode::semFillet:
      p.BottomFillet = s.EdgeTopSize;
      break;
    case TSTLEdgeMode::semNone:
      break;
  }
  switch (edgeModeOfIndex(s.EdgeBottomMode)) {
    case TSTLEdgeMode::semChamfer:
      p.TopChamfer = s.EdgeBottomSize;
      break;
    case TSTLEdgeMode::semFillet:
      p.TopFillet = s.EdgeBottomSize;
      break;
    case TSTLEdgeMode::semNone:
      break;
  }
  return p;
}

TSTLTemplateSettings GetTemplateSettings(const TSTLExportSettings &s) {
  TSTLTemplateSettings t = DefaultTemplateSettings();
  t.OuterMode = s.OuterMode;
  t.OuterMargin = s.OuterMargin;
  t.OuterWidth = s.OuterWidth;
  t.OuterHeight = s.OuterHeight;
  t.OuterCornerRadius = s.OuterCornerR;
  t.PocketGap = s.PocketGap;
  t.TotalHeight = s.TotalHeight;
  t.PocketDepth = s.PocketDepth;
  t.FingerHoleAtCentroid = s.FingerAtCentroid;
  t.CentroidFingerDiameter = s.FingerDiameter;
  t.KeepNestedContours = s.KeepNestedContours;
  t.FlipZForPreview = true;
  return t;
}

QString textFileNameOf(const QString &fileName) {
  const QFileInfo info(fileName);
  const QString suffix = info.suffix();
  const QString stem = suffix.isEmpty() ? fileName : fileName.left(fileName.size() - suffix.size() - 1);
  return suffix.isEmpty() ? stem + QStringLiteral("_text") : stem + QStringLiteral("_text.") + suffix;
}

// ---------------------------------------------------------------------------------------
// The builds

TSTLExport::TSTLExport(std::function<QString(const char *)> phrase) : FPhrase(std::move(phrase)) {}

void TSTLExport::BeginOpening() {
  FInitialFrameDone = false;
  FNoClosedShapes = false;
  ResetOpenShapeWarning();
}

TTriangleList TSTLExport::BaseTris() const {
  const std::size_t text = FTextTris ? FTextTris->size() : 0;
  const std::size_t n = FCurrentTris.size() > text ? FCurrentTris.size() - text : 0;
  return TTriangleList(FCurrentTris.begin(), FCurrentTris.begin() + std::ptrdiff_t(n));
}

void TSTLExport::ShowCameraStatus() {
  FStatus = FScene.CameraStatus(float(FViewportSize.width()), float(FViewportSize.height()));
}

void TSTLExport::showMesh(const TSTLExportSettings &settings) {
  if (!FInitialFrameDone && !FCurrentTris.empty()) {
    TPreviewMesh measured;
    TPreviewScene::FillPreviewMeshAndBBox(&FCurrentTris, measured, FScene.FBBox, 0, 1);
    FScene.FrameBoundingBox();
    FInitialFrameDone = true;
  }
  FScene.UpdatePreviewMesh(FTextTris ? BaseTris() : FCurrentTris);
  FScene.UpdateTextMesh(TextTris());
  FScene.ApplyMaterial(settings.Color, settings.MaterialPreset);
}

void TSTLExport::RebuildPatternPreview(const TSTLExportSettings &settings) {
  if (FInUpdate || FInput.SelList.empty()) return;
  const TFlagGuard busy(FInUpdate);
  try {
    FCurrentTris.clear();
    FTextTris.reset();
    TSTLPathData data;
    std::vector<TQN_Path *> shapes = FInput.SelList;
    BuildSTLPathData(data, shapes, FInput.Groups, GetStitchSettings(settings), FInput.Pen, FInput.ShiftProc);
    if (!data.Body) {
      FStatus = tr("stl_msg_no_closed_shapes");
      FNoClosedShapes = true;
      return;
    }
    const std::vector<TPolyRegion> bodies =
        BuildPolyRegions(FlattenPathData(*data.Body, kFlattenSteps, kFlattenTolerance));
    const TExtrudeParams params = GetExtrudeParams(settings);
    const bool withText = data.Text && engraving(settings);
    const bool separate = withText && settings.MultiColorPrint;
    int skipped = 0;
    if (withText) {
      const std::vector<TPolyRegion> text =
          BuildPolyRegions(FlattenPathData(*data.Text, kFlattenSteps, kFlattenTolerance));
      const double depth = settings.EngraveDepth;
      const bool bottom = settings.EngraveSide == TSTLEngraveSide::Bottom;
      TExtrudeParams textParams = params;
      if (separate) {
        FTextTris.emplace();
        textParams.Height = depth;
        textParams.TopChamfer = textParams.BottomChamfer = textParams.TopFillet = textParams.BottomFillet = 0;
      }
      for (const TPolyRegion &body : bodies) {
        const TRing outer = CleanRing(body.Outer, kRingCleanTolerance);
        std::vector<TPolyRegion> own;
        for (const TPolyRegion &t : text)
          if (PointInPolygon(RingMeanPoint(t.Outer), outer)) own.push_back(t);
        if (bottom) {
          const TRectF b = RingBounds(outer);
          const double m = (double(b.Left) + b.Right) / 2;
          for (TPolyRegion &t : own) t = MirrorRegionX(t, m);
        }
        const std::size_t before = FCurrentTris.size();
        try {
          ExtrudeRegionWithTextRecess(body, own, bottom, depth, params, FCurrentTris);
        } catch (const std::exception &) {
          FCurrentTris.resize(before);
          ++skipped;
        }
        if (separate) {
          const std::size_t first = FTextTris->size();
          for (const TPolyRegion &t : own) {
            try {
              AddExtrudedRegion(t, textParams, *FTextTris);
            } catch (const std::exception &) {
              // A text body that cannot be built is left out.
            }
          }
          if (bottom) ShiftTrianglesZ(*FTextTris, int(first), settings.Thickness - depth);
        }
      }
    } else {
      for (const TPolyRegion &body : bodies) {
        const std::size_t before = FCurrentTris.size();
        try {
          AddExtrudedRegion(body, params, FCurrentTris);
        } catch (const std::exception &) {
          FCurrentTris.resize(before);
          ++skipped;
        }
      }
    }
    if (FTextTris) FCurrentTris.insert(FCurrentTris.end(), FTextTris->begin(), FTextTris->end());
    showMesh(settings);
    if (skipped > 0)
      FStatus = tr("stl_msg_skipped_regions").replace(QStringLiteral("%d"), QString::number(skipped));
    else
      ShowCameraStatus();
  } catch (const std::exception &e) {
    FStatus = tr("stl_msg_preview_failed_prefix") + QString::fromUtf8(e.what());
  }
}

void TSTLExport::RebuildJigPreview(const TSTLExportSettings &settings) {
  if (FInUpdate || FInput.SelList.empty()) return;
  const TFlagGuard busy(FInUpdate);
  try {
    FCurrentTris.clear();
    FTextTris.reset();
    std::vector<TQN_Path *> shapes;
    for (TQN_Path *p : FInput.SelList)
      if (p->FShapeType != TShapeKind::Hole) shapes.push_back(p);
    const TSTLStitchSettings stitch = GetStitchSettings(settings);
    TSTLPathData data;
    BuildSTLPathData(data, shapes, FInput.Groups, stitch, FInput.Pen, FInput.ShiftProc);
    if (!data.Body) {
      FStatus = tr("stl_msg_no_closed_shapes");
      FNoClosedShapes = true;
      return;
    }
    const std::vector<TRing> rings = FlattenPathData(*data.Body, kFlattenSteps, kFlattenTolerance);
    std::vector<TRing> textRings;
    if (data.Text && engraving(settings)) textRings = FlattenPathData(*data.Text, kFlattenSteps, kFlattenTolerance);

    // The stitching holes become round through-holes of the floor.
    const double d = settings.StitchDiameter < 0.5 ? 1.6 : settings.StitchDiameter;
    std::vector<TRing> holes;
    for (TQN_Path *p : FInput.SelList) {
      if (p->FShapeType != TShapeKind::Hole) continue;
      const TPointF c = p->GetCenter();
      TRing ring;
      for (int k = 0; k < 16; ++k) {
        const double a = k * 2 * M_PI / 16;
        ring.push_back({float(c.X + d / 2 * std::cos(a)), float(c.Y + d / 2 * std::sin(a))});
      }
      holes.push_back(std::move(ring));
    }
    TSTLTemplateSettings t = GetTemplateSettings(settings);
    t.StitchHoles = std::move(holes);
    if (!textRings.empty()) {
      t.EngraveContours = textRings;
      t.EngraveDepth = settings.EngraveDepth;
      t.EngraveOnBottom = settings.EngraveSide == TSTLEngraveSide::Bottom;
    }
    if (settings.MultiColorPrint && !textRings.empty()) FTextTris.emplace();
    FCurrentTris = BuildTemplateMesh(rings, t, FTextTris ? &*FTextTris : nullptr);
    if (FTextTris) FCurrentTris.insert(FCurrentTris.end(), FTextTris->begin(), FTextTris->end());
    if (FCurrentTris.empty()) {
      FStatus = tr("stl_msg_template_failed");
      return;
    }
    showMesh(settings);
    ShowCameraStatus();
  } catch (const std::exception &e) {
    FStatus = tr("stl_msg_preview_failed_prefix") + QString::fromUtf8(e.what());
  }
}

// ---------------------------------------------------------------------------------------
// Saving

QString TSTLExport::NoMeshKey(bool jig) const {
  if (!FCurrentTris.empty()) return {};
  return jig ? QStringLiteral("stl_msg_no_triangles_to_save") : QStringLiteral("stl_msg_no_mesh_to_save");
}


TSTLSaveResult TSTLExport::save(const QString &fileName, bool multiColor, TSTLFileWriter writeBase) const {
  TSTLSaveResult result;
  if (FCurrentTris.empty()) return result;
  if (multiColor && FTextTris && !FTextTris->empty()) {
    // A base without triangles writes no file, and the message names only what was written.
    const TTriangleList base = BaseTris();
    if (!base.empty()) {
      writeBase(fileName, base);
      result.Written << fileName;
    }
    const QString textFile = textFileNameOf(fileName);
    SaveTrianglesToSTL(textFile, *FTextTris);
    result.Written << textFile;
    const char *key = base.empty() ? "stl_msg_text_only_saved" : "stl_msg_multicolor_saved";
    result.MessageKey = QString::fromLatin1(key);
    result.Message = tr(key);
    for (const QString &f : result.Written) result.Message += QStringLiteral("\r\n") + QFileInfo(f).fileName();
    return result;
  }
  writeBase(fileName, FCurrentTris);
  result.Written << fileName;
  return result;
}

TSTLSaveResult TSTLExport::SavePattern(const QString &fileName, bool multiColor) const {
  return save(fileName, multiColor, WriteBinarySTL);
}

TSTLSaveResult TSTLExport::SaveJig(const QString &fileName, bool multiColor) const {
  return save(fileName, multiColor, SaveTrianglesToSTL);
}

}  // namespace quillon
