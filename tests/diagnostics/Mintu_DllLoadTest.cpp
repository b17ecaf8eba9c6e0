// The library loaded at run time by threads at once, its JNI functions found, unloaded (Windows).
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// Threads of this process, from the system's own list: a library that left one running
// behind would crash once unloaded.
static int ThreadCount() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry;
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == GetCurrentProcessId();
  }
  CloseHandle(snapshot);
  return count;
}

// Loads the library, counts the bridge's functions found by name, unloads it; -1: no load.
static int LoadLookUpAndFree() {
  const HMODULE library = LoadLibraryA("libMintu_Utilities.dll");
  if (library == nullptr) return -1;
  int found = GetProcAddress(library, "DllMain") != nullptr ? -4 : 0;  // only the bridge's names
  for (const char* kind : {"Info", "Warning", "Error", "Debug"}) {
    const std::string name = "Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_output" +
                             std::string(kind) + "MessageN";
    found += GetProcAddress(library, name.c_str()) != nullptr;
  }
  FreeLibrary(library);
  return found;
}

TEST(DllLoad, FindsTheBridgeByNameAndUnloadsCleanly) {
  ASSERT_EQ(GetModuleHandleA("libMintu_Utilities.dll"), nullptr) << "linked: would never unload";
  const int threadsBefore = ThreadCount();
  std::atomic<int> failures(0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&failures] {
      for (int i = 0; i < 25; ++i) failures += LoadLookUpAndFree() != 4;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(ThreadCount(), threadsBefore);
  EXPECT_EQ(GetModuleHandleA("libMintu_Utilities.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("libPortability.dll"), nullptr);
}
