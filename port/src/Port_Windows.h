#ifndef PORT_WINDOWS_H
#define PORT_WINDOWS_H
// <windows.h> for the port's Windows code, the same way in every file: without
// the rarely used parts, which also keeps the build quick. Nothing elsewhere.

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#endif  // PORT_WINDOWS_H
