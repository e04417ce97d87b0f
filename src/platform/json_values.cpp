#include "platform/json_values.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/number_text.h"

namespace quillon {

namespace {

template <typename T>
TJsonRead<T> refused(TJsonFault fault) {
  return {T{}, fault};
}

// Half a step above the largest finite float (2^128 - 2^104): a double at or beyond it
// has no float to become, while one below it rounds to the largest float.
constexpr double kFloatLimit = 0x1.ffffffp127;

constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();

const std::string &textOf(const TJson &value) { return value.get_ref<const std::string &>(); }

// "true" or "false" in any case, blanks around, or a whole number (not 0 is true).
TJsonRead<bool> lenientBoolText(const std::string &text) {
  const QString trimmed = QString::fromStdString(text).trimmed();
  if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return {true};
  if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return {false};
  if (const auto n = parseInt32(trimmed.toStdString())) return {*n != 0};
  return refused<bool>(TJsonFault::BadValue);
}

}  // namespace

TJsonRead<double> readJsonNumber(const TJson &value) {
  if (value.is_number()) return {value.get<double>()};
  if (!value.is_string()) return refused<double>(TJsonFault::WrongType);
  if (const auto d = parseDouble(textOf(value))) return {*d};
  return refused<double>(TJsonFault::BadValue);
}

TJsonRead<float> readJsonFloat(const TJson &value, TNonFinite nonFinite) {
  const TJsonRead<double> number = readJsonNumber(value);
  if (!number) return refused<float>(number.Fault);
  const double d = number.Value;
  if (!std::isfinite(d)) {
    if (nonFinite == TNonFinite::Refuse) return refused<float>(TJsonFault::OutOfRange);
    return {static_cast<float>(d)};
  }
  if (std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max())) {
    if (std::fabs(d) >= kFloatLimit) return refused<float>(TJsonFault::OutOfRange);
    return {d < 0 ? std::numeric_limits<float>::lowest() : std::numeric_limits<float>::max()};
  }
  return {static_cast<float>(d)};
}

TJsonRead<int> readJsonInt(const TJson &value) {
  if (value.is_number_unsigned()) {
    const auto n = value.get<std::uint64_t>();
    if (n <= static_cast<std::uint64_t>(kIntMax)) return {static_cast<int>(n)};
  } else if (value.is_number_integer()) {
    const auto n = value.get<std::int64_t>();
    if (n >= kIntMin && n <= kIntMax) return {static_cast<int>(n)};
  } else if (value.is_number_float()) {
    const double d = value.get<double>();
    if (std::trunc(d) == d && d >= static_cast<double>(kIntMin) && d <= static_cast<double>(kIntMax))
      return {static_cast<int>(d)};
  } else if (value.is_string()) {
    if (const auto n = parseInt32(textOf(value))) return {*n};
    return refused<int>(TJsonFault::BadValue);
  } else {
    return refused<int>(TJsonFault::WrongType);
  }
  return refused<int>(TJsonFault::OutOfRange);
}

TJsonRead<bool> readJsonBool(const TJson &value, TBoolForms forms) {
  if (value.is_boolean()) return {value.get<bool>()};
  if (forms == TBoolForms::Lenient) {
    if (value.is_number_unsigned()) return {value.get<std::uint64_t>() != 0};
    if (value.is_number_integer()) return {value.get<std::int64_t>() != 0};
    if (value.is_string()) return lenientBoolText(textOf(value));
    return refused<bool>(TJsonFault::WrongType);
  }
  if (!value.is_string()) return refused<bool>(TJsonFault::WrongType);
  const std::string &text = textOf(value);
  if (text == "-1" || text == "1") return {true};
  if (text == "0") return {false};
  return refused<bool>(TJsonFault::BadValue);
}

TJsonRead<std::string_view> readJsonText(const TJson &value) {
  if (!value.is_string()) return refused<std::string_view>(TJsonFault::WrongType);
  return {textOf(value)};
}

TJsonRead<TPointF> readJsonPoint(const TJson &value) {
  if (!value.is_array()) return refused<TPointF>(TJsonFault::WrongType);
  if (value.size() < 2) return refused<TPointF>(TJsonFault::BadValue);
  float xy[2];
  for (std::size_t i = 0; i < 2; ++i) {
    const TJsonRead<float> coordinate = readJsonFloat(value[i], TNonFinite::Refuse);
    if (coordinate.Fault == TJsonFault::OutOfRange) return refused<TPointF>(TJsonFault::OutOfRange);
    if (!coordinate) return refused<TPointF>(TJsonFault::BadValue);
    xy[i] = coordinate.Value;
  }
  return {TPointF{xy[0], xy[1]}};
}

}  // namespace quillon
