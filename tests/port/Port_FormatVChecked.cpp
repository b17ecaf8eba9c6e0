// Compiled, never run: passes when the compiler warns about the bad formats below.
#include <cstdarg>

#include "port/Port_StringBase.h"

Port::StringBase<char> Static(va_list args) {
  return Port::StringBase<char>::doFormatV("%Q", args);
}

Port::StringBase<char>& Member(Port::StringBase<char>& text, va_list args) {
  return text.FormatV("%Q", args);
}
