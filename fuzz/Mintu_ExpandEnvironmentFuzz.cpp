// Environment expansion against a plain reading of its rules: every ${NAME} (letters, digits,
// underscore, possibly empty) is replaced by the variable's value in one pass; a text that begins
// with ${ORVANE} is looked up under the install roots, none of which holds anything here.

#include <cstdlib>

#include "FuzzCheck.h"
#include "mintu/Mintu_Utilities.h"

using Mintu::StringBase;

namespace {

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string Expected(const std::string& text) {
  std::string result;
  std::size_t position = 0;
  for (;;) {
    std::size_t open = text.find("${", position);
    std::size_t close = std::string::npos;
    // The leftmost "${" that a run of name characters and "}" follow.
    while (open != std::string::npos) {
      close = open + 2;
      while (close < text.size() && IsNameChar(text[close])) ++close;
      if (close < text.size() && text[close] == '}') break;
      open = text.find("${", open + 1);
    }
    if (open == std::string::npos) break;
    result.append(text, position, open - position);
    const char* value = std::getenv(text.substr(open + 2, close - open - 2).c_str());
    if (value != nullptr) result.append(value);
    position = close + 1;
  }
  result.append(text, position, std::string::npos);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("ORVANE", "/nonexistent/mintu-fuzz-root", 1);
  setenv("A", "alpha", 1);
  setenv("B_2", "${A}", 1);  // a value is not expanded again
  setenv("EMPTY", "", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const StringBase expanded = Mintu::Utilities::ExpandEnvironment(StringBase(text));
  if (text.compare(0, 9, "${ORVANE}") == 0) {
    FUZZ_CHECK(expanded.IsEmpty());
  } else {
    FUZZ_CHECK(expanded.str() == Expected(text));
  }
  return 0;
}
