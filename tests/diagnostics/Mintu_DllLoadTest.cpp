// The library loaded at run time by threads at once, its JNI functions found, unloaded (Windows).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

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
  std::atomic<int> failures(0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&failures] {
      for (int i = 0; i < 25; ++i) failures += LoadLookUpAndFree() != 4;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(GetModuleHandleA("libMintu_Utilities.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("libPortability.dll"), nullptr);
}
