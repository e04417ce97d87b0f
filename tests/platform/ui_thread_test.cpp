#include "platform/ui_thread.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace quillon {
namespace {

using namespace std::chrono_literals;

// Processes UI events until done() holds; fails the test when that takes longer than
// the deadline, but keeps serving events so a slow worker cannot dead-lock the join.
void spinUntil(const std::function<bool()> &done, std::chrono::milliseconds deadline = 5000ms) {
  const auto start = std::chrono::steady_clock::now();
  bool reported = false;
  while (!done()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(1ms);
    if (!reported && std::chrono::steady_clock::now() - start > deadline) {
      ADD_FAILURE() << "timed out waiting for the UI thread work";
      reported = true;
    }
  }
}

TEST(UiThreadTest, KnowsWhichThreadIsTheUiThread) {
  EXPECT_TRUE(isUiThread());
  bool onWorker = true;
  std::thread worker([&] { onWorker = isUiThread(); });
  worker.join();
  EXPECT_FALSE(onWorker);
}

TEST(UiThreadTest, BlockingCallOnUiThreadRunsAtOnce) {
  int calls = 0;
  runOnUiThreadBlocking([&] { ++calls; });
  EXPECT_EQ(calls, 1);  // no event processing in between
}

TEST(UiThreadTest, BlockingCallFromWorkerRunsOnUiThreadAndWaits) {
  std::atomic<bool> finished{false};
  bool ranOnUi = false;
  QThread *ranIn = nullptr;
  int valueSeenByWorker = 0;
  int value = 0;
  std::thread worker([&] {
    runOnUiThreadBlocking([&] {
      ranOnUi = isUiThread();
      ranIn = QThread::currentThread();
      value = 42;
    });
    valueSeenByWorker = value;  // written by the UI thread before the call returned
    finished = true;
  });
  spinUntil([&] { return finished.load(); });
  worker.join();
  EXPECT_TRUE(ranOnUi);
  EXPECT_EQ(ranIn, QCoreApplication::instance()->thread());
  EXPECT_EQ(valueSeenByWorker, 42);
}

TEST(UiThreadTest, BlockingCallCarriesExceptionsBackToTheWorker) {
  std::atomic<bool> finished{false};
  std::string caught;
  bool wrongType = false;
  std::thread worker([&] {
    try {
      runOnUiThreadBlocking([] { throw std::invalid_argument("bad value 7"); });
    } catch (const std::invalid_argument &e) {
      caught = e.what();
    } catch (...) {
      wrongType = true;
    }
    finished = true;
  });
  spinUntil([&] { return finished.load(); });
  worker.join();
  EXPECT_FALSE(wrongType);
  EXPECT_EQ(caught, "bad value 7");
}

TEST(UiThreadTest, BlockingCallOnUiThreadLetsExceptionsThrough) {
  EXPECT_THROW(runOnUiThreadBlocking([] { throw std::runtime_error("x"); }), std::runtime_error);
}

TEST(UiThreadTest, PostOnUiThreadRunsLaterInOrder) {
  std::vector<int> order;
  postToUiThread([&] {
    order.push_back(1);
    // Posted from inside posted work: runs after this function has returned.
    postToUiThread([&] { order.push_back(4); });
    order.push_back(2);
  });
  postToUiThread([&] { order.push_back(3); });
  EXPECT_TRUE(order.empty());  // nothing runs before the event loop turns
  spinUntil([&] { return order.size() >= 4; });
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST(UiThreadTest, PostFromWorkerReturnsAtOnceAndRunsInOrderOnUiThread) {
  std::vector<int> order;
  std::atomic<int> notOnUi{0};
  std::atomic<bool> posted{false};
  std::thread worker([&] {
    for (int k = 0; k < 20; ++k)
      postToUiThread([&, k] {
        if (!isUiThread()) ++notOnUi;
        order.push_back(k);
      });
    posted = true;
  });
  // The worker finishes posting without any UI event being processed.
  while (!posted.load()) std::this_thread::sleep_for(1ms);
  worker.join();
  EXPECT_TRUE(order.empty());
  spinUntil([&] { return order.size() >= 20; });
  std::vector<int> expected(20);
  for (int k = 0; k < 20; ++k) expected[static_cast<std::size_t>(k)] = k;
  EXPECT_EQ(order, expected);
  EXPECT_EQ(notOnUi.load(), 0);
}

}  // namespace
}  // namespace quillon
