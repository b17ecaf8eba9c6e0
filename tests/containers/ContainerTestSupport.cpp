#include "ContainerTestSupport.h"

#include <atomic>

namespace MintuTest {

namespace {
std::atomic<int> alive{0};
}

class ListContainer::Iterator : public UtilI::IStringIterator {
 public:
  static CommonI::RefCountPtr<UtilI::IStringIterator> Create(const ListContainer* owner) {
    return CommonI::RefCountPtr<UtilI::IStringIterator>::Adopt(new Iterator(owner));
  }

  CitI::IInterface* QueryInterface(const Port::XUID& id) override {
    if (id == UtilI::IStringIterator::GetIID()) return this;
    if (id == CommonI::IRefCount::GetIID() || id == CitI::IInterface::GetIID()) return &refCount_;
    return nullptr;
  }
  const Mintu::StringBase GetCurrent() const override {
    return current_ == owner_->strings_.end() ? Mintu::StringBase() : *current_;
  }
  int Reset() override {
    current_ = owner_->strings_.begin();
    return 1;
  }
  int Next() override {
    if (IsAtEnd()) return 0;
    if (owner_->fault_ == ITERATOR_NEVER_ENDS && std::next(current_) == owner_->strings_.end()) {
      return 0;
    }
    ++current_;
    return 1;
  }
  bool IsAtEnd() const override { return current_ == owner_->strings_.end(); }
  int Dump() const override { return 0; }

 private:
  friend class CommonI::TRefCountHelper<Iterator, 0>;
  explicit Iterator(const ListContainer* owner)
      : owner_(owner), hold_(owner), current_(owner->strings_.begin()), refCount_(this) {
    ++alive;
  }
  ~Iterator() override { --alive; }

  const ListContainer* owner_;
  CommonI::RefCountPtr<const UtilI::IStringContainer> hold_;
  std::list<Mintu::StringBase>::const_iterator current_;
  CommonI::TRefCountHelper<Iterator, 0> refCount_;
};

CommonI::RefCountPtr<UtilI::IStringContainer> ListContainer::Create(
    const std::list<Mintu::StringBase>& strings, Fault fault) {
  return CommonI::RefCountPtr<UtilI::IStringContainer>::Adopt(new ListContainer(strings, fault));
}

int ListContainer::Alive() { return alive; }

ListContainer::ListContainer(const std::list<Mintu::StringBase>& strings, Fault fault)
    : strings_(strings), fault_(fault), refCount_(this) {
  ++alive;
}

ListContainer::~ListContainer() { --alive; }

CitI::IInterface* ListContainer::QueryInterface(const Port::XUID& id) {
  if (id == UtilI::IStringContainer::GetIID()) return this;
  if (id == CommonI::IRefCount::GetIID() || id == CitI::IInterface::GetIID()) return &refCount_;
  return nullptr;
}

int ListContainer::GetIterator(CommonI::RefCountPtr<UtilI::IStringIterator>& it) const {
  if (fault_ == ITERATOR_NULL) {
    it.reset();
  } else {
    it = Iterator::Create(this);
  }
  return fault_ == ITERATOR_REFUSED ? 0 : 1;
}

}  // namespace MintuTest
