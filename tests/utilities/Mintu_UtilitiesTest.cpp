// Utilities: paths, install-tree lookups, environment expansion, checksum
// stamps and file lists, against real files, directories, environment
// variables and install-root lists in a temporary tree.

#include "mintu/Mintu_Utilities.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "port/Port_Env.h"
#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "port/Port_Version.h"
#include "support/IssuedMessages.h"
#include "support/LoggerLevel.h"
#include "support/TempInstallTree.h"

using Mintu::DebugMessenger;
using Mintu::StringBase;
using Mintu::Utilities;
using MintuTest::TempInstallTree;
using Texts = std::vector<std::string>;

namespace {

const std::string SEP(1, Port::FileName::GetPathSeparator());

std::string Trace(const std::string& text) { return "DEBUG[utilities] - " + text; }

class UtilitiesTest : public MintuTest::IssuedMessages {
 protected:
  Texts Errors() const { return issued.Texts(PORT_MSG_ERROR, "Mintu_Utilities"); }
  Texts Warnings() const { return issued.Texts(PORT_MSG_WARNING, "Mintu_Utilities"); }
  Texts Traces() const { return issued.Texts(PORT_MSG_STATUS); }

  TempInstallTree tree;
  MintuTest::LoggerLevel verbose{"utilities", DebugMessenger::DEBUG_VERBOSE};
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

// ValidateFileChecksum of a file holding `text`, which must set its answer
// whatever the variable held before.
bool Validates(const TempInstallTree& tree, const std::string& text) {
  const std::string path = tree.WriteFile("stamped.txt", text);
  bool fromTrue = true, fromFalse = false;
  EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, fromTrue));
  EXPECT_EQ(0u, Utilities::ValidateFileChecksum(path, fromFalse));
  EXPECT_EQ(fromTrue, fromFalse);
  return fromTrue;
}

// ------------------------------------------------------------------ Paths

TEST(UtilitiesPaths, SeparatorsOfPlainTexts) {
  const struct {
    const char* in;
    const char* independent;
  } cases[] = {{"a\\b//c\\\\d", "a/b/c/d"},
               {"\\\\server\\share", "/server/share"},
               {"//a", "/a"},
               {"a/////b\\/\\c", "a/b/c"},
               {"a/b/", "a/b/"},
               {"", ""},
               {"plain", "plain"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    StringBase path(c.in);
    Utilities::GetPlatformIndependentPath(path);
    EXPECT_EQ(c.independent, path.str());
  }
  for (const char* yes : {"a/", "a\\", "/", "a/\\"}) {
    EXPECT_TRUE(Utilities::IsTerminatedWithPathSeparator(yes)) << yes;
  }
  for (const char* no : {"", "a", "a/b", "a\\b"}) {
    EXPECT_FALSE(Utilities::IsTerminatedWithPathSeparator(no)) << no;
  }
}

TEST(UtilitiesPaths, AbsoluteTerminatedAndRelativePaths) {
  TempInstallTree tree;
  const std::string dir = tree.MakeDir("d/sub");
  const std::string file = tree.WriteFile("d/f.txt", "x");
  ASSERT_TRUE(Port::File::chdir(tree.Path("d")));
  const struct {
    StringBase (*function)(const StringBase&);
    std::string in;
    std::string out;
  } cases[] = {
      // A separator is added to directories and missing names, never to files.
      {Utilities::TerminateWithPathSeparator, "", ""},
      {Utilities::TerminateWithPathSeparator, dir, dir + SEP},
      {Utilities::TerminateWithPathSeparator, tree.Path("missing"), tree.Path("missing") + SEP},
      {Utilities::TerminateWithPathSeparator, file, file},
      {Utilities::TerminateWithPathSeparator, dir + "/", dir + "/"},
      {Utilities::TerminateWithPathSeparator, dir + "\\", dir + "\\"},
      // Relative names resolve against the working directory; directories get
      // exactly one separator, whether or not they were written with one.
      {Utilities::GetAbsolutePath, "", ""},
      {Utilities::GetAbsolutePath, "sub", dir + SEP},
      {Utilities::GetAbsolutePath, "sub" + SEP, dir + SEP},
      {Utilities::GetAbsolutePath, "./sub//", dir + SEP},
      {Utilities::GetAbsolutePath, "f.txt", file},
      {Utilities::GetAbsolutePath, "sub/../f.txt", file},
      {Utilities::GetAbsolutePath, "none.txt", tree.Path("d/none.txt")},
      {Utilities::GetAbsoluteDirectory, "", ""},
      {Utilities::GetAbsoluteDirectory, "sub", dir + SEP},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(c.out, c.function(c.in).str());
  }
  // The directory of a file (or of a missing name) is its head.
  const auto directory = [](const std::string& path) {
    return Utilities::TerminateWithPathSeparator(Utilities::GetAbsoluteDirectory(path)).str();
  };
  EXPECT_EQ(tree.Path("d") + SEP, directory("f.txt"));
  EXPECT_EQ(dir + SEP, directory(tree.Path("d/sub/none.txt")));

  const std::string r = tree.MakeDir("r");
  tree.WriteFile("r/sub/f.txt", "x");
  tree.WriteFile("rx/h.txt", "x");
  const std::string list = tree.WriteFile("r/list.txt", "x");
  // The directory's own text again, deeper down: only the prefix goes.
  const std::string nested = r.substr(r.find_first_of("/\\") + 1) + SEP + "n.txt";
  tree.WriteFile("r/" + nested, "x");
  const std::string dot = "." + SEP;
  const struct {
    std::string from, to, relative;
  } relative[] = {
      {r, r + "/sub/f.txt", dot + "sub" + SEP + "f.txt"},
      {r, r + "/sub", dot + "sub" + SEP},
      {r, r + "/" + nested, dot + nested},
      {r, file, file},
      {r, "", ""},
      {"", r + "/sub/f.txt", tree.Path("r/sub/f.txt")},
      // A directory given by one of its files, or one that does not exist, is
      // a whole path component: it claims neither "rx" nor a doubled separator.
      {list, r + "/sub/f.txt", dot + "sub" + SEP + "f.txt"},
      {r, tree.Path("rx/h.txt"), tree.Path("rx/h.txt")},
      {tree.Path("r/missing"), tree.Path("rx/h.txt"), tree.Path("rx/h.txt")},
  };
  for (const auto& c : relative) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    EXPECT_EQ(c.relative, Utilities::MakeRelativePath(c.from, c.to).str());
  }
}

// ---------------------------------------------------- Install tree lookup

TEST_F(UtilitiesTest, LookupsTakeTheFirstRootThatHoldsTheName) {
  const std::string container = "/mintaro/ip/orvane/";
  tree.MakeDir("root1/shared");            // a directory in the first root...
  tree.WriteFile("root2/shared", "file");  // ...and a file of that name in the second
  tree.WriteFile("root2/data/file.txt", "x");
  tree.WriteFile("root1/data/only1.txt", "x");
  tree.WriteFile("root1/other/zz_lib/doc.txt", "x");  // no container in root1
  tree.WriteFile("root2" + container + "b_lib/data/core.mpd", "b");
  tree.WriteFile("root2" + container + "a_lib/data/core.mpd", "a");
  tree.MakeDir("root2" + container + "a_lib/doc");
  tree.WriteFile("root3" + container + "a_lib/data/late.mpd", "x");
  tree.WriteFile("root3" + container + "c_lib/data/core.mpd", "c");
  tree.SetRoots({"absent", "root1", "root2", "root3"});

  const struct {
    bool inContainer;
    const char* name;
    const char* expected;  // relative to the tree; null: not found
  } cases[] = {
      {false, "shared", "root1/shared"},
      {false, "data/file.txt", "root2/data/file.txt"},
      {false, "data/only1.txt", "root1/data/only1.txt"},
      {false, "data", "root1/data"},
      {false, "nowhere.txt", nullptr},
      // In the core libraries: by root, then by listing order.
      {true, "data/core.mpd", "root2/mintaro/ip/orvane/a_lib/data/core.mpd"},
      {true, "doc", "root2/mintaro/ip/orvane/a_lib/doc"},
      {true, "data/late.mpd", "root3/mintaro/ip/orvane/a_lib/data/late.mpd"},
      {true, "doc.txt", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    issued.Clear();
    StringBase found("untouched");
    const bool hit = c.inContainer ? Utilities::GetFullOrvanePathWithContainer(c.name, found)
                                   : Utilities::GetFullOrvanePathOf(c.name, found);
    const std::string name = c.name;
    EXPECT_EQ(c.expected != nullptr, hit);
    EXPECT_EQ(c.expected ? tree.Path(c.expected) : "untouched", found.str());
    EXPECT_EQ(Texts{Trace(c.expected ? "Looking for " + name + "\nFound " + found.str() + "\n"
                                     : "Could not find " + name + "\n")},
              Traces());
    EXPECT_EQ(0u, issued.Count(PORT_MSG_ERROR) + issued.Count(PORT_MSG_WARNING));
  }

  // Without roots every lookup fails quietly.
  tree.SetRoots({});
  issued.Clear();
  StringBase found("untouched");
  EXPECT_FALSE(Utilities::GetFullOrvanePathOf("shared", found));
  EXPECT_FALSE(Utilities::GetFullOrvanePathWithContainer("doc", found));
  EXPECT_FALSE(Utilities::GetJavaExecutablePath(found));
  EXPECT_EQ("untouched", found.str());
  ASSERT_EQ(3u, Traces().size());
  EXPECT_EQ(Trace("Could not find doc\n"), Traces()[1]);

  // Traces only when the logger is verbose.
  MintuTest::LoggerLevel detailed("utilities", DebugMessenger::DEBUG_DETAILED);
  issued.Clear();
  EXPECT_FALSE(Utilities::GetFullOrvanePathOf("x.txt", found));
  EXPECT_TRUE(Traces().empty());
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

TEST_F(UtilitiesTest, InstallationValuesAndNextMajorRelease) {
  EXPECT_EQ("Orvane Mintaro", Utilities::ApplicationName().str());
  Port::Version::setValue("version", "12.3");
  EXPECT_EQ("12.3", Utilities::RevisionVersion().str());
  EXPECT_TRUE(std::regex_match(Utilities::GetBuildDate(),
                               std::regex("(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                                          "[ 123][0-9] [0-9]{4}")));
  EXPECT_TRUE(
      std::regex_match(Utilities::GetBuildTime(), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")));

  const struct {
    const char* release;
    const char* next;
  } cases[] = {
      {"12.3", "13.1"},
      {"9.0", "10.1"},
      {"14.2.1_p3", "15.1"},
      {".5", "1.1"},
      {"beta.2", "beta.1"},
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
  EXPECT_EQ(Texts{Trace("Failed to split extract major version from 14\n.\n")}, Traces());
}

// -------------------------------------------------- Environment expansion

TEST_F(UtilitiesTest, ExpandsReferencesInOnePass) {
  tree.SetEnv("MINTU_T_HOME", "/h");
  tree.SetEnv("MINTU_T_REF", "${MINTU_T_HOME}");
  tree.SetEnv("MINTU_T_EMPTY", "");
  tree.SetEnv("MINTU_T_UNSET", nullptr);
  tree.SetEnv("MINTU_T_SUB", "sub");
  tree.SetEnv("ORVANE", "/env/orvane");
  tree.SetEnv("mintu_t_9", "digits");
  tree.WriteFile("root2/data/file.txt", "x");
  tree.WriteFile("root1/data/sub/one.txt", "x");
  tree.SetRoots({"root1", "root2"});

  const struct {
    const char* text;
    std::string expanded;
  } cases[] = {
      {"", ""},
      {"no references at all", "no references at all"},
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
      // At the start, the rest is looked up under the install roots.
      {"${ORVANE}/data/file.txt", tree.Path("root2/data/file.txt")},
      {"${ORVANE}data/${MINTU_T_SUB}/one.txt", tree.Path("root1/data/sub/one.txt")},
      {"${ORVANE}/data/none.txt", ""},
      {"${ORVANE}/${MINTU_T_UNSET}x", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.expanded, Utilities::ExpandEnvironment(c.text).str());
  }
  EXPECT_TRUE(Errors().empty());
  EXPECT_TRUE(Warnings().empty());

  // Long texts; a long run of leading references must not exhaust the stack.
  tree.SetEnv("MINTU_T_A", "aa");
  std::string text, expected, many;
  for (int i = 0; i < 50000; ++i) {
    text += "x${MINTU_T_A}${";
    expected += "xaa${";
  }
  EXPECT_EQ(expected, Utilities::ExpandEnvironment(text).str());
  const std::string unclosed = "${" + std::string(1 << 20, 'A');
  EXPECT_EQ(unclosed, Utilities::ExpandEnvironment(unclosed).str());
  for (int i = 0; i < 120000; ++i) many += "${ORVANE}";
  MintuTest::LoggerLevel quiet("utilities", DebugMessenger::DEBUG_OFF);
  EXPECT_LT(Utilities::ExpandEnvironment(many + "/data/none.txt").GetLength(), 4096u);
}

// -------------------------------------------------------- Checksum stamps

TEST(UtilitiesChecksum, DataLinesOnly) {
  const std::string empty = ChecksumText("");
  EXPECT_EQ("       0", empty);
  EXPECT_EQ(empty, Checksum(""));
  EXPECT_EQ(empty, Checksum("# only\n#comments\n  # here\n\n"));
  const std::string data = Checksum("alpha\nbeta\n");
  EXPECT_EQ(ChecksumText("alphabeta"), data);
  // Comments, blank lines and line breaks are not part of the data.
  EXPECT_EQ(data, Checksum("# head\nalpha\n\n# CRC: 12345678\nbeta"));
  EXPECT_EQ(data, Checksum("alphabeta\n"));
  EXPECT_EQ(data, Checksum("alpha\nbeta\nvalue # 3\n"));  // "#" anywhere drops the line
  EXPECT_NE(data, Checksum("alpha \nbeta\n"));
  // Bytes of any value, NULs included, are data.
  EXPECT_EQ(ChecksumText(std::string("a\0b\r\xff\xfe", 6)),
            Checksum(std::string("a\0b\r\n\xff\xfe", 7)));

  // Lines of every length around the sizes a reader may gather data in.
  std::string text, all;
  for (std::size_t length : {1, 63, 64, 65, 4095, 65535, 65536, 65537, 70000, 200000, 3}) {
    const std::string line(length, static_cast<char>('a' + length % 26));
    text += line + "\n# comment\n";
    all += line;
  }
  EXPECT_EQ(ChecksumText(all), Checksum(text));
  TempInstallTree tree;
  EXPECT_TRUE(Validates(tree, text + "# CRC: " + ChecksumText(all)));

  // Small values are padded with blanks, and only blanks are accepted.
  std::string line;
  for (int i = 0; line.empty(); ++i) {
    if (ChecksumText("line " + std::to_string(i))[0] == ' ') line = "line " + std::to_string(i);
  }
  const std::string padded = Checksum(line + "\n");
  ASSERT_EQ(8u, padded.size());
  EXPECT_EQ(' ', padded[0]);
  std::string zeros = padded;
  for (char& c : zeros) c = c == ' ' ? '0' : c;
  EXPECT_TRUE(Validates(tree, line + "\n# CRC: " + padded + "\n"));
  EXPECT_FALSE(Validates(tree, line + "\n# CRC: " + zeros + "\n"));
}

// The validation exactly as the stamp format defines it: the whole text as
// lines each ending in "\n", the first tag, eight bytes from seven after it.
bool ReferenceValidity(const std::string& file) {
  std::string content;
  for (std::size_t start = 0; start < file.size();) {
    std::size_t end = file.find('\n', start);
    if (end == std::string::npos) end = file.size();
    content += file.substr(start, end - start) + "\n";
    start = end + 1;
  }
  const std::size_t tag = content.find("# CRC:");
  if (tag == std::string::npos) return true;
  const std::string stored = tag + 7 < content.size() ? content.substr(tag + 7, 8) : "";
  const std::string computed = Checksum(content);
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
      {"no stamp", body, true},
      {"empty file", "", true},
      {"crlf lines", "a\r\nb\r\n# CRC: " + Checksum("a\r\nb\r\n") + "\r\n", true},
      {"crlf stamp, lf lines", "a\nb\n# CRC: " + Checksum("a\r\nb\r\n") + "\n", false},
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
    EXPECT_EQ(c.valid, Validates(tree, c.text));
  }
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(UtilitiesTest, OnePassReadsStampsAsTheWholeTextReadingDoes) {
  std::vector<std::string> texts;
  // Stamps whose eight bytes take in line ends and following lines.
  const std::string x = Checksum("x\n");
  for (const std::string& tail :
       {std::string(), std::string("\n"), std::string("\n\n"), x.substr(0, 3) + "\n", "\n" + x,
        x.substr(0, 7) + "\n" + x.substr(7)}) {
    for (const char* sep : {"", " ", "\n"}) texts.push_back("x\n# CRC:" + std::string(sep) + tail);
  }
  // Stamps in and after lines longer than a reading block.
  const std::string big(300000, 'b');
  const std::string crc = Checksum(big + "\ntail\n");
  texts.insert(texts.end(), {big + "\n# CRC: " + crc + "\ntail\n",
                             "#" + big + " # CRC: " + crc + "\n" + big + "\ntail",
                             big + "\n# CRC: " + crc.substr(0, 3) + "\n" + big,
                             "# CRC:" + big + "\n" + big + "\ntail\n", big + "#", big});
  // Binary data, a stamp within it, and megabyte lines.
  std::string binary;
  for (int i = 0; i < 200000; ++i) binary += static_cast<char>((i * 131) % 256);
  const std::string mega(1 << 20, 'q');
  texts.insert(texts.end(), {binary, binary.substr(0, 100000) + "# CRC: 1234abcd" + binary,
                             mega + "\n# CRC: " + Checksum(mega) + "\n",
                             "#" + mega + "\n# CRC: " + Checksum("") + "\n"});
  for (const std::string& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text.substr(0, 40)) + " of " + std::to_string(text.size()));
    EXPECT_EQ(ReferenceValidity(text), Validates(tree, text));
  }
  EXPECT_TRUE(issued.messages().empty());
  EXPECT_EQ(0, Port::File::openStreamCount());
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
        const std::string good =
            before + lead + "# CRC: " + Checksum(before + after) + "\n" + after;
        std::string bad = good;
        bad.back() ^= 1;
        SCOPED_TRACE(std::to_string(boundary) + " - " + std::to_string(back) + lead);
        ASSERT_TRUE(ReferenceValidity(good));
        ASSERT_FALSE(ReferenceValidity(bad));
        EXPECT_TRUE(Validates(tree, good));
        EXPECT_FALSE(Validates(tree, bad));
      }
    }
  }
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(UtilitiesTest, ValidationOfFilesThatCannotBeOpened) {
  for (const std::string& name :
       {tree.Path("missing.txt"), tree.MakeDir("dir"), tree.Path(std::string(5000, 'n'))}) {
    SCOPED_TRACE(name.substr(0, 80));
    issued.Clear();
    bool valid = true;
    EXPECT_EQ(1u, Utilities::ValidateFileChecksum(name, valid));
    EXPECT_FALSE(valid);
    EXPECT_EQ(Texts{"Could not open " + name + "\n"}, Errors());
  }
  EXPECT_EQ(0, Port::File::openStreamCount());
}

// ------------------------------------------------------------- File lists

TEST_F(UtilitiesTest, FileListsKeepExistingMembersCleaned) {
  for (const char* member : {"a.v", "sub/b.v", "sub/c.vhd", "name with blank.v", "sub/d#.v"}) {
    tree.WriteFile(std::string("lists/") + member, "");
  }
  const std::string list = tree.WriteFile("lists/files.lst",
                                          "# sources of the core\n\na.v # top level\n"
                                          "\t sub//b.v\t\nmissing.v\nsub\\\\c.vhd  \n   \t  \n"
                                          "name with blank.v\n\tname\twith blank.v\n"
                                          "sub/d#.v\n#a.v\na.v");
  const std::vector<StringBase> expected = {"a.v",
                                            Port_Env::IsNt() ? "sub\\b.v" : "sub/b.v",
                                            Port_Env::IsNt() ? "sub\\c.vhd" : "sub/c.vhd",
                                            "name with blank.v",
                                            "name with blank.v",
                                            "a.v"};
  EXPECT_EQ(expected, Utilities::GetFileListFileStrings(Port::FileName(list.c_str())));
  // The "#" cuts "sub/d#.v" to "sub/d", which does not exist.
  const Texts missing = {"Missing file list member " + tree.Path("lists/missing.v") + "\n",
                         "Missing file list member " + tree.Path("lists/sub/d") + "\n"};
  EXPECT_EQ(missing, Warnings());
  EXPECT_EQ(Texts{Trace("Reading file list " + list + "\n")}, Traces());
  EXPECT_TRUE(Errors().empty());

  issued.Clear();
  const std::vector<Port::FileName> files =
      Utilities::GetFileListFileNames(Port::FileName(list.c_str()));
  ASSERT_EQ(expected.size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(tree.Path("lists") + SEP + expected[i].str(), files[i].GetFullPath().str());
  }
  EXPECT_EQ(missing, Warnings());

  // A relative list: members are relative to the list, not the working directory.
  tree.WriteFile("x.v", "");
  tree.WriteFile("lists/x.v", "");
  tree.WriteFile("lists/rel.lst", "x.v\n");
  ASSERT_TRUE(Port::File::chdir(tree.base()));
  const std::vector<Port::FileName> relative = Utilities::GetFileListFileNames("lists/rel.lst");
  ASSERT_EQ(1u, relative.size());
  EXPECT_EQ(tree.Path("lists/x.v"), relative[0].GetAbsolutePath(false).str());
  EXPECT_EQ(0, Port::File::openStreamCount());
}

TEST_F(UtilitiesTest, FileListsWrittenOnWindows) {
  tree.WriteFile("w/a.v", "");
  tree.WriteFile("w/sub/b.v", "");
  const std::string list =
      tree.WriteFile("w/files.lst", "# sources\r\na.v\r\n\r\nsub\\b.v\t\r\na.v # top\r\na.v");
  const std::vector<StringBase> expected = {"a.v", Port_Env::IsNt() ? "sub\\b.v" : "sub/b.v", "a.v",
                                            "a.v"};
  EXPECT_EQ(expected, Utilities::GetFileListFileStrings(Port::FileName(list.c_str())));
  EXPECT_TRUE(Warnings().empty());
}

TEST_F(UtilitiesTest, FileListsThatGiveNoOrOddMembers) {
  tree.WriteFile("l/a.v", "");
  const std::string comments = tree.WriteFile("l/comments.lst", "# one\n\n\t\n  # two\n");
  EXPECT_TRUE(Utilities::GetFileListFileStrings(Port::FileName(comments.c_str())).empty());
  EXPECT_TRUE(Utilities::GetFileListFileNames(tree.WriteFile("l/empty.lst", "").c_str()).empty());
  EXPECT_TRUE(Warnings().empty());
  EXPECT_TRUE(Errors().empty());

  for (const std::string& list : {tree.Path("l/missing.lst"), tree.MakeDir("l/dir.lst")}) {
    SCOPED_TRACE(list);
    issued.Clear();
    EXPECT_TRUE(Utilities::GetFileListFileStrings(Port::FileName(list.c_str())).empty());
    EXPECT_EQ(Texts{"Cannot read " + list + "\n"}, Errors());
    EXPECT_TRUE(Traces().empty());
  }

  // A NUL byte ends the name at the operating system; such a line must not
  // pass for the file named by its first part.
  issued.Clear();
  const std::string odd = tree.WriteFile(
      "l/odd.lst", std::string("a.v\0junk\n", 9) + std::string(1 << 20, 'm') + "\n\xff\xfe\na.v\n");
  EXPECT_EQ(std::vector<StringBase>{"a.v"},
            Utilities::GetFileListFileStrings(Port::FileName(odd.c_str())));
  EXPECT_EQ(3u, Warnings().size());
  EXPECT_EQ(0, Port::File::openStreamCount());
}

}  // namespace
