// The XML model's private helpers: the exception funnel and tag splitting.
#include "port/Port_Init.h"

#include "Mintu_XmlDetail.h"

#include <cstdarg>

#include "mintu/Mintu_AppException.h"

namespace Mintu {
namespace Detail {

void ThrowAppException(const char* format, ...) {
  va_list args;
  va_start(args, format);
  StringBase message = StringBase::doFormatV(format, args);
  va_end(args);
  throw AppException(AppException::LEVEL_ERROR, message);
}

std::uint32_t SplitTag(const StringBase& tag) {
  // Tags are a few dozen bytes: one pass over the bytes, each time.
  const char* const bytes = tag.GetBuffer();
  const std::size_t length = tag.GetLength();
  std::size_t first = 0;
  std::size_t separators = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (bytes[i] == NAMESPACE_SEPARATOR && separators++ == 0) {
      first = i;
    }
  }
  if (length == 0 || separators > 1) {
    ThrowAppException("Invalid XML tag %s\n", tag.c_str());
  }
  if (separators == 0) {
    return NO_SEPARATOR;
  }
  return first < FAR_SEPARATOR ? static_cast<std::uint32_t>(first)
                               : static_cast<std::uint32_t>(FAR_SEPARATOR);
}

}  // namespace Detail
}  // namespace Mintu
