#pragma once
// The automation server's hand-off of requests to the UI thread, with a way out.
//
// A connection thread hands a piece of work to the UI thread and waits for its reply.
// Unlike a plain blocking hand-off, the wait can be ended from the UI thread: close()
// wakes every waiting connection with "no reply" and makes work that has not started yet
// a no-op when the UI thread reaches it. Shutdown closes the hand-off before it stops the
// server, so stopping never waits on a connection that waits on the UI thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quillon {

// A reply of the automation server: HTTP status and body text.
struct TMcpReply {
  int Status = 200;
  std::string Body;
};

class TMcpHandOff {
 public:
  TMcpHandOff();
  // Closes the hand-off.
  ~TMcpHandOff();
  TMcpHandOff(const TMcpHandOff &) = delete;
  TMcpHandOff &operator=(const TMcpHandOff &) = delete;

  // Runs `work` on the UI thread and waits for its reply. On the UI thread itself the
  // work runs at once. Empty when the hand-off is closed, before or during the wait; the
  // work then either never runs or its reply is dropped. `work` must not throw.
  std::optional<TMcpReply> run(std::function<TMcpReply()> work);

  // Wakes every waiting run() with an empty result and refuses new work. Work already
  // queued for the UI thread does nothing when it comes up. Idempotent.
  void close();
  bool isClosed() const;

  // The number of run() calls waiting for the UI thread right now.
  int waitingCount() const;

 private:
  struct TShared;
  std::shared_ptr<TShared> FShared;
};

}  // namespace quillon
