#pragma once
// The one way from a widget event into the core. Every Qt event handler and every slot
// of a widget signal that calls the core runs its body through guarded(): an exception
// from the body never leaves the handler (Qt cannot carry one through its event loop and
// the program would end); it is logged and shown on the status line instead.
//
// Only Qt Core is needed here, so the window code of every subsystem can use it.
#include <exception>
#include <utility>

class QObject;

namespace quillon {

class TEditorUi;

// The user interface that shows failures for an object: the first of the object and its
// parents that implements TEditorUi (the main window); nullptr when there is none. For
// dialogs and widgets that do not hold the editor.
TEditorUi *editorUiOf(const QObject *object);

// Reports a failure that reached an event handler: one warning line
// "Quillon: error in <what>: <message>" through Qt's message handler and, when ui is
// given, "Error in <what>: <message>" on its status line. A null message stands for an
// exception that is not a std::exception. Never throws.
void reportEventFailure(TEditorUi *ui, const char *what, const char *message) noexcept;

// Runs body(); an exception it throws is reported (reportEventFailure) and swallowed.
// `what` names the handler, as the window calls it ("pboxMouseDown", "actSaveProject").
// True when body finished normally.
template <class Body>
bool guarded(TEditorUi *ui, const char *what, Body &&body) noexcept {
  try {
    std::forward<Body>(body)();
    return true;
  } catch (const std::exception &e) {
    reportEventFailure(ui, what, e.what());
  } catch (...) {
    reportEventFailure(ui, what, nullptr);
  }
  return false;
}

template <class Body>
bool guarded(TEditorUi &ui, const char *what, Body &&body) noexcept {
  return guarded(&ui, what, std::forward<Body>(body));
}

}  // namespace quillon
