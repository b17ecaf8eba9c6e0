// The published constants: each one declared is exported, well formed for its group and unique.
#include "mintu/Mintu_Vocabulary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

// The exported object Mintu::owner::name, or null (names come from the header, not a copy).
static const void* Exported(const std::string& owner, const std::string& name) {
  const std::string symbol =
      "_ZN5Mintu" + std::to_string(owner.size()) + owner + std::to_string(name.size()) + name + "E";
#ifdef _WIN32
  return reinterpret_cast<const void*>(
      GetProcAddress(GetModuleHandleA("libMintu_Utilities.dll"), symbol.c_str()));
#else
  return dlsym(RTLD_DEFAULT, symbol.c_str());
#endif
}

TEST(Vocabulary, DeclaredConstantsAreExportedWellFormedAndUnique) {
  std::ifstream header(MINTU_VOCABULARY_HEADER);
  std::set<std::string> seen;  // group and value
  std::string line, group;
  std::smatch m;
  int count = 0;
  while (std::getline(header, line)) {
    if (std::regex_search(line, m, std::regex("^struct MINTU_API (\\w+) \\{"))) group = m[1];
    if (!std::regex_search(line, m, std::regex("^  static const StringBase (\\w+);"))) continue;
    const std::string name = m[1];
    SCOPED_TRACE(group + "::" + name);
    ++count;
    const auto* exported = static_cast<const Mintu::StringBase*>(Exported(group, name));
    ASSERT_NE(exported, nullptr) << "not exported";
    const std::string value = exported->str();
    // Extensions, Orvane keys (but for a few free words) and Spirit elements have their forms.
    EXPECT_EQ(std::regex_match(name, std::regex(".*_EXTENSION")),
              std::regex_match(value, std::regex("\\.[a-z]+")));
    if (group == "Orvane") {
      EXPECT_NE(std::regex_match(name, std::regex("CORE_(STATE_|MIXED_).*")),
                std::regex_match(value, std::regex("orvane:[a-z_]+")));
    }
    // Spirit's format and type names share words ("string"): only its element names are unique.
    if (group == "Spirit" && value.compare(0, 7, "spirit:") != 0) continue;
    if (group == "Spirit") {
      EXPECT_TRUE(std::regex_match(value, std::regex("spirit:[a-z][A-Za-z]*"))) << value;
    }
    EXPECT_TRUE(seen.insert(group + " " + value).second) << "a value seen before: " << value;
  }
  EXPECT_EQ(count, 181) << "constants read from " << MINTU_VOCABULARY_HEADER;
  EXPECT_EQ(Exported("Psf", "NAME"), &Mintu::Psf::NAME);
  // A few values that are easy to get wrong.
  EXPECT_EQ(
      Mintu::Spirit::ENVIRONMENT_ALL.str() + "|" + Mintu::Spirit::VERILOG_TYPE_BIT_VECTOR.str(),
      "::|bit vector");
  EXPECT_EQ(Mintu::Spirit::SPIRIT_INDEX_SCHEMA.str(),
            "http://www.spiritconsortium.org/XMLSchema/SPIRIT/1.4/index.xsd");
}
