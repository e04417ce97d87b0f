#pragma once
// JSON values and the exact JSON text the program writes.
//
// Values are held in nlohmann::ordered_json, which keeps object keys in insertion order.
// The writer produces one compact line: no blanks, "/" escaped as "\/", every character
// outside printable ASCII as an upper-case \uXXXX escape (UTF-16 surrogate pairs above
// U+FFFF), floating numbers with up to 15 significant digits and ".0" on whole numbers.
#include <nlohmann/json.hpp>

#include "platform/json_fwd.h"

#include <QString>

#include <string>
#include <string_view>

namespace quillon {

// The text of a value. Strings must be UTF-8; invalid UTF-8 throws std::runtime_error.
std::string writeJsonText(const TJson &value);

// The deepest nesting of arrays and objects that parseJsonText accepts. No file or
// request of the program comes near it; deeper text is refused before any value is built,
// since copying, comparing, writing and freeing a value recurse once per level.
inline constexpr int kJsonMaxDepth = 256;

// Parses JSON text; a leading UTF-8 byte-order mark is skipped. Malformed text, and text
// nested deeper than kJsonMaxDepth, throws std::runtime_error whose message includes
// where the parser stopped (line and column).
TJson parseJsonText(std::string_view text);

// Whether a JSON file starts with the UTF-8 byte-order mark EF BB BF.
enum class TBom { With, Without };

// Writes writeJsonText(value) as UTF-8 (with the byte-order mark when asked) through a
// temporary file renamed over the old one. Throws std::runtime_error on failure.
void saveJsonFile(const QString &path, const TJson &value, TBom bom);

// Reads and parses a JSON file (with or without byte-order mark). Throws
// std::runtime_error naming the file when it is missing, unreadable or malformed.
TJson loadJsonFile(const QString &path);

}  // namespace quillon
