// Port::XUID: only its virtual destructor lives out of line.

#include "port/Port_XUID.h"

namespace Port {

XUID::~XUID() = default;

}  // namespace Port
