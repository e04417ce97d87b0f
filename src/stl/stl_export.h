#pragma once
// The STL export as the dialog drives it, without the dialog: the command Export as STL,
// the shapes and pen it hands over, the mesh builds of both modes (the 3D pattern and the
// positioning jig) with their preview, and the saves.
//
// The dialog reads its controls into a TSTLExportSettings (lengths in millimetres) and
// calls a build after every change; the build replaces the mesh, updates the preview
// scene and leaves the status line's text in Status().
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

#include "model/draw_pallet.h"
#include "stl/extrude.h"
#include "shell/options.h"
#include "stl/jig_builder.h"
#include "stl/preview_scene.h"
#include "stl/stl_path_data.h"
#include "stl/stl_export_settings.h"

namespace quillon {

class TEditor;
class TMultiLang;
class TQN_Path;

// What the command hands to the dialog; the shapes belong to the document.
struct TSTLExportInput {
  std::vector<TQN_Path *> SelList;
  std::vector<int> Groups;  // the document's group IDs
  TSTLPen Pen;  // the palette index, colour, thickness and dash of the main window's pen
  TShiftShapePositionProc ShiftProc;
  TUnitMode UnitMode = umMM;
};

// The dialog as the command sees it. The window implements it with the modal
// TfrmSTLExportOptions, made on first use and kept for the run.
class ISTLExportDialog {
 public:
  virtual ~ISTLExportDialog() = default;
  virtual void setMultiLang(const TMultiLang *multiLang, const QString &langId) = 0;
  virtual void SetupForExport(const TSTLExportInput &input) = 0;
  // Shows the dialog modally and returns when it has closed.
  virtual void ShowModal() = 0;
};

// Export as STL: with nothing selected the "stl_msg_no_selection" box; otherwise the
// selection (dots and holes kept, one shape per radial repeat), the group IDs, the pen
// and the unit go to the dialog, which is shown.
void actExportAsSTLExecute(TEditor &editor, ISTLExportDialog &dialog);

// The pattern build's inputs from the settings.
TSTLStitchSettings GetStitchSettings(const TSTLExportSettings &settings);
TExtrudeParams GetExtrudeParams(const TSTLExportSettings &settings);
// The jig builder's settings from the dialog's jig controls (holes and text come later).
TSTLTemplateSettings GetTemplateSettings(const TSTLExportSettings &settings);

// What a save wrote.
struct TSTLSaveResult {
  QStringList Written;   // the files written, full paths, in order
  QString MessageKey;    // a message box to show afterwards, or empty
  QString Message;       // its text
};

// The text file of a multi-colour save: "belt.stl" gives "belt_text.stl".
QString textFileNameOf(const QString &fileName);

class TSTLExport {
 public:
  explicit TSTLExport(std::function<QString(const char *key)> phrase);

  void SetupForExport(const TSTLExportInput &input) { FInput = input; }
  const TSTLExportInput &Input() const { return FInput; }

  // A new opening of the dialog: the camera is framed again on its first mesh.
  void BeginOpening();

  // The builds of the two modes; each returns at once while a build runs or nothing is
  // selected.
  void RebuildPatternPreview(const TSTLExportSettings &settings);
  void RebuildJigPreview(const TSTLExportSettings &settings);
  void Rebuild(const TSTLExportSettings &settings) {
    settings.TemplateMode ? RebuildJigPreview(settings) : RebuildPatternPreview(settings);
  }

  // Writes the mesh of the last build to fileName (and the text bodies, when built apart
  // and asked for, to its "_text" file). Nothing is written when there is no mesh: the
  // result then names the message of that case. Throws std::runtime_error when a file
  // cannot be written.
  TSTLSaveResult SavePattern(const QString &fileName, bool multiColor) const;
  TSTLSaveResult SaveJig(const QString &fileName, bool multiColor) const;
  // The message of a save with no mesh, or empty when there is one.
  QString NoMeshKey(bool jig) const;

  bool InUpdate() const { return FInUpdate; }
  bool NoClosedShapes() const { return FNoClosedShapes; }
  const TTriangleList &CurrentTris() const { return FCurrentTris; }
  const TTriangleList *TextTris() const { return FTextTris ? &*FTextTris : nullptr; }
  // The base: the triangles of the pieces without the separate text bodies.
  TTriangleList BaseTris() const;

  TPreviewScene &Scene() { return FScene; }
  const TPreviewScene &Scene() const { return FScene; }
  // The preview's viewport size, for the camera line.
  void SetViewportSize(QSize size) { FViewportSize = size; }
  // The status line: the camera line, or the last build's message.
  const QString &Status() const { return FStatus; }
  void ShowCameraStatus();
  void ApplyMaterial(std::uint32_t color, int preset) { FScene.ApplyMaterial(color, preset); }

 private:
  using TSTLFileWriter = void (*)(const QString &, const TTriangleList &);
  TSTLSaveResult save(const QString &fileName, bool multiColor, TSTLFileWriter writeBase) const;
  void showMesh(const TSTLExportSettings &settings);
  QString tr(const char *key) const { return FPhrase(key); }

  std::function<QString(const char *)> FPhrase;
  TSTLExportInput FInput;
  TTriangleList FCurrentTris;
  std::optional<TTriangleList> FTextTris;
  bool FInUpdate = false;
  bool FNoClosedShapes = false;
  bool FInitialFrameDone = false;
  TPreviewScene FScene;
  QSize FViewportSize;
  QString FStatus;
};

}  // namespace quillon
