#pragma once
// TLaunchHUD: the busy overlay a window shows while a further window starts: a dimmed
// cover over the whole window that catches the pointer, with a dark rounded panel, a
// spinner and a message in the middle. One overlay per process, made for its owner window
// on the first showing and made again when another window shows it.
//
// actOpenNewWindowExecute: the "Open New Window" command.
#include <QString>

class QWidget;

namespace quillon {

class TLaunchHUD {
 public:
  static void Show(QWidget *owner, const QString &message);
  static void Hide();
  static bool IsShown();
  // The cover, while it exists (for tests).
  static QWidget *cover();
};

// Opens a further window of the program: the wait cursor and the overlay with `message`
// over `owner`, then a task of the shared pool starts the program with "--instance-id"
// and the time as its ID and, at least 500 ms after it began, hides the overlay and
// restores the cursor. A process that cannot be started leaves nothing but that.
void actOpenNewWindowExecute(QWidget *owner, const QString &message);

// Restores the window when it is minimised, raises it above the others and asks the
// desktop to give it the keyboard (a further window started behind the first comes
// forward). The main window calls it when it is first shown.
void BringFormToFront(QWidget *window);

}  // namespace quillon
