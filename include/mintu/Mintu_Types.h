#ifndef MINTU_TYPES_H
#define MINTU_TYPES_H
// The names every public header of the library shares: the export macro
// MINTU_API and the 8-bit string type of the portability layer.

#include "mintu/Mintu_Export.h"
#include "port/Port_StringBase.h"

namespace Mintu {

/// The library's string: bytes, compared as unsigned values.
typedef Port::StringBase<char> StringBase;

}  // namespace Mintu

#endif  // MINTU_TYPES_H
