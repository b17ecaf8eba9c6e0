// Port_Env: the process environment through the C library, and the
// platform's identity.

#include "port/Port_Env.h"

#include <cstdlib>
#include <cstring>

namespace {

// A name the environment can hold: not empty, no "=".
bool ValidName(const char* name) {
  return name != nullptr && name[0] != '\0' && std::strchr(name, '=') == nullptr;
}

}  // namespace

const char* Port_Env::GetEnv(const char* name) {
  if (!ValidName(name)) return nullptr;
  return std::getenv(name);
}

bool Port_Env::SetEnv(const char* name, const char* value) {
  if (value == nullptr) return UnsetEnv(name);
  if (!ValidName(name)) return false;
#ifdef _WIN32
  return _putenv_s(name, value) == 0;
#else
  return ::setenv(name, value, 1) == 0;
#endif
}

bool Port_Env::UnsetEnv(const char* name) {
  if (!ValidName(name)) return false;
#ifdef _WIN32
  return _putenv_s(name, "") == 0;
#else
  return ::unsetenv(name) == 0;
#endif
}

bool Port_Env::IsNt() {
#ifdef _WIN32
  return true;
#else
  return false;
#endif
}

const char* Port_Env::GetPlatformPath() {
#if defined(_WIN64)
  return "nt64";
#elif defined(_WIN32)
  return "nt";
#elif defined(__APPLE__)
  return "mac64";
#elif defined(__LP64__)
  return "lin64";
#else
  return "lin";
#endif
}

char Port_Env::GetPathListSeparator() {
#ifdef _WIN32
  return ';';
#else
  return ':';
#endif
}
