#include "port/Port_Init.h"
// The Windows loader's entry point of the library (Windows builds only).

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The library's per-thread records are thread_local objects, which need no
// call from here, so it asks the loader to spare it the calls for every
// thread a host starts and ends. Nothing else is done on
// load: static objects are built by the runtime, before this is called.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
