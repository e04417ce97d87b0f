#pragma once
// The key-repeat guard of the commands bound to function keys.
#include <QString>

namespace quillon {

class TEditor;

// True when the same key text was seen less than `intervalMs` ago on the editor's
// stopwatch; the time is stored in every case, so a held key stays blocked while its
// repeats come faster than the interval. A key text seen for the first time gives false.
bool isThrottled(TEditor &editor, const QString &key, int intervalMs);

}  // namespace quillon
