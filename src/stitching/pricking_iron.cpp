#include "stitching/pricking_iron.h"

#include "platform/json_text.h"
#include "platform/json_values.h"
#include "platform/number_text.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace quillon {

namespace {


constexpr std::array<const char *, 4> kBladeLetters = {"D", "F", "L", "R"};

[[noreturn]] void failKey(const char *AWhat, const std::string &AKey, const char *AProblem) {
  throw std::runtime_error(std::string(AWhat) + ": key \"" + AKey + "\" " + AProblem);
}

const TJson &requiredValue(const TJson &AJson, const char *AWhat, const std::string &AKey) {
  if (!AJson.is_object()) throw std::runtime_error(std::string(AWhat) + ": not a JSON object");
  const auto it = AJson.find(AKey);
  if (it == AJson.end()) failKey(AWhat, AKey, "is missing");
  return *it;
}

std::string readText(const TJson &AJson, const std::string &AKey) {
  const TJson &value = requiredValue(AJson, "pricking iron", AKey);
  if (!value.is_string()) failKey("pricking iron", AKey, "is not a text");
  return value.get<std::string>();
}

// A JSON number or a number text with "."; with AAcceptComma a text that fails is tried
// again with every "," taken as ".".
float readNumber(const TJson &AJson, const std::string &AKey, bool AAcceptComma) {
  const TJson &value = requiredValue(AJson, "pricking iron", AKey);
  TJsonRead<double> number = readJsonNumber(value);
  if (number.Fault == TJsonFault::BadValue && AAcceptComma) {
    if (const auto d = parseDoubleAcceptComma(value.get_ref<const std::string &>())) number = {*d};
  }
  if (!number) failKey("pricking iron", AKey, "is not a number");
  return static_cast<float>(number.Value);
}

int readCount(const TJson &AElement) {
  if (const TJsonRead<int> count = readJsonInt(AElement)) return count.Value;
  throw std::runtime_error("pricking iron group: key \"blades\" holds a value that is not an integer");
}

}  // namespace

int BladeTypeToIndex(const std::string &ABladeType) {
  for (std::size_t i = 0; i < kBladeLetters.size(); ++i)
    if (ABladeType == kBladeLetters[i]) return static_cast<int>(i);
  return -1;
}

std::string BladeIndexToType(int AIndex) {
  if (AIndex < 0 || AIndex >= static_cast<int>(kBladeLetters.size())) return {};
  return kBladeLetters[static_cast<std::size_t>(AIndex)];
}

std::unique_ptr<TPrickingIron> TPrickingIron::Clone() const {
  return std::make_unique<TPrickingIron>(*this);
}

void TPrickingIron::loadJson(const TJson &AJson) {
  // Each value is stored before the next key is read, so a failure part-way leaves the
  // earlier values in place.
  Name = readText(AJson, "nm");
  BladeType = readText(AJson, "bt");
  Pitch = readNumber(AJson, "p", true);
  Width = readNumber(AJson, "w", false);
  Height = readNumber(AJson, "h", false);
  Angle = readNumber(AJson, "a", false);
}

TJson TPrickingIron::toJsonObjectFull() const {
  TJson obj = TJson::object();
  obj["nm"] = Name;
  obj["bt"] = BladeType;
  obj["p"] = floatToText(Pitch);
  obj["w"] = floatToText(Width);
  obj["h"] = floatToText(Height);
  obj["a"] = floatToText(Angle);
  return obj;
}

TJson TPrickingIron::toJsonObjectMinimal() const {
  TJson obj = TJson::object();
  obj["bt"] = BladeType;
  obj["p"] = floatToText(Pitch);
  return obj;
}

TPrickingIronGroup::TPrickingIronGroup(bool AIsSystemGroup)
    : PrickingIron(std::make_unique<TPrickingIron>()), IsSystemGroup(AIsSystemGroup) {}

void TPrickingIronGroup::addPrickingIron(int NumOfBlades) {
  if (std::find(AvailableBlades.begin(), AvailableBlades.end(), NumOfBlades) != AvailableBlades.end())
    return;
  AvailableBlades.push_back(NumOfBlades);
  std::sort(AvailableBlades.begin(), AvailableBlades.end());
}

TJson TPrickingIronGroup::toJsonObject() const {
  TJson obj = TJson::object();
  obj["iron"] = PrickingIron->toJsonObjectFull();
  TJson blades = TJson::array();
  for (int count : AvailableBlades) blades.push_back(std::to_string(count));
  obj["blades"] = std::move(blades);
  obj["system_iron"] = IsSystemGroup;
  return obj;
}

void TPrickingIronGroup::loadJson(const TJson &AJson) {
  const TJson &iron = requiredValue(AJson, "pricking iron group", "iron");
  if (!iron.is_object()) failKey("pricking iron group", "iron", "is not an object");
  PrickingIron->loadJson(iron);

  if (const auto it = AJson.find("blades"); it != AJson.end() && it->is_array()) {
    for (const TJson &element : *it) {
      const int count = readCount(element);
      if (std::find(AvailableBlades.begin(), AvailableBlades.end(), count) == AvailableBlades.end())
        AvailableBlades.push_back(count);
    }
  }

  if (const auto it = AJson.find("system_iron"); it != AJson.end()) {
    if (!it->is_boolean()) failKey("pricking iron group", "system_iron", "is not a boolean");
    IsSystemGroup = it->get<bool>();
  }
}

}  // namespace quillon
