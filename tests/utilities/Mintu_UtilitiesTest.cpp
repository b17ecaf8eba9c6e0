// Utilities: paths, install-tree lookups, environment expansion, checksum
// stamps and file lists, against real files, directories, environment
// variables and install-root lists in a temporary tree.

#include "mintu/Mintu_Utilities.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "port/Port_Msg.h"
#include "port/Port_Version.h"
#include "support/IssuedMessages.h"
#include "support/TempInstallTree.h"
#include "utilities/UtilitiesTestSupport.h"

using Mintu::DebugMessenger;
using Mintu::StringBase;
using Mintu::Utilities;
using MintuTest::TempInstallTree;
using MintuTest::UtilitiesTrace;

namespace {

const char SEP = Port::FileName::GetPathSeparator();

std::string Sep() { return std::string(1, SEP); }

class UtilitiesTest : public MintuTest::IssuedMessages {
 protected:
  std::vector<std::string> Errors() const {
    return MintuTest::TextsFrom(issued, PORT_MSG_ERROR, "Mintu_Utilities");
  }
  std::vector<std::string> Warnings() const {
    return MintuTest::TextsFrom(issued, PORT_MSG_WARNING, "Mintu_Utilities");
  }
  std::vector<std::string> Traces() const { return issued.Texts(PORT_MSG_STATUS); }

  TempInstallTree tree;
  MintuTest::UtilitiesLoggerLevel verbose{DebugMessenger::DEBUG_VERBOSE};
};

// The checksum text of `data` as the stamp format writes it.
std::string ChecksumText(const std::string& data) {
  char text[16];
  std::snprintf(text, sizeof text, "%8x",
                static_cast<unsigned int>(
                    crc32_z(0L, reinterpret_cast<const Bytef*>(data.data()), data.size())));
  return text;
}

std::string Checksum(const std::string& text) {
  StringBase checksum("unchanged");
  EXPECT_EQ(0u, Utilities::CalculateChecksum(text, checksum));
  return checksum.str();
}

// ------------------------------------------------------------------ Paths

TEST(UtilitiesPaths, PlatformIndependentPathCollapsesEverySeparatorRun) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a\\b//c\\\\d", "a/b/c/d"},
      {"\\\\server\\share", "/server/share"},
      {"//a", "/a"},
      {"a/////b\\/\\c", "a/b/c"},
      {"a/b/", "a/b/"},
      {"", ""},
      {"plain", "plain"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    StringBase path(c.in);
    Utilities::GetPlatformIndependentPath(path);
    EXPECT_EQ(c.out, path.str());
  }
}

TEST(UtilitiesPaths, TerminatedWithPathSeparator) {
  const struct {
    const char* path;
    bool terminated;
  } cases[] = {{"", false},  {"a/", true},   {"a\\", true},   {"/", true},
               {"a", false}, {"a/b", false}, {"a\\b", false}, {"a/\\", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(c.terminated, Utilities::IsTerminatedWithPathSeparator(c.path));
  }
}

TEST(UtilitiesPaths, TerminateAddsOneSeparatorExceptToFiles) {
  TempInstallTree tree;
  const std::string dir = tree.MakeDir("dir");
  const std::string file = tree.WriteFile("file.txt", "x");
  const std::string missing = tree.Path("missing");
  EXPECT_EQ("", Utilities::TerminateWithPathSeparator("").str());
  EXPECT_EQ(dir + Sep(), Utilities::TerminateWithPathSeparator(dir).str());
  EXPECT_EQ(missing + Sep(), Utilities::TerminateWithPathSeparator(missing).str());
  EXPECT_EQ(file, Utilities::TerminateWithPathSeparator(file).str());
  EXPECT_EQ(dir + "/", Utilities::TerminateWithPathSeparator(dir + "/").str());
  EXPECT_EQ(dir + "\\", Utilities::TerminateWithPathSeparator(dir + "\\").str());
}

TEST(UtilitiesPaths, AbsolutePathAndDirectory) {
  TempInstallTree tree;
  const std::string dir = tree.MakeDir("d/sub");
  const std::string file = tree.WriteFile("d/f.txt", "x");
  ASSERT_TRUE(Port::File::chdir(tree.Path("d")));

  EXPECT_EQ("", Utilities::GetAbsolutePath("").str());
  EXPECT_EQ("", Utilities::GetAbsoluteDirectory("").str());
  // Relative names resolve against the working directory; directories get
  // exactly one separator, whether or not they were written with one.
  EXPECT_EQ(dir + Sep(), Utilities::GetAbsolutePath("sub").str());
  EXPECT_EQ(dir + Sep(), Utilities::GetAbsolutePath("sub" + Sep()).str());
  EXPECT_EQ(dir + Sep(), Utilities::GetAbsolutePath("./sub//").str());
  EXPECT_EQ(file, Utilities::GetAbsolutePath("f.txt").str());
  EXPECT_EQ(file, Utilities::GetAbsolutePath("sub/../f.txt").str());
  EXPECT_EQ(tree.Path("d/none.txt"), Utilities::GetAbsolutePath("none.txt").str());

  EXPECT_EQ(dir + Sep(), Utilities::GetAbsoluteDirectory("sub").str());
  // The directory of a file (or of a missing name) is its head.
  StringBase head = Utilities::GetAbsoluteDirectory("f.txt");
  EXPECT_EQ(tree.Path("d") + Sep(), Utilities::TerminateWithPathSeparator(head).str());
  head = Utilities::GetAbsoluteDirectory(tree.Path("d/sub/none.txt"));
  EXPECT_EQ(dir + Sep(), Utilities::TerminateWithPathSeparator(head).str());
}

TEST(UtilitiesPaths, MakeRelativePath) {
  TempInstallTree tree;
  const std::string d = tree.MakeDir("r");
  tree.WriteFile("r/sub/f.txt", "x");
  tree.WriteFile("other/g.txt", "x");
  tree.WriteFile("rx/h.txt", "x");
  const std::string list = tree.WriteFile("r/list.txt", "x");
  // The directory's own text again, deeper down: only the prefix goes.
  const std::string nested = d.substr(1) + "/n.txt";
  tree.WriteFile("r/" + nested, "x");

  const std::string dot = "." + Sep();
  EXPECT_EQ(dot + "sub/f.txt", Utilities::MakeRelativePath(d, d + "/sub/f.txt").str());
  EXPECT_EQ(dot + "sub" + Sep(), Utilities::MakeRelativePath(d, d + "/sub").str());
  EXPECT_EQ(dot + nested, Utilities::MakeRelativePath(d, d + "/" + nested).str());
  EXPECT_EQ(tree.Path("other/g.txt"),
            Utilities::MakeRelativePath(d, tree.Path("other/g.txt")).str());
  EXPECT_EQ("", Utilities::MakeRelativePath(d, "").str());
  EXPECT_EQ(tree.Path("r/sub/f.txt"), Utilities::MakeRelativePath("", d + "/sub/f.txt").str());
  // A directory given by one of its files, or one that does not exist, is a
  // whole path component: it claims neither "rx" nor a doubled separator.
  EXPECT_EQ(dot + "sub/f.txt", Utilities::MakeRelativePath(list, d + "/sub/f.txt").str());
  EXPECT_EQ(tree.Path("rx/h.txt"),
            Utilities::MakeRelativePath(tree.Path("r"), tree.Path("rx/h.txt")).str());
  EXPECT_EQ(tree.Path("rx/h.txt"),
            Utilities::MakeRelativePath(tree.Path("r/missing"), tree.Path("rx/h.txt")).str());
}

// ---------------------------------------------------- Install tree lookup

TEST_F(UtilitiesTest, LookupUnderRootsTakesTheFirstRootThatHoldsTheName) {
  tree.MakeDir("root1/shared");            // a directory in the first root...
  tree.WriteFile("root2/shared", "file");  // ...and a file of that name in the second
  tree.WriteFile("root2/data/file.txt", "x");
  tree.WriteFile("root1/data/only1.txt", "x");
  tree.SetRoots({"absent", "root1", "root2"});

  const struct {
    const char* name;
    const char* expected;  // relative to the tree; null: not found
  } cases[] = {
      {"shared", "root1/shared"},
      {"data/file.txt", "root2/data/file.txt"},
      {"data/only1.txt", "root1/data/only1.txt"},
      {"data", "root1/data"},
      {"nowhere.txt", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    issued.Clear();
    StringBase found("untouched");
    const bool hit = Utilities::GetFullOrvanePathOf(c.name, found);
    if (c.expected == nullptr) {
      EXPECT_FALSE(hit);
      EXPECT_EQ("untouched", found.str());
      EXPECT_EQ(
          std::vector<std::string>{UtilitiesTrace(std::string("Could not find ") + c.name + "\n")},
          Traces());
    } else {
      EXPECT_TRUE(hit);
      EXPECT_EQ(tree.Path(c.expected), found.str());
      EXPECT_EQ(std::vector<std::string>{UtilitiesTrace(std::string("Looking for ") + c.name +
                                                        "\nFound " + found.str() + "\n")},
                Traces());
    }
    EXPECT_EQ(0u, issued.Count(PORT_MSG_ERROR) + issued.Count(PORT_MSG_WARNING));
  }
}

TEST_F(UtilitiesTest, EveryLookupFailsQuietlyWithoutRoots) {
  tree.WriteFile("root1/x.txt", "x");
  tree.SetRoots({});
  StringBase found("untouched");
  EXPECT_FALSE(Utilities::GetFullOrvanePathOf("x.txt", found));
  EXPECT_FALSE(Utilities::GetFullOrvanePathWithContainer("x.txt", found));
  EXPECT_FALSE(Utilities::GetJavaExecutablePath(found));
  EXPECT_EQ("untouched", found.str());
  ASSERT_EQ(3u, Traces().size());
  EXPECT_EQ(UtilitiesTrace("Could not find x.txt\n"), Traces()[0]);
  EXPECT_EQ(UtilitiesTrace("Could not find x.txt\n"), Traces()[1]);
}

TEST_F(UtilitiesTest, TracesOnlyWhenTheLoggerIsVerbose) {
  tree.SetRoots({"root1"});
  MintuTest::UtilitiesLoggerLevel detailed(DebugMessenger::DEBUG_DETAILED);
  StringBase found;
  EXPECT_FALSE(Utilities::GetFullOrvanePathOf("x.txt", found));
  EXPECT_TRUE(Traces().empty());
}

TEST_F(UtilitiesTest, LookupInCoreLibrariesGoesByRootThenListingOrder) {
  const std::string container = "/mintaro/ip/orvane/";
  tree.WriteFile("root1/other/zz_lib/doc.txt", "x");  // no container in root1
  tree.WriteFile("root2" + container + "b_lib/data/core.mpd", "b");
  tree.WriteFile("root2" + container + "a_lib/data/core.mpd", "a");
  tree.MakeDir("root2" + container + "a_lib/doc");
  tree.WriteFile("root3" + container + "a_lib/data/late.mpd", "x");
  tree.WriteFile("root3" + container + "c_lib/data/core.mpd", "c");
  tree.SetRoots({"absent", "root1", "root2", "root3"});

  const struct {
    const char* name;
    const char* expected;
  } cases[] = {
      {"data/core.mpd", "root2/mintaro/ip/orvane/a_lib/data/core.mpd"},
      {"doc", "root2/mintaro/ip/orvane/a_lib/doc"},
      {"data/late.mpd", "root3/mintaro/ip/orvane/a_lib/data/late.mpd"},
      {"doc.txt", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    issued.Clear();
    StringBase found("untouched");
    const bool hit = Utilities::GetFullOrvanePathWithContainer(c.name, found);
    EXPECT_EQ(c.expected != nullptr, hit);
    EXPECT_EQ(c.expected ? tree.Path(c.expected) : std::string("untouched"), found.str());
    ASSERT_EQ(1u, Traces().size());
    EXPECT_EQ(c.expected ? UtilitiesTrace(std::string("Looking for ") + c.name + "\nFound " +
                                          found.str() + "\n")
                         : UtilitiesTrace(std::string("Could not find ") + c.name + "\n"),
              Traces()[0]);
  }
}

TEST_F(UtilitiesTest, JavaProgramOfThisPlatform) {
  const std::string program = Port_Env::IsNt() ? "java.exe" : "java";
  const std::string wrong = Port_Env::IsNt() ? "java" : "java.exe";
  const std::string bin = std::string("/java/") + Port_Env::GetPlatformPath() + "/jre/bin/";
  tree.WriteFile("root1" + bin + wrong, "not this one");
  tree.WriteFile("root1/java/other64/jre/bin/" + program, "nor this one");
  tree.WriteFile("root2" + bin + program, "#!/bin/sh\n");
  tree.WriteFile("root3" + bin + program, "too late");
  tree.SetRoots({"root1", "root2", "root3"});

  StringBase found;
  ASSERT_TRUE(Utilities::GetJavaExecutablePath(found));
  EXPECT_EQ(tree.Path("root2" + bin + program), found.str());

  tree.SetRoots({"root1"});
  found = "untouched";
  EXPECT_FALSE(Utilities::GetJavaExecutablePath(found));
  EXPECT_EQ("untouched", found.str());
}

TEST_F(UtilitiesTest, InstallationValues) {
  EXPECT_EQ("Orvane Mintaro", Utilities::ApplicationName().str());
  Port::Version::setValue("version", "12.3");
  EXPECT_EQ("12.3", Utilities::RevisionVersion().str());
  EXPECT_TRUE(std::regex_match(Utilities::GetBuildDate(),
                               std::regex("(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                                          "[ 123][0-9] [0-9]{4}")));
  EXPECT_TRUE(
      std::regex_match(Utilities::GetBuildTime(), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")));
  EXPECT_EQ(Utilities::GetBuildDate(), Utilities::GetBuildDate());
}

TEST_F(UtilitiesTest, NextMajorRelease) {
  const struct {
    const char* release;
    const char* next;
  } cases[] = {
      {"12.3", "13.1"},
      {"9.0", "10.1"},
      {"14.2.1_p3", "15.1"},
      {".5", "1.1"},
      {"beta.2", "beta.1"},
      {"0.9", "1.1"},
      {"-3.0", "-2.1"},
      {"2147483647.0", "2147483648.1"},    // no wrap past the largest 32-bit value
      {"99999999999.0", "99999999999.1"},  // too big to read: kept as written
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.release);
    Port::Version::setValue("version", c.release);
    EXPECT_EQ(c.next, Utilities::NextMajorRelease().str());
  }
  EXPECT_TRUE(Traces().empty());

  Port::Version::setValue("version", "14");
  EXPECT_EQ("", Utilities::NextMajorRelease().str());
  EXPECT_EQ(std::vector<std::string>{UtilitiesTrace(
                "Failed to split extract major version from 14\n.\n")},
            Traces());
}

// -------------------------------------------------- Environment expansion

TEST_F(UtilitiesTest, ExpandsReferencesInOnePass) {
  tree.SetEnv("MINTU_T_HOME", "/h");
  tree.SetEnv("MINTU_T_REF", "${MINTU_T_HOME}");
  tree.SetEnv("MINTU_T_EMPTY", "");
  tree.SetEnv("MINTU_T_UNSET", nullptr);
  tree.SetEnv("ORVANE", "/env/orvane");
  tree.SetEnv("mintu_t_9", "digits");
  tree.SetRoots({"root1"});

  const struct {
    const char* text;
    const char* expanded;
  } cases[] = {
      {"", ""},
      {"no references at all", "no references at all"},
      {"${MINTU_T_HOME}/x", "/h/x"},
      {"a${MINTU_T_HOME}b${MINTU_T_HOME}c", "a/hb/hc"},
      {"${MINTU_T_HOME}${MINTU_T_HOME}", "/h/h"},
      {"${MINTU_T_REF}/y", "${MINTU_T_HOME}/y"},  // values are not expanded again
      {"[${MINTU_T_EMPTY}]", "[]"},
      {"[${MINTU_T_UNSET}]", "[]"},
      {"[${}]", "[]"},
      {"${mintu_t_9}", "digits"},
      {"${MINTU_T_HOME", "${MINTU_T_HOME"},  // unclosed
      {"$MINTU_T_HOME/x", "$MINTU_T_HOME/x"},
      {"${MINTU.T}${MINTU-T}", "${MINTU.T}${MINTU-T}"},
      {"${${MINTU_T_HOME}}", "${/h}"},
      {"x${ORVANE}/y", "x/env/orvane/y"},  // not at the start: an ordinary variable
      {" ${ORVANE}", " /env/orvane"},
      {"%s%n${MINTU_T_HOME}", "%s%n/h"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.expanded, Utilities::ExpandEnvironment(c.text).str());
  }
  EXPECT_TRUE(Errors().empty());
  EXPECT_TRUE(Warnings().empty());
}

TEST_F(UtilitiesTest, OrvaneAtTheStartLooksTheRestUpUnderTheRoots) {
  tree.WriteFile("root2/data/file.txt", "x");
  tree.WriteFile("root1/data/sub/one.txt", "x");
  tree.SetRoots({"root1", "root2"});
  tree.SetEnv("MINTU_T_SUB", "sub");
  tree.SetEnv("ORVANE", "/env/orvane");

  EXPECT_EQ(tree.Path("root2/data/file.txt"),
            Utilities::ExpandEnvironment("${ORVANE}/data/file.txt").str());
  EXPECT_EQ(tree.Path("root1/data/sub/one.txt"),
            Utilities::ExpandEnvironment("${ORVANE}data/${MINTU_T_SUB}/one.txt").str());
  EXPECT_EQ("", Utilities::ExpandEnvironment("${ORVANE}/data/none.txt").str());
  EXPECT_EQ("", Utilities::ExpandEnvironment("${ORVANE}/${MINTU_T_UNSET_NAME}x").str());

  // A long run of leading references must not exhaust the stack.
  std::string many;
  for (int i = 0; i < 120000; ++i) many += "${ORVANE}";
  MintuTest::UtilitiesLoggerLevel quiet(DebugMessenger::DEBUG_OFF);
  const StringBase result = Utilities::ExpandEnvironment(many + "/data/none.txt");
  EXPECT_LT(result.GetLength(), 4096u);
}

TEST_F(UtilitiesTest, ExpandsLongTexts) {
  tree.SetEnv("MINTU_T_A", "aa");
  std::string text;
  std::string expected;
  for (int i = 0; i < 50000; ++i) {
    text += "x${MINTU_T_A}${";
    expected += "xaa${";
  }
  EXPECT_EQ(expected, Utilities::ExpandEnvironment(text).str());
  const std::string unclosed = "${" + std::string(1 << 20, 'A');
  EXPECT_EQ(unclosed, Utilities::ExpandEnvironment(unclosed).str());
}

// -------------------------------------------------------- Checksum stamps

TEST(UtilitiesChecksum, DataLinesOnly) {
  const std::string empty = ChecksumText("");
  EXPECT_EQ("       0", empty);
  EXPECT_EQ(empty, Checksum(""));
  EXPECT_EQ(empty, Checksum("# only\n#comments\n  # here\n\n"));

  const std::string data = Checksum("alpha\nbeta\n");
  EXPECT_EQ(ChecksumText("alphabeta"), data);
  // Comments and blank lines come and go without changing the checksum; so
  // do line breaks, which are not part of the data.
  EXPECT_EQ(data, Checksum("# head\nalpha\n\n# CRC: 12345678\nbeta"));
  EXPECT_EQ(data, Checksum("alphabeta\n"));
  EXPECT_EQ(data, Checksum("alpha\nbeta\nvalue # 3\n"));  // "#" anywhere drops the line
  EXPECT_NE(data, Checksum("alpha\nbeta\ngamma\n"));
  EXPECT_NE(data, Checksum("alpha \nbeta\n"));
  // Bytes of any value, NULs included, are data.
  const std::string binary("a\0b\r\n\xff\xfe", 7);
  EXPECT_EQ(ChecksumText(std::string("a\0b\r\xff\xfe", 6)), Checksum(binary));
}

TEST(UtilitiesChecksum, LongTextsOfManyLineLengths) {
  // Lines of every length around the sizes a reader may gather data in.
  std::string text;
  std::string data;
  const std::size_t lengths[] = {1, 63, 64, 65, 4095, 65535, 65536, 65537, 70000, 200000, 3};
  for (int round = 0; round < 3; ++round) {
    for (std::size_t length : lengths) {
      std::string line(length, static_cast<char>('a' + (length + round) % 26));
      text += line + "\n";
      data += line;
      text += "# comment " + std::to_string(length) + "\n";
    }
  }
  EXPECT_EQ(ChecksumText(data), Checksum(text));

  TempInstallTree tree;
  const std::string path = tree.WriteFile("long.txt", text + "# CRC: " + ChecksumText(data));
  bool valid = false;
  EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, valid));
  EXPECT_TRUE(valid);
}

TEST(UtilitiesChecksum, SmallValuesArePaddedWithBlanks) {
  // Find a data line whose CRC has fewer than eight hexadecimal digits.
  std::string data;
  for (int i = 0; data.empty(); ++i) {
    const std::string candidate = "line " + std::to_string(i);
    if (ChecksumText(candidate)[0] == ' ') data = candidate;
  }
  const std::string text = Checksum(data + "\n");
  ASSERT_EQ(8u, text.size());
  EXPECT_EQ(' ', text[0]);
  EXPECT_NE(' ', text[7]);

  TempInstallTree tree;
  std::string zeros = text;
  for (char& c : zeros) c = c == ' ' ? '0' : c;
  const std::string blanks = tree.WriteFile("blanks.txt", data + "\n# CRC: " + text + "\n");
  const std::string padded = tree.WriteFile("zeros.txt", data + "\n# CRC: " + zeros + "\n");
  bool valid = false;
  EXPECT_EQ(0u, Utilities::ValidateFileChecksum(blanks, valid));
  EXPECT_TRUE(valid);
  EXPECT_EQ(0u, Utilities::ValidateFileChecksum(padded, valid));
  EXPECT_FALSE(valid);
}

// The validation exactly as the stamp format defines it: the whole text as
// lines each ending in "\n", the first tag, eight bytes from seven after it.
bool ReferenceValidity(const std::string& file) {
  std::string content;
  std::size_t start = 0;
  while (start < file.size()) {
    std::size_t end = file.find('\n', start);
    if (end == std::string::npos) end = file.size();
    content += file.substr(start, end - start) + "\n";
    start = end + 1;
  }
  const std::size_t tag = content.find("# CRC:");
  if (tag == std::string::npos) return true;
  const std::string stored = tag + 7 < content.size() ? content.substr(tag + 7, 8) : "";
  std::string computed = Checksum(content);
  if (stored.size() != computed.size()) return false;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(stored[i])) !=
        std::tolower(static_cast<unsigned char>(computed[i])))
      return false;
  }
  return true;
}

TEST_F(UtilitiesTest, ValidatesTheFirstStamp) {
  const std::string body = "module top;\n  wire a;\nendmodule\n";
  const std::string crc = Checksum(body);
  std::string upper = crc;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string other = crc == "deadbeef" ? "feedbeef" : "deadbeef";

  const struct {
    const char* name;
    std::string text;
    bool valid;
  } cases[] = {
      {"stamp first", "# CRC: " + crc + "\n" + body, true},
      {"stamp last, no final line feed", body + "# CRC: " + crc, true},
      {"any separator byte", body + "# CRC:\t" + crc + "\n", true},
      {"upper case", body + "# CRC: " + upper + "\n", true},
      {"comments and blanks", "# generated\n\n" + body + "\n# CRC: " + crc + " end\n# x\n", true},
      {"tag inside a line", "-- # CRC: " + crc + "\n" + body, true},
      {"second stamp ignored", body + "# CRC: " + crc + "\n# CRC: " + other + "\n", true},
      {"second stamp not used", body + "# CRC: " + other + "\n# CRC: " + crc + "\n", false},
      {"data changed", "# CRC: " + crc + "\nmodule top;\n  wire b;\nendmodule\n", false},
      {"data line added", body + "x\n# CRC: " + crc + "\n", false},
      {"comment added", "# new\n" + body + "# CRC: " + crc + "\n", true},
      {"no stamp", body, true},
      {"empty file", "", true},
      {"crlf lines", "a\r\nb\r\n# CRC: " + Checksum("a\r\nb\r\n") + "\r\n", true},
      {"checksum cut by the line end",
       body + "# CRC: " + crc.substr(0, 4) + "\n" + crc.substr(4) + "\n", false},
      {"tag ends the file", body + "# CRC:", false},
      {"tag and separator end the file", body + "# CRC: ", false},
      {"short checksum at the end", body + "# CRC: " + crc.substr(0, 5), false},
      {"leading blank in the stamp", body + "# CRC:  " + crc + "\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.valid, ReferenceValidity(c.text));
    const std::string path = tree.WriteFile("stamped.txt", c.text);
    bool valid = !c.valid;
    EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, valid));
    EXPECT_EQ(c.valid, valid);
  }
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(UtilitiesTest, StampsThatRunAcrossLinesMatchTheWholeTextReading) {
  // Stamps whose eight bytes take in line ends and following lines, next to
  // data that makes the computed text known; one pass must read them the way
  // the whole text is read.
  const std::string crc = Checksum("x\n");
  const std::vector<std::string> tails = {"",         "\n",
                                          "\n\n",     crc.substr(0, 3) + "\n",
                                          "\n" + crc, crc.substr(0, 7) + "\n" + crc.substr(7)};
  for (const std::string& tail : tails) {
    for (const char* sep : {"", " ", "\n"}) {
      const std::string text = "x\n# CRC:" + std::string(sep) + tail;
      SCOPED_TRACE(testing::PrintToString(text));
      const std::string path = tree.WriteFile("cut.txt", text);
      bool valid = false;
      EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, valid));
      EXPECT_EQ(ReferenceValidity(text), valid);
    }
  }
}

// Text of `size` bytes made of data and comment lines, every line ended.
std::string Filler(std::size_t size) {
  std::string text;
  for (int i = 0; text.size() < size; ++i) {
    std::string line = i % 5 == 4 ? "# note " + std::to_string(i) : "  data " + std::to_string(i);
    if (i % 7 == 3) line += "\r";
    if (i % 11 == 6) line += std::string("\0x", 2);
    text += line.substr(0, size - text.size() - 1) + "\n";
  }
  return text;
}

TEST_F(UtilitiesTest, StampsAtEveryPlaceAroundTheReadingBlocks) {
  // The file is read in blocks of some power of two in size: the stamp tag,
  // its separator and its checksum text are put across each such boundary
  // byte by byte, with data lines before and after it crossing it as well.
  const std::string after = "after\r\n\n" + std::string("n\0l", 3) + "\n# c\nlast, no line feed";
  for (std::size_t boundary : {std::size_t(1) << 16, std::size_t(1) << 17}) {
    for (std::size_t back = 0; back <= 17; ++back) {
      for (const char* lead : {"", "x "}) {
        const std::string before = Filler(boundary - back - std::strlen(lead));
        const std::string crc = Checksum(before + after);
        const std::string good = before + lead + "# CRC: " + crc + "\n" + after;
        std::string bad = good;
        bad[bad.size() - 1] ^= 1;
        SCOPED_TRACE(std::to_string(boundary) + " - " + std::to_string(back) + lead);
        ASSERT_TRUE(ReferenceValidity(good));
        ASSERT_FALSE(ReferenceValidity(bad));
        const std::pair<const std::string*, bool> files[] = {{&good, true}, {&bad, false}};
        for (const auto& file : files) {
          const std::string path = tree.WriteFile("edge.txt", *file.first);
          bool valid = !file.second;
          EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, valid));
          EXPECT_EQ(file.second, valid);
        }
      }
    }
  }
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(UtilitiesTest, StampsInAndAfterLinesLongerThanABlock) {
  const std::string big(300000, 'b');
  const std::string crc = Checksum(big + "\ntail\n");
  const std::vector<std::string> texts = {
      big + "\n# CRC: " + crc + "\ntail\n",
      "#" + big + " # CRC: " + crc + "\n" + big + "\ntail",
      big + "\n# CRC: " + crc.substr(0, 3) + "\n" + big,
      "# CRC:" + big + "\n" + big + "\ntail\n",
      big + "#",
      big,
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.size());
    const std::string path = tree.WriteFile("long.txt", text);
    bool valid = !ReferenceValidity(text);
    EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, valid));
    EXPECT_EQ(ReferenceValidity(text), valid);
  }
}

TEST_F(UtilitiesTest, ValidationOfFilesThatCannotBeOpened) {
  const std::string missing = tree.Path("missing.txt");
  const std::string directory = tree.MakeDir("dir");
  const std::string tooLong = tree.Path(std::string(5000, 'n'));
  for (const std::string& name : {missing, directory, tooLong}) {
    SCOPED_TRACE(name.substr(0, 80));
    issued.Clear();
    bool valid = true;
    EXPECT_EQ(1u, Utilities::ValidateFileChecksum(name, valid));
    EXPECT_FALSE(valid);
    EXPECT_EQ(std::vector<std::string>{"Could not open " + name + "\n"}, Errors());
  }
  EXPECT_EQ(0, Port::File::openStreamCount());
}

TEST_F(UtilitiesTest, ValidationOfBinaryAndLongLines) {
  std::string binary;
  for (int i = 0; i < 200000; ++i) binary += static_cast<char>((i * 131) % 256);
  std::string withStamp = binary;
  withStamp.insert(100000, "# CRC: 1234abcd");
  const std::string megaLine(1 << 20, 'q');
  const std::string megaStamped = megaLine + "\n# CRC: " + Checksum(megaLine) + "\n";
  const std::string megaComment = "#" + megaLine + "\n# CRC: " + Checksum("") + "\n";
  for (const std::string& text : {binary, withStamp, megaStamped, megaComment}) {
    const std::string path = tree.WriteFile("big.bin", text);
    bool valid = false;
    EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, valid));
    EXPECT_EQ(ReferenceValidity(text), valid);
  }
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(0, Port::File::openStreamCount());
}

// ------------------------------------------------------------- File lists

TEST_F(UtilitiesTest, FileListsKeepExistingMembersCleaned) {
  tree.WriteFile("lists/a.v", "");
  tree.WriteFile("lists/sub/b.v", "");
  tree.WriteFile("lists/sub/c.vhd", "");
  tree.WriteFile("lists/name with blank.v", "");
  tree.WriteFile("lists/sub/d#.v", "");
  const std::string list = tree.WriteFile("lists/files.lst",
                                          "# sources of the core\n"
                                          "\n"
                                          "a.v # top level\n"
                                          "\t sub//b.v\t\n"
                                          "missing.v\n"
                                          "sub\\\\c.vhd  \n"
                                          "   \t  \n"
                                          "name with blank.v\n"
                                          "\tname\twith blank.v\n"
                                          "sub/d#.v\n"
                                          "#a.v\n"
                                          "a.v");

  const std::vector<StringBase> names =
      Utilities::GetFileListFileStrings(Port::FileName(list.c_str()));
  const std::vector<StringBase> expected = {"a.v",
                                            Port_Env::IsNt() ? "sub\\b.v" : "sub/b.v",
                                            Port_Env::IsNt() ? "sub\\c.vhd" : "sub/c.vhd",
                                            "name with blank.v",
                                            "name with blank.v",
                                            "a.v"};
  EXPECT_EQ(expected, names);
  // The "#" cuts "sub/d#.v" to "sub/d", which does not exist.
  EXPECT_EQ(
      (std::vector<std::string>{"Missing file list member " + tree.Path("lists/missing.v") + "\n",
                                "Missing file list member " + tree.Path("lists/sub/d") + "\n"}),
      Warnings());
  EXPECT_EQ(std::vector<std::string>{UtilitiesTrace("Reading file list " + list + "\n")}, Traces());
  EXPECT_TRUE(Errors().empty());

  issued.Clear();
  const std::vector<Port::FileName> files =
      Utilities::GetFileListFileNames(Port::FileName(list.c_str()));
  ASSERT_EQ(expected.size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(tree.Path("lists") + Sep() + expected[i].str(), files[i].GetFullPath().str());
    EXPECT_TRUE(Port::File::exist(files[i]));
  }
  EXPECT_EQ(2u, Warnings().size());
  EXPECT_EQ(0, Port::File::openStreamCount());
}

TEST_F(UtilitiesTest, FileListRelativeToTheWorkingDirectory) {
  tree.WriteFile("lists/x.v", "");
  tree.WriteFile("x.v", "");  // not this one: members are relative to the list
  tree.WriteFile("lists/rel.lst", "x.v\nnone.v\n");
  ASSERT_TRUE(Port::File::chdir(tree.base()));
  const std::vector<Port::FileName> files = Utilities::GetFileListFileNames("lists/rel.lst");
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(tree.Path("lists/x.v"), files[0].GetAbsolutePath(false).str());
  EXPECT_EQ(
      std::vector<std::string>{"Missing file list member " + tree.Path("lists/none.v") + "\n"},
      Warnings());
}

TEST_F(UtilitiesTest, FileListsThatGiveNoMembers) {
  tree.WriteFile("l/only.v", "");
  const std::string comments = tree.WriteFile("l/comments.lst", "# one\n\n\t\n  # two\n");
  const std::string empty = tree.WriteFile("l/empty.lst", "");
  EXPECT_TRUE(Utilities::GetFileListFileStrings(Port::FileName(comments.c_str())).empty());
  EXPECT_TRUE(Utilities::GetFileListFileNames(Port::FileName(empty.c_str())).empty());
  EXPECT_TRUE(Warnings().empty());
  EXPECT_TRUE(Errors().empty());

  const std::string missing = tree.Path("l/missing.lst");
  const std::string directory = tree.MakeDir("l/dir.lst");
  for (const std::string& list : {missing, directory}) {
    SCOPED_TRACE(list);
    issued.Clear();
    EXPECT_TRUE(Utilities::GetFileListFileStrings(Port::FileName(list.c_str())).empty());
    EXPECT_EQ(std::vector<std::string>{"Cannot read " + list + "\n"}, Errors());
    EXPECT_TRUE(Traces().empty());
  }
}

TEST_F(UtilitiesTest, FileListsOfBinaryAndLongLines) {
  tree.WriteFile("l/a.v", "");
  // A NUL byte ends the name at the operating system; such a line must not
  // pass for the file named by its first part.
  const std::string nul("a.v\0junk\n", 9);
  const std::string longName(1 << 20, 'm');
  const std::string list = tree.WriteFile("l/odd.lst", nul + longName + "\n\xff\xfe\x01\na.v\n");
  const std::vector<StringBase> names =
      Utilities::GetFileListFileStrings(Port::FileName(list.c_str()));
  EXPECT_EQ(std::vector<StringBase>{"a.v"}, names);
  EXPECT_EQ(3u, Warnings().size());
  EXPECT_EQ(0, Port::File::openStreamCount());
}

}  // namespace
