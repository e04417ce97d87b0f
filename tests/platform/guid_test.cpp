#include "platform/guid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>
#include <string>

namespace quillon {
namespace {

TEST(GuidTest, TextIsBracedUpperCaseInFieldOrder) {
  TGUID g;
  g.D1 = 0x0123ABCD;
  g.D2 = 0x00EF;
  g.D3 = 0xA001;
  const std::uint8_t d4[8] = {0xFE, 0x0A, 0x00, 0x11, 0x22, 0xB3, 0xC4, 0x05};
  std::copy(std::begin(d4), std::end(d4), g.D4);
  EXPECT_EQ(g.toString(), "{0123ABCD-00EF-A001-FE0A-001122B3C405}");
  EXPECT_EQ(TGUID::empty().toString(), "{00000000-0000-0000-0000-000000000000}");
}

TEST(GuidTest, ParsesEitherCaseIntoTheFields) {
  const auto g = TGUID::fromString("{0123abcd-00Ef-a001-fE0A-001122b3c405}");
  ASSERT_TRUE(g.has_value());
  EXPECT_EQ(g->D1, 0x0123ABCDu);
  EXPECT_EQ(g->D2, 0x00EFu);
  EXPECT_EQ(g->D3, 0xA001u);
  const std::uint8_t d4[8] = {0xFE, 0x0A, 0x00, 0x11, 0x22, 0xB3, 0xC4, 0x05};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(g->D4[k], d4[k]) << "byte " << k;
}

TEST(GuidTest, NewGuidsAreDistinctNonEmptyAndRoundTrip) {
  std::set<std::string> seen;
  for (int k = 0; k < 50; ++k) {
    const TGUID g = TGUID::newGuid();
    EXPECT_FALSE(g.isEmpty());
    const std::string text = g.toString();
    ASSERT_EQ(text.size(), 38u);
    for (std::size_t i = 1; i < 37; ++i) {
      if (i == 9 || i == 14 || i == 19 || i == 24) {
        EXPECT_EQ(text[i], '-') << text;
      } else {
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(text[i])) || (text[i] >= 'A' && text[i] <= 'F')) << text;
      }
    }
    const auto back = TGUID::fromString(text);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(*back, g);
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 50u);
}

TEST(GuidTest, EmptyAndEquality) {
  EXPECT_TRUE(TGUID::empty().isEmpty());
  TGUID a = TGUID::empty();
  a.D4[7] = 1;  // a difference in the last byte counts
  EXPECT_FALSE(a.isEmpty());
  EXPECT_FALSE(a == TGUID::empty());
  TGUID b = TGUID::empty();
  b.D4[7] = 1;
  EXPECT_TRUE(a == b);
}

TEST(GuidTest, RefusesOtherForms) {
  const char *bad[] = {
      "",
      "0123ABCD-00EF-A001-FE0A-001122B3C405",      // no braces
      "{0123ABCD00EFA001FE0A001122B3C405}",        // no dashes
      "{0123ABCD-00EF-A001-FE0A-001122B3C40}",     // one digit short
      "{0123ABCD-00EF-A001-FE0A-001122B3C4055}",   // one digit too many
      "{0123ABCD-00EF-A001-FE0A-001122B3C405} ",   // trailing blank
      " {0123ABCD-00EF-A001-FE0A-001122B3C405}",   // leading blank
      "(0123ABCD-00EF-A001-FE0A-001122B3C405)",    // wrong brackets
      "{0123ABCD-00EF-A001-FE0A-001122B3C40G}",    // not hex
      "{0123ABC -00EF-A001-FE0A-001122B3C405}",    // blank inside
      "{0123ABCD+00EF-A001-FE0A-001122B3C405}",    // wrong separator
      "{0123ABCD-00EFA-001-FE0A-001122B3C405}",    // dash in the wrong place
      "{+123ABCD-00EF-A001-FE0A-001122B3C405}",    // sign
  };
  for (const char *text : bad) EXPECT_FALSE(TGUID::fromString(text).has_value()) << '"' << text << '"';
}

}  // namespace
}  // namespace quillon
