#include "platform/date_time.h"

#include <cmath>

namespace quillon {

namespace {
const QDateTime &epoch() {
  static const QDateTime e(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
  return e;
}
constexpr double kMsPerDay = 86400000.0;
}  // namespace

double toDateTimeValue(const QDateTime &dt) {
  // Local wall-clock time counted as if it were UTC, so whole days fall on midnight.
  const QDateTime wall(dt.date(), dt.time(), Qt::UTC);
  return static_cast<double>(epoch().msecsTo(wall)) / kMsPerDay;
}

QDateTime fromDateTimeValue(double value) {
  const QDateTime wall = epoch().addMSecs(static_cast<qint64>(std::llround(value * kMsPerDay)));
  return QDateTime(wall.date(), wall.time(), Qt::LocalTime);
}

double dateTimeNow() { return toDateTimeValue(QDateTime::currentDateTime()); }

}  // namespace quillon
