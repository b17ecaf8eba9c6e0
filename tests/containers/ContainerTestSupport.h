#ifndef MINTU_TESTS_CONTAINERTESTSUPPORT_H
#define MINTU_TESTS_CONTAINERTESTSUPPORT_H
// Helpers of the container tests: reading reference counts, and a string
// container of the tests' own (a list behind IStringContainer) whose faults
// can be switched on.

#include <list>

#include "mintu/Mintu_IStringContainer.h"
#include "mintu/Mintu_RefCountPtr.h"
#include "mintu/Mintu_TRefCountHelper.h"

namespace MintuTest {

/// The reference count of `object`, through its IRefCount; -1 when it has none.
inline int RefCountOf(const CitI::IInterface* object) {
  CitI::IInterface* mutableObject = const_cast<CitI::IInterface*>(object);
  auto* counter =
      static_cast<CommonI::IRefCount*>(mutableObject->QueryInterface(CommonI::IRefCount::GetIID()));
  int count = -1;
  if (counter != nullptr) counter->GetRefCount(&count);
  return count;
}

template <class T>
int RefCountOf(const CommonI::RefCountPtr<T>& pointer) {
  return RefCountOf(pointer.get());
}

/// A container of the tests' own, on a list, with switchable faults.
class ListContainer : public UtilI::IStringContainer {
 public:
  enum Fault {
    NONE,
    ITERATOR_REFUSED,     // GetIterator returns 0 (after storing an iterator anyway)
    ITERATOR_NULL,        // GetIterator returns 1 and stores nothing
    ITERATOR_NEVER_ENDS,  // Next returns 0 on the last string, IsAtEnd stays false
  };

  static CommonI::RefCountPtr<UtilI::IStringContainer> Create(
      const std::list<Mintu::StringBase>& strings, Fault fault = NONE);
  /// Containers and iterators of this kind alive now.
  static int Alive();

  CitI::IInterface* QueryInterface(const Port::XUID& id) override;
  int Add(const Mintu::StringBase& s) override {
    strings_.push_back(s);
    return 1;
  }
  int Remove(CommonI::RefCountPtr<UtilI::IStringIterator>&) override { return 0; }
  int GetIterator(CommonI::RefCountPtr<UtilI::IStringIterator>& it) const override;
  std::size_t GetCount() const override { return strings_.size(); }
  int Clear() override {
    strings_.clear();
    return 1;
  }
  int Dump() const override { return 0; }
  int Append(const Mintu::StringBase& s) override { return Add(s); }

 private:
  class Iterator;
  friend class Iterator;
  friend class CommonI::TRefCountHelper<ListContainer, 0>;
  ListContainer(const std::list<Mintu::StringBase>& strings, Fault fault);
  ~ListContainer() override;

  std::list<Mintu::StringBase> strings_;
  Fault fault_;
  CommonI::TRefCountHelper<ListContainer, 0> refCount_;
};

}  // namespace MintuTest

#endif  // MINTU_TESTS_CONTAINERTESTSUPPORT_H
