#pragma once
// Pricking irons (the punching tool whose blades make a seam's stitching holes) and iron
// groups (one iron together with the prong counts in which it is offered).
#include "platform/json_fwd.h"

#include <memory>
#include <string>
#include <vector>

namespace quillon {

// Blade letter to the index of the toolbox's kind selector: "D" 0 (diamond), "F" 1
// (French), "L" 2 (flat), "R" 3 (round). Exact, case-sensitive; -1 for anything else.
int BladeTypeToIndex(const std::string &ABladeType);
// The reverse: the letter for 0 to 3, the empty text for any other index.
std::string BladeIndexToType(int AIndex);

// One iron. Plain value: the blade letter is not validated and no value is range-limited.
class TPrickingIron {
 public:
  std::string BladeType = "F";  // "D" diamond, "F" French, "L" flat, "R" round
  float Pitch = 4.0f;           // mm between the centres of neighbouring holes
  float Width = 1.0f;           // mm across the hole's long axis (diameter when round)
  float Height = 2.0f;          // mm along the hole's long axis
  float Angle = 45.0f;          // degrees of blade tilt against the stitching direction
  std::string Name = "Unknown";

  // A new, independent iron with the same six values.
  std::unique_ptr<TPrickingIron> Clone() const;

  // Overwrites all six values from a full iron object. Keys are read in the order nm,
  // bt, p, w, h, a and each value is stored as soon as it is read. A missing key or a
  // value that does not convert throws std::runtime_error naming the key; the values read
  // before that key stay in the iron (the caller decides what a failed read means).
  // Extra keys are ignored.
  void loadJson(const TJson &AJson);

  // {"nm":..,"bt":..,"p":..,"w":..,"h":..,"a":..}; numbers as strings (floatToText).
  TJson toJsonObjectFull() const;
  // {"bt":..,"p":..}: the iron reference a stitching hole stores.
  TJson toJsonObjectMinimal() const;
};

// An iron and the prong counts it exists in. Stitching holes point at the group's iron
// without owning it, so the iron keeps its address for the group's whole life: the
// pointer is const and a group can be neither copied nor moved (hold groups by pointer).
class TPrickingIronGroup {
 public:
  explicit TPrickingIronGroup(bool AIsSystemGroup);
  TPrickingIronGroup(const TPrickingIronGroup &) = delete;
  TPrickingIronGroup &operator=(const TPrickingIronGroup &) = delete;

  // Prong counts. Starts as {1}; holds no duplicates when filled through addPrickingIron
  // or loadJson; sorted only by addPrickingIron.
  std::vector<int> AvailableBlades{1};
  const std::unique_ptr<TPrickingIron> PrickingIron;  // never null
  bool IsSystemGroup;  // a built-in group

  // Appends the count and sorts the list ascending, unless the list already holds it.
  void addPrickingIron(int NumOfBlades);

  // {"iron":{full iron},"blades":["1",...],"system_iron":false}
  TJson toJsonObject() const;

  // Reads "iron" (required object), then "blades" (optional; ignored unless an array;
  // each element a string or number giving an integer, appended in array order when not
  // yet present, without sorting), then "system_iron" (optional JSON boolean replacing
  // the flag). Throws std::runtime_error on a missing or malformed required value or an
  // unconvertible element; what was read before stays.
  void loadJson(const TJson &AJson);
};

}  // namespace quillon
