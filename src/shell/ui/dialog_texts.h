#pragma once
// The texts of the windows: a phrase by its key in the language of the main window that
// owns the widget, or in English from the built-in table when no main window owns it.
#include <QString>

class QObject;

namespace quillon {

class TEditor;

// The phrase of `key`; the key itself when no phrase exists.
QString phrase(const QObject *context, const char *key);
// The editor of the main window that owns the widget, if any.
TEditor *editorOf(const QObject *context);

}  // namespace quillon
