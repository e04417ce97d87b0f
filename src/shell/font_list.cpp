#include "shell/font_list.h"

#include <QFontDatabase>

#include <algorithm>

namespace quillon {

QStringList GetSystemFonts() { return sortedFontFamilies(QFontDatabase::families()); }

QStringList sortedFontFamilies(const QStringList &families) {
  QStringList result;
  for (const QString &name : families) {
    if (name.startsWith(QLatin1Char('@'))) continue;
    if (!result.contains(name, Qt::CaseInsensitive)) result << name;
  }
  std::sort(result.begin(), result.end(),
            [](const QString &a, const QString &b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
  return result;
}

QStringList fontListFromText(const QString &text) {
  QStringList names;
  for (const QString &line : text.split(QLatin1Char('\n'))) {
    const QString name = line.trimmed();
    if (!name.isEmpty()) names << name;
  }
  return names;
}

QString fontPreviewText(const QString &langID) {
  QStringList lines{QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), QStringLiteral("abcdefghijklmnopqrstuvwxyz"),
                    QStringLiteral("0123456789 3.14 3,14"),
                    QStringLiteral("-+*/;@!\"#$%&'(){}[]<>?_\\=~|^")};
  if (langID == QLatin1String("ja")) lines << QStringLiteral("これは日本語です。あいうえおかきくけこ。");
  return lines.join(QLatin1Char('\n'));
}

}  // namespace quillon
