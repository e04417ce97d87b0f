#include "platform/number_text.h"
#include "platform/number_chars.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>

namespace quillon {

std::size_t writeGeneral15(double value, char *out) {
  const auto put = [out](std::string_view text) {
    std::copy(text.begin(), text.end(), out);
    return text.size();
  };
  if (std::isnan(value)) return put("NAN");
  if (std::isinf(value)) return put(value < 0 ? "-INF" : "INF");
  if (value == 0.0) return put("0");  // also for -0

  const auto res = std::to_chars(out, out + kGeneral15Size, value, std::chars_format::general, 15);
  const std::size_t length = static_cast<std::size_t>(res.ptr - out);

  // to_chars writes "1e-05" / "1.5e+20"; the file format wants "1E-5" / "1.5E20".
  char *const e = std::find(out, res.ptr, 'e');
  if (e == res.ptr) return length;
  *e = 'E';
  char *to = e + 1;
  const char *from = e + 1;
  if (*from == '-')
    *to++ = *from++;
  else if (*from == '+')
    ++from;
  while (from + 1 < res.ptr && *from == '0') ++from;
  while (from < res.ptr) *to++ = *from++;
  return static_cast<std::size_t>(to - out);
}

std::string formatGeneral15(double value) {
  char buf[kGeneral15Size];
  return std::string(buf, writeGeneral15(value, buf));
}

static std::string withDotZero(std::string text) {
  if (text.find_first_of(".EN") == std::string::npos) text += ".0";  // N: INF / NAN
  return text;
}

std::string doubleToText(double value) { return withDotZero(formatGeneral15(value)); }
std::string floatToText(float value) { return doubleToText(static_cast<double>(value)); }
std::string floatToTextNoDotZero(float value) { return formatGeneral15(static_cast<double>(value)); }

std::string formatFixed(double value, int decimals) {
  if (!std::isfinite(value)) value = 0.0;
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  std::string text(buf, res.ptr);
  // "-0.000" is zero: drop the sign.
  if (!text.empty() && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);
  return text;
}

static std::string_view trimBlanks(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

std::optional<double> parseDouble(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return std::nullopt;
  std::string_view body = text;
  bool negative = false;
  if (body.front() == '+' || body.front() == '-') {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  if (body == "INF") return negative ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();
  if (body == "NAN") return std::numeric_limits<double>::quiet_NaN();
  // from_chars refuses a leading "+" and accepts "inf"/"nan" spellings we do not write.
  if (body.empty() || !(std::isdigit(static_cast<unsigned char>(body.front())) || body.front() == '.'))
    return std::nullopt;
  double value = 0.0;
  auto res = std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range && res.ptr == body.data() + body.size()) {
    // A negative exponent underflows to 0; overflow is not a number we can keep.
    const auto e = body.find_first_of("eE");
    if (e == std::string_view::npos || e + 1 >= body.size() || body[e + 1] != '-') return std::nullopt;
    value = 0.0;
  } else if (res.ec != std::errc() || res.ptr != body.data() + body.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<double> parseDoubleAcceptComma(std::string_view text) {
  std::string copy(text);
  for (char &c : copy)
    if (c == ',') c = '.';
  return parseDouble(copy);
}

std::optional<int> parseInt32(std::string_view text) {
  text = trimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  int value = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

namespace {
// Powers of ten for the usual decimal counts; the rounding helpers run on hot paths.
double tenTo(int decimals) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                       1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (decimals >= 0 && decimals < static_cast<int>(std::size(kPowers))) return kPowers[decimals];
  return std::pow(10.0, decimals);
}
}  // namespace

double roundHalfEven(double value, int decimals) {
  const double scale = tenTo(decimals);
  const double scaled = value * scale;
  const double r = std::nearbyint(scaled);  // default rounding mode: halves to even
  return r / scale;
}

double roundHalfAwayFromZero(double value, int decimals) {
  const double scale = tenTo(decimals);
  const double scaled = value * scale;
  // std::round decides the half exactly; adding 0.5 first would round the sum itself
  // (0.49999999999999994 + 0.5 is 1.0, and odd numbers above 2^52 move to the next even).
  const double r = std::round(scaled);
  return r / scale;
}

}  // namespace quillon
