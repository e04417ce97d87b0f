#pragma once
// GUIDs, written as 38 upper-case characters with braces:
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

struct TGUID {
  std::uint32_t D1 = 0;
  std::uint16_t D2 = 0;
  std::uint16_t D3 = 0;
  std::uint8_t D4[8] = {0, 0, 0, 0, 0, 0, 0, 0};

  // A new random GUID.
  static TGUID newGuid();
  // The all-zero GUID.
  static TGUID empty();
  bool isEmpty() const;

  bool operator==(const TGUID &other) const = default;

  // The braced, upper-case 38-character text.
  std::string toString() const;
  // Accepts exactly the braced 38-character form (hex digits in either case);
  // anything else gives no value.
  static std::optional<TGUID> fromString(std::string_view text);
};

}  // namespace quillon
