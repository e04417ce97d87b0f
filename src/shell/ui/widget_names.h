#pragma once
// Widgets carry the component names the program's texts and tests refer to.
#include <QString>

namespace quillon {

// Gives `widget` its object name and returns it, so a widget is made and named in one
// expression.
template <typename T>
T *named(T *widget, const char *name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace quillon
