// mintu_install_demo: the installation and file utilities at work. Without
// ORVANE it uses the sample installation under examples/install (root1 and
// root2); with ORVANE set it looks at that installation instead. Messages the
// library issues (a missing file-list member, for instance) appear on the
// standard error stream; ORV_MN_API_DEBUG switches the lookup traces on.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "mintu/Mintu_DebugMessengerFactory.h"
#include "mintu/Mintu_IPUpdateInfo.h"
#include "mintu/Mintu_MsgMan.h"
#include "mintu/Mintu_SetWorkingDirectory.h"
#include "mintu/Mintu_Utilities.h"
#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "port/Port_Msg.h"
#include "port/Port_OrvanePath.h"

#ifndef MINTU_EXAMPLES_DIR
#define MINTU_EXAMPLES_DIR "examples"
#endif

using Mintu::StringBase;
using Mintu::Utilities;

namespace {

void Heading(const char* title) { std::cout << "\n== " << title << std::endl; }

// One "label  value" line, flushed so that messages on stderr fall into place.
void Show(const std::string& label, const StringBase& value) {
  const std::size_t width = 36;
  std::cout << "  " << label;
  if (label.size() >= width) {
    std::cout << "\n  ";
    for (std::size_t pad = 0; pad < width; ++pad) std::cout << ' ';
  } else {
    for (std::size_t pad = label.size(); pad < width; ++pad) std::cout << ' ';
  }
  std::cout << (value.IsEmpty() ? StringBase("(empty)") : value) << std::endl;
}

void ShowLookup(const std::string& label, bool found, const StringBase& path) {
  Show(label, found ? path : StringBase("(not found)"));
}

std::string ValidityText(unsigned int result, bool valid) {
  if (result != 0) return "unreadable";
  return valid ? "valid" : "CHANGED since it was stamped";
}

}  // namespace

int main() {
  // Messages go to the standard error stream at the normal level.
  Mintu::MsgMan messages;
  Mintu::DebugMessengerFactory::SetLevelFromEnv();

  const std::string sample = std::string(MINTU_EXAMPLES_DIR) + "/install";
  if (Port_Env::GetEnv("ORVANE") == nullptr) {
    Port::OrvanePath::GetInstance().Set(
        {StringBase(sample + "/root1"), StringBase(sample + "/root2")});
  }

  Heading("Installation");
  Show("application", Utilities::ApplicationName());
  Show("installed release", Utilities::RevisionVersion());
  Show("next major release", Utilities::NextMajorRelease());
  Show("library built", StringBase(Utilities::GetBuildDate()) + " " + Utilities::GetBuildTime());
  int index = 1;
  for (const StringBase& root : Port::OrvanePath::GetInstance().roots()) {
    Show("install root " + std::to_string(index++), Utilities::GetAbsolutePath(root));
  }

  Heading("Lookups under the install roots (first root that holds the name wins)");
  StringBase found;
  bool hit = Utilities::GetFullOrvanePathOf("IPupdate.log", found);
  ShowLookup("IPupdate.log", hit, found);
  hit = Utilities::GetFullOrvanePathOf("data", found);
  ShowLookup("data (a directory)", hit, found);
  hit = Utilities::GetFullOrvanePathWithContainer("data/fifo_generator_v3_1.mpd", found);
  ShowLookup("core file fifo_generator_v3_1.mpd", hit, found);
  hit = Utilities::GetFullOrvanePathWithContainer("data/adder_v2_0.mpd", found);
  ShowLookup("core file adder_v2_0.mpd", hit, found);
  hit = Utilities::GetFullOrvanePathOf("no/such/file.txt", found);
  ShowLookup("no/such/file.txt", hit, found);
  hit = Utilities::GetJavaExecutablePath(found);
  ShowLookup(std::string("Java program (") + Port_Env::GetPlatformPath() + ")", hit, found);

  Heading("Update level");
  StringBase level;
  const unsigned int code = Mintu::IPUpdateInfo::GetCoresLevel(level);
  Show("cores level", code == Mintu::IPUpdateInfo::LEVEL_READ
                          ? level
                          : StringBase::doFormat("(none: status %u)", code));

  Heading("Environment expansion");
  for (const char* text :
       {"${ORVANE}/data/defaults.txt", "${ORVANE}/missing.txt", "${HOME}/projects/${USER}",
        "[${UNSET_SAMPLE_VARIABLE}]", "${not-a-name} ${unclosed"}) {
    Show(text, Utilities::ExpandEnvironment(text));
  }

  Heading("Checksum stamps");
  StringBase stamped;
  if (Utilities::GetFullOrvanePathOf("data/fifo_generator.cfg", stamped)) {
    bool valid = false;
    unsigned int result = Utilities::ValidateFileChecksum(stamped, valid);
    Show("fifo_generator.cfg", StringBase(ValidityText(result, valid)));

    // The same file with one setting changed, in a scratch copy.
    std::ifstream in(stamped.c_str(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    std::string edited = content.str();
    const std::size_t at = edited.find("512");
    if (at != std::string::npos) edited.replace(at, 3, "1024");
    const std::string copy =
        (std::filesystem::temp_directory_path() / "mintu_install_demo.cfg").string();
    std::ofstream(copy, std::ios::binary) << edited;
    result = Utilities::ValidateFileChecksum(copy.c_str(), valid);
    Show("edited copy (depth = 1024)", StringBase(ValidityText(result, valid)));
    std::remove(copy.c_str());
  }
  StringBase checksum;
  Utilities::CalculateChecksum("depth = 512\n# a comment\nwidth = 8\n", checksum);
  Show("checksum of two data lines", StringBase("\"") + checksum + "\"");

  Heading("File list (the missing member is reported on stderr)");
  StringBase listPath;
  if (Utilities::GetFullOrvanePathOf("sources.lst", listPath)) {
    const Port::FileName list(listPath);
    const StringBase listDirectory = list.GetHead(true, false);
    std::cout << "  " << listPath << std::endl;
    for (const Port::FileName& member : Utilities::GetFileListFileNames(list)) {
      std::cout << "    " << Utilities::MakeRelativePath(listDirectory, member.GetFullPath())
                << std::endl;
    }
  }

  Heading("Working directory guard");
  {
    Mintu::SetWorkingDirectory guard(listPath.IsEmpty() ? StringBase() : listPath);
    Show("inside the guard", Port::File::getcwd());
  }
  Show("after it", Port::File::getcwd());

  return 0;
}
