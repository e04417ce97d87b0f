#pragma once
// Pointer buttons and the modifier state that pointer and key events carry into the core.
// The window turns Qt's buttons and modifiers into these; tests build them directly.
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

}  // namespace quillon
