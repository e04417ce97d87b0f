#pragma once
// The keyboard of the main window: the key handler's table (plain keys and letters that
// choose tools, pan, nudge, rotate and scale the selection, switch views), the Escape
// cascade, the key release, and the shortcuts of the window's commands.
//
// The window turns a Qt key event into a TKeyInput and calls FormKeyDown; keyCommandOf is
// the table itself, so a test can hold it key by key without running the commands.
#include <QChar>
#include <QString>

#include <optional>
#include <span>

#include "platform/input.h"
#include "shell/tool_state.h"

namespace quillon {

class TEditor;

// The keys the handler knows by their code; every other key is known by its character.
enum class TKey {
  Other,
  Escape,
  Enter,
  Delete,
  Backspace,
  Shift,
  Left,
  Right,
  Up,
  Down,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  BracketLeft,   // the "[" key, whatever character it gives with the modifiers held
  BracketRight,  // the "]" key
};

struct TKeyInput {
  TKey Key = TKey::Other;
  QChar Char;             // the character the key gives, if any
  TShiftState Shift = 0;  // the modifiers held (ssShift, ssCtrl, ssAlt)
  bool TextBoxFocused = false;  // the text tool's text box has the keyboard focus
};

// What a key does. Commands whose outcome depends on the moment ("+", "-", Enter, Q) are
// decided when they run.
enum class TKeyCommand {
  None,
  SelectLineType,          // a digit: the line type of that digit
  DeleteSelection,         // Delete or Backspace
  ShowShift,               // Shift: the canvas shows what Shift changes
  RefreshOnly,             // any key with Shift while the stitching tool is active
  Pan,                     // an arrow without Ctrl: the view moves by 50 pixels
  MoveSelection,           // an arrow with Ctrl: the selection moves by Step millimetres
  ToggleDimensionLines,    // F5
  ToggleStitchSimulation,  // F6
  TogglePrintAreas,        // F7
  SeparateTemplate,        // F8
  ConvertToPath,           // F9
  ConvertACopyToPath,      // F10
  ScaleSelection,          // Ctrl+"]" / Ctrl+"[", with Shift in bigger steps: by Ratio
  RotateSelection,         // "]" "[" "}" "{": by Angle degrees
  PlusKey,                 // "+": template opacity up, or the simulated thread thicker
  MinusKey,                // "-": template opacity down, or the simulated thread thinner
  CycleStitchDisplay,      // "=": both, odd only, even only
  TogglePathDirections,    // ">" or "<"
  ChooseTool,              // the tool's hot key: Tool
  FlipDimensionTextReverse,  // R with the dimension tool
  FlipDimensionArrowOnly,    // W with the dimension tool
  FlipDimensionSingleLine,   // S with the dimension tool
  FlipDimensionTextInside,   // I with the dimension tool
  ToggleMeasuringRuler,      // S
  ToggleIntersections,       // I
  ToggleMandalaMode,         // Q
  OpenRepository,            // Y
  ClearAll,                  // "*"
  ToggleGrid,                // G
  ToggleTracings,            // H
  FixMeasuringRuler,         // F
  HideAllBezierSupportLines,     // J
  ToggleBezierSupportLines,      // j
  ExtendOrTrimLines,             // Z
  EditSizeOrAngle,               // Enter
};

struct TKeyAction {
  TKeyCommand Command = TKeyCommand::None;
  TTool Tool = TTool::Select;  // ChooseTool
  TPointF Step;                // Pan: direction (-1, 0 or 1 per axis); MoveSelection: millimetres
  float Ratio = 1.0f;          // ScaleSelection
  float Angle = 0.0f;          // RotateSelection, degrees
};

// The table of the key handler for everything but Escape: what the key does in the
// editor's present state (the active tool decides a few keys). Keys are matched first by
// their code, then by their character.
TKeyAction keyCommandOf(const TEditor &editor, const TKeyInput &input);

// The key-down handler: Escape runs its cascade, every other key its command from the
// table. The key is remembered as the last key in every case. True when the key did
// something (the window passes the others on).
bool FormKeyDown(TEditor &editor, const TKeyInput &input);

// Runs one command of the table.
void runKeyAction(TEditor &editor, const TKeyAction &action, const TKeyInput &input);

// Escape: cancels the innermost thing under way, in the order of precedence: the
// select-next-hole mode, an edge drag, the text box (its text is restored; the window
// takes the focus away); otherwise it ends the measuring ruler, range selection and
// snap points, then the line-symmetry mode, or the selection or clicked points, or returns
// to the tool used last, or to the select tool. Does nothing during a shape drag.
void escapeKey(TEditor &editor, bool textBoxFocused);

// The key-up handler: pending rotation, scaling and text snapshots are taken; releasing
// Shift ends the Shift display.
void FormKeyUp(TEditor &editor, TKey key);

// One shortcut of a command of the window: the command's object name and its key
// sequence in the portable text form of QKeySequence ("Ctrl+Alt+D").
struct TActionShortcut {
  const char *Action;
  const char *Keys;
};
// Every command shortcut, each key sequence bound to one command only.
std::span<const TActionShortcut> actionShortcuts();
// The key sequence of a command, if it has one.
std::optional<QString> shortcutOf(const QString &action);

}  // namespace quillon
