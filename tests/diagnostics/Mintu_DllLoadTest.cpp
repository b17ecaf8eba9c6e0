// The library as the Java user interface meets it on Windows: loaded at run
// time from several threads at once, its four JNI functions found by name and
// unloaded again (this program does not link it, so it really unloads).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const kLibrary = "libMintu_Utilities.dll";

// Loads the library, counts the bridge's functions found by name and unloads
// it; -1 if it would not load.
int LoadLookUpAndFree() {
  const HMODULE library = LoadLibraryA(kLibrary);
  if (library == nullptr) return -1;
  int found = 0;
  for (const char* kind : {"Info", "Warning", "Error", "Debug"}) {
    const std::string name = "Java_com_orvane_mintutil_mintaro2_Mintaro2MessageCatcher_output" +
                             std::string(kind) + "MessageN";
    if (GetProcAddress(library, name.c_str()) != nullptr) ++found;
  }
  if (GetProcAddress(library, "DllMain") != nullptr) found = 0;  // only the bridge's names
  FreeLibrary(library);
  return found;
}

TEST(DllLoad, FindsTheBridgeByNameAndUnloadsCleanly) {
  ASSERT_EQ(GetModuleHandleA(kLibrary), nullptr) << "linked, so it would never unload";
  EXPECT_EQ(LoadLookUpAndFree(), 4);
  EXPECT_EQ(GetModuleHandleA(kLibrary), nullptr);
  EXPECT_EQ(GetModuleHandleA("libPortability.dll"), nullptr);
  // The library's static objects are built and destroyed under several threads at once.
  std::atomic<int> failures(0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&failures] {
      for (int i = 0; i < 25; ++i) failures += LoadLookUpAndFree() != 4;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(GetModuleHandleA(kLibrary), nullptr);
}

}  // namespace
