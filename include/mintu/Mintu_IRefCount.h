#ifndef MINTU_IREFCOUNT_H
#define MINTU_IREFCOUNT_H
// CommonI::IRefCount: the reference count of a framework object. The object
// is destroyed when Release takes away its last reference.

#include "mintu/Mintu_IInterface.h"

namespace CommonI {

class MINTU_API IRefCount : public CitI::IInterface {
 public:
  static const Port::XUID GetIID() {
    return Port::XUID(0xf35246530fb84605ULL, 0xa6c16e80946a2cddULL);
  }

  /// Adds one reference; returns 1.
  virtual int AddRef() = 0;
  /// Removes one reference, destroying the object with the last; returns 1.
  virtual int Release() = 0;
  /// Stores the current count in `*count`; returns 1 (0, storing nothing, for null).
  virtual int GetRefCount(int* count) = 0;
  ~IRefCount() override;
};

}  // namespace CommonI

#endif  // MINTU_IREFCOUNT_H
