#pragma once
// Hand-off of work from worker threads to the UI thread (the thread of the application
// object).
#include <functional>

namespace quillon {

// True on the thread that owns the application object; false elsewhere and when there
// is no application object.
bool isUiThread();

// Runs fn on the UI thread and waits for it. On the UI thread itself fn runs at once.
// An exception thrown by fn is carried back and rethrown here. The UI thread must be
// processing events (and must not be waiting for the caller), or the call never returns.
// Throws std::logic_error when there is no application object.
void runOnUiThreadBlocking(std::function<void()> fn);

// Queues fn to run on the UI thread from its event loop, in the order posted. Always
// returns at once: even on the UI thread fn runs later, after the current event. fn must
// not throw: nothing is left to catch its exception.
// Throws std::logic_error when there is no application object.
void postToUiThread(std::function<void()> fn);

}  // namespace quillon
