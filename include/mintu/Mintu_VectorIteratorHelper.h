#ifndef MINTU_VECTORITERATORHELPER_H
#define MINTU_VECTORITERATORHELPER_H
// UtilI::VectorIteratorHelper: the iterator of the vector-backed string
// container. It holds a reference to its container, which therefore lives at
// least as long as the iterator.

#include <cstdint>
#include <vector>

#include "mintu/Mintu_IStringContainer.h"
#include "mintu/Mintu_IStringIterator.h"
#include "mintu/Mintu_RefCountPtr.h"
#include "mintu/Mintu_TRefCountHelper.h"

namespace UtilI {

template <class STLCollection, class IIterator>
class MINTU_API VectorIteratorHelper : public IIterator {
 public:
  /// A new iterator on the first string of `collection`, holding a reference to
  /// `container` (the owner of `collection`); the pointer holds its only reference.
  static CommonI::RefCountPtr<IIterator> Create(
      const STLCollection* collection,
      const CommonI::RefCountPtr<const IStringContainer>& container);

  /// The iterator for IStringIterator; its counter for IRefCount and IInterface; else null.
  CitI::IInterface* QueryInterface(const Port::XUID& id) override;
  const Mintu::StringBase GetCurrent() const override;
  int Reset() override;
  int Next() override;
  bool IsAtEnd() const override;
  int Dump() const override;

  /// The index of the current string.
  std::uint64_t GetPosition() const;

  VectorIteratorHelper(const VectorIteratorHelper&) = delete;
  VectorIteratorHelper& operator=(const VectorIteratorHelper&) = delete;

 private:
  VectorIteratorHelper(const STLCollection* collection,
                       const CommonI::RefCountPtr<const IStringContainer>& container);
  /// Releases the container.
  ~VectorIteratorHelper() override;
  friend class CommonI::TRefCountHelper<VectorIteratorHelper, 0>;

  const STLCollection* collection_;
  CommonI::RefCountPtr<const IStringContainer> container_;
  std::uint64_t position_;
  CommonI::TRefCountHelper<VectorIteratorHelper, 0> refCount_;
};

/// The one instantiation, built and exported by the library so that its type
/// information is the same on both sides of the library boundary.
typedef VectorIteratorHelper<std::vector<Mintu::StringBase>, IStringIterator> StringVectorIterator;
extern template class MINTU_API
    VectorIteratorHelper<std::vector<Mintu::StringBase>, IStringIterator>;

}  // namespace UtilI

#endif  // MINTU_VECTORITERATORHELPER_H
