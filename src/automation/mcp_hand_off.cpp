#include "automation/mcp_hand_off.h"

#include <condition_variable>
#include <mutex>
#include <utility>

#include "platform/ui_thread.h"

namespace quillon {

// What the waiting connection threads and the queued work share. It outlives the
// hand-off object: queued work keeps it alive until the UI thread has dropped the work.
struct TMcpHandOff::TShared {
  std::mutex Mutex;
  std::condition_variable Changed;
  bool Closed = false;
  int Waiting = 0;
};

namespace {

// One hand-off: whether its work ran to the end, whether its waiter gave up, its reply.
struct TSlot {
  bool Done = false;
  bool Abandoned = false;
  TMcpReply Reply;
};

}  // namespace

TMcpHandOff::TMcpHandOff() : FShared(std::make_shared<TShared>()) {}

TMcpHandOff::~TMcpHandOff() { close(); }

std::optional<TMcpReply> TMcpHandOff::run(std::function<TMcpReply()> work) {
  if (isUiThread()) {
    if (isClosed()) return std::nullopt;
    return work();
  }

  auto shared = FShared;
  auto slot = std::make_shared<TSlot>();
  std::unique_lock<std::mutex> lock(shared->Mutex);
  if (shared->Closed) return std::nullopt;
  ++shared->Waiting;
  lock.unlock();

  try {
    postToUiThread([shared, slot, work = std::move(work)] {
      {
        std::lock_guard<std::mutex> guard(shared->Mutex);
        if (shared->Closed || slot->Abandoned) return;
      }
      TMcpReply reply = work();
      std::lock_guard<std::mutex> guard(shared->Mutex);
      slot->Reply = std::move(reply);
      slot->Done = true;
      shared->Changed.notify_all();
    });
  } catch (...) {
    lock.lock();
    --shared->Waiting;
    return std::nullopt;
  }

  lock.lock();
  shared->Changed.wait(lock, [&] { return slot->Done || shared->Closed; });
  --shared->Waiting;
  if (slot->Done) return std::move(slot->Reply);
  slot->Abandoned = true;
  return std::nullopt;
}

void TMcpHandOff::close() {
  std::lock_guard<std::mutex> guard(FShared->Mutex);
  FShared->Closed = true;
  FShared->Changed.notify_all();
}

bool TMcpHandOff::isClosed() const {
  std::lock_guard<std::mutex> guard(FShared->Mutex);
  return FShared->Closed;
}

int TMcpHandOff::waitingCount() const {
  std::lock_guard<std::mutex> guard(FShared->Mutex);
  return FShared->Waiting;
}

}  // namespace quillon
