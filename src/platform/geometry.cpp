#include "platform/geometry.h"

#include <array>
#include <cctype>
#include <utility>

namespace quillon {

namespace {
constexpr std::array<std::pair<TStrokeDash, const char *>, 6> kDashNames = {{
    {TStrokeDash::Solid, "Solid"},
    {TStrokeDash::Dash, "Dash"},
    {TStrokeDash::Dot, "Dot"},
    {TStrokeDash::DashDot, "DashDot"},
    {TStrokeDash::DashDotDot, "DashDotDot"},
    {TStrokeDash::Custom, "Custom"},
}};

bool sameName(std::string_view a, std::string_view b, bool ignoreCase) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ignoreCase ? std::tolower(ca) != std::tolower(cb) : ca != cb) return false;
  }
  return true;
}
}  // namespace

const char *strokeDashName(TStrokeDash dash) {
  for (const auto &[value, name] : kDashNames)
    if (value == dash) return name;
  return "Solid";
}

std::optional<TStrokeDash> strokeDashFromName(std::string_view name, bool ignoreCase) {
  for (const auto &[value, text] : kDashNames)
    if (sameName(name, text, ignoreCase)) return value;
  return std::nullopt;
}

}  // namespace quillon
