#include "platform/guid.h"

#include <QUuid>

namespace quillon {

namespace {

constexpr std::size_t kTextLength = 38;

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads `digits` hex digits from text at pos into value; false on a non-hex character.
bool readHex(std::string_view text, std::size_t pos, int digits, std::uint64_t &value) {
  value = 0;
  for (int k = 0; k < digits; ++k) {
    const int v = hexValue(text[pos + static_cast<std::size_t>(k)]);
    if (v < 0) return false;
    value = (value << 4) | static_cast<std::uint64_t>(v);
  }
  return true;
}

void appendHex(std::string &out, std::uint64_t value, int digits) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

}  // namespace

TGUID TGUID::newGuid() {
  const QUuid uuid = QUuid::createUuid();
  TGUID g;
  g.D1 = uuid.data1;
  g.D2 = uuid.data2;
  g.D3 = uuid.data3;
  for (int k = 0; k < 8; ++k) g.D4[k] = uuid.data4[k];
  return g;
}

TGUID TGUID::empty() { return TGUID{}; }

bool TGUID::isEmpty() const { return *this == TGUID{}; }

std::string TGUID::toString() const {
  std::string out;
  out.reserve(kTextLength);
  out += '{';
  appendHex(out, D1, 8);
  out += '-';
  appendHex(out, D2, 4);
  out += '-';
  appendHex(out, D3, 4);
  out += '-';
  appendHex(out, D4[0], 2);
  appendHex(out, D4[1], 2);
  out += '-';
  for (int k = 2; k < 8; ++k) appendHex(out, D4[k], 2);
  out += '}';
  return out;
}

std::optional<TGUID> TGUID::fromString(std::string_view text) {
  if (text.size() != kTextLength || text.front() != '{' || text.back() != '}' || text[9] != '-' ||
      text[14] != '-' || text[19] != '-' || text[24] != '-')
    return std::nullopt;
  TGUID g;
  std::uint64_t v = 0;
  if (!readHex(text, 1, 8, v)) return std::nullopt;
  g.D1 = static_cast<std::uint32_t>(v);
  if (!readHex(text, 10, 4, v)) return std::nullopt;
  g.D2 = static_cast<std::uint16_t>(v);
  if (!readHex(text, 15, 4, v)) return std::nullopt;
  g.D3 = static_cast<std::uint16_t>(v);
  // D4: two bytes before the last dash, six after it.
  static constexpr std::size_t kD4Pos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int k = 0; k < 8; ++k) {
    if (!readHex(text, kD4Pos[k], 2, v)) return std::nullopt;
    g.D4[k] = static_cast<std::uint8_t>(v);
  }
  return g;
}

}  // namespace quillon
