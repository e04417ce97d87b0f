#pragma once
// Auto-save and crash recovery.
//
// A changed document is written shortly after the user stops editing: the editor's
// 1000 ms timer calls TimerAutoSaveTimer, which saves once at least 3 s have passed since
// the last operation and the last save, and only when the document changed after its
// last save. The file is this window's own auto-save file in the data folder
// ("autosave_" + FRandomStr + ".tmp"), or the project file itself when the setting
// UseAutoSave is on and the document has a name. The document stays marked changed.
//
// At a normal start, a left-over auto-save file (a crashed run's) is opened as an
// untitled, changed document; then it becomes the new window's own auto-save file, so a
// second crash before the next auto-save loses nothing. It is opened under a name that
// marks it as being reopened ("autosave_reopening..."), which one more start still
// reopens (a start killed while reading it loses nothing), and that start opens it under
// a "delete_anytime..." name, which no start reopens: a file whose reading kills the
// program is opened at most twice.
#include <QString>

namespace quillon {

class TEditor;

inline constexpr int kAutoSaveIntervalMs = 1000;
inline constexpr int kAutoSaveIdleMs = 3000;

// The box key (and head of the text) of a left-over file that cannot be reopened.
inline constexpr const char *kAutosaveErrorText = "Autosave data error: ";
// The status-line text that reports a failed auto-save write (once, until one succeeds).
inline constexpr const char *kAutosaveFailedText = "Auto-save failed: ";

// Draws FRandomStr, a number from 0 to 9999 whose auto-save file is not in the data
// folder yet (the next free one after a random start), so that a new window never writes
// over a file a crashed one left. Needs FAppDataPath.
void chooseAutosaveNumber(TEditor &editor);
// The data folder joined with "autosave_" + FRandomStr + ".tmp".
QString autosaveFileName(const TEditor &editor);
// Deletes this window's auto-save file when it exists; a failure is ignored.
void deleteAutosaveFile(TEditor &editor);
// Creates the editor's auto-save timer and starts it (when there is an application
// object to run timers).
void startAutoSaveTimer(TEditor &editor);
// Restarts the running auto-save timer, so its next tick comes a full interval later.
void restartAutoSaveTimer(TEditor &editor);

// One tick at the time `now` (a date-time value, days; see platform/date_time.h). True
// when a file was written. A failed write is reported once on the status line and tried
// again by later ticks.
bool autoSaveTick(TEditor &editor, double now);
// The timer's tick: autoSaveTick at the current time.
void TimerAutoSaveTimer(TEditor &editor);

// Reopens the first left-over auto-save file of the data folder (by name); true when one
// was reopened, and the file is then this window's auto-save file. A file that cannot be
// moved or read gets an error box and the next one is tried; it is then left under its
// "delete_anytime" name.
bool recoverAutosave(TEditor &editor);

}  // namespace quillon
