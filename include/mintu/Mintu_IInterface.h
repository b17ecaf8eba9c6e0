#ifndef MINTU_IINTERFACE_H
#define MINTU_IINTERFACE_H
// CitI::IInterface: the base of the component framework's interfaces. An
// object answers QueryInterface with its implementation of the interface
// named by a 128-bit identifier, or null.

#include "mintu/Mintu_Types.h"
#include "port/Port_XUID.h"

namespace CitI {

/// Results of the framework's operations: 1 for success or yes, 0 for failure or no.
constexpr int RESULT_FAILURE = 0;
constexpr int RESULT_SUCCESS = 1;

class MINTU_API IInterface {
 public:
  /// The identifier of this interface.
  static const Port::XUID GetIID() {
    return Port::XUID(0xc569a98287c54d45ULL, 0x8a2c17b796723bdcULL);
  }

  /// The object's implementation of interface `id`, or null when it has none.
  /// Takes no reference.
  virtual IInterface* QueryInterface(const Port::XUID& id) = 0;
  virtual ~IInterface();

 protected:
  IInterface() = default;
  IInterface(const IInterface&) = default;
  IInterface& operator=(const IInterface&) = default;
};

}  // namespace CitI

#endif  // MINTU_IINTERFACE_H
