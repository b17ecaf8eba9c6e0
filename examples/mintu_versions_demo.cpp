// Parses a handful of core versions written in both notations, prints their
// normal and underscore forms, sorts them, and reports the texts that are no
// version through a message manager onto the standard error stream.

#include <algorithm>
#include <iostream>
#include <vector>

#include "mintu/Mintu_MsgMan.h"
#include "mintu/Mintu_Version.h"
#include "port/Port_Msg.h"

int main() {
  // Issued messages reach std::cerr for the life of the program.
  Mintu::MsgMan messages;

  const char* const texts[] = {"v3_1", "1.00.a", "V2.03.B", "3.01",   "v1_00_b",
                               "10.1", "2.0",    "1.0.a",   "9_99_z", "release-7"};

  std::vector<Mintu::Version> versions;
  std::cout << "Parsed:\n";
  for (const char* text : texts) {
    Mintu::Version version("");
    const bool parsed = version.Assign(text);
    std::cout << "  " << text << " -> " << version.GetText() << "  (" << version.VersionString()
              << ")" << (parsed ? "" : "  [not a version]") << "\n";
    if (!parsed) {
      Port_MsgManData::createObject("mintu_versions_demo", __FILE__, __LINE__, "$Revision: 1.1 $")
          .issueWarning("'%s' is in neither version notation; it is ordered by its text\n", text);
    }
    versions.push_back(version);
  }

  std::stable_sort(versions.begin(), versions.end());
  std::cout << "In order:\n";
  for (std::size_t i = 0; i < versions.size(); ++i) {
    const char* relation = "";
    if (i + 1 < versions.size()) relation = versions[i] == versions[i + 1] ? "  ==" : "  <";
    std::cout << "  " << versions[i].GetText() << relation << "\n";
  }

  const Mintu::Version a("v3_1");
  const Mintu::Version b("3.01");
  std::cout << "v3_1 == 3.01: " << (a == b ? "true" : "false") << "\n";
  std::cout << "1.5 < 1.05.b: "
            << (Mintu::Version("1.5") < Mintu::Version("1.05.b") ? "true" : "false") << "\n";

  return 0;
}
