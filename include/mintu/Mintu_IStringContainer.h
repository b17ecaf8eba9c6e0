#ifndef MINTU_ISTRINGCONTAINER_H
#define MINTU_ISTRINGCONTAINER_H
// UtilI::IStringContainer: an ordered collection of strings offered through
// the component framework, read through IStringIterator.

#include <cstddef>

#include "mintu/Mintu_IInterface.h"
#include "mintu/Mintu_IStringIterator.h"
#include "mintu/Mintu_RefCountPtr.h"

namespace UtilI {

class MINTU_API IStringContainer : public CitI::IInterface {
 public:
  static const Port::XUID GetIID() {
    return Port::XUID(0x4a051b34f0f44b80ULL, 0xbc1e05e8974ac7bcULL);
  }

  /// Appends a copy of `s`; returns 1.
  virtual int Add(const Mintu::StringBase& s) = 0;
  /// Removes the string at the position of `it` (one of this container's iterators);
  /// 1 also when nothing is removed (null iterator, at its end), 0 for a foreign iterator.
  virtual int Remove(CommonI::RefCountPtr<IStringIterator>& it) = 0;
  /// Stores a new iterator on the first string in `it`, releasing what it held; returns 1.
  virtual int GetIterator(CommonI::RefCountPtr<IStringIterator>& it) const = 0;
  /// The number of strings.
  virtual std::size_t GetCount() const = 0;
  /// Destroys all strings; returns 1.
  virtual int Clear() = 0;
  /// Writes the strings to standard output; returns 0.
  virtual int Dump() const = 0;
  /// The same as Add.
  virtual int Append(const Mintu::StringBase& s) = 0;
  ~IStringContainer() override;
};

}  // namespace UtilI

#endif  // MINTU_ISTRINGCONTAINER_H
