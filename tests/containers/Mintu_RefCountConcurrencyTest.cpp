// References to one container and its iterators taken and dropped from
// several threads at once. Meant to run under ThreadSanitizer (races on the
// counts or on the final destruction) and LeakSanitizer (the last reference
// frees everything).

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ContainerTestSupport.h"
#include "mintu/Mintu_VectorHelper.h"

using CommonI::RefCountPtr;
using MintuTest::RefCountOf;
using UtilI::IStringContainer;
using UtilI::IStringIterator;

namespace {

const int kThreads = 4;
const int kRounds = 2000;

RefCountPtr<IStringContainer> MakeContainer() {
  RefCountPtr<IStringContainer> c = UtilI::VectorHelperT<IStringContainer>::Create();
  for (int i = 0; i < 8; ++i) c->Add(std::to_string(i));
  return c;
}

// One thread's work: copies of the container pointer, iterators made from
// it, copies of those iterators passed around and dropped in varying order.
// Strings are only read. Returns the number of strings read.
long Churn(RefCountPtr<const IStringContainer> container, std::atomic<bool>* go) {
  while (!go->load()) std::this_thread::yield();
  long read = 0;
  for (int round = 0; round < kRounds; ++round) {
    RefCountPtr<const IStringContainer> copy = container;
    RefCountPtr<IStringIterator> it;
    copy->GetIterator(it);
    RefCountPtr<IStringIterator> second = it;
    if (round % 2 == 0) copy.reset();  // the iterators keep the container alive
    for (; !second->IsAtEnd(); second->Next()) read += second->GetCurrent().IsEmpty() ? 0 : 1;
    if (round % 3 == 0) it.reset();
  }
  return read;
}

// Each thread owns one reference. The test keeps its own (the counts must
// come back to exactly 1), or drops it first (a worker frees the container).
TEST(RefCountConcurrency, CountsStayExactAndAnyThreadMayFreeTheContainer) {
  for (bool testKeepsOne : {true, false}) {
    SCOPED_TRACE(testKeepsOne);
    std::atomic<bool> go(false);
    std::vector<std::thread> threads;
    std::vector<long> read(kThreads, 0);
    RefCountPtr<IStringContainer> c = MakeContainer();
    for (int t = 0; t < kThreads; ++t) {
      RefCountPtr<const IStringContainer> mine = c;
      threads.emplace_back(
          [&read, &go, t, mine]() mutable { read[t] = Churn(std::move(mine), &go); });
    }
    if (!testKeepsOne) c.reset();
    go = true;
    for (std::thread& thread : threads) thread.join();
    for (long n : read) EXPECT_EQ(n, 8L * kRounds);
    if (testKeepsOne) {
      EXPECT_EQ(RefCountOf(c), 1);  // every reference taken was dropped
    }
  }
}

}  // namespace
