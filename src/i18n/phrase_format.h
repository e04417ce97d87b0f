#pragma once
// Filling the number fields of a translated phrase ("Gap %.4f mm", "%d line edits"). The
// phrases come from the built-in table or from a translation table the user imported, so
// the fields are read here rather than handed to a printf routine: a field without a
// value stays as written and surplus values are ignored. Numbers use "." whatever the
// locale.
#include <QString>

#include <initializer_list>

namespace quillon {

// Fields, filled left to right: "%.Nf" and "%f" (N decimals, 6 when not given), "%d"
// (the value rounded to a whole number); "%%" is a single "%".
QString formatPhrase(const QString &phrase, std::initializer_list<double> values);

}  // namespace quillon
