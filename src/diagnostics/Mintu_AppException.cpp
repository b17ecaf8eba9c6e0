#include "mintu/Mintu_AppException.h"

#include "port/Port_Init.h"

namespace Mintu {

AppException::AppException(Level severity, const StringBase& message)
    : std::runtime_error(message.str()), level(severity) {}

AppException::AppException(const AppException& other) = default;

AppException& AppException::operator=(const AppException& other) = default;

AppException::~AppException() = default;

}  // namespace Mintu
