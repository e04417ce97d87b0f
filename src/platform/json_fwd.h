#pragma once
// The JSON value type for declarations. Files that build, read or copy values include
// platform/json_text.h, which brings the whole library.
#include <nlohmann/json_fwd.hpp>

namespace quillon {

using TJson = nlohmann::ordered_json;

}  // namespace quillon
