// The published constants: every declared constant is exported and defined,
// each group has its number of constants, values follow their group's
// spelling rules, and the values that are easy to get wrong are right.
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
#include <sstream>
#include <string>
#include <vector>

using Mintu::StringBase;

namespace {

// The constants each group struct of the header declares, in order.
std::map<std::string, std::vector<std::string>> DeclaredConstants() {
  std::ifstream header(MINTU_VOCABULARY_HEADER);
  std::map<std::string, std::vector<std::string>> groups;
  std::string line;
  std::string group;
  const std::regex structLine("^struct MINTU_API (\\w+) \\{");
  const std::regex constantLine("^  static const StringBase (\\w+);");
  std::smatch m;
  while (std::getline(header, line)) {
    if (std::regex_search(line, m, structLine)) {
      group = m[1];
      groups[group];
    } else if (!group.empty() && std::regex_search(line, m, constantLine)) {
      groups[group].push_back(m[1]);
    }
  }
  return groups;
}

std::string Mangled(const std::string& owner, const std::string& name) {
  std::ostringstream out;
  out << "_ZN5Mintu" << owner.size() << owner << name.size() << name << "E";
  return out.str();
}

// The exported constant owner::name of the loaded library, or null.
template <class T>
const T* Exported(const std::string& owner, const std::string& name) {
#ifdef _WIN32
  const HMODULE library = GetModuleHandleA("libMintu_Utilities.dll");
  return reinterpret_cast<const T*>(GetProcAddress(library, Mangled(owner, name).c_str()));
#else
  return static_cast<const T*>(dlsym(RTLD_DEFAULT, Mangled(owner, name).c_str()));
#endif
}

using Values = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

Values ExportedValues() {
  Values values;
  for (const auto& group : DeclaredConstants()) {
    for (const std::string& name : group.second) {
      const StringBase* value = Exported<StringBase>(group.first, name);
      EXPECT_NE(value, nullptr) << group.first << "::" << name << " is not exported";
      if (value != nullptr) values[group.first].emplace_back(name, value->str());
    }
  }
  return values;
}

TEST(Vocabulary, EveryGroupDeclaresItsConstantsAndExportsThem) {
  const std::map<std::string, std::size_t> expected = {
      {"EnvVars", 2}, {"Keyword", 6}, {"Legacy", 13}, {"Spirit", 92}, {"Orvane", 19}, {"Psf", 49}};
  const auto declared = DeclaredConstants();
  ASSERT_EQ(declared.size(), expected.size());
  std::size_t total = 0;
  for (const auto& group : expected) {
    ASSERT_EQ(declared.count(group.first), 1u) << group.first;
    EXPECT_EQ(declared.at(group.first).size(), group.second) << group.first;
    total += declared.at(group.first).size();
  }
  EXPECT_EQ(total, 181u);

  const Values values = ExportedValues();
  std::size_t exported = 0;
  for (const auto& group : values) exported += group.second.size();
  EXPECT_EQ(exported, 181u);

  // The exported objects are the ones callers reach through the header.
  EXPECT_EQ(Exported<StringBase>("Spirit", "VENDOR"), &Mintu::Spirit::VENDOR);
  EXPECT_EQ(Exported<StringBase>("Psf", "NAME"), &Mintu::Psf::NAME);
}

TEST(Vocabulary, ValuesAreUniqueWithinTheirGroup) {
  for (const auto& group : ExportedValues()) {
    std::map<std::string, std::string> seen;
    for (const auto& constant : group.second) {
      EXPECT_FALSE(constant.second.empty()) << group.first << "::" << constant.first;
      // Spirit format names and HDL type names share one word ("string").
      if (group.first == "Spirit" && constant.second.compare(0, 7, "spirit:") != 0) continue;
      const auto inserted = seen.emplace(constant.second, constant.first);
      EXPECT_TRUE(inserted.second)
          << group.first << "::" << constant.first << " and " << group.first
          << "::" << inserted.first->second << " are both \"" << constant.second << "\"";
    }
  }
}

TEST(Vocabulary, ValuesFollowTheirGroupsSpelling) {
  const std::regex spiritElement("^spirit:[a-z][A-Za-z]*$");
  const std::regex orvaneKey("^orvane:[a-z_]+$");
  const std::regex extension("^\\.[a-z]+$");
  const std::set<std::string> orvaneWithoutPrefix = {"CORE_STATE_AVAILABLE", "CORE_STATE_PREFERRED",
                                                     "CORE_MIXED_CASE_COMPONENT_NAME"};
  const Values values = ExportedValues();
  std::size_t spiritElements = 0;
  for (const auto& constant : values.at("Spirit")) {
    if (constant.second.compare(0, 7, "spirit:") != 0) continue;
    ++spiritElements;
    EXPECT_TRUE(std::regex_match(constant.second, spiritElement)) << constant.second;
  }
  EXPECT_EQ(spiritElements, 57u);
  for (const auto& constant : values.at("Orvane")) {
    if (orvaneWithoutPrefix.count(constant.first)) {
      EXPECT_EQ(constant.second.find(':'), std::string::npos) << constant.first;
    } else {
      EXPECT_TRUE(std::regex_match(constant.second, orvaneKey)) << constant.first;
    }
  }
  for (const auto& group : values) {
    for (const auto& constant : group.second) {
      const std::string& name = constant.first;
      if (name.size() > 10 && name.compare(name.size() - 10, 10, "_EXTENSION") == 0) {
        EXPECT_TRUE(std::regex_match(constant.second, extension)) << group.first << "::" << name;
      }
    }
  }
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
}

TEST(Vocabulary, SchemaLocationsAgree) {
  const std::string ns = Mintu::Spirit::SPIRIT_NAMESPACE.str();
  const std::string http = Mintu::Spirit::HTTP_NAMESPACE.str();
  ASSERT_EQ(ns.compare(0, http.size(), http), 0) << ns;
  const std::string tail = "/XMLSchema/SPIRIT/1.4";
  ASSERT_GT(ns.size(), http.size() + tail.size());
  ASSERT_EQ(ns.compare(ns.size() - tail.size(), tail.size(), tail), 0) << ns;
  const std::string host = ns.substr(http.size(), ns.size() - http.size() - tail.size());
  EXPECT_EQ(host.find('/'), std::string::npos);

  EXPECT_EQ(Mintu::Spirit::SPIRIT_INDEX_SCHEMA.str(),
            ns + "/" + Mintu::Spirit::LOCAL_INDEX_SCHEMA.str());
  EXPECT_EQ(Mintu::Spirit::LOCAL_NAMESPACE.str(), "mintaro/repository/" + host + "/schemas");
}

TEST(Vocabulary, FatalErrorCodeAndVersionPatternsAreExported) {
  EXPECT_EQ(Mintu::Keyword::LIBRARY_FATAL_ERROR, 1u);
  const unsigned int* code = Exported<unsigned int>("Keyword", "LIBRARY_FATAL_ERROR");
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(*code, 1u);

  // Private to Version, yet part of the exported vocabulary; their use is tested with Version.
  EXPECT_NE(Exported<StringBase>("Version", "PSF_INPUT_VERSION_REGULAR_EXPRESSION"), nullptr);
  EXPECT_NE(Exported<StringBase>("Version", "MINTARO_INPUT_VERSION_REGULAR_EXPRESSION"), nullptr);
}

}  // namespace
