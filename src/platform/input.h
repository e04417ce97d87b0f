#pragma once
// Pointer buttons and the modifier state that pointer and key events carry into the core.
// The window turns Qt's buttons and modifiers into these; tests build them directly.
#include <QtCore/qnamespace.h>

namespace quillon {

enum class TMouseButton { Left = 0, Right = 1, Middle = 2 };

// Modifier and button bits of one event.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;

inline bool hasShift(TShiftState s) { return (s & ssShift) != 0; }
inline bool hasAlt(TShiftState s) { return (s & ssAlt) != 0; }
inline bool hasCtrl(TShiftState s) { return (s & ssCtrl) != 0; }

// The bits of Qt's modifiers and, for pointer events, its buttons.
inline TShiftState shiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton) {
  TShiftState s = 0;
  if (modifiers & Qt::ShiftModifier) s |= ssShift;
  if (modifiers & Qt::AltModifier) s |= ssAlt;
  if (modifiers & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

}  // namespace quillon
