#include "port/Port_Init.h"

#include "mintu/Mintu_VectorIteratorHelper.h"

#include <iostream>
#include <typeinfo>

namespace UtilI {

template <class STLCollection, class IIterator>
CommonI::RefCountPtr<IIterator> VectorIteratorHelper<STLCollection, IIterator>::Create(
    const STLCollection* collection,
    const CommonI::RefCountPtr<const IStringContainer>& container) {
  // The new iterator's initial reference passes to the returned pointer.
  return CommonI::RefCountPtr<IIterator>::Adopt(new VectorIteratorHelper(collection, container));
}

template <class STLCollection, class IIterator>
VectorIteratorHelper<STLCollection, IIterator>::VectorIteratorHelper(
    const STLCollection* collection, const CommonI::RefCountPtr<const IStringContainer>& container)
    : collection_(collection), container_(container), position_(0), refCount_(this) {}

template <class STLCollection, class IIterator>
VectorIteratorHelper<STLCollection, IIterator>::~VectorIteratorHelper() = default;

template <class STLCollection, class IIterator>
CitI::IInterface* VectorIteratorHelper<STLCollection, IIterator>::QueryInterface(
    const Port::XUID& id) {
  if (id == IIterator::GetIID()) return this;
  if (id == CommonI::IRefCount::GetIID() || id == CitI::IInterface::GetIID()) return &refCount_;
  return nullptr;
}

template <class STLCollection, class IIterator>
const Mintu::StringBase VectorIteratorHelper<STLCollection, IIterator>::GetCurrent() const {
  if (IsAtEnd()) return Mintu::StringBase();
  return (*collection_)[static_cast<typename STLCollection::size_type>(position_)];
}

template <class STLCollection, class IIterator>
int VectorIteratorHelper<STLCollection, IIterator>::Reset() {
  position_ = 0;
  return CitI::RESULT_SUCCESS;
}

template <class STLCollection, class IIterator>
int VectorIteratorHelper<STLCollection, IIterator>::Next() {
  if (IsAtEnd()) return CitI::RESULT_FAILURE;
  ++position_;
  return CitI::RESULT_SUCCESS;
}

template <class STLCollection, class IIterator>
bool VectorIteratorHelper<STLCollection, IIterator>::IsAtEnd() const {
  return position_ >= collection_->size();
}

template <class STLCollection, class IIterator>
int VectorIteratorHelper<STLCollection, IIterator>::Dump() const {
  std::cout << "VectorIteratorHelper<STLCollection> (" << typeid(VectorIteratorHelper*).name()
            << "): ";
  if (IsAtEnd()) {
    std::cout << "At End";
  } else {
    std::cout << "Current item is \"" << GetCurrent() << "\"";
  }
  std::cout << std::endl;
  return 0;  // Dump gives no result
}

template <class STLCollection, class IIterator>
std::uint64_t VectorIteratorHelper<STLCollection, IIterator>::GetPosition() const {
  return position_;
}

// The exported instantiation (declared extern in the header).
template class VectorIteratorHelper<std::vector<Mintu::StringBase>, IStringIterator>;

}  // namespace UtilI
