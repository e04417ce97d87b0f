#pragma once
// The iron a shape object's iron reference names. A stitching shape stores its iron as
// "pr": {"bt": blade letter, "p": pitch} (TPrickingIron::toJsonObjectMinimal); every
// reader of shape objects (documents, the shape clipboard) turns it back into an iron
// here, the same way.
#include <memory>
#include <vector>

#include "platform/json_text.h"
#include "stitching/pricking_iron.h"

namespace quillon {

// The iron of the first group whose iron has the reference's blade letter and exactly
// its pitch, else of the first group with that blade letter, else the unknown iron of
// that blade letter and pitch: an iron of no group, named "Unknown " + the pitch in its
// shortest form with "." + "mm" ("Unknown 3.85mm", "Unknown 4mm"). One unknown iron
// serves every reference with the same blade letter and pitch; it is made on first use
// and kept until the program ends, since shapes, their undo copies and copy buffers point
// at it whichever document or buffer they came from.
//
// `pr` must be an object with "bt" (a text) and "p" (a JSON number or number text,
// finite and within float range); otherwise this throws std::runtime_error naming the
// member ("shape key \"pr\": ...").
TPrickingIron *ironOfReference(const std::vector<std::unique_ptr<TPrickingIronGroup>> &groups, const TJson &pr);

}  // namespace quillon
