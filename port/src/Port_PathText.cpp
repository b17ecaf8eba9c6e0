// Conversions between 8-bit names and std::filesystem paths.

#include "Port_PathText.h"

#include "Port_Windows.h"

#ifdef _WIN32
#include <climits>
#endif

namespace Port {
namespace Detail {

#ifdef _WIN32

std::filesystem::path PathOf(const std::string& text) {
  if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
    return std::filesystem::path();
  }
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::filesystem::path();
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], needed);
  return std::filesystem::path(std::move(wide));
}

std::string TextOf(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) return std::string();
  const int length = static_cast<int>(wide.size());
  const int needed =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string text(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &text[0], needed, nullptr, nullptr);
  return text;
}

#else

std::filesystem::path PathOf(const std::string& text) { return std::filesystem::path(text); }

std::string TextOf(const std::filesystem::path& path) { return path.native(); }

#endif

}  // namespace Detail
}  // namespace Port
