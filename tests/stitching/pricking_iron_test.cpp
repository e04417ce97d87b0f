#include "stitching/pricking_iron.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/json_text.h"

namespace quillon {
namespace {

using Json = TJson;

// The exact text the program writes for a value.
std::string text(const Json &AValue) { return writeJsonText(AValue); }

const char *const kNewIronText = R"({"nm":"Unknown","bt":"F","p":"4.0","w":"1.0","h":"2.0","a":"45.0"})";

// A group object holding only the new iron.
std::string ironOnly() {
  std::string obj = R"({"iron":)";
  obj.append(kNewIronText).append("}");
  return obj;
}

// Runs AAction and returns the message of the std::runtime_error it throws ("" if none).
template <typename F>
std::string errorOf(F AAction) {
  try {
    AAction();
  } catch (const std::runtime_error &e) {
    return e.what();
  }
  return {};
}

TEST(PrickingIronBlade, LettersAndIndicesMapBothWays) {
  const std::vector<std::pair<std::string, int>> known = {{"D", 0}, {"F", 1}, {"L", 2}, {"R", 3}};
  for (const auto &[letter, index] : known) {
    EXPECT_EQ(BladeTypeToIndex(letter), index) << letter;
    EXPECT_EQ(BladeIndexToType(index), letter) << index;
  }
  for (const char *other : {"r", "d", "", "DD", " F", "X"}) EXPECT_EQ(BladeTypeToIndex(other), -1) << other;
  for (int other : {4, -1, 100, -100}) EXPECT_EQ(BladeIndexToType(other), "") << other;
}

TEST(PrickingIron, NewIronWritesDefaults) {
  const TPrickingIron iron;
  EXPECT_EQ(text(iron.toJsonObjectFull()), kNewIronText);
  EXPECT_EQ(text(iron.toJsonObjectMinimal()), R"({"bt":"F","p":"4.0"})");
}

TEST(PrickingIron, PitchNearest338IsWrittenWithFifteenDigitsAndReadsBackExactly) {
  TPrickingIron iron;
  iron.Pitch = 3.38f;
  EXPECT_EQ(text(iron.toJsonObjectMinimal()), R"({"bt":"F","p":"3.38000011444092"})");

  TPrickingIron back;
  back.loadJson(iron.toJsonObjectFull());
  EXPECT_EQ(back.Pitch, 3.38f);  // the very same single, not merely close
}

TEST(PrickingIron, FullObjectRoundTripGivesIdenticalText) {
  TPrickingIron iron;
  iron.Name = "Diamond 3.38mm";
  iron.BladeType = "D";
  iron.Pitch = 3.38f;
  iron.Width = 0.9f;
  iron.Height = 1.75f;
  iron.Angle = -30.0f;
  const Json written = iron.toJsonObjectFull();

  TPrickingIron back;
  back.loadJson(written);
  EXPECT_EQ(text(back.toJsonObjectFull()), text(written));
  EXPECT_EQ(back.Name, "Diamond 3.38mm");
  EXPECT_EQ(back.BladeType, "D");
  EXPECT_EQ(back.Width, 0.9f);
  EXPECT_EQ(back.Angle, -30.0f);
}

TEST(PrickingIron, ReadsJsonNumbersAndIgnoresExtraKeys) {
  TPrickingIron iron;
  iron.loadJson(Json::parse(R"({"extra":1,"nm":"N","bt":"Q","p":3.5,"w":1,"h":"2.5","a":0})"));
  EXPECT_EQ(iron.Name, "N");
  EXPECT_EQ(iron.BladeType, "Q");  // letters are not validated
  EXPECT_EQ(iron.Pitch, 3.5f);
  EXPECT_EQ(iron.Width, 1.0f);
  EXPECT_EQ(iron.Height, 2.5f);
  EXPECT_EQ(iron.Angle, 0.0f);
}

// Only the pitch accepts a comma as the decimal separator.
TEST(PrickingIron, CommaIsAcceptedInPitchOnly) {
  TPrickingIron iron;
  iron.loadJson(Json::parse(R"({"nm":"A","bt":"F","p":"3,5","w":"1.0","h":"2.0","a":"45.0"})"));
  EXPECT_EQ(iron.Pitch, 3.5f);

  for (const char *key : {"w", "h", "a"}) {
    Json obj = Json::parse(kNewIronText);
    obj[key] = "1,5";
    TPrickingIron other;
    const std::string message = errorOf([&] { other.loadJson(obj); });
    EXPECT_NE(message.find(std::string("\"") + key + "\""), std::string::npos) << key << ": " << message;
  }
}

struct TBadIronCase {
  const char *Key;
  bool Remove;         // remove the key, else replace its value by Replacement
  const char *Replacement;
};

// A failing key throws an error naming it; every key read before it has been stored,
// every key after it is untouched.
TEST(PrickingIron, FailedReadNamesTheKeyAndKeepsEarlierValues) {
  const TBadIronCase cases[] = {
      {"nm", true, nullptr}, {"bt", true, nullptr}, {"p", true, nullptr}, {"w", true, nullptr},
      {"h", true, nullptr},  {"a", true, nullptr},  {"p", false, "\"abc\""},
      {"p", false, "true"},  {"h", false, "\"\""},  {"a", false, "null"},
  };
  const char *const order[] = {"nm", "bt", "p", "w", "h", "a"};
  const Json source = Json::parse(R"({"nm":"Src","bt":"D","p":"3.0","w":"0.5","h":"1.5","a":"30.0"})");
  const Json defaults = Json::parse(kNewIronText);

  for (const auto &c : cases) {
    Json obj = source;
    if (c.Remove)
      obj.erase(c.Key);
    else
      obj[c.Key] = Json::parse(c.Replacement);

    TPrickingIron iron;
    const std::string message = errorOf([&] { iron.loadJson(obj); });
    ASSERT_NE(message.find(std::string("\"") + c.Key + "\""), std::string::npos) << c.Key << ": " << message;

    const Json after = iron.toJsonObjectFull();
    bool beforeFailure = true;
    for (const char *key : order) {
      if (std::strcmp(key, c.Key) == 0) beforeFailure = false;
      const Json &expected = beforeFailure ? source : defaults;
      EXPECT_EQ(after[key], expected[key]) << "failing " << c.Key << ", checking " << key;
    }
  }
}

TEST(PrickingIron, CloneIsIndependent) {
  TPrickingIron original;
  original.Name = "Mine";
  original.Pitch = 3.0f;
  const auto clone = original.Clone();
  EXPECT_EQ(text(clone->toJsonObjectFull()), text(original.toJsonObjectFull()));

  clone->Name = "Changed";
  clone->Pitch = 6.0f;
  clone->BladeType = "R";
  EXPECT_EQ(original.Name, "Mine");
  EXPECT_EQ(original.Pitch, 3.0f);
  EXPECT_EQ(original.BladeType, "F");
}

TEST(PrickingIronGroup, NewGroupWritesOneCountAndItsFlag) {
  const TPrickingIronGroup user(false);
  EXPECT_EQ(text(user.toJsonObject()),
            std::string(R"({"iron":)") + kNewIronText + R"(,"blades":["1"],"system_iron":false})");
  const TPrickingIronGroup builtIn(true);
  EXPECT_EQ(builtIn.toJsonObject()["system_iron"], Json(true));
}

TEST(PrickingIronGroup, AddPrickingIronKeepsCountsSortedAndUnique) {
  TPrickingIronGroup group(false);
  group.addPrickingIron(10);
  EXPECT_EQ(group.AvailableBlades, (std::vector<int>{1, 10}));
  group.addPrickingIron(5);
  EXPECT_EQ(group.AvailableBlades, (std::vector<int>{1, 5, 10}));
  group.addPrickingIron(5);
  group.addPrickingIron(1);
  EXPECT_EQ(group.AvailableBlades, (std::vector<int>{1, 5, 10}));
  group.addPrickingIron(0);  // no lower bound here
  EXPECT_EQ(group.AvailableBlades, (std::vector<int>{0, 1, 5, 10}));
  EXPECT_EQ(text(group.toJsonObject()["blades"]), R"(["0","1","5","10"])");
}

struct TBladesCase {
  const char *Blades;  // JSON text of the "blades" value
  std::vector<int> Expected;
};

TEST(PrickingIronGroup, ReadsBladesInArrayOrderWithoutDuplicates) {
  const TBladesCase cases[] = {
      {R"(["2","5"])", {1, 2, 5}},
      {R"(["10","2"])", {1, 10, 2}},  // appended, not sorted
      {R"(["1","1","4"])", {1, 4}},
      {R"([3,"7",3])", {1, 3, 7}},    // numbers and strings alike
      {R"([])", {1}},
      {R"("5")", {1}},                // not an array: ignored
      {R"({"a":"5"})", {1}},
  };
  for (const auto &c : cases) {
    Json obj = Json::parse(ironOnly());
    obj["blades"] = Json::parse(c.Blades);
    TPrickingIronGroup group(false);
    group.loadJson(obj);
    EXPECT_EQ(group.AvailableBlades, c.Expected) << c.Blades;
  }
}

TEST(PrickingIronGroup, BladeThatIsNotAnIntegerFails) {
  for (const char *blades : {R"(["x"])", R"(["2.5"])", R"([true])"}) {
    Json obj = Json::parse(ironOnly());
    obj["blades"] = Json::parse(blades);
    TPrickingIronGroup group(false);
    EXPECT_NE(errorOf([&] { group.loadJson(obj); }).find("\"blades\""), std::string::npos) << blades;
  }
}

TEST(PrickingIronGroup, SystemFlagIsReplacedOnlyWhenPresent) {
  const std::string withoutFlag = std::string(R"({"iron":)") + kNewIronText + "}";
  for (bool flag : {false, true}) {
    TPrickingIronGroup group(flag);
    group.loadJson(Json::parse(withoutFlag));
    EXPECT_EQ(group.IsSystemGroup, flag);
  }
  TPrickingIronGroup group(false);
  group.loadJson(Json::parse(std::string(R"({"iron":)") + kNewIronText + R"(,"system_iron":true})"));
  EXPECT_TRUE(group.IsSystemGroup);
  group.loadJson(Json::parse(std::string(R"({"iron":)") + kNewIronText + R"(,"system_iron":false})"));
  EXPECT_FALSE(group.IsSystemGroup);
}

TEST(PrickingIronGroup, MissingOrMalformedIronFails) {
  for (const char *text : {R"({"blades":["2"]})", R"({"iron":"x","blades":["2"]})",
                           R"({"iron":{"nm":"A"},"blades":["2"]})"}) {
    TPrickingIronGroup group(false);
    EXPECT_FALSE(errorOf([&] { group.loadJson(Json::parse(text)); }).empty()) << text;
    EXPECT_EQ(group.AvailableBlades, (std::vector<int>{1})) << text;  // stopped before "blades"
  }
}

TEST(PrickingIronGroup, RoundTripKeepsTextAndIronStaysPut) {
  TPrickingIronGroup group(true);
  group.PrickingIron->Name = "Flat 3.38";
  group.PrickingIron->BladeType = "L";
  group.PrickingIron->Pitch = 3.38f;
  group.addPrickingIron(6);
  group.addPrickingIron(2);
  const Json written = group.toJsonObject();

  TPrickingIronGroup back(false);
  const TPrickingIron *ironBefore = back.PrickingIron.get();
  back.loadJson(written);
  EXPECT_EQ(back.PrickingIron.get(), ironBefore);  // holes may point at it
  EXPECT_EQ(text(back.toJsonObject()), text(written));
}

}  // namespace
}  // namespace quillon
