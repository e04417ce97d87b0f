#pragma once
// Number texts written into a caller's buffer, for writers that put out many numbers and
// should not allocate for each (same texts as platform/number_text.h).
#include <cstddef>

namespace quillon {

// Room that writeGeneral15 needs.
inline constexpr std::size_t kGeneral15Size = 32;

// Writes formatGeneral15(value) to out, which has room for kGeneral15Size characters;
// returns the text's length.
std::size_t writeGeneral15(double value, char *out);

}  // namespace quillon
