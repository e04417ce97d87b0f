#include "shell/throttle.h"

#include "shell/editor.h"

namespace quillon {

bool isThrottled(TEditor &editor, const QString &key, int intervalMs) {
  const qint64 now = editor.FStopwatch.isValid() ? editor.FStopwatch.elapsed() : 0;
  const auto it = editor.FThrottleTimes.find(key);
  const bool blocked = it != editor.FThrottleTimes.end() && now - it->second < intervalMs;
  editor.FThrottleTimes[key] = now;
  return blocked;
}

}  // namespace quillon
