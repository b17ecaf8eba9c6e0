// The published constants: every constant the header declares is exported
// and defined, values follow their group's spelling rules and are unique in
// their group, and the values that are easy to get wrong are right.
//
// The names are read from the public header and the values from the loaded
// library by their exported symbols, so nothing here repeats the table.

#include "mintu/Mintu_Vocabulary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

using Mintu::StringBase;

namespace {

// The exported constant owner::name of the loaded library, or null.
template <class T>
const T* Exported(const std::string& owner, const std::string& name) {
  const std::string symbol =
      "_ZN5Mintu" + std::to_string(owner.size()) + owner + std::to_string(name.size()) + name + "E";
#ifdef _WIN32
  const HMODULE library = GetModuleHandleA("libMintu_Utilities.dll");
  return reinterpret_cast<const T*>(GetProcAddress(library, symbol.c_str()));
#else
  return static_cast<const T*>(dlsym(RTLD_DEFAULT, symbol.c_str()));
#endif
}

TEST(Vocabulary, DeclaredConstantsAreExportedAndSpelledByTheirGroupsRules) {
  const std::regex spiritElement("^spirit:[a-z][A-Za-z]*$");
  const std::regex orvaneKey("^orvane:[a-z_]+$");
  const std::set<std::string> orvaneFreeWords = {"CORE_STATE_AVAILABLE", "CORE_STATE_PREFERRED",
                                                 "CORE_MIXED_CASE_COMPONENT_NAME"};
  const std::regex extension("^\\.[a-z]+$");
  const std::regex structLine("^struct MINTU_API (\\w+) \\{");
  const std::regex constantLine("^  static const StringBase (\\w+);");

  std::ifstream header(MINTU_VOCABULARY_HEADER);
  ASSERT_TRUE(header) << MINTU_VOCABULARY_HEADER;
  std::map<std::string, std::map<std::string, std::string>> seen;  // group: value -> name
  std::map<std::string, int> counts;
  std::string line, group;
  std::smatch m;
  while (std::getline(header, line)) {
    if (std::regex_search(line, m, structLine)) group = m[1];
    if (group.empty() || !std::regex_search(line, m, constantLine)) continue;
    const std::string name = m[1];
    SCOPED_TRACE(group + "::" + name);
    ++counts[group];
    const StringBase* exported = Exported<StringBase>(group, name);
    ASSERT_NE(exported, nullptr) << "not exported";
    const std::string value = exported->str();
    EXPECT_FALSE(value.empty());
    // Spirit format names and HDL type names share words ("string"): only
    // its element names must follow the rule and be unique.
    const bool element = group != "Spirit" || value.compare(0, 7, "spirit:") == 0;
    if (group == "Spirit" && element) {
      EXPECT_TRUE(std::regex_match(value, spiritElement)) << value;
    }
    if (group == "Orvane") {
      EXPECT_EQ(orvaneFreeWords.count(name) == 0, std::regex_match(value, orvaneKey)) << value;
    }
    if (name.size() > 10 && name.compare(name.size() - 10, 10, "_EXTENSION") == 0) {
      EXPECT_TRUE(std::regex_match(value, extension)) << value;
    }
    if (!element) continue;
    const auto inserted = seen[group].emplace(value, name);
    EXPECT_TRUE(inserted.second) << "same value as " << inserted.first->second;
  }
  EXPECT_EQ(counts, (std::map<std::string, int>{{"EnvVars", 2},
                                                {"Keyword", 6},
                                                {"Legacy", 13},
                                                {"Spirit", 92},
                                                {"Orvane", 19},
                                                {"Psf", 49}}));
  EXPECT_EQ(seen["Spirit"].size(), 57u);  // the element names
  // The exported objects are the ones callers reach through the header.
  EXPECT_EQ(Exported<StringBase>("Spirit", "VENDOR"), &Mintu::Spirit::VENDOR);
  EXPECT_EQ(Exported<StringBase>("Psf", "NAME"), &Mintu::Psf::NAME);
}

TEST(Vocabulary, ValuesThatAreEasyToGetWrong) {
  EXPECT_EQ(Mintu::Spirit::ENVIRONMENT_ALL, StringBase("::"));
  EXPECT_EQ(Mintu::Spirit::VERILOG_TYPE_BIT_VECTOR, StringBase("bit vector"));
  EXPECT_EQ(Mintu::Spirit::VHDL_TYPE_BIT_VECTOR, StringBase("bit_vector"));
  EXPECT_EQ(Mintu::Spirit::SINGLE_SHOT_PULSE_VALUE, StringBase("spirit:singleShotValue"));
  EXPECT_EQ(Mintu::Spirit::ENVIRONMENT_SIMULATION, StringBase(":*Simulation:"));
  EXPECT_EQ(Mintu::Spirit::ORVANE_NAMESPACE, StringBase("Orvane"));
  EXPECT_EQ(Mintu::Psf::DESCRIPTION, StringBase("DESC"));
  EXPECT_EQ(Mintu::Psf::INITIAL_VALUE, StringBase("INITIALVAL"));
  EXPECT_EQ(Mintu::Psf::ARCHITECTURE_SUPPORT_MAP, StringBase("ARCH_SUPPORT_MAP"));
  EXPECT_EQ(Mintu::Keyword::DEBUG_LOG, StringBase("Spirit"));
  EXPECT_EQ(Mintu::Legacy::LANGUAGE_VHDL_AND_VERILOG, StringBase("VHDL_and_Verilog"));
  EXPECT_EQ(Mintu::Orvane::PROPERTY_OBSOLETE, StringBase("orvane:obsolete"));
  EXPECT_EQ(Mintu::EnvVars::ORV_MN_JAVA_MEMORY, StringBase("ORV_MN_JAVA_MEMORY"));
  // The schema locations agree with each other.
  const std::string ns = "http://www.spiritconsortium.org/XMLSchema/SPIRIT/1.4";
  EXPECT_EQ(Mintu::Spirit::SPIRIT_NAMESPACE.str(), ns);
  EXPECT_EQ(Mintu::Spirit::HTTP_NAMESPACE.str(), "http://");
  EXPECT_EQ(Mintu::Spirit::SPIRIT_INDEX_SCHEMA.str(),
            ns + "/" + Mintu::Spirit::LOCAL_INDEX_SCHEMA.str());
  EXPECT_EQ(Mintu::Spirit::LOCAL_NAMESPACE.str(),
            "mintaro/repository/www.spiritconsortium.org/schemas");
  // Private to Version, yet part of the exported vocabulary; their use is tested with Version.
  EXPECT_NE(Exported<StringBase>("Version", "PSF_INPUT_VERSION_REGULAR_EXPRESSION"), nullptr);
  EXPECT_NE(Exported<StringBase>("Version", "MINTARO_INPUT_VERSION_REGULAR_EXPRESSION"), nullptr);
  const unsigned int* code = Exported<unsigned int>("Keyword", "LIBRARY_FATAL_ERROR");
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(*code, 1u);
}

}  // namespace
