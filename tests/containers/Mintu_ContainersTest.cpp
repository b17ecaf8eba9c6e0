// String containers: the vector-backed one, reference counts (also from several
// threads, for ThreadSanitizer), and conversions to and from lists and vectors.

#include <gtest/gtest.h>

#include <atomic>
#include <list>
#include <string>
#include <thread>
#include <vector>

#include "mintu/Mintu_TRefCountHelper.h"
#include "mintu/Mintu_Utilities.h"
#include "mintu/Mintu_VectorHelper.h"
#include "mintu/Mintu_VectorIteratorHelper.h"

using CommonI::RefCountPtr;
using Mintu::StringBase;
using Mintu::Utilities;
using UtilI::IStringContainer;
using UtilI::IStringIterator;
using Strings = std::vector<StringBase>;

namespace {

typedef UtilI::VectorHelperT<IStringContainer> Container;

int RefCountOf(const CitI::IInterface* object) {
  int count = -1;
  static_cast<CommonI::IRefCount*>(
      const_cast<CitI::IInterface*>(object)->QueryInterface(CommonI::IRefCount::GetIID()))
      ->GetRefCount(&count);
  return count;
}

RefCountPtr<IStringContainer> Make(const Strings& strings) {
  return Utilities::ConvertStringVectorToStringContainer(strings);
}

RefCountPtr<IStringIterator> IteratorOf(const RefCountPtr<IStringContainer>& c) {
  RefCountPtr<IStringIterator> it;
  EXPECT_EQ(c->GetIterator(it), 1);
  return it;
}

// A container of the tests' own that is its own iterator, with switchable faults.
enum Fault { NONE, REFUSED, NULL_ITERATOR, NEVER_ENDS };
struct Own : IStringContainer, IStringIterator {
  Own(const Strings& s, Fault f) : strings(s), fault(f), refCount(this) {}
  CitI::IInterface* QueryInterface(const Port::XUID& id) override {
    if (id == IStringContainer::GetIID()) return static_cast<IStringContainer*>(this);
    if (id == IStringIterator::GetIID()) return static_cast<IStringIterator*>(this);
    return &refCount;
  }
  int GetIterator(RefCountPtr<IStringIterator>& it) const override {
    it = RefCountPtr<IStringIterator>(const_cast<Own*>(this));
    if (fault == NULL_ITERATOR) it.reset();
    return fault == REFUSED ? 0 : 1;  // refused, yet an iterator stored to be released
  }
  const StringBase GetCurrent() const override { return IsAtEnd() ? "" : strings[at]; }
  // NEVER_ENDS: Next fails on the last string and IsAtEnd stays false.
  int Next() override { return ++at < strings.size() || fault != NEVER_ENDS; }
  bool IsAtEnd() const override { return fault != NEVER_ENDS && at >= strings.size(); }
  int Reset() override {
    at = 0;
    return 1;
  }
  int Add(const StringBase&) override { return 0; }
  int Remove(RefCountPtr<IStringIterator>&) override { return 0; }
  std::size_t GetCount() const override { return strings.size(); }
  int Clear() override { return 0; }
  int Dump() const override { return 0; }
  int Append(const StringBase&) override { return 0; }
  Strings strings;
  Fault fault;
  std::size_t at = 0;
  CommonI::TRefCountHelper<Own, 0> refCount;
};
RefCountPtr<IStringContainer> MakeOwn(const Strings& strings, Fault fault) {
  return RefCountPtr<IStringContainer>::Adopt(new Own(strings, fault));
}

TEST(VectorHelper, ReferenceCountsAndInterfaces) {
  RefCountPtr<IStringContainer> c = Container::Create();
  RefCountPtr<IStringIterator> it = IteratorOf(c);
  EXPECT_EQ(c->GetIterator(it), 1);   // into the same pointer: the first one goes
  EXPECT_EQ(RefCountOf(c.get()), 2);  // the iterator holds one
  CitI::IInterface* counter = c->QueryInterface(CommonI::IRefCount::GetIID());
  CitI::IInterface* itCounter = it->QueryInterface(CommonI::IRefCount::GetIID());
  ASSERT_NE(counter, nullptr);
  ASSERT_NE(itCounter, nullptr);
  EXPECT_NE(counter, itCounter);
  EXPECT_EQ(counter, c->QueryInterface(CitI::IInterface::GetIID()));
  EXPECT_EQ(nullptr, c->QueryInterface(IStringIterator::GetIID()));
  EXPECT_EQ(nullptr, c->QueryInterface(Port::XUID(IStringContainer::GetIID().GetHigh(), 0)));
  EXPECT_EQ(c.get(), counter->QueryInterface(IStringContainer::GetIID()));  // from the owner
  EXPECT_EQ(itCounter, it->QueryInterface(CitI::IInterface::GetIID()));
  EXPECT_EQ(it.get(), it->QueryInterface(IStringIterator::GetIID()));
  {
    RefCountPtr<IStringContainer> copy(c), wrapped(c.get());
    RefCountPtr<const IStringContainer> readOnly = c;
    RefCountPtr<IStringContainer> moved(std::move(copy));
    RefCountPtr<IStringContainer>& self = moved;
    moved = self;
    EXPECT_EQ(RefCountOf(c.get()), 5);
    moved = Container::Create();  // releases the former object
    EXPECT_EQ(RefCountOf(c.get()), 4);
    EXPECT_FALSE(copy);
    EXPECT_TRUE(wrapped == c);
    EXPECT_TRUE(moved != c);
  }
  // The container outlives its last pointer while an iterator lives.
  c->Add("x");
  IStringContainer* raw = c.get();
  c.reset();
  EXPECT_EQ(RefCountOf(raw), 1);
  EXPECT_EQ(it->GetCurrent(), StringBase("x"));
  it.reset();  // frees both (the leak checker watches)
}

TEST(VectorHelper, IterateRemoveAndClear) {
  const std::string nul("n\0l", 3);
  RefCountPtr<IStringContainer> c = Container::Create();
  EXPECT_EQ(c->Add("a") + c->Append("b") + c->Add("") + c->Add(nul), 4);
  RefCountPtr<IStringIterator> it = IteratorOf(c);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(it->Next(), 1);
  EXPECT_TRUE(it->IsAtEnd());
  EXPECT_EQ(it->GetCurrent(), StringBase());
  EXPECT_EQ(it->Next(), 0);
  EXPECT_EQ(c->Remove(it), 1);  // at the end: nothing removed
  it->Reset();
  it->Next();
  EXPECT_EQ(c->Remove(it) + c->Remove(it), 2);  // "b", then the "" that took its place
  EXPECT_EQ(it->GetCurrent(), StringBase(nul));
  RefCountPtr<IStringIterator> none, foreign = IteratorOf(MakeOwn({"z"}, NONE));
  EXPECT_EQ(c->Remove(none), 1);
  EXPECT_EQ(c->Remove(foreign), 0);  // not an iterator of this library
  // Another vector container's iterator works by position; past this
  // container's end it removes nothing.
  RefCountPtr<IStringIterator> far = IteratorOf(Make({"p", "q", "r"}));
  EXPECT_NE(dynamic_cast<UtilI::StringVectorIterator*>(far.get()), nullptr);
  far->Next();
  far->Next();
  EXPECT_EQ(c->Remove(far), 1);
  far->Reset();
  EXPECT_EQ(c->Remove(far), 1);
  EXPECT_EQ(Utilities::ConvertStringContainerToStringVector(c), Strings{nul});
  EXPECT_EQ(c->Clear(), 1);
  EXPECT_TRUE(it->IsAtEnd());  // the iterator sees the container's strings, not a copy
}

TEST(UtilitiesContainers, ConversionsKeepOrderAndSurviveFaultyContainers) {
  const Strings strings = {"b", "a", "", "b", std::string("x\0y", 3), "\xff"};
  const std::list<StringBase> list(strings.begin(), strings.end());
  RefCountPtr<IStringContainer> fromList = Utilities::ConvertStringListToStringContainer(list);
  EXPECT_EQ(Utilities::ConvertStringContainerToStringVector(fromList), strings);
  EXPECT_EQ(Utilities::ConvertStringContainerToStringList(Make(strings)), list);
  EXPECT_EQ(RefCountOf(fromList.get()), 1);  // the reading iterator is gone again
  EXPECT_TRUE(Utilities::ConvertStringContainerToStringVector(nullptr).empty());
  EXPECT_TRUE(Utilities::ConvertStringContainerToStringList(nullptr).empty());
  const std::pair<Fault, Strings> cases[] = {
      {NONE, strings}, {REFUSED, {}}, {NULL_ITERATOR, {}}, {NEVER_ENDS, strings}};
  for (const auto& [fault, read] : cases) {
    RefCountPtr<IStringContainer> own = MakeOwn(strings, fault);
    EXPECT_EQ(Utilities::ConvertStringContainerToStringVector(own), read) << fault;
    EXPECT_EQ(Utilities::ConvertStringContainerToStringList(own),
              std::list<StringBase>(read.begin(), read.end()));
    EXPECT_EQ(RefCountOf(own.get()), 1);  // no iterator left behind
  }
}

// Each thread owns one reference and churns copies of it and of iterators. The test keeps its own
// (the count must come back to exactly 1), or drops it first (a worker frees the container).
TEST(RefCountConcurrency, CountsStayExactAndAnyThreadMayFreeTheContainer) {
  const int kRounds = 2000;
  for (bool testKeepsOne : {true, false}) {
    std::atomic<bool> go(false);
    std::vector<std::thread> threads;
    std::vector<long> read(4, 0);
    RefCountPtr<IStringContainer> c = Make({"0", "1", "2", "3", "4", "5", "6", "7"});
    for (std::size_t t = 0; t < read.size(); ++t) {
      RefCountPtr<const IStringContainer> mine = c;
      threads.emplace_back([&read, &go, t, mine]() {
        while (!go.load()) std::this_thread::yield();
        for (int round = 0; round < kRounds; ++round) {
          RefCountPtr<const IStringContainer> copy = mine;
          RefCountPtr<IStringIterator> it;
          copy->GetIterator(it);
          RefCountPtr<IStringIterator> second = it;
          if (round % 2 == 0) copy.reset();  // the iterators keep the container alive
          for (; !second->IsAtEnd(); second->Next())
            read[t] += second->GetCurrent().IsEmpty() ? 0 : 1;
          if (round % 3 == 0) it.reset();
        }
      });
    }
    if (!testKeepsOne) c.reset();
    go = true;
    for (std::thread& thread : threads) thread.join();
    for (long n : read) EXPECT_EQ(n, 8L * kRounds);
    EXPECT_EQ(testKeepsOne ? 1 : -1, c ? RefCountOf(c.get()) : -1);
  }
}

}  // namespace
