#pragma once
// What core commands ask of the user. The main window implements it with real dialogs;
// tests implement it with scripted answers. No core code opens a dialog itself.
//
// Boxes are asked by translation key together with the text already translated into the
// current language, so a window shows the text and a test can check the key.
#include <optional>

#include <QString>
#include <QStringList>

#include "platform/geometry.h"

namespace quillon {

enum class TModalResult { OK, Cancel, Yes, No };

struct TToolPanels;        // tools/tool_change.h
struct TInfoTexts;         // tools/status_info.h
struct TSelectionActions;  // tools/status_info.h

// The context menus of the drawing box.
enum class TPopupMenu {
  BezierControlPoints,  // pmForBezierControlPoints: the handle under the pointer
  SelectedItems,        // pmForSelectedItems: the selection
};

// The tabs of the shape-size dialog and the values it shows and returns (lengths in
// millimetres, angles in degrees).
enum class TShapeSizeTab { LineLength, LineAngle, Ellipse, Arc };
struct TShapeSizeValues {
  float LineLength = 0.0f;
  float LineAngle = 0.0f;
  float EllipseWidth = 0.0f;
  float ArcSweep = 0.0f;
  float ArcRadius = 0.0f;
};

class TEditorUi {
 public:
  virtual ~TEditorUi() = default;

  // A modal error or message box with one OK button.
  virtual void messageBox(const QString &key, const QString &text) = 0;
  // A modal information box with one OK button.
  virtual void informationBox(const QString &key, const QString &text) = 0;
  // A Yes/No question; true for Yes.
  virtual bool confirmYesNo(const QString &key, const QString &text) = 0;
  // A Yes/No/Cancel question.
  virtual TModalResult confirmYesNoCancel(const QString &key, const QString &text) = 0;
  // An input box; empty when cancelled.
  virtual std::optional<QString> inputBox(const QString &captionKey, const QString &caption,
                                          const QString &promptKey, const QString &prompt,
                                          const QString &initial) = 0;
  // File dialogs; an empty text when cancelled.
  virtual QString openFileDialog(const QString &title, const QString &filter) = 0;
  virtual QString saveFileDialog(const QString &title, const QString &filter, const QString &suggestedName) = 0;

  // Non-blocking feedback.
  virtual void setStatusText(const QString &text) = 0;
  virtual void setCaption(const QString &caption) = 0;
  // Repaint requests: the drawing box and both rulers, or the rulers alone.
  virtual void refreshCanvas() = 0;
  virtual void refreshRulers() = 0;

  // Whether a modal dialog, message box or popup menu is open right now. Work that arrives
  // from outside the user's own events (the automation server) must not run in the middle
  // of such a box. Asked on the UI thread.
  virtual bool isModalActive() const = 0;

  // Opens a context menu of the drawing box at a drawing-box pixel; the menu's commands
  // read the editor's right-click fields. Headless runs open nothing.
  virtual void popupMenu(TPopupMenu, TPointF) {}
  // The range line of the information panel (lblRange).
  virtual void setRangeText(const QString &) {}
  // After a tool change: the pressed tool button, the ribbon tab and the right-hand panel.
  virtual void showToolPanels(const TToolPanels &) {}
  // The information lines under the drawing (lblID, lblRange, lblLength, ...).
  virtual void showInfo(const TInfoTexts &) {}
  // The enabling of the commands that follow the selection.
  virtual void applySelectionActions(const TSelectionActions &) {}
  // Repaint request for the palette bar (both panels and so every palette box).
  virtual void repaintPalettes() {}
  // The shape-size dialog on one tab, filled with the values; the values as confirmed
  // with OK, or none when it was cancelled. Headless runs cancel.
  virtual std::optional<TShapeSizeValues> shapeSizeDialog(TShapeSizeTab, const TShapeSizeValues &) {
    return std::nullopt;
  }
};

// A user interface that answers nothing and shows nothing: every question is declined or
// cancelled. Headless runs use it.
class TSilentEditorUi : public TEditorUi {
 public:
  void messageBox(const QString &, const QString &) override {}
  void informationBox(const QString &, const QString &) override {}
  bool confirmYesNo(const QString &, const QString &) override { return false; }
  TModalResult confirmYesNoCancel(const QString &, const QString &) override { return TModalResult::Cancel; }
  std::optional<QString> inputBox(const QString &, const QString &, const QString &, const QString &,
                                  const QString &) override {
    return std::nullopt;
  }
  QString openFileDialog(const QString &, const QString &) override { return {}; }
  QString saveFileDialog(const QString &, const QString &, const QString &) override { return {}; }
  void setStatusText(const QString &) override {}
  void setCaption(const QString &) override {}
  void refreshCanvas() override {}
  void refreshRulers() override {}
  bool isModalActive() const override { return false; }
};

}  // namespace quillon
