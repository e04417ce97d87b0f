#pragma once
// Export of the drawing as SVG or DXF (R12 written here, R14 through TDXFR14Writer): the
// command with its options, and exportVisibleShapes, which picks the shapes to write,
// orders them group by group and joins connected LINEs, BEZIERs and ARCs of one line type
// into chains. In SVG a chain becomes one path element; in DXF every shape stays an
// entity of its own, written in the chain's order and direction.
//
// The chain search works on copies: a shape that must be turned round to continue a chain
// is reversed in a copy, never in the document, so an export changes no geometry.
#include <QString>

namespace quillon {

class TEditor;
class TQN_Path;

enum class TExportFormat { SVG, DXF };

// "SVG" or "DXF".
QString exportFormatText(TExportFormat format);

// Ends closer than this (millimetres, strictly) join into one chain.
inline constexpr float kChainJoinTolerance = 0.2f;

// The export options dialog (TfrmSVGExportOptions) in core terms: one member per control,
// named after it, plus what the command sets up around them.
struct TSVGExportOptionsValues {
  QString Caption = QStringLiteral("SVG/DXF Export Options");
  bool DxfControlsVisible = true;  // rbDxfR12, rbDxfR14 and chkDXFExportFlipY are shown
  bool rbHole_AsIs = false;
  bool rbHole_AsDot = true;
  double nbSVGDotRadius = 1.0;  // the dot diameter in mm, 0.01 to 3
  bool chkSVG_Out_Text = false;
  bool chkSVG_Out_Template = true;
  bool chkSVGOPT_ExportOnlySelected = false;        // kept for this run only
  bool chkSVGOPT_DoNotExportHiddenLineType = true;  // kept for this run only
  bool chkDXFExportFlipY = true;                    // enabled only while rbDxfR12 is checked
  bool chkSVGOPT_DoNotOutputStrokeDash = true;      // kept for this run only
  bool rbDxfR12 = false;
  bool rbDxfR14 = true;
};

// The dialog as the export command sees it. The window implements it with the modal
// TfrmSVGExportOptions, which lives for the whole run so that the run-only choices are
// kept from one export to the next; tests implement it with scripted answers.
class ISVGExportOptionsDialog {
 public:
  virtual ~ISVGExportOptionsDialog() = default;
  // What the controls hold now.
  virtual TSVGExportOptionsValues values() const = 0;
  // Shows the values modally; true when closed with "Export", values then holding the
  // controls' final state.
  virtual bool execute(TSVGExportOptionsValues &values) = 0;
};

// The choices of the dialog that are not settings.
struct TExportRunOptions {
  bool ExportOnlySelected = false;
  bool DoNotExportHiddenLineType = true;
  bool DoNotOutputStrokeDash = true;
};
TExportRunOptions runOptionsOf(const TSVGExportOptionsValues &values);

// Sets up the dialog for a format: caption "SVG Export Options" or "DXF Export Options",
// the DXF controls shown for DXF only, and the six stored choices from the settings. The
// run-only check boxes are left as they are.
void fillSVGExportOptions(const TEditor &editor, TExportFormat format, TSVGExportOptionsValues &values);
// Stores the six stored choices of a dialog closed with "Export" in the settings.
void applySVGExportOptions(TEditor &editor, const TSVGExportOptionsValues &values);

// Export As SVG / Export As DXF: with an empty document the "NothingToExport" box and
// nothing else; otherwise the options dialog, the settings taken from it, the save dialog
// and the export, then "NothingToExport" when nothing was written or "ExportedAsSVG" /
// "ExportedAsDXF" with the file name. A file that cannot be written throws
// std::runtime_error naming it (no success box follows).
void actExportAsSVGExecute(TEditor &editor, TExportFormat format, ISVGExportOptionsDialog &dialog);

// Writes the shapes that pass the selection (dimension lines only while shown, line type
// visible unless run.DoNotExportHiddenLineType is off, layer visible, selected when
// run.ExportOnlySelected) to fileName in `format` ("SVG" or "DXF"; DXF in R14 or R12 and
// with or without y inversion by the settings). Returns the number of shapes written;
// with 0 no file is written or replaced. Free outlines are written only WithTemplates,
// TEXT shapes and dimension lines only WithTextShapes (unless a chain reaches them).
int exportVisibleShapes(TEditor &editor, const QString &fileName, bool AsDots, bool WithTemplates,
                        bool WithTextShapes, const QString &format, const TExportRunOptions &run);

}  // namespace quillon
