#include "stitching/iron_reference.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon {
namespace {

class IronReferenceTest : public ::testing::Test {
 protected:
  std::vector<std::unique_ptr<TPrickingIronGroup>> groups;

  TPrickingIron *addGroup(const char *blade, float pitch) {
    groups.push_back(std::make_unique<TPrickingIronGroup>(false));
    TPrickingIron *iron = groups.back()->PrickingIron.get();
    iron->BladeType = blade;
    iron->Pitch = pitch;
    return iron;
  }
  // The reference a shape object stores for an iron of that blade and pitch.
  static TJson reference(const char *blade, float pitch) {
    TPrickingIron iron;
    iron.BladeType = blade;
    iron.Pitch = pitch;
    return iron.toJsonObjectMinimal();
  }
  bool isGroupIron(const TPrickingIron *iron) const {
    for (const auto &g : groups)
      if (g->PrickingIron.get() == iron) return true;
    return false;
  }
};

TEST_F(IronReferenceTest, ExactPitchFirstThenTheFirstOfTheBlade) {
  TPrickingIron *f385 = addGroup("F", 3.85f);
  TPrickingIron *d4 = addGroup("D", 4.0f);
  TPrickingIron *d3 = addGroup("D", 3.0f);
  addGroup("D", 3.0f);  // a later group of the same iron is never chosen

  EXPECT_EQ(ironOfReference(groups, reference("D", 3.0f)), d3);  // the first of the exact ones
  EXPECT_EQ(ironOfReference(groups, reference("D", 3.85f)), d4);  // another blade's pitch does not count
  EXPECT_EQ(ironOfReference(groups, reference("F", 2.7f)), f385);
  // The pitch as a JSON number, and as the text of the same float.
  EXPECT_EQ(ironOfReference(groups, {{"bt", "D"}, {"p", 4}}), d4);
  EXPECT_EQ(ironOfReference(groups, {{"bt", "D"}, {"p", "3.0"}}), d3);
  // Blade letters are compared exactly.
  EXPECT_FALSE(isGroupIron(ironOfReference(groups, reference("d", 4.0f))));
}

TEST_F(IronReferenceTest, AnIronNoGroupHasIsNamedAfterItsShortestPitch) {
  addGroup("D", 4.0f);
  struct Case {
    TJson pr;
    const char *blade;
    float pitch;
    const char *name;
  };
  const Case cases[] = {
      {reference("R", 3.85f), "R", 3.85f, "Unknown 3.85mm"},
      {reference("L", 4.0f), "L", 4.0f, "Unknown 4mm"},
      {reference("F", 12.4f), "F", 12.4f, "Unknown 12.4mm"},
      {{{"bt", "F"}, {"p", 0.6}}, "F", 0.6f, "Unknown 0.6mm"},
      {{{"bt", "X"}, {"p", "2.5E-5"}}, "X", 2.5e-5f, "Unknown 2.5e-05mm"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.pr.dump());
    TPrickingIron *iron = ironOfReference(groups, c.pr);
    ASSERT_NE(iron, nullptr);
    EXPECT_FALSE(isGroupIron(iron));
    EXPECT_EQ(iron->BladeType, c.blade);
    EXPECT_EQ(iron->Pitch, c.pitch);
    EXPECT_EQ(iron->Name, c.name);
  }
  EXPECT_EQ(groups.size(), 1u);  // nothing was added to the groups
}

TEST_F(IronReferenceTest, OneUnknownIronPerBladeAndPitchOutlivesTheGroups) {
  TPrickingIron *first = ironOfReference(groups, reference("R", 5.5f));
  EXPECT_EQ(ironOfReference(groups, reference("R", 5.5f)), first);
  EXPECT_NE(ironOfReference(groups, reference("L", 5.5f)), first);
  EXPECT_NE(ironOfReference(groups, reference("R", 5.0f)), first);

  // Other group lists (another window, a later read) find the same iron while they have
  // no iron of that blade; once one does, its group's iron wins.
  std::vector<std::unique_ptr<TPrickingIronGroup>> other;
  EXPECT_EQ(ironOfReference(other, reference("R", 5.5f)), first);
  TPrickingIron *r4 = addGroup("R", 4.0f);
  EXPECT_EQ(ironOfReference(groups, reference("R", 5.5f)), r4);
  groups.clear();
  EXPECT_EQ(first->Name, "Unknown 5.5mm");
}

TEST_F(IronReferenceTest, MalformedReferencesNameTheMember) {
  addGroup("D", 4.0f);
  struct Case {
    TJson pr;
    const char *member;  // what the message must name
  };
  const Case cases[] = {
      {"D4", "\"pr\""},
      {TJson::array({"D", 4}), "\"pr\""},
      {{{"p", "4.0"}}, "\"bt\""},
      {{{"bt", 4}, {"p", "4.0"}}, "\"bt\""},
      {{{"bt", "D"}}, "\"p\""},
      {{{"bt", "D"}, {"p", "wide"}}, "\"p\""},
      {{{"bt", "D"}, {"p", nullptr}}, "\"p\""},
      {{{"bt", "D"}, {"p", "1e300"}}, "\"p\""},
      {{{"bt", "D"}, {"p", "INF"}}, "\"p\""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.pr.dump());
    try {
      ironOfReference(groups, c.pr);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error &e) {
      EXPECT_NE(std::string(e.what()).find(c.member), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace quillon
