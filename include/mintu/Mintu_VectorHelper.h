#ifndef MINTU_VECTORHELPER_H
#define MINTU_VECTORHELPER_H
// UtilI::VectorHelper: a string container on a vector of strings, and
// UtilI::VectorHelperT, the concrete container whose host is itself. Made
// with VectorHelperT<IStringContainer>::Create and owned through its count.

#include <cstddef>
#include <vector>

#include "mintu/Mintu_IStringContainer.h"
#include "mintu/Mintu_RefCountPtr.h"
#include "mintu/Mintu_TRefCountHelper.h"

namespace UtilI {

template <class CHost, class IContainer>
class MINTU_API VectorHelper : public IContainer, public std::vector<Mintu::StringBase> {
 public:
  typedef std::vector<Mintu::StringBase> Collection;

  /// The host for IContainer's identifier; the counter for IRefCount and IInterface; else null.
  CitI::IInterface* QueryInterface(const Port::XUID& id) override;
  int Add(const Mintu::StringBase& s) override;
  int Remove(CommonI::RefCountPtr<IStringIterator>& it) override;
  int GetIterator(CommonI::RefCountPtr<IStringIterator>& it) const override;
  std::size_t GetCount() const override;
  int Clear() override;
  int Dump() const override;
  int Append(const Mintu::StringBase& s) override;

  VectorHelper(const VectorHelper&) = delete;
  VectorHelper& operator=(const VectorHelper&) = delete;

 protected:
  /// Empty, with a count of 1 owned by `host` (the complete object).
  explicit VectorHelper(CHost* host);
  ~VectorHelper() override;

 private:
  CHost* host_;
  CommonI::TRefCountHelper<CHost, 0> refCount_;
};

template <class IContainer>
class MINTU_API VectorHelperT : public VectorHelper<VectorHelperT<IContainer>, IContainer> {
 public:
  /// A new, empty container; the pointer holds its only reference.
  static CommonI::RefCountPtr<IContainer> Create();

 private:
  VectorHelperT();
  ~VectorHelperT() override;
  friend class CommonI::TRefCountHelper<VectorHelperT, 0>;
};

/// The instantiations built and exported by the library.
extern template class MINTU_API VectorHelper<VectorHelperT<IStringContainer>, IStringContainer>;
extern template class MINTU_API VectorHelperT<IStringContainer>;

}  // namespace UtilI

#endif  // MINTU_VECTORHELPER_H
