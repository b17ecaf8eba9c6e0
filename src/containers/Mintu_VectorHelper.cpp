#include "port/Port_Init.h"

#include "mintu/Mintu_VectorHelper.h"

#include <iostream>
#include <typeinfo>

#include "mintu/Mintu_VectorIteratorHelper.h"

namespace UtilI {

template <class CHost, class IContainer>
VectorHelper<CHost, IContainer>::VectorHelper(CHost* host) : host_(host), refCount_(host) {}

template <class CHost, class IContainer>
VectorHelper<CHost, IContainer>::~VectorHelper() = default;

template <class CHost, class IContainer>
CitI::IInterface* VectorHelper<CHost, IContainer>::QueryInterface(const Port::XUID& id) {
  if (id == IContainer::GetIID()) return static_cast<IContainer*>(host_);
  if (id == CommonI::IRefCount::GetIID() || id == CitI::IInterface::GetIID()) return &refCount_;
  return nullptr;
}

template <class CHost, class IContainer>
int VectorHelper<CHost, IContainer>::Add(const Mintu::StringBase& s) {
  this->push_back(s);
  return CitI::RESULT_SUCCESS;
}

template <class CHost, class IContainer>
int VectorHelper<CHost, IContainer>::Append(const Mintu::StringBase& s) {
  return Add(s);
}

template <class CHost, class IContainer>
int VectorHelper<CHost, IContainer>::Remove(CommonI::RefCountPtr<IStringIterator>& it) {
  if (!it) return CitI::RESULT_SUCCESS;
  if (it->IsAtEnd()) return CitI::RESULT_SUCCESS;
  // Only an iterator of this library has a position to apply.
  const StringVectorIterator* own = dynamic_cast<const StringVectorIterator*>(it.get());
  if (own == nullptr) return CitI::RESULT_FAILURE;
  const std::uint64_t position = own->GetPosition();
  // The position is meant for this container's strings; past their end nothing goes.
  if (position >= this->size()) return CitI::RESULT_SUCCESS;
  // The strings after it move one place forward; the iterator now reads the next one.
  this->erase(this->begin() + static_cast<typename Collection::difference_type>(position));
  return CitI::RESULT_SUCCESS;
}

template <class CHost, class IContainer>
int VectorHelper<CHost, IContainer>::GetIterator(CommonI::RefCountPtr<IStringIterator>& it) const {
  // The iterator keeps a reference to this container for its whole life.
  const CommonI::RefCountPtr<const IStringContainer> self(static_cast<const IContainer*>(host_));
  it = StringVectorIterator::Create(static_cast<const Collection*>(this), self);
  return CitI::RESULT_SUCCESS;
}

template <class CHost, class IContainer>
std::size_t VectorHelper<CHost, IContainer>::GetCount() const {
  return this->size();
}

template <class CHost, class IContainer>
int VectorHelper<CHost, IContainer>::Clear() {
  this->clear();
  return CitI::RESULT_SUCCESS;
}

template <class CHost, class IContainer>
int VectorHelper<CHost, IContainer>::Dump() const {
  std::cout << "VectorHelper<CHost,IContainer> ( " << typeid(CHost*).name() << " )." << std::endl;
  for (std::size_t i = 0; i < this->size(); ++i) {
    std::cout << " element[" << i << "] == " << (*this)[i] << std::endl;
  }
  return 0;  // Dump gives no result
}

template <class IContainer>
CommonI::RefCountPtr<IContainer> VectorHelperT<IContainer>::Create() {
  // The new container's initial reference passes to the returned pointer.
  return CommonI::RefCountPtr<IContainer>::Adopt(new VectorHelperT());
}

template <class IContainer>
VectorHelperT<IContainer>::VectorHelperT() : VectorHelper<VectorHelperT, IContainer>(this) {}

template <class IContainer>
VectorHelperT<IContainer>::~VectorHelperT() = default;

// The exported instantiations (declared extern in the header).
template class VectorHelper<VectorHelperT<IStringContainer>, IStringContainer>;
template class VectorHelperT<IStringContainer>;

}  // namespace UtilI
