#include "stitching/iron_reference.h"

#include <charconv>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/json_values.h"
#include "stitching/pricking_iron_store.h"

namespace quillon {

namespace {

[[noreturn]] void failReference(const char *problem) {
  throw std::runtime_error(std::string("shape key \"pr\": ") + problem);
}

// The member, or null (which no reader takes) when the object has none.
const TJson &memberOf(const TJson &object, const char *key) {
  static const TJson kAbsent;
  const auto it = object.find(key);
  return it == object.end() ? kAbsent : *it;
}

// "Unknown " + the pitch in its shortest form ("3.85", "4") + "mm".
std::string unknownIronName(float pitch) {
  char digits[32];
  const auto written = std::to_chars(digits, digits + sizeof digits, pitch);
  return "Unknown " + std::string(digits, written.ptr) + "mm";
}

TPrickingIron *unknownIron(std::string_view blade, float pitch) {
  static std::mutex guard;
  static std::vector<std::unique_ptr<TPrickingIronGroup>> unknown;
  const std::lock_guard<std::mutex> lock(guard);
  for (const auto &group : unknown)
    if (group->PrickingIron->BladeType == blade && group->PrickingIron->Pitch == pitch)
      return group->PrickingIron.get();
  auto group = std::make_unique<TPrickingIronGroup>(false);
  group->PrickingIron->BladeType = std::string(blade);
  group->PrickingIron->Pitch = pitch;
  group->PrickingIron->Name = unknownIronName(pitch);
  unknown.push_back(std::move(group));
  return unknown.back()->PrickingIron.get();
}

}  // namespace

TPrickingIron *ironOfReference(const std::vector<std::unique_ptr<TPrickingIronGroup>> &groups, const TJson &pr) {
  if (!pr.is_object()) failReference("expected an object {\"bt\", \"p\"}");
  const TJsonRead<std::string_view> blade = readJsonText(memberOf(pr, "bt"));
  if (!blade) failReference("\"bt\" must be a text");
  const TJsonRead<float> pitch = readJsonFloat(memberOf(pr, "p"), TNonFinite::Refuse);
  if (!pitch) failReference("\"p\" must be a number");

  const std::string bladeType(blade.Value);
  TPrickingIronGroup *group = findPrickingIronGroup(groups, bladeType, pitch.Value, false);
  if (!group) group = findPrickingIronGroup(groups, bladeType, pitch.Value, true);
  return group ? group->PrickingIron.get() : unknownIron(blade.Value, pitch.Value);
}

}  // namespace quillon
