// The vector-backed string container and its iterator: reference counts at
// every step, interface queries, iteration, Remove through an iterator and
// the Dump lines.

#include "mintu/Mintu_VectorHelper.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

#include "ContainerTestSupport.h"
#include "mintu/Mintu_VectorIteratorHelper.h"

using CommonI::RefCountPtr;
using Mintu::StringBase;
using MintuTest::RefCountOf;
using UtilI::IStringContainer;
using UtilI::IStringIterator;

namespace {

typedef UtilI::VectorHelperT<IStringContainer> Container;

RefCountPtr<IStringContainer> Make(const std::vector<std::string>& strings) {
  RefCountPtr<IStringContainer> c = Container::Create();
  for (const std::string& s : strings) c->Add(s);
  return c;
}

RefCountPtr<IStringIterator> IteratorOf(const RefCountPtr<IStringContainer>& c) {
  RefCountPtr<IStringIterator> it;
  EXPECT_EQ(c->GetIterator(it), 1);
  return it;
}

std::vector<std::string> Read(const RefCountPtr<IStringContainer>& c) {
  std::vector<std::string> result;
  RefCountPtr<IStringIterator> it = IteratorOf(c);
  for (; !it->IsAtEnd(); it->Next()) result.push_back(it->GetCurrent().str());
  return result;
}

TEST(VectorHelper, NewContainerAndItsIteratorCountReferences) {
  RefCountPtr<IStringContainer> c = Container::Create();
  ASSERT_TRUE(c);
  EXPECT_EQ(RefCountOf(c), 1);
  EXPECT_EQ(c->GetCount(), 0u);

  RefCountPtr<IStringIterator> it;
  EXPECT_EQ(c->GetIterator(it), 1);
  ASSERT_TRUE(it);
  EXPECT_EQ(RefCountOf(c), 2);  // the iterator holds one
  EXPECT_EQ(RefCountOf(it), 1);

  // A second GetIterator into the same pointer releases the first iterator.
  EXPECT_EQ(c->GetIterator(it), 1);
  EXPECT_EQ(RefCountOf(c), 2);
  it.reset();
  EXPECT_EQ(RefCountOf(c), 1);

  // The container outlives its last pointer while an iterator lives.
  c->Add("x");
  c->Add("y");
  IStringContainer* raw = c.get();
  it = IteratorOf(c);
  c.reset();
  EXPECT_EQ(RefCountOf(raw), 1);  // only the iterator's reference is left
  EXPECT_EQ(it->GetCurrent(), StringBase("x"));
  EXPECT_EQ(it->Next(), 1);
  EXPECT_EQ(it->GetCurrent(), StringBase("y"));
  it.reset();  // frees the iterator and then the container (checked by the leak checker)
}

TEST(VectorHelper, AddAndAppendKeepOrderAndIterationStopsAtTheEnd) {
  RefCountPtr<IStringContainer> c = Container::Create();
  EXPECT_EQ(c->Add("first"), 1);
  EXPECT_EQ(c->Append("second"), 1);
  EXPECT_EQ(c->Add(""), 1);
  EXPECT_EQ(c->Add(std::string("nul\0byte", 8)), 1);
  EXPECT_EQ(c->GetCount(), 4u);
  EXPECT_EQ(Read(c),
            (std::vector<std::string>{"first", "second", "", std::string("nul\0byte", 8)}));

  RefCountPtr<IStringIterator> it = IteratorOf(c);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(it->Next(), 1);
  EXPECT_TRUE(it->IsAtEnd());
  EXPECT_EQ(it->Next(), 0);
  EXPECT_EQ(it->GetCurrent(), StringBase());
  EXPECT_EQ(it->Reset(), 1);
  EXPECT_EQ(it->GetCurrent(), StringBase("first"));

  EXPECT_EQ(c->Clear(), 1);
  EXPECT_EQ(c->GetCount(), 0u);
  EXPECT_TRUE(it->IsAtEnd());  // the iterator sees the container's strings, not a copy
  EXPECT_EQ(it->GetCurrent(), StringBase());
}

TEST(VectorHelper, QueryInterfaceAnswersForTheFourIdentifiers) {
  const Port::XUID unknown(0x0123456789abcdefULL, 0xfedcba9876543210ULL);
  const Port::XUID halfMatch(IStringContainer::GetIID().GetHigh(), 0);
  RefCountPtr<IStringContainer> c = Container::Create();
  RefCountPtr<IStringIterator> it = IteratorOf(c);

  CitI::IInterface* containerCounter = c->QueryInterface(CommonI::IRefCount::GetIID());
  ASSERT_NE(containerCounter, nullptr);
  EXPECT_EQ(c->QueryInterface(CitI::IInterface::GetIID()), containerCounter);
  EXPECT_EQ(static_cast<IStringContainer*>(c->QueryInterface(IStringContainer::GetIID())), c.get());
  EXPECT_EQ(c->QueryInterface(IStringIterator::GetIID()), nullptr);
  EXPECT_EQ(c->QueryInterface(unknown), nullptr);
  EXPECT_EQ(c->QueryInterface(halfMatch), nullptr);
  // The counter answers for itself and passes other questions to its owner.
  EXPECT_EQ(containerCounter->QueryInterface(CommonI::IRefCount::GetIID()), containerCounter);
  EXPECT_EQ(
      static_cast<IStringContainer*>(containerCounter->QueryInterface(IStringContainer::GetIID())),
      c.get());
  EXPECT_EQ(containerCounter->QueryInterface(unknown), nullptr);

  CitI::IInterface* iteratorCounter = it->QueryInterface(CommonI::IRefCount::GetIID());
  ASSERT_NE(iteratorCounter, nullptr);
  EXPECT_NE(iteratorCounter, containerCounter);
  EXPECT_EQ(it->QueryInterface(CitI::IInterface::GetIID()), iteratorCounter);
  EXPECT_EQ(static_cast<IStringIterator*>(it->QueryInterface(IStringIterator::GetIID())), it.get());
  EXPECT_EQ(it->QueryInterface(IStringContainer::GetIID()), nullptr);
  EXPECT_EQ(it->QueryInterface(unknown), nullptr);

  // Queries take no reference.
  EXPECT_EQ(RefCountOf(c), 2);
  EXPECT_EQ(RefCountOf(it), 1);
}

TEST(VectorHelper, CounterWithoutOwnerAnswersOnlyForItselfAndDestroysNothing) {
  CommonI::TRefCountHelper<Container, 0> counter(nullptr);
  EXPECT_EQ(counter.QueryInterface(CommonI::IRefCount::GetIID()), &counter);
  EXPECT_EQ(counter.QueryInterface(CitI::IInterface::GetIID()), nullptr);
  int count = 0;
  EXPECT_EQ(counter.GetRefCount(&count), 1);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(counter.AddRef(), 1);
  EXPECT_EQ(counter.Release(), 1);
  EXPECT_EQ(counter.Release(), 1);  // to 0: nothing to destroy
  EXPECT_EQ(counter.GetRefCount(&count), 1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(counter.GetRefCount(nullptr), 0);
}

TEST(VectorHelper, RefCountPtrTakesAndDropsReferences) {
  RefCountPtr<IStringContainer> c = Container::Create();
  {
    RefCountPtr<IStringContainer> copy(c);
    EXPECT_EQ(RefCountOf(c), 2);
    RefCountPtr<IStringContainer> wrapped(c.get());  // shares an object owned elsewhere
    EXPECT_EQ(RefCountOf(c), 3);
    RefCountPtr<const IStringContainer> readOnly = c;
    EXPECT_EQ(RefCountOf(c), 4);
    RefCountPtr<IStringContainer> moved(std::move(copy));
    EXPECT_FALSE(copy);
    EXPECT_EQ(RefCountOf(c), 4);
    RefCountPtr<IStringContainer>& self = moved;
    moved = self;  // self-assignment keeps the count
    EXPECT_EQ(RefCountOf(c), 4);
    moved = Container::Create();  // assignment releases the former object
    EXPECT_EQ(RefCountOf(c), 3);
    EXPECT_EQ(RefCountOf(moved), 1);
    EXPECT_TRUE(wrapped == c);
    EXPECT_TRUE(moved != c);
  }
  EXPECT_EQ(RefCountOf(c), 1);
  RefCountPtr<IStringContainer> none;
  RefCountPtr<IStringContainer> alsoNone(none);
  none.reset();
  EXPECT_FALSE(alsoNone);
}

TEST(VectorHelper, RemoveThroughAnIterator) {
  RefCountPtr<IStringContainer> c = Make({"a", "b", "c"});
  RefCountPtr<IStringIterator> it = IteratorOf(c);
  it->Next();
  EXPECT_EQ(c->Remove(it), 1);
  EXPECT_EQ(Read(c), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(it->GetCurrent(), StringBase("c"));  // same position, next string
  EXPECT_EQ(c->Remove(it), 1);
  EXPECT_EQ(Read(c), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(it->IsAtEnd());

  // At its end, or null: success, nothing removed.
  EXPECT_EQ(c->Remove(it), 1);
  RefCountPtr<IStringIterator> none;
  EXPECT_EQ(c->Remove(none), 1);
  EXPECT_EQ(c->GetCount(), 1u);

  // An iterator of another implementation is refused.
  RefCountPtr<IStringContainer> other = MintuTest::ListContainer::Create({"z"});
  RefCountPtr<IStringIterator> foreign;
  ASSERT_EQ(other->GetIterator(foreign), 1);
  EXPECT_EQ(c->Remove(foreign), 0);
  EXPECT_EQ(c->GetCount(), 1u);
  EXPECT_EQ(other->GetCount(), 1u);

  // An iterator of another vector container works by position; a position past
  // this container's end removes nothing.
  RefCountPtr<IStringContainer> longer = Make({"p", "q", "r"});
  RefCountPtr<IStringIterator> far = IteratorOf(longer);
  // The library's exported type information is the one this program sees.
  EXPECT_NE(dynamic_cast<UtilI::StringVectorIterator*>(far.get()), nullptr);
  far->Next();
  far->Next();
  EXPECT_EQ(c->Remove(far), 1);
  EXPECT_EQ(Read(c), (std::vector<std::string>{"a"}));
  EXPECT_EQ(longer->GetCount(), 3u);
  far->Reset();
  EXPECT_EQ(c->Remove(far), 1);
  EXPECT_EQ(c->GetCount(), 0u);
  EXPECT_EQ(longer->GetCount(), 3u);
}

TEST(VectorHelper, DumpWritesTheContainerAndTheIterator) {
  RefCountPtr<IStringContainer> c = Make({"alpha", "b c"});
  RefCountPtr<IStringIterator> it = IteratorOf(c);
  const std::string containerType = typeid(Container*).name();
  const std::string iteratorType = typeid(UtilI::StringVectorIterator*).name();

  testing::internal::CaptureStdout();
  EXPECT_EQ(c->Dump(), 0);
  EXPECT_EQ(it->Dump(), 0);
  it->Next();
  it->Next();
  EXPECT_EQ(it->Dump(), 0);
  const std::string out = testing::internal::GetCapturedStdout();

  EXPECT_EQ(out, "VectorHelper<CHost,IContainer> ( " + containerType + " ).\n" +
                     " element[0] == alpha\n"
                     " element[1] == b c\n"
                     "VectorIteratorHelper<STLCollection> (" +
                     iteratorType +
                     "): Current item is \"alpha\"\n"
                     "VectorIteratorHelper<STLCollection> (" +
                     iteratorType + "): At End\n");
}

}  // namespace
