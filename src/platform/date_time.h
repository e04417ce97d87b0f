#pragma once
// Date-times as 64-bit floats: days since 1899-12-30 00:00 local time, the fraction being
// the time of day (the form the document keeps its change and save times in).
#include <QDateTime>

namespace quillon {

double toDateTimeValue(const QDateTime &dt);
QDateTime fromDateTimeValue(double value);
double dateTimeNow();

}  // namespace quillon
