// Fuzzes the command line of `mintu component`: the input is split into
// words at NUL bytes, parsed with the component's options and checked as a
// request. Every input ends in a request or in one of the two refusals.

#include "FuzzCheck.h"
#include "MintuCli.h"
#include "MintuComponentArgs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const MintuCli::Arguments args(MintuFuzz::Pieces(data, size, '\0'),
                                   MintuCli::ComponentOptions());
    const MintuCli::ComponentRequest request = MintuCli::ParseComponentRequest(args);
    // A request that passes holds only what the description can take.
    MintuCli::CheckXmlText("--description", request.description);
  } catch (const MintuCli::UsageError&) {
  } catch (const MintuCli::Failure&) {
  }
  return 0;
}
