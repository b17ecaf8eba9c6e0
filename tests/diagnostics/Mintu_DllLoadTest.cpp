// The library as the Java user interface meets it on Windows: loaded at run
// time, its four JNI functions found by name, and unloaded again, from
// several threads at once. This program does not link the library, so the
// last FreeLibrary really unloads it. Built for Windows only.

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const LIBRARY = "libMintu_Utilities.dll";
const char* const BRIDGE = "Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_output";

// Threads of this process, from the system's own list.
int ThreadCount() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  THREADENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// Loads the library, looks up the bridge's functions and unloads it;
// returns how many of the four were found, or -1 if it would not load.
int LoadLookUpAndFree() {
  const HMODULE library = LoadLibraryA(LIBRARY);
  if (library == nullptr) return -1;
  int found = 0;
  for (const char* kind : {"Info", "Warning", "Error", "Debug"}) {
    const std::string name = BRIDGE + std::string(kind) + "MessageN";
    if (GetProcAddress(library, name.c_str()) != nullptr) ++found;
  }
  // Only the bridge's names: the loader's entry point is not exported.
  if (GetProcAddress(library, "DllMain") != nullptr) found = 0;
  FreeLibrary(library);
  return found;
}

TEST(DllLoad, FindsTheBridgeByNameAndUnloadsCleanly) {
  ASSERT_EQ(GetModuleHandleA(LIBRARY), nullptr) << "linked, so it would never unload";
  EXPECT_EQ(LoadLookUpAndFree(), 4);
  EXPECT_EQ(GetModuleHandleA(LIBRARY), nullptr);
  EXPECT_EQ(GetModuleHandleA("libPortability.dll"), nullptr);

  // Several threads load and unload it at once, while the library's static
  // objects are built and destroyed under them.
  const int threadsBefore = ThreadCount();
  std::atomic<int> failures(0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&failures] {
      for (int i = 0; i < 25; ++i) {
        if (LoadLookUpAndFree() != 4) ++failures;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  // Nothing of the library stays loaded or running.
  EXPECT_EQ(GetModuleHandleA(LIBRARY), nullptr);
  EXPECT_EQ(ThreadCount(), threadsBefore);
}

}  // namespace
