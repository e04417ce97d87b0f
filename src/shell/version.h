#pragma once

namespace quillon {

// The program version, as written into every file's "meta" and the window caption.
inline constexpr const char *kQuillonVersion = "3.7.9";

}  // namespace quillon
