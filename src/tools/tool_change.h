#pragma once
// Choosing a tool of the left tool bar. One routine, sbToolsClick, ends what the previous
// tool left behind, chooses the ribbon tab and right-hand panel of the new tool (the
// window shows them, told through TEditorUi::showToolPanels) and sets the mode flags that
// the pointer handlers read. Also the ways back to the select tool and the tools' hot
// keys.
#include <QChar>
#include <QString>

#include <optional>

#include "shell/tool_state.h"

namespace quillon {

class TEditor;

// The pages of the top ribbon that a tool change brings forward; the window maps them to
// its tab pages.
enum class TRibbonTab {
  Home, Line, Ellipse, Rect, Pricking, Mentori, Offset, Backdrop, CenterLine, DistMarking, Text, Arc, Trimming,
  Dimension,
};
// The page of the right-hand panel a tool change brings forward, if any.
enum class TRightTab { Unchanged, PrickingIrons, Mandala };

// What the window shows after a tool change.
struct TToolPanels {
  TTool Tool = TTool::Select;  // the tool-bar button shown pressed
  TRibbonTab RibbonTab = TRibbonTab::Home;  // the page of the top ribbon
  bool RightPanelVisible = false;           // the right-hand tab control
  TRightTab RightTab = TRightTab::Unchanged;  // the page of the right-hand panel to bring forward
};

// The tool button's hint, which names its hot key ("Hotkey: A").
QString toolButtonHint(TTool tool);
// The tool whose hint names the key character (either case for letters), if any.
std::optional<TTool> toolOfHotKey(QChar key);

// The tool change: presses the button of `tool` and runs the switch with that button as
// the sender.
void sbToolsClick(TEditor &editor, TTool tool);
// The tool change for the button that is down, without a sender (nothing is remembered
// as the tool used last).
void sbToolsClick(TEditor &editor);

// Presses the select tool, shows the Home tab and runs the tool change.
void switchToSelectTool(TEditor &editor);

// The stitch-pattern display follows the leather simulator: on while it is active, off
// otherwise. Refreshes the canvas when the setting changed.
void applyLeatherSimulatorMode(TEditor &editor, bool active);

}  // namespace quillon
