#include "port/Port_Init.h"

#include "mintu/Mintu_IInterface.h"
#include "mintu/Mintu_IRefCount.h"
#include "mintu/Mintu_IStringContainer.h"
#include "mintu/Mintu_IStringIterator.h"

// The destructors are the interfaces' key functions: defining them here puts
// each interface's virtual table and type information in the library, once.

namespace CitI {
IInterface::~IInterface() = default;
}  // namespace CitI

namespace CommonI {
IRefCount::~IRefCount() = default;
}  // namespace CommonI

namespace UtilI {
IStringContainer::~IStringContainer() = default;
IStringIterator::~IStringIterator() = default;
}  // namespace UtilI
