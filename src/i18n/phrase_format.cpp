#include "i18n/phrase_format.h"

#include <cmath>

namespace quillon {

QString formatPhrase(const QString &phrase, std::initializer_list<double> values) {
  QString out;
  out.reserve(phrase.size() + 16);
  auto next = values.begin();
  const qsizetype n = phrase.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = phrase[i];
    if (c != QLatin1Char('%') || i + 1 >= n) {
      out += c;
      continue;
    }
    if (phrase[i + 1] == QLatin1Char('%')) {
      out += QLatin1Char('%');
      ++i;
      continue;
    }
    // %d, %f or %.Nf (N of one or two digits).
    qsizetype j = i + 1;
    int decimals = 6;
    if (phrase[j] == QLatin1Char('.')) {
      qsizetype k = j + 1;
      int digits = 0, value = 0;
      while (k < n && digits < 2 && phrase[k].isDigit()) {
        value = value * 10 + phrase[k].digitValue();
        ++k;
        ++digits;
      }
      if (digits == 0 || k >= n || phrase[k] != QLatin1Char('f')) {
        out += c;
        continue;
      }
      decimals = value;
      j = k;
    }
    const QChar type = phrase[j];
    if ((type != QLatin1Char('f') && type != QLatin1Char('d')) || next == values.end()) {
      out += c;
      continue;
    }
    const double v = *next++;
    if (type == QLatin1Char('d'))
      out += QString::number(std::isfinite(v) ? static_cast<qlonglong>(std::llround(v)) : 0);
    else
      out += QString::number(v, 'f', decimals);
    i = j;
  }
  return out;
}

}  // namespace quillon
