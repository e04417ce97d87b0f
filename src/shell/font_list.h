#pragma once
// The font families the text tool offers: the installed families, the list the user edits
// one name a line, and the sample text of the font list window.
#include <QString>
#include <QStringList>

namespace quillon {

// The installed font families, sorted alphabetically without regard to letter case, each
// once (names that differ only in letter case count as one), without the names that begin
// with "@" (vertical variants).
QStringList GetSystemFonts();
// The same rule for any list of family names.
QStringList sortedFontFamilies(const QStringList &families);

// The families of an edited list: its lines trimmed, empty lines left out, in the order
// typed (a name typed twice stays twice).
QStringList fontListFromText(const QString &text);

// The preview text of the font list window: the upper- and lower-case alphabet, the
// digits with two decimal numbers, 28 punctuation characters, and a Japanese line when
// the user-interface language is "ja".
QString fontPreviewText(const QString &langID);

}  // namespace quillon
