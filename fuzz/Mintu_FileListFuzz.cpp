// File lists read from the input, next to a few member files: every member
// given back exists, is cleaned (no comment, no blank or tab at its ends, no
// line end, one kind of separator, never doubled), and the file names are
// the list's directory followed by the same members, in the same order.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "FuzzCheck.h"
#include "mintu/Mintu_Utilities.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"

using Mintu::StringBase;

static std::string directory;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string pattern = MintuFuzz::ScratchFolder() + "/mintu-filelist-fuzz-XXXXXX";
  const char* made = mkdtemp(&pattern[0]);
  if (made == nullptr) std::abort();
  directory = std::string(made) + "/";
  mkdir((directory + "sub").c_str(), 0700);
  for (const char* name : {"a.v", "sub/b.v", "name with blank.v"}) {
    std::ofstream(directory + name).put('x');
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string list = directory + "files.lst";
  MintuFuzz::Rewrite(list, data, size);
  const Port::FileName listName(list.c_str());
  const std::vector<StringBase> members = Mintu::Utilities::GetFileListFileStrings(listName);
  for (const StringBase& member : members) {
    const std::string& m = member.str();
    FUZZ_CHECK(!m.empty() && m.find('#') == std::string::npos);
    FUZZ_CHECK(m.find('\r') == std::string::npos && m.find('\t') == std::string::npos);
    FUZZ_CHECK(m.front() != ' ' && m.back() != ' ');
    FUZZ_CHECK(m.find('\\') == std::string::npos && m.find("//") == std::string::npos);
    FUZZ_CHECK(Port::File::exist(Port::FileName((directory + m).c_str())));
  }
  const std::vector<Port::FileName> names = Mintu::Utilities::GetFileListFileNames(listName);
  FUZZ_CHECK(names.size() == members.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const Port::FileName expected((directory + members[i].str()).c_str());
    FUZZ_CHECK(names[i].GetFullPath() == expected.GetFullPath());
  }
  FUZZ_CHECK(Port::File::openStreamCount() == 0);
  return 0;
}
