// The font families of the text tool: the installed list, the edited list and the preview.
#include <gtest/gtest.h>

#include "shell/font_list.h"

namespace quillon {
namespace {

TEST(FontList, InstalledFamiliesAreSortedOnceWithoutVerticalVariants) {
  const QStringList families{QStringLiteral("Noto Sans"), QStringLiteral("@MS Gothic"), QStringLiteral("arial"),
                             QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"), QStringLiteral("MS Gothic")};
  EXPECT_EQ(sortedFontFamilies(families),
            (QStringList{QStringLiteral("arial"), QStringLiteral("DejaVu Sans"), QStringLiteral("MS Gothic"),
                         QStringLiteral("Noto Sans")}));
  const QStringList installed = GetSystemFonts();
  EXPECT_FALSE(installed.isEmpty());
  EXPECT_EQ(sortedFontFamilies(installed), installed);
}

TEST(FontList, AnEditedListKeepsTheTrimmedNamesInOrder) {
  EXPECT_EQ(fontListFromText(QStringLiteral("  Arial \n\n\tDejaVu Sans\nArial\n   \n")),
            (QStringList{QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")}));
  EXPECT_TRUE(fontListFromText(QString()).isEmpty());
}

TEST(FontList, ThePreviewHasAJapaneseLineOnlyInJapanese) {
  const QStringList en = fontPreviewText(QStringLiteral("en")).split(QLatin1Char('\n'));
  ASSERT_EQ(en.size(), 4);
  EXPECT_EQ(en[3].size(), 28);
  EXPECT_FALSE(en[3].contains(QLatin1Char(' ')));
  EXPECT_EQ(fontPreviewText(QStringLiteral("ja")).split(QLatin1Char('\n')).size(), 5);
}

}  // namespace
}  // namespace quillon
