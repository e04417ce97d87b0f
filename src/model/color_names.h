#pragma once
// The named-colour table of the canvas: the 147 web colour names with their opaque
// ARGB values, in alphabetical order. Where two names share a value (Aqua and Cyan,
// Gray and Grey, ...) the first in the table is the one written.
#include <optional>
#include <span>
#include <string_view>

#include "platform/geometry.h"

namespace quillon {

struct TNamedColor {
  std::string_view Name;
  TAlphaColor Value;
};

std::span<const TNamedColor> namedColors();

// The name of exactly this ARGB value, when the table has one.
std::optional<std::string_view> colorName(TAlphaColor color);
// The value of a name, compared ignoring case, with or without the "cla" prefix.
std::optional<TAlphaColor> colorByName(std::string_view name);

}  // namespace quillon
