// A smoke run of the Windows DLLs (ci/windows-cross.sh runs it under Wine
// when Wine is installed): loading, an exception caught across the DLL
// boundary, issuing, and an 8-bit file name beyond ASCII that must list,
// open and read back alike. Prints "N passed, N failed".

#include <iostream>
#include <string>

#include "mintu/mintu.h"
#include "port/Port_Dir.h"
#include "port/Port_Env.h"
#include "port/Port_File.h"

namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const char* what) {
  (ok ? passed : failed) += 1;
  std::cout << (ok ? "ok   " : "FAIL ") << what << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: windows-smoke <empty folder>\n";
    return 2;
  }
  Mintu::MsgMan messages;
  Check(Port_Env::IsNt() && std::string(Port_Env::GetPlatformPath()) == "nt64", "platform");
  Check(Mintu::Version("v3_1") < Mintu::Version("10.1"), "version order");

  bool caught = false;
  try {
    Mintu::XmlAttribute bad("", "x");
  } catch (const Mintu::AppException&) {
    caught = true;
  } catch (...) {
  }
  Check(caught, "AppException caught across the DLL boundary");

  Mintu::XmlNestedElement component(Mintu::Spirit::COMPONENT);
  component.elements.AddLeafElement(Mintu::Spirit::NAME, "core");
  Check(component.ToXml("").GetIndexOfString("core") != Mintu::StringBase::NOT_FOUND, "ToXml");

  const std::string dir = argv[1];
  const std::string made = "caf\xE9 \xA7.txt";  // Latin-1 bytes
  Port::Stream* out = Port::File::open(dir + "\\" + made, Port::File::ACCESS_WRITE, false);
  Check(out != nullptr && out->write("one\n", 4) && Port::File::close(out), "write");
  const UT_DIR listing{Port::StringBase<char>(dir)};
  Check(listing.size() == 1 && std::string(*listing.begin()) == made, "listed as written");
  const std::string full = dir + "\\" + (listing.size() == 1 ? *listing.begin() : "");
  Check(Port::File::isfile(full) && Port::File::canread(full), "listed name is a readable file");
  Port::StringBase<char> line;
  Port::Stream* in = Port::File::open(full, Port::File::ACCESS_READ, false);
  if (in != nullptr) {
    in->readline(line);
    Port::File::close(in);
  }
  Check(line == "one", "read back");
  Check(Port::File::isfile(Port::FileName(full.c_str()).GetAbsolutePath(false)), "absolute path");

  std::cout << passed << " passed, " << failed << " failed\n";
  return failed == 0 ? 0 : 1;
}
